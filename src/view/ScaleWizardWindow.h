#pragma once

// The two-step wizard that fixes the cursor-move scale: the user puts the cursors on one pair of
// corresponding points, presses "Next", puts them on a second pair well apart from the first, and
// presses "Done". Modeless, so the user can drag on the pictures while it is open.

#include <QDialog>
#include <functional>

#include "view/CursorSync.h"

class QLabel;
class QPushButton;

namespace korvane {

class ScaleWizardWindow : public QDialog {
    Q_OBJECT

  public:
    // readCursors gives the cursors as they stand; applyScales receives the computed scales.
    ScaleWizardWindow(QWidget* owner, std::function<CursorSyncState()> readCursors,
                      std::function<void(float, float)> applyScales);

    // Shows the wizard waiting for the first pair, whatever state it was left in.
    void start();

    void nextStep();
    void cancel();

    QPushButton* cmdNext() const { return cmdNext_; }
    QPushButton* cmdCancel() const { return cmdCancel_; }
    QLabel* instruction() const { return lblInfo_; }

  signals:
    void opened();
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void finishClose();

    std::function<CursorSyncState()> readCursors_;
    std::function<void(float, float)> applyScales_;
    ScaleWizard wizard_;
    QLabel* lblInfo_;
    QPushButton* cmdNext_;
    QPushButton* cmdCancel_;
    bool open_ = false;
};

}  // namespace korvane
