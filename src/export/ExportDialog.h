#pragma once

// The export dialog: the project's components one at a time, each with its schematic symbol, part type
// and footprint, which the user fills from pick lists or by typing and stores with Update; Export writes
// the net list (Protel or KiCad, as chosen) and the schematic from what the dialog holds. Modal and owned by
// the main window; Close only hides it, so the files chosen at one export are where the next export's dialogs
// start.
//
// The data and their rules live in ExportDialogModel; this class copies them into widgets and turns
// clicks into the model's operations. Update is a step of the project's history; the dialog follows the
// project's component events while it is up. Field texts are bytes of whatever code page wrote the project: a
// field the user did not edit hands back the stored bytes unchanged.

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <string>

#include "export/ExportDialogModel.h"
#include "export/ExportRun.h"
#include "platform/FormControls.h"
#include "project/ProjectObserver.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimer;

namespace korvane {

class Project;
class Ui;
class FileDialogState;

class ExportDialog : public QDialog, public ProjectObserver {
    Q_OBJECT

  public:
    // What the dialog asks of the main window.
    struct Host {
        std::function<int()> savePrompt;           // the main window's Save
        std::function<std::string()> projectPath;  // named as the source of a KiCad net list
    };

    // project: its pads' lists and component table. programDir: the folder whose Lib/ holds the
    // libraries. fileDialog: the program's file-dialog object.
    ExportDialog(QWidget* owner, Ui& ui, Project& project, std::string programDir,
                 FileDialogState& fileDialog, Host host);
    ~ExportDialog() override;

    void setProgramDir(std::string programDir) { programDir_ = std::move(programDir); }

    // Rebuilds the lists from the project and shows the dialog modally (without blocking the caller);
    // false, with "Nothing to export." said and the dialog hidden, when there is no component.
    bool ShowExport();

    // ---- handlers ----
    void chooseComponent(int index);
    void pickPartType(int index);
    void pickFootprint(int index);
    void pickSymbol(int index);
    void updateComponent();
    // Runs the export; the outcome says what was written.
    ExportOutcome exportFiles();
    void closeDialog();
    void followFields();

    // The component list or a component's data changed (an Update, the pad dialog, an undo).
    void componentsChanged() override;

    const ExportDialogModel& model() const { return model_; }
    const ExportFiles& previousFiles() const { return previous_; }
    QTimer* timer() const { return Timer_; }

  protected:
    void reject() override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    enum Field { kRef = 0, kLabel = 1, kPackage = 2 };
    void buildControls();
    QComboBox* field(Field which) const;
    // The field's text as bytes: the stored bytes while the user has not edited it.
    std::string fieldBytes(Field which) const;
    void setField(Field which, const std::string& bytes);
    // The model's fields into the widgets, and the widgets' texts into the model.
    void showModelFields();
    void takeFields();
    void fillControls();

    Ui& ui_;
    Project& project_;
    std::string programDir_;
    FileDialogState& fileDialog_;
    Host host_;
    ExportDialogModel model_;
    ExportFiles previous_;
    mutable std::array<controls::FieldBytes, 3> fieldBytes_;

    QLabel* Label3_ = nullptr;
    QComboBox* cboComp_ = nullptr;
    QGroupBox* Frame1_ = nullptr;
    QPushButton* cmdUpdate_ = nullptr;
    QComboBox* cboSch_ = nullptr;
    QComboBox* cboLib_ = nullptr;
    QComboBox* cboLabel_ = nullptr;
    QComboBox* cboLab_ = nullptr;
    QComboBox* cboPackage_ = nullptr;
    QComboBox* cboLibP_ = nullptr;
    QLabel* lblFormat_ = nullptr;
    QComboBox* cboFormat_ = nullptr;  // the net list's format, kept while the program runs
    QPushButton* cmdExport_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
    QTimer* Timer_ = nullptr;
};

}  // namespace korvane
