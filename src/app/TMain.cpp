// The main window: composition, start-up and closing, keys.
#include "TMain.h"

#include "DatabaseCommands.h"
#include "EntryListModel.h"
#include "FileStatus.h"
#include "LumidexServer.h"
#include "MenuCaptions.h"
#include "Paths.h"
#include "QtText.h"
#include "SearchDialogs.h"
#include "SmallWindows.h"
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
#include <QLocale>
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

namespace {

QLabel* Field(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLabel* Panel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    label->setMinimumHeight(label->fontMetrics().height() + 6);
    return label;
}

// Moves the window so that it is centred on the mouse pointer and stays on its screen.
void PlaceAtCursorImpl(QWidget* window) {
    QPoint cursor = QCursor::pos();
    QScreen* screen = QGuiApplication::screenAt(cursor);
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    window->adjustSize();
    window->move(
        PlaceAtCursorPosition(window->frameGeometry().size(), cursor, screen->availableGeometry()));
}

} // namespace

void PlaceAtCursor(QWidget* window) {
    PlaceAtCursorImpl(window);
}

TMain::TMain(std::string appDir, QStringList args, QWidget* parent)
    : QMainWindow(parent), appDir_(std::move(appDir)), args_(std::move(args)) {
    setObjectName("Main");
    setWindowTitle(kAppTitle);
    setMinimumSize(kMinWindowWidth, kMinWindowHeight);
    resize(kMinWindowWidth, kMinWindowHeight);

    // Creation handler: the long-lived data, cleared flags, the history and the shared block.
    ws_ = std::make_unique<Workspace>(*this, appDir_);
    appDir_ = ws_->AppDir;
    // Option files and databases decide the language later; without them the user's own does.
    ws_->options.UseJapneseMenu = JapaneseMenuAtFirstStart(QLocale().language());

    auto* central = new QWidget(this);
    central->setObjectName("MainClient");
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(2, 2, 2, 0);
    layout->setSpacing(2);
    auto* panel1 = new QWidget(central);
    panel1->setObjectName("Panel1");
    BuildToolBar(panel1);
    layout->addWidget(panel1);
    auto* middle = new QHBoxLayout;
    middle->setSpacing(4);
    middle->addWidget(BuildPreviewColumn());
    middle->addWidget(BuildListColumn(true), 1);
    middle->addWidget(BuildListColumn(false), 1);
    layout->addLayout(middle, 1);
    layout->addWidget(BuildPanel3());
    layout->addWidget(BuildPanel2());
    layout->addWidget(BuildStatusBars());
    setCentralWidget(central);
    BuildMenus();
    BuildPopupMenus();
    BuildPreviews();

    ShowPanelText(status1Panel0_, "Idle");
    ShowPanelText(status1Panel1_, "0 File read");

    ws_->history.SetLimit(ws_->options.HistoryCount);
    ws_->history.Load(appDir_);
    ws_->DatabasePath.clear();
    InstallHooks();
    ConnectAdding();
    ConnectPlugins();
    ConnectRegions();
    ConnectFileOps();
    ConnectOrganise();
    setAcceptDrops(true);
    qApp->installEventFilter(this);
    server_ = std::make_unique<LumidexServer>(this);
    ConnectDesktop();
    // Enabling that depends on state any command may change, kept current while idle.
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &TMain::UpdateActions);
    idle->start(250);
    UpdateActions();
}

TMain::~TMain() {
    qApp->removeEventFilter(this);
    if (ws_->DataChanged || ws_->OptionsChanged || ws_->OldFormatRead) {
        Question q{
            DatabaseCaption(ws_->DatabasePath), kDataChangedQuestion, {Answer::Yes, Answer::No}};
        if (Ask(q) == Answer::Yes) SavedatabaseClick();
        ws_->DataChanged = ws_->OptionsChanged = ws_->OldFormatRead = false;
    }
    hide();
    ws_->history.Save(appDir_);
    server_.reset();
    // Windows and views that refer to the workspace go before it does.
    CloseOrganiseWindows();
    delete option_;
    option_ = nullptr;
    // The other windows (slide show, thumbnails, unlinked data, regions...) hold references
    // to the workspace too; as children they would outlive it.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (w->isWindow()) windows.append(w);
    for (const QPointer<QWidget>& w : windows)
        delete w.data();
    delete centralWidget();
}

