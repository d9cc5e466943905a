#include "TMain.h"

#include "DatabaseCommands.h"
#include "EntryListModel.h"
#include "FileStatus.h"
#include "LaterWindows.h"
#include "LumidexServer.h"
#include "MenuCaptions.h"
#include "Paths.h"
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

namespace {

QString Q(const std::string& s) {
    return QString::fromUtf8(s.c_str(), static_cast<qsizetype>(s.size()));
}
std::string S(const QString& s) {
    return s.toUtf8().toStdString();
}
QString PathText(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}
std::string PathBytes(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

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
    middle->setSpacing(2);
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

    ShowPanelText(status1Panel0_, "Idle");
    ShowPanelText(status1Panel1_, "0 File read");

    ws_->history.SetLimit(ws_->options.HistoryCount);
    ws_->history.Load(appDir_);
    ws_->DatabasePath.clear();
    InstallHooks();
    setAcceptDrops(true);
    qApp->installEventFilter(this);
    server_ = std::make_unique<LumidexServer>(this);
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
    delete option_;
    option_ = nullptr;
    delete centralWidget();
}

// ---- Building the window ----

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
    column->setFixedWidth(116);
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
        auto* inner = new QVBoxLayout(panel);
        inner->setContentsMargins(2, 2, 2, 2);
        image = new QLabel(panel);
        image->setObjectName(imageName);
        image->setAlignment(Qt::AlignCenter);
        image->setMinimumSize(105, 105);
        inner->addWidget(image);
        layout->addWidget(panel, 1);
        for (const char* f : {nameField, sizeField, dateField})
            layout->addWidget(Field(f, column));
    };
    preview("LeftViewPanel", "Image1", leftViewPanel_, image1_, "STFnam1", "STFSize1", "STFDate");
    preview("RightViewPanel", "Image2", rightViewPanel_, image2_, "STFnam2", "STFSize2",
            "STFDate2");
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

// ---- Title, buttons, menus ----

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
    for (const char* name :
         {"DataSetSpeedButton", "synhbutton", "SpeedButtonnavi", "SpeedButtonThumb"})
        toolButtons_[name]->setEnabled(false);
    panelButtons_["ClearEntry"]->setEnabled(ws_->lists.currentReference != nullptr);
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

void TMain::SetPreviewSizes(int64_t left, int64_t right) {
    previewSizes_ = {left, right};
    ShowSizeComparison();
}

void TMain::ShowSizeComparison() {
    SizeComparison c = CompareSizes(previewSizes_.first, previewSizes_.second);
    auto look = [this](QFrame* panel, const PanelLook& l) {
        QPalette palette = panel->palette();
        palette.setColor(QPalette::Window,
                         style()->standardPalette().color(l.highlight ? QPalette::HighlightedText
                                                                      : QPalette::Button));
        panel->setPalette(palette);
        panel->setFrameShadow(l.raised ? QFrame::Raised : QFrame::Sunken);
    };
    look(leftViewPanel_, c.left);
    look(rightViewPanel_, c.right);
}

void TMain::RefreshViews() {
    model1_->Refresh();
    model2_->Refresh();
    SyncViewSelection();
}

void TMain::SyncViewSelection() {
    syncing_ = true;
    for (auto [view, list] :
         {std::pair{listBox1_, &ws_->lists.reference}, std::pair{listBox2_, &ws_->lists.target}}) {
        QItemSelectionModel* sel = view->selectionModel();
        QItemSelection selection;
        for (int row : list->SelectedRows())
            selection.select(view->model()->index(row, 0), view->model()->index(row, 2));
        sel->select(selection, QItemSelectionModel::ClearAndSelect);
        if (int row = list->SelectedRow(); row >= 0)
            sel->setCurrentIndex(view->model()->index(row, 0), QItemSelectionModel::NoUpdate);
    }
    syncing_ = false;
}

