#pragma once

// What a view of the project hears. Every edit of the project announces itself through one of these
// events after it happened, so that panes, lists, dialogs and the title repaint only what changed and
// never need to poll or to be told by another window.

#include <cstddef>
#include <vector>

#include "platform/Ui.h"

namespace korvane {

class ProjectObserver {
  public:
    virtual ~ProjectObserver() = default;
    // Pad numbers each.
    virtual void padsAdded(const std::vector<int>&) {}
    virtual void padsMoved(const std::vector<int>&) {}
    virtual void padsRenamed(const std::vector<int>&) {}
    virtual void padsRemoved(const std::vector<int>&) {}
    // The component table or a name list changed.
    virtual void componentsChanged() {}
    // The trace list of layer 1 or 2 changed.
    virtual void tracesChanged(int /*layer*/) {}
    // Pixels of layer 1 or 2 changed within the rectangle.
    virtual void pixelsChanged(int /*layer*/, const PixelRect&) {}
    // Layer 1 or 2 was turned or mirrored: its size and every position on it may have changed.
    virtual void orientationChanged(int /*layer*/) {}
    // The cursors' scale or positions were set by an edit (calibration, "Cursors move scale 1:1").
    virtual void cursorsChanged() {}
    virtual void modifiedChanged(bool /*modified*/) {}
    // What can be undone or redone changed.
    virtual void historyChanged() {}
    // The oldest steps were forgotten to keep the pixel history within its bound.
    virtual void historyTrimmed(std::size_t /*steps*/) {}
};

}  // namespace korvane