QToolButton* TMain::ToolButton(const char* name, const char* hint, int icon) {
    auto* button = new QToolButton;
    button->setObjectName(name);
    button->setToolTip(hint);
    button->setIcon(style()->standardIcon(static_cast<QStyle::StandardPixmap>(icon)));
    button->setIconSize(QSize(20, 20));
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolButtons_[name] = button;
    return button;
}

void TMain::BuildToolBar(QWidget* panel) {
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    struct Spec {
        const char* name;
        const char* hint;
        QStyle::StandardPixmap icon;
    };
    const Spec specs[] = {
        {"SpeedButton1", "Add Picture", QStyle::SP_FileIcon},
        {"SpeedButton3", "Open", QStyle::SP_DialogOpenButton},
        {"SpeedButton4", "Save", QStyle::SP_DialogSaveButton},
        {"SpeedButton6", "Import Database", QStyle::SP_ArrowDown},
        {"SpeedButton7", "Save As", QStyle::SP_DriveFDIcon},
        {"DataSetSpeedButton", "Memo Manager", QStyle::SP_FileDialogInfoView},
        {"SpeedButton8", "Clear All Data Entry", QStyle::SP_TrashIcon},
        {"SpeedButton9", "Refresh", QStyle::SP_BrowserReload},
        {"SpeedButton10", "Make Mismatch", QStyle::SP_DialogNoButton},
        {"synhbutton", "Synthesis View", QStyle::SP_TitleBarNormalButton},
        {"SpeedButton5", "Option", QStyle::SP_FileDialogContentsView},
        {"SpeedButtonnavi", "Navigator", QStyle::SP_ArrowRight},
        {"SpeedButtonThumb", "Show Thumbnail Window", QStyle::SP_FileDialogListView},
    };
    for (const Spec& s : specs)
        row->addWidget(ToolButton(s.name, s.hint, s.icon));
    toolButtons_["DataSetSpeedButton"]->setCheckable(true);
    toolButtons_["SpeedButtonnavi"]->setCheckable(true);
    toolButtons_["SpeedButtonThumb"]->setCheckable(true);
    QToolButton* stop = ToolButton("StopBitBtn", "Stop", QStyle::SP_BrowserStop);
    stop->setText("Stop");
    stop->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    stop->hide();
    connect(stop, &QToolButton::clicked, this, [this, stop] {
        ws_->StopRequested = true;
        stop->hide();
    });
    row->addWidget(stop);
    row->addStretch();
    row->addWidget(ToolButton("SpeedButton2", "Exit", QStyle::SP_DialogCloseButton));
    // Exit keeps a button's width of room to the window's edge.
    row->addSpacing(toolButtons_["SpeedButton2"]->sizeHint().width());

    connect(toolButtons_["SpeedButton3"], &QToolButton::clicked, this, &TMain::OpendatabaseClick);
    connect(toolButtons_["SpeedButton4"], &QToolButton::clicked, this, &TMain::SavedatabaseClick);
    connect(toolButtons_["SpeedButton6"], &QToolButton::clicked, this, &TMain::MergeDatabaseClick);
    connect(toolButtons_["SpeedButton7"], &QToolButton::clicked, this, &TMain::SavedatabaseasClick);
    connect(toolButtons_["SpeedButton5"], &QToolButton::clicked, this, &TMain::OptionClick);
    connect(toolButtons_["SpeedButton2"], &QToolButton::clicked, this, &TMain::ExitClick);
    connect(toolButtons_["SpeedButton8"], &QToolButton::clicked, this,
            &TMain::ClearAllDataEntryClick);
    connect(toolButtons_["SpeedButton9"], &QToolButton::clicked, this, &TMain::RefindClick);
}

