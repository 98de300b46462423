#pragma once

// The Help menu and the F1 key: the user guide installed beside the program (at the topic of the menu
// item under the pointer), the web pages, and the About window.

#include <string>

class QMainWindow;

namespace korvane {

class Ui;

class HelpCommands {
  public:
    // Connects F1, in the window and inside each of its menus.
    HelpCommands(QMainWindow& window, Ui& ui);

    // Looks for the guide beside the program; HelpFile stays empty when it is missing.
    void findGuide();
    void openHelpPage();
    void openDonatePage();
    void showAbout();
    // F1: the program's own help pages, when they are installed next to it.
    void showGuide();
    // Opens the user guide at a section (an anchor of its page, empty for the top).
    void openGuide(const std::string& section);

    std::string HelpFile;  // empty when the program's help pages are missing

  private:
    QMainWindow& window_;
    Ui& ui_;
};

}  // namespace korvane
