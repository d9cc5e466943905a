// The main window: the organising tools (memo manager, mismatch groups, navigator and
// bookmarks, clipboard lists, memo files, folder explorer) and their list menu items.
#include "TMain.h"

#include "ClipboardLists.h"
#include "CopyMove.h"
#include "DatabaseCommands.h"
#include "FileStatus.h"
#include "MemoAssign.h"
#include "MismatchGroups.h"
#include "QtText.h"
#include "TFolderManager.h"
#include "TMemoMan.h"
#include "TMismatchEditor.h"
#include "TMismatchhConf.h"
#include "TNavigator.h"
#include "TQueryDialog.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDrag>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>

#include <algorithm>

namespace lumidex {

// What the organising windows ask of the main window.
class TMain::OrganiseHost : public QObject,
                            public MemoManagerHost,
                            public MismatchEditorHost,
                            public FolderManagerHost {
public:
    explicit OrganiseHost(TMain& main) : QObject(&main), main_(main) {}

    void MemosOfEntryChanged(Pdata* entry) override {
        main_.MemosOfEntryChanged(entry);
        main_.UpdateTitle(0);
    }
    void MoveReferenceSelection(int step) override { main_.MoveListSelection(true, step); }
    void ReferenceSelectionMoved() override { ListsChanged(); }
    void SelectEntry(Pdata* entry) override {
        Lists& lists = main_.ws_->lists;
        const int row = lists.reference.Find(entry);
        if (row < 0) return;
        lists.SelectReference(row);
        main_.RefreshViews();
        main_.listBox1_->scrollTo(main_.listBox1_->model()->index(row, 0));
    }
    void GroupsChanged() override {
        // Pairs of a dissolved group are similar again: the lists show them at once.
        Lists& lists = main_.ws_->lists;
        if (lists.dataFilter == FilterItem::HasSimilarPics) lists.UpdateReferenceList();
        if (lists.reference.SelectedRow() >= 0) lists.ReferenceSelectionChanged();
        main_.UpdateTitle(0);
    }
    void ListsChanged() override {
        main_.RefreshViews();
        main_.UpdateToolButtons();
        const int row = main_.ws_->lists.reference.SelectedRow();
        if (row >= 0) main_.listBox1_->scrollTo(main_.listBox1_->model()->index(row, 0));
    }
    bool MoveOntoFolder(const std::string& folder, bool fromReference) override {
        return main_.MoveDroppedEntry(folder, fromReference);
    }

private:
    TMain& main_;
};

namespace {

// Starts a drag of the current entry from a list view: the explorer takes it as a move onto
// a folder, other programs as the file itself.
class EntryDragStarter : public QObject {
public:
    EntryDragStarter(QTreeView* view, bool reference, std::function<Pdata*()> entry)
        : QObject(view), view_(view), reference_(reference), entry_(std::move(entry)) {
        view->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) {
            auto* e = static_cast<QMouseEvent*>(event);
            const QModelIndex at = view_->indexAt(e->position().toPoint());
            // Pressing on a row that is not selected yet selects (or drags a selection frame).
            armed_ = e->button() == Qt::LeftButton && at.isValid() &&
                     view_->selectionModel()->isSelected(at);
            pressedAt_ = e->position().toPoint();
            return false;
        }
        if (event->type() == QEvent::MouseButtonRelease) {
            armed_ = false;
            return false;
        }
        if (event->type() != QEvent::MouseMove || !armed_) return false;
        auto* e = static_cast<QMouseEvent*>(event);
        if (!(e->buttons() & Qt::LeftButton) ||
            (e->position().toPoint() - pressedAt_).manhattanLength() <
                QApplication::startDragDistance())
            return false;
        armed_ = false;
        Pdata* entry = entry_();
        if (!entry) return false;
        auto* data = new QMimeData;
        data->setData(kEntryDragType, reference_ ? "reference" : "target");
        data->setUrls({QUrl::fromLocalFile(PathText(entry->path))});
        auto* drag = new QDrag(view_);
        drag->setMimeData(data);
        drag->exec(Qt::MoveAction | Qt::CopyAction, Qt::CopyAction);
        return true;
    }

private:
    QTreeView* view_;
    bool reference_;
    std::function<Pdata*()> entry_;
    bool armed_ = false;
    QPoint pressedAt_;
};

// Keys pressed in the navigator go to the main window's key handling, as if pressed there,
// except while a text field takes them.
class KeysToMain : public QObject {
public:
    KeysToMain(QWidget* window, std::function<bool(QEvent*)> handle)
        : QObject(window), window_(window), handle_(std::move(handle)) {
        qApp->installEventFilter(this);
    }
    ~KeysToMain() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        // Once per key: at the widget it was sent to, not again as it bubbles up.
        if (!widget || widget->window() != window_ || widget != QApplication::focusWidget())
            return false;
        if (qobject_cast<QLineEdit*>(widget)) return false;
        if (auto* box = qobject_cast<QComboBox*>(widget); box && box->isEditable()) return false;
        return handle_(event);
    }

private:
    QWidget* window_;
    std::function<bool(QEvent*)> handle_;
};

