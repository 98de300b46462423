#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QTableWidget>
#include <QTest>
#include <QToolTip>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>

#include "BoardWindow.h"
#include "pads/PadPropertiesDialog.h"
#include "platform/QtText.h"
#include "platform/tooltiptext.h"
#include "view/AlignmentWindow.h"
#include "view/ScaleWizardWindow.h"

namespace korvane {
namespace {

// The mapping, the scroll ranges and the key steps have model tests of their own; these check that the
// window routes its events to them and shows the result.
class PicturePanes : public BoardWindow {
  protected:
    void SetUp() override {
        BoardWindow::SetUp();
        reopen();
        window->tick();  // the first tick enables the project menus
    }
    Panes* panes() const { return window->panes(); }
    PictureBox* p1() const { return panes()->P1(); }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(window->windowHandle(), key, modifiers);
    }
    // Both pictures always share the bars' offset.
    void expectOneOffset() {
        EXPECT_EQ(p1()->pos(), QPoint(-panes()->HS().Value(), -panes()->VS().Value()));
        EXPECT_EQ(panes()->P2()->pos(), p1()->pos());
    }
    void expectCursors(double x1, double y1, double x2, double y2) {
        const ShownCursors& c = window->project().shownCursors;
        EXPECT_EQ((std::vector<double>{c.cur1Left, c.cur1Top, c.cur2Left, c.cur2Top}),
                  (std::vector<double>{x1, y1, x2, y2}));
        EXPECT_EQ(p1()->cursorLeft(), x1) << "the picture draws the cursor where it stands";
        EXPECT_EQ(panes()->P2()->cursorTop(), y2);
    }
    // The item's own state: the Edit menu around it is disabled while no project is open.
    bool submenuEnabled() { return window->menus().ownEnabled(QStringLiteral("mnuSelectPoint")); }
    PadPropertiesDialog& dialog() const { return *window->pads().padDialog(); }
    const PadMarker& marker(int n) const { return *dialog().board().markers.Pad1.get(n); }
    // Ctrl + one notch of the wheel at a point of the first pane.
    void wheelZoom(QPoint inPane, int notches) {
        const QPointF at = panes()->pic1()->mapTo(panes(), QPointF(inPane));
        QWheelEvent wheel(at, panes()->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(panes(), &wheel);
    }
    void askForTip(QWidget* widget, QPoint p) {
        QHelpEvent request(QEvent::ToolTip, p, widget->mapToGlobal(p));
        QApplication::sendEvent(widget, &request);
    }
};

TEST_F(PicturePanes, KeysScrollBothPicturesWithinBarsThatFollowThePanes) {
    showActive(170, 260);
    EXPECT_EQ(panes()->hsBar()->maximum(), panes()->HS().Max()) << "the bar shows the range";
    ASSERT_GE(panes()->HS().SmallChange(), 1);
    // Nothing of the window holds the focus (as after a window manager activated it without one).
    if (QWidget* focus = QApplication::focusWidget()) {
        focus->clearFocus();
    }
    press(Qt::Key_Right);
    press(Qt::Key_Down);
    press(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(panes()->HS().Value(), panes()->HS().SmallChange() + panes()->HS().LargeChange());
    EXPECT_EQ(panes()->VS().Value(), panes()->VS().SmallChange());
    expectOneOffset();
    if (QWidget* focus = QApplication::focusWidget()) {
        focus->clearFocus();
    }
    reopen();
    EXPECT_EQ(QApplication::focusWidget(), panes()->pic1()) << "an opened project takes the keys at once";
    press(Qt::Key_End);
    EXPECT_EQ(QPoint(panes()->HS().Value(), panes()->VS().Value()),
              QPoint(panes()->HS().Max(), panes()->VS().Max()));
    expectOneOffset();
    EXPECT_EQ(QApplication::focusWidget(), panes()->pic1()) << "the focus never moves to a bar";
    // Esc stops a running fill with one beep; without a fill it does nothing.
    press(Qt::Key_Escape);
    window->tracing().FillRunning = true;
    press(Qt::Key_Escape);
    EXPECT_FALSE(window->tracing().FillRunning);
    press(Qt::Key_Escape);
    EXPECT_EQ(ui.count("beep"), 1);
    // Enlarged beyond both pictures while scrolled to the end: the bars pin and the offset follows.
    window->resize(900, 800);
    QApplication::processEvents();
    ASSERT_GT(panes()->pic2()->width(), 320);
    EXPECT_EQ(panes()->HS().Min(), panes()->HS().Max());
    EXPECT_EQ(panes()->HS().Value(), 320 - panes()->pic2()->width());
    expectOneOffset();
}

TEST_F(PicturePanes, DraggingOnePictureMovesTheOtherCursorByTheScaledDisplacement) {
    window->project().cursors.CursorScaleX = 2, window->project().cursors.CursorScaleY = 3;
    window->project().shownCursors = {10, 10, 50, 60, 10, 10, 50, 60};
    window->pictureMouseDown(1, Qt::LeftButton, Qt::NoModifier, 15, 12);
    expectCursors(15, 12, 60, 66);
    window->pictureMouseMove(2, Qt::LeftButton, Qt::NoModifier, 74, 72);
    expectCursors(22, 14, 74, 72);
    window->pictureMouseMove(1, Qt::NoButton, Qt::NoModifier, 200, 150);
    window->pictureMouseDown(1, Qt::RightButton, Qt::NoModifier, 100, 100);
    expectCursors(22, 14, 74, 72);
    EXPECT_FALSE(window->cursors().drag().held());
    window->cursors().scaleOneToOne();
    expectCursors(22, 14, 22, 14);
    // Undone, the window shows cursor 2 where it was and maps with the old scales again.
    window->project().undo();
    expectCursors(22, 14, 74, 72);
    window->pictureMouseDown(1, Qt::LeftButton, Qt::NoModifier, 23, 15);
    expectCursors(23, 15, 76, 75);
    // The window maps from the unrounded cursors: a slow drag does not drift, and coming back restores.
    window->project().cursors.CursorScaleX = 1.04f;
    window->pictureMouseDown(1, Qt::LeftButton, Qt::NoModifier, 23, 15);
    for (int d = 2; d <= 100; d += 2) {
        window->pictureMouseMove(1, Qt::LeftButton, Qt::NoModifier, 23 + d, 15);
    }
    EXPECT_EQ(window->project().shownCursors.cur2Left, 180) << "76 + 1.04 * 100, on whole pixels";
    window->pictureMouseMove(1, Qt::LeftButton, Qt::NoModifier, 23, 15);
    expectCursors(23, 15, 76, 75);
}

TEST_F(PicturePanes, WizardMeasuresTheScaleFromTwoPairsOfPoints) {
    ScaleWizardWindow* wizard = window->cursors().wizard();
    const auto texts = [wizard] {
        return QStringList{wizard->windowTitle(), wizard->cmdNext()->text(), wizard->cmdCancel()->text(),
                           wizard->instruction()->text()}
            .join('|');
    };
    window->cursors().startScaleWizard();
    EXPECT_TRUE(wizard->isVisible());
    EXPECT_EQ(
        texts(),
        "Moving synchronization:|Next|&Cancel|1. Place point 2 in according to point 1 and click \"Next\"");
    EXPECT_FALSE(submenuEnabled());
    EXPECT_TRUE(window->project().saved()) << "opening it changes nothing; its result is the edit";
    // While the wizard is open each drag moves only its own picture's cursor.
    window->pictureMouseDown(1, Qt::LeftButton, Qt::NoModifier, 100, 80);
    window->pictureMouseDown(2, Qt::LeftButton, Qt::NoModifier, 130, 95);
    expectCursors(100, 80, 130, 95);
    wizard->cmdNext()->click();
    EXPECT_EQ(
        texts(),
        "Moving synchronization:|Done|&Cancel|2. Place point 4 in according to point 3 and click \"Done\"");
    window->pictureMouseDown(1, Qt::LeftButton, Qt::NoModifier, 600, 480);
    window->pictureMouseDown(2, Qt::LeftButton, Qt::NoModifier, 1130, 895);
    wizard->cmdNext()->click();
    EXPECT_EQ(window->project().cursors.CursorScaleX, 2);
    EXPECT_EQ(window->project().cursors.CursorScaleY, 2);
    EXPECT_EQ(window->project().history().count(), 1u);
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_TRUE(submenuEnabled());
    // Reopened, it waits for the first pair again; Cancel keeps the scales.
    window->cursors().startScaleWizard();
    EXPECT_EQ(wizard->cmdNext()->text(), "Next");
    wizard->cmdNext()->click();
    window->pictureMouseDown(1, Qt::LeftButton, Qt::NoModifier, 700, 700);
    wizard->cmdCancel()->click();
    EXPECT_EQ(window->project().cursors.CursorScaleX, 2);
    EXPECT_EQ(window->project().history().count(), 1u) << "a cancelled calibration is no step";
    EXPECT_TRUE(submenuEnabled());
    // Closing the project ends a calibration that belongs to it.
    window->cursors().startScaleWizard();
    ui.messageAnswers = {MsgResult::No};
    window->session().closeProject();
    EXPECT_FALSE(window->cursors().wizardOpen());
    EXPECT_FALSE(wizard->isVisible());
    EXPECT_TRUE(submenuEnabled());
}

TEST_F(PicturePanes, DoubleClickPlacesAPadWhoseMarkerTipsAndDragsBehaveAsShown) {
    showActive(700, 700);
    QTest::mouseDClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       p1()->mapTo(window.get(), QPoint(40, 40)));
    ASSERT_EQ(dialog().board().markers.highest(), 1);
    EXPECT_EQ(marker(1).left, 40);
    EXPECT_EQ(marker(1).top, 40);
    EXPECT_TRUE(dialog().isVisible());
    dialog().hide();
    ASSERT_EQ(window->project().shownCursors.cur1Left, 40);
    p1()->setCursorVisible(true);  // the blink's visible half
    const QImage shown = p1()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(40, 40), QColor(Qt::black)) << "the cursor's outline lies on the marker";
    EXPECT_EQ(shown.pixelColor(41, 41), QColor(Qt::white));
    const QPalette ordinary = QToolTip::palette();
    QTest::mouseMove(p1(), QPoint(42, 42));
    const std::string description = tooltiptext::PlainTipHtml(toQ(marker(1).toolTipText), 300).toStdString();
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text().toStdString(), description);
    // Qt's own request a moment later, on the marker and on the bare picture: the pane does not answer.
    askForTip(p1(), QPoint(42, 42));
    askForTip(p1(), QPoint(150, 150));
    EXPECT_EQ(QToolTip::text().toStdString(), description);
    // The pane's own tip on the pane around the picture, in the ordinary colours.
    const QPoint bare = p1()->geometry().bottomRight() + QPoint(5, 5);
    ASSERT_TRUE(panes()->pic1()->rect().contains(bare));
    askForTip(panes()->pic1(), bare);
    ASSERT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text().toStdString(), "First picture");
    for (QWidget* tip : QApplication::topLevelWidgets()) {
        if (tip->inherits("QTipLabel") && tip->isVisible()) {
            EXPECT_EQ(tip->palette().color(QPalette::ToolTipBase), ordinary.color(QPalette::ToolTipBase));
        }
    }
    QToolTip::hideText();
    // A drag crosses the marker and ends on it.
    const int value = marker(1).value;
    QTest::mousePress(p1(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 44));
    for (int x : {30, 43, 60, 44}) {
        QTest::mouseMove(p1(), QPoint(x, 44));
        expectCursors(x, 44, x, 44);
    }
    QTest::mouseRelease(p1(), Qt::LeftButton, Qt::NoModifier, QPoint(44, 44));
    EXPECT_FALSE(window->cursors().drag().held());
    EXPECT_EQ(marker(1).value, value) << "the release ended the drag, it was no click on the marker";
    EXPECT_FALSE(dialog().isVisible());
}

