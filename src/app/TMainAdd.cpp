// The main window: the folder and picture dialogs, adding pictures and dropped files.
#include "TMain.h"

#include "FolderBrowser.h"
#include "Paths.h"
#include "QtText.h"
#include "StartUp.h"
#include "TDirSel.h"
#include "TOpenForm.h"
#include "TProgress.h"

#include <QAction>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

namespace lumidex {

void TMain::AttachDialogs(TDirSel* dirSel, TOpenForm* openForm, TProgress* progress) {
    dirSel_ = dirSel;
    openForm_ = openForm;
    if (progress) progress_ = progress;
    auto databaseFolder = [this] { return ws_->DatabaseFolder(); };
    auto referencePath = [this] {
        const Pdata* e = ws_->lists.currentReference;
        return e ? e->path : std::string();
    };
    dirSel_->Browser()->SetSources(databaseFolder, referencePath);
    openForm_->Browser()->SetSources(databaseFolder, referencePath);
}

TDirSel* TMain::DirSel() {
    if (!dirSel_) AttachDialogs(new TDirSel(this), openForm_ ? openForm_ : new TOpenForm(this), {});
    return dirSel_;
}

TOpenForm* TMain::OpenForm() {
    if (!openForm_) AttachDialogs(dirSel_ ? dirSel_ : new TDirSel(this), new TOpenForm(this), {});
    return openForm_;
}

void TMain::ConnectAdding() {
    Connect("Open1", &TMain::ActionAddPictureExecute);
    Connect("AddPicturefromDir1", &TMain::ActionAddPicturefromFolderExecute);
    for (const char* name : {"Open1", "AddPicturefromDir1"})
        Action(name)->setEnabled(true);
    actions_["ActionAddPicture"] = Action("Open1");
    actions_["ActionAddPicturefromFolder"] = Action("AddPicturefromDir1");
    connect(toolButtons_["SpeedButton1"], &QToolButton::clicked, this,
            &TMain::ActionAddPictureExecute);
    // Runs after the menu's own enabling: no second adding while one runs.
    connect(MenuNamed("File1"), &QMenu::aboutToShow, this, [this] {
        for (const char* name : {"Open1", "AddPicturefromDir1"})
            Action(name)->setEnabled(!ListUpRunning());
    });
    // A database read offers its folder among the destinations.
    auto after = ws_->databaseHooks.AfterRead;
    ws_->databaseHooks.AfterRead = [this, after](int32_t saved) {
        if (after) after(saved);
        if (!ws_->DatabasePath.empty())
            DirSel()->AddDatabaseFolder(paths::ParentOf(ws_->DatabasePath));
    };
}

void TMain::ApplyDialogFolders() {
    OpenForm()->SetCurrentFolder(settings_.openFormFolder);
    DirSel()->SetCurrentFolder(settings_.folderDialogFolder);
}

void TMain::StoreDialogFolders() {
    settings_.openFormFolder = OpenForm()->CurrentFolder();
    settings_.folderDialogFolder = DirSel()->CurrentFolder();
}

void TMain::ActionAddPictureExecute() {
    if (ListUpRunning()) return;
    TOpenForm* form = OpenForm();
    form->SetMask(ws_->PicturePatterns.patterns);
    PlaceAtCursor(form);
    if (form->exec() != QDialog::Accepted) return;
    const std::vector<std::string> names = form->SelectedNames();
    if (names.empty()) return;
    Progress()->SetFilesBarShown(true);
    ws_->AddPictures(form->CurrentFolder(), names);
    UpdateTitle(0);
}

void TMain::ActionAddPicturefromFolderExecute() {
    if (ListUpRunning()) return;
    TDirSel* dialog = DirSel();
    dialog->SetMode(0);
    PlaceAtCursor(dialog);
    if (dialog->exec() != QDialog::Accepted) return;
    AddPicturesFromFolder(dialog->CurrentFolder());
}

void TMain::AddPicturesFromFolder(const std::string& folder) {
    if (ListUpRunning()) return;
    const TDirSel::ImageRead choice = DirSel()->ImageReadChoice();
    TProgress* progress = Progress();
    progress->SetFilesBarShown(false);
    progress->SetShowMinimized(choice.minimize);
    if (choice.minimize) showMinimized();
    ws_->AddPicturesFromFolder(folder, {choice.setDepth, choice.depth, choice.makeErrorLog});
    if (choice.minimize) {
        progress->SetShowMinimized(false);
        progress->setWindowState(Qt::WindowNoState);
        showNormal();
    }
    progress->SetFilesBarShown(true);
    UpdateTitle(0);
}

void TMain::dragEnterEvent(QDragEnterEvent* event) {
    // Rows dragged out of this program's own lists are not added again.
    if (!event->source() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMain::dropEvent(QDropEvent* event) {
    if (event->source()) return;
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.push_back(PathBytes(url.toLocalFile()));
    if (paths.empty()) return;
    // The program that dropped is answered at once; the adding follows from the event loop.
    event->acceptProposedAction();
    AddDropped(std::move(paths));
}

void TMain::AddDropped(std::vector<std::string> paths) {
    pendingDrops_.insert(pendingDrops_.end(), std::make_move_iterator(paths.begin()),
                         std::make_move_iterator(paths.end()));
    if (dropScheduled_) return;
    dropScheduled_ = true;
    QTimer::singleShot(0, this, &TMain::AddPendingDrops);
}

void TMain::AddPendingDrops() {
    // Dropped during another operation: added when it has ended.
    if (ListUpRunning()) {
        QTimer::singleShot(100, this, &TMain::AddPendingDrops);
        return;
    }
    dropScheduled_ = false;
    std::vector<std::string> paths = std::move(pendingDrops_);
    pendingDrops_.clear();
    if (paths.empty()) return;
    const TDirSel::ImageRead choice = DirSel()->ImageReadChoice();
    ws_->folderScan = {choice.setDepth, choice.depth, false};
    Progress()->SetFilesBarShown(false);
    ws_->AddDroppedItems(paths);
    Progress()->SetFilesBarShown(true);
    UpdateTitle(0);
}

} // namespace lumidex
