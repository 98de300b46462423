#pragma once

// Tips for the pad markers: shown at once instead of after the usual hover delay, kept up for 20 seconds,
// wrapped at 300 pixels and painted in pale yellow, so a long pad description can be read in full while
// the mouse rests on the marker. Markers are painted by the picture widget, so the tip belongs to that
// widget and, optionally, to the marker's rectangle within it.

#include <QColor>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>

class QWidget;

namespace korvane::tooltiptext {

// The program's colours are packed 0x00BBGGRR, red in the low byte; this is the one way they reach Qt.
QColor PackedColour(std::int32_t packed);

// The rich text handed to QToolTip for `text`: the text escaped so that it always shows as written
// ("<RST>", "A&B"), line breaks kept, and wrapped at maxWidth pixels of the tip font when it is wider.
QString PlainTipHtml(const QString& text, int maxWidth);

// Shows `text` as the tip of `control` at globalPos right away, replacing any tip shown, with the given
// colours, width and time before it hides by itself. An empty text hides any tip. When `area` (in the
// control's coordinates) is given, the tip also hides as soon as the mouse leaves it.
void SetTooltip(QWidget* control, const QPoint& globalPos, const QString& text,
                std::int32_t backColour = 15663103, std::int32_t textColour = 0, int maxWidth = 300,
                int popDelayMs = 20000, const QRect& area = QRect());

}  // namespace korvane::tooltiptext
