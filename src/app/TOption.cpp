#include "TOption.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace lumidex {

namespace {

// A hint "|long": no tooltip, the long part as status tip.
void SetHint(QWidget* w, const char* longHint) {
    if (longHint && *longHint) w->setStatusTip(QString::fromUtf8(longHint));
}

QLabel* HintLabel(const char* text, const char* hint, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    SetHint(label, hint);
    return label;
}

QGroupBox* Group(const char* name, const char* caption, const char* hint) {
    auto* box = new QGroupBox(QString::fromUtf8(caption));
    box->setObjectName(name);
    SetHint(box, hint);
    return box;
}

QWidget* Page(QTabWidget* tabs, const char* title) {
    auto* page = new QWidget;
    tabs->addTab(page, QString::fromUtf8(title));
    return page;
}

} // namespace

TOption::TOption(QWidget* parent) : QDialog(parent) {
    setObjectName("Option");
    setWindowTitle("Option");
    tabs_ = new QTabWidget(this);
    tabs_->setObjectName("PageControl1");
    // Every tab stays in sight: the window widens instead of scrolling its tabs.
    tabs_->setUsesScrollButtons(false);
    BuildMainTab();
    BuildFindTab();
    BuildFileTab();
    BuildDatabaseTab();
    BuildFullsizeTab();
    BuildMemoTab();
    BuildJpegTab();
    BuildPngTab();

    auto* ok = new QPushButton("Ok", this);
    ok->setObjectName("OkButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* setDefault = new QPushButton("Set Default", this);
    setDefault->setObjectName("SetDefault");
    SetHint(setDefault, "現在の設定をデフォルトにします");
    connect(setDefault, &QPushButton::clicked, this, [this] {
        emit setDefaultClicked();
        if (loadDefault_) loadDefault_->setEnabled(!defaultExists_ || defaultExists_());
    });
    loadDefault_ = new QPushButton("Load Default", this);
    loadDefault_->setObjectName("LoadDefault");
    SetHint(loadDefault_, "デフォルトの設定を読み込みます");
    connect(loadDefault_, &QPushButton::clicked, this, [this] { emit loadDefaultClicked(); });
    loadDefault_->setEnabled(false); // until the default file is known to exist

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(setDefault);
    buttons->addWidget(loadDefault_);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);
    layout->addLayout(buttons);

    tabs_->setCurrentIndex(0);
    ShowOptions();
    options_->OptionsDialogChanged = false;
}

QCheckBox* TOption::Check(const char* name, const char* caption, const char* hint) {
    auto* box = new QCheckBox(QString::fromUtf8(caption));
    box->setObjectName(name);
    SetHint(box, hint);
    controls_[name] = box;
    return box;
}

QRadioButton* TOption::Radio(const char* name, const char* caption, const char* hint) {
    auto* radio = new QRadioButton(QString::fromUtf8(caption));
    radio->setObjectName(name);
    SetHint(radio, hint);
    controls_[name] = radio;
    return radio;
}

QSlider* TOption::Slider(const char* name, int min, int max, const char* hint) {
    auto* slider = new QSlider(Qt::Horizontal);
    slider->setObjectName(name);
    slider->setRange(min, max);
    slider->setTickPosition(QSlider::TicksBelow);
    slider->setPageStep(1);
    SetHint(slider, hint);
    controls_[name] = slider;
    return slider;
}

void TOption::SetDefaultFileProbe(std::function<bool()> exists) {
    defaultExists_ = std::move(exists);
    loadDefault_->setEnabled(defaultExists_ && defaultExists_());
}

void TOption::Bind(Options& options) {
    options_ = &options;
    ShowOptions();
}

void TOption::Change(const std::function<void(Options&)>& change) {
    if (showing_) return;
    Options before = *options_;
    change(*options_);
    RaiseChangedFlags(before, *options_);
    ShowOptions();
}

