#pragma once

// The pad markers of the two pictures as data: one array per picture, indexed by pad number, with the
// state a child control would carry (position, check value, visibility, tip text, face colour). The
// picture widget paints and hit-tests them; nothing here knows about widgets, so a board of thousands of
// pads costs a few bytes per marker instead of a window each.
//
// Element 0 of each array is the invisible template and never a pad. Pad n is the pair Pad1(n), Pad2(n),
// created and destroyed together. Numbers are handed out as highest + 1, so deleting pads in the middle
// leaves gaps and deleting the highest pads makes their numbers free again.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane {

// Pad numbers are 16-bit in the project file's world.
inline constexpr int kMaxPadNumber = 32767;
// Face of an unselected marker: the classic light-grey button face, packed 0x00BBGGRR.
inline constexpr std::int32_t kButtonFace = 0xF0F0F0;

struct PadMarker {
    double left = 0;
    double top = 0;
    int value = 0;  // 1 when selected
    bool visible = false;
    std::string toolTipText;
    std::int32_t backColour = kButtonFace;
};

// One picture's control array.
class MarkerArray {
  public:
    MarkerArray();

    // Highest pad number in use, 0 when there is none.
    int highest() const { return int(items_.size()) - 1; }
    bool exists(int n) const;
    // Null for the template, a number out of range or a gap.
    PadMarker* get(int n);
    const PadMarker* get(int n) const;
    int count() const { return count_; }

  private:
    friend class PadMarkers;
    bool create(int n);
    bool destroy(int n);
    void clear();

    // items_.size() - 1 is always the highest number in use (trailing gaps are trimmed).
    std::vector<std::optional<PadMarker>> items_;
    int count_ = 0;
};

class PadMarkers {
  public:
    MarkerArray Pad1;
    MarkerArray Pad2;

    MarkerArray& array(int picture) { return picture == 2 ? Pad2 : Pad1; }
    const MarkerArray& array(int picture) const { return picture == 2 ? Pad2 : Pad1; }

    int highest() const { return Pad1.highest(); }
    bool exists(int n) const { return Pad1.exists(n); }
    // Creates both markers of pad n, unselected and hidden; false when n is not a free number 1..32767.
    bool create(int n);
    // Destroys both markers; false when there was no pad n.
    bool destroy(int n);
    void clear();

    // Whether pad n is selected is read from its picture-1 marker.
    bool selected(int n) const;
    void setSelected(int n, bool selected);
    void selectAll();
    void deselectAll();
    // Each marker on its own, so a difference between partners persists.
    void invert();
    int selectedCount() const;
    // Numbers of the selected pads, ascending.
    std::vector<int> selectedPads() const;
    // Existing picture-1 markers that are visible.
    int visibleCount() const;

    // The tip text of both markers.
    void setDescription(int n, const std::string& text);

    // Gives every selected marker the blink colour and every other one the button face. Returns, per
    // picture, whether any marker's face changed (so only then the picture needs repainting).
    struct ColourChange {
        bool picture1 = false;
        bool picture2 = false;
    };
    ColourChange applyColour(std::int32_t selectedColour);
};

}  // namespace korvane
