// The main window and the desktop around it: the "Shell" submenus, the clipboard commands,
// the button panels' menus and the companion programs.
#include "TMain.h"

#include "Companions.h"
#include "DesktopShell.h"
#include "FileStatus.h"
#include "LumidexServer.h"
#include "QtText.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>

namespace lumidex {

namespace {

// Desktops put "&" into application names; a caption shows them as they are.
QString PlainCaption(const std::string& text) {
    return Q(text).replace("&", "&&");
}

// The panel's buttons in the panel's order.
std::vector<QToolButton*> PanelButtons(QWidget* panel) {
    std::vector<QToolButton*> buttons;
    for (QObject* child : panel->children())
        if (auto* button = qobject_cast<QToolButton*>(child)) buttons.push_back(button);
    return buttons;
}

} // namespace

void TMain::ConnectDesktop() {
    for (bool reference : {true, false}) {
        connect(Action(reference ? "Explore1" : "Explore2"), &QAction::triggered, this,
                [this, reference] { Explore1Click(reference); });
        connect(Action(reference ? "CopyFileName1" : "CopyFileName2"), &QAction::triggered, this,
                [this, reference] { CopyFileNameClick(reference); });
        for (const char* name : reference ? std::vector{"CopyImage1", "CopyImage3"}
                                          : std::vector{"CopyImage2", "CopyImage4"})
            connect(Action(name), &QAction::triggered, this,
                    [this, reference] { CopyImageClick(reference); });
        // The pane menus copy only a picture that is shown, and read again only a file that
        // is still there.
        QAction* paneCopy = Action(reference ? "CopyImage3" : "CopyImage4");
        QAction* whole = Action(reference ? "whole" : "Lowerwhole");
        QAction* subIndex = Action(reference ? "MakeSecondIndex1" : "SubIndex1");
        if (auto* paneMenu = qobject_cast<QMenu*>(paneCopy->parent()))
            connect(paneMenu, &QMenu::aboutToShow, this, [=, this] {
                const Pdata* shown = Pane(reference).shown;
                paneCopy->setEnabled(shown && !PaneImage(reference)->isHidden());
                const bool present = shown && IsExistingFile(shown->path);
                whole->setEnabled(present);
                subIndex->setEnabled(present);
            });
    }
    AddPopupOpener([this](QMenu*, bool reference) {
        Lists& lists = ws_->lists;
        const bool one =
            reference ? lists.currentReference != nullptr : lists.target.SelectedCount() == 1;
        FillShellMenu(MenuNamed(reference ? "Shell1" : "Shell2"), reference);
        if (!one) return;
        const bool previewShown = Pane(reference).shown && !PaneImage(reference)->isHidden();
        Action(reference ? "CopyImage1" : "CopyImage2")->setEnabled(previewShown);
        if (reference)
            Action("CopyFileName1")->setEnabled(panelButtons_["ClearEntry"]->isEnabled());
    });

    for (bool left : {true, false}) {
        QWidget* panel = findChild<QWidget*>(left ? "LeftPanel" : "RightPanel");
        QMenu*& menu = buttonPanelMenus_[left ? 0 : 1];
        menu = new QMenu(this);
        menu->setObjectName(left ? "ButtonPopupMenu" : "RightButtonPopupMenu");
        connect(menu, &QMenu::aboutToShow, this, [this, left] { PrepareButtonPanelMenu(left); });
        // A panel whose buttons are all hidden keeps its height, so that its menu stays in reach.
        panel->setMinimumHeight(panel->sizeHint().height());
        panel->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(panel, &QWidget::customContextMenuRequested, this,
                [panel, menu](const QPoint& at) { menu->popup(panel->mapToGlobal(at)); });
    }

    Connect("RunGlimpser1", &TMain::RunGlimpser1Click);
    Connect("RunTinter1", &TMain::RunTinter1Click);
    Connect("RunJoiner1", &TMain::RunJoiner1Click);
    Connect("SendTinter1", &TMain::SendTinter1Click);
    Connect("SendJoinerLeft1", &TMain::SendJoinerLeft1Click);
    Connect("SendJoinerRight1", &TMain::SendJoinerRight1Click);
    // After the menu's own enabling, which knows nothing of the companions.
    connect(MenuNamed("Option1"), &QMenu::aboutToShow, this, &TMain::PrepareCompanionItems);
    Action("SendTinter1")->setStatusTip("Send  selected Image to Tinter");

    const std::string programDir = PathBytes(QCoreApplication::applicationDirPath()) + "/";
    companionFolders_ = {programDir, programDir + "../share/lumidex2/"};
    companionInbox_ = std::make_shared<CompanionInbox>(
        [this] { return ListUpRunning(); },
        [this](uint32_t w, uint32_t l) { HandleCompanionMessage(w, l); });
    connect(server_.get(), &LumidexServer::messageReceived, this, &TMain::CompanionMessage);
    // What waited for a long operation is handled once it has ended.
    auto* flush = new QTimer(this);
    connect(flush, &QTimer::timeout, this, [this] {
        if (companionInbox_->Waiting()) companionInbox_->Flush();
    });
    flush->start(100);
}

void TMain::FillShellMenu(QMenu* menu, bool reference) {
    // The first two items ("Explore" and its separator) stay; the verbs are the file's own.
    const QList<QAction*> items = menu->actions();
    for (qsizetype i = 2; i < items.size(); ++i) {
        menu->removeAction(items[i]);
        items[i]->deleteLater();
    }
    Lists& lists = ws_->lists;
    Pdata* entry = nullptr;
    if (reference) {
        entry = lists.currentReference;
    } else if (lists.target.SelectedCount() == 1) {
        entry = lists.target.EntryAt(lists.target.SelectedRow());
    }
    // Only the reference's file is checked; the target menu offers its verbs as they are.
    const bool usable = entry && (!reference || IsExistingFile(entry->path));
    menu->menuAction()->setEnabled(usable);
    if (!usable) return;
    for (const ShellVerb& verb : ShellVerbs(entry->path)) {
        QAction* action = menu->addAction(PlainCaption(verb.caption));
        action->setData(Q(verb.appId));
        const std::string appId = verb.appId;
        connect(action, &QAction::triggered, this,
                [this, reference, appId] { OpenClick(reference, appId); });
    }
}

void TMain::Explore1Click(bool reference) {
    Lists& lists = ws_->lists;
    EntryList& list = reference ? lists.reference : lists.target;
    const int row = list.SelectedRow();
    if (row < 0) return;
    if (!ExploreFile(list.EntryAt(row)->path)) ws_->LogMessage("Explore failed");
}

void TMain::OpenClick(bool reference, const std::string& appId) {
    Lists& lists = ws_->lists;
    EntryList& list = reference ? lists.reference : lists.target;
    const int row = list.SelectedRow();
    if (row < 0) return;
    if (!RunShellVerb(appId, list.EntryAt(row)->path)) ws_->LogMessage("ShellCommand failed");
}

void TMain::CopyFileNameClick(bool reference) {
    const Pdata* entry = reference ? ws_->lists.currentReference : ws_->lists.currentTarget;
    if (entry) QGuiApplication::clipboard()->setText(PathText(entry->path));
}

void TMain::CopyImageClick(bool reference) {
    const QImage& picture = PaneFullPicture(reference);
    if (!picture.isNull()) QGuiApplication::clipboard()->setImage(picture);
}

QMenu* TMain::ButtonPanelMenu(bool left) {
    return buttonPanelMenus_[left ? 0 : 1];
}

void TMain::PrepareButtonPanelMenu(bool left) {
    QMenu* menu = ButtonPanelMenu(left);
    menu->clear();
    for (QToolButton* button :
         PanelButtons(findChild<QWidget*>(left ? "LeftPanel" : "RightPanel"))) {
        QAction* item = menu->addAction(button->text());
        item->setObjectName(button->objectName());
        item->setCheckable(true);
        item->setChecked(!button->isHidden());
        connect(item, &QAction::triggered, button,
                [button] { button->setVisible(button->isHidden()); });
    }
}

std::string TMain::CompanionProgram(const Companion& companion) const {
    return FindCompanionProgram(companion, companionFolders_);
}

void TMain::PrepareCompanionItems() {
    Action("RunGlimpser1")->setVisible(!CompanionProgram(kGlimpser).empty());
    const bool reference = ws_->lists.currentReference != nullptr;
    struct Items {
        const Companion& companion;
        const char* run;
        std::vector<const char*> sends;
    };
    for (const Items& c : {Items{kTinter, "RunTinter1", {"SendTinter1"}},
                           Items{kJoiner, "RunJoiner1", {"SendJoinerLeft1", "SendJoinerRight1"}}}) {
        const bool present = !CompanionProgram(c.companion).empty();
        const bool running = present && CompanionRunning(c.companion);
        Action(c.run)->setVisible(present);
        Action(c.run)->setEnabled(!running);
        for (const char* send : c.sends) {
            Action(send)->setVisible(present);
            Action(send)->setEnabled(running && reference);
        }
    }
}

void TMain::RunGlimpser1Click() {
    const std::string program = CompanionProgram(kGlimpser);
    if (program.empty() || !StartCompanion(program, {}, appDir_)) ws_->LogMessage("Execute failed");
}

void TMain::RunTinter1Click() {
    const std::string program = CompanionProgram(kTinter);
    const Pdata* reference = ws_->lists.currentReference;
    if (program.empty() ||
        !StartCompanion(program, TinterArguments(reference ? reference->path : ""), appDir_))
        ws_->LogMessage("Execute failed");
}

void TMain::RunJoiner1Click() {
    const std::string program = CompanionProgram(kJoiner);
    const EntryList& list = ws_->lists.reference;
    const int row = list.SelectedRow();
    std::string first, next;
    if (row >= 0) {
        first = list.EntryAt(row)->path;
        if (row + 1 < list.Count()) next = list.EntryAt(row + 1)->path;
    }
    if (program.empty() || !StartCompanion(program, JoinerArguments(first, next), appDir_))
        ws_->LogMessage("Execute failed");
}

void TMain::SendToCompanion(const Companion& companion, uint32_t lParam) {
    const EntryList& list = ws_->lists.reference;
    const int row = list.SelectedRow();
    if (row < 0) return;
    server_->WritePath(list.EntryAt(row)->path);
    // A companion that has gone away loses the message, as the protocol allows.
    SendCompanionMessage(companion, 2, lParam);
}

void TMain::SendTinter1Click() {
    SendToCompanion(kTinter, 0);
}

void TMain::SendJoinerLeft1Click() {
    SendToCompanion(kJoiner, 1);
}

void TMain::SendJoinerRight1Click() {
    SendToCompanion(kJoiner, 2);
}

void TMain::CompanionMessage(uint32_t wParam, uint32_t lParam) {
    companionInbox_->Deliver(wParam, lParam);
}

void TMain::HandleCompanionMessage(uint32_t wParam, uint32_t lParam) {
    Lists& lists = ws_->lists;
    if (wParam == 0 && lParam == 2) {
        MoveListSelection(true, 1);
        const int row = lists.reference.SelectedRow();
        server_->WritePath(row >= 0 ? lists.reference.EntryAt(row)->path : "");
        return;
    }
    const bool changed = wParam == 0 && lParam == 0;
    const bool show = (wParam == 0 && lParam == 1) || (wParam == 1 && lParam == 0);
    if (!changed && !show) return;
    const std::string path = server_->ReadPath();
    if (path.empty()) return;
    int position = ws_->catalogue.FindEntry(path);
    const bool known = position >= 0;
    if (!known) {
        // One picture file, never a folder tree to scan.
        if (!show || !IsExistingFile(path)) return;
        ws_->AddDroppedItems({path});
        position = ws_->catalogue.FindEntry(path);
        if (position < 0) return;
    }
    Pdata* entry = &ws_->catalogue.Entry(position);
    if (known) DropPreview(path);
    int row = lists.reference.Find(entry);
    if (row < 0) row = lists.AddRow(lists.reference, entry);
    if (row < 0) return;
    lists.SelectReference(row);
    RefreshViews();
    listBox1_->scrollTo(listBox1_->model()->index(row, 0));
    if (known) {
        if (!ws_->ReanalyseEntry(*entry)) return;
        DropPreview(path);
        RefreshViews();
    }
    RequestPaneReload(true);
    View(true, entry);
    UpdateToolButtons();
}

} // namespace lumidex
