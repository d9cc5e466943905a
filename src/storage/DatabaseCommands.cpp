#include "DatabaseCommands.h"

#include "AtomicFile.h"
#include "FileStatus.h"
#include "History.h"
#include "MemoFile.h"
#include "Paths.h"

#include <fstream>
#include <iterator>

namespace lumidex {

namespace {

void UpdateTitle(Database& db, int markChanged) {
    if (db.hooks.UpdateTitle) {
        db.hooks.UpdateTitle(markChanged);
        return;
    }
    if (markChanged) db.state.DataChanged = true;
    db.state.frame().ChangeFlagsChanged();
}

bool AnyChangeFlag(const SharedState& s) {
    return s.DataChanged || s.OptionsChanged || s.OldFormatRead;
}

// File name without folder and extension, the caption of the save question.
std::string BaseName(std::string_view path) {
    std::string_view name = paths::FileName(path);
    return std::string(name.substr(0, name.size() - paths::Extension(name).size()));
}

} // namespace

FileChoice DatabaseSaveChoice(const std::string& presetPath) {
    FileChoice c;
    c.forSaving = true;
    c.filter = "Lumidex2 Database(ld2)|*.ld2|All|*.*";
    c.defaultExtension = "ld2";
    c.initialPath = presetPath;
    return c;
}

void ClearAllData(Database& db) {
    if (db.hooks.ClearLists) db.hooks.ClearLists();
    db.folders.clear();
    db.catalogue.Clear();
    db.memos.Clear();
    if (db.hooks.MemosChanged) db.hooks.MemosChanged();
    db.mismatch.Reset();
    db.state.DataChanged = false;
    db.state.OptionsChanged = false;
    db.state.OldFormatRead = false;
    db.state.DatabasePath.clear();
    db.state.frame().ChangeFlagsChanged();
}

bool OpenDatabase(Database& db) {
    SharedState& state = db.state;
    Frame& frame = state.frame();
    if (AnyChangeFlag(state)) {
        Answer a = frame.Ask({BaseName(state.DatabasePath),
                              "Data changed. Save?",
                              {Answer::Yes, Answer::No, Answer::Cancel}});
        // A save that did not complete must not be followed by clearing the catalogue.
        if (a == Answer::Yes && (!SaveDatabase(db) || state.DataChanged)) a = Answer::Cancel;
        if (a == Answer::Cancel) {
            frame.SetStatusText(StatusPanel::Outcome, "Open Database Canceled.");
            state.PendingDatabasePath.clear();
            return false;
        }
    }
    state.DataChanged = false;
    ClearAllData(db);
    frame.SetStatusText(StatusPanel::Outcome, "Data cleared.");
    ReadResult r = ReadDatabase(db);
    state.DataChanged = false;
    state.OptionsChanged = false;
    UpdateTitle(db, 0);
    return r == ReadResult::Done;
}

bool OpenFromHistory(Database& db, History& history, std::string path) {
    if (!path.empty() && path.front() == '&') path.erase(0, 1);
    db.state.PendingDatabasePath = path;
    bool ok = OpenDatabase(db);
    history.MoveToFront(path);
    return ok;
}

bool SaveDatabase(Database& db) {
    SharedState& state = db.state;
    BuildHeader(db);
    if (state.DatabasePath.empty()) return SaveDatabaseAs(db);
    if (paths::LowerAscii(paths::Extension(state.DatabasePath)) == ".ldb") {
        Answer a = state.frame().Ask(
            {"Confirm", "Change file extension to 'ld2' ?", {Answer::Yes, Answer::No}});
        if (a == Answer::Yes) {
            std::string_view p = state.DatabasePath;
            std::string renamed = std::string(p.substr(0, p.size() - 4)) + ".ld2";
            return SaveDatabaseAs(db, renamed);
        }
    }
    bool ok = WriteDatabase(db, state.DatabasePath);
    UpdateTitle(db, 0);
    return ok;
}

bool SaveDatabaseAs(Database& db, const std::string& presetPath) {
    SharedState& state = db.state;
    Frame& frame = state.frame();
    BuildHeader(db);
    std::string path;
    if (frame.CanChooseFiles()) {
        path = frame.ChooseFile(
            DatabaseSaveChoice(presetPath.empty() ? state.DatabasePath : presetPath));
        if (path.empty()) {
            frame.SetStatusText(StatusPanel::Outcome, "Save Canceled.");
            return false;
        }
    } else {
        path = state.AppDir + "emergency.ld2";
        frame.Ask({"Serious Error",
                   "Can't execute Dialogbox.Data is save as <" + path + ">",
                   {Answer::Ok}});
    }
    state.DatabasePath = path;
    bool ok = WriteDatabase(db, path);
    UpdateTitle(db, 0);
    return ok;
}

ReadResult ImportDatabase(Database& db) {
    SharedState& state = db.state;
    std::string kept = state.DatabasePath;
    state.StopRequested = false;
    state.Merging = true;
    ReadResult r = ReadDatabase(db);
    state.DatabasePath = kept;
    UpdateTitle(db, 0);
    state.Merging = false;
    return r;
}

bool DefaultOptionsExist(const std::string& appDir) {
    return IsExistingFile(appDir + "default.ld2");
}

void LoadDefaultOptions(Database& db) {
    SharedState& state = db.state;
    std::string path = state.AppDir + "default.ld2";
    if (!IsExistingFile(path)) path = state.AppDir + "default.ldb";
    if (!IsExistingFile(path)) {
        if (db.hooks.MenuLanguage) db.hooks.MenuLanguage(db.options.UseJapneseMenu);
        return;
    }
    std::ifstream in(path, std::ios::binary);
    std::string image(kHeaderSize, '\0');
    in.read(image.data(), static_cast<std::streamsize>(kHeaderSize));
    image.resize(static_cast<size_t>(in.gcount()));

    // The mark of an old database that is open stays; only the default file's is dropped.
    bool oldBefore = state.OldFormatRead;
    bool merging = state.Merging;
    state.OldFormatRead = false;
    state.Merging = false;
    ApplyHeader(db, image);
    state.Merging = merging;
    state.frame().HideMainProgress();
    if (state.OldFormatRead)
        state.frame().SetStatusText(StatusPanel::Progress,
                                    "Read OLD 'default.ld?'. Some options may be not set.");
    state.OldFormatRead = oldBefore;
    state.frame().ChangeFlagsChanged();
}

bool SaveDefaultOptions(Database& db) {
    BuildHeader(db);
    std::string_view bytes(reinterpret_cast<const char*>(db.header.HeaderBuffer.data()),
                           kHeaderSize);
    if (WriteFileAtomically(db.state.AppDir + "default.ld2", bytes) != SaveResult::Ok) {
        db.state.LogMessage("Can't open default.ld2");
        return false;
    }
    return true;
}

namespace {
constexpr const char* kMemoFilter = "Lumidex2 Memo Files(*.l2m)|*.l2m|All Files(*.*)|*.*";
}

bool ExportMemo(Database& db, std::string path) {
    SharedState& state = db.state;
    if (path.empty()) {
        FileChoice c;
        c.forSaving = true;
        c.filter = kMemoFilter;
        c.defaultExtension = "l2m";
        c.initialPath =
            state.DatabasePath.empty() ? "memo.l2m" : BaseName(state.DatabasePath) + ".l2m";
        path = state.frame().ChooseFile(c);
        if (path.empty()) return false;
    }
    if (WriteFileAtomically(path, BuildMemoFile(db.memos)) != SaveResult::Ok) {
        state.LogMessage("Can't open " + path);
        return false;
    }
    return true;
}

bool ImportMemo(Database& db, std::string path) {
    SharedState& state = db.state;
    if (path.empty()) {
        FileChoice c;
        c.filter = kMemoFilter;
        c.defaultExtension = "l2m";
        c.initialPath = "*.l2m";
        path = state.frame().ChooseFile(c);
        if (path.empty()) return false;
    }
    std::ifstream in(path, std::ios::binary);
    std::string content;
    bool readable = in.is_open();
    if (readable) {
        // Bounded before anything is allocated for it.
        in.seekg(0, std::ios::end);
        const std::streamoff size = in.tellg();
        in.seekg(0, std::ios::beg);
        readable = size >= 0 && static_cast<uint64_t>(size) <= kMaxMemoFileBytes;
        if (readable) {
            content.resize(static_cast<size_t>(size));
            in.read(content.data(), size);
            readable = !in.bad() && in.gcount() == size;
        }
    }
    int skipped = 0;
    if (!readable || !ReadMemoFile(db.memos, content, &skipped)) {
        state.LogMessage(kMemoFileFailed);
        return false;
    }
    if (skipped > 0) state.LogMessage(SkippedMemoLinesMessage(skipped));
    if (db.hooks.MemosChanged) db.hooks.MemosChanged();
    UpdateTitle(db, 1);
    return true;
}

} // namespace lumidex
