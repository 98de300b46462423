#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <tuple>

#include "nets/CheckWindow.h"
#include "nets/NetsPanel.h"
#include "pads/WidgetTexts.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "support/TestMainWindow.h"
#include "tracing/FillQuestionDialog.h"
#include "tracing/TracesWindow.h"
#include "transforms/OrientedImage.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {
namespace {

using testing::TempDir;

constexpr std::int32_t kGrey = 0x808080;
constexpr std::int32_t kCopper = 0x404040;  // 4210752
constexpr std::int32_t kRed = 255;

class Tracing : public ::testing::Test {
  protected:
    void SetUp() override {
        // Picture 1: two copper areas on grey. Picture 2: one black area on grey.
        savePicture("top.bmp", QSize(300, 200), kCopper, {QRect(20, 30, 100, 30), QRect(150, 100, 50, 30)});
        savePicture("bottom.png", QSize(320, 210), 0, {QRect(10, 10, 50, 30)});
        openProject("[TraceSection]\r\n");
    }
    void savePicture(const char* name, QSize size, QRgb area, std::initializer_list<QRect> areas) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor(kGrey));
        for (const QRect& rect : areas) {
            QPainter(&image).fillRect(rect, QColor(area));
        }
        ASSERT_TRUE(image.save(QString::fromStdString(dir.file(name))));
    }
    void openProject(const std::string& traceSection) {
        testing::writeFileBytes(dir.file("board.kvp"),
                                "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.png\r\n" + traceSection);
        window = std::make_unique<TestMainWindow>(ui);
        window->startUp("");
        window->timer()->stop();
        ui.fileAnswers = {FileDialogResult{dir.file("board.kvp"), 1}};
        window->session().openProject();
        ASSERT_TRUE(window->projectOpen());
        window->tick();
        ui.clear();
    }
    std::int32_t pixel(int picture, int x, int y) const {
        return (picture == 1 ? window->panes()->P1() : window->panes()->P2())->pixel(x, y);
    }
    TracesWindow* traces() const { return window->tracing().tracesWindow(); }
    FillQuestionDialog* question() const { return window->tracing().fillQuestion(); }
    QAction* item(const char* name) const { return window->menus().action(QString::fromUtf8(name)); }
    QStringList shown(int list) const {
        QStringList lines;
        for (int row = 0; row < traces()->list(list)->count(); ++row) {
            lines << traces()->list(list)->item(row)->text();
        }
        return lines;
    }
    // Answers the next question of a fill once it is open, first running `whileOpen`.
    void answerNextQuestion(bool save, std::function<void()> whileOpen = {}) {
        QTimer::singleShot(0, window.get(), [this, save, whileOpen] {
            asked = true;
            EXPECT_TRUE(window->tracing().fillQuestionOpen());
            if (whileOpen) {
                whileOpen();
            }
            QTest::keyClick(question(), save ? Qt::Key_Return : Qt::Key_Escape);
        });
    }
    testing::ScriptedUi ui;
    TempDir dir;
    std::unique_ptr<MainWindow> window;
    bool asked = false;
};

TEST_F(Tracing, AltClickFillsRedAndOnlyTheSavedFillBecomesATrace) {
    answerNextQuestion(true, [this] {
        QFont titleFont = question()->font();
        titleFont.setBold(true);
        EXPECT_GT(question()->width(), QFontMetrics(titleFont).horizontalAdvance(question()->windowTitle()))
            << "the whole title fits the box";
        EXPECT_EQ(pixel(1, 119, 59), kRed) << "the area is painted before the question";
        EXPECT_TRUE(window->tracing().FillRunning && window->busy());
    });
    window->pictureMouseUp(1, Qt::LeftButton, Qt::AltModifier, 30, 40);
    EXPECT_TRUE(asked && !question()->isVisible());
    EXPECT_EQ(pixel(1, 150, 100), kCopper) << "the other area is not connected";
    EXPECT_EQ(shown(1), QStringList{"1-30-40-4210752=255-0.1-0.1@adaptive"});
    EXPECT_FALSE(window->project().saved());
    EXPECT_FALSE(window->tracing().FillRunning || window->busy() || ui.busyDepth() > 0);
    EXPECT_TRUE(traces()->isVisible() && item("mnuTraces")->isChecked()) << "a hidden traces window opens";
    // A deleted fill is painted back, and the fill colour stays.
    asked = false;
    window->project().markSaved();
    answerNextQuestion(false);
    window->pictureMouseUp(2, Qt::LeftButton, Qt::AltModifier, 12, 12);
    EXPECT_TRUE(asked);
    EXPECT_EQ(pixel(2, 59, 39), 0);
    EXPECT_EQ(window->tracing().FillColor, kRed);
    EXPECT_TRUE(window->project().traces2.empty() && window->project().saved());
    // The kept fill is the one step (exactness is the model's); the list and the picture follow.
    EXPECT_EQ(item("mnuUndo")->text(), "&Undo fill");
    window->undoEdit();
    EXPECT_TRUE(shown(1).isEmpty());
    EXPECT_EQ(pixel(1, 20, 30), kCopper);
    window->redoEdit();
    EXPECT_EQ(shown(1), QStringList{"1-30-40-4210752=255-0.1-0.1@adaptive"});
}

