#include "tracing/TracesWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/QtText.h"

namespace korvane {

namespace {

constexpr int kKeyEscape = 27;
constexpr int kKeyDelete = 46;

// Packed 0x00BBGGRR, red in the low byte.
QColor packedColour(std::uint32_t packed) {
    return QColor(int(packed & 0xFF), int((packed >> 8) & 0xFF), int((packed >> 16) & 0xFF));
}

int keyCodeOf(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            return kKeyEscape;
        case Qt::Key_Delete:
            return kKeyDelete;
        default:
            return 0;
    }
}

}  // namespace

TracesWindow::TracesWindow(QWidget* owner, TraceList& list1, TraceList& list2, Hooks hooks)
    : QWidget(owner, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      list1_(list1),
      list2_(list2),
      hooks_(std::move(hooks)) {
    setObjectName(QStringLiteral("frmTraces"));
    setWindowTitle(QStringLiteral("Traces:"));
    // Showing the window after a fill must not take the keys away from the panes.
    setAttribute(Qt::WA_ShowWithoutActivating);

    Label1 = new QLabel(
        QStringLiteral(
            "Click to show. Select: CTRL, SHIFT enabled.\nFormat: PicN-X-Y-OrigColor=FillColor-Dmin-Dmax"),
        this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setToolTip(QStringLiteral(
        "Trace format: Picture number - X-coord - Y-coord - Original point color = Filling color - low color "
        "boundary - high color boundary"));
    lstTrace1 = new QListWidget(this);
    lstTrace1->setObjectName(QStringLiteral("lstTrace1"));
    lstTrace1->setToolTip(QStringLiteral("Traces on the first picture"));
    lstTrace2 = new QListWidget(this);
    lstTrace2->setObjectName(QStringLiteral("lstTrace2"));
    lstTrace2->setToolTip(QStringLiteral("Traces on the second picture"));
    cmdDel = new QPushButton(QStringLiteral("Delete traces (Del)"), this);
    cmdDel->setObjectName(QStringLiteral("cmdDel"));
    cmdDel->setToolTip(QStringLiteral("Re-paint trace and delete lines from lists"));
    cmdDraw = new QPushButton(QStringLiteral("Draw all traces NOW"), this);
    cmdDraw->setObjectName(QStringLiteral("cmdDraw"));
    QPalette face = cmdDraw->palette();
    face.setColor(QPalette::Button, packedColour(0x8080FF));
    cmdDraw->setPalette(face);
    cmdDraw->setAutoFillBackground(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdDel);
    buttons->addWidget(cmdDraw);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(lstTrace1);
    layout->addWidget(lstTrace2);
    layout->addLayout(buttons);
    resize(380, 420);
    setFixedSize(size());

    for (int number : {1, 2}) {
        QListWidget* widget = list(number);
        widget->setSelectionMode(QAbstractItemView::ExtendedSelection);
        widget->installEventFilter(this);
        // A click, and moving through the list with the keys, both show the record.
        connect(widget, &QListWidget::itemClicked, this, [this, number] { showSeedOfListed(number); });
        connect(widget, &QListWidget::currentRowChanged, this, [this, number] { showSeedOfListed(number); });
        model(number).setObserver([this, number](bool appended) { follow(number, appended); });
        follow(number, false);
    }
    cmdDel->installEventFilter(this);
    cmdDraw->installEventFilter(this);
    connect(cmdDel, &QPushButton::clicked, this, &TracesWindow::eraseSelectedTraces);
    connect(cmdDraw, &QPushButton::clicked, this, &TracesWindow::drawAll);
}

TracesWindow::~TracesWindow() {
    list1_.setObserver({});
    list2_.setObserver({});
    lstTrace1->disconnect(this);
    lstTrace2->disconnect(this);
}

void TracesWindow::follow(int number, bool appended) {
    QListWidget* widget = list(number);
    const TraceList& records = model(number);
    const QSignalBlocker quiet(widget);
    if (appended && std::size_t(widget->count()) + 1 == records.size()) {
        widget->addItem(toQ(records[records.size() - 1]));
        return;
    }
    widget->clear();
    for (const std::string& record : records) {
        widget->addItem(toQ(record));
    }
}

ReplayOutcome TracesWindow::ReplayTrace(const std::string& record, int mode) {
    const ReplayOutcome outcome = hooks_.replay ? hooks_.replay(record, mode) : ReplayOutcome::Malformed;
    if (outcome == ReplayOutcome::Malformed) {
        if (std::find(unreadable_.begin(), unreadable_.end(), record) == unreadable_.end()) {
            unreadable_.push_back(record);
        }
        if (!collecting_) {
            reportCollected();
        }
    }
    return outcome;
}

void TracesWindow::reportCollected() {
    if (!unreadable_.empty() && hooks_.reportUnreadable) {
        hooks_.reportUnreadable(unreadable_);
    }
    unreadable_.clear();
}

void TracesWindow::drawAll() {
    if (!hooks_.beginRun || !hooks_.beginRun()) {
        return;
    }
    collecting_ = true;
    bool stopped = false;
    for (int number : {1, 2}) {
        const std::size_t count = model(number).size();
        for (std::size_t i = 0; i < count && !stopped; ++i) {
            // Events are handled while a trace is drawn; a closing project takes the list with it.
            if ((hooks_.stopRun && hooks_.stopRun()) || i >= model(number).size()) {
                stopped = true;
                break;
            }
            const std::string record = model(number)[i];
            ReplayTrace(record, 1);
        }
    }
    collecting_ = false;
    if (!stopped) {
        reportCollected();
    }
    unreadable_.clear();
    hooks_.endRun();
}

bool TracesWindow::eraseSelected(int number) {
    QListWidget* widget = list(number);
    std::vector<std::size_t> selected;
    for (int row = 0; row < widget->count(); ++row) {
        if (widget->item(row)->isSelected()) {
            selected.push_back(std::size_t(row));
        }
    }
    // The lines erased are the lines removed, whatever the selection does while they are repainted.
    std::vector<std::size_t> erased;
    for (std::size_t row : selected) {
        if ((hooks_.stopRun && hooks_.stopRun()) || row >= model(number).size()) {
            return false;
        }
        const std::string record = model(number)[row];
        if (ReplayTrace(record, 2) == ReplayOutcome::Malformed) {
            continue;  // an unreadable line stays where it is
        }
        if (hooks_.stopRun && hooks_.stopRun()) {
            return false;
        }
        erased.push_back(row);
    }
    if (!erased.empty() && hooks_.erased) {
        hooks_.erased(number, erased);
    }
    return true;
}

void TracesWindow::eraseSelectedTraces() {
    if (!hooks_.beginRun || !hooks_.beginRun()) {
        return;
    }
    collecting_ = true;
    const bool finished = eraseSelected(1) && eraseSelected(2);
    collecting_ = false;
    if (finished) {
        reportCollected();
    }
    unreadable_.clear();
    hooks_.endRun();
}

void TracesWindow::listKeyPressed(int number, int keyCode) {
    if (keyCode != kKeyDelete || !hooks_.beginRun || !hooks_.beginRun()) {
        return;
    }
    collecting_ = true;
    const bool finished = eraseSelected(number);
    collecting_ = false;
    if (finished) {
        reportCollected();
    }
    unreadable_.clear();
    hooks_.endRun();
}

void TracesWindow::showSeedOfListed(int number) {
    const int row = list(number)->currentRow();
    if (row < 0 || std::size_t(row) >= model(number).size() || !hooks_.show) {
        return;
    }
    hooks_.show(number, model(number)[std::size_t(row)]);
}

bool TracesWindow::handleKey(int keyCode) {
    if (keyCode != kKeyEscape) {
        return false;
    }
    if (hooks_.escape) {
        hooks_.escape();
    }
    return true;
}

bool TracesWindow::mayClose(bool byUser) {
    if (byUser && isVisible()) {
        if (hooks_.menuToggle) {
            hooks_.menuToggle();
        }
        return false;
    }
    return true;
}

void TracesWindow::closeEvent(QCloseEvent* event) {
    if (!mayClose(event->spontaneous())) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TracesWindow::keyPressEvent(QKeyEvent* event) {
    if (!handleKey(keyCodeOf(event))) {
        QWidget::keyPressEvent(event);
    }
}

bool TracesWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const int code = keyCodeOf(key);
        // The window sees its keys before its controls do.
        if (handleKey(code)) {
            return true;
        }
        for (int number : {1, 2}) {
            if (watched == list(number) && code == kKeyDelete) {
                listKeyPressed(number, code);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace korvane
