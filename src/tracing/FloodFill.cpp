#include "tracing/FloodFill.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>
#include <unordered_set>

#include "tracing/PaintedSpans.h"
#include "tracing/TraceRecords.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define KORVANE_FILL_X86 1
#endif

namespace korvane {

namespace {

// The range of packed colours a pass treats as "in range", as whole numbers: colour c is in range when
// (c - lo) <= width in unsigned arithmetic. Pixels are whole numbers, so the closed interval of doubles
// low..high holds exactly the whole colours ceil(low)..floor(high); an empty interval gets a lo no 24-bit
// colour can reach.
struct Band {
    std::uint32_t lo = 0;
    std::uint32_t width = 0;
    std::uint32_t fill = 0;
};

constexpr std::uint32_t kNoColour = 0x01000000u;

Band makeBand(std::int32_t centre, float dmin, float dmax, std::int32_t fill) {
    const double c = centre;
    const double low = c - double(dmin) * c;
    const double high = c + double(dmax) * c;
    constexpr double kTop = 0x00FFFFFF;
    Band band;
    band.fill = std::uint32_t(fill) & 0x00FFFFFFu;
    if (fill < 0 || fill > 0x00FFFFFF) {
        band.fill = kNoColour;  // a colour no pixel holds: nothing counts as already filled
    }
    // A comparison with NaN is false, so a NaN bound excludes nothing, just as the plain test would.
    double lo = 0;
    if (low > 0) {
        lo = low > kTop ? -1 : std::ceil(low);
    }
    double hi = kTop;
    if (high < kTop) {
        hi = high < 0 ? -1 : std::floor(high);
    }
    if (lo < 0 || hi < 0 || lo > hi) {
        band.lo = kNoColour;
        band.width = 0;
        return band;
    }
    band.lo = std::uint32_t(lo);
    band.width = std::uint32_t(hi - lo);
    return band;
}

// Per-channel bounds of a pass, blue in the low byte as in a pixel word: a colour is in range when each
// channel lies within lo..hi. `fill` as in Band.
struct ChannelBand {
    std::uint32_t lo = 0;
    std::uint32_t hi = 0;
    std::uint32_t fill = 0;
};

// The steps the adaptive pass accepts, per channel: darker by at most `down`, brighter by at most `up`;
// and the colours it may reach at all, per channel within lo..hi (as in ChannelBand).
struct StepBand {
    std::uint32_t down = 0;
    std::uint32_t up = 0;
    std::uint32_t fill = 0;
    std::uint32_t lo = 0;
    std::uint32_t hi = 0;
};

// How far from the seed's colour, in tolerances, the adaptive fill may drift. Steps alone walk down the
// edge that a scan's blur spreads over a few pixels, each step smaller than the tolerance, and up the
// other side of a narrow gap into the next copper, or out over the whole board. Two tolerances follow
// light that changes by 60 levels along a track seeded in its middle and stop in a blurred gap whose
// middle lies halfway to the bare board's colour.
constexpr int kAdaptiveReach = 2;

// A tolerance given as a fraction of the channel range, in whole levels: a pixel is a whole number, so
// c - d * 255 <= p holds exactly when c - floor(d * 255) <= p.
int toleranceLevels(float fraction) {
    const double levels = double(fraction) * 255;
    if (!(levels > 0)) {
        return 0;  // NaN and negative tolerances admit the seed's own colour only
    }
    return levels >= 255 ? 255 : int(std::floor(levels));
}

std::uint32_t fillWord(std::int32_t fill) {
    return fill < 0 || fill > 0x00FFFFFF ? kNoColour : std::uint32_t(fill);
}

ChannelBand makeChannelBand(std::int32_t centre, float dmin, float dmax, std::int32_t fill) {
    const int down = toleranceLevels(dmin);
    const int up = toleranceLevels(dmax);
    ChannelBand band;
    for (int s = 0; s < 24; s += 8) {
        const int c = int((std::uint32_t(centre) >> s) & 0xFFu);
        band.lo |= std::uint32_t(std::max(0, c - down)) << s;
        band.hi |= std::uint32_t(std::min(255, c + up)) << s;
    }
    band.fill = fillWord(fill);
    return band;
}

StepBand makeStepBand(std::int32_t centre, float dmin, float dmax, std::int32_t fill) {
    const int down = toleranceLevels(dmin);
    const int up = toleranceLevels(dmax);
    StepBand band{std::uint32_t(down) * 0x010101u, std::uint32_t(up) * 0x010101u, fillWord(fill), 0, 0};
    for (int s = 0; s < 24; s += 8) {
        const int c = int((std::uint32_t(centre) >> s) & 0xFFu);
        band.lo |= std::uint32_t(std::max(0, c - kAdaptiveReach * down)) << s;
        band.hi |= std::uint32_t(std::min(255, c + kAdaptiveReach * up)) << s;
    }
    return band;
}

// The specks a pass took in, by position: a speck painted with the fill colour must not count as an
// in-range neighbour of the pixel beside it.
struct SpeckState {
    const ImageView* view = nullptr;
    std::unordered_set<std::uint64_t> rescued;
};

inline std::uint64_t SpeckKey(int x, int y) {
    return (std::uint64_t(std::uint32_t(y)) << 32) | std::uint32_t(x);
}

// The settings of one pass in whichever mode it runs.
struct PassSettings {
    FillMode mode = FillMode::Packed;
    std::int32_t fill = 0;
    std::int32_t centre = 0;
    float dmin = 0;
    float dmax = 0;
};

enum class PacerVerdict { Continue, Gone };

// Decides when a pass hands control to the event loop: at the regular checkpoints, and after a certain
// amount of work when none comes by, but never more often than the control's interval. Each hand-over
// schedules a repaint rather than painting, so the screen follows the fill at a modest rate.
class Pacer {
  public:
    explicit Pacer(FillControl& control) : control_(control) {
        if (active()) {
            last_ = clock();
            nextPoll_ = control_.pollPixels;
        }
    }

