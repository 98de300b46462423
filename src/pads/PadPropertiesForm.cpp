#include "pads/PadPropertiesForm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "platform/FormControls.h"

namespace korvane {

using namespace controls;

void PadPropertiesForm::build(QDialog* dialog) {
    const int width = 300;
    Label1 = label(dialog, "Label1", "Pad designator:", {8, 6, 220, 18}, "(Total quantitynity)");
    cboPad = comboBox(dialog, "cboPad", {8, 24, 222, 24}, "Select pad or enter new name", true);
    cmdDelPad = button(dialog, "cmdDelPad", "Del", {236, 24, 56, 24}, "Delete this pad");
    cmdDelPad->setStyleSheet(QStringLiteral("QPushButton { background-color: rgb(255, 0, 0); }"));
    Label2 = label(dialog, "Label2", "Net name:", {8, 52, 220, 18}, "(Total quantity)");
    cboNet = comboBox(dialog, "cboNet", {8, 70, 222, 24}, "Select net or enter new name", true);
    cmdSelNet = button(dialog, "cmdSelNet", "Sel", {236, 70, 56, 24}, "Select pads of the net");

    Frame1 = new QGroupBox(QStringLiteral("Component:"), dialog);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    Frame1->setGeometry(4, 100, width - 8, 214);
    Label3 = label(Frame1, "Label3", "Designator:", {8, 20, 200, 18}, "(Total quantity)");
    cboComp = comboBox(Frame1, "cboComp", {8, 38, 160, 24}, "Select component or enter new name", true);
    cmdSelComp = button(Frame1, "cmdSelComp", "Sel", {172, 38, 52, 24}, "Select pads of the component");
    cmdCompCoord = button(Frame1, "cmdCompCoord", "x,y", {228, 38, 56, 24},
                          "Save component's coordinates or go to the component");
    label(Frame1, "Label4", "Reference of scheme library:", {8, 66, 276, 18});
    dataField(Frame1, {8, 84, 276, 24}, cboSch, "cboSch", "Select from list ONLY !", cboLib, "cboLib",
              "Select from list ONLY !");
    label(Frame1, "Label5", "Part type (label-value, comment):", {8, 112, 276, 18});
    dataField(Frame1, {8, 130, 276, 24}, cboLabel, "cboLabel", "Enter manually", cboLab, "cboLab",
              "Select from list");
    label(Frame1, "Label6", "Package (footprint):", {8, 158, 276, 18});
    dataField(Frame1, {8, 176, 276, 24}, cboPackage, "cboPackage", "Enter manually", cboLibP, "cboLibP",
              "Select from list");

    chkAutoSet = new QCheckBox(dialog);
    chkAutoSet->setObjectName(QStringLiteral("chkAutoSet"));
    chkAutoSet->setGeometry(10, 324, 22, 24);
    chkAutoSet->setToolTip(QStringLiteral("Keep in fields the previous data"));
    chkAutoSet->setChecked(false);
    cmdOk = button(dialog, "cmdOk", "&Apply", {36, 322, 124, 28}, "Save pad info");
    cmdOk->setAutoDefault(true);
    cmdOk->setDefault(true);
    cmdCancel = button(dialog, "cmdCancel", "&Close (Esc)", {168, 322, 124, 28}, nullptr);
    dialog->setFixedSize(width, 358);
}

}  // namespace korvane
