#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lumidex {

// One row of the caption table: a main menu item and its captions in both languages.
struct MenuCaption {
    const char* name;
    const char* english;
    const char* japanese;
};

// Every main menu item whose caption follows the language, in the order captions are set.
const std::vector<MenuCaption>& MenuCaptionTable();

// Caption of a table row in a language: 0 English, 1 Japanese; nullptr for any other value
// or a name outside the table.
const char* MenuCaptionFor(const std::string& name, int language);

// Gives every row of the table its caption in the language (0 English, 1 Japanese) through
// assign(name, caption). Any other language assigns nothing; returns whether it assigned.
bool SetMenuLanguage(int language,
                     const std::function<void(const std::string&, const std::string&)>& assign);

// One node of the main menu: a separator, a command, or a menu with children.
struct MenuNode {
    std::string name;       // object name of the item ("" for an anonymous separator)
    std::string captionKey; // row of the caption table that names it (usually the name)
    std::string shortcut;   // in QKeySequence's portable text form, or empty
    bool separator = false;
    bool hidden = false;
    std::vector<MenuNode> children;
};

// The main menu in its order: File, Database, ImageList, Tool, Help.
const std::vector<MenuNode>& MainMenuLayout();

} // namespace lumidex
