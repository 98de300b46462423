#include "nets/NetsPanel.h"

#include <QAction>
#include <QCursor>
#include <QHeaderView>
#include <QTreeWidget>
#include <algorithm>

#include "nets/Ratsnest.h"
#include "platform/QtText.h"
#include "project/Project.h"
#include "view/PictureBox.h"

namespace korvane {

namespace {

const QString kNotChecked = QStringLiteral("\u2014");

enum Column { kNameColumn, kPadsColumn, kCheckColumn };

}  // namespace

NetsPanel::NetsPanel(Project& project, PictureBox* picture1, PictureBox* picture2, QWidget* parent)
    : QDockWidget(QStringLiteral("Nets"), parent),
      project_(project),
      picture1_(picture1),
      picture2_(picture2) {
    setObjectName(QStringLiteral("dockNets"));
    list_ = new QTreeWidget(this);
    list_->setObjectName(QStringLiteral("lstNets"));
    list_->setColumnCount(3);
    list_->setHeaderLabels({QStringLiteral("Net"), QStringLiteral("Pads"), QStringLiteral("Check")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);  // a board of a thousand nets lists quickly
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->header()->setSectionResizeMode(kNameColumn, QHeaderView::Stretch);
    list_->header()->setStretchLastSection(false);
    setWidget(list_);

    highlightAction_ = new QAction(QStringLiteral("Highlight net under pointer"), this);
    highlightAction_->setObjectName(QStringLiteral("actHighlightNet"));
    clearAction_ = new QAction(QStringLiteral("Clear net highlight"), this);
    clearAction_->setObjectName(QStringLiteral("actClearHighlight"));
    connect(highlightAction_, &QAction::triggered, this, [this] { highlightNetAt(QCursor::pos()); });
    connect(clearAction_, &QAction::triggered, this, &NetsPanel::clearHighlight);
    connect(list_, &QTreeWidget::itemSelectionChanged, this, &NetsPanel::rowSelected);

    project_.addObserver(this);
    rebuild();
}

NetsPanel::~NetsPanel() {
    project_.removeObserver(this);
}

void NetsPanel::rebuild() {
    nets_ = NetList::Build(project_.pads);
    // The highlighted net stays highlighted with the pads it has now; one that lost its last pad is gone.
    if (mode_ == Mode::Net) {
        const int row = nets_.indexOfName(highlightKey_);
        if (row < 0) {
            setHighlighted(Mode::None, {}, {});
        } else {
            setHighlighted(Mode::Net, highlightKey_, nets_.nets()[std::size_t(row)].pads);
        }
    } else if (mode_ == Mode::Pads) {
        std::vector<int> pads;
        for (int n : highlighted_) {
            if (project_.pads.markers.exists(n)) {
                pads.push_back(n);
            }
        }
        const Mode mode = pads.empty() ? Mode::None : Mode::Pads;
        setHighlighted(mode, {}, std::move(pads));
    }
    fillList();
}

void NetsPanel::reset() {
    checked_ = false;
    checkStates_.clear();
    setHighlighted(Mode::None, {}, {});
    rebuild();
}

void NetsPanel::fillList() {
    filling_ = true;
    list_->setUpdatesEnabled(false);
    list_->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(qsizetype(nets_.nets().size()));
    for (const NetEntry& net : nets_.nets()) {
        auto* item = new QTreeWidgetItem;
        item->setText(kNameColumn, net.unnamed() ? QStringLiteral("(unnamed)") : toQ(net.name));
        item->setText(kPadsColumn, QString::number(net.pads.size()));
        item->setTextAlignment(kPadsColumn, Qt::AlignRight | Qt::AlignVCenter);
        item->setText(kCheckColumn, checkText(net));
        items.push_back(item);
    }
    list_->addTopLevelItems(items);
    if (mode_ == Mode::Net) {
        const int row = nets_.indexOfName(highlightKey_);
        if (row >= 0) {
            list_->setCurrentItem(list_->topLevelItem(row));
        }
    }
    list_->setUpdatesEnabled(true);
    filling_ = false;
}

QString NetsPanel::checkText(const NetEntry& net) const {
    if (!checked_ || net.unnamed()) {
        return kNotChecked;
    }
    const auto found = checkStates_.find(NetKey(net.name));
    if (found == checkStates_.end()) {
        return kNotChecked;
    }
    switch (found->second) {
        case NetCheckState::Short:
            return QStringLiteral("Short");
        case NetCheckState::Open:
            return QStringLiteral("Open");
        case NetCheckState::Untraced:
            return QStringLiteral("Untraced");
        case NetCheckState::Good:
            return QStringLiteral("OK");
    }
    return kNotChecked;
}

void NetsPanel::setCheckReport(const CheckReport& report) {
    checked_ = true;
    checkStates_.clear();
    for (const auto& [name, state] : report.nets) {
        // Two spellings of one net (which the check should not report) keep the worse state.
        auto [at, inserted] = checkStates_.emplace(NetKey(name), state);
        if (!inserted) {
            at->second = std::min(at->second, state);
        }
    }
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        list_->topLevelItem(row)->setText(kCheckColumn, checkText(nets_.nets()[std::size_t(row)]));
    }
}

void NetsPanel::clearCheckReport() {
    checked_ = false;
    checkStates_.clear();
    for (int row = 0; row < list_->topLevelItemCount(); ++row) {
        list_->topLevelItem(row)->setText(kCheckColumn, kNotChecked);
    }
}

void NetsPanel::selectRow(int row) {
    QTreeWidgetItem* item = list_->topLevelItem(row);
    if (item == nullptr) {
        return;
    }
    list_->setCurrentItem(item);
    item->setSelected(true);
    list_->scrollToItem(item);
}

void NetsPanel::rowSelected() {
    if (filling_) {
        return;
    }
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        if (mode_ == Mode::Net) {
            setHighlighted(Mode::None, {}, {});
        }
        return;
    }
    const int row = list_->indexOfTopLevelItem(selected.front());
    if (row < 0 || std::size_t(row) >= nets_.nets().size()) {
        return;
    }
    const NetEntry& net = nets_.nets()[std::size_t(row)];
    setHighlighted(Mode::Net, NetKey(net.name), net.pads);
}

