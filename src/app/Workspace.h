#pragma once

#include "Analyser.h"
#include "Catalogue.h"
#include "SharedState.h"
#include "StatEntry.h"

#include <string>
#include <utility>
#include <vector>

namespace lumidex {

// One item per folder run of the catalogue: an upper-case path whose folder part is the folder
// meant, and an entry of that folder. The entries belong to the catalogue.
using FolderList = std::vector<std::pair<std::string, Pdata*>>;

// Everything the program keeps while it runs: the shared values, the catalogue and the lists
// over it. The main window owns one, the command line tool owns one, tests make their own.
class Workspace : public SharedState {
public:
    Workspace(Frame& frame, std::string appDir);

    // Analyses one file into a new entry (see Analyser::AnalyseFile).
    int AnalyseFile(const std::string& path);
    int StatEntry(FileStatus& status, Pdata& entry) { return statCache.StatEntry(status, entry, *this); }

    Catalogue catalogue;
    // Entries added since the catalogue was opened, in the order added.
    std::vector<Pdata*> newPictures;
    lumidex::FolderList FolderList;
    StatCache statCache;
    Analyser analyser;
};

} // namespace lumidex
