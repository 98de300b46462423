// The export dialog driven through the main window with a scripted Ui: its controls, opening it from the
// menu, choosing and updating components through the widgets, the refresh tick, Close and Esc, the export
// button's files and messages, and the same bytes as korvane-cli for a project just opened.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTimer>
#include <cstdlib>
#include <filesystem>

#include "app/MainWindow.h"
#include "export/ExportDialog.h"
#include "pads/PadPropertiesDialog.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "support/TestMainWindow.h"

namespace korvane {
namespace {

using testing::readFileBytes;
using testing::TempDir;
using testing::writeFileBytes;

// A library of five symbols, so that the fifth one is reference 4; one name looks like markup.
std::string schematicLibrary() {
    std::string text;
    for (int i = 1; i <= 13; ++i) {
        text += "header " + std::to_string(i) + "\r\n";
    }
    for (const char* symbol : {"RES", "CAP", "<B>", "DIODE", "NPN"}) {
        text += "Component\r\n";
        for (int i = 1; i <= 18; ++i) {
            text += "x\r\n";
        }
        text += std::string(symbol) + "\r\nEndComponent\r\n";
    }
    return text;
}

// Pads in document order U1, C1, R1: opening lists the components as R1, C1, U1. A lower-case section
// and a second spelling of a net are settled by opening, as the headless export settles them.
const char* const kPads =
    "[Pad1]\r\nPadName=1\r\nNetName=VCC\r\nCompName=U1\r\n1Pad=10,10\r\n2Pad=11,11\r\n"
    "[Pad2]\r\nPadName=2\r\nNetName=GND\r\nCompName=U1\r\n1Pad=20,10\r\n2Pad=21,11\r\n"
    "[pad3]\r\nPadName=1\r\nNetName=gnd\r\nCompName=C1\r\n1Pad=30,10\r\n2Pad=31,11\r\n"
    "[Pad4]\r\nPadName=1\r\nNetName=VCC\r\nCompName=R1\r\n1Pad=40,10\r\n2Pad=41,11\r\n"
    "[Pad5]\r\nPadName=2\r\nNetName=GND\r\nCompName=R1\r\n1Pad=50,10\r\n2Pad=51,11\r\n";

const char* const kSomeData = "[ComponentsSection]\r\nR1=0{label}10k{footprint}AXIAL0.4\r\n";
const char* const kAllData =
    "[ComponentsSection]\r\nR1=0{label}10k{footprint}AXIAL0.4\r\nC1=1{label}100n{footprint}RAD0.1\r\n"
    "U1=4{label}BC547{footprint}TO92\r\n";

class ExportDialogWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const char* name : {"top.bmp", "bottom.png"}) {
            QImage image(120, 80, QImage::Format_RGB32);
            image.fill(Qt::darkGreen);
            ASSERT_TRUE(image.save(QString::fromStdString(dir.file(name))));
        }
        std::filesystem::create_directories(dir.file("prog/Lib"));
        writeFileBytes(dir.file("prog/Lib/pcb.lb"), "AXIAL0.4\r\nRAD0.1\r\nTO92\r\nDIP14\r\n");
        writeFileBytes(dir.file("prog/Lib/sch.lb"), schematicLibrary());
        project = dir.file("board.kvp");
        window = makeWindow();
    }

    std::unique_ptr<MainWindow> makeWindow() {
        auto f = std::make_unique<TestMainWindow>(ui);
        f->Form_Load("");
        f->timer()->stop();  // ticks are driven by hand
        f->padDialog()->timer()->stop();
        f->exportDialog()->setProgramDir(dir.file("prog"));
        return f;
    }

    void write(const std::string& sections) {
        writeFileBytes(project, "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.png\r\n" + sections +
                                    "[TraceSection]\r\n");
    }

    void open(MainWindow& f) {
        ui.fileAnswers = {FileDialogResult{project, 1}};
        f.mnuOpen_Click();
        ASSERT_TRUE(f.projectOpen());
        ui.clear();
    }

    // Opens the export dialog from the menu; the tick is driven by hand.
    void showDialog() {
        window->mnuExport_Click();
        ASSERT_TRUE(dialog().isVisible());
        dialog().timer()->stop();
    }

    ExportDialog& dialog() { return *window->exportDialog(); }
    QComboBox* combo(const char* name) { return dialog().findChild<QComboBox*>(name); }
    QPushButton* button(const char* name) { return dialog().findChild<QPushButton*>(name); }
    std::string text(const char* name) { return combo(name)->currentText().toStdString(); }
    // The reference, part type and footprint fields as shown.
    std::vector<std::string> fields() { return {text("cboSch"), text("cboLabel"), text("cboPackage")}; }
    void type(const char* name, const char* typed) {
        QLineEdit* edit = combo(name)->lineEdit();
        edit->clear();
        QTest::keyClicks(edit, QString::fromUtf8(typed));
    }
    bool updateEnabled() {
        dialog().Timer_Timer();
        return button("cmdUpdate")->isEnabled();
    }
    std::vector<std::string> prompts() const {
        std::vector<std::string> texts;
        for (const MessageRequest& message : ui.messages()) {
            texts.push_back(message.prompt);
        }
        return texts;
    }

    TempDir dir;
    testing::ScriptedUi ui;
    std::string project;
    std::unique_ptr<MainWindow> window;
};

