#include "view/PicturePyramid.h"

#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>

#include "view/ViewTransform.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace korvane {

namespace {

using Word = std::uint32_t;

// Two channels of a pixel word per 16-bit lane: sums of up to four bytes and products with 8-bit weights
// stay inside their lane, so one integer operation handles two channels.
constexpr Word kLanes = 0x00FF00FFu;

Word average4(Word a, Word b, Word c, Word d) {
    const Word low = ((a & kLanes) + (b & kLanes) + (c & kLanes) + (d & kLanes) + 0x00020002u) >> 2;
    const Word high = (((a >> 8) & kLanes) + ((b >> 8) & kLanes) + ((c >> 8) & kLanes) + ((d >> 8) & kLanes) +
                       0x00020002u) >>
                      2;
    return (low & kLanes) | ((high & kLanes) << 8);
}

Word average2(Word a, Word b) {
    const Word low = ((a & kLanes) + (b & kLanes) + 0x00010001u) >> 1;
    const Word high = (((a >> 8) & kLanes) + ((b >> 8) & kLanes) + 0x00010001u) >> 1;
    return (low & kLanes) | ((high & kLanes) << 8);
}

// a * (256 - weight) + b * weight, rounded, channel by channel; weight is 0..256.
Word blend(Word a, Word b, Word weight) {
    const Word keep = 256 - weight;
    const Word low = (((a & kLanes) * keep + (b & kLanes) * weight + 0x00800080u) >> 8) & kLanes;
    const Word high = (((a >> 8) & kLanes) * keep + ((b >> 8) & kLanes) * weight + 0x00800080u) & ~kLanes;
    return low | high;
}

// RGBX8888 keeps red in the first byte, RGB32 in the third: the scratch image of a zoomed view is RGB32,
// which the raster engine copies onto a window's backing store without a per-pixel conversion.
Word swapRedBlue(Word v) {
    return 0xFF000000u | (v & 0x0000FF00u) | ((v & 0xFFu) << 16) | ((v >> 16) & 0xFFu);
}

struct Plane {
    const uchar* bits;
    qsizetype bytesPerLine;
    int width;
    int height;

    const Word* row(int y) const { return reinterpret_cast<const Word*>(bits + qsizetype(y) * bytesPerLine); }
};

Plane planeOf(const QImage& image) {
    return {image.constBits(), image.bytesPerLine(), image.width(), image.height()};
}

// Columns [x0, x1) of row y of the level above `below`.
void halveRow(const Plane& below, Word* out, int y, int x0, int x1) {
    const Word* r0 = below.row(2 * y);
    const Word* r1 = 2 * y + 1 < below.height ? below.row(2 * y + 1) : nullptr;
    const int pairs = std::min(x1, below.width / 2);  // columns with both source pixels
    int x = x0;
    if (r1 != nullptr) {
#if defined(__SSE2__)
        const __m128i zero = _mm_setzero_si128();
        const __m128i two = _mm_set1_epi16(2);
        for (; x + 4 <= pairs; x += 4) {
            const auto* p0 = reinterpret_cast<const __m128i*>(r0 + 2 * x);
            const auto* p1 = reinterpret_cast<const __m128i*>(r1 + 2 * x);
            const __m128 a0 = _mm_castsi128_ps(_mm_loadu_si128(p0));
            const __m128 a1 = _mm_castsi128_ps(_mm_loadu_si128(p0 + 1));
            const __m128 b0 = _mm_castsi128_ps(_mm_loadu_si128(p1));
            const __m128 b1 = _mm_castsi128_ps(_mm_loadu_si128(p1 + 1));
            // Even and odd pixels of both rows, so that each lane holds one 2 x 2 block.
            const __m128i ae = _mm_castps_si128(_mm_shuffle_ps(a0, a1, _MM_SHUFFLE(2, 0, 2, 0)));
            const __m128i ao = _mm_castps_si128(_mm_shuffle_ps(a0, a1, _MM_SHUFFLE(3, 1, 3, 1)));
            const __m128i be = _mm_castps_si128(_mm_shuffle_ps(b0, b1, _MM_SHUFFLE(2, 0, 2, 0)));
            const __m128i bo = _mm_castps_si128(_mm_shuffle_ps(b0, b1, _MM_SHUFFLE(3, 1, 3, 1)));
            __m128i low = _mm_add_epi16(_mm_unpacklo_epi8(ae, zero), _mm_unpacklo_epi8(ao, zero));
            low = _mm_add_epi16(low, _mm_add_epi16(_mm_unpacklo_epi8(be, zero), _mm_unpacklo_epi8(bo, zero)));
            __m128i high = _mm_add_epi16(_mm_unpackhi_epi8(ae, zero), _mm_unpackhi_epi8(ao, zero));
            high =
                _mm_add_epi16(high, _mm_add_epi16(_mm_unpackhi_epi8(be, zero), _mm_unpackhi_epi8(bo, zero)));
            low = _mm_srli_epi16(_mm_add_epi16(low, two), 2);
            high = _mm_srli_epi16(_mm_add_epi16(high, two), 2);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_packus_epi16(low, high));
        }
#endif
        for (; x < pairs; ++x) {
            out[x] = average4(r0[2 * x], r0[2 * x + 1], r1[2 * x], r1[2 * x + 1]);
        }
        if (x < x1) {  // the last column of an odd width
            out[x] = average2(r0[2 * x], r1[2 * x]);
        }
    } else {  // the last row of an odd height
        for (; x < pairs; ++x) {
            out[x] = average2(r0[2 * x], r0[2 * x + 1]);
        }
        if (x < x1) {
            out[x] = r0[2 * x];
        }
    }
}

