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

TEST(AlignCli, AutoFindsTheMirroredLayerFromItsDrillHolesAndStoresItOnlyWhenAsked) {
    TempDir dir;
    BoardScene scene;
    const BoardScans scans = MakeBoardScans(scene, SceneMapping(scene, 1.5, 1.0, 1.015, 0.0, true));
    savePicture(scans.first, dir.file("first.png"));
    savePicture(scans.second, dir.file("second.png"));
    const std::string project = dir.file("board.kvp");
    writeFileBytes(project, kHead + "[Other]\r\nKey=Value\r\n\r\n");
    const std::string before = readFileBytes(project);

    CliRun run = cli(dir, {"align", project, "--auto"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(readFileBytes(project), before);
    run = cli(dir, {"align", project, "--auto", "--write"});
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
    EXPECT_EQ(readFileBytes(project).rfind(before, 0), 0u);  // the rest of the file as it was

    // Without --auto the stored pairs are refitted, to the stored mapping, each with its residual.
    run = cli(dir, {"align", project});
    ASSERT_EQ(run.code, 0) << run.err;
    const QJsonObject refit = parsed(run);
    const AffineMap refitted = matrixOf(refit);
    EXPECT_NEAR(refitted.map(1000, 800).x, found.map(1000, 800).x, 1e-6);
    EXPECT_NEAR(refitted.map(1000, 800).y, found.map(1000, 800).y, 1e-6);
    EXPECT_FALSE(refit.contains("inliers") || refit.contains("mirrored"));
    const QJsonObject pair = refit["pairs"].toArray()[3].toObject();
    const AlignPair& p = stored->pairs[3];
    EXPECT_EQ(pair["p1"].toArray()[0].toDouble(), p.x1);
    EXPECT_EQ(pair["p2"].toArray()[1].toDouble(), p.y2);
    EXPECT_NEAR(pair["residual"].toDouble(), Residuals(found, {p})[0], 1e-6);
    EXPECT_NEAR(refit["rms"].toDouble(), json["rms"].toDouble(), 1e-6);
}

}  // namespace
}  // namespace korvane::testing
