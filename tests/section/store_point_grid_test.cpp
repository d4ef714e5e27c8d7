// Snapping on models large enough for the point grid: every answer must equal the plain pass in
// ascending id order, through insertions, removals, moves, undo, rollback and direct table edits.
#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <thread>
#include <vector>

namespace {

// The rule itself: the first point in id order inside the box and strictly inside the distance.
int FirstMatch(const CSectModel& m, double x, double y) {
    const double tol = m.m_dTolerance;
    for (const auto& kv : m.m_mapPoint) {
        const T_SM_POINT* p = kv.second;
        if (std::fabs(p->dX - x) > tol || std::fabs(p->dY - y) > tol) continue;
        if (std::sqrt((p->dX - x) * (p->dX - x) + (p->dY - y) * (p->dY - y)) < tol) return p->nId;
    }
    return 0;
}

// Probes around random points at offsets on both sides of the tolerance, plus random spots.
void ExpectSameAsPass(const CSectModel& m, std::mt19937& rng, int nProbes) {
    const std::vector<int> ids = m.m_mapPoint.Ids();
    const double tol = m.m_dTolerance;
    const double f[] = {0.0, 0.5, std::nextafter(1.0, 0.0), 1.0, 1.0000001, 1.5, 2.0, 2.0000001};
    for (int k = 0; k < nProbes && !ids.empty(); ++k) {
        const T_SM_POINT* p = m.GetPoint(ids[rng() % ids.size()]);
        const double a = (rng() % 16) * 0.39269908169872414;
        const double x = p->dX + f[rng() % 8] * tol * std::cos(a), y = p->dY + f[rng() % 8] * tol * std::sin(a);
        SCOPED_TRACE(testing::Message() << "probe " << k << " at " << x << ", " << y);
        ASSERT_EQ(m.FindPoint(x, y), FirstMatch(m, x, y));
    }
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    const double aOdd[][2] = {{nan, 0.0}, {inf, 0.0}, {1e300, 1e300}, {-3.0, 2.5}};
    for (const auto& q : aOdd) ASSERT_EQ(m.FindPoint(q[0], q[1]), FirstMatch(m, q[0], q[1]));
}

TEST(FindPoint, GridAnswersAsThePassThroughEdits) {
    std::mt19937 rng(7);
    CSectModel m(0.01);
    // Clustered ends on a coarse lattice so that many points lie near cell borders and each other.
    std::uniform_int_distribution<int> lat(-80, 80);
    std::vector<int> curves;
    for (int k = 0; k < 1500; ++k) {
        // One draw per statement: the order of draws within an expression differs by compiler.
        double x = lat(rng) * 0.01;
        x += (rng() % 3) * 0.004;
        double y = lat(rng) * 0.01;
        y -= (rng() % 3) * 0.006;
        const double dy = 0.007 * (rng() % 4);
        const double dx = 0.013 * (1 + rng() % 3);
        const int c = m.AddLineCurve(x, y, x + dx, y + dy);
        if (c > 0) curves.push_back(c);
    }
    ASSERT_GT(m.m_mapPoint.size(), 1100u);  // large enough for the grid
    ExpectSameAsPass(m, rng, 3000);

    // Far and non-finite points live outside the cells but still count.
    m.m_mapPoint.InsertCopy(T_SM_POINT{0, 0, 1e300, 1e300, 0, 0, 0});
    m.m_mapPoint.InsertCopy(T_SM_POINT{-5, 0, std::nan(""), 0.1, 0, 0, 0});
    m.m_mapPoint.InsertCopy(T_SM_POINT{-4, 0, 1e12, 0.0, 0, 0, 0});
    EXPECT_EQ(m.FindPoint(1e12, 0.0005), -4);
    ExpectSameAsPass(m, rng, 500);

    std::vector<int> del(curves.begin(), curves.begin() + 60);
    ASSERT_TRUE(m.DeleteCurves(del, true, false, true));
    ASSERT_GE(m.m_mapPoint.size(), 1024u);
    ExpectSameAsPass(m, rng, 1000);
    m.Undo();
    ExpectSameAsPass(m, rng, 1000);

    std::vector<int> pts = m.m_mapPoint.Ids();
    pts.erase(pts.begin(), pts.begin() + 2);
    m.EqualizePointsInTolerance(pts, false, 0, 0, true, false, true, 0.02);  // merges and moves points
    ExpectSameAsPass(m, rng, 1000);
    m.Rollback();
    ExpectSameAsPass(m, rng, 1000);

    // Changes the grid cannot see: a new tolerance and a record erased directly.
    m.m_dTolerance = 0.004;
    ExpectSameAsPass(m, rng, 1000);
    m.m_mapPoint.Erase(m.m_mapPoint.Ids()[10]);
    ExpectSameAsPass(m, rng, 1000);
}

TEST(FindPoint, LowerIdWinsOverNearerPointOnLargeModel) {
    CSectModel m(1e-6);  // fine while building, so that the two test points stay apart
    for (int k = 0; k < 600; ++k) ASSERT_GT(m.AddLineCurve(k, 5, k + 0.5, 5), 0);  // grid-sized model
    const int nFar = m.AddLineCurve(10.0009, 0, 12, 0);
    const int nNear = m.AddLineCurve(9.9999, 0.0, 13, 1);
    ASSERT_GT(nNear, nFar);
    m.m_dTolerance = 0.001;
    const int nFarPt = m.GetCurve(nFar)->aPointId[0];
    EXPECT_EQ(m.FindPoint(10.0, 0.0), nFarPt);
    EXPECT_EQ(m.FindPoint(10.00089, 0.0), nFarPt);
    EXPECT_EQ(m.FindPoint(9.9991, 0.0), m.GetCurve(nNear)->aPointId[0]);
}

// Lookups are reads: threads sharing one large model whose grid is stale (records inserted
// directly) must all get the pass's answers, the grid being built once under them.
TEST(FindPointThreads, ConcurrentLookupsOnAStaleGridAgree) {
    CSectModel m(0.01);
    for (int k = 0; k < 1500; ++k) {
        const double x = (k % 50) * 0.05, y = (k / 50) * 0.05;
        m.m_mapPoint.InsertCopy(T_SM_POINT{k + 1, 0, x, y, 0, 0, 0});
    }
    std::vector<double> aQuery;
    std::vector<int> aWant;
    for (int k = 0; k < 3000; ++k) {
        const double x = (k % 60) * 0.0417, y = (k / 60) * 0.0301;
        aQuery.push_back(x);
        aQuery.push_back(y);
        aWant.push_back(FirstMatch(m, x, y));
    }
    ASSERT_GT(std::count_if(aWant.begin(), aWant.end(), [](int n) { return n != 0; }), 100);
    std::vector<int> aBad(4, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t]() {
            for (std::size_t q = 0; q < aWant.size(); ++q)
                if (m.FindPoint(aQuery[2 * q], aQuery[2 * q + 1]) != aWant[q]) ++aBad[static_cast<std::size_t>(t)];
        });
    }
    for (std::thread& th : threads) th.join();
    EXPECT_EQ(aBad, std::vector<int>(4, 0));
}

}  // namespace