// Builds a check box bound to a member of the options.
#define LX_CHECK(layout, member, caption, hint)                                                    \
    do {                                                                                           \
        QCheckBox* box_ = Check(#member, caption, hint);                                           \
        (layout)->addWidget(box_);                                                                 \
        connect(box_, &QCheckBox::toggled, this,                                                   \
                [this](bool on) { Change([on](Options& o) { o.member = on; }); });                 \
    } while (0)

void TOption::BuildMainTab() {
    QWidget* page = Page(tabs_, "Main Window");
    auto* left = new QVBoxLayout;
    LX_CHECK(left, AutoViewLeft, "Auto View &Reference",
             "リファレンスリスト選択時に自動的にプレビューを表示します");
    LX_CHECK(left, AutoViewRight, "Auto View &Target",
             "ターゲットリスト選択時に自動的にプレビューを表示します");
    QGroupBox* sortBy = Group("Sortby", "Sort by", "リストの並び順を設定します");
    auto* sortLayout = new QVBoxLayout(sortBy);
    struct SortRadio {
        const char* name;
        const char* caption;
        const char* hint;
        SortOrder order;
    };
    const SortRadio sorts[] = {
        {"byName", "&Name", "リストを名前でソートします", SortOrder::byName},
        {"byPathname", "&Pathname", "リストをパス名でソートします", SortOrder::byPathname},
        {"RadioButtonbyDate", "&Date", "リストをファイルの日付順に並び替えます。",
         SortOrder::RadioButtonbyDate},
        {"RadioButtonbySize", "&Size", "リストをファイルのサイズ順に並び替えます。",
         SortOrder::RadioButtonbySize},
        {"bySimilarity", "S&imilarity", "リストを内部の類似画像情報順に並び替えます。",
         SortOrder::bySimilarity},
    };
    for (const SortRadio& s : sorts) {
        QRadioButton* radio = Radio(s.name, s.caption, s.hint);
        sortLayout->addWidget(radio);
        SortOrder order = s.order;
        connect(radio, &QRadioButton::toggled, this, [this, order](bool on) {
            if (!on || showing_) return;
            Change([order](Options& o) { o.Sortby = order; });
            emit sortChanged(static_cast<int>(order));
        });
    }
    left->addWidget(sortBy);
    left->addStretch();

    auto* right = new QVBoxLayout;
    QCheckBox* showPath = Check("ShoePathName", "&Show Pathname", "リストにパス名を表示します");
    right->addWidget(showPath);
    connect(showPath, &QCheckBox::toggled, this, [this](bool on) {
        if (showing_) return;
        Change([on](Options& o) { o.ShoePathName = on; });
        emit showPathNameClicked();
    });
    LX_CHECK(right, SmartSort, "S&mart Sort", "スマートソートを使います。");
    LX_CHECK(right, KeepAspectRatio, "Keep Preview's &Aspect Ratio",
             "プレビューの縦横比をオリジナルに合わせます");
    LX_CHECK(right, AllowRobustOperation, "Allow Robust &Operation",
             "類似画像のリストアップ時に他の操作ができるようにします");
    LX_CHECK(right, ShowMemoonPreview, "Show &Memo on Preview",
             "プレビュー画面のヒントにメモを表示します");
    QCheckBox* japanese =
        Check("UseJapneseMenu", "&Japnese Menu/Hint",
              "メニューを日本語にします。また、オプション画面のヒントをここに表示します");
    right->addWidget(japanese);
    connect(japanese, &QCheckBox::toggled, this, [this](bool on) {
        if (showing_) return;
        Change([on](Options& o) { o.UseJapneseMenu = on; });
        emit japaneseMenuClicked(on);
    });
    LX_CHECK(right, TargetListDragDrop, "Target List Drag&&Drop",
             "ターゲットリストから他のソフトにドラッグ&ドロップできるようにします。");
    right->addStretch();

    auto* layout = new QHBoxLayout(page);
    layout->addLayout(left);
    layout->addLayout(right);
}

void TOption::BuildFindTab() {
    QWidget* page = Page(tabs_, "Find");
    auto* layout = new QVBoxLayout(page);
    QCheckBox* sameSize =
        Check("CheckBoxSameSizeOnly", "Size Chack", "サイズもチェックの対象にします");
    connect(sameSize, &QCheckBox::toggled, this,
            [this](bool on) { Change([on](Options& o) { o.CheckBoxSameSizeOnly = on; }); });
    QSlider* sizeRange = Slider("TrackBarSizeRange", 0, kTrackBarSizeRangeMax,
                                "サイズの許容範囲を設定します。一番左が同一サイズです");
    connect(sizeRange, &QSlider::valueChanged, this,
            [this](int v) { Change([v](Options& o) { o.SetTrackBarSizeRange(v); }); });
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(sameSize);
    sizeRow->addWidget(sizeRange, 1);
    layout->addLayout(sizeRow);
    LX_CHECK(layout, ShowreferenceinTarget, "&Show Reference on Target",
             "チェック対象自身も類似画像としてターゲットリストに表示されます");
    LX_CHECK(layout, ExcludeSameFolder, "Exclude same Folder", "");
    LX_CHECK(layout, MatchOrientations, "Match mirrored and turned copies",
             "左右・上下に反転した画像や、90度・180度回転した画像も類似画像として探します。"
             "記録済みのデータから調べるので、ファイルは読み直しません");

    QCheckBox* doubleCheck =
        Check("DoubleCheck", "&DoubleCheck", "二重チェックします。より厳密になります");
    connect(doubleCheck, &QCheckBox::toggled, this,
            [this](bool on) { Change([on](Options& o) { o.SetDoubleCheck(on); }); });
    QSlider* bar3 = Slider("TrackBar3", 0, kTrackBar3Max, "");
    connect(bar3, &QSlider::valueChanged, this,
            [this](int v) { Change([v](Options& o) { o.SetTrackBar3(v); }); });
    auto* doubleRow = new QHBoxLayout;
    doubleRow->addWidget(doubleCheck);
    doubleRow->addWidget(bar3, 1);
    layout->addLayout(doubleRow);

    QCheckBox* notStrict =
        Check("NotStrict", "&Not Strict",
              "チェックすると、下のスライダの設定に従って検索条件を緩やかにします");
    connect(notStrict, &QCheckBox::toggled, this,
            [this](bool on) { Change([on](Options& o) { o.NotStrict = on; }); });
    layout->addWidget(notStrict);

    QGroupBox* looseness = new QGroupBox;
    looseness->setObjectName("GroupBoxLooseness");
    auto* grid = new QGridLayout(looseness);
    grid->addWidget(HintLabel("Looseness", "検索の緩やかさを設定します。", looseness), 0, 0, 1, 2);
    QSlider* bar1 = Slider("TrackBar1", kTrackBar1Min, kTrackBar1MaxDoubleCheck, "");
    connect(bar1, &QSlider::valueChanged, this,
            [this](int v) { Change([v](Options& o) { o.SetTrackBar1(v); }); });
    grid->addWidget(bar1, 1, 0, 1, 2);
    grid->addWidget(HintLabel("More Strict", "より厳密にチェックします", looseness), 2, 0,
                    Qt::AlignLeft);
    grid->addWidget(HintLabel("More Loose", "より緩やかにチェックします。", looseness), 2, 1,
                    Qt::AlignRight);
    layout->addWidget(looseness);
    layout->addStretch();
}

void TOption::BuildFileTab() {
    QWidget* page = Page(tabs_, "File");
    auto* layout = new QVBoxLayout(page);
    QGroupBox* collision =
        Group("GroupBox1", "When copy(move) target exists:",
              "コピー／移動先に同じ名前のファイルがあった場合の動作を設定します");
    auto* collisionLayout = new QHBoxLayout(collision);
    struct CollisionRadio {
        const char* name;
        const char* caption;
        const char* hint;
        CopyCollision value;
    };
    const CollisionRadio radios[] = {
        {"OverWrite", "&OverWrite", "上書きします", CopyCollision::OverWrite},
        {"Skip", "&Skip", "スキップします(コピー／移動はおこないません)", CopyCollision::Skip},
        {"Ask", "Ask/Rename",
         "動作を尋ねるダイアログボックスを表示します。名前の変更もこのダイアログボックスでおこない"
         "ます",
         CopyCollision::Ask},
    };
    for (const CollisionRadio& r : radios) {
        QRadioButton* radio = Radio(r.name, r.caption, r.hint);
        collisionLayout->addWidget(radio);
        CopyCollision value = r.value;
        connect(radio, &QRadioButton::toggled, this, [this, value](bool on) {
            if (on) Change([value](Options& o) { o.GroupBox1 = value; });
        });
    }
    layout->addWidget(collision);
    LX_CHECK(layout, ConfirmDelete, "&Confirm Delete",
             "ファイルを削除する時に確認のメッセージボックスが出ます");
    LX_CHECK(layout, TrackMoveCopy, "&Track Move/Copy/Rename",
             "ファイルのコピー/移動/リネームに同期してデータベースの情報を書き換えます");
    LX_CHECK(layout, NotUpdateListatAction, "&Disable Auto Refresh",
             "ファイル操作時にリファレンスリストの自動更新をおこないません");
    LX_CHECK(layout, SameDriveOnly, "&Same Drive Only",
             "違うドライブに移動した時はデータベースから削除します。コピーした時は何もしません。");
    LX_CHECK(layout, DeleteEmptyFolderafterFileMove, "Delete Empty Folder after File Move/Delete",
             "フォルダを移動した後で空になれば削除します");

    // Kept for the history length; the design hides it.
    auto* historyLabel = new QLabel("History Count", page);
    historyLabel->setObjectName("LabelHistoryCount");
    historyLabel->hide();
    auto* history = new QLineEdit(page);
    history->setObjectName("HistoryCount");
    history->setMaxLength(2);
    history->hide();
    controls_["HistoryCount"] = history;
    connect(history, &QLineEdit::textEdited, this, [this](const QString& text) {
        bool ok = false;
        int n = text.toInt(&ok);
        if (ok && n > 0) Change([n](Options& o) { o.HistoryCount = n; });
    });
    layout->addStretch();
}

void TOption::BuildDatabaseTab() {
    QWidget* page = Page(tabs_, "DataBase");
    auto* layout = new QVBoxLayout(page);
    QGroupBox* same =
        Group("GroupBox2", "Adding Same Filename",
              "同じ名前のファイルをデータベースに追加しようとした時の動作を設定します");
    auto* sameLayout = new QHBoxLayout(same);
    struct PolicyRadio {
        const char* name;
        const char* caption;
        const char* hint;
        SameFilePolicy value;
    };
    const PolicyRadio radios[] = {
        {"Replace", "&Replace", "データを置き換えます", SameFilePolicy::Replace},
        {"DontAdd", "&Don't Add", "追加しません", SameFilePolicy::DontAdd},
        {"NotCare", "&Not Care", "新規に追加します。データが二重に登録されますので、お薦めしません",
         SameFilePolicy::NotCare},
    };
    for (const PolicyRadio& r : radios) {
        QRadioButton* radio = Radio(r.name, r.caption, r.hint);
        sameLayout->addWidget(radio);
        SameFilePolicy value = r.value;
        connect(radio, &QRadioButton::toggled, this, [this, value](bool on) {
            if (on) Change([value](Options& o) { o.GroupBox2 = value; });
        });
    }
    layout->addWidget(same);
    LX_CHECK(layout, ConfirmClear, "&Confirm Clear Entry",
             "データを削除する時に確認のメッセージボックスを表示します");
    QCheckBox* autoRename = Check("AutoRenameAtMerge", "Auto Rename at Merge", "");
    autoRename->hide();
    connect(autoRename, &QCheckBox::toggled, this,
            [this](bool on) { Change([on](Options& o) { o.AutoRenameAtMerge = on; }); });
    layout->addWidget(autoRename);
    layout->addStretch();
}

void TOption::BuildFullsizeTab() {
    QWidget* page = Page(tabs_, "Fullsize View");
    auto* layout = new QVBoxLayout(page);
    QGroupBox* slide =
        Group("GroupBoxSlideShow", "Slide Show", "スライドショーの設定をおこないます");
    auto* grid = new QGridLayout(slide);
    grid->addWidget(HintLabel("Interval ", "表示間隔を設定します", slide), 0, 0);
    QSlider* bar2 = Slider("TrackBar2", 0, kTrackBar2Max, "");
    connect(bar2, &QSlider::valueChanged, this,
            [this](int v) { Change([v](Options& o) { o.SetTrackBar2(v); }); });
    grid->addWidget(bar2, 0, 1);
    labelInterval_ = new QLabel(slide);
    labelInterval_->setObjectName("LabelInterval");
    labelInterval_->setMinimumWidth(labelInterval_->fontMetrics().horizontalAdvance("10 Min.  "));
    grid->addWidget(labelInterval_, 0, 2);
    QCheckBox* wrap =
        Check("WrapAround", "&Wrap Around", "最後の画像を表示し終わった後、最初に戻ります");
    connect(wrap, &QCheckBox::toggled, this,
            [this](bool on) { Change([on](Options& o) { o.WrapAround = on; }); });
    grid->addWidget(wrap, 1, 0, 1, 3);
    layout->addWidget(slide);
    LX_CHECK(layout, Stretch, "&Stretch", "画像をウィンドウに合わせて拡大／縮小します");
    LX_CHECK(layout, FixedPosition, "Fixed &Position",
             "フルサイズビュー／スライドショーの画面位置を固定します");
    LX_CHECK(layout, FixedSize, "&Fixed Size",
             "フルサイズビュー／スライドショーの画面サイズを固定します");
    layout->addStretch();
}

void TOption::BuildMemoTab() {
    QWidget* page = Page(tabs_, "Memo Manager");
    auto* layout = new QVBoxLayout(page);
    QGroupBox* initial = Group("InitialStatus", "Initial Status",
                               "最初にリストを表示する時の状態（拡張／折り畳み）を設定します");
    auto* initialLayout = new QHBoxLayout(initial);
    const char* items[] = {"Retract", "Expand"};
    for (int i = 0; i < 2; ++i) {
        std::string name = std::string("InitialStatus") + items[i];
        QRadioButton* radio = Radio(name.c_str(), items[i], "");
        initialLayout->addWidget(radio);
        connect(radio, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) Change([i](Options& o) { o.SetInitialStatus(i); });
        });
    }
    layout->addWidget(initial);
    LX_CHECK(layout, AutoExpand, "Auto Expand", "選択に応じて自動的に拡張/折り畳みします");
    LX_CHECK(layout, AutoSync, "Auto syncronize Memo on File Delete",
             "ファイルを削除する時、自動的にメモを同期させます");
    controls_["AutoSync"]->setToolTip(QString::fromUtf8("類似画像のある"));
    layout->addStretch();
}

