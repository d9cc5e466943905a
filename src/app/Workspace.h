#pragma once

#include "Analyser.h"
#include "AnalysisPipeline.h"
#include "Catalogue.h"
#include "DataManage.h"
#include "DatabaseFile.h"
#include "FileOps.h"
#include "FolderList.h"
#include "FolderWalk.h"
#include "History.h"
#include "Lists.h"
#include "MemoAssign.h"
#include "MismatchNum.h"
#include "Navigator.h"
#include "Options.h"
#include "SharedState.h"
#include "SpiHost.h"
#include "StatEntry.h"

#include <functional>
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
    // Told of each entry the re-analysis of the reference list reads, with what it read, so
    // that the window can show the picture while it is analysed.
    std::function<void(Pdata& entry, const FileAnalysis& read)> onReanalysing;
    // "Clear &All Data Entries": false when the user said No.
    bool ClearAllEntries();
    // Depth setting of the folder dialog, used for dropped folders too.
    FolderScan folderScan;
    // Threads that read and analyse files ahead of the adding commands and the re-analysis:
    // 0 for every core, 1 for none (everything on this thread).
    int analysisWorkers = 0;

    // The disk the file commands act on; tests put a fault-injecting one in its place.
    RealFileSystem realFileSystem;
    FileSystem* fileSystem = &realFileSystem;
    lumidex::FileOpsParts FileOpsParts() {
        return {*this, catalogue, lists, options, FolderList, *fileSystem};
    }
    // Windows that hold entries of their own (the unlinked data window) let go of them here:
    // each listener hears of entries about to be freed, and of the catalogue being emptied.
    struct RemovalListener {
        std::function<void(const std::vector<Pdata*>&)> entriesRemoved;
        std::function<void()> cleared;
    };
    int AddRemovalListener(RemovalListener listener);
    void RemoveRemovalListener(int id);

    // The same for holders of single entries (the memo manager's shown entry, the mismatch
    // editor's rows): called with the entry before it is freed, and with nullptr before the
    // catalogue is emptied (a clear, an open).
    using EntryForget = std::function<void(const Pdata*)>;
    int AddEntryListener(EntryForget forget);
    void RemoveEntryListener(int id);
    Bookmarks bookmarks;
    // The memo manager's "Copy"; its numbers belong to the memo table of their time.
    CopiedMemos copiedMemos;
    // The picture plug-ins of the folder last loaded (PluginMode.h switches them on and off).
    SpiHost plugins;

private:
    void EntriesRemoved(const std::vector<Pdata*>& entries);
    std::vector<std::pair<int, RemovalListener>> removalListeners_;
    int nextListenerId_ = 0;
    // The duplicate policy before one file: false when the file is skipped.
    bool ApplyDuplicatePolicy(const std::string& path);

    // Runs the analysis pipeline over the files a command foresees, for as long as it lives.
    class PipelineScope;
    AnalysisPipeline* pipeline_ = nullptr;
    FolderListings listings_;
};

} // namespace lumidex
