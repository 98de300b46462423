// The pad and component steps of the project's history: each one undone and redone gives back the model
// and the document text exactly, names itself, announces what it changed both ways, and is not kept when it
// changed nothing.

#include "project/PadCommands.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "project/Project.h"
#include "storage/ProjectKeys.h"

namespace korvane {
namespace {

// Everything a pad edit may touch, as one text, so that a difference shows where it is.
std::string state(const Project& project) {
    const PadBoard& pads = project.pads;
    std::string text = project.doc.ToText() + "--\n";
    for (const NameList* list : {&pads.padNames, &pads.netNames, &pads.compNames}) {
        for (const std::string& name : list->items()) {
            text += name + "|";
        }
        text += "\n";
    }
    for (const ComponentData& row : pads.components) {
        text += row.designator + "=" + JoinComponent(row.libRef, row.partType, row.footprint) + "\n";
    }
    for (int n = 1; n <= pads.markers.highest(); ++n) {
        for (int picture : {1, 2}) {
            if (const PadMarker* m = pads.markers.array(picture).get(n)) {
                text += std::to_string(n) + ":" + FormatPadPosition(m->left, m->top) +
                        (m->visible ? "" : " hidden") + " " + m->toolTipText + "\n";
            }
        }
    }
    return text;
}

struct EventLog : ProjectObserver {
    std::vector<std::string> events;
    void add(const char* what, const std::vector<int>& pads) {
        std::string text = what;
        for (int n : pads) {
            text += " " + std::to_string(n);
        }
        events.push_back(text);
    }
    void padsAdded(const std::vector<int>& pads) override { add("added", pads); }
    void padsMoved(const std::vector<int>& pads) override { add("moved", pads); }
    void padsRenamed(const std::vector<int>& pads) override { add("renamed", pads); }
    void padsRemoved(const std::vector<int>& pads) override { add("removed", pads); }
    void componentsChanged() override { events.push_back("components"); }
    std::vector<std::string> take() { return std::exchange(events, {}); }
};

using Events = std::vector<std::string>;

// What a save writes: the document with the component table and the (empty) trace lists put in.
std::string savedText(const Project& project) {
    IniDocument copy;
    copy.LoadFromText(project.doc.ToText());
    WriteComponents(copy, project.pads.componentTable());
    WriteTraces(copy, {}, {});
    return copy.ToText();
}

const char* const kBoard =
    "[FilePathSection]\r\nFirst=a.bmp\r\nSecond=b.bmp\r\n"
    "[ComponentsSection]\r\nR1=0{label}10k{footprint}AXIAL0.4\r\nU1=4{label}LM358{footprint}DIP8\r\n"
    "[Pad1]\r\nPadName=1\r\nNetName=GND\r\nCompName=R1\r\n1Pad=10,10\r\n2Pad=20,20\r\n"
    "[Notes]\r\nkept=here\r\n"
    "[Pad2]\r\nPadName=2\r\nNetName=N1\r\nCompName=R1\r\n1Pad=30,10\r\n2Pad=40,20\r\n"
    "[Pad3]\r\nPadName=1\r\nNetName=N2\r\nCompName=U1\r\n1Pad=50,10\r\n2Pad=60,20\r\n"
    "[PadList]\r\nA=1\r\n"
    "[Pad4]\r\nPadName=2\r\nNetName=GND\r\nCompName=U1\r\n1Pad=70,10\r\n2Pad=80,20\r\n"
    "[TraceSection]\r\n";

class PadSteps : public ::testing::Test {
  protected:
    // Opens the text as the main window does: pad sections named canonically, pads placed, names listed.
    void open(const std::string& text) {
        project.pads.clearAll();
        project.doc.LoadFromText(text);
        PadBoard::NormalisePadSections(project.doc);
        for (const PadRecord& record : ReadPads(project.doc)) {
            project.pads.loadPad(record);
        }
        project.doc.AddSection(kComponentsSection);
        project.resetHistory();
    }

    void SetUp() override {
        open(kBoard);
        project.addObserver(&log);
    }

