#include "app/PadController.h"

#include <QAction>
#include <QCoreApplication>
#include <utility>

#include "app/MainWindow.h"
#include "pads/PadListWindow.h"
#include "pads/PadPropertiesDialog.h"
#include "platform/DataFolder.h"
#include "platform/QtText.h"
#include "platform/Ui.h"
#include "project/PadCommands.h"
#include "project/Project.h"
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

PadController::PadController(MainWindow& window, Ui& ui, Project& project)
    : window_(window), ui_(ui), project_(project), tool_(window) {
    connectMenus();
}

PadController::~PadController() {
    // The dialog and the listing are the main window's children, but they call back into this
    // controller: they go with it.
    project_.removeObserver(infoWindow_);
    delete infoWindow_;
    project_.removeObserver(padViews_.get());
    padViews_.reset();
    delete padDialog_;
}

void PadController::connectMenus() {
    PadPropertiesDialog::Host host;
    host.markersChanged = [this] { padMarkersChanged(); };
    host.deselectAllPads = [this] { deselectAllPads(); };
    host.toggleView = [this] { togglePadDialog(); };
    host.setViewChecked = [this](bool checked) {
        if (QAction* view = window_.menus().action(QStringLiteral("mnuPad"))) {
            view->setChecked(checked);
        }
    };
    padDialog_ = new PadPropertiesDialog(&window_, ui_, project_,
                                         DataFolder(pathFromQ(QCoreApplication::applicationDirPath())),
                                         std::move(host));
    padViews_ = std::make_unique<MarkerRepaint>([this] { padMarkersChanged(); });
    project_.addObserver(padViews_.get());

    PictureBox* p1 = window_.panes()->P1();
    PictureBox* p2 = window_.panes()->P2();
    p1->setMarkers(&padDialog_->board().markers.Pad1);
    p2->setMarkers(&padDialog_->board().markers.Pad2);
    QObject::connect(p1, &PictureBox::markerMouseDown, &window_,
                     [this](int i, Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                         Pad1_MouseDown(i, b, m, x, y);
                     });
    QObject::connect(p2, &PictureBox::markerMouseDown, &window_,
                     [this](int i, Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                         Pad2_MouseDown(i, b, m, x, y);
                     });
    QObject::connect(p1, &PictureBox::markerMouseUp, &window_,
                     [this](int i, Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                         Pad1_MouseUp(i, b, m, x, y);
                     });
    QObject::connect(p2, &PictureBox::markerMouseUp, &window_,
                     [this](int i, Qt::MouseButton b, Qt::KeyboardModifiers m, int x, int y) {
                         Pad2_MouseUp(i, b, m, x, y);
                     });
    QObject::connect(p1, &PictureBox::markerMouseMove, &window_,
                     [this](int index, Qt::MouseButtons, Qt::KeyboardModifiers, int, int, QPoint globalPos) {
                         Pad1_MouseMove(index, globalPos);
                     });
    QObject::connect(p2, &PictureBox::markerMouseMove, &window_,
                     [this](int index, Qt::MouseButtons, Qt::KeyboardModifiers, int, int, QPoint globalPos) {
                         Pad2_MouseMove(index, globalPos);
                     });
    QObject::connect(p1, &PictureBox::markerMoved, &window_,
                     [this](int index, double left, double top) { movePad(1, index, left, top); });
    QObject::connect(p2, &PictureBox::markerMoved, &window_,
                     [this](int index, double left, double top) { movePad(2, index, left, top); });

    auto bind = [this](const char* name, void (PadController::*handler)()) {
        if (QAction* action = window_.menus().action(QString::fromUtf8(name))) {
            QObject::connect(action, &QAction::triggered, &window_, [this, handler] { (this->*handler)(); });
        }
    };
    bind("mnuSelectAll", &PadController::selectAllPads);
    bind("mnuDeSelectAll", &PadController::deselectAllPads);
    bind("mnuInvert", &PadController::invertPadSelection);
    bind("mnuDeleteSelected", &PadController::deleteSelectedPads);
    bind("mnuInfo", &PadController::showPadList);
    for (const auto& [name, layer] : {std::pair{"mnuPadsFirstOnly", 1}, std::pair{"mnuPadsSecondOnly", 2},
                                      std::pair{"mnuPadsThrough", 0}}) {
        if (QAction* action = window_.menus().action(QString::fromUtf8(name))) {
            QObject::connect(action, &QAction::triggered, &window_,
                             [this, layer = layer] { setSelectedPadsLayer(layer); });
        }
    }
    if (QAction* view = window_.menus().action(QStringLiteral("mnuPad"))) {
        view->setCheckable(true);
        QObject::connect(view, &QAction::triggered, &window_, [this, view] {
            // A checkable action flips its own mark before it triggers; the toggle flips it itself.
            view->setChecked(!view->isChecked());
            togglePadDialog();
        });
    }
}

