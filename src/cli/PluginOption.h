#pragma once

#include <string>

namespace lumidex {
class Workspace;
}

namespace lumidex::cli {

// --plugins DIR: plug-in mode for this run with the plug-ins of folder ("susieplg.cnf" is left
// alone). False, with the reason on standard error, when the folder has none.
bool UsePluginFolder(Workspace& ws, const std::string& folder);

} // namespace lumidex::cli
