// The history and its steps: each undone and redone exactly, named, announced, and not kept if idle.

#include <gtest/gtest.h>

#include "project/CursorCommands.h"
#include "project/PadCommands.h"
#include "project/Project.h"
#include "project/TraceCommands.h"
#include "storage/ProjectKeys.h"
#include "tracing/TraceReplay.h"

namespace korvane {
namespace {

class Append : public UndoCommand {
  public:
    Append(std::vector<int>& log, int value, std::size_t bytes = 0, bool file = true)
        : log_(log), value_(value), bytes_(bytes), file_(file) {}
    std::string text() const override { return "add " + std::to_string(value_); }
    void undo(Project&) override { log_.pop_back(); }
    void redo(Project&) override { log_.push_back(value_); }
    std::size_t pixelBytes() const override { return bytes_; }
    bool changesFile() const override { return file_; }  // false: what is shown only, as drawn traces

  private:
    std::vector<int>& log_;
    int value_;
    std::size_t bytes_;
    bool file_;
};

struct Told : ProjectObserver {
    std::vector<bool> modified;
    int cursors = 0;
    void modifiedChanged(bool now) override { modified.push_back(now); }
    void cursorsChanged() override { ++cursors; }
};

struct History : ::testing::Test {
    Project project;
    Told events;
    std::vector<int> log;
    void SetUp() override { project.addObserver(&events); }
};

TEST_F(History, TheCleanIndexDecidesWhetherTheProjectIsSaved) {
    EXPECT_TRUE(project.saved());
    project.execute(std::make_unique<Append>(log, 1));
    EXPECT_FALSE(project.saved());
    EXPECT_EQ(project.history().undoText(), "add 1");
    project.undo();
    EXPECT_TRUE(project.saved()) << "undoing back to the save";
    EXPECT_EQ(project.history().redoText(), "add 1");
    project.redo();
    project.markSaved();
    project.undo();
    EXPECT_FALSE(project.saved()) << "undoing past a save";
    EXPECT_EQ(events.modified, (std::vector<bool>{true, false, true, false, true}));
    // A new step after undoing past the save makes the saved state unreachable.
    project.execute(std::make_unique<Append>(log, 2));
    EXPECT_EQ(log, std::vector<int>{2});
    EXPECT_FALSE(project.history().canRedo());
    project.undo();
    EXPECT_FALSE(project.saved());
    project.markSaved();
    project.markUnsaved();
    EXPECT_FALSE(project.saved()) << "recovered work stays unsaved until saved";
    project.resetHistory();
    EXPECT_TRUE(project.saved());
    EXPECT_FALSE(project.history().canUndo());
}

TEST_F(History, StepsThatChangeNothingOfTheFileNeverAskForASave) {
    project.execute(std::make_unique<Append>(log, 1, 0, false));
    EXPECT_TRUE(project.saved());
    project.execute(std::make_unique<Append>(log, 2));
    EXPECT_FALSE(project.saved());
    project.undo();
    EXPECT_TRUE(project.saved());
    project.undo();
    project.markSaved();
    project.redo();
    EXPECT_TRUE(project.saved()) << "from either side of the clean index";
}

TEST_F(History, PixelHistoryOverTheBoundDropsTheOldestStepsButNeverTheNewest) {
    project.setPixelHistoryLimit(100);
    project.execute(std::make_unique<Append>(log, 1, 40));
    project.markSaved();
    project.execute(std::make_unique<Append>(log, 2, 40));
    EXPECT_EQ(project.droppedSteps(), 0u);
    project.execute(std::make_unique<Append>(log, 3, 40));
    EXPECT_EQ(project.droppedSteps(), 1u);
    EXPECT_EQ(project.history().count(), 2u);
    EXPECT_EQ(project.history().pixelBytes(), 80u);
    project.undo();
    project.undo();
    EXPECT_TRUE(project.saved()) << "the save's step is still there";
    EXPECT_FALSE(project.history().canUndo());
    EXPECT_EQ(log, std::vector<int>{1});
    project.execute(std::make_unique<Append>(log, 4, 500));
    EXPECT_EQ(project.history().count(), 1u) << "the newest step stays, even alone over the bound";
    EXPECT_TRUE(project.history().canUndo());
}

TEST_F(History, CursorCalibrationAndScaleOneToOneAreUndoneToTheUnroundedState) {
    CursorSyncState start;
    start.CursorScaleX = 1.04f, start.CursorScaleY = 0.5f;
    start.cur1Left = 10.25, start.cur1Top = 11.5, start.cur2Left = 52.75, start.cur2Top = 60.5;
    start.OldX1 = 10.25, start.OldY1 = 11.5, start.OldX2 = 52.75, start.OldY2 = 60.5;
    project.cursors = start;
    project.execute(MakeScaleCommand(project, project.cursors, 2, 3));
    EXPECT_EQ(project.history().undoText(), "scale");
    CursorSyncState scaled = start;
    scaled.CursorScaleX = 2, scaled.CursorScaleY = 3;
    EXPECT_EQ(project.cursors, scaled) << "only the scales change";
    project.execute(MakeScaleOneToOneCommand(project, project.cursors));
    EXPECT_EQ(project.history().undoText(), "scale 1:1");
    EXPECT_EQ(project.cursors.cur2Left, 10.25);
    project.undo();
    EXPECT_EQ(project.cursors, scaled);
    project.undo();
    EXPECT_EQ(project.cursors, start);
    EXPECT_TRUE(project.saved());
    project.redo();
    project.redo();
    EXPECT_EQ(project.cursors.cur2Top, 11.5);
    EXPECT_EQ(project.cursors.CursorScaleY, 1);
    EXPECT_EQ(events.cursors, 6) << "every redo and undo tells the views";
}

TEST_F(History, AnAlignmentIsOneStepThatTheScaleReplacesAndUndoPutsBackInTheDocument) {
    project.cursors.cur1Left = 10, project.cursors.cur1Top = 20;
    const std::string before = project.doc.ToText();
    const Alignment aligned{AffineMap{1.01, 0.02, 30, -0.02, 1.01, 40}, {{1, 2, 3, 4}, {5, 6, 7, 8}}};
    project.execute(MakeAlignCommand(project, project.cursors, aligned));
    EXPECT_EQ(project.history().undoText(), "align layers");
    EXPECT_EQ(project.alignment, aligned);
    EXPECT_EQ(ReadAlignment(project.doc), aligned) << "a save writes what the project holds";
    EXPECT_NEAR(project.cursors.cur2Left, 1.01 * 10 + 0.02 * 20 + 30, 1e-9)
        << "cursor 2 where it maps cursor 1";
    project.execute(MakeScaleCommand(project, project.cursors, 2, 2));
    EXPECT_FALSE(project.alignment) << "the latest calibration wins";
    EXPECT_FALSE(ReadAlignment(project.doc));
    project.undo();
    EXPECT_EQ(project.alignment, aligned);
    project.undo();
    EXPECT_FALSE(project.alignment);
    EXPECT_EQ(project.doc.ToText(), before) << "the file as it was, byte for byte";
}

constexpr std::int32_t kRed = 255;

// Copper with grain within 5 %: only an exact undo gives it back (a repaint in one colour flattens it).
struct Scan {
    int width = 64, height = 32;
    std::vector<std::uint32_t> pixels;
    Scan() : pixels(std::size_t(width * height)) {
        std::uint32_t seed = 12345;
        for (std::uint32_t& p : pixels) {
            seed = seed * 1103515245u + 12345u;
            p = 0xFF000000u | (0x404040u + ((seed >> 16) % 0x30u));
        }
        for (int y = 0; y < height; ++y) {
            pixels[std::size_t(y * width + 40)] = 0xFF000000u | 0xFFFFFFu;  // a gap no fill crosses
        }
    }
    ImageView view() { return ImageView{pixels.data(), width, height, width}; }
};

struct Scanned : ::testing::Test {
    Scan scan;
    Project project;
    void SetUp() override {
        project.setPixelSource([this](int) { return scan.view(); });
    }
    // A fill the user keeps, as the window does it: painted, logged, then kept as a step.
    void keepFill(int x, int y) {
        auto log = std::make_shared<PaintedSpans>();
        FillControl control;
        control.history = log.get();
        std::string kept;
        control.record = [&kept](const std::string& record) { kept = record; };
        std::int32_t fill = kRed;
        bool quiet = false;
        ImageView view = scan.view();
        FillArea(view, x, y, fill, 0.1f, 0.1f, quiet, control);
        ASSERT_FALSE(kept.empty());
        keep(std::make_unique<FillCommand>(TracePainting{1, kept, log, fill}));
    }
    template <class Step>
    void keep(std::unique_ptr<Step> step) {
        step->keep(project);
        project.record(std::move(step));
    }
    // The record of picture 1 replayed on the scan, logged; the painting a draw or an erase step keeps.
    TracePainting replay(const std::string& line, ReplayMode mode) {
        const TraceRecord record = *ParseTraceRecord(line);
        auto log = std::make_shared<PaintedSpans>();
        FillControl control;
        control.history = log.get();
        ImageView view = scan.view();
        ReplayRecord(record, mode, view, control);
        return {1, line, log, mode == ReplayMode::Draw ? record.fillColor : record.origColor};
    }
};

TEST_F(Scanned, KeptFillsAndTheEraseOfAKnownTraceAreUndoneAndRedoneToTheExactScan) {
    const std::vector<std::uint32_t> before = scan.pixels;
    keepFill(5, 5);
    const std::vector<std::uint32_t> first = scan.pixels;
    ASSERT_NE(first, before);
    EXPECT_EQ(project.history().undoText(), "fill");
    EXPECT_FALSE(project.saved());
    project.undo();
    EXPECT_EQ(scan.pixels, before) << "the grain comes back, pixel for pixel";
    EXPECT_TRUE(project.traces1.empty() && project.saved());
    project.redo();
    EXPECT_EQ(scan.pixels, first) << "redone without a new fill";
    keepFill(50, 5);
    const std::vector<std::uint32_t> filled = scan.pixels;
    const std::string record = project.traces1[0];
    // The window erases row 0: the drawing is known, so it comes off exactly.
    TracePainting erased;
    ASSERT_TRUE(EraseDrawnTrace(project, 1, record, erased));
    keep(std::make_unique<EraseTracesCommand>(std::vector<EraseTracesCommand::Erased>{{erased, true, 0}}));
    EXPECT_EQ(project.history().undoText(), "erase trace");
    EXPECT_EQ(project.traces1.size(), 1u);
    for (int y = 0; y < scan.height; ++y) {
        for (int x = 0; x < 40; ++x) {
            ASSERT_EQ(scan.pixels[std::size_t(y * scan.width + x)], before[std::size_t(y * scan.width + x)]);
        }
    }
    project.undo();
    EXPECT_EQ(scan.pixels, filled);
    EXPECT_EQ(project.traces1.lines()[0], record) << "the record is back at its place";
    project.undo();
    project.undo();
    EXPECT_EQ(scan.pixels, before);
    EXPECT_TRUE(project.saved());
}

TEST_F(Scanned, TracesDrawnFromRecordsChangeNothingToSaveAndUnknownDrawingsAreErasedByPainting) {
    project.traces1 = std::vector<std::string>{"1-5-5-4210752=255-0.1-0.1"};
    const std::vector<std::uint32_t> before = scan.pixels;
    // The seed's colour decides what a record repaints, so the scan's grain is drawn over in part.
    keep(std::make_unique<DrawTracesCommand>(
        std::vector<TracePainting>{replay(project.traces1[0], ReplayMode::Draw)}));
    EXPECT_EQ(project.history().undoText(), "draw all traces");
    EXPECT_TRUE(project.saved()) << "drawing changes nothing of the file";
    const std::vector<std::uint32_t> drawn = scan.pixels;
    project.undo();
    EXPECT_EQ(scan.pixels, before);
    project.redo();
    EXPECT_EQ(scan.pixels, drawn);
    // Once the history has let go of the drawing, erasing paints the seed's old colour, logged.
    project.resetHistory();
    TracePainting unused;
    EXPECT_FALSE(EraseDrawnTrace(project, 1, project.traces1[0], unused));
    keep(std::make_unique<EraseTracesCommand>(
        std::vector<EraseTracesCommand::Erased>{{replay(project.traces1[0], ReplayMode::Erase), false, 0}}));
    EXPECT_TRUE(project.traces1.empty());
    EXPECT_FALSE(project.saved());
    project.undo();
    EXPECT_EQ(scan.pixels, drawn) << "the trace as it was shown";
    EXPECT_EQ(project.traces1.size(), 1u);
}

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
    EXPECT_TRUE(project.pads.padNames.holds("2")) << "pad 2 still carries it";
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

TEST_F(PadSteps, UndoingTheDeleteOfAThousandOfFiveThousandPadsGivesTheSameDocument) {
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
    open(text + "[TraceSection]\r\n");
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
