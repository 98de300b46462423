#include "view/ScrollBarModel.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/Golden.h"

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

std::string values(const ScrollBarModel& b) {
    return std::to_string(b.Min()) + ' ' + std::to_string(b.Max()) + ' ' + std::to_string(b.LargeChange()) +
           ' ' + std::to_string(b.SmallChange());
}

// Both axes overflow their 400 x 300 panes by the same amount.
TEST(Scrolling, RangesAndStepsFromOverflow) {
    testing::checkTable("view/overflow.txt", [](std::istream& in) {
        double overflow = 0;
        in >> overflow;
        ScrollBarModel HS, VS;
        const Size pane{400, 300};
        Scrolling({400 + overflow, 300 + overflow}, {100, 100}, pane, pane, HS, VS);
        return values(HS) == values(VS) ? values(HS) : values(HS) + " but " + values(VS);
    });
}

TEST(Scrolling, LargerPictureDecidesPerAxis) {
    ScrollBarModel HS, VS;
    Scrolling({1000, 500}, {800, 900}, {400, 300}, {400, 300}, HS, VS);
    EXPECT_EQ(values(HS) + ", " + values(VS), "0 600 60 6, 0 600 60 6");  // picture 1 wider, 2 taller

    // Equal widths: picture 1 and its pane decide, even when the other pane is narrower.
    Scrolling({1000, 500}, {1000, 500}, {400, 300}, {300, 300}, HS, VS);
    EXPECT_EQ(HS.Max(), 600);
}

TEST(Scrolling, PicturesShorterThanTheirPanesPinTheBar) {
    ScrollBarModel HS = bar(0, 600, 0, 6, 60);
    ScrollBarModel VS = bar(0, 600, 400, 6, 60);
    Scrolling({1000, 200}, {1000, 250}, {400, 300}, {400, 300}, HS, VS);
    EXPECT_EQ(values(VS), "-50 -50 1 1");
    EXPECT_EQ(VS.Value(), -50);  // both pictures sit 50 pixels below the top of their panes
    EXPECT_EQ(values(HS), "0 600 60 6");
    for (int key : {33, 34, 38, 40}) {
        EXPECT_EQ(NavigateKey(key, false, false, false, false, HS, VS), KeyOutcome::Refused) << key;
        EXPECT_EQ(VS.Value(), -50) << key;
    }

    // Growing the window over a scrolled picture brings the value back into the new range.
    Scrolling({1000, 800}, {1000, 250}, {400, 300}, {400, 300}, HS, VS);
    EXPECT_EQ(values(VS), "0 500 50 5");
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

// Lines: key, shift ctrl alt fill as 0/1, values before -> outcome, values after.
// HS: -20..600, small 6, large 60. VS: 0..600, small 10, large 60.
TEST(KeyNavigation, StepsAreRefusedNotClipped) {
    testing::checkTable("view/keys.txt", [](std::istream& in) {
        int key = 0;
        std::string flags;
        long h = 0, v = 0;
        in >> key >> flags >> h >> v;
        ScrollBarModel HS = bar(-20, 600, h, 6, 60);
        ScrollBarModel VS = bar(0, 600, v, 10, 60);
        const KeyOutcome outcome =
            NavigateKey(key, flags[0] == '1', flags[1] == '1', flags[2] == '1', flags[3] == '1', HS, VS);
        const char* names[] = {"Ignored", "Scrolled", "Refused", "StopFill"};
        return std::string(names[int(outcome)]) + ' ' + std::to_string(HS.Value()) + ' ' +
               std::to_string(VS.Value());
    });
    // A step past the bar's 16 bits is refused too.
    ScrollBarModel HS = bar(0, 32767, 32000, 1, 3277);
    ScrollBarModel VS = bar(-32768, 0, -32000, 1, 3277);
    EXPECT_EQ(NavigateKey(39, false, true, false, false, HS, VS), KeyOutcome::Refused);
    EXPECT_EQ(NavigateKey(38, false, true, false, false, HS, VS), KeyOutcome::Refused);
    EXPECT_EQ(HS.Value(), 32000);
    EXPECT_EQ(VS.Value(), -32000);
}

TEST(AutoPos, ScrollsTowardsACursorThatLeftItsPaneOneStepAtATime) {
    const Size pane{400, 300};
    // Lines: cursor 1, cursor 2, values before, large step across -> values after; both panes 400 x 300.
    testing::checkTable("view/autopos.txt", [&](std::istream& in) {
        CursorPos cur1, cur2;
        long h = 0, v = 0, large = 0;
        in >> cur1.left >> cur1.top >> cur2.left >> cur2.top >> h >> v >> large;
        ScrollBarModel HS = bar(0, 600, h, 6, large);
        ScrollBarModel VS = bar(0, 600, v, 6, 60);
        AutoPos(cur1, cur2, pane, pane, HS, VS);
        return std::to_string(HS.Value()) + ' ' + std::to_string(VS.Value());
    });
}

}  // namespace
}  // namespace korvane