TEST_F(Tracing, TheCheckedFillModeIsTheNewFillsAndEachTraceKeepsItsOwn) {
    const char* names[] = {"mnuFillPacked", "mnuFillChannels", "mnuFillSpecks", "mnuFillAdaptive"};
    auto checked = [&] {
        QStringList on;
        for (const char* name : names) {
            if (item(name)->isCheckable() && item(name)->isChecked()) {
                on << name;
            }
        }
        return on;
    };
    EXPECT_EQ(checked(), QStringList{"mnuFillAdaptive"}) << "the default";
    item("mnuFillPacked")->trigger();
    EXPECT_EQ(checked(), QStringList{"mnuFillPacked"});
    answerNextQuestion(true);
    window->pictureMouseUp(1, Qt::LeftButton, Qt::AltModifier, 30, 40);
    item("mnuFillChannels")->trigger();
    item("mnuFillChannels")->trigger();
    EXPECT_EQ(checked(), QStringList{"mnuFillChannels"}) << "a second click keeps the item checked";
    answerNextQuestion(true);
    window->pictureMouseUp(1, Qt::LeftButton, Qt::AltModifier, 160, 110);
    EXPECT_EQ(shown(1),
              (QStringList{"1-30-40-4210752=255-0.1-0.1", "1-160-110-4210752=255-0.1-0.1@channels"}));
}

TEST_F(Tracing, OnlyAClickOnThePictureFillsAndOneFillRunsAtATime) {
    answerNextQuestion(true, [this] {
        window->pictureMouseUp(1, Qt::LeftButton, Qt::AltModifier, 160, 110);  // reached while asking
        window->session().closeProject();
        traces()->cmdDraw->click();
    });
    window->pictureMouseUp(1, Qt::LeftButton, Qt::AltModifier, 300, 40);  // released beside the picture
    window->pictureMouseUp(1, Qt::LeftButton, Qt::AltModifier, 30, -1);
    EXPECT_FALSE(asked);
    EXPECT_FALSE(traces()->isVisible());
    EXPECT_EQ(window->project().traces1.size(), 0u);
    window->pictureMouseUp(1, Qt::LeftButton, Qt::AltModifier, 30, 40);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(window->projectOpen()) << "closing waits for the fill";
    EXPECT_EQ(pixel(1, 160, 110), kCopper) << "the second fill was ignored";
    EXPECT_EQ(window->project().traces1.size(), 1u);
}

TEST_F(Tracing, ColourMenuSetsTheFillColourOrPicksOneAndTheFillKeyFillsAtTheLastCursor) {
    const auto& colours = window->menus().colourItems();
    colours[4]->trigger();
    EXPECT_EQ(window->tracing().FillColor, 16711680);
    colours[0]->trigger();
    EXPECT_EQ(window->tracing().FillColor, 0) << "black has no value of its own";
    colours[8]->trigger();
    EXPECT_TRUE(window->colourPick().armed());
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].prompt, "Click the point on the pictures");
    EXPECT_EQ(ui.messages()[0].title, "Fill color selection:");
    EXPECT_EQ(ui.messages()[0].icon, MsgIcon::Information);
    window->pictureMouseDown(1, Qt::LeftButton, Qt::NoModifier, 25, 35);
    EXPECT_FALSE(window->colourPick().armed());
    EXPECT_EQ(window->tracing().FillColor, kCopper);
    // The fill key fills at the cursor of the picture clicked last.
    colours[1]->trigger();
    emit window->panes()->P2()->mouseDown(Qt::LeftButton, Qt::NoModifier, 15, 16);
    answerNextQuestion(true);
    window->tracing().fillAtCursor();
    EXPECT_EQ(window->project().traces2, (std::vector<std::string>{"2-15-16-0=255-0.1-0.1@adaptive"}));
}

