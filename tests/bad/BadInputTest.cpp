// Damaged files opened in the window or by korvane-cli info: no crash, one message, no file changed.

#include <gtest/gtest.h>

#include <QImage>
#include <QTimer>
#include <filesystem>
#include <map>
#include <sstream>

#include "app/MainWindow.h"
#include "cli/ExportCommands.h"
#include "export/ExportModel.h"
#include "pads/PadPropertiesDialog.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "support/TestMainWindow.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;

const std::string kBadData = std::string(KORVANE_SOURCE_DIR) + "/tests/data/bad";
const std::string kPictureMissing = "File of the picture not found. Check section [FilePathSection] in the ";
const std::string kLoadFailed = "Invalid picture format, file(s) missing or out of memory.";

std::string header(const std::string& first = "top.bmp", const std::string& second = "bottom.bmp") {
    return "[FilePathSection]\r\nFirst=" + first + "\r\nSecond=" + second + "\r\n";
}

// Every file of the folder with its bytes, to prove that nothing was written.
std::map<std::string, std::string> snapshot(const TempDir& dir) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(dir.path())) {
        if (entry.is_regular_file()) {
            files[entry.path().string()] = readFileBytes(entry.path().string());
        }
    }
    return files;
}

// Opens quietly or with the notice named, or not at all for its pictures (a cut JPEG may also load).
enum class Seen { Opens, PictureMissing, LoadFailed, OpensOrLoadFailed };

