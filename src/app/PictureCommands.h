#pragma once

// The Edit menu's picture commands: mirror, turn by 90 degrees, copy to the clipboard, and bringing an
// opened project's pictures into their stored orientation. Pads and cursors keep their coordinates; the
// picture's trace records go with it (see PictureTransformCommand).

#include <functional>

#include "transforms/PixelTransforms.h"

namespace korvane {

class MainWindow;
class Project;
class Ui;

class PictureCommands {
  public:
    PictureCommands(MainWindow& window, Ui& ui, Project& project)
        : window_(window), ui_(ui), project_(project) {}

    void flipHorizontally();
    void flipVertically();
    void rotateClockwise();
    void copyPictureToClipboard();
    bool rotating() const { return rotating_; }
    // A turn hands control to the event loop at most this often, so the window stays alive meanwhile.
    double RotationEventIntervalMs = 40;

    // Brings picture 1 or 2 by one more step (a flip, a turn, or their inverse) in the checked way and
    // keeps its orientation in the project; false with the user told (errorTitle) when it failed, the
    // picture then as it was. The working image starts again from the new base picture. prepare, when
    // given, runs first within the same checks (memory it cannot get fails the transform).
    bool transformPicture(int picture, Orientation step, const char* errorTitle,
                          const std::function<void()>& prepare = {});
    // Brings freshly loaded pictures into the orientation stored with the project; throws when one
    // cannot be turned.
    void applyStoredOrientations();
    // A close asked for while a picture was turning: it happens once the command that turned it has
    // ended (the Rotate item, its undo or redo, or Open bringing a picture into its stored orientation).
    void holdCloseForRotation() { closeAfterRotation_ = true; }
    void closeIfHeldForRotation();

  private:
    // Asks which picture a transform is for: 1, 2, or 0 when cancelled.
    int askPicture(const char* title);
    // Brings picture 1 or 2 from its present base into `orientation` and makes that its new base and
    // working image. False when memory ran out: the picture and its size are then as they were.
    bool orientPicture(int picture, Orientation orientation);
    // Asks for the picture and carries out one Edit-menu step on it as a step of the history.
    void transformAsked(const char* question, Orientation step, const char* text, const char* errorTitle);

    MainWindow& window_;
    Ui& ui_;
    Project& project_;
    bool rotating_ = false;
    bool closeAfterRotation_ = false;
};

}  // namespace korvane
