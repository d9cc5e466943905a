#pragma once

// The desktop around the program: the applications the desktop associates with a file's type
// (its "verbs"), opening a folder in the file manager, opening a page in the browser.

#include <string>
#include <vector>

namespace lumidex {

struct ShellVerb {
    std::string caption; // "Open" for the desktop's default application, else its name
    std::string appId;   // the application's desktop entry id, what RunShellVerb takes
};

// The default application of the file's type first, then every other application that
// declares the type, in the desktop's order. Empty when the type has none.
std::vector<ShellVerb> ShellVerbs(const std::string& path);
// Starts the application on the file, as its desktop entry's Exec line says (never a shell).
bool RunShellVerb(const std::string& appId, const std::string& path);

// Shows the file in the file manager, selected where the file manager can do that; else opens
// its folder.
bool ExploreFile(const std::string& path);
// Opens a local file (the manual) with the desktop's application for it.
bool OpenWithDesktop(const std::string& path);

} // namespace lumidex