    bool active() const { return control_.ui != nullptr; }
    bool stopRequested() const { return control_.running != nullptr && !*control_.running; }

    PacerVerdict after(int pixels, bool checkpoint, ImageView& view) {
        work_ += pixels + 16;  // every span costs something, however short
        if (!checkpoint && work_ < nextPoll_) {
            return PacerVerdict::Continue;
        }
        nextPoll_ = work_ + control_.pollPixels;
        const auto now = clock();
        if (std::chrono::duration<double, std::milli>(now - last_).count() < control_.eventIntervalMs) {
            return PacerVerdict::Continue;
        }
        if (control_.redraw) {
            control_.redraw();
        }
        control_.ui->processEvents();
        last_ = clock();
        if (control_.refresh && !control_.refresh(view)) {
            return PacerVerdict::Gone;
        }
        return PacerVerdict::Continue;
    }

  private:
    std::chrono::steady_clock::time_point clock() const {
        return control_.now ? control_.now() : std::chrono::steady_clock::now();
    }

    FillControl& control_;
    std::chrono::steady_clock::time_point last_{};
    std::int64_t work_ = 0;
    std::int64_t nextPoll_ = 0;
};

// One pixel at a time: the reference the vector flavours must agree with, and the flavour for processors
// without a known vector unit.
namespace scalar {
constexpr int kLanes = 1;
constexpr unsigned kFull = 1u;
using Vec = std::uint32_t;
inline Vec loadv(const std::uint32_t* p) {
    return *p;
}
inline void storev(std::uint32_t* p, Vec v) {
    *p = v;
}
inline Vec splat(std::uint32_t v) {
    return v;
}
inline Vec andv(Vec a, Vec b) {
    return a & b;
}
inline Vec orv(Vec a, Vec b) {
    return a | b;
}
inline Vec xorv(Vec a, Vec b) {
    return a ^ b;
}
inline Vec subv(Vec a, Vec b) {
    return a - b;
}
inline Vec eqv(Vec a, Vec b) {
    return a == b ? ~0u : 0u;
}
inline Vec gtv(Vec a, Vec b) {
    return std::int32_t(a) > std::int32_t(b) ? ~0u : 0u;
}
inline unsigned maskOf(Vec v) {
    return v >> 31;
}
inline Vec subsu8(Vec a, Vec b) {
    Vec r = 0;
    for (int s = 0; s < 32; s += 8) {
        const std::uint32_t x = (a >> s) & 0xFFu;
        const std::uint32_t y = (b >> s) & 0xFFu;
        r |= (x > y ? x - y : 0u) << s;
    }
    return r;
}
#include "tracing/FillKernel.inc"
}  // namespace scalar

#if KORVANE_FILL_X86

namespace sse2 {
constexpr int kLanes = 4;
constexpr unsigned kFull = 0xFu;
using Vec = __m128i;
inline Vec loadv(const std::uint32_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}
inline void storev(std::uint32_t* p, Vec v) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v);
}
inline Vec splat(std::uint32_t v) {
    return _mm_set1_epi32(int(v));
}
inline Vec andv(Vec a, Vec b) {
    return _mm_and_si128(a, b);
}
inline Vec orv(Vec a, Vec b) {
    return _mm_or_si128(a, b);
}
inline Vec xorv(Vec a, Vec b) {
    return _mm_xor_si128(a, b);
}
inline Vec subv(Vec a, Vec b) {
    return _mm_sub_epi32(a, b);
}
inline Vec eqv(Vec a, Vec b) {
    return _mm_cmpeq_epi32(a, b);
}
inline Vec gtv(Vec a, Vec b) {
    return _mm_cmpgt_epi32(a, b);
}
inline unsigned maskOf(Vec v) {
    return unsigned(_mm_movemask_ps(_mm_castsi128_ps(v)));
}
inline Vec subsu8(Vec a, Vec b) {
    return _mm_subs_epu8(a, b);
}
#include "tracing/FillKernel.inc"
}  // namespace sse2

