// The export's logic: the writers and their data, the export run with its dialogs and messages, and the
// libraries, the shipped samples included, laid out as the schematic readers on the other side expect.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>
#include <sstream>

#include "cli/CliRun.h"
#include "export/E24.h"
#include "export/ExportDialogModel.h"
#include "export/ExportModel.h"
#include "export/ExportRun.h"
#include "export/KiCadNetListWriter.h"
#include "export/Libraries.h"
#include "export/NetListWriter.h"
#include "export/SExpression.h"
#include "export/SchematicWriter.h"
#include "storage/AtomicFile.h"
#include "support/ScriptedUi.h"
#include "text/Ascii.h"

namespace korvane::testing {
namespace {

namespace fs = std::filesystem;
using Names = std::vector<std::string>;

// Joins the lines of all parts, each with the given line end.
std::string text(std::initializer_list<Names> parts, const std::string& end = "\r\n") {
    std::string out;
    for (const auto& part : parts) {
        for (const auto& line : part) {
            out += line + end;
        }
    }
    return out;
}

ExportModel opened(const std::string& text) {
    IniDocument doc;
    doc.LoadFromText(text);
    return ExportModelOfOpenedProject(doc);
}

TEST(NetList, WorkedExampleBuiltInOneSessionByteForByte) {
    IniDocument doc;
    PadBoard board(doc);
    ASSERT_TRUE(board.place(1, 10, 10, 11, 11));
    ASSERT_TRUE(board.place(2, 20, 10, 21, 11));
    board.writeNames({1}, kAllNameFields, {"1", "GND", "R1"});
    board.writeNames({2}, kAllNameFields, {"2", "GND", "C1"});
    ASSERT_TRUE(board.storeComponentData({"R1", "", "10k", "AXIAL0.4"}));
    const ExportModel model = MakeExportModel(board, ExportComponentList(board.compNames.items(), doc));
    EXPECT_EQ(NetListText(model), text({{"[", "R1",  "AXIAL0.4", "10k",  "", "", "", "]",  //
                                         "[", "C1",  "",         "",     "", "", "", "]",  //
                                         "(", "GND", "R1-1",     "C1-2", ")"}}));
}

// Opening lists components and nets in reverse order of first appearance and settles hand-edited sections.
TEST(NetList, OpenedProjectByteForByte) {
    const ExportModel model = opened(fixture("hand-edited.kvp"));
    EXPECT_EQ(NetListText(model), expected("export/hand-edited.net"));
    EXPECT_EQ(model.components[2].libRef, "0");
}

TEST(NetList, EveryPadLandsInTheNetItsNameSpells) {
    ExportModel model;
    model.nets = {"GND", "CS#", "CS1", "D[0]", "D0", "A*", "EMPTY", "Gnd"};
    const char* const pads[][3] = {
        {"R1", "1", "GND"}, {"R2", "1", "gnd"},  {"R3", "1", " GND "}, {"U1", "1", "CS#"}, {"U1", "2", "CS1"},
        {"U1", "3", "CS2"}, {"U2", "1", "D[0]"}, {"U2", "2", "D0"},    {"U3", "1", "AB"},  {"", "4", "GND"},
        {"R9", "", "GND"},  {"  ", "5", "GND"},  {"R4", " 2 ", "GND"}};
    for (const auto& [comp, name, net] : pads) {
        model.pads.push_back(ExportPad{0, name, net, comp});
    }
    // A net without pads still gives its three lines; a pad already listed is not listed again.
    EXPECT_EQ(NetListText(model),
              text({{"(", "GND", "R1-1", "R2-1", "R3-1", "R4-2",  ")",    "(", "CS#", "U1-1", ")",
                     "(", "CS1", "U1-2", ")",    "(",    "D[0]",  "U2-1", ")", "(",   "D0",   "U2-2",
                     ")", "(",   "A*",   ")",    "(",    "EMPTY", ")",    "(", "Gnd", ")"}}));
    model = ExportModel{};
    model.components = {{"R\r1", "0", std::string("1\0k", 3), "AX\nIAL"}};
    EXPECT_EQ(NetListText(model), text({{"[", "R 1", "AX IAL", "1 k", "", "", "", "]"}}))
        << "line breaks inside names are written as blanks";
}

TEST(ExportModel, MarkersInExactCaseAndOrderOrNothing) {
    // Each case is "value~designator|reference|part type|footprint".
    for (const std::string c :
         {"3{label}10k{footprint}AXIAL0.4~R1|3|10k|AXIAL0.4", "{label}{footprint}~R1|||",
          "{label}a{label}b{footprint}c{footprint}d~R1||a{label}b|c{footprint}d",
          "3{LABEL}10k{footprint}AXIAL0.4~R1|||", "3{label}10k~R1|||", "3{footprint}AXIAL0.4~R1|||",
          "3{footprint}AXIAL0.4{label}10k~R1|||", "~R1|||"}) {
        const ComponentData d = SplitExportComponent("R1", c.substr(0, c.find('~')));
        EXPECT_EQ(d.designator + '|' + d.libRef + '|' + d.partType + '|' + d.footprint,
                  c.substr(c.find('~') + 1));
    }
}

TEST(Schematic, CopiesTheLibraryFromItsFourteenthLineWithCrLf) {
    const Names header(13, "h");
    const std::pair<std::string, Names> cases[] = {
        {text({header}), {}},
        {"only\nthree\nlines", {}},
        {text({header}) + "first copied\r\n", {"first copied"}},
        {text({header}) + "one\ntwo\rthree", {"one", "two", "three"}},
    };
    for (const auto& [library, body] : cases) {
        EXPECT_EQ(ParseSchematicLibrary(library).body, body) << library;
    }
    const std::string text = SchematicText(ExportModel{}, ParseSchematicLibrary(cases[3].first));
    EXPECT_EQ(text.substr(0, text.find("Organization")),
              "Protel for Windows - Schematic Capture Ascii File Version 1.2 - "
              "2.0\r\n10\r\none\r\ntwo\r\nthree\r\n");
}

TEST(Schematic, AReferenceMustNameASymbol) {
    const std::tuple<std::string, std::size_t, bool> cases[] = {
        {"0", 2, true},   {"1", 2, true},   {"01", 2, true},  {"2", 2, false},
        {"0", 0, false},  {"", 2, false},   {"-1", 2, false}, {"1.0", 2, false},
        {" 1", 2, false}, {"1 ", 2, false}, {"x", 2, false},  {"99999999999999999999999999", 2, false},
    };
    for (const auto& [reference, symbols, valid] : cases) {
        EXPECT_EQ(ValidSchematicReference(reference, symbols), valid) << reference << " / " << symbols;
    }
    ExportModel model;
    model.components = {{"R1", "0", "", ""}, {"C1", "", "", ""}, {"U1", "7", "", ""}};
    EXPECT_EQ(ComponentsWithoutSymbol(model, 2), (Names{"C1", "U1"}));
}

TEST(PartTypes, TheE24ListInPickListOrder) {
    std::string list;
    for (const std::string& value : PartTypePickList()) {
        list += value + "\n";
    }
    EXPECT_EQ(list, expected("export/part-types.txt"));
}

TEST(KiCadNetList, FixturesByteForByte) {
    for (const std::string project : {"two-parts", "awkward"}) {
        const std::string text =
            KiCadNetListText(opened(fixture(project + ".kvp")), KiCadDesignOf("/boards/" + project + ".kvp"));
        EXPECT_EQ(text, fixture(project + ".kicad.net")) << project;
        EXPECT_TRUE(oneClosedExpression(text)) << project;
    }
    for (const auto& [path, name] : {std::pair<std::string, std::string>{"C:\\boards\\b.kvp", "b.kvp"},
                                     {"/home/u/my board.kvp", "my board.kvp"},
                                     {"b.kvp", "b.kvp"}}) {
        EXPECT_EQ(KiCadDesignOf(path).source, name);
    }
}

TEST(KiCadNetList, QuotesAsKiCadDoesAndStaysOneExpression) {
    const std::pair<std::string, std::string> cases[] = {{"", "\"\""},
                                                         {"CS#", "\"CS#\""},
                                                         {"D[0] (x)", "\"D[0] (x)\""},
                                                         {"U\"1", "\"U\\\"1\""},
                                                         {"A\\1", "\"A\\\\1\""},
                                                         {"\\\"", "\"\\\\\\\"\""},
                                                         {"a\r\nb", "\"a  b\""},
                                                         {std::string("a\0b", 3), "\"a b\""},
                                                         {"\xdc\x62\xe9r\xff", "\"\xdc\x62\xe9r\xff\""}};
    for (const auto& [text, quoted] : cases) {
        EXPECT_EQ(KiCadQuoted(text), quoted) << text;
    }
    ExportModel noNets;
    noNets.components = {{"R1", "", "", ""}};
    ExportModel padless;
    padless.nets = {"GND", "N\"1)"};
    padless.components = {{"R(1", "0", "1\r\n0k", "AX\\"}};
    padless.pads = {ExportPad{1, "", "GND", "R(1"}};
    for (const ExportModel& model : {ExportModel{}, noNets, padless}) {
        const std::string text = KiCadNetListText(model, KiCadDesign{"x\".kvp", "Korvane"});
        EXPECT_TRUE(oneClosedExpression(text)) << text;
    }
    EXPECT_NE(KiCadNetListText(padless, {}).find("(net (code \"2\") (name \"N\\\"1)\"))))\r\n"),
              std::string::npos);
}

// The two-part fixture as just opened (library: the fixtures' Lib/sch.lb), with one session's dialogs.
class ExportRun : public ::testing::Test {
  protected:
    void SetUp() override { model = opened(fixture("two-parts.kvp")); }
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
        EXPECT_EQ(std::tie(ui.messages()[0].title, ui.messages()[0].icon), std::tie(title, icon));
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
    // Each dialog: title, its one filter, start folder, name and extension (all empty), overwrite prompt.
    Names shown;
    for (const auto& r : ui.fileDialogs()) {
        ASSERT_EQ(r.filters.size(), 1u);
        shown.push_back(r.title + "|" + r.filters[0].description + "|" +
                        ::testing::PrintToString(r.filters[0].patterns) + "|" + r.initialDir + "|" +
                        r.fileName + "|" + r.defaultExt + "|" + (r.overwritePrompt ? "asks" : ""));
    }
    EXPECT_EQ(
        shown,
        (Names{
            "Enter filename of the exporting net-list:|Protel net list *.net|{ \"*.net\" }||||asks",
            "Enter filename of the exporting sch-file:|Protel ASCII sch file *.sch|{ \"*.sch\" }||||asks"}));
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
    EXPECT_TRUE(ui.fileDialogs().size() == 2u && !fs::exists(dir.file("b.sch")));
    // A KiCad net list takes the place of the Protel one.
    EXPECT_EQ(run({"k.net", ""}, kFixtures, NetListFormat::KiCad), ExportOutcome::NetListOnly);
    EXPECT_EQ(readFileBytes(dir.file("k.net")), fixture("two-parts.kicad.net"));
    EXPECT_EQ(std::tie(ui.fileDialogs()[0].filters[0].description, ui.fileDialogs()[0].filters[0].patterns),
              std::make_tuple("KiCad net list *.net", Names{"*.net"}));
}

TEST_F(ExportRun, WhatStopsTheSchematicKeepsTheNetListAndSaysWhy) {
    EXPECT_EQ(run({"c.net", "c.sch"}, dir.path().string()), ExportOutcome::NetListOnly);
    EXPECT_TRUE(fs::exists(dir.file("c.net")));
    EXPECT_EQ(ui.fileDialogs().size(), 1u);
    expectOneMessage("Sch library not found:", MsgIcon::Information,
                     SchematicLibraryPath(dir.path().string()));
    std::string text = fixture("two-parts.kvp");
    text.replace(text.find("R1=0{"), 5, "R1={");
    text.replace(text.find("C1=1{"), 5, "C1=2{");  // the library holds two symbols: 0 and 1
    model = opened(text);
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
    EXPECT_EQ(ui.count("message"), 2) << "both libraries are missing";
    EXPECT_EQ(std::tie(dialog.symbolPicks(), dialog.footprintPicks()),
              std::make_tuple(Names{"RES", "CAP"}, Names{"DIP14", "SO8"}));
}

constexpr auto kExact = SymbolWordCase::Exact;
constexpr auto kFold = SymbolWordCase::Insensitive;

Names lines(std::string_view text) {
    Names out;
    for (auto line : SplitLibraryLines(text)) {
        out.emplace_back(line);
    }
    return out;
}

// A symbol record: the word line, then `nameAt - 1` filler lines, the name, and a short tail.
Names record(const std::string& word, const std::string& name, int nameAt = 19) {
    Names out{word};
    for (int i = 1; i < nameAt; ++i) {
        out.push_back("filler " + std::to_string(i));
    }
    out.insert(out.end(), {name, "Part", "EndComponent"});
    return out;
}

const Names kHeader(13, "header");

TEST(Libraries, LinesEndAtCrLfLfOrLoneCrAndFootprintsAreTrimmedLines) {
    EXPECT_EQ(lines(""), Names{});
    EXPECT_EQ(lines("A"), Names{"A"});
    EXPECT_EQ(lines("\r\n"), Names{""});
    // LF then CR are two line ends, and so are CR then CR LF.
    EXPECT_EQ(lines("A\r\nB\nC\rD\r\n\r\nE\n\rF\r\r\nG\r"),
              (Names{"A", "B", "C", "D", "", "E", "", "F", "", "G"}));
    EXPECT_EQ(ParseFootprintLibrary("DIP14\n\r\n  SO8  \r"), (Names{"DIP14", "", "SO8"}));
    EXPECT_EQ(ParseFootprintLibrary("ZZ\r\nAA\r\n"), (Names{"ZZ", "AA"})) << "never sorted";
    EXPECT_EQ(ParseFootprintLibrary("   \r\n"), (Names{""}));
    // Only blanks are trimmed; other bytes of the system's code page pass through.
    EXPECT_EQ(ParseFootprintLibrary(" \xC4\xD6-1 \r\n"), (Names{"\xC4\xD6-1"}));
    const std::string garbage =
        readFileBytes(KORVANE_SOURCE_DIR + std::string("/tests/data/bad/garbage.kvp"));
    EXPECT_EQ(ParseFootprintLibrary(garbage).size(), lines(garbage).size());
}

TEST(Libraries, SymbolNameIsThe19thLineAfterTheWord) {
    Names inner = record("Component", "OUTER");
    inner[5] = "Component";  // inside a record: no record start
    Names componentHeader = kHeader;
    componentHeader[2] = "Component";  // starts a record like any other line and swallows the next 19
    Names cut = record("Component", "RES");
    cut.resize(19);  // the word and 18 more lines
    const std::string lastLine = text({cut, {"LAST"}});
    const struct {
        const char* what;
        std::string library;
        Names symbols;
    } cases[] = {
        {"after the header",
         text({kHeader, record("Component", " RES "), record("Component", "CAP")}),
         {"RES", "CAP"}},
        {"lone CR line ends", text({kHeader, record("Component", "RES")}, "\r"), {"RES"}},
        {"named on the 20th line", text({record("Component", "LATE", 20)}), {"filler 19"}},
        {"named on the 18th line", text({record("Component", "EARLY", 18)}), {"Part"}},
        {"record inside a record", text({inner, record("Component", "NEXT")}), {"OUTER", "NEXT"}},
        {"header line reading Component",
         text({componentHeader, record("Component", "RES"), record("Component", "CAP")}),
         {"filler 8", "CAP"}},
        {"record cut short", text({record("Component", "CAP"), cut}), {"CAP"}},
        {"last line without its end", lastLine.substr(0, lastLine.size() - 2), {"LAST"}},
        {"ending on the word", text({record("Component", "RES"), {"Component", "f"}}) + "Component", {"RES"}},
        {"empty", "", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSchematicSymbols(c.library, kExact), c.symbols) << c.what;
    }
    const std::string words =
        text({record("component", "LOWER"), record("  Component  ", "PADDED"), record("COMPONENT", "UPPER"),
              record("Components", "NOT"), record("Component;", "NOT")});
    EXPECT_EQ(ParseSchematicSymbols(words, kFold), (Names{"LOWER", "PADDED", "UPPER"}));
    EXPECT_EQ(ParseSchematicSymbols(words, kExact), (Names{"PADDED"}));
}

TEST(LibraryFolder, MissingLibrariesAreReportedAndLoadingReplacesThePickLists) {
    TempDir dir;
    ScriptedUi ui;
    const std::string programDir = dir.path().string();
    Names footprints{"OLD1", "OLD2"};
    Names symbols{"OLDSYM"};
    EXPECT_FALSE(LoadFootprintPickList(programDir, ui, footprints));
    EXPECT_FALSE(LoadSchematicPickList(programDir, ui, kFold, symbols));
    EXPECT_EQ(std::tie(footprints, symbols), std::make_tuple(Names{"OLD1", "OLD2"}, Names{"OLDSYM"}));
    std::string shown;
    for (const auto& m : ui.messages()) {
        EXPECT_EQ(m.icon, MsgIcon::Information);
        EXPECT_EQ(m.buttons, MsgButtons::Ok);
        shown += m.title + " " + m.prompt + "\n";
    }
    EXPECT_EQ(shown,
              "Library not found: PSB's component library: " + programDir +
                  "/Lib/pcb.lb - not found or access denied. Check this file or enter footprints of PCB "
                  "manually.\nSch library not found: Scheme's component library: " +
                  programDir +
                  "/Lib/sch.lb - not found or access denied. Export of scheme will be skipped.\n");
    // A folder where a library should be cannot be read: the same message, every time.
    ui.clear();
    std::filesystem::create_directories(dir.path() / "Lib" / "pcb.lb");
    std::filesystem::create_directory(dir.path() / "Lib" / "sch.lb");
    EXPECT_FALSE(LoadFootprintPickList(programDir, ui, footprints));
    EXPECT_FALSE(LoadSchematicPickList(programDir, ui, kExact, symbols));
    EXPECT_FALSE(LoadFootprintPickList(programDir, ui, footprints));
    EXPECT_EQ(ui.count("message"), 3);
    EXPECT_EQ(footprints, (Names{"OLD1", "OLD2"}));
    // Readable libraries replace the pick lists.
    ui.clear();
    std::filesystem::remove(dir.path() / "Lib" / "pcb.lb");
    std::filesystem::remove(dir.path() / "Lib" / "sch.lb");
    writeFileBytes(dir.file("Lib/pcb.lb"), "DIP14\r\n\r\n  SO8  \r\n");
    writeFileBytes(dir.file("Lib/sch.lb"),
                   text({kHeader, record("component", "RES"), record("Component", "CAP")}));
    EXPECT_TRUE(LoadFootprintPickList(programDir, ui, footprints));
    EXPECT_TRUE(LoadSchematicPickList(programDir, ui, kFold, symbols));
    EXPECT_EQ(std::tie(footprints, symbols), std::make_tuple(Names{"DIP14", "", "SO8"}, Names{"RES", "CAP"}));
    EXPECT_TRUE(LoadSchematicPickList(programDir, ui, kExact, symbols));
    EXPECT_EQ(symbols, (Names{"CAP"}));
    EXPECT_EQ(ui.count("message"), 0);
    // Nothing is cached: the next load sees the edited file, an empty file gives an empty list.
    writeFileBytes(dir.file("Lib/pcb.lb"), "");
    EXPECT_TRUE(LoadFootprintPickList(programDir, ui, footprints));
    EXPECT_TRUE(footprints.empty());
}

bool isInteger(const std::string& text) {
    return std::regex_match(text, std::regex("[0-9]+"));
}

Names fields(const std::string& line) {
    std::istringstream in(line);
    Names out;
    for (std::string field; in >> field;) {
        out.push_back(field);
    }
    return out;
}

TEST(ShippedLibraries, BothLibrariesKeepTheLayoutReadersExpect) {
    ScriptedUi ui;
    Names symbols, insensitive, footprints;
    ASSERT_TRUE(LoadSchematicPickList(KORVANE_SOURCE_DIR, ui, kExact, symbols));
    ASSERT_TRUE(LoadSchematicPickList(KORVANE_SOURCE_DIR, ui, kFold, insensitive));
    ASSERT_TRUE(LoadFootprintPickList(KORVANE_SOURCE_DIR, ui, footprints));
    EXPECT_EQ(symbols, (Names{"RES", "CAP", "ELECTRO", "DIODE", "LED", "NPN", "PNP", "CON2", "CON4", "IC8",
                              "IC14", "IC16"}));
    EXPECT_EQ(insensitive, symbols) << "the pad dialog and the export must agree on every position";
    const std::set<std::string> unique(footprints.begin(), footprints.end());
    EXPECT_EQ(unique.size(), footprints.size()) << "a name twice in the pick list";
    EXPECT_EQ(unique.count(""), 0u);
    for (const char* name : {"AXIAL0.4", "RAD0.1", "RB.2/.4", "DIODE0.4", "TO-92A", "TO-220", "DIP14", "SIP2",
                             "SO-8", "0805", "SOT-23"}) {
        EXPECT_EQ(unique.count(name), 1u) << name;
    }
    const Names all = lines(readFileBytes(SchematicLibraryPath(KORVANE_SOURCE_DIR)));
    ASSERT_GT(all.size(), 13u);  // a header line reading "Component" would have changed the symbols above
    EXPECT_EQ(all[13], "[Font_Table]");
    const auto library = std::find(all.begin() + 13, all.end(), "Library");
    ASSERT_LT(library + 1, all.end());
    EXPECT_EQ(library[1], std::to_string(symbols.size())) << "the number of blocks";
    EXPECT_EQ(all.back(), "EndLibrary");
    // Each block: counts, its name on lines 3 and 19, listed footprints on lines 5 to 8; then per part
    // "Part", its size, and three closed groups of shapes and 14-field pins.
    const std::set<std::string> shapes{"Line", "Rectangle", "Polygon", "Polyline", "Ellipse", "Arc"};
    std::size_t blocks = 0;
    for (std::size_t i = std::size_t(library - all.begin()); i < all.size(); ++i) {
        if (all[i] != "Component") {
            continue;
        }
        SCOPED_TRACE("block at line " + std::to_string(i + 1));
        ASSERT_LT(i + 20, all.size());
        ASSERT_LT(blocks, symbols.size());
        EXPECT_EQ(all[i + 3], symbols[blocks]);
        EXPECT_EQ(all[i + 19], symbols[blocks++]);
        for (std::size_t f = i + 5; f <= i + 8; ++f) {
            EXPECT_TRUE(all[f].empty() || unique.count(all[f])) << all[f];
        }
        ASSERT_TRUE(isInteger(all[i + 1]) && isInteger(all[i + 2]));
        const int parts = std::stoi(all[i + 1]);
        ASSERT_GE(parts, 1);
        std::size_t at = i + 19 + std::stoul(all[i + 2]);  // past the logical names
        for (int p = 0; p < parts; ++p) {
            ASSERT_LT(at + 1, all.size());
            EXPECT_EQ(all[at], "Part");
            const auto size = fields(all[at + 1]);
            EXPECT_TRUE(size.size() == 2 && isInteger(size[0]) && isInteger(size[1])) << all[at + 1];
            for (at += 2; const char* end : {"EndNormalPart", "EndDeMorganPart", "EndIEEEPart"}) {
                for (; at < all.size() && !all[at].starts_with("End"); ++at) {
                    const auto f = fields(all[at]);
                    EXPECT_TRUE(!f.empty() && (f[0] == "Pin" ? f.size() == 14 && f[12].front() == '\'' &&
                                                                   f[13].back() == '\''
                                                             : shapes.count(f[0]) > 0))
                        << all[at];
                }
                ASSERT_LT(at, all.size());
                EXPECT_EQ(all[at++], end);
            }
        }
        ASSERT_LT(at, all.size());
        EXPECT_EQ(all[at], "EndComponent");
    }
    EXPECT_EQ(blocks, symbols.size());
}

}  // namespace
}  // namespace korvane::testing
