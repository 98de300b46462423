// The platform layer without widgets: the file dialog's state, the data folder and the standard options.

#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <tuple>

#include "help/HelpLinks.h"
#include "platform/DataFolder.h"
#include "platform/FileDialogState.h"
#include "platform/ProgramOptions.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

using testing::ScriptedUi;
using testing::TempDir;
namespace fs = std::filesystem;

TEST(OpenSave, FilterIsStoredWithNulsReadBackWithBarsAndGivenToQtWithEveryPattern) {
    ScriptedUi ui;
    FileDialogState dialog(ui);
    EXPECT_EQ(dialog.Filter(), "All Files (*.*)|*.*");
    // A filter that already ends in a separator gets only the NUL it lacks.
    for (const auto& [set, raw, back] : std::vector<std::array<std::string, 3>>{
             {"Korvane project file *.kvp|*.kvp", std::string("Korvane project file *.kvp\0*.kvp\0\0", 34),
              "Korvane project file *.kvp|*.kvp"},
             {"a|b|", std::string("a\0b\0\0", 5), "a|b"}}) {
        dialog.SetFilter(set);
        EXPECT_EQ(dialog.RawFilter(), raw);
        EXPECT_EQ(dialog.Filter(), back);
    }
    dialog.SetFilter("*.bmp;*.gif;*.jpg|*.bmp;*.gif;*.jpg|All pictures|*.png; *.tif");
    const auto filters = dialog.FilterList();
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(QtFilterText(filters[0]), "*.bmp;*.gif;*.jpg (*.bmp *.gif *.jpg)");
    EXPECT_EQ(QtFilterText(filters[1]), "All pictures (*.png *.tif)");
}

TEST(OpenSave, ShowPassesPropertiesReadsResultsBackAndACancelLeavesEveryProperty) {
    ScriptedUi ui;
    FileDialogState dialog(ui);
    dialog.DialogTitle = "Select filename to load project:";
    dialog.SetFilter("Korvane project file *.kvp|*.kvp");
    dialog.Flags = 2625542;
    dialog.InitDir = "/home/user/boards";
    dialog.FileName = "/home/user/boards/old.kvp";
    // A chosen path longer than the old fixed-size buffer comes back whole.
    const std::string chosen = "/home/user/" + std::string(400, 'd') + "/amp v2.kvp";
    ui.fileAnswers.push_back(FileDialogResult{chosen, 1});
    EXPECT_EQ(dialog.ShowOpen(), FileChoice::Chosen);
    ASSERT_EQ(ui.count("open"), 1);
    const FileDialogRequest request = ui.fileDialogs()[0];
    EXPECT_EQ(request.title, "Select filename to load project:");
    EXPECT_EQ(request.initialDir, "/home/user/boards");
    EXPECT_EQ(request.fileName, "/home/user/boards/old.kvp");
    EXPECT_TRUE(request.fileMustExist);
    EXPECT_TRUE(request.overwritePrompt);
    EXPECT_EQ(dialog.FileName, chosen);
    EXPECT_EQ(dialog.FileTitle, "amp v2.kvp");
    EXPECT_EQ(dialog.FileName.substr(std::size_t(dialog.FileExt)), "kvp");
    EXPECT_EQ(dialog.Flags, 2625542);
    // The next use proposes the file chosen last time; without the must-exist bit any name is accepted.
    dialog.Flags = 2621446;
    ui.fileAnswers.push_back(std::nullopt);
    EXPECT_EQ(dialog.ShowSave(), FileChoice::Cancelled);
    EXPECT_EQ(ui.fileDialogs()[1].fileName, chosen);
    EXPECT_FALSE(ui.fileDialogs()[1].fileMustExist);
    // Only the outcome tells a cancel from a confirmed preset name: a cancel changes no property.
    dialog.FileName = "/boards/a.kvp";
    dialog.FileTitle = "a.kvp";
    dialog.FilterIndex = 2;
    dialog.InitDir = "/boards";
    ui.fileAnswers = {std::nullopt, FileDialogResult{}};  // a cancel, and a dialog that returns no path
    for (const auto show : {&FileDialogState::ShowSave, &FileDialogState::ShowOpen}) {
        EXPECT_EQ((dialog.*show)(), FileChoice::Cancelled);
        EXPECT_EQ(
            std::tie(dialog.FileName, dialog.FileTitle, dialog.Flags, dialog.FilterIndex, dialog.InitDir),
            std::make_tuple("/boards/a.kvp", "a.kvp", 2621446, 2, "/boards"));
    }
}

TEST(DataFolder, BuildFolderInstalledTreeAndNeither) {
    struct Case {
        const char* name;
        std::vector<std::string> made;  // below the temporary folder: folders, and files ending in "!"
        const char* programDir;
        const char* expected;
    };
    const Case cases[] = {
        {"build folder with Lib", {"build/Lib"}, "build", "build"},
        {"build folder with help only", {"build/help"}, "build", "build"},
        {"build folder wins over a share beside it", {"b/bin/Lib", "b/share/korvane/Lib"}, "b/bin", "b/bin"},
        {"installed tree", {"usr/bin", "usr/share/korvane/Lib"}, "usr/bin", "usr/share/korvane"},
        {"installed tree, trailing slash",
         {"usr/bin", "usr/share/korvane/help"},
         "usr/bin/",
         "usr/share/korvane"},
        {"a file named Lib is no folder",
         {"x/bin", "x/share/korvane", "x/bin/Lib!"},
         "x/bin",
         "x/share/korvane"},
        {"nothing anywhere", {"y/bin"}, "y/bin", "y/bin"}};
    for (const Case& c : cases) {
        TempDir dir;
        for (const std::string& made : c.made) {
            made.ends_with('!') ? testing::writeFileBytes(dir.file(made.substr(0, made.size() - 1)), "")
                                : void(fs::create_directories(dir.path() / made));
        }
        EXPECT_EQ(DataFolder(dir.path().string() + "/" + c.programDir), dir.file(c.expected)) << c.name;
    }
}

TEST(ProgramOptions, HelpAndVersionOnlyAsTheWholeCommandLine) {
    const std::string version =
        "tool " + VersionText(KORVANE_VERSION_MAJOR, KORVANE_VERSION_MINOR, KORVANE_VERSION_PATCH) + "\n";
    EXPECT_EQ(StandardOptionReply({"--help"}, "tool", "usage"), "usage");
    EXPECT_EQ(StandardOptionReply({"-h"}, "tool", "usage"), "usage");
    EXPECT_EQ(StandardOptionReply({"--version"}, "tool", "usage"), version);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"board.kvp"}, {"export", "--help"}, {"--version", "x"}, {"--versions"}}) {
        EXPECT_EQ(StandardOptionReply(args, "tool", "usage"), std::nullopt) << ::testing::PrintToString(args);
    }
}

}  // namespace
}  // namespace korvane
