// The pad model without windows: markers, names, pad records in the document and the name lists.

#include <gtest/gtest.h>

#include "pads/PadBoard.h"
#include "pads/PadMarkers.h"
#include "pads/PadText.h"

namespace korvane {
namespace {

std::vector<std::string> sectionNames(const IniDocument& doc) {
    std::vector<std::string> names;
    for (int i = 1; i <= doc.SectionsCount(); ++i) {
        names.push_back(doc.SectionName(i));
    }
    return names;
}

TEST(PadMarkers, NumbersAreCheckedAndOnlyTrailingGapsFreeTheirNumbers) {
    PadMarkers markers;
    for (int n : {1, 2, 3, 4}) {
        ASSERT_TRUE(markers.create(n));
    }
    for (int bad : {0, 1, -1, kMaxPadNumber + 1}) {
        EXPECT_FALSE(markers.create(bad)) << bad;
    }
    markers.destroy(2);
    EXPECT_EQ(markers.highest(), 4) << "a gap in the middle stays";
    markers.destroy(4);
    markers.destroy(3);
    EXPECT_EQ(markers.highest(), 1);
    EXPECT_EQ(markers.Pad2.highest(), 1) << "on both pictures";
    EXPECT_TRUE(markers.create(kMaxPadNumber));
    EXPECT_EQ(markers.Pad1.count(), 2);
}

TEST(PadMarkers, InvertFlipsEachMarkerAndColoursFollowTheSelection) {
    PadMarkers markers;
    markers.create(1);
    markers.create(2);
    markers.Pad1.get(1)->value = 1;  // a new pad: selected on picture 1 only
    markers.invert();
    EXPECT_EQ(markers.Pad1.get(1)->value, 0);
    EXPECT_EQ(markers.Pad2.get(1)->value, 1) << "the difference between partners persists";
    EXPECT_EQ(markers.selectedPads(), (std::vector<int>{2}));
    for (int n : {1, 2}) {
        markers.Pad1.get(n)->visible = markers.Pad2.get(n)->visible = true;
    }
    const auto change = markers.applyColour(255);
    EXPECT_TRUE(change.picture1 && change.picture2);
    EXPECT_EQ(markers.Pad1.get(2)->backColour, 255);
    EXPECT_EQ(markers.Pad2.get(1)->backColour, 255);
    EXPECT_EQ(markers.Pad1.get(1)->backColour, kButtonFace);
    const auto again = markers.applyColour(255);
    EXPECT_FALSE(again.picture1 || again.picture2) << "nothing to repaint when no face changed";
}

TEST(PadText, DescriptionsNameComponentPadAndNet) {
    EXPECT_EQ(PadDescription("", "", ""), "Free pad , no name, not connected");
    EXPECT_EQ(PadDescription("R1", "2", ""), "R1-2, not connected");
    EXPECT_EQ(PadDescription("R1", "2", "GND"), "R1-2, connected to \"GND\"");
    EXPECT_EQ(PadDescription("", "", "N$1"), "Free pad , no name, connected to \"N$1\"");
}

TEST(PadText, NamesMatchPatternsWithoutCaseAndAlwaysThemselves) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"U12", "U*", true},  {"u3", "U*", true},   {"R1", "U*", false},    {"CS1", "CS#", true},
        {"CS#", "CS#", true}, {"cs#", "CS#", true}, {"WR#", "WR#", true},   {"D[0]", "D[0]", true},
        {"D0", "D[0]", true}, {"GND", "gnd", true}, {"GND1", "GND", false}, {"", "", true},
        {"A", "", false}};
    for (const auto& [text, pattern, matches] : cases) {
        EXPECT_EQ(NameMatches(text, pattern), matches) << text << " ~ " << pattern;
    }
}

TEST(PadText, NamesTheFileCannotKeepAreRefused) {
    using enum NameField;
    const std::tuple<NameField, std::string, bool> cases[] = {
        {Pad, "1;2", true},  {Net, "A\nB", true}, {Net, std::string("A\0B", 3), true},
        {Comp, " R1", true}, {Comp, "R1 ", true}, {Comp, "R=1", true},
        {Comp, "[R1", true}, {Comp, "R1", false}, {Net, "=x [y", false},
        {Pad, " 1 ", false}, {Comp, "", false}};
    for (const auto& [field, name, refused] : cases) {
        EXPECT_EQ(!NameProblem(field, name).empty(), refused) << name;
    }
    EXPECT_EQ(NameProblem(Comp, "R=1"),
              "The component designator \"R=1\" cannot be kept in the project file: it must not hold \"=\", "
              "begin with \"[\" or begin or end with a blank.");
}

