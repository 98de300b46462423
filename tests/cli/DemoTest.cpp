// The demo board as it ships: its stored alignment is the mapping every second marker and cursor was
// placed with, the markers stand on their holes on both scans, and the kept fills, replayed by
// korvane-cli check, join every pad of each net and nothing of another.

#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <charconv>
#include <cmath>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "cli/CliRun.h"
#include "storage/IniDocument.h"

namespace korvane::testing {
namespace {

const std::string kDemo = std::string(KORVANE_SOURCE_DIR) + "/examples/demo";

std::vector<double> numbers(const std::string& text) {
    std::vector<double> values;
    for (std::size_t from = 0; from <= text.size();) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        double value = NAN;
        const auto [end, error] = std::from_chars(text.data() + from, text.data() + comma, value);
        values.push_back(error == std::errc() && end == text.data() + comma ? value : NAN);
        from = comma + 1;
    }
    return values;
}

struct Pad {
    std::string name, net;
    std::array<long, 2> at1, at2;
};

class DemoBoard : public ::testing::Test {
  protected:
    void SetUp() override {
        doc.LoadFromText(readFileBytes(kDemo + "/demo.kvp"));
        const std::vector<double> values = numbers(doc.Value("AlignmentSection", "Matrix"));
        ASSERT_EQ(values.size(), 6u);
        std::copy(values.begin(), values.end(), m.begin());
        for (int i = 0; i < doc.SectionsCount(); ++i) {
            const std::string section = doc.SectionName(i);
            if (section.rfind("Pad", 0) == 0) {
                const std::vector<double> p1 = numbers(doc.Value(section, "1Pad"));
                const std::vector<double> p2 = numbers(doc.Value(section, "2Pad"));
                ASSERT_EQ(p1.size() + p2.size(), 4u) << section;
                pads.push_back({doc.Value(section, "CompName") + "." + doc.Value(section, "PadName"),
                                doc.Value(section, "NetName"),
                                {long(p1[0]), long(p1[1])},
                                {long(p2[0]), long(p2[1])}});
            }
        }
    }
    std::array<double, 2> map(double x, double y) const {
        return {m[0] * x + m[1] * y + m[2], m[3] * x + m[4] * y + m[5]};
    }
    std::array<long, 2> mapNearest(long x, long y) const {
        const auto p = map(double(x), double(y));
        return {std::lrint(p[0]), std::lrint(p[1])};
    }
    long key(const char* name) const { return std::stol(doc.Value("FilePathSection", name)); }

    IniDocument doc;
    std::array<double, 6> m{};
    std::vector<Pad> pads;
};

TEST_F(DemoBoard, MarkersCursorsAndPairsFollowTheStoredMirroredAlignment) {
    const double determinant = m[0] * m[4] - m[1] * m[3];
    EXPECT_LT(determinant, -0.95) << "the solder side is scanned face down, at about the same resolution";
    EXPECT_GT(determinant, -1.05);
    EXPECT_NEAR(std::stod(doc.Value("FilePathSection", "X")), std::abs(m[0]), 1e-6);
    EXPECT_NEAR(std::stod(doc.Value("FilePathSection", "Y")), std::abs(m[4]), 1e-6);

    const int pairs = std::stoi(doc.Value("AlignmentSection", "Pairs"));
    ASSERT_GE(pairs, 4);
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    for (int i = 1; i <= pairs; ++i) {
        const std::vector<double> p = numbers(doc.Value("AlignmentSection", "Pair" + std::to_string(i)));
        ASSERT_EQ(p.size(), 4u) << i;
        const auto mapped = map(p[0], p[1]);
        EXPECT_NEAR(mapped[0], p[2], 1e-9) << "pair " << i;
        EXPECT_NEAR(mapped[1], p[3], 1e-9) << "pair " << i;
        left = std::min(left, p[0]), right = std::max(right, p[0]);
        top = std::min(top, p[1]), bottom = std::max(bottom, p[1]);
    }
    EXPECT_GT(right - left, 700) << "the pairs spread over the board";
    EXPECT_GT(bottom - top, 500);

    ASSERT_EQ(pads.size(), 45u) << "40 pads of components and 5 vias";
    for (const Pad& pad : pads) {
        EXPECT_EQ(pad.at2, mapNearest(pad.at1[0], pad.at1[1])) << pad.name;
    }
    const std::array<long, 2> cursor2 = mapNearest(key("X1"), key("Y1"));
    EXPECT_EQ((std::array<long, 2>{key("X2"), key("Y2")}), cursor2);
    EXPECT_EQ((std::array<long, 4>{key("OldX1"), key("OldY1"), key("OldX2"), key("OldY2")}),
              (std::array<long, 4>{key("X1"), key("Y1"), cursor2[0], cursor2[1]}));
    EXPECT_EQ((std::array<long, 2>{key("X1"), key("Y1")}), pads.front().at1) << "cursors on U1 pin 1";
}

TEST_F(DemoBoard, AutomaticAlignmentFindsTheStoredOneWithinAPixelAtEveryCorner) {
    const TempDir dir;
    const CliRun run = cli(dir, {"align", kDemo + "/demo.kvp", "--auto"});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::size_t from = run.out.find("\"matrix\": [");
    ASSERT_NE(from, std::string::npos) << run.out;
    const std::size_t begin = run.out.find('[', from) + 1;
    std::string matrix = run.out.substr(begin, run.out.find(']', begin) - begin);
    std::erase(matrix, ' ');
    const std::vector<double> found = numbers(matrix);
    ASSERT_EQ(found.size(), 6u);
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {1400.0, 0.0}, {0.0, 1000.0}, {1400.0, 1000.0}}) {
        const auto truth = map(x, y);
        EXPECT_LT(std::hypot(found[0] * x + found[1] * y + found[2] - truth[0],
                             found[3] * x + found[4] * y + found[5] - truth[1]),
                  1.0)
            << "corner " << x << ", " << y;
    }
}

