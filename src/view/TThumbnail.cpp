#include "TThumbnail.h"

#include "PictureReader.h"
#include "TViewLeft.h"
#include "ThumbnailSource.h"
#include "Workspace.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumidex {

// ThumImage: shows the drawing; Image3, a transparent layer over it, carries the focus frame
// and takes the pointer.
class ThumbnailCanvas : public QWidget {
public:
    ThumbnailCanvas(QWidget* parent, const ThumbnailDrawing& drawing)
        : QWidget(parent), drawing_(drawing) {
        setObjectName("ThumImage");
        layer_ = new Layer(this);
        layer_->setObjectName("Image3");
        layer_->setMouseTracking(true);
        setMinimumSize(40, 40);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    }
    // The drawing is made in device pixels, so that cells are sharp on a high-density screen;
    // these take its sizes and points to and from the widget's own.
    std::function<void(QSize)> resized;
    std::function<void(QPoint)> pointed;
    std::function<void()> doubleClicked;
    void UpdateLayer() { layer_->update(); }
    QSize DeviceSize() const { return (QSizeF(size()) * devicePixelRatioF()).toSize(); }
    QRectF FromDevice(const QRect& r) const {
        const qreal ratio = devicePixelRatioF();
        return {r.x() / ratio, r.y() / ratio, r.width() / ratio, r.height() / ratio};
    }
    void UpdateDevice(const QRect& r) { update(FromDevice(r).toAlignedRect()); }

protected:
    void paintEvent(QPaintEvent* event) override {
        // Only the cells drawn since the last paint: a drawing repaints one cell at a time.
        const QRect area = event->rect();
        QPainter p(this);
        p.fillRect(area, QBrush(Qt::black, Qt::DiagCrossPattern));
        const QImage& picture = drawing_.Picture();
        if (picture.size() != DeviceSize()) {
            // Moved to a screen of another density: drawn anew at its size.
            QMetaObject::invokeMethod(
                this, [this] { NotifyResized(); }, Qt::QueuedConnection);
            return;
        }
        const qreal ratio = devicePixelRatioF();
        p.drawImage(QRectF(area), picture,
                    QRectF(area.x() * ratio, area.y() * ratio, area.width() * ratio,
                           area.height() * ratio));
    }
    void resizeEvent(QResizeEvent*) override {
        layer_->setGeometry(rect());
        NotifyResized();
    }

private:
    void NotifyResized() {
        // Once per size: a drawing that cannot take it must not be asked again at every paint.
        const QSize size = DeviceSize();
        if (!resized || drawing_.Area() == size || size == requested_) return;
        requested_ = size;
        resized(size);
    }
    QSize requested_;
    class Layer : public QWidget {
    public:
        explicit Layer(ThumbnailCanvas* canvas) : QWidget(canvas), canvas_(canvas) {
            setAttribute(Qt::WA_TranslucentBackground);
        }

    protected:
        void paintEvent(QPaintEvent*) override {
            if (canvas_->drawing_.focusFrame.isEmpty()) return;
            const QRect frame = canvas_->FromDevice(canvas_->drawing_.focusFrame).toRect();
            // Black dots on white show on any picture, as an inverting frame would.
            QPainter p(this);
            p.setPen(QPen(Qt::white, 1));
            p.drawRect(frame);
            p.setPen(QPen(Qt::black, 1, Qt::DotLine));
            p.drawRect(frame);
        }
        void mouseMoveEvent(QMouseEvent* e) override {
            if (canvas_->pointed)
                canvas_->pointed((e->position() * canvas_->devicePixelRatioF()).toPoint());
        }
        void mouseDoubleClickEvent(QMouseEvent* e) override {
            if (e->button() == Qt::LeftButton && canvas_->doubleClicked) canvas_->doubleClicked();
        }

    private:
        ThumbnailCanvas* canvas_;
    };
    const ThumbnailDrawing& drawing_;
    Layer* layer_ = nullptr;
};

namespace {

QToolButton* Button(QWidget* parent, const char* name, const QString& text) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(text);
    return b;
}

} // namespace

