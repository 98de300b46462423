#pragma once

// The overlay's controls in the status bar: the opacity of the layer on top and the swap of the layers.

#include <QWidget>

class QSlider;
class QToolButton;

namespace korvane {

class Panes;

class OverlayBar : public QWidget {
    Q_OBJECT

  public:
    OverlayBar(Panes& panes, QWidget* parent = nullptr);
    QSlider* opacity() const { return opacity_; }
    QToolButton* swap() const { return swap_; }

  private:
    QSlider* opacity_;
    QToolButton* swap_;
};

}  // namespace korvane