TEST_F(PicturePanes, ZoomKeepsThePointUnderThePointerAndTheMouseOnPicturePixelsAndMarkers) {
    showActive(300, 400);
    const QPoint pointer(60, 40);
    for (int notches : {1, 2, 3, -1, -2}) {
        const ViewPoint held = panes()->view(1).toPicture({double(pointer.x()), double(pointer.y())});
        wheelZoom(pointer, notches);
        const ViewPoint shown = panes()->view(1).toPane(held);
        SCOPED_TRACE(::testing::Message() << "zoom " << panes()->zoom());
        EXPECT_LE(std::abs(shown.x - pointer.x()), 0.5);
        EXPECT_LE(std::abs(shown.y - pointer.y()), 0.5);
        EXPECT_EQ(p1()->size(),
                  QSize(DisplayedExtent(300, panes()->zoom()), DisplayedExtent(200, panes()->zoom())));
    }
    EXPECT_DOUBLE_EQ(panes()->zoom(), std::sqrt(8.0));
    EXPECT_EQ(window->findChild<QLabel*>(QStringLiteral("zoomLabel"))->text(), "Zoom 283 %");
    // A marker is hit where it is drawn, the same size on screen at every zoom; a press beside it lands on
    // the picture pixel under it.
    panes()->actualPixels();
    panes()->setHSValue(0), panes()->setVSValue(0);
    QTest::mouseClick(p1(), Qt::LeftButton, Qt::NoModifier, QPoint(41, 30));
    window->pads().tool().doubleClicked(Qt::NoModifier);
    ASSERT_EQ(dialog().board().markers.highest(), 1);
    dialog().hide();
    const struct {
        double zoom;
        QPoint picturePixel;  // under the marker's corner + (24, 40)
    } cases[] = {{kMinZoom, {}}, {0.25, {136, 188}}, {1, {65, 70}}, {kMaxZoom, {41, 31}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "zoom " << c.zoom);
        panes()->zoomAbout(1, 1, QPointF(0, 0));
        panes()->setHSValue(0), panes()->setVSValue(0);
        panes()->zoomAbout(c.zoom, 1, QPointF(41, 30));
        const QRect box = p1()->markerRect(marker(1));
        EXPECT_EQ(box.size(), QSize(PictureBox::kCursorSize, PictureBox::kCursorSize));
        EXPECT_EQ(p1()->markerAt(box.right(), box.bottom()), 1);
        EXPECT_EQ(p1()->markerAt(box.right() + 1, box.bottom()), 0);
        window->pads().deselectAllPads();
        QTest::mouseClick(p1(), Qt::LeftButton, Qt::NoModifier, box.center());
        EXPECT_EQ(marker(1).value, 1) << "the click reached the marker and selected it";
        if (c.zoom > kMinZoom) {
            QTest::mouseClick(p1(), Qt::LeftButton, Qt::NoModifier, box.topLeft() + QPoint(24, 40));
            const ShownCursors& cursors = window->project().shownCursors;
            EXPECT_EQ(QPoint(int(cursors.cur1Left), int(cursors.cur1Top)), c.picturePixel);
        }
    }
    // Ctrl + drag at 4x: the marker is dropped on the whole picture pixel under its new corner.
    panes()->zoomAbout(1, 1, QPointF(0, 0));
    panes()->setHSValue(0), panes()->setVSValue(0);
    panes()->zoomAbout(4, 1, QPointF(41, 30));
    const QPoint grab = p1()->markerRect(marker(1)).topLeft() + QPoint(2, 2);
    QTest::mousePress(p1(), Qt::LeftButton, Qt::ControlModifier, grab);
    QTest::mouseMove(p1(), grab + QPoint(9, 22));
    QTest::mouseRelease(p1(), Qt::LeftButton, Qt::ControlModifier, grab + QPoint(9, 22));
    EXPECT_EQ(marker(1).left, 41 + 2) << "9 displayed pixels are 2.25 picture pixels";
    EXPECT_EQ(marker(1).top, 30 + 6) << "22 are 5.5, rounded half to even";
}