QWidget* TMain::BuildPreviewColumn() {
    auto* column = new QWidget;
    column->setObjectName("PreviewColumn");
    column->setFixedWidth(kPreviewPanelSide);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto preview = [&](const char* panelName, const char* imageName, QFrame*& panel, QLabel*& image,
                       const char* nameField, const char* sizeField, const char* dateField) {
        panel = new QFrame(column);
        panel->setObjectName(panelName);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setLineWidth(2);
        panel->setAutoFillBackground(true);
        panel->setFixedSize(kPreviewPanelSide, kPreviewPanelSide);
        // The picture area is placed by hand: its size follows the picture's shape.
        image = new QLabel(panel);
        image->setObjectName(imageName);
        image->setGeometry(8, 8, kPreviewSide, kPreviewSide);
        image->hide();
        layout->addWidget(panel);
        for (const char* f : {nameField, sizeField, dateField})
            layout->addWidget(Field(f, column));
    };
    preview("LeftViewPanel", "Image1", leftViewPanel_, image1_, "STFnam1", "STFSize1", "STFDate");
    preview("RightViewPanel", "Image2", rightViewPanel_, image2_, "STFnam2", "STFSize2",
            "STFDate2");
    layout->addStretch();
    return column;
}

QWidget* TMain::BuildListColumn(bool reference) {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* view = new QTreeView(column);
    view->setObjectName(reference ? "ListBox1" : "ListBox2");
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setAllColumnsShowFocus(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(reference ? QAbstractItemView::SingleSelection
                                     : QAbstractItemView::ExtendedSelection);
    const EntryList& list = reference ? ws_->lists.reference : ws_->lists.target;
    auto* model = new EntryListModel(list, ws_->options, view);
    model->SetNewPredicate([this](const Pdata* e) {
        return std::find(ws_->newPictures.begin(), ws_->newPictures.end(), e) !=
               ws_->newPictures.end();
    });
    view->setModel(model);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, reference] { OnViewSelectionChanged(reference); });
    // The file name takes the room the size and date columns leave.
    view->header()->setStretchLastSection(false);
    view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    view->header()->resizeSection(1, 64);
    view->header()->resizeSection(2, 72);
    layout->addWidget(view, 1);
    (reference ? listBox1_ : listBox2_) = view;
    (reference ? model1_ : model2_) = model;

    auto* panel = new QWidget(column);
    panel->setObjectName(reference ? "LeftPanel" : "RightPanel");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    struct Spec {
        const char* name;
        const char* caption;
    };
    std::vector<Spec> specs;
    if (reference)
        specs = {{"LeftViewButton", "View"}, {"ClearEntry", "Clear"},
                 {"CopyRefButton", "Copy"},  {"MoveRefButton", "Move"},
                 {"RefdelButton", "Delete"}, {"ButtonRenameLeft", "Rename"}};
    else
        specs = {{"RightViewButton", "View"},
                 {"CopyButton", "Copy"},
                 {"MoveButton", "Move"},
                 {"DelButton", "Delete"},
                 {"Rename", "&Rename"}};
    for (const Spec& s : specs) {
        // Compact buttons: five of them share a list's width at the smallest window size.
        auto* button = new QToolButton(panel);
        button->setText(s.caption);
        button->setObjectName(s.name);
        button->setEnabled(false);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        row->addWidget(button);
        panelButtons_[s.name] = button;
    }
    if (reference) {
        panelButtons_["ButtonRenameLeft"]->hide();
        connect(panelButtons_["ClearEntry"], &QToolButton::clicked, this,
                &TMain::DeleteDataEntryClick);
    }
    row->addStretch();
    layout->addWidget(panel);
    return column;
}

