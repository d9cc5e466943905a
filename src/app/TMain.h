#pragma once

#include "DataFilter.h"
#include "Frame.h"
#include "FrameRules.h"
#include "History.h"
#include "PreviewCache.h"
#include "PreviewPane.h"
#include "Settings.h"
#include "Workspace.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QToolButton;
class QTreeView;

namespace lumidex {

class EntryListModel;
class LumidexServer;
class TAboutBox;
class TDirSel;
class TOpenForm;
class TOption;
class TPView;
class TPathChange;
class TQueryDialog;
class TRenameDlg;
class TUnlinkedData;
class TProgress;
class TSlideShow;
class TThumbnail;
class TViewLeft;

// The main window: owns the Workspace and is the Frame through which the logic reaches the
// user. Commands are thin handlers over the logic libraries.
class TMain : public QMainWindow, public Frame {
    Q_OBJECT
public:
    // args: the program's command-line arguments after the program name.
    TMain(std::string appDir, QStringList args, QWidget* parent = nullptr);
    ~TMain() override;

    Workspace& workspace() { return *ws_; }
    // The windows created after the main window that it works with.
    void AttachOptionWindow(TOption* option);
    void AttachAboutBox(TAboutBox* about) { about_ = about; }
    TOption* optionWindow() const { return option_; }
    TProgress* Progress();

    // Questions and file choices go to script while it is set (tests).
    void SetScript(Frame* script) { script_ = script; }

    void UpdateTitle(int markChanged);
    void UpdateToolButtons();
    void ShowSizeComparison();
    // File sizes of the previewed pictures, -1 for a preview that shows nothing.
    void SetPreviewSizes(int64_t left, int64_t right);
    QFrame* LeftViewPanel() const { return leftViewPanel_; }
    QFrame* RightViewPanel() const { return rightViewPanel_; }
    // 0 English, 1 Japanese; other values change nothing.
    void SetMenuLanguage(int language);
    // The first showing's work (also run by the show event).
    void FirstShow();
    bool firstShowDone() const { return FirstShowDone_; }

    QAction* Action(const std::string& name) const;
    QMenu* MenuNamed(const std::string& name) const;
    std::string PanelText(StatusPanel panel) const;
    QString CrystalHint() const;
    // Rebuilds the history entries of the file menu, as when it drops down.
    void PrepareFileMenu();
    // Runs the enabling of the menu that drops down.
    void PrepareMenu(QMenu* menu);
    void UpdateActions();

    // Commands.
    void OpendatabaseClick();
    void SavedatabaseClick();
    void SavedatabaseasClick();
    void MergeDatabaseClick();
    void OpenFromHistory(const std::string& path);
    void ClearHistoryClick();
    void OptimizeHistoryClick();
    void OptionClick();
    void AboutClick();
    void HelpClick();
    void ExitClick();
    // Search bar and lists.
    void DataFilterChange(int index);
    void SearchButtonClick();
    void RefindClick();
    void ListupAllClick();
    void ClearAllDataEntryClick();
    void ClearAllDataEntryinRefListClick();
    void DeleteDataEntryClick();
    void ReanalizeAllinRefListClick();
    void FindinRefListClick();
    void RemovefromListClick();
    QMenu* LeftPopupMenu() const { return leftPopup_; }
    QMenu* RightPopupMenu() const { return rightPopup_; }

    History& history() { return ws_->history; }
    QTreeView* ListBox1() const { return listBox1_; }
    QTreeView* ListBox2() const { return listBox2_; }
    // The list views follow the lists' rows and selection.
    void RefreshViews();