TEST_F(PicturePanes, MiddleDragPansAndTheSecondPictureFollowsTheMappingAwayFromOneToOne) {
    showActive(170, 260);
    window->project().cursors.CursorScaleX = 1.5, window->project().cursors.CursorScaleY = 1;
    window->project().cursors.cur1Left = 10, window->project().cursors.cur2Left = 20;
    panes()->zoomAbout(4, 1, QPointF(0, 0));
    const ViewTransform before = panes()->view(1);
    const QPoint from(80, 60);
    QTest::mousePress(p1(), Qt::MiddleButton, Qt::NoModifier, from);
    QTest::mouseMove(p1(), from - QPoint(30, 20));
    QTest::mouseRelease(p1(), Qt::MiddleButton, Qt::NoModifier, from - QPoint(30, 20));
    EXPECT_EQ(panes()->view(1).originX, before.originX + 30);
    EXPECT_EQ(panes()->view(1).originY, before.originY + 20);
    EXPECT_EQ(window->project().history().count(), 0u) << "panning moves no cursor";
    // The middle of the second pane shows the point the mapping pairs with the first pane's middle.
    const QWidget* pane1 = panes()->pic1();
    const QWidget* pane2 = panes()->pic2();
    const ViewPoint middle1 = panes()->view(1).toPicture({pane1->width() / 2.0, pane1->height() / 2.0});
    const ViewPoint middle2 = panes()->view(2).toPicture({pane2->width() / 2.0, pane2->height() / 2.0});
    EXPECT_NEAR(middle2.x, 20 + (middle1.x - 10) * 1.5, 0.5);
    EXPECT_NEAR(middle2.y, middle1.y, 0.5);
    panes()->actualPixels();
    expectOneOffset();
}

