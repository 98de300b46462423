#pragma once

// "Align layers...": the user collects pairs of corresponding points (the cursors as they stand, or the
// selected pads), sees each pair's residual and the RMS of the fitted mapping, and applies it as one
// step. The automatic alignment runs on a thread of its own; Esc stops it. Modeless, so the user can move
// the cursors while it is open.

#include <QDialog>
#include <QImage>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "align/AutoAlign.h"
#include "view/AlignmentDraft.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace korvane {

class AlignmentWindow : public QDialog {
    Q_OBJECT

  public:
    struct Hooks {
        std::function<std::optional<Alignment>()> current;  // the project's alignment
        std::function<AlignPair()> cursors;                 // the cursors as they stand
        std::function<std::vector<AlignPair>()> selectedPads;
        // Shallow copies of both working pictures: painting into them meanwhile copies them, so the
        // thread reads pictures nobody changes.
        std::function<std::pair<QImage, QImage>()> pictures;
        std::function<void(std::optional<Alignment>)> apply;
        std::function<void(bool)> busy;
    };

    AlignmentWindow(QWidget* owner, Hooks hooks);
    ~AlignmentWindow() override;

    // Shows the project's pairs, whatever was left in the window before.
    void start();

    void addCursors();
    void addSelectedPads();
    void removeSelected();
    void moveToCursors();
    void alignAutomatically();
    void applyAlignment();
    void cancel();
    bool aligningAutomatically() const { return worker_.joinable(); }

    const AlignmentDraft& draft() const { return draft_; }
    QTableWidget* table() const { return table_; }
    QLabel* summary() const { return summary_; }
    QPushButton* cmdApply() const { return cmdApply_; }
    QPushButton* cmdAuto() const { return cmdAuto_; }

  signals:
    // The automatic alignment ended (found, failed or stopped).
    void autoFinished();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void reject() override;

  private:
    void show(const QString& note = QString());
    void stopAutomatic();
    void automaticDone(std::optional<AutoAlignment> found, QString why);

    Hooks hooks_;
    AlignmentDraft draft_;
    QTableWidget* table_;
    QLabel* summary_;
    QPushButton* cmdAddCursors_;
    QPushButton* cmdAddPads_;
    QPushButton* cmdMove_;
    QPushButton* cmdRemove_;
    QPushButton* cmdAuto_;
    QPushButton* cmdApply_;
    QPushButton* cmdCancel_;
    std::thread worker_;
    std::shared_ptr<std::atomic<bool>> stop_;
};

}  // namespace korvane
