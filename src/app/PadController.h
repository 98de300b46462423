#pragma once

// The pads as the window offers them: the pad dialog and the listing, the selection commands, the
// markers' clicks and blink, and opening and closing a project's pads. The edits are steps of the
// project's history (project/PadCommands.h); this class decides when they run, and the panes repaint
// markers from the project's events.

#include <QPoint>
#include <Qt>
#include <cstdint>
#include <memory>

#include "app/tools/PadTool.h"

namespace korvane {

class MainWindow;
class PadListWindow;
class PadPropertiesDialog;
class Project;
class ProjectObserver;
class Ui;

class PadController {
  public:
    PadController(MainWindow& window, Ui& ui, Project& project);
    ~PadController();
    PadController(const PadController&) = delete;
    PadController& operator=(const PadController&) = delete;

    void selectAllPads();
    void deselectAllPads();
    void invertPadSelection();
    void deleteSelectedPads();
    // The selected pads' copper on picture 1 or 2 only (surface mount), or on both (0).
    void setSelectedPadsLayer(int layer);
    void togglePadDialog();
    void showPadList();

    // A double click on a picture: a new pad at the cursors, the others deselected unless keepSelection.
    void addPadAtCursors(bool keepSelection);
    void addPadAtCursors(int Index, bool DeselectOthers, bool SelectNew);
    // Moves one marker of a pad (Ctrl + drag) and stores its new place.
    void movePad(int picture, int Index, double left, double top);
    void Pad1_MouseDown(int Index, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Pad2_MouseDown(int Index, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Pad1_MouseUp(int Index, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Pad2_MouseUp(int Index, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Pad1_MouseMove(int Index, QPoint globalPos);
    void Pad2_MouseMove(int Index, QPoint globalPos);

    // Selected markers take this colour (the blink, one step per tick).
    void applySelectionColour(std::int32_t colour);
    // The pads of a project just opened are all placed: the views show them.
    void padsLoaded();
    // The project goes away: every pad, the dialog's lists and its current pad.
    void clearPadData();
    void clearPads();
    // Loads the dialog's current pad's stored names into its fields.
    void showCurrentPadNames();
    void padMarkersChanged();

    PadPropertiesDialog* padDialog() const { return padDialog_; }
    PadListWindow* infoWindow() const { return infoWindow_; }
    PadTool& tool() { return tool_; }

  private:
    void connectMenus();

    MainWindow& window_;
    Ui& ui_;
    Project& project_;
    PadTool tool_;
    PadPropertiesDialog* padDialog_ = nullptr;
    PadListWindow* infoWindow_ = nullptr;
    std::unique_ptr<ProjectObserver> padViews_;  // the panes' markers follow the pad events
};

}  // namespace korvane
