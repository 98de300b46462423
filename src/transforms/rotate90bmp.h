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

// New pixel (x, y) is old pixel (W - 1 - x, y).
void FlipHorizontal(const ImageView& image);
// New pixel (x, y) is old pixel (x, H - 1 - y).
void FlipVertical(const ImageView& image);

// Turns src by 90 degrees clockwise into dst, which must be src.height wide and src.width high:
// dst(H - 1 - y, x) = src(x, y). progress is called between blocks of rows (never more often than
// every few thousand pixels) so that a long rotation can keep the window alive; it may be empty.
void RotatePixels(const ImageView& src, const ImageView& dst, const std::function<void()>& progress = {});

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

// Stored as text in the project: "R<turns>" followed by "F" when flipped, e.g. "R1F". Unreadable text
// gives the identity, so a damaged key never keeps a project from opening.
std::string FormatOrientation(Orientation orientation);
Orientation ParseOrientation(std::string_view text);

}  // namespace korvane
