#include "SearchDialogs.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace lumidex {

namespace {

// The radio group ">=", "==", "<=", ids in the order of Relation.
QGroupBox* RelationBox(QWidget* parent, QButtonGroup*& group) {
    auto* box = new QGroupBox(parent);
    box->setObjectName("RelationGroup");
    auto* layout = new QVBoxLayout(box);
    group = new QButtonGroup(box);
    const char* texts[] = {">=", "==", "<="};
    for (int i = 0; i < 3; ++i) {
        auto* radio = new QRadioButton(texts[i], box);
        group->addButton(radio, i);
        layout->addWidget(radio);
    }
    group->button(0)->setChecked(true);
    return box;
}

QPushButton* AddOkCancel(QDialog* dialog, QBoxLayout* layout) {
    auto* buttons = new QDialogButtonBox(dialog);
    QPushButton* ok = buttons->addButton("Ok", QDialogButtonBox::AcceptRole);
    ok->setObjectName("OkButton");
    ok->setDefault(true);
    buttons->addButton("Cancel", QDialogButtonBox::RejectRole)->setObjectName("CancelButton");
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return ok;
}

} // namespace

TSizeSpec::TSizeSpec(QWidget* parent) : QDialog(parent) {
    setObjectName("TSizeSpec");
    setWindowTitle("File Size");
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(RelationBox(this, relation_));
    edit1_ = new QLineEdit(this);
    edit1_->setObjectName("Edit1");
    // A sign and digits only: anything else would search for 0.
    edit1_->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[-+]?[0-9]*"), edit1_));
    row->addWidget(edit1_);
    row->addWidget(new QLabel("Bytes", this));
    layout->addLayout(row);
    ok_ = AddOkCancel(this, layout);
    ok_->setEnabled(false);
    connect(edit1_, &QLineEdit::textChanged, this,
            [this](const QString& text) { ok_->setEnabled(!text.isEmpty()); });
}

void TSizeSpec::SetField(const std::string& text) {
    edit1_->setText(QString::fromStdString(text));
}

Relation TSizeSpec::relation() const {
    return static_cast<Relation>(relation_->checkedId());
}

int32_t TSizeSpec::Value() const {
    return SizeFieldValue(edit1_->text().toStdString());
}

TDateSpec::TDateSpec(QWidget* parent) : QDialog(parent) {
    setObjectName("TDateSpec");
    setWindowTitle("DateSpec");
    auto* layout = new QVBoxLayout(this);
    picker_ = new QDateTimeEdit(QDateTime::currentDateTime(), this);
    picker_->setObjectName("DatePicker");
    picker_->setCalendarPopup(true);
    layout->addWidget(picker_);
    auto* row = new QHBoxLayout;
    row->addWidget(RelationBox(this, relation_));
    auto* modeBox = new QGroupBox(this);
    modeBox->setObjectName("ModeGroup");
    auto* modeLayout = new QGridLayout(modeBox);
    mode_ = new QButtonGroup(modeBox);
    const char* modes[] = {"Date", "Time"};
    for (int i = 0; i < 2; ++i) {
        auto* radio = new QRadioButton(modes[i], modeBox);
        mode_->addButton(radio, i);
        modeLayout->addWidget(radio, 0, i);
    }
    mode_->button(0)->setChecked(true);
    row->addWidget(modeBox);
    layout->addLayout(row);
    AddOkCancel(this, layout);
    connect(mode_, &QButtonGroup::idClicked, this, [this] { ShowMode(); });
    ShowMode();
}

void TDateSpec::ShowMode() {
    picker_->setDisplayFormat(DateOnly() ? QLocale().dateFormat(QLocale::ShortFormat)
                                         : QLocale().timeFormat(QLocale::LongFormat));
}

void TDateSpec::SetTime(int64_t t) {
    picker_->setDateTime(QDateTime::fromSecsSinceEpoch(t));
}

int64_t TDateSpec::Value() const {
    // To the nearest whole second.
    return (picker_->dateTime().toMSecsSinceEpoch() + 500) / 1000;
}

bool TDateSpec::DateOnly() const {
    return mode_->checkedId() == 0;
}

Relation TDateSpec::relation() const {
    return static_cast<Relation>(relation_->checkedId());
}

namespace {
// A text wider than its box shows whole as the hint.
void HintWhenCut(QComboBox* box) {
    const QString text = box->currentText();
    const int room = box->width() - 24; // less the drop-down arrow
    box->setToolTip(box->fontMetrics().horizontalAdvance(text) > room ? text : QString());
}
} // namespace

TDataItemEditor::TDataItemEditor(QWidget* parent) : QDialog(parent) {
    setObjectName("TDataItemEditor");
    setWindowTitle("Search Memo");
    setWindowFlag(Qt::WindowStaysOnTopHint);
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    itemComboBox_ = new QComboBox(this);
    itemComboBox_->setObjectName("ItemComboBox");
    itemValue_ = new QComboBox(this);
    itemValue_->setObjectName("ItemValue");
    for (QComboBox* box : {itemComboBox_, itemValue_}) {
        box->setMinimumContentsLength(16);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    }
    grid->addWidget(new QLabel("Group", this), 0, 0);
    grid->addWidget(itemComboBox_, 0, 1);
    grid->addWidget(new QLabel("Memo", this), 1, 0);
    grid->addWidget(itemValue_, 1, 1);
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton("Ok", QDialogButtonBox::AcceptRole);
    ok->setObjectName("OkButton");
    ok->setDefault(true);
    buttons->addButton("Close", QDialogButtonBox::RejectRole)->setObjectName("CloseButton");
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    connect(itemComboBox_, &QComboBox::currentIndexChanged, this, &TDataItemEditor::GroupChosen);
    connect(itemValue_, &QComboBox::currentIndexChanged, this, [this] { HintWhenCut(itemValue_); });
}

void TDataItemEditor::Prepare(DataManage& memos) {
    memos_ = &memos;
    {
        QSignalBlocker block(itemComboBox_);
        itemComboBox_->clear();
        for (const MemoGroup& g : memos.Groups())
            itemComboBox_->addItem(QString::fromStdString(g.name));
        itemComboBox_->setCurrentIndex(itemComboBox_->count() > 0 ? 0 : -1);
    }
    GroupChosen(itemComboBox_->currentIndex());
}

void TDataItemEditor::GroupChosen(int index) {
    itemValue_->clear();
    HintWhenCut(itemComboBox_);
    if (!memos_ || index < 0) return;
    const std::vector<MemoSlot>& memos = memos_->MemosOfGroup(memos_->GroupIdAt(index));
    if (memos.empty()) return;
    for (const MemoSlot& m : memos)
        itemValue_->addItem(QString::fromStdString(m.text));
    itemValue_->addItem("Any of them");
    itemValue_->setCurrentIndex(0);
}

EntryTest TDataItemEditor::Test(DataManage& memos) const {
    const int group = itemComboBox_->currentIndex();
    if (group < 0) return [](const Pdata&) { return false; };
    const int32_t groupId = memos.GroupIdAt(group);
    // The last item stands for the whole group, and so does an empty list.
    if (itemValue_->currentIndex() < 0 || itemValue_->currentIndex() == itemValue_->count() - 1)
        return MemoGroupTest(memos, groupId);
    return MemoTest(memos.FindMemo(itemValue_->currentText().toStdString(), groupId));
}

} // namespace lumidex