// Rows [y0, y1) and columns [x0, x1) of `above`, the level over `below`. Returns false when cancelled.
bool halve(const Plane& below, uchar* aboveBits, qsizetype aboveBytesPerLine, int y0, int y1, int x0, int x1,
           const std::atomic<bool>* cancel) {
    constexpr int kRowsBetweenChecks = 32;
    for (int y = y0; y < y1; ++y) {
        if (cancel != nullptr && (y - y0) % kRowsBetweenChecks == 0 &&
            cancel->load(std::memory_order_relaxed)) {
            return false;
        }
        halveRow(below, reinterpret_cast<Word*>(aboveBits + qsizetype(y) * aboveBytesPerLine), y, x0, x1);
    }
    return true;
}

// Runs work(first, last) over rows [0, rows), split between this thread and one helper when the work is
// large enough to pay for starting a thread.
template <class Work>
void onTwoThreads(int rows, qint64 pixels, Work&& work) {
    constexpr qint64 kWorthAThread = 1 << 17;
    if (rows < 2 || pixels < kWorthAThread) {
        work(0, rows);
        return;
    }
    const int middle = rows / 2;
    std::thread helper([&work, middle, rows] { work(middle, rows); });
    work(0, middle);
    helper.join();
}

QImage::Format levelFormat(const QImage& picture) {
    return picture.depth() == 32 ? picture.format() : QImage::Format_RGBX8888;
}

}  // namespace

PicturePyramid PicturePyramid::Build(const QImage& input, const std::atomic<bool>* cancel) {
    PicturePyramid pyramid;
    if (input.isNull()) {
        return pyramid;
    }
    const QImage picture = input.depth() == 32 ? input : input.convertToFormat(QImage::Format_RGBX8888);
    pyramid.picture_ = input.size();
    pyramid.levels_.reserve(kMaxLevels);  // `below` points into the vector
    const QImage* below = &picture;
    while (pyramid.levelCount() < kMaxLevels && (below->width() > 1 || below->height() > 1)) {
        QImage level((below->width() + 1) / 2, (below->height() + 1) / 2, levelFormat(picture));
        if (level.isNull()) {  // out of memory: draw without the pyramid
            return PicturePyramid();
        }
        const Plane from = planeOf(*below);
        uchar* bits = level.bits();
        const qsizetype bytesPerLine = level.bytesPerLine();
        const int width = level.width();
        std::atomic<bool> stopped{false};
        onTwoThreads(level.height(), qint64(width) * level.height(), [&](int first, int last) {
            if (!halve(from, bits, bytesPerLine, first, last, 0, width, cancel)) {
                stopped = true;
            }
        });
        if (stopped) {
            return PicturePyramid();
        }
        pyramid.levels_.push_back(std::move(level));
        below = &pyramid.levels_.back();
    }
    return pyramid;
}

