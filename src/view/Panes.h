#pragma once

// The two picture panes of the main window, one above the other, with the horizontal bar between them
// and the vertical bar along the right edge. Both pictures zoom together. At 1:1 they always share one
// scroll offset, even when they differ in size; at any other zoom the second picture follows the first
// through the cursors' mapping, so that corresponding points stay in view however far in the user
// looks. The bars' settings live in ScrollBarModel, which refuses out-of-range values the way the
// program's keyboard navigation relies on; the QScrollBars only show them. They count displayed pixels,
// in steps of more than one only when a picture is too large for their 16 bits.

#include <QPoint>
#include <QWidget>
#include <functional>

#include "view/ScrollBarModel.h"
#include "view/ViewTransform.h"

class QScrollBar;

namespace korvane {

class PictureBox;

class Panes : public QWidget {
    Q_OBJECT

  public:
    explicit Panes(QWidget* parent = nullptr);

    PictureBox* P1() const { return P1_; }
    PictureBox* P2() const { return P2_; }
    QWidget* pic1() const { return pic1_; }
    QWidget* pic2() const { return pic2_; }
    QScrollBar* hsBar() const { return HSBar_; }
    QScrollBar* vsBar() const { return VSBar_; }
    const ScrollBarModel& HS() const { return HS_; }
    const ScrollBarModel& VS() const { return VS_; }

    // Assigning a value outside the bar's range is refused (false) and nothing moves.
    bool setHSValue(long value);
    bool setVSValue(long value);

    void layOut();
    void Scrolling();
    void resetBars();
    void setPicturesVisible(bool visible);

    // One step of edge scrolling towards cursors (picture pixels) that left their panes.
    void AutoPos(double cur1Left, double cur1Top, double cur2Left, double cur2Top);
    KeyOutcome handleKey(int keyCode, bool shift, bool ctrl, bool alt, bool fillRunning);

    // --- zoom and pan ---
    double zoom() const { return zoom_; }
    // Zooms both pictures, keeping the picture point under `anchor` (a point of pane 1 or 2) where it is.
    void zoomAbout(double zoom, int pane, QPointF anchor);
    // The same about the middle of the first pane.
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();
    void fitPictures();
    void actualPixels();
    // The view of a pane: its zoom and the displayed pixel at its top-left corner.
    ViewTransform view(int pane) const;
    // Where the second picture shows the corresponding point of a first-picture position, and back; set
    // by the window from the cursors' mapping. Without them the panes share one offset at every zoom.
    using PointMap = std::function<ViewPoint(ViewPoint)>;
    void setPointMaps(PointMap firstToSecond, PointMap secondToFirst);
    // Moves the view of both pictures by a displacement of displayed pixels (a drag of the picture).
    void panBy(QPoint displacement);

    // --- the overlay: one pane, the second layer mapped onto the first and blended with it ---
    void setOverlay(bool on);
    bool overlay() const { return overlay_; }
    void setOverlayOpacity(double opacity);
    double overlayOpacity() const { return opacity_; }
    void swapOverlayLayers();
    bool secondOnTop() const { return secondOnTop_; }
    // The cursors' mapping changed: the second picture is placed (and laid over the first) anew.
    void mappingChanged();
    // Repaints a picture wherever it shows: in its pane, and in the overlay for the second.
    void refreshPicture(int picture);

  signals:
    // Released on a pane outside its picture; pane is 1 or 2.
    void paneMouseUp(int pane, Qt::MouseButton button, QPoint globalPos);
    void zoomChanged(double zoom);
    void overlayChanged(bool on);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void horizontalScrolled();
    void verticalScrolled();
    void syncBars();
    int barOffset(const ScrollBarModel& bar, int unit, int reach) const;
    // Puts the bars as close as they go to the first pane's origin (displayed pixels).
    void scrollToOrigin(ViewPoint origin);
    // The second picture's position while it follows the first through the mapping.
    void placeSecondPicture();
    bool followsMapping() const;
    bool startPan(QObject* watched, QEvent* event);

    QWidget* pic1_;
    QWidget* pic2_;
    PictureBox* P1_;
    PictureBox* P2_;
    QScrollBar* HSBar_;
    QScrollBar* VSBar_;
    ScrollBarModel HS_;
    ScrollBarModel VS_;
    bool syncing_ = false;
    double zoom_ = 1;
    int unitX_ = 1;  // displayed pixels per bar step
    int unitY_ = 1;
    PointMap firstToSecond_;
    PointMap secondToFirst_;
    // A drag of the pictures with the middle button, or with the left one while Space is held.
    bool panning_ = false;
    bool spaceHeld_ = false;
    QPoint panFrom_;
    QWidget* panWidget_ = nullptr;
    int wheelZoom_ = 0;
    bool overlay_ = false;
    double opacity_ = 0.5;
    bool secondOnTop_ = true;
    void updateOverlay();  // the part of a notch a touchpad sent towards the next zoom step
};

}  // namespace korvane
