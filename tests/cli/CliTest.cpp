// korvane-cli export, info and render and both executables' standard options, run as a user runs them;
// render against the working image the window shows after drawing all traces.

#include <gtest/gtest.h>

#include <QImage>
#include <QTimer>
#include <algorithm>
#include <filesystem>
#include <map>
#include <regex>

#include "app/MainWindow.h"
#include "cli/CliRun.h"
#include "support/ScriptedUi.h"
#include "support/TestMainWindow.h"
#include "text/Ascii.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

const std::string kLibDir = kFixtures + "/Lib";

TEST(ExportCli, WritesTheRequestedFilesAndLeavesTheProjectAlone) {
    TempDir dir;
    const std::string project = dir.file("two-parts.kvp");
    fs::copy_file(kFixtures + "/two-parts.kvp", project);
    const std::string before = readFileBytes(project);
    const std::map<std::string, std::string> expected = {{"netlist", fixture("two-parts.net")},
                                                         {"kicad-netlist", fixture("two-parts.kicad.net")},
                                                         {"schematic", fixture("two-parts.sch")}};
    // Each flag is followed by its output file, named after the flag. Only --schematic needs a library.
    const std::vector<Names> cases = {{"netlist", "schematic"},
                                      {"netlist"},
                                      {"kicad-netlist"},
                                      {"kicad-netlist", "netlist", "schematic"},
                                      {"kicad-netlist", "schematic"}};
    for (std::size_t round = 0; round < std::size(cases); ++round) {
        const Names& flags = cases[round];
        const std::string folder = dir.file(std::to_string(round));
        fs::create_directory(folder);
        Names args = {"export", project, "--lib-dir",
                      std::ranges::count(flags, "schematic") ? kLibDir : folder};
        for (const std::string& flag : flags) {
            args.insert(args.end(), {"--" + flag, folder + "/" + flag});
        }
        const CliRun run = cli(dir, args);
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.err, "");
        for (const auto& [flag, bytes] : expected) {
            const std::string path = folder + "/" + flag;
            EXPECT_EQ(fs::exists(path) ? readFileBytes(path) : "none",
                      std::ranges::count(flags, flag) ? bytes : "none")
                << round << " " << flag;
        }
    }
    EXPECT_EQ(readFileBytes(project), before);
}

TEST(ExportCli, FailuresAreOneLineAndKeepWhatWasCompleted) {
    TempDir dir;
    auto at = [&dir](const char* name) { return dir.file(name); };
    const std::string project = at("two-parts.kvp");
    fs::copy_file(kFixtures + "/two-parts.kvp", project);
    const std::string before = readFileBytes(project);
    // R1 without a symbol: the net list is complete, the schematic refused with R1 named.
    std::string text = before;
    writeFileBytes(at("nosymbol.kvp"), text.replace(text.find("R1=0{"), 5, "R1={"));
    const struct {
        Names args;
        const char* netList = nullptr;  // the net list that must exist afterwards
    } cases[] = {
        {{"export", project, "--netlist", at("x/a.net")}},
        {{"export", project, "--netlist", at("b.net"), "--schematic", at("y/b.sch"), "--lib-dir", kLibDir},
         "b.net"},
        {{"export", project, "--netlist", at("c.net"), "--schematic", at("c.sch"), "--lib-dir", at("nolib")},
         "c.net"},
        {{"export", at("nosymbol.kvp"), "--netlist", at("n.net"), "--schematic", at("n.sch"), "--lib-dir",
          kLibDir},
         "n.net"},
        {{"export", project, "--netlist", project}},
        {{"export", project, "--netlist", at("d.net"), "--schematic", at("d.net")}},
        {{"export", at("missing.kvp"), "--netlist", at("e.net")}},
        {{"export", project}},
        {{"export", project, "--netlist"}},
        {{"export", project, "--netlist", at("f.net"), "--bogus"}},
        {{"export", project, "--netlist", at("g.net"), "--kicad-netlist", at("z/g.net")}, "g.net"},
        {{"export", project, "--netlist", at("h.net"), "--kicad-netlist", at("h.net")}},
        {{"export", project, "--kicad-netlist", at("i.net"), "--schematic", at("i.net")}},
        {{"export", project, "--kicad-netlist", project}},
        {{"export", project, "--schematic", at("j.sch"), "--lib-dir", kLibDir}},
        {{"info"}},
        {{"info", at("missing.kvp")}},
    };
    for (const auto& c : cases) {
        const CliRun run = cli(dir, c.args);
        EXPECT_EQ(run.code, 1) << c.args.back();
        EXPECT_TRUE(!run.err.empty() && run.err.find('\n') == run.err.size() - 1) << run.err;
        EXPECT_EQ(run.out, "");
        if (c.netList != nullptr) {
            EXPECT_EQ(readFileBytes(at(c.netList)), fixture("two-parts.net"));
        }
        if (c.args.size() > 1 && c.args[1] == at("nosymbol.kvp")) {
            EXPECT_NE(run.err.find("R1"), std::string::npos) << run.err;
        }
    }
    for (const char* name : {"c.sch", "n.sch", "d.net", "h.net", "i.net", "j.sch"}) {
        EXPECT_FALSE(fs::exists(at(name))) << name;
    }
    EXPECT_EQ(readFileBytes(project), before);
    for (const std::string command : {"export", "info", "render"}) {
        const CliRun run = cli(dir, {command, "--help"});
        EXPECT_EQ(run.code, 0);
        EXPECT_EQ(run.out.rfind("usage: korvane-cli " + command, 0), 0u) << run.out;
    }
}

