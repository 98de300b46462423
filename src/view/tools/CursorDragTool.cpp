#include "view/tools/CursorDragTool.h"

namespace korvane {

bool CursorDragTool::drag(CursorSyncState& state, int picture, bool leftHeld, double x, double y,
                          bool calibrating, const AffineMap* alignment) {
    held_ = leftHeld;
    if (!held_) {
        return false;
    }
    if (picture == 1) {
        DragOnPicture1(state, x, y, calibrating, alignment);
    } else {
        DragOnPicture2(state, x, y, calibrating, alignment);
    }
    return true;
}

bool CursorDragTool::stillHeld(bool anyButtonDown) {
    if (!anyButtonDown) {
        held_ = false;
    }
    return held_;
}

}  // namespace korvane