void TOption::BuildJpegTab() {
    QWidget* page = Page(tabs_, "JPEG Option");
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Quality", page));
    QSlider* quality = Slider("JpegQuality", kJpegQualityMin, kJpegQualityMax, "");
    quality->setTickInterval(5);
    quality->setPageStep(5);
    connect(quality, &QSlider::valueChanged, this,
            [this](int v) { Change([v](Options& o) { o.SetJpegQuality(v); }); });
    row->addWidget(quality, 1);
    labelQual_ = new QLabel(page);
    labelQual_->setObjectName("LabelQual");
    labelQual_->setMinimumWidth(labelQual_->fontMetrics().horizontalAdvance("1000"));
    row->addWidget(labelQual_);
    layout->addLayout(row);
    LX_CHECK(layout, GrayScale, "Gray Scale", "");
    layout->addStretch();
}

void TOption::BuildPngTab() {
    QWidget* page = Page(tabs_, "PNG Option");
    auto* layout = new QVBoxLayout(page);
    QGroupBox* compress = Group("Compress", "Compress", "");
    auto* compressLayout = new QVBoxLayout(compress);
    const char* items[] = {"None", "Standard", "Speed", "Minimum"};
    for (int i = 0; i < kCompressItems; ++i) {
        std::string name = std::string("Compress") + items[i];
        QRadioButton* radio = Radio(name.c_str(), items[i], "");
        compressLayout->addWidget(radio);
        connect(radio, &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) Change([i](Options& o) { o.SetCompress(i); });
        });
    }
    layout->addWidget(compress);
    layout->addStretch();
}

