// Polyline and polygon predicates: orientation, crossings, point in polygon, offsets, local axes.
#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "geom/near.h"

namespace {

using M = CGorvMathFunc;

CArray<T_GORV_POINT3D> Poly3(std::initializer_list<T_GORV_POINT3D> pts) {
    CArray<T_GORV_POINT3D> a;
    for (const auto& p : pts) a.Add(p);
    return a;
}

TEST(SegmentCrossing, ProperTouchingAndApart) {
    const struct { double p[4][2]; int expect; } cases[] = {
        {{{0, 0}, {2, 2}, {0, 2}, {2, 0}}, 1},  {{{0, 0}, {1, 0}, {1, 0}, {2, 5}}, 0},
        {{{0, 0}, {1, 0}, {2, 0}, {3, 0}}, -1}, {{{0, 0}, {2, 0}, {1, 0}, {3, 0}}, 0},
        {{{2, 0}, {0, 0}, {3, 0}, {1, 0}}, 0},  {{{0, 0}, {0, 2}, {0, 3}, {0, 5}}, -1},
        {{{0, 0}, {0, 2}, {0, 2}, {0, 5}}, 0},  {{{0, 0}, {2, 0}, {1, 1e-11}, {1, 5}}, 0},
        {{{0, 0}, {2, 0}, {1, 1e-9}, {1, 5}}, -1}, {{{0, 0}, {4, 0}, {2, -1}, {2, 1}}, 1},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(testing::Message() << t.p[2][0] << "," << t.p[2][1] << " " << t.p[3][0] << "," << t.p[3][1]);
        EXPECT_EQ(M::mathIntersect_ccw2D(t.p[0], t.p[1], t.p[2], t.p[3]), t.expect);
    }
    EXPECT_EQ(M::math_ccw(0, 0, 1, 0, 0, -1), -1);
    EXPECT_EQ(M::math_ccw(0, 0, 1, 0, 5, 0.9e-10), 0);
}

TEST(PointInPolygon, BoundaryCentreAndVertexLevel) {
    const double sq[4][2] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
    // A boundary point gives the caller's level. Diamond: the ray from its centre passes exactly
    // through the right vertex, which counts once.
    const double dia[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
    const struct { double p[2]; int n; const double (*poly)[2]; int level, want; } cases[] = {
        {{1, 0}, 4, sq, 7, 7}, {{1, 0}, 4, sq, 0, 0}, {{1, 1}, 4, sq, 0, 1},   {{3, 1}, 4, sq, 1, 0},
        {{0, 0}, 4, dia, 5, 1}, {{-2, 0}, 4, dia, 5, 0}, {{0, 0}, 0, dia, 5, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(M::mathIsInsidePoint2D(c.p, c.n, c.poly, c.level), c.want) << c.p[0] << "," << c.p[1] << " n " << c.n;

    // Two independent tests agree on random star polygons away from the boundary.
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> u(0, 1);
    for (int iter = 0; iter < 300; ++iter) {
        const int n = 3 + iter % 9;
        double pts[12][2];
        CArray<T_GORV_POINT2D> arr;
        for (int i = 0; i < n; ++i) {
            const double t = 2 * std::acos(-1.0) * (i + 0.5 * u(rng)) / n, r = 1 + 4 * u(rng);
            pts[i][0] = r * std::cos(t);
            pts[i][1] = r * std::sin(t);
            arr.Add(T_GORV_POINT2D{pts[i][0], pts[i][1]});
        }
        const double p[2] = {12 * u(rng) - 6, 12 * u(rng) - 6};
        SCOPED_TRACE(iter);
        EXPECT_EQ(M::mathIsInsidePoint2D(p, n, pts, 9), CGeomFunc::IsPointInPolyline2D(T_GORV_POINT2D{p[0], p[1]}, arr));
    }
}

TEST(PolygonWinding, RotationTypeAndOffset) {
    double ccw[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    const double cw[4][2] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    EXPECT_EQ(M::GetRotationType(4, ccw), 1);
    EXPECT_EQ(M::GetRotationType(4, cw), 2);
    EXPECT_EQ(M::GetRotationType(1, cw), 2);

    ASSERT_EQ(M::mathOffsetOfPolyline(1.0, 4, ccw, 0), 1);
    const double grown[4][2] = {{-1, -1}, {2, -1}, {2, 2}, {-1, 2}};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR_ARR(ccw[i], 1e-12, grown[i][0], grown[i][1]);
    double forced[4][2] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    ASSERT_EQ(M::mathOffsetOfPolyline(1.0, 4, forced, 2), 1);  // wrong winding forced: moves inwards
    EXPECT_NEAR(forced[0][0], 1, 1e-12);
    EXPECT_NEAR(forced[2][1], 3, 1e-12);

    // Closed list (first point repeated) with a collinear vertex: the repeat follows vertex 0.
    double closed[6][2] = {{0, 0}, {1, 0}, {2, 0}, {2, 2}, {0, 2}, {0, 0}};
    ASSERT_EQ(M::mathOffsetOfPolyline(0.5, 6, closed, 0), 1);
    EXPECT_NEAR_ARR(closed[1], 1e-12, 1, -0.5);
    EXPECT_NEAR_ARR(closed[5], 1e-12, -0.5, -0.5);
    double two[2][2] = {{0, 0}, {1, 0}};
    EXPECT_EQ(M::mathOffsetOfPolyline(1.0, 2, two, 0), 0);
}

TEST(PolylineOverlap, DisjointNestedAndCrossing) {
    const double big[4][2] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    const double small[4][2] = {{4, 4}, {5, 4}, {5, 5}, {4, 5}};
    const double apart[4][2] = {{20, 0}, {21, 0}, {21, 1}, {20, 1}};
    const double across[4][2] = {{-1, 4}, {11, 4}, {11, 5}, {-1, 5}};
    EXPECT_EQ(M::IsOverLap_Polyline(4, big, 4, apart), 0);
    EXPECT_EQ(M::IsOverLap_Polyline(4, small, 4, big), 1);
    EXPECT_EQ(M::IsOverLap_Polyline(4, big, 4, small), 1);
    EXPECT_EQ(M::IsOverLap_Polyline(4, big, 4, across), 1);
    EXPECT_EQ(M::IsOverLap_Polyline(0, big, 4, small), 0);
}

TEST(LineCross2D, ParallelAndSegmentBounds) {
    const double l1[2][2] = {{0, 0}, {2, 0}}, l2[2][2] = {{1, -1}, {1, 3}}, l3[2][2] = {{0, 1}, {5, 1}};
    double out[2] = {9, 9};
    ASSERT_EQ(M::mathLineLineCross2D(l1, l2, out), 1);
    EXPECT_NEAR(out[0], 1, 1e-12);
    EXPECT_EQ(M::mathLineLineCross2D(l1, l3, out), 0);
    EXPECT_EQ(out[0] + out[1], 0.0);
    const double a[2] = {5, -1}, b[2] = {5, 1}, c[2] = {5, 1}, d[2] = {5, 3};
    EXPECT_EQ(M::mathLineSegCross2D(l1, a, b, out), 1);
    EXPECT_NEAR(out[0], 5, 1e-12);
    EXPECT_EQ(M::mathLineSegCross2D(l1, c, d, out), 0);
}

TEST(PolylineIntersection, SelfAndMutualCrossings) {
    const double a[3] = {0, 0, 0}, b[3] = {1, 0, 0}, c[3] = {2, 0, 0}, t[3] = {0.5, 0, 0}, u[3] = {0.5, 1, 0};
    EXPECT_EQ(CGeomFunc::CheckLineIntersection(a, b, b, c, 0), 0);  // end to end
    EXPECT_EQ(CGeomFunc::CheckLineIntersection(a, b, b, c, 1), 1);
    EXPECT_EQ(CGeomFunc::CheckLineIntersection(a, b, t, u, 0), 1);  // T-junction
    const double skew0[3] = {0.5, -1, 1}, skew1[3] = {0.5, 1, 1};
    EXPECT_EQ(CGeomFunc::CheckLineIntersection(a, b, skew0, skew1, 1), 0);

    EXPECT_EQ(CGeomFunc::CheckPolylineSelfIntersection(Poly3({{0, 0, 0}, {2, 0, 0}, {2, 2, 0}})), 0);
    EXPECT_EQ(CGeomFunc::CheckPolylineSelfIntersection(Poly3({{0, 0, 0}, {2, 0, 0}, {0, 1, 0}, {2, -1, 0}})), 1);
    EXPECT_EQ(CGeomFunc::CheckPolylineSelfIntersection(Poly3({{0, 0, 0}, {2, 0, 0}, {1, 0, 0}})), 1);  // folds back

    EXPECT_EQ(CGeomFunc::CheckPolylineCrossIntersection(Poly3({{0, 0, 0}, {2, 0, 0}}), Poly3({{2, 0, 0}, {3, 1, 0}})), 1);
    EXPECT_EQ(CGeomFunc::CheckPolylineCrossIntersection(Poly3({{0, 0, 0}, {2, 0, 0}}), Poly3({{0, 1, 0}, {2, 1, 0}})), 0);
    CArray<T_GORV_POINT2D> p2, q2;
    for (auto p : {T_GORV_POINT2D{0, 0}, T_GORV_POINT2D{2, 0}}) p2.Add(p);
    for (auto p : {T_GORV_POINT2D{2, 0}, T_GORV_POINT2D{3, 0}}) q2.Add(p);
    EXPECT_EQ(CGeomFunc::CheckPolylineCrossIntersection(p2, q2, 0), 0);
    EXPECT_EQ(CGeomFunc::CheckPolylineCrossIntersection(p2, q2, 1), 1);
}

TEST(Regions, StrictAndInclusiveBorders) {
    CArray<T_GORV_POINT2D> pts;
    T_GORV_REGION2D r{};
    EXPECT_EQ(CGeomFunc::GetMBR(pts, r), 0);
    pts.Add(T_GORV_POINT2D{3, -1});
    pts.Add(T_GORV_POINT2D{0, 2});
    ASSERT_EQ(CGeomFunc::GetMBR(pts, r), 1);
    EXPECT_EQ(CGeomFunc::IsPointInRegion(T_GORV_POINT2D{0, 1}, r), 0);
    EXPECT_EQ(CGeomFunc::IsPointInRegion(T_GORV_POINT2D{1, 1}, r), 1);
    EXPECT_EQ(CGeomFunc::IsPointInRegion2(T_GORV_POINT2D{-5e-7, 1}, r, 1), 1);
    EXPECT_EQ(CGeomFunc::IsPointInRegion2(T_GORV_POINT2D{-2e-6, 1}, r, 1), 0);
    EXPECT_EQ(CGeomFunc::IsPointInRegion2(T_GORV_POINT2D{0, 1}, r, 0), 0);

    CArray<T_GORV_POINT2D> hull;
    for (auto p : {T_GORV_POINT2D{0, 0}, T_GORV_POINT2D{4, 0}, T_GORV_POINT2D{4, 4}, T_GORV_POINT2D{0, 4}}) hull.Add(p);
    // inside, outside, on an edge, and both sides of the tolerance near vertex 0
    const struct { T_GORV_POINT2D p; int want; } hullCases[] = {
        {{1, 3}, 1}, {{5, 3}, 0}, {{2, 0}, 1}, {{-0.0005, 0.0009}, 1}, {{-0.0005, 0.0011}, 0}};
    for (const auto& c : hullCases) EXPECT_EQ(CGeomFunc::CheckInsideConvexHull(hull, c.p), c.want) << c.p.x << "," << c.p.y;
}

TEST(LocalAxes, MembersPlanesAndOffsets) {
    const double o[3] = {0, 0, 0}, x5[3] = {5, 0, 0}, z5[3] = {0, 0, 5};
    double ax[3][3];
    ASSERT_EQ(CGeomFunc::calcLineLocalVector(o, x5, 0, ax), 1);
    EXPECT_NEAR_ARR(ax[1], 1e-12, 0, 1, 0);
    EXPECT_NEAR_ARR(ax[2], 1e-12, 0, 0, 1);
    ASSERT_EQ(CGeomFunc::calcLineLocalVector(o, z5, 0, ax), 1);
    EXPECT_NEAR_ARR(ax[1], 1e-12, 0, -1, 0);
    EXPECT_NEAR_ARR(ax[2], 1e-12, 1, 0, 0);
    ASSERT_EQ(CGeomFunc::calcLineLocalVector(o, z5, 90, ax), 1);  // reference +x turned to +y
    EXPECT_NEAR(ax[1][0], 1, 1e-12);
    EXPECT_EQ(CGeomFunc::calcLineLocalVector(o, o, 0, ax), 0);

    const double v1[3] = {0.005, 0, 1}, v2[3] = {0.02, 0, 1};
    EXPECT_EQ(CGeomFunc::IsVerticalLine(o, v1), 1);
    EXPECT_EQ(CGeomFunc::IsVerticalLine(o, v2), 0);
    double oa[3], ob[3];
    ASSERT_EQ(CGeomFunc::GetOffsetPoints(o, x5, 2, oa, ob), 1);
    EXPECT_NEAR(oa[1], 2, 1e-12);
    EXPECT_NEAR(ob[0], 5, 1e-12);
    EXPECT_EQ(CGeomFunc::GetOffsetPoints(o, z5, 2, oa, ob), 0);
    EXPECT_EQ(CGeomFunc::GetOffsetPoints(o, x5, 5e-7, oa, ob), 0);

    // Tilted plane z = x: planarity, and point in polygon after levelling the plane.
    const auto tilted = Poly3({{0, 0, 0}, {2, 0, 2}, {2, 2, 2}, {0, 2, 0}});
    EXPECT_EQ(CGeomFunc::IsSamePlane(tilted, 1e-9), 1);
    EXPECT_EQ(CGeomFunc::IsSamePlane(Poly3({{0, 0, 0}, {2, 0, 2}, {2, 2, 2}, {0, 2, 0.1}}), 0.01), 0);
    EXPECT_EQ(CGeomFunc::IsPointInPolyline3D(T_GORV_POINT3D{1, 1, 1}, tilted, 1e-6), 1);
    EXPECT_EQ(CGeomFunc::IsPointInPolyline3D(T_GORV_POINT3D{3, 1, 3}, tilted, 1e-6), 0);
    EXPECT_EQ(CGeomFunc::IsPointInPolyline3D(T_GORV_POINT3D{1, 1, 1.5}, tilted, 1e-6), 0);
    EXPECT_EQ(CGeomFunc::IsSamePlane(Poly3({{0, 0, 0}, {1, 0, 0}, {2, 0, 0}}), 1.0), 0);  // no plane
    const double quad[4][3] = {{0, 0, 0}, {2, 0, 0}, {2, 1, 0}, {0, 1, 0}};
    ASSERT_EQ(CGeomFunc::calcPlaneLocalVector(4, quad, ax), 1);
    EXPECT_NEAR(ax[2][2], 1, 1e-12);
    EXPECT_EQ(CGeomFunc::calcPlaneLocalVector(5, quad, ax), 0);
}

}  // namespace