void PicturePyramid::update(const QImage& input, const QRect& changed) {
    if (!fits(input.size())) {
        // Built for another picture (it was transformed): stale levels would show the old picture, an
        // empty pyramid shows the new one sampled from the picture until the owner builds it again.
        if (!picture_.isEmpty()) {
            *this = PicturePyramid();
        }
        return;
    }
    QRect area = changed & QRect(QPoint(0, 0), picture_);
    if (area.isEmpty()) {
        return;
    }
    // The working picture is always 32 bits a pixel; any other picture takes this slow path whole.
    const QImage picture = input.depth() == 32 ? input : input.convertToFormat(QImage::Format_RGBX8888);
    const QImage* below = &picture;
    for (QImage& level : levels_) {
        area = QRect(QPoint(area.left() / 2, area.top() / 2), QPoint(area.right() / 2, area.bottom() / 2));
        halve(planeOf(*below), level.bits(), level.bytesPerLine(), area.top(), area.bottom() + 1, area.left(),
              area.right() + 1, nullptr);
        below = &level;
    }
}

bool PicturePyramid::fits(QSize picture) const {
    return !picture_.isEmpty() && picture_ == picture;
}

std::size_t PicturePyramid::bytes() const {
    std::size_t total = 0;
    for (const QImage& level : levels_) {
        total += std::size_t(level.sizeInBytes());
    }
    return total;
}

// ---- Zoomed drawing ----

namespace {

// Zooms that are meant to be powers of two (1/32 reached by steps of the square root of 2) arrive with
// rounding errors; drawn as they are, they would smooth a level by 0.99999 instead of copying it.
double snapToPowerOfTwo(double zoom) {
    int exponent = 0;
    const double mantissa = std::frexp(zoom, &exponent);  // 0.5 <= mantissa < 1
    if (std::abs(mantissa - 0.5) < 1e-9) {
        return std::ldexp(0.5, exponent);
    }
    if (std::abs(mantissa - 1.0) < 1e-9) {
        return std::ldexp(1.0, exponent);
    }
    return zoom;
}

int clampToInt(double v) {
    return int(std::clamp(v, 0.0, double(std::numeric_limits<int>::max())));
}

// The source pixel whose square covers displayed pixel x at `scale` >= 1 displayed pixels a source
// pixel: the p with floor(p * scale) <= x < floor((p + 1) * scale).
int squareAt(qint64 x, double scale) {
    auto p = qint64(std::ceil(double(x + 1) / scale)) - 1;
    while (p > 0 && std::floor(double(p) * scale) > double(x)) {
        --p;
    }
    while (std::floor(double(p + 1) * scale) <= double(x)) {
        ++p;
    }
    return int(p);
}

// The source pixel under the centre of displayed pixel x at `scale` < 1.
int centreAt(qint64 x, double scale) {
    return clampToInt(std::floor((double(x) + 0.5) / scale));
}

// Two neighbouring source pixels, `first` and the next, and the weight of the next (0..256).
struct Tap {
    int first;
    Word weight;
};

// The pixels on either side of the centre of displayed pixel x in a source of `size` >= 2 pixels. Past
// the edges the outermost pixel takes the whole weight, so the pair never leaves the source.
Tap tapAt(qint64 x, double scale, int size) {
    const double u = (double(x) + 0.5) / scale - 0.5;
    const double first = std::floor(u);
    if (first < 0) {
        return {0, 0};
    }
    if (first >= size - 1) {
        return {size - 2, 256};
    }
    return {int(first), Word(std::lround((u - first) * 256))};
}

// The columns of a displayed row: the pair of source pixels under each, and for the vector kernel the
// pair's weights spread over the channels of both pixels.
struct Columns {
    std::vector<Tap> taps;
    struct Lanes {
        alignas(16) std::int16_t lane[8];
    };
    std::vector<Lanes> weights;