QString ClipboardText() {
    return QGuiApplication::clipboard()->text();
}

bool CarriesMemo(const Pdata* entry) {
    return entry && !entry->Memos().empty();
}

} // namespace

TMemoMan* TMain::MemoMan() const {
    return memoMan_;
}
TMismatchEditor* TMain::MismatchEditor() const {
    return mismatchEditor_;
}
TMismatchhConf* TMain::MismatchConf() const {
    return mismatchConf_;
}
TNavigator* TMain::Navigator() const {
    return navigator_;
}
TFolderManager* TMain::FolderManager() const {
    return folderManager_;
}

TMemoMan* TMain::MakeMemoMan() {
    memoMan_ = new TMemoMan(*ws_, organiseHost_, this);
    memoMan_->setObjectName("TMemoMan");
    auto* tree = memoMan_->findChild<QTreeView*>("TreeView1");
    // The navigator's memo page follows the manager's selection while the manager is shown.
    connect(tree->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
        if (!navigator_) return;
        const bool shown = memoMan_->isVisible();
        navigator_->SetMemoChoice(shown ? memoMan_->SelectedGroupId() : -1,
                                  shown ? memoMan_->SelectedSlot() : -1);
        navigator_->RefreshMemoChoice();
    });
    return memoMan_;
}

TMismatchEditor* TMain::MakeMismatchEditor() {
    mismatchEditor_ = new TMismatchEditor(*ws_, organiseHost_, this);
    mismatchEditor_->setObjectName("TMismatchEditor");
    return mismatchEditor_;
}

TMismatchhConf* TMain::MakeMismatchConf() {
    mismatchConf_ = new TMismatchhConf(this);
    mismatchConf_->setObjectName("TMismatchhConf");
    return mismatchConf_;
}

TNavigator* TMain::MakeNavigator() {
    navigator_ = new TNavigator(*ws_, this);
    navigator_->setObjectName("TNavigator");
    new KeysToMain(navigator_, [this](QEvent* event) { return eventFilter(listBox1_, event); });
    connect(navigator_, &TNavigator::selectionMoved, this, [this] {
        RefreshViews();
        UpdateToolButtons();
        const int row = ws_->lists.reference.SelectedRow();
        if (row >= 0) listBox1_->scrollTo(listBox1_->model()->index(row, 0));
    });
    return navigator_;
}

TFolderManager* TMain::MakeFolderManager() {
    folderManager_ = new TFolderManager(*ws_, organiseHost_, this);
    folderManager_->setObjectName("TFolderManager");
    return folderManager_;
}

