// What the main window does with mouse and key events on its two picture panes, and the cursor
// synchronisation they drive.

#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <map>

#include "app/MainWindow.h"
#include "pads/PadPropertiesDialog.h"
#include "platform/Ui.h"
#include "project/CursorCommands.h"
#include "text/Numbers.h"
#include "view/OverlayBar.h"
#include "view/Panes.h"
#include "view/PictureBox.h"
#include "view/ScaleWizardWindow.h"

namespace korvane {

void MainWindow::connectPanes() {
    PictureBox* p1 = panes_->P1();
    PictureBox* p2 = panes_->P2();
    for (auto [box, picture] : {std::pair{p1, 1}, std::pair{p2, 2}}) {
        connect(box, &PictureBox::mouseDown, this,
                [this, picture](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
                    pictureMouseDown(picture, button, shift, x, y);
                });
        connect(box, &PictureBox::mouseMove, this,
                [this, picture](Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y) {
                    pictureMouseMove(picture, buttons, shift, x, y);
                });
        connect(box, &PictureBox::mouseUp, this,
                [this, picture](Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
                    pictureMouseUp(picture, button, shift, x, y);
                });
        connect(box, &PictureBox::doubleClicked, this,
                [this](Qt::KeyboardModifiers shift, int, int) { pictureDoubleClicked(shift); });
    }
    connect(panes_, &Panes::paneMouseUp, this, &MainWindow::paneMouseUp);
    // Away from 1:1 the second picture follows the first as the cursors' mapping pairs their points.
    panes_->setPointMaps(
        [this](ViewPoint p) {
            if (project_.alignment) {
                const AffineMap::Point to = project_.alignment->map.map(p.x, p.y);
                return ViewPoint{to.x, to.y};
            }
            const CursorSyncState& c = project_.cursors;
            return ViewPoint{c.cur2Left + (p.x - c.cur1Left) * c.CursorScaleX,
                             c.cur2Top + (p.y - c.cur1Top) * c.CursorScaleY};
        },
        [this](ViewPoint p) {
            if (const auto back = project_.alignment ? project_.alignment->map.inverse() : std::nullopt) {
                const AffineMap::Point to = back->map(p.x, p.y);
                return ViewPoint{to.x, to.y};
            }
            const CursorSyncState& c = project_.cursors;
            const auto inverse = [](float scale) { return scale != 0 ? 1.0 / scale : 1.0; };
            return ViewPoint{c.cur1Left + (p.x - c.cur2Left) * inverse(c.CursorScaleX),
                             c.cur1Top + (p.y - c.cur2Top) * inverse(c.CursorScaleY)};
        });
    auto* zoomShown = new QLabel(this);
    zoomShown->setObjectName(QStringLiteral("zoomLabel"));
    statusBar()->addPermanentWidget(zoomShown);
    const auto showZoom = [zoomShown](double zoom) {
        zoomShown->setText(QStringLiteral("Zoom %1 %").arg(zoom * 100, 0, 'f', zoom < 0.1 ? 1 : 0));
    };
    connect(panes_, &Panes::zoomChanged, zoomShown, showZoom);
    showZoom(panes_->zoom());
    statusBar()->addPermanentWidget(new OverlayBar(*panes_, this));
    if (QAction* overlay = menu_->action(QStringLiteral("mnuOverlay"))) {
        overlay->setCheckable(true);
        connect(overlay, &QAction::toggled, panes_, &Panes::setOverlay);
        connect(panes_, &Panes::overlayChanged, overlay, &QAction::setChecked);
    }
    // Keys reach the navigation from MainWindow's own widgets only, never from the tool windows' fields. The
    // window itself is one of them: it takes the keys while none of its widgets holds the focus.
    for (QObject* widget :
         {static_cast<QObject*>(this), static_cast<QObject*>(panes_), static_cast<QObject*>(panes_->pic1()),
          static_cast<QObject*>(panes_->pic2()), static_cast<QObject*>(p1), static_cast<QObject*>(p2)}) {
        widget->installEventFilter(this);
    }
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (handleKey(key->key(), key->modifiers())) {
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool MainWindow::handleKey(int key, Qt::KeyboardModifiers modifiers) {
    // Esc stops a running fill before it clears a highlighted net.
    if (!tracing_->FillRunning && nets_->handleKey(key, modifiers)) {
        return true;
    }
    // The navigation speaks the classic virtual key codes.
    static const std::map<int, int> kKeyCodes = {
        {Qt::Key_Escape, 27}, {Qt::Key_PageUp, 33}, {Qt::Key_PageDown, 34},
        {Qt::Key_End, 35},    {Qt::Key_Home, 36},   {Qt::Key_Left, 37},
        {Qt::Key_Up, 38},     {Qt::Key_Right, 39},  {Qt::Key_Down, 40}};
    const auto found = kKeyCodes.find(key);
    if (found == kKeyCodes.end()) {
        return false;
    }
    const int code = found->second;
    const Qt::KeyboardModifiers held = modifiers & ~Qt::KeypadModifier;
    const KeyOutcome outcome =
        panes_->handleKey(code, held.testFlag(Qt::ShiftModifier), held.testFlag(Qt::ControlModifier),
                          held.testFlag(Qt::AltModifier), tracing_->FillRunning);
    if (outcome == KeyOutcome::StopFill) {
        tracing_->stopFill();
        ui_.beep();
    }
    return true;
}

void MainWindow::PaneFollower::cursorsChanged() {
    window_.cursors_->showSyncState();
    window_.panes_->mappingChanged();
}

void MainWindow::pictureMouseMove(int picture, Qt::MouseButtons buttons, Qt::KeyboardModifiers, int x,
                                  int y) {
    cursors_->dragOn(picture, buttons, x, y);
}

void MainWindow::pictureMouseDown(int picture, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                  int y) {
    pads_->tool().picturePressed(shift);
    cursors_->dragOn(picture, button, x, y);
    PictureBox* box = picture == 1 ? panes_->P1() : panes_->P2();
    if (const auto picked = colourPick_.press([box, x, y] { return box->pixel(x, y); })) {
        tracing_->FillColor = *picked;
    }
}

void MainWindow::pictureMouseUp(int picture, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x,
                                int y) {
    cursors_->release();
    if (button == Qt::RightButton) {
        if (QMenu* edit = menu_->menu(QStringLiteral("mnuEdit")); edit != nullptr && edit->isEnabled()) {
            edit->popup(QCursor::pos());
        }
        return;
    }
    if (const auto fill = FillTool::released(picture, shift.testFlag(Qt::AltModifier), x, y)) {
        tracing_->altClickFill(fill->picture, fill->x, fill->y);
    }
}

void MainWindow::paneMouseUp(int, Qt::MouseButton button, QPoint globalPos) {
    if (button == Qt::RightButton) {
        menu_->menu(QStringLiteral("mnuFile"))->popup(globalPos);
    }
}

}  // namespace korvane
