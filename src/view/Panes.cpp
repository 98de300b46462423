#include "view/Panes.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "view/PictureBox.h"

namespace korvane {

namespace {

QWidget* makePane(QWidget* parent, const char* name, const char* tip) {
    auto* pane = new QWidget(parent);
    pane->setObjectName(QString::fromLatin1(name));
    pane->setToolTip(QString::fromLatin1(tip));
    pane->setBackgroundRole(QPalette::Dark);
    pane->setAutoFillBackground(true);
    // The pane takes the keyboard focus so that keys reach the main window's navigation.
    pane->setFocusPolicy(Qt::StrongFocus);
    return pane;
}

}  // namespace

Panes::Panes(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("panes"));
    pic1_ = makePane(this, "pic1", "First picture");
    pic2_ = makePane(this, "pic2", "Second picture");
    P1_ = new PictureBox(pic1_);
    P1_->setObjectName(QStringLiteral("P1"));
    P2_ = new PictureBox(pic2_);
    P2_->setObjectName(QStringLiteral("P2"));
    HSBar_ = new QScrollBar(Qt::Horizontal, this);
    HSBar_->setObjectName(QStringLiteral("HS"));
    VSBar_ = new QScrollBar(Qt::Vertical, this);
    VSBar_->setObjectName(QStringLiteral("VS"));
    for (QScrollBar* bar : {HSBar_, VSBar_}) {
        bar->setFocusPolicy(Qt::NoFocus);  // keys must keep reaching the panes' navigation
    }
    connect(HSBar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (!syncing_ && HS_.setValue(value)) {
            horizontalScrolled();
        }
    });
    connect(VSBar_, &QScrollBar::valueChanged, this, [this](int value) {
        if (!syncing_ && VS_.setValue(value)) {
            verticalScrolled();
        }
    });
    for (QWidget* watched : {pic1_, pic2_, static_cast<QWidget*>(P1_), static_cast<QWidget*>(P2_)}) {
        watched->installEventFilter(this);
    }
    setPicturesVisible(false);
    resetBars();
}

bool Panes::setHSValue(long value) {
    if (!HS_.setValue(value)) {
        return false;
    }
    syncBars();
    horizontalScrolled();
    return true;
}

bool Panes::setVSValue(long value) {
    if (!VS_.setValue(value)) {
        return false;
    }
    syncBars();
    verticalScrolled();
    return true;
}

int Panes::barOffset(const ScrollBarModel& bar, int unit, int reach) const {
    // In steps of several pixels the range is rounded to whole steps: the bar's end is the picture's.
    if (unit == 1) {
        return bar.Value();
    }
    return bar.Value() == std::max(bar.Min(), bar.Max()) ? reach : std::min(bar.Value() * unit, reach);
}

void Panes::horizontalScrolled() {
    const int x =
        -barOffset(HS_, unitX_, std::max(P1_->width() - pic1_->width(), P2_->width() - pic2_->width()));
    P1_->move(x, P1_->y());
    if (followsMapping()) {
        placeSecondPicture();
    } else {
        P2_->move(x, P2_->y());
    }
}

void Panes::verticalScrolled() {
    const int y =
        -barOffset(VS_, unitY_, std::max(P1_->height() - pic1_->height(), P2_->height() - pic2_->height()));
    P1_->move(P1_->x(), y);
    if (followsMapping()) {
        placeSecondPicture();
    } else {
        P2_->move(P2_->x(), y);
    }
}

bool Panes::followsMapping() const {
    return zoom_ != 1 && firstToSecond_ && secondToFirst_;
}

void Panes::placeSecondPicture() {
    // The point the first pane shows in its middle is shown in the middle of the second, as far as the
    // second picture reaches; an axis on which it fits its pane keeps the bars' placement.
    const ViewPoint middle = view(1).toPicture({pic1_->width() / 2.0, pic1_->height() / 2.0});
    const ViewPoint there = firstToSecond_(middle);
    const auto origin = [this](double point, int displayed, int pane, int shared) {
        if (displayed <= pane) {
            return shared;
        }
        const double wanted = point * zoom_ - pane / 2.0;
        return int(std::lround(std::clamp(wanted, 0.0, double(displayed - pane))));
    };
    P2_->move(-origin(there.x, P2_->width(), pic2_->width(), HS_.Value() * unitX_),
              -origin(there.y, P2_->height(), pic2_->height(), VS_.Value() * unitY_));
}

ViewTransform Panes::view(int pane) const {
    const PictureBox* box = pane == 2 ? P2_ : P1_;
    return {zoom_, double(-box->x()), double(-box->y())};
}

