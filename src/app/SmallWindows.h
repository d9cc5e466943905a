#pragma once

#include <QDialog>

namespace lumidex {

// The small panel: created hidden in its place of the start-up order, with no command of its
// own that shows it.
class TSpanel : public QDialog {
    Q_OBJECT
public:
    explicit TSpanel(QWidget* parent = nullptr);
};

// The about box: program icon, title, version and "OK".
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

} // namespace lumidex
