// The main window: menus, actions and their enabling, title, secondary windows.
#include "TMain.h"

#include "DatabaseCommands.h"
#include "DesktopShell.h"
#include "EntryListModel.h"
#include "FileStatus.h"
#include "SmallWindows.h"
#include "LumidexServer.h"
#include "MenuCaptions.h"
#include "Paths.h"
#include "QtText.h"
#include "SearchDialogs.h"
#include "StartUp.h"
#include "TOption.h"
#include "TProgress.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QSignalBlocker>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QUrl>
#include <QVBoxLayout>

namespace lumidex {
void TMain::BuildMenus() {
    for (const MenuNode& top : MainMenuLayout()) {
        QMenu* menu = menuBar()->addMenu(Q(top.captionKey));
        menu->setObjectName(Q(top.name));
        menu->menuAction()->setObjectName(Q(top.name));
        menus_[top.name] = menu;
        actions_[top.name] = menu->menuAction();
        AddMenuNodes(menu, top.children);
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { PrepareMenu(menu); });
    }
    Connect("Opendatabase1", &TMain::OpendatabaseClick);
    Connect("Savedatabase1", &TMain::SavedatabaseClick);
    Connect("Savedatabaseas1", &TMain::SavedatabaseasClick);
    Connect("MergeDatabase1", &TMain::MergeDatabaseClick);
    Connect("Exit1", &TMain::ExitClick);
    Connect("ClearHistory1", &TMain::ClearHistoryClick);
    Connect("OptimizeHistory1", &TMain::OptimizeHistoryClick);
    Connect("Setup1", &TMain::OptionClick);
    Connect("About1", &TMain::AboutClick);
    Connect("Help2", &TMain::HelpClick);
    Connect("Refind1", &TMain::RefindClick);
    Connect("ClearAllDataEntry1", &TMain::ClearAllDataEntryClick);
    Connect("ClearAllDataEntryinRefList1", &TMain::ClearAllDataEntryinRefListClick);
    Connect("DeleteDataEntry1", &TMain::DeleteDataEntryClick);
    Connect("ReanalizeAllinRefList1", &TMain::ReanalizeAllinRefListClick);
    // Menus that only open a submenu.
    SetBuilt("SetSusiePlugins1");
    for (auto& [name, action] : actions_)
        if (!built_.count(name) && !menus_.count(name)) action->setEnabled(false);
    SetMenuLanguage(0);
}

void TMain::AddMenuNodes(QMenu* menu, const std::vector<MenuNode>& nodes) {
    for (const MenuNode& node : nodes) {
        if (node.separator) {
            QAction* sep = menu->addSeparator();
            if (!node.name.empty()) {
                sep->setObjectName(Q(node.name));
                actions_[node.name] = sep;
                if (node.name == "HistorySeparator") historySeparator_ = sep;
            }
            continue;
        }
        if (!node.children.empty()) {
            QMenu* sub = menu->addMenu(Q(node.captionKey));
            sub->setObjectName(Q(node.name));
            sub->menuAction()->setObjectName(Q(node.name));
            menus_[node.name] = sub;
            actions_[node.name] = sub->menuAction();
            AddMenuNodes(sub, node.children);
            continue;
        }
        QAction* action = menu->addAction(Q(node.captionKey));
        action->setObjectName(Q(node.name));
        if (!node.shortcut.empty()) action->setShortcut(QKeySequence(Q(node.shortcut)));
        action->setVisible(!node.hidden);
        actions_[node.name] = action;
        if (node.captionKey != node.name) actions_[node.captionKey] = action;
    }
}

void TMain::Connect(const char* name, void (TMain::*handler)()) {
    QAction* action = Action(name);
    if (!action) return;
    connect(action, &QAction::triggered, this, handler);
    built_.insert(name);
}

QAction* TMain::Action(const std::string& name) const {
    auto it = actions_.find(name);
    return it == actions_.end() ? nullptr : it->second;
}

QMenu* TMain::MenuNamed(const std::string& name) const {
    auto it = menus_.find(name);
    return it == menus_.end() ? nullptr : it->second;
}