    // Frame.
    void SetStatusText(StatusPanel panel, const std::string& text) override;
    void ShowLogged(const std::string& text, const std::string& errorHint) override;
    void ShowProgress() override;
    void CloseProgress() override;
    void SetProgressCaption(const std::string& text) override;
    void SetProgressPicture(const QImage& picture) override;
    void SetPictureBarMax(int max) override;
    void SetPictureBarPosition(int position) override;
    void StepPictureBar() override;
    void SetFilesBarMax(int max) override;
    void SetFilesBarPosition(int position) override;
    void StepFilesBar() override;
    bool AbortRequested() const override;
    void SetAbortRequested(bool on) override;
    void SetBusy(bool busy) override;
    Answer Ask(const Question& question) override;
    std::string ChooseFile(const FileChoice& choice) override;
    void ProcessEvents() override;
    void ChangeFlagsChanged() override;
    void ShowMainProgress(int maximum) override;
    void SetMainProgressPosition(int position) override;
    void HideMainProgress() override;
    void ShowTitle(const std::string& title) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void ShowPanelText(QLabel* label, const std::string& text);
    void BuildToolBar(QWidget* parent);
    QWidget* BuildPreviewColumn();
    QWidget* BuildListColumn(bool reference);
    QWidget* BuildPanel3();
    QWidget* BuildPanel2();
    QWidget* BuildStatusBars();
    void BuildMenus();
    void AddMenuNodes(QMenu* menu, const std::vector<struct MenuNode>& nodes);
    QToolButton* ToolButton(const char* name, const char* hint, int icon);
    void Connect(const char* action, void (TMain::*handler)());
    void SetBuilt(const char* action) { built_.insert(action); }
    void SetShowHint(const QString& longHint);
    FrameState CurrentFrameState() const;
    bool CloseQuery();
    void LoadDefaultOptions();
    void SaveDefaultOptions();
    // "manual.html" where the program finds it, empty when there is none.
    std::string ManualPath() const;
    void MenuLanguageFromOptions();
    void ApplyPanelButtonMask(int mask);
    int PanelButtonMask() const;
    void LoadAppSettings();
    void SaveAppSettings();
    void MoveListSelection(bool reference, int step);
    void OnViewSelectionChanged(bool reference);
    void SyncViewSelection();
    void InstallHooks();
    void BuildPopupMenus();
    // The search bar and the list check boxes follow the lists' state.
    void SyncSearchBar();
    Method ChosenMethod() const;
    bool ListUpRunning() const;

    std::unique_ptr<Workspace> ws_;
    std::string appDir_;
    QStringList args_;
    Frame* script_ = nullptr;
    bool FirstShowDone_ = false;
    int busy_ = 0;
    std::unique_ptr<LumidexServer> server_;
    // "app.cfg" as read, so that values of windows not built yet are written back unchanged.
    SettingsRecord settings_;
    bool syncing_ = false;
    std::pair<int64_t, int64_t> previewSizes_{-1, -1};

    TOption* option_ = nullptr;
    TAboutBox* about_ = nullptr;
    TProgress* progress_ = nullptr;

    std::map<std::string, QAction*> actions_;
    std::map<std::string, QMenu*> menus_;
    std::set<std::string> built_;
    QAction* historySeparator_ = nullptr;
    std::vector<QAction*> historyActions_;

    std::map<std::string, QToolButton*> toolButtons_;
    std::map<std::string, QToolButton*> panelButtons_;
    QTreeView* listBox1_ = nullptr;
    QTreeView* listBox2_ = nullptr;
    EntryListModel* model1_ = nullptr;
    EntryListModel* model2_ = nullptr;
    QFrame* leftViewPanel_ = nullptr;
    QFrame* rightViewPanel_ = nullptr;
    QLabel* image1_ = nullptr;
    QLabel* image2_ = nullptr;
    QLabel* crystal_ = nullptr;
    QComboBox* dataFilter_ = nullptr;
    QComboBox* comboBoxSort_ = nullptr;
    QToolButton* searchButton_ = nullptr;
    QCheckBox* sendToTarget_ = nullptr;
    QCheckBox* disableAutoFind_ = nullptr;
    QPushButton* listupAll_ = nullptr;
    QWidget* methodPanel_ = nullptr;
    QMenu* leftPopup_ = nullptr;
    QMenu* rightPopup_ = nullptr;
    QString searchText_;
    QCheckBox* useSubIndex_ = nullptr;
    QCheckBox* usePreviewCache_ = nullptr;
    QLineEdit* cacheCount_ = nullptr;
    QLabel* status1Panel0_ = nullptr;
    QLabel* status1Panel1_ = nullptr;
    QLabel* status2Panel0_ = nullptr;
    QStackedWidget* status2Stack_ = nullptr;
    QProgressBar* progressBar1_ = nullptr;

