#pragma once

// The cursors follow the mouse while the left button is held over a picture; the cursor on the other
// picture moves by the scaled displacement (view/CursorSync.h). The drag state also decides whether the
// panes scroll toward the cursor on the timer.

#include "view/CursorSync.h"

namespace korvane {

class CursorDragTool {
  public:
    // A press or move over picture 1 or 2 at (x, y). With the left button held the cursors in state move
    // and true is returned; otherwise the drag is over and state is left alone. While calibrating only
    // the picture's own cursor moves.
    bool drag(CursorSyncState& state, int picture, bool leftHeld, double x, double y, bool calibrating,
              const AffineMap* alignment = nullptr);
    void release() { held_ = false; }
    bool held() const { return held_; }
    // The timer's look at the buttons: a release can be lost while a dialog opened during a drag, so a
    // drag with no button down is over. True while the drag goes on.
    bool stillHeld(bool anyButtonDown);

  private:
    bool held_ = false;
};

}  // namespace korvane
