#include <gtest/gtest.h>

#include <QPainter>
#include <QSignalSpy>

#include <cmath>
#include <cstdint>

#include "view/PicturePyramid.h"

namespace korvane {
namespace {

// Every pixel its own colour, channels varying differently so that a wrong average or a swapped channel
// shows.
QImage noise(int width, int height, std::uint32_t seed = 1) {
    QImage image(width, height, QImage::Format_RGBX8888);
    std::uint32_t state = seed;
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            state = state * 1664525u + 1013904223u;
            row[x] = 0xFF000000u | (state >> 8);
        }
    }
    return image;
}

// The rounded average of the pixels of `image` in the 2 x 2 block under (x, y) of the level above it.
QColor expectedAverage(const QImage& image, int x, int y) {
    int sum[3] = {0, 0, 0};
    int count = 0;
    for (int dy = 0; dy < 2; ++dy) {
        for (int dx = 0; dx < 2; ++dx) {
            if (2 * x + dx < image.width() && 2 * y + dy < image.height()) {
                const QColor c = image.pixelColor(2 * x + dx, 2 * y + dy);
                sum[0] += c.red();
                sum[1] += c.green();
                sum[2] += c.blue();
                ++count;
            }
        }
    }
    return QColor((sum[0] + count / 2) / count, (sum[1] + count / 2) / count, (sum[2] + count / 2) / count);
}

void expectLevelsAverage(const QImage& picture, const PicturePyramid& pyramid) {
    const QImage* below = &picture;
    for (int k = 1; k <= pyramid.levelCount(); ++k) {
        const QImage& level = pyramid.level(k);
        ASSERT_EQ(level.size(), QSize((below->width() + 1) / 2, (below->height() + 1) / 2)) << "level " << k;
        for (int y = 0; y < level.height(); ++y) {
            for (int x = 0; x < level.width(); ++x) {
                ASSERT_EQ(level.pixelColor(x, y), expectedAverage(*below, x, y))
                    << "level " << k << " at " << x << "," << y;
            }
        }
        below = &level;
    }
}

TEST(PicturePyramid, EachLevelAveragesTheBlocksBelowAtEverySize) {
    // Odd sides, one-pixel sides, a width beyond 16 bits, and enough width for the vector kernel.
    const struct {
        int width, height, levels;
    } cases[] = {{3, 5, 3}, {1, 9, 4}, {9, 1, 4}, {37, 21, 6}, {40000, 2, 16}, {2, 2, 1}, {1, 1, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height);
        const QImage picture = noise(c.width, c.height);
        const PicturePyramid pyramid = PicturePyramid::Build(picture);
        EXPECT_EQ(pyramid.levelCount(), c.levels);
        expectLevelsAverage(picture, pyramid);
        if (pyramid.levelCount() < PicturePyramid::kMaxLevels && !pyramid.empty()) {
            EXPECT_EQ(pyramid.level(pyramid.levelCount()).size(), QSize(1, 1));
        }
    }
    EXPECT_EQ(PicturePyramid::Build(noise(4096, 4096)).bytes(), std::size_t(4 * (4096 * 4096 - 1) / 3));
}

TEST(PicturePyramid, UpdatingAnAreaGivesTheSameLevelsAsARebuild) {
    const QRect areas[] = {
        {0, 0, 1, 1}, {5, 7, 20, 3}, {30, 40, 37, 26}, {-10, -10, 500, 500}, {66, 0, 1, 67}};
    for (const QRect& area : areas) {
        SCOPED_TRACE(testing::Message()
                     << area.x() << "," << area.y() << " " << area.width() << "x" << area.height());
        QImage picture = noise(67, 67);
        PicturePyramid pyramid = PicturePyramid::Build(picture);
        const PicturePyramid before = pyramid;  // shares its levels until the update writes
        const QImage painted = noise(67, 67, 99);
        const QRect inside = area & picture.rect();
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            for (int x = inside.left(); x <= inside.right(); ++x) {
                picture.setPixel(x, y, painted.pixel(x, y));
            }
        }
        pyramid.update(picture, area);
        const PicturePyramid rebuilt = PicturePyramid::Build(picture);
        ASSERT_EQ(pyramid.levelCount(), rebuilt.levelCount());
        for (int k = 1; k <= pyramid.levelCount(); ++k) {
            EXPECT_EQ(pyramid.level(k), rebuilt.level(k)) << "level " << k;
        }
        EXPECT_EQ(before.level(1), PicturePyramid::Build(noise(67, 67)).level(1)) << "a copy was changed too";
    }
    // A transformed picture of another size leaves nothing stale behind.
    PicturePyramid pyramid = PicturePyramid::Build(noise(20, 10));
    pyramid.update(noise(10, 20), QRect(0, 0, 1, 1));
    EXPECT_TRUE(pyramid.empty());
}

