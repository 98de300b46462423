#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "transforms/PaintedPixels.h"
#include "transforms/PixelTransforms.h"

namespace korvane {
namespace {

// A picture as rows of letters, so expectations read like the pictures they describe.
struct Picture {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
    ImageView view() { return {pixels.data(), width, height, width}; }
};

// Rows parted by '/', one letter a pixel.
Picture fromRows(const std::string& rows) {
    Picture p{int(rows.find('/')), int(rows.size() + 1) / int(rows.find('/') + 1), {}};
    for (char c : rows) {
        if (c != '/') {
            p.pixels.push_back(std::uint32_t(c));
        }
    }
    return p;
}

std::string rowsOf(const Picture& p) {
    std::string rows;
    for (std::size_t i = 0; i < p.pixels.size(); ++i) {
        rows += (i > 0 && i % std::size_t(p.width) == 0 ? "/" : "") + std::string(1, char(p.pixels[i]));
    }
    return rows;
}

Picture rotated(Picture p, const std::function<void()>& progress = {}) {
    Picture out{p.height, p.width, std::vector<std::uint32_t>(p.pixels.size())};
    RotatePixels(p.view(), out.view(), progress);
    return out;
}

TEST(Transforms, FourTurnsOrTwoFlipsGiveThePictureBack) {
    // Sizes that are not multiples of the blocks, and one taller than a progress band.
    for (auto [w, h] : {std::pair{1, 1}, {37, 5}, {70, 300}, {257, 33}}) {
        Picture original{w, h, std::vector<std::uint32_t>(std::size_t(w) * std::size_t(h))};
        std::mt19937 random(std::uint32_t(w * 1000 + h));
        for (auto& px : original.pixels) {
            px = random();
        }
        Picture p = original;
        int progressCalls = 0;
        for (int i = 0; i < 4; ++i) {
            p = rotated(p, [&] { ++progressCalls; });
        }
        EXPECT_EQ(p.pixels, original.pixels) << w << "x" << h;
        EXPECT_GE(progressCalls, 4);
        for (auto flip : {FlipHorizontal, FlipHorizontal, FlipVertical, FlipVertical}) {
            flip(p.view());
        }
        EXPECT_EQ(p.pixels, original.pixels) << w << "x" << h;
    }
}

TEST(Transforms, SmallPicturesTurnAndMirrorAsDrawnAndTheRowStrideIsKept) {
    Picture p = fromRows("abc/def");
    FlipHorizontal(p.view());
    EXPECT_EQ(rowsOf(p), "cba/fed");
    FlipVertical(p.view());
    EXPECT_EQ(rowsOf(p), "fed/cba");
    // A view into a wider buffer: the padding must be neither read into nor written over.
    std::vector<std::uint32_t> src = {'a', 'b', 'c', 0xDEAD, 'd', 'e', 'f', 0xDEAD};
    std::vector<std::uint32_t> dst(3 * 4, 0xBEEF);
    RotatePixels({src.data(), 3, 2, 4}, {dst.data(), 2, 3, 4});
    EXPECT_EQ(dst, (std::vector<std::uint32_t>{'d', 'a', 0xBEEF, 0xBEEF, 'e', 'b', 0xBEEF, 0xBEEF, 'f', 'c',
                                               0xBEEF, 0xBEEF}));
}

// Applies the reduced orientation to the original: mirror first, then turn.
Picture applyOrientation(Picture p, Orientation o) {
    if (o.flipped) {
        FlipHorizontal(p.view());
    }
    for (int i = 0; i < o.turns; ++i) {
        p = rotated(p);
    }
    return p;
}

TEST(Transforms, AnySequenceReducesToOneStoredOrientation) {
    const Picture original = fromRows("abcd/efgh/ijkl");
    std::mt19937 random(7);
    for (int trial = 0; trial < 200; ++trial) {
        Picture p = original;
        Orientation o;
        const int steps = int(random() % 8);
        for (int s = 0; s < steps; ++s) {
            if (const auto step = random() % 3; step == 0) {
                FlipHorizontal(p.view());
                o = AfterFlipHorizontal(o);
            } else if (step == 1) {
                FlipVertical(p.view());
                o = AfterFlipVertical(o);
            } else {
                p = rotated(p);
                o = AfterRotate90(o);
            }
        }
        ASSERT_EQ(rowsOf(applyOrientation(original, o)), rowsOf(p)) << FormatOrientation(o);
        // The same in one step from the stored text, as reopening a project does it.
        Picture source = original;
        Picture oriented{o.turns % 2 ? 3 : 4, o.turns % 2 ? 4 : 3, std::vector<std::uint32_t>(12)};
        OrientPixels(source.view(), oriented.view(), ParseOrientation(FormatOrientation(o)));
        ASSERT_EQ(rowsOf(oriented), rowsOf(p)) << FormatOrientation(o);
        // Every pixel's point goes where the pixel went: a trace's seed stays on its copper.
        for (int y = 0; y < 3; ++y) {
            for (int x = 0; x < 4; ++x) {
                const OrientedPoint to = OrientPoint(x, y, 4, 3, o);
                ASSERT_EQ(oriented.pixels[std::size_t(to.y * oriented.width + to.x)],
                          original.pixels[std::size_t(y * 4 + x)])
                    << FormatOrientation(o) << " at " << x << "," << y;
            }
        }
        // Undoing it as one step, the way the window composes a step with the picture's orientation.
        const Orientation inverse = Inverse(o);
        ASSERT_EQ(rowsOf(applyOrientation(p, inverse)), rowsOf(original)) << FormatOrientation(o);
        Orientation composed = inverse.flipped ? AfterFlipHorizontal(o) : o;
        for (int turn = 0; turn < inverse.turns; ++turn) {
            composed = AfterRotate90(composed);
        }
        ASSERT_TRUE(composed.identity()) << FormatOrientation(o);
    }
}

TEST(Transforms, OrientationTextIsReadBackAndDamageGivesTheIdentity) {
    EXPECT_EQ(FormatOrientation({}), "R0");
    EXPECT_EQ(FormatOrientation({3, true}), "R3F");
    EXPECT_EQ(ParseOrientation("R1F"), (Orientation{1, true}));
    EXPECT_EQ(ParseOrientation("r2"), (Orientation{2, false}));
    for (const char* bad : {"", "R", "R4", "R-1", "X1", "R1G", "R1FF", "12"}) {
        EXPECT_TRUE(ParseOrientation(bad).identity()) << bad;
    }
}

TEST(Transforms, PaintedPixelsGoBackExactlyWhereTheyWere) {
    Picture base{300, 40, std::vector<std::uint32_t>(300 * 40)};
    std::mt19937 random(3);
    for (auto& px : base.pixels) {
        px = random() | 0xFF000000;
    }
    Picture work = base;
    EXPECT_TRUE(PaintedPixels::Between(base.view(), work.view()).empty());
    // The first pixel, the last one, a whole row, two runs in one row.
    for (const auto [x, y, length] :
         {std::array{0, 0, 1}, {299, 39, 1}, {0, 7, 300}, {10, 20, 5}, {100, 20, 50}}) {
        std::fill_n(work.pixels.begin() + y * 300 + x, length, 0xFF0000FF);
    }
    const PaintedPixels painted = PaintedPixels::Between(base.view(), work.view());
    EXPECT_EQ(painted.pixelCount(), 357u);
    EXPECT_LE(painted.bytes(), 357 * 4 + 5 * 12u);
    Picture restored = base;
    painted.paintInto(restored.view());
    EXPECT_EQ(restored.pixels, work.pixels);
}

}  // namespace
}  // namespace korvane