TEST(PadText, PadSectionsNameUsableNumbers) {
    const std::pair<const char*, int> cases[] = {
        {"Pad1", 1},    {"pad3", 3},     {"Pad01", 1}, {"PAD32767", 32767}, {"Pad0", 0},
        {"PadList", 0}, {"Pad99999", 0}, {"Pad-2", 0}, {"Pa", 0},           {"TraceSection", 0}};
    for (const auto& [name, number] : cases) {
        EXPECT_EQ(UsablePadNumber(name), number) << name;
    }
}

class Board : public ::testing::Test {
  protected:
    // Pads 1..n placed at (n, n) and (n + 100, n), named as given.
    void addPad(int n, const std::string& pad, const std::string& net, const std::string& comp) {
        ASSERT_TRUE(board.place(n, n, n, n + 100, n));
        board.writeNames({n}, kAllNameFields, {pad, net, comp});
    }
    IniDocument doc;
    PadBoard board{doc};
};

TEST_F(Board, ClearingRemovesEveryPadSectionAndNothingElse) {
    doc.LoadFromText(
        "[FilePathSection]\r\nFirst=a.bmp\r\n[Pad1]\r\nPadName=1\r\n[Pad2]\r\n[ComponentsSection]\r\nR1=x\r\n"
        "[pad3]\r\nNetName=N\r\n[PadList]\r\nA=1\r\n[TraceSection]\r\n1-1=2\r\n");
    board.place(1, 0, 0, 0, 0);
    board.padNames.append("1");
    board.clearAll();
    EXPECT_EQ(sectionNames(doc),
              (std::vector<std::string>{"FilePathSection", "ComponentsSection", "TraceSection"}));
    EXPECT_EQ(board.markers.highest(), 0);
    EXPECT_TRUE(board.padNames.empty());
}

TEST_F(Board, NamingWritesOnlyTheChosenFieldsAndAddsNewNamesOnce) {
    addPad(1, "1", "GND", "U1");
    addPad(2, "2", "GND", "U1");
    addPad(3, "1", "", "R1");
    EXPECT_EQ(doc.Value("Pad3", "1Pad"), "3,3");
    EXPECT_EQ(doc.Value("Pad3", "2Pad"), "103,3");
    EXPECT_EQ(board.markers.Pad2.get(3)->toolTipText, "R1-1, not connected");
    EXPECT_TRUE(board.writeNames({1, 2, 3}, kNetNameField, {"x", "VCC", "y"}));
    for (int n : {1, 2, 3}) {
        EXPECT_EQ(doc.Value(PadSectionName(n), "NetName"), "VCC");
    }
    EXPECT_EQ(board.namesOf(3).pad, "1");
    EXPECT_EQ(board.namesOf(3).comp, "R1");
    EXPECT_EQ(board.netNames.items(), (std::vector<std::string>{"GND", "VCC"}));
    EXPECT_FALSE(board.writeNames({1, 2, 3}, kNetNameField, {"", "VCC", ""})) << "nothing changed";
    // Another letter case is the same name; a name that only matches a listed pattern is new.
    board.writeNames({1}, kNetNameField, {"", "vcc", ""});
    board.writeNames({2}, kNetNameField, {"", "CS#", ""});
    board.writeNames({3}, kNetNameField, {"", "CS1", ""});
    EXPECT_EQ(board.netNames.items(), (std::vector<std::string>{"GND", "VCC", "CS#", "CS1"}));
    EXPECT_EQ(doc.Value("Pad1", "NetName"), "vcc");
    EXPECT_EQ(board.compNames.items(), (std::vector<std::string>{"U1", "R1"}));
    EXPECT_EQ(board.components.size(), 2u) << "the table grows with the component list";
}

