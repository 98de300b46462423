#pragma once

// The colour menu's pick from the pictures: armed by the menu, the next press on either picture takes
// the pixel under it as the fill colour, once.

#include <cstdint>
#include <functional>
#include <optional>

namespace korvane {

class ColourPickTool {
  public:
    void arm() { armed_ = true; }
    bool armed() const { return armed_; }
    // A press on a picture. While armed: the colour under it (pixelAt is read only then), and the pick
    // is over; otherwise nothing.
    std::optional<std::int32_t> press(const std::function<std::int32_t()>& pixelAt) {
        if (!armed_) {
            return std::nullopt;
        }
        armed_ = false;
        return pixelAt();
    }

  private:
    bool armed_ = false;
};

}  // namespace korvane