TThumbnail::TThumbnail(Workspace& ws, QWidget* parent)
    : QDialog(parent, Qt::Window), ws_(ws), cache_(ThumbnailCache::ForUser()),
      drawing_([this](QImage& picture, const std::string& path, QSize cell, bool keepAspect) {
          switch (decoder_.Take(path, picture)) {
          case ThumbnailDecoder::State::Ready:
              return true;
          case ThumbnailDecoder::State::Failed:
              return false;
          default: // not decoded ahead: read here
              return ReadThumbnail(picture, path, cell, keepAspect, &cache_);
          }
      }),
      decoder_([this](QImage& picture, const std::string& path, QSize cell, bool keepAspect) {
          return ReadThumbnail(picture, path, cell, keepAspect, &cache_);
      }) {
    setObjectName("TThumbnail");
    setWindowTitle("Thumbnail");
    setModal(false);
    resize(362, 445);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(0, 0, 0, 0);
    order_ = new QButtonGroup(this);
    QToolButton* byColumn = Button(this, "SpeedButton1", QString::fromUtf8("\u2193"));
    byColumn->setToolTip("Fill column by column");
    QToolButton* byRow = Button(this, "SpeedButton2", QString::fromUtf8("\u2192"));
    byRow->setToolTip("Fill row by row");
    for (QToolButton* b : {byColumn, byRow}) {
        b->setCheckable(true);
        order_->addButton(b);
        top->addWidget(b);
    }
    byColumn->setChecked(true);
    dispCount_ = new QLineEdit("9", this);
    dispCount_->setObjectName("DispCount");
    dispCount_->setReadOnly(true);
    dispCount_->setAlignment(Qt::AlignRight);
    dispCount_->setFixedWidth(dispCount_->fontMetrics().horizontalAdvance("0000") + 12);
    top->addWidget(dispCount_);
    countUp_ = Button(this, "CountUp", "+");
    countDown_ = Button(this, "CountDown", "-");
    auto* actionUp = new QAction("+", this);
    actionUp->setObjectName("ActionCountup");
    auto* actionDown = new QAction("-", this);
    actionDown->setObjectName("ActionCountdown");
    countUp_->setDefaultAction(actionUp);
    countDown_->setDefaultAction(actionDown);
    top->addWidget(countUp_);
    top->addWidget(countDown_);
    keepAspect_ = new QCheckBox("Keep Aspect", this);
    keepAspect_->setObjectName("KeepAspect");
    keepAspect_->setChecked(true);
    top->addWidget(keepAspect_);
    top->addStretch();

    filename_ = new QLineEdit(this);
    filename_->setObjectName("Filename");
    filename_->setReadOnly(true);

    canvas_ = new ThumbnailCanvas(this, drawing_);
    auto* paging = new QVBoxLayout;
    paging->setContentsMargins(0, 0, 0, 0);
    paging->setSpacing(0);
    const struct {
        const char* name;
        const char* text;
        const char* hint;
        PagingButton button;
    } pagers[] = {
        {"SpeedButton4", "\u21c8", "Back half a page", PagingButton::BackHalf},
        {"SpeedButton5", "\u2191", "Back one line", PagingButton::BackLine},
        {"SpeedButton6", "\u2193", "Forward one line", PagingButton::ForwardLine},
        {"SpeedButton7", "\u21ca", "Forward half a page", PagingButton::ForwardHalf},
    };
    for (const auto& pager : pagers) {
        QToolButton* b = Button(this, pager.name, QString::fromUtf8(pager.text));
        b->setToolTip(pager.hint);
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
        b->setAutoRepeat(true);
        const PagingButton which = pager.button;
        connect(b, &QToolButton::clicked, this, [this, which] { Page(which); });
        paging->addWidget(b, 1);
    }
    auto* middle = new QHBoxLayout;
    middle->setContentsMargins(0, 0, 0, 0);
    middle->setSpacing(2);
    middle->addWidget(canvas_, 1);
    middle->addLayout(paging);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    layout->addLayout(top);
    layout->addWidget(filename_);
    layout->addLayout(middle, 1);

    pump_ = new QTimer(this);
    pump_->setSingleShot(true);
    pump_->setInterval(0);
    connect(pump_, &QTimer::timeout, this, &TThumbnail::Pump);
    begin_ = new QTimer(this);
    begin_->setSingleShot(true);
    begin_->setInterval(0);
    connect(begin_, &QTimer::timeout, this, &TThumbnail::BeginDrawing);
    // A worker finished a cell: wake the drawing on this thread.
    decoder_.SetNotify([this] {
        QMetaObject::invokeMethod(
            this, [this] { pump_->start(); }, Qt::QueuedConnection);
    });

    connect(actionUp, &QAction::triggered, this, &TThumbnail::CountUpClick);
    connect(actionDown, &QAction::triggered, this, &TThumbnail::CountDownClick);
    connect(keepAspect_, &QCheckBox::toggled, this, &TThumbnail::FullRedraw);
    connect(order_, &QButtonGroup::buttonClicked, this, [this] {
        drawing_.moveFocusFrame = true;
        Draw();
    });
    canvas_->resized = [this](QSize size) {
        drawing_.Resize(size);
        UpdateCountButtons();
        if (isVisible()) FullRedraw();
    };
    canvas_->pointed = [this](QPoint at) { PointAt(at); };
    canvas_->doubleClicked = [this] { OpenPointed(); };
    UpdateCountButtons();
}

TThumbnail::~TThumbnail() {
    decoder_.Cancel();
}

