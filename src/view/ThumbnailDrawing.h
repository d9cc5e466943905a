#pragma once

#include "ThumbnailCache.h"
#include "ThumbnailGrid.h"

#include <QImage>

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace lumidex {

class EntryList;

// One drawn cell. The path, not the entry, so that a record never outlives its entry; the
// file's size and time, so that a file changed since is read again.
struct Thumlist {
    std::string path;
    QRect cell;
    QRect drawn;
    FileStamp stamp;
};

// The thumbnail window's drawing, without the window: a picture of the grid drawn one cell
// per Step, so that the window can let events run between cells from its event loop rather
// than re-entering itself. Cells whose path was in the previous drawing are copied from it.
class ThumbnailDrawing {
public:
    // Reads a picture for a cell (keepAspect: drawn into FitIntoCell's rectangle); false when
    // it cannot be read.
    using Reader =
        std::function<bool(QImage& picture, const std::string& path, QSize cell, bool keepAspect)>;
    explicit ThumbnailDrawing(Reader reader = ReadForCell);
    static bool ReadForCell(QImage& picture, const std::string& path, QSize cell, bool keepAspect);

    // A new area size: both record lists go (the previous drawing no longer fits).
    void Resize(QSize area);
    // Full redraw: records dropped, the area hatched, the focus frame to be moved.
    void Reset();

    // Starts drawing the rows around the selected row of list. A drawing still running is
    // abandoned first: its records are dropped, as the change that replaced it made them
    // useless.
    void Begin(const EntryList& list, int requestedCount, FillOrder order, bool keepAspect);
    // Draws the next cell; false once the drawing is finished (or none runs).
    bool Step();
    bool Running() const { return list_ != nullptr; }
    // The paths the running drawing will read, in drawing order (the cells not copied from
    // the previous drawing), so that a caller can decode them ahead.
    std::vector<std::string> PathsToRead() const;
    // The path the next Step reads, or nullptr when it copies, hatches or nothing runs.
    const std::string* NextRead() const;
    // The cell size of the running grid.
    QSize CellSize() const { return grid_.CellSize(canvas_.size()); }

    // Forget one: its record goes, so the next drawing reads the file again.
    void Forget(const std::string& path);
    // Forget all: the records go without drawing (a database is about to be read).
    void ForgetAll();

    const QImage& Picture() const { return canvas_; }
    QSize Area() const { return canvas_.size(); }
    const ThumbnailGrid& Grid() const { return grid_; }
    int Capacity() const { return grid_.Capacity(); }
    const std::vector<Thumlist>& Records() const { return records_; }
    // The record whose cell holds the point, or nullptr.
    const Thumlist* RecordAt(QPoint point) const;

    // The selected row's cell less a pixel on the right and bottom, once a drawing reached it
    // while the frame was to be moved; empty before.
    QRect focusFrame;
    bool moveFocusFrame = true;
    // How many pictures were read (the rest of the cells were copied or hatched).
    int readCount = 0;
    // The cell the last Step drew.
    QRect lastCell;

private:
    void Hatch(const QRect& area);
    // The previous drawing's record of path for a cell of this size, or nullptr.
    const Thumlist* Reusable(const std::string& path, QSize cell) const;
    // The reference row's entry path for cell k of the running drawing, or nullptr.
    const std::string* PathOfCell(int k) const;
    const QImage& ErrorPicture();
    // The file's size and time, asked of the file system once per drawing.
    const FileStamp& StampOf(const std::string& path) const;

    Reader reader_;
    QImage canvas_, previousDrawing_, scratch_, error_;
    std::vector<Thumlist> records_, previous_;
    mutable std::unordered_map<std::string, FileStamp> stamps_;
    ThumbnailGrid grid_;
    const EntryList* list_ = nullptr;
    int selected_ = -1, start_ = 0, next_ = 0;
    FillOrder order_ = FillOrder::ColumnByColumn;
    bool keepAspect_ = true;
};

} // namespace lumidex
