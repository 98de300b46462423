#pragma once

// A generated scan of a bare board for the fill tests and benchmarks: horizontal tracks 6 pixels wide
// with 3-pixel gaps between them, optionally a copper pour below them, under noise of standard deviation
// 8 per channel (from a fixed seed) and light rising by 60 levels from the left edge to the right one
// (-30 .. +30 around the drawn colours). Pixel words carry 0xFF in the high byte and red in the low one.

#include <algorithm>
#include <cstdint>
#include <vector>

namespace korvane::board {

inline constexpr std::uint32_t kCopper = 0x4A9BD2u;     // red 210, green 155, blue 74
inline constexpr std::uint32_t kSubstrate = 0x2E5A1Fu;  // red 31, green 90, blue 46
inline constexpr int kTrackWidth = 6;
inline constexpr int kGap = 3;
inline constexpr int kMargin = 8;
inline constexpr std::int16_t kNone = -1;  // substrate
inline constexpr std::int16_t kPour = -2;

struct BoardScan {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> words;
    std::vector<std::int16_t> owner;  // per pixel: the track's number, kPour or kNone
    int tracks = 0;
    int pourTop = 0;  // first row of the pour (height when there is none)

    int trackTop(int track) const { return kMargin + track * (kTrackWidth + kGap); }
    int trackLeft() const { return kMargin; }
    int trackRight() const { return width - 1 - kMargin; }
    std::int16_t ownerAt(int x, int y) const {
        return owner[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

// Normal noise from a fixed seed: the sum of four uniform numbers, scaled to a standard deviation of 8,
// the same on every library (std::normal_distribution is not).
class Noise {
  public:
    explicit Noise(std::uint64_t seed) : state_(seed) {}
    int next() {
        state_ += 0x9E3779B97F4A7C15ULL;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        z ^= z >> 31;
        const std::int64_t sum = std::int64_t(z & 0xFFFF) + std::int64_t((z >> 16) & 0xFFFF) +
                                 std::int64_t((z >> 32) & 0xFFFF) + std::int64_t(z >> 48);
        // Four uniform 0..65535 numbers sum to 131070 on average, with a standard deviation of 37837.
        const std::int64_t scaled = (sum - 131070) * 8;
        return int(scaled >= 0 ? (scaled + 18918) / 37837 : (scaled - 18918) / 37837);
    }

  private:
    std::uint64_t state_;
};

inline BoardScan MakeBoardScan(int width, int height, bool pour, std::uint64_t seed = 8) {
    BoardScan b;
    b.width = width;
    b.height = height;
    b.owner.assign(std::size_t(width) * std::size_t(height), kNone);
    b.pourTop = pour ? height / 2 : height;
    const int tracksEnd = pour ? b.pourTop - kGap - 2 * kMargin : height - kMargin;
    while (b.trackTop(b.tracks) + kTrackWidth <= tracksEnd) {
        const int top = b.trackTop(b.tracks);
        for (int y = top; y < top + kTrackWidth; ++y) {
            std::fill_n(b.owner.begin() + std::ptrdiff_t(y) * width + kMargin, width - 2 * kMargin,
                        std::int16_t(b.tracks));
        }
        ++b.tracks;
    }
    if (pour) {
        for (int y = b.pourTop; y < height - kMargin; ++y) {
            std::fill_n(b.owner.begin() + std::ptrdiff_t(y) * width + kMargin, width - 2 * kMargin, kPour);
        }
    }
    b.words.resize(b.owner.size());
    Noise noise(seed);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::size_t i = std::size_t(y) * std::size_t(width) + std::size_t(x);
            const std::uint32_t colour = b.owner[i] == kNone ? kSubstrate : kCopper;
            const int light = width > 1 ? (60 * x + (width - 1) / 2) / (width - 1) - 30 : 0;
            std::uint32_t word = 0xFF000000u;
            for (int s = 0; s < 24; s += 8) {
                const int c = int((colour >> s) & 0xFFu) + light + noise.next();
                word |= std::uint32_t(std::clamp(c, 0, 255)) << s;
            }
            b.words[i] = word;
        }
    }
    return b;
}

}  // namespace korvane::board
