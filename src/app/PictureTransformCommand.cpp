#include "app/PictureTransformCommand.h"

#include <QImage>
#include <QTimer>

#include "app/MainWindow.h"
#include "project/Project.h"
#include "storage/ProjectKeys.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {

namespace {

PictureBox* pictureOf(MainWindow& window, int picture) {
    return picture == 1 ? window.panes()->P1() : window.panes()->P2();
}

}  // namespace

PictureTransformCommand::PictureTransformCommand(MainWindow& window, int picture, Orientation step,
                                                 std::string text, const char* errorTitle)
    : window_(&window), picture_(picture), step_(step), text_(std::move(text)), errorTitle_(errorTitle) {}

bool PictureTransformCommand::carryOut(Project& project) {
    const std::string key = OrientationKey(picture_);
    if (project.doc.ValueExists(kFilePathSection, key)) {
        keyBefore_ = project.doc.Value(kFilePathSection, key);
    }
    const PictureBox* box = pictureOf(*window_, picture_);
    // Taken inside the checked transform, so that running out of memory here is told like any other.
    const bool done = window_->pictures().transformPicture(picture_, step_, errorTitle_,
                                                           [this, box] { painted_ = box->paintedPixels(); });
    if (!done) {
        painted_ = PaintedPixels();
        return false;
    }
    applied_ = true;
    project.doc.SetValue(kFilePathSection, key, FormatOrientation(project.layer(picture_).orientation));
    const int layer = picture_;
    // What drawing traces painted over lies elsewhere on a turned picture: erasing must not use it.
    project.forgetDrawnTraces(layer);
    project.notify([layer](ProjectObserver& o) { o.orientationChanged(layer); });
    return true;
}

void PictureTransformCommand::apply(Project& project, bool forward) {
    if (applied_ == forward || window_.isNull()) {
        return;
    }
    if (!window_->pictures().transformPicture(picture_, forward ? step_ : Inverse(step_), errorTitle_)) {
        project.markUnsaved();
        return;
    }
    applied_ = forward;
    const std::string key = OrientationKey(picture_);
    if (forward) {
        project.doc.SetValue(kFilePathSection, key, FormatOrientation(project.layer(picture_).orientation));
    } else {
        // The document as it was, so that a save writes the same bytes as before the step.
        if (keyBefore_) {
            project.doc.SetValue(kFilePathSection, key, *keyBefore_);
        } else {
            project.doc.RemoveValue(kFilePathSection, key);
        }
        if (!painted_.empty()) {
            PictureBox* box = pictureOf(*window_, picture_);
            painted_.paintInto(box->guardedPixels());
            box->picturePainted(box->workImage().rect());
        }
    }
    const int layer = picture_;
    // What drawing traces painted over lies elsewhere on a turned picture: erasing must not use it.
    project.forgetDrawnTraces(layer);
    project.notify([layer](ProjectObserver& o) { o.orientationChanged(layer); });
    if (step_.turns % 2 == 1) {
        // A close asked for while the picture turned waits until this undo or redo has ended.
        QTimer::singleShot(0, window_.data(), [window = window_] {
            if (!window.isNull()) {
                window->pictures().closeIfHeldForRotation();
            }
        });
    }
}

void PictureTransformCommand::undo(Project& project) {
    apply(project, false);
}

void PictureTransformCommand::redo(Project& project) {
    apply(project, true);
}

}  // namespace korvane
