#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "view/tools/CalibrationTool.h"
#include "view/tools/ColourPickTool.h"
#include "view/tools/CursorDragTool.h"
#include "view/tools/FillTool.h"

namespace korvane {
namespace {

TEST(MouseTools, ColourPickTakesOnePressOnlyWhileArmed) {
    ColourPickTool pick;
    int reads = 0;
    const auto pixel = [&reads] {
        ++reads;
        return std::int32_t{4210752};
    };
    EXPECT_EQ(pick.press(pixel), std::nullopt) << "not armed: the press is only a cursor move";
    EXPECT_EQ(reads, 0);
    pick.arm();
    EXPECT_EQ(pick.press(pixel), std::optional<std::int32_t>(4210752));
    EXPECT_FALSE(pick.armed());
    EXPECT_EQ(pick.press(pixel), std::nullopt) << "the pick is over after one press";
    EXPECT_EQ(reads, 1);
}

TEST(MouseTools, FillGoesToTheAltReleaseOrTheCursorOfThePicturePressedLast) {
    EXPECT_EQ(FillTool::released(2, false, 5, 6), std::nullopt);
    EXPECT_EQ(FillTool::released(2, true, 5, 6), (FillPoint{2, 5, 6}));
    FillTool fill;
    EXPECT_EQ(fill.atCursor(1, 2, 3, 4), (FillPoint{1, 1, 2})) << "picture 1 until another is pressed";
    fill.pressed(2);
    EXPECT_EQ(fill.atCursor(1, 2, 3, 4), (FillPoint{2, 3, 4}));
    fill.pressed(1);
    EXPECT_EQ(fill.atCursor(1, 2, 3, 4), (FillPoint{1, 1, 2}));
}

// Scale 2 across: a step of 4 on picture 1 is 8 on picture 2, unless calibrating.
TEST(MouseTools, CursorDragMovesWhileTheLeftButtonIsHeldAndEndsWithoutIt) {
    CursorSyncState start;
    start.CursorScaleX = 2;
    start.cur1Left = start.OldX1 = 10;
    start.cur2Left = start.OldX2 = 20;
    CursorDragTool drag;
    CursorSyncState s = start;
    ASSERT_TRUE(drag.drag(s, 1, true, 14, 1, false));
    EXPECT_TRUE(drag.held());
    EXPECT_EQ(s.cur2Left, 28);
    EXPECT_FALSE(drag.drag(s, 1, false, 50, 1, false));
    EXPECT_FALSE(drag.held());
    EXPECT_EQ(s.cur1Left, 14) << "a move without the button leaves the cursors";

    s = start;
    ASSERT_TRUE(drag.drag(s, 1, true, 14, 1, true));
    EXPECT_EQ(s.cur2Left, 20) << "calibrating: the other cursor stays";
    EXPECT_TRUE(drag.stillHeld(true));
    EXPECT_FALSE(drag.stillHeld(false)) << "a lost release ends the drag";
    EXPECT_FALSE(drag.stillHeld(true)) << "and a later press elsewhere does not resume it";
}

TEST(MouseTools, CalibrationStartsOnceOnAnOpenProject) {
    CalibrationTool calibration;
    EXPECT_FALSE(calibration.mayStart(false));
    EXPECT_TRUE(calibration.mayStart(true));
    calibration.opened();
    EXPECT_FALSE(calibration.mayStart(true));
    calibration.closed();
    EXPECT_TRUE(calibration.mayStart(true));
}

}  // namespace
}  // namespace korvane
