#pragma once

// Tells when the user comes to a window: it gets the focus itself (Qt also reports a dialog active
// whenever its owner is, which says nothing of the user), and not merely back from one of the program's
// own modal boxes, whose closing would otherwise redo the work (and show its message again, forever).

#include <QObject>
#include <functional>

class QWidget;
class QWindow;

namespace korvane {

class UserActivation : public QObject {
  public:
    // arrived runs after the focus change is complete, so it may show message boxes.
    UserActivation(QWidget* window, std::function<void()> arrived);

  private:
    void focusWindowChanged(QWindow* window);

    QWidget* window_;
    std::function<void()> arrived_;
    bool focused_ = false;       // the window holds the focus
    bool leftForModal_ = false;  // the focus went to one of the program's modal boxes
};

}  // namespace korvane
