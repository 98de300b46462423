#include "view/OverlayBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QToolButton>

#include "view/Panes.h"

namespace korvane {

OverlayBar::OverlayBar(Panes& panes, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("overlayBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* label = new QLabel(QStringLiteral("Opacity"), this);
    opacity_ = new QSlider(Qt::Horizontal, this);
    opacity_->setObjectName(QStringLiteral("overlayOpacity"));
    opacity_->setRange(0, 100);
    opacity_->setValue(int(panes.overlayOpacity() * 100));
    opacity_->setFixedWidth(120);
    opacity_->setToolTip(QStringLiteral("Opacity of the layer on top"));
    // The slider must not keep the keys from the panes' navigation.
    opacity_->setFocusPolicy(Qt::NoFocus);
    label->setBuddy(opacity_);
    swap_ = new QToolButton(this);
    swap_->setObjectName(QStringLiteral("overlaySwap"));
    swap_->setText(QStringLiteral("Swap layers"));
    swap_->setToolTip(QStringLiteral("Put the other layer on top (S)"));
    swap_->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(label);
    layout->addWidget(opacity_);
    layout->addWidget(swap_);
    connect(opacity_, &QSlider::valueChanged, &panes,
            [&panes](int value) { panes.setOverlayOpacity(value / 100.0); });
    connect(swap_, &QToolButton::clicked, &panes, &Panes::swapOverlayLayers);
    connect(&panes, &Panes::overlayChanged, this, &QWidget::setVisible);
    setVisible(panes.overlay());
}

}  // namespace korvane
