#pragma once

// Where a fill starts from the mouse: an Alt-click released on a picture, or the cursor of the picture
// pressed last (for desktops that take Alt + mouse for moving windows).

#include <optional>

namespace korvane {

struct FillPoint {
    int picture = 1;
    int x = 0;
    int y = 0;
    bool operator==(const FillPoint&) const = default;
};

class FillTool {
  public:
    // Any press on picture 1 or 2 makes it the one a fill at the cursor goes to.
    void pressed(int picture) { lastPicture_ = picture == 2 ? 2 : 1; }
    int lastPicture() const { return lastPicture_; }
    // A left or middle release: with Alt held it fills at the released pixel.
    static std::optional<FillPoint> released(int picture, bool alt, int x, int y) {
        if (!alt) {
            return std::nullopt;
        }
        return FillPoint{picture, x, y};
    }
    // The fill at the cursor, given both cursors in whole pixels.
    FillPoint atCursor(int x1, int y1, int x2, int y2) const {
        return lastPicture_ == 1 ? FillPoint{1, x1, y1} : FillPoint{2, x2, y2};
    }

  private:
    int lastPicture_ = 1;
};

}  // namespace korvane
