#include "TMismatchhConf.h"

#include <QCheckBox>
#include <QCursor>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QVBoxLayout>

namespace lumidex {

TMismatchhConf::TMismatchhConf(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint) {
    setObjectName("MismatchhConf");
    setWindowTitle("Already in Mismatch");
    groups_ = new QListWidget(this);
    groups_->setObjectName("TarfetGroupList");
    add_ = new QRadioButton("Add", this);
    add_->setObjectName("Add");
    newGroup_ = new QRadioButton("New group", this);
    newGroup_->setObjectName("NewGroup");
    mix_ = new QRadioButton("Mix", this);
    mix_->setObjectName("Mix");
    dontShow_ = new QCheckBox("Don't show this Dialog", this);
    dontShow_->setObjectName("Dontshowthismessage");
    auto* ok = new QPushButton("Ok", this);
    ok->setObjectName("Ok");
    ok->setDefault(true);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("Cancel");

    auto* choices = new QHBoxLayout;
    choices->addWidget(add_);
    choices->addWidget(newGroup_);
    choices->addWidget(mix_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(dontShow_, 1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(groups_, 1);
    layout->addLayout(choices);
    layout->addLayout(buttons);
    resize(420, 220);
    setFixedSize(size());

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(groups_, &QListWidget::currentRowChanged, this, &TMismatchhConf::RowChosen);
}

bool TMismatchhConf::dontShow() const {
    return dontShow_->isChecked();
}

void TMismatchhConf::Prepare(const MismatchQuestion& q) {
    referenceGroup_ = q.referenceGroup;
    groups_->clear();
    for (const MismatchQuestion::Row& r : q.rows) {
        auto* item = new QListWidgetItem(QString::fromUtf8(r.text.c_str()), groups_);
        item->setData(Qt::UserRole, static_cast<int>(r.group));
    }
    mix_->setText("Mix");
    mix_->setEnabled(q.mixEnabled);
    (q.choice == MismatchChoice::Mix ? mix_ : add_)->setChecked(true);
    if (groups_->count() > 0) groups_->setCurrentRow(0);
}

void TMismatchhConf::RowChosen() {
    QListWidgetItem* item = groups_->currentItem();
    if (!item || !referenceGroup_) return;
    mix_->setText(QString::fromStdString(
        MixCaption(static_cast<uint16_t>(item->data(Qt::UserRole).toInt()), referenceGroup_)));
}

MismatchChoice TMismatchhConf::Choice(MismatchQuestion& q, bool accepted) const {
    if (!accepted) return MismatchChoice::Cancel;
    q.selectedRow = std::max(0, groups_->currentRow());
    if (mix_->isChecked() && mix_->isEnabled()) return MismatchChoice::Mix;
    if (newGroup_->isChecked()) return MismatchChoice::NewGroup;
    return MismatchChoice::Add;
}

MismatchChoice TMismatchhConf::Ask(MismatchQuestion& q) {
    Prepare(q);
    // Centred on the mouse pointer, kept on the screen.
    QRect r = frameGeometry();
    r.moveCenter(QCursor::pos());
    if (QScreen* s = QGuiApplication::screenAt(QCursor::pos())) {
        const QRect area = s->availableGeometry();
        r.moveLeft(
            std::clamp(r.left(), area.left(), std::max(area.left(), area.right() - r.width())));
        r.moveTop(
            std::clamp(r.top(), area.top(), std::max(area.top(), area.bottom() - r.height())));
    }
    move(r.topLeft());
    return Choice(q, exec() == QDialog::Accepted);
}

} // namespace lumidex