    // Previews and viewers
public:
    void ViewLeftClick();  // "View &Reference"
    void ViewRightClick(); // "View &Taget"
    // Shows entry in the reference or the target pane.
    void View(bool reference, Pdata* entry);
    // Double click on a pane's picture area; shift opens a free viewer.
    void ImageDblClick(bool reference, bool shift);
    void ListDblClick(bool reference, bool shift);
    // "ReAnalyse(&Whole)" of the pane's entry.
    void ReAnalyseWholeClick(bool reference);
    void RebuildPaneHint(bool reference);
    // The next View of the pane reads the file again.
    void RequestPaneReload(bool reference) { panes_[reference ? 0 : 1].reloadRequest = true; }
    // The file at path changed or went away: no cached copy of it may be shown again.
    void DropPreview(const std::string& path);
    PreviewCache& previewCache() { return previewCache_; }
    const PreviewPaneState& Pane(bool reference) const { return panes_[reference ? 0 : 1]; }
    QLabel* PaneImage(bool reference) const { return reference ? image1_ : image2_; }
    QString PaneHintText(bool reference) const;
    // Every pixel of the pane's picture (the pane may draw from a small copy): read again
    // where needed; empty, with "Read failed," logged, when that fails or nothing is shown.
    const QImage& PaneFullPicture(bool reference);
    TViewLeft* PaneViewer(bool reference) const { return paneViewers_[reference ? 0 : 1]; }
    std::vector<TViewLeft*> FreeViewers() const;
    // The idle refresh of the information fields and the enabling of the pane commands.
    void RefreshPreviewState();
    void ToggleViewer(bool reference);

private:
    void BuildPreviews();
    void HidePane(bool reference, bool forgetLast);
    void DrawPane(bool reference);
    // Shows the pane's picture as entry's, with its hint.
    void ShowPaneEntry(bool reference, const Pdata* entry, int64_t hintFileSize);
    void ForgetPreviewEntry(const Pdata* entry);
    void ShowInViewer(bool reference, TViewLeft* viewer);
    TViewLeft* MakeViewer(int binding);
    bool ViewableFile(const Pdata* entry) const;
    void GotoData(const std::string& path);
    // "Reanalize All in Ref. &List" shows each picture it reads in the reference pane.
    void ShowReanalysing(Pdata& entry, const FileAnalysis& read);
    PreviewCache previewCache_;
    PreviewPaneState panes_[2];
    TViewLeft* paneViewers_[2] = {nullptr, nullptr};
    std::vector<QPointer<TViewLeft>> freeViewers_;
    QMenu* popupMenuLeftUpper_ = nullptr;
    QMenu* popupMenuLeftLower_ = nullptr;
    QLabel* previewFields_[6] = {}; // name, size and date under each pane

    // Dialogs and adding (TMainAdd.cpp).
public:
    // The folder and picture dialogs and the progress window made at start-up.
    void AttachDialogs(TDirSel* dirSel, TOpenForm* openForm, TProgress* progress);
    TDirSel* DirSel();
    TOpenForm* OpenForm();
    void ActionAddPictureExecute();
    void ActionAddPicturefromFolderExecute();
    // The folder command after its dialog: scans folder with the dialog's choices.
    void AddPicturesFromFolder(const std::string& folder);
    // Dropped paths, added from the event loop once no other operation runs.
    void AddDropped(std::vector<std::string> paths);

private:
    void ConnectAdding();
    void ApplyDialogFolders();
    void StoreDialogFolders();
    void AddPendingDrops();
    TDirSel* dirSel_ = nullptr;
    TOpenForm* openForm_ = nullptr;
    std::vector<std::string> pendingDrops_;
    bool dropScheduled_ = false;

    // Context menus (TMainPopups.cpp).
public:
    // Runs at every opening of a list's context menu, after every item was enabled exactly when
    // one row of that list is selected (the reference menu runs none without one); each area
    // fills its submenus and refines its items' enabling here.
    using PopupOpener = std::function<void(QMenu* menu, bool reference)>;
    void AddPopupOpener(PopupOpener opener) { popupOpeners_.push_back(std::move(opener)); }

private:
    void AddPopupLines(QMenu* menu, const std::vector<struct PopupLine>& lines);
    void OpenListPopup(QMenu* menu, bool reference);
    std::vector<PopupOpener> popupOpeners_;

