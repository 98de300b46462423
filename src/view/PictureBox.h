#pragma once

// One loaded picture (P1 or P2): the base image as loaded or last transformed, and the working image
// that run-time painting such as traces goes into. The widget is exactly the picture's size, one
// picture pixel per logical pixel, and draws the cursor itself: a board has thousands of marks, and
// child widgets for each would crawl.

#include <QImage>
#include <QString>
#include <QWidget>

#include "platform/Ui.h"

namespace korvane {

class PictureBox : public QWidget {
    Q_OBJECT

  public:
    explicit PictureBox(QWidget* parent = nullptr);

    // Loads a picture file; false with a reason when it cannot be read or is larger than the program
    // can hold. The header is checked before decoding so a hostile file cannot exhaust memory.
    bool loadPicture(const QString& path, QString* error = nullptr);
    void setPicture(const QImage& image);
    void clearPicture();
    bool hasPicture() const { return !work_.isNull(); }

    const QImage& baseImage() const { return base_; }
    const QImage& workImage() const { return work_; }
    // The working image's pixels for the logic layer (packed 0x00BBGGRR in the low 24 bits).
    ImageView pixels();
    // The packed colour at (x, y), or -1 outside the picture.
    std::int32_t pixel(int x, int y) const;

    void setCursorPos(double left, double top);
    void setCursorVisible(bool visible);
    double cursorLeft() const { return cursorLeft_; }
    double cursorTop() const { return cursorTop_; }

    // Side of the square cursor in picture pixels.
    static constexpr int kCursorSize = 8;
    // Largest picture accepted, per side and in all: the scroll range is 16 bits, and two layers
    // with their working copies must still fit in memory.
    static constexpr int kMaxSide = 32767;
    static constexpr qint64 kMaxPixels = 400LL * 1000 * 1000;

  signals:
    // Coordinates are picture pixels; buttons and modifiers as Qt reports them.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void doubleClicked(Qt::KeyboardModifiers modifiers, int x, int y);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QRect cursorRect() const;

    QImage base_;
    QImage work_;
    double cursorLeft_ = 1;
    double cursorTop_ = 1;
    bool cursorVisible_ = true;
};

}  // namespace korvane