TEST_F(Tracing, ColourBoundIsAskedUntilPositive) {
    ui.inputAnswers = {std::string("0"), std::string("-5"), std::string("abc"), std::nullopt,
                       std::string("2.5")};
    window->tracing().askColourBound();
    ASSERT_EQ(ui.count("input"), 5);
    const InputRequest& box = ui.calls.front().input;
    EXPECT_EQ(box.title + "|" + box.defaultText + "|" + box.prompt,
              "Define the area bounds for the filling:|10|Pixels which have the color of the clicked pixel "
              "\u00B1X% should be repainted with the filling color. Input  X:");
    EXPECT_EQ(float(window->tracing().ColorBound), 0.025f);
    // Every percentage shows again as it was typed, without single-precision noise.
    for (int percent = 1; percent <= 100; ++percent) {
        ui.clear();
        ui.inputAnswers = {std::to_string(percent), std::string("1")};
        window->tracing().askColourBound();
        window->tracing().askColourBound();
        ASSERT_EQ(ui.count("input"), 2);
        EXPECT_EQ(ui.calls[0].input.defaultText, percent == 1 ? "2.5" : "1");
        EXPECT_EQ(ui.calls[1].input.defaultText, std::to_string(percent));
    }
}

TEST_F(Tracing, DrawAllSkipsUnreadableRecordsBeepsTheSecondTimeAndDeleteErasesExactlyTheSelectedLines) {
    window->project().traces1 = {"1-30-40-4210752=65280-0.1-0.1", "1-160-110-4210752=65535-0.1-0.1",
                                 "1-5-5-8421504=16711680-0-0", "1-y"};
    window->project().traces2 = {"2-12-12-0=65535-0.1-0.1"};
    traces()->cmdDraw->click();
    EXPECT_EQ(pixel(1, 5, 5), 16711680);
    EXPECT_EQ(pixel(2, 59, 39), 65535);
    EXPECT_EQ(ui.count("beep"), 0);
    ASSERT_EQ(ui.messages().size(), 1u) << "the unreadable record is reported once";
    EXPECT_EQ(ui.messages()[0].title, "Invalid trace record:");
    EXPECT_NE(ui.messages()[0].prompt.find("\n1-y"), std::string::npos);
    ui.clear();
    traces()->cmdDraw->click();
    EXPECT_EQ(ui.count("beep"), 4) << "one beep per drawn trace, nothing else";
    ui.clear();
    QListWidget* list = traces()->lstTrace1;
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    for (int row : {0, 2, 3}) {
        list->item(row)->setSelected(true);
    }
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(pixel(1, 20, 30), kCopper);
    EXPECT_EQ(pixel(1, 5, 5), kGrey);
    EXPECT_EQ(pixel(1, 160, 110), 65535) << "the unselected trace stays drawn";
    EXPECT_EQ(shown(1), (QStringList{"1-160-110-4210752=65535-0.1-0.1", "1-y"}))
        << "erased lines go, the unreadable one stays";
    EXPECT_FALSE(window->project().saved());
    window->project().traces2 = {"2-100-100-8421504=255-0.1-0.1"};  // the button erases as the key does
    traces()->lstTrace2->item(0)->setSelected(true);
    traces()->cmdDel->click();
    EXPECT_TRUE(window->project().traces2.empty());
}