void Panes::setPointMaps(PointMap firstToSecond, PointMap secondToFirst) {
    firstToSecond_ = std::move(firstToSecond);
    secondToFirst_ = std::move(secondToFirst);
    Scrolling();
}

void Panes::scrollToOrigin(ViewPoint origin) {
    const auto value = [](double displayed, int unit, const ScrollBarModel& bar) {
        const double wanted = std::round(displayed / unit);
        return long(std::clamp(wanted, double(std::min(bar.Min(), bar.Max())),
                               double(std::max(bar.Min(), bar.Max()))));
    };
    HS_.setValue(value(origin.x, unitX_, HS_));
    VS_.setValue(value(origin.y, unitY_, VS_));
    syncBars();
    horizontalScrolled();
    verticalScrolled();
}

void Panes::zoomAbout(double zoom, int pane, QPointF anchor) {
    zoom = ClampZoom(zoom);
    const ViewPoint at{anchor.x(), anchor.y()};
    ViewTransform wanted = view(pane);
    wanted.zoomAbout(zoom, at);
    zoom_ = zoom;
    P1_->setZoom(zoom);
    P2_->setZoom(zoom);
    Scrolling();
    ViewPoint origin{wanted.originX, wanted.originY};
    if (pane == 2 && followsMapping()) {
        // The first pane's origin that makes the second show the wanted point in its middle.
        const ViewPoint middle2 = wanted.toPicture({pic2_->width() / 2.0, pic2_->height() / 2.0});
        const ViewPoint middle1 = secondToFirst_(middle2);
        origin = {middle1.x * zoom - pic1_->width() / 2.0, middle1.y * zoom - pic1_->height() / 2.0};
    }
    scrollToOrigin(origin);
    emit zoomChanged(zoom_);
}

void Panes::setZoom(double zoom) {
    // About the first cursor while the first pane shows it, else about the pane's middle: keyboard zoom
    // should keep what the user works on in view.
    QPointF anchor(pic1_->width() / 2.0, pic1_->height() / 2.0);
    if (P1_->hasPicture()) {
        const QPoint cursor = P1_->pos() + P1_->displayedPoint(P1_->cursorLeft(), P1_->cursorTop()) +
                              QPoint(PictureBox::kCursorSize / 2, PictureBox::kCursorSize / 2);
        if (pic1_->rect().contains(cursor)) {
            anchor = cursor;
        }
    }
    zoomAbout(zoom, 1, anchor);
}

void Panes::zoomIn() {
    setZoom(ZoomInStep(zoom_));
}

void Panes::zoomOut() {
    setZoom(ZoomOutStep(zoom_));
}

void Panes::actualPixels() {
    setZoom(1);
}

void Panes::fitPictures() {
    double fit = kMaxZoom;
    for (auto [box, pane] : {std::pair{P1_, pic1_}, std::pair{P2_, pic2_}}) {
        // The overlay shows the first picture alone in its pane.
        if (box->hasPicture() && !(overlay_ && box == P2_)) {
            fit = std::min(fit, FitZoom(box->workImage().width(), box->workImage().height(), pane->width(),
                                        pane->height()));
        }
    }
    zoomAbout(fit, 1, QPointF(0, 0));
}

void Panes::setOverlay(bool on) {
    if (on == overlay_) {
        return;
    }
    overlay_ = on;
    updateOverlay();
    layOut();
    emit overlayChanged(on);
}

void Panes::setOverlayOpacity(double opacity) {
    opacity_ = std::clamp(opacity, 0.0, 1.0);
    updateOverlay();
}

void Panes::swapOverlayLayers() {
    secondOnTop_ = !secondOnTop_;
    updateOverlay();
}

void Panes::mappingChanged() {
    updateOverlay();
    horizontalScrolled();
    verticalScrolled();
}

void Panes::refreshPicture(int picture) {
    (picture == 2 ? P2_ : P1_)->update();
    if (picture == 2 && overlay_) {
        P1_->update();
    }
}

void Panes::updateOverlay() {
    if (!overlay_) {
        P1_->setOverlay(std::nullopt);
        return;
    }
    // The mapping is affine: three points give it whole.
    QTransform secondToFirst;
    if (secondToFirst_) {
        const ViewPoint o = secondToFirst_({0, 0});
        const ViewPoint x = secondToFirst_({1, 0});
        const ViewPoint y = secondToFirst_({0, 1});
        secondToFirst = QTransform(x.x - o.x, x.y - o.y, y.x - o.x, y.y - o.y, o.x, o.y);
    }
    P1_->setOverlay(PictureOverlay{P2_, secondToFirst, opacity_, secondOnTop_});
}

