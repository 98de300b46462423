#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <fstream>
#include <functional>

#include "BoardWindow.h"
#include "Golden.h"
#include "transforms/OrientedImage.h"

namespace korvane {
namespace {

constexpr QRgb kMark = 0xffff0000;

// The pixel algebra of the turns has tests of its own; these check the Edit menu around it.
class PictureTransforms : public BoardWindow {
  protected:
    void SetUp() override {
        // White but for one marked pixel at (0, 0), so that a test can tell where a transform put it.
        QImage marked(3, 2, QImage::Format_RGB32);
        marked.fill(Qt::white);
        marked.setPixel(0, 0, kMark);
        marked.save(QString::fromStdString(top));
        marked.save(QString::fromStdString(bottom));
        testing::writeFileBytes(
            board,
            "[FilePathSection]\r\nFirst=top.bmp\r\nSecond=bottom.png\r\n\r\n"
            "[Pad1]\r\nPadName=1\r\nNetName=GND\r\nCompName=R1\r\n1Pad=2,1\r\n2Pad=1,0\r\n\r\n"
            "[TraceSection]\r\n\r\n");
        fresh();
    }
    void fresh() {
        makeWindow();
        reopen();
    }
    const QImage& base(int picture) {
        return (picture == 1 ? window->panes()->P1() : window->panes()->P2())->baseImage();
    }
};

TEST_F(PictureTransforms, EachCommandAsksForThePictureAndBeepsOnceDoneButNotWhenCancelled) {
    PictureCommands& pictures = window->pictures();
    ui.messageAnswers = {MsgResult::Cancel, MsgResult::Cancel, MsgResult::Cancel, MsgResult::Cancel};
    pictures.flipHorizontally();
    pictures.flipVertically();
    pictures.rotateClockwise();
    pictures.copyPictureToClipboard();
    EXPECT_EQ(base(1).pixel(0, 0), kMark);
    EXPECT_EQ(ui.count("beep") + ui.count("clipboard"), 0);
    EXPECT_TRUE(window->project().saved());
    testing::expectText(transcript(), "app/transform-questions.txt");
    ui.messageAnswers = {MsgResult::Yes, MsgResult::No, MsgResult::No, MsgResult::Yes};
    pictures.flipHorizontally();
    EXPECT_EQ(base(1).pixel(2, 0), kMark);
    pictures.flipVertically();
    EXPECT_EQ(base(2).pixel(0, 1), kMark);
    const Panes* panes = window->panes();
    EXPECT_EQ(panes->VS().Max(), 2 - panes->pic1()->height());
    pictures.rotateClockwise();
    EXPECT_EQ(panes->P2()->size(), QSize(2, 3));
    EXPECT_EQ(base(2).pixel(0, 0), kMark) << "turned clockwise";
    // The bars follow the new sizes: the taller second picture now decides the vertical range.
    EXPECT_EQ(panes->VS().Max(), 3 - panes->pic2()->height());
    pictures.copyPictureToClipboard();
    EXPECT_EQ(ui.count("clipboard"), 1);
    EXPECT_EQ(ui.count("beep"), 4);
}

TEST_F(PictureTransforms, UndoGivesBackThePicturePaintingOrientationAndFileAsTheyWere) {
    const struct {
        void (PictureCommands::*command)();
        const char* text;
    } cases[] = {{&PictureCommands::flipHorizontally, "flip horizontal"},
                 {&PictureCommands::flipVertically, "flip vertical"},
                 {&PictureCommands::rotateClockwise, "rotate"}};
    PictureBox* p1 = window->panes()->P1();
    Project& project = window->project();
    p1->pixels().pixels[1] = 0x00123456;  // a painted trace, wiped by the transform
    const QImage work = p1->workImage().copy();
    const std::string file = project.doc.ToText();
    const long barMax = window->panes()->VS().Max();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        ui.messageAnswers = {MsgResult::Yes};
        // A trace's drawing known from before the transform lies elsewhere on the turned picture.
        project.drawnTraces[{1, "1-1-0-0=1193046-0-0"}] = {};
        (window->pictures().*c.command)();
        ASSERT_EQ(project.history().undoText(), c.text);
        EXPECT_EQ(p1->workImage(), base(1)) << "the painting is gone, its records stay";
        EXPECT_TRUE(project.drawnTraces.empty()) << "erasing must not give back pixels there";
        const QImage transformed = p1->workImage().copy();
        project.undo();
        EXPECT_EQ(p1->workImage(), work);
        EXPECT_TRUE(project.layer1.orientation.identity());
        EXPECT_EQ(project.doc.ToText(), file) << "no orientation key where there was none";
        EXPECT_TRUE(project.saved());
        EXPECT_EQ(window->panes()->VS().Max(), barMax);
        project.redo();
        EXPECT_EQ(p1->workImage(), transformed);
        EXPECT_FALSE(project.saved());
        project.undo();
    }
    EXPECT_EQ(ui.count("beep"), 3) << "only the Edit menu beeps";
    // An undo that finds no memory for its turn leaves the picture turned, told, and the project modified
    // until saved; the redo that follows does not turn it twice.
    ui.messageAnswers = {MsgResult::Yes};
    window->pictures().rotateClockwise();
    const QImage turned = p1->workImage().copy();
    ui.clear();
    transforms_testing::failNextAllocation = true;
    project.undo();
    transforms_testing::failNextAllocation = false;
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].title, "Can't perform rotate:");
    EXPECT_EQ(p1->workImage(), turned);
    EXPECT_FALSE(project.saved());
    project.redo();
    EXPECT_EQ(p1->workImage(), turned);
    project.undo();
    EXPECT_EQ(base(1).pixel(0, 0), kMark);
}