QWidget* TMain::BuildPanel3() {
    auto* panel = new QWidget;
    panel->setObjectName("Panel3");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    crystal_ = new QLabel("?", panel);
    crystal_->setObjectName("Crystal");
    crystal_->setAlignment(Qt::AlignCenter);
    crystal_->setFrameShape(QFrame::Panel);
    crystal_->setFrameShadow(QFrame::Raised);
    crystal_->setFixedSize(22, 22);
    row->addWidget(crystal_);
    listupAll_ = new QPushButton("All >>", panel);
    listupAll_->setObjectName("ListupAll");
    row->addWidget(listupAll_);
    disableAutoFind_ = new QCheckBox("Disable Reference", panel);
    disableAutoFind_->setObjectName("DisableAutoFind");
    row->addWidget(disableAutoFind_);
    connect(listupAll_, &QPushButton::clicked, this, &TMain::ListupAllClick);
    connect(disableAutoFind_, &QCheckBox::clicked, this, [this](bool on) {
        ws_->lists.SetDisableAutoFind(on);
        SyncSearchBar();
    });
    useSubIndex_ = new QCheckBox("Use SubIndex", panel);
    useSubIndex_->setObjectName("UseSubIndex");
    useSubIndex_->setChecked(true);
    row->addWidget(useSubIndex_);
    usePreviewCache_ = new QCheckBox("Use Preview's Cache", panel);
    usePreviewCache_->setObjectName("UsePreviewCache");
    row->addWidget(usePreviewCache_);
    cacheCount_ = new QLineEdit("20", panel);
    cacheCount_->setObjectName("CacheCount");
    cacheCount_->setFixedWidth(cacheCount_->fontMetrics().horizontalAdvance("00000") + 12);
    row->addWidget(cacheCount_);
    row->addStretch();
    connect(useSubIndex_, &QCheckBox::toggled, this,
            [this](bool on) { ws_->options.UseSubIndex = on; });
    connect(usePreviewCache_, &QCheckBox::toggled, this,
            [this](bool on) { ws_->options.UsePreviewCache = on; });
    connect(cacheCount_, &QLineEdit::textChanged, this,
            [this](const QString& text) { ws_->options.CacheCount = S(text); });
    return panel;
}

QWidget* TMain::BuildPanel2() {
    auto* panel = new QWidget;
    panel->setObjectName("Panel2");
    auto* row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    auto* method = new QWidget(panel);
    methodPanel_ = method;
    method->setObjectName("MethodPanel");
    auto* methodRow = new QHBoxLayout(method);
    methodRow->setContentsMargins(0, 0, 0, 0);
    methodRow->setSpacing(2);
    const char* radios[][2] = {
        {"RBNormal", "Normal"}, {"RBAnd", "And"}, {"RBOr", "Or"}, {"RBNot", "Not"}};
    for (auto& r : radios) {
        auto* radio = new QRadioButton(r[1], method);
        radio->setObjectName(r[0]);
        radio->setEnabled(false);
        radio->setChecked(std::string(r[0]) == "RBNormal");
        methodRow->addWidget(radio);
    }
    row->addWidget(method);
    dataFilter_ = new QComboBox(panel);
    dataFilter_->setObjectName("DataFilter");
    dataFilter_->addItems({"All", "Has Similar Pics", "Name", "Folder Name", "Memo", "File Size",
                           "File Date", "Updated Pics", "New Pics"});
    dataFilter_->setEnabled(false);
    dataFilter_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    dataFilter_->setMinimumContentsLength(10);
    row->addWidget(dataFilter_);
    searchButton_ = new QToolButton(panel);
    searchButton_->setText("Search");
    searchButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    searchButton_->setObjectName("SearchButton");
    searchButton_->setEnabled(false);
    row->addWidget(searchButton_);
    sendToTarget_ = new QCheckBox("Send to Target", panel);
    sendToTarget_->setObjectName("SendToTarget");
    sendToTarget_->setEnabled(false);
    row->addWidget(sendToTarget_);
    connect(dataFilter_, &QComboBox::activated, this, &TMain::DataFilterChange);
    connect(searchButton_, &QToolButton::clicked, this, &TMain::SearchButtonClick);
    connect(sendToTarget_, &QCheckBox::clicked, this, [this](bool on) {
        ws_->lists.SetSendToTarget(on);
        SyncSearchBar();
    });
    row->addStretch();
    comboBoxSort_ = new QComboBox(panel);
    comboBoxSort_->setObjectName("ComboBoxSort");
    comboBoxSort_->addItems({"Name", "PathName", "Date", "Size", "Similarity"});
    row->addWidget(comboBoxSort_);
    connect(comboBoxSort_, &QComboBox::activated, this, [this](int index) {
        ws_->options.Sortby = static_cast<SortOrder>(index);
        if (option_) option_->ShowOptions();
        ws_->lists.ResortReferenceList(static_cast<SortOrder>(index));
        RefreshViews();
    });
    return panel;
}

