// korvane-cli render, run as a separate program on projects made in a temporary folder: its picture
// must be the working image the window shows after drawing all traces, and it must leave its inputs alone.

#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QTest>
#include <QTimer>

#include "app/MainWindow.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "support/TestMainWindow.h"
#include "tracing/FillQuestionDialog.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {
namespace {

using testing::readFileBytes;
using testing::ScriptedUi;
using testing::TempDir;
using testing::writeFileBytes;

struct CliRun {
    int exitCode = -1;
    std::string out, err;
};

CliRun cli(const QStringList& arguments) {
    QProcess process;
    process.start(QStringLiteral(KORVANE_CLI_PATH), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    CliRun run;
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = process.readAllStandardOutput().toStdString();
    run.err = process.readAllStandardError().toStdString();
    return run;
}

int lines(const std::string& text) {
    return int(std::count(text.begin(), text.end(), '\n'));
}

class Render : public ::testing::Test {
  protected:
    void SetUp() override {
        // Two layers with copper areas of several shades, so that traces with a tolerance take in more
        // than one colour.
        QImage top(240, 160, QImage::Format_RGB32);
        top.fill(QColor(0x80, 0x80, 0x80));
        for (int y = 20; y < 140; ++y) {
            for (int x = 10; x < 230; ++x) {
                if ((x / 20 + y / 20) % 3 != 0) {
                    top.setPixelColor(x, y, QColor(0x40 + (x % 3), 0x40, 0x40));
                }
            }
        }
        ASSERT_TRUE(top.save(QString::fromStdString(dir.file("top.bmp"))));
        QImage bottom(200, 150, QImage::Format_RGB32);
        bottom.fill(QColor(0x80, 0x80, 0x80));
        for (int y = 10; y < 40; ++y) {
            for (int x = 10; x < 160; ++x) {
                bottom.setPixelColor(x, y, Qt::black);
            }
        }
        ASSERT_TRUE(bottom.save(QString::fromStdString(dir.file("bottom.png"))));
        project = dir.file("board.kvp");
        writeFileBytes(project,
                       "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.png\r\n[TraceSection]\r\n");
    }

    std::unique_ptr<MainWindow> openWindow(ScriptedUi& ui) {
        auto window = std::make_unique<TestMainWindow>(ui);
        window->Form_Load("");
        window->timer()->stop();
        ui.fileAnswers = {FileDialogResult{project, 1}};
        window->mnuOpen_Click();
        EXPECT_TRUE(window->projectOpen());
        window->Timer_Timer();
        return window;
    }

    // Fills in the window and keeps the fill.
    void keptFill(MainWindow& window, int picture, int x, int y) {
        QTimer::singleShot(0, &window, [&window] { QTest::keyClick(window.fillQuestion(), Qt::Key_Return); });
        if (picture == 1) {
            window.P1_MouseUp(Qt::LeftButton, Qt::AltModifier, x, y);
        } else {
            window.P2_MouseUp(Qt::LeftButton, Qt::AltModifier, x, y);
        }
    }

    static QImage rendered(const std::string& path) {
        return QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGBX8888);
    }

    // Renders one picture and compares it with the working image of a window that opened the project and
    // drew its traces at once, as the window offers.
    void expectRenderedAsShown(int picture) {
        const std::string out = dir.file("out.png");
        const CliRun run = cli({"render", QString::fromStdString(project), "--picture",
                                QString::number(picture), "--out", QString::fromStdString(out)});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        ScriptedUi ui;
        ui.messageAnswers = {MsgResult::Yes};
        auto window = openWindow(ui);
        EXPECT_EQ(ui.count("beep"), 0) << "every trace replays on the window's picture";
        const PictureBox* box = picture == 1 ? window->panes()->P1() : window->panes()->P2();
        EXPECT_NE(box->workImage(), box->baseImage()) << "the traces are drawn";
        const QImage image = rendered(out);
        ASSERT_EQ(image.size(), box->workImage().size());
        EXPECT_TRUE(image == box->workImage().convertToFormat(QImage::Format_RGBX8888))
            << "picture " << picture;
    }

    TempDir dir;
    std::string project;
};

TEST_F(Render, EqualsTheWindowAfterDrawingAllTraces) {
    // Traces made and saved in the window.
    {
        ScriptedUi ui;
        auto window = openWindow(ui);
        keptFill(*window, 1, 30, 30);
        window->FillColor = 65535;
        keptFill(*window, 1, 50, 30);
        keptFill(*window, 2, 20, 20);
        ASSERT_EQ(window->project().traces1.size(), 2u);
        window->mnuSave_Click();
        ASSERT_TRUE(window->project().saved());
    }
    const std::string projectBytes = readFileBytes(project);
    const std::string pictureBytes = readFileBytes(dir.file("top.bmp"));

    expectRenderedAsShown(1);
    expectRenderedAsShown(2);
    EXPECT_EQ(readFileBytes(project), projectBytes) << "the project is never written";
    EXPECT_EQ(readFileBytes(dir.file("top.bmp")), pictureBytes);
}

TEST_F(Render, TurnsAndMirrorsThePictureAsStoredBeforeReplaying) {
    for (const char* orientation : {"R0", "R0F", "R1", "R1F", "R2", "R2F", "R3", "R3F"}) {
        SCOPED_TRACE(orientation);
        // Traces recorded on the picture as the window showed it; (30, 200) lies only on a turned one.
        const bool sideways = orientation[1] == '1' || orientation[1] == '3';
        writeFileBytes(project, std::string("[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.png\r\n") +
                                    "Transform1=" + orientation +
                                    "\r\n[TraceSection]\r\n1-30-30-0=255-0.1-0.1\r\n" +
                                    "1-100-150-0=65535-0.1-0.1\r\n" +
                                    (sideways ? "1-30-200-0=16711680-0.1-0.1\r\n" : ""));
        expectRenderedAsShown(1);
    }
}

TEST_F(Render, ReportsTracesItCannotReplayAndGoesOn) {
    writeFileBytes(project,
                   "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.png\r\n[TraceSection]\r\n"
                   "1-5-5-8421504=255-0-0\r\n"            // the grey, painted red
                   "1-7-7-8421504=255-0-0\r\n"            // the same area again: already red
                   "1-30-30-4210752=4210760-0.1-0.1\r\n"  // the range around the paint takes the seed in
                   "1-999-5-0=255-0-0\r\n"                // beyond the picture
                   "1-bad=1\r\n");
    const std::string out = dir.file("out.png");
    const CliRun run = cli(
        {"render", QString::fromStdString(project), "--picture", "1", "--out", QString::fromStdString(out)});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(lines(run.err), 4) << run.err;
    for (const char* record :
         {"1-7-7-8421504=255-0-0", "1-30-30-4210752=4210760-0.1-0.1", "1-999-5-0=255-0-0", "1-bad=1"}) {
        EXPECT_NE(run.err.find(record), std::string::npos) << record;
    }
    const QImage image = rendered(out);
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(30, 30), qRgb(0x40, 0x40, 0x40));
}

