#include "view/ScaleWizardWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace korvane {

namespace {
const char* const kFirstStep = "1. Place point 2 in according to point 1 and click \"Next\"";
const char* const kSecondStep = "2. Place point 4 in according to point 3 and click \"Done\"";
}  // namespace

ScaleWizardWindow::ScaleWizardWindow(QWidget* owner, std::function<CursorSyncState()> readCursors,
                                     std::function<void(float, float)> applyScales)
    : QDialog(owner, Qt::Tool), readCursors_(std::move(readCursors)), applyScales_(std::move(applyScales)) {
    setObjectName(QStringLiteral("frmSyn"));
    setWindowTitle(QStringLiteral("Moving synchronization:"));
    setModal(false);
    lblInfo_ = new QLabel(this);
    lblInfo_->setObjectName(QStringLiteral("lblInfo"));
    lblInfo_->setTextFormat(Qt::PlainText);
    cmdNext_ = new QPushButton(QStringLiteral("Next"), this);
    cmdNext_->setObjectName(QStringLiteral("cmdNext"));
    cmdNext_->setDefault(true);
    cmdCancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdCancel_->setObjectName(QStringLiteral("cmdCancel"));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdNext_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblInfo_);
    layout->addLayout(buttons);
    connect(cmdNext_, &QPushButton::clicked, this, &ScaleWizardWindow::nextStep);
    connect(cmdCancel_, &QPushButton::clicked, this, &ScaleWizardWindow::cancel);
}

void ScaleWizardWindow::start() {
    wizard_ = ScaleWizard();
    cmdNext_->setText(QStringLiteral("Next"));
    lblInfo_->setText(QString::fromUtf8(kFirstStep));
    open_ = true;
    show();
    raise();
    emit opened();
}

void ScaleWizardWindow::nextStep() {
    // The second press is recognised by the caption, as the button tells the user which step it is.
    if (cmdNext_->text() != QLatin1String("Done")) {
        wizard_.recordFirstPair(readCursors_());
        cmdNext_->setText(QStringLiteral("Done"));
        lblInfo_->setText(QString::fromUtf8(kSecondStep));
        return;
    }
    CursorSyncState state = readCursors_();
    wizard_.finish(state);
    applyScales_(state.CursorScaleX, state.CursorScaleY);
    cancel();
}

void ScaleWizardWindow::cancel() {
    hide();
    finishClose();
}

void ScaleWizardWindow::reject() {
    cancel();
}

void ScaleWizardWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    finishClose();
}

void ScaleWizardWindow::finishClose() {
    if (open_) {
        open_ = false;
        emit closed();
    }
}

}  // namespace korvane
