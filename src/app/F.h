#pragma once

// The main window: owner of the open project's shared state (document, path, saved flag, cursor
// scale and positions, fill settings) and of the menu from which every command is reached.
// Handlers carry the names users and tests know them by (mnuOpen_Click, Timer_Timer); commands of
// features that are not built yet exist and do nothing, so menus and shortcuts are complete.

#include <QMainWindow>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/MainMenu.h"
#include "platform/clsOpenSave.h"
#include "storage/ProjectFile.h"
#include "storage/clsINI.h"
#include "view/CursorSync.h"

class QTimer;

namespace korvane {

class Ui;
class Panes;
class frmSyn;

// A blinking square cursor on one picture, in that picture's pixels.
struct CursorMark {
    double left = 1;
    double top = 1;
    bool visible = true;
};

// Outcomes of the save prompt, as callers have always tested them.
enum SaveOutcome : int { kSaveNothingToSave = 3, kSaveSaved = 0, kSaveDiscard = 1, kSaveCancel = 2 };

class F : public QMainWindow {
    Q_OBJECT

  public:
    explicit F(Ui& ui, QWidget* parent = nullptr);
    ~F() override;

    // Start-up after construction: commandLine is the program's arguments joined with single blanks.
    void Form_Load(const std::string& commandLine);
    void Timer_Timer();

    // The save prompt; returns a SaveOutcome. Callers stop on kSaveCancel.
    int Save();
    // Writes the project to ProjectPath; false (already reported to the user) when the file could not
    // be written, in which case the saved flag stays as it was.
    bool Main_Saving();

    // --- project commands ---
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuClose_Click();
    void mnuExport_Click();
    void mnuFileExit_Click();
    void mnuHelp_Click();
    void mnuDonate_Click();
    void mnuHelpContents_Click();
    // F1: the program's own help pages, when they are installed next to it.
    void ShowHelpFile();
    void mnuScale11_Click();
    void mnuNewScale_Click();

    // Dropped file lists: the first file is offered in the Open dialog.
    void Form_OLEDragDrop(const QStringList& files);

    // --- panes: mouse and keys ---
    void P1_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void P2_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void P1_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
    void P2_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, int x, int y);
    void P1_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void P2_MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void P1_DblClick(Qt::KeyboardModifiers shift, int x, int y);
    void P2_DblClick(Qt::KeyboardModifiers shift, int x, int y);
    void pic_MouseUp(int pane, Qt::MouseButton button, QPoint globalPos);
    // Returns true when the key meant something to the panes (it is then not passed on).
    bool Form_KeyDown(int key, Qt::KeyboardModifiers modifiers);
    void AutoPos();

    // --- pads (PadHooks.cpp) ---
    void ApplySelectionColour(std::int32_t colour);
    void PlacePadFromFile(const PadRecord& pad);
    void ClearPadData();
    void AddPoint(bool keepSelection);
    // --- end of pads ---

    // --- tracing (TraceHooks.cpp) ---
    void StartFill(int picture, int x, int y);
    bool FillConfirmationVisible() const;
    void ShowTracesWindowIfHidden();
    void DrawAllTraces();
    // --- end of tracing ---

    // --- shared state ---
    clsOpenSave OpenSave;
    clsINI Doc;
    std::string ProjectPath;
    bool Saved = true;
    std::string MainSection{kFilePathSection};
    float CursorScaleX = 1;
    float CursorScaleY = 1;
    int OldX1 = 0, OldY1 = 0, OldX2 = 0, OldY2 = 0;
    CursorMark Cur1, Cur2;
    std::int32_t FillColor = 255;
    double ColorBound = 0.1;
    bool PickColor = false;
    bool FillRunning = false;
    bool MouseHeld = false;
    bool ShiftHeld = false;
    int SelectionColourStep = 0;  // 1..8 once the timer has run
    std::string HelpFile;         // empty when the program's help pages are missing
    // The recorded traces of picture 1 and picture 2, in list order; the only copy between saves.
    std::vector<std::string> TraceList1, TraceList2;
    // Full paths of the loaded pictures.
    std::string PicturePath1, PicturePath2;

    // A project is open; the project menus follow this state at the next tick.
    bool projectOpen() const { return projectOpen_; }
    void setProjectOpen(bool open) { projectOpen_ = open; }
    // Long work (a fill) runs: commands that would replace or remove the pictures wait.
    bool busy() const { return FillRunning; }

    MainMenu& menus() { return *menu_; }
    Ui& ui() { return ui_; }
    QTimer* timer() const { return timer_; }
    Panes* panes() const { return panes_; }
    frmSyn* syncWizard() const { return syn_; }
    bool wizardOpen() const { return synOpen_; }

    // The eight colours selected pad markers cycle through, one step per tick.
    static std::int32_t SelectionColour(int step);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void connectMenu();
    void connectPanes();
    bool Form_QueryUnload();
    void Form_Unload();
    std::vector<ComponentData> componentsToSave() const;

    // Runs the save prompt, then closes; false when the user cancelled and nothing changed.
    bool closeProject();
    // Closes without asking: used after the prompt, and to drop a half-opened project.
    void discardProject();
    // Reads the document just loaded from path into pictures, pads, scale, cursors and traces.
    // False when a picture is missing (already reported); throws when a picture cannot be decoded.
    bool loadProjectFromDocument(const std::string& path);
    void showProjectPictures();
    void showCursors();
    CursorSyncState syncState() const;
    void applySyncState(const CursorSyncState& state);
    void dragOn(int picture, Qt::MouseButtons buttons, int x, int y);
    void mouseDown(int picture, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void mouseUp(int picture, Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

    Ui& ui_;
    std::unique_ptr<MainMenu> menu_;
    QTimer* timer_ = nullptr;
    Panes* panes_ = nullptr;
    frmSyn* syn_ = nullptr;
    bool synOpen_ = false;
    bool projectOpen_ = false;
    bool unloaded_ = false;
};

}  // namespace korvane