// Blocks of 64 x 64 pixels in colours of their own: seen at any zoom, a displayed pixel well inside a
// block shows the block's colour exactly, smooth or not.
QColor blockColour(int bx, int by) {
    return QColor(30 * bx + 10, 40 * by + 20, 200 - 20 * bx - 10 * by);
}

QImage blocks() {
    QImage image(8 * 64, 6 * 64, QImage::Format_RGBX8888);
    QPainter painter(&image);
    for (int by = 0; by < 6; ++by) {
        for (int bx = 0; bx < 8; ++bx) {
            painter.fillRect(bx * 64, by * 64, 64, 64, blockColour(bx, by));
        }
    }
    return image;
}

const QColor kBackground(1, 2, 3);

// What DrawZoomed leaves in a window showing `area` (displayed pixels) of the picture.
QImage drawn(const QImage& picture, const PicturePyramid& pyramid, double zoom, const QRect& area) {
    QImage window(area.size(), QImage::Format_ARGB32_Premultiplied);
    window.fill(kBackground);
    QPainter painter(&window);
    painter.translate(-area.topLeft());
    DrawZoomed(painter, picture, pyramid, zoom, area);
    return window;
}

TEST(DrawZoomed, ShowsEachBlockInItsOwnColourAtEveryZoom) {
    const QImage picture = blocks();
    const PicturePyramid pyramid = PicturePyramid::Build(picture);
    const double zooms[] = {1.0 / 32, 1.0 / 4, 0.5, 1 / std::sqrt(2.0), 0.6, 1, std::sqrt(2.0), 2, 32};
    for (const PicturePyramid& held : {pyramid, PicturePyramid()}) {  // built, and still building
        for (const double zoom : zooms) {
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << (held.empty() ? " without pyramid" : ""));
            const QSize size = ZoomedSize(picture.size(), zoom);
            // The whole picture and a margin, or at high zoom a window across a block corner.
            const QRect area = zoom <= 2 ? QRect(-5, -3, size.width() + 10, size.height() + 8)
                                         : QRect(int(64 * zoom) - 40, int(64 * zoom) - 30, 80, 60);
            const QImage window = drawn(picture, held, zoom, area);
            for (int y = 0; y < window.height(); ++y) {
                for (int x = 0; x < window.width(); ++x) {
                    const QPoint shown = QPoint(x, y) + area.topLeft();
                    if (shown.x() < 0 || shown.y() < 0 || shown.x() >= size.width() ||
                        shown.y() >= size.height()) {
                        ASSERT_EQ(window.pixelColor(x, y), kBackground)
                            << "outside at " << shown.x() << "," << shown.y();
                        continue;
                    }
                    // Picture coordinates of the displayed pixel's edges: its colour is certain when both
                    // lie in one block, and between levels when a displayed pixel around it does too
                    // (the smoothing reaches that far).
                    const bool between = zoom < 1 && std::exp2(std::round(std::log2(zoom))) != zoom;
                    const double margin = between ? 1 : 0;
                    const int bx0 = int(std::floor((shown.x() - margin) / zoom)) / 64;
                    const int bx1 = int(std::floor((shown.x() + 1 + margin) / zoom - 1e-9)) / 64;
                    const int by0 = int(std::floor((shown.y() - margin) / zoom)) / 64;
                    const int by1 = int(std::floor((shown.y() + 1 + margin) / zoom - 1e-9)) / 64;
                    if (shown.x() - margin >= 0 && shown.y() - margin >= 0 && bx0 == bx1 && by0 == by1 &&
                        bx1 < 8 && by1 < 6) {
                        ASSERT_EQ(window.pixelColor(x, y), blockColour(bx0, by0))
                            << "at " << shown.x() << "," << shown.y();
                    }
                }
            }
        }
    }
}

TEST(DrawZoomed, ZoomedOutPixelsShowThePictureUnderTheirCentres) {
    // Red counts the columns and green the rows: a displayed pixel's colour says which picture point it
    // shows. Smoothing a ramp gives the ramp's value at the pixel's centre, to a rounding either way; the
    // nearest sample, when the pyramid lacks the level, the picture pixel under the centre exactly. Zooms
    // above 1/2 smooth the picture itself and need no level.
    QImage ramp(240, 200, QImage::Format_RGBX8888);
    for (int y = 0; y < ramp.height(); ++y) {
        for (int x = 0; x < ramp.width(); ++x) {
            ramp.setPixelColor(x, y, QColor(x, y, 77));
        }
    }
    const PicturePyramid pyramid = PicturePyramid::Build(ramp);
    for (const double zoom : {0.3, 0.6, 1 / std::sqrt(2.0)}) {
        for (const bool held : {true, false}) {
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << (held ? "" : " without pyramid"));
            const QRect area(QPoint(0, 0), ZoomedSize(ramp.size(), zoom));
            const QImage window = drawn(ramp, held ? pyramid : PicturePyramid(), zoom, area);
            for (int i = 2; i < window.width() - 2 && i < window.height() - 2; ++i) {
                const double centre = (i + 0.5) / zoom;
                const QColor shown = window.pixelColor(i, i);
                if (held || zoom > 0.5) {
                    EXPECT_NEAR(shown.red(), centre - 0.5, 1.5) << "column " << i;
                    EXPECT_NEAR(shown.green(), centre - 0.5, 1.5) << "row " << i;
                } else {
                    EXPECT_EQ(shown.red(), int(std::floor(centre))) << "column " << i;
                    EXPECT_EQ(shown.green(), int(std::floor(centre))) << "row " << i;
                }
                EXPECT_EQ(shown.blue(), 77);
            }
        }
    }
}