void Panes::panBy(QPoint displacement) {
    const ViewTransform current = view(1);
    scrollToOrigin({current.originX - displacement.x(), current.originY - displacement.y()});
}

void Panes::syncBars() {
    syncing_ = true;
    for (auto [bar, model] : {std::pair{HSBar_, &HS_}, std::pair{VSBar_, &VS_}}) {
        const int low = std::min(model->Min(), model->Max());
        const int high = std::max(model->Min(), model->Max());
        bar->setRange(low, high);
        bar->setSingleStep(model->SmallChange());
        bar->setPageStep(model->LargeChange());
        bar->setValue(model->Value());
        bar->setEnabled(high > low);
    }
    syncing_ = false;
}

void Panes::resizeEvent(QResizeEvent*) {
    layOut();
}

void Panes::layOut() {
    PaneLayout layout =
        LayoutPanes(width(), height(), HSBar_->sizeHint().height(), VSBar_->sizeHint().width());
    if (overlay_) {
        // One pane over the whole height, the bar below it.
        layout.pic1Height = std::max(0, height() - HSBar_->sizeHint().height());
        layout.hsTop = layout.pic1Height;
        layout.pic2Height = 0;
    }
    pic2_->setVisible(!overlay_);
    auto px = [](double v) { return int(std::lround(std::max(0.0, v))); };
    pic1_->setGeometry(0, 0, px(layout.pic1Width), px(layout.pic1Height));
    HSBar_->setGeometry(px(layout.hsLeft), px(layout.hsTop), px(layout.hsWidth), HSBar_->sizeHint().height());
    pic2_->setGeometry(0, px(layout.pic2Top), px(layout.pic2Width), px(layout.pic2Height));
    VSBar_->setGeometry(px(layout.vsLeft), px(layout.vsTop), VSBar_->sizeHint().width(), px(layout.vsHeight));
    Scrolling();
}

void Panes::Scrolling() {
    // The pictures' displayed sizes, in bar steps.
    unitX_ = std::max(ScrollUnit(P1_->width(), pic1_->width()), ScrollUnit(P2_->width(), pic2_->width()));
    unitY_ = std::max(ScrollUnit(P1_->height(), pic1_->height()), ScrollUnit(P2_->height(), pic2_->height()));
    const auto steps = [this](const QWidget* widget) {
        return Size{double(widget->width()) / unitX_, double(widget->height()) / unitY_};
    };
    if (overlay_) {
        // Only the first pane shows, and the bars are its own.
        korvane::Scrolling(steps(P1_), steps(P1_), steps(pic1_), steps(pic1_), HS_, VS_);
    } else {
        korvane::Scrolling(steps(P1_), steps(P2_), steps(pic1_), steps(pic2_), HS_, VS_);
    }
    syncBars();
    horizontalScrolled();
    verticalScrolled();
}

void Panes::resetBars() {
    HS_.setValue(0);
    VS_.setValue(0);
    syncBars();
    horizontalScrolled();
    verticalScrolled();
}

void Panes::setPicturesVisible(bool visible) {
    P1_->setVisible(visible);
    P2_->setVisible(visible);
    // The keyboard navigates as soon as the pictures are there, without a click on them first; when
    // the window is not active this only marks the pane to get the focus when it is.
    const QWidget* held = window()->focusWidget();
    if (visible && held != pic1_ && held != pic2_) {
        pic1_->setFocus();
    }
}

void Panes::AutoPos(double cur1Left, double cur1Top, double cur2Left, double cur2Top) {
    const std::int16_t h = HS_.Value();
    const std::int16_t v = VS_.Value();
    // In bar steps of the first pane's placement; a second picture that follows the mapping sits
    // elsewhere, so its cursor is taken where it shows in its pane.
    QPoint shift = followsMapping() ? P2_->pos() - P1_->pos() : QPoint();
    if (overlay_) {
        // The second cursor is not shown on its own: the first one leads.
        cur2Left = cur1Left, cur2Top = cur1Top, shift = QPoint();
    }
    const CursorPos cur1{cur1Left * zoom_ / unitX_, cur1Top * zoom_ / unitY_};
    const CursorPos cur2{(cur2Left * zoom_ + shift.x()) / unitX_, (cur2Top * zoom_ + shift.y()) / unitY_};
    korvane::AutoPos(cur1, cur2, {double(pic1_->width()) / unitX_, double(pic1_->height()) / unitY_},
                     {double(pic2_->width()) / unitX_, double(pic2_->height()) / unitY_}, HS_, VS_);
    if (h != HS_.Value() || v != VS_.Value()) {
        syncBars();
        horizontalScrolled();
        verticalScrolled();
    }
}

