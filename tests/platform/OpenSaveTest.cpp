#include <gtest/gtest.h>

#include "platform/AppError.h"
#include "platform/FileDialogState.h"
#include "support/ScriptedUi.h"

namespace korvane {
namespace {

using testing::ScriptedUi;

TEST(OpenSave, FilterIsStoredWithNulsAndReadBackWithBars) {
    ScriptedUi ui;
    FileDialogState dialog(ui);
    EXPECT_EQ(dialog.Filter(), "All Files (*.*)|*.*");

    dialog.SetFilter("Korvane project file *.kvp|*.kvp");
    EXPECT_EQ(dialog.RawFilter(), std::string("Korvane project file *.kvp\0*.kvp\0\0", 34));
    EXPECT_EQ(dialog.Filter(), "Korvane project file *.kvp|*.kvp");

    // A filter that already ends in a separator gets only the NUL it lacks.
    dialog.SetFilter("a|b|");
    EXPECT_EQ(dialog.RawFilter(), std::string("a\0b\0\0", 5));
    EXPECT_EQ(dialog.Filter(), "a|b");
}

TEST(OpenSave, FilterBecomesQtFiltersWithEveryPattern) {
    ScriptedUi ui;
    FileDialogState dialog(ui);
    dialog.SetFilter("*.bmp;*.gif;*.jpg|*.bmp;*.gif;*.jpg|All pictures|*.png; *.tif");
    const auto filters = dialog.FilterList();
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(QtFilterText(filters[0]), "*.bmp;*.gif;*.jpg (*.bmp *.gif *.jpg)");
    EXPECT_EQ(QtFilterText(filters[1]), "All pictures (*.png *.tif)");
}

TEST(OpenSave, ShowOpenPassesPropertiesAndReadsResultsBack) {
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

    dialog.ShowOpen();

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
    dialog.ShowSave();
    EXPECT_EQ(ui.fileDialogs()[1].fileName, chosen);
    EXPECT_FALSE(ui.fileDialogs()[1].fileMustExist);
}

TEST(OpenSave, CancelLeavesEveryPropertyOrRaisesTheCancelError) {
    ScriptedUi ui;
    FileDialogState dialog(ui);
    dialog.FileName = "/boards/a.kvp";
    dialog.FileTitle = "a.kvp";
    dialog.Flags = 2621446;
    dialog.FilterIndex = 2;
    dialog.InitDir = "/boards";

    ui.fileAnswers = {std::nullopt, std::nullopt};  // the user cancels both dialogs
    dialog.ShowSave();
    EXPECT_EQ(dialog.FileName, "/boards/a.kvp");
    EXPECT_EQ(dialog.FileTitle, "a.kvp");
    EXPECT_EQ(dialog.Flags, 2621446);
    EXPECT_EQ(dialog.FilterIndex, 2);
    EXPECT_EQ(dialog.InitDir, "/boards");

    dialog.CancelError = true;
    try {
        dialog.ShowOpen();
        FAIL() << "cancel did not raise";
    } catch (const AppError& error) {
        EXPECT_EQ(error.number(), 32755);
        EXPECT_EQ(error.description(), "Cancel was selected");
        EXPECT_EQ(error.source(), "Run-time error");
    }
    EXPECT_EQ(dialog.FileName, "/boards/a.kvp");
}

}  // namespace
}  // namespace korvane
