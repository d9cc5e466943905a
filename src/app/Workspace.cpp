#include "Workspace.h"

namespace lumidex {

Workspace::Workspace(Frame& frame, std::string appDir)
    : SharedState(frame, std::move(appDir)), analyser(*this, catalogue, newPictures) {}

int Workspace::AnalyseFile(const std::string& path) { return analyser.AnalyseFile(path); }

} // namespace lumidex