#undef LX_CHECK

void TOption::ShowOptions() {
    bool was = showing_;
    showing_ = true;
    const Options& o = *options_;
    auto check = [this](const char* name, bool on) {
        if (auto* b = qobject_cast<QAbstractButton*>(controls_[name])) b->setChecked(on);
    };
    auto slider = [this](const char* name, int value) {
        if (auto* s = qobject_cast<QSlider*>(controls_[name])) s->setValue(value);
    };
    check("AutoViewLeft", o.AutoViewLeft);
    check("AutoViewRight", o.AutoViewRight);
    const char* sortNames[] = {"byName", "byPathname", "RadioButtonbyDate", "RadioButtonbySize",
                               "bySimilarity"};
    check(sortNames[static_cast<int>(o.Sortby) % 5], true);
    check("ShoePathName", o.ShoePathName);
    check("SmartSort", o.SmartSort);
    check("KeepAspectRatio", o.KeepAspectRatio);
    check("AllowRobustOperation", o.AllowRobustOperation);
    check("ShowMemoonPreview", o.ShowMemoonPreview);
    check("UseJapneseMenu", o.UseJapneseMenu);
    check("TargetListDragDrop", o.TargetListDragDrop);
    check("CheckBoxSameSizeOnly", o.CheckBoxSameSizeOnly);
    slider("TrackBarSizeRange", o.TrackBarSizeRange);
    check("ShowreferenceinTarget", o.ShowreferenceinTarget);
    check("ExcludeSameFolder", o.ExcludeSameFolder);
    check("MatchOrientations", o.MatchOrientations);
    check("DoubleCheck", o.DoubleCheck);
    slider("TrackBar3", o.TrackBar3);
    check("NotStrict", o.NotStrict);
    if (auto* bar1 = qobject_cast<QSlider*>(controls_["TrackBar1"])) {
        bar1->setMaximum(o.TrackBar1Max());
        bar1->setValue(o.TrackBar1);
    }
    const char* collisionNames[] = {"OverWrite", "Skip", "Ask"};
    check(collisionNames[static_cast<int>(o.GroupBox1) % 3], true);
    check("ConfirmDelete", o.ConfirmDelete);
    check("TrackMoveCopy", o.TrackMoveCopy);
    check("NotUpdateListatAction", o.NotUpdateListatAction);
    check("SameDriveOnly", o.SameDriveOnly);
    check("DeleteEmptyFolderafterFileMove", o.DeleteEmptyFolderafterFileMove);
    if (auto* h = qobject_cast<QLineEdit*>(controls_["HistoryCount"]))
        h->setText(QString::number(o.HistoryCount));
    const char* policyNames[] = {"Replace", "DontAdd", "NotCare"};
    check(policyNames[static_cast<int>(o.GroupBox2) % 3], true);
    check("ConfirmClear", o.ConfirmClear);
    check("AutoRenameAtMerge", o.AutoRenameAtMerge);
    slider("TrackBar2", o.TrackBar2);
    check("WrapAround", o.WrapAround);
    check("Stretch", o.Stretch);
    check("FixedPosition", o.FixedPosition);
    check("FixedSize", o.FixedSize);
    check(o.InitialStatus == 1 ? "InitialStatusExpand" : "InitialStatusRetract", true);
    check("AutoExpand", o.AutoExpand);
    check("AutoSync", o.AutoSync);
    slider("JpegQuality", o.JpegQuality);
    check("GrayScale", o.GrayScale);
    const char* compressNames[] = {"CompressNone", "CompressStandard", "CompressSpeed",
                                   "CompressMinimum"};
    check(compressNames[std::clamp(o.Compress, 0, kCompressItems - 1)], true);
    UpdateDependents();
    showing_ = was;
}

void TOption::UpdateDependents() {
    const Options& o = *options_;
    controls_["TrackBar3"]->setEnabled(o.TrackBar3Enabled());
    controls_["TrackBar1"]->setEnabled(o.TrackBar1Enabled());
    controls_["TrackBarSizeRange"]->setEnabled(o.TrackBarSizeRangeEnabled());
    controls_["SameDriveOnly"]->setEnabled(o.SameDriveOnlyEnabled());
    labelInterval_->setText(IntervalText(o.TrackBar2));
    labelQual_->setText(QString::number(o.JpegQuality));
}

void TOption::PrepareShowing() {
    options_->OptionsDialogChanged = false;
    loadDefault_->setEnabled(defaultExists_ && defaultExists_());
    ShowOptions();
}

void TOption::showEvent(QShowEvent* event) {
    PrepareShowing();
    QDialog::showEvent(event);
}

bool TOption::event(QEvent* event) {
    if (event->type() == QEvent::StatusTip)
        emit hintShown(static_cast<QStatusTipEvent*>(event)->tip());
    return QDialog::event(event);
}

} // namespace lumidex
