#pragma once

#include "Analyser.h"
#include "Catalogue.h"
#include "DataManage.h"
#include "DatabaseFile.h"
#include "FolderList.h"
#include "History.h"
#include "Lists.h"
#include "MismatchNum.h"
#include "Options.h"
#include "SharedState.h"
#include "SpiHost.h"
#include "StatEntry.h"

#include <string>
#include <utility>
#include <vector>

namespace lumidex {

// Everything the program keeps while it runs: the shared values, the catalogue and the lists
// over it. The main window owns one, the command line tool owns one, tests make their own.
class Workspace : public SharedState {
public:
    Workspace(Frame& frame, std::string appDir);

    // Analyses one file into a new entry (see Analyser::AnalyseFile).
    int AnalyseFile(const std::string& path);
    int StatEntry(FileStatus& status, Pdata& entry) {
        return statCache.StatEntry(status, entry, *this);
    }

    Catalogue catalogue;
    // Entries added since the catalogue was opened, in the order added.
    std::vector<Pdata*> newPictures;
    lumidex::FolderList FolderList;
    lumidex::Options options;
    DataManage memos;
    MismatchNum mismatchNumbers;
    // The database header in memory, and the hooks the lists and windows plug into.
    HeaderState header;
    DatabaseHooks databaseHooks;
    // Recently used databases ("history.cfg"); its limit is options.HistoryCount.
    lumidex::History history;
    lumidex::Database DatabaseParts() {
        return {*this,   catalogue,  memos,  mismatchNumbers,
                options, FolderList, header, databaseHooks};
    }
    StatCache statCache;
    Analyser analyser;
    // The reference and target lists with their selection, filter and re-check queue.
    Lists lists{*this, catalogue, options, statCache};

    // Adding pictures (AddPictures.cpp). Each returns the last AnalyseFile result (-1 abort).
    struct FolderScan {
        bool setDepth = false;
        int depth = 1;
        bool makeErrorLog = false;
    };
    // "&Add Picture...": files of one folder, in order.
    int AddPictures(const std::string& folder, const std::vector<std::string>& names);
    // "Add Pictures from &Folder...".
    int AddPicturesFromFolder(const std::string& folder, const FolderScan& scan);
    // Files and folders dropped on the main window.
    int AddDroppedItems(const std::vector<std::string>& paths);
    // Scans one folder tree (depth counts the folders above it); 0, 1 or -1.
    int ScanFolder(const std::string& folder, int depth);
    // "ReAnalyse(&Whole)" of one entry; false when it failed.
    bool ReanalyseEntry(Pdata& entry);
    // "Reanalize All in Ref. &List".
    void ReanalyseReferenceList();
    // "Clear &All Data Entries": false when the user said No.
    bool ClearAllEntries();
    // Depth setting of the folder dialog, used for dropped folders too.
    FolderScan folderScan;
    // The picture plug-ins of the folder last loaded (PluginMode.h switches them on and off).
    SpiHost plugins;

private:
    // The duplicate policy before one file: false when the file is skipped.
    bool ApplyDuplicatePolicy(const std::string& path);
};

} // namespace lumidex
