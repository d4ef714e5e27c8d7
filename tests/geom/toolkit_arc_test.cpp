// Arcs in 3D (CArcUtil, T_GORV_LINE_G), circles and arcs through three points, bulges, IsPointInArc.
#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "geom/near.h"

namespace {

using M = CGorvMathFunc;
const double kPi = std::acos(-1.0);
const double kUp[3] = {0, 0, 1};

TEST(ArcAngle, SweepFollowsNormalAndStepCountRoundsUpToEight) {
    const double a[3] = {1, 0, 0}, b[3] = {0, 1, 0}, c[3] = {0, 0, 0}, down[3] = {0, 0, -1};
    EXPECT_NEAR(CArcUtil::CalcAngleBetween(a, b, c, kUp), 90.0, 1e-12);
    EXPECT_NEAR(CArcUtil::CalcAngleBetween(a, b, c, down), 270.0, 1e-12);
    EXPECT_EQ(CArcUtil::CalcAngleBetween(a, a, c, down), 0.0);
    EXPECT_EQ(CArcUtil::CalcAngleBetween(c, b, c, kUp), 0.0);

    const struct { double total, unit; int count; } cases[] = {{100, 10, 16}, {80, 10, 8}, {10, 10, 8}, {1, 10, 8}, {81, 10, 16}};
    for (const auto& t : cases) {
        SCOPED_TRACE(t.total);
        double unit = -1;
        int count = -1;
        CArcUtil::CalcArcUnitAngle(t.total, t.unit, unit, count);
        EXPECT_EQ(count, t.count);
        EXPECT_DOUBLE_EQ(unit, t.total / t.count);
    }
    double unit = -1;
    int count = -1;  // a zero unit or a NaN total leaves the outputs
    CArcUtil::CalcArcUnitAngle(90, 0, unit, count);
    CArcUtil::CalcArcUnitAngle(std::numeric_limits<double>::quiet_NaN(), 1, unit, count);
    EXPECT_TRUE(count == -1 && unit == -1);
}

TEST(ArcPoints, QuarterCircleDiscretisation) {
    const T_GORV_POINT3D s{3, 0, 1}, e{0, 3, 1}, c{0, 0, 1};
    CArray<T_GORV_POINT3D> pts;
    CArray<double> len;
    pts.Add(T_GORV_POINT3D{9, 9, 9});  // emptied first
    ASSERT_EQ(CArcUtil::MakeCurvPoints(s, e, c, kUp, pts, 1, 0.0, &len), 1);
    ASSERT_TRUE(pts.GetSize() == 9 && len.GetSize() == 9);
    for (INT_PTR i = 0; i < pts.GetSize(); ++i) {
        SCOPED_TRACE(i);
        const double t = 11.25 * i * kPi / 180;
        EXPECT_NEAR(pts[i].x, 3 * std::cos(t), 1e-9);
        EXPECT_NEAR(pts[i].y, 3 * std::sin(t), 1e-9);
        EXPECT_EQ(pts[i].z, 1.0);
        EXPECT_NEAR(len[i], 3 * t, 1e-9);
    }
    EXPECT_EQ(pts[8].x, 0.0);  // the end point itself, not a rotated copy
    ASSERT_EQ(CArcUtil::MakeCurvPoints(s, e, c, kUp, pts, 1, 10.0), 1);
    EXPECT_EQ(pts.GetSize(), 17);
    ASSERT_EQ(CArcUtil::MakeCurvPoints(s, e, c, kUp, pts, 0, 0.0, &len), 1);
    EXPECT_TRUE(pts.GetSize() == 7 && len.GetSize() == 7);
    // A vanishing unit angle is capped instead of exhausting memory.
    ASSERT_EQ(CArcUtil::MakeCurvPoints(s, e, c, kUp, pts, 1, 1e-300), 1);
    EXPECT_EQ(pts.GetSize(), (1 << 16) + 1);
}

TEST(ArcPoints, InnerPartStartsAndEndsAtTheRequestedLengths) {
    const T_GORV_POINT3D s{1, 0, 0}, e{0, 1, 0}, c{0, 0, 0};
    CArray<T_GORV_POINT3D> pts;
    ASSERT_EQ(CArcUtil::MakeCurvPoints_inner(s, e, 0.5, 1.0, c, kUp, pts, 1, 0.0), 1);
    ASSERT_GE(pts.GetSize(), 3);
    // Interpolated on the chords: near the arc points at those lengths, a little inside the circle.
    EXPECT_NEAR(std::atan2(pts[0].y, pts[0].x), 0.5, 1e-3);
    EXPECT_NEAR(std::atan2(pts[pts.GetUpperBound()].y, pts[pts.GetUpperBound()].x), 1.0, 1e-3);
    for (INT_PTR i = 1; i < pts.GetSize(); ++i) EXPECT_GT(std::atan2(pts[i].y, pts[i].x), std::atan2(pts[i - 1].y, pts[i - 1].x));

    CArray<T_GORV_POINT3D> whole;
    ASSERT_EQ(CArcUtil::MakeCurvPoints_inner(s, e, 0.0, kPi / 2, c, kUp, whole, 1, 0.0), 1);
    EXPECT_EQ(whole.GetSize(), 9);  // the whole arc, its own points only
}

TEST(ArcEdge, SweepMidPointAndStraightFallback) {
    const T_GORV_POINT3D s{2, 0, 0}, e{0, 2, 0}, c{0, 0, 0};
    const T_GORV_LINE_G arc(s, e, c, kUp);
    EXPECT_EQ(arc.nArc, 1);
    EXPECT_DOUBLE_EQ(arc.dRadius, 2.0);
    EXPECT_NEAR(arc.GetSweepAngle(), 90.0, 1e-12);
    T_GORV_POINT3D mid;
    ASSERT_EQ(arc.GetMidPoint(mid), 1);
    EXPECT_NEAR(mid.x, std::sqrt(2.0), 1e-12);
    const double flip[3] = {0, 0, -5};
    const T_GORV_LINE_G longWay(s, e, c, flip);
    EXPECT_NEAR(longWay.dNormal[2], -1.0, 1e-15);
    ASSERT_EQ(longWay.GetMidPoint(mid), 1);
    EXPECT_NEAR(mid.x, -std::sqrt(2.0), 1e-12);

    const T_GORV_LINE_G closed(s, T_GORV_POINT3D{2, 5e-5, 0}, c, kUp);
    EXPECT_TRUE(closed.nArc == 0 && closed.dRadius == 0.0);
    ASSERT_EQ(closed.GetMidPoint(mid), 1);
    EXPECT_DOUBLE_EQ(mid.y, 2.5e-5);
}

TEST(ArcFrom3Points, CentreNormalAndHeight) {
    const double p1[3] = {1, 0, 0}, p2[3] = {0, 1, 0}, p3[3] = {-1, 0, 0}, q[3] = {2, 0, 0};
    double centre[3], normal[3], axes[3][3];
    ASSERT_EQ(CArcUtil::CalcCurvInfoFrom3P(p1, p2, p3, centre, normal), 1);
    EXPECT_NEAR_ARR(centre, 1e-12, 0, 0);
    EXPECT_NEAR(normal[2], 1, 1e-12);
    ASSERT_EQ(CArcUtil::CalcCurvInfoFrom3P(p3, p2, p1, centre, axes), 1);
    EXPECT_NEAR(axes[2][2], -1, 1e-12);
    EXPECT_NEAR(axes[0][0], 1, 1e-12);
    EXPECT_EQ(CArcUtil::CalcCurvInfoFrom3P(p1, q, p3, centre, normal), 0);
    double height = 0, angle = 0;
    ASSERT_EQ(CArcUtil::CalcCurvInfoFrom3P(p1, p2, p3, height, angle), 1);
    EXPECT_NEAR(height, 1.0, 1e-12);

    // Random circles: the centre is equidistant from the three points.
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> u(-10, 10);
    for (int i = 0; i < 50; ++i) {
        const double a[3] = {u(rng), u(rng), u(rng)}, b[3] = {u(rng), u(rng), u(rng)}, d[3] = {u(rng), u(rng), u(rng)};
        ASSERT_EQ(CArcUtil::CalcCurvInfoFrom3P(a, b, d, centre, normal), 1);
        const double ra = std::hypot(a[0] - centre[0], a[1] - centre[1], a[2] - centre[2]);
        EXPECT_NEAR(std::hypot(b[0] - centre[0], b[1] - centre[1], b[2] - centre[2]), ra, 1e-9 * ra);
        EXPECT_NEAR(std::hypot(d[0] - centre[0], d[1] - centre[1], d[2] - centre[2]), ra, 1e-9 * ra);
    }
}

TEST(CircleForm3Point, ResultCodesAndArcSweeps) {
    const double o[2] = {0, 0}, e[2] = {1, 0}, n[2] = {0, 1}, w[2] = {-1, 0}, s[2] = {0, -1}, far[2] = {2, 0};
    double c[2], r, start, sweep, rise;
    EXPECT_EQ(M::mathCircleForm3Point(o, o, o, c, r), -1);
    EXPECT_EQ(M::mathCircleForm3Point(o, o, e, c, r), 0);
    EXPECT_EQ(M::mathCircleForm3Point(o, e, far, c, r), 0);
    ASSERT_EQ(M::mathCircleForm3Point(e, n, w, c, r), 1);
    EXPECT_NEAR_ARR(c, 1e-12, 0, 0);
    EXPECT_NEAR(r, 1, 1e-12);

    ASSERT_EQ(M::mathArcForm3Point(e, n, w, c, r, start, sweep, rise), 1);
    EXPECT_NEAR(start, 0, 1e-12);
    EXPECT_TRUE(std::fabs(sweep - 180) < 1e-9 && std::fabs(rise - 2) < 1e-9) << sweep << " " << rise;
    ASSERT_EQ(M::mathArcForm3Point(e, s, w, c, r, start, sweep, rise), 1);
    EXPECT_TRUE(std::fabs(sweep + 180) < 1e-9 && std::fabs(rise + 2) < 1e-9) << sweep << " " << rise;
    ASSERT_EQ(M::mathArcForm3Point(e, w, n, c, r, start, sweep), 1);  // the long way round through w
    EXPECT_NEAR(sweep, -270, 1e-9);
    EXPECT_EQ(M::mathArcForm3Point(o, o, o, c, r, start, sweep), -1);
}

TEST(Bulge, SagittaAndCentreRoundTrip) {
    const double chord[2][2] = {{-1, 0}, {1, 0}};
    EXPECT_DOUBLE_EQ(M::GetBulge(chord, 1, 1), 1.0);
    EXPECT_NEAR(M::GetBulge(chord, 2, 1), 2 - std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(M::GetBulge(chord, 2, 0), 2 + std::sqrt(3.0), 1e-12);
    EXPECT_NEAR(M::GetBulge(chord, -2, 1), -(2 - std::sqrt(3.0)), 1e-12);
    EXPECT_EQ(M::GetBulge(chord, 0.5, 1), 0.0);
    double c[2];
    ASSERT_EQ(M::GetCenter_Bulge(chord, 1, c), 1);
    EXPECT_NEAR_ARR(c, 1e-12, 0, 0);
    EXPECT_EQ(M::GetCenter_Bulge(chord, 0, c), 0);
    for (double r : {1.5, 3.0, 10.0}) {
        SCOPED_TRACE(r);
        for (int minor : {0, 1}) {
            ASSERT_EQ(M::GetCenter_Bulge(chord, M::GetBulge(chord, r, minor), c), 1);
            EXPECT_NEAR(std::hypot(c[0] + 1, c[1]), r, 1e-9);  // the centre lies at distance r from the ends
        }
    }
}

TEST(PointInArc, CircularSegmentBetweenChordAndArc) {
    // Upper half disc: arc from (1, 0) counter-clockwise to (-1, 0) about the origin.
    const T_GORV_LINE_G edge(T_GORV_POINT3D{1, 0, 0}, T_GORV_POINT3D{-1, 0, 0}, T_GORV_POINT3D{0, 0, 0}, kUp);
    const struct { T_GORV_POINT3D p; int inclusive, expect; } cases[] = {
        {{0, 0.5, 0}, 0, 1}, {{0, -0.5, 0}, 0, 0}, {{0, 1, 0}, 0, 0}, {{0, 1, 0}, 1, 1},
        {{0.5, 0, 0}, 0, 0}, {{0.5, 0, 0}, 1, 1}, {{0, 1.01, 0}, 1, 0},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(testing::Message() << t.p.x << "," << t.p.y << " incl " << t.inclusive);
        EXPECT_EQ(CGeomFunc::IsPointInArc(t.p, edge, t.inclusive), t.expect);
    }
    EXPECT_EQ(CGeomFunc::IsPointInArc(T_GORV_POINT3D{0, 0.5, 0}, T_GORV_LINE_G(), 1), 0);
}

}  // namespace