void TMain::AttachOptionWindow(TOption* option) {
    option_ = option;
    option_->Bind(ws_->options);
    option_->SetDefaultFileProbe([this] { return DefaultOptionsExist(appDir_); });
    connect(option_, &TOption::sortChanged, this,
            [this](int order) { comboBoxSort_->setCurrentIndex(order); });
    connect(option_, &TOption::showPathNameClicked, this, &TMain::RefreshViews);
    connect(option_, &TOption::japaneseMenuClicked, this,
            [this](bool on) { SetMenuLanguage(on ? 1 : 0); });
    connect(option_, &TOption::setDefaultClicked, this, &TMain::SaveDefaultOptions);
    connect(option_, &TOption::loadDefaultClicked, this, [this] {
        LoadDefaultOptions();
        ws_->options.OptionsDialogChanged = true;
        option_->ShowOptions();
    });
    connect(option_, &TOption::hintShown, this, &TMain::SetShowHint);
}

void TMain::UpdateTitle(int markChanged) {
    if (markChanged == 1) ws_->DataChanged = true;
    if (!ws_->DatabasePath.empty()) {
        ws_->history.SetLimit(ws_->options.HistoryCount);
        ws_->history.AddToHistory(ws_->DatabasePath);
    }
    setWindowTitle(PathText(
        BuildTitle(ws_->DatabasePath, ws_->DataChanged, ws_->OptionsChanged, ws_->OldFormatRead)));
    UpdateToolButtons();
    ShowPanelText(status1Panel1_, std::to_string(ws_->lists.reference.Count()) + "/" +
                                      std::to_string(ws_->catalogue.Count()));
    RefreshViews();
}

void TMain::ChangeFlagsChanged() {
    setWindowTitle(PathText(
        BuildTitle(ws_->DatabasePath, ws_->DataChanged, ws_->OptionsChanged, ws_->OldFormatRead)));
    UpdateActions();
}

FrameState TMain::CurrentFrameState() const {
    FrameState s;
    s.catalogueCount = ws_->catalogue.Count();
    s.referenceRows = ws_->lists.reference.Count();
    s.referenceSelected = ws_->lists.reference.SelectedCount() > 0;
    s.targetSelected = ws_->lists.target.SelectedCount() > 0;
    s.dataFilterIndex = dataFilter_ ? dataFilter_->currentIndex() : 0;
    s.anyChangeFlag = ws_->DataChanged || ws_->OptionsChanged || ws_->OldFormatRead;
    s.memoGroups = ws_->memos.GroupCount();
    return s;
}

void TMain::UpdateToolButtons() {
    SyncSearchBar();
    ToolButtonStates t = UpdateToolButtonStates(CurrentFrameState());
    // Buttons whose commands come later stay disabled.
    toolButtons_["SpeedButton8"]->setEnabled(t.clearAll && built_.count("ClearAllDataEntry1"));
    toolButtons_["SpeedButton9"]->setEnabled(t.refresh && built_.count("Refind1"));
    toolButtons_["SpeedButton10"]->setEnabled(t.makeMismatch && built_.count("Makemismatch1"));
    if (!t.searchButton) searchButton_->setEnabled(false);
    UpdateActions();
}

void TMain::UpdateActions() {
    RefreshPreviewState();
    DatabaseActionStates d = DatabaseActions(CurrentFrameState());
    if (QAction* a = Action("Savedatabase1"))
        a->setEnabled(d.save && built_.count("Savedatabase1"));
    if (QAction* a = Action("Savedatabaseas1"))
        a->setEnabled(d.saveAs && built_.count("Savedatabaseas1"));
    if (QAction* a = Action("MergeDatabase1"))
        a->setEnabled(d.import && built_.count("MergeDatabase1"));
    toolButtons_["SpeedButton4"]->setEnabled(d.save && built_.count("Savedatabase1"));
    toolButtons_["SpeedButton7"]->setEnabled(d.saveAs && built_.count("Savedatabaseas1"));
    toolButtons_["SpeedButton6"]->setEnabled(d.import && built_.count("MergeDatabase1"));
    toolButtons_["SpeedButton3"]->setEnabled(built_.count("Opendatabase1") > 0);
    toolButtons_["SpeedButton1"]->setEnabled(built_.count("Open1") > 0);
    for (const char* name : {"synhbutton", "SpeedButtonThumb"})
        toolButtons_[name]->setEnabled(false);
    UpdateViewToolActions();
    panelButtons_["ClearEntry"]->setEnabled(ws_->lists.currentReference != nullptr);
    UpdateFileActions();
}