// Names escaped, other bytes read as Windows-1252, no pad from [PadList]; components without data or with
// unreadable data listed in the net list's order, one that names no pad left out.
TEST(InfoCli, PrintsTheProjectAsJson) {
    TempDir dir;
    for (const std::string name : {"two-parts", "info-escapes", "info-components"}) {
        const CliRun run = cli(dir, {"info", kFixtures + "/" + name + ".kvp"});
        EXPECT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(run.out, expected("cli/" + name + ".json"));
    }
}

// The quoted texts that follow `key` in the output, in order.
Names fieldsNamed(const std::string& text, const std::string& key) {
    Names found;
    const std::regex field("\"" + key + "\": \"((?:[^\"\\\\]|\\\\.)*)\"");
    for (std::sregex_iterator it(text.begin(), text.end(), field), end; it != end; ++it) {
        found.push_back((*it)[1]);
    }
    return found;
}

TEST(InfoCli, ListsEveryComponentOfThePadsInTheExportsOrder) {
    TempDir dir;
    // Every project we ship or test with: each component named on a pad is listed.
    Names projects;
    for (const char* folder : {"/examples", "/tests/data"}) {
        for (const auto& entry : fs::recursive_directory_iterator(std::string(KORVANE_SOURCE_DIR) + folder)) {
            if (entry.path().extension() == ".kvp") {
                projects.push_back(entry.path().string());
            }
        }
    }
    for (const std::string& project : projects) {
        const CliRun info = cli(dir, {"info", project});
        ASSERT_EQ(info.code, 0) << project << ": " << info.err;
        const Names designators = fieldsNamed(info.out, "designator");
        for (const std::string& comp : fieldsNamed(info.out, "comp")) {
            const std::string name(trimBlanks(comp));
            EXPECT_TRUE(name.empty() || std::count(designators.begin(), designators.end(), name) > 0)
                << project << ": " << name;
        }
    }
}

// No display, and a platform plug-in that needs one: an executable that made its application object fails.
const char* const kNoDisplay = "env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb";

TEST(ProgramOptions, BothExecutablesAnswerHelpAndVersionAndTheInstalledCliExportsWithoutADisplay) {
    TempDir dir;
    for (const std::string program : {KORVANE_GUI, KORVANE_CLI}) {
        const std::string name = fs::path(program).filename().string();
        CliRun run = runCommand(dir, {program, "--version"}, kNoDisplay);
        EXPECT_EQ(run.code, 0) << name << ": " << run.err;
        EXPECT_EQ(run.out,
                  name + " " +
                      VersionText(KORVANE_VERSION_MAJOR, KORVANE_VERSION_MINOR, KORVANE_VERSION_PATCH) +
                      "\n");
        run = runCommand(dir, {program, "--help"}, kNoDisplay);
        EXPECT_EQ(run.code, 0) << name << ": " << run.err;
        EXPECT_TRUE(run.out.starts_with("usage: " + name + " ")) << run.out;
        EXPECT_EQ(run.err, "");
    }
    // Installed, korvane-cli finds its libraries in share.
    fs::create_directories(dir.path() / "usr/bin");
    fs::create_directories(dir.path() / "usr/share/korvane");
    fs::copy_file(KORVANE_CLI, dir.file("usr/bin/korvane-cli"));
    fs::copy(kLibDir, dir.path() / "usr/share/korvane/Lib", fs::copy_options::recursive);
    const CliRun run = runCommand(dir,
                                  {dir.file("usr/bin/korvane-cli"), "export", kFixtures + "/two-parts.kvp",
                                   "--netlist", dir.file("out.net"), "--schematic", dir.file("out.sch")},
                                  kNoDisplay);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(readFileBytes(dir.file("out.sch")), fixture("two-parts.sch"));
}

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
        fs::copy_file(std::string(KORVANE_SOURCE_DIR) + "/tests/data/bad/" + name, dir.file(name));
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
    EXPECT_FALSE(fs::exists(dir.file("x.png")));
}

}  // namespace
}  // namespace korvane::testing