#if defined(__clang__)
// clang (the fuzz build) has no GCC target pragma; its attribute pragma gives the same per-function target.
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
namespace avx2 {
constexpr int kLanes = 8;
constexpr unsigned kFull = 0xFFu;
using Vec = __m256i;
inline Vec loadv(const std::uint32_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}
inline void storev(std::uint32_t* p, Vec v) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v);
}
inline Vec splat(std::uint32_t v) {
    return _mm256_set1_epi32(int(v));
}
inline Vec andv(Vec a, Vec b) {
    return _mm256_and_si256(a, b);
}
inline Vec orv(Vec a, Vec b) {
    return _mm256_or_si256(a, b);
}
inline Vec xorv(Vec a, Vec b) {
    return _mm256_xor_si256(a, b);
}
inline Vec subv(Vec a, Vec b) {
    return _mm256_sub_epi32(a, b);
}
inline Vec eqv(Vec a, Vec b) {
    return _mm256_cmpeq_epi32(a, b);
}
inline Vec gtv(Vec a, Vec b) {
    return _mm256_cmpgt_epi32(a, b);
}
inline unsigned maskOf(Vec v) {
    return unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(v)));
}
inline Vec subsu8(Vec a, Vec b) {
    return _mm256_subs_epu8(a, b);
}
#include "tracing/FillKernel.inc"
}  // namespace avx2
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#endif

// The flavour passes run with: the widest this processor has, unless a test or benchmark chose another.
FillKernel& selectedKernel() {
    static FillKernel kernel = AvailableFillKernels().back();
    return kernel;
}

