#pragma once

// Zoomed drawing of large pictures. A picture of 100 megapixels cannot be scaled at paint time: a pane
// zoomed out to 1/8 would touch every picture pixel at every repaint. The pyramid holds the picture
// halved again and again (each pixel the rounded average of the 2 x 2 block below it), so a zoomed-out
// pane is drawn from a level that is at most twice its own size, and a zoomed-in pane samples only the
// picture pixels it shows. Both cost in proportion to the area drawn, never to the picture.

#include <QImage>
#include <QList>
#include <QObject>
#include <QRect>
#include <QSize>

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

class QPainter;

namespace korvane {

class PicturePyramid {
  public:
    // Levels stop when both sides are down to one pixel, or after this many: the 16th level of the
    // widest picture the program opens is a few pixels, far below the smallest zoom (1/32, level 5).
    static constexpr int kMaxLevels = 16;

    PicturePyramid() = default;

    // Levels 1..n of `picture` (level 0, the picture itself, is not held). Runs on two threads. Returns
    // an empty pyramid when `cancel` turns true while it runs. A picture that is not 4 bytes a pixel is
    // averaged as Format_RGBX8888.
    static PicturePyramid Build(const QImage& picture, const std::atomic<bool>* cancel = nullptr);

    // Brings the levels up to date after `changed` (picture pixels) was painted in `picture`: only the
    // pixels above that rectangle are recomputed. A picture of another size than the pyramid was built
    // for (a transform) is rebuilt whole.
    void update(const QImage& picture, const QRect& changed);

    // True when the levels were built for a picture of this size.
    bool fits(QSize picture) const;

    int levelCount() const { return int(levels_.size()); }
    // Level k, 1 <= k <= levelCount(): the picture halved k times, sides rounded up.
    const QImage& level(int k) const { return levels_[std::size_t(k - 1)]; }
    bool empty() const { return levels_.empty(); }
    std::size_t bytes() const;

  private:
    QSize picture_;
    std::vector<QImage> levels_;
};

// How a zoomed-out view that lies between two levels is scaled from the finer one.
enum class ZoomFilter { Nearest, Smooth };

// The number of displayed pixels that `picture` pixels span at `zoom` (displayed pixels per picture
// pixel): whole squares above 1, every partly covered pixel below.
QSize ZoomedSize(QSize picture, double zoom);

// Draws the part `area` (displayed pixels; displayed pixel (0, 0) is the picture's top-left corner) of
// `picture` seen at `zoom`, 1/32 to 32. Only the part of `area` that the picture covers is drawn; the
// caller paints the background around it. Above 1 every picture pixel is a crisp square that spans the
// displayed pixels floor(x * zoom) to floor((x + 1) * zoom) - 1. Below 1 it draws from the pyramid level
// just finer than `zoom`; a pyramid that does not hold that level yet (still being built) or belongs to
// another picture is replaced by the nearest sample of the coarsest level it holds, or of the picture.
void DrawZoomed(QPainter& painter, const QImage& picture, const PicturePyramid& pyramid, double zoom,
                const QRect& area, ZoomFilter filter = ZoomFilter::Smooth);

// Builds pyramids off the GUI thread, one at a time, and delivers them on its own thread.
class PyramidBuilder : public QObject {
    Q_OBJECT

  public:
    // `currentPicture` returns the owner's working picture as it is when a build ends, so that what was
    // painted into it meanwhile (see changed()) is brought into the pyramid before it is delivered.
    explicit PyramidBuilder(std::function<const QImage&()> currentPicture, QObject* parent = nullptr);
    ~PyramidBuilder() override;

    // Builds the pyramid of `picture`, cancelling a build that still runs. The builder keeps a shallow
    // copy: when the owner paints into its own image meanwhile, that image detaches (one full copy for
    // the duration of the build) and the build goes on reading the picture as it was.
    void start(QImage picture);
    // Stops the running build; nothing is delivered for it.
    void cancel();
    // The owner painted `area` (picture pixels) into its picture. While a build runs, the area is
    // remembered and brought into the new pyramid before `built`; otherwise it is the owner's own pyramid
    // that needs the update, and this does nothing.
    void changed(const QRect& area);
    bool running() const { return running_; }

  signals:
    void built(korvane::PicturePyramid pyramid);

  private:
    void finish(quint64 generation, PicturePyramid pyramid);
    void stopThread();

    std::function<const QImage&()> currentPicture_;
    std::thread thread_;
    std::shared_ptr<std::atomic<bool>> cancel_;
    quint64 generation_ = 0;
    bool running_ = false;
    QList<QRect> changedMeanwhile_;
};

}  // namespace korvane
