#include "Workspace.h"

#include "AnalysisPipeline.h"
#include "FolderWalk.h"

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

class Workspace::PipelineScope {
public:
    // showsPictures: the command shows each picture in the progress window.
    PipelineScope(Workspace& ws, AnalysisPipeline::Upcoming upcoming, bool showsPictures = true)
        : ws_(ws) {
        const int workers =
            ws.analysisWorkers > 0 ? ws.analysisWorkers : AnalysisPipeline::DefaultWorkers();
        // A dropped folder runs in the pipeline of the drop; plug-ins are not known to be
        // safe on other threads.
        if (workers < 2 || ws.pipeline_ || ws.PluginsInUse) return;
        // Under "Don't Add" a file already catalogued, or foreseen before, will be skipped.
        auto worth = [&ws](const std::string& path, bool pending) {
            return ws.options.GroupBox2 != SameFilePolicy::DontAdd ||
                   (!pending && ws.catalogue.FindEntry(path) < 0);
        };
        const ProgressPreview preview = showsPictures && ws.frame().ShowsPictures()
                                            ? ProgressPreview::Small
                                            : ProgressPreview::None;
        pipeline_ = std::make_unique<AnalysisPipeline>(
            workers, std::move(upcoming), worth, AnalysisPipeline::kDefaultByteBudget, preview);
        ws.pipeline_ = pipeline_.get();
        ws.analyser.measure = [&ws](const std::string& path) {
            return ws.pipeline_->Take(path, [&ws] { ws.frame().ProcessEvents(); });
        };
    }
    ~PipelineScope() {
        if (!pipeline_) return;
        ws_.analyser.measure = nullptr;
        ws_.pipeline_ = nullptr;
        pipeline_.reset();
        ws_.listings_.Clear();
    }
    PipelineScope(const PipelineScope&) = delete;
    PipelineScope& operator=(const PipelineScope&) = delete;

private:
    Workspace& ws_;
    std::unique_ptr<AnalysisPipeline> pipeline_;
};

namespace {
FolderWalk::Rules WalkRules(const Workspace& ws) {
    return {ws.folderScan.setDepth, ws.folderScan.depth,
            [&ws](std::string_view ext) { return ws.IsReadableExtension(ext); }};
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
        if (pipeline_) pipeline_->Pass(path);
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
    size_t foreseen = 0;
    PipelineScope pipeline(*this, [&](std::string& path) {
        if (foreseen >= names.size()) return false;
        path = paths::Join(folder, names[foreseen++]);
        return true;
    });
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
    const auto items =
        listings_.Take(dir, [this](std::string_view ext) { return IsReadableExtension(ext); });
    for (const FolderItem& item : *items) {
        if (item.isFolder) {
            result = ScanFolder(dir + item.name, depth);
            if (result == -1) break;
            continue;
        }
        const std::string path = dir + item.name;
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
    FolderWalk walk(folder, 0, WalkRules(*this), listings_);
    PipelineScope pipeline(*this, [&walk](std::string& path) { return walk.Next(path); });
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
    // The files of the drop in its order: dropped files, and the files of dropped folders.
    size_t foreseen = 0;
    std::unique_ptr<FolderWalk> walk;
    PipelineScope pipeline(*this, [&](std::string& path) {
        for (;;) {
            if (walk && walk->Next(path)) return true;
            walk.reset();
            if (foreseen >= items.size()) return false;
            std::string item = ExpandLongPath(items[foreseen++].substr(0, 1023));
            const FileStatus st = GetFileStatus(item);
            if (st.exists && st.isFolder) {
                walk = std::make_unique<FolderWalk>(item, 0, WalkRules(*this), listings_);
            } else if (IsReadableExtension(paths::Extension(item))) {
                path = std::move(item);
                return true;
            }
        }
    });
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
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(lists.reference.Count()));
    for (const ListRow& r : lists.reference.Rows())
        paths.push_back(r.entry->path);
    size_t foreseen = 0;
    PipelineScope pipeline(
        *this,
        [&](std::string& path) {
            if (foreseen >= paths.size()) return false;
            path = paths[foreseen++];
            return true;
        },
        true);
    for (int row = 0; row < lists.reference.Count(); ++row) {
        lists.reference.Select(row);
        Pdata& entry = *lists.reference.EntryAt(row);
        // The window shows each picture as it is read again.
        FileAnalysis a = analyser.measure ? analyser.measure(entry.path)
                                          : MeasureFile(entry.path, frame().ShowsPictures()
                                                                        ? ProgressPreview::Small
                                                                        : ProgressPreview::None);
        const FileStatus& st = a.status;
        if (!st.exists || st.size < 1024) {
            LogMessage("File is too small," + entry.path);
            break;
        }
        if (onReanalysing) onReanalysing(entry, a);
        const uint32_t oldKey = entry.key, oldCode = entry.code;
        // As the signature would, the progress replay reads the abort request after each cell.
        if (a.read != ReadOutcome::Ok || a.key < 0 || !ReplaySignatureProgress(f)) {
            LogMessage("ReAnalyze failed.");
            continue;
        }
        entry.key = static_cast<uint32_t>(a.key);
        entry.code = a.code;
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
