#include "TPathChange.h"

#include "Paths.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumidex {

namespace {
QGroupBox* Group(QWidget* parent, const char* caption, QLineEdit*& edit, const char* name) {
    auto* box = new QGroupBox(QString::fromLatin1(caption), parent);
    auto* layout = new QVBoxLayout(box);
    edit = new QLineEdit(box);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMinimumWidth(360);
    layout->addWidget(edit);
    return box;
}
} // namespace

TPathChange::TPathChange(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PathChange"));
    setWindowTitle(QStringLiteral("Path Change"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Group(this, "From", FromPath, "FromPath"));
    QGroupBox* to = Group(this, "To", ToPath, "ToPath");
    Browse = new QPushButton(QStringLiteral("Browse"), to);
    Browse->setObjectName(QStringLiteral("Browse"));
    to->layout()->addWidget(Browse);
    layout->addWidget(to);
    ChangeSubFoler = new QCheckBox(QStringLiteral("Change SubFolder"), this);
    ChangeSubFoler->setObjectName(QStringLiteral("ChangeSubFoler"));
    ChangeSubFoler->setChecked(true);
    layout->addWidget(ChangeSubFoler);
    auto* buttons = new QHBoxLayout;
    OKButton1 = new QPushButton(QStringLiteral("Ok"), this);
    OKButton1->setObjectName(QStringLiteral("OKButton1"));
    OKButton1->setEnabled(false);
    OKButton1->setDefault(true);
    Cancel = new QPushButton(QStringLiteral("Cancel"), this);
    Cancel->setObjectName(QStringLiteral("Cancel"));
    buttons->addStretch();
    buttons->addWidget(OKButton1);
    buttons->addWidget(Cancel);
    layout->addLayout(buttons);

    connect(FromPath, &QLineEdit::textChanged, this, [this](const QString& from) {
        OKButton1->setEnabled(!from.isEmpty() && from != ToPath->text());
    });
    connect(ToPath, &QLineEdit::textChanged, this, [this](const QString& to) {
        OKButton1->setEnabled(!to.isEmpty() && to != FromPath->text());
    });
    connect(Browse, &QPushButton::clicked, this,
            [this] { emit browseRequested(FromPath->text()); });
    connect(OKButton1, &QPushButton::clicked, this, [this] {
        FromPath->setText(QString::fromStdString(From()));
        ToPath->setText(QString::fromStdString(To()));
        accept();
    });
    connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TPathChange::SetFolders(const std::string& from, const std::string& to) {
    FromPath->setText(QString::fromStdString(from));
    ToPath->setText(QString::fromStdString(to));
}

std::string TPathChange::From() const {
    return paths::WithTrailingDelimiter(FromPath->text().toStdString());
}

std::string TPathChange::To() const {
    return paths::WithTrailingDelimiter(ToPath->text().toStdString());
}

bool TPathChange::SubFolders() const {
    return ChangeSubFoler->isChecked();
}

void TPathChange::SetSubFolderBoxShown(bool shown) {
    ChangeSubFoler->setVisible(shown);
}

void TPathChange::SetTo(const std::string& folder) {
    ToPath->setText(QString::fromStdString(paths::WithTrailingDelimiter(folder)));
}

} // namespace lumidex
