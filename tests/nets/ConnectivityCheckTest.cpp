// Copper regions from runs, the connectivity check on crafted boards, its JSON, and the step that names
// the suggested pads.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nets/ConnectivityCheck.h"
#include "nets/CopperRuns.h"
#include "project/PadCommands.h"
#include "project/Project.h"
#include "tracing/PaintedSpans.h"
#include "transforms/PaintedPixels.h"

namespace korvane {
namespace {

using CopperRun = CopperRuns::Run;
using Runs = std::vector<CopperRun>;

std::string text(const Runs& runs) {
    std::string out;
    for (const CopperRun& run : runs) {
        out += std::to_string(run.y) + ":" + std::to_string(run.first) + "-" + std::to_string(run.last) + " ";
    }
    return out;
}

// Every pixel of the rectangle x0..x1, y0..y1.
Runs block(int x0, int y0, int x1, int y1) {
    Runs runs;
    for (int y = y0; y <= y1; ++y) {
        runs.push_back(CopperRun{y, x0, x1});
    }
    return runs;
}

Runs joined(std::initializer_list<Runs> parts) {
    Runs all;
    for (const Runs& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

// The region of each run, renumbered by first appearance, as text: "0 0 1".
std::string regionsOf(const CopperRuns& copper) {
    std::string out;
    for (std::size_t i = 0; i < copper.runs().size(); ++i) {
        out += (i == 0 ? "" : " ") + std::to_string(copper.regionOf(i));
    }
    return out;
}

TEST(CopperRuns, JoinsRunsOfARowAndFindsRegionsOfTouchingRuns) {
    const struct {
        const char* name;
        Runs runs;
        std::string normalised;
        std::string regions;
    } cases[] = {
        {"out of order, overlapping and side by side runs of a row become one",
         {{2, 5, 6}, {1, 0, 3}, {1, 4, 4}, {1, 2, 8}, {1, 12, 12}, {2, 0, 1}},
         "1:0-8 1:12-12 2:0-1 2:5-6 ",
         "0 1 0 0"},
        {"two traces that overlap by one column across rows are one region",
         joined({block(0, 0, 5, 1), block(5, 2, 9, 3)}), "0:0-5 1:0-5 2:5-9 3:5-9 ", "0 0 0 0"},
        {"pixels that meet only at a corner are not", joined({block(0, 0, 5, 1), block(6, 2, 9, 3)}),
         "0:0-5 1:0-5 2:6-9 3:6-9 ", "0 0 1 1"},
        {"a gap row parts them", joined({block(0, 0, 5, 0), block(0, 2, 5, 2)}), "0:0-5 2:0-5 ", "0 1"},
        {"arms that meet further down are one region from the top",
         {{0, 0, 1}, {0, 5, 6}, {0, 9, 9}, {1, 0, 1}, {1, 5, 6}, {2, 1, 5}},
         "0:0-1 0:5-6 0:9-9 1:0-1 1:5-6 2:1-5 ",
         "0 0 1 0 0 0"},
        {"one long run below joins every short run above it",
         {{0, 2, 3}, {0, 5, 6}, {0, 8, 9}, {1, 0, 10}},
         "0:2-3 0:5-6 0:8-9 1:0-10 ",
         "0 0 0 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CopperRuns copper(c.runs);
        EXPECT_EQ(text(copper.runs()), c.normalised);
        EXPECT_EQ(regionsOf(copper), c.regions);
        int highest = -1;
        for (std::size_t i = 0; i < copper.runs().size(); ++i) {
            highest = std::max(highest, copper.regionOf(i));
        }
        EXPECT_EQ(copper.regionCount(), highest + 1);
    }
}

TEST(CopperRuns, ComeFromPaintedPixelsAndFromLoggedFills) {
    // Rows of many colours, so that logged spans hold many runs, and a flat last row, whose span needs
    // several of the longest runs.
    const int width = 400;
    std::vector<std::uint32_t> base(std::size_t(width) * 4), work;
    for (std::size_t i = 0; i < base.size(); ++i) {
        base[i] =
            0xFF000000u | (i >= 3 * std::size_t(width) ? 0x333333u : std::uint32_t((i / 3) % 5) * 0x10101u);
    }
    work = base;
    PaintedSpans spans;
    const Runs painted = {{0, 3, 3}, {1, 0, 299}, {3, 10, 399}, {2, 50, 52}};  // in the order filled
    for (const CopperRun& run : painted) {
        std::uint32_t* first = work.data() + std::size_t(run.y) * width + std::size_t(run.first);
        spans.record(first, run.y, run.first, run.last - run.first + 1, 0xFF);
        for (int x = run.first; x <= run.last; ++x) {
            work[std::size_t(run.y) * width + std::size_t(x)] = 0xFF0000FFu;
        }
    }
    const std::string expected = "0:3-3 1:0-299 2:50-52 3:10-399 ";
    EXPECT_EQ(text(CopperRuns::FromSpans(spans).runs()), expected);
    const PaintedPixels difference =
        PaintedPixels::Between({base.data(), width, 4, width}, {work.data(), width, 4, width});
    EXPECT_EQ(text(CopperRuns::FromPainted(difference).runs()), expected);
}

TEST(CopperRuns, RegionsInARectangleTakeEveryRunWithAPixelInIt) {
    const CopperRuns copper(joined({block(0, 0, 3, 0), block(10, 0, 12, 5), block(20, 3, 25, 3)}));
    const struct {
        int x0, y0, x1, y1;
        std::vector<int> regions;
    } cases[] = {
        {3, 0, 9, 0, {0}},      {4, 0, 9, 9, {}},     {4, 1, 20, 2, {1, 1}}, {13, 0, 19, 9, {}},
        {0, -5, 30, 0, {0, 1}}, {25, 3, 40, 40, {2}}, {-10, 6, 40, 40, {}},
    };
    for (const auto& c : cases) {
        std::vector<int> found;
        copper.regionsIn(c.x0, c.y0, c.x1, c.y1, found);
        EXPECT_EQ(found, c.regions) << c.x0 << "," << c.y0 << " " << c.x1 << "," << c.y1;
    }
    std::vector<int> none;
    CopperRuns().regionsIn(0, 0, 100, 100, none);
    EXPECT_TRUE(none.empty());
}

struct PadSpec {
    int n;
    double x, y;  // picture 1; picture 2 shows the pad at (x + 100, y + 5)
    const char* net;
    int layer = 0;  // a surface pad's side; 0 through
};

// Picture 2's copper where picture 1's would be for the same pads.
Runs onPicture2(const Runs& runs) {
    Runs moved = runs;
    for (CopperRun& run : moved) {
        run.y += 5;
        run.first += 100;
        run.last += 100;
    }
    return moved;
}

struct Board {
    explicit Board(const std::vector<PadSpec>& pads) {
        for (const PadSpec& pad : pads) {
            EXPECT_TRUE(board.place(pad.n, pad.x, pad.y, pad.x + 100, pad.y + 5));
            board.writeNames({pad.n}, kNetNameField, PadNames{"", pad.net, ""});
            board.setPadLayer({pad.n}, pad.layer);
        }
    }
    IniDocument doc;
    PadBoard board{doc};
};

std::string states(const CheckReport& report) {
    std::string out;
    for (const auto& [net, state] : report.nets) {
        static const char* const kNames[] = {"Short", "Open", "Untraced", "Good"};
        out += net + "=" + kNames[int(state)] + " ";
    }
    return out;
}

TEST(ConnectivityCheck, FindsShortsOpensSuggestionsAndUntracedPadsOnCraftedBoards) {
    // Pads at x = 10, 30, 50, 70 (y = 10) cover columns x..x+7 and rows 10..17 on picture 1.
    const char* const kNothing = R"({"shorts": [], "opens": [], "suggestions": [], "untraced": []})";
    const struct {
        const char* name;
        std::vector<PadSpec> pads;
        Runs layer1, layer2;  // layer 2 as on picture 1: moved to picture 2's positions below
        std::string json;
        std::string states;
    } cases[] = {
        {"a track joining two nets is a short",
         {{1, 10, 10, "A"}, {2, 30, 10, "B"}, {3, 50, 10, "C"}},
         block(12, 12, 35, 13),
         {},
         R"({"shorts": [{"nets": ["A", "B"], "pads": [1, 2]}], "opens": [], "suggestions": [], "untraced": [3]})",
         "A=Short B=Short C=Untraced "},
        {"a net on two unconnected pieces of copper is open",
         {{1, 10, 10, "A"}, {2, 30, 10, "A"}, {3, 50, 10, "A"}},
         block(12, 12, 35, 13),
         block(52, 12, 55, 13),
         R"({"shorts": [], "opens": [{"net": "A", "groups": [[1, 2], [3]]}], "suggestions": [], "untraced": []})",
         "A=Open "},
        {"an unnamed pad on one net's copper is suggested that net; one on no copper is left alone",
         {{1, 10, 10, "A"}, {2, 30, 10, ""}, {3, 50, 10, ""}, {4, 70, 10, ""}},
         joined({block(12, 12, 35, 13), block(60, 10, 75, 10)}),
         {},
         R"({"shorts": [], "opens": [], "suggestions": [{"pad": 2, "net": "A"}], "untraced": []})",
         "A=Good "},
        {"a named pad that touches no copper is untraced, the net not open",
         {{1, 10, 10, "A"}, {2, 30, 10, "A"}, {3, 50, 10, "B"}},
         block(12, 12, 20, 13),
         {},
         R"({"shorts": [], "opens": [], "suggestions": [], "untraced": [2, 3]})",
         "A=Untraced B=Untraced "},
        {"two traces that touch are one region",
         {{1, 10, 10, "A"}, {2, 30, 10, "A"}},
         joined({block(12, 12, 25, 13), block(25, 14, 35, 15)}),
         {},
         kNothing,
         "A=Good "},
        {"two traces that meet only at a corner are two",
         {{1, 10, 10, "A"}, {2, 30, 10, "A"}},
         joined({block(12, 12, 25, 13), block(26, 14, 35, 15)}),
         {},
         R"({"shorts": [], "opens": [{"net": "A", "groups": [[1], [2]]}], "suggestions": [], "untraced": []})",
         "A=Open "},
        {"a through pad joins its copper on both layers",
         {{1, 10, 10, "A"}, {2, 30, 10, "A"}, {3, 50, 10, "A"}},
         block(12, 12, 35, 13),
         block(33, 12, 55, 13),
         kNothing,
         "A=Good "},
        {"a surface pad joins no copper that runs beneath it on the other side",
         {{1, 10, 10, "A"}, {2, 30, 10, "B", 1}},
         block(32, 12, 35, 13),
         block(12, 12, 35, 13),
         kNothing,
         "A=Good B=Good "},
        {"copper of one layer at a pad's place on the other does not count",
         {{1, 10, 10, "A"}, {2, 30, 10, "B"}},
         joined({block(12, 12, 15, 13), block(130, 15, 137, 16)}),  // pad 2's place on picture 2
         {},
         R"({"shorts": [], "opens": [], "suggestions": [], "untraced": [2]})",
         "A=Good B=Untraced "},
        {"the marker square is the 8 pixels from the floor of the position, both ways",
         {{1, 10.9, 10.9, "A"}, {2, 30, 10, "B"}, {3, 50, 10, "C"}},
         joined({Runs{{17, 17, 30}}, Runs{{10, 49, 49}}, Runs{{18, 50, 60}}}),
         {},
         R"({"shorts": [{"nets": ["A", "B"], "pads": [1, 2]}], "opens": [], "suggestions": [], "untraced": [3]})",
         "A=Short B=Short C=Untraced "},
        {"names compare without blanks around them or letter case, shown as the net list spells them",
         {{1, 10, 10, " gnd "}, {2, 30, 10, "GND"}, {3, 50, 10, "Vcc"}, {4, 70, 10, "gnd"}},
         joined({block(12, 12, 55, 13), block(72, 12, 75, 13)}),
         {},
         R"({"shorts": [{"nets": ["Vcc", "gnd"], "pads": [1, 2, 3]}], "opens": [{"net": "gnd", "groups": [[1, 2], [4]]}], "suggestions": [], "untraced": []})",
         "Vcc=Short gnd=Short "},
        {"shorts come by their lowest pad, opens by net, groups by their lowest pad",
         {{1, 10, 40, "D"},
          {2, 30, 40, "C"},
          {3, 10, 10, "B"},
          {4, 30, 10, "A"},
          {5, 50, 10, "D"},
          {6, 70, 10, "C"},
          {7, 50, 40, "D"}},
         joined({block(12, 42, 35, 43), block(12, 12, 35, 13), block(52, 12, 53, 13), block(72, 12, 73, 13)}),
         {},
         R"({"shorts": [{"nets": ["C", "D"], "pads": [1, 2]}, {"nets": ["A", "B"], "pads": [3, 4]}], )"
         R"("opens": [{"net": "C", "groups": [[2], [6]]}, {"net": "D", "groups": [[1], [5]]}], )"
         R"("suggestions": [], "untraced": [7]})",
         "A=Short B=Short C=Short D=Short "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Board board(c.pads);
        const CheckReport report =
            CheckConnectivity(board.board, CopperRuns(c.layer1), CopperRuns(onPicture2(c.layer2)));
        EXPECT_EQ(CheckReportJson(report), c.json);
        EXPECT_EQ(states(report), c.states);
        EXPECT_EQ(report.passed(), report.shorts.empty() && report.opens.empty());
    }
}

TEST(ConnectivityCheck, JsonEscapesNamesAndReadsOtherBytesAsWindows1252) {
    CheckReport report;
    report.shorts.push_back({{"say \"hi\"", "back\\slash"}, {1, 2}});
    report.opens.push_back({"line\nbreak\t\x01", {{3}, {4, 5}}});
    report.suggestions = {{6, "\xB5V"}, {7, "plain"}};
    report.untraced = {8, 9};
    EXPECT_EQ(CheckReportJson(report),
              R"({"shorts": [{"nets": ["say \"hi\"", "back\\slash"], "pads": [1, 2]}], )"
              R"("opens": [{"net": "line\nbreak\t\u0001", "groups": [[3], [4, 5]]}], )"
              "\"suggestions\": [{\"pad\": 6, \"net\": \"\xC2\xB5V\"}, {\"pad\": 7, \"net\": \"plain\"}], "
              R"("untraced": [8, 9]})");
}

TEST(ConnectivityCheck, TakingTheSuggestionsIsOneStepThatUndoesAndRedoes) {
    Project project;
    const std::vector<PadSpec> pads = {
        {1, 10, 10, "A"}, {2, 30, 10, ""}, {3, 50, 10, "B"}, {4, 70, 10, ""}, {5, 90, 10, ""}};
    for (const PadSpec& pad : pads) {
        ASSERT_TRUE(project.pads.place(pad.n, pad.x, pad.y, pad.x, pad.y));
        project.pads.writeNames({pad.n}, kPadNameField | kNetNameField, PadNames{"p", pad.net, ""});
    }
    project.resetHistory();
    const std::string before = project.doc.ToText();
    const CheckReport report = CheckConnectivity(
        project.pads, CopperRuns(joined({block(12, 12, 35, 13), block(52, 12, 75, 13)})), CopperRuns());
    ASSERT_EQ(report.suggestions.size(), 2u);

    ASSERT_TRUE(ApplyPadEdit(project, NameSuggestedPadsEdit(report.suggestions)));
    EXPECT_EQ(project.history().undoText(), "name 2 pads");
    const auto named = [&project] {
        std::string out;
        for (int n = 1; n <= 5; ++n) {
            out += project.pads.namesOf(n).net + "/" + project.pads.namesOf(n).pad + " ";
        }
        return out;
    };
    EXPECT_EQ(named(), "A/p A/p B/p B/p /p ") << "the pad names stay";
    const std::string after = project.doc.ToText();
    project.undo();
    EXPECT_EQ(project.doc.ToText(), before);
    EXPECT_EQ(named(), "A/p /p B/p /p /p ");
    project.redo();
    EXPECT_EQ(project.doc.ToText(), after);
    EXPECT_TRUE(CheckConnectivity(project.pads,
                                  CopperRuns(joined({block(12, 12, 35, 13), block(52, 12, 75, 13)})),
                                  CopperRuns())
                    .suggestions.empty());

    // Marking pads one-sided and through again: each a step, the record back byte for byte.
    ASSERT_TRUE(ApplyPadEdit(project, PadLayerEdit({2, 3}, 2)));
    EXPECT_EQ(project.pads.padLayer(2), 2);
    ASSERT_TRUE(ApplyPadEdit(project, PadLayerEdit({2}, 0)));
    EXPECT_EQ(std::pair(project.pads.padLayer(2), project.pads.padLayer(3)), std::pair(0, 2));
    EXPECT_FALSE(ApplyPadEdit(project, PadLayerEdit({2}, 0))) << "nothing to change is no step";
    project.undo();
    project.undo();
    EXPECT_EQ(project.doc.ToText(), after);
}

}  // namespace
}  // namespace korvane