bool NetsPanel::highlightNetOfPad(int n) {
    const int row = nets_.indexOfPad(n);
    if (row < 0) {
        return false;
    }
    selectRow(row);
    return true;
}

bool NetsPanel::highlightNet(std::string_view name) {
    const int row = nets_.indexOfName(name);
    if (row < 0) {
        return false;
    }
    selectRow(row);
    return true;
}

void NetsPanel::highlightPads(std::vector<int> pads) {
    std::sort(pads.begin(), pads.end());
    pads.erase(std::unique(pads.begin(), pads.end()), pads.end());
    std::erase_if(pads, [this](int n) { return !project_.pads.markers.exists(n); });
    filling_ = true;
    list_->clearSelection();
    filling_ = false;
    const Mode mode = pads.empty() ? Mode::None : Mode::Pads;
    setHighlighted(mode, {}, std::move(pads));
}

void NetsPanel::clearHighlight() {
    filling_ = true;
    list_->clearSelection();
    filling_ = false;
    setHighlighted(Mode::None, {}, {});
}

bool NetsPanel::highlightNetAt(QPoint globalPos) {
    for (PictureBox* box : {picture1_.data(), picture2_.data()}) {
        if (box == nullptr || !box->isVisible()) {
            continue;
        }
        // The part of the picture its pane shows: a marker scrolled out of view is not under the pointer.
        const QPoint local = box->mapFromGlobal(globalPos);
        if (!box->visibleRegion().contains(local)) {
            continue;
        }
        const int n = box->markerAt(local.x(), local.y());
        return n != 0 && highlightNetOfPad(n);
    }
    return false;
}

bool NetsPanel::handleKey(int key, Qt::KeyboardModifiers modifiers) {
    if ((modifiers & ~(Qt::KeypadModifier | Qt::ShiftModifier)) != Qt::NoModifier) {
        return false;
    }
    if (key == Qt::Key_N) {
        return highlightNetAt(QCursor::pos());
    }
    if (key == Qt::Key_Escape && mode_ != Mode::None) {
        clearHighlight();
        return true;
    }
    return false;
}

void NetsPanel::setHighlighted(Mode mode, std::string key, std::vector<int> pads) {
    const bool changed = pads != highlighted_;
    mode_ = mode;
    highlightKey_ = std::move(key);
    highlighted_ = std::move(pads);
    showHighlight();
    if (changed) {
        emit highlightChanged(highlighted_);
    }
}

void NetsPanel::showHighlight() {
    // Pads without a net have nothing to be joined to: outlined, with no ratsnest.
    const bool joined = !(mode_ == Mode::Net && highlightKey_.empty());
    for (int picture : {1, 2}) {
        PictureBox* box = picture == 1 ? picture1_.data() : picture2_.data();
        if (box == nullptr) {
            continue;
        }
        const MarkerArray& markers = project_.pads.markers.array(picture);
        std::vector<int> shown;
        std::vector<RatsPoint> points;
        shown.reserve(highlighted_.size());
        points.reserve(highlighted_.size());
        for (int n : highlighted_) {
            const PadMarker* marker = markers.get(n);
            if (marker != nullptr && marker->visible) {
                shown.push_back(n);
                points.push_back({marker->left, marker->top});
            }
        }
        std::vector<QLineF> lines;
        if (joined) {
            const std::vector<RatsLine> tree = Ratsnest(points);
            lines.reserve(tree.size());
            for (const RatsLine& line : tree) {
                lines.emplace_back(line.from.x, line.from.y, line.to.x, line.to.y);
            }
        }
        box->setHighlight(std::move(shown), std::move(lines));
    }
}

}  // namespace korvane
