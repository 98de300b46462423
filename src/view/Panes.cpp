#include "view/Panes.h"

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
    pic1_->installEventFilter(this);
    pic2_->installEventFilter(this);
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

void Panes::horizontalScrolled() {
    P1_->move(-HS_.Value(), P1_->y());
    P2_->move(-HS_.Value(), P2_->y());
}

void Panes::verticalScrolled() {
    P1_->move(P1_->x(), -VS_.Value());
    P2_->move(P2_->x(), -VS_.Value());
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
    const PaneLayout layout =
        LayoutPanes(width(), height(), HSBar_->sizeHint().height(), VSBar_->sizeHint().width());
    auto px = [](double v) { return int(std::lround(std::max(0.0, v))); };
    pic1_->setGeometry(0, 0, px(layout.pic1Width), px(layout.pic1Height));
    HSBar_->setGeometry(px(layout.hsLeft), px(layout.hsTop), px(layout.hsWidth), HSBar_->sizeHint().height());
    pic2_->setGeometry(0, px(layout.pic2Top), px(layout.pic2Width), px(layout.pic2Height));
    VSBar_->setGeometry(px(layout.vsLeft), px(layout.vsTop), VSBar_->sizeHint().width(), px(layout.vsHeight));
    Scrolling();
}

void Panes::Scrolling() {
    const Size p1{double(P1_->width()), double(P1_->height())};
    const Size p2{double(P2_->width()), double(P2_->height())};
    const Size pane1{double(pic1_->width()), double(pic1_->height())};
    const Size pane2{double(pic2_->width()), double(pic2_->height())};
    korvane::Scrolling(p1, p2, pane1, pane2, HS_, VS_);
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
    korvane::AutoPos({cur1Left, cur1Top}, {cur2Left, cur2Top},
                     {double(pic1_->width()), double(pic1_->height())},
                     {double(pic2_->width()), double(pic2_->height())}, HS_, VS_);
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
    // Three small steps per notch, as desktop users expect; the wheel stops at the ends of the range.
    const QPoint delta = event->angleDelta();
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

bool Panes::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease && (watched == pic1_ || watched == pic2_)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        emit paneMouseUp(watched == pic1_ ? 1 : 2, mouse->button(), mouse->globalPosition().toPoint());
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace korvane