// ---- Start, close, keys ----

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
        ws_->PluginsInUse = false;
        ws_->SetNativePicturePatterns();
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
    case KeyAction::ToggleTargetViewer:
        break; // the viewer windows come later
    case KeyAction::None:
        break;
    }
    if (d.consumed) return true;
    return QMainWindow::eventFilter(watched, event);
}

void TMain::MoveListSelection(bool reference, int step) {
    Lists& lists = ws_->lists;
    // Moving the selection already runs the selection's reactions.
    if (lists.MoveSelection(reference ? lists.reference : lists.target, step) < 0) return;
    RefreshViews();
    QTreeView* view = reference ? listBox1_ : listBox2_;
    int row = (reference ? lists.reference : lists.target).SelectedRow();
    if (row >= 0) view->scrollTo(view->model()->index(row, 0));
}

void TMain::OnViewSelectionChanged(bool reference) {
    if (syncing_) return;
    Lists& lists = ws_->lists;
    EntryList& list = reference ? lists.reference : lists.target;
    QTreeView* view = reference ? listBox1_ : listBox2_;
    list.ClearSelection();
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        if (index.row() < list.Count()) list.Select(index.row());
    if (reference)
        lists.ReferenceSelectionChanged();
    else
        lists.TargetSelectionChanged(true);
    RefreshViews();
    UpdateToolButtons();
}

// ---- Search bar and list commands ----

void TMain::BuildPopupMenus() {
    leftPopup_ = new QMenu(this);
    leftPopup_->setObjectName("LeftPopupMenu");
    QAction* clear = leftPopup_->addAction("&Clear Selected Data Entry");
    clear->setObjectName("Clear1");
    actions_["Clear1"] = clear;
    connect(clear, &QAction::triggered, this, &TMain::DeleteDataEntryClick);
    connect(leftPopup_, &QMenu::aboutToShow, this,
            [this, clear] { clear->setEnabled(ws_->lists.currentReference != nullptr); });

    rightPopup_ = new QMenu(this);
    rightPopup_->setObjectName("RightPopupMenu");
    QAction* find = rightPopup_->addAction("Find in Ref. List");
    find->setObjectName("FindinRefList1");
    find->setEnabled(false);
    actions_["FindinRefList1"] = find;
    QAction* remove = rightPopup_->addAction("Remove from List");
    remove->setObjectName("RemovefromList1");
    actions_["RemovefromList1"] = remove;
    connect(find, &QAction::triggered, this, &TMain::FindinRefListClick);
    connect(remove, &QAction::triggered, this, &TMain::RemovefromListClick);
    connect(rightPopup_, &QMenu::aboutToShow, this,
            [this, remove] { remove->setEnabled(ws_->lists.target.SelectedCount() > 0); });

    for (auto [view, menu] :
         {std::pair{listBox1_, leftPopup_}, std::pair{listBox2_, rightPopup_}}) {
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, this,
                [view, menu](const QPoint& at) { menu->popup(view->viewport()->mapToGlobal(at)); });
    }
}

bool TMain::ListUpRunning() const {
    // A list-up, a read or a scan that lets messages run still holds entries and positions:
    // nothing may free entries or replace the catalogue under it.
    return ws_->lists.updateRunning || ws_->OperationRunning();
}

Method TMain::ChosenMethod() const {
    for (auto [name, method] : {std::pair{"RBOr", Method::RBOr}, std::pair{"RBAnd", Method::RBAnd},
                                std::pair{"RBNot", Method::RBNot}}) {
        auto* radio = methodPanel_->findChild<QRadioButton*>(name);
        if (radio && radio->isChecked()) return method;
    }
    return Method::RBNormal;
}

