// The main window's side of the export: opening the export dialog from the menu and putting it away with
// the project. What the dialog shows and writes is the dialog's business.

#include <QCoreApplication>

#include "app/MainWindow.h"
#include "export/ExportDialog.h"
#include "export/ExportDialogModel.h"
#include "pads/PadPropertiesDialog.h"
#include "platform/DataFolder.h"
#include "platform/QtText.h"

namespace korvane {

ExportDialog* MainWindow::exportDialog() {
    if (netList_ == nullptr) {
        ExportDialog::Host host;
        host.savePrompt = [this] { return session_->askToSave(); };
        host.projectPath = [this] { return project_.path; };
        netList_ = new ExportDialog(this, ui_, project_,
                                    DataFolder(pathFromQ(QCoreApplication::applicationDirPath())),
                                    session_->OpenSave, std::move(host));
    }
    return netList_;
}

void MainWindow::showExportDialog() {
    if (!projectOpen_ || busy()) {
        return;
    }
    if (ExportDialogModel::NothingToExport(project_.pads, ui_)) {
        return;
    }
    exportDialog()->ShowExport();
}

void MainWindow::hideExportDialog() {
    if (netList_ != nullptr) {
        netList_->hide();
    }
}

}  // namespace korvane
