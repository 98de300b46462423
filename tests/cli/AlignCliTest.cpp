// korvane-cli align, run as a user runs it: the stored pairs refitted, the drill holes matched, the
// project written only when asked, and one line on failure.

#include <gtest/gtest.h>

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstring>

#include "align/Alignment.h"
#include "cli/CliRun.h"
#include "storage/IniDocument.h"
#include "support/SyntheticBoard.h"

namespace korvane::testing {
namespace {

const std::string kHead =
    "[FilePathSection]\r\nFirst=first.png\r\nSecond=second.png\r\nX=1\r\nY=1\r\n\r\n"
    "[Pad1]\r\nPadName=1\r\nNetName=GND\r\nCompName=R1\r\n1Pad=10,20\r\n2Pad=11,21\r\n\r\n";

QJsonObject parsed(const CliRun& run) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(run.out)).object();
}

AffineMap matrixOf(const QJsonObject& json) {
    const QJsonArray m = json["matrix"].toArray();
    return {m[0].toDouble(), m[1].toDouble(), m[2].toDouble(),
            m[3].toDouble(), m[4].toDouble(), m[5].toDouble()};
}

std::optional<Alignment> storedAlignment(const std::string& path) {
    IniDocument doc;
    doc.SetFileName(path);
    return ReadAlignment(doc);
}

void savePicture(const BoardPicture& picture, const std::string& path) {
    QImage image(picture.width, picture.height, QImage::Format_RGBX8888);
    for (int y = 0; y < picture.height; ++y) {
        std::memcpy(image.scanLine(y), picture.pixels.data() + std::size_t(y) * picture.width,
                    std::size_t(picture.width) * 4);
    }
    ASSERT_TRUE(image.save(QString::fromStdString(path)));
}

TEST(AlignCli, RefitsTheStoredPairsAndWritesOnlyWhenAsked) {
    TempDir dir;
    const std::string project = dir.file("board.kvp");
    const AffineMap truth{1.01, 0.02, 5, -0.02, 0.99, -3};
    std::string text = kHead + "[AlignmentSection]\r\nMatrix=1,0,0,0,1,0\r\nPairs=4\r\n";
    const double points[4][2] = {{10, 20}, {900, 40}, {60, 700}, {800, 650}};
    for (int i = 0; i < 4; ++i) {
        const auto q = truth.map(points[i][0], points[i][1]);
        text += "Pair" + std::to_string(i + 1) + "=" + FormatExactNumber(points[i][0]) + "," +
                FormatExactNumber(points[i][1]) + "," + FormatExactNumber(q.x) + "," +
                FormatExactNumber(q.y) + "\r\n";
    }
    writeFileBytes(project, text + "\r\n[Other]\r\nKey=Value\r\n\r\n");
    const std::string before = readFileBytes(project);

    CliRun run = cli(dir, {"align", project});
    ASSERT_EQ(run.code, 0) << run.err;
    QJsonObject json = parsed(run);
    const AffineMap fitted = matrixOf(json);
    for (const auto& [x, y] : {std::pair{0.0, 0.0}, {1000.0, 800.0}}) {
        EXPECT_NEAR(fitted.map(x, y).x, truth.map(x, y).x, 1e-6);
        EXPECT_NEAR(fitted.map(x, y).y, truth.map(x, y).y, 1e-6);
    }
    ASSERT_EQ(json["pairs"].toArray().size(), 4);
    const QJsonObject first = json["pairs"].toArray()[1].toObject();
    EXPECT_EQ(first["p1"].toArray()[0].toDouble(), 900);
    EXPECT_NEAR(first["residual"].toDouble(), 0, 1e-6);
    EXPECT_NEAR(json["rms"].toDouble(), 0, 1e-6);
    EXPECT_FALSE(json.contains("inliers") || json.contains("mirrored"));
    EXPECT_EQ(readFileBytes(project), before);

    run = cli(dir, {"align", "--write", project});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto stored = storedAlignment(project);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->map, fitted);
    EXPECT_EQ(stored->pairs.size(), 4u);
    IniDocument doc;
    doc.SetFileName(project);
    EXPECT_EQ(doc.Value("Other", "Key"), "Value");
    EXPECT_EQ(doc.Value("Pad1", "2Pad"), "11,21");
}

