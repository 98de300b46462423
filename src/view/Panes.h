#pragma once

// The two picture panes of the main window, one above the other, with the horizontal bar between them
// and the vertical bar along the right edge. Both pictures always share one scroll offset, even when
// they differ in size. The bars' settings live in ScrollBarModel, which refuses out-of-range values the
// way the program's keyboard navigation relies on; the QScrollBars only show them.

#include <QWidget>

#include "view/ScrollBarModel.h"

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

  signals:
    // Released on a pane outside its picture; pane is 1 or 2.
    void paneMouseUp(int pane, Qt::MouseButton button, QPoint globalPos);

  protected:
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void horizontalScrolled();
    void verticalScrolled();
    void syncBars();

    QWidget* pic1_;
    QWidget* pic2_;
    PictureBox* P1_;
    PictureBox* P2_;
    QScrollBar* HSBar_;
    QScrollBar* VSBar_;
    ScrollBarModel HS_;
    ScrollBarModel VS_;
    bool syncing_ = false;
};

}  // namespace korvane
