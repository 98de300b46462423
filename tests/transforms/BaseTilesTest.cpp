// The copy-on-write base: every writer that paints through a guarded view leaves the base exact, and only
// the tiles it crossed are saved.

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "tracing/FloodFill.h"
#include "tracing/PaintedSpans.h"
#include "transforms/BaseTiles.h"
#include "transforms/PaintedPixels.h"

namespace korvane {
namespace {

constexpr std::int32_t kCopper = 0x3070B0;
constexpr std::int32_t kRed = 255;

// 200 x 150 noisy substrate (no two neighbours alike) with one copper area crossing tile edges: columns
// 50..140 (tiles 0..2) and rows 60..100 (tile rows 0..1), six tiles of the twelve. High bytes vary, so only
// an exact copy gives every word back.
struct Board {
    static constexpr int kWidth = 200;
    static constexpr int kHeight = 150;
    std::vector<std::uint32_t> words;
    Board() : words(std::size_t(kWidth) * kHeight) {
        std::mt19937 random(7);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const bool copper = x >= 50 && x <= 140 && y >= 60 && y <= 100;
                const std::uint32_t colour =
                    copper ? std::uint32_t(kCopper) : 0x800000u + (random() & 0xFFFF);
                words[std::size_t(y * kWidth + x)] = (random() % 3 == 0 ? 0x7F000000u : 0xFF000000u) | colour;
            }
        }
    }
    ImageView view(PaintGuard* guard = nullptr) { return {words.data(), kWidth, kHeight, kWidth, guard}; }
};

TEST(BaseTiles, EveryGuardedWriterKeepsTheBaseExactAndSavesOnlyTheTilesItCrosses) {
    // What a fill of the copper area paints, kept on an unguarded copy for the writers that replay it.
    Board filled;
    PaintedSpans log;
    {
        FillControl control;
        control.history = &log;
        std::int32_t fill = kRed;
        bool quiet = true;
        ImageView view = filled.view();
        FillArea(view, 60, 70, fill, 0.01f, 0.01f, quiet, control);
    }
    const PaintedPixels painted = PaintedPixels::Between(Board().view(), filled.view());
    ASSERT_EQ(painted.pixelCount(), 91u * 41u);

    const struct {
        const char* writer;
        void (*write)(ImageView&, PaintedSpans&, const PaintedPixels&);
    } cases[] = {
        {"fill with a log",
         [](ImageView& view, PaintedSpans&, const PaintedPixels&) {
             PaintedSpans history;
             FillControl control;
             control.history = &history;
             std::int32_t fill = kRed;
             bool quiet = true;
             FillArea(view, 100, 90, fill, 0.01f, 0.01f, quiet, control);
         }},
        {"fill without a log: the spans are still told before they are painted",
         [](ImageView& view, PaintedSpans&, const PaintedPixels&) {
             FillControl control;
             std::int32_t fill = kRed;
             bool quiet = true;
             FillArea(view, 100, 90, fill, 0.01f, 0.01f, quiet, control);
         }},
        {"repaint of a fill's log (redo, erase undone)",
         [](ImageView& view, PaintedSpans& spans, const PaintedPixels&) { spans.repaint(view, kRed); }},
        {"painting a transform's wiped traces back",
         [](ImageView& view, PaintedSpans&, const PaintedPixels& pixels) { pixels.paintInto(view); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.writer);
        const Board original;
        Board work;
        BaseTiles base;
        base.reset(Board::kWidth, Board::kHeight);
        ImageView view = work.view(&base);
        c.write(view, log, painted);
        EXPECT_EQ(work.words, filled.words) << "the writer painted the area";
        EXPECT_EQ(base.savedTiles(), 6u);

        // The base put together from the working image and the tiles is the picture as it was.
        std::vector<std::uint32_t> composed = work.words;
        base.restoreInto({composed.data(), Board::kWidth, Board::kHeight, Board::kWidth});
        EXPECT_EQ(composed, original.words);
        // What the tiles say was painted is exactly what a comparison of the whole pictures finds.
        const PaintedPixels fromTiles = base.painted(work.view());
        EXPECT_EQ(fromTiles.pixelCount(), painted.pixelCount());
        EXPECT_EQ(fromTiles.bytes(), painted.bytes()) << "runs join across tile edges";
        const PaintedPixels where = base.painted(work.view(), false);
        EXPECT_EQ(where.pixelCount(), 0u);
        EXPECT_EQ(where.runs().size() * sizeof(PaintedPixels::Run),
                  painted.bytes() - 4 * painted.pixelCount())
            << "the same runs without their pixels";
        std::vector<std::uint32_t> again = original.words;
        fromTiles.paintInto({again.data(), Board::kWidth, Board::kHeight, Board::kWidth});
        EXPECT_EQ(again, work.words);

        // A transform starts from the base shown in place, and a failed one puts the painting back.
        base.exchange(work.view());
        EXPECT_EQ(work.words, original.words);
        base.exchange(work.view());
        EXPECT_EQ(work.words, filled.words);

        // Taking the painting back (undo, erase) through the guard saves nothing more; the base holds.
        log.restore(view);
        EXPECT_EQ(work.words, original.words);
        EXPECT_EQ(base.savedTiles(), 6u);
        EXPECT_TRUE(base.painted(work.view()).empty());
    }
}

TEST(BaseTiles, AWriterThatCannotTellSavesEverythingAndANewPictureStartsEmpty) {
    Board work;
    BaseTiles base;
    base.reset(Board::kWidth, Board::kHeight);
    EXPECT_TRUE(base.empty());
    base.saveAll(work.view());
    EXPECT_EQ(base.savedTiles(), 12u) << "4 x 3 tiles, the last ones cut at the picture's edges";
    EXPECT_EQ(base.bytes() - 12 * sizeof(void*), std::size_t(Board::kWidth) * Board::kHeight * 4);
    work.words[0] ^= 1;
    EXPECT_EQ(base.painted(work.view()).pixelCount(), 1u);
    // Spans outside the picture, or views of another size, are no business of the base.
    base.reset(Board::kWidth, Board::kHeight);
    base.beforeWrite(work.view(), -1, 0, 10);
    base.beforeWrite(work.view(), Board::kHeight, 0, 10);
    base.beforeWrite({work.words.data(), 100, 100, Board::kWidth}, 0, 0, 10);
    EXPECT_TRUE(base.empty());
    base.beforeWrite(work.view(), 0, -5, 10);
    EXPECT_EQ(base.savedTiles(), 1u);
}

}  // namespace
}  // namespace korvane
