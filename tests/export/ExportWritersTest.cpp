// The net list and schematic writers and the data they are given: exact bytes, the order of components
// and nets after opening a project, and which pads land in which net.

#include <gtest/gtest.h>

#include <set>

#include "export/E24.h"
#include "export/ExportModel.h"
#include "export/NetListWriter.h"
#include "export/SchematicWriter.h"

namespace korvane {
namespace {

using Names = std::vector<std::string>;

std::string crlf(const Names& lines) {
    std::string out;
    for (const auto& line : lines) {
        out += line + "\r\n";
    }
    return out;
}

// The lines of one net record as the writer gives them.
Names netRecord(const std::string& text, const std::string& net) {
    Names lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find("\r\n", pos);
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 2;
    }
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i - 1] == "(" && lines[i] == net) {
            Names nodes;
            for (std::size_t j = i + 1; j < lines.size() && lines[j] != ")"; ++j) {
                nodes.push_back(lines[j]);
            }
            return nodes;
        }
    }
    ADD_FAILURE() << "no net " << net;
    return {};
}

ExportPad pad(std::string comp, std::string name, std::string net) {
    return ExportPad{0, std::move(name), std::move(net), std::move(comp)};
}

TEST(NetList, WorkedExampleBuiltInOneSessionByteForByte) {
    IniDocument doc;
    PadBoard board(doc);
    ASSERT_TRUE(board.place(1, 10, 10, 11, 11));
    ASSERT_TRUE(board.place(2, 20, 10, 21, 11));
    board.writeNames({1}, kAllNameFields, {"1", "GND", "R1"});
    board.writeNames({2}, kAllNameFields, {"2", "GND", "C1"});
    ASSERT_TRUE(StoreComponentData(board, {"R1", "", "10k", "AXIAL0.4"}));

    const ExportModel model = MakeExportModel(board, ExportComponentList(board.compNames.items(), doc));
    EXPECT_EQ(NetListText(model), crlf({"[", "R1",  "AXIAL0.4", "10k",  "", "", "", "]",  //
                                        "[", "C1",  "",         "",     "", "", "", "]",  //
                                        "(", "GND", "R1-1",     "C1-2", ")"}));
}

TEST(NetList, OpeningListsNamesInReverseOrderOfFirstAppearance) {
    IniDocument doc;
    doc.LoadFromText(
        "[FilePathSection]\nFirst=a.bmp\nSecond=b.bmp\n"
        "[Pad1]\nPadName=1\nNetName=VCC\nCompName=R1\n"
        "[Pad2]\nPadName=2\nNetName=OUT\nCompName=R1\n"
        "[pad3]\nPadName=1\nNetName=OUT\nCompName=C1\n"  // renamed at open, exported like any pad
        "[Pad4]\nPadName=2\nNetName=gnd\nCompName=C1\n"
        "[Pad0]\nPadName=9\nNetName=VCC\nCompName=X1\n"     // makes no pad
        "[PadList]\nPadName=8\nNetName=VCC\nCompName=X2\n"  // makes no pad
        "[Pad5]\nPadName=1\nNetName=GND\nCompName=U1\n"
        "[ComponentsSection]\nR1=0{label}10k{footprint}AXIAL0.4\n");

    const ExportModel model = ExportModelOfOpenedProject(doc);
    EXPECT_EQ(model.nets, (Names{"gnd", "OUT", "VCC"}));
    Names designators;
    for (const auto& component : model.components) {
        designators.push_back(component.designator);
    }
    EXPECT_EQ(designators, (Names{"U1", "C1", "R1"}));
    EXPECT_EQ(model.components[2].footprint, "AXIAL0.4");
    EXPECT_EQ(model.components[2].partType, "10k");
    EXPECT_EQ(model.components[2].libRef, "0");

    const std::string text = NetListText(model);
    EXPECT_EQ(netRecord(text, "gnd"), (Names{"C1-2", "U1-1"}));
    EXPECT_EQ(netRecord(text, "OUT"), (Names{"R1-2", "C1-1"}));
    EXPECT_EQ(netRecord(text, "VCC"), (Names{"R1-1"}));
}

