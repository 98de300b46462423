#pragma once

// The pad properties dialog: names the pads selected on the main window (pad designator, net,
// component), deletes the current pad, and selects the pads of a net or component. The pads, name lists
// and component table are the project's (PadBoard); every edit made here is one step of the project's
// history, and the dialog follows the project's change events (its lists, the counts, the current pad's
// fields), whoever made the change. Modeless and owned by the main window; closing only hides it.
//
// The fields show names as text, but the names are bytes of whatever code page wrote the project: a field
// the user did not edit hands back the stored bytes unchanged, so Apply never re-encodes a name it only
// displayed.

#include <QDialog>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pads/PadBoard.h"
#include "pads/PadPropertiesForm.h"
#include "platform/FormControls.h"
#include "project/PadCommands.h"
#include "project/ProjectObserver.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QWindow;

namespace korvane {

class Project;
class Ui;

class PadPropertiesDialog : public QDialog, public ProjectObserver {
    Q_OBJECT

  public:
    // What the dialog asks of the main window.
    struct Host {
        std::function<void()> markersChanged;   // repaints the markers of both pictures (a selection)
        std::function<void()> deselectAllPads;  // the main window's "De-select all pads"
        std::function<void()> toggleView;       // View > Pads
        std::function<void(bool)> setViewChecked;
    };

    // programDir: the folder whose Lib/ holds the libraries of the pick lists.
    PadPropertiesDialog(QWidget* owner, Ui& ui, Project& project, std::string programDir, Host host);
    ~PadPropertiesDialog() override;

    PadBoard& board() { return *board_; }
    const PadBoard& board() const { return *board_; }
    void setProgramDir(std::string programDir) { programDir_ = std::move(programDir); }

    // The single pad being edited, 0 while several pads are edited (or none).
    int currentPad() const { return currentPad_; }
    void setCurrentPad(int n);

    // ---- what the pad markers ask of the dialog ----

    // Loads the current pad's stored names into the three fields .
    void loadCurrentPad();
    // A double click: pad n at the places, named with the three fields (as the Apply that follows placing
    // a pad), as one step. False when no pad was placed.
    bool placePad(int n, const PadPlace& place);
    // The Apply that follows a plain click on a pad: the three fields and both positions into the current
    // pad's record only, whatever fields are enabled.
    void applyToCurrentPad();
    // cboPad, cmdDelPad, cboNet, cmdSelNet, cboComp, cmdSelComp.
    void setSelectionControlsEnabled(bool enabled);
    // Both remembered selection patterns become empty.
    void forgetPatterns();
    const std::string& netPattern() const { return netPattern_; }
    const std::string& compPattern() const { return compPattern_; }
    // The main window's "Delete selected pads".
    void deleteSelectedPads();
    // The project went away (its pads are cleared already): no current pad, empty fields and lists, hidden.
    void projectClosed();
    // Shown without blocking, brought to the front.
    void showModeless();

    // ---- fields ----

    // The field's name as bytes: the stored bytes while the user has not edited it.
    std::string fieldText(NameField field) const;
    // Puts a stored name into a field (not a user edit).
    void setFieldText(NameField field, const std::string& bytes);
    QComboBox* field(NameField field) const;

    // Copies the board's lists into the combo boxes.
    void syncLists();
    // The counts, "Del" and the duplicate test, from the project and the fields as they are now.
    void refreshStatus();

    // The three component data fields (reference, part type, footprint) as bytes.
    ComponentData dataFields() const;

    // ---- handlers ----
    void applyNames();
    void closeDialog();
    void deleteCurrentPad();
    void selectNetPads();
    void selectComponentPads();
    void pickComponentName(int index);
    void pickSymbol(int index);
    void pickFootprint(int index);
    void pickPartType(int index);
    // The work done each time the user comes to the dialog: the pick lists from the libraries (the lists
    // of the project follow its events).
    void loadPickLists();

    // ---- the project's change events ----
    void padsAdded(const std::vector<int>& pads) override;
    void padsRemoved(const std::vector<int>& pads) override;
    void padsRenamed(const std::vector<int>& pads) override;
    void componentsChanged() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

  private:
    void buildControls();
    void nameTextChanged(NameField field);
    // Refuses names the project file could not keep; false after telling the user.
    bool acceptableNames(unsigned fields, const PadNames& names);
    PadNames fieldNames() const;
    // The data fields show the stored data of the component that the designator field names, or nothing.
    void showComponentData();
    // The data fields for the designator field's component when the user changed them (stored with the
    // names, as the export dialog's Update stores them); none when only shown.
    std::optional<ComponentData> typedComponentData() const;
    // Runs an edit made here; the fields stay as they are while the project announces it.
    bool apply(std::unique_ptr<PadEdit> edit, const std::optional<ComponentData>& typed);
    void afterApply();
    const NameList& listOf(NameField field) const;

    Ui& ui_;
    Project& project_;
    PadBoard* board_;
    std::string programDir_;
    Host host_;
    int currentPad_ = 0;
    std::string netPattern_;
    std::string compPattern_;
    mutable std::array<controls::FieldBytes, 3> fieldBytes_;
    mutable std::array<controls::FieldBytes, 3> dataBytes_;
    ComponentData shownData_;     // what showComponentData last put into the data fields
    bool settingFields_ = false;  // changes made by the program, not by the user
    bool applying_ = false;       // an edit of this dialog is running
    bool activating_ = false;
    std::vector<std::string> symbols_;

    PadPropertiesForm form_;
};

}  // namespace korvane
