#pragma once

#include "ThumbnailDecoder.h"
#include "ThumbnailDrawing.h"

#include <QDialog>

#include <functional>
#include <string>

class QButtonGroup;
class QCheckBox;
class QLineEdit;
class QTimer;
class QToolButton;

namespace lumidex {

class TViewLeft;
class ThumbnailCanvas;
class Workspace;

// The thumbnail window: a grid of small pictures around the reference list's selected row.
// Cells are decoded on worker threads ahead of the drawing, which takes one cell at a time
// from the event loop in fill order, so the window stays responsive and a newer selection
// simply starts a new drawing.
class TThumbnail : public QDialog {
    Q_OBJECT
public:
    explicit TThumbnail(Workspace& ws, QWidget* parent = nullptr);
    ~TThumbnail() override;

    // The viewer a double click shows its picture in (shared, unbound).
    void SetViewer(TViewLeft* viewer) { viewer_ = viewer; }
    // Moves the reference list's selection by n rows, as the main window does.
    void SetSelectionMover(std::function<void(int n)> move) { moveSelection_ = std::move(move); }

    // The reference list's selection (or its rows) changed: draw again from the event loop,
    // unless the drawing already shows that selection.
    void Draw();
    // Forget one: its cell is read anew at the next drawing.
    void Forget(const std::string& path);
    // Forget all, without drawing (a database is about to be read).
    void ForgetAll();
    // Records dropped, the area hatched, drawn afresh.
    void FullRedraw();

    int RequestedCount() const { return requested_; }
    FillOrder Order() const;
    const ThumbnailDrawing& drawing() const { return drawing_; }
    // A drawing has been asked for or is still running.
    bool Busy() const;
    // Runs the drawing to its end without the event loop (tests).
    void FinishDrawing();
    // The record a double click opens.
    const std::string& DoubleClickPath() const { return pointed_; }
    void PointAt(QPoint atCanvas);
    void OpenPointed();
    void Page(PagingButton button);
    void CountUpClick();
    void CountDownClick();

signals:
    void shownChanged(bool shown);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void BeginDrawing();
    void Pump();
    bool StepOnce();
    void SetCount(int capacity);
    void UpdateCountButtons();

    Workspace& ws_;
    // Read by the workers; fixed for the window's life (the environment at start-up).
    const ThumbnailCache cache_;
    ThumbnailDrawing drawing_;
    ThumbnailDecoder decoder_;
    TViewLeft* viewer_ = nullptr;
    std::function<void(int)> moveSelection_;
    int requested_ = 9;
    // What the last drawing was begun for: a repeated request changes nothing.
    struct Drawn {
        int selected = -2, count = 0, rows = -1;
        FillOrder order = FillOrder::ColumnByColumn;
        bool operator==(const Drawn&) const = default;
    } drawn_;
    bool drawRequested_ = false;
    std::string pointed_;
    QTimer* pump_ = nullptr;
    QTimer* begin_ = nullptr;
    ThumbnailCanvas* canvas_ = nullptr;
    QButtonGroup* order_ = nullptr;
    QLineEdit* dispCount_ = nullptr;
    QLineEdit* filename_ = nullptr;
    QCheckBox* keepAspect_ = nullptr;
    QToolButton* countUp_ = nullptr;
    QToolButton* countDown_ = nullptr;
};

} // namespace lumidex