TEST(NetList, EveryPadLandsInTheNetItsNameSpells) {
    ExportModel model;
    model.nets = {"GND", "CS#", "CS1", "D[0]", "D0", "A*", "EMPTY", "Gnd"};
    model.pads = {
        pad("R1", "1", "GND"),   pad("R2", "1", "gnd"), pad("R3", "1", " GND "), pad("U1", "1", "CS#"),
        pad("U1", "2", "CS1"),   pad("U1", "3", "CS2"), pad("U2", "1", "D[0]"),  pad("U2", "2", "D0"),
        pad("U3", "1", "AB"),    pad("", "4", "GND"),   pad("R9", "", "GND"),    pad("  ", "5", "GND"),
        pad("R4", " 2 ", "GND"),
    };
    const std::string text = NetListText(model);
    EXPECT_EQ(netRecord(text, "GND"), (Names{"R1-1", "R2-1", "R3-1", "R4-2"}));
    EXPECT_EQ(netRecord(text, "CS#"), (Names{"U1-1"}));
    EXPECT_EQ(netRecord(text, "CS1"), (Names{"U1-2"}));
    EXPECT_EQ(netRecord(text, "D[0]"), (Names{"U2-1"}));
    EXPECT_EQ(netRecord(text, "D0"), (Names{"U2-2"}));
    EXPECT_EQ(netRecord(text, "A*"), Names{});
    // A net without pads still gives its three lines; a pad already listed is not listed again.
    EXPECT_NE(text.find("(\r\nEMPTY\r\n)\r\n(\r\nGnd\r\n)\r\n"), std::string::npos);
}

TEST(NetList, LineBreaksInsideNamesAreWrittenAsBlanks) {
    ExportModel model;
    model.components = {{"R\r1", "0", std::string("1\0k", 3), "AX\nIAL"}};
    EXPECT_EQ(NetListText(model), crlf({"[", "R 1", "AX IAL", "1 k", "", "", "", "]"}));
}

TEST(ExportModel, MarkersInExactCaseAndOrderOrNothing) {
    const struct {
        std::string value;
        ComponentData expected;
    } cases[] = {
        {"3{label}10k{footprint}AXIAL0.4", {"R1", "3", "10k", "AXIAL0.4"}},
        {"{label}{footprint}", {"R1", "", "", ""}},
        {"{label}a{label}b{footprint}c{footprint}d", {"R1", "", "a{label}b", "c{footprint}d"}},
        {"3{LABEL}10k{footprint}AXIAL0.4", {"R1", "", "", ""}},
        {"3{label}10k", {"R1", "", "", ""}},
        {"3{footprint}AXIAL0.4", {"R1", "", "", ""}},
        {"3{footprint}AXIAL0.4{label}10k", {"R1", "", "", ""}},
        {"", {"R1", "", "", ""}},
    };
    for (const auto& c : cases) {
        const ComponentData got = SplitExportComponent("R1", c.value);
        EXPECT_EQ(
            (Names{got.designator, got.libRef, got.partType, got.footprint}),
            (Names{c.expected.designator, c.expected.libRef, c.expected.partType, c.expected.footprint}))
            << c.value;
    }
}

TEST(Schematic, LibraryOfThirteenLinesOrFewerContributesNothing) {
    Names header;
    for (int i = 1; i <= 13; ++i) {
        header.push_back("header " + std::to_string(i));
    }
    EXPECT_TRUE(ParseSchematicLibrary(crlf(header)).body.empty());
    EXPECT_TRUE(ParseSchematicLibrary("only\nthree\nlines").body.empty());
    header.push_back("first copied");
    EXPECT_EQ(ParseSchematicLibrary(crlf(header)).body, Names{"first copied"});

    ExportModel model;
    const std::string text = SchematicText(model, ParseSchematicLibrary(crlf({"a", "b"})));
    EXPECT_EQ(text.substr(0, text.find("Organization")),
              "Protel for Windows - Schematic Capture Ascii File Version 1.2 - 2.0\r\n10\r\n");
}

TEST(Schematic, LibraryLinesAreCopiedWithCrLfWhateverTheirEnds) {
    Names lines(13, "h");
    std::string text = crlf(lines) + "one\ntwo\rthree";
    EXPECT_EQ(ParseSchematicLibrary(text).body, (Names{"one", "two", "three"}));
    ExportModel model;
    EXPECT_NE(SchematicText(model, ParseSchematicLibrary(text))
                  .find("10\r\none\r\ntwo\r\nthree\r\nOrganization\r\n"),
              std::string::npos);
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
    EXPECT_EQ(std::set<std::string>(list.begin(), list.end()).size(), 73u);
}

}  // namespace
}  // namespace korvane
