// Trace records: their text, what replay accepts, and replaying them on a picture.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "support/ScriptedUi.h"
#include "tracing/PaintedSpans.h"
#include "tracing/TraceRecords.h"
#include "tracing/TraceReplay.h"

namespace korvane {
namespace {

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
}

// In turn: no picture 3 nor 1.5, X not whole nor negative, colours beyond 24 bits (with such a fill colour
// the fill could repaint the same rows for ever) or negative, Dmax missing, no "=", no number, a negative
// fraction and one beyond single precision.
TEST(TraceRecord, ParseRefusesEverythingReplayCannotUse) {
    for (const char* record : {"", "x=y", "3-1-1-0=255-0.1-0.1", "1.5-1-1-0=255-0.1-0.1",
                               "1-1.5-1-0=255-0.1-0.1", "1--4-1-0=255-0.1-0.1", "1-1-1-16777216=255-0.1-0.1",
                               "1-1-1-0=4294967295-0.1-0.1", "1-1-1-0=-1-0.1-0.1", "1-1-1-0=255-0.1",
                               "1-1-1-0-255-0.1-0.1", "1-a-1-0=255-0.1-0.1", "1-1-1-0=255--0.1-0.1"}) {
        EXPECT_FALSE(ParseTraceRecord(record)) << record;
    }
    EXPECT_FALSE(ParseTraceRecord("1-1-1-0=255-0.1-99999999999999999999999999999999999999999999999"));
}

TEST(TraceRecord, SeedForShowingIsReadLeniently) {
    const TraceSeed seed = TraceSeedOf("2-7-300-0=65535-0.1-0.1");
    EXPECT_EQ(seed.x, 7);
    EXPECT_EQ(seed.y, 300);
    const TraceSeed junk = TraceSeedOf("x=y");
    EXPECT_EQ(junk.x, 0);
    EXPECT_EQ(junk.y, 0);
}

TEST(TraceList, TellsItsViewWhatChanged) {
    TraceList list;
    std::vector<bool> changes;
    list.setObserver([&](bool appended) { changes.push_back(appended); });
    list = {"a", "b", "c", "d"};
    list.push_back("e");
    list.removeAt({3, 1, 3});
    EXPECT_EQ(list, (std::vector<std::string>{"a", "c", "e"}));
    EXPECT_EQ(changes, (std::vector<bool>{false, true, false}));
    list.clear();
    EXPECT_TRUE(list.empty());
}

TEST(ReplayRecord, DrawsOnceErasesAndLeavesOtherPixelsAlone) {
    std::vector<std::uint32_t> words(20 * 10, 0xFF000000u | 0x101010u);
    for (int x = 5; x < 15; ++x) {
        words[std::size_t(4 * 20 + x)] = 0xFF000000u | 0x202020u;
    }
    const std::vector<std::uint32_t> original = words;
    ImageView view{words.data(), 20, 10, 20};
    testing::ScriptedUi ui;
    FillControl control;
    control.ui = &ui;
    const auto record = ParseTraceRecord("1-6-4-2105376=65535-0.1-0.1");
    ASSERT_TRUE(record);
    EXPECT_EQ(ReplayRecord(*record, ReplayMode::Draw, view, control), ReplayOutcome::Painted);
    EXPECT_EQ(words[4 * 20 + 14] & 0xFFFFFF, 65535u);
    EXPECT_EQ(words[3 * 20 + 5], original[3 * 20 + 5]);
    EXPECT_EQ(ui.count("beep"), 0);
    EXPECT_EQ(ReplayRecord(*record, ReplayMode::Draw, view, control), ReplayOutcome::AlreadyPainted);
    EXPECT_EQ(ui.count("beep"), 1) << "drawing a drawn trace only beeps";
    EXPECT_EQ(ReplayRecord(*record, ReplayMode::Erase, view, control), ReplayOutcome::Painted);
    EXPECT_EQ(words, original);
    EXPECT_EQ(ReplayRecord(*record, ReplayMode::Erase, view, control), ReplayOutcome::AlreadyPainted);
    const auto outside = ParseTraceRecord("1-60-4-0=65535-0.1-0.1");
    ASSERT_TRUE(outside);
    EXPECT_EQ(ReplayRecord(*outside, ReplayMode::Draw, view, control), ReplayOutcome::SeedOutside);
    EXPECT_EQ(words, original);
    EXPECT_EQ(ui.busyDepth(), 0);
}

TEST(ReplayRecord, DrawnTracesComeOffExactlyThroughTheHistoryTheyWereDrawnInto) {
    // Two noisy traces drawn in one colour into one history, as "Draw all traces NOW" does. The second
    // climbs column 19 to the end of the first and paints back over it, so its log holds the first's
    // colour there: only the newest-first order gives the scan back.
    std::vector<std::uint32_t> words(20 * 10, 0xFF000000u | 0x101010u);
    for (int x = 0; x < 20; ++x) {
        words[std::size_t(4 * 20 + x)] = 0xFF000000u | std::uint32_t(0x202020 + (x * 37) % 64);
        words[std::size_t(7 * 20 + x)] = 0xFF000000u | std::uint32_t(0x404040 - (x * 53) % 64);
    }
    for (int y = 4; y < 7; ++y) {
        words[std::size_t(y * 20 + 19)] = 0xFF000000u | 0x404040u;
    }
    const std::vector<std::uint32_t> original = words;
    ImageView view{words.data(), 20, 10, 20};
    PaintedSpans history;
    FillControl control;
    control.history = &history;
    for (const char* text : {"1-6-4-2105376=65535-0.1-0.1", "1-3-7-4210752=65535-0.1-0.1"}) {
        const auto record = ParseTraceRecord(text);
        ASSERT_TRUE(record);
        EXPECT_EQ(ReplayRecord(*record, ReplayMode::Draw, view, control), ReplayOutcome::Painted);
    }
    EXPECT_EQ(words[4 * 20 + 19] & 0xFFFFFF, 65535u);
    EXPECT_EQ(history.pixelCount(), 19 + 20 + 2 + 20);
    EXPECT_EQ(history.bounds(), (PixelRect{0, 4, 19, 7}));
    EXPECT_TRUE(history.restore(view));
    EXPECT_EQ(words, original);
}

}  // namespace
}  // namespace korvane
