#include "view/ScrollBarModel.h"

#include <gtest/gtest.h>

#include <vector>

namespace korvane {
namespace {

ScrollBarModel bar(long min, long max, long value, long small, long large) {
    ScrollBarModel b;
    EXPECT_TRUE(b.setMin(min));
    EXPECT_TRUE(b.setMax(max));
    EXPECT_TRUE(b.setValue(value));
    EXPECT_TRUE(b.setSmallChange(small));
    EXPECT_TRUE(b.setLargeChange(large));
    return b;
}

TEST(ScrollBarModel, RefusesOutOfRangeAssignmentsInsteadOfClippingAndFollowsAShrinkingRange) {
    ScrollBarModel b = bar(0, 600, 300, 6, 60);
    EXPECT_FALSE(b.setValue(601));
    EXPECT_FALSE(b.setValue(-1));
    EXPECT_FALSE(b.setSmallChange(0));
    EXPECT_FALSE(b.setLargeChange(32768));
    EXPECT_FALSE(b.setMax(32768));
    EXPECT_EQ((std::vector<long>{b.Value(), b.SmallChange(), b.LargeChange(), b.Max()}),
              (std::vector<long>{300, 6, 60, 600}));

    // A reversed bar accepts values between its ends.
    ScrollBarModel r = bar(0, -50, 0, 1, 1);
    EXPECT_TRUE(r.setValue(-50));
    EXPECT_FALSE(r.setValue(1));

    b = bar(0, 600, 500, 6, 60);
    EXPECT_TRUE(b.setMax(200));
    EXPECT_EQ(b.Value(), 200);
    EXPECT_TRUE(b.setMin(250));  // reversed: the range is now 200..250
    EXPECT_EQ(b.Value(), 200);
    EXPECT_TRUE(b.setMax(300));
    EXPECT_EQ(b.Value(), 250);
}

struct Steps {
    int max, large, small;
};

TEST(Scrolling, RangesAndStepsFromOverflow) {
    const struct {
        double overflow;
        Steps expected;
    } cases[] = {
        {600, {600, 60, 6}}, {250, {250, 25, 2}},  // nearest(2.5) = 2
        {350, {350, 35, 4}},                       // nearest(3.5) = 4
        {54, {54, 5, 1}},  // small step nearest(0.5) = 0 would be refused: one pixel instead
        {3, {3, 1, 1}},      {0, {0, 1, 1}},      {40000, {32767, 3277, 328}},  // beyond the bar's 16 bits
    };
    for (const auto& c : cases) {
        ScrollBarModel HS, VS;
        const Size pane{400, 300};
        Scrolling({400 + c.overflow, 300 + c.overflow}, {100, 100}, pane, pane, HS, VS);
        for (const ScrollBarModel* b : {&HS, &VS}) {
            EXPECT_EQ(b->Min(), 0) << c.overflow;
            EXPECT_EQ(b->Max(), c.expected.max) << c.overflow;
            EXPECT_EQ(b->LargeChange(), c.expected.large) << c.overflow;
            EXPECT_EQ(b->SmallChange(), c.expected.small) << c.overflow;
        }
    }
}

TEST(Scrolling, LargerPictureDecidesPerAxis) {
    ScrollBarModel HS, VS;
    Scrolling({1000, 500}, {800, 900}, {400, 300}, {400, 300}, HS, VS);
    EXPECT_EQ(HS.Max(), 600);  // picture 1 is wider
    EXPECT_EQ(VS.Max(), 600);  // picture 2 is taller

    // Equal widths: picture 1 and its pane decide, even when the other pane is narrower.
    Scrolling({1000, 500}, {1000, 500}, {400, 300}, {300, 300}, HS, VS);
    EXPECT_EQ(HS.Max(), 600);
}

TEST(Scrolling, PicturesShorterThanTheirPanesPinTheBar) {
    ScrollBarModel HS = bar(0, 600, 0, 6, 60);
    ScrollBarModel VS = bar(0, 600, 400, 6, 60);
    Scrolling({1000, 200}, {1000, 250}, {400, 300}, {400, 300}, HS, VS);
    EXPECT_EQ(VS.Min(), -50);
    EXPECT_EQ(VS.Max(), -50);
    EXPECT_EQ(VS.Value(), -50);  // both pictures sit 50 pixels below the top of their panes
    EXPECT_EQ(VS.LargeChange(), 1);
    EXPECT_EQ(VS.SmallChange(), 1);
    EXPECT_EQ(HS.Min(), 0);
    EXPECT_EQ(HS.Max(), 600);
    for (int key : {33, 34, 38, 40}) {
        EXPECT_EQ(NavigateKey(key, false, false, false, false, HS, VS), KeyOutcome::Refused) << key;
        EXPECT_EQ(VS.Value(), -50) << key;
    }

    // Growing the window over a scrolled picture brings the value back into the new range.
    Scrolling({1000, 800}, {1000, 250}, {400, 300}, {400, 300}, HS, VS);
    EXPECT_EQ(VS.Min(), 0);
    EXPECT_EQ(VS.Max(), 500);
    EXPECT_EQ(VS.Value(), 0);
}

// The whole layout at once: pic1/pic2 height, pic1/pic2 width, the bars, and picture 2's top.
std::vector<double> fields(const PaneLayout& l) {
    return {l.pic1Height, l.pic2Height, l.pic1Width, l.pic2Width, l.hsLeft, l.hsTop,
            l.hsWidth,    l.vsLeft,     l.vsTop,     l.vsHeight,  l.pic2Top};
}

TEST(LayoutPanes, SplitsTheClientAreaAroundTheBars) {
    EXPECT_EQ(fields(LayoutPanes(800, 600, 17, 16)),
              (std::vector<double>{291.5, 291.5, 783, 783, 0, 291.5, 783, 784, 0, 600, 308.5}))
        << "picture 2 right below the bar";
    const PaneLayout tiny = LayoutPanes(10, 10, 17, 16);
    EXPECT_EQ(tiny.pic2Height, 0);
    EXPECT_EQ(tiny.pic1Width, 0);
    EXPECT_EQ(tiny.pic2Top, 10);
}

TEST(KeyNavigation, StepsAreRefusedNotClipped) {
    struct Case {
        const char* name;
        int key;
        bool shift, ctrl, alt, fill;
        int hValue, vValue;  // starting values
        KeyOutcome outcome;
        int hAfter, vAfter;
    };
    // HS: -20..600, small 6, large 60. VS: 0..600, small 10, large 60.
    const Case cases[] = {
        {"Right", 39, false, false, false, false, 300, 300, KeyOutcome::Scrolled, 306, 300},
        {"Ctrl+Right", 39, false, true, false, false, 300, 300, KeyOutcome::Scrolled, 360, 300},
        {"Ctrl+Left", 37, false, true, false, false, 300, 300, KeyOutcome::Scrolled, 240, 300},
        {"Down", 40, false, false, false, false, 300, 300, KeyOutcome::Scrolled, 300, 310},
        {"PageDown", 34, false, false, false, false, 300, 300, KeyOutcome::Scrolled, 300, 360},
        {"PageUp", 33, true, true, false, false, 300, 300, KeyOutcome::Scrolled, 300, 240},
        {"Up near top", 38, false, false, false, false, 300, 3, KeyOutcome::Refused, 300, 3},
        {"Right near end", 39, false, true, false, false, 590, 300, KeyOutcome::Refused, 590, 300},
        {"Right onto end", 39, false, false, false, false, 594, 300, KeyOutcome::Scrolled, 600, 300},
        {"PageUp near top", 33, false, false, false, false, 300, 59, KeyOutcome::Refused, 300, 59},
        {"Home", 36, false, false, false, false, 300, 300, KeyOutcome::Scrolled, 0, 0},
        {"Shift+Home", 36, true, false, false, false, 300, 300, KeyOutcome::Scrolled, -20, 0},
        {"Shift+Ctrl+Home", 36, true, true, false, false, 300, 300, KeyOutcome::Scrolled, 0, 0},
        {"Shift+Alt+Home", 36, true, false, true, false, 300, 300, KeyOutcome::Scrolled, 0, 0},
        {"End", 35, false, false, false, false, 300, 300, KeyOutcome::Scrolled, 600, 600},
        {"Space", 32, false, false, false, false, 300, 300, KeyOutcome::Ignored, 300, 300},
        {"Esc without fill", 27, false, false, false, false, 300, 300, KeyOutcome::Ignored, 300, 300},
        {"Esc stops a fill", 27, false, false, false, true, 300, 300, KeyOutcome::StopFill, 300, 300},
        {"Ctrl+Esc stops a fill", 27, false, true, false, true, 300, 300, KeyOutcome::StopFill, 300, 300}};
    for (const Case& c : cases) {
        ScrollBarModel HS = bar(-20, 600, c.hValue, 6, 60);
        ScrollBarModel VS = bar(0, 600, c.vValue, 10, 60);
        EXPECT_EQ(NavigateKey(c.key, c.shift, c.ctrl, c.alt, c.fill, HS, VS), c.outcome) << c.name;
        EXPECT_EQ(HS.Value(), c.hAfter) << c.name;
        EXPECT_EQ(VS.Value(), c.vAfter) << c.name;
    }

    // A step past the bar's 16 bits is refused too.
    ScrollBarModel HS = bar(0, 32767, 32000, 1, 3277);
    ScrollBarModel VS = bar(-32768, 0, -32000, 1, 3277);
    EXPECT_EQ(NavigateKey(39, false, true, false, false, HS, VS), KeyOutcome::Refused);
    EXPECT_EQ(NavigateKey(38, false, true, false, false, HS, VS), KeyOutcome::Refused);
    EXPECT_EQ(HS.Value(), 32000);
    EXPECT_EQ(VS.Value(), -32000);
}

TEST(AutoPos, ScrollsTowardsACursorThatLeftItsPaneOneStepAtATime) {
    // Both panes 400 x 300, both pictures scrolled to (100, 100) unless given: pane x = cursor x - 100.
    const Size pane{400, 300};
    const struct {
        const char* name;
        CursorPos cur1, cur2;
        int hAfter, vAfter;
        int hValue = 100, vValue = 100;
    } cases[] = {{"both inside", {200, 200}, {200, 200}, 100, 100},
                 {"cursor 1 on the right edge", {500, 200}, {200, 200}, 100, 100},
                 {"cursor 1 past the right edge", {501, 200}, {200, 200}, 112, 100},
                 {"cursor 2 past the right edge", {200, 200}, {501, 200}, 112, 100},
                 {"cursor 1 three above the bottom", {200, 397}, {200, 200}, 100, 100},
                 {"cursor 2 three above the bottom", {200, 200}, {200, 397}, 100, 112},
                 {"cursor 2 five above the bottom", {200, 200}, {200, 395}, 100, 100},
                 {"cursor 1 on the left edge", {100, 200}, {200, 200}, 100, 100},
                 {"cursor 1 left of the pane", {99, 200}, {200, 200}, 88, 100},
                 {"cursor 2 above the pane", {200, 200}, {200, 99.5}, 100, 88},
                 {"opposite edges cancel", {501, 200}, {50, 200}, 100, 100},
                 {"a step beyond the right end is refused", {1000, 200}, {1000, 200}, 595, 100, 595},
                 {"a step beyond the top is refused", {700, 0}, {700, 0}, 595, 5, 595, 5}};
    for (const auto& c : cases) {
        ScrollBarModel HS = bar(0, 600, c.hValue, 6, 60);
        ScrollBarModel VS = bar(0, 600, c.vValue, 6, 60);
        AutoPos(c.cur1, c.cur2, pane, pane, HS, VS);
        EXPECT_EQ(HS.Value(), c.hAfter) << c.name;
        EXPECT_EQ(VS.Value(), c.vAfter) << c.name;
    }

    // LargeChange 1 or 2 makes LargeChange / 5 round to nothing; one pixel per tick instead.
    for (long large : {1, 2}) {
        ScrollBarModel HS = bar(0, 600, 100, 6, large);
        ScrollBarModel VS = bar(0, 600, 100, 6, 60);
        AutoPos({1000, 200}, {200, 200}, pane, pane, HS, VS);
        EXPECT_EQ(HS.Value(), 101) << large;
        AutoPos({0, 200}, {200, 200}, pane, pane, HS, VS);
        EXPECT_EQ(HS.Value(), 100) << large;
    }
}

}  // namespace
}  // namespace korvane