TEST_F(ExportDialogWindow, ShowsItsControlsModallyWithTheProjectsComponents) {
    write(std::string(kPads) + kSomeData);
    open(*window);
    showDialog();
    EXPECT_EQ(ui.count("message"), 0);
    EXPECT_EQ(dialog().windowTitle(), "Export of principle scheme and netlist:");
    EXPECT_EQ(dialog().windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(dialog().parentWidget(), window.get());

    const struct {
        const char* name;
        const char* caption;
        const char* tip;
    } texts[] = {{"Label3", "Component designator:", ""},
                 {"Label4", "Reference of scheme library:", ""},
                 {"Label2", "Part type (label-value, comment):", ""},
                 {"Label1", "Package (footprint):", ""},
                 {"cmdUpdate", "&Update", "Update data of selected component"},
                 {"cmdExport", "&Export", "Save sch and netlist to files"},
                 {"cmdCancel", "&Close", ""},
                 {"cboComp", nullptr, "Select component"},
                 {"cboLib", nullptr, "Select from list ONLY !"},
                 {"cboLabel", nullptr, "Enter manually"},
                 {"cboLab", nullptr, "Select from list"},
                 {"cboPackage", nullptr, "Enter manually"},
                 {"cboLibP", nullptr, "Select from list"},
                 {"lblFormat", "Net-list format:", ""},
                 {"cboFormat", nullptr, "Format of the net-list file"}};
    for (const auto& t : texts) {
        QWidget* widget = dialog().findChild<QWidget*>(t.name);
        ASSERT_NE(widget, nullptr) << t.name;
        EXPECT_EQ(widget->toolTip().toStdString(), t.tip) << t.name;
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            EXPECT_EQ(label->text().toStdString(), t.caption);
        } else if (auto* push = qobject_cast<QPushButton*>(widget)) {
            EXPECT_EQ(push->text().toStdString(), t.caption);
        }
    }
    auto* frame = dialog().findChild<QGroupBox*>("Frame1");
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), "Data of selected component:");
    EXPECT_TRUE(frame->isAncestorOf(button("cmdUpdate")));
    // Text fields are typed into; pick lists only offer.
    for (const char* name : {"cboSch", "cboLabel", "cboPackage"}) {
        EXPECT_TRUE(combo(name)->isEditable()) << name;
    }
    for (const char* name : {"cboComp", "cboLib", "cboLab", "cboLibP", "cboFormat"}) {
        EXPECT_FALSE(combo(name)->isEditable()) << name;
    }

    // The first component is chosen, with its stored data; the pick lists come from the libraries.
    QComboBox* comp = combo("cboComp");
    ASSERT_EQ(comp->count(), 3);
    EXPECT_EQ(comp->itemText(0), "R1");
    EXPECT_EQ(comp->itemText(1), "C1");
    EXPECT_EQ(comp->itemText(2), "U1");
    EXPECT_EQ(comp->currentIndex(), 0);
    EXPECT_EQ(fields(), (std::vector<std::string>{"0", "10k", "AXIAL0.4"}));
    EXPECT_EQ(combo("cboLib")->count(), 5);
    EXPECT_EQ(combo("cboLibP")->count(), 4);
    EXPECT_EQ(combo("cboLab")->count(), 73) << "the part type picks";

    // Choosing a component shows its data; one without data shows three empty fields.
    emit comp->activated(1);
    EXPECT_EQ(fields(), (std::vector<std::string>{"", "", ""}));
    emit comp->activated(0);
    EXPECT_EQ(text("cboLabel"), "10k");

    // Showing again rebuilds the lists: a component added meanwhile comes last, with empty data.
    dialog().cmdCancel_Click();
    PadBoard& board = window->padDialog()->board();
    ASSERT_TRUE(board.place(9, 60, 10, 61, 11));
    board.writeNames({9}, kAllNameFields, PadNames{"1", "VCC", "Q1"});
    showDialog();
    ASSERT_EQ(comp->count(), 4);
    EXPECT_EQ(comp->itemText(3), "Q1");
    EXPECT_EQ(text("cboPackage"), "AXIAL0.4");
}

