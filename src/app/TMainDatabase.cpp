// The main window: database commands, history and "app.cfg".
#include "TMain.h"

#include "DatabaseCommands.h"
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
void TMain::OpendatabaseClick() {
    if (ListUpRunning()) return;
    Database db = ws_->DatabaseParts();
    OpenDatabase(db);
    if (option_) option_->ShowOptions();
    UpdateTitle(0);
}

void TMain::OpenFromHistory(const std::string& path) {
    if (ListUpRunning()) return;
    Database db = ws_->DatabaseParts();
    lumidex::OpenFromHistory(db, ws_->history, path);
    if (option_) option_->ShowOptions();
    UpdateTitle(0);
}

void TMain::SavedatabaseClick() {
    if (ListUpRunning()) return;
    Database db = ws_->DatabaseParts();
    SaveDatabase(db);
    UpdateTitle(0);
}

void TMain::SavedatabaseasClick() {
    if (ListUpRunning()) return;
    Database db = ws_->DatabaseParts();
    SaveDatabaseAs(db);
    UpdateTitle(0);
}

void TMain::MergeDatabaseClick() {
    if (ListUpRunning()) return;
    Database db = ws_->DatabaseParts();
    if (ws_->options.AllowRobustOperation) {
        toolButtons_["StopBitBtn"]->show();
        ws_->StopRequested = false;
    }
    ImportDatabase(db);
    toolButtons_["StopBitBtn"]->hide();
    UpdateTitle(0);
}

void TMain::ClearHistoryClick() {
    ws_->history.Clear();
}

void TMain::OptimizeHistoryClick() {
    ws_->history.Optimize();
}

void TMain::LoadDefaultOptions() {
    Database db = ws_->DatabaseParts();
    lumidex::LoadDefaultOptions(db);
    HideMainProgress();
    if (option_) option_->ShowOptions();
    comboBoxSort_->setCurrentIndex(static_cast<int>(ws_->options.Sortby));
}

void TMain::SaveDefaultOptions() {
    Database db = ws_->DatabaseParts();
    lumidex::SaveDefaultOptions(db);
}

int TMain::PanelButtonMask() const {
    int mask = 0;
    const auto& names = PanelButtonNames();
    for (size_t i = 0; i < names.size(); ++i) {
        auto it = panelButtons_.find(names[i]);
        if (it != panelButtons_.end() && !it->second->isHidden()) mask |= 1 << i;
    }
    return mask;
}

void TMain::ApplyPanelButtonMask(int mask) {
    const auto& names = PanelButtonNames();
    for (size_t i = 0; i < names.size(); ++i) {
        auto it = panelButtons_.find(names[i]);
        if (it != panelButtons_.end()) it->second->setVisible((mask >> i) & 1);
    }
}

void TMain::LoadAppSettings() {
    SettingsLoaded loaded = LoadSettings(appDir_, settings_);
    if (!loaded.found) return;
    const Placement& m = settings_.mainWindow;
    move(m.left, m.top);
    if (m.width > 0 && m.height > 0)
        resize(std::max(m.width, kMinWindowWidth), std::max(m.height, kMinWindowHeight));
    if (loaded.memoManagerAtMainEdge) {
        Placement& memo = settings_.memoManager;
        memo.height = m.height;
        memo.left = m.left + m.width - memo.width;
        memo.top = m.top;
    }
    ApplyPanelButtonMask(settings_.buttonMask);
    useSubIndex_->setChecked(settings_.UseSubIndex);
    usePreviewCache_->setChecked(settings_.UsePreviewCache);
    cacheCount_->setText(Q(settings_.CacheCount));
    ws_->options.MatchOrientations = settings_.MatchOrientations;
    option_->ShowOptions();
    ApplyDialogFolders();
}

void TMain::SaveAppSettings() {
    QPoint at = pos();
    settings_.mainWindow = {at.y(), at.x(), width(), height()};
    settings_.buttonMask = PanelButtonMask();
    settings_.UseSubIndex = useSubIndex_->isChecked();
    settings_.UsePreviewCache = usePreviewCache_->isChecked();
    settings_.CacheCount = S(cacheCount_->text());
    settings_.MatchOrientations = ws_->options.MatchOrientations;
    StoreDialogFolders();
    SaveSettings(appDir_, settings_);
}

} // namespace lumidex
