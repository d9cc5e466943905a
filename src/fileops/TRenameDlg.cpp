#include "TRenameDlg.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace lumidex {

TRenameDlg::TRenameDlg(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("RenameDlg"));
    setWindowTitle(QStringLiteral("Rename To"));
    auto* layout = new QVBoxLayout(this);
    auto* name = new QHBoxLayout;
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setMaxLength(255);
    Edit1->setMinimumWidth(260);
    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    name->addWidget(Edit1);
    name->addWidget(Label1);
    layout->addLayout(name);
    Message = new QLabel(this);
    Message->setObjectName(QStringLiteral("Message"));
    layout->addWidget(Message);
    auto* buttons = new QHBoxLayout;
    OKBtn = new QPushButton(QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    CancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    buttons->addStretch();
    buttons->addWidget(OKBtn);
    buttons->addWidget(CancelBtn);
    layout->addLayout(buttons);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TRenameDlg::Fill(const std::string& name, const std::string& extension,
                      const std::string& message) {
    Edit1->setText(QString::fromStdString(name));
    Label1->setText(QString::fromStdString(extension));
    Message->setText(QString::fromStdString(message));
    Edit1->setFocus();
}

bool TRenameDlg::AskNewName(std::string& name, const std::string& extension,
                            const std::string& message) {
    Fill(name, extension, message);
    if (exec() != QDialog::Accepted) return false;
    name = Edit1->text().toStdString();
    return true;
}

} // namespace lumidex