TEST_F(ExportDialogWindow, NothingToExportWithoutComponents) {
    // No project: the menu does nothing at all.
    window->mnuExport_Click();
    EXPECT_EQ(ui.count("message"), 0);

    write("");
    open(*window);
    window->mnuExport_Click();
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].prompt, "Nothing to export.");
    EXPECT_EQ(ui.messages()[0].title, "Abort exporting:");
    EXPECT_EQ(ui.messages()[0].icon, MsgIcon::Information);
    EXPECT_EQ(ui.messages()[0].buttons, MsgButtons::Ok);
    EXPECT_FALSE(dialog().isVisible());
}

TEST_F(ExportDialogWindow, UpdateWalksTheComponentsThroughTheWidgetsAndStaysOnTheLast) {
    write(std::string(kPads) + kSomeData);
    open(*window);
    window->project().markSaved();
    showDialog();
    QComboBox* comp = combo("cboComp");

    // R1 has its three data: Update stores them and moves on to C1, which has none.
    EXPECT_TRUE(updateEnabled());
    QTest::mouseClick(button("cmdUpdate"), Qt::LeftButton);
    EXPECT_EQ(comp->currentText(), "C1");
    EXPECT_FALSE(window->project().saved());
    EXPECT_FALSE(updateEnabled());

    // Update is enabled only once all three fields are filled, whichever way.
    emit combo("cboLib")->activated(1);
    EXPECT_EQ(text("cboSch"), "1");
    EXPECT_FALSE(updateEnabled());
    emit combo("cboLab")->activated(17);
    EXPECT_EQ(text("cboLabel"), "4.7");
    EXPECT_FALSE(updateEnabled());
    type("cboPackage", "RAD0.1");
    EXPECT_TRUE(updateEnabled());
    type("cboLabel", "");
    EXPECT_FALSE(updateEnabled());
    type("cboLabel", "100n");
    EXPECT_TRUE(updateEnabled());
    QTest::mouseClick(button("cmdUpdate"), Qt::LeftButton);
    EXPECT_EQ(comp->currentText(), "U1");

    emit combo("cboLib")->activated(4);
    emit combo("cboLibP")->activated(2);
    type("cboLabel", "BC547");
    EXPECT_EQ(fields(), (std::vector<std::string>{"4", "BC547", "TO92"}));
    EXPECT_TRUE(updateEnabled());
    QTest::mouseClick(button("cmdUpdate"), Qt::LeftButton);
    EXPECT_EQ(comp->currentText(), "U1");
    EXPECT_EQ(window->padDialog()->board().doc().Value("ComponentsSection", "U1"),
              "4{label}BC547{footprint}TO92");
    EXPECT_EQ(fields(), (std::vector<std::string>{"4", "BC547", "TO92"}));

    // Going back to C1 shows what was stored for it.
    emit comp->activated(1);
    EXPECT_EQ(fields(), (std::vector<std::string>{"1", "100n", "RAD0.1"}));
}

