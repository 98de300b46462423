// The platform layer: the file dialog's state, the data folder, the standard options, the registry setting
// and the tool tips.

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontMetrics>
#include <QRegularExpression>
#include <QSettings>
#include <QTextDocument>
#include <QToolTip>
#include <QWidget>
#include <array>
#include <filesystem>
#include <sstream>
#include <tuple>

#include "help/HelpLinks.h"
#include "platform/DataFolder.h"
#include "platform/FileDialogState.h"
#include "platform/ProgramOptions.h"
#include "platform/Registry.h"
#include "platform/tooltiptext.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"

namespace korvane {
namespace {

using namespace tooltiptext;
using testing::ScriptedUi;
using testing::TempDir;
namespace fs = std::filesystem;

TEST(OpenSave, FilterIsStoredWithNulsReadBackWithBarsAndGivenToQtWithEveryPattern) {
    ScriptedUi ui;
    FileDialogState dialog(ui);
    EXPECT_EQ(dialog.Filter(), "All Files (*.*)|*.*");
    // A filter that already ends in a separator gets only the NUL it lacks.
    for (const auto& [set, raw, back] : std::vector<std::array<std::string, 3>>{
             {"Korvane project file *.kvp|*.kvp", std::string("Korvane project file *.kvp\0*.kvp\0\0", 34),
              "Korvane project file *.kvp|*.kvp"},
             {"a|b|", std::string("a\0b\0\0", 5), "a|b"}}) {
        dialog.SetFilter(set);
        EXPECT_EQ(dialog.RawFilter(), raw);
        EXPECT_EQ(dialog.Filter(), back);
    }
    dialog.SetFilter("*.bmp;*.gif;*.jpg|*.bmp;*.gif;*.jpg|All pictures|*.png; *.tif");
    const auto filters = dialog.FilterList();
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(QtFilterText(filters[0]), "*.bmp;*.gif;*.jpg (*.bmp *.gif *.jpg)");
    EXPECT_EQ(QtFilterText(filters[1]), "All pictures (*.png *.tif)");
}

TEST(OpenSave, ShowPassesPropertiesReadsResultsBackAndACancelLeavesEveryProperty) {
    ScriptedUi ui;
    FileDialogState dialog(ui);
    dialog.DialogTitle = "Select filename to load project:";
    dialog.SetFilter("Korvane project file *.kvp|*.kvp");
    dialog.Flags = 2625542;
    dialog.InitDir = "/home/user/boards";
    dialog.FileName = "/home/user/boards/old.kvp";
    // A chosen path longer than the old fixed-size buffer comes back whole.
    const std::string chosen = "/home/user/" + std::string(400, 'd') + "/amp v2.kvp";
    ui.fileAnswers.push_back(FileDialogResult{chosen, 1});
    EXPECT_EQ(dialog.ShowOpen(), FileChoice::Chosen);
    ASSERT_EQ(ui.count("open"), 1);
    const FileDialogRequest request = ui.fileDialogs()[0];
    EXPECT_EQ(std::tie(request.title, request.initialDir, request.fileName, request.fileMustExist,
                       request.overwritePrompt),
              std::make_tuple("Select filename to load project:", "/home/user/boards",
                              "/home/user/boards/old.kvp", true, true));
    EXPECT_EQ(std::tie(dialog.FileName, dialog.FileTitle), std::make_tuple(chosen, "amp v2.kvp"));
    EXPECT_EQ(dialog.FileName.substr(std::size_t(dialog.FileExt)), "kvp");
    EXPECT_EQ(dialog.Flags, 2625542);
    // The next use proposes the file chosen last time; without the must-exist bit any name is accepted.
    dialog.Flags = 2621446;
    ui.fileAnswers.push_back(std::nullopt);
    EXPECT_EQ(dialog.ShowSave(), FileChoice::Cancelled);
    EXPECT_EQ(ui.fileDialogs()[1].fileName, chosen);
    EXPECT_FALSE(ui.fileDialogs()[1].fileMustExist);
    // Only the outcome tells a cancel from a confirmed preset name: a cancel changes no property.
    dialog.FileName = "/boards/a.kvp";
    dialog.FileTitle = "a.kvp";
    dialog.FilterIndex = 2;
    dialog.InitDir = "/boards";
    ui.fileAnswers = {std::nullopt, FileDialogResult{}};  // a cancel, and a dialog that returns no path
    for (const auto show : {&FileDialogState::ShowSave, &FileDialogState::ShowOpen}) {
        EXPECT_EQ((dialog.*show)(), FileChoice::Cancelled);
        EXPECT_EQ(
            std::tie(dialog.FileName, dialog.FileTitle, dialog.Flags, dialog.FilterIndex, dialog.InitDir),
            std::make_tuple("/boards/a.kvp", "a.kvp", 2621446, 2, "/boards"));
    }
}

TEST(DataFolder, BuildFolderInstalledTreeAndNeither) {
    // Each case: what is made below the folder (files end in "!"), the program's folder, the data folder.
    for (const std::string c :
         {"build/Lib|build|build", "build/help|build|build", "b/bin/Lib b/share/korvane/Lib|b/bin|b/bin",
          "usr/bin usr/share/korvane/Lib|usr/bin|usr/share/korvane",
          "usr/bin usr/share/korvane/help|usr/bin/|usr/share/korvane",
          "x/bin x/share/korvane x/bin/Lib!|x/bin|x/share/korvane", "y/bin|y/bin|y/bin"}) {
        SCOPED_TRACE(c);
        TempDir dir;
        std::istringstream in(c);
        std::string made, programDir, expected;
        std::getline(std::getline(std::getline(in, made, '|'), programDir, '|'), expected);
        std::istringstream paths(made);
        for (std::string path; paths >> path;) {
            path.ends_with('!') ? testing::writeFileBytes(dir.file(path.substr(0, path.size() - 1)), "")
                                : void(fs::create_directories(dir.path() / path));
        }
        EXPECT_EQ(DataFolder(dir.path().string() + "/" + programDir), dir.file(expected));
    }
}

TEST(ProgramOptions, HelpAndVersionOnlyAsTheWholeCommandLine) {
    const std::string version =
        "tool " + VersionText(KORVANE_VERSION_MAJOR, KORVANE_VERSION_MINOR, KORVANE_VERSION_PATCH) + "\n";
    EXPECT_EQ(StandardOptionReply({"--help"}, "tool", "usage"), "usage");
    EXPECT_EQ(StandardOptionReply({"-h"}, "tool", "usage"), "usage");
    EXPECT_EQ(StandardOptionReply({"--version"}, "tool", "usage"), version);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {}, {"board.kvp"}, {"export", "--help"}, {"--version", "x"}, {"--versions"}}) {
        EXPECT_EQ(StandardOptionReply(args, "tool", "usage"), std::nullopt) << ::testing::PrintToString(args);
    }
}

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