TEST_F(Tracing, TracesWindowTextsKeysCloseBoxRecordClicksAndTheListsOfAnOpenedProject) {
    EXPECT_EQ(testing::WidgetTexts(traces()) + testing::WidgetTexts(question()),
              testing::readFileBytes(KORVANE_SOURCE_DIR "/tests/data/expected/tracing/trace_windows.txt"));
    EXPECT_EQ(traces()->cmdDraw->palette().color(QPalette::Button), QColor(255, 128, 128));
    item("mnuTraces")->trigger();
    EXPECT_TRUE(traces()->isVisible() && item("mnuTraces")->isChecked());
    QTest::keyClick(traces()->lstTrace1, Qt::Key_Escape);
    EXPECT_FALSE(traces()->isVisible() || item("mnuTraces")->isChecked());
    window->tracing().toggleTracesWindow();
    EXPECT_FALSE(traces()->mayClose(true)) << "the close box only hides the window";
    EXPECT_FALSE(traces()->isVisible() || item("mnuTraces")->isChecked());
    EXPECT_TRUE(traces()->mayClose(false));
    // A click on a record moves the cursors there and scrolls to them.
    window->show();
    window->resize(170, 260);
    QApplication::processEvents();
    window->project().traces2 = {"2-12-12-0=65535-0.1-0.1", "2-300-200-0=65535-0.1-0.1"};
    traces()->lstTrace2->setCurrentRow(1);
    EXPECT_EQ(QPointF(window->project().shownCursors.cur2Left, window->project().shownCursors.cur2Top),
              QPointF(300, 200));
    const QPoint inPane = QPoint(300, 200) + window->panes()->P2()->pos();
    EXPECT_LE(inPane.x(), window->panes()->pic2()->width());
    EXPECT_LE(inPane.y(), window->panes()->pic2()->height());
    EXPECT_GT(window->panes()->HS().Value(), 0);
    EXPECT_FALSE(window->cursors().drag().held());
    // Stored traces fill both lists (which list is the model's) and are drawn on Yes; closing empties them.
    ui.messageAnswers = {MsgResult::Yes};
    openProject("[TraceSection]\r\n1-30-40-4210752=65280-0.1-0.1\r\n2-12-12-0=65535-0.1-0.1\r\n");
    EXPECT_EQ(shown(1), QStringList{"1-30-40-4210752=65280-0.1-0.1"});
    EXPECT_EQ(shown(2), QStringList{"2-12-12-0=65535-0.1-0.1"});
    EXPECT_EQ(std::pair(pixel(1, 20, 30), pixel(2, 10, 10)), std::pair(65280, 65535));
    window->session().closeProject();
    EXPECT_EQ(traces()->lstTrace1->count(), 0);
}

TEST_F(Tracing, TheBaseStaysExactThroughFillFlipUndoRedoEraseAndDrawingAllTraces) {
    PictureBox* p1 = window->panes()->P1();
    const QImage original =
        QImage(QString::fromStdString(dir.file("top.bmp"))).convertToFormat(QImage::Format_RGBX8888);
    QImage traced = original.copy();
    QPainter(&traced).fillRect(QRect(20, 30, 100, 30), Qt::red);
    const QImage flipped = original.mirrored(true, false);
    const auto expect = [p1](const char* step, const QImage& base, const QImage& work) {
        SCOPED_TRACE(step);
        EXPECT_TRUE(p1->baseImage() == base);
        EXPECT_TRUE(p1->workImage() == work);
    };
    answerNextQuestion(true);
    window->pictureMouseUp(1, Qt::LeftButton, Qt::AltModifier, 30, 40);
    expect("fill", original, traced);
    ui.messageAnswers = {MsgResult::Yes, MsgResult::Yes, MsgResult::Ok, MsgResult::Yes};
    window->pictures().copyPictureToClipboard();
    expect("clipboard", original, traced);
    transforms_testing::failNextAllocation = true;
    window->pictures().flipHorizontally();
    transforms_testing::failNextAllocation = false;
    expect("a flip that found no memory keeps the trace", original, traced);
    const std::vector<std::string> record = window->project().traces1.lines();
    const std::vector<std::string> mirroredRecord{"1-" + std::to_string(original.width() - 1 - 30) +
                                                  record[0].substr(4)};
    window->pictures().flipHorizontally();
    expect("flip: the trace goes with its copper", flipped, traced.mirrored(true, false));
    EXPECT_EQ(window->project().traces1, mirroredRecord);
    window->undoEdit();
    expect("flip undone: the trace comes back", original, traced);
    EXPECT_EQ(window->project().traces1, record);
    window->redoEdit();
    expect("flip redone", flipped, traced.mirrored(true, false));
    EXPECT_EQ(window->project().traces1, mirroredRecord);
    window->undoEdit();
    traces()->lstTrace1->item(0)->setSelected(true);
    QTest::keyClick(traces()->lstTrace1, Qt::Key_Delete);
    expect("erased by replaying the record", original, original);
    window->undoEdit();
    expect("erase undone", original, traced);
    window->redoEdit();
    expect("erase redone", original, original);
    window->undoEdit();
    window->undoEdit();
    expect("fill undone", original, original);
    window->project().traces1 = {"1-30-40-4210752=255-0.1-0.1"};
    traces()->cmdDraw->click();
    expect("drawn again", original, traced);
}