    // Plug-ins and regions (TMainPlugins.cpp, TMainRegions.cpp).
public:
    // At the first showing: plug-in mode from "susieplg.cnf", else the built-in readers.
    void StartUpPluginMode();
    void SetPluginDirectory1Click(); // "Set Plugin &Folder..."
    void StopUsingPlugins1Click();   // "Stop &Using Plugins"
    // The region window made at start-up.
    void AttachRegionWindow(TPView* view);
    TPView* RegionWindow();
    // "&Sub Index..." of the reference or the target pane: the regions of the entry it shows.
    void SubIndexClick(bool reference);

private:
    void ConnectPlugins();
    void UpdatePluginActions();
    void ConnectRegions();
    void RegionWindowClosed(bool reference, bool changed);
    TPView* pView_ = nullptr;

    // File operations (TMainFileOps.cpp).
public:
    // The file command windows made at start-up.
    void AttachFileOps(TQueryDialog* query, TRenameDlg* rename, TPathChange* pathChange,
                       TUnlinkedData* unlinked);
    TQueryDialog* QueryDialog();
    TRenameDlg* RenameDialog();
    TPathChange* PathChangeDialog();
    TUnlinkedData* UnlinkedData();
    // Told of what copy and move add to FolderList, for the folder explorer's AddPath: the
    // first copied file, a moved reference's new path, or the folder targets moved to (with
    // its trailing delimiter).
    void SetFolderListAdded(std::function<void(const std::string& path)> added) {
        folderListAdded_ = std::move(added);
    }
    // Where a copy or move goes: the folder dialog, its current folder, or a listed one.
    enum class Destination { Ask, Current, Listed };
    void CopyButtonClick();
    void MoveButtonClick();
    void CopyRefButtonClick();
    void MoveRefButtonClick();
    void TransferCommand(bool reference, bool copy, Destination how,
                         const std::string& listed = {});
    void DelButtonClick();
    void RefdelButtonClick();
    void RenameClick();
    void ActionRenameLeftExecute();
    void ActionOverwrightMove1Execute(bool referenceOntoTarget);
    void SearchUnlinkedDataClick();
    void ChangeAllFilePath1Click();
    void ActionMovePathExecute();
    void ChangeFilenamewithCSV1Click();
    // Enabling of the file commands, kept current while idle.
    void UpdateFileActions();

private:
    void ConnectFileOps();
    // Runs a delete, rename or overwrite-move on the reference, the selected targets or the
    // current pair, then lets the previews and the title follow.
    enum class FileSide { Reference, Targets, Pair };
    void RunOnEntries(FileSide side, const std::function<void(FileOpsParts&)>& run);
    void BindViewerFileCommands(TViewLeft* viewer);
    void FillDestinationMenu(QMenu* menu, bool reference, bool copy);
    void RunPathChange(const std::string& from, const std::string& to, bool subFolders);
    void AfterFileCommand(const std::vector<std::string>& touched);
    void BrowsePathChange(const QString& from);
    TQueryDialog* query_ = nullptr;
    TRenameDlg* renameDlg_ = nullptr;
    TPathChange* pathChange_ = nullptr;
    TUnlinkedData* unlinked_ = nullptr;
    std::function<void(const std::string&)> folderListAdded_;
    bool fileCommandRunning_ = false;

    // Desktop (TMainDesktop.cpp).
public:
    void Explore1Click(bool reference);
    // Runs the application appId (a verb of the "Shell" submenu) on the file.
    void OpenClick(bool reference, const std::string& appId);
    void CopyFileNameClick(bool reference);
    // Puts the pane's picture on the clipboard, read in full when the pane shows a small copy.
    void CopyImageClick(bool reference);
    void RunGlimpser1Click();
    void RunTinter1Click();
    void RunJoiner1Click();
    void SendTinter1Click();
    void SendJoinerLeft1Click();
    void SendJoinerRight1Click();
    // A message from a companion; waits while a long operation runs.
    void CompanionMessage(uint32_t wParam, uint32_t lParam);
    // The folders companion programs are looked for in (tests point them elsewhere).
    void SetCompanionFolders(std::vector<std::string> folders) {
        companionFolders_ = std::move(folders);
    }
    // The companion items of the "&Tool" menu, as when it drops down.
    void PrepareCompanionItems();
    // The menu of a button panel ("ButtonPopupMenu", "RightButtonPopupMenu"), as when it opens.
    QMenu* ButtonPanelMenu(bool left);
    void PrepareButtonPanelMenu(bool left);

private:
    void ConnectDesktop();
    void FillShellMenu(QMenu* menu, bool reference);
    void HandleCompanionMessage(uint32_t wParam, uint32_t lParam);
    void SendToCompanion(const struct Companion& companion, uint32_t lParam);
    std::string CompanionProgram(const struct Companion& companion) const;
    std::vector<std::string> companionFolders_;
    // Shared so that TMain.cpp needs no definition of it.
    std::shared_ptr<class CompanionInbox> companionInbox_;
    QMenu* buttonPanelMenus_[2] = {nullptr, nullptr};

