#pragma once

// The colour-tolerant flood fill behind tracing. It repaints every pixel connected to a seed through
// pixels whose packed colour lies within a relative range around the seed's colour, then (unless quiet)
// asks whether to keep the result: a kept fill becomes a trace record, a rejected one is painted back.
//
// The fill works directly on the working image's pixel words. Rows are painted as whole spans and the
// neighbour rows are searched for runs several pixels at a time; the order in which seeds are pushed and
// popped is the classic one (row above left to right, row below right to left, last in first out), so a
// fill stopped half-way has painted exactly what the user expects to see.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/Ui.h"
#include "tracing/TraceRecords.h"

namespace korvane {

class PaintedSpans;

// The instruction sets the painting pass is built for. Passes run on the widest one the processor has;
// tests and benchmarks choose each in turn, so that every flavour is checked on any machine that can run
// it, not only the one the test machine would pick.
enum class FillKernel { Scalar, Sse2, Avx2 };
// The flavours this build can run on this processor, narrowest first; Scalar is always there.
std::vector<FillKernel> AvailableFillKernels();
// The flavour of the passes from now on; false, and nothing changes, for one this processor cannot run.
bool SelectFillKernel(FillKernel kernel);
FillKernel SelectedFillKernel();

// The packed colour at (x, y), or -1 outside the picture.
std::int32_t PixelAt(const ImageView& picture, int x, int y);

// True when the pixel (x, y) lies outside the range centre - dmin * centre .. centre + dmax * centre
// (computed in double precision on the packed colour taken as one number). A pixel outside the picture
// reads as -1.
bool OutOfRange(const ImageView& picture, int x, int y, std::int32_t centre, float dmin, float dmax);

// The fill's stack of pending seeds. It starts with room for 10 000 points and grows, keeping its
// contents, to 2 x (upper index + 1) + 1 points: a deep area never exhausts the call stack, and memory
// stays proportional to the seeds that are actually pending.
class PointStack {
  public:
    struct Point {
        std::int32_t x;
        std::int32_t y;
    };
    static constexpr std::size_t kInitialPoints = 10000;

    void reset();
    void release();
    void push(std::int32_t x, std::int32_t y) {
        if (count_ == capacity_) {
            grow();
        }
        data_[count_++] = Point{x, y};
    }
    Point pop() { return data_[--count_]; }
    std::size_t count() const { return count_; }
    std::size_t capacity() const { return capacity_; }
    // The most recent `n` pushes in reverse order, so that seeds found left to right are popped
    // left-most last, as if they had been pushed right to left.
    void reverseLast(std::size_t n);

  private:
    void grow();

    std::unique_ptr<Point[]> data_;
    std::size_t capacity_ = 0;
    std::size_t count_ = 0;
};

enum class FillAnswer { Save, Delete, Abandon };

// How a fill talks to the world around it. Every member is optional: a default FillControl paints
// silently and never hands control away (benchmarks, the command-line tool).
struct FillControl {
    // Beep, the refusal message, the busy pointer and the event processing at checkpoints.
    Ui* ui = nullptr;
    // The shared FillRunning flag: set while a pass paints, cleared at the end; clearing it from an
    // event handler (Esc, closing the window) stops the pass at its next checkpoint.
    bool* running = nullptr;
    // Schedules a repaint of the picture; the repaint itself happens while events are processed.
    std::function<void()> redraw;
    // Called after events were processed: the picture may have been detached or closed meanwhile.
    // Returns false when it is gone (the fill then ends quietly) and otherwise updates the view.
    std::function<bool(ImageView&)> refresh;
    // The keep-or-delete question of an interactive fill.
    std::function<FillAnswer()> ask;
    // Receives the record of a kept fill.
    std::function<void(const std::string&)> record;
    int pictureNumber = 1;
    // Events are processed at most this often, so a large fill spends its time painting, and at least
    // about this often, so Esc always answers within a fraction of a second.
    double eventIntervalMs = 25;
    // Pixels of work between two looks at the clock when no regular checkpoint comes by.
    std::int64_t pollPixels = 8192;
    // The clock; steady_clock unless a test supplies its own.
    std::function<std::chrono::steady_clock::time_point()> now;
    // Where painting passes log each span and the pixels it held before they paint it, so that the
    // caller can undo and redo the fill exactly. Spans are appended: one history can take several fills.
    PaintedSpans* history = nullptr;
};

enum class FillOutcome {
    Painted,            // the painting pass ran (possibly stopped)
    SeedHasFillColour,  // nothing to do: beeped
    RangeRefused,       // the seed lies within the range around the fill colour: refused with a message
    SeedOutside,        // the seed is not on the picture: nothing painted
    PictureGone,        // the picture went away while the fill waited for events
};

struct FillResult {
    FillOutcome outcome = FillOutcome::Painted;
    std::int32_t seedColour = -1;
    bool stopped = false;                  // the painting pass was stopped through the running flag
    FillAnswer answer = FillAnswer::Save;  // meaningful after an interactive fill
    std::size_t largestStack = 0;          // largest PointStack capacity the pass needed
    std::int64_t spanPixels = 0;           // pixels covered by the painted spans
};

// The whole fill at (x, y): refusals, the painting pass, the question, the record on "save", and on
// "delete" the exact pixels back (after which `fill` holds the seed's old colour and `quiet` is true, and
// the control's history holds nothing of this fill).
// The mode decides which pixels belong (see FillMode); every mode keeps the refusals, the pacing, the
// stop, the history and the guarded pixels alike.
FillResult FillArea(ImageView& picture, int x, int y, std::int32_t& fill, float dmin, float dmax, bool& quiet,
                    FillControl& control, FillMode mode = FillMode::Packed);

// Whether each channel of `colour` lies within centre - floor(dmin * 255) .. centre + floor(dmax * 255)
// of the same channel of `centre`: the per-channel modes' range, and their refusal of a fill colour that
// would count as a colour to repaint.
bool ChannelsWithin(std::int32_t colour, std::int32_t centre, float dmin, float dmax);

// One painting pass: repaints with `fill` every pixel connected to (x, y) whose colour lies within the
// range around `centre` (row scans also cross pixels that already have the fill colour). In the other
// modes the area is what the mode's test reaches from (x, y), whatever the order of work: pixels of the
// fill colour are walls, and the adaptive mode tests each pixel against its neighbour in the area instead
// of `centre`.
struct PassResult {
    bool stopped = false;
    bool pictureGone = false;
    std::size_t largestStack = 0;
    std::int64_t spanPixels = 0;
};
PassResult PaintPass(ImageView& picture, int x, int y, std::int32_t fill, std::int32_t centre, float dmin,
                     float dmax, FillControl& control, FillMode mode = FillMode::Packed);

}  // namespace korvane
