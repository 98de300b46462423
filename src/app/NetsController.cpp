#include "app/NetsController.h"

#include <QAction>

#include "app/MainWindow.h"
#include "nets/CheckWindow.h"
#include "nets/ConnectivityCheck.h"
#include "nets/CopperRuns.h"
#include "nets/NetsPanel.h"
#include "platform/Ui.h"
#include "project/PadCommands.h"
#include "project/Project.h"
#include "transforms/PaintedPixels.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {

NetsController::NetsController(MainWindow& window, Ui& ui, Project& project)
    : window_(window), ui_(ui), project_(project) {
    panel_ = new NetsPanel(project, window.panes()->P1(), window.panes()->P2(), &window);
    window.addDockWidget(Qt::RightDockWidgetArea, panel_);
    // Hidden until asked for, so that the panes keep the whole window a user is used to.
    panel_->hide();
    check_ = new CheckWindow(&window);
    QObject::connect(check_, &CheckWindow::findingChosen, &window,
                     [this](const std::vector<int>& pads) { showFinding(pads); });
    QObject::connect(check_, &CheckWindow::nameSuggestedRequested, &window,
                     [this](const std::vector<NetSuggestion>& suggestions) { nameSuggested(suggestions); });
    if (QAction* item = window.menus().action(QStringLiteral("mnuNets"))) {
        item->setCheckable(true);
        QObject::connect(item, &QAction::triggered, &window, [this] { toggleNetsPanel(); });
        // The panel's own close box hides it too: the check mark follows what is seen.
        QObject::connect(panel_, &QDockWidget::visibilityChanged, item, [this, item] {
            if (!window_.isHidden()) {
                item->setChecked(panel_->isVisible());
            }
        });
    }
    if (QAction* item = window.menus().action(QStringLiteral("mnuCheck"))) {
        QObject::connect(item, &QAction::triggered, &window, [this] { checkConnectivity(); });
    }
}

NetsController::~NetsController() {
    // Both call back into this controller and observe the project: they go with it.
    delete check_;
    delete panel_;
}

void NetsController::toggleNetsPanel() {
    panel_->setVisible(!panel_->isVisible());
    if (QAction* item = window_.menus().action(QStringLiteral("mnuNets"))) {
        item->setChecked(panel_->isVisible());
    }
}

bool NetsController::handleKey(int key, Qt::KeyboardModifiers modifiers) {
    if (!window_.projectOpen()) {
        return false;
    }
    return panel_->handleKey(key, modifiers);
}

void NetsController::reset() {
    panel_->reset();
    check_->setReport(CheckReport{});
    check_->hide();
}

void NetsController::checkConnectivity() {
    if (!window_.projectOpen() || window_.busy()) {
        return;
    }
    BusyPointer busy(ui_);
    auto painted = [this](int layer) {
        return (layer == 1 ? window_.panes()->P1() : window_.panes()->P2())->paintedPixels(false);
    };
    PaintedPixels layer1 = painted(1);
    PaintedPixels layer2 = painted(2);
    // The check reads the copper the traces painted; traces kept but not drawn (the offer at open
    // declined) are drawn first, or every pad would seem untraced.
    if ((!project_.traces1.empty() && layer1.empty()) || (!project_.traces2.empty() && layer2.empty())) {
        window_.tracing().drawAllTraces();
        if (!window_.projectOpen()) {
            return;  // the drawing handed control to the events, which may have closed the project
        }
        layer1 = painted(1);
        layer2 = painted(2);
    }
    const CheckReport report =
        CheckConnectivity(project_.pads, CopperRuns::FromPainted(layer1), CopperRuns::FromPainted(layer2));
    panel_->setCheckReport(report);
    check_->setReport(report);
    check_->show();
    check_->raise();
}

void NetsController::nameSuggested(const std::vector<NetSuggestion>& suggestions) {
    if (suggestions.empty() || !window_.projectOpen() || window_.busy()) {
        return;
    }
    ApplyPadEdit(project_, NameSuggestedPadsEdit(suggestions));
    checkConnectivity();  // the findings as they stand now
}

void NetsController::showFinding(const std::vector<int>& pads) {
    panel_->highlightPads(pads);
    if (pads.empty() || !window_.projectOpen()) {
        return;
    }
    // The cursors go to the first pad's marker, and the panes follow them as for a listed trace.
    if (const PadMarker* marker = project_.pads.markers.Pad1.get(pads.front())) {
        window_.pictureMouseMove(1, Qt::LeftButton, Qt::NoModifier, int(marker->left), int(marker->top));
        window_.tracing().scrollCursorIntoView();
    }
}

}  // namespace korvane