TEST_F(ExportDialogWindow, ReferenceToolTipNamesTheSymbol) {
    write(std::string(kPads) + kSomeData);
    open(*window);
    showDialog();
    QComboBox* sch = combo("cboSch");
    dialog().Timer_Timer();
    EXPECT_EQ(sch->toolTip(), "RES");

    emit combo("cboLib")->activated(4);  // the fifth symbol
    EXPECT_EQ(text("cboSch"), "4");
    dialog().Timer_Timer();
    EXPECT_EQ(sch->toolTip(), "NPN");

    type("cboSch", "");
    dialog().Timer_Timer();
    EXPECT_EQ(sch->toolTip(), "Select from list ONLY !");
    type("cboSch", "7");
    dialog().Timer_Timer();
    EXPECT_EQ(sch->toolTip(), "");

    // A name that looks like markup shows as written.
    type("cboSch", "2");
    dialog().Timer_Timer();
    const QString tip = sch->toolTip();
    const QString shown = Qt::mightBeRichText(tip) ? QTextDocumentFragment::fromHtml(tip).toPlainText() : tip;
    EXPECT_EQ(shown, "<B>") << tip.toStdString();
}

TEST_F(ExportDialogWindow, CloseAndEscRunTheSavePromptAndHide) {
    write(std::string(kPads) + kSomeData);
    open(*window);

    // Nothing changed: no question, the dialog hides.
    window->project().markSaved();
    showDialog();
    QTest::mouseClick(button("cmdCancel"), Qt::LeftButton);
    EXPECT_FALSE(dialog().isVisible());
    EXPECT_EQ(ui.count("message"), 0);

    // Changed: Esc asks, and the dialog hides whatever the answer.
    showDialog();
    QTest::mouseClick(button("cmdUpdate"), Qt::LeftButton);
    ui.messageAnswers = {MsgResult::Cancel};
    QTest::keyClick(&dialog(), Qt::Key_Escape);
    EXPECT_FALSE(dialog().isVisible());
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].title, "Current project isn't saved:");
    EXPECT_FALSE(window->project().saved());

    // Closing the project puts the dialog away with it.
    showDialog();
    ui.messageAnswers = {MsgResult::No};
    window->mnuClose_Click();
    EXPECT_FALSE(window->projectOpen());
    EXPECT_FALSE(dialog().isVisible());
}

