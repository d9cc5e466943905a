#include "SmallWindows.h"

#include "FrameRules.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

namespace lumidex {

TSpanel::TSpanel(QWidget* parent) : QDialog(parent) {
    setObjectName("TSpanel");
    setWindowTitle("Spanel");
}

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent) {
    setObjectName("TAboutBox");
    setWindowTitle("Lumidex2 Version Info");
    auto* icon = new QLabel(this);
    icon->setObjectName("ProgramIcon");
    icon->setPixmap(QApplication::windowIcon().isNull()
                        ? style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(48, 48)
                        : QApplication::windowIcon().pixmap(48, 48));
    auto* title = new QLabel(kAppTitle, this);
    title->setObjectName("ProductName");
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    auto* version = new QLabel(kVersionText, this);
    version->setObjectName("Version");
    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("OKButton");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(title, 0, 1);
    layout->addWidget(version, 1, 1);
    layout->addWidget(ok, 2, 0, 1, 2, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace lumidex
