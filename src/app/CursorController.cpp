#include "app/CursorController.h"

#include "app/MainWindow.h"
#include "pads/PadPropertiesDialog.h"
#include "platform/Ui.h"
#include "project/CursorCommands.h"
#include "project/Project.h"
#include "view/AlignmentWindow.h"
#include "view/Panes.h"
#include "view/PictureBox.h"
#include "view/ScaleWizardWindow.h"

namespace korvane {

CursorController::CursorController(MainWindow& window, Project& project)
    : window_(window), project_(project) {
    wizard_ = new ScaleWizardWindow(
        &window, [this] { return syncState(); },
        [this](float scaleX, float scaleY) {
            project_.execute(MakeScaleCommand(project_, syncState(), scaleX, scaleY));
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
    // Children of the main window, but they call back into this controller: they go with it.
    delete wizard_;
    delete aligner_;
}

void CursorController::startAlignment() {
    if (!window_.projectOpen() || window_.busy()) {
        return;
    }
    if (aligner_ == nullptr) {
        AlignmentWindow::Hooks hooks;
        hooks.current = [this] { return project_.alignment; };
        hooks.cursors = [this] {
            const ShownCursors& c = project_.shownCursors;
            return AlignPair{c.cur1Left, c.cur1Top, c.cur2Left, c.cur2Top};
        };
        hooks.selectedPads = [this] {
            std::vector<AlignPair> pairs;
            const PadMarkers& markers = window_.pads().padDialog()->board().markers;
            for (int n = 1; n <= markers.highest(); ++n) {
                const PadMarker* first = markers.Pad1.get(n);
                const PadMarker* second = markers.Pad2.get(n);
                if (first != nullptr && second != nullptr && first->value == 1) {
                    pairs.push_back({first->left, first->top, second->left, second->top});
                }
            }
            return pairs;
        };
        hooks.pictures = [this] {
            return std::pair{window_.panes()->P1()->workImage(), window_.panes()->P2()->workImage()};
        };
        hooks.apply = [this](std::optional<Alignment> alignment) {
            if (window_.projectOpen()) {
                project_.execute(MakeAlignCommand(project_, syncState(), std::move(alignment)));
            }
        };
        hooks.busy = [this](bool on) { window_.ui().setBusy(on); };
        aligner_ = new AlignmentWindow(&window_, std::move(hooks));
    }
    aligner_->start();
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
    const AffineMap* alignment = project_.alignment ? &project_.alignment->map : nullptr;
    // While a calibration or the alignment window is open, the user puts each cursor on its own point.
    const bool eachOnItsOwn = calibration_.open() || (aligner_ != nullptr && aligner_->isVisible());
    if (drag_.drag(state, picture, buttons.testFlag(Qt::LeftButton), x, y, eachOnItsOwn, alignment)) {
        applySyncState(state);
    }
}

void CursorController::scaleOneToOne() {
    if (window_.projectOpen()) {
        project_.execute(MakeScaleOneToOneCommand(project_, syncState()));
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
    if (aligner_ != nullptr) {
        aligner_->cancel();
    }
}

}  // namespace korvane
