#pragma once

// Edits of the cursors' calibration: the scale wizard's result ("scale") and "Cursors move scale 1:1"
// ("scale 1:1"). A drag of the cursors is no edit; these are, because they decide where every later
// drag puts the other cursor.

#include <memory>
#include <string>

#include "project/UndoStack.h"
#include "view/CursorSync.h"

namespace korvane {

// Puts the cursors' scales and positions from one state into another; undo puts back the first.
class SetCursorsCommand : public UndoCommand {
  public:
    SetCursorsCommand(std::string text, const CursorSyncState& before, const CursorSyncState& after)
        : text_(std::move(text)), before_(before), after_(after) {}

    std::string text() const override { return text_; }
    void undo(Project& project) override;
    void redo(Project& project) override;

  private:
    std::string text_;
    CursorSyncState before_;
    CursorSyncState after_;
};

// The wizard's result: the scales of `scaled`, everything else as the cursors stand in `current`.
std::unique_ptr<UndoCommand> MakeScaleCommand(const CursorSyncState& current, float scaleX, float scaleY);
// "Cursors move scale 1:1" from the cursors as they stand.
std::unique_ptr<UndoCommand> MakeScaleOneToOneCommand(const CursorSyncState& current);

}  // namespace korvane