TEST_F(Tracing, TheCheckDrawsKeptTracesGoesToAFindingAndNamesTheSuggestedPadsInOneStep) {
    // Pad 1 (A) and pad 2 (unnamed) on the first copper area, pad 3 (B) on the second; one kept trace
    // on each area, not drawn at open.
    std::string pads;
    for (const auto& [n, net, x, y] :
         {std::tuple{1, "A", 22, 32}, std::tuple{2, "", 100, 45}, std::tuple{3, "B", 160, 110}}) {
        pads += "[Pad" + std::to_string(n) + "]\r\nPadName=1\r\nNetName=" + net + "\r\nCompName=U" +
                std::to_string(n) + "\r\n1Pad=" + std::to_string(x) + "," + std::to_string(y) +
                "\r\n2Pad=0,0\r\n";
    }
    ui.messageAnswers = {MsgResult::No};
    openProject(pads +
                "[TraceSection]\r\n1-30-40-4210752=255-0.1-0.1\r\n1-160-110-4210752=65280-0.1-0.1\r\n");
    EXPECT_EQ(pixel(1, 30, 40), kCopper);
    item("mnuCheck")->trigger();
    EXPECT_EQ(std::pair(pixel(1, 30, 40), pixel(1, 160, 110)), std::pair(kRed, 65280)) << "drawn first";
    CheckWindow* check = window->nets().checkWindow();
    ASSERT_TRUE(check->isVisible());
    EXPECT_EQ(CheckWindow::FindingTexts(check->report()).join('|').toStdString(),
              "Suggestion: pad 2 \u2192 A");

    // A finding outlines its pads and brings the cursors to the first.
    check->findings()->setCurrentRow(0);
    emit check->findingChosen({2});
    EXPECT_EQ(window->nets().panel()->highlightedPads(), std::vector<int>{2});
    EXPECT_EQ(std::pair(window->project().shownCursors.cur1Left, window->project().shownCursors.cur1Top),
              std::pair(100.0, 45.0));

    check->nameSuggestedButton()->click();
    EXPECT_EQ(window->project().pads.namesOf(2).net, "A");
    EXPECT_EQ(window->project().history().undoText(), "name 1 pad");
    EXPECT_TRUE(check->report().suggestions.empty()) << "checked again";
    window->undoEdit();
    EXPECT_EQ(window->project().pads.namesOf(2).net, "");
}

TEST_F(Tracing, ClosingDuringAFillStopsItAsksAndThenCloses) {
    window->show();
    window->tracing().FillEventIntervalMs = 0;  // hand control over at every checkpoint
    bool closedOnce = false;
    ui.duringEvents = [&] {
        if (!closedOnce) {
            closedOnce = true;
            window->close();  // reached at the fill's first checkpoint
            EXPECT_TRUE(window->isVisible());
        }
    };
    answerNextQuestion(true, [this] {
        ui.duringEvents = {};
        window->close();  // while the question is open the close waits for the answer
        EXPECT_TRUE(window->isVisible());
    });
    ui.messageAnswers = {MsgResult::No};                               // the save prompt of the close
    window->pictureMouseUp(1, Qt::LeftButton, Qt::AltModifier, 5, 0);  // the grey: its first span ends at 0
    EXPECT_TRUE(asked);
    EXPECT_EQ(pixel(1, 5, 5), kGrey) << "stopped at the first checkpoint";
    EXPECT_EQ(window->project().traces1.size(), 1u) << "the partial fill was kept";
    EXPECT_TRUE(window->isVisible()) << "the close comes after the fill has ended";
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(ui.count("message"), 1) << "the save prompt";
}

}  // namespace
}  // namespace korvane