void TMain::SyncSearchBar() {
    if (!dataFilter_ || !sendToTarget_ || !disableAutoFind_ || !listupAll_) return;
    Lists& lists = ws_->lists;
    const int index = static_cast<int>(lists.dataFilter);
    const bool criterion = index >= static_cast<int>(FilterItem::Name) &&
                           index <= static_cast<int>(FilterItem::UpdatedPics);
    // "Folder Name" has no dialog yet; Search stays off for it.
    const bool searchable = criterion && lists.dataFilter != FilterItem::FolderName;
    QSignalBlocker b1(dataFilter_), b2(sendToTarget_), b3(disableAutoFind_);
    if (dataFilter_->currentIndex() != index) dataFilter_->setCurrentIndex(index);
    // No second choice while a list-up lets messages run.
    dataFilter_->setEnabled(!lists.updateRunning);
    for (QRadioButton* radio : methodPanel_->findChildren<QRadioButton*>())
        radio->setEnabled(criterion);
    sendToTarget_->setEnabled(criterion);
    sendToTarget_->setChecked(lists.SendToTarget);
    searchButton_->setEnabled(searchable && !lists.updateRunning);
    disableAutoFind_->setChecked(lists.DisableAutoFind);
    listBox1_->setEnabled(!lists.DisableAutoFind);
    model1_->SetDimmed(lists.DisableAutoFind);
    listupAll_->setEnabled(!lists.updateRunning);
}

void TMain::DataFilterChange(int index) {
    Lists& lists = ws_->lists;
    if (index < 0 || index == static_cast<int>(lists.dataFilter) || lists.updateRunning) {
        SyncSearchBar();
        return;
    }
    dataFilter_->setEnabled(false);
    ChooseFilter(lists, static_cast<FilterItem>(index), ws_->newPictures);
    RefreshViews();
    UpdateToolButtons();
}

void TMain::SearchButtonClick() {
    Lists& lists = ws_->lists;
    const Pdata* reference = lists.currentReference;
    EntryTest test;
    switch (static_cast<FilterItem>(dataFilter_->currentIndex())) {
    case FilterItem::Name: {
        QInputDialog dialog(this);
        dialog.setObjectName("SearchText");
        dialog.setWindowTitle("Search");
        dialog.setLabelText("");
        dialog.setTextValue(searchText_);
        if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setFixedWidth(145);
        PlaceAtCursor(&dialog);
        if (dialog.exec() != QDialog::Accepted) break;
        searchText_ = dialog.textValue();
        test = NameTest(S(searchText_));
        break;
    }
    case FilterItem::FileSize: {
        auto* dialog = findChild<TSizeSpec*>("TSizeSpec");
        if (!dialog) return;
        if (reference) dialog->SetField(std::to_string(reference->fileSize));
        PlaceAtCursor(dialog);
        if (dialog->exec() == QDialog::Accepted)
            test = SizeTest(dialog->relation(), dialog->Value());
        break;
    }
    case FilterItem::FileDate: {
        auto* dialog = findChild<TDateSpec*>("TDateSpec");
        if (!dialog) return;
        if (reference && reference->fileTime != -1) dialog->SetTime(reference->fileTime);
        PlaceAtCursor(dialog);
        if (dialog->exec() == QDialog::Accepted)
            test = DateTest(dialog->relation(), dialog->Value(), dialog->DateOnly());
        break;
    }
    case FilterItem::Memo: {
        auto* dialog = findChild<TDataItemEditor*>("TDataItemEditor");
        if (!dialog) return;
        dialog->Prepare(ws_->memos);
        PlaceAtCursor(dialog);
        if (dialog->exec() == QDialog::Accepted) test = dialog->Test(ws_->memos);
        break;
    }
    case FilterItem::UpdatedPics:
        test = UpdatedTest();
        break;
    default:
        // "All" and "Has Similar Pics" act when chosen; "Folder Name" has no dialog yet.
        return;
    }
    RunSearch(lists, ChosenMethod(), test);
    RefreshViews();
    UpdateToolButtons();
}

void TMain::RefindClick() {
    Refresh(ws_->lists, ws_->newPictures, true);
    UpdateTitle(0);
}

void TMain::ListupAllClick() {
    ws_->lists.ListupAll();
    RefreshViews();
    UpdateToolButtons();
}

