// The export dialog through the main window: what only its widgets show, and its files against korvane-cli's.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTimer>
#include <filesystem>

#include "app/MainWindow.h"
#include "cli/CliRun.h"
#include "export/ExportDialog.h"
#include "pads/PadPropertiesDialog.h"
#include "support/ScriptedUi.h"
#include "support/TestMainWindow.h"

namespace korvane::testing {
namespace {

using Names = std::vector<std::string>;

// The fixtures dialog-*.kvp hold pads in document order U1, C1, R1: opening lists them as R1, C1, U1.
class ExportDialogWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        QImage image(120, 80, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        for (const char* name : {"top.bmp", "bottom.png"}) {
            ASSERT_TRUE(image.save(QString::fromStdString(dir.file(name))));
        }
        // Five symbols, so that the fifth one is reference 4; the third name looks like markup.
        std::filesystem::create_directory(dir.file("prog"));
        std::filesystem::copy(kFixtures + "/five-symbols", dir.file("prog/Lib"));
        window->startUp("");
        window->timer()->stop();  // ticks are driven by hand
        window->exportDialog()->setProgramDir(dir.file("prog"));
    }
    void openWith(const std::string& text) {
        writeFileBytes(project, text);
        ui.fileAnswers = {FileDialogResult{project, 1}};
        window->session().openProject();
        ASSERT_TRUE(window->projectOpen());
        ui.clear();
    }
    void showDialog() {
        window->showExportDialog();
        ASSERT_TRUE(dialog().isVisible());
        dialog().timer()->stop();
    }
    ExportDialog& dialog() { return *window->exportDialog(); }
    QComboBox* combo(const char* name) { return dialog().findChild<QComboBox*>(name); }
    QPushButton* button(const char* name) { return dialog().findChild<QPushButton*>(name); }
    std::string text(const char* name) { return combo(name)->currentText().toStdString(); }
    Names fields() { return {text("cboSch"), text("cboLabel"), text("cboPackage")}; }
    void type(const char* name, const char* typed) {
        QLineEdit* edit = combo(name)->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, QString::fromUtf8(typed));
    }
    static Names items(const QComboBox* box) {
        Names out;
        for (int i = 0; i < box->count(); ++i) {
            out.push_back(box->itemText(i).toStdString());
        }
        return out;
    }
    bool updateEnabled() {
        dialog().followFields();
        return button("cmdUpdate")->isEnabled();
    }
    TempDir dir;
    ScriptedUi ui;
    std::string project = dir.file("board.kvp");
    std::unique_ptr<MainWindow> window = std::make_unique<TestMainWindow>(ui);
};

TEST_F(ExportDialogWindow, ShowsItsControlsModallyWithTheProjectsComponentsOrSaysThereAreNone) {
    window->showExportDialog();
    EXPECT_EQ(ui.count("message"), 0) << "no project: the menu does nothing at all";
    openWith("[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.png\r\n[TraceSection]\r\n");
    window->showExportDialog();
    ASSERT_EQ(ui.messages().size(), 1u);
    const MessageRequest m = ui.messages()[0];
    EXPECT_EQ(std::tie(m.prompt, m.title, m.icon),
              std::make_tuple("Nothing to export.", "Abort exporting:", MsgIcon::Information));
    EXPECT_FALSE(dialog().isVisible());
    window->session().closeProject();
    openWith(fixture("dialog-some-data.kvp"));
    showDialog();
    EXPECT_EQ(ui.count("message"), 0);
    EXPECT_TRUE(dialog().windowModality() == Qt::ApplicationModal && dialog().parentWidget() == window.get());
    // The title, then every named control: caption, tip; for a list whether it is typed into, its text and
    // its number of items. The first component is chosen with its data; the pick lists are the libraries'.
    std::string controls = dialog().windowTitle().toStdString() + "\n";
    for (const QWidget* widget : dialog().findChildren<QWidget*>()) {
        const auto* box = qobject_cast<const QComboBox*>(widget);
        const QString caption = widget->property(widget->inherits("QGroupBox") ? "title" : "text").toString();
        const QString list = box == nullptr ? ""
                                            : (box->isEditable() ? "|typed|" : "|picked|") +
                                                  box->currentText() + "|" + QString::number(box->count());
        if (!widget->objectName().isEmpty() && !widget->objectName().startsWith("qt_")) {
            controls +=
                (widget->objectName() + "|" + caption + "|" + widget->toolTip() + list + "\n").toStdString();
        }
    }
    EXPECT_EQ(controls, expected("export/dialog-controls.txt"));
    EXPECT_TRUE(dialog().findChild<QGroupBox*>("Frame1")->isAncestorOf(button("cmdUpdate")));
    QComboBox* comp = combo("cboComp");
    EXPECT_EQ(items(comp), (Names{"R1", "C1", "U1"}));
    // Showing again rebuilds the lists: a component added meanwhile comes last, with empty data.
    dialog().closeDialog();
    PadBoard& board = window->pads().padDialog()->board();
    ASSERT_TRUE(board.place(9, 60, 10, 61, 11));
    board.writeNames({9}, kAllNameFields, PadNames{"1", "VCC", "Q1"});
    showDialog();
    EXPECT_EQ(items(comp), (Names{"R1", "C1", "U1", "Q1"}));
    EXPECT_EQ(text("cboPackage"), "AXIAL0.4");
}