TEST_F(Render, FailsWithOneClearLine) {
    const CliRun help = cli({"render", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("usage: korvane-cli render"), std::string::npos);
    EXPECT_EQ(cli({"--help"}).exitCode, 0);

    const std::string picture = dir.file("top.bmp");
    const std::string before = readFileBytes(picture);
    const QString p = QString::fromStdString(project);
    const QStringList failing[] = {
        {},
        {"paint"},
        {"render"},
        {"render", QString::fromStdString(dir.file("missing.kvp")), "--picture", "1", "--out", "x.png"},
        {"render", p, "--picture", "3", "--out", QString::fromStdString(dir.file("x.png"))},
        {"render", p, "--picture", "1"},
        {"render", p, "--picture", "1", "--out", QString::fromStdString(dir.file("x.gif"))},
        {"render", p, "--picture", "1", "--out", QString::fromStdString(picture)},
    };
    for (const QStringList& arguments : failing) {
        const CliRun run = cli(arguments);
        EXPECT_NE(run.exitCode, 0) << arguments.join(' ').toStdString();
        EXPECT_EQ(lines(run.err), 1) << arguments.join(' ').toStdString() << ": " << run.err;
    }
    EXPECT_EQ(readFileBytes(picture), before);
}

}  // namespace
}  // namespace korvane
