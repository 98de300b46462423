#include <gtest/gtest.h>

#include "project/CursorCommands.h"
#include "project/Project.h"

namespace korvane {
namespace {

struct CursorEvents : ProjectObserver {
    int changed = 0;
    void cursorsChanged() override { ++changed; }
};

TEST(CursorCommands, CalibrationAndScaleOneToOneAreUndoneToTheUnroundedState) {
    Project project;
    CursorEvents events;
    project.addObserver(&events);
    CursorSyncState start;
    start.CursorScaleX = 1.04f;
    start.CursorScaleY = 0.5f;
    start.cur1Left = 10.25, start.cur1Top = 11.5, start.cur2Left = 52.75, start.cur2Top = 60.5;
    start.OldX1 = 10.25, start.OldY1 = 11.5, start.OldX2 = 52.75, start.OldY2 = 60.5;
    project.cursors = start;

    project.execute(MakeScaleCommand(project.cursors, 2, 3));
    EXPECT_EQ(project.history().undoText(), "scale");
    CursorSyncState scaled = start;
    scaled.CursorScaleX = 2, scaled.CursorScaleY = 3;
    EXPECT_EQ(project.cursors, scaled) << "only the scales change";

    project.execute(MakeScaleOneToOneCommand(project.cursors));
    EXPECT_EQ(project.history().undoText(), "scale 1:1");
    EXPECT_EQ(project.cursors.cur2Left, 10.25);

    project.undo();
    EXPECT_EQ(project.cursors, scaled);
    project.undo();
    EXPECT_EQ(project.cursors, start);
    EXPECT_TRUE(project.saved());
    project.redo();
    project.redo();
    EXPECT_EQ(project.cursors.cur2Top, 11.5);
    EXPECT_EQ(project.cursors.CursorScaleY, 1);
    EXPECT_EQ(events.changed, 6) << "every redo and undo tells the views";
}

}  // namespace
}  // namespace korvane