// The reference field's tip must follow the field and show a symbol name that looks like markup as written.
TEST_F(ExportDialogWindow, UpdateWalksTheComponentsAndCloseOrEscAsksToSaveAfterAChange) {
    openWith(fixture("dialog-some-data.kvp"));
    window->project().markSaved();
    showDialog();
    QComboBox* comp = combo("cboComp");
    // Nothing changed: Close asks nothing and hides the dialog.
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    EXPECT_TRUE(!dialog().isVisible() && ui.count("message") == 0);
    showDialog();
    // R1 has its three data: Update stores them (nothing new: no edit) and moves on to C1, which has none.
    EXPECT_TRUE(updateEnabled());
    QTest::mouseClick(button("cmdUpdate"), Qt::LeftButton);
    EXPECT_TRUE(comp->currentText() == "C1" && window->project().saved());
    EXPECT_EQ(fields(), (Names{"", "", ""}));
    EXPECT_FALSE(updateEnabled());
    EXPECT_EQ(combo("cboSch")->toolTip(), "Select from list ONLY !");
    // The pick lists fill the fields; Update is enabled only once all three are filled, whichever way.
    emit combo("cboLib")->activated(2);
    EXPECT_FALSE(updateEnabled());
    const QString tip = combo("cboSch")->toolTip();
    EXPECT_EQ(Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip, "<B>")
        << tip.toStdString();
    emit combo("cboLib")->activated(1);
    emit combo("cboLab")->activated(17);
    EXPECT_EQ(fields(), (Names{"1", "4.7", ""}));
    EXPECT_FALSE(updateEnabled());
    type("cboPackage", "RAD0.1");
    EXPECT_TRUE(updateEnabled());
    type("cboLabel", "");
    EXPECT_FALSE(updateEnabled());
    type("cboLabel", "100n");
    EXPECT_TRUE(updateEnabled());
    QTest::mouseClick(button("cmdUpdate"), Qt::LeftButton);
    EXPECT_TRUE(comp->currentText() == "U1" && !window->project().saved());
    emit combo("cboLib")->activated(4);
    emit combo("cboLibP")->activated(2);
    type("cboLabel", "BC547");
    EXPECT_TRUE(updateEnabled());
    QTest::mouseClick(button("cmdUpdate"), Qt::LeftButton);
    EXPECT_EQ(comp->currentText(), "U1");
    EXPECT_EQ(window->pads().padDialog()->board().doc().Value("ComponentsSection", "U1"),
              "4{label}BC547{footprint}TO92");
    EXPECT_EQ(fields(), (Names{"4", "BC547", "TO92"}));
    // C1 shows what was stored for it, now and when shown again. Changed: Esc asks, and hides whatever the
    // answer.
    emit comp->activated(1);
    EXPECT_EQ(fields(), (Names{"1", "100n", "RAD0.1"}));
    ui.messageAnswers = {MsgResult::Cancel};
    QTest::keyClick(&dialog(), Qt::Key_Escape);
    EXPECT_TRUE(!dialog().isVisible() && !window->project().saved());
    EXPECT_EQ(ui.count("message"), 1) << "the save prompt";
    showDialog();
    emit comp->activated(1);
    EXPECT_EQ(fields(), (Names{"1", "100n", "RAD0.1"}));
}

