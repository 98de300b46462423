#pragma once

// The life of the open project as the user drives it: New, Open, Save, Save As and Close, the save prompt,
// the recovery file kept while work is unsaved, and the file dialogs' state between them. The window's
// menus call these; the project itself belongs to the application.

#include <QStringList>
#include <string>

#include "platform/FileDialogState.h"

class QTimer;

namespace korvane {

class IniDocument;
class MainWindow;
class Project;
class Ui;

// Outcomes of the save prompt, as callers have always tested them.
enum SaveOutcome : int { kSaveNothingToSave = 3, kSaveSaved = 0, kSaveDiscard = 1, kSaveCancel = 2 };

class ProjectSession {
  public:
    ProjectSession(MainWindow& window, Ui& ui, Project& project);

    void newProject();
    void openProject();
    void saveProject();
    void saveProjectAs();
    void closeProject();
    // Dropped file lists: the first file is offered in the Open dialog.
    void openDroppedFiles(const QStringList& files);

    // The save prompt; returns a SaveOutcome. Callers stop on kSaveCancel.
    int askToSave();
    // Writes the project to its path; false (already reported to the user) when the file could not be
    // written, in which case the saved state stays as it was.
    bool saveToFile();
    // Runs the save prompt, then closes; false when the user cancelled and nothing changed.
    bool closeAfterPrompt();
    // Closes without asking: used after the prompt, and to drop a half-opened project.
    void discardProject();

    // While the project is modified, what a save would write goes to its recovery file beside it; the
    // project file and the saved state are left alone. Run by the autosave timer.
    void autosaveNow();
    // Starts autosaving every "AutosaveMinutes" (a setting; 0 turns it off).
    void startAutosave();
    double AutosaveMinutes = 2;
    QTimer* autosaveTimer() const { return autosaveTimer_; }
    // The program ends: the timer stops, the place of the dialogs is remembered, and a recovery file this
    // session wrote for a project closed cleanly goes.
    void end(bool projectOpen);

    // The open project's path, or the remembered one while no project is open.
    const std::string& dialogStartPath() const;

    FileDialogState OpenSave;
    // The project last opened or saved, remembered across runs as "LastPath": where the file dialogs
    // start. Kept apart from the project's path so that no project is named while none is open.
    std::string LastPath;

  private:
    // Reads the document just loaded from path into pictures, pads, scale, cursors and traces. False when
    // a picture is missing (already reported); throws when a picture cannot be decoded. offerTraces tells
    // whether the project has traces to offer for drawing.
    bool loadProjectFromDocument(const std::string& path, bool& offerTraces);
    void showProjectPictures();
    // The state that lives outside the document between saves (main values, components, traces), written
    // into ini as a save writes it.
    void writeProjectState(IniDocument& ini) const;
    // The project is closed cleanly: a recovery file this session wrote for it has served its purpose.
    void dropOwnRecovery();

    MainWindow& window_;
    Ui& ui_;
    Project& project_;
    QTimer* autosaveTimer_ = nullptr;
    bool recoveryWritten_ = false;      // this session wrote the open project's recovery file
    bool autosaveFailureTold_ = false;  // a recovery file that cannot be written is reported once a run
};

}  // namespace korvane
