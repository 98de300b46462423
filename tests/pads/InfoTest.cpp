#include "pads/PadListWindow.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QTest>
#include <filesystem>

#include "platform/FileDialogState.h"
#include "platform/QtText.h"
#include "storage/AtomicFile.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

using testing::readFileBytes;
using testing::ScriptedUi;
using testing::TempDir;
using testing::writeFileBytes;

class InfoTest : public ::testing::Test {
  protected:
    InfoTest()
        : dialogs(ui),
          info(
              &owner, ui, dialogs,
              [this] {
                  ++builds;
                  return selected;
              },
              [this] { return dir.file("board.kvp"); }) {}
    std::vector<std::string> rows() const {
        std::vector<std::string> out;
        for (int i = 0; i < info.List()->count(); ++i) {
            out.push_back(fromQ(info.List()->item(i)->text()));
        }
        return out;
    }
    void selectRows(std::initializer_list<int> indices) {
        info.List()->clearSelection();
        for (int i : indices) {
            info.List()->item(i)->setSelected(true);
        }
    }
    void answerSave(const std::string& path) { ui.fileAnswers.push_back(FileDialogResult{path, 1}); }
    TempDir dir;
    ScriptedUi ui;
    FileDialogState dialogs;
    QWidget owner;
    std::vector<std::string> selected;
    int builds = 0;
    PadListWindow info;
};

TEST_F(InfoTest, WindowControlsAndCaptionsAndCloseAndEscOnlyHide) {
    EXPECT_TRUE(info.isWindow() && !info.isModal());
    EXPECT_EQ(info.parentWidget(), &owner);
    ASSERT_EQ(info.findChild<QListWidget*>("List"), info.List());
    EXPECT_EQ(info.List()->selectionMode(), QAbstractItemView::ExtendedSelection);
    std::string shown = "window|" + fromQ(info.windowTitle()) + "\nLabel1|" +
                        fromQ(info.findChild<QLabel*>("Label1")->text()) + "\nList|" +
                        fromQ(info.List()->toolTip());
    for (const char* name : {"mnuFile", "mnuEdit"}) {
        auto* menu = info.findChild<QMenu*>(name);
        ASSERT_NE(menu, nullptr) << name;
        shown += "\n" + std::string(name) + "|" + fromQ(menu->title());
        for (QAction* action : menu->actions()) {
            shown += "\n  " + (action->isSeparator() ? std::string("-")
                                                     : fromQ(action->objectName() + "|" + action->text() +
                                                             "|" + action->shortcut().toString()));
        }
    }
    EXPECT_EQ(shown + "\n",
              readFileBytes(KORVANE_SOURCE_DIR "/tests/data/expected/pads/pad_listing_window.txt"));
    QPointer<PadListWindow> alive(&info);
    info.show();
    info.closeWindow();
    EXPECT_FALSE(info.isVisible());
    info.show();
    info.List()->setFocus();
    QTest::keyClick(info.List(), Qt::Key_Escape);
    EXPECT_FALSE(info.isVisible());
    info.show();
    info.close();
    QApplication::processEvents();
    EXPECT_FALSE(info.isVisible() || alive.isNull()) << "closing hides the window, it stays loaded";
}

TEST_F(InfoTest, ActivationRebuildsUnlessTheFocusComesBackFromAModalDialog) {
    selected = {"a", "b"};
    info.show();
    info.activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(info.isActiveWindow()) << "the platform does not activate windows";
    ASSERT_EQ(info.List()->count(), 3);
    selectRows({1});
    const int before = builds;
    selected = {"x"};
    {
        QDialog box(&info);
        box.setModal(true);
        box.show();
        box.activateWindow();
        QApplication::processEvents();
        ASSERT_TRUE(box.isActiveWindow());
        box.hide();
    }
    info.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(builds, before);
    EXPECT_TRUE(info.List()->item(1)->isSelected());
    // Going to the main window and coming back is a return of the user: rebuilt.
    owner.show();
    owner.activateWindow();
    QApplication::processEvents();
    info.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(rows(), (std::vector<std::string>{"Total quantity of selected pads: 1", "x"}));
}

TEST_F(InfoTest, ListingIsTheCountThenOneLinePerPadAndSaveWritesTheSelectedLinesWithCrLfOrKeepsTheOldFile) {
    selected = {"d1", "", "d3 \xC4"};  // a pad without description gives an empty line
    info.Rebuild();
    EXPECT_EQ(info.lines(),
              (std::vector<std::string>{"Total quantity of selected pads: 3", "d1", "", "d3 \xC4"}));
    EXPECT_EQ(rows()[3], "d3 \xC3\x84") << "shown decoded, kept as bytes";
    info.selectAllText();
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.path().string())));
    ui.fileAnswers = {std::nullopt};  // the user cancels
    info.saveListingAs();
    QDir::setCurrent(previous);
    EXPECT_EQ(ui.count("save"), 1);
    EXPECT_EQ(ui.count("message"), 0) << "a cancel is no error";
    EXPECT_EQ(dialogs.FileName, "new_list.txt");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "nothing written, not even under the preset name";
    ui.clear();
    selectRows({2, 1});
    const std::string path = dir.file("list.txt");
    answerSave(path);
    info.saveListingAs();
    ASSERT_EQ(ui.count("save"), 1);
    const FileDialogRequest request = ui.fileDialogs()[0];
    EXPECT_EQ(request.title, "File name to pad's info saving:");
    EXPECT_EQ(request.fileName, "new_list.txt");
    EXPECT_EQ(request.initialDir, dir.file("board.kvp"));
    ASSERT_EQ(request.filters.size(), 1u);
    EXPECT_EQ(request.filters[0].description + "|" + request.filters[0].patterns.at(0), "*.*|*.*");
    EXPECT_TRUE(request.overwritePrompt);
    EXPECT_EQ(dialogs.Flags, 2621446);
    EXPECT_EQ(readFileBytes(path), "d1\r\n\r\n") << "list order, count line left out";
    EXPECT_EQ(ui.count("message"), 0);
    // Select all, saved over a longer existing file: replaced, not appended to.
    writeFileBytes(path, std::string(500, 'x'));
    info.selectAllText();
    answerSave(path);
    info.saveListingAs();
    EXPECT_EQ(readFileBytes(path), "Total quantity of selected pads: 3\r\nd1\r\n\r\nd3 \xC4\r\n");
    // A line break inside a description cannot split its line in the file.
    selected = {"bad\r\nline"};
    info.Rebuild();
    selectRows({1});
    answerSave(path);
    info.saveListingAs();
    EXPECT_EQ(readFileBytes(path), "bad  line\r\n");
    // A failed save keeps the old file and says which file.
    answerSave(path);
    {
        ScopedAtomicWriteFailure diskFull(3);
        info.saveListingAs();
    }
    EXPECT_EQ(readFileBytes(path), "bad  line\r\n");
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].prompt.find(path), std::string::npos) << ui.messages()[0].prompt;
    EXPECT_TRUE(ui.messages()[0].icon == MsgIcon::Critical && ui.messages()[0].buttons == MsgButtons::Ok);
    selected.clear();
    info.Rebuild();
    EXPECT_EQ(info.List()->count(), 0) << "no count line without pads";
}

}  // namespace
}  // namespace korvane