// The net-list dialog starts at the file chosen last, even after closing and reopening the project; the
// format chosen lasts while the program runs.
TEST_F(ExportDialogWindow, ExportWritesWhatKorvaneCliWritesAndRemembersTheLastFileAndFormat) {
    openWith(fixture("dialog-all-data.kvp"));
    const std::string before = readFileBytes(project);
    showDialog();
    // The schematic dialog cancelled: a complete net list, nothing said.
    ui.fileAnswers = {FileDialogResult{dir.file("a.net"), 1}, std::nullopt};
    EXPECT_EQ(dialog().exportFiles(), ExportOutcome::NetListOnly);
    EXPECT_TRUE(ui.count("message") == 0 && !std::filesystem::exists(dir.file("a.sch")));
    EXPECT_EQ(readFileBytes(dir.file("a.net")), expected("export/dialog.net"));
    ui.messageAnswers = {MsgResult::No};
    window->session().closeProject();  // which puts the dialog away with it
    EXPECT_FALSE(dialog().isVisible());
    openWith(fixture("dialog-all-data.kvp"));
    showDialog();
    ui.fileAnswers = {FileDialogResult{dir.file("b.net"), 1}, FileDialogResult{dir.file("b.sch"), 1}};
    EXPECT_EQ(dialog().exportFiles(), ExportOutcome::Completed);
    ASSERT_EQ(ui.fileDialogs().size(), 2u);
    EXPECT_EQ(ui.fileDialogs()[0].initialDir, dir.file("a.net"));
    EXPECT_TRUE(window->project().saved()) << "exporting changes nothing of the project";
    QComboBox* format = combo("cboFormat");
    EXPECT_EQ(items(format), (Names{"Protel net list", "KiCad net list"}));
    ASSERT_EQ(format->currentIndex(), 0);
    format->setCurrentIndex(1);
    ui.clear();
    ui.fileAnswers = {FileDialogResult{dir.file("k.net"), 1}, std::nullopt};
    EXPECT_EQ(dialog().exportFiles(), ExportOutcome::NetListOnly);
    dialog().closeDialog();
    showDialog();
    EXPECT_EQ(format->currentIndex(), 1);
    format->setCurrentIndex(0);
    ui.fileAnswers = {FileDialogResult{dir.file("p.net"), 1}, std::nullopt};
    EXPECT_EQ(dialog().exportFiles(), ExportOutcome::NetListOnly);
    const CliRun run =
        cli(dir, {"export", project, "--netlist", dir.file("cli.net"), "--schematic", dir.file("cli.sch"),
                  "--kicad-netlist", dir.file("cli.kicad.net"), "--lib-dir", dir.file("prog/Lib")});
    ASSERT_EQ(run.code, 0) << run.err;
    for (const char* file : {"a.net", "b.net", "p.net"}) {
        EXPECT_EQ(readFileBytes(dir.file(file)), readFileBytes(dir.file("cli.net"))) << file;
    }
    EXPECT_EQ(readFileBytes(dir.file("b.sch")), readFileBytes(dir.file("cli.sch")));
    EXPECT_NE(readFileBytes(dir.file("b.sch")), "");
    EXPECT_EQ(readFileBytes(dir.file("k.net")), readFileBytes(dir.file("cli.kicad.net")));
    EXPECT_NE(readFileBytes(dir.file("k.net")).find("(source \"board.kvp\")"), std::string::npos);
    EXPECT_EQ(readFileBytes(project), before);
}

}  // namespace
}  // namespace korvane::testing
