// korvane-cli check on small projects made here: the JSON it prints and its exit codes.

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>

#include "cli/CliRun.h"

namespace korvane::testing {
namespace {

// Black substrate with grey copper strips (rows 10..13): picture 1 from x 5..60 and 80..110, picture 2
// from x 40..100.
void writePictures(const TempDir& dir) {
    QImage top(120, 40, QImage::Format_RGB32);
    top.fill(Qt::black);
    QImage bottom = top;
    for (int y = 10; y <= 13; ++y) {
        for (int x = 5; x <= 110; ++x) {
            if (x <= 60 || x >= 80) {
                top.setPixel(x, y, qRgb(0x80, 0x80, 0x80));
            }
            if (x >= 40 && x <= 100) {
                bottom.setPixel(x, y, qRgb(0x80, 0x80, 0x80));
            }
        }
    }
    ASSERT_TRUE(top.save(QString::fromStdString(dir.file("top.bmp"))));
    ASSERT_TRUE(bottom.save(QString::fromStdString(dir.file("bottom.png"))));
}

std::string pad(int n, const std::string& net, int x1, int x2) {
    return "[Pad" + std::to_string(n) + "]\r\nPadName=" + std::to_string(n) + "\r\nNetName=" + net +
           "\r\nCompName=U1\r\n1Pad=" + std::to_string(x1) + ",8\r\n2Pad=" + std::to_string(x2) + ",8\r\n";
}

const std::string kPictures = "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.png\r\n";
const std::string kLeftStrip = "1-20-11-8421504=255-0.1-0.1\r\n";
const std::string kRightStrip = "1-90-11-8421504=65280-0.1-0.1\r\n";
const std::string kBottomStrip = "2-70-12-8421504=255-0.1-0.1\r\n";

TEST(CheckCli, PrintsTheFindingsAsJsonAndFailsOnShortsAndOpens) {
    TempDir dir;
    writePictures(dir);
    const struct {
        const char* name;
        std::string pads, traces;
        int code;
        std::string json;
    } cases[] = {
        {"two pads of a net on one traced strip", pad(1, "GND", 5, 5) + pad(2, " GND", 50, 50), kLeftStrip, 0,
         R"({"shorts": [], "opens": [], "suggestions": [], "untraced": []})"},
        {"a strip joining two nets", pad(1, "GND", 5, 5) + pad(2, "VCC", 50, 50), kLeftStrip, 3,
         R"({"shorts": [{"nets": ["GND", "VCC"], "pads": [1, 2]}], "opens": [], "suggestions": [], "untraced": []})"},
        {"a net on two strips", pad(1, "GND", 5, 5) + pad(2, "GND", 50, 50) + pad(3, "GND", 100, 5),
         kLeftStrip + kRightStrip, 3,
         R"({"shorts": [], "opens": [{"net": "GND", "groups": [[1, 2], [3]]}], "suggestions": [], "untraced": []})"},
        {"the second picture's trace joins them through the pads",
         pad(1, "GND", 5, 5) + pad(2, "GND", 50, 50) + pad(3, "GND", 100, 95),
         kLeftStrip + kRightStrip + kBottomStrip, 0,
         R"({"shorts": [], "opens": [], "suggestions": [], "untraced": []})"},
        {"suggestions and untraced pads alone pass",
         pad(1, "GND", 5, 5) + pad(2, "", 50, 50) + pad(3, "N1", 100, 5), kLeftStrip, 0,
         R"({"shorts": [], "opens": [], "suggestions": [{"pad": 2, "net": "GND"}], "untraced": [3]})"},
        {"no traces: every named pad is untraced", pad(1, "GND", 5, 5) + pad(2, "VCC", 50, 50), "", 0,
         R"({"shorts": [], "opens": [], "suggestions": [], "untraced": [1, 2]})"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string project = dir.file("board.kvp");
        const std::string bytes = kPictures + c.pads + "[TraceSection]\r\n" + c.traces;
        writeFileBytes(project, bytes);
        const CliRun run = cli(dir, {"check", project});
        EXPECT_EQ(run.code, c.code);
        EXPECT_EQ(run.out, c.json + "\n");
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(readFileBytes(project), bytes) << "the project is never written";
    }
}

TEST(CheckCli, ReportsTracesItCannotReplayAndFailsWithOneLineWhenTheProjectCannotBeRead) {
    TempDir dir;
    writePictures(dir);
    const std::string project = dir.file("board.kvp");
    writeFileBytes(project, kPictures + pad(1, "GND", 5, 5) + pad(2, "VCC", 50, 50) + "[TraceSection]\r\n" +
                                "1-bad=1\r\n1-999-5-0=255-0-0\r\n" + kLeftStrip);
    CliRun run = cli(dir, {"check", project});
    EXPECT_EQ(run.code, 3) << "the replayable trace still shorts the nets";
    EXPECT_EQ(std::ranges::count(run.err, '\n'), 2) << run.err;
    EXPECT_NE(run.err.find("1-bad=1"), std::string::npos);
    EXPECT_NE(run.err.find("1-999-5-0=255-0-0"), std::string::npos);

    writeFileBytes(dir.file("no-second.kvp"), "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=gone.png\r\n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"check"}, {"check", dir.file("missing.kvp")}, {"check", dir.file("no-second.kvp")}}) {
        SCOPED_TRACE(::testing::PrintToString(args));
        run = cli(dir, args);
        EXPECT_EQ(run.code, 1);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(std::ranges::count(run.err, '\n'), 1) << run.err;
        EXPECT_EQ(run.err.rfind("korvane-cli check: ", 0), 0u) << run.err;
    }
}

}  // namespace
}  // namespace korvane::testing
