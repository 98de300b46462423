// Automatic alignment on made-up scans whose true mapping is known.

#include <gtest/gtest.h>

#include "align/AutoAlign.h"
#include "support/SyntheticBoard.h"

namespace korvane::testing {
namespace {

double worstCornerError(const AffineMap& found, const AffineMap& truth, int width, int height) {
    double worst = 0;
    for (const auto& [x, y] : {std::pair{0, 0}, {width - 1, 0}, {0, height - 1}, {width - 1, height - 1}}) {
        const auto p = found.map(x, y), q = truth.map(x, y);
        worst = std::max(worst, std::hypot(p.x - q.x, p.y - q.y));
    }
    return worst;
}

TEST(AutoAlign, RecoversKnownMappingsWithinAPixelAtEveryCorner) {
    const struct {
        double degrees, sx, sy, shear;
        bool mirrored;
        int holes;
        unsigned seed;
        bool litThrough = false;
        int chips = 0;  // rows of evenly spaced holes, whose neighbourhoods all look alike
        int size =
            1;  // times 1200 x 900 pixels and the holes' size: 2 has the holes looked for on a reduced copy
    } cases[] = {
        {0, 1, 1, 0, false, 50, 1},
        {1.5, 1.01, 0.99, 0.005, false, 60, 2},
        {-5, 0.95, 1.05, 0.01, false, 80, 3},
        {5, 1.05, 0.96, -0.01, true, 70, 4},
        {-2, 1.02, 1.0, 0.0, true, 40, 5},
        {3, 0.97, 1.03, 0.008, true, 55, 6},
        {-1, 1.0, 1.01, 0.0, true, 60, 7, true},
        {2, 1.01, 1.0, 0.0, true, 90, 8, false, 4},
        {-1.5, 1.0, 0.985, 0.005, true, 70, 9, false, 0, 2},
    };
    for (const auto& c : cases) {
        BoardScene scene;
        scene.holes = c.holes;
        scene.seed = c.seed;
        scene.litThrough = c.litThrough;
        scene.chips = c.chips;
        scene.width *= c.size;
        scene.height *= c.size;
        scene.centreRadius *= c.size;
        scene.ringRadius *= c.size;
        const BoardScans scans =
            MakeBoardScans(scene, SceneMapping(scene, c.degrees, c.sx, c.sy, c.shear, c.mirrored));
        std::string why;
        const auto found = AutoAlign(scans.first.view(), scans.second.view(), nullptr, &why);
        ASSERT_TRUE(found) << "seed " << c.seed << ": " << why;
        const double error = worstCornerError(found->map, scans.truth, scene.width, scene.height);
        EXPECT_LT(error, 1.0) << "seed " << c.seed;
        EXPECT_EQ(found->mirrored, c.mirrored) << "seed " << c.seed;
        EXPECT_GE(found->pairs.size(), std::size_t(c.holes / 2)) << "seed " << c.seed;
        EXPECT_EQ(found->residuals.size(), found->pairs.size());
        EXPECT_LT(found->rms, 1.0) << "seed " << c.seed;
        std::printf("seed %u: worst corner error %.3f px, rms %.3f px, %zu pairs of %d/%d holes\n", c.seed,
                    error, found->rms, found->pairs.size(), found->holes1, found->holes2);
    }
}

TEST(AutoAlign, FailsInOneLineWithoutHolesOrWhenCancelled) {
    BoardScene scene;
    scene.width = 400;
    scene.height = 300;
    scene.holes = 0;
    scene.specks = 0;
    const BoardScans plain = MakeBoardScans(scene, SceneMapping(scene, 1, 1, 1, 0, false));
    std::string why;
    EXPECT_FALSE(AutoAlign(plain.first.view(), plain.second.view(), nullptr, &why));
    EXPECT_NE(why.find("too few drill holes"), std::string::npos) << why;
    EXPECT_EQ(why.find('\n'), std::string::npos);

    // Holes on both, but the second picture's are another board's.
    scene.holes = 40;
    const BoardScans one = MakeBoardScans(scene, AffineMap{});
    scene.seed = 99;
    const BoardScans other = MakeBoardScans(scene, AffineMap{});
    EXPECT_FALSE(AutoAlign(one.first.view(), other.first.view(), nullptr, &why));
    EXPECT_FALSE(why.empty());

    const std::atomic<bool> cancel{true};
    EXPECT_FALSE(AutoAlign(one.first.view(), one.second.view(), &cancel, &why));
    EXPECT_EQ(why, "cancelled");
    EXPECT_FALSE(AutoAlign(ConstImageView(), one.second.view(), nullptr, &why));
    EXPECT_EQ(why, "picture 1 is empty");
}

}  // namespace
}  // namespace korvane::testing
