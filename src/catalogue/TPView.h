#pragma once

#include "Regions.h"

#include <QDialog>
#include <QImage>

#include <functional>

class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;
class QSlider;

namespace lumidex {

class Workspace;
class TSizeableRectShape;
class PictureCanvas;
class Magnifier;

// "Sub Index Manager": the regions of one entry, drawn on its full picture. The caller opens
// it on the entry a pane shows (Open reads that entry's own file), runs it modally, and does
// the main window's part in onClosed: the pane's reload request, forgetting that side's
// current entry, UpdateTitle(1) when changed, RefreshAfterChange.
class TPView : public QDialog {
public:
    explicit TPView(Workspace& ws, QWidget* parent = nullptr);

    // False, reported as "Read failed,", when the entry's picture cannot be read.
    bool Open(Pdata& entry);
    std::function<void(bool changed)> onClosed;
    // Called before an entry is freed (nullptr: all of them): when it is the one edited, the
    // window lets go of it at once and closes as soon as control returns to its loop.
    void EntryRemoved(const Pdata* entry);

    bool Changed() const { return changed_; }
    Pdata* EditedEntry() const { return entry_; }
    // The rectangle in picture pixels.
    Area RectangleArea() const;
    void SetRectangleArea(const Area& area);

    void done(int result) override;

private:
    void AddButtonClick();
    void DeleteButtonClick();
    void ListBox1Click();
    void SizeableRectShape1MouseUp();
    void SpeedButtonClick(SnapButton button);
    void FillList();
    void ShowRegion(int index);
    void PointerMoved(int x, int y);

    Workspace& ws_;
    Pdata* entry_ = nullptr;
    QImage picture_;
    bool changed_ = false;
    SnapWork snapWork_;

    QScrollArea* scrollBox1_;
    PictureCanvas* image1_;
    TSizeableRectShape* rect_;
    QPushButton* addButton_;
    QPushButton* deleteButton_;
    QListWidget* listBox1_;
    QLabel* staticText1_;
    Magnifier* image2_;
    QSlider* trackBar1_;
};

} // namespace lumidex
