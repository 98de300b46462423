#include "text/Numbers.h"
#include "view/AlignmentDraft.h"
#include "view/CursorSync.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iomanip>
#include <optional>
#include <utility>
#include <vector>

#include "app/Golden.h"
#include "view/tools/CalibrationTool.h"
#include "view/tools/ColourPickTool.h"
#include "view/tools/CursorDragTool.h"
#include "view/tools/FillTool.h"

namespace korvane {
namespace {

// Both cursors where the mapping last left them.
CursorSyncState stateAt(double x1, double y1, double x2, double y2, float scaleX = 1, float scaleY = 1) {
    CursorSyncState s;
    s.CursorScaleX = scaleX, s.CursorScaleY = scaleY;
    s.cur1Left = s.OldX1 = x1, s.cur1Top = s.OldY1 = y1;
    s.cur2Left = s.OldX2 = x2, s.cur2Top = s.OldY2 = y2;
    return s;
}

// The worked example with scale 2: the second +3 step lands on 103. Rounding each step on its own
// gave 104, a pixel of drift after two steps.
TEST(CursorMapping, DragOnPicture2DividesAndShowsTheResultRoundedToEven) {
    CursorSyncState s = stateAt(100, 50, 300, 70, 2, 1);
    DragOnPicture2(s, 303, 70, false);
    const ShownCursors shown = Shown(s);  // cursor 1 at nearest(101.5)
    EXPECT_EQ((std::vector<double>{shown.cur1Left, double(shown.OldX1), shown.cur1Top, double(shown.OldX2)}),
              (std::vector<double>{102, 102, 50, 303}));
    DragOnPicture2(s, 306, 70, false);
    EXPECT_EQ(Shown(s).cur1Left, 103);

    CursorSyncState t = stateAt(101, 50, 300, 70, 2, 1);
    DragOnPicture2(t, 303, 70, false);
    EXPECT_EQ(Shown(t).cur1Left, 102);  // nearest(102.5)
}

// A real mouse sends 2-pixel steps. Whatever the path, the driven cursor stays within half a pixel of
// where the scale puts it, and coming back to the start point gives the start positions again.
TEST(CursorMapping, SlowDragsDoNotDrift) {
    const float sx = 1.04f, sy = 1.03f;
    const double a1x = 600, a1y = 400, a2x = 649, a2y = 412;
    for (int picture : {1, 2}) {
        for (int step : {2, -2}) {
            SCOPED_TRACE(::testing::Message() << "picture " << picture << " step " << step);
            CursorSyncState s = stateAt(a1x, a1y, a2x, a2y, sx, sy);
            auto dragTo = [&](double dx, double dy) {
                picture == 1 ? DragOnPicture1(s, a1x + dx, a1y + dy, false)
                             : DragOnPicture2(s, a2x + dx, a2y + dy, false);
                const ShownCursors c = Shown(s);
                EXPECT_LE(std::abs(c.cur2Left - a2x - sx * (c.cur1Left - a1x)),
                          picture == 1 ? 0.5 : 0.5 * sx);
                EXPECT_LE(std::abs(c.cur2Top - a2y - sy * (c.cur1Top - a1y)), picture == 1 ? 0.5 : 0.5 * sy);
            };
            for (int d = step; std::abs(d) <= 500; d += step) {
                dragTo(d, d / 2);
            }
            for (int d = 500 * step / 2; d != 0; d -= step) {
                dragTo(d, d / 2);
            }
            dragTo(0, 0);
            const ShownCursors back = Shown(s);
            EXPECT_EQ((std::vector<double>{back.cur1Left, back.cur1Top, back.cur2Left, back.cur2Top}),
                      (std::vector<double>{a1x, a1y, a2x, a2y}));
        }
    }
}

// Values the window shows that no longer match the unrounded ones were placed by other means.
TEST(CursorMapping, ReconcileKeepsUnroundedValuesOnlyWhileTheyMatchWhatIsShown) {
    CursorSyncState exact = stateAt(10.4, 20.5, 30.6, 40, 2, 3);
    ShownCursors shown = Shown(exact);
    CursorSyncState kept = Reconcile(exact, shown);
    EXPECT_EQ((std::vector<double>{kept.cur1Left, kept.cur1Top, kept.cur2Left, kept.OldX1, kept.OldX2}),
              (std::vector<double>{10.4, 20.5, 30.6, 10.4, 30.6}));
    EXPECT_EQ(kept.CursorScaleX, 2);
    shown.cur1Left = 11;
    shown.OldX2 = 7;
    shown.cur2Top = 40.5;  // a hand-edited project may hold half pixels
    const CursorSyncState moved = Reconcile(exact, shown);
    EXPECT_EQ((std::vector<double>{moved.cur1Left, moved.OldX2, moved.cur2Top, moved.OldX1}),
              (std::vector<double>{11, 7, 40.5, 10.4}));
}

TEST(CursorMapping, ResetScaleLinesCursor2UpWithCursor1) {
    CursorSyncState s = stateAt(150, 60, 400, 300, 2.5f, 3);
    ResetScale(s);
    // Remembered positions (OldX2, OldY2) are left alone.
    EXPECT_EQ((std::vector<double>{s.CursorScaleX, s.CursorScaleY, s.cur2Left, s.cur2Top, s.OldX2, s.OldY2}),
              (std::vector<double>{1, 1, 150, 60, 400, 300}));
    for (auto [x, y] : {std::pair{157, 55}, std::pair{20, 900}}) {
        DragOnPicture1(s, x, y, false);
        EXPECT_EQ(s.cur2Left, x);
        EXPECT_EQ(s.cur2Top, y);
    }
}

TEST(CursorMapping, AxisScale) {
    testing::checkTable("view/axis-scale.txt", [](std::istream& in) {
        std::int32_t a1 = 0, b1 = 0, a2 = 0, b2 = 0;
        in >> a1 >> b1 >> a2 >> b2;
        std::ostringstream scale;
        scale << std::setprecision(9) << AxisScale(a1, b1, a2, b2);
        return scale.str();
    });
}

// Drags while the wizard is open and its worked example are proven through the window.
TEST(ScaleWizard, CoincidentAxisKeepsScaleOneAndPairsAreRounded) {
    CursorSyncState s = stateAt(100.5, 80, 130, 95, 3, 3);
    ScaleWizard wizard;
    wizard.recordFirstPair(s);
    // nearest(100.5) = nearest(99.5) = 100: the same x on picture 1.
    s.cur1Left = 99.5, s.cur1Top = 480, s.cur2Left = 730, s.cur2Top = 1295;
    wizard.finish(s);
    EXPECT_EQ(s.CursorScaleX, 1);
    EXPECT_EQ(s.CursorScaleY, 3);

    // Done without a first pair measures nothing.
    ScaleWizard fresh;
    s.CursorScaleX = 0.5f;
    fresh.finish(s);
    EXPECT_EQ(s.CursorScaleX, 0.5f);
}

TEST(MouseTools, ColourPickTakesOnePressOnlyWhileArmed) {
    ColourPickTool pick;
    int reads = 0;
    const auto pixel = [&reads] { return ++reads, std::int32_t{4210752}; };
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
    const CursorSyncState start = stateAt(10, 1, 20, 1, 2);
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

TEST(Alignment, CursorsFollowTheAlignmentWithoutDriftAndTheDraftRefitsAtEachChange) {
    // Turned a little, stretched, mirrored: the cursors follow it absolutely in both directions.
    const AffineMap map{-1.01, 0.02, 900, 0.03, 0.99, 40};
    CursorSyncState s = stateAt(10, 10, 0, 0, 1);
    for (int step = 1; step <= 200; ++step) {
        DragOnPicture1(s, 10 + step * 0.5, 10 + step * 0.25, false, &map);
    }
    const AffineMap::Point end = map.map(110, 60);
    EXPECT_EQ(Shown(s).cur2Left, double(nearest(end.x))) << "no drift after 200 small steps";
    EXPECT_EQ(Shown(s).cur2Top, double(nearest(end.y)));
    DragOnPicture2(s, end.x - 101, end.y + 3, false, &map);
    EXPECT_NEAR(s.cur1Left, 210, 1e-9) << "back through the inverse";
    DragOnPicture1(s, 5, 5, true, &map);
    EXPECT_EQ(s.cur2Left, end.x - 101) << "calibrating: the other cursor stays";

    AlignmentDraft draft;
    EXPECT_FALSE(draft.map()) << "no pairs, no mapping";
    const AlignPair pairs[] = {{0, 0}, {100, 0}, {0, 100}, {100, 100}, {50, 50}};
    for (AlignPair p : pairs) {
        const AffineMap::Point to = map.map(p.x1, p.y1);
        draft.add({p.x1, p.y1, to.x, to.y});
    }
    ASSERT_TRUE(draft.map());
    EXPECT_NEAR(draft.rms(), 0, 1e-9);
    draft.move(4, {50, 50, 0, 0});  // one pair picked badly
    ASSERT_EQ(draft.flagged().size(), 5u);
    EXPECT_EQ(draft.flagged(), (std::vector<bool>{false, false, false, false, true}));
    EXPECT_GT(draft.rms(), 100);
    draft.remove({4, 7});
    EXPECT_NEAR(draft.rms(), 0, 1e-9) << "removed, the rest fit exactly again";
    EXPECT_NEAR(draft.result()->map.c, 900, 1e-6);
    draft.remove({0, 1, 2});
    EXPECT_FALSE(draft.map()) << "one pair decides nothing";
    EXPECT_FALSE(draft.result());
}

}  // namespace
}  // namespace korvane
