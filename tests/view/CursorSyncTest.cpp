#include "view/CursorSync.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <utility>

namespace korvane {
namespace {

// Both cursors where the mapping last left them.
CursorSyncState stateAt(double x1, double y1, double x2, double y2, float scaleX = 1, float scaleY = 1) {
    CursorSyncState s;
    s.CursorScaleX = scaleX;
    s.CursorScaleY = scaleY;
    s.cur1Left = x1;
    s.cur1Top = y1;
    s.cur2Left = x2;
    s.cur2Top = y2;
    s.OldX1 = static_cast<std::int32_t>(x1);
    s.OldY1 = static_cast<std::int32_t>(y1);
    s.OldX2 = static_cast<std::int32_t>(x2);
    s.OldY2 = static_cast<std::int32_t>(y2);
    return s;
}

TEST(CursorMapping, DragOnPicture2DividesAndRoundsEachStepToEven) {
    CursorSyncState s = stateAt(100, 50, 300, 70, 2, 1);
    DragOnPicture2(s, 303, 70, false);
    EXPECT_EQ(s.cur1Left, 102);  // nearest(101.5)
    EXPECT_EQ(s.OldX1, 102);
    EXPECT_EQ(s.cur1Top, 50);
    EXPECT_EQ(s.cur2Left, 303);
    EXPECT_EQ(s.OldX2, 303);
    DragOnPicture2(s, 306, 70, false);
    EXPECT_EQ(s.cur1Left, 104);  // nearest(103.5)

    CursorSyncState t = stateAt(101, 50, 300, 70, 2, 1);
    DragOnPicture2(t, 303, 70, false);
    EXPECT_EQ(t.cur1Left, 102);  // nearest(102.5)
}

TEST(CursorMapping, DragOnPicture1MultipliesFromWhereCursor2Stands) {
    CursorSyncState s = stateAt(100, 100, 40, 60, 2, 0.5f);
    DragOnPicture1(s, 110, 103, false);
    EXPECT_EQ(s.cur1Left, 110);
    EXPECT_EQ(s.cur1Top, 103);
    EXPECT_EQ(s.cur2Left, 60);
    EXPECT_EQ(s.cur2Top, 62);  // nearest(61.5)
    EXPECT_EQ(s.OldX2, 60);
    EXPECT_EQ(s.OldY2, 62);
    EXPECT_EQ(s.OldX1, 110);
    EXPECT_EQ(s.OldY1, 103);
}

TEST(CursorMapping, ResetScaleLinesCursor2UpWithCursor1) {
    CursorSyncState s = stateAt(150, 60, 400, 300, 2.5f, 3);
    ResetScale(s);
    EXPECT_EQ(s.CursorScaleX, 1);
    EXPECT_EQ(s.CursorScaleY, 1);
    EXPECT_EQ(s.cur2Left, 150);
    EXPECT_EQ(s.cur2Top, 60);
    EXPECT_EQ(s.OldX2, 400);  // remembered positions are left alone
    EXPECT_EQ(s.OldY2, 300);
    for (auto [x, y] : {std::pair{157, 55}, std::pair{20, 900}}) {
        DragOnPicture1(s, x, y, false);
        EXPECT_EQ(s.cur2Left, x);
        EXPECT_EQ(s.cur2Top, y);
    }
}

TEST(CursorMapping, AxisScale) {
    constexpr auto kMin = std::numeric_limits<std::int32_t>::min();
    constexpr auto kMax = std::numeric_limits<std::int32_t>::max();
    const struct {
        std::int32_t a1, b1, a2, b2;
        float scale;
    } cases[] = {
        {100, 600, 130, 1130, 2},
        {600, 100, 1130, 130, 2},  // direction does not matter
        {100, 600, 1130, 130, 2},
        {0, 3, 0, 1, static_cast<float>(1.0 / 3.0)},
        {100, 100, 130, 1130, 1},  // coincident on picture 1
        {100, 600, 130, 130, 1},   // coincident on picture 2
        {kMin, kMax, 0, 1, static_cast<float>(1.0 / 4294967295.0)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AxisScale(c.a1, c.b1, c.a2, c.b2), c.scale)
            << c.a1 << ' ' << c.b1 << ' ' << c.a2 << ' ' << c.b2;
    }
}

// Drags while the wizard is open and its worked example are proven through the window.
TEST(ScaleWizard, CoincidentAxisKeepsScaleOneAndPairsAreRounded) {
    CursorSyncState s = stateAt(100.5, 80, 130, 95, 3, 3);
    ScaleWizard wizard;
    wizard.recordFirstPair(s);  // x1a = nearest(100.5) = 100
    s.cur1Left = 99.5;          // nearest(99.5) = 100: the same x on picture 1
    s.cur1Top = 480;
    s.cur2Left = 730;
    s.cur2Top = 1295;
    wizard.finish(s);
    EXPECT_EQ(s.CursorScaleX, 1);
    EXPECT_EQ(s.CursorScaleY, 3);

    // Done without a first pair measures nothing.
    ScaleWizard fresh;
    s.CursorScaleX = 0.5f;
    fresh.finish(s);
    EXPECT_EQ(s.CursorScaleX, 0.5f);
}

}  // namespace
}  // namespace korvane
