// The main window's side of the export: opening the export dialog from the menu and putting it away with
// the project. What the dialog shows and writes is the dialog's business.

#include <QCoreApplication>

#include "app/F.h"
#include "export/ExportDialogModel.h"
#include "export/frmNetList.h"
#include "pads/frmPad.h"
#include "platform/DataFolder.h"
#include "platform/QtText.h"

namespace korvane {

frmNetList* F::exportDialog() {
    if (netList_ == nullptr) {
        frmNetList::Host host;
        host.markModified = [this] { Saved = false; };
        host.savePrompt = [this] { return Save(); };
        host.projectPath = [this] { return ProjectPath; };
        netList_ = new frmNetList(this, ui_, padDialog_->board(),
                                  DataFolder(pathFromQ(QCoreApplication::applicationDirPath())), OpenSave,
                                  std::move(host));
    }
    return netList_;
}

void F::mnuExport_Click() {
    if (!projectOpen_ || busy()) {
        return;
    }
    if (ExportDialogModel::NothingToExport(padDialog_->board(), ui_)) {
        return;
    }
    exportDialog()->ShowExport();
}

void F::HideExportDialog() {
    if (netList_ != nullptr) {
        netList_->hide();
    }
}

}  // namespace korvane
