// Closed loops of plane sections: outer boundary, leftmost-turn rebuild, twins, loop kinds,
// domains with holes and islands, triangle domains, and the winding threshold.
#include <gorv/gorv_base.h>

#include "support/sect_build.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

namespace {

using sect_test::Ring;
using sect_test::Square;

// Section points 1, 2, ... at the given coordinates.
void AddPoints(T_SM_SECTION& sec, const std::vector<T_GORV_POINT2D>& xy) {
    for (std::size_t i = 0; i < xy.size(); ++i)
        sec.mapPoint.InsertCopy(T_SM_POINT{static_cast<int>(i) + 1, 0, xy[i].x, xy[i].y, 0, 0, 0});
}

double TriArea(const T_SM_SECTION& s, const T_SM_TRIANGLE& t) {
    const T_SM_POINT *p0 = s.mapPoint.Find(t.aPointId[0]), *p1 = s.mapPoint.Find(t.aPointId[1]),
                     *p2 = s.mapPoint.Find(t.aPointId[2]);
    return 0.5 * ((p1->dX - p0->dX) * (p2->dY - p0->dY) - (p2->dX - p0->dX) * (p1->dY - p0->dY));
}

TEST(BuildSectionLoops, SquareIsOneCounterClockwiseDomainOfTwoTriangles) {
    CSectModel m(0.001);
    std::vector<int> ids = Ring(m, Square(0, 0, 1));
    const int s = m.GenerateSection(ids);
    ASSERT_EQ(s, 1);
    const T_SM_SECTION* sec = m.GetSection(s);
    ASSERT_EQ(sec->mapLoop.size(), 1u);
    EXPECT_EQ(sec->mapLoop.Find(1)->nKind, 1);
    EXPECT_EQ(sec->mapLoop.Find(1)->aCurveId, (std::vector<int>{1, 2, 3, 4}));
    ASSERT_EQ(sec->mapDomain.size(), 1u);
    EXPECT_TRUE(sec->mapDomain.Find(1)->bActive);
    // Max-angle candidates with first-found tie-break: (1,2,3) then (3,4,1).
    ASSERT_EQ(sec->mapTriangle.size(), 2u);
    auto tri = [sec](int id) {
        const T_SM_TRIANGLE* t = sec->mapTriangle.Find(id);
        return std::vector<int>{t->aPointId[0], t->aPointId[1], t->aPointId[2], t->nDomainId};
    };
    EXPECT_EQ(tri(1), (std::vector<int>{1, 2, 3, 1}));
    EXPECT_EQ(tri(2), (std::vector<int>{3, 4, 1, 1}));
    EXPECT_EQ(sec->strName, CString(L"NULL"));
}

TEST(BuildSectionLoops, DiagonalSplitsSquareIntoTwoDomainsWithTwin) {
    CSectModel m(0.001);
    std::vector<int> ids = Ring(m, Square(0, 0, 1));
    ids.push_back(m.AddLineCurve(0, 0, 1, 1));
    const int s = m.GenerateSection(ids);
    ASSERT_NE(s, 0);
    const T_SM_SECTION* sec = m.GetSection(s);
    ASSERT_EQ(sec->mapLoop.size(), 2u);
    for (int l : {1, 2}) EXPECT_EQ(sec->mapLoop.Find(l)->nKind, 1);
    EXPECT_EQ(sec->mapLoop.Find(1)->aCurveId, (std::vector<int>{1, 2, 5}));
    EXPECT_EQ(sec->mapLoop.Find(2)->aCurveId, (std::vector<int>{3, 4, 6}));
    // The diagonal was turned by the outer trace (3 -> 1); its twin runs 1 -> 3.
    const T_SM_SECT_CURVE* d = sec->mapCurve.Find(5);
    const T_SM_SECT_CURVE* tw = sec->mapCurve.Find(6);
    ASSERT_TRUE(d && tw);
    EXPECT_EQ(d->aPointId, (std::vector<int>{3, 1}));
    EXPECT_EQ(tw->aPointId, (std::vector<int>{1, 3}));
    EXPECT_EQ(d->nTwinId, 6);
    EXPECT_EQ(tw->nTwinId, 5);
    ASSERT_EQ(sec->mapDomain.size(), 2u);
    ASSERT_EQ(sec->mapTriangle.size(), 2u);
    for (int k : {1, 2}) {  // domain k: loop k, active, holding triangle k
        EXPECT_EQ(sec->mapDomain.Find(k)->aLoopId, std::vector<int>{k});
        EXPECT_TRUE(sec->mapDomain.Find(k)->bActive);
        EXPECT_EQ(sec->mapTriangle.Find(k)->nDomainId, k);
    }
}

TEST(BuildSectionLoops, HoleBecomesInactiveDomainAndHoleRingOfOuterDomain) {
    CSectModel m(0.001);
    std::vector<int> ids = Ring(m, Square(0, 0, 10));
    std::vector<int> hole = Ring(m, Square(4, 4, 2));
    ids.insert(ids.end(), hole.begin(), hole.end());
    const int s = m.GenerateSection(ids);
    ASSERT_NE(s, 0);
    const T_SM_SECTION* sec = m.GetSection(s);
    std::map<int, int> kindCount;
    for (const auto& kv : sec->mapLoop) ++kindCount[kv.second->nKind];
    EXPECT_EQ(kindCount, (std::map<int, int>{{1, 2}, {2, 1}}));
    ASSERT_EQ(sec->mapDomain.size(), 2u);
    int nActive = 0;
    std::map<int, double> area;  // domain -> triangle area
    for (const auto& kv : sec->mapDomain) {
        const T_SM_DOMAIN* dom = kv.second;
        const T_SM_LOOP* first = sec->mapLoop.Find(dom->aLoopId[0]);
        EXPECT_EQ(first->nKind, 1);
        if (dom->bActive) {
            ++nActive;
            ASSERT_EQ(dom->aLoopId.size(), 2u);  // outer ring, then the clockwise hole ring
            EXPECT_EQ(sec->mapLoop.Find(dom->aLoopId[1])->nKind, 2);
        } else {
            EXPECT_EQ(dom->aLoopId.size(), 1u);  // the hole's own ring, island removed from outside
        }
    }
    EXPECT_EQ(nActive, 1);
    for (const auto& kv : sec->mapTriangle) area[kv.second->nDomainId] += TriArea(*sec, *kv.second);
    for (const auto& kv : sec->mapDomain) {
        SCOPED_TRACE(kv.first);
        EXPECT_NEAR(area[kv.first], kv.second->bActive ? 96.0 : 4.0, 1e-9);
    }
}

TEST(IsPointInLoop, ThresholdIsStrictlyAboveThreeHundredFifty) {
    // A counter-clockwise fan about the origin spanning theta degrees: its winding sum about the
    // origin is theta (the two sides through the origin contribute nothing).
    struct Case {
        double theta;
        bool inside;
    };
    const Case cases[] = {{349.0, false}, {349.99, false}, {350.01, true}, {351.0, true}, {90.0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.theta);
        T_SM_SECTION sec;
        T_SM_LOOP loop;
        const int n = 8;
        std::vector<T_GORV_POINT2D> xy(1, T_GORV_POINT2D{0.0, 0.0});
        std::vector<int> pts(1, 1);
        for (int k = 0; k <= n; ++k) {
            const double a = (c.theta * k / n) * std::acos(-1.0) / 180.0;
            xy.push_back({std::cos(a), std::sin(a)});
            pts.push_back(k + 2);
        }
        pts.push_back(1);
        AddPoints(sec, xy);
        T_SM_SECT_CURVE curve;
        curve.nId = 1;
        curve.aPointId = pts;
        sec.mapCurve.InsertCopy(curve);
        loop.aCurveId = {1};
        CSectModel m(0.001);
        EXPECT_EQ(m.IsPointInLoop(&sec, T_GORV_POINT2D{0.0, 0.0}, &loop), c.inside);
        // Backward run of the same curve: same magnitude, opposite sign.
        loop.aCurveId = {-1};
        EXPECT_EQ(m.IsPointInLoop(&sec, T_GORV_POINT2D{0.0, 0.0}, &loop), c.inside);
    }
    CSectModel m(0.001);
    T_SM_SECTION sec;
    T_SM_LOOP empty;
    EXPECT_FALSE(m.IsPointInLoop(&sec, T_GORV_POINT2D{0.0, 0.0}, &empty));
    empty.aCurveId = {42};  // missing curve
    EXPECT_FALSE(m.IsPointInLoop(&sec, T_GORV_POINT2D{0.0, 0.0}, &empty));
    EXPECT_FALSE(m.IsPointInLoop(nullptr, T_GORV_POINT2D{0.0, 0.0}, &empty));
}

TEST(LoopTestPoint, LeftOfMiddleSegmentOfLowestCurveOrItsMiddleForChains) {
    T_SM_SECTION sec;
    AddPoints(sec, {{0, 0}, {2, 0}, {4, 0}, {4, 2}});
    T_SM_SECT_CURVE c;
    c.nId = 7;
    c.aPointId = {1, 2, 3};  // n = 3: A = point 0, B = point 1
    sec.mapCurve.InsertCopy(c);
    c.nId = 9;
    c.aPointId = {3, 4};
    sec.mapCurve.InsertCopy(c);
    CSectModel m(0.001);
    T_SM_LOOP loop;
    loop.aCurveId = {9, -7};
    T_GORV_POINT2D p = m.LoopTestPoint(&sec, &loop);
    EXPECT_DOUBLE_EQ(p.x, 1.0);
    EXPECT_DOUBLE_EQ(p.y, 0.001);
    loop.nKind = 3;
    p = m.LoopTestPoint(&sec, &loop);
    EXPECT_DOUBLE_EQ(p.x, 1.0);
    EXPECT_DOUBLE_EQ(p.y, 0.0);
}

TEST(NextLoopCurve, LeftmostTurnWinsAndTiesKeepFirstLink) {
    // Junction at the origin; the current curve arrives from (-1, 0).
    T_SM_SECTION sec;
    AddPoints(sec, {{-1, 0}, {0, 0}, {0, 1}, {0, -1}, {1, 0}});
    auto add = [&](int id, std::vector<int> pts) {
        T_SM_SECT_CURVE c;
        c.nId = id;
        c.aPointId = pts;
        c.nUse = 3;
        sec.mapCurve.InsertCopy(c);
    };
    add(1, {1, 2});
    add(2, {2, 4});  // right turn, leaves at its start
    add(3, {5, 2});  // straight on, reached at its end
    add(4, {2, 3});  // left turn
    CSectModel m(0.001);
    T_SM_SECT_CURVE* cur = sec.mapCurve.Find(1);
    cur->aEndLink = {{2, true}, {3, false}, {4, true}};
    EXPECT_EQ(m.NextLoopCurve(&sec, 1), 4);
    sec.mapCurve.Find(4)->nUse = 0;  // used up: straight on is next best, run backward
    EXPECT_EQ(m.NextLoopCurve(&sec, 1), -3);
    cur->aEndLink = {{2, true}, {2, true}};
    EXPECT_EQ(m.NextLoopCurve(&sec, 1), 2);
    cur->aEndLink = {{4, true}};  // a single link is taken only while its curve has a use left
    EXPECT_EQ(m.NextLoopCurve(&sec, 1), 0);
    cur->aEndLink = {{3, false}};
    EXPECT_EQ(m.NextLoopCurve(&sec, 1), -3);
    EXPECT_EQ(m.NextLoopCurve(&sec, -1), 0);  // no links at its start
}

}  // namespace
