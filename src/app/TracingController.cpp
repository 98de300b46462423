#include "app/TracingController.h"

#include <QAction>
#include <QActionGroup>
#include <QTimer>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

#include "app/MainWindow.h"
#include "app/ScopeExit.h"
#include "platform/QtText.h"
#include "platform/Ui.h"
#include "project/TraceCommands.h"
#include "text/Numbers.h"
#include "tracing/FillQuestionDialog.h"
#include "tracing/FloodFill.h"
#include "tracing/TraceReplay.h"
#include "tracing/TracesWindow.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {

namespace {

int wholePixel(double value) {
    const std::int64_t whole = nearest(value);
    return int(
        std::clamp<std::int64_t>(whole, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

bool onPicture(const PictureBox* box, int x, int y) {
    return box->hasPicture() && x >= 0 && y >= 0 && x < box->workImage().width() &&
           y < box->workImage().height();
}

// What every fill of the window shares: events and sounds through the Ui, the shared running flag, a
// scheduled repaint of the picture, and the check that the picture is still the one being filled after
// events were handled (the project may have been closed meanwhile).
FillControl fillControlFor(Ui& ui, bool& running, PictureBox* box, int picture, const unsigned& generation,
                           double intervalMs, const std::shared_ptr<PaintedSpans>& log) {
    FillControl control;
    control.eventIntervalMs = intervalMs;
    control.ui = &ui;
    control.running = &running;
    control.pictureNumber = picture;
    control.history = log.get();
    // Everything the log ever covered: a "Delete" answer rolls the log back and gives back pixels that
    // lie outside what it covers afterwards.
    control.redraw = [box, log, painted = QRect()]() mutable {
        const PixelRect bounds = log->bounds();
        if (!bounds.empty()) {
            painted |= QRect(QPoint(bounds.x0, bounds.y0), QPoint(bounds.x1, bounds.y1));
        }
        box->picturePainted(painted);
    };
    const unsigned started = generation;
    control.refresh = [box, &generation, started](ImageView& view) {
        if (generation != started || !box->hasPicture()) {
            return false;
        }
        const ImageView now = box->guardedPixels();
        if (now.width != view.width || now.height != view.height) {
            return false;
        }
        view = now;
        return true;
    };
    return control;
}

constexpr std::size_t kMostUnreadableShown = 20;

}  // namespace

TracingController::TracingController(MainWindow& window, Ui& ui, Project& project)
    : window_(window), ui_(ui), project_(project) {
    connectMenus();
}

TracingController::~TracingController() {
    // The windows are the main window's children, but they call back into this controller: they go
    // with it.
    delete traces_;
    delete question_;
}

void TracingController::connectMenus() {
    TracesWindow::Hooks hooks;
    hooks.replay = [this](const std::string& record, int mode) {
        const std::optional<TraceRecord> parsed = ParseTraceRecord(record);
        if (!parsed) {
            return ReplayOutcome::Malformed;
        }
        PictureBox* box = parsed->picture == 1 ? window_.panes()->P1() : window_.panes()->P2();
        if (!window_.projectOpen() || !box->hasPicture()) {
            return ReplayOutcome::PictureGone;
        }
        ++tracingDepth_;
        const ScopeExit done([this] {
            --tracingDepth_;
            tracingEnded();
        });
        if (mode == 2) {
            // A trace whose drawing the history still holds comes off exactly: the scan returns.
            TracePainting exact;
            if (EraseDrawnTrace(project_, parsed->picture, record, exact)) {
                pendingErase_.push_back(EraseTracesCommand::Erased{std::move(exact), true, 0});
                return ReplayOutcome::Painted;
            }
        }
        auto log = std::make_shared<PaintedSpans>();
        ImageView view = box->guardedPixels();
        FillControl control = fillControlFor(ui_, FillRunning, box, parsed->picture, traceGeneration_,
                                             FillEventIntervalMs, log);
        const ReplayOutcome outcome =
            ReplayRecord(*parsed, mode == 2 ? ReplayMode::Erase : ReplayMode::Draw, view, control);
        log->shrinkToFit();
        if (mode == 2) {
            pendingErase_.push_back(EraseTracesCommand::Erased{
                TracePainting{parsed->picture, record, std::move(log), parsed->origColor}, false, 0});
        } else if (!log->empty()) {
            pendingDraw_.push_back(TracePainting{parsed->picture, record, std::move(log), parsed->fillColor});
        }
        return outcome;
    };
    hooks.beginRun = [this] {
        if (window_.busy() || !window_.projectOpen() || window_.closing()) {
            return false;
        }
        ++tracingDepth_;
        runGeneration_ = traceGeneration_;
        pendingDraw_.clear();
        pendingErase_.clear();
        erasedRows_ = 0;
        return true;
    };
    hooks.endRun = [this] {
        keepTraceRun();
        --tracingDepth_;
        tracingEnded();
    };
    hooks.stopRun = [this] { return closeAfterFill_ || runGeneration_ != traceGeneration_; };
    hooks.show = [this](int list, const std::string& record) { showTraceSeed(list, record); };
    hooks.erased = [this](int, const std::vector<std::size_t>& rows) {
        // The rows pair with the erasings just logged, in the order they were replayed.
        for (std::size_t row : rows) {
            if (erasedRows_ < pendingErase_.size()) {
                pendingErase_[erasedRows_++].index = row;
            }
        }
    };
    hooks.menuToggle = [this] { toggleTracesWindow(); };
    hooks.escape = [this] { hideTracesWindow(); };
    hooks.reportUnreadable = [this](const std::vector<std::string>& records) {
        std::string prompt = "These trace records cannot be read and were skipped:";
        for (std::size_t i = 0; i < records.size() && i < kMostUnreadableShown; ++i) {
            prompt += "\n" + records[i];
        }
        if (records.size() > kMostUnreadableShown) {
            prompt += "\n...";
        }
        ui_.tell(prompt, "Invalid trace record:", MsgIcon::Exclamation);
    };
    traces_ = new TracesWindow(&window_, project_.traces1, project_.traces2, std::move(hooks));
    question_ = new FillQuestionDialog(&window_);

    const auto& colours = window_.menus().colourItems();
    for (int index = 0; index < colours.size(); ++index) {
        QObject::connect(colours[index], &QAction::triggered, &window_,
                         [this, index] { chooseFillColour(index); });
    }
    if (QAction* item = window_.menus().action(QStringLiteral("mnuColorBound"))) {
        QObject::connect(item, &QAction::triggered, &window_, [this] { askColourBound(); });
    }
    auto* modes = new QActionGroup(&window_);
    modes->setExclusive(true);
    const std::pair<const char*, FillMode> modeItems[] = {{"mnuFillPacked", FillMode::Packed},
                                                          {"mnuFillChannels", FillMode::Channels},
                                                          {"mnuFillSpecks", FillMode::Specks},
                                                          {"mnuFillAdaptive", FillMode::Adaptive}};
    for (const auto& [name, mode] : modeItems) {
        if (QAction* item = window_.menus().action(QString::fromLatin1(name))) {
            item->setCheckable(true);
            item->setChecked(mode == NewFillMode);
            modes->addAction(item);
            QObject::connect(item, &QAction::triggered, &window_,
                             [this, mode = mode] { NewFillMode = mode; });
        }
    }
    if (QAction* item = window_.menus().action(QStringLiteral("mnuFillAtCursor"))) {
        QObject::connect(item, &QAction::triggered, &window_, [this] { fillAtCursor(); });
    }
    if (QAction* item = window_.menus().action(QStringLiteral("mnuTraces"))) {
        item->setCheckable(true);
        // The menu has already toggled the check mark when this runs.
        QObject::connect(item, &QAction::triggered, &window_,
                         [this] { traces_->setVisible(!traces_->isVisible()); });
    }
    QObject::connect(window_.panes()->P1(), &PictureBox::mouseDown, &window_,
                     [this] { fillTool_.pressed(1); });
    QObject::connect(window_.panes()->P2(), &PictureBox::mouseDown, &window_,
                     [this] { fillTool_.pressed(2); });
}

void TracingController::startFill(int picture, int x, int y) {
    if (window_.busy() || !window_.projectOpen() || window_.closing()) {
        return;  // one fill at a time: a second one would disturb the running one's seeds and picture
    }
    PictureBox* box = picture == 1 ? window_.panes()->P1() : window_.panes()->P2();
    if (!onPicture(box, x, y)) {
        return;
    }
    ++tracingDepth_;
    const ScopeExit done([this] {
        --tracingDepth_;
        tracingEnded();
    });
    ImageView view = box->guardedPixels();
    auto log = std::make_shared<PaintedSpans>();
    FillControl control =
        fillControlFor(ui_, FillRunning, box, picture, traceGeneration_, FillEventIntervalMs, log);
    control.ask = [this] { return question_->ask(); };
    std::optional<std::string> kept;
    control.record = [&kept](const std::string& record) { kept = record; };
    // A copy: painting a fill back exchanges the colours, and the chosen fill colour must stay.
    std::int32_t fill = FillColor;
    bool quiet = false;
    const float bound = float(ColorBound);
    const unsigned generation = traceGeneration_;
    FillArea(view, x, y, fill, bound, bound, quiet, control, NewFillMode);
    if (kept && generation == traceGeneration_) {
        log->shrinkToFit();
        auto step = std::make_unique<FillCommand>(TracePainting{picture, *kept, std::move(log), fill});
        step->keep(project_);
        project_.record(std::move(step));
    }
}

void TracingController::keepTraceRun() {
    if (runGeneration_ != traceGeneration_) {
        pendingDraw_.clear();  // the project these were painted on has gone
        pendingErase_.clear();
        return;
    }
    if (!pendingDraw_.empty()) {
        auto step = std::make_unique<DrawTracesCommand>(std::move(pendingDraw_));
        step->keep(project_);
        project_.record(std::move(step));
    }
    pendingErase_.resize(erasedRows_);  // erasings whose rows stayed (a stopped run) are no step
    if (!pendingErase_.empty()) {
        auto step = std::make_unique<EraseTracesCommand>(std::move(pendingErase_));
        step->keep(project_);
        project_.record(std::move(step));
    }
    pendingDraw_.clear();
    pendingErase_.clear();
    erasedRows_ = 0;
}

void TracingController::altClickFill(int picture, int x, int y) {
    if (fillQuestionOpen() || !window_.projectOpen() || window_.busy()) {
        return;
    }
    // A release outside the picture is no click on a pixel: nothing to fill, nothing to show.
    if (!onPicture(picture == 1 ? window_.panes()->P1() : window_.panes()->P2(), x, y)) {
        return;
    }
    startFill(picture, x, y);
    showTracesWindowIfHidden();
}

void TracingController::fillAtCursor() {
    const ShownCursors& shown = project_.shownCursors;
    const FillPoint fill = fillTool_.atCursor(wholePixel(shown.cur1Left), wholePixel(shown.cur1Top),
                                              wholePixel(shown.cur2Left), wholePixel(shown.cur2Top));
    altClickFill(fill.picture, fill.x, fill.y);
}

bool TracingController::fillQuestionOpen() const {
    return question_ != nullptr && question_->isVisible();
}

void TracingController::showTracesWindowIfHidden() {
    if (!traces_->isVisible() && !window_.closing() && !closeAfterFill_) {
        toggleTracesWindow();
    }
}

void TracingController::toggleTracesWindow() {
    if (QAction* item = window_.menus().action(QStringLiteral("mnuTraces"))) {
        item->setChecked(!item->isChecked());
    }
    traces_->setVisible(!traces_->isVisible());
}

void TracingController::drawAllTraces() {
    traces_->drawAll();
}

void TracingController::chooseFillColour(int index) {
    const auto& items = window_.menus().colourItems();
    if (index == 8) {
        window_.colourPick().arm();
        ui_.tell("Click the point on the pictures", "Fill color selection:", MsgIcon::Information);
        return;
    }
    if (index < 0 || index >= items.size()) {
        return;
    }
    // Black has no value of its own: an empty tag reads as 0.
    FillColor = parseWhole(fromQ(items[index]->data().toString()));
}

void TracingController::askColourBound() {
    for (;;) {
        InputRequest request;
        request.prompt =
            "Pixels which have the color of the clicked pixel \u00B1X% should be repainted with the filling "
            "color. Input  X:";
        request.title = "Define the area bounds for the filling:";
        // The bound is kept as the user's percentage over 100 in double precision, so that a percentage
        // shows as it was typed: a single-precision bound times 100 turns 30 into 30.000002.
        request.defaultText = formatFraction(float(ColorBound * 100.0));
        const std::optional<std::string> answer = ui_.input(request);
        const double value = answer ? parseNumber(*answer) : 0.0;
        // The fill works with a single-precision bound; a percentage too large for it would be written
        // to the project as 0 and read back as something else, so it is asked again like any unusable
        // entry.
        const float bound = float(value / 100);
        if (value > 0 && std::isfinite(bound)) {
            ColorBound = value / 100;
            return;
        }
    }
}

bool TracingController::holdCloseForFill() {
    if (tracingDepth_ == 0) {
        return false;
    }
    FillRunning = false;  // as Esc: a painting pass stops at its next checkpoint
    closeAfterFill_ = true;
    return true;
}

void TracingController::tracingEnded() {
    if (tracingDepth_ == 0 && closeAfterFill_) {
        QTimer::singleShot(0, &window_, [this] {
            closeAfterFill_ = false;
            window_.close();
        });
    }
}

void TracingController::unloadTraces() {
    ++traceGeneration_;
    project_.traces1.clear();
    project_.traces2.clear();
    if (question_->asking()) {
        question_->abandon();
    }
    hideTracesWindow();
}

void TracingController::hideTracesWindow() {
    traces_->hide();
    if (QAction* item = window_.menus().action(QStringLiteral("mnuTraces"))) {
        item->setChecked(false);
    }
}

void TracingController::showTraceSeed(int list, const std::string& record) {
    if (!window_.projectOpen()) {
        return;
    }
    const TraceSeed seed = TraceSeedOf(record);
    const int x = wholePixel(seed.x);
    const int y = wholePixel(seed.y);
    window_.pictureMouseMove(list == 2 ? 2 : 1, Qt::LeftButton, Qt::NoModifier, x, y);
    scrollCursorIntoView();
}

void TracingController::scrollCursorIntoView() {
    // The edge scrolling would do it tick by tick while the button is held; no button is held after a
    // click in a list, so the steps are taken at once until the cursor is in view or the bars refuse.
    for (int step = 0; step < 100000; ++step) {
        const auto h = window_.panes()->HS().Value();
        const auto v = window_.panes()->VS().Value();
        window_.cursors().autoScroll();
        if (window_.panes()->HS().Value() == h && window_.panes()->VS().Value() == v) {
            break;
        }
    }
    window_.cursors().release();
}

}  // namespace korvane
