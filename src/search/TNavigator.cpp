#include "TNavigator.h"

#include "Workspace.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumidex {

namespace {
QString Text(const std::string& s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}
} // namespace

TNavigator::TNavigator(Workspace& ws, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      ws_(ws) {
    setObjectName("Navigator");
    setWindowTitle("Navigator");
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl1");
    pages_->setUsesScrollButtons(false);
    for (const char* caption : {"Normal", "HasSimilar", "Name", "Memo", "Updated", "New Add"}) {
        auto* page = new QWidget(pages_);
        page->setObjectName(caption);
        pages_->addTab(page, caption);
    }
    searchString_ = new QLineEdit;
    searchString_->setObjectName("SearchString");
    (new QVBoxLayout(pages_->widget(2)))->addWidget(searchString_);
    groups_ = new QComboBox;
    groups_->setObjectName("ItemComboBox");
    memos_ = new QComboBox;
    memos_->setObjectName("ItemValue");
    auto* memoForm = new QFormLayout(pages_->widget(3));
    memoForm->addRow("Group", groups_);
    memoForm->addRow("Memo", memos_);

    auto arrow = [this](const char* name, Qt::ArrowType type) {
        auto* b = new QToolButton(this);
        b->setObjectName(name);
        b->setArrowType(type);
        return b;
    };
    auto* up = arrow("UpButton", Qt::UpArrow);
    auto* down = arrow("DownButton", Qt::DownArrow);
    up_ = up;
    down_ = down;
    status_ = new QStatusBar(this);
    status_->setObjectName("StatusBar1");
    status_->setSizeGripEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(up);
    buttons->addWidget(down);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addLayout(buttons);
    layout->addWidget(status_);

    connect(up, &QToolButton::clicked, this, [this] { Jump(-1); });
    connect(down, &QToolButton::clicked, this, [this] { Jump(+1); });
    connect(searchString_, &QLineEdit::textChanged, this, &TNavigator::UpdateButtons);
    connect(groups_, &QComboBox::currentIndexChanged, this, &TNavigator::FillMemos);
    connect(memos_, &QComboBox::currentIndexChanged, this, &TNavigator::UpdateButtons);
    connect(pages_, &QTabWidget::currentChanged, this, [this](int page) {
        if (page == static_cast<int>(NavigatorPage::Memo)) FillGroups();
        UpdateButtons();
    });
    UpdateButtons();
}

void TNavigator::SetMemoChoice(int32_t groupId, int slot) {
    wantedGroup_ = groupId;
    wantedSlot_ = slot;
}

void TNavigator::RefreshMemoChoice() {
    if (isVisible() && pages_->currentIndex() == static_cast<int>(NavigatorPage::Memo))
        FillGroups();
}

void TNavigator::FillGroups() {
    QSignalBlocker block(groups_);
    groups_->clear();
    int chosen = 0;
    for (const MemoGroup& g : ws_.memos.Groups()) {
        if (g.id == wantedGroup_) chosen = groups_->count();
        groups_->addItem(Text(g.name), g.id);
    }
    groups_->setCurrentIndex(groups_->count() ? chosen : -1);
    FillMemos();
}

void TNavigator::FillMemos() {
    QSignalBlocker block(memos_);
    memos_->clear();
    const int32_t group = groups_->currentData().isValid() ? groups_->currentData().toInt() : -1;
    // The memos are known by slot: a group may hold equal texts.
    int chosen = -1;
    for (int slot : ws_.memos.SlotsOfGroup(group)) {
        if (slot == wantedSlot_ && group == wantedGroup_) chosen = memos_->count();
        memos_->addItem(Text(ws_.memos.Slots()[static_cast<size_t>(slot)].text), slot);
    }
    if (memos_->count()) memos_->setCurrentIndex(chosen >= 0 ? chosen : 0);
    groups_->setToolTip(groups_->currentText());
    memos_->setToolTip(memos_->currentText());
    UpdateButtons();
}

void TNavigator::UpdateButtons() {
    NavigatorQuery q;
    q.name = searchString_->text().toStdString();
    q.memo = memos_->currentData().isValid() ? memos_->currentData().toInt() : -1;
    const bool ready = NavigatorPageReady(static_cast<NavigatorPage>(pages_->currentIndex()), q);
    up_->setEnabled(ready);
    down_->setEnabled(ready);
}

void TNavigator::Jump(int direction) {
    NavigatorQuery q;
    const QByteArray name = searchString_->text().toUtf8();
    q.name.assign(name.constData(), static_cast<size_t>(name.size()));
    q.memo = memos_->currentData().isValid() ? memos_->currentData().toInt() : -1;
    q.newPictures = &ws_.newPictures;
    std::string status;
    setCursor(Qt::BusyCursor);
    const bool moved = NavigatorJump(ws_.lists, static_cast<NavigatorPage>(pages_->currentIndex()),
                                     direction, q, status);
    unsetCursor();
    status_->showMessage(Text(status));
    if (moved) emit selectionMoved();
}

} // namespace lumidex