std::string shellQuoted(const std::string& word) {
    std::string text = "'";
    for (char c : word) {
        text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return text + "'";
}

// The files are those korvane-cli writes for the project just opened, and each export's net-list dialog
// starts at the file chosen last, even after the project was closed and opened again.
TEST_F(ExportDialogWindow, ExportWritesWhatKorvaneCliWritesAndRemembersTheLastFile) {
    write(std::string(kPads) + kAllData);
    const std::string before = readFileBytes(project);
    open(*window);
    showDialog();

    // The schematic dialog cancelled: a complete net list, nothing said.
    ui.fileAnswers = {FileDialogResult{dir.file("a.net"), 1}, std::nullopt};
    EXPECT_EQ(dialog().cmdExport_Click(), ExportOutcome::NetListOnly);
    EXPECT_EQ(ui.count("message"), 0);
    EXPECT_EQ(readFileBytes(dir.file("a.net")),
              "[\r\nR1\r\nAXIAL0.4\r\n10k\r\n\r\n\r\n\r\n]\r\n"
              "[\r\nC1\r\nRAD0.1\r\n100n\r\n\r\n\r\n\r\n]\r\n"
              "[\r\nU1\r\nTO92\r\nBC547\r\n\r\n\r\n\r\n]\r\n"
              "(\r\nGND\r\nU1-2\r\nC1-1\r\nR1-2\r\n)\r\n"
              "(\r\nVCC\r\nU1-1\r\nR1-1\r\n)\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file("a.sch")));
    ASSERT_EQ(ui.fileDialogs().size(), 2u);
    EXPECT_EQ(ui.fileDialogs()[0].initialDir, "");

    dialog().cmdCancel_Click();
    ui.messageAnswers = {MsgResult::No};
    window->mnuClose_Click();
    open(*window);
    showDialog();
    ui.fileAnswers = {FileDialogResult{dir.file("b.net"), 1}, FileDialogResult{dir.file("b.sch"), 1}};
    EXPECT_EQ(dialog().cmdExport_Click(), ExportOutcome::Completed);
    const std::vector<FileDialogRequest> dialogs = ui.fileDialogs();
    ASSERT_EQ(dialogs.size(), 2u);
    EXPECT_EQ(dialogs[0].initialDir, dir.file("a.net"));
    EXPECT_EQ(dialogs[1].initialDir, "");
    EXPECT_EQ(prompts(), std::vector<std::string>{"Export was completed."});
    EXPECT_TRUE(window->project().saved()) << "exporting changes nothing of the project";

    const std::string command = shellQuoted(KORVANE_CLI_PATH) + " export " + shellQuoted(project) +
                                " --netlist " + shellQuoted(dir.file("cli.net")) + " --schematic " +
                                shellQuoted(dir.file("cli.sch")) + " --lib-dir " +
                                shellQuoted(dir.file("prog/Lib")) + " 2>" + shellQuoted(dir.file("err"));
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << readFileBytes(dir.file("err"));
    EXPECT_EQ(readFileBytes(dir.file("cli.net")), readFileBytes(dir.file("a.net")));
    EXPECT_EQ(readFileBytes(dir.file("cli.net")), readFileBytes(dir.file("b.net")));
    EXPECT_EQ(readFileBytes(dir.file("cli.sch")), readFileBytes(dir.file("b.sch")));
    EXPECT_FALSE(readFileBytes(dir.file("cli.sch")).empty());
    EXPECT_EQ(readFileBytes(project), before);
}

// The KiCad choice changes only the net list's form and its dialog's filter, and lasts while the program
// runs; the Protel choice stays what it was.
TEST_F(ExportDialogWindow, KiCadFormatWritesWhatKorvaneCliWrites) {
    write(std::string(kPads) + kAllData);
    open(*window);
    showDialog();
    QComboBox* format = combo("cboFormat");
    ASSERT_EQ(format->count(), 2);
    EXPECT_EQ(format->itemText(0), "Protel net list");
    EXPECT_EQ(format->itemText(1), "KiCad net list");
    EXPECT_EQ(format->currentIndex(), 0);
    format->setCurrentIndex(1);

    ui.fileAnswers = {FileDialogResult{dir.file("k.net"), 1}, std::nullopt};
    EXPECT_EQ(dialog().cmdExport_Click(), ExportOutcome::NetListOnly);
    ASSERT_EQ(ui.fileDialogs().size(), 2u);
    EXPECT_EQ(ui.fileDialogs()[0].filters[0].description, "KiCad net list *.net");
    dialog().cmdCancel_Click();
    showDialog();
    EXPECT_EQ(format->currentIndex(), 1);

    const std::string command = shellQuoted(KORVANE_CLI_PATH) + " export " + shellQuoted(project) +
                                " --kicad-netlist " + shellQuoted(dir.file("cli.net")) + " --netlist " +
                                shellQuoted(dir.file("cli-protel.net")) + " 2>" +
                                shellQuoted(dir.file("err"));
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << readFileBytes(dir.file("err"));
    EXPECT_EQ(readFileBytes(dir.file("k.net")), readFileBytes(dir.file("cli.net")));
    EXPECT_NE(readFileBytes(dir.file("k.net")).find("(source \"board.kvp\")"), std::string::npos);

    format->setCurrentIndex(0);
    ui.clear();
    ui.fileAnswers = {FileDialogResult{dir.file("p.net"), 1}, std::nullopt};
    EXPECT_EQ(dialog().cmdExport_Click(), ExportOutcome::NetListOnly);
    EXPECT_EQ(readFileBytes(dir.file("p.net")), readFileBytes(dir.file("cli-protel.net")));
}

}  // namespace
}  // namespace korvane
