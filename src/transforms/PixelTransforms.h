#pragma once

// Mirroring and turning a picture's pixels. These work on the pixel buffer directly, in blocks that
// keep both the source and the destination in cache, because a board scan has tens of millions of
// pixels and a window-system copy per pixel would take minutes.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Ui.h"

namespace korvane {

// A picture's pixels, read only. Transforms read their source through this, so the picture the window
// shows is never asked for writable pixels: for an image shared with the window that request alone
// would copy the whole picture.
struct ConstImageView {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;  // pixels per row

    ConstImageView() = default;
    ConstImageView(const std::uint32_t* pixels, int width, int height, int stride)
        : pixels(pixels), width(width), height(height), stride(stride) {}
    ConstImageView(const ImageView& view)  // NOLINT: any writable view can be read
        : pixels(view.pixels), width(view.width), height(view.height), stride(view.stride) {}
};

// New pixel (x, y) is old pixel (W - 1 - x, y).
void FlipHorizontal(const ImageView& image);
// New pixel (x, y) is old pixel (x, H - 1 - y).
void FlipVertical(const ImageView& image);

// Turns src by 90 degrees clockwise into dst, which must be src.height wide and src.width high:
// dst(H - 1 - y, x) = src(x, y). progress is called between blocks of rows (never more often than
// every few thousand pixels) so that a long rotation can keep the window alive; it may be empty.
void RotatePixels(const ConstImageView& src, const ImageView& dst,
                  const std::function<void()>& progress = {});

// The net effect of any sequence of flips and clockwise quarter turns: first mirror left to right
// when flipped, then turn clockwise `turns` times. Every sequence reduces to one of these eight.
struct Orientation {
    int turns = 0;  // 0..3
    bool flipped = false;

    bool operator==(const Orientation&) const = default;
    bool identity() const { return turns == 0 && !flipped; }
};

Orientation AfterFlipHorizontal(Orientation current);
Orientation AfterFlipVertical(Orientation current);
Orientation AfterRotate90(Orientation current);
// The orientation that brings a picture in `orientation` back: applied after it, the identity.
Orientation Inverse(Orientation orientation);

// The key of picture 1's or picture 2's orientation in "FilePathSection", after the picture entries.
inline const char* OrientationKey(int picture) {
    return picture == 1 ? "Transform1" : "Transform2";
}

// Writes src brought into `orientation` into dst, which must be src's size, or src's size turned when
// the orientation turns an odd number of times. One pass over the source and then mirrors in place on
// dst: no picture in between, so applying any orientation costs exactly one new picture.
void OrientPixels(const ConstImageView& src, const ImageView& dst, Orientation orientation,
                  const std::function<void()>& progress = {});

// Where pixel (x, y) of a width x height picture lands when OrientPixels brings the picture into
// `orientation`: what keeps a trace's seed on its copper when its picture is flipped or turned.
struct OrientedPoint {
    int x = 0;
    int y = 0;
};
OrientedPoint OrientPoint(int x, int y, int width, int height, Orientation orientation);

// The single steps of the Edit menu as orientations.
inline constexpr Orientation kFlipHorizontalStep{0, true};
inline constexpr Orientation kFlipVerticalStep{2, true};
inline constexpr Orientation kRotateStep{1, false};

// Stored as text in the project: "R<turns>" followed by "F" when flipped, e.g. "R1F". Unreadable text
// gives the identity, so a damaged key never keeps a project from opening.
std::string FormatOrientation(Orientation orientation);
Orientation ParseOrientation(std::string_view text);

}  // namespace korvane
