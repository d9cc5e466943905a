#include "PluginMode.h"

#include "AtomicFile.h"
#include "Paths.h"
#include "SharedState.h"

#include <cstdio>
#include <fstream>

namespace lumidex {

namespace {

void SwitchOn(SharedState& state, SpiHost& host, const std::vector<SpiFileType>& types) {
    std::string names;
    state.PicturePatterns = PluginPatterns(types, &names);
    state.PluginsInUse = true;
    SetActivePictureHost(&host);
    state.frame().SetStatusText(StatusPanel::Outcome, "Loaded Susie plugin:." + names);
}

void SwitchOff(SharedState& state) {
    if (!state.PluginsInUse) return; // the built-in readers are in force already
    state.PluginsInUse = false;
    SetActivePictureHost(nullptr);
    state.SetNativePicturePatterns();
}

void BadFolder(SharedState& state, const char* text) {
    state.frame().Ask({"Bad Folder", text, {Answer::Ok}});
}

} // namespace

PicturePatterns PluginPatterns(const std::vector<SpiFileType>& types, std::string* names) {
    PicturePatterns result{"", "Susie graphics"};
    for (const SpiFileType& t : types) {
        result.patterns += t.pattern + ";";
        if (names) *names += t.description + " ";
    }
    result.patterns += "*.bmp";
    return result;
}

bool StartUpPlugins(SharedState& state, SpiHost& host) {
    std::ifstream file(state.AppDir + kPluginSettingsFile, std::ios::binary);
    std::string folder;
    if (!file || !std::getline(file, folder)) return false;
    if (!folder.empty() && folder.back() == '\r') folder.pop_back();
    if (folder.empty()) return false;
    host.LoadFolder(folder);
    std::vector<SpiFileType> types;
    if (host.ListTypes(types) == 0) {
        BadFolder(state, "No valid Susie plugin");
        SwitchOff(state);
        return false;
    }
    SwitchOn(state, host, types);
    return true;
}

bool SetPluginFolder(SharedState& state, SpiHost& host, const std::string& folder) {
    const std::string previous = host.Folder();
    host.LoadFolder(folder);
    std::vector<SpiFileType> types;
    if (host.ListTypes(types) == 0) {
        host.LoadFolder(previous);
        BadFolder(state, "No valid plugin");
        return false;
    }
    SwitchOn(state, host, types);
    WriteFileAtomically(state.AppDir + kPluginSettingsFile,
                        paths::WithTrailingDelimiter(folder) + "\n");
    return true;
}

void StopUsingPlugins(SharedState& state) {
    std::remove((state.AppDir + kPluginSettingsFile).c_str());
    SwitchOff(state);
}

bool UsePluginsForRun(SharedState& state, SpiHost& host, const std::string& folder) {
    host.LoadFolder(folder);
    std::vector<SpiFileType> types;
    if (host.ListTypes(types) == 0) {
        SwitchOff(state);
        return false;
    }
    SwitchOn(state, host, types);
    return true;
}

} // namespace lumidex
