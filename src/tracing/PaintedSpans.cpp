#include "tracing/PaintedSpans.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#define KORVANE_SPANS_SSE2 1
#endif

namespace korvane {

namespace {

constexpr std::uint32_t kColourBits = 0x00FFFFFFu;
constexpr std::uint32_t kHighByte = 0xFF000000u;
constexpr std::uint32_t kRightmostRun = 0x80000000u;
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

#if KORVANE_SPANS_SSE2
// Four runs of one pixel each, none of them a span's right-most (top bytes all zero): the common case of
// a textured scan, written four pixels at a time. The runs lie right to left in memory, so `runs`
// (the lowest of the four) holds the colour of the right-most pixel.
bool fourSinglePixels(const std::uint32_t* runs) {
    const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(runs));
    const __m128i tops = _mm_and_si128(words, _mm_set1_epi32(int(kHighByte)));
    return _mm_movemask_epi8(_mm_cmpeq_epi32(tops, _mm_setzero_si128())) == 0xFFFF;
}

template <bool Restore>
void paintFour(std::uint32_t* pixels, const std::uint32_t* runs, std::uint32_t fill) {
    __m128i colours = _mm_set1_epi32(int(fill));
    if constexpr (Restore) {
        colours = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<const __m128i*>(runs)), 0x1B);
    }
    __m128i* target = reinterpret_cast<__m128i*>(pixels);
    const __m128i high = _mm_and_si128(_mm_loadu_si128(target), _mm_set1_epi32(int(kHighByte)));
    _mm_storeu_si128(target, _mm_or_si128(high, colours));
}

// Pixels from `pixels` on that have `colour`, at most `most` of them, four at a time.
std::uint32_t sameColourAhead(const std::uint32_t* pixels, std::uint32_t most, std::uint32_t colour) {
    const __m128i mask = _mm_set1_epi32(int(kColourBits));
    const __m128i wanted = _mm_set1_epi32(int(colour));
    std::uint32_t n = 0;
    while (n + 4 <= most) {
        const __m128i words = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels - n - 3));
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(words, mask), wanted)) != 0xFFFF) {
            break;
        }
        n += 4;
    }
    return n;
}
#endif

}  // namespace

void PaintedSpans::fetchAhead(ImageView& picture, const SpanHeader& span) {
    // Consecutive spans lie on different rows, where the processor cannot guess the next address.
    __builtin_prefetch(rowStart(picture, span.y) + span.x0, 1);
}

void PaintedSpans::record(const std::uint32_t* first, int y, int x0, int length, std::uint32_t fill) {
    // One run per pixel at worst: reserving that much once per span keeps the loop free of checks. The
    // span is coded from its right end, and its runs are only kept when it holds a colour other than
    // the fill's.
    std::uint32_t* const begin = runs_.reserveMore(std::size_t(length));
    std::uint32_t* out = begin;
    std::uint32_t mark = kRightmostRun;
    std::uint32_t colour = first[length - 1] & kColourBits;
    std::uint32_t count = 1;
    bool changes = false;
    for (int i = length - 2; i >= 0; --i) {
        const std::uint32_t next = first[i] & kColourBits;
        if (next == colour && count < kLongestRun) {
            ++count;
#if KORVANE_SPANS_SSE2
            // A run has begun: the rest of it is likely long (flat copper), so take it four at a time.
            if (i >= 4) {
                const std::uint32_t more =
                    sameColourAhead(first + i - 1, std::min(kLongestRun - count, std::uint32_t(i)), colour);
                count += more;
                i -= int(more);
            }
#endif
            continue;
        }
        changes = changes || colour != fill;
        *out++ = colour | ((count - 1) << kLengthShift) | mark;
        mark = 0;
        colour = next;
        count = 1;
    }
    changes = changes || colour != fill;
    if (!changes) {
        return;
    }
    *out++ = colour | ((count - 1) << kLengthShift) | mark;
    runs_.setSize(runs_.size() + std::size_t(out - begin));

    SpanHeader* header = spans_.reserveMore(1);
    *header = SpanHeader{y, x0};
    spans_.setSize(spans_.size() + 1);

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

template <bool Restore>
void PaintedSpans::replay(ImageView& picture, std::size_t firstSpan, std::uint32_t fill) const {
    // Read backwards, the log gives the newest span first and each span's runs from its left end. The
    // newest first matters for the restore only; the repaint writes one colour and may go either way.
    const std::uint32_t* runs = runs_.data();
    std::size_t r = runs_.size();
    for (std::size_t s = spans_.size(); s-- > firstSpan;) {
        if (s >= firstSpan + kSpansAhead) {
            fetchAhead(picture, spans_[s - kSpansAhead]);
        }
        if (picture.guard != nullptr) {
            // The span's length is only known from its runs: one pass over them before the pixels.
            std::uint32_t length = 0;
            for (std::size_t q = r;;) {
                const std::uint32_t run = runs[--q];
                length += runLength(run);
                if ((run & kRightmostRun) != 0) {
                    break;
                }
            }
            picture.guard->beforeWrite(picture, spans_[s].y, spans_[s].x0, int(length));
        }
        std::uint32_t* pixels = rowStart(picture, spans_[s].y) + spans_[s].x0;
        for (;;) {
#if KORVANE_SPANS_SSE2
            while (r >= 4 && fourSinglePixels(runs + r - 4)) {
                paintFour<Restore>(pixels, runs + r - 4, fill);
                pixels += 4;
                r -= 4;
            }
#endif
            const std::uint32_t run = runs[--r];
            const std::uint32_t count = runLength(run);
            paint(pixels, count, Restore ? run & kColourBits : fill);
            pixels += count;
            if ((run & kRightmostRun) != 0) {
                break;
            }
        }
    }
}

bool PaintedSpans::restore(ImageView& picture) const {
    if (!holds(picture)) {
        return false;
    }
    replay<true>(picture, 0, 0);
    return true;
}

bool PaintedSpans::repaint(ImageView& picture, std::int32_t fill) const {
    if (!holds(picture)) {
        return false;
    }
    replay<false>(picture, 0, std::uint32_t(fill) & kColourBits);
    return true;
}

bool PaintedSpans::rollBack(ImageView& picture, const Mark& mark) {
    if (mark.spans > spans_.size() || mark.runs > runs_.size() || !holds(picture)) {
        return false;
    }
    replay<true>(picture, mark.spans, 0);
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