// A drilled hole scans dark on both sides; copper and laminate are far brighter.
bool dark(const QImage& image, const std::array<long, 2>& at) {
    return qGreen(image.pixel(int(at[0]), int(at[1]))) < 90;
}

TEST_F(DemoBoard, EveryMarkerOfAThroughHolePadStandsOnItsHoleOnBothScans) {
    const QImage top(QString::fromStdString(kDemo + "/top.jpg"));
    const QImage bottom(QString::fromStdString(kDemo + "/bottom.jpg"));
    ASSERT_FALSE(top.isNull() || bottom.isNull());
    int drilled = 0;
    for (const Pad& pad : pads) {
        if (dark(top, pad.at1)) {
            ++drilled;
            EXPECT_TRUE(dark(bottom, pad.at2)) << pad.name;
        }
    }
    EXPECT_EQ(drilled, 39)
        << "every pad but the six of the three surface-mount parts is drilled, and the vias";
}

TEST_F(DemoBoard, TheCheckFindsEveryPadOnTracedCopperOfItsNetAndTheShortOfABridgingTrace) {
    TempDir dir;
    const CliRun demo = cli(dir, {"check", kDemo + "/demo.kvp"});
    EXPECT_EQ(demo.code, 0);
    EXPECT_EQ(demo.out, "{\"shorts\": [], \"opens\": [], \"suggestions\": [], \"untraced\": []}\n");
    EXPECT_EQ(demo.err, "") << "every trace replays";

    // A fill of the bare board above the supply rail with too wide a bound runs over the blurred edges
    // into the rail and the ground pour.
    for (const char* picture : {"top.jpg", "bottom.jpg"}) {
        std::filesystem::copy_file(kDemo + "/" + picture, dir.file(picture));
    }
    std::string project = readFileBytes(kDemo + "/demo.kvp");
    const std::size_t end = project.find("\r\n\r\n[AlignmentSection]");
    ASSERT_NE(end, std::string::npos);
    project.insert(end, "\r\n1-400-199-7958332=255-0.25-0.25");
    writeFileBytes(dir.file("bridged.kvp"), project);
    const CliRun bridged = cli(dir, {"check", dir.file("bridged.kvp")});
    EXPECT_EQ(bridged.code, 3);
    EXPECT_EQ(bridged.out.rfind("{\"shorts\": [{\"nets\": [\"GND\", \"VCC\"], \"pads\": [1, 4, ", 0), 0u)
        << bridged.out;
    EXPECT_NE(bridged.out.find("]}], \"opens\": [], \"suggestions\": [], \"untraced\": []}"),
              std::string::npos)
        << "that short only";
}

}  // namespace
}  // namespace korvane::testing