PassResult runSelectedPass(ImageView& view, int x, int y, const PassSettings& settings, Pacer& pacer,
                           PointStack& stack, PaintedSpans* history) {
    switch (selectedKernel()) {
#if KORVANE_FILL_X86
        case FillKernel::Avx2:
            return avx2::runMode(view, x, y, settings, pacer, stack, history);
        case FillKernel::Sse2:
            return sse2::runMode(view, x, y, settings, pacer, stack, history);
#endif
        default:
            return scalar::runMode(view, x, y, settings, pacer, stack, history);
    }
}

void beep(FillControl& control) {
    if (control.ui != nullptr) {
        control.ui->beep();
    }
}

PassResult paintPass(ImageView& picture, int x, int y, const PassSettings& settings, FillControl& control,
                     PaintedSpans* history) {
    PassResult result;
    if (PixelAt(picture, x, y) < 0) {
        return result;
    }
    if (control.running != nullptr) {
        *control.running = true;
    }
    std::optional<BusyPointer> busy;
    if (control.ui != nullptr) {
        busy.emplace(*control.ui);
    }
    PointStack stack;
    stack.reset();
    Pacer pacer(control);
    result = runSelectedPass(picture, x, y, settings, pacer, stack, history);
    if (result.stopped) {
        beep(control);
    }
    result.largestStack = std::max(result.largestStack, stack.capacity());
    stack.release();
    if (control.redraw && !result.pictureGone) {
        control.redraw();
    }
    return result;
}

}  // namespace

std::vector<FillKernel> AvailableFillKernels() {
    std::vector<FillKernel> kernels{FillKernel::Scalar};
#if KORVANE_FILL_X86
    kernels.push_back(FillKernel::Sse2);  // part of every x86-64 processor
    if (__builtin_cpu_supports("avx2")) {
        kernels.push_back(FillKernel::Avx2);
    }
#endif
    return kernels;
}

bool SelectFillKernel(FillKernel kernel) {
    const std::vector<FillKernel> available = AvailableFillKernels();
    if (std::find(available.begin(), available.end(), kernel) == available.end()) {
        return false;
    }
    selectedKernel() = kernel;
    return true;
}

FillKernel SelectedFillKernel() {
    return selectedKernel();
}

std::int32_t PixelAt(const ImageView& picture, int x, int y) {
    if (picture.pixels == nullptr || x < 0 || y < 0 || x >= picture.width || y >= picture.height) {
        return -1;
    }
    return std::int32_t(picture.pixels[std::size_t(y) * std::size_t(picture.stride) + std::size_t(x)] &
                        0x00FFFFFFu);
}

bool OutOfRange(const ImageView& picture, int x, int y, std::int32_t centre, float dmin, float dmax) {
    const double p = PixelAt(picture, x, y);
    const double c = centre;
    const double low = c - double(dmin) * c;
    const double high = c + double(dmax) * c;
    return p < low || p > high;
}

void PointStack::reset() {
    data_ = std::make_unique<Point[]>(kInitialPoints);
    capacity_ = kInitialPoints;
    count_ = 0;
}

void PointStack::release() {
    data_.reset();
    capacity_ = 0;
    count_ = 0;
}

void PointStack::grow() {
    // Upper index u becomes 2 x (u + 1): 10 000 points become 20 001, then 40 003.
    const std::size_t grown = capacity_ == 0 ? kInitialPoints : 2 * capacity_ + 1;
    auto data = std::make_unique<Point[]>(grown);
    if (count_ > 0) {
        std::memcpy(data.get(), data_.get(), count_ * sizeof(Point));
    }
    data_ = std::move(data);
    capacity_ = grown;
}

void PointStack::reverseLast(std::size_t n) {
    std::reverse(data_.get() + (count_ - n), data_.get() + count_);
}

