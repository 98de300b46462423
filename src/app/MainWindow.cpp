#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <optional>

#include "app/Shell.h"
#include "export/ExportDialog.h"
#include "help/AboutWindow.h"
#include "platform/QtText.h"
#include "platform/Registry.h"
#include "platform/Ui.h"
#include "text/Numbers.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {

namespace {

// Fill colours of the colour menu, packed as 0x00BBGGRR, with their captions; item 0 (black) keeps the
// caption it was designed with and has no tag.
struct ColourItem {
    const char* caption;
    std::int32_t value;
};
constexpr ColourItem kColourItems[] = {{"Red", 255},       {"Green", 65280},      {"Yellow", 65535},
                                       {"Blue", 16711680}, {"Magenta", 16711935}, {"Cyan", 16776960},
                                       {"White", 16777215}};

constexpr std::int32_t kSelectionColours[8] = {0, 255, 65280, 65535, 16711680, 16711935, 16776960, 16777215};

// The menus that make sense only while a project is open.
const char* const kProjectMenus[] = {"mnuSave", "mnuSaveAs", "mnuClose", "mnuExport", "mnuEdit", "mnuView"};

}  // namespace

MainWindow::MainWindow(Ui& ui, Project& project, QWidget* parent)
    : QMainWindow(parent), ui_(ui), project_(project) {
    setObjectName(QStringLiteral("F"));
    setAcceptDrops(true);
    menu_ = std::make_unique<MainMenu>(this);
    help_ = std::make_unique<HelpCommands>(*this, ui);
    session_ = std::make_unique<ProjectSession>(*this, ui, project);
    pictures_ = std::make_unique<PictureCommands>(*this, ui, project);
    panes_ = new Panes(this);
    setCentralWidget(panes_);
    cursors_ = std::make_unique<CursorController>(*this, project);
    project_.addObserver(&paneFollower_);
    connectMenu();
    connectPanes();
    tracing_ = std::make_unique<TracingController>(*this, ui, project);
    pads_ = std::make_unique<PadController>(*this, ui, project);
    nets_ = std::make_unique<NetsController>(*this, ui, project);
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("Timer"));
    timer_->setInterval(250);
    connect(timer_, &QTimer::timeout, this, &MainWindow::tick);
    updateTitle();
    project_.addObserver(this);
    project_.setPixelSource([this](int layer) {
        PictureBox* box = layer == 2 ? panes_->P2() : panes_->P1();
        return box->hasPicture() ? box->guardedPixels() : ImageView{};
    });
    setWindowIcon(ApplicationIcon());
    resize(1000, 750);
}

MainWindow::~MainWindow() {
    // The project outlives the window and must not tell it anything any more.
    project_.removeObserver(this);
    project_.removeObserver(&paneFollower_);
    project_.setPixelSource({});
    // The tool windows and the panes are Qt children, which QWidget would delete only after this
    // window's own members are gone; but they hold references to those members (the trace lists, the
    // document, the Ui) and callbacks into this window. They go first, each before what it refers to:
    // the controllers' windows call back into their controllers, the panes into this window.
    delete netList_;
    netList_ = nullptr;
    nets_.reset();
    tracing_.reset();
    cursors_.reset();
    pads_.reset();
    delete panes_;
    panes_ = nullptr;
}

void MainWindow::connectMenu() {
    auto item = [this](const char* name, auto& target, auto handler) {
        if (QAction* action = menu_->action(QString::fromUtf8(name))) {
            connect(action, &QAction::triggered, this, [&target, handler] { (target.*handler)(); });
        }
    };
    item("mnuNew", *session_, &ProjectSession::newProject);
    item("mnuOpen", *session_, &ProjectSession::openProject);
    item("mnuSave", *session_, &ProjectSession::saveProject);
    item("mnuSaveAs", *session_, &ProjectSession::saveProjectAs);
    item("mnuClose", *session_, &ProjectSession::closeProject);
    item("mnuExport", *this, &MainWindow::showExportDialog);
    item("mnuFileExit", *this, &MainWindow::exitProgram);
    item("mnuHelpContents", *help_, &HelpCommands::showAbout);
    item("mnuHelp", *help_, &HelpCommands::openHelpPage);
    item("mnuDonate", *help_, &HelpCommands::openDonatePage);
    item("mnuFlipG", *pictures_, &PictureCommands::flipHorizontally);
    item("mnuFlipV", *pictures_, &PictureCommands::flipVertically);
    item("mnuRotate90", *pictures_, &PictureCommands::rotateClockwise);
    item("mnuClipboard", *pictures_, &PictureCommands::copyPictureToClipboard);
    item("mnuUndo", *this, &MainWindow::undoEdit);
    item("mnuRedo", *this, &MainWindow::redoEdit);
    item("mnuScale11", *cursors_, &CursorController::scaleOneToOne);
    item("mnuNewScale", *cursors_, &CursorController::startScaleWizard);
    item("mnuAlign", *cursors_, &CursorController::startAlignment);
    item("mnuZoomIn", *panes_, &Panes::zoomIn);
    item("mnuZoomOut", *panes_, &Panes::zoomOut);
    item("mnuFitPicture", *panes_, &Panes::fitPictures);
    item("mnuActualPixels", *panes_, &Panes::actualPixels);
    // Long work can start and end while the menu is closed; the items say what they would do when seen.
    if (QMenu* edit = menu_->menu(QStringLiteral("mnuEdit"))) {
        connect(edit, &QMenu::aboutToShow, this, &MainWindow::updateUndoActions);
    }
    updateUndoActions();
}

void MainWindow::undoEdit() {
    if (!projectOpen_ || busy()) {
        return;
    }
    project_.undo();
}