void TMain::ClearAllDataEntryClick() {
    if (ListUpRunning()) return;
    if (!ws_->ClearAllEntries()) return;
    SetPreviewSizes(-1, -1);
    UpdateTitle(0);
}

void TMain::ClearAllDataEntryinRefListClick() {
    if (ListUpRunning()) return;
    if (ws_->lists.ClearAllInReferenceList()) UpdateTitle(0);
    RefreshViews();
}

void TMain::DeleteDataEntryClick() {
    if (ListUpRunning()) return;
    if (ws_->lists.ClearSelectedEntry()) UpdateTitle(0);
    RefreshViews();
}

void TMain::ReanalizeAllinRefListClick() {
    if (ListUpRunning()) return;
    ws_->ReanalyseReferenceList();
    UpdateTitle(0);
}

void TMain::FindinRefListClick() {
    ws_->lists.FindInReferenceList();
    RefreshViews();
    if (int row = ws_->lists.reference.SelectedRow(); row >= 0)
        listBox1_->scrollTo(model1_->index(row, 0));
    UpdateToolButtons();
}

void TMain::RemovefromListClick() {
    ws_->lists.RemoveFromTargetList();
    RefreshViews();
    UpdateToolButtons();
}

// ---- Dropped files ----

void TMain::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMain::dropEvent(QDropEvent* event) {
    std::vector<std::string> paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths.push_back(PathBytes(url.toLocalFile()));
    if (paths.empty() || ListUpRunning()) return;
    event->acceptProposedAction();
    ws_->AddDroppedItems(paths);
    UpdateTitle(0);
}

// ---- Options, about, help ----

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
    std::string manual = ManualPath();
    if (!manual.empty()) QDesktopServices::openUrl(QUrl::fromLocalFile(PathText(manual)));
}

// ---- Database commands ----

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

// ---- Frame ----

TProgress* TMain::Progress() {
    if (!progress_) progress_ = new TProgress(this);
    return progress_;
}

void TMain::SetStatusText(StatusPanel panel, const std::string& text) {
    QLabel* label = panel == StatusPanel::Progress ? status1Panel0_
                    : panel == StatusPanel::Counts ? status1Panel1_
                                                   : status2Panel0_;
    ShowPanelText(label, text);
}

// A panel is one line: the line feed that ends a date text is kept in the text but not drawn.
void TMain::ShowPanelText(QLabel* label, const std::string& text) {
    label->setProperty("panelText", PathText(text));
    label->setText(PathText(text).remove(QLatin1Char('\n')));
}

std::string TMain::PanelText(StatusPanel panel) const {
    QLabel* label = panel == StatusPanel::Progress ? status1Panel0_
                    : panel == StatusPanel::Counts ? status1Panel1_
                                                   : status2Panel0_;
    return S(label->property("panelText").toString());
}

void TMain::ShowLogged(const std::string& text, const std::string& errorHint) {
    ShowPanelText(status1Panel0_, text);
    crystal_->setToolTip(PathText(errorHint));
}

QString TMain::CrystalHint() const {
    return crystal_->toolTip();
}

void TMain::ShowProgress() {
    Progress()->ShowProgress();
}
void TMain::CloseProgress() {
    if (progress_) progress_->hide();
}
void TMain::SetProgressCaption(const std::string& text) {
    Progress()->setWindowTitle(PathText(text));
}
void TMain::SetProgressPicture(const QImage& picture) {
    Progress()->SetPicture(picture);
}
void TMain::SetPictureBarMax(int max) {
    Progress()->ProgressBar1()->setMaximum(max);
}
void TMain::SetPictureBarPosition(int position) {
    Progress()->ProgressBar1()->setValue(position);
}
void TMain::StepPictureBar() {
    Progress()->StepPictureBar();
}
void TMain::SetFilesBarMax(int max) {
    Progress()->ProgressBar2()->setMaximum(max);
}
void TMain::SetFilesBarPosition(int position) {
    Progress()->ProgressBar2()->setValue(position);
}
void TMain::StepFilesBar() {
    Progress()->StepFilesBar();
}
bool TMain::AbortRequested() const {
    return progress_ && progress_->AbortRequested();
}
void TMain::SetAbortRequested(bool on) {
    Progress()->SetAbortRequested(on);
}

