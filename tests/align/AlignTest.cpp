// The layers' mapping: its fit from point pairs, the residuals and their flags, and how the project
// file keeps it.

#include <gtest/gtest.h>

#include <cmath>

#include "align/Alignment.h"
#include "project/Project.h"
#include "project/ProjectFile.h"
#include "storage/IniDocument.h"

namespace korvane::testing {
namespace {

AffineMap turned(double degrees, double sx, double sy, double shear, bool mirrored, double c, double f) {
    const double t = degrees * M_PI / 180, co = std::cos(t), si = std::sin(t), m = mirrored ? -1 : 1;
    return {co * sx * m, (co * shear - si) * sy, c, si * sx * m, (si * shear + co) * sy, f};
}

std::vector<AlignPair> pairsThrough(const AffineMap& map,
                                    const std::vector<std::pair<double, double>>& points) {
    std::vector<AlignPair> pairs;
    for (const auto& [x, y] : points) {
        const auto q = map.map(x, y);
        pairs.push_back({x, y, q.x, q.y});
    }
    return pairs;
}

void expectNear(const AffineMap& found, const AffineMap& truth, double tolerance) {
    EXPECT_NEAR(found.a, truth.a, tolerance);
    EXPECT_NEAR(found.b, truth.b, tolerance);
    EXPECT_NEAR(found.c, truth.c, tolerance * 1000);
    EXPECT_NEAR(found.d, truth.d, tolerance);
    EXPECT_NEAR(found.e, truth.e, tolerance);
    EXPECT_NEAR(found.f, truth.f, tolerance * 1000);
}

TEST(FitAffine, ThreeOrMorePairsGiveTheMappingThroughThem) {
    const AffineMap maps[] = {
        {},
        turned(1.5, 1.01, 0.985, 0.004, false, 35.5, -12),
        turned(-4, 0.95, 1.05, -0.01, true, 6020, 18),
        turned(90, 2, 2, 0, false, 0, 0),
        // Far from the origin, as a large scan's corner is: centred sums keep the precision.
        turned(0.3, 1, 1.002, 0, false, 40000, 35000),
    };
    const std::vector<std::pair<double, double>> three = {{10, 20}, {4000, 35}, {1200, 5000}};
    const std::vector<std::pair<double, double>> six = {{10, 20},   {4000, 35},   {1200, 5000},
                                                        {30000, 1}, {7, 29000.5}, {25000, 26000}};
    for (const AffineMap& truth : maps) {
        for (const auto* points : {&three, &six}) {
            const auto found = FitAffine(pairsThrough(truth, *points));
            ASSERT_TRUE(found);
            expectNear(*found, truth, 1e-9);
            EXPECT_EQ(found->determinant() < 0, truth.determinant() < 0);
            const auto inverse = found->inverse();
            ASSERT_TRUE(inverse);
            const auto there = found->map(1234.5, -77), back = inverse->map(there.x, there.y);
            EXPECT_NEAR(back.x, 1234.5, 1e-8);
            EXPECT_NEAR(back.y, -77, 1e-8);
        }
    }
}

TEST(FitAffine, NoisyPairsGiveTheLeastSquaresMapping) {
    const AffineMap truth = turned(2, 1.02, 0.99, 0.005, true, 500, 80);
    std::vector<AlignPair> pairs;
    for (int i = 0; i < 40; ++i) {
        const double x = (i * 7919) % 3000, y = (i * 104729) % 2000;
        const auto q = truth.map(x, y);
        // Picking errors of up to a pixel, alternating in sign.
        pairs.push_back({x, y, q.x + std::sin(i * 1.7), q.y + std::cos(i * 2.3)});
    }
    const auto found = FitAffine(pairs);
    ASSERT_TRUE(found);
    // Least squares leaves residuals that no change of the six numbers reduces: they sum to zero, also
    // weighted by x and by y, in each coordinate.
    double sums[6] = {};
    for (const AlignPair& p : pairs) {
        const auto q = found->map(p.x1, p.y1);
        const double rx = q.x - p.x2, ry = q.y - p.y2;
        const double terms[6] = {rx, rx * p.x1, rx * p.y1, ry, ry * p.x1, ry * p.y1};
        for (int k = 0; k < 6; ++k) {
            sums[k] += terms[k];
        }
    }
    for (double sum : sums) {
        EXPECT_NEAR(sum, 0, 1e-6);
    }
    const std::vector<double> residuals = Residuals(*found, pairs);
    double squares = 0;
    for (double r : residuals) {
        squares += r * r;
    }
    EXPECT_NEAR(RootMeanSquare(residuals), std::sqrt(squares / 40), 1e-12);
    EXPECT_GT(RootMeanSquare(residuals), 0.5);
    EXPECT_LT(RootMeanSquare(residuals), 1.0);
    EXPECT_LT(std::abs(found->map(3000, 2000).x - truth.map(3000, 2000).x), 1.0);
}

TEST(FitAffine, TwoPairsGiveTheUnmirroredSimilarity) {
    // Even when the two points were picked on a mirrored scan: two pairs cannot tell a mirror.
    const auto found = FitAffine({{100, 100, 300, 150}, {400, 500, 810, 640}});
    ASSERT_TRUE(found);
    EXPECT_DOUBLE_EQ(found->a, found->e);
    EXPECT_DOUBLE_EQ(found->b, -found->d);
    EXPECT_GT(found->determinant(), 0);
    for (const AlignPair& p : {AlignPair{100, 100, 300, 150}, AlignPair{400, 500, 810, 640}}) {
        const auto q = found->map(p.x1, p.y1);
        EXPECT_NEAR(q.x, p.x2, 1e-9);
        EXPECT_NEAR(q.y, p.y2, 1e-9);
    }
}

TEST(FitAffine, RefusesPairsThatDecideNoMapping) {
    const double nan = std::nan("");
    const std::vector<std::vector<AlignPair>> cases = {
        {},
        {{1, 2, 3, 4}},
        {{5, 5, 10, 10}, {5, 5, 20, 20}},                                    // coincident on picture 1
        {{5, 5, 10, 10}, {50, 5, 10, 10}},                                   // coincident on picture 2
        {{0, 0, 0, 0}, {10, 10, 10, 12}, {20, 20, 20, 25}},                  // collinear on picture 1
        {{0, 0, 0, 0}, {10, 10, 10, 12}, {20, 20, 20, 25}, {35, 35, 1, 1}},  // still one line
        {{0, 0, 0, 0}, {10, 0, 10, 10}, {0, 10, 20, 20}},                    // picture 2 squashed to a line
        {{0, 0, 0, 0}, {10, 0, 10, 0}, {0, 10, 0, nan}},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_FALSE(FitAffine(cases[i])) << i;
    }
    EXPECT_FALSE((AffineMap{1, 2, 0, 2, 4, 0}.inverse()));
    EXPECT_TRUE((AffineMap{-1, 0, 5, 0, 1, 0}.inverse()));
}

TEST(Residuals, PairsFarWorseThanTheMedianAreFlagged) {
    const struct {
        std::vector<double> residuals;
        std::vector<bool> flagged;
    } cases[] = {
        {{}, {}},
        {{0.4, 0.5, 0.6, 2.0}, {false, false, false, true}},  // median 0.55: 2.0 is beyond 1.65
        {{0.4, 0.5, 0.6, 1.6}, {false, false, false, false}},
        {{1, 1, 1, 3.5, 10}, {false, false, false, true, true}},
        // Most pairs exact: the median is 0, and only residuals of half a pixel or more count.
        {{0, 0, 0, 0.3, 0.8}, {false, false, false, false, true}},
        {{0.1, 0.1, 0.1, 0.45}, {false, false, false, false}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FlagOutliers(c.residuals), c.flagged);
    }
    EXPECT_EQ(RootMeanSquare({}), 0);
    EXPECT_DOUBLE_EQ(RootMeanSquare({3, 4}), std::sqrt(12.5));
}

// ---- The project file ----------------------------------------------------------------------------

const char* const kProjectText =
    "[FilePathSection]\r\nPicture1=a.png\r\nPicture2=b.png\r\nX=1\r\nY=1\r\n\r\n"
    "[Pad1]\r\nPad=1\r\nNet=GND\r\nComp=R1\r\n1Pad=10,20\r\n2Pad=11,21\r\n\r\n";

TEST(AlignmentFile, WritesExactNumbersAtTheEndAndReadsThemBack) {
    IniDocument doc;
    doc.LoadFromText(kProjectText);
    const std::string before = doc.ToText();
    WriteAlignment(doc, std::nullopt);
    EXPECT_EQ(doc.ToText(), before);  // a project without an alignment stays as it was

    Alignment alignment;
    alignment.map = {0.1, 1.0 / 3, -1e-7, -0.0, 1.0000000000000002, 12345678.9};
    alignment.pairs = {{1, 2, 3.25, -4}, {0.1, 1e-300, 5e6, 7}};
    WriteAlignment(doc, alignment);
    EXPECT_EQ(doc.ToText(), before +
                                "[AlignmentSection]\r\n"
                                "Matrix=0.1,0.3333333333333333,-1e-07,0,1.0000000000000002,12345678.9\r\n"
                                "Pairs=2\r\nPair1=1,2,3.25,-4\r\nPair2=0.1,1e-300,5e+06,7\r\n\r\n");
    std::string why = "old";
    const auto read = ReadAlignment(doc, &why);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, alignment);
    EXPECT_EQ(why, "");

