#include "view/AlignmentWindow.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <cmath>

namespace korvane {

namespace {

ConstImageView viewOf(const QImage& image) {
    return {reinterpret_cast<const std::uint32_t*>(image.constBits()), image.width(), image.height(),
            int(image.bytesPerLine() / 4)};
}

QString point(double x, double y) {
    return QStringLiteral("%1, %2").arg(x, 0, 'f', 0).arg(y, 0, 'f', 0);
}

QPushButton* button(QWidget* parent, const char* name, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    return b;
}

}  // namespace

AlignmentWindow::AlignmentWindow(QWidget* owner, Hooks hooks) : QDialog(owner), hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("frmAlign"));
    setWindowTitle(QStringLiteral("Align layers"));
    table_ = new QTableWidget(0, 3, this);
    table_->setObjectName(QStringLiteral("pairTable"));
    table_->setHorizontalHeaderLabels(
        {QStringLiteral("First picture"), QStringLiteral("Second picture"), QStringLiteral("Residual, px")});
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    summary_ = new QLabel(this);
    summary_->setObjectName(QStringLiteral("lblSummary"));
    summary_->setWordWrap(true);
    cmdAddCursors_ = button(this, "cmdAddCursors", "Add the &cursors");
    cmdAddPads_ = button(this, "cmdAddPads", "Add the selected &pads");
    cmdMove_ = button(this, "cmdMove", "&Move to the cursors");
    cmdRemove_ = button(this, "cmdRemove", "&Remove");
    cmdAuto_ = button(this, "cmdAuto", "Align &automatically");
    cmdApply_ = button(this, "cmdApply", "Apply");
    cmdCancel_ = button(this, "cmdCancel", "Cancel");
    auto* layout = new QGridLayout(this);
    layout->addWidget(table_, 0, 0, 1, 4);
    layout->addWidget(summary_, 1, 0, 1, 4);
    layout->addWidget(cmdAddCursors_, 2, 0);
    layout->addWidget(cmdAddPads_, 2, 1);
    layout->addWidget(cmdMove_, 2, 2);
    layout->addWidget(cmdRemove_, 2, 3);
    layout->addWidget(cmdAuto_, 3, 0, 1, 2);
    layout->addWidget(cmdApply_, 3, 2);
    layout->addWidget(cmdCancel_, 3, 3);
    connect(cmdAddCursors_, &QPushButton::clicked, this, &AlignmentWindow::addCursors);
    connect(cmdAddPads_, &QPushButton::clicked, this, &AlignmentWindow::addSelectedPads);
    connect(cmdMove_, &QPushButton::clicked, this, &AlignmentWindow::moveToCursors);
    connect(cmdRemove_, &QPushButton::clicked, this, &AlignmentWindow::removeSelected);
    connect(cmdAuto_, &QPushButton::clicked, this, &AlignmentWindow::alignAutomatically);
    connect(cmdApply_, &QPushButton::clicked, this, &AlignmentWindow::applyAlignment);
    connect(cmdCancel_, &QPushButton::clicked, this, &AlignmentWindow::cancel);
    resize(560, 420);
}

AlignmentWindow::~AlignmentWindow() {
    stopAutomatic();
}

void AlignmentWindow::start() {
    stopAutomatic();
    draft_ = AlignmentDraft(hooks_.current ? hooks_.current() : std::nullopt);
    show();
    QDialog::show();
    raise();
}

void AlignmentWindow::show(const QString& note) {
    const auto& pairs = draft_.pairs();
    table_->setRowCount(int(pairs.size()));
    for (int row = 0; row < int(pairs.size()); ++row) {
        const AlignPair& p = pairs[std::size_t(row)];
        const bool fitted = std::size_t(row) < draft_.residuals().size();
        const bool flagged = fitted && draft_.flagged()[std::size_t(row)];
        const QString residual =
            fitted ? QString::number(draft_.residuals()[std::size_t(row)], 'f', 2) + (flagged ? " !" : "")
                   : QString();
        const QString cells[] = {point(p.x1, p.y1), point(p.x2, p.y2), residual};
        for (int column = 0; column < 3; ++column) {
            auto* item = new QTableWidgetItem(cells[column]);
            if (flagged) {
                item->setForeground(Qt::red);
                item->setToolTip(
                    QStringLiteral("This pair fits more than three times worse than the median"));
            }
            table_->setItem(row, column, item);
        }
    }
    QString text;
    if (draft_.map()) {
        const AffineMap& m = *draft_.map();
        text = QStringLiteral("%1 pairs, RMS %2 px%3.")
                   .arg(pairs.size())
                   .arg(draft_.rms(), 0, 'f', 2)
                   .arg(m.determinant() < 0 ? QStringLiteral(", the second layer is mirrored") : QString());
    } else {
        text =
            QStringLiteral("Add at least two pairs of corresponding points, three or more for a full fit.");
    }
    summary_->setText(note.isEmpty() ? text : note + QLatin1Char(' ') + text);
    const bool idle = !aligningAutomatically();
    cmdApply_->setEnabled(idle && draft_.map().has_value());
    for (QPushButton* b : {cmdAddCursors_, cmdAddPads_, cmdMove_, cmdRemove_, cmdAuto_}) {
        b->setEnabled(idle);
    }
}

