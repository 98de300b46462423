#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "view/ViewTransform.h"

namespace korvane {
namespace {

TEST(ViewTransform, ZoomStepsArePowersOfTheSquareRootOfTwoWithinTheRange) {
    std::vector<double> up{1};
    for (int n = 0; n < 11; ++n) {
        up.push_back(ZoomInStep(up.back()));
    }
    for (int k = 0; k <= 10; ++k) {
        EXPECT_DOUBLE_EQ(up[std::size_t(k)], std::pow(2.0, k / 2.0));
    }
    EXPECT_EQ(up.back(), kMaxZoom) << "the top step stays";
    double down = 1;
    for (int n = 0; n < 11; ++n) {
        down = ZoomOutStep(down);
    }
    EXPECT_EQ(down, kMinZoom);
    // A fitted zoom between steps goes to its neighbours.
    EXPECT_DOUBLE_EQ(ZoomInStep(0.3), std::pow(2.0, -1.5));
    EXPECT_DOUBLE_EQ(ZoomOutStep(0.3), 0.25);
    EXPECT_DOUBLE_EQ(FitZoom(7000, 5000, 1600, 1000), 0.2);
    EXPECT_EQ(FitZoom(100000, 10, 100, 100), kMinZoom);
    EXPECT_EQ(FitZoom(10, 10, 1000, 1000), kMaxZoom);
    EXPECT_EQ(FitZoom(0, 10, 1000, 1000), 1) << "nothing to fit";
}

TEST(ViewTransform, ConversionsRoundTripAndZoomKeepsTheAnchoredPictureUnderThePointer) {
    std::vector<double> zooms{0.3, 3.0};  // fitted zooms between the steps
    for (int step = -10; step <= 10; ++step) {
        zooms.push_back(std::pow(2.0, step / 2.0));
    }
    for (double zoom : zooms) {
        for (ViewPoint origin : {ViewPoint{0, 0}, ViewPoint{-37.5, 12}, ViewPoint{123456, 7}}) {
            SCOPED_TRACE(testing::Message() << "zoom " << zoom << " origin " << origin.x);
            ViewTransform view{zoom, origin.x, origin.y};
            const ViewPoint picture{123.25, 77.5};
            const ViewPoint back = view.toPicture(view.toPane(picture));
            EXPECT_NEAR(back.x, picture.x, 1e-9);
            EXPECT_NEAR(back.y, picture.y, 1e-9);
            const ViewPoint pointer{311, 97};
            for (double to : {ZoomInStep(zoom), ZoomOutStep(zoom), 1.0}) {
                const ViewPoint held = view.toPicture(pointer);
                view.zoomAbout(to, pointer);
                // The panes show whole displayed pixels: the origin rounds, the point stays within half.
                view.originX = std::round(view.originX);
                view.originY = std::round(view.originY);
                const ViewPoint shown = view.toPane(held);
                EXPECT_LE(std::abs(shown.x - pointer.x), 0.5);
                EXPECT_LE(std::abs(shown.y - pointer.y), 0.5);
            }
        }
    }
}

TEST(ViewTransform, AtOneToOneThePictureIsItsOwnSizeAndTheBarsCountEachPixel) {
    EXPECT_EQ(DisplayedExtent(300, 1), 300);
    EXPECT_EQ(DisplayedExtent(7, kMinZoom), 1) << "a picture never vanishes";
    EXPECT_EQ(DisplayedExtent(1000, std::sqrt(0.5)), 708);
    EXPECT_EQ(DisplayedExtent(10000, kMaxZoom), 320000);
    EXPECT_EQ(DisplayedExtent(0, 2), 0);
    EXPECT_EQ(ScrollUnit(32767 + 500, 500), 1);
    EXPECT_EQ(ScrollUnit(100, 500), 1);
    EXPECT_EQ(ScrollUnit(40000, 800), 2);
    EXPECT_EQ(ScrollUnit(320000, 1000), 10);
}

}  // namespace
}  // namespace korvane
