// The flood fill, its painting log, and trace records replayed through it.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <map>
#include <random>

#include "support/ScriptedUi.h"
#include "tracing/FloodFill.h"
#include "tracing/PaintedSpans.h"
#include "tracing/TraceRecords.h"
#include "tracing/TraceReplay.h"

namespace korvane {
namespace {

using testing::ScriptedUi;
using Palette = std::map<char, std::int32_t>;

// A picture drawn as text, rows parted by '/', one character per pixel; words carry 0xFF in the high byte.
struct Picture {
    int width, height;
    std::vector<std::uint32_t> words;
    ImageView view_;
    Picture(int w, int h, std::int32_t colour)
        : width(w), height(h), words(std::size_t(w) * std::size_t(h), 0xFF000000u | std::uint32_t(colour)) {}
    Picture(const std::string& rows, const Palette& palette)
        : Picture(int(rows.find('/')), int(rows.size() + 1) / int(rows.find('/') + 1), 0) {
        for (int i = 0; i < width * height; ++i) {
            set(i % width, i / width, palette.at(rows[std::size_t(i + i / width)]));
        }
    }
    ImageView& view() { return view_ = ImageView{words.data(), width, height, width}; }
    std::int32_t at(int x, int y) const { return std::int32_t(words[std::size_t(y * width + x)] & 0xFFFFFF); }
    void set(int x, int y, std::int32_t colour) {
        words[std::size_t(y * width + x)] = 0xFF000000u | std::uint32_t(colour);
    }
    // The picture as text again; a pixel of no listed colour, or with its high byte touched, shows as '?'.
    std::string rows(const Palette& palette) const {
        std::string result;
        for (int i = 0; i < width * height; ++i) {
            result += i > 0 && i % width == 0 ? "/?" : "?";
            for (const auto& [c, colour] : palette) {
                if (words[std::size_t(i)] == (0xFF000000u | std::uint32_t(colour))) {
                    result.back() = c;
                }
            }
        }
        return result;
    }
};

constexpr std::int32_t kRed = 255;
constexpr std::int32_t kCopper = 0x4A9BD2;
constexpr std::int32_t kWall = 0x102030;

// Noisy copper (within 10 %), walls, red and varying high bytes: only an exact log gives every word back.
Picture texturedScan(int width, int height, int wallPercent, int noise, unsigned seed = 5) {
    std::mt19937 random(seed);
    Picture picture(width, height, 0);
    for (std::uint32_t& word : picture.words) {
        const int roll = int(random() % 100);
        const std::int32_t copper =
            kCopper + (noise > 0 ? int(random() % std::uint32_t(2 * noise + 1)) - noise : 0);
        const std::int32_t colour = roll < wallPercent ? kWall : roll < wallPercent + 2 ? kRed : copper;
        word = (random() % 4 == 0 ? 0x7F000000u : 0xFF000000u) | std::uint32_t(colour);
    }
    picture.set(width / 2, height / 2, kCopper);
    return picture;
}

FillResult quietFill(Picture& picture, int x, int y, std::int32_t fill, float bound,
                     PaintedSpans* history = nullptr) {
    FillControl control;
    control.history = history;
    bool quiet = true;
    return FillArea(picture.view(), x, y, fill, bound, bound, quiet, control);
}

struct InteractiveFill {
    ScriptedUi ui;
    FillControl control;
    std::int32_t fill = kRed;
    bool quiet = false;
    int asked = 0, recorded = 0;
    FillAnswer answer = FillAnswer::Save;
    InteractiveFill() {
        control.ui = &ui;
        control.ask = [this] { return ++asked, answer; };
        control.record = [this](const std::string&) { ++recorded; };
    }
    FillResult run(Picture& picture, int x, int y, float bound) {
        return FillArea(picture.view(), x, y, fill, bound, bound, quiet, control);
    }
};

// 256 is green 1 and lies within red's range: one number, not three channels.
TEST(OutOfRange, TakesThePackedColourAsOneNumber) {
    Picture picture(1, 1, 0);
    struct Case {
        std::int32_t pixel, centre;
        float bound;
        bool outside;
    } cases[] = {{229, kRed, 0.1f, true}, {230, kRed, 0.1f, false},         {280, kRed, 0.1f, false},
                 {281, kRed, 0.1f, true}, {256, kRed, 0.1f, false},         {0, 0, 0.5f, false},
                 {1, 0, 0.5f, true},      {0x7FFF00, 0x800000, 0.1f, false}};
    for (const Case& c : cases) {
        picture.set(0, 0, c.pixel);
        EXPECT_EQ(OutOfRange(picture.view(), 0, 0, c.centre, c.bound, c.bound), c.outside) << c.pixel;
    }
    EXPECT_TRUE(OutOfRange(picture.view(), -1, 0, kRed, 0.1f, 0.1f)) << "outside the picture reads as -1";
    EXPECT_FALSE(OutOfRange(picture.view(), 1, 0, 100, 2.0f, 2.0f)) << "-1 lies within -100..300";
}

// Every case runs on every flavour of the painting pass this processor has, not only the widest one.
class Fill : public ::testing::TestWithParam<FillKernel> {
  protected:
    void SetUp() override { ASSERT_TRUE(SelectFillKernel(GetParam())); }
    void TearDown() override { SelectFillKernel(AvailableFillKernels().back()); }
};

INSTANTIATE_TEST_SUITE_P(
    EveryKernel, Fill, ::testing::ValuesIn(AvailableFillKernels()), [](const auto& info) {
        return std::string(std::array{"Scalar", "Sse2", "Avx2"}[std::size_t(info.param)]);
    });

TEST(FillKernels, VectorFlavoursPaintExactlyWhatTheScalarOnePaints) {
    const std::vector<FillKernel> kernels = AvailableFillKernels();
#if defined(__x86_64__)
    EXPECT_GE(kernels.size(), 2u) << "SSE2 is part of every x86-64 processor";
#endif
    // Few colours close together, so areas touch, wind and leave holes; widths around the vector lanes.
    std::mt19937 random(11);
    for (int trial = 0; trial < 300; ++trial) {
        const int width = 1 + int(random() % 40);
        const int height = 1 + int(random() % 12);
        Picture picture(width, height, 0);
        for (std::uint32_t& word : picture.words) {
            const std::uint32_t shades[] = {200, 210, 230, 255, 400, 0x808080};
            word = 0xFF000000u | shades[random() % 6];
        }
        const int x = int(random() % std::uint32_t(width));
        const int y = int(random() % std::uint32_t(height));
        const float bound = float(random() % 4) * 0.05f;
        const std::int32_t fill = random() % 2 ? kRed : 0x00FF00;
        std::vector<std::vector<std::uint32_t>> results;
        for (FillKernel kernel : kernels) {
            ASSERT_TRUE(SelectFillKernel(kernel));
            Picture painted = picture;
            quietFill(painted, x, y, fill, bound);
            results.push_back(painted.words);
        }
        SelectFillKernel(kernels.back());
        for (std::size_t k = 1; k < results.size(); ++k) {
            ASSERT_EQ(results[k], results[0]) << "trial " << trial << ", flavour " << k;
        }
    }
}

TEST_P(Fill, RefusesASeedWithinTheFillColoursRangeAndOnlyBeepsOnTheFillColour) {
    const Palette colours = {{'a', 240}, {'b', 200}, {'x', 0x404040}, {'r', kRed}};
    Picture picture("aax/xbb/xbx", colours);
    InteractiveFill f;
    f.quiet = true;
    EXPECT_EQ(f.run(picture, 0, 0, 0.1f).outcome, FillOutcome::RangeRefused);
    ASSERT_EQ(f.ui.messages().size(), 1u);
    EXPECT_EQ(f.ui.messages()[0].prompt, "The filling color belongs to the range of the repainting colors.");
    EXPECT_EQ(f.ui.messages()[0].title, "Select another color or decrease the range:");
    EXPECT_EQ(f.ui.messages()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(picture.rows(colours), "aax/xbb/xbx");
    EXPECT_EQ(f.run(picture, 1, 1, 0.1f).outcome, FillOutcome::Painted);
    EXPECT_EQ(picture.rows(colours), "aax/xrr/xrx");
    // A seed in the fill colour: one beep, no busy pointer, no question, no record.
    f.ui.clear();
    f.quiet = false;
    const int recorded = f.recorded;
    EXPECT_EQ(f.run(picture, 1, 1, 0.1f).outcome, FillOutcome::SeedHasFillColour);
    EXPECT_EQ(f.ui.count("beep"), 1);
    EXPECT_EQ(f.ui.count("busy") + f.asked, 0);
    EXPECT_EQ(f.recorded, recorded);
}

TEST_P(Fill, ShapesFollowTheScanRules) {
    const Palette colours = {{'#', 0}, {'.', 0x808080}, {'d', 1}, {'F', kRed}, {'s', 281}, {'t', 300}};
    struct Case {
        const char* what;
        std::string before;
        int x, y;
        std::string after;
    } cases[] = {
        {"black fills only pure black", "#d#/###/#d#", 0, 1, "FdF/FFF/FdF"},
        {"one-pixel lines leave the span at both end columns, up and down",
         "#.....#/#.....#/#######/#.....#/#.....#", 3, 2, "F.....F/F.....F/FFFFFFF/F.....F/F.....F"},
        {"fill-coloured pixels are crossed by the row scan but end runs on the neighbour rows",
         ".#../.F../##F#", 0, 2, ".#../.F../FFFF"},
        {"a span is painted to the picture's edges", "..../####/....", 2, 1, "..../FFFF/...."},
        // 281 lies outside 229.5..280.5 around red, so the fill starts; red lies within 252.9..309.1 around
        // 281, so painted pixels would count as unpainted without the rule that the fill colour ends runs.
        {"a fill colour within the seed's range still ends", "....../.ssst./.stss./.ssss./......", 1, 1,
         "....../.FFFF./.FFFF./.FFFF./......"},
    };
    for (const Case& c : cases) {
        Picture picture(c.before, colours);
        EXPECT_EQ(quietFill(picture, c.x, c.y, kRed, 0.1f).outcome, FillOutcome::Painted) << c.what;
        EXPECT_EQ(picture.rows(colours), c.after) << c.what;
    }
}

TEST_P(Fill, StopsAtEveryEdgeWhateverTheLowerBound) {
    // With Dmin 2 the range around 100 starts at -100, which takes in the -1 read outside the picture.
    Picture picture(37, 23, 100);
    EXPECT_EQ(quietFill(picture, 18, 11, 0, 2.0f).outcome, FillOutcome::Painted);
    EXPECT_EQ(picture.words, std::vector<std::uint32_t>(37 * 23, 0xFF000000u));
}

TEST_P(Fill, StackGrowsPastTenThousandPendingSeeds) {
    // A comb: the top row joins 12 500 teeth, each one pending as a seed of the row below at once.
    const int width = 25000;
    Picture picture(width, 3, 0x808080);
    for (int x = 0; x < width; ++x) {
        picture.set(x, 0, 7);
        if (x % 2 == 0) {
            picture.set(x, 1, 7);
            picture.set(x, 2, 7);
        }
    }
    const FillResult result = quietFill(picture, width - 1, 0, kRed, 0.0f);
    EXPECT_EQ(result.largestStack, 20001u) << "10 000 points, then 2 x (9 999 + 1) + 1";
    for (int x = 0; x < width; ++x) {
        ASSERT_EQ(picture.at(x, 2), x % 2 == 0 ? kRed : 0x808080) << x;
    }
}

TEST_P(Fill, QuestionAnsweredDeleteGivesBackExactlyThePixelsTheFillReplaced) {
    // 200 and 210 both lie within 10 % of the seed's 200; a red pixel touches the area from outside.
    const Palette colours = {{'a', 200}, {'b', 210}, {'x', 0x808080}, {'F', kRed}};
    Picture picture("xxxxx/xabax/xbaaF/xxxxx", colours);
    InteractiveFill f;
    f.control.ask = [&] {
        EXPECT_EQ(picture.rows(colours), "xxxxx/xFFFx/xFFFF/xxxxx");
        return FillAnswer::Delete;
    };
    f.control.record = [](const std::string&) { ADD_FAILURE() << "a deleted fill is no trace"; };
    f.run(picture, 1, 1, 0.1f);
    EXPECT_EQ(picture.rows(colours), "xxxxx/xabax/xbaaF/xxxxx")
        << "the 210 pixels keep their colour, not the seed's";
    EXPECT_EQ(f.fill, 200) << "the caller's fill colour receives the seed's old colour";
    EXPECT_TRUE(f.quiet);
    EXPECT_EQ(f.ui.busyDepth(), 0);
    // On a scan, into a history that already holds an earlier fill: only this fill is taken back.
    Picture scan = texturedScan(120, 80, 20, 3000);
    const std::vector<std::uint32_t> untouched = scan.words;
    PaintedSpans history;
    const auto wall =
        std::find(scan.words.begin(), scan.words.end(), 0xFF000000u | kWall) - scan.words.begin();
    quietFill(scan, int(wall % 120), int(wall / 120), 0x00FF00, 0.0f, &history);
    const std::vector<std::uint32_t> afterEarlier = scan.words;
    const std::size_t earlierSpans = history.spanCount();
    ASSERT_GT(earlierSpans, 0u);
    InteractiveFill g;
    g.control.history = &history;
    g.answer = FillAnswer::Delete;
    EXPECT_GT(g.run(scan, 60, 40, 0.1f).spanPixels, 1000);
    EXPECT_EQ(scan.words, afterEarlier);
    EXPECT_EQ(history.spanCount(), earlierSpans);
    EXPECT_TRUE(history.restore(scan.view()));
    EXPECT_EQ(scan.words, untouched);
}

TEST_P(Fill, HistoryTakesTheFillBackAndDoesItAgainWordForWord) {
    struct Case {
        const char* what;
        int width, height, walls, noise;
        bool stop;
    } cases[] = {{"open texture", 300, 200, 5, 3000, false},
                 {"walls make holes and windings, and spans are painted over twice", 97, 61, 38, 3000, false},
                 {"flat copper, whose runs are longer than one word holds", 700, 30, 0, 0, false},
                 {"a fill stopped at its first checkpoint", 300, 200, 5, 3000, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Picture picture = texturedScan(c.width, c.height, c.walls, c.noise);
        const std::vector<std::uint32_t> before = picture.words;
        PaintedSpans history;
        InteractiveFill f;
        f.quiet = true;
        f.control.history = &history;
        bool running = false;
        if (c.stop) {
            f.control.running = &running;
            f.control.eventIntervalMs = 0;
            f.ui.duringEvents = [&] { running = false; };
        }
        const FillResult result = f.run(picture, c.width / 2, c.height / 2, 0.1f);
        EXPECT_EQ(result.stopped, c.stop);
        const std::vector<std::uint32_t> filled = picture.words;
        if (!c.stop) {
            Picture unlogged = texturedScan(c.width, c.height, c.walls, c.noise);
            EXPECT_EQ(quietFill(unlogged, c.width / 2, c.height / 2, kRed, 0.1f).spanPixels,
                      result.spanPixels);
            EXPECT_EQ(filled, unlogged.words) << "logging changes nothing that is painted";
        }
        PixelRect changed{c.width, c.height, -1, -1};
        std::int64_t changedCount = 0;
        for (int i = 0; i < c.width * c.height; ++i) {
            if (filled[std::size_t(i)] != before[std::size_t(i)]) {
                ++changedCount;
                changed = {std::min(changed.x0, i % c.width), std::min(changed.y0, i / c.width),
                           std::max(changed.x1, i % c.width), std::max(changed.y1, i / c.width)};
            }
        }
        // Every pixel is logged once: spans found again hold only red and are left out.
        EXPECT_TRUE(changedCount > 0 && history.pixelCount() >= changedCount &&
                    history.pixelCount() <= c.width * c.height);
        const PixelRect bounds = history.bounds();
        EXPECT_TRUE(bounds.x0 <= changed.x0 && bounds.y0 <= changed.y0 && bounds.x1 >= changed.x1 &&
                    bounds.y1 >= changed.y1);
        history.shrinkToFit();
        EXPECT_LE(history.bytes(), 4 * std::size_t(history.pixelCount()) + 8 * history.spanCount());
        ImageView narrower{picture.words.data(), bounds.x1, c.height, c.width};
        EXPECT_FALSE(history.restore(narrower));
        EXPECT_EQ(picture.words, filled) << "a picture too small for the log is left alone";
        for (int round = 0; round < 2; ++round) {
            EXPECT_TRUE(history.restore(picture.view()));
            EXPECT_EQ(picture.words, before) << "undo " << round;
            EXPECT_TRUE(history.repaint(picture.view(), kRed));
            EXPECT_EQ(picture.words, filled) << "redo " << round;
        }
    }
}

TEST_P(Fill, EscAtACheckpointStopsThePassAndAsksButAPictureGoneMeanwhileEndsTheFillQuietly) {
    Picture picture(300, 300, 50);
    InteractiveFill f;
    bool running = false;
    f.ui.duringEvents = [&] { running = false; };
    f.control.running = &running;
    f.control.eventIntervalMs = 0;  // every checkpoint hands control over
    int redraws = 0;
    f.control.redraw = [&] { ++redraws; };
    EXPECT_TRUE(f.run(picture, 10, 0, 0.1f).stopped);
    EXPECT_EQ(f.ui.count("events"), 1) << "the first span ends at column 0: a checkpoint";
    EXPECT_EQ(f.ui.count("beep"), 1);
    EXPECT_GE(redraws, 2) << "a repaint is scheduled at the checkpoint and at the end of the pass";
    EXPECT_EQ(picture.at(299, 0), kRed) << "the first span stays painted";
    EXPECT_EQ(picture.at(5, 5), 50) << "nothing after the checkpoint";
    EXPECT_EQ(f.asked, 1);
    EXPECT_EQ(f.ui.busyDepth(), 0);
    InteractiveFill g;
    g.control.eventIntervalMs = 0;
    g.control.refresh = [](ImageView&) { return false; };
    EXPECT_EQ(g.run(picture, 5, 5, 0.1f).outcome, FillOutcome::PictureGone);
    EXPECT_EQ(g.ui.busyDepth() + g.asked, 0) << "no question about a picture that is gone";
}

TEST_P(Fill, CheckpointsComeByTimeEvenWithoutRunsEndingOnMultiplesOf250) {
    // The clock moves by `tick` on each look: one that stands still never lets the interval pass.
    for (const std::chrono::milliseconds tick :
         {std::chrono::milliseconds(0), std::chrono::milliseconds(30)}) {
        SCOPED_TRACE(tick.count());
        // Columns 1..249 only: no run ends on a multiple of 250, which once made such a fill unstoppable.
        Picture picture(250, 400, 50);
        for (int y = 0; y < 400; ++y) {
            picture.set(0, y, 0x808080);
        }
        InteractiveFill f;
        f.quiet = true;
        bool running = false;
        f.ui.duringEvents = [&] { running = false; };
        std::chrono::steady_clock::time_point now{};
        f.control.running = &running;
        f.control.pollPixels = 4096;
        f.control.now = [&] { return now += tick; };
        EXPECT_EQ(f.run(picture, 125, 200, 0.0f).stopped, tick.count() > 0);
        EXPECT_EQ(f.ui.count("events"), tick.count() > 0 ? 1 : 0);
    }
}

// Every field differs from the others, so that a field read or written in another's place shows.
TEST(TraceRecord, FormatAndParseAgreeFieldByField) {
    const std::pair<TraceRecord, const char*> cases[] = {
        {{1, 120, 45, 4210752, 255, 0.1f, 0.2f}, "1-120-45-4210752=255-0.1-0.2"},
        {{2, 7, 300, 0, 65535, 0.1f, 0.1f}, "2-7-300-0=65535-0.1-0.1"},
        {{1, 0, 0, 16777215, 0, 0.025f, 2.5f}, "1-0-0-16777215=0-0.025-2.5"}};
    for (const auto& [record, text] : cases) {
        EXPECT_EQ(FormatTraceRecord(record), text);
        const auto read = ParseTraceRecord(text);
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(FormatTraceRecord(*read), text) << "every field read back into its own place";
    }
    // Text after a field's number is passed over, as the reading always did.
    EXPECT_EQ(FormatTraceRecord(ParseTraceRecord("1-5-6-255=65280-0-10").value()), "1-5-6-255=65280-0-10");
    // The seed for showing a record is read leniently.
    const TraceSeed seed = TraceSeedOf("2-7-300-0=65535-0.1-0.1"), junk = TraceSeedOf("x=y");
    EXPECT_EQ(std::vector({seed.x, seed.y, junk.x, junk.y}), std::vector<double>({7, 300, 0, 0}));
}

// Among them colours beyond 24 bits: with such a fill colour the fill could repaint the same rows for ever.
TEST(TraceRecord, ParseRefusesEverythingReplayCannotUse) {
    for (const char* record : {"", "x=y", "3-1-1-0=255-0.1-0.1", "1.5-1-1-0=255-0.1-0.1",
                               "1-1.5-1-0=255-0.1-0.1", "1--4-1-0=255-0.1-0.1", "1-1-1-16777216=255-0.1-0.1",
                               "1-1-1-0=4294967295-0.1-0.1", "1-1-1-0=-1-0.1-0.1", "1-1-1-0=255-0.1",
                               "1-1-1-0-255-0.1-0.1", "1-a-1-0=255-0.1-0.1", "1-1-1-0=255--0.1-0.1"}) {
        EXPECT_FALSE(ParseTraceRecord(record)) << record;
    }
    EXPECT_FALSE(ParseTraceRecord("1-1-1-0=255-0.1-99999999999999999999999999999999999999999999999"));
}

TEST(ReplayRecord, DrawsOnceErasesAndLeavesOtherPixelsAlone) {
    Picture picture(20, 10, 0x101010);
    for (int x = 5; x < 15; ++x) {
        picture.set(x, 4, 0x202020);
    }
    const std::vector<std::uint32_t> original = picture.words;
    ImageView& view = picture.view();
    ScriptedUi ui;
    FillControl control;
    control.ui = &ui;
    const TraceRecord record = ParseTraceRecord("1-6-4-2105376=65535-0.1-0.1").value();
    EXPECT_EQ(ReplayRecord(record, ReplayMode::Draw, view, control), ReplayOutcome::Painted);
    EXPECT_EQ(picture.at(14, 4), 65535);
    EXPECT_EQ(picture.at(5, 3), 0x101010);
    EXPECT_EQ(ui.count("beep"), 0);
    EXPECT_EQ(ReplayRecord(record, ReplayMode::Draw, view, control), ReplayOutcome::AlreadyPainted);
    EXPECT_EQ(ui.count("beep"), 1) << "drawing a drawn trace only beeps";
    EXPECT_EQ(ReplayRecord(record, ReplayMode::Erase, view, control), ReplayOutcome::Painted);
    EXPECT_EQ(picture.words, original);
    EXPECT_EQ(ReplayRecord(record, ReplayMode::Erase, view, control), ReplayOutcome::AlreadyPainted);
    const TraceRecord outside = ParseTraceRecord("1-60-4-0=65535-0.1-0.1").value();
    EXPECT_EQ(ReplayRecord(outside, ReplayMode::Draw, view, control), ReplayOutcome::SeedOutside);
    EXPECT_EQ(picture.words, original);
    EXPECT_EQ(ui.busyDepth(), 0);
}

TEST(ReplayRecord, DrawnTracesComeOffExactlyThroughTheHistoryTheyWereDrawnInto) {
    // Two noisy traces in one colour and one history; the second paints back over the first's end.
    Picture picture(20, 10, 0x101010);
    for (int x = 0; x < 20; ++x) {
        picture.set(x, 4, 0x202020 + (x * 37) % 64);
        picture.set(x, 7, 0x404040 - (x * 53) % 64);
    }
    for (int y : {4, 5, 6}) {
        picture.set(19, y, 0x404040);
    }
    const std::vector<std::uint32_t> original = picture.words;
    ImageView& view = picture.view();
    PaintedSpans history;
    FillControl control;
    control.history = &history;
    for (const char* text : {"1-6-4-2105376=65535-0.1-0.1", "1-3-7-4210752=65535-0.1-0.1"}) {
        EXPECT_EQ(ReplayRecord(ParseTraceRecord(text).value(), ReplayMode::Draw, view, control),
                  ReplayOutcome::Painted);
    }
    EXPECT_EQ(picture.at(19, 4), 65535);
    EXPECT_EQ(history.pixelCount(), 19 + 20 + 2 + 20);
    EXPECT_EQ(history.bounds(), (PixelRect{0, 4, 19, 7}));
    EXPECT_TRUE(history.restore(view));
    EXPECT_EQ(picture.words, original);
}

}  // namespace
}  // namespace korvane
