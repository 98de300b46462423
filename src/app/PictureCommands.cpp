// The net orientation is kept in the project so that reopening shows the picture as it was when pads and
// traces were placed on it. Flips and turns are steps of the history (PictureTransformCommand); bringing
// an opened project's pictures into their stored orientation is not.

#include "app/PictureCommands.h"

#include <QElapsedTimer>
#include <QImage>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "app/MainWindow.h"
#include "app/PictureTransformCommand.h"
#include "app/ScopeExit.h"
#include "platform/Ui.h"
#include "transforms/OrientedImage.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {

namespace {

const char* const kMemoryMessage =
    "There isn't enough available memory for this operation. Use else software to flip this great picture or "
    "work with smaller pictures.";

}  // namespace

int PictureCommands::askPicture(const char* title) {
    MessageRequest question;
    question.prompt = "First picture - \"Yes\", second picture - \"No\"";
    question.title = title;
    question.buttons = MsgButtons::YesNoCancel;
    question.icon = MsgIcon::Question;
    question.defaultButton = 3;
    switch (ui_.message(question)) {
        case MsgResult::Yes:
            return 1;
        case MsgResult::No:
            return 2;
        default:
            return 0;
    }
}

bool PictureCommands::orientPicture(int picture, Orientation orientation) {
    PictureBox* box = picture == 1 ? window_.panes()->P1() : window_.panes()->P2();
    // The working image shows the base for the transform, its painting put aside in place; should the
    // transform fail, the painting comes back (after `previous` below has let go of the pixels).
    box->exchangeBase();
    bool replaced = false;
    const ScopeExit paintingBack([box, &replaced] {
        if (!replaced) {
            box->exchangeBase();
        }
    });
    const QImage previous = box->workImage();  // shares the pixels: nothing is copied
    QImage oriented;
    if (orientation.turns % 2 == 1) {
        // Turning is the long one: the window stays alive meanwhile, and the busy state holds back
        // whatever would replace or remove this picture.
        rotating_ = true;
        QElapsedTimer sinceEvents;
        sinceEvents.start();
        oriented = OrientedImage(previous, orientation, [this, &sinceEvents] {
            if (double(sinceEvents.elapsed()) >= RotationEventIntervalMs) {
                ui_.processEvents();
                sinceEvents.restart();
            }
        });
        rotating_ = false;
    } else {
        oriented = OrientedImage(previous, orientation);
    }
    if (oriented.isNull()) {
        return false;
    }
    // The old picture goes before the new one is shown, so a transform never holds more than the old
    // picture, its painted tiles and the new one. The working image starts again from the new base:
    // painted traces are gone, their records stay.
    replaced = true;
    box->clearPicture();
    box->setPicture(std::move(oriented));
    if (box->workImage().isNull()) {
        // Its working image could not be made: the picture as it was, from the memory just given back.
        box->clearPicture();
        box->setPicture(previous);
        return false;
    }
    Orientation& current = picture == 1 ? project_.layer1.orientation : project_.layer2.orientation;
    Orientation next = current;
    if (orientation.flipped) {
        next = AfterFlipHorizontal(next);
    }
    for (int turn = 0; turn < orientation.turns; ++turn) {
        next = AfterRotate90(next);
    }
    current = next;
    return true;
}

bool PictureCommands::transformPicture(int picture, Orientation step, const char* errorTitle,
                                       const std::function<void()>& prepare) {
    std::string failure = kMemoryMessage;
    bool done = false;
    try {
        BusyPointer busyPointer(ui_);
        if (prepare) {
            prepare();
        }
        done = orientPicture(picture, step);
    } catch (const std::bad_alloc&) {
        rotating_ = false;
    } catch (const std::exception& error) {
        rotating_ = false;
        failure = std::string("Error :") + error.what();
    }
    if (done) {
        return true;
    }
    ui_.tell(failure, errorTitle, MsgIcon::Exclamation);
    return false;
}

void PictureCommands::transformAsked(const char* question, Orientation step, const char* text,
                                     const char* errorTitle) {
    if (!window_.projectOpen() || window_.busy()) {
        return;
    }
    const int picture = askPicture(question);
    if (picture == 0) {
        return;
    }
    auto command = std::make_unique<PictureTransformCommand>(window_, picture, step, text, errorTitle);
    // Carried out before it is kept: a transform that did not fit in memory is no step.
    if (command->carryOut(project_)) {
        project_.record(std::move(command));
        ui_.beep();
    }
    closeIfHeldForRotation();
}

void PictureCommands::flipHorizontally() {
    transformAsked("Flip picture horizontally:", kFlipHorizontalStep, "flip horizontal",
                   "Can't perform flip:");
}

void PictureCommands::flipVertically() {
    transformAsked("Flip picture vertically:", kFlipVerticalStep, "flip vertical", "Can't perform flip:");
}

void PictureCommands::rotateClockwise() {
    transformAsked("Rotate picture to 90 degrees clockwise:", kRotateStep, "rotate", "Can't perform rotate:");
}

void PictureCommands::closeIfHeldForRotation() {
    if (closeAfterRotation_) {
        closeAfterRotation_ = false;
        window_.close();
    }
}

void PictureCommands::copyPictureToClipboard() {
    if (!window_.projectOpen() || window_.busy()) {
        return;
    }
    if (const int picture = askPicture("Put the picture to the clipboard:")) {
        PictureBox* box = picture == 1 ? window_.panes()->P1() : window_.panes()->P2();
        bool copied = false;
        {
            BusyPointer busyPointer(ui_);
            copied = ui_.copyImageToClipboard(box->guardedPixels());  // only read
        }
        if (copied) {
            ui_.beep();
        } else {
            ui_.tell("Error :The clipboard cannot take the picture.",
                     "Can't perform flip:", MsgIcon::Exclamation);
        }
    }
}

void PictureCommands::applyStoredOrientations() {
    for (int picture : {1, 2}) {
        const Orientation stored =
            ParseOrientation(project_.doc.Value(kFilePathSection, OrientationKey(picture)));
        Orientation& current = picture == 1 ? project_.layer1.orientation : project_.layer2.orientation;
        current = {};
        // The same checked way as the Edit menu, in one step however the picture was turned and mirrored.
        if (!stored.identity() && !orientPicture(picture, stored)) {
            throw std::runtime_error("There isn't enough available memory to turn picture " +
                                     std::to_string(picture) + " as the project stores it (" +
                                     FormatOrientation(stored) + ").");
        }
    }
}

}  // namespace korvane