void TMain::SetBusy(bool busy) {
    if (busy) {
        if (busy_++ == 0) QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (busy_ > 0) {
        if (--busy_ == 0) QApplication::restoreOverrideCursor();
    }
}

Answer TMain::Ask(const Question& question) {
    if (script_) return script_->Ask(question);
    QMessageBox box(this);
    box.setWindowTitle(PathText(question.caption));
    box.setText(PathText(question.text));
    box.setIcon(question.caption == "Serious Error" ? QMessageBox::Critical
                : question.caption == "Warning"     ? QMessageBox::Warning
                                                    : QMessageBox::Question);
    std::map<QAbstractButton*, Answer> answers;
    for (Answer a : question.buttons) {
        QMessageBox::StandardButton b = a == Answer::Yes      ? QMessageBox::Yes
                                        : a == Answer::No     ? QMessageBox::No
                                        : a == Answer::Cancel ? QMessageBox::Cancel
                                                              : QMessageBox::Ok;
        answers[box.addButton(b)] = a;
    }
    box.exec();
    auto it = answers.find(box.clickedButton());
    if (it != answers.end()) return it->second;
    // Closing the box counts as its last button (Cancel or No).
    return question.buttons.empty() ? Answer::Ok : question.buttons.back();
}

std::string TMain::ChooseFile(const FileChoice& choice) {
    if (script_) return script_->ChooseFile(choice);
    QFileDialog dialog(this, PathText(choice.title));
    dialog.setAcceptMode(choice.forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(choice.forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(Q(DialogNameFilter(choice.filter)));
    dialog.setDefaultSuffix(Q(choice.defaultExtension));
    // The folder of the proposed name, else that of the most recent database.
    std::string folder(paths::FolderPart(choice.initialPath));
    if (folder.empty() && !ws_->history.Paths().empty())
        folder = std::string(paths::FolderPart(ws_->history.Paths().front()));
    if (!folder.empty()) dialog.setDirectory(PathText(folder));
    QString name = PathText(std::string(paths::FileName(choice.initialPath)));
    if (!name.isEmpty() && !name.contains('*')) dialog.selectFile(name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    std::string chosen = PathBytes(dialog.selectedFiles().front());
    (choice.forSaving ? settings_.saveDialogFolder : settings_.openDialogFolder) =
        std::string(paths::FolderPart(chosen));
    return chosen;
}

void TMain::ProcessEvents() {
    QCoreApplication::processEvents();
}

void TMain::ShowMainProgress(int maximum) {
    progressBar1_->setRange(0, std::max(maximum, 0));
    progressBar1_->setValue(0);
    status2Stack_->setCurrentWidget(progressBar1_);
}

void TMain::SetMainProgressPosition(int position) {
    progressBar1_->setValue(position);
}

void TMain::HideMainProgress() {
    status2Stack_->setCurrentWidget(status2Panel0_);
}

void TMain::ShowTitle(const std::string& title) {
    setWindowTitle(PathText(title));
}

// ---- app.cfg ----

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
}

void TMain::SaveAppSettings() {
    QPoint at = pos();
    settings_.mainWindow = {at.y(), at.x(), width(), height()};
    settings_.buttonMask = PanelButtonMask();
    settings_.UseSubIndex = useSubIndex_->isChecked();
    settings_.UsePreviewCache = usePreviewCache_->isChecked();
    settings_.CacheCount = S(cacheCount_->text());
    settings_.MatchOrientations = ws_->options.MatchOrientations;
    SaveSettings(appDir_, settings_);
}

} // namespace lumidex