    // Rewriting replaces the section, also a duplicate of it, and None removes it.
    doc.LoadFromText(before +
                     "[AlignmentSection]\r\nMatrix=2,0,0,0,2,0\r\n\r\n[Other]\r\nK=V\r\n\r\n"
                     "[AlignmentSection]\r\nMatrix=3,0,0,0,3,0\r\n\r\n");
    alignment.pairs.clear();
    WriteAlignment(doc, alignment);
    EXPECT_EQ(doc.SectionName(doc.SectionsCount()), "AlignmentSection");
    EXPECT_EQ(doc.SectionName(doc.SectionsCount() - 1), "Other");
    EXPECT_EQ(ReadAlignment(doc), alignment);
    WriteAlignment(doc, std::nullopt);
    EXPECT_FALSE(doc.SectionExists("AlignmentSection"));
    EXPECT_FALSE(ReadAlignment(doc, &why));
    EXPECT_EQ(why, "");
}

TEST(AlignmentFile, DamagedSectionsMeanNoAlignmentAndSayWhy) {
    const struct {
        const char* section;
        const char* reason;  // part of why
    } cases[] = {
        {"Matrix=1,0,0,0,1\r\n", "not six numbers"},
        {"Matrix=1,0,0,0,1,0,0\r\n", "not six numbers"},
        {"Matrix=1,0,0,0,1,x\r\n", "not six numbers"},
        {"Matrix=1,0,0,0,1,nan\r\n", "not six numbers"},
        {"Matrix=1,0,0,0,1,1e999\r\n", "not six numbers"},
        {"Pairs=0\r\n", "not six numbers"},
        {"Matrix=1,2,0,2,4,0\r\n", "cannot be inverted"},
        {"Matrix=1,0,0,0,1,0\r\nPairs=-1\r\n", "pair count"},
        {"Matrix=1,0,0,0,1,0\r\nPairs=two\r\n", "pair count"},
        {"Matrix=1,0,0,0,1,0\r\nPairs=99999999999\r\n", "pair count"},
        {"Matrix=1,0,0,0,1,0\r\nPairs=2\r\nPair1=1,2,3,4\r\n", "Pair2"},
        {"Matrix=1,0,0,0,1,0\r\nPairs=1\r\nPair1=1,2,3\r\n", "Pair1"},
        {"Matrix=1,0,0,0,1,0\r\nPairs=1\r\nPair1=1,2,3,1e12\r\n", "outside"},
    };
    for (const auto& c : cases) {
        IniDocument doc;
        doc.LoadFromText(std::string(kProjectText) + "[AlignmentSection]\r\n" + c.section);
        std::string why;
        EXPECT_FALSE(ReadAlignment(doc, &why)) << c.section;
        EXPECT_NE(why.find(c.reason), std::string::npos) << c.section << " -> " << why;
        EXPECT_EQ(why.find('\n'), std::string::npos);
    }
    // Blanks and letter case are as forgiving as elsewhere in the file; missing pairs are none.
    IniDocument doc;
    doc.LoadFromText(std::string(kProjectText) + "[alignmentsection]\r\nmatrix= 1, 0 ,+5,0,1,-2 \r\n");
    const auto read = ReadAlignment(doc);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->map, (AffineMap{1, 0, 5, 0, 1, -2}));
    EXPECT_TRUE(read->pairs.empty());
}