bool ChannelsWithin(std::int32_t colour, std::int32_t centre, float dmin, float dmax) {
    if (colour < 0 || colour > 0x00FFFFFF) {
        return false;
    }
    const ChannelBand band = makeChannelBand(centre, dmin, dmax, -1);
    for (int s = 0; s < 24; s += 8) {
        const std::uint32_t c = (std::uint32_t(colour) >> s) & 0xFFu;
        if (c < ((band.lo >> s) & 0xFFu) || c > ((band.hi >> s) & 0xFFu)) {
            return false;
        }
    }
    return true;
}

PassResult PaintPass(ImageView& picture, int x, int y, std::int32_t fill, std::int32_t centre, float dmin,
                     float dmax, FillControl& control, FillMode mode) {
    return paintPass(picture, x, y, PassSettings{mode, fill, centre, dmin, dmax}, control, control.history);
}

FillResult FillArea(ImageView& picture, int x, int y, std::int32_t& fill, float dmin, float dmax, bool& quiet,
                    FillControl& control, FillMode mode) {
    FillResult result;
    auto finish = [&control, &result]() {
        if (control.running != nullptr) {
            *control.running = false;
        }
        return result;
    };

    const std::int32_t c0 = PixelAt(picture, x, y);
    result.seedColour = c0;
    if (c0 < 0) {
        result.outcome = FillOutcome::SeedOutside;
        return result;
    }
    if (c0 == fill) {
        beep(control);
        result.outcome = FillOutcome::SeedHasFillColour;
        return result;
    }
    // The fill colour must not count as a colour to repaint, or a fill could take in what it painted.
    // The per-channel modes ask their own test whether the fill colour would join from the seed.
    const bool refused = mode == FillMode::Packed ? !OutOfRange(picture, x, y, fill, dmin, dmax)
                                                  : ChannelsWithin(fill, c0, dmin, dmax);
    if (refused) {
        if (control.ui != nullptr) {
            control.ui->tell("The filling color belongs to the range of the repainting colors.",
                             "Select another color or decrease the range:", MsgIcon::Critical);
        }
        result.outcome = FillOutcome::RangeRefused;
        return result;
    }

    // An interactive fill always logs what it paints, so that "Delete" can give the scan back exactly;
    // a quiet one only when its caller keeps the history.
    PaintedSpans ownHistory;
    PaintedSpans* const history = control.history != nullptr ? control.history
                                  : quiet                    ? nullptr
                                                             : &ownHistory;
    const PaintedSpans::Mark before = history != nullptr ? history->mark() : PaintedSpans::Mark{};

    const PassResult pass =
        paintPass(picture, x, y, PassSettings{mode, fill, c0, dmin, dmax}, control, history);
    result.stopped = pass.stopped;
    result.largestStack = pass.largestStack;
    result.spanPixels = pass.spanPixels;
    if (pass.pictureGone) {
        result.outcome = FillOutcome::PictureGone;
        return finish();
    }
    if (quiet) {
        return finish();
    }

    result.answer = control.ask ? control.ask() : FillAnswer::Save;
    if (result.answer != FillAnswer::Abandon && control.refresh && !control.refresh(picture)) {
        result.answer = FillAnswer::Abandon;
    }
    if (result.answer == FillAnswer::Delete) {
        // Give back exactly the pixels the fill replaced: painting the area over with the seed's colour
        // would flatten the scan's texture and take in neighbours the fill never touched.
        fill = c0;
        quiet = true;
        std::optional<BusyPointer> busy;
        if (control.ui != nullptr) {
            busy.emplace(*control.ui);
        }
        history->rollBack(picture, before);
        if (control.redraw) {
            control.redraw();
        }
    } else if (result.answer == FillAnswer::Save && control.record) {
        TraceRecord record;
        record.picture = control.pictureNumber == 1 ? 1 : 2;
        record.x = x;
        record.y = y;
        record.origColor = c0;
        record.fillColor = fill;
        record.dmin = dmin;
        record.dmax = dmax;
        record.mode = mode;
        control.record(FormatTraceRecord(record));
    }
    return finish();
}

}  // namespace korvane
