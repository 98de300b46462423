#include "project/CursorCommands.h"

#include "project/Project.h"

namespace korvane {

namespace {

void putCursors(Project& project, const CursorSyncState& state) {
    project.cursors = state;
    project.notify([](ProjectObserver& o) { o.cursorsChanged(); });
}

}  // namespace

void SetCursorsCommand::undo(Project& project) {
    putCursors(project, before_);
}

void SetCursorsCommand::redo(Project& project) {
    putCursors(project, after_);
}

std::unique_ptr<UndoCommand> MakeScaleCommand(const CursorSyncState& current, float scaleX, float scaleY) {
    CursorSyncState scaled = current;
    scaled.CursorScaleX = scaleX;
    scaled.CursorScaleY = scaleY;
    return std::make_unique<SetCursorsCommand>("scale", current, scaled);
}

std::unique_ptr<UndoCommand> MakeScaleOneToOneCommand(const CursorSyncState& current) {
    CursorSyncState reset = current;
    ResetScale(reset);
    return std::make_unique<SetCursorsCommand>("scale 1:1", current, reset);
}

}  // namespace korvane
