// korvane-cli render: the working image the window shows after drawing all traces, its inputs left alone.

#include <gtest/gtest.h>

#include <QImage>
#include <QTimer>
#include <algorithm>
#include <filesystem>

#include "app/MainWindow.h"
#include "cli/CliRun.h"
#include "support/ScriptedUi.h"
#include "support/TestMainWindow.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane::testing {
namespace {

const std::string kPictures = "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.png\r\n";

QImage picture(int width, int height, QRect dark, bool shades) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(QColor(0x80, 0x80, 0x80));
    for (int y = dark.top(); y <= dark.bottom(); ++y) {
        for (int x = dark.left(); x <= dark.right(); ++x) {
            // Copper of several shades, so that traces with a tolerance take in more than one colour.
            if (!shades || (x / 20 + y / 20) % 3 != 0) {
                image.setPixelColor(x, y, shades ? QColor(0x40 + (x % 3), 0x40, 0x40) : Qt::black);
            }
        }
    }
    return image;
}

class Render : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(picture(240, 160, QRect(10, 20, 220, 120), true)
                        .save(QString::fromStdString(dir.file("top.bmp"))));
        ASSERT_TRUE(picture(200, 150, QRect(10, 10, 150, 30), false)
                        .save(QString::fromStdString(dir.file("bottom.png"))));
        writeFileBytes(project, kPictures + "[TraceSection]\r\n");
    }
    CliRun render(const std::string& picture) {
        return cli(dir, {"render", project, "--picture", picture, "--out", dir.file("out.png")});
    }
    QImage rendered() const {
        return QImage(QString::fromStdString(dir.file("out.png"))).convertToFormat(QImage::Format_RGBX8888);
    }
    void expectRenderedAsShown(int picture) {
        const CliRun run = render(std::to_string(picture));
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.err, "");
        ScriptedUi ui;
        TestMainWindow window(ui);
        window.startUp("");
        window.timer()->stop();
        ui.fileAnswers = {FileDialogResult{project, 1}};
        ui.messageAnswers = {MsgResult::Yes};
        window.session().openProject();
        ASSERT_TRUE(window.projectOpen());
        window.tick();
        EXPECT_EQ(ui.count("beep"), 0) << "every trace replays on the window's picture";
        const PictureBox* box = picture == 1 ? window.panes()->P1() : window.panes()->P2();
        EXPECT_NE(box->workImage(), box->baseImage()) << "the traces are drawn";
        EXPECT_TRUE(rendered() == box->workImage().convertToFormat(QImage::Format_RGBX8888))
            << "picture " << picture;
    }
    TempDir dir;
    std::string project = dir.file("board.kvp");
};

TEST_F(Render, EqualsTheWindowAfterDrawingAllTracesInEveryOrientation) {
    const std::string pictureBytes = readFileBytes(dir.file("top.bmp"));
    for (const std::string orientation : {"R0", "R0F", "R1", "R1F", "R2", "R2F", "R3", "R3F"}) {
        SCOPED_TRACE(orientation);
        // Traces recorded on the picture as the window showed it; (30, 200) lies only on a turned one.
        const bool sideways = orientation[1] == '1' || orientation[1] == '3';
        const std::string projectBytes =
            kPictures + "Transform1=" + orientation +
            "\r\n[TraceSection]\r\n1-30-30-0=255-0.1-0.1\r\n1-100-150-0=65535-0.1-0.1\r\n" +
            (sideways ? "1-30-200-0=16711680-0.1-0.1\r\n" : "") + "2-20-20-0=255-0.1-0.1\r\n";
        writeFileBytes(project, projectBytes);
        expectRenderedAsShown(1);
        if (orientation == "R0") {
            expectRenderedAsShown(2);
        }
        EXPECT_EQ(readFileBytes(project), projectBytes) << "the project is never written";
    }
    EXPECT_EQ(readFileBytes(dir.file("top.bmp")), pictureBytes);
}

TEST_F(Render, ReportsTracesItCannotReplayAndGoesOn) {
    writeFileBytes(project,
                   kPictures +
                       "[TraceSection]\r\n"
                       "1-5-5-8421504=255-0-0\r\n"            // the grey, painted red
                       "1-7-7-8421504=255-0-0\r\n"            // the same area again: already red
                       "1-30-30-4210752=4210760-0.1-0.1\r\n"  // the range around the paint takes the seed in
                       "1-999-5-0=255-0-0\r\n"                // beyond the picture
                       "1-bad=1\r\n");
    const CliRun run = render("1");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(std::ranges::count(run.err, '\n'), 4) << run.err;
    for (const char* record :
         {"1-7-7-8421504=255-0-0", "1-30-30-4210752=4210760-0.1-0.1", "1-999-5-0=255-0-0", "1-bad=1"}) {
        EXPECT_NE(run.err.find(record), std::string::npos) << record;
    }
    EXPECT_EQ(rendered().pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(rendered().pixel(30, 30), qRgb(0x40, 0x40, 0x40));
}

TEST_F(Render, FailsWithOneClearLine) {
    const std::string top = dir.file("top.bmp");
    const std::string before = readFileBytes(top);
    // Pictures refused from their header: a GIF that claims a size beyond any memory, text named .bmp.
    for (const std::string name : {"huge-header.gif", "not-a-picture.bmp"}) {
        std::filesystem::copy_file(std::string(KORVANE_SOURCE_DIR) + "/tests/data/bad/" + name,
                                   dir.file(name));
        writeFileBytes(dir.file(name + ".kvp"),
                       "[FilePathSection]\r\nFirst=" + name + "\r\nSecond=bottom.png\r\n");
    }
    const struct {
        std::vector<std::string> args;
        const char* reason = "";
        int code = 1;  // 2: no command to run
    } failing[] = {
        {{}, "", 2},
        {{"paint"}, "", 2},
        {{"render"}},
        {{"render", dir.file("missing.kvp"), "--picture", "1", "--out", "x.png"}},
        {{"render", project, "--picture", "3", "--out", dir.file("x.png")}},
        {{"render", project, "--picture", "1"}},
        {{"render", project, "--picture", "1", "--out", dir.file("x.gif")}},
        {{"render", project, "--picture", "1", "--out", top}},
        {{"render", dir.file("huge-header.gif.kvp"), "--picture", "1", "--out", dir.file("x.png")},
         "too large"},
        {{"render", dir.file("not-a-picture.bmp.kvp"), "--picture", "1", "--out", dir.file("x.png")},
         "cannot read the picture"},
    };
    for (const auto& c : failing) {
        SCOPED_TRACE(::testing::PrintToString(c.args));
        const CliRun run = cli(dir, c.args);
        EXPECT_EQ(run.code, c.code);
        EXPECT_EQ(std::ranges::count(run.err, '\n'), 1) << run.err;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
    EXPECT_EQ(readFileBytes(top), before);
    EXPECT_FALSE(std::filesystem::exists(dir.file("x.png")));
}

}  // namespace
}  // namespace korvane::testing
