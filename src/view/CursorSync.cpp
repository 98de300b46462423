#include "view/CursorSync.h"

#include "text/Numbers.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace korvane {

namespace {

// Remembered positions are 32-bit. Pictures never come near that, but a hand-edited scale in a project
// file could push a mapped position beyond it; saturating keeps the cursor at the far end instead of
// wrapping it to the other side.
std::int32_t toPosition(double value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        nearest(value), std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// The unrounded positions stay within the same range, so that a far-out cursor can come back and the
// arithmetic never meets infinity.
double bounded(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    return std::clamp<double>(value, std::numeric_limits<std::int32_t>::min(),
                              std::numeric_limits<std::int32_t>::max());
}

}  // namespace

ShownCursors Shown(const CursorSyncState& state) {
    ShownCursors shown;
    shown.OldX1 = toPosition(state.OldX1);
    shown.OldY1 = toPosition(state.OldY1);
    shown.OldX2 = toPosition(state.OldX2);
    shown.OldY2 = toPosition(state.OldY2);
    shown.cur1Left = toPosition(state.cur1Left);
    shown.cur1Top = toPosition(state.cur1Top);
    shown.cur2Left = toPosition(state.cur2Left);
    shown.cur2Top = toPosition(state.cur2Top);
    return shown;
}

CursorSyncState Reconcile(const CursorSyncState& exact, const ShownCursors& shown) {
    auto pick = [](double unrounded, double visible) {
        return double(toPosition(unrounded)) == visible ? unrounded : visible;
    };
    CursorSyncState state = exact;
    state.OldX1 = pick(exact.OldX1, shown.OldX1);
    state.OldY1 = pick(exact.OldY1, shown.OldY1);
    state.OldX2 = pick(exact.OldX2, shown.OldX2);
    state.OldY2 = pick(exact.OldY2, shown.OldY2);
    state.cur1Left = pick(exact.cur1Left, shown.cur1Left);
    state.cur1Top = pick(exact.cur1Top, shown.cur1Top);
    state.cur2Left = pick(exact.cur2Left, shown.cur2Left);
    state.cur2Top = pick(exact.cur2Top, shown.cur2Top);
    return state;
}

void FollowAlignment(CursorSyncState& state, const AffineMap& alignment) {
    const AffineMap::Point to = alignment.map(state.cur1Left, state.cur1Top);
    state.cur2Left = state.OldX2 = bounded(to.x);
    state.cur2Top = state.OldY2 = bounded(to.y);
}

void DragOnPicture1(CursorSyncState& state, double x, double y, bool wizardOpen, const AffineMap* alignment) {
    state.cur1Left = bounded(x);
    state.cur1Top = bounded(y);
    // While the wizard is open the user places each cursor on its own, so the other one stays put.
    if (!wizardOpen && alignment != nullptr) {
        FollowAlignment(state, *alignment);
    } else if (!wizardOpen) {
        // OldX1/OldY1 still hold the previous position, so cursor 2 moves by the scaled displacement
        // from where it stands. Nothing is rounded here, so the steps of a drag add up exactly.
        state.cur2Left =
            bounded((state.cur1Left - state.OldX1) * double{state.CursorScaleX} + state.cur2Left);
        state.cur2Top = bounded((state.cur1Top - state.OldY1) * double{state.CursorScaleY} + state.cur2Top);
        state.OldX2 = state.cur2Left;
        state.OldY2 = state.cur2Top;
    }
    state.OldX1 = state.cur1Left;
    state.OldY1 = state.cur1Top;
}

void DragOnPicture2(CursorSyncState& state, double x, double y, bool wizardOpen, const AffineMap* alignment) {
    state.cur2Left = bounded(x);
    state.cur2Top = bounded(y);
    const std::optional<AffineMap> back = alignment != nullptr ? alignment->inverse() : std::nullopt;
    if (!wizardOpen && back) {
        const AffineMap::Point to = back->map(state.cur2Left, state.cur2Top);
        state.cur1Left = state.OldX1 = bounded(to.x);
        state.cur1Top = state.OldY1 = bounded(to.y);
    } else if (!wizardOpen) {
        state.cur1Left =
            bounded((state.cur2Left - state.OldX2) / double{state.CursorScaleX} + state.cur1Left);
        state.cur1Top = bounded((state.cur2Top - state.OldY2) / double{state.CursorScaleY} + state.cur1Top);
        state.OldX1 = state.cur1Left;
        state.OldY1 = state.cur1Top;
    }
    state.OldX2 = state.cur2Left;
    state.OldY2 = state.cur2Top;
}

void ResetScale(CursorSyncState& state) {
    state.CursorScaleX = 1;
    state.CursorScaleY = 1;
    state.cur2Left = state.cur1Left;
    state.cur2Top = state.cur1Top;
}

float AxisScale(std::int32_t a1, std::int32_t b1, std::int32_t a2, std::int32_t b2) {
    // Differences in 64 bits: two extreme 32-bit positions would overflow a 32-bit subtraction.
    const std::int64_t d1 = std::llabs(std::int64_t{b1} - a1);
    const std::int64_t d2 = std::llabs(std::int64_t{b2} - a2);
    // A pair that coincides on this axis says nothing about its scale; 1 keeps the cursors moving
    // together rather than freezing or dividing by zero.
    if (d1 == 0 || d2 == 0) {
        return 1;
    }
    return static_cast<float>(static_cast<double>(d2) / static_cast<double>(d1));
}

void ScaleWizard::recordFirstPair(const CursorSyncState& state) {
    x1a_ = toPosition(state.cur1Left);
    y1a_ = toPosition(state.cur1Top);
    x2a_ = toPosition(state.cur2Left);
    y2a_ = toPosition(state.cur2Top);
    havePair_ = true;
}

void ScaleWizard::finish(CursorSyncState& state) const {
    // Without a first pair there is nothing to measure against; the scales stay as they were.
    if (!havePair_) {
        return;
    }
    state.CursorScaleX = AxisScale(x1a_, toPosition(state.cur1Left), x2a_, toPosition(state.cur2Left));
    state.CursorScaleY = AxisScale(y1a_, toPosition(state.cur1Top), y2a_, toPosition(state.cur2Top));
}

}  // namespace korvane
