// The Edit menu's picture commands: mirror, turn by 90 degrees, copy to the clipboard. Only the picture
// changes; pads, cursors and trace records keep their coordinates, and the net orientation is kept in
// the project so that reopening shows the picture as it was when they were placed.

#include <QElapsedTimer>
#include <QImage>
#include <cstring>
#include <new>
#include <stdexcept>

#include "app/F.h"
#include "platform/Ui.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {

namespace transforms_testing {
// Lets tests see what a user sees when a picture is too large for the memory that is left.
bool failNextAllocation = false;
}  // namespace transforms_testing

namespace {

enum Step { kFlipHorizontal, kFlipVertical, kRotate };

const char* const kMemoryMessage =
    "There isn't enough available memory for this operation. Use else software to flip this great picture or "
    "work "
    "with smaller pictures.";

// The project keeps each picture's orientation after the two picture entries, which must stay first.
const char* orientationKey(int picture) {
    return picture == 1 ? "Transform1" : "Transform2";
}

QImage allocate(int width, int height) {
    if (transforms_testing::failNextAllocation) {
        transforms_testing::failNextAllocation = false;
        return {};
    }
    return QImage(width, height, QImage::Format_RGBX8888);
}

ImageView viewOf(QImage& image) {
    return {reinterpret_cast<std::uint32_t*>(image.bits()), image.width(), image.height(),
            int(image.bytesPerLine() / 4)};
}

}  // namespace

int F::askPicture(const char* title) {
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

bool F::transformPicture(int picture, int step, const char* errorTitle) {
    PictureBox* box = picture == 1 ? panes_->P1() : panes_->P2();
    auto fail = [this, errorTitle](const std::string& prompt) {
        MessageRequest request;
        request.prompt = prompt;
        request.title = errorTitle;
        request.icon = MsgIcon::Exclamation;
        ui_.message(request);
        return false;
    };
    try {
        BusyPointer busyPointer(ui_);
        const QImage& base = box->baseImage();
        QImage turned;
        if (step == kRotate) {
            turned = allocate(base.height(), base.width());
        } else {
            turned = allocate(base.width(), base.height());
        }
        if (turned.isNull()) {
            return fail(kMemoryMessage);
        }
        if (step == kRotate) {
            QImage source = base;  // shares the pixels; the picture is not touched until the end
            rotating_ = true;
            QElapsedTimer sinceEvents;
            sinceEvents.start();
            RotatePixels(viewOf(source), viewOf(turned), [this, &sinceEvents] {
                if (sinceEvents.elapsed() >= 40) {
                    ui_.processEvents();
                    sinceEvents.restart();
                }
            });
            rotating_ = false;
        } else {
            for (int y = 0; y < base.height(); ++y) {
                std::memcpy(turned.scanLine(y), base.constScanLine(y), std::size_t(base.width()) * 4);
            }
            if (step == kFlipHorizontal) {
                FlipHorizontal(viewOf(turned));
            } else {
                FlipVertical(viewOf(turned));
            }
        }
        // The working image starts again from the new base: painted traces are gone, their records stay.
        box->setPicture(turned);
    } catch (const std::bad_alloc&) {
        rotating_ = false;
        return fail(kMemoryMessage);
    } catch (const std::exception& error) {
        rotating_ = false;
        return fail(std::string("Error :") + error.what());
    }
    Orientation& orientation = picture == 1 ? Orientation1 : Orientation2;
    orientation = step == kRotate           ? AfterRotate90(orientation)
                  : step == kFlipHorizontal ? AfterFlipHorizontal(orientation)
                                            : AfterFlipVertical(orientation);
    return true;
}

void F::mnuFlipG_Click() {
    if (!projectOpen_ || busy()) {
        return;
    }
    if (const int picture = askPicture("Flip picture horizontally:")) {
        if (transformPicture(picture, kFlipHorizontal, "Can't perform flip:")) {
            Doc.SetValue(kFilePathSection, orientationKey(picture),
                         FormatOrientation(picture == 1 ? Orientation1 : Orientation2));
            Saved = false;
            ui_.beep();
        }
    }
}

void F::mnuFlipV_Click() {
    if (!projectOpen_ || busy()) {
        return;
    }
    if (const int picture = askPicture("Flip picture vertically:")) {
        if (transformPicture(picture, kFlipVertical, "Can't perform flip:")) {
            Doc.SetValue(kFilePathSection, orientationKey(picture),
                         FormatOrientation(picture == 1 ? Orientation1 : Orientation2));
            Saved = false;
            ui_.beep();
        }
    }
}

void F::mnuRotate90_Click() {
    if (!projectOpen_ || busy()) {
        return;
    }
    if (const int picture = askPicture("Rotate picture to 90 degrees clockwise:")) {
        const bool done = transformPicture(picture, kRotate, "Can't perform rotate:");
        if (done) {
            Doc.SetValue(kFilePathSection, orientationKey(picture),
                         FormatOrientation(picture == 1 ? Orientation1 : Orientation2));
            Saved = false;
            panes_->Scrolling();
            ui_.beep();
        }
        if (closeAfterRotation_) {
            closeAfterRotation_ = false;
            close();
        }
    }
}

void F::mnuClipboard_Click() {
    if (!projectOpen_ || busy()) {
        return;
    }
    if (const int picture = askPicture("Put the picture to the clipboard:")) {
        PictureBox* box = picture == 1 ? panes_->P1() : panes_->P2();
        bool copied = false;
        {
            BusyPointer busyPointer(ui_);
            copied = ui_.copyImageToClipboard(box->pixels());
        }
        if (copied) {
            ui_.beep();
        } else {
            MessageRequest request;
            request.prompt = "Error :The clipboard cannot take the picture.";
            request.title = "Can't perform flip:";
            request.icon = MsgIcon::Exclamation;
            ui_.message(request);
        }
    }
}

void F::applyStoredOrientations() {
    for (int picture : {1, 2}) {
        const Orientation stored = ParseOrientation(Doc.Value(kFilePathSection, orientationKey(picture)));
        Orientation& current = picture == 1 ? Orientation1 : Orientation2;
        current = {};
        if (stored.flipped && !transformPicture(picture, kFlipHorizontal, "Can't perform flip:")) {
            throw std::runtime_error("cannot restore the picture's orientation");
        }
        for (int turn = 0; turn < stored.turns; ++turn) {
            if (!transformPicture(picture, kRotate, "Can't perform rotate:")) {
                throw std::runtime_error("cannot restore the picture's orientation");
            }
        }
    }
}

}  // namespace korvane
