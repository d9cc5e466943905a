#include "TPView.h"

#include "RecordingFrame.h"
#include "TSizeableRectShape.h"
#include "TempDir.h"
#include "TestPictures.h"
#include "Workspace.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace lumidex;
using namespace lumidex::test;

namespace {

// One application for the process, never destroyed: Qt's own statics outlive the tests.
void App() {
    static int argc = 1;
    static char name[] = "catalogue_ui_test";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance()) new QApplication(argc, argv);
}

// Made before the window members of the fixture.
struct ApplicationFirst {
    ApplicationFirst() { App(); }
};

struct RegionWindow : ApplicationFirst, ::testing::Test {
    RecordingFrame frame;
    TempDir home, dir;
    Workspace ws{frame, home.path()};
    std::string path = WritePng(dir.File("scene.png"), PhotoLikePicture(300, 250, 2));
    Pdata entry{path};
    TPView view{ws};
    template <typename T> T* Control(const char* name) {
        T* c = view.findChild<T*>(name);
        EXPECT_NE(c, nullptr) << name;
        return c;
    }
    QListWidget* List() { return Control<QListWidget>("ListBox1"); }
    QString Corners() { return Control<QLabel>("StaticText1")->text(); }
};

} // namespace

TEST_F(RegionWindow, OpensOnTheEntrysPictureWithStoredRectanglesClamped) {
    entry.AddRegion(1, 2, {-50, -40, 900, 200});
    ASSERT_TRUE(view.Open(entry));
    view.show();
    EXPECT_EQ(view.windowTitle(), "Sub Index Manager");
    EXPECT_EQ(Control<QWidget>("Image1")->size(), QSize(300, 250));
    ASSERT_EQ(List()->count(), 1);
    EXPECT_EQ(List()->item(0)->text(), "Area 1");
    EXPECT_EQ(view.RectangleArea(), (Area{0, 0, 300, 200}));
    EXPECT_EQ(Corners(), "(0,0)-(300,200)");
    EXPECT_TRUE(Control<QPushButton>("DeleteButton")->isEnabled());
    EXPECT_TRUE(Control<QPushButton>("AddButton")->isEnabled());
}

TEST_F(RegionWindow, AddDeleteAndClose) {
    bool closed = false, changedOnClose = false;
    view.onClosed = [&](bool changed) {
        closed = true;
        changedOnClose = changed;
    };
    ASSERT_TRUE(view.Open(entry));
    view.show();
    EXPECT_EQ(view.RectangleArea(), (Area{165, 165, 330, 330}));
    EXPECT_FALSE(Control<QPushButton>("DeleteButton")->isEnabled());

    QTest::mouseClick(Control<QPushButton>("AddButton"), Qt::LeftButton); // clipped to 135 x 85
    view.SetRectangleArea({20, 30, 120, 100});
    QTest::mouseClick(Control<QPushButton>("AddButton"), Qt::LeftButton);
    ASSERT_EQ(entry.RegionCount(), 2);
    EXPECT_EQ(entry.RegionAt(0).area, (Area{165, 165, 300, 250}));
    EXPECT_EQ(List()->count(), 2);
    EXPECT_EQ(List()->currentRow(), 1);
    EXPECT_EQ(Corners(), "(20,30)-(120,100)");
    EXPECT_TRUE(view.Changed());

    List()->setCurrentRow(0);
    EXPECT_EQ(Corners(), "(165,165)-(300,250)");
    QTest::mouseClick(Control<QPushButton>("DeleteButton"), Qt::LeftButton);
    ASSERT_EQ(entry.RegionCount(), 1);
    EXPECT_EQ(List()->currentRow(), 0);
    EXPECT_EQ(Corners(), "(20,30)-(120,100)");
    QTest::mouseClick(Control<QPushButton>("DeleteButton"), Qt::LeftButton);
    EXPECT_EQ(entry.RegionCount(), 0);
    EXPECT_EQ(List()->count(), 0);
    EXPECT_FALSE(Control<QPushButton>("DeleteButton")->isEnabled());

    QTest::mouseClick(Control<QPushButton>("Cancel"), Qt::LeftButton);
    EXPECT_TRUE(closed);
    EXPECT_TRUE(changedOnClose);
    EXPECT_EQ(view.EditedEntry(), nullptr);
}

TEST_F(RegionWindow, ClosingWithoutChangesSaysSo) {
    bool changedOnClose = true;
    view.onClosed = [&](bool changed) { changedOnClose = changed; };
    ASSERT_TRUE(view.Open(entry));
    view.show();
    view.reject();
    EXPECT_FALSE(changedOnClose);
    EXPECT_FALSE(ws.DataChanged);
}

TEST_F(RegionWindow, DraggingTheRectangleAndTheSmallestRegion) {
    ASSERT_TRUE(view.Open(entry));
    view.show();
    auto* rect = Control<TSizeableRectShape>("SizeableRectShape1");
    view.SetRectangleArea({40, 40, 140, 140});
    // Inside: moves; bottom-right corner: resizes.
    QTest::mousePress(rect, Qt::LeftButton, {}, QPoint(50, 50));
    QTest::mouseMove(rect, QPoint(60, 45));
    QTest::mouseRelease(rect, Qt::LeftButton, {}, QPoint(60, 45));
    EXPECT_EQ(view.RectangleArea(), (Area{50, 35, 150, 135}));
    QTest::mousePress(rect, Qt::LeftButton, {}, QPoint(98, 98));
    QTest::mouseMove(rect, QPoint(10, 8));
    QTest::mouseRelease(rect, Qt::LeftButton, {}, QPoint(10, 8));
    EXPECT_EQ(view.RectangleArea(), (Area{50, 35, 62, 45}));
    EXPECT_FALSE(Control<QPushButton>("AddButton")->isEnabled());
}

TEST_F(RegionWindow, SnappingButtonsMoveOneSide) {
    entry.path = WritePng(dir.File("flat.png"), UniformPicture(300, 250, qRgb(10, 20, 30)));
    ASSERT_TRUE(view.Open(entry));
    view.show();
    view.SetRectangleArea({40, 40, 140, 140});
    QTest::mouseClick(Control<QToolButton>("SpeedButton1"), Qt::LeftButton);
    EXPECT_EQ(view.RectangleArea(), (Area{40, 0, 140, 140}));
    QTest::mouseClick(Control<QToolButton>("SpeedButton4"), Qt::LeftButton);
    EXPECT_EQ(view.RectangleArea(), (Area{40, 0, 300, 140}));
    QTest::mouseClick(Control<QToolButton>("SpeedButton5"), Qt::LeftButton);
    EXPECT_EQ(view.RectangleArea(), (Area{40, 0, 300, 140}));
}

TEST_F(RegionWindow, AnUnreadablePictureIsReported) {
    entry.path = dir.Write("broken.png", std::string(2000, 'x'));
    EXPECT_FALSE(view.Open(entry));
    ASSERT_FALSE(frame.logged.empty());
    EXPECT_EQ(frame.logged.back(), "Read failed," + entry.path);
}