void TMain::ConnectOrganise() {
    organiseHost_ = new OrganiseHost(*this);
    // Copied and moved files show in the explorer at once, their folder selected.
    SetFolderListAdded([this](const std::string& path) {
        if (folderManager_ && folderManager_->isVisible()) folderManager_->AddPath(path, true);
    });
    Connect("MemoEditor1", &TMain::ActionMemomanExecute);
    Connect("ExportMemo1", &TMain::ExportMemoClick);
    Connect("ImportMemo1", &TMain::ImportMemoClick);
    Connect("FolderExplorer1", &TMain::ActionFolderManExecute);
    Connect("Makemismatch1", &TMain::MakeMismatchClick);
    Connect("MenuMismatchEditor", &TMain::MismatchEditorClick);
    Connect("ShowNavigator1", &TMain::ActionShowNavi);
    Connect("SyncMemo1", &TMain::ActionSyncMemoExecute);
    Connect("CopyRefListToClipboard1", &TMain::CopyRefListToClipboardClick);
    Connect("CopyPairListtoClipboardE1", &TMain::CopyPairListtoClipboardClick);
    Connect("ImportListfromClipboard1", &TMain::SearchListFromClipboardClick);
    Connect("ImportListfromClipboard2", &TMain::ImportListFromClipboardClick);
    for (const char* always : {"MemoEditor1", "ImportMemo1", "ImportListfromClipboard2"})
        Action(always)->setEnabled(true);
    connect(toolButtons_["DataSetSpeedButton"], &QToolButton::clicked, this,
            &TMain::ActionMemomanExecute);
    connect(toolButtons_["SpeedButton10"], &QToolButton::clicked, this, &TMain::MakeMismatchClick);
    connect(toolButtons_["SpeedButtonnavi"], &QToolButton::clicked, this, &TMain::ActionShowNavi);
    connect(actions_["SetBookmark1"], &QAction::triggered, this, &TMain::SetBookmarkClick);
    connect(actions_["ListupBookMark"], &QAction::triggered, this, &TMain::ListupBookMarkClick);
    AddPopupOpener([this](QMenu* menu, bool reference) { OpenOrganisePopup(menu, reference); });

    // After the menu's own enabling, so that these rules have the last word.
    for (auto& [name, menu] : menus_)
        if (menu->parent() == static_cast<QObject*>(menuBar()))
            connect(menu, &QMenu::aboutToShow, this, &TMain::UpdateOrganiseActions);
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &TMain::UpdateOrganiseActions);
    idle->start(250);

    // The memo manager marks the memos of the selected reference, or of a clicked target.
    connect(listBox1_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { ShowMemosOfSelection(true); });
    connect(listBox2_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!syncing_) ShowMemosOfSelection(false);
    });
    new EntryDragStarter(listBox1_, true, [this] { return ws_->lists.currentReference; });
    new EntryDragStarter(listBox2_, false, [this] { return ws_->lists.currentTarget; });

    DatabaseHooks& h = ws_->databaseHooks;
    auto memosChanged = h.MemosChanged;
    h.MemosChanged = [this, memosChanged] {
        if (memosChanged) memosChanged();
        if (memoMan_) memoMan_->RebuildTree();
        if (navigator_) navigator_->RefreshMemoChoice();
    };
    auto afterRead = h.AfterRead;
    h.AfterRead = [this, afterRead](int32_t saved) {
        if (afterRead) afterRead(saved);
        if (memoMan_) memoMan_->RebuildTree();
        if (folderManager_ && folderManager_->isVisible()) folderManager_->Rebuild();
        explorerFolders_ = ws_->FolderList.size();
        if (mismatchEditor_ && mismatchEditor_->isVisible()) mismatchEditor_->Refresh();
    };
    // The pending note goes to its folder before the catalogue it belongs to is replaced.
    auto clearLists = h.ClearLists;
    h.ClearLists = [this, clearLists] {
        if (folderManager_) folderManager_->SaveNote();
        if (clearLists) clearLists();
    };
}

void TMain::CloseOrganiseWindows() {
    // They refer to the workspace and report through the status bars: they go first.
    if (folderManager_) folderManager_->SaveNote();
    for (QWidget* w : std::initializer_list<QWidget*>{memoMan_, mismatchEditor_, mismatchConf_,
                                                      navigator_, folderManager_})
        delete w;
}

void TMain::UpdateOrganiseActions() {
    const Lists& lists = ws_->lists;
    const bool entries = !ws_->catalogue.Empty();
    auto enable = [this](const char* name, bool on) {
        if (QAction* a = Action(name)) a->setEnabled(on);
    };
    enable("FolderExplorer1", entries);
    enable("MenuMismatchEditor", entries);
    enable("ShowNavigator1", entries);
    enable("SyncMemo1",
           lists.currentReference && lists.currentTarget &&
               (CarriesMemo(lists.currentReference) || CarriesMemo(lists.currentTarget)));
    toolButtons_["SpeedButtonnavi"]->setEnabled(entries);
    toolButtons_["SpeedButtonnavi"]->setChecked(navigator_ && navigator_->isVisible());
    toolButtons_["DataSetSpeedButton"]->setEnabled(memoMan_ != nullptr);
    toolButtons_["DataSetSpeedButton"]->setChecked(memoMan_ && memoMan_->isVisible());
    // The explorer's tree follows the folder list while it is shown: pictures added, copied
    // or moved append to it, a clear or an open empties it.
    if (folderManager_ && folderManager_->isVisible()) {
        const size_t count = ws_->FolderList.size();
        if (count < explorerFolders_ || count > explorerFolders_ + 16) {
            folderManager_->Rebuild();
        } else {
            for (size_t i = explorerFolders_; i < count; ++i) {
                const auto& [key, entry] = ws_->FolderList[i];
                folderManager_->AddPath(entry ? entry->path : key, false);
            }
        }
        explorerFolders_ = count;
    }
}

