#pragma once

// A flip or turn of picture 1 or 2 as a step of the project's history. The pixels live in the window's
// picture, so the step works through the window, by the same checked path as the Edit menu: undo applies
// the inverse step (one pass, however the picture was turned) and gives back the traces that the
// transform wiped from the working image, redo applies the step again. The window is held weakly: the
// history is emptied when the project closes, and a window that is gone leaves the step doing nothing.
//
// The picture's trace records go with the picture: their seeds move to where their pixels went, so the
// records stay on their copper in the orientation the project stores. Traces that were shown are drawn
// again on the transformed picture at once, instead of leaving bare copper until the user asks.

#include <QPointer>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "project/UndoStack.h"
#include "tracing/PaintedSpans.h"
#include "transforms/PaintedPixels.h"
#include "transforms/PixelTransforms.h"

namespace korvane {

class MainWindow;

class PictureTransformCommand : public UndoCommand {
  public:
    PictureTransformCommand(MainWindow& window, int picture, Orientation step, std::string text,
                            const char* errorTitle);

    // Carries the step out for the first time. False when it failed (the user is told, the picture and
    // the project are as they were): such a step is not kept.
    bool carryOut(Project& project);

    std::string text() const override { return text_; }
    void undo(Project& project) override;
    void redo(Project& project) override;
    // The wiped traces are pixel history like a fill's.
    std::size_t pixelBytes() const override { return pixelBytes_; }

  private:
    // Brings the picture into the transformed state (forward) or back; the orientation key, the wiped
    // traces and the views follow. A later undo or redo that fails (memory taken meanwhile) leaves the
    // picture as it is, told to the user; the project then differs from what the history says, so it
    // stays modified until saved.
    void apply(Project& project, bool forward);
    // The records as they stand on the transformed picture, and the shown traces drawn there.
    void followTraces(Project& project);

    QPointer<MainWindow> window_;
    int picture_;
    Orientation step_;
    std::string text_;
    const char* errorTitle_;
    std::optional<std::string> keyBefore_;  // the stored orientation before; nullopt: there was none
    PaintedPixels painted_;
    std::vector<std::string> recordsBefore_, recordsAfter_;
    std::vector<std::shared_ptr<const PaintedSpans>> redrawn_;  // held so that erasing gives the scan back
    std::size_t pixelBytes_ = 0;  // as the history counted it when the step was kept
    bool applied_ = false;        // the picture is in the transformed state
};

}  // namespace korvane