    Columns(qint64 left, int width, double scale, int size) : taps(static_cast<std::size_t>(width)) {
        for (int i = 0; i < width; ++i) {
            taps[std::size_t(i)] = tapAt(left + i, scale, size);
        }
        weights.reserve(taps.size());
        for (const Tap& t : taps) {
            const auto keep = std::int16_t(256 - t.weight), take = std::int16_t(t.weight);
            weights.push_back({{keep, keep, keep, keep, take, take, take, take}});
        }
    }
};

// Row `from` blended across at `columns` into `to`.
void blendAcross(const Word* from, const Columns& columns, Word* to) {
    const int width = int(columns.taps.size());
    const Tap* taps = columns.taps.data();
    int i = 0;
#if defined(__SSE2__)
    const auto* weights = columns.weights.data();
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(128);
    auto weighted = [&](int c) {
        // Both pixels of the pair in 16-bit lanes, each times its own weight.
        const __m128i pair =
            _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(from + taps[c].first)), zero);
        return _mm_mullo_epi16(pair, _mm_load_si128(reinterpret_cast<const __m128i*>(weights[c].lane)));
    };
    for (; i + 2 <= width; i += 2) {
        const __m128i a = weighted(i);
        const __m128i b = weighted(i + 1);
        __m128i sum = _mm_add_epi16(_mm_unpacklo_epi64(a, b), _mm_unpackhi_epi64(a, b));
        sum = _mm_srli_epi16(_mm_add_epi16(sum, half), 8);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(to + i), _mm_packus_epi16(sum, sum));
    }
#endif
    for (; i < width; ++i) {
        const Tap& t = taps[i];
        to[i] = blend(from[t.first], from[t.first + 1], t.weight);
    }
}

// Lines `upper` and `lower` blended down at `weight` into `out`, red and blue swapped when `swap`.
void blendDown(const Word* upper, const Word* lower, Word weight, bool swap, Word* out, int width) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    const __m128i half = _mm_set1_epi16(128);
    const __m128i keep = _mm_set1_epi16(short(256 - weight));
    const __m128i take = _mm_set1_epi16(short(weight));
    const __m128i opaque = _mm_set1_epi32(swap ? int(0xFF000000u) : 0);
    auto mix = [&](__m128i a, __m128i b) {
        const __m128i sum =
            _mm_add_epi16(_mm_add_epi16(_mm_mullo_epi16(a, keep), _mm_mullo_epi16(b, take)), half);
        const __m128i v = _mm_srli_epi16(sum, 8);
        return swap ? _mm_shufflehi_epi16(_mm_shufflelo_epi16(v, _MM_SHUFFLE(3, 0, 1, 2)),
                                          _MM_SHUFFLE(3, 0, 1, 2))
                    : v;
    };
    for (; i + 4 <= width; i += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(upper + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(lower + i));
        const __m128i low = mix(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero));
        const __m128i high = mix(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i),
                         _mm_or_si128(_mm_packus_epi16(low, high), opaque));
    }
#endif
    for (; i < width; ++i) {
        const Word v = blend(upper[i], lower[i], weight);
        out[i] = swap ? swapRedBlue(v) : v;
    }
}

// One scratch image per painting thread, reused from frame to frame: a pane repaints often, and a fresh
// 6-megabyte image each time would be paid in page faults.
QImage& scratch(int width, int height, QImage::Format format) {
    thread_local QImage image;
    if (image.width() < width || image.height() < height || image.format() != format) {
        image = QImage(std::max(width, image.width()), std::max(height, image.height()), format);
    }
    return image;
}