TEST_F(PictureTransforms, TheOrientationComesBackWithTheProjectAndAWindowCloseWaitsForEveryTurn) {
    ui.messageAnswers = {MsgResult::Yes, MsgResult::Yes, MsgResult::No};
    window->pictures().rotateClockwise();
    window->pictures().flipVertically();
    window->pictures().flipHorizontally();
    EXPECT_FALSE(window->project().saved()) << "a transform is work worth saving";
    const QImage turned1 = base(1).copy(), turned2 = base(2).copy();
    ASSERT_TRUE(window->session().saveToFile());
    window->session().closeProject();
    // Runs `turn` in a shown window that hands control out at every step of a turn and is asked to close
    // meanwhile; true when the close was asked (and refused) during the turn.
    const auto closeDuring = [&](const std::function<void()>& turn) {
        bool closeAsked = false;
        ui.duringEvents = [&] {
            if (!closeAsked && window->pictures().rotating()) {
                closeAsked = true;
                EXPECT_FALSE(window->close()) << "the window waits for the turn";
            }
        };
        window->show();
        window->pictures().RotationEventIntervalMs = 0;
        turn();
        ui.duringEvents = nullptr;
        return closeAsked;
    };
    EXPECT_TRUE(closeDuring([&] { reopen(); }));
    EXPECT_FALSE(window->isVisible()) << "closed once the project was open";
    EXPECT_EQ(base(1), turned1);
    EXPECT_EQ(base(2), turned2);
    EXPECT_EQ(window->project().doc.ValueName("FilePathSection", 2), "Second");
    EXPECT_EQ(window->project().doc.Value("Pad1", "1Pad") + ' ' + window->project().doc.Value("Pad1", "2Pad"),
              "2,1 1,0");
    EXPECT_EQ(ui.count("beep"), 0) << "restoring the orientation is not a user's command";
    // The Rotate item: the project was changed, so the close asks about saving after the turn.
    fresh();
    ui.messageAnswers = {MsgResult::Yes, MsgResult::No};
    EXPECT_TRUE(closeDuring([&] { window->pictures().rotateClockwise(); }));
    EXPECT_EQ(ui.messages().back().title, "Current project isn't saved:");
    EXPECT_FALSE(window->isVisible());
    // Undoing a turn turns too: the close comes once the undo has ended.
    fresh();
    ui.messageAnswers = {MsgResult::Yes};
    window->pictures().rotateClockwise();
    EXPECT_TRUE(closeDuring([&] { window->project().undo(); }));
    EXPECT_TRUE(window->isVisible()) << "not while the undo is still running";
    QApplication::processEvents();
    EXPECT_FALSE(window->isVisible());
    // A stored orientation that does not fit keeps the project closed: pads placed on the turned picture
    // would stand elsewhere.
    makeWindow();
    transforms_testing::failNextAllocation = true;
    ui.clear();
    ui.messageAnswers = {MsgResult::Ok};
    open(board);
    transforms_testing::failNextAllocation = false;
    EXPECT_FALSE(window->projectOpen());
    ASSERT_EQ(ui.messages().size(), 1u);
    EXPECT_EQ(ui.messages()[0].title, "File open error:");
    EXPECT_EQ(ui.busyDepth(), 0);
}

