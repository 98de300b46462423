#pragma once

// Keeps the two cursors on corresponding points of the two layers: dragging on one picture moves the
// other cursor by the same displacement, scaled per axis. The mapping is incremental (each event moves
// the other cursor from where it stands, rounded with nearest()), which is how stored projects expect it.

#include <cstdint>

namespace korvane {

struct CursorSyncState {
    float CursorScaleX = 1;
    float CursorScaleY = 1;
    std::int32_t OldX1 = 0, OldY1 = 0, OldX2 = 0, OldY2 = 0;
    double cur1Left = 1, cur1Top = 1;
    double cur2Left = 1, cur2Top = 1;
};

// Left button held over picture 1 (or 2) at (x, y). While the scale wizard is open only that picture's
// cursor moves, but its remembered position still follows the mouse.
void DragOnPicture1(CursorSyncState& state, double x, double y, bool wizardOpen);
void DragOnPicture2(CursorSyncState& state, double x, double y, bool wizardOpen);

// "Cursors move scale 1:1": both scales 1, cursor 2 put on cursor 1; remembered positions unchanged.
void ResetScale(CursorSyncState& state);

// The scale of one axis from two pairs of corresponding coordinates: |b2 - a2| / |b1 - a1|, or 1 when
// the pair coincides on that axis on either picture.
float AxisScale(std::int32_t a1, std::int32_t b1, std::int32_t a2, std::int32_t b2);

// The two-step wizard's arithmetic: the first and second pair are read from the cursors with nearest().
class ScaleWizard {
  public:
    bool waitingForSecondPair() const { return havePair_; }
    void recordFirstPair(const CursorSyncState& state);
    // Computes and stores the scales from the second pair.
    void finish(CursorSyncState& state) const;

  private:
    bool havePair_ = false;
    std::int32_t x1a_ = 0, y1a_ = 0, x2a_ = 0, y2a_ = 0;
};

}  // namespace korvane