QWidget* TMain::BuildStatusBars() {
    auto* box = new QWidget;
    box->setObjectName("StatusBars");
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    auto* bar1 = new QWidget(box);
    bar1->setObjectName("StatusBar1");
    auto* row = new QHBoxLayout(bar1);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(2);
    status1Panel0_ = Panel("StatusBar1Panel0", bar1);
    status1Panel0_->setMinimumWidth(200);
    status1Panel1_ = Panel("StatusBar1Panel1", bar1);
    status1Panel1_->setAlignment(Qt::AlignCenter);
    status1Panel1_->setFixedWidth(106);
    row->addWidget(status1Panel0_, 1);
    row->addWidget(status1Panel1_);
    layout->addWidget(bar1);

    status2Stack_ = new QStackedWidget(box);
    status2Stack_->setObjectName("StatusBar2");
    status2Panel0_ = Panel("StatusBar2Panel0", status2Stack_);
    progressBar1_ = new QProgressBar(status2Stack_);
    progressBar1_->setObjectName("ProgressBar1");
    progressBar1_->setToolTip("Please wait...");
    progressBar1_->setTextVisible(false);
    status2Stack_->addWidget(status2Panel0_);
    status2Stack_->addWidget(progressBar1_);
    status2Stack_->setFixedHeight(status2Panel0_->minimumHeight());
    layout->addWidget(status2Stack_);
    return box;
}

void TMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window restored by the window system is not a new showing.
    if (!event->spontaneous()) FirstShow();
}

void TMain::FirstShow() {
    static const int kHintMs = 30000;
    for (QWidget* w : findChildren<QWidget*>())
        w->setToolTipDuration(kHintMs);
    const auto& messages = CrystalMessages();
    if (ws_->ErrorHistory.Counter() == 0)
        crystal_->setToolTip(
            Q(messages[QRandomGenerator::global()->bounded(static_cast<int>(messages.size()))]));
    ws_->lists.SelectSortKey();
    Progress();
    dataFilter_->setCurrentIndex(0);
    ws_->lists.dataFilter = FilterItem::All;
    ws_->lists.listAllMode = true;
    // An empty catalogue has nothing to list, and "Idle" stays in the status bar.
    if (!ws_->catalogue.Empty()) ws_->lists.UpdateReferenceList();
    if (!FirstShowDone_) {
        StartUpPluginMode();
        std::string pending = args_.isEmpty() ? std::string() : PathBytes(args_.front());
        if (!pending.empty())
            pending = ExpandLongPath(PathBytes(QFileInfo(PathText(pending)).absoluteFilePath()));
        ws_->PendingDatabasePath = pending;
        if (!pending.empty()) {
            Database db = ws_->DatabaseParts();
            ReadDatabase(db);
            ws_->OptionsChanged = false;
            ws_->DataChanged = false;
            UpdateTitle(0);
        } else {
            LoadDefaultOptions();
        }
        LoadAppSettings();
        FirstShowDone_ = true;
    }
    panelButtons_["Rename"]->setText("Rename");
    toolButtons_["StopBitBtn"]->hide();
    comboBoxSort_->setCurrentIndex(static_cast<int>(ws_->options.Sortby));
    setWindowTitle(PathText(
        BuildTitle(ws_->DatabasePath, ws_->DataChanged, ws_->OptionsChanged, ws_->OldFormatRead)));
    UpdateToolButtons();
}

