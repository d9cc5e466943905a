#include "Analyser.h"

#include "SharedState.h"

namespace lumidex {

Analyser::Analyser(SharedState& state, Catalogue& catalogue, std::vector<Pdata*>& newPictures)
    : state_(state), catalogue_(catalogue), newPictures_(newPictures) {}

int Analyser::AnalyseFile(const std::string&) { return 1; }

} // namespace lumidex