TEST(BadInput, ProjectsOpenOrSayWhyInTheWindowAndInInfoAndNoFileChanges) {
    TempDir dir;
    for (const auto& entry : fs::directory_iterator(kBadData)) {
        fs::copy_file(entry.path(), dir.path() / entry.path().filename());
    }
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.file("top.bmp"))));
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.file("bottom.bmp"))));
    // Made here rather than committed: a JPEG cut off in its data, one huge line, 100 000 sections.
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.file("whole.jpg")), "JPG", 90));
    const std::string jpeg = readFileBytes(dir.file("whole.jpg"));
    writeFileBytes(dir.file("truncated.jpg"), jpeg.substr(0, jpeg.size() / 2));
    fs::remove(dir.file("whole.jpg"));
    writeFileBytes(dir.file("huge-line.kvp"), std::string(2 << 20, 'A') + "=B");
    std::string many = header();
    for (int i = 0; i < 100000; ++i) {
        many += "[Section" + std::to_string(i) + "]\r\nKey=Value\r\n";
    }
    writeFileBytes(dir.file("many-sections.kvp"), many);
    writeFileBytes(dir.file("text-picture.kvp"), header("not-a-picture.bmp"));
    writeFileBytes(dir.file("truncated-jpeg.kvp"), header("truncated.jpg"));
    writeFileBytes(dir.file("huge-gif.kvp"), header("huge-header.gif"));
    ScriptedUi ui;
    TestMainWindow window(ui);
    window.startUp("");
    window.timer()->stop();
    const struct {
        std::string file;
        Seen seen;
        std::vector<int> pads;
        std::string notice = {};
    } cases[] = {
        {"truncated.kvp", Seen::Opens, {1}},
        {"truncated-pictures.kvp", Seen::PictureMissing, {}},
        {"garbage.kvp", Seen::PictureMissing, {}},
        {"huge-line.kvp", Seen::PictureMissing, {}},
        {"many-sections.kvp", Seen::Opens, {}},
        // 32768, -5, huge, 0 and none make no pad; a second "Pad5" and "Pad05" get the next free numbers.
        {"pad-numbers.kvp", Seen::Opens, {5, 6, 7}},
        {"numbers.kvp", Seen::Opens, {1, 2, 3, 4}},
        // Drawing them lists the unreadable records in one message; the seed outside is skipped quietly.
        {"traces.kvp", Seen::Opens, {}, "Invalid trace record:"},
        {"components.kvp", Seen::Opens, {1, 2, 3, 4}},
        {"text-picture.kvp", Seen::LoadFailed, {}},
        {"truncated-jpeg.kvp", Seen::OpensOrLoadFailed, {}},
        {"huge-gif.kvp", Seen::LoadFailed, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const auto before = snapshot(dir);
        ui.clear();
        ui.messageAnswers = {
            MsgResult::Yes};  // traces are drawn at once, so that the damaged records replay too
        ui.fileAnswers.push_back(FileDialogResult{dir.file(c.file), 1});
        window.session().openProject();
        std::vector<MessageRequest> messages;
        std::vector<std::string> titles;
        for (const MessageRequest& m : ui.messages()) {
            if (m.title != "Do you want to load the saved traces NOW?") {
                messages.push_back(m);
                titles.push_back(m.title);
            }
        }
        const bool opened = window.projectOpen();
        if (c.seen != Seen::OpensOrLoadFailed) {
            EXPECT_EQ(opened, c.seen == Seen::Opens);
        }
        if (opened) {
            EXPECT_EQ(titles, c.notice.empty() ? std::vector<std::string>{} : std::vector{c.notice});
            std::vector<int> pads;
            for (const ExportPad& pad : ExistingPads(window.pads().padDialog()->board())) {
                pads.push_back(pad.number);
            }
            EXPECT_EQ(pads, c.pads);
            EXPECT_TRUE(window.project().saved()) << "opening is no edit";
            const Project& project = window.project();
            if (c.file == "numbers.kvp") {  // nan and 1e309
                EXPECT_EQ(std::tie(project.cursors.CursorScaleX, project.cursors.CursorScaleY),
                          std::make_tuple(1.0f, 1.0f));
            }
            if (c.file == "traces.kvp") {  // every record stays listed ("2-5" has no "=": no entry at all)
                EXPECT_EQ(project.traces1.size() + project.traces2.size(), 14u);
            }
        } else {
            ASSERT_EQ(messages.size(), 1u);
            const MessageRequest& m = messages[0];
            if (c.seen == Seen::PictureMissing) {
                EXPECT_EQ(m.prompt, kPictureMissing + dir.file(c.file));
                EXPECT_EQ(m.title, "Invalid project file:");
            } else {  // the fixed text, then the reader's reason
                const std::string start =
                    kLoadFailed + "\n" +
                    (c.seen == Seen::LoadFailed ? "Cannot load " + dir.path().string() : "");
                EXPECT_EQ(m.prompt.rfind(start, 0), 0u) << m.prompt;
                EXPECT_EQ(m.title, "File open error:");
                EXPECT_EQ(m.icon, MsgIcon::Exclamation);
            }
        }
        EXPECT_EQ(ui.busyDepth(), 0);
        window.session().closeProject();
        EXPECT_FALSE(window.projectOpen());
        // korvane-cli info reads every one of them, and never prints a number JSON cannot hold.
        std::ostringstream out, err;
        EXPECT_EQ(cli::RunInfoCommand({dir.file(c.file)}, out, err), 0);
        EXPECT_EQ(err.str(), "");
        const std::string json = out.str();
        EXPECT_TRUE(json.starts_with("{\n") && json.ends_with("}\n")) << json;
        for (const char* bad : {"nan", "inf", "NaN", "Inf"}) {
            EXPECT_EQ(json.find(std::string(": ") + bad), std::string::npos) << bad;
        }
        EXPECT_TRUE(snapshot(dir) == before) << "a file was changed";
    }
    std::ostringstream out, err;
    fs::create_directory(dir.file("folder.kvp"));
    EXPECT_EQ(cli::RunInfoCommand({dir.file("folder.kvp")}, out, err), 1);
    EXPECT_EQ(err.str().find('\n'), err.str().size() - 1) << err.str();
}

}  // namespace
}  // namespace korvane::testing
