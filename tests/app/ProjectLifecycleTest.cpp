#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>

#include "BoardWindow.h"
#include "Golden.h"
#include "storage/AtomicFile.h"
#include "storage/ProjectKeys.h"
#include "storage/Recovery.h"

namespace korvane {
namespace {

using testing::readFileBytes;
using testing::writeFileBytes;
namespace fs = std::filesystem;

std::string projectText(const std::string& first, const std::string& second, const std::string& rest = "") {
    return "[FilePathSection]\r\nFirst=" + first + "\r\nSecond=" + second + "\r\n" + rest;
}

class ProjectLifecycle : public BoardWindow {
  protected:
    std::string state() const {
        return withoutDir("open " + std::to_string(window->projectOpen()) + ", path " +
                          window->project().path + ", saved " + std::to_string(window->project().saved()) +
                          ", picture " + std::to_string(window->panes()->P1()->hasPicture()) + ", shown " +
                          std::to_string(window->isVisible()) + "\n");
    }
};

// No to New's or Open's prompt lets the command go on to close the project, which asks again; a Cancel
// anywhere stops the command with nothing changed.
TEST_F(ProjectLifecycle, CancelledOrFailedSavePromptAbortsEveryCommand) {
    open(board);
    window->project().markUnsaved();
    window->show();
    writeFileBytes(dir.file("other.kvp"), projectText("top.bmp", "bottom.png"));
    const std::string onDisk = readFileBytes(board);
    const std::function<void()> newProject = [&] { window->session().newProject(); },
                                openProject = [&] { window->session().openProject(); };
    const struct {
        const char* name;
        std::function<void()> run;
        std::deque<MsgResult> answers;
        std::size_t dialogs;
    } cases[] = {
        {"new", newProject, {MsgResult::Cancel}, 0},
        {"open", openProject, {MsgResult::Cancel}, 0},
        {"close", [&] { window->session().closeProject(); }, {MsgResult::Cancel}, 0},
        {"exit", [&] { EXPECT_FALSE(window->close()); }, {MsgResult::Cancel}, 0},
        {"new, No", newProject, {MsgResult::No, MsgResult::Cancel}, 1},
        {"open, No", openProject, {MsgResult::No, MsgResult::Cancel}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui.clear();
        ui.messageAnswers = c.answers;
        ui.fileAnswers = {pick(dir.file("other.kvp")), pick(top), pick(bottom)};
        c.run();
        ASSERT_EQ(ui.messages().size(), c.answers.size());
        EXPECT_EQ(ui.messages().back().prompt, "Save current project ?");
        EXPECT_EQ(ui.fileDialogs().size(), c.dialogs);
        EXPECT_EQ(state(), "open 1, path $DIR/board.kvp, saved 0, picture 1, shown 1\n");
    }
    EXPECT_EQ(readFileBytes(board), onDisk);
    // Yes, but the file cannot be replaced any more: the window and the project stay too.
    fs::remove(board);
    fs::create_directory(board);
    ui.clear();
    ui.messageAnswers = {MsgResult::Yes, MsgResult::Ok};
    EXPECT_FALSE(window->close());
    EXPECT_EQ(state(), "open 1, path $DIR/board.kvp, saved 0, picture 1, shown 1\n");
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[1].prompt.rfind("File locked.\n", 0), 0u);
    EXPECT_EQ(ui.messages()[1].title, "Open file error:");
    EXPECT_EQ(ui.messages()[1].icon, MsgIcon::Critical);
    window->tick();
    EXPECT_TRUE(window->windowTitle().startsWith("Korvane: NOT saved - "));
}

// Over an existing project file: that file stays as it was until the first save.
TEST_F(ProjectLifecycle, NewProjectAsksForANameAndTwoPicturesAndKeepsTheOldFileUntilSaved) {
    fs::create_directory(dir.file("scans"));
    const std::string scan = dir.file("scans/layer1.bmp");
    writePicture(scan, 300, 200);
    const std::string old = projectText("top.bmp", "bottom.png", "[Pad1]\r\nPadName=1\r\n");
    writeFileBytes(board, old);
    ui.fileAnswers = {pick(board), pick(scan), pick(bottom)};
    window->session().newProject();
    // A save dialog guards an existing project; the second picture is looked for where the first was.
    testing::expectText(transcript(true), "app/new-project.txt");
    EXPECT_EQ(window->project().doc.Value("FilePathSection", "First"), scan) << "another folder: full path";
    EXPECT_EQ(window->project().doc.Value("FilePathSection", "Second"), "bottom.png");
    EXPECT_FALSE(window->project().doc.SectionExists("Pad1"));
    EXPECT_EQ(state(), "open 1, path $DIR/board.kvp, saved 0, picture 1, shown 0\n");
    EXPECT_EQ(window->panes()->P2()->size(), QSize(320, 210));
    EXPECT_EQ(readFileBytes(board), old);
    EXPECT_EQ(ui.busyDepth(), 0);
    window->session().saveProject();
    EXPECT_TRUE(window->project().saved());
    EXPECT_EQ(readFileBytes(board).find("[Pad1]"), std::string::npos);
}

// Every open of the fixture's board proves that no trace question comes for an empty trace section, and
// that bare picture names are found beside the project, not in the working folder.
TEST_F(ProjectLifecycle, OpenRestoresPicturesCursorsScaleAndTracesAndSaveWritesThemBack) {
    writeFileBytes(board, projectText("top.bmp", "bottom.png",
                                      "X=2\r\nY=0.5\r\nOldX1=10\r\nOldY1=11\r\nOldX2=20\r\nOldY2=22\r\n"
                                      "X1=30\r\nY1=31\r\nX2=40.5\r\nY2=41\r\n[TraceSection]\r\n"
                                      "1-5-6-255=65280-0-10\r\n2-7-8-0=255-0-10\r\nx=y\r\n"
                                      "[AlignmentSection]\r\nMatrix=1,2\r\n"));
    ui.messageAnswers = {MsgResult::Ok, MsgResult::No};
    open(board);
    ASSERT_TRUE(window->projectOpen());
    EXPECT_EQ(ui.fileDialogs().at(0).title, "Select filename to load project:");
    EXPECT_TRUE(ui.fileDialogs().at(0).fileMustExist);
    EXPECT_EQ(window->panes()->P1()->size(), QSize(300, 200));
    EXPECT_EQ(window->panes()->P2()->size(), QSize(320, 210));
    EXPECT_TRUE(window->project().saved());
    const CursorSyncState& cursors = window->project().cursors;
    EXPECT_EQ((std::vector<double>{
                  cursors.CursorScaleX, cursors.CursorScaleY, double(window->project().shownCursors.OldX1),
                  double(window->project().shownCursors.OldY2), window->panes()->P1()->cursorLeft(),
                  window->panes()->P1()->cursorTop(), window->panes()->P2()->cursorLeft(),
                  window->project().shownCursors.cur2Top}),
              (std::vector<double>{2, 0.5, 10, 22, 30, 31, 40.5, 41}));
    EXPECT_EQ(window->project().traces1, (std::vector<std::string>{"1-5-6-255=65280-0-10"}));
    EXPECT_EQ(window->project().traces2, (std::vector<std::string>{"2-7-8-0=255-0-10", "x=y"}));
    EXPECT_EQ(window->project().doc.ValuesCount("TraceSection"), 0) << "the lists are the only copy";
    EXPECT_EQ(transcript(),
              "exclamation ok 1|Korvane|The layers' alignment stored in this project cannot be read (the "
              "alignment's "
              "matrix \"1,2\" is not six numbers). The cursors follow the scale until the layers are aligned "
              "again.\nquestion yes no 1|Do you want to load the saved traces NOW?|Load now ? To load later "
              "- press "
              "'No'.\n");
    EXPECT_FALSE(window->project().alignment);
    EXPECT_EQ(ui.busyDepth(), 0);
    window->project().shownCursors.cur1Left = 12.25;
    window->project().shownCursors.cur1Top = 13;
    window->project().markUnsaved();
    window->session().saveProject();
    const std::string saved = readFileBytes(board);
    for (const char* line :
         {"X=2\r\n", "X1=12.25\r\n", "OldY2=22\r\n", "1-5-6-255=65280-0-10\r\n", "x=y\r\n"}) {
        EXPECT_NE(saved.find(line), std::string::npos) << line;
    }
}

// A New given up before the open project was closed keeps it; every other failure leaves nothing open.
TEST_F(ProjectLifecycle, FailedNewOrOpenLeavesNoProjectOpen) {
    writeFileBytes(dir.file("junk.png"), "this is no picture\r\n");
    writeFileBytes(dir.file("lost.kvp"), projectText("gone.bmp", "bottom.png"));
    writeFileBytes(dir.file("junk.kvp"), projectText("top.bmp", "junk.png"));
    fs::create_directory(dir.file("folder.kvp"));
    const std::string n = dir.file("n.kvp");
    const struct {
        bool isNew;
        std::deque<std::optional<FileDialogResult>> answers;
    } cases[] = {{true, {std::nullopt}},
                 {true, {pick(n), std::nullopt}},
                 {true, {pick(n), pick(top), std::nullopt}},
                 {true, {pick(n), pick(top), pick(dir.file("junk.png"))}},
                 {false, {pick(dir.file("lost.kvp"))}},
                 {false, {pick(dir.file("junk.kvp"))}},
                 {false, {pick(dir.file("folder.kvp"))}}};
    std::string seen;
    for (const auto& c : cases) {
        open(board);
        ASSERT_TRUE(window->projectOpen());
        ui.clear();
        ui.fileAnswers = c.answers;
        c.isNew ? window->session().newProject() : window->session().openProject();
        seen += transcript() + state();
        EXPECT_FALSE(fs::exists(n));
        EXPECT_EQ(ui.busyDepth(), 0);
    }
    testing::expectText(seen, "app/failed-new-open.txt");
}

// A second picture of a megapixel or more is read on a thread of its own while the first is read here:
// what the user sees is what reading them in turn gives, whichever of the two fails.
TEST_F(ProjectLifecycle, ASecondPictureReadAsideOpensAndFailsAsOneReadInTurn) {
    QImage big(1024, 1024, QImage::Format_RGB32);
    for (int y = 0; y < big.height(); ++y) {
        for (int x = 0; x < big.width(); ++x) {
            big.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x ^ y) & 0xFF));
        }
    }
    ASSERT_TRUE(big.save(QString::fromStdString(dir.file("big.png"))));
    fs::copy_file(std::string(KORVANE_SOURCE_DIR) + "/tests/data/bad/huge-header.gif", dir.file("huge.gif"));
    writeFileBytes(dir.file("junk.png"), "this is no picture\r\n");
    const auto outcome = [this](const std::string& first, const std::string& second) {
        writeFileBytes(dir.file("p.kvp"), projectText(first, second, "[TraceSection]\r\n"));
        open(dir.file("p.kvp"));
        const std::string seen = transcript() + state();
        ui.clear();
        return seen;
    };
    EXPECT_EQ(outcome("top.bmp", "big.png"), "open 1, path $DIR/p.kvp, saved 1, picture 1, shown 0\n");
    EXPECT_TRUE(window->panes()->P2()->workImage() == big.convertToFormat(QImage::Format_RGBX8888));
    window->session().closeProject();
    const std::string tooLarge = outcome("huge.gif", "top.bmp");
    EXPECT_NE(tooLarge.find("File open error:"), std::string::npos) << tooLarge;
    EXPECT_EQ(outcome("top.bmp", "huge.gif"), tooLarge) << "the second picture read aside";
    EXPECT_EQ(outcome("junk.png", "big.png"), outcome("junk.png", "top.bmp")) << "the first fails meanwhile";
}

