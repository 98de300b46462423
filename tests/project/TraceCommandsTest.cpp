#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "project/Project.h"
#include "project/TraceCommands.h"
#include "tracing/FloodFill.h"
#include "tracing/TraceReplay.h"

namespace korvane {
namespace {

constexpr std::int32_t kRed = 255;

// Copper with grain: every pixel within 5 % of its neighbours' colour, none alike, so that only an exact
// undo gives the scan back (a repaint in the seed's colour would flatten it).
struct Scan {
    int width = 64, height = 32;
    std::vector<std::uint32_t> pixels;
    Scan() : pixels(std::size_t(width * height)) {
        std::uint32_t seed = 12345;
        for (std::uint32_t& p : pixels) {
            seed = seed * 1103515245u + 12345u;
            p = 0xFF000000u | (0x404040u + ((seed >> 16) % 0x30u));
        }
        for (int y = 0; y < height; ++y) {
            pixels[std::size_t(y * width + 40)] = 0xFF000000u | 0xFFFFFFu;  // a gap no fill crosses
        }
    }
    ImageView view() { return ImageView{pixels.data(), width, height, width}; }
};

struct Board : ::testing::Test {
    Scan scan;
    Project project;
    void SetUp() override {
        project.setPixelSource([this](int) { return scan.view(); });
    }

    // A fill the user keeps, as the window does it: painted, logged, then kept as a step.
    void keepFill(int x, int y) {
        auto log = std::make_shared<PaintedSpans>();
        FillControl control;
        control.history = log.get();
        std::string kept;
        control.record = [&kept](const std::string& record) { kept = record; };
        std::int32_t fill = kRed;
        bool quiet = false;
        ImageView view = scan.view();
        FillArea(view, x, y, fill, 0.1f, 0.1f, quiet, control);
        ASSERT_FALSE(kept.empty());
        keep(std::make_unique<FillCommand>(TracePainting{1, kept, log, fill}));
    }

    // A step already carried out, kept as the window keeps it.
    template <class Step>
    void keep(std::unique_ptr<Step> step) {
        step->keep(project);
        project.record(std::move(step));
    }

    // The record of picture 1 replayed on the scan, logged; the painting a draw or an erase step keeps.
    TracePainting replay(const std::string& line, ReplayMode mode) {
        const TraceRecord record = *ParseTraceRecord(line);
        auto log = std::make_shared<PaintedSpans>();
        FillControl control;
        control.history = log.get();
        ImageView view = scan.view();
        ReplayRecord(record, mode, view, control);
        return {1, line, log, mode == ReplayMode::Draw ? record.fillColor : record.origColor};
    }
};

TEST_F(Board, AKeptFillIsUndoneToTheExactScanAndRedoneWithoutANewFill) {
    const std::vector<std::uint32_t> before = scan.pixels;
    keepFill(5, 5);
    const std::vector<std::uint32_t> filled = scan.pixels;
    ASSERT_NE(filled, before);
    EXPECT_EQ(project.traces1.size(), 1u);
    EXPECT_EQ(project.history().undoText(), "fill");
    EXPECT_FALSE(project.saved());

    project.undo();
    EXPECT_EQ(scan.pixels, before) << "the grain comes back, pixel for pixel";
    EXPECT_TRUE(project.traces1.empty());
    EXPECT_TRUE(project.saved());
    project.redo();
    EXPECT_EQ(scan.pixels, filled);
    EXPECT_EQ(project.traces1.size(), 1u);
}

TEST_F(Board, ErasingAKnownTraceGivesTheScanBackAndUndoPutsTraceAndRecordBack) {
    const std::vector<std::uint32_t> before = scan.pixels;
    keepFill(5, 5);
    keepFill(50, 5);
    const std::vector<std::uint32_t> filled = scan.pixels;
    const std::string first = project.traces1[0];

    // The window erases row 0: the drawing is known, so it comes off exactly.
    TracePainting erased;
    ASSERT_TRUE(EraseDrawnTrace(project, 1, first, erased));
    keep(std::make_unique<EraseTracesCommand>(std::vector<EraseTracesCommand::Erased>{{erased, true, 0}}));
    EXPECT_EQ(project.history().undoText(), "erase trace");
    EXPECT_EQ(project.traces1.size(), 1u);
    for (int y = 0; y < scan.height; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(scan.pixels[std::size_t(y * scan.width + x)], before[std::size_t(y * scan.width + x)]);
        }
    }
    project.undo();
    EXPECT_EQ(scan.pixels, filled);
    EXPECT_EQ(project.traces1.lines()[0], first) << "the record is back at its place";
    project.undo();
    project.undo();
    EXPECT_EQ(scan.pixels, before);
    EXPECT_TRUE(project.saved());
}

TEST_F(Board, TracesDrawnFromRecordsChangeNothingToSaveAndUnknownDrawingsAreErasedByPainting) {
    project.traces1 = std::vector<std::string>{"1-5-5-4210752=255-0.1-0.1"};
    const std::vector<std::uint32_t> before = scan.pixels;
    // The seed's colour decides what a record repaints, so the scan's grain is drawn over in part.
    keep(std::make_unique<DrawTracesCommand>(
        std::vector<TracePainting>{replay(project.traces1[0], ReplayMode::Draw)}));
    EXPECT_EQ(project.history().undoText(), "draw all traces");
    EXPECT_TRUE(project.saved()) << "drawing changes nothing of the file";
    const std::vector<std::uint32_t> drawn = scan.pixels;
    project.undo();
    EXPECT_EQ(scan.pixels, before);
    project.redo();
    EXPECT_EQ(scan.pixels, drawn);

    // Once the history has let go of the drawing, erasing paints the seed's old colour, logged.
    project.resetHistory();
    TracePainting unused;
    EXPECT_FALSE(EraseDrawnTrace(project, 1, project.traces1[0], unused));
    keep(std::make_unique<EraseTracesCommand>(
        std::vector<EraseTracesCommand::Erased>{{replay(project.traces1[0], ReplayMode::Erase), false, 0}}));
    EXPECT_TRUE(project.traces1.empty());
    EXPECT_FALSE(project.saved());
    project.undo();
    EXPECT_EQ(scan.pixels, drawn) << "the trace as it was shown";
    EXPECT_EQ(project.traces1.size(), 1u);
}

}  // namespace
}  // namespace korvane
