#pragma once

// The pad listing: the selected pads as lines of text under their count, from which the user picks lines
// and saves them to a text file. Modeless and owned by the main window; closing only hides it, and it
// rebuilds the listing whenever the user comes back to it, so it always shows the current selection. While
// it is shown it also follows the project's events for pads that come, go or get other names (a moved pad
// changes no line).

#include <QMainWindow>
#include <functional>
#include <string>
#include <vector>

#include "project/ProjectObserver.h"

class QAction;
class QLabel;
class QListWidget;
class QMenu;
class QWindow;

namespace korvane {

class Ui;
class FileDialogState;

class PadListWindow : public QMainWindow, public ProjectObserver {
    Q_OBJECT

  public:
    // selectedDescriptions: the descriptions of the selected pads in increasing marker number.
    // projectPath: the project file, where the save dialog starts. dialogs: the program's file dialogs.
    PadListWindow(QWidget* owner, Ui& ui, FileDialogState& dialogs,
                  std::function<std::vector<std::string>()> selectedDescriptions,
                  std::function<std::string()> projectPath);

    // The count line and one line per selected pad; empty when no pad is selected.
    void Rebuild();
    void saveListingAs();
    void selectAllText();
    void closeWindow();

    QListWidget* List() const { return List_; }
    // The listing as it was built, in the bytes the descriptions came in (what a save writes).
    const std::vector<std::string>& lines() const { return lines_; }

    void padsAdded(const std::vector<int>&) override { rebuildIfShown(); }
    void padsRemoved(const std::vector<int>&) override { rebuildIfShown(); }
    void padsRenamed(const std::vector<int>&) override { rebuildIfShown(); }

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void focusWindowChanged(QWindow* window);
    void rebuildIfShown();

    Ui& ui_;
    FileDialogState& dialogs_;
    std::function<std::vector<std::string>()> selectedDescriptions_;
    std::function<std::string()> projectPath_;
    std::vector<std::string> lines_;
    // The focus left this window for one of the program's modal dialogs: the activation that follows
    // when the dialog closes is not a return of the user, and must keep the listing and its selection.
    bool leftForModal_ = false;

    QLabel* Label1_;
    QListWidget* List_;
    QMenu* mnuFile_;
    QAction* mnuSaveAs_;
    QAction* mnuClose_;
    QMenu* mnuEdit_;
    QAction* mnuSelectAll_;
};

}  // namespace korvane
