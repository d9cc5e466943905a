#include "Regions.h"

#include "Frame.h"
#include "TestPictures.h"

#include <gtest/gtest.h>

using namespace lumidex;
using namespace lumidex::test;

namespace lumidex {
void PrintTo(const Area& a, std::ostream* out) {
    *out << CornerText(a);
}
} // namespace lumidex

namespace {

// 120 x 100 grey with a black-and-white checked block over x 40..79, y 30..69.
QImage Block() {
    return MakePicture(120, 100, [](int x, int y) {
        if (x >= 40 && x < 80 && y >= 30 && y < 70)
            return (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
        return qRgb(128, 128, 128);
    });
}

} // namespace

TEST(Regions, EdgeSnapping) {
    const QImage block = Block(), flat = UniformPicture(120, 100, qRgb(50, 60, 70));
    const Area around{20, 10, 100, 90};
    struct Case {
        const char* what;
        const QImage* picture;
        Area rect;
        SnapButton button;
        int sensitivity;
        Area expected;
    };
    const Case cases[] = {
        {"top inward to the block", &block, around, SnapButton::TopInward, 1, {20, 30, 100, 90}},
        {"top inward, TrackBar1 at 0", &block, around, SnapButton::TopInward, 0, {20, 30, 100, 90}},
        {"top inward, TrackBar1 at most",
         &block,
         around,
         SnapButton::TopInward,
         5,
         {20, 30, 100, 90}},
        {"bottom inward", &block, around, SnapButton::BottomInward, 1, {20, 10, 100, 69}},
        {"left inward", &block, around, SnapButton::LeftInward, 1, {40, 10, 100, 90}},
        {"right inward", &block, around, SnapButton::RightInward, 1, {20, 10, 79, 90}},
        {"top outward leaves the block",
         &block,
         {45, 50, 75, 65},
         SnapButton::TopOutward,
         1,
         {45, 29, 75, 65}},
        {"top outward at the top does nothing",
         &block,
         {20, 0, 100, 90},
         SnapButton::TopOutward,
         1,
         {20, 0, 100, 90}},
        {"a move under 17 pixels is refused",
         &block,
         {20, 10, 100, 40},
         SnapButton::TopInward,
         1,
         {20, 10, 100, 40}},
        {"outward without a boundary: to the top",
         &flat,
         {20, 40, 60, 80},
         SnapButton::TopOutward,
         1,
         {20, 0, 60, 80}},
        {"outward without a boundary: to the bottom",
         &flat,
         {20, 40, 60, 80},
         SnapButton::BottomOutward,
         1,
         {20, 40, 60, 100}},
        {"outward without a boundary: to the left",
         &flat,
         {20, 40, 60, 80},
         SnapButton::LeftOutward,
         1,
         {0, 40, 60, 80}},
        {"outward without a boundary: to the right",
         &flat,
         {20, 40, 60, 80},
         SnapButton::RightOutward,
         1,
         {20, 40, 120, 80}},
        {"inward without a boundary changes nothing",
         &flat,
         {20, 40, 60, 80},
         SnapButton::LeftInward,
         1,
         {20, 40, 60, 80}},
        // Beyond the picture: rows and columns outside are never read.
        {"bottom inward from below the picture",
         &block,
         {-30, -20, 150, 130},
         SnapButton::BottomInward,
         1,
         {-30, -20, 150, 69}},
        {"bottom outward from below the picture does nothing",
         &block,
         {-30, -20, 150, 130},
         SnapButton::BottomOutward,
         1,
         {-30, -20, 150, 130}},
        {"right outward at the right edge does nothing",
         &block,
         {20, 10, 120, 90},
         SnapButton::RightOutward,
         1,
         {20, 10, 120, 90}},
        {"lines without samples are left out",
         &block,
         {-50, 10, -10, 90},
         SnapButton::TopInward,
         1,
         {-50, 10, -10, 90}},
    };
    for (const Case& c : cases) {
        SnapWork work;
        EXPECT_EQ(SnapEdge(*c.picture, c.rect, c.button, c.sensitivity, 5, &work), c.expected)
            << c.what;
        EXPECT_EQ(work.variances.size(), work.distances.size());
    }
}

TEST(Regions, SnapWorkHoldsOneValuePerLineInThePicture) {
    SnapWork work;
    SnapEdge(Block(), {-30, 90, 150, 130}, SnapButton::BottomInward, 1, 5, &work);
    EXPECT_EQ(work.variances.size(), 10u); // rows 99 .. 90
}

TEST(Regions, Zones) {
    struct Case {
        int x, y;
        Zone expected;
    };
    const Case cases[] = {
        {50, 40, Zone::Inside},  {2, 40, Zone::Left},       {95, 40, Zone::Right},
        {50, 9, Zone::Top},      {50, 70, Zone::Bottom},    {0, 0, Zone::TopLeft},
        {99, 0, Zone::TopRight}, {0, 79, Zone::BottomLeft}, {99, 79, Zone::BottomRight},
        {10, 10, Zone::Inside},  {100, 40, Zone::Outside},  {-1, 40, Zone::Outside},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ZoneAt(100, 80, c.x, c.y, 10), c.expected) << c.x << "," << c.y;
}

TEST(Regions, DraggingKeepsOnePixel) {
    const Area start{10, 10, 50, 40};
    EXPECT_EQ(DragZone(start, Zone::Inside, 5, -3), (Area{15, 7, 55, 37}));
    EXPECT_EQ(DragZone(start, Zone::BottomRight, 7, 2), (Area{10, 10, 57, 42}));
    EXPECT_EQ(DragZone(start, Zone::Left, 100, 0), (Area{49, 10, 50, 40}));
    EXPECT_EQ(DragZone(start, Zone::Top, 0, 100), (Area{10, 39, 50, 40}));
    EXPECT_EQ(DragZone(start, Zone::TopLeft, -5, -5), (Area{5, 5, 50, 40}));
}

TEST(Regions, MagnifierSquareAndHatching) {
    MagnifierSource m = MagnifierSquare(50, 40, 200, 100);
    EXPECT_EQ(m.square, (Area{40, 30, 60, 50}));
    EXPECT_EQ(m.hatchLeft + m.hatchTop + m.hatchRight + m.hatchBottom, 0);
    m = MagnifierSquare(3, 96, 200, 100);
    EXPECT_DOUBLE_EQ(m.hatchLeft, 0.7);
    EXPECT_DOUBLE_EQ(m.hatchBottom, 0.6);
    EXPECT_EQ(m.hatchTop, 0);
    m = MagnifierSquare(198, 0, 200, 100);
    EXPECT_DOUBLE_EQ(m.hatchRight, 0.8);
    EXPECT_DOUBLE_EQ(m.hatchTop, 1.0);
}

TEST(Regions, StoredRectanglesAreClampedToThePicture) {
    EXPECT_EQ(ClampToPicture({10, 20, 30, 40}, 100, 100), (Area{10, 20, 30, 40}));
    EXPECT_EQ(ClampToPicture({-10, -20, 300, 400}, 100, 80), (Area{0, 0, 100, 80}));
    EXPECT_EQ(ClampToPicture({150, 90, 120, 10}, 100, 80), (Area{100, 80, 100, 80}));
    EXPECT_EQ(ClampToPicture({INT32_MIN, 5, INT32_MAX, 6}, 100, 80), (Area{0, 5, 100, 6}));
}

TEST(Regions, AddingAndDeleting) {
    NullFrame frame;
    const QImage picture = PhotoLikePicture(120, 100, 4);
    Pdata entry("x");
    EXPECT_EQ(AddRegion(picture, entry, {-20, 50, 40, 130}, frame), 1);
    EXPECT_EQ(entry.RegionAt(0).area, (Area{0, 50, 40, 100}));           // stored clipped
    EXPECT_EQ(AddRegion(picture, entry, {110, 10, 200, 60}, frame), -1); // 10 wide once clipped
    EXPECT_EQ(AddRegion(picture, entry, {10, 10, 60, 60}, frame), 2);
    EXPECT_EQ(RegionNames(entry), (std::vector<std::string>{"Area 1", "Area 2"}));
    EXPECT_EQ(CornerText(entry.RegionAt(1).area), "(10,10)-(60,60)");
    EXPECT_FALSE(DeleteRegion(entry, 2));
    EXPECT_TRUE(DeleteRegion(entry, 0));
    EXPECT_EQ(entry.RegionAt(0).area, (Area{10, 10, 60, 60}));
    EXPECT_TRUE(DeleteRegion(entry, 0));
    EXPECT_EQ(entry.RegionCount(), 0);
    EXPECT_TRUE(RegionNames(entry).empty());
}