void TMain::ShowMemosOfSelection(bool reference) {
    if (!memoMan_) return;
    Lists& lists = ws_->lists;
    if (reference)
        memoMan_->ShowMemosOf(lists.currentReference);
    else if (lists.currentTarget)
        memoMan_->ShowMemosOf(lists.currentTarget);
}

void TMain::MemosOfEntryChanged(const Pdata* entry) {
    for (bool reference : {true, false})
        if (entry && Pane(reference).shown == entry) RebuildPaneHint(reference);
}

void TMain::ActionMemomanExecute() {
    if (!memoMan_) return;
    if (memoMan_->isVisible()) {
        memoMan_->close();
    } else {
        memoMan_->RebuildTree();
        memoMan_->show();
        memoMan_->raise();
    }
    UpdateOrganiseActions();
}

void TMain::ExportMemoClick() {
    Database db = ws_->DatabaseParts();
    ExportMemo(db);
}

void TMain::ImportMemoClick() {
    Database db = ws_->DatabaseParts();
    ImportMemo(db);
}

void TMain::ActionFolderManExecute() {
    if (!folderManager_ || ws_->catalogue.Empty()) return;
    folderManager_->show();
    folderManager_->raise();
    folderManager_->Rebuild();
    explorerFolders_ = ws_->FolderList.size();
}

void TMain::MakeMismatchClick() {
    if (!mismatchConf_) return;
    Lists& lists = ws_->lists;
    if (lists.reference.SelectedRow() < 0 || lists.target.SelectedCount() == 0) return;
    const bool changed = MakeMismatch(
        lists, ws_->mismatchNumbers, [this](MismatchQuestion& q) { return mismatchConf_->Ask(q); },
        mismatchConf_->dontShow());
    if (!changed) return;
    // The reference's targets are found again, without the pictures now kept apart.
    if (lists.reference.SelectedRow() >= 0) lists.ReferenceSelectionChanged();
    UpdateTitle(0);
    if (mismatchEditor_ && mismatchEditor_->isVisible()) mismatchEditor_->Refresh();
}

void TMain::MismatchEditorClick() {
    if (!mismatchEditor_ || ws_->catalogue.Empty()) return;
    if (mismatchEditor_->isVisible()) mismatchEditor_->Refresh();
    mismatchEditor_->show();
    mismatchEditor_->raise();
}

void TMain::ActionShowNavi() {
    if (!navigator_) return;
    if (navigator_->isVisible())
        navigator_->close();
    else if (!ws_->catalogue.Empty())
        navigator_->show();
    UpdateOrganiseActions();
}

void TMain::ActionSyncMemoExecute() {
    Lists& lists = ws_->lists;
    Pdata* ref = lists.currentReference;
    Pdata* target = lists.currentTarget;
    if (!ref || !target) return;
    SynchronizeMemo(*ws_, *ref, *target);
    UpdateTitle(1);
    MemosOfEntryChanged(ref);
    MemosOfEntryChanged(target);
    if (memoMan_) ShowMemosOfSelection(true);
}

void TMain::CopyRefListToClipboardClick() {
    QGuiApplication::clipboard()->setText(Q(CopyListText(ws_->lists)));
}

void TMain::CopyPairListtoClipboardClick() {
    SetBusy(true);
    const std::string text = CopyPairListText(ws_->lists);
    SetBusy(false);
    QGuiApplication::clipboard()->setText(Q(text));
}

void TMain::SearchListFromClipboardClick() {
    if (ListUpRunning()) return;
    const QByteArray text = ClipboardText().toUtf8();
    SetBusy(true);
    SearchListFromText(ws_->lists,
                       std::string_view(text.constData(), static_cast<size_t>(text.size())));
    SetBusy(false);
    ws_->lists.ReferenceSelectionChanged();
    RefreshViews();
    UpdateToolButtons();
}

void TMain::ImportListFromClipboardClick() {
    if (ListUpRunning()) return;
    // Read in place: a list of a million lines is tens of megabytes.
    const QByteArray text = ClipboardText().toUtf8();
    SetBusy(true);
    const int made = ImportListFromText(
        ws_->lists, std::string_view(text.constData(), static_cast<size_t>(text.size())));
    SetBusy(false);
    DataFilterChange(static_cast<int>(FilterItem::All));
    if (made > 0) UpdateTitle(1);
    ws_->lists.ShowCounts();
    RefreshViews();
}

void TMain::SetBookmarkClick() {
    if (Pdata* ref = ws_->lists.currentReference) ws_->bookmarks.Add(ref);
}