// Caps the address space the process may still take, for its lifetime: a picture that does not fit is a
// picture the process cannot get, as on a machine whose memory is full.
class AddressSpaceLimit {
  public:
    explicit AddressSpaceLimit(std::size_t headroom) {
        getrlimit(RLIMIT_AS, &previous_);
        std::size_t pages = 0;
        std::ifstream("/proc/self/statm") >> pages;
        rlimit limit = previous_;
        limit.rlim_cur = pages * std::size_t(sysconf(_SC_PAGESIZE)) + headroom;
        setrlimit(RLIMIT_AS, &limit);
    }
    ~AddressSpaceLimit() { setrlimit(RLIMIT_AS, &previous_); }

  private:
    rlimit previous_{};
};

TEST_F(PictureTransforms, RunningOutOfMemoryKeepsPictureSizeOrientationAndSavedFlag) {
    constexpr int kW = 2000, kH = 1500;  // board-sized
    constexpr std::size_t kPicture = std::size_t(kW) * kH * 4;
    {
        QImage big(kW, kH, QImage::Format_RGBX8888);
        big.fill(Qt::darkCyan);
        big.setPixel(1, 0, qRgb(1, 2, 3));
        window->panes()->P1()->setPicture(big);
    }
    const struct {
        const char* what;
        bool hook;             // the next allocation fails
        std::size_t headroom;  // or the address space is capped at this much more than now; 0: no cap
        bool turns;
    } cases[] = {
        {"the one new picture fits: a turn needs no hidden copy of the old one", false, kPicture * 3 / 2,
         true},
        {"an allocation that fails", true, 0, false},
        {"no room for the new picture", false, kPicture / 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
#if defined(__SANITIZE_ADDRESS__)
        if (c.headroom != 0) {
            continue;  // the sanitizer's allocator dies rather than fail an allocation
        }
#endif
        ui.clear();
        window->project().markSaved();
        const QImage before = base(1);
        const Orientation orientation = window->project().layer1.orientation;
        const std::string stored = window->project().doc.Value("FilePathSection", "Transform1");
        const std::size_t steps = window->project().history().count();
        transforms_testing::failNextAllocation = c.hook;
        ui.messageAnswers = {MsgResult::Yes, MsgResult::Ok};
        {
            std::optional<AddressSpaceLimit> limit;
            if (c.headroom != 0) {
                limit.emplace(c.headroom);
            }
            window->pictures().rotateClockwise();
        }
        transforms_testing::failNextAllocation = false;
        EXPECT_EQ(ui.busyDepth(), 0);
        if (c.turns) {
            ASSERT_EQ(base(1).size(), QSize(kH, kW));
            EXPECT_EQ(base(1).pixel(kH - 1, 1), qRgb(1, 2, 3));
            EXPECT_EQ(window->panes()->P1()->workImage(), base(1));
            EXPECT_EQ(ui.count("beep"), 1);
            EXPECT_FALSE(window->project().saved());
            continue;
        }
        EXPECT_TRUE(base(1) == before) << "the picture is as it was";
        EXPECT_EQ(window->panes()->P1()->workImage(), before);
        EXPECT_EQ(window->panes()->P1()->size(), before.size());
        EXPECT_EQ(window->project().layer1.orientation, orientation);
        EXPECT_EQ(window->project().doc.Value("FilePathSection", "Transform1"), stored);
        EXPECT_TRUE(window->project().saved());
        EXPECT_EQ(window->project().history().count(), steps) << "a transform that failed is no step";
        EXPECT_EQ(ui.count("beep"), 0);
        testing::expectText(transcript(), "app/transform-out-of-memory.txt");
    }
}

}  // namespace
}  // namespace korvane
