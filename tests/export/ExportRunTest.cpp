// The export as the user runs it, and the export dialog's component data: the order of dialogs and
// messages, what is written when something is cancelled or fails, and Update.

#include <gtest/gtest.h>

#include <filesystem>

#include "export/ExportDialogModel.h"
#include "export/ExportRun.h"
#include "export/Libraries.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

using Names = std::vector<std::string>;
using testing::readFileBytes;
using testing::ScriptedUi;
using testing::TempDir;
using testing::writeFileBytes;

// Holds the fixture library as Lib/sch.lb.
const std::string kFixtures = std::string(KORVANE_SOURCE_DIR) + "/tests/data/export";

FileDialogResult chosen(const std::string& path) {
    return FileDialogResult{path, 1};
}

// The two-part fixture project as just opened, with the Ui, the file dialog and the remembered files of
// one session.
class ExportRun : public ::testing::Test {
  protected:
    void load(const std::string& text) {
        IniDocument doc;
        doc.LoadFromText(text);
        model = ExportModelOfOpenedProject(doc);
    }
    void SetUp() override { load(readFileBytes(kFixtures + "/two-parts.kvp")); }
    ExportOutcome run(const std::string& libDir = kFixtures) {
        return RunExport(model, libDir, ui, dialog, previous);
    }

    TempDir dir;
    ExportModel model;
    ScriptedUi ui;
    FileDialogState dialog{ui};
    ExportFiles previous;
};

TEST_F(ExportRun, WritesBothFilesThenSaysSo) {
    dialog.DefaultExt = "kvp";  // left by an earlier project dialog
    ui.fileAnswers = {chosen(dir.file("a.net")), chosen(dir.file("a.sch"))};

    EXPECT_EQ(run(), ExportOutcome::Completed);
    EXPECT_EQ(readFileBytes(dir.file("a.net")), readFileBytes(kFixtures + "/two-parts.net"));
    EXPECT_EQ(readFileBytes(dir.file("a.sch")), readFileBytes(kFixtures + "/two-parts.sch"));

    const auto dialogs = ui.fileDialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].title, "Enter filename of the exporting net-list:");
    ASSERT_EQ(dialogs[0].filters.size(), 1u);
    EXPECT_EQ(dialogs[0].filters[0].description, "Protel net list *.net");
    EXPECT_EQ(dialogs[0].filters[0].patterns, Names{"*.net"});
    EXPECT_EQ(dialogs[1].title, "Enter filename of the exporting sch-file:");
    EXPECT_EQ(dialogs[1].filters[0].description, "Protel ASCII sch file *.sch");
    for (const auto& request : dialogs) {
        EXPECT_EQ(request.initialDir, "");
        EXPECT_EQ(request.fileName, "");
        EXPECT_EQ(request.defaultExt, "");
        EXPECT_TRUE(request.overwritePrompt);
    }

    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].prompt, "Export was completed.");
    EXPECT_EQ(messages[0].title, "Sch and net-list export:");
    EXPECT_EQ(messages[0].icon, MsgIcon::Information);
    EXPECT_EQ(ui.busyDepth(), 0);

    // The next export starts each dialog at the file chosen this time.
    ui.clear();
    ui.fileAnswers = {std::nullopt};
    EXPECT_EQ(run(), ExportOutcome::Cancelled);
    ASSERT_EQ(ui.fileDialogs().size(), 1u);
    EXPECT_EQ(ui.fileDialogs()[0].initialDir, dir.file("a.net"));
    EXPECT_EQ(previous.schematic, dir.file("a.sch"));
    EXPECT_EQ(ui.count("message"), 0);
}

TEST_F(ExportRun, CancelledDialogsWriteWhatWasChosenAndSayNothing) {
    ui.fileAnswers = {std::nullopt};
    EXPECT_EQ(run(), ExportOutcome::Cancelled);
    EXPECT_TRUE(std::filesystem::is_empty(dir.path()));

    ui.fileAnswers = {chosen(dir.file("b.net")), std::nullopt};
    EXPECT_EQ(run(), ExportOutcome::NetListOnly);
    EXPECT_EQ(readFileBytes(dir.file("b.net")), readFileBytes(kFixtures + "/two-parts.net"));
    EXPECT_EQ(ui.count("message"), 0);
    EXPECT_EQ(ui.fileDialogs().size(), 3u);
}

TEST_F(ExportRun, MissingLibraryKeepsTheNetListAndSaysWhy) {
    ui.fileAnswers = {chosen(dir.file("c.net")), chosen(dir.file("c.sch"))};

    EXPECT_EQ(run(dir.path().string()), ExportOutcome::NetListOnly);
    EXPECT_TRUE(std::filesystem::exists(dir.file("c.net")));
    EXPECT_FALSE(std::filesystem::exists(dir.file("c.sch")));
    EXPECT_EQ(ui.fileDialogs().size(), 1u);
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].title, "Sch library not found:");
    EXPECT_EQ(messages[0].prompt, "Scheme's component library: " + SchematicLibraryPath(dir.path().string()) +
                                      " - not found or access denied. Export of scheme will be skipped.");
}

