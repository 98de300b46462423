#include "view/ScrollBarModel.h"

#include "text/Numbers.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace korvane {

namespace {

constexpr long kInt16Min = std::numeric_limits<std::int16_t>::min();
constexpr long kInt16Max = std::numeric_limits<std::int16_t>::max();

bool fitsInt16(long value) {
    return value >= kInt16Min && value <= kInt16Max;
}

// A pixel difference as a bar setting. A picture more than 32767 pixels larger than its pane cannot be
// represented in a bar: the range is clamped to what the bar holds, so the far end of such a picture
// is out of reach, but everything up to it scrolls normally.
long toBarRange(double difference) {
    return static_cast<long>(std::clamp<std::int64_t>(nearest(difference), kInt16Min, kInt16Max));
}

// nearest(range / 10) comes out below 1 for ranges of 54 pixels or less (and for pinned bars), which
// no bar accepts. A step of 1 keeps such a picture scrollable pixel by pixel, and keeps every later
// assignment of the recomputation from being skipped behind a refused one.
long stepFor(long range) {
    return std::clamp<std::int64_t>(nearest(range / 10.0), 1, kInt16Max);
}

}  // namespace

bool ScrollBarModel::setMin(long value) {
    if (!fitsInt16(value)) {
        return false;
    }
    min_ = static_cast<std::int16_t>(value);
    value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
    return true;
}

bool ScrollBarModel::setMax(long value) {
    if (!fitsInt16(value)) {
        return false;
    }
    max_ = static_cast<std::int16_t>(value);
    value_ = std::clamp(value_, std::min(min_, max_), std::max(min_, max_));
    return true;
}

bool ScrollBarModel::setValue(long value) {
    if (value < std::min(min_, max_) || value > std::max(min_, max_)) {
        return false;
    }
    value_ = static_cast<std::int16_t>(value);
    return true;
}

bool ScrollBarModel::setSmallChange(long value) {
    if (value < 1 || value > kInt16Max) {
        return false;
    }
    small_ = static_cast<std::int16_t>(value);
    return true;
}

bool ScrollBarModel::setLargeChange(long value) {
    if (value < 1 || value > kInt16Max) {
        return false;
    }
    large_ = static_cast<std::int16_t>(value);
    return true;
}

void Scrolling(Size p1, Size p2, Size pic1, Size pic2, ScrollBarModel& HS, ScrollBarModel& VS) {
    // The wider (taller) picture decides, picture 1 on a tie: both share one offset, so the bars must
    // reach the far end of the larger one.
    const long maxH =
        p1.width >= p2.width ? toBarRange(p1.width - pic1.width) : toBarRange(p2.width - pic2.width);
    const long maxV =
        p1.height >= p2.height ? toBarRange(p1.height - pic1.height) : toBarRange(p2.height - pic2.height);

    // When both pictures fit, Min = Max = maxV <= 0 pins the bar, which keeps the pictures at the bottom
    // of their panes and lets no key scroll them.
    VS.setMax(maxV);
    VS.setMin(p1.height >= pic1.height || p2.height >= pic2.height ? 0 : maxV);
    VS.setLargeChange(stepFor(VS.Max()));
    VS.setSmallChange(stepFor(VS.LargeChange()));

    HS.setMax(maxH);
    HS.setMin(p1.width >= pic1.width || p2.width >= pic2.width ? 0 : maxH);
    HS.setLargeChange(stepFor(HS.Max()));
    HS.setSmallChange(stepFor(HS.LargeChange()));
}

PaneLayout LayoutPanes(double clientWidth, double clientHeight, double hsHeight, double vsWidth) {
    // A window shrunk below the bars' thickness would give negative sizes, which no widget accepts;
    // such a pane simply collapses to nothing until the window grows again.
    const auto size = [](double value) { return std::max(0.0, value); };

    PaneLayout layout;
    // The panes share the height left by the horizontal bar, which sits exactly between them.
    layout.pic1Height = size(clientHeight / 2 - hsHeight / 2);
    layout.pic2Height = layout.pic1Height;
    layout.pic2Top = clientHeight - layout.pic2Height;
    layout.hsLeft = 0;
    layout.hsTop = layout.pic1Height;
    layout.vsTop = 0;
    layout.vsLeft = clientWidth - vsWidth;
    // One pixel of gap keeps the panes' borders off the vertical bar.
    layout.pic1Width = size(layout.vsLeft - 1);
    layout.pic2Width = layout.pic1Width;
    layout.hsWidth = layout.pic1Width;
    layout.vsHeight = size(clientHeight);
    return layout;
}