// Draws `visible` (displayed pixels) of `source` seen at `scale` displayed pixels a source pixel.
void drawSampled(QPainter& painter, const QImage& source, double scale, const QRect& visible, bool smooth) {
    const int width = visible.width();
    const int height = visible.height();
    const bool swap = Q_BYTE_ORDER == Q_LITTLE_ENDIAN && source.format() == QImage::Format_RGBX8888;
    QImage& buffer = scratch(width, height, swap ? QImage::Format_RGB32 : source.format());
    if (buffer.isNull()) {
        return;
    }
    uchar* outBits = buffer.bits();
    const qsizetype outBytesPerLine = buffer.bytesPerLine();
    const Plane in = planeOf(source);
    auto outRow = [&](int j) { return reinterpret_cast<Word*>(outBits + qsizetype(j) * outBytesPerLine); };

    if (!smooth) {
        std::vector<int> columns(static_cast<std::size_t>(width));
        for (int i = 0; i < width; ++i) {
            const qint64 x = qint64(visible.left()) + i;
            columns[std::size_t(i)] =
                std::min(scale >= 1 ? squareAt(x, scale) : centreAt(x, scale), in.width - 1);
        }
        int lastRow = -1;
        for (int j = 0; j < height; ++j) {
            const qint64 y = qint64(visible.top()) + j;
            const int row = std::min(scale >= 1 ? squareAt(y, scale) : centreAt(y, scale), in.height - 1);
            Word* out = outRow(j);
            if (row == lastRow) {  // a zoomed-in square repeats its row
                std::memcpy(out, outRow(j - 1), std::size_t(width) * sizeof(Word));
                continue;
            }
            const Word* from = in.row(row);
            if (swap) {
                for (int i = 0; i < width; ++i) {
                    out[i] = swapRedBlue(from[columns[std::size_t(i)]]);
                }
            } else {
                for (int i = 0; i < width; ++i) {
                    out[i] = from[columns[std::size_t(i)]];
                }
            }
            lastRow = row;
        }
    } else {
        // Bilinear, one row at a time: each source row is blended across once into a line, and two lines
        // are blended down into a displayed row. Lines are kept while consecutive rows share them.
        const Columns columns(visible.left(), width, scale, in.width);
        std::vector<Word> lines[2] = {std::vector<Word>(std::size_t(width)),
                                      std::vector<Word>(std::size_t(width))};
        int lineRow[2] = {-1, -1};
        auto line = [&](int row, int keep) -> const Word* {
            for (int k = 0; k < 2; ++k) {
                if (lineRow[k] == row) {
                    return lines[k].data();
                }
            }
            const int k = lineRow[0] == keep ? 1 : 0;
            blendAcross(in.row(row), columns, lines[k].data());
            lineRow[k] = row;
            return lines[k].data();
        };
        for (int j = 0; j < height; ++j) {
            const Tap t = tapAt(qint64(visible.top()) + j, scale, in.height);
            const Word* upper = line(t.first, -1);
            const Word* lower = line(t.first + 1, t.first);
            blendDown(upper, lower, t.weight, swap, outRow(j), width);
        }
    }
    painter.drawImage(visible.topLeft(), buffer, QRect(0, 0, width, height));
}

}  // namespace

QSize ZoomedSize(QSize picture, double zoom) {
    if (picture.isEmpty() || !(zoom > 0)) {
        return QSize(0, 0);
    }
    // The same extent the picture widget takes.
    return QSize(DisplayedExtent(picture.width(), zoom), DisplayedExtent(picture.height(), zoom));
}

