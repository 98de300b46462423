#include "platform/tooltiptext.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPalette>
#include <QPointer>
#include <QStringList>
#include <QToolTip>
#include <QWidget>
#include <algorithm>

namespace korvane::tooltiptext {

namespace {

// Escapes one line for rich text. Runs of blanks are kept (rich text would fold them into one), so a
// name is shown exactly as it is stored.
QString escapeLine(const QString& line) {
    QString out;
    out.reserve(line.size() + 16);
    QChar previous = QLatin1Char('\n');
    for (QChar c : line) {
        switch (c.unicode()) {
            case '<':
                out += QLatin1String("&lt;");
                break;
            case '>':
                out += QLatin1String("&gt;");
                break;
            case '&':
                out += QLatin1String("&amp;");
                break;
            case '"':
                out += QLatin1String("&quot;");
                break;
            case '\t':
            case ' ':
                out += (previous == QLatin1Char(' ') || previous == QLatin1Char('\n'))
                           ? QLatin1String("&nbsp;")
                           : QLatin1String(" ");
                c = QLatin1Char(' ');
                break;
            default:
                out += c;
                break;
        }
        previous = c;
    }
    return out;
}

QStringList splitLines(const QString& text) {
    QString normalised = text;
    normalised.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalised.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return normalised.split(QLatin1Char('\n'));
}

// The label Qt shows tips in, while it is up.
QWidget* shownTipLabel() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QTipLabel") && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

// Qt shows every tip in one label and takes it over, as it is, for the next tip asked for while it is
// still up (a tip lingers a moment after the mouse left its area). Before another widget's tip request
// is answered, the label gets the ordinary colours back, so a pad's colours never pass to that tip.
class TipColourGuard : public QObject {
  public:
    using QObject::QObject;

    void watch(QWidget* label, QWidget* control) {
        label_ = label;
        control_ = control;
        if (!installed_) {
            qApp->installEventFilter(this);
            installed_ = true;
        }
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::ToolTip && watched != control_) {
            if (label_ != nullptr) {
                label_->setPalette(QToolTip::palette());
            }
            label_ = nullptr;
            control_ = nullptr;
            qApp->removeEventFilter(this);
            installed_ = false;
        }
        return false;
    }

  private:
    QPointer<QWidget> label_;
    QPointer<QWidget> control_;
    bool installed_ = false;
};

TipColourGuard& colourGuard() {
    static QPointer<TipColourGuard> guard;
    if (guard == nullptr) {
        guard = new TipColourGuard(qApp);
    }
    return *guard;
}

}  // namespace

QColor PackedColour(std::int32_t packed) {
    const auto bits = static_cast<std::uint32_t>(packed);
    return QColor(int(bits & 0xFF), int((bits >> 8) & 0xFF), int((bits >> 16) & 0xFF));
}

QString PlainTipHtml(const QString& text, int maxWidth) {
    const QStringList lines = splitLines(text);
    const QFontMetrics metrics(QToolTip::font());
    int widest = 0;
    QStringList escaped;
    for (const QString& line : lines) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
        escaped << escapeLine(line);
    }
    const QString body = escaped.join(QLatin1String("<br/>"));
    // The <qt> tag makes QToolTip take the text as rich text whatever it holds, so the escaping above
    // is what the user sees; a plain text that happened to look like a tag would otherwise vanish.
    if (maxWidth > 0 && widest > maxWidth) {
        // A table of fixed width is the one way to make rich text wrap at a given pixel width.
        return QStringLiteral(
                   "<qt><table width=\"%1\" cellspacing=\"0\" cellpadding=\"0\"><tr><td>%2</td></tr>"
                   "</table></qt>")
            .arg(maxWidth)
            .arg(body);
    }
    return QStringLiteral("<qt><nobr>%1</nobr></qt>").arg(body);
}

void SetTooltip(QWidget* control, const QPoint& globalPos, const QString& text, std::int32_t backColour,
                std::int32_t textColour, int maxWidth, int popDelayMs, const QRect& area) {
    if (text.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(globalPos, PlainTipHtml(text, maxWidth), control, area, popDelayMs);
    QWidget* label = shownTipLabel();
    if (label == nullptr) {
        return;
    }
    // Only this tip gets the colours: QToolTip's own palette is that of every tip in the program.
    QPalette palette = QToolTip::palette();
    palette.setColor(QPalette::ToolTipBase, PackedColour(backColour));
    palette.setColor(QPalette::ToolTipText, PackedColour(textColour));
    label->setPalette(palette);
    colourGuard().watch(label, control);
}

}  // namespace korvane::tooltiptext
