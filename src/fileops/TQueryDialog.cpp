#include "TQueryDialog.h"

#include "Format.h"
#include "Paths.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace lumidex {

namespace {
QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

QGroupBox* FileGroup(QWidget* parent, const char* name, const char* caption, const char* label,
                     QLabel*& file, QLabel*& size, QLabel*& date) {
    auto* box = new QGroupBox(QString::fromLatin1(caption), parent);
    box->setObjectName(QString::fromLatin1(name));
    auto* form = new QFormLayout(box);
    file = new QLabel(box);
    size = new QLabel(box);
    date = new QLabel(box);
    form->addRow(QString::fromLatin1(label), file);
    form->addRow(QStringLiteral("Size"), size);
    form->addRow(QStringLiteral("Date"), date);
    return box;
}
} // namespace

TQueryDialog::TQueryDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("QueryDialog"));
    setWindowTitle(QStringLiteral("Query"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FileGroup(this, "Copying", "Copying", "From:", Filename1, Size1, Date1));
    layout->addWidget(FileGroup(this, "Exists", "Exists", "To:", Filename2, Size2, Date2));
    Filename1->setObjectName(QStringLiteral("Filename1"));
    Size1->setObjectName(QStringLiteral("Size1"));
    Date1->setObjectName(QStringLiteral("Date1"));
    Filename2->setObjectName(QStringLiteral("Filename2"));
    Size2->setObjectName(QStringLiteral("Size2"));
    Date2->setObjectName(QStringLiteral("Date2"));

    auto* answers = new QHBoxLayout;
    Skip = new QRadioButton(QStringLiteral("Skip"), this);
    OverWrite = new QRadioButton(QStringLiteral("OverWrite"), this);
    Rename = new QRadioButton(QStringLiteral("Rename"), this);
    Skip->setObjectName(QStringLiteral("Skip"));
    OverWrite->setObjectName(QStringLiteral("OverWrite"));
    Rename->setObjectName(QStringLiteral("Rename"));
    answers->addWidget(Skip);
    answers->addWidget(OverWrite);
    answers->addWidget(Rename);
    layout->addLayout(answers);
    RenameEdit = new QLineEdit(this);
    RenameEdit->setObjectName(QStringLiteral("RenameEdit"));
    RenameEdit->setMaxLength(255);
    RenameEdit->setEnabled(false);
    layout->addWidget(RenameEdit);
    DontshowthisDialog = new QCheckBox(QStringLiteral("Use as Default"), this);
    DontshowthisDialog->setObjectName(QStringLiteral("DontshowthisDialog"));
    layout->addWidget(DontshowthisDialog);

    auto* buttons = new QHBoxLayout;
    Doit = new QPushButton(QStringLiteral("Ok"), this);
    Doit->setObjectName(QStringLiteral("Doit"));
    Doit->setDefault(true);
    Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    buttons->addStretch();
    buttons->addWidget(Doit);
    buttons->addWidget(Cancel);
    layout->addLayout(buttons);
    connect(Doit, &QPushButton::clicked, this, &QDialog::accept);
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(Skip, &QRadioButton::clicked, this, [this] { Choose(Collision::Skip); });
    connect(OverWrite, &QRadioButton::clicked, this, [this] { Choose(Collision::OverWrite); });
    connect(Rename, &QRadioButton::clicked, this, [this] { Choose(Collision::Rename); });
    // The dialog sees every key before its controls: Shift anywhere means "Ok to All".
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    installEventFilter(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TQueryDialog::Choose(Collision answer) {
    Skip->setChecked(answer == Collision::Skip);
    OverWrite->setChecked(answer == Collision::OverWrite);
    Rename->setChecked(answer == Collision::Rename);
    RenameEdit->setEnabled(answer == Collision::Rename);
    DontshowthisDialog->setEnabled(answer != Collision::Rename);
}

void TQueryDialog::PrepareQuery(const CollisionQuery& query) {
    setWindowTitle(QStringLiteral("Name:") + Q(std::string(paths::FileName(query.destination))));
    Filename1->setText(Q(std::string(paths::FolderPart(query.source))));
    Filename1->setToolTip(Q(query.source));
    Size1->setText(QString::number(query.sourceInfo.size));
    Date1->setText(Q(FormatDateLine(query.sourceInfo.modified)).trimmed());
    Filename2->setText(Q(std::string(paths::FolderPart(query.destination))));
    Filename2->setToolTip(Q(query.destination));
    Size2->setText(QString::number(query.destinationInfo.size));
    Date2->setText(Q(FormatDateLine(query.destinationInfo.modified)).trimmed());
    RenameEdit->setText(Q(query.proposedName));
    DontshowthisDialog->setChecked(false);
    Choose(query.proposal);
}

CollisionReply TQueryDialog::CurrentReply() const {
    CollisionReply reply;
    reply.answer = Skip->isChecked()        ? Collision::Skip
                   : OverWrite->isChecked() ? Collision::OverWrite
                                            : Collision::Rename;
    reply.newName = RenameEdit->text().toStdString();
    reply.useAsDefault = DontshowthisDialog->isEnabled() && DontshowthisDialog->isChecked();
    reply.okToAll = OkToAll;
    return reply;
}

CollisionReply TQueryDialog::Ask(const CollisionQuery& query) {
    PrepareQuery(query);
    SetShift(false);
    CollisionReply reply = CurrentReply();
    if (exec() != QDialog::Accepted) {
        reply.cancelled = true;
        return reply;
    }
    return CurrentReply();
}

void TQueryDialog::SetShift(bool held) {
    OkToAll = held;
    Doit->setText(held ? QStringLiteral("Ok to All") : QStringLiteral("Ok"));
}

bool TQueryDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() & Qt::ShiftModifier || key->key() == Qt::Key_Shift) SetShift(true);
    } else if (event->type() == QEvent::KeyRelease) {
        SetShift(false);
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace lumidex