FillOrder TThumbnail::Order() const {
    return order_->checkedButton() && order_->checkedButton()->objectName() == "SpeedButton2"
               ? FillOrder::RowByRow
               : FillOrder::ColumnByColumn;
}

bool TThumbnail::Busy() const {
    return drawRequested_ || drawing_.Running();
}

void TThumbnail::Draw() {
    if (!isVisible()) return;
    drawRequested_ = true;
    begin_->start();
}

void TThumbnail::BeginDrawing() {
    if (!drawRequested_ || !isVisible()) return;
    drawRequested_ = false;
    const EntryList& list = ws_.lists.reference;
    const Drawn now{list.SelectedRow(), requested_, list.Count(), Order()};
    if (now == drawn_) return; // that drawing is done or under way
    drawn_ = now;
    drawing_.Begin(list, requested_, Order(), keepAspect_->isChecked());
    dispCount_->setText(QString::number(drawing_.Capacity()));
    decoder_.Start(drawing_.PathsToRead(), drawing_.CellSize(), keepAspect_->isChecked());
    pump_->start();
}

bool TThumbnail::StepOnce() {
    if (!drawing_.Running()) return false;
    if (const std::string* next = drawing_.NextRead();
        next && decoder_.Peek(*next) == ThumbnailDecoder::State::Pending)
        return false; // the worker's result wakes the drawing
    const QRect frame = drawing_.focusFrame;
    const bool more = drawing_.Step();
    canvas_->UpdateDevice(drawing_.lastCell);
    if (drawing_.focusFrame != frame) canvas_->UpdateLayer();
    if (!more) decoder_.Cancel();
    return more;
}

void TThumbnail::Pump() {
    // One cell per turn of the event loop: a newer selection is seen before the next cell.
    if (StepOnce()) pump_->start();
}

void TThumbnail::FinishDrawing() {
    if (drawRequested_) BeginDrawing();
    while (drawing_.Running()) {
        if (const std::string* next = drawing_.NextRead()) decoder_.WaitFor(*next);
        StepOnce();
    }
}

void TThumbnail::FullRedraw() {
    decoder_.Cancel();
    drawing_.Reset();
    drawn_ = {};
    canvas_->update();
    canvas_->UpdateLayer();
    Draw();
}

void TThumbnail::Forget(const std::string& path) {
    drawing_.Forget(path);
    drawn_ = {};
    Draw();
}

void TThumbnail::ForgetAll() {
    decoder_.Cancel();
    drawing_.ForgetAll();
    drawn_ = {};
    drawRequested_ = false;
}

void TThumbnail::PointAt(QPoint at) {
    if (const Thumlist* record = drawing_.RecordAt(at)) {
        pointed_ = record->path;
        filename_->setText(QString::fromStdString(record->path));
    } else {
        filename_->clear();
    }
}

void TThumbnail::OpenPointed() {
    if (pointed_.empty() || !viewer_) return;
    QImage picture;
    if (ReadPicture(picture, pointed_) != 0 || picture.isNull()) return;
    viewer_->SetPath(pointed_);
    viewer_->setWindowTitle(QString::fromStdString(pointed_));
    viewer_->show();
    viewer_->ShowPicture(picture);
    viewer_->raise();
}

void TThumbnail::Page(PagingButton button) {
    const int n = PagingStep(button, requested_, drawing_.Grid(), Order());
    if (n != 0 && moveSelection_) moveSelection_(n);
}

void TThumbnail::SetCount(int capacity) {
    requested_ = capacity;
    dispCount_->setText(QString::number(capacity));
    UpdateCountButtons();
    FullRedraw();
}

void TThumbnail::CountUpClick() {
    if (CountUpEnabled(requested_)) SetCount(CountUp(requested_, drawing_.Area()));
}

void TThumbnail::CountDownClick() {
    if (CountDownEnabled(requested_, drawing_.Area()))
        SetCount(CountDown(requested_, drawing_.Area()));
}

void TThumbnail::UpdateCountButtons() {
    countUp_->defaultAction()->setEnabled(CountUpEnabled(requested_));
    countDown_->defaultAction()->setEnabled(CountDownEnabled(requested_, drawing_.Area()));
}

void TThumbnail::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    requested_ = std::max(1, dispCount_->text().toInt());
    if (drawing_.Area() != canvas_->DeviceSize()) drawing_.Resize(canvas_->DeviceSize());
    UpdateCountButtons();
    FullRedraw();
    emit shownChanged(true);
}

void TThumbnail::hideEvent(QHideEvent* event) {
    QDialog::hideEvent(event);
    decoder_.Cancel();
    drawRequested_ = false;
    // A drawing cut short by hiding is redone at the next showing.
    if (drawing_.Running()) drawn_ = {};
    emit shownChanged(false);
}

} // namespace lumidex
