// The net list (Protel and KiCad) and schematic writers and the data they are given: exact bytes, the
// order of components and nets after opening a project, and which pads land in which net.

#include <gtest/gtest.h>

#include "cli/CliRun.h"
#include "export/E24.h"
#include "export/ExportModel.h"
#include "export/KiCadNetListWriter.h"
#include "export/NetListWriter.h"
#include "export/SExpression.h"
#include "export/SchematicWriter.h"

namespace korvane::testing {
namespace {

using Names = std::vector<std::string>;

std::string crlf(const Names& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += line + "\r\n";
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
    EXPECT_EQ(NetListText(model), crlf({"[", "R1",  "AXIAL0.4", "10k",  "", "", "", "]",  //
                                        "[", "C1",  "",         "",     "", "", "", "]",  //
                                        "(", "GND", "R1-1",     "C1-2", ")"}));
}

// Opening lists components and nets in reverse order of their first appearance and settles what was
// edited by hand: a lower-case section, a second spelling of a net, sections that make no pad, component
// data with misplaced markers.
TEST(NetList, OpenedProjectByteForByte) {
    const ExportModel model = opened(
        "[FilePathSection]\nFirst=a.bmp\nSecond=b.bmp\n"
        "[Pad1]\nPadName=1\nNetName=VCC\nCompName=R1\n"
        "[Pad2]\nPadName=2\nNetName=OUT\nCompName=R1\n"
        "[pad3]\nPadName=1\nNetName=OUT\nCompName=C1\n"
        "[Pad4]\nPadName=2\nNetName=gnd\nCompName=C1\n"
        "[Pad0]\nPadName=9\nNetName=VCC\nCompName=X1\n"
        "[PadList]\nPadName=8\nNetName=VCC\nCompName=X2\n"
        "[Pad5]\nPadName=1\nNetName=GND\nCompName=U1\n"
        "[Pad6]\nPadName=2\nNetName=CS#\nCompName=U1\n"
        "[ComponentsSection]\nR1=0{label}10k{footprint}AXIAL0.4\nU1=1{footprint}DIP14{label}74HC00\n");
    EXPECT_EQ(NetListText(model), crlf({"[", "U1",  "",         "",     "",  "", "", "]",  //
                                        "[", "C1",  "",         "",     "",  "", "", "]",  //
                                        "[", "R1",  "AXIAL0.4", "10k",  "",  "", "", "]",  //
                                        "(", "CS#", "U1-2",     ")",                       //
                                        "(", "gnd", "C1-2",     "U1-1", ")",               //
                                        "(", "OUT", "R1-2",     "C1-1", ")",               //
                                        "(", "VCC", "R1-1",     ")"}));
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
              crlf({"(", "GND", "R1-1", "R2-1", "R3-1", "R4-2",  ")",    "(", "CS#", "U1-1", ")",
                    "(", "CS1", "U1-2", ")",    "(",    "D[0]",  "U2-1", ")", "(",   "D0",   "U2-2",
                    ")", "(",   "A*",   ")",    "(",    "EMPTY", ")",    "(", "Gnd", ")"}));

