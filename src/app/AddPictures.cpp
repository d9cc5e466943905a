#include "Workspace.h"

#include "DatabaseCommands.h"
#include "FileStatus.h"
#include "Paths.h"
#include "PictureReader.h"
#include "Signature.h"

#include <QImage>

#include <algorithm>
#include <filesystem>
#include <limits>

namespace lumidex {

namespace {
namespace fs = std::filesystem;

// The pseudo file systems stand where the system folder stood: never scanned.
bool IsSystemFolder(const std::string& folder) {
    std::error_code ec;
    std::string abs = fs::absolute(fs::path(folder), ec).lexically_normal().string();
    if (ec) abs = folder;
    for (const char* root : {"/proc", "/sys", "/dev"}) {
        std::string r(root);
        if (abs == r || abs.rfind(r + "/", 0) == 0) return true;
    }
    return false;
}

// The title with its change marks and the counts; the main window does it when it is there.
void UpdateTitle(Workspace& ws, int markChanged) {
    if (ws.databaseHooks.UpdateTitle) {
        ws.databaseHooks.UpdateTitle(markChanged);
        return;
    }
    if (markChanged) ws.DataChanged = true;
    ws.frame().ChangeFlagsChanged();
}
} // namespace

bool Workspace::ApplyDuplicatePolicy(const std::string& path) {
    int at = catalogue.FindEntry(path);
    if (at < 0) return true;
    switch (options.GroupBox2) {
    case SameFilePolicy::Replace:
        lists.RemoveEntry(&catalogue.Entry(at));
        return true;
    case SameFilePolicy::DontAdd:
        return false;
    case SameFilePolicy::NotCare:
        return true;
    }
    return false;
}

int Workspace::AddPictures(const std::string& folder, const std::vector<std::string>& names) {
    OperationScope running(*this);
    Frame& f = frame();
    f.ShowProgress();
    f.SetFilesBarMax(static_cast<int>(names.size()));
    newPictures.clear();
    lists.SaveSelection(lists.reference);
    int result = -1;
    for (const std::string& name : names) {
        f.StepFilesBar();
        const std::string path = paths::Join(folder, name);
        if (!ApplyDuplicatePolicy(path)) continue;
        result = AnalyseFile(path);
        if (result == -1) break;
        f.SetStatusText(StatusPanel::Counts, std::to_string(catalogue.Count()) + " Files");
    }
    f.CloseProgress();
    if (!options.NotUpdateListatAction) lists.UpdateReferenceList();
    lists.reference.ClearSelection();
    lists.RestoreSelection(lists.reference);
    UpdateTitle(*this, 0);
    if (result == 0) {
        f.SetStatusText(StatusPanel::Progress, "Adding pictures done.");
        if (!newPictures.empty())
            FolderList.push_back(
                {paths::UpperKey(paths::WithTrailingDelimiter(folder)), newPictures.front()});
    }
    lists.ShowCounts();
    f.SetAbortRequested(false);
    return result;
}

int Workspace::ScanFolder(const std::string& folder, int depth) {
    if (IsSystemFolder(folder)) return 0;
    ++depth;
    if (folderScan.setDepth && folderScan.depth < depth) return 0;
    if (folder.empty()) return -1;
    const std::string dir = paths::WithTrailingDelimiter(folder);
    int result = 0;
    std::error_code ec;
    fs::directory_iterator it(fs::path(dir), fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code sec;
        // A link to a folder is never followed: a loop would never end.
        const fs::file_status st = it->symlink_status(sec);
        if (sec) continue;
        if (fs::is_directory(st)) {
            if (name.empty() || name[0] == '.') continue;
            result = ScanFolder(dir + name, depth);
            if (result == -1) break;
            continue;
        }
        if (fs::is_symlink(st) && fs::is_directory(it->status(sec))) continue;
        const std::string_view ext = paths::Extension(name);
        if (ext.empty() || !IsReadableExtension(ext)) continue;
        const std::string path = dir + name;
        if (!ApplyDuplicatePolicy(path)) continue;
        result = AnalyseFile(path);
        if (result == -1) break;
        frame().SetStatusText(StatusPanel::Counts, std::to_string(catalogue.Count()) + " Files");
    }
    if (!newPictures.empty()) FolderList.push_back({paths::UpperKey(dir), newPictures.back()});
    lists.ShowCounts();
    return result;
}

int Workspace::AddPicturesFromFolder(const std::string& folder, const FolderScan& scan) {
    OperationScope running(*this);
    Frame& f = frame();
    newPictures.clear();
    f.ShowProgress();
    folderScan = scan;
    LoggingOn = scan.makeErrorLog;
    int result = ScanFolder(folder, 0);
    LoggingOn = false;
    f.SetStatusText(StatusPanel::Progress, "Updating list...");
    f.CloseProgress();
    if (!options.NotUpdateListatAction) lists.UpdateReferenceList();
    UpdateTitle(*this, 0);
    // An aborted scan is not done: "Aborted" stays the last word.
    f.SetStatusText(StatusPanel::Progress, result == -1 ? "Aborted" : "Adding pictures done.");
    f.SetAbortRequested(false);
    return result;
}

int Workspace::AddDroppedItems(const std::vector<std::string>& items) {
    OperationScope running(*this);
    Frame& f = frame();
    lists.SelectSortKey();
    f.ShowProgress();
    f.ProcessEvents();
    const int before = catalogue.Count();
    int result = -1;
    for (const std::string& item : items) {
        const std::string path = ExpandLongPath(item);
        if (!ApplyDuplicatePolicy(path)) continue;
        const FileStatus st = GetFileStatus(path);
        if (st.exists && st.isFolder) {
            result = ScanFolder(path, 0);
        } else if (IsReadableExtension(paths::Extension(path))) {
            result = AnalyseFile(path);
        } else {
            result = 1;
            LogMessage("Illegal file extention:" + path);
        }
        if (result == -1) break;
    }
    if (result == 0) f.SetStatusText(StatusPanel::Progress, "Updating list...");
    f.CloseProgress();
    if (catalogue.Count() != before && !options.NotUpdateListatAction) lists.UpdateReferenceList();
    UpdateTitle(*this, 0);
    if (result == 0) f.SetStatusText(StatusPanel::Outcome, "Adding pictures(Drag&Drop) done.");
    f.SetAbortRequested(false);
    return result;
}

bool Workspace::ReanalyseEntry(Pdata& entry) {
    OperationScope running(*this);
    if (PositionOfEntry(catalogue, &entry) < 0) return false;
    const FileStatus st = GetFileStatus(entry.path);
    if (!st.exists || st.size < 1024) {
        LogMessage("File is too small," + entry.path);
        return false;
    }
    const uint32_t oldKey = entry.key, oldCode = entry.code;
    QImage picture;
    if (ReadPicture(picture, entry.path) != 0 ||
        ComputeSignature(picture, entry, SignatureMode::WholePicture, 0, 0, 0, 0, frame()) < 0) {
        LogMessage("ReAnalyze failed.");
        return false;
    }
    entry.fileSize = StoredFileValue(st.size);
    entry.fileTime = StoredFileValue(st.modified);
    if (entry.key != oldKey || entry.code != oldCode) {
        // Groups and regions belong to the old picture.
        entry.mismatchGroup = 0;
        entry.ClearRegions();
        catalogue.Touch();
    }
    UpdateTitle(*this, 1);
    lists.RefreshAfterChange();
    return true;
}

void Workspace::ReanalyseReferenceList() {
    OperationScope running(*this);
    Frame& f = frame();
    f.SetBusy(true);
    lists.SaveSelection(lists.reference);
    const bool robust = options.AllowRobustOperation;
    if (robust) {
        if (lists.hooks.showStopButton) lists.hooks.showStopButton(true);
        StopRequested = false;
    }
    QImage picture;
    for (int row = 0; row < lists.reference.Count(); ++row) {
        lists.reference.Select(row);
        Pdata& entry = *lists.reference.EntryAt(row);
        const FileStatus st = GetFileStatus(entry.path);
        if (!st.exists || st.size < 1024) {
            LogMessage("File is too small," + entry.path);
            break;
        }
        const uint32_t oldKey = entry.key, oldCode = entry.code;
        if (ReadPicture(picture, entry.path) != 0 ||
            ComputeSignature(picture, entry, SignatureMode::WholePicture, 0, 0, 0, 0, f) < 0) {
            LogMessage("ReAnalyze failed.");
            continue;
        }
        entry.fileSize = StoredFileValue(st.size);
        entry.fileTime = StoredFileValue(st.modified);
        if (entry.key != oldKey || entry.code != oldCode) {
            entry.mismatchGroup = 0;
            catalogue.Touch();
        }
        MarkDataChanged();
        if (robust) {
            f.ProcessEvents();
            if (StopRequested) break;
        }
    }
    if (lists.hooks.showStopButton) lists.hooks.showStopButton(false);
    lists.RestoreSelection(lists.reference);
    UpdateTitle(*this, 0);
    f.SetBusy(false);
}

bool Workspace::ClearAllEntries() {
    Frame& f = frame();
    if (DataChanged &&
        f.Ask(Question{"Confirm", "Clear all entries?", {Answer::Yes, Answer::No}}) != Answer::Yes)
        return false;
    f.SetStatusText(StatusPanel::Outcome, "Clear List...");
    Database parts = DatabaseParts();
    ClearAllData(parts);
    lists.recheckQueue.clear();
    newPictures.clear();
    FolderList.clear();
    f.SetStatusText(StatusPanel::Outcome, "");
    lists.dataFilter = FilterItem::All;
    lists.listAllMode = true;
    return true;
}

} // namespace lumidex