void MainWindow::redoEdit() {
    if (!projectOpen_ || busy()) {
        return;
    }
    project_.redo();
}

void MainWindow::modifiedChanged(bool) {
    updateTitle();
}

void MainWindow::historyChanged() {
    updateUndoActions();
}

void MainWindow::historyTrimmed(std::size_t steps) {
    statusBar()->showMessage(
        tr("The %n oldest step(s) can no longer be undone: the undo history is kept within %1 MB.", nullptr,
           int(steps))
            .arg(project_.history().pixelLimit() >> 20),
        10000);
}

void MainWindow::pixelsChanged(int layer, const PixelRect& area) {
    (layer == 2 ? panes_->P2() : panes_->P1())
        ->picturePainted(QRect(QPoint(area.x0, area.y0), QPoint(area.x1, area.y1)));
    if (layer == 2) {
        panes_->refreshPicture(2);  // the overlay shows it too
    }
}

void MainWindow::updateTitle() {
    setWindowTitle(toQ(WindowTitle(project_.saved(), project_.path)));
}

void MainWindow::updateUndoActions() {
    const bool idle = projectOpen_ && !busy();
    const UndoStack& history = project_.history();
    if (QAction* undo = menu_->action(QStringLiteral("mnuUndo"))) {
        undo->setText(history.canUndo() ? QStringLiteral("&Undo ") + toQ(history.undoText())
                                        : QStringLiteral("&Undo"));
        menu_->setEnabled(QStringLiteral("mnuUndo"), idle && history.canUndo());
    }
    if (QAction* redo = menu_->action(QStringLiteral("mnuRedo"))) {
        redo->setText(history.canRedo() ? QStringLiteral("&Redo ") + toQ(history.redoText())
                                        : QStringLiteral("&Redo"));
        menu_->setEnabled(QStringLiteral("mnuRedo"), idle && history.canRedo());
    }
}

void MainWindow::startUp(const std::string& commandLine) {
    // The dialog object and the document exist from construction on; the dialogs' owner is set by the
    // Ui implementation, which main() gives this window.
    tracing_->ColorBound = 0.1;
    tracing_->FillColor = 255;

    const auto& items = menu_->colourItems();
    for (int i = 1; i <= 7 && i < items.size(); ++i) {
        items[i]->setText(QString::fromUtf8(kColourItems[i - 1].caption));
        items[i]->setData(QString::number(kColourItems[i - 1].value));
    }

    help_->findGuide();

    menusFollowProject();
    if (QAction* donate = menu_->action(QStringLiteral("mnuDonate"))) {
        donate->setVisible(true);
    }

    cursors_->home();
    project_.markSaved();
    panes_->pic1()->setFocus();

    if (!commandLine.empty()) {
        const std::string longName = LongName(StripEnclosingQuotes(commandLine));
        session_->OpenSave.FileName = longName;
        if (!longName.empty()) {
            session_->OpenSave.InitDir = FolderOfPath(longName);
        }
        // The dialog must not come up before the window it belongs to.
        QTimer::singleShot(0, this, [this] { session_->openProject(); });
    } else {
        session_->LastPath =
            Registry::GetString(Registry::kKeyPath, Registry::kLastPath).value_or(std::string());
    }
    timer_->start();

    // Pixel history is what undo of fills and transforms costs; a user with a small machine can keep less.
    if (const std::optional<std::string> megabytes =
            Registry::GetString(Registry::kKeyPath, "UndoHistoryMB")) {
        const double value = parseNumber(*megabytes);
        if (value >= 0 && value < 1e6) {
            project_.setPixelHistoryLimit(std::size_t(value) << 20);
        }
    }
    session_->startAutosave();
}

std::int32_t MainWindow::selectionColour(int step) {
    return kSelectionColours[((step - 1) % 8 + 8) % 8];
}

void MainWindow::setProjectOpen(bool open) {
    projectOpen_ = open;
    menusFollowProject();
}

void MainWindow::menusFollowProject() {
    for (const char* name : kProjectMenus) {
        menu_->setEnabled(QString::fromUtf8(name), projectOpen_);
    }
    updateUndoActions();
}

void MainWindow::tick() {
    cursors_->tick(QGuiApplication::mouseButtons() != Qt::NoButton);

    SelectionColourStep = SelectionColourStep % 8 + 1;
    pads_->applySelectionColour(selectionColour(SelectionColourStep));
}

void MainWindow::exitProgram() {
    close();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            files << url.toLocalFile();
        }
    }
    if (files.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // Opening shows dialogs; let the drag finish first so the source application is not left waiting.
    QTimer::singleShot(0, this, [this, files] { session_->openDroppedFiles(files); });
}

void MainWindow::unload() {
    tracing_->stopFill();
    cursors_->cancelScaleWizard();
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (*it != this && (*it)->isVisible() && (*it)->parentWidget() == this) {
            (*it)->close();
        }
    }
    timer_->stop();
    session_->end(projectOpen_);
    unloaded_ = true;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (unloaded_) {
        event->accept();
        return;
    }
    if (pictures_->rotating()) {
        // The window closes as soon as the rotation has finished.
        pictures_->holdCloseForRotation();
        event->ignore();
        return;
    }
    if (tracing_->holdCloseForFill()) {
        event->ignore();
        return;
    }
    if (session_->askToSave() == kSaveCancel) {
        event->ignore();
        return;
    }
    unload();
    event->accept();
}

void MainWindow::PaneFollower::orientationChanged(int) {
    // A turn changes the picture's size; the bars follow it, for an undo as for the Edit menu.
    window_.panes_->Scrolling();
}

}  // namespace korvane
