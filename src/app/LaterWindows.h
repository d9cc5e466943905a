#pragma once

#include <QDialog>

// Windows that exist from start-up on but whose content comes later: each carries its name
// and caption so that the start-up order and ownership are right from the start.
namespace lumidex {

#define LX_LATER_WINDOW(Class)                                                                     \
    class Class : public QDialog {                                                                 \
    public:                                                                                        \
        explicit Class(QWidget* parent = nullptr);                                                 \
    };

LX_LATER_WINDOW(TSpanel)

#undef LX_LATER_WINDOW

// The about box: program icon, title, version and "OK".
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

} // namespace lumidex