TEST(AlignCli, FailsInOneLineWhenNoMappingCanBeFitted) {
    TempDir dir;
    BoardScene scene;
    scene.width = 300;
    scene.height = 200;
    scene.holes = 0;
    scene.specks = 0;
    const BoardScans blank = MakeBoardScans(scene, AffineMap{});
    savePicture(blank.first, dir.file("first.png"));
    savePicture(blank.second, dir.file("second.png"));
    const struct {
        std::string section;
        std::vector<std::string> options;
        const char* reason;
    } cases[] = {
        {"", {}, "fewer than two point pairs"},
        {"[AlignmentSection]\r\nMatrix=1,0,0,0,1,0\r\nPairs=1\r\nPair1=1,2,3,4\r\n", {}, "fewer than two"},
        {"[AlignmentSection]\r\nMatrix=1,0,0,0,1,0\r\nPairs=3\r\nPair1=0,0,0,0\r\nPair2=1,1,1,1\r\n"
         "Pair3=2,2,2,2\r\n",
         {"--write"},
         "one line"},
        {"[AlignmentSection]\r\nMatrix=1,0\r\n", {}, "six numbers"},
        {"", {"--auto", "--write"}, "drill holes"},
    };
    for (const auto& c : cases) {
        const std::string project = dir.file("board.kvp");
        writeFileBytes(project, kHead + c.section);
        std::vector<std::string> args = {"align", project};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun run = cli(dir, args);
        EXPECT_EQ(run.code, 1) << c.section;
        EXPECT_EQ(run.out, "");
        EXPECT_TRUE(!run.err.empty() && run.err.find('\n') == run.err.size() - 1) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
        EXPECT_EQ(readFileBytes(project), kHead + c.section);
    }
    writeFileBytes(dir.file("nopictures.kvp"), "[FilePathSection]\r\nFirst=\r\nSecond=\r\n");
    const CliRun run = cli(dir, {"align", dir.file("nopictures.kvp"), "--auto"});
    EXPECT_EQ(run.code, 1);
    EXPECT_NE(run.err.find("picture 1 of the project not found"), std::string::npos) << run.err;
    EXPECT_EQ(cli(dir, {"align", "--help"}).out.rfind("usage: korvane-cli align", 0), 0u);
}

TEST(AlignCli, AutoFindsTheMirroredLayerFromItsDrillHolesAndStoresIt) {
    TempDir dir;
    BoardScene scene;
    const BoardScans scans = MakeBoardScans(scene, SceneMapping(scene, 1.5, 1.0, 1.015, 0.0, true));
    savePicture(scans.first, dir.file("first.png"));
    savePicture(scans.second, dir.file("second.png"));
    const std::string project = dir.file("board.kvp");
    writeFileBytes(project, kHead);

    CliRun run = cli(dir, {"align", project, "--auto", "--write"});
    ASSERT_EQ(run.code, 0) << run.err;
    const QJsonObject json = parsed(run);
    EXPECT_TRUE(json["mirrored"].toBool());
    EXPECT_EQ(json["inliers"].toInt(), json["pairs"].toArray().size());
    EXPECT_GE(json["inliers"].toInt(), scene.holes / 2);
    EXPECT_LT(json["rms"].toDouble(), 1);
    const AffineMap found = matrixOf(json);
    for (const auto& [x, y] : {std::pair{0, 0},
                               {scene.width - 1, 0},
                               {0, scene.height - 1},
                               {scene.width - 1, scene.height - 1}}) {
        EXPECT_LT(std::hypot(found.map(x, y).x - scans.truth.map(x, y).x,
                             found.map(x, y).y - scans.truth.map(x, y).y),
                  1.0);
    }
    const auto stored = storedAlignment(project);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->map, found);
    EXPECT_EQ(int(stored->pairs.size()), json["inliers"].toInt());
    EXPECT_EQ(readFileBytes(project).rfind(kHead, 0), 0u);

    // The stored pairs refit to the stored mapping.
    run = cli(dir, {"align", project});
    ASSERT_EQ(run.code, 0) << run.err;
    const AffineMap refitted = matrixOf(parsed(run));
    EXPECT_NEAR(refitted.map(1000, 800).x, found.map(1000, 800).x, 1e-6);
    EXPECT_NEAR(refitted.map(1000, 800).y, found.map(1000, 800).y, 1e-6);
}

}  // namespace
}  // namespace korvane::testing
