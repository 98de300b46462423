#pragma once

// The scrolling arithmetic of the two picture panes, free of widgets so it can be tested exactly.
// A bar holds signed 16-bit settings and refuses an out-of-range assignment instead of clipping it:
// a keyboard step that would pass the end of the range does nothing rather than jump to the end.

#include <cstdint>

namespace korvane {

class ScrollBarModel {
  public:
    std::int16_t Min() const { return min_; }
    std::int16_t Max() const { return max_; }
    std::int16_t Value() const { return value_; }
    std::int16_t SmallChange() const { return small_; }
    std::int16_t LargeChange() const { return large_; }

    // Each returns false and changes nothing when the assignment is refused.
    // Min may exceed Max (a reversed bar); Value must lie between them, whichever is larger.
    // Setting Min or Max moves Value into the new range, as a scroll bar does.
    bool setMin(long value);
    bool setMax(long value);
    bool setValue(long value);
    bool setSmallChange(long value);  // 1..32767
    bool setLargeChange(long value);  // 1..32767

  private:
    std::int16_t min_ = 0;
    std::int16_t max_ = 32767;
    std::int16_t value_ = 0;
    std::int16_t small_ = 1;
    std::int16_t large_ = 1;
};

struct Size {
    double width = 0;
    double height = 0;
};

// Recomputes both bars' ranges and steps from the picture sizes (P1, P2) and pane sizes (pic1, pic2).
// The wider (taller) picture decides per axis; bars of pictures shorter than their panes are pinned.
void Scrolling(Size p1, Size p2, Size pic1, Size pic2, ScrollBarModel& HS, ScrollBarModel& VS);

struct PaneLayout {
    double pic1Height = 0, pic2Height = 0;
    double pic1Width = 0, pic2Width = 0;
    double hsLeft = 0, hsTop = 0, hsWidth = 0;
    double vsLeft = 0, vsTop = 0, vsHeight = 0;
    double pic2Top = 0;
};

// layOut: client area of clientWidth x clientHeight, bar thicknesses hsHeight and vsWidth.
PaneLayout LayoutPanes(double clientWidth, double clientHeight, double hsHeight, double vsWidth);

// AutoPos: one step of edge scrolling towards a cursor that left its pane. Cursor positions are in
// picture pixels; the picture's position in its pane is (-HS.Value, -VS.Value).
struct CursorPos {
    double left = 0;
    double top = 0;
};
void AutoPos(CursorPos cur1, CursorPos cur2, Size pic1, Size pic2, ScrollBarModel& HS, ScrollBarModel& VS);

// Keyboard navigation. Keys are the classic virtual key codes (Esc 27, Page Up 33, Page Down 34,
// End 35, Home 36, Left 37, Up 38, Right 39, Down 40); shift/ctrl/alt are the modifiers held.
enum class KeyOutcome { Ignored, Scrolled, Refused, StopFill };
KeyOutcome NavigateKey(int keyCode, bool shift, bool ctrl, bool alt, bool fillRunning, ScrollBarModel& HS,
                       ScrollBarModel& VS);

}  // namespace korvane