TEST_F(Board, PatternsSelectPadsAndDuplicatesCompareFieldsAsPatterns) {
    addPad(1, "1", "GND", "U1");
    addPad(2, "2", "CS#", "u7");
    addPad(3, "1", "N1", "R1");
    addPad(4, "3", "N2", "U12");
    EXPECT_TRUE(board.duplicateExists({"1", "gnd", "U1"}));
    EXPECT_TRUE(board.duplicateExists({"2", "CS#", "U7"})) << "a name with wildcard characters is itself";
    EXPECT_TRUE(board.duplicateExists({"#", "N*", "R?"}));
    EXPECT_FALSE(board.duplicateExists({"2", "GND", "U1"}));
    EXPECT_FALSE(board.duplicateExists({"", "GND", "U1"})) << "never without a pad designator";
    EXPECT_EQ(board.selectMatching("CompName", "U*"), 3);
    EXPECT_EQ(board.markers.selectedPads(), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(board.markers.Pad2.get(4)->value, 1) << "both markers";
    EXPECT_EQ(board.markers.Pad2.get(3)->value, 0);
}

TEST_F(Board, DeletingPrunesOnlyNamesThatNoPadCarries) {
    addPad(1, "1", "N1", "U1");
    addPad(2, "1", "N2", "U2");
    addPad(3, "7", "N3", "R1");
    board.markers.setSelected(2, true);
    board.markers.setSelected(3, true);
    EXPECT_EQ(board.deleteSelected(), (std::vector<int>{2, 3}));
    EXPECT_FALSE(doc.SectionExists("Pad2"));
    board.pruneNets("N*");
    board.pruneComponents("*");
    EXPECT_EQ(board.netNames.items(), (std::vector<std::string>{"N1"}));
    EXPECT_EQ(board.compNames.items(), (std::vector<std::string>{"U1"}));
    EXPECT_EQ(board.components.size(), 1u);
}

TEST_F(Board, OpeningNamesPadSectionsCanonicallyAndLoadsTheirNames) {
    doc.LoadFromText(
        "[FilePathSection]\r\nFirst=a.bmp\r\n[ComponentsSection]\r\nU1=2{LABEL}LM358{footprint}DIP8\r\n"
        "[pad3]\r\nPadName=a\r\nCompName=U1\r\n1Pad=5,6\r\n2Pad=7,8\r\n[Pad01]\r\nPadName=b\r\n[PAD3]\r\n"
        "PadName=c\r\nNetName= GND "
        "\r\n[Pad0]\r\nPadName=z\r\n[PadList]\r\n[Pad99999]\r\n[Pad1]\r\nPadName=d\r\n");
    PadBoard::NormalisePadSections(doc);
    EXPECT_EQ(sectionNames(doc),
              (std::vector<std::string>{"FilePathSection", "ComponentsSection", "Pad3", "Pad1", "Pad4",
                                        "Pad0", "PadList", "Pad99999", "Pad5"}));
    std::vector<int> placed;
    for (const PadRecord& record : ReadPads(doc)) {
        if (board.loadPad(record)) {
            placed.push_back(record.number);
        }
    }
    EXPECT_EQ(placed, (std::vector<int>{3, 1, 4, 5}));
    EXPECT_EQ(board.namesOf(4).pad, "c");
    EXPECT_EQ(board.namesOf(5).pad, "d");
    EXPECT_EQ(board.markers.Pad2.get(3)->left, 7);
    EXPECT_EQ(board.markers.Pad1.get(4)->toolTipText, "Free pad c, connected to \" GND\"");
    EXPECT_EQ(board.padNames.items(), (std::vector<std::string>{"d", "c", "b", "a"}))
        << "new names go on top";
    EXPECT_EQ(board.netNames.items(), (std::vector<std::string>{"GND"})) << "trimmed";
    ASSERT_EQ(board.components.size(), 1u);
    EXPECT_EQ(board.components[0].partType, "LM358") << "markers found without case";
    EXPECT_EQ(board.components[0].footprint, "DIP8");
    EXPECT_TRUE(board.move(2, 3, 9, 10));
    EXPECT_EQ(doc.Value("Pad3", "2Pad"), "9,10");
    EXPECT_FALSE(board.move(2, 3, 9, 10));
}

}  // namespace
}  // namespace korvane
