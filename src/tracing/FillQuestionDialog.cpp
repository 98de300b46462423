#include "tracing/FillQuestionDialog.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace korvane {

FillQuestionDialog::FillQuestionDialog(QWidget* owner)
    : QDialog(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
    setObjectName(QStringLiteral("frmWin"));
    setWindowTitle(QStringLiteral("Check the trace completely:"));
    setModal(false);

    Label1 = new QLabel(QStringLiteral("New trace: look the trace on the picture"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    cmdSelect = new QPushButton(QStringLiteral("&Save trace"), this);
    cmdSelect->setObjectName(QStringLiteral("cmdSelect"));
    cmdCancel = new QPushButton(QStringLiteral("&Delete trace"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // Enter presses the button that has the focus; the focus starts on "Save trace".
    cmdSelect->setAutoDefault(true);
    cmdSelect->setDefault(true);
    cmdCancel->setAutoDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdSelect);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addLayout(buttons);
    // The buttons alone make a box narrower than its title, and window managers cut a title to the
    // frame ("Check the t... ompletely:"). Title bars commonly use a bold face, and the frame needs room
    // for its own buttons beside the text.
    QFont titleFont = font();
    titleFont.setBold(true);
    const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + kTitleBarButtonsWidth;
    setFixedSize(std::max(sizeHint().width(), titleWidth), sizeHint().height());

    connect(cmdSelect, &QPushButton::clicked, this, &FillQuestionDialog::keepTrace);
    connect(cmdCancel, &QPushButton::clicked, this, &FillQuestionDialog::deleteTrace);
}

FillAnswer FillQuestionDialog::ask() {
    Tag.clear();
    abandoned_ = false;
    asking_ = true;
    show();
    raise();
    activateWindow();
    cmdSelect->setFocus();
    while (Tag.isEmpty() && !abandoned_) {
        QEventLoop loop;
        connect(this, &FillQuestionDialog::answered, &loop, &QEventLoop::quit);
        loop.exec();
        if (Tag.isEmpty() && !abandoned_) {
            // Only the application's exit ends the loop without an answer: leave the fill as it is.
            abandoned_ = true;
        }
    }
    asking_ = false;
    hide();
    if (abandoned_) {
        return FillAnswer::Abandon;
    }
    return Tag == QLatin1String("yes") ? FillAnswer::Save : FillAnswer::Delete;
}

void FillQuestionDialog::abandon() {
    if (asking_) {
        abandoned_ = true;
        emit answered();
    }
}

void FillQuestionDialog::setAnswer(const QString& answer) {
    Tag = answer;
    hide();
    emit answered();
}

void FillQuestionDialog::keepTrace() {
    setAnswer(QStringLiteral("yes"));
}

void FillQuestionDialog::deleteTrace() {
    setAnswer(QStringLiteral("no"));
}

void FillQuestionDialog::reject() {
    deleteTrace();
}

void FillQuestionDialog::closeEvent(QCloseEvent* event) {
    if (asking_) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace korvane
