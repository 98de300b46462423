#pragma once

// The main window: the menu from which every command is reached and the panes that show the open
// project. It holds no project data: the project belongs to the application and is handed in, and each
// group of commands is a controller of its own (session, pictures, pads, tracing, cursors, help) that
// the window wires to its menus and panes. Commands are named for what they do (flipHorizontally,
// selectAllPads); the mouse and key handlers of the panes for the event they answer (pictureMouseDown).
// Edits of the project go through commands on its history.

#include <QMainWindow>
#include <cstdint>
#include <memory>
#include <string>

#include "app/CursorController.h"
#include "app/HelpCommands.h"
#include "app/MainMenu.h"
#include "app/NetsController.h"
#include "app/PadController.h"
#include "app/PictureCommands.h"
#include "app/ProjectSession.h"
#include "app/TracingController.h"
#include "project/Project.h"
#include "view/tools/ColourPickTool.h"

class QTimer;

namespace korvane {

class Ui;
class Panes;

class MainWindow : public QMainWindow, private ProjectObserver {
    Q_OBJECT

  public:
    MainWindow(Ui& ui, Project& project, QWidget* parent = nullptr);
    ~MainWindow() override;

    // Start-up after construction: commandLine is the program's arguments joined with single blanks.
    void startUp(const std::string& commandLine);
    void tick();

    // New, Open, Save, Close and the save prompt.
    ProjectSession& session() { return *session_; }

    void showExportDialog();
    void exitProgram();
    // The Help menu and F1.
    HelpCommands& help() { return *help_; }
    // Edit > Undo and Redo: the last step of the project's history, back or forth. Ignored while long
    // work runs, which may still be using what the step would change.
    void undoEdit();
    void redoEdit();

    // --- panes: mouse and keys ---
    void pictureMouseDown(int picture, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void pictureMouseMove(int picture, Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
    void pictureMouseUp(int picture, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void pictureDoubleClicked(Qt::KeyboardModifiers shift) { pads_->tool().doubleClicked(shift); }
    // A release on a pane outside its picture: the right button brings the File menu.
    void paneMouseUp(int pane, Qt::MouseButton button, QPoint globalPos);
    // Returns true when the key meant something to the panes (it is then not passed on).
    bool handleKey(int key, Qt::KeyboardModifiers modifiers);

    // The cursors: their drag, blink and scale.
    CursorController& cursors() { return *cursors_; }

    // The pad dialog, the listing, the selection commands and the markers' clicks.
    PadController& pads() { return *pads_; }
    NetsController& nets() { return *nets_; }

    // The fill, its colour and bound, and the traces window.
    TracingController& tracing() { return *tracing_; }

    // Flips, turns and the clipboard.
    PictureCommands& pictures() { return *pictures_; }

    // --- export (ExportHooks.cpp) ---
    // The export dialog, created hidden at first use and kept, with the files of the last export, until
    // the program ends.
    class ExportDialog* exportDialog();
    // --- end of export ---

    // --- shared state ---
    int SelectionColourStep = 0;  // 1..8 once the timer has run

    // A project is open; the project menus follow this state.
    bool projectOpen() const { return projectOpen_; }
    void setProjectOpen(bool open);
    // Long work (a fill) runs: commands that would replace or remove the pictures wait.
    bool busy() const { return tracing_->busy() || pictures_->rotating(); }
    // The window is closing for good: nothing new starts.
    bool closing() const { return unloaded_; }

    Project& project() { return project_; }
    MainMenu& menus() { return *menu_; }
    Ui& ui() { return ui_; }
    QTimer* timer() const { return timer_; }
    Panes* panes() const { return panes_; }
    // The mouse modes of the pictures, each with its own state.
    ColourPickTool& colourPick() { return colourPick_; }

    // The eight colours selected pad markers cycle through, one step per tick.
    static std::int32_t selectionColour(int step);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The project's events that the window itself shows: its title, the Edit menu's Undo and Redo.
    void modifiedChanged(bool modified) override;
    void historyChanged() override;
    void historyTrimmed(std::size_t steps) override;
    void pixelsChanged(int layer, const PixelRect& area) override;
    void updateTitle();
    void updateUndoActions();
    // The menus that need a project are enabled exactly while one is open.
    void menusFollowProject();
    void connectMenu();
    void connectPanes();
    void unload();

    Ui& ui_;
    Project& project_;
    std::unique_ptr<MainMenu> menu_;
    QTimer* timer_ = nullptr;
    std::unique_ptr<ProjectSession> session_;
    std::unique_ptr<HelpCommands> help_;
    friend class ProjectSession;  // opens and closes what the window shows
    Panes* panes_ = nullptr;
    std::unique_ptr<CursorController> cursors_;
    ColourPickTool colourPick_;
    // The project's events that the panes show: a picture turned or mirrored, the cursors set by an edit.
    class PaneFollower : public ProjectObserver {
      public:
        explicit PaneFollower(MainWindow& window) : window_(window) {}
        void orientationChanged(int layer) override;
        void cursorsChanged() override;

      private:
        MainWindow& window_;
    };
    PaneFollower paneFollower_{*this};
    bool projectOpen_ = false;
    bool unloaded_ = false;
    std::unique_ptr<PictureCommands> pictures_;
    std::unique_ptr<TracingController> tracing_;
    std::unique_ptr<PadController> pads_;
    std::unique_ptr<NetsController> nets_;
    // --- export, private ---
    // The project goes away: the dialog's data are the project's, so it must not stay up.
    void hideExportDialog();
    class ExportDialog* netList_ = nullptr;
    // --- end of export, private ---
};

}  // namespace korvane
