#include "app/CursorController.h"

#include "app/MainWindow.h"
#include "project/CursorCommands.h"
#include "project/Project.h"
#include "view/Panes.h"
#include "view/PictureBox.h"
#include "view/ScaleWizardWindow.h"

namespace korvane {

CursorController::CursorController(MainWindow& window, Project& project)
    : window_(window), project_(project) {
    wizard_ = new ScaleWizardWindow(
        &window, [this] { return syncState(); },
        [this](float scaleX, float scaleY) {
            project_.execute(MakeScaleCommand(syncState(), scaleX, scaleY));
        });
    // Opening the wizard changes nothing yet: the scales it measures on "Done" are the edit.
    QObject::connect(wizard_, &ScaleWizardWindow::opened, &window, [this] {
        calibration_.opened();
        window_.menus().setEnabled(QStringLiteral("mnuSelectPoint"), false);
    });
    QObject::connect(wizard_, &ScaleWizardWindow::closed, &window, [this] {
        calibration_.closed();
        window_.menus().setEnabled(QStringLiteral("mnuSelectPoint"), true);
    });
}

CursorController::~CursorController() {
    // A child of the main window, but it calls back into this controller: it goes with it.
    delete wizard_;
}

void CursorController::home() {
    project_.cursors.CursorScaleX = 1;
    project_.cursors.CursorScaleY = 1;
    ShownCursors& shown = project_.shownCursors;
    shown.cur1Left = shown.cur1Top = 1;
    shown.cur2Left = shown.cur2Top = 1;
    cursorsPlaced();
}

void CursorController::tick(bool buttonHeld) {
    visible_ = !visible_;
    window_.panes()->P1()->setCursorVisible(visible_);
    window_.panes()->P2()->setCursorVisible(visible_);
    // A release can be lost while a dialog opened during a drag; trust the buttons as they are now.
    if (drag_.stillHeld(buttonHeld)) {
        autoScroll();
    }
}

void CursorController::autoScroll() {
    if (window_.projectOpen()) {
        const ShownCursors& shown = project_.shownCursors;
        window_.panes()->AutoPos(shown.cur1Left, shown.cur1Top, shown.cur2Left, shown.cur2Top);
    }
}

CursorSyncState CursorController::syncState() const {
    return Reconcile(project_.cursors, project_.shownCursors);
}

void CursorController::applySyncState(const CursorSyncState& state) {
    project_.cursors = state;
    showSyncState();
}

void CursorController::showSyncState() {
    project_.shownCursors = Shown(project_.cursors);
    showCursors();
}

void CursorController::cursorsPlaced() {
    const ShownCursors& shown = project_.shownCursors;
    CursorSyncState& exact = project_.cursors;
    exact.OldX1 = shown.OldX1;
    exact.OldY1 = shown.OldY1;
    exact.OldX2 = shown.OldX2;
    exact.OldY2 = shown.OldY2;
    exact.cur1Left = shown.cur1Left;
    exact.cur1Top = shown.cur1Top;
    exact.cur2Left = shown.cur2Left;
    exact.cur2Top = shown.cur2Top;
    showCursors();
}

void CursorController::showCursors() {
    const ShownCursors& shown = project_.shownCursors;
    window_.panes()->P1()->setCursorPos(shown.cur1Left, shown.cur1Top);
    window_.panes()->P2()->setCursorPos(shown.cur2Left, shown.cur2Top);
}

void CursorController::dragOn(int picture, Qt::MouseButtons buttons, int x, int y) {
    CursorSyncState state = syncState();
    if (drag_.drag(state, picture, buttons.testFlag(Qt::LeftButton), x, y, calibration_.open())) {
        applySyncState(state);
    }
}

void CursorController::scaleOneToOne() {
    if (window_.projectOpen()) {
        project_.execute(MakeScaleOneToOneCommand(syncState()));
    }
}

void CursorController::resetCursorScale() {
    CursorSyncState state = syncState();
    ResetScale(state);
    applySyncState(state);
}

void CursorController::startScaleWizard() {
    if (calibration_.mayStart(window_.projectOpen())) {
        wizard_->start();
    }
}

void CursorController::cancelScaleWizard() {
    wizard_->cancel();
}

}  // namespace korvane