void AlignmentWindow::addCursors() {
    if (hooks_.cursors) {
        draft_.add(hooks_.cursors());
        show();
        table_->selectRow(int(draft_.pairs().size()) - 1);
    }
}

void AlignmentWindow::addSelectedPads() {
    if (hooks_.selectedPads) {
        for (const AlignPair& pair : hooks_.selectedPads()) {
            draft_.add(pair);
        }
        show();
    }
}

void AlignmentWindow::removeSelected() {
    std::vector<int> rows;
    for (const QModelIndex& index : table_->selectionModel()->selectedRows()) {
        rows.push_back(index.row());
    }
    draft_.remove(rows);
    show();
}

void AlignmentWindow::moveToCursors() {
    const int row = table_->currentRow();
    if (row >= 0 && hooks_.cursors) {
        draft_.move(row, hooks_.cursors());
        show();
        table_->selectRow(row);
    }
}

void AlignmentWindow::alignAutomatically() {
    if (aligningAutomatically() || !hooks_.pictures) {
        return;
    }
    const auto [first, second] = hooks_.pictures();
    if (first.isNull() || second.isNull()) {
        return;
    }
    stop_ = std::make_shared<std::atomic<bool>>(false);
    if (hooks_.busy) {
        hooks_.busy(true);
    }
    show();
    summary_->setText(QStringLiteral("Looking for the drill holes on both layers... (Esc stops)"));
    worker_ = std::thread([this, first = first, second = second, stop = stop_] {
        std::string why;
        std::optional<AutoAlignment> found = AutoAlign(viewOf(first), viewOf(second), stop.get(), &why);
        if (stop->load()) {
            return;  // the window stopped waiting: nothing to deliver
        }
        QMetaObject::invokeMethod(
            this,
            [this, stop, found = std::move(found), why] {
                if (!stop->load()) {  // Esc may have come between the end of the search and this
                    automaticDone(found, QString::fromStdString(why));
                }
            },
            Qt::QueuedConnection);
    });
}

void AlignmentWindow::automaticDone(std::optional<AutoAlignment> found, QString why) {
    if (worker_.joinable()) {
        worker_.join();
    }
    if (hooks_.busy) {
        hooks_.busy(false);
    }
    if (found) {
        draft_.replace(found->pairs);
        show(QStringLiteral("Found %1 matching holes (%2 and %3 holes seen).")
                 .arg(found->pairs.size())
                 .arg(found->holes1)
                 .arg(found->holes2));
    } else {
        show(QStringLiteral("No alignment found: %1.").arg(why));
    }
    emit autoFinished();
}

void AlignmentWindow::stopAutomatic() {
    if (!worker_.joinable()) {
        return;
    }
    stop_->store(true);
    worker_.join();
    if (hooks_.busy) {
        hooks_.busy(false);
    }
}

void AlignmentWindow::applyAlignment() {
    if (aligningAutomatically() || !draft_.map()) {
        return;
    }
    if (hooks_.apply) {
        hooks_.apply(draft_.result());
    }
    hide();
}

void AlignmentWindow::cancel() {
    stopAutomatic();
    hide();
}

void AlignmentWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && aligningAutomatically()) {
        // Esc stops the search and keeps the window open with the pairs as they were.
        stopAutomatic();
        show(QStringLiteral("Stopped."));
        emit autoFinished();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AlignmentWindow::reject() {
    cancel();
}

}  // namespace korvane