bool TMain::CloseQuery() {
    if (!(ws_->DataChanged || ws_->OptionsChanged || ws_->OldFormatRead)) return true;
    Question q{DatabaseCaption(ws_->DatabasePath),
               kDataChangedQuestion,
               {Answer::Yes, Answer::No, Answer::Cancel}};
    Answer a = Ask(q);
    if (a == Answer::Cancel) return false;
    if (a == Answer::Yes) {
        Database db = ws_->DatabaseParts();
        bool saved = SaveDatabase(db);
        UpdateTitle(0);
        // A save that was cancelled or failed keeps the window, and the catalogue, open.
        if (!saved || ws_->DatabasePath.empty() || ws_->DataChanged) return false;
    }
    ws_->DataChanged = ws_->OptionsChanged = ws_->OldFormatRead = false;
    return true;
}

void TMain::closeEvent(QCloseEvent* event) {
    if (ListUpRunning()) {
        // The running operation is asked to stop; the window closes when asked again.
        ws_->StopRequested = true;
        SetAbortRequested(true);
        event->ignore();
        return;
    }
    if (!CloseQuery()) {
        event->ignore();
        return;
    }
    SaveAppSettings();
    event->accept();
}

void TMain::ExitClick() {
    ws_->StopRequested = true;
    close();
}

bool TMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QMainWindow::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this) return QMainWindow::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    bool targetFocus = listBox2_->hasFocus();
    KeyDecision d = DecideKey(key->key(), key->modifiers(), targetFocus);
    switch (d.action) {
    case KeyAction::NextReference:
        MoveListSelection(true, 1);
        break;
    case KeyAction::PreviousReference:
        MoveListSelection(true, -1);
        break;
    case KeyAction::NextTarget:
        MoveListSelection(false, 1);
        break;
    case KeyAction::PreviousTarget:
        MoveListSelection(false, -1);
        break;
    case KeyAction::ToggleReferenceViewer:
        ToggleViewer(true);
        break;
    case KeyAction::ToggleTargetViewer:
        ToggleViewer(false);
        break;
    case KeyAction::None:
        break;
    }
    if (d.consumed) return true;
    return QMainWindow::eventFilter(watched, event);
}

void TMain::InstallHooks() {
    DatabaseHooks& h = ws_->databaseHooks;
    h.MenuLanguage = [this](bool japanese) { SetMenuLanguage(japanese ? 1 : 0); };
    h.UpdateTitle = [this](int markChanged) { UpdateTitle(markChanged); };
    auto after = h.AfterRead;
    h.AfterRead = [this, after](int32_t saved) {
        if (after) after(saved);
        if (option_) option_->ShowOptions();
        comboBoxSort_->setCurrentIndex(static_cast<int>(ws_->options.Sortby));
        RefreshViews();
        UpdateToolButtons();
    };
    ListHooks& l = ws_->lists.hooks;
    l.repaint = [this] { RefreshViews(); };
    l.refreshActions = [this] { UpdateToolButtons(); };
    l.showStopButton = [this](bool on) { toolButtons_["StopBitBtn"]->setVisible(on); };
    l.enableFindInRefList = [this](bool on) { Action("FindinRefList1")->setEnabled(on); };
    l.enableRefresh = [this](bool on) {
        toolButtons_["SpeedButton9"]->setEnabled(on && built_.count("Refind1") &&
                                                 !ws_->catalogue.Empty());
    };
}

} // namespace lumidex
