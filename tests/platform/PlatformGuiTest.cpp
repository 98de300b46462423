// The platform layer with Qt: the registry setting and the tool tips.

#include <gtest/gtest.h>

#include <array>

#include <QApplication>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QSettings>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>

#include "platform/Registry.h"
#include "platform/tooltiptext.h"

namespace korvane {
namespace {

using namespace tooltiptext;

QWidget* visibleTip() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->inherits("QTipLabel") && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

// The text a rich-text label shows for html; the empty blocks around a table are not text.
QString shownText(const QString& html) {
    QTextDocument document;
    document.setHtml(html);
    return document.toPlainText().remove(QRegularExpression("^\\n+|\\n+$"));
}

// Packed, red, green, blue. The tip background is 0x00EEFFFF; bits above the colour are not a colour.
TEST(Tooltip, PackedColoursHaveRedInTheLowByte) {
    const std::array<std::int32_t, 4> cases[] = {{15663103, 255, 255, 238}, {0, 0, 0, 0},
                                                 {255, 255, 0, 0},          {0xFF00, 0, 255, 0},
                                                 {0xFF0000, 0, 0, 255},     {0x00123456, 0x56, 0x34, 0x12}};
    for (const auto& [packed, red, green, blue] : cases) {
        EXPECT_EQ(PackedColour(packed), QColor(red, green, blue)) << packed;
    }
    EXPECT_EQ(PackedColour(std::int32_t(0xFF0000FF)), QColor(255, 0, 0));
}

TEST(Tooltip, TextAlwaysShowsAsWritten) {
    const QString longText = QStringLiteral(
        "Pad 17, net \"VCC_<main>\" of U3 & U4, connected through R12 to the regulator output on the top "
        "layer");
    for (const QString& text : {QStringLiteral("<RST>"), QStringLiteral("A&B"), QStringLiteral("<b>bold</b>"),
                                QStringLiteral("two  blanks"), QStringLiteral(" lead"),
                                QStringLiteral("Free pad , no name, not connected"), longText}) {
        const QString html = PlainTipHtml(text, 300);
        EXPECT_TRUE(Qt::mightBeRichText(html)) << html.toStdString();
        EXPECT_EQ(shownText(html), text) << html.toStdString();
    }
    EXPECT_EQ(shownText(PlainTipHtml(QStringLiteral("one\r\ntwo\nthree"), 300)),
              QStringLiteral("one\ntwo\nthree"));
}

TEST(Tooltip, ShowsAtOnceInTheGivenColoursWrapsLongTextAndShowsNothingForAnEmptyText) {
    const QPalette ordinary = QToolTip::palette();
    QWidget control;
    control.resize(100, 100);
    control.show();
    const QPoint at = control.mapToGlobal(QPoint(10, 10));
    SetTooltip(&control, at, QString());
    EXPECT_EQ(visibleTip(), nullptr);
    SetTooltip(&control, at, QStringLiteral("<RST> of U1"));
    QWidget* tip = visibleTip();
    ASSERT_NE(tip, nullptr) << "shown at once, without the hover delay";
    EXPECT_EQ(QToolTip::text(), PlainTipHtml(QStringLiteral("<RST> of U1"), 300));
    EXPECT_EQ(tip->palette().color(QPalette::ToolTipBase), QColor(255, 255, 238));
    EXPECT_EQ(tip->palette().color(QPalette::ToolTipText), QColor(0, 0, 0));
    EXPECT_EQ(QToolTip::palette(), ordinary) << "every other tip keeps its colours";
    const QSize single = tip->size();
    EXPECT_FALSE(PlainTipHtml(QStringLiteral("R1-2 \"GND\""), 300).contains(QStringLiteral("<table")))
        << "a short tip is not stretched to the full width";
    // Other colours reach the tip through the same conversion; a long text wraps at 300 pixels.
    const QString longText = QString(QStringLiteral("word ")).repeated(40).trimmed();
    const QFontMetrics metrics(QToolTip::font());
    ASSERT_GT(metrics.horizontalAdvance(longText), 300);
    SetTooltip(&control, control.mapToGlobal(QPoint(12, 12)), longText, 0xFF, 0xFF0000);
    ASSERT_NE(visibleTip(), nullptr);
    EXPECT_EQ(visibleTip()->palette().color(QPalette::ToolTipBase), QColor(255, 0, 0));
    EXPECT_EQ(visibleTip()->palette().color(QPalette::ToolTipText), QColor(0, 0, 255));
    EXPECT_LE(visibleTip()->width(), 300 + 2 * 10) << "300 pixels and the tip's own margins";
    EXPECT_GT(visibleTip()->height(), single.height() + 2 * metrics.lineSpacing()) << "wrapped";
    QToolTip::hideText();
}

TEST(Registry, LastPathRoundTripsAndOtherTypesReadAsNoValue) {
    const std::string key = "SOFTWARE\\KorvaneTest\\Prop";
    EXPECT_FALSE(Registry::GetString(key, "LastPath").has_value());
    Registry::SetString(key, "LastPath", "/home/user/boards/amp.kvp");
    EXPECT_EQ(Registry::GetString(key, "LastPath"), std::optional<std::string>("/home/user/boards/amp.kvp"));
    {
        QSettings settings(QSettings::NativeFormat, QSettings::UserScope, "KorvaneTest", "KorvaneTest");
        settings.setValue("Prop/LastPath", QStringList{"a", "b"});
    }
    EXPECT_FALSE(Registry::GetString(key, "LastPath").has_value()) << "a list is not a path";
}

}  // namespace
}  // namespace korvane