    // Viewing tools (TMainViewTools.cpp).
public:
    // The thumbnail window, the slide show and the shared viewer made at start-up.
    void AttachViewTools(TThumbnail* thumbnail, TSlideShow* slideShow, TViewLeft* sharedViewer);
    TThumbnail* Thumbnail() const { return thumbnail_; }
    TSlideShow* SlideShowWindow() const { return slideShow_; }
    TViewLeft* SynthesisViewer() const { return synthesisViewer_; }
    TViewLeft* ClipboardViewer() const;
    void ShowThumbClick();            // "Show &Thumbnail Window"
    void SlideShowClick();            // "&Slide Show..."
    void SynthViewClick();            // "S&ynthesis View"
    void CompareWithClipboardClick(); // "Compare with &Clipboard"
    void SaveAsJpegClick();           // "Save as JPEG"
    void SaveAsPngClick();            // "Save as PNG"
    // The enabling of the viewing tools' commands (run with the other idle enabling).
    void UpdateViewToolActions();

private:
    // Gives a viewer made elsewhere the options, screen and commands of the pane viewers
    // (TMainPreview.cpp).
    void ConfigureViewer(TViewLeft* viewer);
    bool ReferencePreviewShown() const;
    void ConvertClick(int format);
    TThumbnail* thumbnail_ = nullptr;
    TSlideShow* slideShow_ = nullptr;
    TViewLeft* sharedViewer_ = nullptr;
    TViewLeft* synthesisViewer_ = nullptr;
    QPointer<TViewLeft> clipboardViewer_;
    bool clipboardHasImage_ = false;

    // Organise (TMainOrganise.cpp).
public:
    // The organising windows, made at start-up in their place of the creation order; the
    // main window is their host. (The class keys declare the window classes here.)
    class TMemoMan* MakeMemoMan();
    class TMismatchEditor* MakeMismatchEditor();
    class TMismatchhConf* MakeMismatchConf();
    class TNavigator* MakeNavigator();
    class TFolderManager* MakeFolderManager();
    TMemoMan* MemoMan() const;
    TMismatchEditor* MismatchEditor() const;
    TMismatchhConf* MismatchConf() const;
    TNavigator* Navigator() const;
    TFolderManager* FolderManager() const;
    void ActionMemomanExecute(); // "M&emo Manager..." and its tool button
    void ExportMemoClick();
    void ImportMemoClick();
    void ActionFolderManExecute();
    void MakeMismatchClick();
    void MismatchEditorClick();
    void ActionShowNavi();
    void ActionSyncMemoExecute();
    void CopyRefListToClipboardClick();
    void CopyPairListtoClipboardClick();
    void SearchListFromClipboardClick(); // "Search List from &Clipboard"
    void ImportListFromClipboardClick(); // "&Import List from Clipboard"
    void SetBookmarkClick();
    void ListupBookMarkClick();
    // A picture of the reference (or target) list dropped on a folder of the explorer: its
    // file moves there. False when nothing moved.
    bool MoveDroppedEntry(const std::string& folder, bool fromReference);
    // The enabling of the organising commands (also run at idle time).
    void UpdateOrganiseActions();

private:
    class OrganiseHost;
    void ConnectOrganise();
    void OpenOrganisePopup(QMenu* menu, bool reference);
    void FillMemoMenu(QMenu* menu, bool reference);
    void FillBookmarkMenu(QMenu* menu);
    void MemosOfEntryChanged(const Pdata* entry);
    void ShowMemosOfSelection(bool reference);
    void CloseOrganiseWindows();
    OrganiseHost* organiseHost_ = nullptr;
    QPointer<TMemoMan> memoMan_;
    QPointer<TMismatchEditor> mismatchEditor_;
    QPointer<TMismatchhConf> mismatchConf_;
    QPointer<TNavigator> navigator_;
    QPointer<TFolderManager> folderManager_;
    size_t explorerFolders_ = 0; // folder list items the explorer's tree holds
};

} // namespace lumidex
