// The pad properties dialog and the pad listing window.

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "pads/PadListWindow.h"
#include "pads/PadPropertiesDialog.h"
#include "pads/WidgetTexts.h"
#include "platform/FileDialogState.h"
#include "platform/tooltiptext.h"
#include "storage/AtomicFile.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "support/TestMainWindow.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {
namespace {

using testing::readFileBytes;
using testing::ScriptedUi;
using testing::TempDir;
using testing::writeFileBytes;

// Also shows each message as a real modal box owned by `owner`: the focus really leaves and comes back.
class ModalUi : public ScriptedUi {
  public:
    MsgResult message(const MessageRequest& request) override {
        const MsgResult answer = ScriptedUi::message(request);
        if (owner != nullptr) {
            QMessageBox box(QMessageBox::Information, QString(), QString::fromStdString(request.prompt),
                            QMessageBox::Ok, owner);
            QTimer::singleShot(100, &box, &QMessageBox::accept);
            box.exec();
            owner->activateWindow();  // as a desktop hands the focus back
        }
        return answer;
    }
    QWidget* owner = nullptr;
};

class Pads : public ::testing::Test {
  protected:
    void SetUp() override {
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        for (const char* name : {"top.bmp", "bottom.png"}) {
            ASSERT_TRUE(image.save(QString::fromStdString(dir.file(name))));
        }
        std::filesystem::create_directories(dir.file("prog/Lib"));
        writeFileBytes(dir.file("prog/Lib/pcb.lb"), "DIP8\r\nSOT23\r\n");
        std::string library = QByteArray("header\r\n").repeated(13).toStdString();
        for (const char* symbol : {"RES", "CAP"}) {
            library += "Component\r\n" + QByteArray("x\r\n").repeated(18).toStdString() + symbol +
                       "\r\nEndComponent\r\n";
        }
        writeFileBytes(dir.file("prog/Lib/sch.lb"), library);
        window = makeWindow();
        open("");
    }
    std::unique_ptr<MainWindow> makeWindow() {
        auto f = std::make_unique<TestMainWindow>(ui);
        f->startUp("");
        f->timer()->stop();  // ticks are driven by hand
        f->pads().padDialog()->setProgramDir(dir.file("prog"));
        return f;
    }
    void open(const std::string& sections) {
        writeFileBytes(
            board,
            "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.png\r\n[TraceSection]\r\n" + sections);
        ui.fileAnswers = {FileDialogResult{board, 1}};
        window->session().openProject();
        ASSERT_TRUE(window->projectOpen());
        ui.clear();
    }
    PadPropertiesDialog& dialog() { return *window->pads().padDialog(); }
    PadBoard& pads() { return dialog().board(); }
    PadMarker& marker(int picture, int n) { return *pads().markers.array(picture).get(n); }
    QComboBox* combo(const char* name) { return dialog().findChild<QComboBox*>(name); }
    QPushButton* button(const char* name) { return dialog().findChild<QPushButton*>(name); }
    QString label(const char* name) { return dialog().findChild<QLabel*>(name)->text(); }
    QAction* viewPads() { return window->menus().action("mnuPad"); }
    std::string value(int n, const char* key) { return window->project().doc.Value(PadSectionName(n), key); }
    // A double click on picture 1 with the cursors at the given places; returns the new pad's number.
    int place(double x1, double y1, double x2, double y2, bool shift = false) {
        auto& cursors = window->project().shownCursors;
        cursors.cur1Left = x1, cursors.cur1Top = y1, cursors.cur2Left = x2, cursors.cur2Top = y2;
        window->pictureDoubleClicked(shift ? Qt::ShiftModifier : Qt::NoModifier);
        return pads().markers.highest();
    }
    void click(int picture, int n, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        PadController& pads = window->pads();
        (pads.*(picture == 1 ? &PadController::Pad1_MouseDown : &PadController::Pad2_MouseDown))(
            n, Qt::LeftButton, modifiers, 2, 2);
        (pads.*(picture == 1 ? &PadController::Pad1_MouseUp : &PadController::Pad2_MouseUp))(
            n, Qt::LeftButton, modifiers, 2, 2);
    }
    void type(NameField field, const char* text) {
        dialog().field(field)->setEditText(QString::fromUtf8(text));
    }
    int namedPad(const char* pad, const char* net, const char* comp) {
        const int n = place(10 * (pads().markers.highest() + 1), 20, 30, 40);
        type(NameField::Pad, pad);
        type(NameField::Net, net);
        type(NameField::Comp, comp);
        dialog().applyNames();
        return n;
    }
    std::vector<bool> enabled(std::initializer_list<const char*> names = {
                                  "cboPad", "cmdDelPad", "cboNet", "cmdSelNet", "cboComp", "cmdSelComp"}) {
        std::vector<bool> states;
        for (const char* name : names) {
            states.push_back(dialog().findChild<QWidget*>(name)->isEnabled());
        }
        return states;
    }
    // "Del" is armed exactly while there is a current pad.
    static std::vector<bool> six(bool others, bool del) {
        return {others, del, others, others, others, others};
    }
    ModalUi ui;
    TempDir dir;
    std::string board = dir.file("board.kvp");
    std::unique_ptr<MainWindow> window;
};

TEST_F(Pads, DialogControlsCarryTheirNamesCaptionsAndTips) {
    window = makeWindow();  // as designed, before a project brings the counts
    EXPECT_EQ(testing::WidgetTexts(&dialog()),
              readFileBytes(KORVANE_SOURCE_DIR "/tests/data/expected/pads/pad_dialog_controls.txt"));
    EXPECT_FALSE(dialog().findChild<QCheckBox*>("chkAutoSet")->isChecked());
    EXPECT_TRUE(button("cmdOk")->isDefault());
}

TEST_F(Pads, DoubleClicksNumberPadsFromTheHighestAndTheNewPadBlinksOnPictureOne) {
    EXPECT_EQ(place(10, 20, 110, 30), 1);
    EXPECT_EQ(value(1, "2Pad"), "110,30");
    EXPECT_FALSE(window->project().saved());
    EXPECT_EQ(place(40, 20, 140, 30), 2);
    EXPECT_EQ(pads().markers.selectedPads(), (std::vector<int>{2}));
    EXPECT_EQ(marker(2, 2).value, 0);
    window->SelectionColourStep = 1;
    window->tick();  // step 2: red
    EXPECT_EQ(marker(2, 2).backColour, kButtonFace);
    const QImage shown = window->panes()->P1()->grab().toImage();
    EXPECT_EQ(shown.pixelColor(44, 24), QColor(255, 0, 0));
    EXPECT_EQ(shown.pixelColor(14, 24), tooltiptext::PackedColour(kButtonFace));
    click(2, 2);
    EXPECT_EQ(marker(1, 2).value, 1);
    window->tick();
    EXPECT_EQ(marker(2, 2).backColour, 65280);
}

TEST_F(Pads, ShiftDoubleClickKeepsTheOtherPadsAndKeptFieldsFillNewAndPickedPads) {
    namedPad("1", "GND", "U1");
    namedPad("2", "VCC", "U1");
    window->pads().selectAllPads();
    EXPECT_EQ(place(50, 20, 150, 30, true), 3);
    EXPECT_EQ(pads().markers.selectedPads(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(value(2, "NetName"), "VCC");
    EXPECT_EQ(value(3, "NetName"), "") << "the new pad's own names, not the dialog's old texts";
    // Kept fields: a new pad inherits the net and component the dialog showed, a picked one the net.
    click(1, 1);
    dialog().findChild<QCheckBox*>("chkAutoSet")->setChecked(true);
    const int kept = place(70, 20, 170, 30);
    EXPECT_EQ(value(kept, "NetName"), "GND");
    EXPECT_EQ(value(kept, "CompName"), "U1");
    EXPECT_EQ(pads().markers.selectedPads(), (std::vector<int>{kept}));
    click(1, 3);
    EXPECT_EQ(value(3, "NetName"), "GND");
    dialog().findChild<QCheckBox*>("chkAutoSet")->setChecked(false);
    const int plain = place(90, 20, 190, 30);
    EXPECT_EQ(dialog().fieldText(NameField::Net), "");
    EXPECT_EQ(dialog().currentPad(), plain);
    EXPECT_EQ(enabled(), std::vector<bool>(6, true));
}

TEST_F(Pads, CloseEscAndTheCloseBoxOnlyHideTheDialogAndSelectionCommandsSwitchTheSixControls) {
    namedPad("1", "N1", "U1");
    EXPECT_TRUE(dialog().isVisible()) << "a new pad opens its dialog";
    dialog().hide();
    viewPads()->trigger();
    EXPECT_TRUE(viewPads()->isChecked());
    dialog().close();
    EXPECT_FALSE(dialog().isVisible() || viewPads()->isChecked()) << "the close box toggles View > Pads";
    window->pads().togglePadDialog();
    click(1, 1);
    EXPECT_FALSE(viewPads()->isChecked()) << "a press on a marker toggles the mark too";
    EXPECT_TRUE(dialog().isVisible());
    window->pads().deselectAllPads();
    viewPads()->setChecked(true);
    QTest::keyClick(&dialog(), Qt::Key_Escape);
    EXPECT_FALSE(dialog().isVisible() || viewPads()->isChecked());
    EXPECT_EQ(dialog().currentPad(), 0);
    EXPECT_EQ(enabled(), six(true, false));
    place(30, 20, 130, 30);  // selected on picture 1 only
    window->pads().invertPadSelection();
    EXPECT_EQ(pads().markers.selectedPads(), (std::vector<int>{1}));
    EXPECT_EQ(enabled(), std::vector<bool>(6, true));
    type(NameField::Comp, "U1");
    dialog().selectComponentPads();
    EXPECT_EQ(dialog().compPattern(), "U1");
    window->pads().deselectAllPads();
    EXPECT_EQ(enabled(), six(false, true)) << "pad 2 is still the current pad";
    EXPECT_EQ(dialog().compPattern(), "");
    // Deleting with nothing selected: no edit, but the dialog empties and hides.
    click(1, 1);
    ASSERT_TRUE(dialog().isVisible());
    window->pads().deselectAllPads();
    window->project().markSaved();
    window->pads().deleteSelectedPads();
    EXPECT_TRUE(pads().markers.exists(1));
    EXPECT_TRUE(window->project().saved() && !dialog().isVisible());
    EXPECT_TRUE(dialog().fieldText(NameField::Net).empty() && dialog().currentPad() == 0);
    click(1, 1);
    window->pads().selectAllPads();
    EXPECT_EQ(dialog().currentPad(), 0);
    EXPECT_EQ(enabled(), six(true, false));
}

TEST_F(Pads, SeveralPadsTakeOnlyTheChangedFieldAndAPatternSelectionSwitchesTheControls) {
    namedPad("1", "N1", "U1");
    namedPad("2", "N2", "u7");
    namedPad("3", "N3", "R1");
    click(1, 1);
    click(1, 2, Qt::ShiftModifier);
    click(1, 3, Qt::ShiftModifier);
    ASSERT_EQ(dialog().currentPad(), 0);
    type(NameField::Net, "VCC");
    EXPECT_EQ(enabled({"cboPad", "cboNet", "cboComp"}), (std::vector<bool>{false, true, false}));
    dialog().applyNames();
    EXPECT_EQ(value(2, "PadName"), "2");
    EXPECT_EQ(value(3, "CompName"), "R1");
    EXPECT_EQ(value(3, "NetName"), "VCC");
    // A net picked from the list and Enter: the designators and components stay as they are.
    combo("cboNet")->setCurrentIndex(1);
    QTest::keyClick(combo("cboNet")->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(value(1, "NetName"), "N2");
    EXPECT_EQ(value(1, "PadName"), "1");
    EXPECT_EQ(enabled(), six(true, false));
    click(1, 1);
    type(NameField::Comp, "U*");
    dialog().selectComponentPads();
    EXPECT_EQ(pads().markers.selectedPads(), (std::vector<int>{1, 2}));
    EXPECT_EQ(enabled(), (std::vector<bool>{false, false, false, true, true, false}));
    window->pads().deleteSelectedPads();
    EXPECT_EQ(pads().compNames.items(), (std::vector<std::string>{"R1"}));
    EXPECT_EQ(pads().netNames.items().size(), 4u) << "no net was remembered";
    type(NameField::Net, "N2");
    dialog().selectNetPads();
    EXPECT_EQ(pads().markers.selectedPads(), (std::vector<int>{3}));
    EXPECT_EQ(dialog().netPattern(), "N2");
    EXPECT_EQ(enabled({"cboPad", "cboNet", "cboComp"}), (std::vector<bool>{false, true, false}));
}

TEST_F(Pads, StatusCountsAndRefusesDuplicatesAndNamesTheFileCannotKeep) {
    namedPad("1", "GND", "U1");
    EXPECT_TRUE(button("cmdOk")->text() == "Pad exist yet!" && !button("cmdOk")->isEnabled());
    type(NameField::Pad, "2");
    EXPECT_TRUE(button("cmdOk")->text() == "&Apply (Enter)" && button("cmdOk")->isEnabled());
    namedPad("5", "CS#", "R9");
    EXPECT_EQ(label("Label1") + label("Label2") + label("Label3"),
              "Pad designator: (2)Net name: (2)Designator: (2)");
    EXPECT_EQ(combo("cboNet")->count(), 2);
    click(1, 1);
    window->project().markSaved();
    for (auto [field, text] : {std::pair{NameField::Comp, " R1"}, std::pair{NameField::Pad, "1;2"}}) {
        ui.clear();
        type(field, text);
        dialog().applyNames();
        ASSERT_EQ(ui.messages().size(), 1u) << text;
        EXPECT_TRUE(ui.messages()[0].title == "Invalid name:" &&
                    ui.messages()[0].icon == MsgIcon::Exclamation);
        type(field, field == NameField::Comp ? "U1" : "1");
    }
    EXPECT_TRUE(window->project().saved());
}

TEST_F(Pads, ComponentFieldsShowAndStoreTheCurrentPadsComponentAndASaveKeepsTheTable) {
    open(
        "[ComponentsSection]\r\nC3=1{label}10u{footprint}RB.2\r\nD1=3{l`bel}1N4148{footprint}DO35\r\n"
        "U9=x{label}y{footprint}z\r\n[pad1]\r\nPadName=1\r\nCompName=TP1\r\n1Pad=10,10\r\n2Pad=20,20\r\n"
        "[Pad2]\r\nCompName=C3\r\n1Pad=30,10\r\n2Pad=40,20\r\n"
        "[Pad3]\r\nCompName=D1\r\n1Pad=50,10\r\n2Pad=60,20\r\n");
    auto shown = [this] {
        return combo("cboSch")->currentText() + "|" + combo("cboLabel")->currentText() + "|" +
               combo("cboPackage")->currentText();
    };
    click(1, 1);
    EXPECT_EQ(shown(), "||");
    for (auto [name, text] : {std::pair{"cboSch", "2"}, {"cboLabel", "TEST"}, {"cboPackage", "TP"}}) {
        combo(name)->setEditText(text);
    }
    EXPECT_TRUE(button("cmdOk")->isEnabled()) << "new component data";
    window->project().markSaved();
    QTest::keyClick(combo("cboPackage")->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(window->project().doc.Value(kComponentsSection, "TP1"), "2{label}TEST{footprint}TP");
    EXPECT_FALSE(window->project().saved());
    click(1, 2);
    EXPECT_EQ(shown(), "1|10u|RB.2");
    click(1, 3);
    window->project().markSaved();
    dialog().applyNames();
    EXPECT_EQ(window->project().doc.Value(kComponentsSection, "D1"), "3{l`bel}1N4148{footprint}DO35")
        << "data only shown are not rewritten";
    EXPECT_TRUE(window->project().saved());
    type(NameField::Comp, "C3");
    EXPECT_EQ(shown(), "1|10u|RB.2") << "typing a designator shows its data";
    // The export dialog's Update shows at once; so does its undo.
    ApplyPadEdit(window->project(), ComponentDataEdit({"C3", "4", "22u", "RB.3"}));
    EXPECT_EQ(shown(), "4|22u|RB.3");
    window->project().undo();
    EXPECT_EQ(shown(), "1|10u|RB.2");
    dialog().syncLists();
    emit combo("cboComp")->activated(combo("cboComp")->findText("TP1"));
    EXPECT_EQ(shown(), "2|TEST|TP") << "picking a component shows its data";
    window->session().saveProject();
    const std::string saved = readFileBytes(board);
    EXPECT_NE(saved.find("\r\nTP1=2{label}TEST{footprint}TP\r\n"), std::string::npos);
    EXPECT_EQ(saved.find("U9="), std::string::npos) << "the table holds the listed components";
    window->session().closeProject();
    EXPECT_EQ(shown(), "||") << "closing empties the fields";
}

TEST_F(Pads, RealMouseAndKeysReachMarkersDialogAndListing) {
    open(
        "[ComponentsSection]\r\nR1=0{label}10k{footprint}AXIAL0.4\r\n"
        "[Pad1]\r\nPadName=1\r\nNetName=GND\r\nCompName=R1\r\n1Pad=10,10\r\n2Pad=20,20\r\n[Notes]\r\n"
        "a=b\r\n[Pad2]\r\nPadName=2\r\nNetName=VCC\r\nCompName=R1\r\n1Pad=30,10\r\n2Pad=40,20\r\n"
        "[Pad5]\r\n1Pad=50,50\r\n2Pad=60,60\r\n");
    window->show();
    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    PictureBox* p1 = window->panes()->P1();
    PictureBox* p2 = window->panes()->P2();
    const double cursorX = window->project().shownCursors.cur1Left;
    QTest::mouseClick(p1, Qt::LeftButton, Qt::NoModifier, QPoint(53, 53));
    EXPECT_EQ(window->project().shownCursors.cur1Left, cursorX) << "the picture did not see the press";
    EXPECT_EQ(dialog().currentPad(), 5);
    QTest::mouseDClick(p1, Qt::LeftButton, Qt::NoModifier, QPoint(53, 53));
    EXPECT_EQ(pads().markers.highest(), 5) << "a double click on a marker is no new pad";
    const std::size_t steps = window->project().history().count();
    QTest::mousePress(p2, Qt::LeftButton, Qt::ControlModifier, QPoint(62, 63));
    QTest::mouseMove(p2, QPoint(75, 70));
    QTest::mouseMove(p2, QPoint(92, 83));
    QTest::mouseRelease(p2, Qt::LeftButton, Qt::ControlModifier, QPoint(92, 83));
    EXPECT_EQ(marker(2, 5).top, 80);
    EXPECT_EQ(marker(1, 5).left, 50) << "the partner stays";
    EXPECT_EQ(window->project().history().count(), steps + 1) << "one step per drag";
    EXPECT_EQ(value(5, "2Pad"), "90,80");
    click(1, 5);
    dialog().deleteCurrentPad();
    EXPECT_FALSE(window->project().doc.SectionExists("Pad5"));
    window->tick();  // the project's menus follow the open project
    window->pads().selectAllPads();
    window->pads().showPadList();
    QTest::keyClick(window.get(), Qt::Key_Delete, Qt::ShiftModifier);
    ASSERT_EQ(pads().markers.Pad1.count(), 0);
    EXPECT_TRUE(window->pads().infoWindow()->lines().empty()) << "the open listing follows";
    window->project().undo();
    EXPECT_EQ(window->pads().infoWindow()->lines().size(), 3u) << "the pads come back selected";
    EXPECT_EQ(combo("cboNet")->count(), 2) << "the dialog's lists follow the undo";
}

TEST_F(Pads, ActivationIsNotRepeatedWhenTheFocusComesBackFromTheProgramsOwnBoxes) {
    dialog().setProgramDir(dir.file("no-program"));
    ui.owner = &dialog();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    window->pads().togglePadDialog();
    QTest::qWait(800);
    EXPECT_EQ(ui.count("message"), 2) << "each missing library reported once";
    EXPECT_TRUE(dialog().isVisible());
    // The user going to the main window and back is a new activation.
    ui.owner = nullptr;
    for (QWidget* target : {static_cast<QWidget*>(window.get()), static_cast<QWidget*>(&dialog())}) {
        target->activateWindow();
        for (int i = 0; i < 100 && QGuiApplication::focusWindow() != target->windowHandle(); ++i) {
            QTest::qWait(10);
        }
        ASSERT_EQ(QGuiApplication::focusWindow(), target->windowHandle());
    }
    EXPECT_EQ(ui.count("message"), 4);
    // With the libraries in place the pick lists fill.
    dialog().setProgramDir(dir.file("prog"));
    dialog().loadPickLists();
    EXPECT_EQ(combo("cboLibP")->count(), 2);
    EXPECT_EQ(combo("cboLib")->itemText(1), "CAP");
    emit combo("cboLib")->activated(1);
    EXPECT_EQ(combo("cboSch")->currentText(), "1");
}

class InfoTest : public ::testing::Test {
  protected:
    InfoTest()
        : dialogs(ui),
          info(
              &owner, ui, dialogs,
              [this] {
                  ++builds;
                  return selected;
              },
              [this] { return dir.file("board.kvp"); }) {}
    std::vector<std::string> rows() const {
        std::vector<std::string> out;
        for (int i = 0; i < info.List()->count(); ++i) {
            out.push_back(fromQ(info.List()->item(i)->text()));
        }
        return out;
    }
    void selectRows(std::initializer_list<int> indices) {
        info.List()->clearSelection();
        for (int i : indices) {
            info.List()->item(i)->setSelected(true);
        }
    }
    void answerSave(const std::string& path) { ui.fileAnswers.push_back(FileDialogResult{path, 1}); }
    TempDir dir;
    ScriptedUi ui;
    FileDialogState dialogs;
    QWidget owner;
    std::vector<std::string> selected;
    int builds = 0;
    PadListWindow info;
};

TEST_F(InfoTest, WindowControlsAndCaptionsAndCloseAndEscOnlyHide) {
    EXPECT_TRUE(info.isWindow() && !info.isModal() && info.parentWidget() == &owner);
    ASSERT_EQ(info.findChild<QListWidget*>("List"), info.List());
    EXPECT_EQ(info.List()->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(testing::WidgetTexts(&info),
              readFileBytes(KORVANE_SOURCE_DIR "/tests/data/expected/pads/pad_listing_window.txt"));
    QPointer<PadListWindow> alive(&info);
    info.show();
    info.closeWindow();
    EXPECT_FALSE(info.isVisible());
    info.show();
    info.List()->setFocus();
    QTest::keyClick(info.List(), Qt::Key_Escape);
    EXPECT_FALSE(info.isVisible());
    info.show();
    info.close();
    QApplication::processEvents();
    EXPECT_FALSE(info.isVisible() || alive.isNull()) << "closing hides the window, it stays loaded";
}

TEST_F(InfoTest, ActivationRebuildsUnlessTheFocusComesBackFromAModalDialog) {
    selected = {"a", "b"};
    info.show();
    info.activateWindow();
    QApplication::processEvents();
    ASSERT_TRUE(info.isActiveWindow()) << "the platform does not activate windows";
    ASSERT_EQ(info.List()->count(), 3);
    selectRows({1});
    const int before = builds;
    selected = {"x"};
    {
        QDialog box(&info);
        box.setModal(true);
        box.show();
        box.activateWindow();
        QApplication::processEvents();
        ASSERT_TRUE(box.isActiveWindow());
        box.hide();
    }
    info.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(builds, before);
    EXPECT_TRUE(info.List()->item(1)->isSelected());
    // Going to the main window and coming back is a return of the user: rebuilt.
    owner.show();
    owner.activateWindow();
    QApplication::processEvents();
    info.activateWindow();
    QApplication::processEvents();
    EXPECT_EQ(rows(), (std::vector<std::string>{"Total quantity of selected pads: 1", "x"}));
}

TEST_F(InfoTest, ListingIsTheCountThenOneLinePerPadAndSaveWritesTheSelectedLinesWithCrLfOrKeepsTheOldFile) {
    selected = {"d1", "", "d3 \xC4"};  // a pad without description gives an empty line
    info.Rebuild();
    EXPECT_EQ(info.lines(),
              (std::vector<std::string>{"Total quantity of selected pads: 3", "d1", "", "d3 \xC4"}));
    EXPECT_EQ(rows()[3], "d3 \xC3\x84") << "shown decoded, kept as bytes";
    info.selectAllText();
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QString::fromStdString(dir.path().string())));
    ui.fileAnswers = {std::nullopt};  // the user cancels
    info.saveListingAs();
    QDir::setCurrent(previous);
    ASSERT_EQ(ui.count("save"), 1);
    EXPECT_EQ(ui.count("message"), 0) << "a cancel is no error";
    EXPECT_EQ(dialogs.FileName, "new_list.txt");
    EXPECT_TRUE(std::filesystem::is_empty(dir.path())) << "nothing written, not even under the preset name";
    const FileDialogRequest request = ui.fileDialogs()[0];
    ASSERT_EQ(request.filters.size(), 1u);
    EXPECT_EQ(request.title + "|" + request.fileName + "|" + request.filters[0].description + "|" +
                  request.filters[0].patterns.at(0),
              "File name to pad's info saving:|new_list.txt|*.*|*.*");
    EXPECT_TRUE(request.initialDir == dir.file("board.kvp") && request.overwritePrompt);
    EXPECT_EQ(dialogs.Flags, 2621446);
    selectRows({2, 1});
    const std::string path = dir.file("list.txt");
    answerSave(path);
    info.saveListingAs();
    EXPECT_EQ(readFileBytes(path), "d1\r\n\r\n") << "list order, count line left out";
    // Select all, saved over a longer existing file: replaced, not appended to.
    writeFileBytes(path, std::string(500, 'x'));
    info.selectAllText();
    answerSave(path);
    info.saveListingAs();
    EXPECT_EQ(readFileBytes(path), "Total quantity of selected pads: 3\r\nd1\r\n\r\nd3 \xC4\r\n");
    // A line break inside a description cannot split its line in the file.
    selected = {"bad\r\nline"};
    info.Rebuild();
    selectRows({1});
    answerSave(path);
    info.saveListingAs();
    EXPECT_EQ(readFileBytes(path), "bad  line\r\n");
    // A failed save keeps the old file and says which file.
    answerSave(path);
    {
        ScopedAtomicWriteFailure diskFull(3);
        info.saveListingAs();
    }
    EXPECT_EQ(readFileBytes(path), "bad  line\r\n");
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_NE(ui.messages()[0].prompt.find(path), std::string::npos) << ui.messages()[0].prompt;
    EXPECT_TRUE(ui.messages()[0].icon == MsgIcon::Critical && ui.messages()[0].buttons == MsgButtons::Ok);
    selected.clear();
    info.Rebuild();
    EXPECT_EQ(info.List()->count(), 0) << "no count line without pads";
}

}  // namespace
}  // namespace korvane
