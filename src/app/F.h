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

class QFrame;
class QScrollBar;
class QTimer;

namespace korvane {

class Ui;

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
    void Main_Saving();

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

    // Dropped file lists: the first file is offered in the Open dialog.
    void Form_OLEDragDrop(const QStringList& files);

    // Hooks that later features fill in.
    void AutoPos();
    void ApplySelectionColour(std::int32_t colour);

    // --- shared state ---
    clsOpenSave OpenSave;
    clsINI Doc;
    std::string ProjectPath;
    bool Saved = true;
    std::string MainSection{kFilePathSection};
    double CursorScaleX = 1;
    double CursorScaleY = 1;
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

    // A project is open; the project menus follow this state at the next tick.
    bool projectOpen() const { return projectOpen_; }
    void setProjectOpen(bool open) { projectOpen_ = open; }

    MainMenu& menus() { return *menu_; }
    Ui& ui() { return ui_; }
    QTimer* timer() const { return timer_; }

    // The eight colours selected pad markers cycle through, one step per tick.
    static std::int32_t SelectionColour(int step);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildPanes();
    void connectMenu();
    bool Form_QueryUnload();
    void Form_Unload();
    std::vector<ComponentData> componentsToSave() const;
    std::vector<std::string> tracesToSave(int picture) const;

    Ui& ui_;
    std::unique_ptr<MainMenu> menu_;
    QTimer* timer_ = nullptr;
    QFrame* pic1_ = nullptr;
    QFrame* pic2_ = nullptr;
    QScrollBar* HS_ = nullptr;
    QScrollBar* VS_ = nullptr;
    bool projectOpen_ = false;
    bool unloaded_ = false;
};

}  // namespace korvane