void PadController::padMarkersChanged() {
    window_.panes()->P1()->markersChanged();
    window_.panes()->P2()->markersChanged();
}

void PadController::applySelectionColour(std::int32_t colour) {
    if (padDialog_ == nullptr) {
        return;
    }
    const PadMarkers::ColourChange change = padDialog_->board().markers.applyColour(colour);
    if (change.picture1) {
        window_.panes()->P1()->update();
    }
    if (change.picture2) {
        window_.panes()->refreshPicture(2);
    }
}

void PadController::padsLoaded() {
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

void PadController::clearPads() {
    padDialog_->board().clearAll();
    padDialog_->setCurrentPad(0);
    padDialog_->syncLists();
    padMarkersChanged();
}

void PadController::clearPadData() {
    clearPads();
    project_.doc.RemoveSection(kComponentsSection);
    padDialog_->projectClosed();
}

void PadController::addPadAtCursors(bool keepSelection) {
    tool_.placeAtCursors(keepSelection);
}

void PadController::addPadAtCursors(int Index, bool DeselectOthers, bool SelectNew) {
    tool_.placeAtCursors(Index, DeselectOthers, SelectNew);
}

void PadController::showCurrentPadNames() {
    padDialog_->loadCurrentPad();
}

void PadController::movePad(int picture, int Index, double left, double top) {
    tool_.markerDropped(picture, Index, left, top);
}

void PadController::Pad1_MouseDown(int Index, Qt::MouseButton button, Qt::KeyboardModifiers shift, int, int) {
    tool_.markerPressed(1, Index, button, shift);
}

void PadController::Pad2_MouseDown(int Index, Qt::MouseButton button, Qt::KeyboardModifiers shift, int, int) {
    tool_.markerPressed(2, Index, button, shift);
}

void PadController::Pad1_MouseUp(int Index, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    tool_.markerReleased(1, Index, button, x, y);
}

void PadController::Pad2_MouseUp(int Index, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
    tool_.markerReleased(2, Index, button, x, y);
}

void PadController::Pad1_MouseMove(int Index, QPoint globalPos) {
    tool_.markerHovered(1, Index, globalPos);
}

void PadController::Pad2_MouseMove(int Index, QPoint globalPos) {
    tool_.markerHovered(2, Index, globalPos);
}

void PadController::selectAllPads() {
    if (!window_.projectOpen()) {
        return;
    }
    padDialog_->board().markers.selectAll();
    padDialog_->setCurrentPad(0);
    padDialog_->setSelectionControlsEnabled(true);
    padDialog_->forgetPatterns();
    padMarkersChanged();
}

void PadController::deselectAllPads() {
    if (!window_.projectOpen()) {
        return;
    }
    padDialog_->board().markers.deselectAll();
    padDialog_->setSelectionControlsEnabled(false);
    padDialog_->forgetPatterns();
    padMarkersChanged();
}

void PadController::invertPadSelection() {
    if (!window_.projectOpen()) {
        return;
    }
    PadMarkers& markers = padDialog_->board().markers;
    markers.invert();
    padDialog_->setSelectionControlsEnabled(markers.selectedCount() > 0);
    padDialog_->forgetPatterns();
    padMarkersChanged();
}

void PadController::deleteSelectedPads() {
    if (!window_.projectOpen()) {
        return;
    }
    padDialog_->deleteSelectedPads();
}

void PadController::setSelectedPadsLayer(int layer) {
    if (!window_.projectOpen() || window_.busy()) {
        return;
    }
    ApplyPadEdit(project_, PadLayerEdit(project_.pads.markers.selectedPads(), layer));
}

void PadController::togglePadDialog() {
    if (QAction* view = window_.menus().action(QStringLiteral("mnuPad"))) {
        view->setChecked(!view->isChecked());
    }
    // The check mark and the visibility are flipped independently, as they always were.
    if (padDialog_->isHidden()) {
        padDialog_->showModeless();
    } else {
        padDialog_->hide();
    }
}

void PadController::showPadList() {
    if (!window_.projectOpen()) {
        return;
    }
    if (infoWindow_ == nullptr) {
        infoWindow_ = new PadListWindow(
            &window_, ui_, window_.session().OpenSave,
            [this] { return padDialog_->board().selectedDescriptions(); }, [this] { return project_.path; });
        project_.addObserver(infoWindow_);
    }
    infoWindow_->show();
    infoWindow_->raise();
    infoWindow_->activateWindow();
}

}  // namespace korvane
