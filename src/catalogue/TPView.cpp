#include "TPView.h"

#include "PictureReader.h"
#include "TSizeableRectShape.h"
#include "Workspace.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace lumidex {

// The picture at its own size; reports the pointer for the magnifier.
class PictureCanvas : public QWidget {
public:
    explicit PictureCanvas(QWidget* parent) : QWidget(parent) {
        setMouseTracking(true);
        setCursor(Qt::CrossCursor);
    }
    void SetPicture(const QImage* picture) {
        picture_ = picture;
        setFixedSize(picture->size());
        update();
    }
    std::function<void(int, int)> onPointer;

protected:
    void paintEvent(QPaintEvent*) override {
        if (!picture_) return;
        QPainter p(this);
        p.drawImage(0, 0, *picture_);
    }
    void mouseMoveEvent(QMouseEvent* e) override {
        if (onPointer) onPointer(e->position().toPoint().x(), e->position().toPoint().y());
    }

private:
    const QImage* picture_ = nullptr;
};

// The 104 x 104 magnifier: the square around the pointer, hatched where it leaves the picture.
class Magnifier : public QWidget {
public:
    static constexpr int kSide = 104;
    explicit Magnifier(QWidget* parent) : QWidget(parent) { setFixedSize(kSide, kSide); }
    void Show(const QImage& picture, int x, int y) {
        source_ = MagnifierSquare(x, y, picture.width(), picture.height());
        const Area& s = source_.square;
        square_ = picture.copy(s.left, s.top, s.right - s.left, s.bottom - s.top);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::black);
        if (!square_.isNull()) p.drawImage(rect(), square_);
        const int half = kSide / 2;
        const QBrush hatch(Qt::gray, Qt::DiagCrossPattern);
        auto part = [](double f) { return static_cast<int>(f * kSide / 2); };
        p.fillRect(0, 0, part(source_.hatchLeft), kSide, hatch);
        p.fillRect(0, 0, kSide, part(source_.hatchTop), hatch);
        p.fillRect(kSide - part(source_.hatchRight), 0, part(source_.hatchRight), kSide, hatch);
        p.fillRect(0, kSide - part(source_.hatchBottom), kSide, part(source_.hatchBottom), hatch);
        p.setPen(QPen(QColor(255, 0, 0), 1));
        p.drawLine(half, 0, half, kSide);
        p.drawLine(0, half, kSide, half);
    }

private:
    MagnifierSource source_;
    QImage square_;
};

namespace {

QToolButton* Arrow(QWidget* parent, const char* name, Qt::ArrowType arrow) {
    auto* b = new QToolButton(parent);
    b->setObjectName(name);
    b->setArrowType(arrow);
    b->setAutoRaise(true);
    b->setFixedSize(22, 18);
    return b;
}

} // namespace

