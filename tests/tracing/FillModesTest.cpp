// The fill modes beside the packed range: which pixels each takes on generated board scans, their
// refusals, their records, how projects store them, replay and the exact history.

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <vector>

#include "BoardScan.h"
#include "storage/IniDocument.h"
#include "storage/ProjectKeys.h"
#include "support/ScriptedUi.h"
#include "tracing/FloodFill.h"
#include "tracing/PaintedSpans.h"
#include "tracing/TraceRecords.h"
#include "tracing/TraceReplay.h"

namespace korvane {
namespace {

using board::BoardScan;
using testing::ScriptedUi;

constexpr std::int32_t kRed = 0x0000FF;  // red in the low byte: on no board
constexpr FillMode kNewModes[] = {FillMode::Channels, FillMode::Specks, FillMode::Adaptive};

std::string nameOf(FillMode mode) {
    return mode == FillMode::Packed ? "packed" : std::string(FillModeSuffix(mode));
}

struct Words {
    int width = 0, height = 0;
    std::vector<std::uint32_t> words;
    ImageView view_;
    ImageView& view() { return view_ = ImageView{words.data(), width, height, width}; }
    bool painted(int x, int y) const { return (words[std::size_t(y * width + x)] & 0xFFFFFFu) == kRed; }
};

Words wordsOf(const BoardScan& b) {
    return Words{b.width, b.height, b.words, {}};
}

// Rows of text, one character per pixel, parted by '/'.
Words drawn(const std::string& rows, const std::map<char, std::uint32_t>& palette) {
    Words w;
    w.width = int(rows.find('/'));
    for (char c : rows) {
        if (c != '/') {
            w.words.push_back(0xFF000000u | palette.at(c));
        }
    }
    w.height = int(w.words.size()) / w.width;
    return w;
}

std::string paintedRows(const Words& w) {
    std::string rows;
    for (int y = 0; y < w.height; ++y) {
        rows += y > 0 ? "/" : "";
        for (int x = 0; x < w.width; ++x) {
            rows += w.painted(x, y) ? 'F' : '.';
        }
    }
    return rows;
}

FillResult quietFill(Words& w, int x, int y, FillMode mode, float bound = 0.1f,
                     PaintedSpans* history = nullptr) {
    FillControl control;
    control.history = history;
    std::int32_t fill = kRed;
    bool quiet = true;
    return FillArea(w.view(), x, y, fill, bound, bound, quiet, control, mode);
}

// Whether the fill painted the track from its first column to its last, at least 97 % of it, and nothing
// else; the counts for the message.
bool follows(const BoardScan& b, const Words& w, int track, std::string& counts) {
    std::int64_t on = 0, pixels = 0, elsewhere = 0, ends = 0;
    for (int i = 0; i < b.width * b.height; ++i) {
        const int x = i % b.width, y = i / b.width;
        const bool mine = b.ownerAt(x, y) == track;
        pixels += mine;
        on += mine && w.painted(x, y);
        elsewhere += !mine && w.painted(x, y);
        if (mine && w.painted(x, y)) {
            ends |= x == b.trackLeft() ? 1 : x == b.trackRight() ? 2 : 0;  // a bit for each end reached
        }
    }
    counts = std::to_string(on) + " of " + std::to_string(pixels) + ", " + std::to_string(elsewhere) +
             " elsewhere";
    return ends == 3 && elsewhere == 0 && on * 100 >= pixels * 97;
}

// The default mode is the one that follows a track on a noisy, unevenly lit scan: seeded in the middle of
// a track whose ends lie 60 levels apart in light, it reaches both ends and takes nothing of the
// neighbours 3 pixels away, on every flavour of the pass. The fixed ranges at the guide's 10 % stop short
// (or would flood).
TEST(FillModes, TheDefaultModeFollowsOneTrackEndToEndWhereFixedRangesDoNot) {
    const BoardScan b = board::MakeBoardScan(300, 200, false);
    const int track = b.tracks / 2;
    const int seedX = b.width / 2;
    const int seedY = b.trackTop(track) + 2;
    EXPECT_EQ(kDefaultFillMode, FillMode::Adaptive);
    for (FillKernel kernel : AvailableFillKernels()) {
        ASSERT_TRUE(SelectFillKernel(kernel));
        for (FillMode mode : {FillMode::Adaptive, FillMode::Packed, FillMode::Channels, FillMode::Specks}) {
            SCOPED_TRACE(std::string(nameOf(mode)) + ", kernel " + std::to_string(int(kernel)));
            Words w = wordsOf(b);
            ASSERT_EQ(quietFill(w, seedX, seedY, mode).outcome, FillOutcome::Painted);
            std::string counts;
            EXPECT_EQ(follows(b, w, track, counts), mode == kDefaultFillMode) << counts;
        }
    }
    SelectFillKernel(AvailableFillKernels().back());
}

// A scan's blur spreads the edge between copper and the bare board over a few pixels, each step smaller
// than the tolerance: the adaptive fill must not walk down one edge of a narrow gap and up the other into
// the next copper (colours of a 300 dpi scan, the gap's middle still halfway to the board's colour).
TEST(FillModes, AdaptiveStopsAtANarrowBlurredGap) {
    const std::map<char, std::uint32_t> palette = {
        {'C', 0x6886D3}, {'a', 0x6282C2}, {'b', 0x557AAE}, {'c', 0x4C7496}, {'d', 0x477189}};
    Words w = drawn("CCCCabcddcbaCCCC/CCCCabcddcbaCCCC/CCCCabcddcbaCCCC", palette);
    ASSERT_EQ(quietFill(w, 1, 1, FillMode::Adaptive).outcome, FillOutcome::Painted);
    EXPECT_EQ(paintedRows(w), "FFFFFF........../FFFFFF........../FFFFFF..........");
}

// The adaptive area does not depend on the order the pass visits pixels in: on the board mirrored or
// turned, the record's seed mirrored or turned with it paints the mirrored or turned area.
TEST(FillModes, AdaptiveAndSpecksAreasTurnWithThePicture) {
    const BoardScan b = board::MakeBoardScan(120, 80, false, 3);
    const int seedX = b.trackLeft() + 3, seedY = b.trackTop(2) + 2;
    for (FillMode mode : {FillMode::Adaptive, FillMode::Specks}) {
        SCOPED_TRACE(nameOf(mode));
        Words straight = wordsOf(b);
        quietFill(straight, seedX, seedY, mode, 0.12f);
        // Mirrored left to right, upside down, and turned a quarter: (x, y) -> (height - 1 - y, x).
        for (int move = 0; move < 3; ++move) {
            auto to = [&](int x, int y) {
                return move == 0   ? std::pair{b.width - 1 - x, y}
                       : move == 1 ? std::pair{x, b.height - 1 - y}
                                   : std::pair{b.height - 1 - y, x};
            };
            Words moved{move == 2 ? b.height : b.width, move == 2 ? b.width : b.height, b.words, {}};
            for (int i = 0; i < b.width * b.height; ++i) {
                const auto [x, y] = to(i % b.width, i / b.width);
                moved.words[std::size_t(y * moved.width + x)] = b.words[std::size_t(i)];
            }
            quietFill(moved, to(seedX, seedY).first, to(seedX, seedY).second, mode, 0.12f);
            int differing = 0;
            for (int i = 0; i < b.width * b.height; ++i) {
                const auto [x, y] = to(i % b.width, i / b.width);
                differing += straight.painted(i % b.width, i / b.width) != moved.painted(x, y);
            }
            EXPECT_EQ(differing, 0) << "move " << move;
        }
    }
}

// Random pictures of few close colours, widths around the vector lanes: every flavour paints the same.
TEST(FillModes, VectorFlavoursPaintExactlyWhatTheScalarOnePaints) {
    std::mt19937 random(17);
    const std::uint32_t shades[] = {0x808080, 0x8A8090, 0x76807A, 0x9A8080, 0x80A080, 0x0000FF};
    for (int trial = 0; trial < 300; ++trial) {
        Words w;
        w.width = 1 + int(random() % 40);
        w.height = 1 + int(random() % 12);
        for (int i = 0; i < w.width * w.height; ++i) {
            w.words.push_back(0xFF000000u | shades[random() % 6]);
        }
        const int x = int(random() % std::uint32_t(w.width));
        const int y = int(random() % std::uint32_t(w.height));
        const float bound = float(random() % 4) * 0.03f;
        const FillMode mode = kNewModes[trial % 3];
        std::vector<std::vector<std::uint32_t>> results;
        for (FillKernel kernel : AvailableFillKernels()) {
            ASSERT_TRUE(SelectFillKernel(kernel));
            Words painted = w;
            quietFill(painted, x, y, mode, bound);
            results.push_back(painted.words);
        }
        SelectFillKernel(AvailableFillKernels().back());
        for (std::size_t k = 1; k < results.size(); ++k) {
            ASSERT_EQ(results[k], results[0])
                << "trial " << trial << " " << nameOf(mode) << ", flavour " << k;
        }
    }
}

// A single out-of-range pixel inside copper does not stop the specks mode; two side by side do, a pixel on
// the picture's edge does, and the area is the same from any seed.
TEST(FillModes, SpecksModeTakesInSinglePixelsOnly) {
    const std::map<char, std::uint32_t> palette = {{'c', 0x808080}, {'d', 0x8080F0}, {'x', 0x000000}};
    const std::string rows = "xxxxxxxxx/xcccccccc/xcdcddccd/xcccccccc/xxxxxxxxx";
    struct Case {
        FillMode mode;
        int x, y;
        const char* painted;
    } cases[] = {
        {FillMode::Specks, 1, 1, "........./.FFFFFFFF/.FFF..FF./.FFFFFFFF/........."},
        {FillMode::Specks, 8, 3, "........./.FFFFFFFF/.FFF..FF./.FFFFFFFF/........."},
        {FillMode::Channels, 1, 1, "........./.FFFFFFFF/.F.F..FF./.FFFFFFFF/........."},
        {FillMode::Adaptive, 1, 1, "........./.FFFFFFFF/.F.F..FF./.FFFFFFFF/........."},
    };
    for (const Case& c : cases) {
        Words w = drawn(rows, palette);
        quietFill(w, c.x, c.y, c.mode);
        EXPECT_EQ(paintedRows(w), c.painted) << nameOf(c.mode) << " from " << c.x << "," << c.y;
    }
}

// The refusals of the packed range hold in every mode, with each mode's own test of the fill colour: a
// fill colour 48 levels from the seed in one channel is in the packed range (48 of 8421504) but out of
// every per-channel one.
TEST(FillModes, RefusalsUseTheModesOwnTest) {
    struct Case {
        FillMode mode;
        std::int32_t fill;
        FillOutcome outcome;
    } cases[] = {{FillMode::Packed, 0x8080B0, FillOutcome::RangeRefused},
                 {FillMode::Channels, 0x8080B0, FillOutcome::Painted},
                 {FillMode::Specks, 0x8080B0, FillOutcome::Painted},
                 {FillMode::Adaptive, 0x8080B0, FillOutcome::Painted},
                 {FillMode::Channels, 0x809980, FillOutcome::RangeRefused},
                 {FillMode::Specks, 0x677F99, FillOutcome::RangeRefused},
                 {FillMode::Adaptive, 0x809980, FillOutcome::RangeRefused},
                 {FillMode::Adaptive, 0x808080, FillOutcome::SeedHasFillColour}};
    for (const Case& c : cases) {
        SCOPED_TRACE(nameOf(c.mode));
        Words w = drawn("aa/aa", {{'a', 0x808080}});
        ScriptedUi ui;
        FillControl control;
        control.ui = &ui;
        std::int32_t fill = c.fill;
        bool quiet = true;
        EXPECT_EQ(FillArea(w.view(), 0, 0, fill, 0.1f, 0.1f, quiet, control, c.mode).outcome, c.outcome);
        EXPECT_EQ(ui.messages().size(), c.outcome == FillOutcome::RangeRefused ? 1u : 0u);
        EXPECT_EQ(ui.count("beep"), c.outcome == FillOutcome::SeedHasFillColour ? 1 : 0);
        EXPECT_EQ(ui.busyDepth(), 0);
    }
    // A bare pass from a seed out of its own range, or of the fill colour, paints nothing.
    Words w = drawn("aa/aa", {{'a', 0x808080}});
    FillControl plain;
    EXPECT_EQ(PaintPass(w.view(), 0, 0, kRed, 0x202020, 0.1f, 0.1f, plain, FillMode::Channels).spanPixels, 0);
    EXPECT_EQ(PaintPass(w.view(), 0, 0, 0x808080, 0x808080, 0.1f, 0.1f, plain, FillMode::Adaptive).spanPixels,
              0);
    EXPECT_EQ(paintedRows(w), "../..");
}

// Keeps each pixel as it was when the fill told it was about to write it.
struct Keeper : PaintGuard {
    std::vector<std::uint32_t> kept;
    void beforeWrite(const ImageView& picture, int y, int x0, int length) override {
        for (int x = x0; x < x0 + length; ++x) {
            kept[std::size_t(y * picture.width + x)] = picture.pixels[std::size_t(y * picture.stride + x)];
        }
    }
};

// Interactive fills in each mode: the record names the mode, replaying it paints exactly what the fill
// painted, and its history takes the fill back and paints it again word for word (also when stopped);
// every pixel is told to the picture's guard before it is written; "Delete" gives the scan back.
TEST(FillModes, RecordsReplayAndHistoryAreExactInEveryMode) {
    const BoardScan b = board::MakeBoardScan(300, 200, true, 21);
    const int seedX = b.trackLeft() + 2, seedY = b.pourTop + 4;
    for (FillMode mode : kNewModes) {
        {
            SCOPED_TRACE(std::string(nameOf(mode)) + ", deleted");
            Words w = wordsOf(b);
            ScriptedUi ui;
            FillControl control;
            control.ui = &ui;
            control.ask = [&w, &b] {
                EXPECT_NE(w.words, b.words) << "painted before the question";
                return FillAnswer::Delete;
            };
            control.record = [](const std::string&) { ADD_FAILURE() << "a deleted fill is no trace"; };
            std::int32_t fill = kRed;
            bool quiet = false;
            FillArea(w.view(), seedX, seedY, fill, 0.1f, 0.1f, quiet, control, mode);
            EXPECT_EQ(w.words, b.words);
            EXPECT_EQ(fill, std::int32_t(b.words[std::size_t(seedY * b.width + seedX)] & 0xFFFFFF));
            EXPECT_GT(ui.count("busy"), 0);
            EXPECT_EQ(ui.busyDepth(), 0);
        }
        for (bool stop : {false, true}) {
            SCOPED_TRACE(std::string(nameOf(mode)) + (stop ? ", stopped" : ""));
            Words w = wordsOf(b);
            Keeper keeper;
            keeper.kept.assign(b.words.size(), 0);
            ScriptedUi ui;
            PaintedSpans history;
            FillControl control;
            control.ui = &ui;
            control.history = &history;
            control.refresh = [&w, &keeper](ImageView& view) {
                view = w.view();
                view.guard = &keeper;
                return true;
            };
            bool running = false;
            if (stop) {
                control.running = &running;
                control.eventIntervalMs = 0;
                control.pollPixels = 64;
                ui.duringEvents = [&] { running = false; };
            }
            std::string record;
            control.ask = [] { return FillAnswer::Save; };
            control.record = [&record](const std::string& r) { record = r; };
            std::int32_t fill = kRed;
            bool quiet = false;
            ImageView guarded = w.view();
            guarded.guard = &keeper;
            const FillResult result = FillArea(guarded, seedX, seedY, fill, 0.1f, 0.1f, quiet, control, mode);
            for (std::size_t i = 0; i < b.words.size(); ++i) {
                if (w.words[i] != b.words[i]) {
                    ASSERT_EQ(keeper.kept[i], b.words[i]) << "pixel " << i << " was written untold";
                }
            }
            EXPECT_EQ(result.stopped, stop);
            EXPECT_GT(result.spanPixels, stop ? 0 : 10000);
            EXPECT_EQ(TraceRecordMode(record), mode) << record;
            const std::vector<std::uint32_t> filled = w.words;
            if (!stop) {
                const std::optional<TraceRecord> parsed = ParseTraceRecord(record);
                ASSERT_TRUE(parsed);
                Words replayed = wordsOf(b);
                FillControl plain;
                EXPECT_EQ(ReplayRecord(*parsed, ReplayMode::Draw, replayed.view(), plain),
                          ReplayOutcome::Painted);
                EXPECT_EQ(replayed.words, filled);
            }
            ASSERT_TRUE(history.restore(w.view()));
            EXPECT_EQ(w.words, b.words);
            ASSERT_TRUE(history.repaint(w.view(), kRed));
            EXPECT_EQ(w.words, filled);
        }
    }
}

TEST(FillModes, RecordsCarryTheirModeAndPackedOnesAreWrittenAsBefore) {
    TraceRecord record{1, 120, 45, 4210752, 255, 0.1f, 0.1f, FillMode::Packed};
    EXPECT_EQ(FormatTraceRecord(record), "1-120-45-4210752=255-0.1-0.1");
    const char* written[] = {"1-120-45-4210752=255-0.1-0.1@channels", "1-120-45-4210752=255-0.1-0.1@specks",
                             "1-120-45-4210752=255-0.1-0.1@adaptive"};
    for (int i = 0; i < 3; ++i) {
        record.mode = kNewModes[i];
        EXPECT_EQ(FormatTraceRecord(record), written[i]);
        const std::optional<TraceRecord> parsed = ParseTraceRecord(written[i]);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->mode, kNewModes[i]);
        EXPECT_EQ(FormatTraceRecord(*parsed), written[i]);
    }
    EXPECT_EQ(TraceRecordMode("2-1-1-0=1-0.1-0.1@adaptivex"), FillMode::Packed) << "an unknown suffix";
    EXPECT_FALSE(ParseTraceRecord("3-1-1-0=1-0.1-0.1@adaptive")) << "the suffix mends nothing";
}

// Records of both kinds survive a save and a reopen in order; "TraceSection" holds the packed ones only,
// exactly as before, and a project of packed records only has no other trace section.
TEST(TraceStorage, ModeRecordsKeepTheirPlacesAndStayOutOfTheTraceSection) {
    const std::vector<std::string> first = {"1-5-5-100@adaptive", "1-1-1-10=255-0.1-0.1",
                                            "1-2-2-20=255-0.1-0.1@channels", "1-3-3-30=255-0.1-0.1",
                                            "1-4-4-40=255-0.2-0.2@specks"};
    const std::vector<std::string> second = {"2-1-1-10=255-0.1-0.1", "2-9-9-90=65280-0.1-0.1@adaptive"};
    IniDocument ini;
    ini.LoadFromText("[FilePathSection]\r\nFirst=a.png\r\n");
    WriteTraces(ini, first, second);
    std::vector<std::string> oldReader;
    for (int i = 1; i <= ini.ValuesCount(kTraceSection); ++i) {
        oldReader.push_back(ini.ValueName(kTraceSection, i) + "=" + ini.ValueAt(kTraceSection, i));
    }
    EXPECT_EQ(oldReader, (std::vector<std::string>{"1-1-1-10=255-0.1-0.1", "1-3-3-30=255-0.1-0.1",
                                                   "2-1-1-10=255-0.1-0.1"}));
    IniDocument reopened;
    reopened.LoadFromText(ini.ToText());
    TraceLists lists = TakeTraces(reopened);
    EXPECT_EQ(lists.first, first);
    EXPECT_EQ(lists.second, second);
    EXPECT_FALSE(reopened.SectionExists(kModeTraceSection)) << "the lists are the only copy";

    IniDocument packedOnly;
    packedOnly.LoadFromText("[FilePathSection]\r\nFirst=a.png\r\n");
    WriteTraces(packedOnly, {"1-1-1-10=255-0.1-0.1"}, {});
    EXPECT_EQ(packedOnly.ToText(),
              "[FilePathSection]\r\nFirst=a.png\r\n\r\n[TraceSection]\r\n1-1-1-10=255-0.1-0.1\r\n\r\n");
}

TEST(TraceStorage, AHandEditedModeSectionLosesNoRecord) {
    IniDocument ini;
    ini.LoadFromText(
        "[TraceSection]\r\n1-1-1-10=255-0.1-0.1\r\n1-3-3-30=255-0.1-0.1\r\n"
        "[ModeTraceSection]\r\n1.99999999999999999999999=1-7-7-7=1-0.1-0.1@specks\r\n"
        "garbage=2-8-8-8=1-0.1-0.1@adaptive\r\n1.1=1-2-2-2=1-0.1-0.1@channels\r\n"
        "2.0=\r\n1.-4=1-6-6-6=1-0.1-0.1@adaptive\r\n1.1=1-5-5-5=1-0.1-0.1@adaptive\r\n");
    const TraceLists lists = TakeTraces(ini);
    EXPECT_EQ(lists.first,
              (std::vector<std::string>{"1-1-1-10=255-0.1-0.1", "1-2-2-2=1-0.1-0.1@channels",
                                        "1-5-5-5=1-0.1-0.1@adaptive", "1-3-3-30=255-0.1-0.1",
                                        "1-7-7-7=1-0.1-0.1@specks", "1-6-6-6=1-0.1-0.1@adaptive"}));
    EXPECT_EQ(lists.second, (std::vector<std::string>{"", "2-8-8-8=1-0.1-0.1@adaptive"}));
}

}  // namespace
}  // namespace korvane
