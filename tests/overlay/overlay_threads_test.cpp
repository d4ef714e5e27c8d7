// The per-thread engine switch of the original entry points, and the engine called from several
// threads at once (run under the tsan preset too): every thread gets exactly the sequential
// results, and one thread's engine choice never reaches another.
#include <gtest/gtest.h>

#include <thread>

#include "overlay/overlay_check.h"
#include "support/overlay_corpus.h"

namespace {

using namespace ovtest;
using gorv_corpus::ToWkt;

TEST(OverlayEngineSwitch, OriginalEntryPointsKeepTheirContract) {
    // Regular 24- and 33-gons, radius 100, centres 50 apart: the modeler gives no result, the
    // overlay engine the union.
    const T_GORV_COMPLEX_POLYGON2D a = MakePoly(RegularPolygon(0, 0, 100, 24));
    const T_GORV_COMPLEX_POLYGON2D b = MakePoly(RegularPolygon(50, 0, 100, 33));
    ASSERT_EQ(CGeomFunc::GetBooleanEngine(), GORV_ENGINE_MODELER);
    Polys out;
    EXPECT_EQ(CGeomFunc::Union2Polygon(a, b, out), 1);
    EXPECT_EQ(out.GetSize(), 0);

    CGeomFunc::SetBooleanEngine(GORV_ENGINE_OVERLAY);
    EXPECT_EQ(CGeomFunc::GetBooleanEngine(), GORV_ENGINE_OVERLAY);
    EXPECT_EQ(CGeomFunc::Union2Polygon(a, b, out), 1);
    ASSERT_EQ(out.GetSize(), 1);
    EXPECT_EQ(CheckResult(out), "");
    EXPECT_EQ(CGeomFunc::Intersect2Polygon(a, b, out), 1);
    EXPECT_EQ(CGeomFunc::Subtract2Polygon(a, b, out, 0.001), 1);
    ASSERT_EQ(out.GetSize(), 3);  // appended, never emptied
    // Empty results, invalid input and a bad tolerance append nothing and still return 1.
    EXPECT_EQ(CGeomFunc::Subtract2Polygon(a, a, out, 0.001), 1);
    EXPECT_EQ(CGeomFunc::Intersect2Polygon(a, MakePoly(Rect(500, 0, 501, 1)), out), 1);
    EXPECT_EQ(CGeomFunc::Union2Polygon(a, MakePoly({{0, 0}, {10, 10}, {10, 0}, {0, 10}}), out), 1);
    EXPECT_EQ(CGeomFunc::Subtract2Polygon(a, b, out, -1.0), 1);
    EXPECT_EQ(out.GetSize(), 3);
    // Subtraction uses the caller's tolerance: a B edge 0.05 inside A's edge is a sliver at 0.1.
    const T_GORV_COMPLEX_POLYGON2D sq = MakePoly(Rect(0, 0, 10, 10));
    const T_GORV_COMPLEX_POLYGON2D cut = MakePoly(Rect(-1, -1, 9.95, 11));
    Polys fine, coarse;
    CGeomFunc::Subtract2Polygon(sq, cut, fine, 0.001);
    CGeomFunc::Subtract2Polygon(sq, cut, coarse, 0.1);
    EXPECT_EQ(fine.GetSize(), 1);
    EXPECT_EQ(coarse.GetSize(), 0);

    // Another thread starts with the modeler.
    GORV_BOOLEAN_ENGINE seen = GORV_ENGINE_OVERLAY;
    std::thread([&seen] { seen = CGeomFunc::GetBooleanEngine(); }).join();
    EXPECT_EQ(seen, GORV_ENGINE_MODELER);
    CGeomFunc::SetBooleanEngine(GORV_ENGINE_MODELER);
    EXPECT_EQ(CGeomFunc::GetBooleanEngine(), GORV_ENGINE_MODELER);
}

struct Case {
    Polys a, b;
    GORV_BOOLEAN_OP op;
};

std::string RunText(const Case& c) {
    Polys out;
    const T_GORV_BOOLEAN_REPORT r = RunOp(c.op, c.a, c.b, out);
    return std::to_string(r.eStatus) + ToWkt(out);
}

TEST(OverlayThreads, ConcurrentCallsMatchSequentialResults) {
    std::vector<Case> cases;
    Rng rng(7);
    for (int i = 0; i < 18; ++i) {
        Case c;
        c.a = One(MakePoly(RegularPolygon(0, 0, 100, 8 + 13 * i), {Reversed(Rect(-10, -10, 10, 10))}));
        c.b = One(MakePoly(StarPolygon(rng, 40, 0, 50, 90, 5 + i, 0.0)));
        c.op = static_cast<GORV_BOOLEAN_OP>(i % 3);
        cases.push_back(c);
    }
    std::vector<std::string> expected;
    for (const Case& c : cases) expected.push_back(RunText(c));

    const int kThreads = 4;
    std::vector<std::vector<std::string>> got(kThreads);
    std::vector<std::thread> pool;
    for (int t = 0; t < kThreads; ++t) {
        pool.emplace_back([&, t] {
            // Odd threads send the original entry points to the overlay engine meanwhile.
            if (t % 2) CGeomFunc::SetBooleanEngine(GORV_ENGINE_OVERLAY);
            got[t].resize(cases.size());
            for (int round = 0; round < 3; ++round)
                for (size_t i = 0; i < cases.size(); ++i) {
                    const size_t k = (i + static_cast<size_t>(t) * 5) % cases.size();
                    const std::string r = RunText(cases[k]);
                    if (round == 0) got[t][k] = r;
                    else if (r != got[t][k]) got[t][k] = "changed between rounds";
                }
            if (CGeomFunc::GetBooleanEngine() != (t % 2 ? GORV_ENGINE_OVERLAY : GORV_ENGINE_MODELER))
                got[t].push_back("engine choice leaked between threads");
        });
    }
    for (auto& th : pool) th.join();
    for (int t = 0; t < kThreads; ++t) {
        SCOPED_TRACE("thread " + std::to_string(t));
        EXPECT_EQ(got[t], expected);
    }
}

}  // namespace
