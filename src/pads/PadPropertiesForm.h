#pragma once

// The controls of the pad properties dialog, laid out as designed; their object names are the ones the
// dialog's users and tests know them by. The dialog gives them their behaviour.

class QCheckBox;
class QComboBox;
class QDialog;
class QGroupBox;
class QLabel;
class QPushButton;

namespace korvane {

struct PadPropertiesForm {
    // Makes the controls on dialog and sets its size.
    void build(QDialog* dialog);

    QLabel* Label1 = nullptr;
    QComboBox* cboPad = nullptr;
    QPushButton* cmdDelPad = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* cboNet = nullptr;
    QPushButton* cmdSelNet = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* cboComp = nullptr;
    QPushButton* cmdSelComp = nullptr;
    QPushButton* cmdCompCoord = nullptr;
    QComboBox* cboSch = nullptr;
    QComboBox* cboLib = nullptr;
    QComboBox* cboLabel = nullptr;
    QComboBox* cboLab = nullptr;
    QComboBox* cboPackage = nullptr;
    QComboBox* cboLibP = nullptr;
    QCheckBox* chkAutoSet = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
};

}  // namespace korvane
