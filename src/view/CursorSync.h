#pragma once

// Keeps the two cursors on corresponding points of the two layers: dragging on one picture moves the
// other cursor by the same displacement, scaled per axis. The mapping is incremental (each event moves
// the other cursor by the scaled displacement since the last event on either picture), and it works on
// unrounded positions: a real mouse sends 1- and 2-pixel steps, and rounding each step's scaled
// displacement would move the cursors 1:1 whatever the scale. Only what the window shows and the
// project file keeps is rounded, with nearest().

#include <cstdint>

#include "align/AffineMap.h"

namespace korvane {

// The mapping's own, unrounded view of the cursors.
struct CursorSyncState {
    float CursorScaleX = 1;
    float CursorScaleY = 1;
    // Where the mapping last saw each cursor, in that picture's pixels.
    double OldX1 = 0, OldY1 = 0, OldX2 = 0, OldY2 = 0;
    // Where the cursors stand (their top-left corners).
    double cur1Left = 1, cur1Top = 1;
    double cur2Left = 1, cur2Top = 1;

    bool operator==(const CursorSyncState&) const = default;
};

// The same positions as the window shows them and the project file keeps them.
struct ShownCursors {
    std::int32_t OldX1 = 0, OldY1 = 0, OldX2 = 0, OldY2 = 0;
    double cur1Left = 1, cur1Top = 1;
    double cur2Left = 1, cur2Top = 1;
};

// Every position rounded with nearest() (halves to the even neighbour).
ShownCursors Shown(const CursorSyncState& state);

// The state to go on from, given what the window shows now. An unrounded value is kept while it still
// rounds to the shown one; a shown value that differs was put there by other means (a project opened,
// a value set directly) and is taken as it is. Scales come from `exact`.
CursorSyncState Reconcile(const CursorSyncState& exact, const ShownCursors& shown);

// Left button held over picture 1 (or 2) at (x, y). While the scale wizard is open only that picture's
// cursor moves, but its remembered position still follows the mouse. With the layers' alignment the other
// cursor goes where the alignment maps the moved one's unrounded position (or back through its inverse):
// absolute, so no drag can drift; the scale-only mapping moves it by displacements.
void DragOnPicture1(CursorSyncState& state, double x, double y, bool wizardOpen,
                    const AffineMap* alignment = nullptr);
void DragOnPicture2(CursorSyncState& state, double x, double y, bool wizardOpen,
                    const AffineMap* alignment = nullptr);
// Cursor 2 put where the alignment maps cursor 1, as when the alignment is applied.
void FollowAlignment(CursorSyncState& state, const AffineMap& alignment);

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