TPView::TPView(Workspace& ws, QWidget* parent) : QDialog(parent), ws_(ws) {
    setObjectName("PView");
    setWindowTitle("Sub Index Manager");
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setMinimumSize(400, 560);
    resize(560, 580);

    scrollBox1_ = new QScrollArea(this);
    scrollBox1_->setObjectName("ScrollBox1");
    image1_ = new PictureCanvas(scrollBox1_);
    image1_->setObjectName("Image1");
    scrollBox1_->setWidget(image1_);
    rect_ = new TSizeableRectShape(image1_);
    rect_->setObjectName("SizeableRectShape1");
    rect_->SetGripBand(10);
    rect_->onReleased = [this] { SizeableRectShape1MouseUp(); };
    image1_->onPointer = [this](int x, int y) { PointerMoved(x, y); };

    auto* panel3 = new QWidget(this);
    panel3->setObjectName("Panel3");
    auto* panelLayout = new QVBoxLayout(panel3);
    panelLayout->setContentsMargins(0, 0, 0, 0);
    image2_ = new Magnifier(panel3);
    image2_->setObjectName("Image2");
    panelLayout->addWidget(image2_);

    // The square standing for the rectangle, with two arrows at each side.
    auto* snap = new QWidget(this);
    auto* grid = new QGridLayout(snap);
    grid->setSpacing(0);
    grid->setContentsMargins(0, 0, 0, 0);
    auto* shape3 = new QLabel(snap);
    shape3->setObjectName("Shape3");
    shape3->setFixedSize(44, 44);
    shape3->setFrameStyle(QFrame::Box | QFrame::Plain);
    struct Place {
        const char* name;
        SnapButton button;
        Qt::ArrowType arrow;
        int row, column;
    };
    const Place places[] = {
        {"SpeedButton1", SnapButton::TopOutward, Qt::UpArrow, 0, 2},
        {"SpeedButton2", SnapButton::TopInward, Qt::DownArrow, 1, 2},
        {"SpeedButton7", SnapButton::BottomInward, Qt::UpArrow, 3, 2},
        {"SpeedButton8", SnapButton::BottomOutward, Qt::DownArrow, 4, 2},
        {"SpeedButton6", SnapButton::LeftOutward, Qt::LeftArrow, 2, 0},
        {"SpeedButton5", SnapButton::LeftInward, Qt::RightArrow, 2, 1},
        {"SpeedButton3", SnapButton::RightInward, Qt::LeftArrow, 2, 3},
        {"SpeedButton4", SnapButton::RightOutward, Qt::RightArrow, 2, 4},
    };
    grid->addWidget(shape3, 2, 2, Qt::AlignCenter);
    for (const Place& p : places) {
        QToolButton* b = Arrow(snap, p.name, p.arrow);
        const SnapButton which = p.button;
        connect(b, &QToolButton::clicked, this, [this, which] { SpeedButtonClick(which); });
        grid->addWidget(b, p.row, p.column, Qt::AlignCenter);
    }
    trackBar1_ = new QSlider(Qt::Horizontal, this);
    trackBar1_->setObjectName("TrackBar1");
    trackBar1_->setRange(0, 5);
    trackBar1_->setValue(1);
    trackBar1_->setTickPosition(QSlider::TicksBelow);
    auto* snapColumn = new QVBoxLayout;
    snapColumn->addWidget(snap, 0, Qt::AlignHCenter);
    snapColumn->addWidget(trackBar1_);

    listBox1_ = new QListWidget(this);
    listBox1_->setObjectName("ListBox1");
    connect(listBox1_, &QListWidget::itemSelectionChanged, this, [this] { ListBox1Click(); });
    staticText1_ = new QLabel(this);
    staticText1_->setObjectName("StaticText1");
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(listBox1_);
    listColumn->addWidget(staticText1_);

    addButton_ = new QPushButton("Add", this);
    addButton_->setObjectName("AddButton");
    deleteButton_ = new QPushButton("Delete", this);
    deleteButton_->setObjectName("DeleteButton");
    auto* cancel = new QPushButton("Close", this);
    cancel->setObjectName("Cancel");
    connect(addButton_, &QPushButton::clicked, this, [this] { AddButtonClick(); });
    connect(deleteButton_, &QPushButton::clicked, this, [this] { DeleteButtonClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(addButton_);
    buttons->addWidget(deleteButton_);
    buttons->addStretch();
    buttons->addWidget(cancel);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(panel3, 0, Qt::AlignTop);
    bottom->addLayout(snapColumn);
    bottom->addLayout(listColumn, 1);
    bottom->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scrollBox1_, 1);
    layout->addLayout(bottom);
}

bool TPView::Open(Pdata& entry) {
    QImage picture;
    if (ReadPicture(picture, entry.path) != 0) {
        ws_.LogMessage("Read failed," + entry.path);
        return false;
    }
    entry_ = &entry;
    picture_ = std::move(picture);
    image1_->SetPicture(&picture_);
    addButton_->setEnabled(true);
    scrollBox1_->ensureVisible(0, 0);
    SetRectangleArea({165, 165, 330, 330});
    staticText1_->clear();
    FillList();
    if (entry.RegionCount() > 0) listBox1_->setCurrentRow(0);
    ListBox1Click();
    changed_ = false;
    return true;
}

Area TPView::RectangleArea() const {
    const QRect g = rect_->geometry();
    return {g.left(), g.top(), g.left() + g.width(), g.top() + g.height()};
}

void TPView::SetRectangleArea(const Area& a) {
    rect_->setGeometry(a.left, a.top, std::max(1, a.right - a.left), std::max(1, a.bottom - a.top));
}

void TPView::FillList() {
    listBox1_->clear();
    if (!entry_) return;
    for (const std::string& name : RegionNames(*entry_))
        listBox1_->addItem(QString::fromStdString(name));
}

void TPView::ShowRegion(int index) {
    // A file may hold any rectangle: it is drawn inside the picture.
    const Area a =
        ClampToPicture(entry_->RegionAt(index).area, picture_.width(), picture_.height());
    SetRectangleArea(a);
    staticText1_->setText(QString::fromStdString(CornerText(RectangleArea())));
}

void TPView::ListBox1Click() {
    const int row = listBox1_->currentRow();
    const bool selected =
        entry_ && row >= 0 && row < entry_->RegionCount() && !listBox1_->selectedItems().isEmpty();
    deleteButton_->setEnabled(selected);
    if (selected) ShowRegion(row);
}

void TPView::SizeableRectShape1MouseUp() {
    const Area a = ClampToPicture(RectangleArea(), picture_.width(), picture_.height());
    addButton_->setEnabled(a.right - a.left > 15 && a.bottom - a.top > 15);
}

void TPView::AddButtonClick() {
    if (!entry_) return;
    const int count = AddRegion(picture_, *entry_, RectangleArea(), ws_.frame());
    if (count < 0) return;
    listBox1_->addItem(QString::fromStdString("Area " + std::to_string(count)));
    listBox1_->setCurrentRow(count - 1);
    ListBox1Click();
    changed_ = true;
}

void TPView::DeleteButtonClick() {
    const int row = listBox1_->currentRow();
    if (!entry_ || !DeleteRegion(*entry_, row)) return;
    changed_ = true;
    FillList();
    if (entry_->RegionCount() > 0) listBox1_->setCurrentRow(0);
    ListBox1Click();
}

void TPView::SpeedButtonClick(SnapButton button) {
    if (picture_.isNull()) return;
    SetRectangleArea(SnapEdge(picture_, RectangleArea(), button, trackBar1_->value(),
                              trackBar1_->maximum(), &snapWork_));
}

void TPView::PointerMoved(int x, int y) {
    image2_->Show(picture_, x, y);
}

void TPView::EntryRemoved(const Pdata* entry) {
    if (!entry_ || (entry && entry != entry_)) return;
    entry_ = nullptr;
    changed_ = false; // the regions went with their entry
    listBox1_->clear();
    addButton_->setEnabled(false);
    deleteButton_->setEnabled(false);
    QTimer::singleShot(0, this, [this] {
        if (isVisible()) reject();
    });
}

void TPView::done(int result) {
    const bool changed = changed_;
    entry_ = nullptr; // the window holds the entry only while it is shown
    listBox1_->clear();
    QDialog::done(result);
    if (onClosed) onClosed(changed);
}

} // namespace lumidex
