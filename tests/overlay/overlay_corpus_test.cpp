// The engine on generated and stored polygon pairs: every result valid, the areas consistent with
// the inclusion-exclusion identities, and the stored pairs' areas equal to the reference areas up
// to the snapping (tolerance x perimeters).
#include <gtest/gtest.h>

#include "overlay/overlay_check.h"
#include "support/overlay_corpus.h"

namespace {

using namespace ovtest;
using gorv_corpus::ToWkt;

TEST(OverlayCorpus, StoredPairsMatchReferenceAreas) {
    const char* files[] = {"ngon_24_33.txt", "ngon_2048.txt", "grid1_143.txt", "grid1_577.txt", "grid1_939.txt"};
    for (const char* f : files) {
        SCOPED_TRACE(f);
        gorv_corpus::Case c;
        double expect[3];
        ASSERT_TRUE(gorv_corpus::ReadCaseFile(std::string(GORV_TEST_DATA_DIR) + "/overlay/data/" + f, c, expect));
        ASSERT_TRUE(expect[0] >= 0 && expect[1] >= 0 && expect[2] >= 0);
        ASSERT_TRUE(c.a.size() == 1 && c.b.size() == 1);
        const Polys a = gorv_corpus::ToArray(c.a), b = gorv_corpus::ToArray(c.b);
        const double bound = 0.001 * (Perimeter(a) + Perimeter(b));
        const GORV_BOOLEAN_OP ops[3] = {GORV_BOOLEAN_UNION, GORV_BOOLEAN_INTERSECT, GORV_BOOLEAN_SUBTRACT};
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(k);
            Polys out;
            const T_GORV_BOOLEAN_REPORT r = RunOp(ops[k], a, b, out);
            ASSERT_EQ(r.eStatus, GORV_BOOLEAN_RESULT) << r.strMessage;
            EXPECT_EQ(CheckResult(out), "");
            EXPECT_NEAR(Area(out), expect[k], bound);
        }
        EXPECT_EQ(CheckIdentities(a, b, 0.001), "");
    }
}

TEST(OverlayCorpus, RegularPolygonPairsAtManyOffsetsAndTurns) {
    const int sizes[] = {3, 4, 5, 7, 8, 13, 24, 33, 64, 100, 128, 256};
    int nCases = 0;
    for (const int n : sizes) {
        for (const int m : sizes) {
            if ((n * 7 + m) % 3 != 0 && n != m) continue;  // a spread of the pairs keeps the test short
            for (int k = 0; k < 4; ++k) {
                const double off[4] = {50.0, 0.0, 100.0, 13.37};
                const double turn = 360.0 / m * (k == 0 ? 0.0 : k == 1 ? 0.5 : k == 2 ? 1.0 / 3 : 0.25);
                const Polys a = One(MakePoly(RegularPolygon(0, 0, 100, n)));
                const Polys b = One(MakePoly(RegularPolygon(off[k], k == 3 ? 7.0 : 0.0, 100, m, turn)));
                SCOPED_TRACE(std::to_string(n) + " " + std::to_string(m) + " " + std::to_string(k));
                ASSERT_EQ(CheckIdentities(a, b, 0.001), "");
                ++nCases;
            }
        }
    }
    EXPECT_GT(nCases, 100);
}

TEST(OverlayCorpus, RandomStarsWithSharedVerticesAndHoles) {
    Rng rng(11);
    for (int i = 0; i < 400; ++i) {
        SCOPED_TRACE(i);
        const double grid = i % 3 == 0 ? 1.0 : i % 3 == 1 ? 0.5 : 0.0;
        const int n = rng.Int(3, 24), m = rng.Int(3, 24);
        Polys a = One(MakePoly(StarPolygon(rng, 0, 0, 10, 20, n, grid)));
        Polys b = One(MakePoly(StarPolygon(rng, rng.Uniform(-10, 10), rng.Uniform(-10, 10), 10, 20, m, grid)));
        if (i % 4 == 1) a[0].holes.Add(MakeRing(Reversed(Rect(-2, -2, 2, 2))));
        if (i % 5 == 2) b.Add(MakePoly(StarPolygon(rng, rng.Uniform(-10, 10), 0, 6, 12, rng.Int(3, 8), grid)));
        if (i % 7 == 3) b.Add(MakePoly(Rect(-30, -1, 30, 1)));  // a long thin member across
        const std::string why = CheckIdentities(a, b, 0.001);
        ASSERT_EQ(why, "") << ToWkt(a) << "\n" << ToWkt(b);
    }
}

}  // namespace