    model = ExportModel{};
    model.components = {{"R\r1", "0", std::string("1\0k", 3), "AX\nIAL"}};
    EXPECT_EQ(NetListText(model), crlf({"[", "R 1", "AX IAL", "1 k", "", "", "", "]"}))
        << "line breaks inside names are written as blanks";
}

TEST(ExportModel, MarkersInExactCaseAndOrderOrNothing) {
    const std::pair<const char*, Names> cases[] = {
        {"3{label}10k{footprint}AXIAL0.4", {"3", "10k", "AXIAL0.4"}},
        {"{label}{footprint}", {"", "", ""}},
        {"{label}a{label}b{footprint}c{footprint}d", {"", "a{label}b", "c{footprint}d"}},
        {"3{LABEL}10k{footprint}AXIAL0.4", {"", "", ""}},
        {"3{label}10k", {"", "", ""}},
        {"3{footprint}AXIAL0.4", {"", "", ""}},
        {"3{footprint}AXIAL0.4{label}10k", {"", "", ""}},
        {"", {"", "", ""}},
    };
    for (const auto& [value, expected] : cases) {
        const ComponentData got = SplitExportComponent("R1", value);
        EXPECT_EQ(got.designator, "R1");
        EXPECT_EQ((Names{got.libRef, got.partType, got.footprint}), expected) << value;
    }
}

TEST(Schematic, CopiesTheLibraryFromItsFourteenthLineWithCrLf) {
    const Names header(13, "h");
    const struct {
        std::string library;
        Names body;
    } cases[] = {
        {crlf(header), {}},
        {"only\nthree\nlines", {}},
        {crlf(header) + "first copied\r\n", {"first copied"}},
        {crlf(header) + "one\ntwo\rthree", {"one", "two", "three"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseSchematicLibrary(c.library).body, c.body) << c.library;
    }
    const std::string text = SchematicText(ExportModel{}, ParseSchematicLibrary(cases[3].library));
    EXPECT_EQ(text.substr(0, text.find("Organization")),
              "Protel for Windows - Schematic Capture Ascii File Version 1.2 - "
              "2.0\r\n10\r\none\r\ntwo\r\nthree\r\n");
}

TEST(Schematic, AReferenceMustNameASymbol) {
    const struct {
        std::string reference;
        std::size_t symbols;
        bool valid;
    } cases[] = {
        {"0", 2, true},   {"1", 2, true},   {"01", 2, true},  {"2", 2, false},
        {"0", 0, false},  {"", 2, false},   {"-1", 2, false}, {"1.0", 2, false},
        {" 1", 2, false}, {"1 ", 2, false}, {"x", 2, false},  {"99999999999999999999999999", 2, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ValidSchematicReference(c.reference, c.symbols), c.valid)
            << c.reference << " / " << c.symbols;
    }
    ExportModel model;
    model.components = {{"R1", "0", "", ""}, {"C1", "", "", ""}, {"U1", "7", "", ""}};
    EXPECT_EQ(ComponentsWithoutSymbol(model, 2), (Names{"C1", "U1"}));
}

TEST(PartTypes, TheE24ListInPickListOrder) {
    const Names& list = PartTypePickList();
    ASSERT_EQ(list.size(), 73u);
    const Names firstDecade{"1.0", "1.1", "1.2", "1.3", "1.5", "1.6", "1.8", "2.0",
                            "2.2", "2.4", "2.7", "3.0", "3.3", "3.6", "3.9", "4.3",
                            "4.7", "5.1", "5.6", "6.2", "6.8", "7.5", "8.2", "9.1"};
    EXPECT_EQ(list[0], "");
    for (std::size_t i = 0; i < 24; ++i) {
        const std::string& value = firstDecade[i];
        const std::string tens = value.substr(0, 1) + value.substr(2, 1);  // "4.7" -> "47"
        EXPECT_EQ(list[1 + i], value);
        EXPECT_EQ(list[25 + i], tens);
        EXPECT_EQ(list[49 + i], tens + "0");
    }
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
    const struct {
        std::string text, quoted;
    } cases[] = {{"", "\"\""},
                 {"CS#", "\"CS#\""},
                 {"D[0] (x)", "\"D[0] (x)\""},
                 {"U\"1", "\"U\\\"1\""},
                 {"A\\1", "\"A\\\\1\""},
                 {"\\\"", "\"\\\\\\\"\""},
                 {"a\r\nb", "\"a  b\""},
                 {std::string("a\0b", 3), "\"a b\""},
                 {"\xdc\x62\xe9r\xff", "\"\xdc\x62\xe9r\xff\""}};
    for (const auto& c : cases) {
        EXPECT_EQ(KiCadQuoted(c.text), c.quoted) << c.text;
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

}  // namespace
}  // namespace korvane::testing
