#include "view/PictureBox.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace korvane {

namespace {

// Mouse positions are floored to whole picture pixels once, here.
QPoint picturePixel(const QMouseEvent* event) {
    const QPointF pos = event->position();
    return {int(std::floor(pos.x())), int(std::floor(pos.y()))};
}

Qt::KeyboardModifiers modifiersOf(const QInputEvent* event) {
    return event->modifiers() & ~Qt::KeypadModifier;
}

}  // namespace

PictureBox::PictureBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
}

bool PictureBox::loadPicture(const QString& path, QString* error) {
    // Board scans are large: a 10000 x 10000 picture needs far more than Qt's default 128 MB.
    if (QImageReader::allocationLimit() < 2048) {
        QImageReader::setAllocationLimit(2048);
    }
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QSize size = reader.size();
    if (!reader.canRead() || !size.isValid()) {
        if (error != nullptr) {
            *error = reader.errorString();
        }
        return false;
    }
    if (size.width() > kMaxSide || size.height() > kMaxSide ||
        qint64(size.width()) * size.height() > kMaxPixels) {
        if (error != nullptr) {
            *error =
                QStringLiteral("picture of %1 x %2 pixels is too large").arg(size.width()).arg(size.height());
        }
        return false;
    }
    QImage image = reader.read();
    if (image.isNull()) {
        if (error != nullptr) {
            *error = reader.errorString();
        }
        return false;
    }
    setPicture(image);
    return true;
}

void PictureBox::setPicture(const QImage& image) {
    base_ = image.convertToFormat(QImage::Format_RGBX8888);
    work_ = base_.copy();
    setFixedSize(work_.size());
    update();
}

void PictureBox::clearPicture() {
    base_ = QImage();
    work_ = QImage();
    setFixedSize(0, 0);
    update();
}

ImageView PictureBox::pixels() {
    ImageView view;
    if (work_.isNull()) {
        return view;
    }
    view.pixels = reinterpret_cast<std::uint32_t*>(work_.bits());
    view.width = work_.width();
    view.height = work_.height();
    view.stride = int(work_.bytesPerLine() / 4);
    return view;
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
    return QRect(int(std::floor(cursorLeft_)), int(std::floor(cursorTop_)), kCursorSize, kCursorSize)
        .adjusted(-1, -1, 1, 1);
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const QRect area = event->rect();
    if (work_.isNull()) {
        painter.fillRect(area, palette().dark());
        return;
    }
    painter.drawImage(area.topLeft(), work_, area);
    if (cursorVisible_) {
        // Two contrasting outlines keep the cursor visible on dark substrate and bright copper alike.
        const QRect square(int(std::floor(cursorLeft_)), int(std::floor(cursorTop_)), kCursorSize - 1,
                           kCursorSize - 1);
        painter.setPen(QPen(Qt::black, 1));
        painter.drawRect(square);
        painter.setPen(QPen(Qt::white, 1));
        painter.drawRect(square.adjusted(1, 1, -1, -1));
    }
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    const QPoint p = picturePixel(event);
    emit mouseDown(event->button(), modifiersOf(event), p.x(), p.y());
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = picturePixel(event);
    emit mouseMove(event->buttons(), modifiersOf(event), p.x(), p.y());
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = picturePixel(event);
    emit mouseUp(event->button(), modifiersOf(event), p.x(), p.y());
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent* event) {
    const QPoint p = picturePixel(event);
    emit doubleClicked(modifiersOf(event), p.x(), p.y());
}

}  // namespace korvane