// Keys equal but for case: the reader takes the pictures by position, so must Save As; and a copy in another
// folder must still find the pictures stored beside the original.
TEST_F(ProjectLifecycle, SaveAsKeepsTheOldFileAndRewritesThePicturesByPosition) {
    writeFileBytes(board, "[FilePathSection]\r\nFirst=top.bmp\r\nfirst=bottom.png\r\n[TraceSection]\r\n");
    open(board);
    ASSERT_TRUE(window->projectOpen());
    using Entries = std::pair<std::string, std::string>;
    // Cancelled: the preset name stays, so the project is saved where it is.
    window->project().cursors.CursorScaleX = 3;
    window->project().markUnsaved();
    ui.clear();
    ui.fileAnswers = {std::nullopt};
    window->session().saveProjectAs();
    ASSERT_EQ(ui.fileDialogs().size(), 1u);
    EXPECT_EQ(ui.fileDialogs()[0].title, "Enter filename of the current project to save:");
    EXPECT_EQ(ui.fileDialogs()[0].fileName, board);
    EXPECT_TRUE(window->project().saved());
    EXPECT_NE(readFileBytes(board).find("X=3\r\n"), std::string::npos);
    // Nothing can be written in a folder that does not exist: everything goes back as it was.
    ui.fileAnswers = {pick(dir.file("gone/board.kvp"))};
    ui.messageAnswers = {MsgResult::Ok};
    window->session().saveProjectAs();
    ASSERT_EQ(ui.count("message"), 1);
    EXPECT_EQ(window->project().path, board);
    EXPECT_EQ(PictureEntries(window->project().doc), Entries("top.bmp", "bottom.png"));
    // A new name takes the pads edited since the last save; the old file stays as it was.
    const std::string saved = readFileBytes(board);
    WritePad(window->project().doc, 1, "1", "N1", "R1", 5, 6, 7, 8);
    window->project().markUnsaved();
    fs::create_directory(dir.file("backup"));
    const std::string copy = dir.file("backup/board.kvp");
    ui.fileAnswers = {pick(copy)};
    window->session().saveProjectAs();
    EXPECT_EQ(state(), "open 1, path $DIR/backup/board.kvp, saved 1, picture 1, shown 0\n");
    EXPECT_EQ(readFileBytes(board), saved);
    EXPECT_NE(readFileBytes(copy).find("[Pad1]"), std::string::npos);
    EXPECT_EQ(PictureEntries(window->project().doc), Entries(top, bottom));
    ui.clear();
    open(copy);
    ASSERT_TRUE(window->projectOpen());
    EXPECT_EQ(window->panes()->P1()->width(), 300) << "the first picture is still the first";
    EXPECT_EQ(window->panes()->P2()->width(), 320);
    EXPECT_EQ(ui.count("message"), 0);
}

