// The main window's side of the pad markers and the pad dialog: placing pads at the cursors, the clicks
// on markers, the selection commands, the blink of selected markers, and opening and closing a project's
// pads. The edits are steps of the project's history (project/PadCommands.h); this file decides when they
// run, and the panes repaint markers from the project's events.

#include <QAction>
#include <QCoreApplication>

#include "app/MainWindow.h"
#include "pads/PadListWindow.h"
#include "pads/PadPropertiesDialog.h"
#include "platform/DataFolder.h"
#include "platform/QtText.h"
#include "platform/Ui.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {

namespace {

// The panes' side of the pad events: markers that came, went or moved are painted anew. Names show only
// in tips, which are read when they come up.
class MarkerRepaint : public ProjectObserver {
  public:
    explicit MarkerRepaint(std::function<void()> repaint) : repaint_(std::move(repaint)) {}
    void padsAdded(const std::vector<int>&) override { repaint_(); }
    void padsRemoved(const std::vector<int>&) override { repaint_(); }
    void padsMoved(const std::vector<int>&) override { repaint_(); }

  private:
    std::function<void()> repaint_;
};

}  // namespace

void MainWindow::connectPadMenus() {
    PadPropertiesDialog::Host host;
    host.markersChanged = [this] { padMarkersChanged(); };
    host.deselectAllPads = [this] { deselectAllPads(); };
    host.toggleView = [this] { togglePadDialog(); };
    host.setViewChecked = [this](bool checked) {
        if (QAction* view = menu_->action(QStringLiteral("mnuPad"))) {
            view->setChecked(checked);
        }
    };
    padDialog_ = new PadPropertiesDialog(
        this, ui_, project_, DataFolder(pathFromQ(QCoreApplication::applicationDirPath())), std::move(host));
    padViews_ = std::make_unique<MarkerRepaint>([this] { padMarkersChanged(); });
    project_.addObserver(padViews_.get());

    PictureBox* p1 = panes_->P1();
    PictureBox* p2 = panes_->P2();
    p1->setMarkers(&padDialog_->board().markers.Pad1);
    p2->setMarkers(&padDialog_->board().markers.Pad2);
    connect(p1, &PictureBox::markerMouseDown, this, &MainWindow::Pad1_MouseDown);
    connect(p2, &PictureBox::markerMouseDown, this, &MainWindow::Pad2_MouseDown);
    connect(p1, &PictureBox::markerMouseUp, this, &MainWindow::Pad1_MouseUp);
    connect(p2, &PictureBox::markerMouseUp, this, &MainWindow::Pad2_MouseUp);
    connect(p1, &PictureBox::markerMouseMove, this,
            [this](int index, Qt::MouseButtons, Qt::KeyboardModifiers, int, int, QPoint globalPos) {
                Pad1_MouseMove(index, globalPos);
            });
    connect(p2, &PictureBox::markerMouseMove, this,
            [this](int index, Qt::MouseButtons, Qt::KeyboardModifiers, int, int, QPoint globalPos) {
                Pad2_MouseMove(index, globalPos);
            });
    connect(p1, &PictureBox::markerMoved, this,
            [this](int index, double left, double top) { movePad(1, index, left, top); });
    connect(p2, &PictureBox::markerMoved, this,
            [this](int index, double left, double top) { movePad(2, index, left, top); });

    auto bind = [this](const char* name, void (MainWindow::*handler)()) {
        if (QAction* action = menu_->action(QString::fromUtf8(name))) {
            connect(action, &QAction::triggered, this, handler);
        }
    };
    bind("mnuSelectAll", &MainWindow::selectAllPads);
    bind("mnuDeSelectAll", &MainWindow::deselectAllPads);
    bind("mnuInvert", &MainWindow::invertPadSelection);
    bind("mnuDeleteSelected", &MainWindow::deleteSelectedPads);
    bind("mnuInfo", &MainWindow::showPadList);
    if (QAction* view = menu_->action(QStringLiteral("mnuPad"))) {
        view->setCheckable(true);
        connect(view, &QAction::triggered, this, [this, view] {
            // A checkable action flips its own mark before it triggers; the toggle flips it itself.
            view->setChecked(!view->isChecked());
            togglePadDialog();
        });
    }
}

PadPropertiesDialog* MainWindow::padDialog() const {
    return padDialog_;
}

PadListWindow* MainWindow::infoWindow() const {
    return infoWindow_;
}

void MainWindow::padMarkersChanged() {
    panes_->P1()->markersChanged();
    panes_->P2()->markersChanged();
}

