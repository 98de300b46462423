#pragma once

// A main window with a project of its own, as the application gives it one: the project is made before
// the window and outlives it.

#include "app/MainWindow.h"
#include "project/Project.h"

namespace korvane {

struct OwnedProject {
    Project ownedProject;
};

class TestMainWindow : private OwnedProject, public MainWindow {
  public:
    explicit TestMainWindow(Ui& ui) : OwnedProject(), MainWindow(ui, ownedProject) {}
};

}  // namespace korvane