TEST_F(ProjectLifecycle, AutosaveKeepsUnsavedWorkBesideTheProjectUntilItIsSavedOrClosed) {
    EXPECT_TRUE(window->session().autosaveTimer()->isActive());
    EXPECT_EQ(window->session().autosaveTimer()->interval(), 2 * 60 * 1000) << "every two minutes by default";
    const std::string recovery = RecoveryPath(board);
    const std::string saved = readFileBytes(board);
    // Another run of the program opening the board.
    auto reopen = [&](std::deque<MsgResult> answers) {
        auto other = std::make_unique<TestMainWindow>(ui);
        other->startUp("");
        ui.clear();
        ui.messageAnswers = std::move(answers);
        ui.fileAnswers = {pick(board)};
        other->session().openProject();
        return other;
    };
    open(board);
    window->session().autosaveNow();
    EXPECT_FALSE(fs::exists(recovery)) << "nothing unsaved, nothing to keep";
    WritePad(window->project().doc, 7, "1", "N1", "R1", 5, 6, 7, 8);
    window->project().markUnsaved();
    window->session().autosaveNow();
    ASSERT_TRUE(fs::exists(recovery));
    EXPECT_EQ(readFileBytes(board), saved) << "the project file is never written by an autosave";
    EXPECT_FALSE(window->project().saved());
    // The run ends without closing (a crash): the next open offers the work; No keeps it for later.
    auto declined = reopen({MsgResult::No});
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].prompt.rfind("Recover unsaved work from ", 0), 0u);
    EXPECT_EQ(ui.messages()[0].title, "Recover project:");
    EXPECT_FALSE(declined->project().doc.SectionExists("Pad7"));
    EXPECT_TRUE(fs::exists(recovery));
    declined.reset();
    auto recovered = reopen({MsgResult::Yes});
    ASSERT_TRUE(recovered->projectOpen());
    EXPECT_TRUE(recovered->project().doc.SectionExists("Pad7"));
    EXPECT_FALSE(recovered->project().saved()) << "recovered work is not saved until the user says so";
    EXPECT_EQ(recovered->project().doc.FileName(), board);
    ASSERT_TRUE(recovered->session().saveToFile());
    EXPECT_FALSE(fs::exists(recovery)) << "a save makes the recovery file useless";
    EXPECT_NE(readFileBytes(board).find("[Pad7]"), std::string::npos);
    recovered.reset();
    // A clean close removes what this run kept; the next open asks nothing (nothing is queued to answer).
    window->project().markUnsaved();
    window->session().autosaveNow();
    ASSERT_TRUE(fs::exists(recovery));
    ui.messageAnswers = {MsgResult::No};
    window->session().closeProject();
    EXPECT_FALSE(fs::exists(recovery));
    open(board);
    // A recovery file that cannot be written is told once, and the project goes on unsaved.
    window->project().markUnsaved();
    ui.clear();
    {
        ScopedAtomicWriteFailure diskFull(0);
        window->session().autosaveNow();
        window->session().autosaveNow();
    }
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].title, "autosaveNow:");
    EXPECT_EQ(state(), "open 1, path $DIR/board.kvp, saved 0, picture 1, shown 0\n");
}

}  // namespace
}  // namespace korvane
