#include <gtest/gtest.h>

#include <QImage>

#include "app/F.h"
#include "support/ScriptedUi.h"
#include "support/TempDir.h"
#include "view/Panes.h"
#include "view/PictureBox.h"

namespace korvane {
namespace transforms_testing {
extern bool failNextAllocation;
}

namespace {

using testing::ScriptedUi;
using testing::TempDir;

// Pixels named by letters, so that expectations read like the pictures: rows "abc" / "def".
QImage letters(const std::vector<std::string>& rows) {
    QImage image(int(rows[0].size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int c = rows[std::size_t(y)][std::size_t(x)];
            image.setPixel(x, y, qRgb(c, 255 - c, c / 2));
        }
    }
    return image;
}

std::vector<std::string> rowsOf(const QImage& image) {
    std::vector<std::string> rows;
    for (int y = 0; y < image.height(); ++y) {
        std::string row;
        for (int x = 0; x < image.width(); ++x) {
            row += char(qRed(image.pixel(x, y)));
        }
        rows.push_back(row);
    }
    return rows;
}

class PictureTransforms : public ::testing::Test {
  protected:
    void SetUp() override {
        letters({"abc", "def"}).save(QString::fromStdString(dir.file("top.bmp")));
        letters({"uvw", "xyz"}).save(QString::fromStdString(dir.file("bottom.bmp")));
        testing::writeFileBytes(
            dir.file("board.kvp"),
            "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.bmp\r\n\r\n"
            "[Pad1]\r\nPadName=1\r\nNetName=GND\r\nCompName=R1\r\n1Pad=2,1\r\n2Pad=1,0\r\n\r\n"
            "[TraceSection]\r\n\r\n");
        window = std::make_unique<F>(ui);
        window->Form_Load("");
        open();
    }

    void open() {
        ui.fileAnswers.push_back(FileDialogResult{dir.file("board.kvp"), 1});
        window->mnuOpen_Click();
        ASSERT_TRUE(window->projectOpen());
        ui.clear();
    }

    const QImage& base(int picture) {
        return (picture == 1 ? window->panes()->P1() : window->panes()->P2())->baseImage();
    }

