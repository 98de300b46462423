#include "view/PictureBox.h"

#include <QGuiApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/tooltiptext.h"
#include "text/Numbers.h"
#include "view/PictureFile.h"
#include "view/ViewTransform.h"

namespace korvane {

namespace {

// Widget positions are floored to whole displayed pixels once, here.
QPoint widgetPixel(const QMouseEvent* event) {
    const QPointF pos = event->position();
    return {int(std::floor(pos.x())), int(std::floor(pos.y()))};
}

Qt::KeyboardModifiers modifiersOf(const QInputEvent* event) {
    return event->modifiers() & ~Qt::KeypadModifier;
}

// Pictures at least this large get their pyramid built on a thread as soon as they are set.
constexpr qint64 kPyramidBuiltAside = 4'000'000;

}  // namespace

PictureBox::PictureBox(QWidget* parent)
    : QWidget(parent), builder_(new PyramidBuilder([this]() -> const QImage& { return work_; }, this)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    connect(builder_, &PyramidBuilder::built, this, [this](PicturePyramid pyramid) {
        pyramid_ = std::move(pyramid);
        if (zoom_ < 1) {
            update();
        }
    });
}

PictureBox::~PictureBox() {
    // The build reads the working image: it stops before the image goes.
    delete builder_;
}

bool PictureBox::loadPicture(const QString& path, QString* error) {
    QImage image = ReadBoardPicture(path, error);
    if (image.isNull()) {
        return false;
    }
    setPicture(std::move(image));
    return true;
}

void PictureBox::setPicture(QImage image) {
    composedBase_ = QImage();
    work_ = std::move(image).convertToFormat(QImage::Format_RGBX8888);
    // Its own pixels now, while a failure can still be seen (a null image), rather than at the first
    // fill: an image shared with the caller is copied here.
    if (work_.bits() == nullptr) {
        work_ = QImage();
    }
    base_.reset(work_.width(), work_.height());
    pyramid_ = PicturePyramid();
    stale_ = QRect();
    // A small picture's pyramid takes a few milliseconds: it is made when the picture is first drawn
    // zoomed out, with no thread and no memory spent on it before. A large one is built on a thread once
    // the events run again: an open that is still decoding the other picture keeps both cores.
    const unsigned picture = ++pictureCount_;
    if (qint64(work_.width()) * work_.height() >= kPyramidBuiltAside) {
        QTimer::singleShot(0, this, [this, picture] {
            if (picture == pictureCount_ && !work_.isNull()) {
                builder_->start(work_);
            }
        });
    }
    setFixedSize(displayedSize());
    update();
}

QSize PictureBox::displayedSize() const {
    return {DisplayedExtent(work_.width(), zoom_), DisplayedExtent(work_.height(), zoom_)};
}

void PictureBox::setZoom(double zoom) {
    zoom = ClampZoom(zoom);
    if (zoom == zoom_) {
        return;
    }
    zoom_ = zoom;
    setFixedSize(displayedSize());
    update();
}

QPoint PictureBox::picturePixelAt(QPointF widgetPos) const {
    // Mouse positions become whole picture pixels here and nowhere else.
    return {int(std::floor(widgetPos.x() / zoom_)), int(std::floor(widgetPos.y() / zoom_))};
}

QPoint PictureBox::displayedPoint(double left, double top) const {
    return {int(std::floor(left * zoom_)), int(std::floor(top * zoom_))};
}

void PictureBox::clearPicture() {
    ++pictureCount_;
    builder_->cancel();
    pyramid_ = PicturePyramid();
    stale_ = QRect();
    composedBase_ = QImage();
    work_ = QImage();
    base_.reset(0, 0);
    setFixedSize(0, 0);
    update();
}

const QImage& PictureBox::baseImage() const {
    if (base_.empty()) {
        return work_;
    }
    if (composedBase_.isNull()) {
        composedBase_ = work_.copy();
        if (!composedBase_.isNull()) {
            base_.restoreInto({reinterpret_cast<std::uint32_t*>(composedBase_.bits()), composedBase_.width(),
                               composedBase_.height(), int(composedBase_.bytesPerLine() / 4)});
        }
    }
    return composedBase_;
}

PaintedPixels PictureBox::paintedPixels(bool withPixels) const {
    return base_.painted({reinterpret_cast<const std::uint32_t*>(work_.constBits()), work_.width(),
                          work_.height(), int(work_.bytesPerLine() / 4)},
                         withPixels);
}

void PictureBox::exchangeBase() {
    if (work_.isNull() || base_.empty()) {
        return;
    }
    composedBase_ = QImage();
    // bits() copies an image someone else holds too, and gives null when that copy finds no memory.
    auto* pixels = reinterpret_cast<std::uint32_t*>(work_.bits());
    if (pixels != nullptr) {
        base_.exchange({pixels, work_.width(), work_.height(), int(work_.bytesPerLine() / 4)});
    }
    update();
}

ImageView PictureBox::guardedPixels() {
    ImageView view;
    if (work_.isNull()) {
        return view;
    }
    composedBase_ = QImage();  // a painter is at work: the base put together for a transform has served
    view.pixels = reinterpret_cast<std::uint32_t*>(work_.bits());
    view.width = work_.width();
    view.height = work_.height();
    view.stride = int(work_.bytesPerLine() / 4);
    view.guard = &base_;
    return view;
}

ImageView PictureBox::pixels() {
    ImageView view = guardedPixels();
    if (view.pixels != nullptr) {
        base_.saveAll(view);
    }
    view.guard = nullptr;
    return view;
}

void PictureBox::picturePainted(const QRect& area) {
    if (area.isEmpty()) {
        return;
    }
    if (builder_->running()) {
        builder_->changed(area);
    } else {
        stale_ |= area;
    }
    // Whole displayed pixels that hold any part of the area, one more for rounding.
    const QPoint from = displayedPoint(area.left(), area.top());
    const QPoint to = displayedPoint(area.right() + 1, area.bottom() + 1);
    update(QRect(from, to).adjusted(-1, -1, 1, 1));
}

std::int32_t PictureBox::pixel(int x, int y) const {
    if (work_.isNull() || x < 0 || y < 0 || x >= work_.width() || y >= work_.height()) {
        return -1;
    }
    const auto* row = reinterpret_cast<const std::uint32_t*>(work_.constScanLine(y));
    // RGBX8888 keeps red in the lowest byte on little-endian machines: the packed colour as it is.
    const std::uint32_t word = row[x];
    const std::uint32_t r = (word >> 0) & 0xFF;
    const std::uint32_t g = (word >> 8) & 0xFF;
    const std::uint32_t b = (word >> 16) & 0xFF;
    return std::int32_t(r | (g << 8) | (b << 16));
}

void PictureBox::setCursorPos(double left, double top) {
    const QRect before = cursorRect();
    cursorLeft_ = left;
    cursorTop_ = top;
    update(before.united(cursorRect()));
}

void PictureBox::setCursorVisible(bool visible) {
    if (visible != cursorVisible_) {
        cursorVisible_ = visible;
        update(cursorRect());
    }
}

QRect PictureBox::cursorRect() const {
    return QRect(displayedPoint(cursorLeft_, cursorTop_), QSize(kCursorSize, kCursorSize))
        .adjusted(-1, -1, 1, 1);
}

void PictureBox::setMarkers(const MarkerArray* markers) {
    markers_ = markers;
    pressedMarker_ = 0;
    dragMarker_ = 0;
    update();
}

void PictureBox::markersChanged() {
    // A marker that went away cannot hold the mouse or be dragged any more.
    if (markers_ == nullptr || !markers_->exists(pressedMarker_)) {
        pressedMarker_ = 0;
    }
    if (markers_ == nullptr || !markers_->exists(dragMarker_)) {
        dragMarker_ = 0;
    }
    update();
}

QRect PictureBox::markerRect(const PadMarker& marker) const {
    return {displayedPoint(marker.left, marker.top), QSize(kCursorSize, kCursorSize)};
}

QPoint PictureBox::markerOffset(int index, QPoint widgetPoint) const {
    const PadMarker* marker = markers_ != nullptr ? markers_->get(index) : nullptr;
    return widgetPoint - (marker != nullptr ? markerRect(*marker).topLeft() : QPoint());
}

QRect PictureBox::dragRect() const {
    return {dragPos_, QSize(kCursorSize, kCursorSize)};
}

int PictureBox::markerAt(int x, int y) const {
    if (markers_ == nullptr) {
        return 0;
    }
    const QPoint point(x, y);
    for (int n = markers_->highest(); n >= 1; --n) {
        const PadMarker* marker = markers_->get(n);
        if (marker != nullptr && marker->visible && markerRect(*marker).contains(point)) {
            return n;
        }
    }
    return 0;
}

void PictureBox::paintMarker(QPainter& painter, const QRect& box, const PadMarker& marker) const {
    // Push-button check boxes: raised while unselected, pressed in while selected.
    painter.fillRect(box, tooltiptext::PackedColour(marker.backColour));
    const bool pressed = marker.value == 1;
    const QColor light(Qt::white);
    const QColor shadow(Qt::darkGray);
    painter.setPen(pressed ? shadow : light);
    painter.drawLine(box.topLeft(), box.topRight());
    painter.drawLine(box.topLeft(), box.bottomLeft());
    painter.setPen(pressed ? light : shadow);
    painter.drawLine(box.bottomLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomRight());
}

void PictureBox::paintMarkers(QPainter& painter, const QRect& area) const {
    if (markers_ == nullptr) {
        return;
    }
    for (int n = 1; n <= markers_->highest(); ++n) {
        const PadMarker* marker = markers_->get(n);
        if (marker == nullptr || !marker->visible) {
            continue;
        }
        const QRect box = n == dragMarker_ ? dragRect() : markerRect(*marker);
        if (box.intersects(area)) {
            paintMarker(painter, box, *marker);
        }
    }
}

void PictureBox::setHighlight(std::vector<int> pads, std::vector<QLineF> lines) {
    if (pads == highlightPads_ && lines == highlightLines_) {
        return;
    }
    highlightPads_ = std::move(pads);
    highlightLines_ = std::move(lines);
    // Only the part of the widget in view is painted again.
    update();
}

QColor PictureBox::highlightColour() {
    return {255, 128, 0};
}

QLineF PictureBox::displayedLine(const QLineF& line) const {
    const QPointF half(kCursorSize / 2, kCursorSize / 2);
    return {QPointF(displayedPoint(line.x1(), line.y1())) + half,
            QPointF(displayedPoint(line.x2(), line.y2())) + half};
}

void PictureBox::paintHighlightLines(QPainter& painter, const QRect& area) const {
    if (highlightLines_.empty()) {
        return;
    }
    // Thin at every zoom: one displayed pixel, the picture stays readable under a dense ratsnest.
    painter.setPen(QPen(highlightColour(), 0));
    const QRectF reach = QRectF(area).adjusted(-1, -1, 1, 1);
    for (const QLineF& line : highlightLines_) {
        const QLineF shown = displayedLine(line);
        const QRectF bounds = QRectF(shown.p1(), shown.p2()).normalized().adjusted(0, 0, 1, 1);
        if (bounds.intersects(reach)) {
            painter.drawLine(shown);
        }
    }
}

void PictureBox::paintHighlightOutlines(QPainter& painter, const QRect& area) const {
    if (markers_ == nullptr) {
        return;
    }
    const QColor colour = highlightColour();
    for (int n : highlightPads_) {
        const PadMarker* marker = markers_->get(n);
        if (marker == nullptr || !marker->visible) {
            continue;
        }
        // A ring two pixels wide just outside the marker, so the blinking face stays fully visible.
        const QRect outer = (n == dragMarker_ ? dragRect() : markerRect(*marker)).adjusted(-2, -2, 2, 2);
        if (!outer.intersects(area)) {
            continue;
        }
        painter.fillRect(QRect(outer.left(), outer.top(), outer.width(), 2), colour);
        painter.fillRect(QRect(outer.left(), outer.bottom() - 1, outer.width(), 2), colour);
        painter.fillRect(QRect(outer.left(), outer.top() + 2, 2, outer.height() - 4), colour);
        painter.fillRect(QRect(outer.right() - 1, outer.top() + 2, 2, outer.height() - 4), colour);
    }
}

void PictureBox::setOverlay(std::optional<PictureOverlay> overlay) {
    overlay_ = std::move(overlay);
    update();
}

bool PictureBox::pyramidBuilding() const {
    return builder_->running() || (pyramid_.empty() && !work_.isNull() &&
                                   qint64(work_.width()) * work_.height() >= kPyramidBuiltAside);
}

const PicturePyramid& PictureBox::pyramid() const {
    if (pyramid_.empty() && !builder_->running() && !work_.isNull() &&
        qint64(work_.width()) * work_.height() < kPyramidBuiltAside) {
        pyramid_ = PicturePyramid::Build(work_);
        stale_ = QRect();
    }
    // Lazily: a fill that runs while the view is zoomed in, or at 1:1, costs nothing here.
    if (!stale_.isEmpty() && !pyramid_.empty()) {
        pyramid_.update(work_, stale_);
        stale_ = QRect();
    }
    return pyramid_;
}

void PictureBox::paintOwnPicture(QPainter& painter, const QRect& area) const {
    DrawZoomed(painter, work_, zoom_ < 1 ? pyramid() : pyramid_, zoom_, area);
}

void PictureBox::paintOtherPicture(QPainter& painter, const QRect& area) const {
    const PictureBox* other = overlay_->other;
    if (other == nullptr || !other->hasPicture()) {
        return;
    }
    // Zoomed out, from the level of the other picture's pyramid just finer than the scale it shows at,
    // so that nothing is scaled from the whole picture.
    const QTransform toWidget = overlay_->otherToThis * QTransform::fromScale(zoom_, zoom_);
    const double scale = std::sqrt(std::abs(toWidget.determinant()));
    const PicturePyramid& levels = other->pyramid();
    int level = 0;
    while (level < levels.levelCount() && scale * double(1 << (level + 1)) <= 1.0 + 1e-9) {
        ++level;
    }
    const QImage& source = level == 0 ? other->workImage() : levels.level(level);
    painter.save();
    painter.setClipRect(area);
    painter.setTransform(QTransform::fromScale(double(1 << level), double(1 << level)) * toWidget);
    painter.drawImage(QPointF(0, 0), source);
    painter.restore();
}

void PictureBox::paintOtherMarkers(QPainter& painter, const QRect& area) const {
    const PictureBox* other = overlay_->other;
    const MarkerArray* markers = other != nullptr ? other->markers() : nullptr;
    if (markers == nullptr) {
        return;
    }
    for (int n = 1; n <= markers->highest(); ++n) {
        const PadMarker* marker = markers->get(n);
        if (marker == nullptr || !marker->visible) {
            continue;
        }
        const QPointF at = overlay_->otherToThis.map(QPointF(marker->left, marker->top));
        const QRect box(displayedPoint(at.x(), at.y()), QSize(kCursorSize, kCursorSize));
        if (box.intersects(area)) {
            paintMarker(painter, box, *marker);
        }
    }
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    if (work_.isNull()) {
        painter.fillRect(area, palette().dark());
        return;
    }
    if (overlay_) {
        // The lower layer whole, the upper one blended over it; the pads of both, this picture's on top.
        const bool otherOnTop = overlay_->otherOnTop;
        if (otherOnTop) {
            paintOwnPicture(painter, area);
        } else {
            painter.fillRect(area, palette().dark());
            paintOtherPicture(painter, area);
        }
        painter.setOpacity(std::clamp(overlay_->opacity, 0.0, 1.0));
        if (otherOnTop) {
            paintOtherPicture(painter, area);
        } else {
            paintOwnPicture(painter, area);
        }
        painter.setOpacity(1);
        paintOtherMarkers(painter, area);
    } else {
        paintOwnPicture(painter, area);
    }
    // The ratsnest runs under the markers it joins, the outlines around them.
    paintHighlightLines(painter, area);
    paintMarkers(painter, area);
    paintHighlightOutlines(painter, area);
    // The cursor is drawn last: it stands on a pad whenever a pad has just been placed, and a cursor
    // hidden under the marker could not be seen to blink or to be moved off it.
    if (cursorVisible_) {
        // Two contrasting outlines keep the cursor visible on dark substrate and bright copper alike.
        const QRect square(displayedPoint(cursorLeft_, cursorTop_), QSize(kCursorSize - 1, kCursorSize - 1));
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(square);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(square.adjusted(1, 1, -1, -1));
    }
}

bool PictureBox::pressMarker(QMouseEvent* event) {
    const QPoint p = widgetPixel(event);
    int index = pressedMarker_;
    if (index == 0) {
        index = markerAt(p.x(), p.y());
        if (index == 0) {
            return false;
        }
        pressedMarker_ = index;
        const PadMarker* marker = markers_->get(index);
        const QRect box = markerRect(*marker);
        if (event->button() == Qt::LeftButton && modifiersOf(event).testFlag(Qt::ControlModifier)) {
            dragMarker_ = index;
            dragGrab_ = p - box.topLeft();
            dragPos_ = box.topLeft();
            dragMoved_ = false;
        }
    }
    const QPoint offset = markerOffset(index, p);
    emit markerMouseDown(index, event->button(), modifiersOf(event), offset.x(), offset.y());
    return true;
}

bool PictureBox::pressGoesToMarker(QMouseEvent* event) {
    if (event->buttons() == event->button()) {
        // The first button of a new gesture: an earlier one whose release got lost (a dialog opened
        // while a button was down) holds nothing any more.
        pictureHeld_ = false;
        if (dragMarker_ == 0) {
            pressedMarker_ = 0;
        }
    }
    // A drag that began on the picture keeps the mouse until every button is up, as one that began on a
    // marker does: the cursors must be able to cross a marker and to stop on one.
    if (!pictureHeld_ && pressMarker(event)) {
        return true;
    }
    pictureHeld_ = true;
    return false;
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (pressGoesToMarker(event)) {
        return;
    }
    const QPoint p = picturePixelAt(event->position());
    emit mouseDown(event->button(), modifiersOf(event), p.x(), p.y());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = widgetPixel(event);
    if (dragMarker_ != 0) {
        // The marker follows the mouse but stays wholly on its picture.
        QPoint corner = p - dragGrab_;
        corner.setX(std::clamp(corner.x(), 0, std::max(0, width() - kCursorSize)));
        corner.setY(std::clamp(corner.y(), 0, std::max(0, height() - kCursorSize)));
        if (corner != dragPos_) {
            const QRect before = dragRect();
            dragPos_ = corner;
            dragMoved_ = true;
            // With the ring of a highlighted marker around it.
            update(before.united(dragRect()).adjusted(-2, -2, 2, 2));
        }
        return;
    }
    if (event->buttons() == Qt::NoButton) {
        // Nothing is held any more, though no release came here (it went to a dialog that opened).
        pictureHeld_ = false;
        pressedMarker_ = 0;
    }
    const int index = pictureHeld_ ? 0 : pressedMarker_ != 0 ? pressedMarker_ : markerAt(p.x(), p.y());
    if (index != 0) {
        const QPoint offset = markerOffset(index, p);
        emit markerMouseMove(index, event->buttons(), modifiersOf(event), offset.x(), offset.y(),
                             event->globalPosition().toPoint());
        return;
    }
    const QPoint pixel = picturePixelAt(event->position());
    emit mouseMove(event->buttons(), modifiersOf(event), pixel.x(), pixel.y());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const int index = pressedMarker_;
    if (index == 0) {
        if (event->buttons() == Qt::NoButton) {
            pictureHeld_ = false;
        }
        const QPoint pixel = picturePixelAt(event->position());
        emit mouseUp(event->button(), modifiersOf(event), pixel.x(), pixel.y());
        return;
    }
    if (event->buttons() == Qt::NoButton) {
        pressedMarker_ = 0;
    }
    if (dragMarker_ == index && event->button() == Qt::LeftButton) {
        // The move ends the gesture: the marker is dropped, not clicked.
        dragMarker_ = 0;
        update(dragRect().adjusted(-2, -2, 2, 2));
        if (dragMoved_) {
            dragMoved_ = false;
            // Dropped on a whole picture pixel, as at 1:1.
            emit markerMoved(index, double(nearest(dragPos_.x() / zoom_)),
                             double(nearest(dragPos_.y() / zoom_)));
        }
        return;
    }
    const QPoint offset = markerOffset(index, widgetPixel(event));
    emit markerMouseUp(index, event->button(), modifiersOf(event), offset.x(), offset.y());
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    // Qt sends this in place of the second press of a double click. On a marker it is one more press on
    // the marker, not a new pad.
    if (pressGoesToMarker(event)) {
        return;
    }
    const QPoint p = picturePixelAt(event->position());
    emit doubleClicked(modifiersOf(event), p.x(), p.y());
}

bool PictureBox::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) {
        return QWidget::event(event);
    }
    // Qt asks for a tip a moment after the mouse came to rest. Left to the pane, its own tip would
    // replace the description of the marker under the mouse; the picture answers the request itself:
    // a marker's description (again, if a click hid it), and no tip at all on the bare picture.
    const auto* help = static_cast<QHelpEvent*>(event);
    const int index = pictureHeld_ || pressedMarker_ != 0 ? 0 : markerAt(help->x(), help->y());
    if (index != 0) {
        const QPoint offset = markerOffset(index, help->pos());
        emit markerMouseMove(index, QGuiApplication::mouseButtons(),
                             QGuiApplication::keyboardModifiers() & ~Qt::KeypadModifier, offset.x(),
                             offset.y(), help->globalPos());
    }
    event->accept();
    return true;
}

}  // namespace korvane