TEST_F(ExportRun, ComponentsWithoutSymbolStopTheSchematicAndAreNamed) {
    std::string text = readFileBytes(kFixtures + "/two-parts.kvp");
    text.replace(text.find("R1=0{"), 5, "R1={");
    text.replace(text.find("C1=1{"), 5, "C1=2{");  // the library holds two symbols: 0 and 1
    load(text);
    ui.fileAnswers = {chosen(dir.file("d.net")), chosen(dir.file("d.sch"))};

    EXPECT_EQ(run(), ExportOutcome::NetListOnly);
    EXPECT_EQ(readFileBytes(dir.file("d.net")), readFileBytes(kFixtures + "/two-parts.net"));
    EXPECT_FALSE(std::filesystem::exists(dir.file("d.sch")));
    EXPECT_EQ(ui.fileDialogs().size(), 1u);
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].prompt.find(": C1, R1."), std::string::npos) << messages[0].prompt;
    EXPECT_NE(messages[0].prompt, "Export was completed.");
}

TEST_F(ExportRun, AFileThatCannotBeWrittenIsReportedAndStopsTheExport) {
    const std::string nowhere = dir.file("no-such-folder/e.net");
    ui.fileAnswers = {chosen(nowhere), chosen(dir.file("e.sch"))};
    EXPECT_EQ(run(), ExportOutcome::Failed);
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].prompt.find(nowhere), std::string::npos);
    EXPECT_EQ(ui.messages()[0].icon, MsgIcon::Critical);
    EXPECT_EQ(ui.fileDialogs().size(), 1u);
    EXPECT_EQ(ui.busyDepth(), 0);

    // The schematic fails after the net list is complete: the net list stays.
    ui.clear();
    std::filesystem::create_directory(dir.file("f.sch"));
    ui.fileAnswers = {chosen(dir.file("f.net")), chosen(dir.file("f.sch"))};
    EXPECT_EQ(run(), ExportOutcome::Failed);
    EXPECT_EQ(readFileBytes(dir.file("f.net")), readFileBytes(kFixtures + "/two-parts.net"));
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].prompt.find(dir.file("f.sch")), std::string::npos);
    EXPECT_NE(ui.messages()[0].prompt, "Export was completed.");
}

// A program folder with both libraries: footprints DIP14, SO8; the fixture's symbols RES, CAP.
struct ProgramFolder {
    TempDir dir;
    ProgramFolder() {
        std::filesystem::create_directory(dir.path() / "Lib");
        writeFileBytes(dir.file("Lib/pcb.lb"), "DIP14\r\nSO8\r\n");
        std::filesystem::copy_file(kFixtures + "/Lib/sch.lb", dir.file("Lib/sch.lb"));
    }
    std::string path() const { return dir.path().string(); }
};

struct Board {
    IniDocument doc;
    PadBoard board{doc};
    // Pads of R1, C1 and U1 named in this order in one session.
    Board() {
        const char* comps[] = {"R1", "C1", "U1"};
        for (int n = 1; n <= 3; ++n) {
            board.place(n, n, n, n, n);
            board.writeNames({n}, kAllNameFields, {"1", "N" + std::to_string(n), comps[n - 1]});
        }
    }
};

TEST(ExportDialogModel, UpdateSurvivesTheNextShowingAndSaveAndReopen) {
    ProgramFolder program;
    Board b;
    ScriptedUi ui;
    ExportDialogModel dialog;
    ASSERT_TRUE(dialog.Show(b.board, program.path(), ui));
    dialog.Choose(1);
    dialog.libRefField = "1";
    dialog.partTypeField = "100n";
    dialog.footprintField = "RAD0.1";
    ASSERT_TRUE(dialog.Update(b.board));

    // The pad dialog's table and the document hold it at once.
    EXPECT_EQ(b.board.componentTable()[1].partType, "100n");
    EXPECT_EQ(b.doc.Value("ComponentsSection", "C1"), "1{label}100n{footprint}RAD0.1");
    ASSERT_TRUE(dialog.Show(b.board, program.path(), ui));
    EXPECT_EQ(dialog.partTypes(), (Names{"", "100n", ""}));

    // Saving writes the table; reopening gives the export the same data.
    WriteComponents(b.doc, b.board.componentTable());
    IniDocument reopened;
    reopened.LoadFromText(b.doc.ToText());
    const ExportModel model = ExportModelOfOpenedProject(reopened);
    ASSERT_EQ(model.components.size(), 3u);
    EXPECT_EQ(model.components[1].designator, "C1");  // reversed at open: U1, C1, R1
    EXPECT_EQ(model.components[1].libRef, "1");
    EXPECT_EQ(model.components[1].partType, "100n");
    EXPECT_EQ(model.components[1].footprint, "RAD0.1");
}

TEST(ExportDialogModel, ShowingWithoutLibrariesSaysSoAndKeepsThePickLists) {
    ProgramFolder program;
    Board b;
    ScriptedUi ui;
    ExportDialogModel dialog;
    ASSERT_TRUE(dialog.Show(b.board, program.path(), ui));
    std::filesystem::remove_all(program.dir.path() / "Lib");
    ASSERT_TRUE(dialog.Show(b.board, program.path(), ui));
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].title, "Library not found:");
    EXPECT_EQ(messages[1].title, "Sch library not found:");
    EXPECT_EQ(dialog.symbolPicks(), (Names{"RES", "CAP"}));
    EXPECT_EQ(dialog.footprintPicks(), (Names{"DIP14", "SO8"}));
}

}  // namespace
}  // namespace korvane
