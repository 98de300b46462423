#include "transforms/PaintedPixels.h"

#include <algorithm>
#include <cstring>

namespace korvane {

PaintedPixels PaintedPixels::Between(const ConstImageView& base, const ConstImageView& work) {
    PaintedPixels painted;
    const int width = std::min(base.width, work.width);
    const int height = std::min(base.height, work.height);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* b = base.pixels + std::ptrdiff_t(y) * base.stride;
        const std::uint32_t* w = work.pixels + std::ptrdiff_t(y) * work.stride;
        // Most rows hold no painting at all: one comparison of the whole row passes them.
        if (std::memcmp(b, w, std::size_t(width) * sizeof(std::uint32_t)) == 0) {
            continue;
        }
        painted.addDifferences(y, 0, b, w, width);
    }
    painted.shrinkToFit();
    return painted;
}

void PaintedPixels::addDifferences(int y, int x, const std::uint32_t* base, const std::uint32_t* work,
                                   int length) {
    for (int i = 0; i < length;) {
        // Unpainted stretches go by four pixels at a time.
        while (i + 4 <= length && std::memcmp(base + i, work + i, 4 * sizeof(std::uint32_t)) == 0) {
            i += 4;
        }
        if (i >= length) {
            break;
        }
        if (base[i] == work[i]) {
            ++i;
            continue;
        }
        const int start = i;
        while (i < length && base[i] != work[i]) {
            ++i;
        }
        if (!runs_.empty() && runs_.back().y == y && runs_.back().x + runs_.back().length == x + start) {
            runs_.back().length += i - start;
        } else {
            runs_.push_back({y, x + start, i - start});
        }
        if (keepPixels_) {
            pixels_.insert(pixels_.end(), work + start, work + i);
        }
    }
}

void PaintedPixels::shrinkToFit() {
    runs_.shrink_to_fit();
    pixels_.shrink_to_fit();
}

void PaintedPixels::paintInto(const ImageView& work) const {
    const std::uint32_t* from = pixels_.data();
    for (const Run& run : runs_) {
        // An image of another size than the one they came from takes what lies within it.
        if (run.y < work.height && run.x < work.width) {
            const int length = std::min(run.length, work.width - run.x);
            BeforeWrite(work, run.y, run.x, length);
            std::copy(from, from + length, work.pixels + std::ptrdiff_t(run.y) * work.stride + run.x);
        }
        from += run.length;
    }
}

}  // namespace korvane
