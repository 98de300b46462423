#include "tracing/PaintedSpans.h"

#include <algorithm>

namespace korvane {

namespace {

constexpr std::uint32_t kColourBits = 0x00FFFFFFu;
constexpr std::uint32_t kHighByte = 0xFF000000u;
constexpr std::uint32_t kLastRun = 0x80000000u;
constexpr int kLengthShift = 24;
constexpr std::uint32_t kLengthBits = 0x7Fu;
constexpr std::uint32_t kLongestRun = kLengthBits + 1;

std::uint32_t runLength(std::uint32_t run) {
    return ((run >> kLengthShift) & kLengthBits) + 1;
}

std::uint32_t* rowStart(ImageView& picture, int y) {
    return picture.pixels + std::size_t(y) * std::size_t(picture.stride);
}

// Writes `colour` under each pixel's own high byte, as the fill does.
void paint(std::uint32_t* pixels, std::uint32_t count, std::uint32_t colour) {
    for (std::uint32_t i = 0; i < count; ++i) {
        pixels[i] = (pixels[i] & kHighByte) | colour;
    }
}

}  // namespace

void PaintedSpans::record(const std::uint32_t* first, int y, int x0, int length) {
    SpanHeader* header = spans_.reserveMore(1);
    *header = SpanHeader{y, x0};
    spans_.setSize(spans_.size() + 1);

    // One run per pixel at worst: reserving that much once per span keeps the loop free of checks.
    std::uint32_t* const begin = runs_.reserveMore(std::size_t(length));
    std::uint32_t* out = begin;
    std::uint32_t colour = first[0] & kColourBits;
    std::uint32_t count = 1;
    for (int i = 1; i < length; ++i) {
        const std::uint32_t next = first[i] & kColourBits;
        if (next == colour && count < kLongestRun) {
            ++count;
            continue;
        }
        *out++ = colour | ((count - 1) << kLengthShift);
        colour = next;
        count = 1;
    }
    *out++ = colour | ((count - 1) << kLengthShift) | kLastRun;
    runs_.setSize(runs_.size() + std::size_t(out - begin));

    pixels_ += length;
    const int x1 = x0 + length - 1;
    if (bounds_.empty()) {
        bounds_ = PixelRect{x0, y, x1, y};
    } else {
        bounds_.x0 = std::min(bounds_.x0, x0);
        bounds_.y0 = std::min(bounds_.y0, y);
        bounds_.x1 = std::max(bounds_.x1, x1);
        bounds_.y1 = std::max(bounds_.y1, y);
    }
}

bool PaintedSpans::holds(const ImageView& picture) const {
    if (bounds_.empty()) {
        return true;
    }
    return picture.pixels != nullptr && bounds_.x0 >= 0 && bounds_.y0 >= 0 && bounds_.x1 < picture.width &&
           bounds_.y1 < picture.height && picture.width <= picture.stride;
}

void PaintedSpans::restoreAfter(ImageView& picture, std::size_t firstSpan) const {
    // Spans are found from the end: each one's runs start after the previous span's last run.
    std::size_t end = runs_.size();
    for (std::size_t s = spans_.size(); s-- > firstSpan;) {
        std::size_t start = end - 1;
        while (start > 0 && (runs_[start - 1] & kLastRun) == 0) {
            --start;
        }
        std::uint32_t* pixels = rowStart(picture, spans_[s].y) + spans_[s].x0;
        for (std::size_t r = start; r < end; ++r) {
            const std::uint32_t count = runLength(runs_[r]);
            paint(pixels, count, runs_[r] & kColourBits);
            pixels += count;
        }
        end = start;
    }
}

bool PaintedSpans::restore(ImageView& picture) const {
    if (!holds(picture)) {
        return false;
    }
    restoreAfter(picture, 0);
    return true;
}

bool PaintedSpans::repaint(ImageView& picture, std::int32_t fill) const {
    if (!holds(picture)) {
        return false;
    }
    const std::uint32_t colour = std::uint32_t(fill) & kColourBits;
    std::size_t r = 0;
    for (std::size_t s = 0; s < spans_.size(); ++s) {
        std::uint32_t length = 0;
        for (;; ++r) {
            length += runLength(runs_[r]);
            if ((runs_[r] & kLastRun) != 0) {
                ++r;
                break;
            }
        }
        paint(rowStart(picture, spans_[s].y) + spans_[s].x0, length, colour);
    }
    return true;
}

bool PaintedSpans::rollBack(ImageView& picture, const Mark& mark) {
    if (mark.spans > spans_.size() || mark.runs > runs_.size() || !holds(picture)) {
        return false;
    }
    restoreAfter(picture, mark.spans);
    spans_.setSize(mark.spans);
    runs_.setSize(mark.runs);
    pixels_ = mark.pixels;
    bounds_ = mark.bounds;
    return true;
}

void PaintedSpans::shrinkToFit() {
    spans_.shrinkToFit();
    runs_.shrinkToFit();
}

void PaintedSpans::clear() {
    *this = PaintedSpans();
}

}  // namespace korvane
