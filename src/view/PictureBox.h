#pragma once

// One loaded picture (P1 or P2): the base image as loaded or last transformed, and the working image
// that run-time painting such as traces goes into. The widget is exactly the picture's displayed size
// (its size times the zoom; at 1:1 one picture pixel per logical pixel), and draws the cursor and the
// pad markers itself, each the same size on screen at every zoom: a board has
// thousands of marks, and child widgets for each would crawl. Mouse events reach a marker before the
// picture, as they would reach a child control lying on it: a press on a marker keeps sending that
// marker the moves and the release until every button is up, and a press on the picture keeps them on
// the picture in the same way.

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QPointer>
#include <QString>
#include <QTransform>
#include <QWidget>
#include <optional>
#include <vector>

#include "pads/PadMarkers.h"
#include "platform/Ui.h"
#include "transforms/BaseTiles.h"
#include "view/PicturePyramid.h"

class QPainter;

namespace korvane {

class PictureBox;

// Another picture shown in this one, mapped onto its pixels, both layers blended: the overlay view.
struct PictureOverlay {
    QPointer<const PictureBox> other;
    QTransform otherToThis;  // the other picture's pixels to this picture's pixels
    double opacity = 0.5;    // of the layer on top, 0 to 1
    bool otherOnTop = true;
};

class PictureBox : public QWidget {
    Q_OBJECT

  public:
    explicit PictureBox(QWidget* parent = nullptr);
    ~PictureBox() override;

    // Loads a picture file; false with a reason when it cannot be read or is larger than the program
    // can hold. The header is checked before decoding so a hostile file cannot exhaust memory.
    bool loadPicture(const QString& path, QString* error = nullptr);
    // Shows `image` as both base and working image; an image no one else holds is taken without a copy.
    void setPicture(QImage image);
    void clearPicture();
    bool hasPicture() const { return !work_.isNull(); }

    // The base: the working image itself while nothing is painted on it, else put together from it and
    // the saved tiles (a whole picture, held until the next write or picture: for transforms and tests).
    const QImage& baseImage() const;
    const QImage& workImage() const { return work_; }
    // Where the working image differs from the base: what traces painted.
    PaintedPixels paintedPixels(bool withPixels = true) const;
    // Exchanges the painted parts of the working image with the saved base, in place: the working image
    // shows the base (what a flip or turn starts from) until a second call puts the painting back.
    void exchangeBase();
    // The working image's pixels for the logic layer (packed 0x00BBGGRR in the low 24 bits), guarded:
    // whatever writes through the view tells each row span first, and the base saves only those tiles.
    ImageView guardedPixels();
    // The same pixels for a writer that does not tell where it writes: the whole base is saved first.
    ImageView pixels();
    // Pixels of the working image were painted over (picture pixels): what shows them is redrawn.
    void picturePainted(const QRect& area);
    // The working image halved again and again, for drawing it zoomed out; built off the GUI thread
    // after a picture is set, brought up to date with what was painted when it is next drawn.
    const PicturePyramid& pyramid() const;
    // True from setting a large picture until its pyramid is there.
    bool pyramidBuilding() const;
    // The packed colour at (x, y), or -1 outside the picture.
    std::int32_t pixel(int x, int y) const;

    void setCursorPos(double left, double top);
    void setCursorVisible(bool visible);
    bool cursorVisible() const { return cursorVisible_; }
    double cursorLeft() const { return cursorLeft_; }
    double cursorTop() const { return cursorTop_; }

    // The pad markers shown on this picture, one array of the pad model; null for none. The widget only
    // reads them: call markersChanged() after the model changed.
    void setMarkers(const MarkerArray* markers);
    void markersChanged();
    // Displayed pixels per picture pixel; the widget takes the picture's displayed size.
    void setZoom(double zoom);
    double zoom() const { return zoom_; }
    // The picture pixel under a point of the widget, and the widget point of a picture position.
    QPoint picturePixelAt(QPointF widgetPos) const;
    QPoint displayedPoint(double left, double top) const;

