// The main window: copy, move, delete, rename and overwrite-move of the pictures of both
// lists and the viewers, and the path tools of the "&Tool" menu.
#include "TMain.h"

#include "ActionRules.h"
#include "CopyMove.h"
#include "DeleteRename.h"
#include "FileStatus.h"
#include "PathMaintenance.h"
#include "Paths.h"
#include "QtText.h"
#include "StartUp.h"
#include "TDirSel.h"
#include "TPathChange.h"
#include "TQueryDialog.h"
#include "TRenameDlg.h"
#include "TUnlinkedData.h"
#include "TViewLeft.h"

#include <QAction>
#include <QCheckBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QToolButton>

namespace lumidex {

namespace {

// The dialogs open where the user is looking: at the mouse pointer.
class PlacedCollisionAsker : public CollisionAsker {
public:
    explicit PlacedCollisionAsker(TQueryDialog* dialog) : dialog_(dialog) {}
    CollisionReply Ask(const CollisionQuery& query) override {
        dialog_->PrepareQuery(query);
        PlaceAtCursor(dialog_);
        return dialog_->Ask(query);
    }

private:
    TQueryDialog* dialog_;
};

class PlacedRenameAsker : public RenameAsker {
public:
    explicit PlacedRenameAsker(TRenameDlg* dialog) : dialog_(dialog) {}
    bool AskNewName(std::string& name, const std::string& extension,
                    const std::string& message) override {
        dialog_->Fill(name, extension, message);
        PlaceAtCursor(dialog_);
        return dialog_->AskNewName(name, extension, message);
    }

private:
    TRenameDlg* dialog_;
};

// Keeps a second file command out while one waits in a dialog (timers and viewers run on).
class CommandScope {
public:
    explicit CommandScope(bool& running) : running_(running), entered_(!running) {
        running_ = true;
    }
    ~CommandScope() {
        if (entered_) running_ = false;
    }
    bool entered() const { return entered_; }

private:
    bool& running_;
    bool entered_;
};

bool ShiftHeld() {
    return QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
}

QString FolderCaption(const std::string& folder) {
    // An ampersand in a folder name is no accelerator.
    return PathText(folder).replace("&", "&&");
}

std::vector<std::string> PathsOf(const std::vector<Pdata*>& entries) {
    std::vector<std::string> paths;
    for (const Pdata* e : entries)
        paths.push_back(e->path);
    return paths;
}

// Both folders start as the reference's: the user edits the one that changed.
void OfferReferenceFolder(TPathChange* dialog, const Pdata* reference) {
    if (!reference) return;
    const std::string folder(paths::FolderPart(reference->path));
    dialog->SetFolders(folder, folder);
}

} // namespace

void TMain::AttachFileOps(TQueryDialog* query, TRenameDlg* rename, TPathChange* pathChange,
                          TUnlinkedData* unlinked) {
    if (query) query_ = query;
    if (rename) renameDlg_ = rename;
    if (pathChange) {
        pathChange_ = pathChange;
        connect(pathChange_, &TPathChange::browseRequested, this, &TMain::BrowsePathChange);
    }
    if (unlinked) {
        unlinked_ = unlinked;
        connect(unlinked_, &TUnlinkedData::catalogueChanged, this, [this] { UpdateTitle(0); });
        // The window holds entries: it lets go of them whenever the catalogue drops any.
        QPointer<TUnlinkedData> window = unlinked_;
        Workspace::RemovalListener listener;
        listener.entriesRemoved = [window](const std::vector<Pdata*>& entries) {
            if (window) window->EntriesRemoved(entries);
        };
        listener.cleared = [window] {
            if (window) window->CatalogueCleared();
        };
        ws_->AddRemovalListener(std::move(listener));
    }
}

TQueryDialog* TMain::QueryDialog() {
    if (!query_) AttachFileOps(new TQueryDialog(this), nullptr, nullptr, nullptr);
    return query_;
}

TRenameDlg* TMain::RenameDialog() {
    if (!renameDlg_) AttachFileOps(nullptr, new TRenameDlg(this), nullptr, nullptr);
    return renameDlg_;
}

TPathChange* TMain::PathChangeDialog() {
    if (!pathChange_) AttachFileOps(nullptr, nullptr, new TPathChange(this), nullptr);
    return pathChange_;
}

TUnlinkedData* TMain::UnlinkedData() {
    if (!unlinked_)
        AttachFileOps(nullptr, nullptr, nullptr, new TUnlinkedData(ws_->FileOpsParts(), this));
    return unlinked_;
}

void TMain::ConnectFileOps() {
    Connect("CopyRef1", &TMain::CopyRefButtonClick);
    Connect("MoveRef1", &TMain::MoveRefButtonClick);
    Connect("DeleteRef1", &TMain::RefdelButtonClick);
    Connect("Copy1", &TMain::CopyButtonClick);
    Connect("Move1", &TMain::MoveButtonClick);
    Connect("Delete1", &TMain::DelButtonClick);
    Connect("Rename1", &TMain::RenameClick);
    Connect("SearchUnlinkedData", &TMain::SearchUnlinkedDataClick);
    Connect("ChangeAllFilePath1", &TMain::ChangeAllFilePath1Click);
    Connect("ActionMovePath", &TMain::ActionMovePathExecute);
    SetBuilt("MovePath1");
    Connect("ChangeFilenamewithCSV1", &TMain::ChangeFilenamewithCSV1Click);
    for (auto [name, ontoTarget] :
         {std::pair{"OverwrightMoveRefTarg1", true}, std::pair{"OverwrightMoveRefTarg2", false}}) {
        connect(Action(name), &QAction::triggered, this,
                [this, ontoTarget] { ActionOverwrightMove1Execute(ontoTarget); });
        SetBuilt(name);
    }
    // The context menus and the panel buttons run the same commands.
    const std::vector<std::pair<const char*, void (TMain::*)()>> items = {
        {"CopyRef2", &TMain::CopyRefButtonClick},  {"MoveRef2", &TMain::MoveRefButtonClick},
        {"DeleteRef2", &TMain::RefdelButtonClick}, {"Copy2", &TMain::CopyButtonClick},
        {"Move2", &TMain::MoveButtonClick},        {"Delete2", &TMain::DelButtonClick},
        {"Rename2", &TMain::RenameClick}};
    for (auto [name, handler] : items)
        connect(Action(name), &QAction::triggered, this, handler);
    const std::vector<std::pair<const char*, void (TMain::*)()>> buttons = {
        {"CopyRefButton", &TMain::CopyRefButtonClick},
        {"MoveRefButton", &TMain::MoveRefButtonClick},
        {"RefdelButton", &TMain::RefdelButtonClick},
        {"ButtonRenameLeft", &TMain::ActionRenameLeftExecute},
        {"CopyButton", &TMain::CopyButtonClick},
        {"MoveButton", &TMain::MoveButtonClick},
        {"DelButton", &TMain::DelButtonClick},
        {"Rename", &TMain::RenameClick}};
    for (auto [name, handler] : buttons)
        connect(panelButtons_[name], &QToolButton::clicked, this, handler);
    for (auto [name, reference, copy] :
         {std::tuple{"CopyReferenceto1", true, true}, std::tuple{"MoveReferenceto1", true, false},
          std::tuple{"CopyTargetto1", false, true}, std::tuple{"MoveTargetto1", false, false}})
        connect(Action(name), &QAction::triggered, this, [this, reference, copy] {
            TransferCommand(reference, copy, Destination::Current);
        });
    AddPopupOpener([this](QMenu*, bool reference) {
        Lists& lists = ws_->lists;
        FileSystem& fs = *ws_->fileSystem;
        const FileActionState s =
            FileActionsFor(fs, reference ? lists.currentReference : lists.currentTarget);
        const bool any = reference || lists.target.SelectedCount() > 0;
        const std::string folder = DirSel()->CurrentFolder();
        const QString shown = folder.empty() ? QString() : " <" + FolderCaption(folder) + ">";
        if (reference) {
            Action("CopyRef2")->setEnabled(s.copy);
            Action("MoveRef2")->setEnabled(s.moveDeleteRename);
            Action("DeleteRef2")->setEnabled(s.moveDeleteRename);
            Action("CopyReferenceto1")->setText("Copy Reference to" + shown);
            Action("MoveReferenceto1")->setText("Move Reference to" + shown);
            Action("CopyReferenceto1")->setEnabled(s.copy && !folder.empty());
            Action("MoveReferenceto1")->setEnabled(s.moveDeleteRename && !folder.empty());
            FillDestinationMenu(MenuNamed("CopyReferencetp1"), true, true);
            FillDestinationMenu(MenuNamed("MoveReferenceto2"), true, false);
        } else {
            // The target commands serve every selected target.
            Action("Copy2")->setEnabled(any && s.copy);
            Action("Move2")->setEnabled(any && s.moveDeleteRename);
            Action("Delete2")->setEnabled(any && s.moveDeleteRename);
            Action("Rename2")->setEnabled(any && s.moveDeleteRename);
            Action("CopyTargetto1")->setText("Copy Target to" + shown);
            Action("MoveTargetto1")->setText("Move Target to" + shown);
            Action("CopyTargetto1")->setEnabled(any && s.copy && !folder.empty());
            Action("MoveTargetto1")->setEnabled(any && s.moveDeleteRename && !folder.empty());
            FillDestinationMenu(MenuNamed("CopyTargetto2"), false, true);
            FillDestinationMenu(MenuNamed("MoveTargetto2"), false, false);
        }
    });
    // Runs after the menus' own enabling.
    for (const char* menu : {"Action1", "Option1"})
        connect(MenuNamed(menu), &QMenu::aboutToShow, this, &TMain::UpdateFileActions);
    UpdateFileActions();
}

void TMain::FillDestinationMenu(QMenu* menu, bool reference, bool copy) {
    menu->clear();
    const FileActionState s = FileActionsFor(
        *ws_->fileSystem, reference ? ws_->lists.currentReference : ws_->lists.currentTarget);
    const bool allowed = (copy ? s.copy : s.moveDeleteRename) &&
                         (reference || ws_->lists.target.SelectedCount() > 0);
    for (const std::string& folder : DirSel()->Destinations().Items()) {
        QAction* a = menu->addAction(FolderCaption(folder));
        connect(a, &QAction::triggered, this, [this, reference, copy, folder] {
            TransferCommand(reference, copy, Destination::Listed, folder);
        });
    }
    menu->menuAction()->setEnabled(allowed && !menu->isEmpty());
}

void TMain::UpdateFileActions() {
    Lists& lists = ws_->lists;
    FileSystem& fs = *ws_->fileSystem;
    const FileActionState ref = FileActionsFor(fs, lists.currentReference);
    const FileActionState tgt = FileActionsFor(fs, lists.currentTarget);
    const bool targets = lists.target.SelectedCount() > 0;
    const bool idle = !fileCommandRunning_;
    const bool overwrite = OverwriteMoveEnabled(fs, lists.currentReference, lists.currentTarget);
    const bool catalogued = !ws_->catalogue.Empty();
    const std::vector<std::pair<const char*, bool>> states = {
        {"CopyRef1", ref.copy},
        {"MoveRef1", ref.moveDeleteRename},
        {"DeleteRef1", ref.moveDeleteRename},
        {"Copy1", targets && tgt.copy},
        {"Move1", targets && tgt.moveDeleteRename},
        {"Delete1", targets && tgt.moveDeleteRename},
        {"Rename1", targets && tgt.moveDeleteRename},
        {"OverwrightMoveRefTarg1", overwrite},
        {"OverwrightMoveRefTarg2", overwrite},
        {"SearchUnlinkedData", catalogued},
        {"ChangeAllFilePath1", catalogued},
        {"ActionMovePath", lists.currentReference != nullptr},
        {"ChangeFilenamewithCSV1", true},
    };
    for (auto [name, on] : states)
        Action(name)->setEnabled(on && idle);
    const std::vector<std::pair<const char*, bool>> buttons = {
        {"CopyRefButton", ref.copy},
        {"MoveRefButton", ref.moveDeleteRename},
        {"RefdelButton", ref.moveDeleteRename},
        {"ButtonRenameLeft", ref.moveDeleteRename},
        {"CopyButton", targets && tgt.copy},
        {"MoveButton", targets && tgt.moveDeleteRename},
        {"DelButton", targets && tgt.moveDeleteRename},
        {"Rename", targets && tgt.moveDeleteRename}};
    for (auto [name, on] : buttons)
        panelButtons_[name]->setEnabled(on && idle);
}

void TMain::AfterFileCommand(const std::vector<std::string>& touched) {
    for (const std::string& path : touched)
        DropPreview(path);
    // Re-listing hid a pane whose entry stays selected: it shows it again, read afresh.
    Lists& lists = ws_->lists;
    for (bool reference : {true, false}) {
        Pdata* previewed = reference ? lists.previewedReference : lists.previewedTarget;
        if (previewed && (Pane(reference).shown != previewed || PaneImage(reference)->isHidden()))
            View(reference, previewed);
    }
    for (bool reference : {true, false}) {
        RebuildPaneHint(reference);
        if (TViewLeft* viewer = PaneViewer(reference); viewer && viewer->isVisible())
            viewer->setWindowTitle(PaneHintText(reference));
    }
    UpdateTitle(0);
    ShowSizeComparison();
}

void TMain::CopyButtonClick() {
    TransferCommand(false, true, Destination::Ask);
}

void TMain::MoveButtonClick() {
    TransferCommand(false, false, Destination::Ask);
}

void TMain::CopyRefButtonClick() {
    TransferCommand(true, true, Destination::Ask);
}

void TMain::MoveRefButtonClick() {
    TransferCommand(true, false, Destination::Ask);
}

void TMain::TransferCommand(bool reference, bool copy, Destination how, const std::string& listed) {
    CommandScope scope(fileCommandRunning_);
    if (!scope.entered() || ListUpRunning()) return;
    Lists& lists = ws_->lists;
    if (reference ? !lists.currentReference : lists.target.SelectedCount() == 0) return;
    TDirSel* dirSel = DirSel();
    if (how == Destination::Listed) {
        dirSel->SetCurrentFolder(listed);
        dirSel->Remember(listed);
    }
    dirSel->SetMode(copy ? 1 : 2);
    if (how == Destination::Ask && !ShiftHeld()) {
        PlaceAtCursor(dirSel);
        if (dirSel->exec() != QDialog::Accepted) return;
    }
    const std::string folder = how == Destination::Listed ? listed : dirSel->CurrentFolder();
    if (folder.empty()) return;
    UpdateFileActions();
    FileOpsParts parts = ws_->FileOpsParts();
    PlacedCollisionAsker asker(QueryDialog());
    TransferResult r;
    if (reference)
        r = copy ? CopyReference(parts, folder, &asker) : MoveReference(parts, folder, &asker);
    else
        r = copy ? CopySelectedTargets(parts, folder, &asker)
                 : MoveSelectedTargets(parts, folder, &asker);
    QueryDialog()->OkToAll = false;
    // Re-listing the targets showed a detail line over the outcome.
    if (copy && r.done > 0 && !r.skipped && !r.aborted)
        SetStatusText(StatusPanel::Outcome, "Copy complate.");
    if (how == Destination::Current) dirSel->Remember(folder);
    if (folderListAdded_) {
        if (r.firstNewEntry) folderListAdded_(r.firstNewEntry->path);
        // A moved reference shows as its file, moved targets as their new folder.
        if (!r.moved.empty())
            folderListAdded_(reference ? r.moved.front()->path
                                       : paths::WithTrailingDelimiter(folder));
    }
    fileCommandRunning_ = false;
    AfterFileCommand(r.touched);
}

void TMain::RunOnEntries(FileSide side, const std::function<void(FileOpsParts&)>& run) {
    CommandScope scope(fileCommandRunning_);
    if (!scope.entered() || ListUpRunning()) return;
    Lists& lists = ws_->lists;
    std::vector<Pdata*> entries;
    if (side == FileSide::Targets) {
        for (int row : lists.target.SelectedRows())
            entries.push_back(lists.target.EntryAt(row));
    } else if (lists.currentReference) {
        entries.push_back(lists.currentReference);
        if (side == FileSide::Pair) {
            if (!lists.currentTarget) return;
            entries.push_back(lists.currentTarget);
        }
    }
    if (entries.empty()) return;
    // The entries may be gone afterwards: their paths are what the previews know.
    const std::vector<std::string> touched = PathsOf(entries);
    UpdateFileActions();
    FileOpsParts parts = ws_->FileOpsParts();
    run(parts);
    fileCommandRunning_ = false;
    AfterFileCommand(touched);
}

void TMain::DelButtonClick() {
    RunOnEntries(FileSide::Targets, [this](FileOpsParts& parts) {
        DeleteSelectedTargets(parts);
        if (ws_->lists.target.SelectedCount() == 0)
            if (TViewLeft* viewer = PaneViewer(false); viewer && viewer->isVisible())
                viewer->hide();
    });
}

void TMain::RefdelButtonClick() {
    RunOnEntries(FileSide::Reference, [](FileOpsParts& parts) { DeleteReference(parts); });
}

void TMain::RenameClick() {
    RunOnEntries(FileSide::Targets, [this](FileOpsParts& parts) {
        PlacedRenameAsker asker(RenameDialog());
        RenameSelectedTargets(parts, asker);
    });
}

void TMain::ActionRenameLeftExecute() {
    RunOnEntries(FileSide::Reference, [this](FileOpsParts& parts) {
        PlacedRenameAsker asker(RenameDialog());
        RenameReference(parts, asker);
    });
}

void TMain::ActionOverwrightMove1Execute(bool referenceOntoTarget) {
    RunOnEntries(FileSide::Pair, [referenceOntoTarget](FileOpsParts& parts) {
        OverwriteMove(parts, referenceOntoTarget);
    });
}

void TMain::SearchUnlinkedDataClick() {
    if (ListUpRunning() || ws_->catalogue.Empty()) return;
    UnlinkedData()->Search();
    // Examining the files fills in sizes and times of entries not measured yet.
    UpdateTitle(0);
}

void TMain::BrowsePathChange(const QString& from) {
    TDirSel* dirSel = DirSel();
    dirSel->SetMode(4);
    const std::string folder = PathBytes(from);
    if (!folder.empty() && GetFileStatus(folder).isFolder) dirSel->SetCurrentFolder(folder);
    PlaceAtCursor(dirSel);
    if (dirSel->exec() == QDialog::Accepted) PathChangeDialog()->SetTo(dirSel->CurrentFolder());
}

void TMain::RunPathChange(const std::string& from, const std::string& to, bool subFolders) {
    FileOpsParts parts = ws_->FileOpsParts();
    SetBusy(true);
    const int changed = ApplyPathChange(parts, PlanPathChange(parts, from, to, subFolders));
    SetBusy(false);
    // Selecting again showed the target's detail line over the count.
    if (changed > 0)
        SetStatusText(StatusPanel::Outcome, ChangedText(changed, ws_->catalogue.Count()));
}

void TMain::ChangeAllFilePath1Click() {
    CommandScope scope(fileCommandRunning_);
    if (!scope.entered() || ListUpRunning()) return;
    TPathChange* dialog = PathChangeDialog();
    OfferReferenceFolder(dialog, ws_->lists.currentReference);
    PlaceAtCursor(dialog);
    if (dialog->exec() != QDialog::Accepted) {
        RefreshViews();
        return;
    }
    RunPathChange(dialog->From(), dialog->To(), dialog->SubFolders());
    fileCommandRunning_ = false;
    RequestPaneReload(true);
    UpdateTitle(0);
}

void TMain::ActionMovePathExecute() {
    CommandScope scope(fileCommandRunning_);
    if (!scope.entered() || ListUpRunning()) return;
    TPathChange* dialog = PathChangeDialog();
    OfferReferenceFolder(dialog, ws_->lists.currentReference);
    // The whole tree moves: entries in sub-folders follow too.
    dialog->ChangeSubFoler->setChecked(true);
    dialog->SetSubFolderBoxShown(false);
    PlaceAtCursor(dialog);
    const bool ok = dialog->exec() == QDialog::Accepted;
    dialog->SetSubFolderBoxShown(true);
    if (ok) {
        FileOpsParts parts = ws_->FileOpsParts();
        const FolderMovePlan plan = PlanFolderMove(parts, dialog->From(), dialog->To());
        ApplyFolderMove(parts, plan);
        // Entries of files moved before, outside the program, follow as well.
        if (plan.refusal.empty()) RunPathChange(plan.from, plan.to, true);
    }
    fileCommandRunning_ = false;
    ws_->lists.currentReference = nullptr;
    RequestPaneReload(true);
    UpdateTitle(0);
}

void TMain::ChangeFilenamewithCSV1Click() {
    CommandScope scope(fileCommandRunning_);
    if (!scope.entered() || ListUpRunning()) return;
    FileChoice choice;
    choice.title = "Change Filename with CSV";
    choice.filter = "CSV File (*.csv)|*.csv";
    choice.defaultExtension = "csv";
    const std::string path = ChooseFile(choice);
    if (!path.empty()) {
        FileOpsParts parts = ws_->FileOpsParts();
        ChangeFilenamesWithCsv(parts, path);
    }
    fileCommandRunning_ = false;
    UpdateTitle(0);
}

void TMain::BindViewerFileCommands(TViewLeft* viewer) {
    if (viewer->binding() == ViewerBinding::Unbound) return;
    const bool reference = viewer->binding() == ViewerBinding::Reference;
    auto state = [this, reference] {
        return FileActionsFor(*ws_->fileSystem,
                              reference ? ws_->lists.currentReference : ws_->lists.currentTarget);
    };
    struct Transfer {
        const char* item;
        bool copy;
        Destination how;
    };
    for (const Transfer& t :
         {Transfer{"Copy1", true, Destination::Ask}, Transfer{"Move1", false, Destination::Ask},
          Transfer{"CopyReferenceto1", true, Destination::Current},
          Transfer{"MoveReferenceto1", false, Destination::Current},
          Transfer{"CopyReferenceto2", true, Destination::Listed},
          Transfer{"MoveReferenceto2", false, Destination::Listed}})
        viewer->BindFileCommand(
            t.item,
            [this, reference, t](const std::string& folder) {
                TransferCommand(reference, t.copy, t.how, folder);
            },
            [state, t] { return t.copy ? state().copy : state().moveDeleteRename; });
    viewer->BindFileCommand(
        "Delete1",
        [this, reference](const std::string&) {
            reference ? RefdelButtonClick() : DelButtonClick();
        },
        [state] { return state().moveDeleteRename; });
    viewer->SetDestinations([this] {
        return std::pair{DirSel()->CurrentFolder(), DirSel()->Destinations().Items()};
    });
}

} // namespace lumidex
