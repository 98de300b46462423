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
        for (int x = 0; x < width;) {
            if (b[x] == w[x]) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < width && b[x] != w[x]) {
                ++x;
            }
            painted.runs_.push_back({y, start, x - start});
            painted.pixels_.insert(painted.pixels_.end(), w + start, w + x);
        }
    }
    painted.runs_.shrink_to_fit();
    painted.pixels_.shrink_to_fit();
    return painted;
}

void PaintedPixels::paintInto(const ImageView& work) const {
    const std::uint32_t* from = pixels_.data();
    for (const Run& run : runs_) {
        // An image of another size than the one they came from takes what lies within it.
        if (run.y < work.height && run.x < work.width) {
            const int length = std::min(run.length, work.width - run.x);
            std::copy(from, from + length, work.pixels + std::ptrdiff_t(run.y) * work.stride + run.x);
        }
        from += run.length;
    }
}

}  // namespace korvane
