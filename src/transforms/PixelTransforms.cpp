#include "transforms/PixelTransforms.h"

#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvane {

namespace {

std::uint32_t* row(const ImageView& image, int y) {
    return image.pixels + std::size_t(y) * std::size_t(image.stride);
}

const std::uint32_t* row(const ConstImageView& image, int y) {
    return image.pixels + std::size_t(y) * std::size_t(image.stride);
}

}  // namespace

void FlipHorizontal(const ImageView& image) {
    for (int y = 0; y < image.height; ++y) {
        std::reverse(row(image, y), row(image, y) + image.width);
    }
}

void FlipVertical(const ImageView& image) {
    // Whole rows are swapped through a small buffer: memory speed, and no second picture needed.
    constexpr int kChunk = 4096;
    std::uint32_t buffer[kChunk];
    for (int top = 0, bottom = image.height - 1; top < bottom; ++top, --bottom) {
        std::uint32_t* a = row(image, top);
        std::uint32_t* b = row(image, bottom);
        for (int x = 0; x < image.width; x += kChunk) {
            const std::size_t n = std::size_t(std::min(kChunk, image.width - x));
            std::memcpy(buffer, a + x, n * 4);
            std::memcpy(a + x, b + x, n * 4);
            std::memcpy(b + x, buffer, n * 4);
        }
    }
}

namespace {

// Turns the 4 x 4 block whose top-left source pixel is (x, y): four source rows become four
// destination rows, each written right to left.
inline void rotateBlock4(const ConstImageView& src, const ImageView& dst, int x, int y) {
#if defined(__SSE2__)
    const __m128i r0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row(src, y) + x));
    const __m128i r1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row(src, y + 1) + x));
    const __m128i r2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row(src, y + 2) + x));
    const __m128i r3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row(src, y + 3) + x));
    // Interleaving the rows in reverse order gives each column already reversed: [y+3, y+2, y+1, y].
    const __m128i t0 = _mm_unpacklo_epi32(r3, r2);  // (x,y+3) (x,y+2) (x+1,y+3) (x+1,y+2)
    const __m128i t1 = _mm_unpacklo_epi32(r1, r0);  // (x,y+1) (x,y) (x+1,y+1) (x+1,y)
    const __m128i t2 = _mm_unpackhi_epi32(r3, r2);
    const __m128i t3 = _mm_unpackhi_epi32(r1, r0);
    const int column = dst.width - 4 - y;
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row(dst, x) + column), _mm_unpacklo_epi64(t0, t1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row(dst, x + 1) + column), _mm_unpackhi_epi64(t0, t1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row(dst, x + 2) + column), _mm_unpacklo_epi64(t2, t3));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(row(dst, x + 3) + column), _mm_unpackhi_epi64(t2, t3));
#else
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            row(dst, x + i)[dst.width - 1 - (y + j)] = row(src, y + j)[x + i];
        }
    }
#endif
}

inline void rotatePixel(const ConstImageView& src, const ImageView& dst, int x, int y) {
    row(dst, x)[dst.width - 1 - y] = row(src, y)[x];
}

}  // namespace

void RotatePixels(const ConstImageView& src, const ImageView& dst, const std::function<void()>& progress) {
    const int w = src.width;
    const int h = src.height;
    // Tiles small enough that the source and destination lines they touch stay in L1 and the TLB.
    constexpr int kTile = 64;
    // Source rows handled between two calls of progress: a few milliseconds of work.
    constexpr int kBand = 256;
    const int w4 = w - w % 4;
    for (int bandTop = 0; bandTop < h; bandTop += kBand) {
        const int bandBottom = std::min(h, bandTop + kBand);
        const int bandBottom4 = bandTop + (bandBottom - bandTop) / 4 * 4;
        for (int tx = 0; tx < w4; tx += kTile) {
            const int xEnd = std::min(w4, tx + kTile);
            for (int ty = bandTop; ty < bandBottom4; ty += kTile) {
                const int yEnd = std::min(bandBottom4, ty + kTile);
                for (int y = ty; y < yEnd; y += 4) {
                    for (int x = tx; x < xEnd; x += 4) {
                        rotateBlock4(src, dst, x, y);
                    }
                }
            }
        }
        // The ragged right columns and bottom rows of the band, pixel by pixel.
        for (int y = bandTop; y < bandBottom; ++y) {
            for (int x = (y < bandBottom4 ? w4 : 0); x < w; ++x) {
                rotatePixel(src, dst, x, y);
            }
        }
        if (progress) {
            progress();
        }
    }
}

void OrientPixels(const ConstImageView& src, const ImageView& dst, Orientation orientation,
                  const std::function<void()>& progress) {
    // Mirroring first and then turning equals one turn (or none) followed by mirrors:
    // R.H = V.R, R^2 = H.V, R^3 = H.V.R, and so R^2.H = V and R^3.H = H.R.
    bool flipH = false;
    bool flipV = false;
    if (orientation.turns % 2 == 1) {
        RotatePixels(src, dst, progress);
        if (orientation.turns == 1) {
            flipV = orientation.flipped;
        } else {
            flipH = true;
            flipV = !orientation.flipped;
        }
    } else {
        for (int y = 0; y < src.height; ++y) {
            std::memcpy(row(dst, y), row(src, y), std::size_t(src.width) * 4);
        }
        if (progress) {
            progress();
        }
        if (orientation.turns == 0) {
            flipH = orientation.flipped;
        } else {
            flipH = !orientation.flipped;
            flipV = true;
        }
    }
    if (flipH) {
        FlipHorizontal(dst);
    }
    if (flipV) {
        FlipVertical(dst);
    }
}

OrientedPoint OrientPoint(int x, int y, int width, int height, Orientation orientation) {
    // An orientation mirrors left to right first and then turns clockwise.
    if (orientation.flipped) {
        x = width - 1 - x;
    }
    for (int turn = 0; turn < orientation.turns; ++turn) {
        const int turnedX = height - 1 - y;
        y = x;
        x = turnedX;
        std::swap(width, height);
    }
    return {x, y};
}

Orientation AfterRotate90(Orientation current) {
    return {(current.turns + 1) % 4, current.flipped};
}

Orientation AfterFlipHorizontal(Orientation current) {
    // Mirroring after t turns equals mirroring first and turning the other way round.
    return {(4 - current.turns) % 4, !current.flipped};
}

Orientation AfterFlipVertical(Orientation current) {
    // A vertical mirror is a horizontal one followed by a half turn.
    Orientation mirrored = AfterFlipHorizontal(current);
    return {(mirrored.turns + 2) % 4, mirrored.flipped};
}

Orientation Inverse(Orientation orientation) {
    // A mirror followed by turns is its own inverse (turning, mirroring and turning back mirrors the
    // other way round); plain turns are undone by the turns that complete the circle.
    return orientation.flipped ? orientation : Orientation{(4 - orientation.turns) % 4, false};
}

std::string FormatOrientation(Orientation orientation) {
    return "R" + std::to_string(orientation.turns) + (orientation.flipped ? "F" : "");
}

Orientation ParseOrientation(std::string_view text) {
    if (text.size() < 2 || text.size() > 3 || (text[0] != 'R' && text[0] != 'r') || text[1] < '0' ||
        text[1] > '3') {
        return {};
    }
    if (text.size() == 3 && text[2] != 'F' && text[2] != 'f') {
        return {};
    }
    return {text[1] - '0', text.size() == 3};
}

}  // namespace korvane
