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

LX_LATER_WINDOW(TMemoMan)
LX_LATER_WINDOW(TSpanel)
LX_LATER_WINDOW(TSlideShow)
LX_LATER_WINDOW(TFolderManager)
LX_LATER_WINDOW(TMismatchEditor)
LX_LATER_WINDOW(TMismatchhConf)
LX_LATER_WINDOW(TNavigator)
LX_LATER_WINDOW(TThumbnail)

#undef LX_LATER_WINDOW

// The about box: program icon, title, version and "OK".
class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

} // namespace lumidex
