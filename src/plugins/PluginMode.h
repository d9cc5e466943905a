#pragma once

#include "ReadableExtension.h"
#include "SpiHost.h"

#include <string>
#include <vector>

namespace lumidex {

class SharedState;

// The settings file naming the plug-in folder; it exists exactly while plug-in mode is chosen.
inline constexpr const char* kPluginSettingsFile = "susieplg.cnf";

// Patterns of the types, each followed by ';', then "*.bmp"; and the descriptions, each
// followed by ' '.
PicturePatterns PluginPatterns(const std::vector<SpiFileType>& types, std::string* names);

// At start-up: plug-in mode on with the folder of "susieplg.cnf" when it names one with
// plug-ins ("No valid Susie plugin" otherwise), off without the file. True when on.
bool StartUpPlugins(SharedState& state, SpiHost& host);
// "Set Plugin &Folder..." with the folder chosen: on, and "susieplg.cnf" written, when the
// folder has plug-ins; else the previous folder is loaded back and "No valid plugin" shown.
bool SetPluginFolder(SharedState& state, SpiHost& host, const std::string& folder);
// "Stop &Using Plugins": "susieplg.cnf" deleted, the built-in readers back. The plug-ins stay
// loaded.
void StopUsingPlugins(SharedState& state);
// Plug-in mode for this run only, with the plug-ins of folder ("susieplg.cnf" untouched).
// False, mode off, when the folder has none.
bool UsePluginsForRun(SharedState& state, SpiHost& host, const std::string& folder);

} // namespace lumidex