TEST_F(PicturePanes, APictureWiderThanTheBarsCountOpensAndScrollsEndToEnd) {
    QImage wide(40000, 2000, QImage::Format_RGB32);
    wide.fill(Qt::darkGreen);
    ASSERT_TRUE(wide.save(QString::fromStdString(top), "PNG", 90));  // read by content, whatever its name
    reopen();
    showActive(400, 300);
    EXPECT_EQ(p1()->size(), QSize(40000, 2000));
    press(Qt::Key_End);
    EXPECT_EQ(p1()->x() + p1()->width(), panes()->pic1()->width()) << "the far end shows";
    press(Qt::Key_Home);
    EXPECT_EQ(p1()->pos(), QPoint(0, 0));
    panes()->zoomAbout(kMaxZoom, 1, QPointF(0, 0));
    press(Qt::Key_End);
    EXPECT_EQ(p1()->x() + p1()->width(), panes()->pic1()->width());
}

TEST_F(PicturePanes, OverlayBlendsTheSecondLayerMappedOntoTheFirstWithItsPads) {
    showActive(400, 400);
    QImage red(320, 210, QImage::Format_RGB32);
    red.fill(Qt::red);
    panes()->P2()->setPicture(red);
    // The mapping puts the second layer 10 pixels further right; the pad's second marker lies 10 more.
    window->project().cursors.cur1Left = 31, window->project().cursors.cur2Left = 21;
    window->project().shownCursors.cur1Left = 31, window->project().shownCursors.cur2Left = 41;
    window->pads().tool().doubleClicked(Qt::NoModifier);
    dialog().hide();
    press(Qt::Key_L, Qt::ControlModifier);
    ASSERT_TRUE(panes()->overlay());
    EXPECT_FALSE(panes()->pic2()->isVisible());
    EXPECT_GT(panes()->pic1()->height(), panes()->height() / 2) << "one pane over the whole height";
    panes()->fitPictures();
    EXPECT_DOUBLE_EQ(panes()->zoom(), FitZoom(300, 200, panes()->pic1()->width(), panes()->pic1()->height()));
    panes()->actualPixels();
    auto shown = [this](QPoint at) {
        p1()->setCursorVisible(false);
        return p1()->grab().toImage().pixelColor(at);
    };
    const QColor green = QColor(Qt::darkGreen);
    EXPECT_EQ(shown({5, 100}), green) << "left of where the second layer begins";
    const QColor blend = shown({100, 100});
    EXPECT_NEAR(blend.red(), 127, 2);
    EXPECT_NEAR(blend.green(), green.green() / 2, 2);
    auto* opacity = window->findChild<QSlider*>(QStringLiteral("overlayOpacity"));
    ASSERT_NE(opacity, nullptr);
    opacity->setValue(100);
    EXPECT_EQ(shown({100, 100}), QColor(Qt::red));
    press(Qt::Key_S);
    EXPECT_EQ(shown({100, 100}), green) << "the first layer on top";
    const PadMarker& second = *dialog().board().markers.Pad2.get(1);
    EXPECT_EQ(shown({51 + 4, int(second.top) + 4}), tooltiptext::PackedColour(second.backColour))
        << "the second marker where the mapping puts it";
    press(Qt::Key_L, Qt::ControlModifier);
    EXPECT_FALSE(panes()->overlay());
    EXPECT_TRUE(panes()->pic2()->isVisible());
    expectOneOffset();
}

