// The main window: picture plug-in mode and its "Set Susie &Plugins" commands.
#include "TMain.h"

#include "FileStatus.h"
#include "PluginMode.h"
#include "QtText.h"
#include "StartUp.h"
#include "TDirSel.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMenu>

namespace lumidex {

namespace {

// The project's own plug-ins, where the build or the installation put them: the folder
// dialog starts there while no plug-in folder was chosen yet.
std::string BundledPluginFolder() {
    const std::string programDir = PathBytes(QCoreApplication::applicationDirPath()) + "/";
    std::vector<std::string> candidates = {programDir + "../../plugins/"};
#ifdef LUMIDEX2_INSTALLED_PLUGIN_DIR
    candidates.push_back(LUMIDEX2_INSTALLED_PLUGIN_DIR "/");
#endif
    for (const std::string& folder : candidates)
        if (GetFileStatus(folder).isFolder)
            return PathBytes(QFileInfo(PathText(folder)).canonicalFilePath());
    return {};
}

} // namespace

void TMain::ConnectPlugins() {
    Connect("SetPluginDirectory1", &TMain::SetPluginDirectory1Click);
    Connect("StopUsingPlugins1", &TMain::StopUsingPlugins1Click);
    connect(MenuNamed("SetSusiePlugins1"), &QMenu::aboutToShow, this, &TMain::UpdatePluginActions);
    UpdatePluginActions();
}

void TMain::UpdatePluginActions() {
    // The readers must not change under a scan or a list-up that is still reading pictures.
    const bool idle = !ListUpRunning();
    Action("SetPluginDirectory1")->setEnabled(idle && !ws_->PluginsInUse);
    Action("StopUsingPlugins1")->setEnabled(idle && ws_->PluginsInUse);
}

void TMain::StartUpPluginMode() {
    if (!StartUpPlugins(*ws_, ws_->plugins)) {
        ws_->PluginsInUse = false;
        ws_->SetNativePicturePatterns();
    }
    UpdatePluginActions();
}

void TMain::SetPluginDirectory1Click() {
    if (ws_->PluginsInUse || ListUpRunning()) return;
    TDirSel* dialog = DirSel();
    // The dialog's folder belongs to the adding commands; it is theirs again afterwards.
    const std::string addingFolder = dialog->CurrentFolder();
    const std::string start =
        ws_->plugins.Folder().empty() ? BundledPluginFolder() : ws_->plugins.Folder();
    dialog->SetMode(3);
    if (!start.empty()) dialog->SetCurrentFolder(start);
    PlaceAtCursor(dialog);
    const bool chosen = dialog->exec() == QDialog::Accepted;
    const std::string folder = dialog->CurrentFolder();
    dialog->SetCurrentFolder(addingFolder);
    if (chosen) SetPluginFolder(*ws_, ws_->plugins, folder);
    UpdatePluginActions();
}

void TMain::StopUsingPlugins1Click() {
    if (!ws_->PluginsInUse || ListUpRunning()) return;
    StopUsingPlugins(*ws_);
    UpdatePluginActions();
}

} // namespace lumidex