void TMain::ListupBookMarkClick() {
    ws_->bookmarks.ListUp(ws_->lists);
    ws_->lists.TargetSelectionChanged(false);
    RefreshViews();
    UpdateToolButtons();
}

void TMain::OpenOrganisePopup(QMenu* menu, bool reference) {
    Lists& lists = ws_->lists;
    const bool anyMemo = !ws_->memos.Slots().empty();
    if (reference) {
        Action("DataSet1")->setEnabled(anyMemo && lists.currentReference);
        FillMemoMenu(MenuNamed("DataSet1"), true);
        FillBookmarkMenu(MenuNamed("GotoBookmark1"));
        Action("SetBookmark1")->setEnabled(lists.currentReference != nullptr);
    } else {
        const bool one = lists.target.SelectedCount() == 1 && lists.currentTarget;
        Action("SetMemo1")->setEnabled(anyMemo && one);
        FillMemoMenu(MenuNamed("SetMemo1"), false);
        Action("ListupBookMark")->setEnabled(!ws_->bookmarks.Empty());
    }
    (void)menu;
}

void TMain::FillMemoMenu(QMenu* menu, bool reference) {
    for (QAction* a : menu->actions()) {
        menu->removeAction(a);
        // A group's submenu owns its items and its own action.
        if (QMenu* sub = a->menu())
            sub->deleteLater();
        else
            a->deleteLater();
    }
    const Pdata* entry = reference ? ws_->lists.currentReference : ws_->lists.currentTarget;
    if (!entry) return;
    for (const MemoMenuGroup& group : MemoMenu(ws_->memos, entry)) {
        QMenu* sub = menu->addMenu(Q(group.name).replace("&", "&&"));
        for (const MemoMenuGroup::Item& item : group.items) {
            QAction* a = sub->addAction(Q(item.text).replace("&", "&&"));
            a->setCheckable(true);
            a->setChecked(item.checked);
            const int slot = item.slot;
            connect(a, &QAction::triggered, this, [this, reference, slot] {
                // The entry of this moment: the menu may outlive the selection it was built for.
                Pdata* e = reference ? ws_->lists.currentReference : ws_->lists.currentTarget;
                if (!e || !ToggleMemo(*ws_, *e, slot)) return;
                if (memoMan_) memoMan_->ShowMemosOf(e);
                MemosOfEntryChanged(e);
                UpdateTitle(1);
            });
        }
    }
}

void TMain::FillBookmarkMenu(QMenu* menu) {
    // Everything before the separator and "Show Path" goes.
    const QList<QAction*> items = menu->actions();
    for (qsizetype i = 0; i + 2 < items.size(); ++i) {
        menu->removeAction(items[i]);
        items[i]->deleteLater();
    }
    const auto entries = ws_->bookmarks.MenuItems(Action("ShowPath1")->isChecked());
    Action("GotoBookmark1")->setEnabled(!entries.empty());
    QAction* before = menu->actions().value(0);
    for (const auto& [caption, entry] : entries) {
        auto* a = new QAction(PathText(caption).replace("&", "&&"), menu);
        Pdata* e = entry;
        connect(a, &QAction::triggered, this, [this, e] {
            // Bookmarks forget entries as they leave the catalogue.
            const auto& marks = ws_->bookmarks.Entries();
            if (std::find(marks.begin(), marks.end(), e) == marks.end()) return;
            ws_->bookmarks.Goto(ws_->lists, e);
            RefreshViews();
            UpdateToolButtons();
            const int row = ws_->lists.reference.SelectedRow();
            if (row >= 0) listBox1_->scrollTo(listBox1_->model()->index(row, 0));
        });
        menu->insertAction(before, a);
    }
}

bool TMain::MoveDroppedEntry(const std::string& folder, bool fromReference) {
    if (ListUpRunning() || folder.empty()) return false;
    Lists& lists = ws_->lists;
    Pdata* entry = fromReference ? lists.currentReference : lists.currentTarget;
    if (!entry || !GetFileStatus(entry->path).exists) return false;
    const std::string from = entry->path;
    FileOpsParts parts = ws_->FileOpsParts();
    CollisionRule rule;
    rule.asker = findChild<TQueryDialog*>();
    const TransferPlan plan = PlanTransfer(parts, TransferKind::Move, {entry}, folder, rule);
    const TransferResult result = ApplyTransfer(parts, plan);
    DropPreview(from);
    UpdateTitle(0);
    RefreshViews();
    return result.done > 0;
}

} // namespace lumidex