void MainWindow::applySelectionColour(std::int32_t colour) {
    if (padDialog_ == nullptr) {
        return;
    }
    const PadMarkers::ColourChange change = padDialog_->board().markers.applyColour(colour);
    if (change.picture1) {
        panes_->P1()->update();
    }
    if (change.picture2) {
        panes_->P2()->update();
    }
}

void MainWindow::padsLoaded() {
    std::vector<int> pads;
    const PadMarkers& markers = project_.pads.markers;
    for (int n = 1; n <= markers.highest(); ++n) {
        if (markers.exists(n)) {
            pads.push_back(n);
        }
    }
    // One announcement for the whole board: the views copy the lists once, not once per pad.
    if (!pads.empty()) {
        project_.notify([&pads](ProjectObserver& o) { o.padsAdded(pads); });
    }
    project_.notify([](ProjectObserver& o) { o.componentsChanged(); });
}

void MainWindow::clearPads() {
    padDialog_->board().clearAll();
    padDialog_->setCurrentPad(0);
    padDialog_->syncLists();
    padMarkersChanged();
}

void MainWindow::clearPadData() {
    clearPads();
    project_.doc.RemoveSection(kComponentsSection);
    padDialog_->projectClosed();
}

void MainWindow::addPadAtCursors(bool keepSelection) {
    padTool_.placeAtCursors(keepSelection);
}

void MainWindow::addPadAtCursors(int Index, bool DeselectOthers, bool SelectNew) {
    padTool_.placeAtCursors(Index, DeselectOthers, SelectNew);
}

void MainWindow::showCurrentPadNames() {
    padDialog_->loadCurrentPad();
}

void MainWindow::movePad(int picture, int Index, double left, double top) {
    padTool_.markerDropped(picture, Index, left, top);
}

void MainWindow::Pad1_MouseDown(int Index, Qt::MouseButton button, Qt::KeyboardModifiers shift, int, int) {
    padTool_.markerPressed(1, Index, button, shift);
}

void MainWindow::Pad2_MouseDown(int Index, Qt::MouseButton button, Qt::KeyboardModifiers shift, int, int) {
    padTool_.markerPressed(2, Index, button, shift);
}

void MainWindow::Pad1_MouseUp(int Index, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    padTool_.markerReleased(1, Index, button, x, y);
}

void MainWindow::Pad2_MouseUp(int Index, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    padTool_.markerReleased(2, Index, button, x, y);
}

void MainWindow::Pad1_MouseMove(int Index, QPoint globalPos) {
    padTool_.markerHovered(1, Index, globalPos);
}

void MainWindow::Pad2_MouseMove(int Index, QPoint globalPos) {
    padTool_.markerHovered(2, Index, globalPos);
}

void MainWindow::selectAllPads() {
    if (!projectOpen_) {
        return;
    }
    padDialog_->board().markers.selectAll();
    padDialog_->setCurrentPad(0);
    padDialog_->setSelectionControlsEnabled(true);
    padDialog_->forgetPatterns();
    padMarkersChanged();
}

void MainWindow::deselectAllPads() {
    if (!projectOpen_) {
        return;
    }
    padDialog_->board().markers.deselectAll();
    padDialog_->setSelectionControlsEnabled(false);
    padDialog_->forgetPatterns();
    padMarkersChanged();
}

void MainWindow::invertPadSelection() {
    if (!projectOpen_) {
        return;
    }
    PadMarkers& markers = padDialog_->board().markers;
    markers.invert();
    padDialog_->setSelectionControlsEnabled(markers.selectedCount() > 0);
    padDialog_->forgetPatterns();
    padMarkersChanged();
}

void MainWindow::deleteSelectedPads() {
    if (!projectOpen_) {
        return;
    }
    padDialog_->deleteSelectedPads();
}

void MainWindow::togglePadDialog() {
    if (QAction* view = menu_->action(QStringLiteral("mnuPad"))) {
        view->setChecked(!view->isChecked());
    }
    // The check mark and the visibility are flipped independently, as they always were.
    if (padDialog_->isHidden()) {
        padDialog_->showModeless();
    } else {
        padDialog_->hide();
    }
}

void MainWindow::showPadList() {
    if (!projectOpen_) {
        return;
    }
    if (infoWindow_ == nullptr) {
        infoWindow_ = new PadListWindow(
            this, ui_, session_->OpenSave, [this] { return padDialog_->board().selectedDescriptions(); },
            [this] { return project_.path; });
        project_.addObserver(infoWindow_);
    }
    infoWindow_->show();
    infoWindow_->raise();
    infoWindow_->activateWindow();
}

}  // namespace korvane