void DrawZoomed(QPainter& painter, const QImage& picture, const PicturePyramid& pyramid, double zoom,
                const QRect& area, ZoomFilter filter) {
    if (picture.isNull() || !(zoom > 0)) {
        return;
    }
    zoom = snapToPowerOfTwo(zoom);
    const QRect visible = area & QRect(QPoint(0, 0), ZoomedSize(picture.size(), zoom));
    if (visible.isEmpty()) {
        return;
    }
    if (zoom == 1) {
        painter.drawImage(visible.topLeft(), picture, visible);
        return;
    }
    if (picture.depth() != 32) {  // never the working picture; let the painter scale what is visible
        painter.drawImage(
            QRectF(visible), picture,
            QRectF(visible.x() / zoom, visible.y() / zoom, visible.width() / zoom, visible.height() / zoom));
        return;
    }
    if (zoom > 1) {
        drawSampled(painter, picture, zoom, visible, false);
        return;
    }
    // The level whose scale 2^-k is the smallest still at least `zoom`; 0 is the picture.
    int wanted = 0;
    while (std::ldexp(1.0, -(wanted + 1)) >= zoom) {
        ++wanted;
    }
    const int held = pyramid.fits(picture.size()) ? pyramid.levelCount() : 0;
    const int k = std::min(wanted, held);
    const QImage& source = k == 0 ? picture : pyramid.level(k);
    const double scale = std::ldexp(zoom, k);
    if (scale == 1) {
        painter.drawImage(visible.topLeft(), source, visible);
        return;
    }
    // Below the held levels only the displayed pixels are sampled: a still-building pyramid must not make
    // a repaint cost in proportion to the picture.
    const bool smooth =
        k == wanted && filter == ZoomFilter::Smooth && source.width() > 1 && source.height() > 1;
    drawSampled(painter, source, scale, visible, smooth);
}

// ---- Building off the GUI thread ----

PyramidBuilder::PyramidBuilder(std::function<const QImage&()> currentPicture, QObject* parent)
    : QObject(parent), currentPicture_(std::move(currentPicture)) {}

PyramidBuilder::~PyramidBuilder() {
    cancel();
    stopThread();
}

void PyramidBuilder::start(QImage picture) {
    cancel();
    stopThread();
    running_ = true;
    const quint64 generation = ++generation_;
    auto flag = std::make_shared<std::atomic<bool>>(false);
    cancel_ = flag;
    thread_ = std::thread([this, flag, generation, picture = std::move(picture)] {
        PicturePyramid pyramid = PicturePyramid::Build(picture, flag.get());
        if (flag->load()) {
            return;
        }
        // Queued to this object: should it be destroyed first, Qt drops the call with it.
        QMetaObject::invokeMethod(
            this,
            [this, generation, pyramid = std::move(pyramid)]() mutable {
                finish(generation, std::move(pyramid));
            },
            Qt::QueuedConnection);
    });
}

void PyramidBuilder::cancel() {
    if (cancel_) {
        *cancel_ = true;
    }
    ++generation_;  // a result already on its way is dropped
    running_ = false;
    changedMeanwhile_.clear();
}

void PyramidBuilder::changed(const QRect& area) {
    if (!running_ || area.isEmpty()) {
        return;
    }
    // Many small fills are merged into their bounding rectangle rather than kept one by one.
    constexpr int kMaxRects = 64;
    if (changedMeanwhile_.size() >= kMaxRects) {
        QRect all = area;
        for (const QRect& r : changedMeanwhile_) {
            all |= r;
        }
        changedMeanwhile_ = {all};
        return;
    }
    changedMeanwhile_.append(area);
}

void PyramidBuilder::finish(quint64 generation, PicturePyramid pyramid) {
    if (generation != generation_) {
        return;
    }
    stopThread();
    running_ = false;
    const QList<QRect> changed = std::exchange(changedMeanwhile_, {});
    if (!changed.isEmpty()) {
        const QImage& picture = currentPicture_ ? currentPicture_() : QImage();
        if (!pyramid.fits(picture.size())) {
            return;  // the picture was replaced without a new start: this pyramid shows what is gone
        }
        for (const QRect& r : changed) {
            pyramid.update(picture, r);
        }
    }
    emit built(std::move(pyramid));
}

void PyramidBuilder::stopThread() {
    if (thread_.joinable()) {
        thread_.join();
    }
}

}  // namespace korvane