TEST(AlignmentFile, OpeningAndSavingAProjectKeepsItsAlignment) {
    Project project;
    project.doc.LoadFromText(std::string(kProjectText) +
                             "[AlignmentSection]\r\nMatrix=-1,0,800,0,1,3\r\nPairs=1\r\nPair1=1,2,799,5\r\n");
    OpenedProject opened = ReadProjectModel(project);
    ASSERT_TRUE(project.alignment);
    EXPECT_EQ(project.alignment->map, (AffineMap{-1, 0, 800, 0, 1, 3}));
    EXPECT_EQ(project.alignment->pairs, (std::vector<AlignPair>{{1, 2, 799, 5}}));
    EXPECT_EQ(opened.alignmentProblem, "");

    IniDocument saved;
    saved.LoadFromText(kProjectText);
    WriteProjectModel(project, opened.values, saved);
    EXPECT_EQ(ReadAlignment(saved), project.alignment);

    // Without an alignment nothing of it reaches the file; a damaged one is reported and dropped.
    Project plain;
    plain.doc.LoadFromText(std::string(kProjectText) + "[AlignmentSection]\r\nMatrix=1,0\r\n");
    opened = ReadProjectModel(plain);
    EXPECT_FALSE(plain.alignment);
    EXPECT_NE(opened.alignmentProblem.find("not six numbers"), std::string::npos);
    WriteProjectModel(plain, opened.values, saved);
    EXPECT_FALSE(saved.SectionExists("AlignmentSection"));
}

}  // namespace
}  // namespace korvane::testing