    // The topmost visible marker at a point of the widget (later numbers lie above earlier ones), 0 for
    // none.
    int markerAt(int x, int y) const;
    // Where a marker is drawn, in widget coordinates.
    QRect markerRect(const PadMarker& marker) const;
    const MarkerArray* markers() const { return markers_; }
    // Shows another picture and its pads blended with this one; nullopt for this picture alone.
    void setOverlay(std::optional<PictureOverlay> overlay);
    const std::optional<PictureOverlay>& overlay() const { return overlay_; }

    // A net shown on this picture: the markers of pads get a steady outline (unlike the selection, which
    // blinks), and each line joins the centres of the markers at its two ends, given as marker positions
    // (left, top) in picture pixels. Empty lists show nothing.
    void setHighlight(std::vector<int> pads, std::vector<QLineF> lines);
    const std::vector<int>& highlightedPads() const { return highlightPads_; }
    const std::vector<QLineF>& highlightLines() const { return highlightLines_; }
    // The colour of the outline and the lines: bright on copper and substrate alike, and none of the
    // colours a selected marker blinks in.
    static QColor highlightColour();

    // The marker being moved with Ctrl + drag, 0 for none.
    int draggedMarker() const { return dragMarker_; }

    // Side of the square cursor (and of a pad marker) in displayed pixels.
    static constexpr int kCursorSize = 8;

  signals:
    // Coordinates are picture pixels; buttons and modifiers as Qt reports them.
    void mouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void mouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void doubleClicked(Qt::KeyboardModifiers modifiers, int x, int y);
    // Mouse events on marker `index`; x and y are relative to the marker's top-left corner.
    void markerMouseDown(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void markerMouseMove(int index, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y,
                         QPoint globalPos);
    void markerMouseUp(int index, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    // A Ctrl + drag of the marker ended at a new top-left corner (picture pixels).
    void markerMoved(int index, double left, double top);

  protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    QRect cursorRect() const;
    QSize displayedSize() const;
    // The marker's widget corner and the point of a mouse event relative to it.
    QPoint markerOffset(int index, QPoint widgetPoint) const;
    QRect dragRect() const;
    void paintMarkers(QPainter& painter, const QRect& area) const;
    void paintMarker(QPainter& painter, const QRect& box, const PadMarker& marker) const;
    void paintHighlightLines(QPainter& painter, const QRect& area) const;
    void paintHighlightOutlines(QPainter& painter, const QRect& area) const;
    // The widget line of a highlight line: from marker centre to marker centre.
    QLineF displayedLine(const QLineF& line) const;
    // This picture at the zoom, or the overlay's other one mapped onto it.
    void paintOwnPicture(QPainter& painter, const QRect& area) const;
    void paintOtherPicture(QPainter& painter, const QRect& area) const;
    void paintOtherMarkers(QPainter& painter, const QRect& area) const;
    // A press that lands on a marker (or goes to the marker that holds the mouse); false for the picture.
    bool pressMarker(QMouseEvent* event);
    // Where a press (or the double click that stands for one) goes: true when a marker took it.
    bool pressGoesToMarker(QMouseEvent* event);

    QImage work_;
    double zoom_ = 1;
    std::optional<PictureOverlay> overlay_;
    mutable PicturePyramid pyramid_;
    mutable QRect stale_;  // painted since the pyramid was last brought up to date
    PyramidBuilder* builder_;
    unsigned pictureCount_ = 0;    // pictures set or cleared, so that a late build start knows its picture
    BaseTiles base_;               // the base where it differs from work_
    mutable QImage composedBase_;  // baseImage() once traces are painted
    double cursorLeft_ = 1;
    double cursorTop_ = 1;
    bool cursorVisible_ = true;

    const MarkerArray* markers_ = nullptr;
    std::vector<int> highlightPads_;
    std::vector<QLineF> highlightLines_;
    int pressedMarker_ = 0;     // holds the mouse from a press until every button is up
    bool pictureHeld_ = false;  // the same for a press on the picture itself
    int dragMarker_ = 0;
    QPoint dragGrab_;  // where the marker was grabbed, relative to its top-left corner (widget pixels)
    QPoint dragPos_;   // top-left corner while dragging (widget pixels)
    bool dragMoved_ = false;
};

}  // namespace korvane
