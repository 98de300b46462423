#pragma once

// The nets as the window offers them: the Nets panel docked beside the panes, its keys over the pictures
// (N highlights the net of the pad under the pointer, Esc clears), and the connectivity check of the
// traced copper with its window of findings.

#include <Qt>
#include <vector>

#include "nets/CheckReport.h"

namespace korvane {

class CheckWindow;
class MainWindow;
class NetsPanel;
class Project;
class Ui;

class NetsController {
  public:
    NetsController(MainWindow& window, Ui& ui, Project& project);
    ~NetsController();
    NetsController(const NetsController&) = delete;
    NetsController& operator=(const NetsController&) = delete;

    // Edit > "Check connectivity": the pads' names against the copper the shown traces painted.
    void checkConnectivity();
    // View > "Nets": shows or hides the panel.
    void toggleNetsPanel();
    // N and Esc over the panes; true when the key was used.
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);
    // A project was opened or closed: no highlight, no findings, the nets read anew.
    void reset();

    NetsPanel* panel() const { return panel_; }
    CheckWindow* checkWindow() const { return check_; }

  private:
    void showFinding(const std::vector<int>& pads);
    void nameSuggested(const std::vector<NetSuggestion>& suggestions);

    MainWindow& window_;
    Ui& ui_;
    Project& project_;
    NetsPanel* panel_ = nullptr;
    CheckWindow* check_ = nullptr;
};

}  // namespace korvane