namespace {

// One edge-scrolling step of LargeChange / 5. For the smallest ranges (LargeChange of 1 or 2) that step
// rounds to nothing and a cursor held beyond the edge would never bring the rest of the picture into
// view; one pixel per tick keeps it moving until the end of the bar refuses further steps.
void edgeStep(ScrollBarModel& bar, int direction) {
    long target = static_cast<long>(nearest(bar.Value() + direction * (bar.LargeChange() / 5.0)));
    if (target == bar.Value()) {
        target += direction;
    }
    bar.setValue(target);  // refused beyond the end of the range: the view simply stays there
}

}  // namespace

void AutoPos(CursorPos cur1, CursorPos cur2, Size pic1, Size pic2, ScrollBarModel& HS, ScrollBarModel& VS) {
    // The pictures sit at (-HS.Value, -VS.Value) in their panes; each test reads the bars afresh because
    // an earlier test may just have moved them.
    const auto left = [&](const CursorPos& c) { return c.left - HS.Value(); };
    const auto top = [&](const CursorPos& c) { return c.top - VS.Value(); };

    // Right and down use the cursor's top-left corner, so the view moves only once the cursor has left
    // the pane completely. The lower pane's threshold lies 5 pixels above its bottom edge, so a drag
    // that stops at the bottom of the window, with the pane's last rows under the pointer, still scrolls.
    if (left(cur1) > pic1.width || left(cur2) > pic2.width) {
        edgeStep(HS, +1);
    }
    if (top(cur1) > pic1.height || top(cur2) > pic2.height - 5) {
        edgeStep(VS, +1);
    }
    if (left(cur1) < 0 || left(cur2) < 0) {
        edgeStep(HS, -1);
    }
    if (top(cur1) < 0 || top(cur2) < 0) {
        edgeStep(VS, -1);
    }
}

namespace {

enum : int {
    kEscape = 27,
    kPageUp = 33,
    kPageDown = 34,
    kEnd = 35,
    kHome = 36,
    kLeft = 37,
    kUp = 38,
    kRight = 39,
    kDown = 40,
};

// Collects the result of a key's assignments: a key that moved either bar scrolled, one whose every
// move was refused at the end of the range did nothing.
class KeyResult {
  public:
    void assign(ScrollBarModel& bar, long value) {
        const auto before = bar.Value();
        if (!bar.setValue(value)) {
            refused_ = true;
        } else if (bar.Value() != before) {
            moved_ = true;
        }
    }
    KeyOutcome outcome() const {
        if (moved_) {
            return KeyOutcome::Scrolled;
        }
        return refused_ ? KeyOutcome::Refused : KeyOutcome::Ignored;
    }

  private:
    bool moved_ = false;
    bool refused_ = false;
};

}  // namespace

KeyOutcome NavigateKey(int keyCode, bool shift, bool ctrl, bool alt, bool fillRunning, ScrollBarModel& HS,
                       ScrollBarModel& VS) {
    // Steps are added in wide arithmetic and handed to the bar, which refuses anything outside its range
    // (an overflow of 16 bits included): a step is never clipped to the end of the range.
    KeyResult result;
    const long hStep = ctrl ? HS.LargeChange() : HS.SmallChange();
    const long vStep = ctrl ? VS.LargeChange() : VS.SmallChange();
    switch (keyCode) {
        case kEscape:
            return fillRunning ? KeyOutcome::StopFill : KeyOutcome::Ignored;
        case kPageDown:
            result.assign(VS, long{VS.Value()} + VS.LargeChange());
            break;
        case kPageUp:
            result.assign(VS, long{VS.Value()} - VS.LargeChange());
            break;
        case kLeft:
            result.assign(HS, long{HS.Value()} - hStep);
            break;
        case kRight:
            result.assign(HS, long{HS.Value()} + hStep);
            break;
        case kDown:
            result.assign(VS, long{VS.Value()} + vStep);
            break;
        case kUp:
            result.assign(VS, long{VS.Value()} - vStep);
            break;
        case kHome:
            if (shift && !ctrl && !alt) {
                result.assign(HS, HS.Min());
                result.assign(VS, VS.Min());
            } else {
                result.assign(HS, 0);
                result.assign(VS, 0);
            }
            break;
        case kEnd:
            result.assign(HS, HS.Max());
            result.assign(VS, VS.Max());
            break;
        default:
            break;
    }
    return result.outcome();
}

}  // namespace korvane
