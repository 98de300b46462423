// The export as the user runs it: the order of dialogs and messages, what is written when something is
// cancelled or fails; and the export dialog's pick lists.

#include <gtest/gtest.h>

#include <filesystem>

#include "cli/CliRun.h"
#include "export/ExportDialogModel.h"
#include "export/ExportRun.h"
#include "export/Libraries.h"
#include "storage/AtomicFile.h"
#include "support/ScriptedUi.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// The two-part fixture project as just opened (its library is Lib/sch.lb of the fixtures), with the Ui,
// the file dialog and the remembered files of one session.
class ExportRun : public ::testing::Test {
  protected:
    void load(const std::string& text) {
        IniDocument doc;
        doc.LoadFromText(text);
        model = ExportModelOfOpenedProject(doc);
    }
    void SetUp() override { load(fixture("two-parts.kvp")); }
    // Answers the file dialogs with the files named (an empty name cancels) and runs the export.
    ExportOutcome run(const Names& files, const std::string& libDir = kFixtures,
                      NetListFormat format = NetListFormat::Protel) {
        ui.clear();
        ui.fileAnswers.clear();
        for (const std::string& name : files) {
            ui.fileAnswers.push_back(name.empty() ? std::nullopt
                                                  : std::optional(FileDialogResult{dir.file(name), 1}));
        }
        return RunExport(model, libDir, ui, dialog, previous, format, "/boards/two-parts.kvp");
    }
    void expectOneMessage(const std::string& title, MsgIcon icon, const std::string& part) {
        ASSERT_EQ(ui.messages().size(), 1u);
        EXPECT_EQ(ui.messages()[0].title, title);
        EXPECT_EQ(ui.messages()[0].icon, icon);
        EXPECT_NE(ui.messages()[0].prompt.find(part), std::string::npos) << ui.messages()[0].prompt;
    }

    TempDir dir;
    ExportModel model;
    ScriptedUi ui;
    FileDialogState dialog{ui};
    ExportFiles previous;
};

TEST_F(ExportRun, WritesBothFilesThenSaysSo) {
    dialog.DefaultExt = "kvp";  // left by an earlier project dialog
    EXPECT_EQ(run({"a.net", "a.sch"}), ExportOutcome::Completed);
    EXPECT_EQ(readFileBytes(dir.file("a.net")), fixture("two-parts.net"));
    EXPECT_EQ(readFileBytes(dir.file("a.sch")), fixture("two-parts.sch"));

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
    expectOneMessage("Sch and net-list export:", MsgIcon::Information, "Export was completed.");
    EXPECT_EQ(ui.busyDepth(), 0);

    // The next export starts each dialog at the file chosen this time; a cancel writes and says nothing.
    EXPECT_EQ(run({""}), ExportOutcome::Cancelled);
    ASSERT_EQ(ui.fileDialogs().size(), 1u);
    EXPECT_EQ(ui.fileDialogs()[0].initialDir, dir.file("a.net"));
    EXPECT_EQ(previous.schematic, dir.file("a.sch"));
    EXPECT_EQ(ui.count("message"), 0);
    EXPECT_EQ(run({"b.net", ""}), ExportOutcome::NetListOnly);
    EXPECT_EQ(readFileBytes(dir.file("b.net")), fixture("two-parts.net"));
    EXPECT_EQ(ui.count("message"), 0);
    EXPECT_EQ(ui.fileDialogs().size(), 2u);
    EXPECT_FALSE(fs::exists(dir.file("b.sch")));

    // A KiCad net list takes the place of the Protel one.
    EXPECT_EQ(run({"k.net", ""}, kFixtures, NetListFormat::KiCad), ExportOutcome::NetListOnly);
    EXPECT_EQ(readFileBytes(dir.file("k.net")), fixture("two-parts.kicad.net"));
    EXPECT_EQ(ui.fileDialogs()[0].title, "Enter filename of the exporting net-list:");
    EXPECT_EQ(ui.fileDialogs()[0].filters[0].description, "KiCad net list *.net");
    EXPECT_EQ(ui.fileDialogs()[0].filters[0].patterns, Names{"*.net"});
}