KeyOutcome Panes::handleKey(int keyCode, bool shift, bool ctrl, bool alt, bool fillRunning) {
    const KeyOutcome outcome = NavigateKey(keyCode, shift, ctrl, alt, fillRunning, HS_, VS_);
    if (outcome == KeyOutcome::Scrolled) {
        syncBars();
        horizontalScrolled();
        verticalScrolled();
    }
    return outcome;
}

void Panes::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    if (event->modifiers().testFlag(Qt::ControlModifier)) {
        // One step of zoom per notch, about the point under the pointer; touchpads send parts of notches.
        wheelZoom_ += delta.y();
        const int notches = wheelZoom_ / 120;
        wheelZoom_ -= notches * 120;
        const QPointF at = event->position();
        const int pane = at.y() >= pic2_->y() ? 2 : 1;
        double zoom = zoom_;
        for (int n = 0; n < std::abs(notches); ++n) {
            zoom = notches > 0 ? ZoomInStep(zoom) : ZoomOutStep(zoom);
        }
        if (zoom != zoom_) {
            zoomAbout(zoom, pane, at - (pane == 2 ? pic2_->pos() : pic1_->pos()));
        }
        event->accept();
        return;
    }
    // Three small steps per notch, as desktop users expect; the wheel stops at the ends of the range.
    const bool horizontal = (event->modifiers() & Qt::ShiftModifier) || (delta.x() != 0 && delta.y() == 0);
    const int notches = (horizontal ? (delta.x() != 0 ? delta.x() : delta.y()) : delta.y()) / 120;
    if (notches == 0) {
        return;
    }
    const ScrollBarModel& model = horizontal ? HS_ : VS_;
    const long low = std::min(model.Min(), model.Max());
    const long high = std::max(model.Min(), model.Max());
    const long target = std::clamp(long(model.Value()) - long(notches) * 3 * model.SmallChange(), low, high);
    if (horizontal) {
        setHSValue(target);
    } else {
        setVSValue(target);
    }
    event->accept();
}

bool Panes::startPan(QObject* watched, QEvent* event) {
    auto* mouse = static_cast<QMouseEvent*>(event);
    const bool grab =
        mouse->button() == Qt::MiddleButton || (mouse->button() == Qt::LeftButton && spaceHeld_);
    if (!grab || panning_) {
        return panning_;
    }
    panning_ = true;
    panFrom_ = mouse->globalPosition().toPoint();
    panWidget_ = qobject_cast<QWidget*>(watched);
    if (panWidget_ != nullptr) {
        panWidget_->setCursor(Qt::ClosedHandCursor);
    }
    return true;
}

bool Panes::eventFilter(QObject* watched, QEvent* event) {
    // Dragging the pictures comes before everything the pictures do with the mouse.
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (startPan(watched, event)) {
                return true;
            }
            break;
        case QEvent::MouseMove:
            if (panning_) {
                const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
                panBy(at - panFrom_);
                panFrom_ = at;
                return true;
            }
            break;
        case QEvent::MouseButtonRelease:
            if (panning_) {
                if (static_cast<QMouseEvent*>(event)->buttons() == Qt::NoButton) {
                    panning_ = false;
                    if (panWidget_ != nullptr) {
                        panWidget_->unsetCursor();
                    }
                }
                return true;
            }
            break;
        case QEvent::KeyPress:
        case QEvent::KeyRelease: {
            auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Space && !key->isAutoRepeat()) {
                spaceHeld_ = event->type() == QEvent::KeyPress;
                return true;
            }
            if (key->key() == Qt::Key_Space) {
                return true;
            }
            if (overlay_ && key->key() == Qt::Key_S && key->modifiers() == Qt::NoModifier &&
                event->type() == QEvent::KeyPress) {
                swapOverlayLayers();
                return true;
            }
            break;
        }
        case QEvent::FocusOut:
            spaceHeld_ = false;
            break;
        default:
            break;
    }
    if (event->type() == QEvent::MouseButtonRelease && (watched == pic1_ || watched == pic2_)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        emit paneMouseUp(watched == pic1_ ? 1 : 2, mouse->button(), mouse->globalPosition().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace korvane
