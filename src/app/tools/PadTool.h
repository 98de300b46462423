#pragma once

// The pad mode of the pictures: a double click places a pad at the cursors, a click on a marker selects
// it and opens its dialog, Ctrl + drag moves it (the picture drags, the drop is one step of the history),
// hovering shows its tip. Owns whether the pictures' last press held Shift, which keeps the selection
// when a pad is placed.

#include <QPoint>
#include <Qt>

namespace korvane {

class MainWindow;

class PadTool {
  public:
    explicit PadTool(MainWindow& window) : window_(window) {}

    // Any press on a picture.
    void picturePressed(Qt::KeyboardModifiers modifiers) {
        keepSelection_ = modifiers.testFlag(Qt::ShiftModifier);
    }
    // A double click on a picture: a pad at the cursors, and its dialog.
    void doubleClicked(Qt::KeyboardModifiers modifiers);
    // A new pad at the cursors with the next free number, the others deselected unless keepSelection.
    void placeAtCursors(bool keepSelection);
    void placeAtCursors(int Index, bool DeselectOthers, bool SelectNew);

    void markerPressed(int picture, int Index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void markerReleased(int picture, int Index, Qt::MouseButton button, int x, int y);
    void markerHovered(int picture, int Index, QPoint globalPos);
    // The end of a Ctrl + drag: the marker was dropped at (left, top).
    void markerDropped(int picture, int Index, double left, double top);

  private:
    MainWindow& window_;
    bool keepSelection_ = false;
};

}  // namespace korvane
