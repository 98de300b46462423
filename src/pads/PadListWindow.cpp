#include "pads/PadListWindow.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/FileDialogState.h"
#include "platform/QtText.h"
#include "platform/Ui.h"
#include "storage/AtomicFile.h"

namespace korvane {

namespace {

constexpr const char* kCountPrefix = "Total quantity of selected pads: ";
constexpr const char* kPresetName = "new_list.txt";
// Explorer style, long names, read-only box hidden, prompt before overwriting.
constexpr std::int32_t kSaveFlags = 2621446;

// A line break inside a description would split it in the file; written as a blank instead.
std::string fileLine(const std::string& line) {
    std::string out = line;
    for (char& c : out) {
        if (c == '\r' || c == '\n' || c == '\0') {
            c = ' ';
        }
    }
    return out;
}

}  // namespace

PadListWindow::PadListWindow(QWidget* owner, Ui& ui, FileDialogState& dialogs,
                             std::function<std::vector<std::string>()> selectedDescriptions,
                             std::function<std::string()> projectPath)
    : QMainWindow(owner),
      ui_(ui),
      dialogs_(dialogs),
      selectedDescriptions_(std::move(selectedDescriptions)),
      projectPath_(std::move(projectPath)) {
    setObjectName(QStringLiteral("frmInfo"));
    setWindowTitle(QStringLiteral("Pad's info as text:"));

    auto* central = new QWidget(this);
    Label1_ = new QLabel(QStringLiteral("Select lines to saving into file"), central);
    Label1_->setObjectName(QStringLiteral("Label1"));
    List_ = new QListWidget(central);
    List_->setObjectName(QStringLiteral("List"));
    List_->setToolTip(QStringLiteral("Pad's info"));
    List_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    List_->setUniformItemSizes(true);  // thousands of pads list quickly
    auto* layout = new QVBoxLayout(central);
    layout->addWidget(Label1_);
    layout->addWidget(List_);
    setCentralWidget(central);

    mnuFile_ = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile_->setObjectName(QStringLiteral("mnuFile"));
    mnuSaveAs_ = mnuFile_->addAction(QStringLiteral("Save list as ..."));
    mnuSaveAs_->setObjectName(QStringLiteral("mnuSaveAs"));
    mnuSaveAs_->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    mnuFile_->addSeparator();
    mnuClose_ = mnuFile_->addAction(QStringLiteral("&Close info   ESC"));
    mnuClose_->setObjectName(QStringLiteral("mnuClose"));
    mnuEdit_ = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuEdit_->setObjectName(QStringLiteral("mnuEdit"));
    mnuSelectAll_ = mnuEdit_->addAction(QStringLiteral("Select all lines"));
    mnuSelectAll_->setObjectName(QStringLiteral("mnuSelectAll"));
    mnuSelectAll_->setShortcut(QKeySequence(QStringLiteral("Ctrl+A")));

    connect(mnuSaveAs_, &QAction::triggered, this, &PadListWindow::saveListingAs);
    connect(mnuClose_, &QAction::triggered, this, &PadListWindow::closeWindow);
    connect(mnuSelectAll_, &QAction::triggered, this, &PadListWindow::selectAllText);
    connect(qGuiApp, &QGuiApplication::focusWindowChanged, this, &PadListWindow::focusWindowChanged);
}

void PadListWindow::Rebuild() {
    const std::vector<std::string> descriptions = selectedDescriptions_();
    lines_.clear();
    if (!descriptions.empty()) {
        lines_.reserve(descriptions.size() + 1);
        lines_.push_back(kCountPrefix + std::to_string(descriptions.size()));
        lines_.insert(lines_.end(), descriptions.begin(), descriptions.end());
    }
    List_->setUpdatesEnabled(false);
    List_->clear();
    QStringList texts;
    texts.reserve(qsizetype(lines_.size()));
    for (const std::string& line : lines_) {
        texts << toQ(line);
    }
    List_->addItems(texts);
    List_->setUpdatesEnabled(true);
}

void PadListWindow::rebuildIfShown() {
    if (isVisible()) {
        Rebuild();
    }
}

void PadListWindow::saveListingAs() {
    dialogs_.DialogTitle = "File name to pad's info saving:";
    dialogs_.FileName = kPresetName;
    dialogs_.FileTitle = kPresetName;
    dialogs_.SetFilter("*.*|*.*");
    dialogs_.Flags = kSaveFlags;
    dialogs_.InitDir = projectPath_();
    // A cancelled dialog leaves the preset name in place, so only the dialog's outcome tells a cancel
    // from a confirmed "new_list.txt". The modal dialog keeps the other windows from taking input while
    // it is open.
    if (dialogs_.ShowSave() == FileChoice::Cancelled) {
        return;
    }
    const std::string path = dialogs_.FileName;

    std::string bytes;
    for (int row = 0; row < List_->count(); ++row) {
        if (List_->item(row)->isSelected() && std::size_t(row) < lines_.size()) {
            bytes += fileLine(lines_[std::size_t(row)]);
            bytes += "\r\n";
        }
    }
    // Written beside the target and renamed over it: an existing list is replaced, never appended to,
    // and a failure leaves it as it was.
    std::string reason;
    if (!writeFileAtomically(path, bytes, &reason)) {
        ui_.message(MessageRequest{"Can't save the pad's info into file:\n" + path +
                                       (reason.empty() ? std::string() : "\n(" + reason + ")"),
                                   "File save error:", MsgButtons::Ok, MsgIcon::Critical, 1});
    }
}

void PadListWindow::selectAllText() {
    List_->selectAll();
}

void PadListWindow::closeWindow() {
    hide();
}

void PadListWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        closeWindow();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void PadListWindow::focusWindowChanged(QWindow* window) {
    // Only a move to another window of the program says where the focus went; a move to nothing (the
    // user switched to another program) leaves the judgement as it was.
    if (window == nullptr || window == windowHandle()) {
        return;
    }
    leftForModal_ = QGuiApplication::modalWindow() != nullptr;
}

bool PadListWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        if (leftForModal_) {
            leftForModal_ = false;
        } else {
            Rebuild();
        }
    }
    return QMainWindow::event(event);
}

}  // namespace korvane