TEST_F(ExportRun, WhatStopsTheSchematicKeepsTheNetListAndSaysWhy) {
    EXPECT_EQ(run({"c.net", "c.sch"}, dir.path().string()), ExportOutcome::NetListOnly);
    EXPECT_TRUE(fs::exists(dir.file("c.net")));
    EXPECT_EQ(ui.fileDialogs().size(), 1u);
    expectOneMessage("Sch library not found:", MsgIcon::Information, "");
    EXPECT_EQ(ui.messages()[0].prompt,
              "Scheme's component library: " + SchematicLibraryPath(dir.path().string()) +
                  " - not found or access denied. Export of scheme will be skipped.");

    std::string text = fixture("two-parts.kvp");
    text.replace(text.find("R1=0{"), 5, "R1={");
    text.replace(text.find("C1=1{"), 5, "C1=2{");  // the library holds two symbols: 0 and 1
    load(text);
    EXPECT_EQ(run({"d.net", "d.sch"}), ExportOutcome::NetListOnly);
    EXPECT_EQ(readFileBytes(dir.file("d.net")), fixture("two-parts.net"));
    EXPECT_FALSE(fs::exists(dir.file("d.sch")));
    EXPECT_EQ(ui.fileDialogs().size(), 1u);
    expectOneMessage("Export of scheme skipped:", MsgIcon::Exclamation, ": C1, R1.");
}

TEST_F(ExportRun, AFileThatCannotBeWrittenIsReportedAndStopsTheExport) {
    for (const NetListFormat format : {NetListFormat::Protel, NetListFormat::KiCad}) {
        EXPECT_EQ(run({"no-such-folder/e.net", "e.sch"}, kFixtures, format), ExportOutcome::Failed);
        expectOneMessage("Export error:", MsgIcon::Critical, dir.file("no-such-folder/e.net"));
        EXPECT_EQ(ui.fileDialogs().size(), 1u);
        EXPECT_EQ(ui.busyDepth(), 0);
    }

    // The schematic fails after the net list is complete: the net list stays.
    fs::create_directory(dir.file("f.sch"));
    EXPECT_EQ(run({"f.net", "f.sch"}), ExportOutcome::Failed);
    EXPECT_EQ(readFileBytes(dir.file("f.net")), fixture("two-parts.net"));
    expectOneMessage("Export error:", MsgIcon::Critical, dir.file("f.sch"));

    // A disk that fills up half-way keeps the previous net list whole.
    writeFileBytes(dir.file("g.net"), "previous net list\r\n");
    {
        ScopedAtomicWriteFailure diskFull(5);
        EXPECT_EQ(run({"g.net"}), ExportOutcome::Failed);
    }
    EXPECT_EQ(readFileBytes(dir.file("g.net")), "previous net list\r\n");
    expectOneMessage("Export error:", MsgIcon::Critical, dir.file("g.net"));
}

TEST(ExportDialogModel, ReferenceToolTipNamesTheSymbolAndAMissingLibraryKeepsThePickLists) {
    TempDir dir;
    fs::create_directory(dir.path() / "Lib");
    writeFileBytes(dir.file("Lib/pcb.lb"), "DIP14\r\nSO8\r\n");
    fs::copy_file(kFixtures + "/Lib/sch.lb", dir.file("Lib/sch.lb"));  // symbols RES and CAP
    IniDocument doc;
    PadBoard board{doc};
    ASSERT_TRUE(board.place(1, 1, 1, 1, 1));
    board.writeNames({1}, kAllNameFields, {"1", "N1", "R1"});
    ScriptedUi ui;
    ExportDialogModel dialog;
    ASSERT_TRUE(dialog.Show(board, dir.path().string(), ui));

    // The field is read as a number, leniently: text that is none reads as 0.
    for (const auto& [reference, tip] : std::vector<std::pair<std::string, std::string>>{
             {"0", "RES"}, {"1", "CAP"}, {"", "Select from list ONLY !"}, {"7", ""}, {"x", "RES"}}) {
        dialog.libRefField = reference;
        EXPECT_EQ(dialog.ReferenceToolTip(), tip) << reference;
    }

    fs::remove_all(dir.path() / "Lib");
    ASSERT_TRUE(dialog.Show(board, dir.path().string(), ui));
    const auto messages = ui.messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].title, "Library not found:");
    EXPECT_EQ(messages[1].title, "Sch library not found:");
    EXPECT_EQ(dialog.symbolPicks(), (Names{"RES", "CAP"}));
    EXPECT_EQ(dialog.footprintPicks(), (Names{"DIP14", "SO8"}));
}

}  // namespace
}  // namespace korvane::testing