TEST_F(PicturePanes, AlignLayersCollectsPairsShowsTheirFitAndAppliesItAsOneStep) {
    window->cursors().startAlignment();
    AlignmentWindow* aligner = window->cursors().aligner();
    ASSERT_TRUE(aligner->isVisible());
    EXPECT_FALSE(aligner->cmdApply()->isEnabled()) << "nothing to apply yet";
    const auto addPairs = [this, aligner] {
        const double pairs[][4] = {{10, 10, 30, 25}, {200, 10, 220, 24}, {10, 150, 31, 166}};
        for (const auto& p : pairs) {
            window->project().shownCursors.cur1Left = p[0], window->project().shownCursors.cur1Top = p[1];
            window->project().shownCursors.cur2Left = p[2], window->project().shownCursors.cur2Top = p[3];
            aligner->addCursors();
        }
    };
    addPairs();
    window->pictureMouseDown(1, Qt::LeftButton, Qt::NoModifier, 50, 60);
    EXPECT_EQ(window->project().shownCursors.cur2Left, 31) << "while it is open each cursor moves alone";
    ASSERT_EQ(aligner->table()->rowCount(), 3);
    EXPECT_EQ(aligner->table()->item(1, 1)->text(), "220, 24");
    EXPECT_EQ(aligner->table()->item(1, 2)->text(), "0.00") << "three pairs fit exactly";
    EXPECT_EQ(aligner->summary()->text(), "3 pairs, RMS 0.00 px.");
    aligner->cancel();
    EXPECT_EQ(window->project().history().count(), 0u) << "Cancel changes nothing";
    window->cursors().startAlignment();
    EXPECT_EQ(aligner->table()->rowCount(), 0) << "the project still has no alignment";
    addPairs();
    aligner->cmdApply()->click();
    EXPECT_FALSE(aligner->isVisible());
    EXPECT_EQ(window->project().history().undoText(), "align layers");
    ASSERT_TRUE(window->project().alignment);
    EXPECT_EQ(window->project().alignment->pairs.size(), 3u);
    window->project().undo();
    EXPECT_FALSE(window->project().alignment);
    // The flat test pictures have no drill holes: the window says so and keeps its pairs.
    window->cursors().startAlignment();
    addPairs();
    QSignalSpy finished(aligner, &AlignmentWindow::autoFinished);
    aligner->cmdAuto()->click();
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_TRUE(aligner->summary()->text().startsWith("No alignment found: "))
        << aligner->summary()->text().toStdString();
    EXPECT_EQ(aligner->table()->rowCount(), 3);
    EXPECT_EQ(ui.count("busy"), 2) << "a busy pointer while it looked";
    EXPECT_EQ(ui.busyDepth(), 0);
    aligner->applyAlignment();
    ASSERT_TRUE(window->project().alignment);
    ui.messageAnswers = {MsgResult::No};
    window->session().closeProject();
    EXPECT_FALSE(window->project().alignment) << "it belonged to the project that closed";
}

}  // namespace
}  // namespace korvane
