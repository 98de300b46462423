#pragma once

// The two cursors as the window shows them: where they stand (the project's cursors), their blink, the
// drag that moves them together, the edge scrolling that keeps them in view, the scale wizard,
// "Cursors move scale 1:1" and the layers' alignment.

#include <Qt>

#include "view/CursorSync.h"
#include "view/tools/CalibrationTool.h"
#include "view/tools/CursorDragTool.h"

namespace korvane {

class MainWindow;
class Project;
class ScaleWizardWindow;
class AlignmentWindow;

class CursorController {
  public:
    CursorController(MainWindow& window, Project& project);
    ~CursorController();
    CursorController(const CursorController&) = delete;
    CursorController& operator=(const CursorController&) = delete;

    // Both cursors on (1, 1), the scales 1: the start of the program.
    void home();
    // One step of the blink; the edge scrolling goes on while a drag's button is still held.
    void tick(bool buttonHeld);
    // A left button held over picture 1 or 2 at (x, y) moves the cursors as the mapping says.
    void dragOn(int picture, Qt::MouseButtons buttons, int x, int y);
    void release() { drag_.release(); }
    void autoScroll();

    // The cursors were put where they stand by other means than a drag (start, a project opened): the
    // mapping goes on from there.
    void cursorsPlaced();
    // Scales 1 and cursor 2 on cursor 1, as "Cursors move scale 1:1" does but as no edit of its own: the
    // start of a project that is created or opened.
    void resetCursorScale();
    // Shows project().cursors as they now stand (after an edit or its undo).
    void showSyncState();

    void scaleOneToOne();
    void startScaleWizard();
    // A half-finished calibration or alignment belongs to the project that is going away.
    void cancelScaleWizard();
    // "Align layers...".
    void startAlignment();

    ScaleWizardWindow* wizard() const { return wizard_; }
    AlignmentWindow* aligner() const { return aligner_; }
    bool wizardOpen() const { return calibration_.open(); }
    const CursorDragTool& drag() const { return drag_; }

  private:
    CursorSyncState syncState() const;
    void applySyncState(const CursorSyncState& state);
    void showCursors();

    MainWindow& window_;
    Project& project_;
    ScaleWizardWindow* wizard_ = nullptr;
    AlignmentWindow* aligner_ = nullptr;
    CalibrationTool calibration_;
    CursorDragTool drag_;
    bool visible_ = true;  // the blink
};

}  // namespace korvane