TEST(DrawZoomed, SquaresMeetExactlyWhereTheZoomPutsThem) {
    const QImage picture = noise(50, 40);
    const double zooms[] = {2, std::pow(std::sqrt(2.0), 3), 32};
    for (const double zoom : zooms) {
        SCOPED_TRACE(testing::Message() << "zoom " << zoom);
        for (const int p : {1, 7, 33}) {
            // Displayed pixels on both sides of the boundary between picture pixels p - 1 and p, in both
            // directions.
            const int edge = int(std::floor(p * zoom));
            const QRect area(edge - 1, edge - 1, 2, 2);
            const QImage window = drawn(picture, PicturePyramid(), zoom, area);
            EXPECT_EQ(window.pixelColor(0, 0), picture.pixelColor(p - 1, p - 1));
            EXPECT_EQ(window.pixelColor(1, 0), picture.pixelColor(p, p - 1));
            EXPECT_EQ(window.pixelColor(0, 1), picture.pixelColor(p - 1, p));
            EXPECT_EQ(window.pixelColor(1, 1), picture.pixelColor(p, p));
        }
    }
    // Past 32767 displayed pixels: the far end of a wide picture at 32x.
    const QImage wide = noise(2000, 3);
    const QImage window = drawn(wide, PicturePyramid(), 32, QRect(63990, 40, 20, 20));
    EXPECT_EQ(window.pixelColor(0, 0), wide.pixelColor(1999, 1));
    EXPECT_EQ(window.pixelColor(9, 19), wide.pixelColor(1999, 1));
    EXPECT_EQ(window.pixelColor(10, 0), kBackground);
}

TEST(DrawZoomed, PowersOfTwoAreTheLevelsPixelForPixel) {
    const QImage picture = noise(300, 200);
    const PicturePyramid pyramid = PicturePyramid::Build(picture);
    for (const int k : {0, 1, 3, 5}) {
        // The zoom as stepping by the square root of 2 reaches it, rounding errors included.
        double zoom = 1;
        for (int i = 0; i < 2 * k; ++i) {
            zoom /= std::sqrt(2.0);
        }
        const QImage& level = k == 0 ? picture : pyramid.level(k);
        const QRect area(3, 2, level.width() - 3, level.height() - 2);
        EXPECT_EQ(drawn(picture, pyramid, zoom, area).convertToFormat(QImage::Format_RGBX8888),
                  level.copy(area))
            << "level " << k;
    }
}

TEST(PyramidBuilder, DeliversTheLatestPictureWithWhatWasPaintedMeanwhile) {
    QImage picture = noise(300, 200);
    PyramidBuilder builder([&picture]() -> const QImage& { return picture; });
    QSignalSpy spy(&builder, &PyramidBuilder::built);

    builder.start(noise(300, 200, 5));
    builder.cancel();
    builder.start(noise(64, 64, 6));  // replaces a build that still runs
    builder.start(picture);
    EXPECT_TRUE(builder.running());
    QPainter(&picture).fillRect(10, 20, 30, 40, Qt::red);  // the owner's copy detaches
    builder.changed(QRect(10, 20, 30, 40));

    ASSERT_TRUE(spy.wait(10000));
    QCoreApplication::processEvents();  // a stale result would arrive after the good one
    ASSERT_EQ(spy.count(), 1);
    const auto delivered = spy.at(0).at(0).value<PicturePyramid>();
    const PicturePyramid expected = PicturePyramid::Build(picture);
    ASSERT_EQ(delivered.levelCount(), expected.levelCount());
    for (int k = 1; k <= expected.levelCount(); ++k) {
        EXPECT_EQ(delivered.level(k), expected.level(k)) << "level " << k;
    }
    EXPECT_FALSE(builder.running());

    // Destroyed in the middle of a build: it stops and waits, and nothing arrives later.
    auto* doomed = new PyramidBuilder([&picture]() -> const QImage& { return picture; });
    QSignalSpy doomedSpy(doomed, &PyramidBuilder::built);
    doomed->start(noise(2000, 1000));
    delete doomed;
    QCoreApplication::processEvents();
    EXPECT_EQ(doomedSpy.count(), 0);
}

}  // namespace
}  // namespace korvane