    ScriptedUi ui;
    TempDir dir;
    std::unique_ptr<F> window;
};

TEST_F(PictureTransforms, CancelChangesNothingAndDoesNotBeep) {
    ui.messageAnswers = {MsgResult::Cancel, MsgResult::Cancel, MsgResult::Cancel, MsgResult::Cancel};
    window->mnuFlipG_Click();
    window->mnuFlipV_Click();
    window->mnuRotate90_Click();
    window->mnuClipboard_Click();
    EXPECT_EQ(rowsOf(base(1)), (std::vector<std::string>{"abc", "def"}));
    EXPECT_EQ(ui.count("beep"), 0);
    EXPECT_EQ(ui.count("clipboard"), 0);
    EXPECT_TRUE(window->Saved);
    const auto questions = ui.messages();
    ASSERT_EQ(questions.size(), 4u);
    EXPECT_EQ(questions[0].prompt, "First picture - \"Yes\", second picture - \"No\"");
    EXPECT_EQ(questions[0].buttons, MsgButtons::YesNoCancel);
    EXPECT_EQ(questions[0].icon, MsgIcon::Question);
    EXPECT_EQ(questions[0].defaultButton, 3);
    EXPECT_EQ(questions[0].title, "Flip picture horizontally:");
    EXPECT_EQ(questions[1].title, "Flip picture vertically:");
    EXPECT_EQ(questions[2].title, "Rotate picture to 90 degrees clockwise:");
    EXPECT_EQ(questions[3].title, "Put the picture to the clipboard:");
}

TEST_F(PictureTransforms, EachCommandTransformsTheChosenPictureAndBeepsOnce) {
    ui.messageAnswers = {MsgResult::Yes};
    window->mnuFlipG_Click();
    EXPECT_EQ(rowsOf(base(1)), (std::vector<std::string>{"cba", "fed"}));
    EXPECT_EQ(ui.count("beep"), 1);

    ui.messageAnswers = {MsgResult::No};
    window->mnuFlipV_Click();
    EXPECT_EQ(rowsOf(base(2)), (std::vector<std::string>{"xyz", "uvw"}));

    const Panes* panes = window->panes();
    EXPECT_EQ(panes->VS().Max(), 2 - panes->pic1()->height());
    ui.messageAnswers = {MsgResult::No};
    window->mnuRotate90_Click();
    EXPECT_EQ(rowsOf(base(2)), (std::vector<std::string>{"ux", "vy", "wz"}));
    EXPECT_EQ(panes->P2()->width(), 2);
    EXPECT_EQ(panes->P2()->height(), 3);
    EXPECT_EQ(ui.count("beep"), 3);
    // The bars follow the new sizes: the taller second picture now decides the vertical range.
    EXPECT_EQ(panes->VS().Max(), 3 - panes->pic2()->height());

    ui.messageAnswers = {MsgResult::Yes};
    window->mnuClipboard_Click();
    ASSERT_EQ(ui.count("clipboard"), 1);
    EXPECT_EQ(ui.count("beep"), 4);
}

TEST_F(PictureTransforms, PaintedTracesAreGoneAfterATransform) {
    PictureBox* p1 = window->panes()->P1();
    p1->pixels().pixels[0] = 0x00123456;  // as a replayed trace would paint
    ui.messageAnswers = {MsgResult::Yes, MsgResult::Yes};
    window->mnuFlipG_Click();
    window->mnuFlipG_Click();
    EXPECT_EQ(p1->workImage(), p1->baseImage());
    EXPECT_EQ(rowsOf(p1->workImage()), (std::vector<std::string>{"abc", "def"}));
}

TEST_F(PictureTransforms, TheOrientationComesBackWithTheProjectAndPadsKeepTheirPlaces) {
    ui.messageAnswers = {MsgResult::Yes, MsgResult::Yes, MsgResult::No};
    window->mnuRotate90_Click();
    window->mnuFlipV_Click();
    window->mnuFlipG_Click();
    EXPECT_FALSE(window->Saved) << "a transform is work worth saving";
    const auto turned1 = rowsOf(base(1));
    const auto turned2 = rowsOf(base(2));
    ASSERT_TRUE(window->Main_Saving());

    window->mnuClose_Click();
    ASSERT_FALSE(window->projectOpen());
    open();
    EXPECT_EQ(rowsOf(base(1)), turned1);
    EXPECT_EQ(rowsOf(base(2)), turned2);
    EXPECT_EQ(window->Doc.ValueName("FilePathSection", 1), "First");
    EXPECT_EQ(window->Doc.ValueName("FilePathSection", 2), "Second");
    EXPECT_EQ(window->Doc.Value("Pad1", "1Pad"), "2,1");
    EXPECT_EQ(window->Doc.Value("Pad1", "2Pad"), "1,0");
    EXPECT_EQ(ui.count("beep"), 0) << "restoring the orientation is not a user's command";
}

TEST_F(PictureTransforms, AnAllocationFailureLeavesThePictureUsable) {
    transforms_testing::failNextAllocation = true;
    ui.messageAnswers = {MsgResult::Yes, MsgResult::Ok};
    window->mnuRotate90_Click();
    EXPECT_EQ(rowsOf(base(1)), (std::vector<std::string>{"abc", "def"}));
    EXPECT_EQ(ui.count("beep"), 0);
    ASSERT_EQ(ui.messages().size(), 2u);
    EXPECT_EQ(ui.messages()[1].prompt,
              "There isn't enough available memory for this operation. Use else software to flip this great "
              "picture or work with smaller pictures.");
    EXPECT_EQ(ui.messages()[1].title, "Can't perform rotate:");
    EXPECT_EQ(ui.messages()[1].icon, MsgIcon::Exclamation);
    EXPECT_EQ(ui.busyDepth(), 0);
    EXPECT_TRUE(window->Saved);
}

}  // namespace
}  // namespace korvane
