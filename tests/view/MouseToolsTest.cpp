#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "view/tools/ColourPickTool.h"
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

}  // namespace
}  // namespace korvane
