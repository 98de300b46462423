#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QUrl>
#include <filesystem>

#include "BoardWindow.h"
#include "Golden.h"
#include "app/Shell.h"
#include "export/ExportDialog.h"
#include "pads/PadListWindow.h"
#include "pads/PadPropertiesDialog.h"
#include "platform/QtText.h"
#include "platform/Registry.h"
#include "project/CursorCommands.h"
#include "tracing/FillQuestionDialog.h"
#include "tracing/TracesWindow.h"
#include "view/ScaleWizardWindow.h"

namespace korvane {
namespace {

class MainWindowWidget : public BoardWindow {
  protected:
    void SetUp() override {
        Registry::SetString(Registry::kKeyPath, Registry::kLastPath, "/start/folder/last.kvp");
        makeWindow();
    }
    QAction* item(const char* name) { return window->menus().action(QString::fromUtf8(name)); }
    // A project that is open and has unsaved changes, saved under a path in the temporary folder.
    void openUnsavedProject() {
        window->project().path = dir.file("amp.kvp");
        window->project().doc.StartNew(window->project().path);
        window->project().doc.SetValue("FilePathSection", "First", "top.bmp");
        window->project().doc.SetValue("FilePathSection", "Second", "bottom.bmp");
        window->setProjectOpen(true);
        window->project().markUnsaved();
    }
};

// One line per item, indented by depth: name|caption|shortcuts|tag|index|hidden.
QString menuTree(const QList<QAction*>& actions, int depth = 0) {
    QString text;
    for (const QAction* a : actions) {
        if (a->isSeparator()) {
            continue;
        }
        QStringList keys;
        for (const QKeySequence& k : a->shortcuts()) {
            keys << k.toString();
        }
        text += QString(depth * 2, ' ') +
                QStringList{a->objectName(),
                            a->text(),
                            keys.join(','),
                            a->data().toString(),
                            a->property("index").toString(),
                            a->isVisible() ? "" : "hidden"}
                    .join('|') +
                '\n';
        if (a->menu() != nullptr) {
            text += menuTree(a->menu()->actions(), depth + 1);
        }
    }
    return text;
}

TEST_F(MainWindowWidget, StartUpBuildsTheMenuTreeAndPresetsTheOpenDialog) {
    testing::expectText(menuTree(window->menuBar()->actions()).toStdString(), "app/menus.txt");
    EXPECT_EQ((std::vector<double>{window->tracing().ColorBound, double(window->tracing().FillColor),
                                   window->project().shownCursors.cur2Left}),
              (std::vector<double>{0.1, 255, 1}));
    EXPECT_EQ(window->session().LastPath, "/start/folder/last.kvp") << "the dialogs start there";
    EXPECT_EQ(window->windowTitle(), "Korvane: saved - ") << "no project is open";
    // Dropped files: the first one is offered in the Open dialog.
    ui.fileAnswers = {std::nullopt};
    window->session().openDroppedFiles({"/boards/first.kvp", "/boards/second.kvp"});
    ASSERT_EQ(ui.fileDialogs().size(), 1u);
    EXPECT_EQ(ui.fileDialogs()[0].fileName, "/boards/first.kvp");
    window->session().openDroppedFiles({});
    EXPECT_EQ(window->session().OpenSave.FileName, "/boards/first.kvp");
    // A file named on the command line is preset in its long form; the remembered path is not read then.
    testing::writeFileBytes(dir.file("my board.kvp"), "[FilePathSection]\r\n");
    TestMainWindow named(ui);
    named.startUp("\"" + dir.file("my board.kvp") + "\"");
    EXPECT_EQ(named.session().OpenSave.FileName,
              std::filesystem::canonical(dir.file("my board.kvp")).string());
    EXPECT_EQ(named.session().LastPath, "");
    TestMainWindow missing(ui);
    missing.startUp(dir.file("missing.kvp"));
    EXPECT_EQ(missing.session().OpenSave.FileName, "");
}

// The history itself has model tests; these check what the menus and keys make of it.
TEST_F(MainWindowWidget, UndoAndRedoNameTheirStepFollowTheHistoryAndWaitForLongWork) {
    showActive();
    openUnsavedProject();
    window->project().markSaved();
    EXPECT_FALSE(item("mnuUndo")->isEnabled());
    const float& scale = window->project().cursors.CursorScaleX;
    window->project().execute(MakeScaleCommand(window->project(), window->project().cursors, 2, 2));
    EXPECT_EQ(item("mnuUndo")->text(), "&Undo scale");
    EXPECT_TRUE(item("mnuUndo")->isEnabled());
    EXPECT_EQ(window->windowTitle().toStdString(), "Korvane: NOT saved - " + dir.file("amp.kvp"));
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(scale, 1);
    EXPECT_EQ(window->windowTitle().toStdString(), "Korvane: saved - " + dir.file("amp.kvp"))
        << "back at the save";
    EXPECT_EQ(item("mnuRedo")->text(), "&Redo scale");
    QTest::keyClick(window.get(), Qt::Key_Y, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(scale, 2);
    // A fill paints: the step it would undo may be the very picture it paints on.
    QMenu* edit = window->menus().menu(QStringLiteral("mnuEdit"));
    window->tracing().FillRunning = true;
    window->undoEdit();
    emit edit->aboutToShow();
    EXPECT_FALSE(item("mnuUndo")->isEnabled());
    EXPECT_EQ(scale, 2);
    window->tracing().FillRunning = false;
    emit edit->aboutToShow();
    EXPECT_TRUE(item("mnuUndo")->isEnabled());
}

TEST_F(MainWindowWidget, MenusFollowTheProjectStateAndDisabledShortcutsDoNotFire) {
    showActive();
    // No tick is needed: the project's menus follow the open state at once.
    const auto expectProjectMenus = [&](bool enabled) {
        for (const char* name : {"mnuSave", "mnuSaveAs", "mnuClose", "mnuExport", "mnuEdit", "mnuView",
                                 "mnuFlipG", "mnuClr", "mnuTraces"}) {
            EXPECT_EQ(item(name)->isEnabled(), enabled) << name;
        }
    };
    QSignalSpy flips(item("mnuFlipG"), &QAction::triggered);
    QSignalSpy saves(item("mnuSave"), &QAction::triggered);
    QSignalSpy prints(item("mnuFilePrint"), &QAction::triggered);
    QSignalSpy news(item("mnuNew"), &QAction::triggered);
    expectProjectMenus(false);
    for (QKeySequence keys :
         {QKeySequence(Qt::Key_F2), QKeySequence(Qt::CTRL | Qt::Key_S), QKeySequence(Qt::CTRL | Qt::Key_P)}) {
        QTest::keySequence(window.get(), keys);
    }
    EXPECT_EQ(flips.count() + saves.count(), 0) << "disabled while no project is open";
    EXPECT_EQ(prints.count(), 0) << "hidden items stay silent";
    ui.fileAnswers = {std::nullopt};  // New's name dialog, cancelled
    QTest::keyClick(window.get(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(news.count(), 1);
    window->setProjectOpen(true);
    expectProjectMenus(true);
    ui.messageAnswers = {MsgResult::Cancel};  // which picture to flip: none
    QTest::keyClick(window.get(), Qt::Key_F2);
    EXPECT_EQ(flips.count(), 1);
    window->setProjectOpen(false);
    expectProjectMenus(false);
    QTest::keyClick(window.get(), Qt::Key_F2);
    EXPECT_EQ(flips.count(), 1);
}

TEST_F(MainWindowWidget, TickBlinksCursorsCyclesColoursAndEndsADragWhoseReleaseWasLost) {
    const bool visible = window->panes()->P1()->cursorVisible();
    window->tick();
    EXPECT_NE(window->panes()->P1()->cursorVisible(), visible);
    EXPECT_EQ(window->panes()->P1()->cursorVisible(), window->panes()->P2()->cursorVisible());
    window->tick();
    EXPECT_EQ(window->panes()->P1()->cursorVisible(), visible);
    const std::int32_t cycle[] = {0, 255, 65280, 65535, 16711680, 16711935, 16776960, 16777215};
    window->SelectionColourStep = 0;
    for (int tick = 0; tick < 10; ++tick) {
        window->tick();
        EXPECT_EQ(MainWindow::selectionColour(window->SelectionColourStep), cycle[tick % 8]) << tick;
    }
    openUnsavedProject();
    window->pictureMouseDown(1, Qt::LeftButton, Qt::NoModifier, 5, 5);  // a release that never arrives
    window->tick();
    EXPECT_FALSE(window->cursors().drag().held());
}

TEST_F(MainWindowWidget, SavePromptAndExitAskOnlyForUnsavedWorkAndRememberTheLastProject) {
    const auto remembered = [] { return Registry::GetString(Registry::kKeyPath, Registry::kLastPath); };
    // Without a project the dialogs start where work stopped, and exit keeps that path without asking.
    window->show();
    EXPECT_EQ(window->session().askToSave(), 3);
    ui.fileAnswers = {std::nullopt};
    window->session().openProject();
    ASSERT_EQ(ui.fileDialogs().size(), 1u);
    EXPECT_EQ(ui.fileDialogs()[0].initialDir, "/start/folder/last.kvp");
    EXPECT_TRUE(window->close());
    EXPECT_EQ(ui.count("message"), 0);
    EXPECT_EQ(remembered(), "/start/folder/last.kvp");
    openUnsavedProject();
    ui.messageAnswers = {MsgResult::Cancel, MsgResult::No};
    EXPECT_EQ(window->session().askToSave(), 2);
    EXPECT_EQ(window->session().askToSave(), 1);
    const std::string prompt =
        "question yes no cancel 3|Current project isn't saved:|Save current project ?\n";
    EXPECT_EQ(transcript(), prompt + prompt);
    EXPECT_FALSE(std::filesystem::exists(dir.file("amp.kvp")));
    window->project().cursors.CursorScaleX = 1.5;
    window->project().shownCursors.cur1Left = 120;
    ui.messageAnswers = {MsgResult::Yes};
    EXPECT_EQ(window->session().askToSave(), 0);
    EXPECT_TRUE(window->project().saved());
    EXPECT_EQ(ui.busyDepth(), 0);
    EXPECT_EQ(
        testing::readFileBytes(dir.file("amp.kvp")),
        "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.bmp\r\nX=1.5\r\nY=1\r\nOldX1=0\r\nOldY1=0\r\n"
        "OldX2=0\r\nOldY2=0\r\nX1=120\r\nY1=1\r\nX2=1\r\nY2=1\r\n\r\n[TraceSection]\r\n\r\n");
    // No on exit exits and remembers the project; a window that was closed once is not used again.
    const auto restart = [&] {
        window = std::make_unique<TestMainWindow>(ui);
        window->show();
        openUnsavedProject();
    };
    restart();
    ui.messageAnswers = {MsgResult::No};
    EXPECT_TRUE(window->close());
    EXPECT_EQ(remembered(), dir.file("amp.kvp"));
    // A project closed before the exit is remembered too, though the title no longer names it.
    Registry::SetString(Registry::kKeyPath, Registry::kLastPath, "/start/folder/last.kvp");
    restart();
    ui.messageAnswers = {MsgResult::No};
    window->session().closeProject();
    window->tick();
    EXPECT_EQ(window->windowTitle(), "Korvane: saved - ");
    EXPECT_TRUE(window->close());
    EXPECT_EQ(remembered(), dir.file("amp.kvp"));
}

TEST_F(MainWindowWidget, HelpKeyOpensTheGuideAtTheTopicOfTheMenuAndNamesItWithoutABrowser) {
    window->help().HelpFile = dir.file("help/index.html");
    for (const char* menu : {"mnuFillColor", "mnuTracing", "mnuFile"}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QApplication::sendEvent(window->menus().menu(menu), &press);
    }
    const std::string guide = QUrl::fromLocalFile(toQ(window->help().HelpFile)).toString().toStdString();
    ASSERT_EQ(ui.count("url"), 3);
    // A submenu takes its menu's topic; a menu without a topic opens the guide's start.
    EXPECT_EQ((std::vector<std::string>{ui.calls[0].url, ui.calls[1].url, ui.calls[2].url}),
              (std::vector<std::string>{guide + "#tracing", guide + "#tracing", guide}));
    EXPECT_EQ(ui.count("message"), 0);
    ui.clear();
    ui.browserStarts = false;
    window->help().showGuide();
    ASSERT_EQ(ui.messages().size(), 1u) << "a guide that cannot be shown is named, not silently dropped";
    EXPECT_NE(ui.messages()[0].prompt.find(window->help().HelpFile), std::string::npos);
}

// Tool windows and panes hold references to the window's own data and call back into it.
TEST(MainWindowTeardown, ToolWindowsAndPanesGoWhileTheWindowsDataStillExists) {
    testing::ScriptedUi ui;
    auto window = std::make_unique<TestMainWindow>(ui);
    window->startUp("");
    window->setProjectOpen(true);
    window->pads().showPadList();  // created on first use, as the export dialog
    window->exportDialog()->show();
    window->tracing().tracesWindow()->show();
    const QObject* owner = window.get();
    std::vector<std::string> late;
    const std::pair<const char*, QObject*> parts[] = {
        {"pad dialog", window->pads().padDialog()},
        {"information window", window->pads().infoWindow()},
        {"export dialog", window->exportDialog()},
        {"traces window", window->tracing().tracesWindow()},
        {"fill question", window->tracing().fillQuestion()},
        {"cursor-scale wizard", window->cursors().wizard()},
        {"panes", window->panes()},
    };
    for (const auto& [name, part] : parts) {
        ASSERT_NE(part, nullptr) << name;
        // While the window's own destructor runs it is still a MainWindow; once only QWidget's runs, its
        // members are gone.
        QObject::connect(part, &QObject::destroyed, [owner, name = std::string(name), &late] {
            if (qobject_cast<const MainWindow*>(owner) == nullptr) {
                late.push_back(name);
            }
        });
    }
    window.reset();
    EXPECT_EQ(late, std::vector<std::string>{});
}

TEST(Shell, CommandLineQuotesLastCharactersAndLongForms) {
    EXPECT_EQ(JoinCommandLine({}), "");
    EXPECT_EQ(JoinCommandLine({"/home/user/my", "boards/amp.kvp"}), "/home/user/my boards/amp.kvp");
    EXPECT_EQ(StripEnclosingQuotes("\"/a b/c.kvp\""), "/a b/c.kvp");
    EXPECT_EQ(StripEnclosingQuotes("\"/a b/c.kvp"), "\"/a b/c.kvp");
    EXPECT_EQ(StripEnclosingQuotes("/a b/c.kvp\""), "/a b/c.kvp\"");
    EXPECT_EQ(StripEnclosingQuotes("\""), "\"");
    EXPECT_EQ(StripEnclosingQuotes("\"\""), "");
    EXPECT_EQ(InStrRev("C:\\a\\b.kvp", '\\'), 5);
    EXPECT_EQ(InStrRev("abcABC", 'a'), 4);
    EXPECT_EQ(InStrRev("abc", 'x'), 0);
    EXPECT_EQ(InStrRev("", 'x'), 0);
    testing::TempDir dir;
    std::filesystem::create_directory(dir.path() / "boards");
    testing::writeFileBytes(dir.file("boards/amp.kvp"), "[FilePathSection]\r\n");
    const std::string canonicalDir = std::filesystem::canonical(dir.path()).string();
    EXPECT_EQ(LongName(dir.file("boards/../boards/amp.kvp")), canonicalDir + "/boards/amp.kvp");
    EXPECT_EQ(LongName(dir.file("boards/missing.kvp")), "");
    EXPECT_EQ(LongName(dir.file("boards")), "") << "a folder is not a project file";
    EXPECT_EQ(LongPath(dir.file("boards") + "/"), canonicalDir + "/boards/");
    EXPECT_EQ(LongPath("/no/such/folder"), "/no/such/folder/");
}

}  // namespace
}  // namespace korvane