void TMain::PrepareMenu(QMenu* menu) {
    FrameState s = CurrentFrameState();
    s.clipboardHasText = !QGuiApplication::clipboard()->text().isEmpty();
    for (QAction* action : menu->actions()) {
        std::string name = S(action->objectName());
        if (name.empty() || action->isSeparator() || menus_.count(name)) continue;
        if (std::find(historyActions_.begin(), historyActions_.end(), action) !=
            historyActions_.end())
            continue;
        if (!built_.count(name)) {
            action->setEnabled(false);
            continue;
        }
        action->setEnabled(DropDownEnabled(name, s));
    }
    if (menu == MenuNamed("File1")) PrepareFileMenu();
    if (menu == MenuNamed("Help1")) Action("Help2")->setVisible(!ManualPath().empty());
    UpdateActions();
}

void TMain::PrepareFileMenu() {
    QMenu* file = MenuNamed("File1");
    for (QAction* a : historyActions_) {
        file->removeAction(a);
        a->deleteLater();
    }
    historyActions_.clear();
    for (const History::MenuItem& e :
         ws_->history.MenuItems(ws_->DatabasePath, ws_->DataChanged || ws_->OptionsChanged)) {
        // The caption shows the path as it is: an ampersand is not an accelerator here.
        auto* action = new QAction(PathText(e.path).replace("&", "&&"), file);
        action->setData(QByteArray::fromStdString(e.path));
        action->setEnabled(e.enabled);
        std::string path = e.path;
        connect(action, &QAction::triggered, this, [this, path] { OpenFromHistory(path); });
        file->addAction(action);
        historyActions_.push_back(action);
    }
    bool any = !ws_->history.Paths().empty();
    Action("ClearHistory1")->setEnabled(any);
    Action("OptimizeHistory1")->setEnabled(any);
}

void TMain::SetMenuLanguage(int language) {
    lumidex::SetMenuLanguage(language, [this](const std::string& name, const std::string& caption) {
        if (QAction* a = Action(name)) a->setText(Q(caption));
    });
}

void TMain::MenuLanguageFromOptions() {
    SetMenuLanguage(ws_->options.UseJapneseMenu ? 1 : 0);
}

void TMain::SetShowHint(const QString& longHint) {
    if (!ws_->options.UseJapneseMenu || !option_ || !option_->isVisible()) return;
    ShowPanelText(status2Panel0_, S(longHint));
}

void TMain::OptionClick() {
    if (!option_) return;
    option_->PrepareShowing();
    PlaceAtCursor(option_);
    option_->exec();
    if (ws_->options.OptionsDialogChanged) {
        ws_->OptionsChanged = true;
        ws_->lists.currentReference = nullptr;
        ws_->lists.currentTarget = nullptr;
    }
    Database db = ws_->DatabaseParts();
    BuildHeader(db);
    UpdateTitle(0);
    ws_->lists.RefreshAfterChange();
    RefreshViews();
    status2Panel0_->clear();
}

void TMain::AboutClick() {
    if (!about_) return;
    PlaceAtCursor(about_);
    about_->exec();
}

std::string TMain::ManualPath() const {
    // The manual ships with the program, beside it or in its data folder; a copy in the
    // settings folder comes first.
    std::string programDir = PathBytes(QCoreApplication::applicationDirPath()) + "/";
    for (const std::string& folder : {appDir_, programDir, programDir + "../share/lumidex2/"})
        if (IsExistingFile(folder + "manual.html")) return folder + "manual.html";
    return {};
}

void TMain::HelpClick() {
    const std::string manual = ManualPath();
    if (manual.empty() || !OpenWithDesktop(manual)) ws_->LogMessage("Browser open failed.");
}

} // namespace lumidex
