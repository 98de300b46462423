#include "platform/UserActivation.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace korvane {

UserActivation::UserActivation(QWidget* window, std::function<void()> arrived)
    : QObject(window), window_(window), arrived_(std::move(arrived)) {
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &UserActivation::focusWindowChanged);
}

void UserActivation::focusWindowChanged(QWindow* window) {
    if (window != nullptr && window == window_->windowHandle()) {
        if (focused_) {
            return;
        }
        focused_ = true;
        if (leftForModal_) {
            leftForModal_ = false;  // back from the program's own box: the work is done already
        } else {
            QTimer::singleShot(0, this, [this] { arrived_(); });
        }
        return;
    }
    if (window == nullptr) {
        focused_ = false;  // another program: the judgement stays as it was
        return;
    }
    const bool modal = QGuiApplication::modalWindow() != nullptr;
    if (focused_) {
        leftForModal_ = modal;
    } else if (!modal) {
        // On to another window of ours, not a box: whatever brings the focus here next is the user.
        leftForModal_ = false;
    }
    focused_ = false;
}

}  // namespace korvane