    Project project;
    EventLog log;
};

TEST_F(PadSteps, EveryEditUndoesAndRedoesExactly) {
    struct Case {
        const char* text;
        std::unique_ptr<PadEdit> edit;
        Events events;
    };
    Case cases[] = {
        {"place pad",
         PlacePadEdit(9, {5, 6, 7, 8}, kAllNameFields, {"3", "VCC", "Q1"}, {{"q1", "2", "BC547", "TO92"}}),
         {"added 9", "components"}},
        {"place pad", PlacePadEdit(5, {5, 6, 7, 8}, kNetNameField, {"x", "GND", "y"}, {}), {"added 5"}},
        {"move pad", MovePadEdit(2, 3, 90, 80), {"moved 3"}},
        {"delete 2 pads", DeletePadsEdit({2, 3}, "N*", "U*"), {"removed 2 3", "components"}},
        {"delete 4 pads", DeletePadsEdit({1, 2, 3, 4}, "", ""), {"removed 1 2 3 4", "components"}},
        {"delete pad", DeletePadEdit(2), {"removed 2"}},
        // GND is listed already: the pads still change.
        {"name 2 pads", NamePadsEdit({1, 2, 3, 4}, kNetNameField, {"", "GND", ""}, {}), {"renamed 2 3"}},
        {"name 1 pad",
         NamePadsEdit({2}, kAllNameFields, {"7", "VCC", "C9"}, {{"c9", "1", "4u7", "RB.1"}}),
         {"renamed 2", "components"}},
        {"component data",
         NamePadsEdit({1}, kAllNameFields, {"1", "GND", "R1"}, {{"r1", "0", "22k", "0805"}}),
         {"components"}},
        {"component data", ComponentDataEdit({"U1", "5", "TL072", "SO8"}), {"components"}}};
    for (Case& c : cases) {
        SCOPED_TRACE(c.text);
        open(kBoard);
        const std::string before = state(project);
        log.take();
        ASSERT_TRUE(ApplyPadEdit(project, std::move(c.edit)));
        const std::string after = state(project);
        EXPECT_NE(after, before);
        EXPECT_EQ(project.history().undoText(), c.text);
        EXPECT_EQ(log.take(), c.events);
        EXPECT_FALSE(project.saved());

        project.undo();
        EXPECT_EQ(state(project), before);
        EXPECT_TRUE(project.saved());
        const Events back = log.take();
        project.redo();
        EXPECT_EQ(state(project), after);
        EXPECT_EQ(log.take(), c.events);
        project.undo();
        EXPECT_EQ(state(project), before) << "a second undo after a redo";
        EXPECT_EQ(log.take(), back);
    }
}

TEST_F(PadSteps, UndoneStepsAnnounceTheOppositeAndRestoreNamesAndData) {
    ASSERT_TRUE(ApplyPadEdit(project, DeletePadsEdit({1, 2, 3, 4}, "", "")));
    EXPECT_TRUE(project.pads.padNames.empty() && project.pads.netNames.empty() &&
                project.pads.compNames.empty());
    EXPECT_TRUE(project.pads.components.empty());
    EXPECT_FALSE(project.doc.SectionExists(kComponentsSection));
    log.take();
    project.undo();
    EXPECT_EQ(log.take(), (Events{"added 1 2 3 4", "components"}));

    // A save between the delete and its undo moves the component and trace sections to the end.
    const std::string saved = savedText(project);
    ASSERT_TRUE(ApplyPadEdit(project, DeletePadsEdit({1, 2, 4}, "", "")));
    WriteComponents(project.doc, project.pads.componentTable());
    WriteTraces(project.doc, {}, {});
    project.undo();
    EXPECT_EQ(savedText(project), saved);

    // The dialog's Del drops a designator no other pad carries; its undo lists it again where it was.
    const std::vector<std::string> designators = project.pads.padNames.items();
    ASSERT_TRUE(ApplyPadEdit(project, DeletePadEdit(4)));
    ASSERT_TRUE(ApplyPadEdit(project, DeletePadEdit(2)));
    EXPECT_FALSE(project.pads.padNames.holds("2"));
    project.undo();
    project.undo();
    EXPECT_EQ(project.pads.padNames.items(), designators);
}

TEST_F(PadSteps, EditsThatChangeNothingAreNotKept) {
    const std::string before = state(project);
    std::unique_ptr<PadEdit> nothing[] = {MovePadEdit(1, 2, 30, 10),
                                          NamePadsEdit({1, 2}, kCompNameField, {"", "", "R1"}, {}),
                                          NamePadsEdit({9}, kAllNameFields, {"1", "2", "3"}, {}),
                                          DeletePadsEdit({7, 8}, "", ""),
                                          DeletePadEdit(7),
                                          PlacePadEdit(2, {1, 1, 1, 1}, kAllNameFields, {}, {}),
                                          ComponentDataEdit({"R1", "0", "10k", "AXIAL0.4"}),
                                          ComponentDataEdit({"X9", "1", "2", "3"})};
    for (auto& edit : nothing) {
        EXPECT_FALSE(ApplyPadEdit(project, std::move(edit)));
    }
    EXPECT_EQ(project.history().count(), 0u);
    EXPECT_TRUE(project.saved());
    EXPECT_EQ(state(project), before);
    EXPECT_EQ(log.take(), Events{});
}

TEST(PadStepsAtScale, UndoingTheDeleteOfAThousandOfFiveThousandPadsGivesTheSameDocument) {
    Project project;
    std::string text = "[FilePathSection]\r\nFirst=a.bmp\r\nSecond=b.bmp\r\n[ComponentsSection]\r\n";
    for (int c = 1; c <= 625; ++c) {
        text += "U" + std::to_string(c) + "=3{label}LM358{footprint}DIP8\r\n";
    }
    for (int n = 1; n <= 5000; ++n) {
        text += "[Pad" + std::to_string(n) + "]\r\nPadName=" + std::to_string(n % 8 + 1) + "\r\nNetName=N" +
                std::to_string(n / 3) + "\r\nCompName=U" + std::to_string(n / 8 + 1) +
                "\r\n1Pad=" + std::to_string(n) + ",5\r\n2Pad=" + std::to_string(n) + ",6\r\n";
        if (n % 700 == 0) {
            text += "[Unknown" + std::to_string(n) + "]\r\nx=1\r\n";
        }
    }
    text += "[TraceSection]\r\n";
    project.doc.LoadFromText(text);
    for (const PadRecord& record : ReadPads(project.doc)) {
        project.pads.loadPad(record);
    }
    std::vector<int> doomed;
    for (int n = 3; n <= 5000; n += 5) {
        doomed.push_back(n);
    }
    const std::string before = state(project);
    const std::string savedBefore = savedText(project);
    ASSERT_TRUE(ApplyPadEdit(project, DeletePadsEdit(doomed, "N*", "U*")));
    EXPECT_EQ(project.history().undoText(), "delete 1000 pads");
    EXPECT_EQ(project.pads.markers.Pad1.count(), 4000);
    const std::string after = state(project);
    project.undo();
    EXPECT_EQ(state(project), before);
    EXPECT_EQ(savedText(project), savedBefore) << "a save writes the same bytes as before the delete";
    project.redo();
    EXPECT_EQ(state(project), after);
}

}  // namespace
}  // namespace korvane
