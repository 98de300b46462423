#pragma once

// The new-trace confirmation window: after a fill the user looks at the painted area and keeps it as a
// trace or has it painted back. Modeless, so the panes can still be scrolled while it waits; the fill
// waits in ask() for the answer.

#include <QDialog>
#include <QString>

#include "tracing/FloodFill.h"

class QLabel;
class QPushButton;

namespace korvane {

class FillQuestionDialog : public QDialog {
    Q_OBJECT

  public:
    explicit FillQuestionDialog(QWidget* owner);

    // Shows the window and handles events until the user answers (or the question is abandoned), then
    // hides it again.
    FillAnswer ask();
    // Ends a pending question without an answer: the project it is about is going away.
    void abandon();
    bool asking() const { return asking_; }

    // "yes", "no", or empty while no answer has been given since the window was shown.
    const QString& answer() const { return Tag; }

    // Room a title bar takes beside its text (frame buttons and margins), in pixels.
    static constexpr int kTitleBarButtonsWidth = 96;

    void keepTrace();
    void deleteTrace();

    QLabel* Label1 = nullptr;
    QPushButton* cmdSelect = nullptr;
    QPushButton* cmdCancel = nullptr;

  signals:
    void answered();

  protected:
    // Esc answers "no".
    void reject() override;
    // There is no close box; a close from the window manager waits for the answer like everything else.
    void closeEvent(QCloseEvent* event) override;

  private:
    void setAnswer(const QString& answer);

    QString Tag;
    bool asking_ = false;
    bool abandoned_ = false;
};

}  // namespace korvane
