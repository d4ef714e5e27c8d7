// Distances, crossings and containment tests of both toolkit families.
#include <gorv/gorv_base.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>
#include <random>

#include "geom/near.h"

namespace {
const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();
}  // namespace

TEST(GorvInLine, CosineToleranceIsInclusiveAndEndPointsDiffer) {
    // Against segment (0,0)-(10,0): "in" compares the cosine inclusively and refuses the end points,
    // "on" compares strictly and accepts them. At the exact mid point the cosine is exactly -1, so
    // tol = 0 passes the inclusive test but not the strict one.
    using Fn = bool (*)(const double*, const double*, const double*, double);
    const Fn in = Gorv::is_in_line_2d, on = Gorv::is_on_line_2d;
    const double a[2] = {0, 0}, b[2] = {10, 0};
    const struct { Fn f; double p[2], tol; bool want; } cases[] = {
        {in, {5, 0.01}, 1e-6, false}, {in, {5, 0.01}, 1e-5, true}, {in, {0, 0}, 1.0, false}, {on, {0, 0}, 0.0, true},
        {on, {5e-7, 0}, 0.0, true},   {in, {11, 0}, 1e-6, false},  {in, {5, 0}, 0.0, true},   {on, {5, 0}, 0.0, false},
        {on, {5, 0}, 1e-12, true},    {in, {kNaN, 0}, 1e-6, false}, {on, {kNaN, 0}, 1e-6, false}};
    for (const auto& c : cases)
        EXPECT_EQ(c.f(a, b, c.p, c.tol), c.want) << (c.f == in ? "in " : "on ") << c.p[0] << "," << c.p[1] << " tol " << c.tol;
    EXPECT_TRUE(Gorv::is_in_line_3d(0, 0, 0, 10, 0, 0, 5, 0, 0, 0.0));
    EXPECT_TRUE(Gorv::is_on_line_3d(0, 0, 0, 10, 0, 0, 5, 0, 0, 0.0));  // inclusive in 3D
    const double a3[3] = {0, 0, 0}, b3[3] = {10, 0, 0};
    EXPECT_TRUE(Gorv::is_on_line_3d(a3, b3, 10, 0, 0, 0.0));
    EXPECT_FALSE(Gorv::is_in_line_3d(a3, b3, 10, 0, 0, 1.0));
}

TEST(GorvCrossing, SegmentCrossingParametersAndStrictRange) {
    struct Case { double x1, y1, x2, y2, x3, y3, x4, y4; bool hit; double t, u; };
    const Case cases[] = {
        {0, 0, 2, 0, 1, -1, 1, 1, true, 0.5, 0.5},
        {0, 0, 1, 0, 1, 0, 1, 1, true, 1, 0},              // end points touch: inside the open range
        {0, 0, 1, 0, 1.0000011, -1, 1.0000011, 1, false, 1.0000011, 0.5},
        {0, 0, 1, 0, 1.0000009, -1, 1.0000009, 1, true, 1.0000009, 0.5},
        {0, 0, 0.0005, 0, 0, 0, 0, 0.0005, false, 0, 0},   // den 2.5e-7: counts as parallel
        {0, 0, 1, 0, 0, 1, 1, 1, false, 0, 0},             // parallel
        {0, 0, 5e-7, 0, 0, -1, 0, 1, false, 0, 0},         // first segment too short
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x3 << "," << c.y3 << "-" << c.x4 << "," << c.y4);
        double t = -99, u = -99;
        EXPECT_EQ(Gorv::intersect_line_line_2d(c.x1, c.y1, c.x2, c.y2, c.x3, c.y3, c.x4, c.y4, t, u), c.hit);
        if (c.t != 0 || c.u != 0) {
            EXPECT_NEAR(t, c.t, 1e-12);
            EXPECT_NEAR(u, c.u, 1e-12);
        } else {
            EXPECT_EQ(t, -99);  // untouched when no parameters exist
        }
    }
    const double p1[2] = {0, 0}, p2[2] = {2, 2}, p3[2] = {0, 2}, p4[2] = {2, 0};
    double out[2];
    ASSERT_TRUE(Gorv::intersect_line_line_2d(p1, p2, p3, p4, out));
    EXPECT_NEAR(out[0], 1, 1e-15);
    const double q3[2] = {10, 12}, q4[2] = {12, 10};
    ASSERT_TRUE(Gorv::intersect_line_line_2d_extension(p1, p2, q3, q4, out));
    EXPECT_NEAR_ARR(out, 1e-12, 11, 11);
}

TEST(GorvCrossing, ProperCrossingCheckRejectsTouchAndOverlap) {
    const double a[2] = {0, 0}, b[2] = {2, 2}, c[2] = {0, 2}, d[2] = {2, 0}, e[2] = {2, 2}, f[2] = {3, 3};
    const double g[2] = {1, 1}, h[2] = {3, 3};
    const double n[2] = {kNaN, kNaN};
    // crossing; shared end point; collinear overlap; parallel; NaN
    EXPECT_TRUE(Gorv::check_line_line_intersection_2d(a, b, c, d));
    for (const auto& s : {std::array{a, b, e, f}, {a, b, g, h}, {a, c, b, d}, {a, b, n, d}})
        EXPECT_FALSE(Gorv::check_line_line_intersection_2d(s[0], s[1], s[2], s[3])) << s[2][0] << "," << s[2][1];
}

TEST(GorvCrossing, RandomCrossingsAgreeAcrossFamilies) {
    std::mt19937 gen(424242);
    std::uniform_real_distribution<double> v(-100, 100);
    int hits = 0;
    for (int n = 0; n < 2000; ++n) {
        const double p1[2] = {v(gen), v(gen)}, p2[2] = {v(gen), v(gen)}, p3[2] = {v(gen), v(gen)},
                     p4[2] = {v(gen), v(gen)};
        double t, u, ox, oy;
        const bool hit = Gorv::intersect_line_line_2d(p1, p2, p3, p4, t, u);
        const bool proper = Gorv::check_line_line_intersection_2d(p1, p2, p3, p4);
        const int seg = CGorvMathFunc::mathIntersectLine2D(p1[0], p1[1], p2[0], p2[1], p3[0], p3[1], p4[0], p4[1], ox,
                                                           oy, 1);
        if (hit && t > 1e-3 && t < 0.999 && u > 1e-3 && u < 0.999) {
            ++hits;
            EXPECT_TRUE(proper);
            ASSERT_EQ(seg, 1);
            EXPECT_NEAR(ox, p1[0] + t * (p2[0] - p1[0]), 1e-8);
            EXPECT_NEAR(oy, p3[1] + u * (p4[1] - p3[1]), 1e-8);
        }
        if (!hit) {
            EXPECT_FALSE(proper);
        }
    }
    EXPECT_GT(hits, 100);
}

TEST(GorvDistance, LineAndSegmentRules) {
    const double o[2] = {0, 0}, up[2] = {0, 10}, far[2] = {0, 20}, diag[2] = {10, 10}, px[2] = {10, 0};
    EXPECT_EQ(Gorv::distance_line_point_2d(o, up, far), 10.0);  // on the vertical line: nearer end point
    EXPECT_NEAR(Gorv::distance_line_point_2d(o, diag, px), std::sqrt(50.0), 1e-12);
    EXPECT_EQ(Gorv::distance_segment_point_2d(o, o, px), 1e35);
    const double b[2] = {10, 0}, beyond[2] = {13, 4}, above[2] = {5, 3};
    EXPECT_NEAR(Gorv::distance_segment_point_2d(o, b, beyond), 5.0, 1e-12);
    EXPECT_NEAR(Gorv::distance_segment_point_2d(o, b, above), 3.0, 1e-12);
    const double a3[3] = {0, 0, 0}, b3[3] = {10, 0, 0}, p3[3] = {13, 4, 0}, q3[3] = {5, 3, 4};
    EXPECT_NEAR(Gorv::distance_segment_point_3d(a3, b3, p3), 5.0, 1e-12);
    EXPECT_NEAR(Gorv::distance_segment_point_3d(a3, b3, q3), 5.0, 1e-12);
    EXPECT_NEAR(Gorv::distance_line_point_3d(a3, b3, p3), 4.0, 1e-12);
    EXPECT_EQ(Gorv::distance_line_point_3d(a3, a3, p3), 1e35);
    const double y3[3] = {0, 1, 0}, z[3] = {0, 0, 7};
    EXPECT_NEAR(Gorv::distance_plane_point_3d(a3, b3, y3, z), 7.0, 1e-12);
    EXPECT_EQ(Gorv::distance_plane_point_3d(a3, b3, b3, z), 0.0);  // degenerate plane
    EXPECT_NEAR(CGorvMathFunc::mathDistanceToLine2D(0, 0, 10, 0, -3, 4), 5.0, 1e-12);
    EXPECT_NEAR(CGorvMathFunc::mathDistanceToLine2D(0, 0, 0, 0, 3, 4), 5.0, 1e-12);
    int where = -1;
    const double pa[2] = {0, 0}, pb[2] = {10, 0}, pp[2] = {12, 3};
    EXPECT_NEAR(CGorvMathFunc::mathDistanceFromIntersectPointToLine2D(pa, pb, pp, where), 3.0, 1e-12);
    EXPECT_EQ(where, 2);
}

TEST(GorvCrossing3d, SegmentsTrianglesAndCoplanarity) {
    const double a[3] = {0, 0, 0}, b[3] = {2, 2, 2}, c[3] = {0, 2, 0}, d[3] = {2, 0, 2};
    double out[3], t, u;
    ASSERT_TRUE(Gorv::intersect_line_line_3d(a, b, c, d, out));
    EXPECT_NEAR_ARR(out, 1e-12, 1, 1, 1);
    ASSERT_TRUE(Gorv::intersect_line_line_3d(a, b, c, d, t, u));
    EXPECT_NEAR(t, 0.5, 1e-12);
    const double e[3] = {0, 2, 0}, f[3] = {2, 0, 0};  // skew
    EXPECT_FALSE(Gorv::intersect_line_line_3d(a, b, e, f, out));
    const double g[3] = {4, 8, 4}, h[3] = {8, 4, 8};  // lines cross at (6, 6, 6), beyond both segments
    EXPECT_FALSE(Gorv::intersect_line_line_3d(a, b, g, h, out));
    ASSERT_TRUE(Gorv::intersect_line_line_3d_extension(a, b, g, h, out));
    EXPECT_NEAR(out[2], 6, 1e-12);
    const double t0[3] = {0, 0, 0}, t1[3] = {4, 0, 0}, t2[3] = {0, 4, 0}, t3[3] = {4, 4, 0};
    const double p[3] = {1, 1, -1}, q[3] = {1, 1, 1}, r[3] = {3, 3, 1}, s[3] = {3, 3, -1};
    EXPECT_TRUE(Gorv::intersect_triangle_line_3d(t0, t1, t2, p, q));
    EXPECT_FALSE(Gorv::intersect_triangle_line_3d(t0, t1, t2, s, r));
    EXPECT_TRUE(Gorv::intersect_quadrilateral_line_3d(t0, t1, t3, t2, s, r));
    const double hi[3] = {1, 1, 0.5};  // segment stops short of the plane
    EXPECT_FALSE(Gorv::intersect_triangle_line_3d(t0, t1, t2, hi, q));
    const double c2[2] = {4.0 / 3, 4.0 / 3}, v0[2] = {0, 0}, v1[2] = {4, 0}, v2[2] = {0, 4}, out2[2] = {5, 5},
                 near2[2] = {-0.05, -0.05};
    EXPECT_TRUE(Gorv::is_in_triangle_2d(v0, v1, v2, c2, 1e-6));
    EXPECT_FALSE(Gorv::is_in_triangle_2d(v0, v1, v2, out2, 1e-6));
    EXPECT_TRUE(Gorv::is_in_triangle_2d(v0, v1, v2, near2, 0.1));
    EXPECT_TRUE(Gorv::are_coplanar_3d(t0, t1, t2, t3, p, q, 1.0));  // distance exactly 1: inclusive
    EXPECT_FALSE(Gorv::are_coplanar_3d(t0, t1, t2, t3, p, q, std::nextafter(1.0, 0.0)));
    double tt = -7;
    const double mid[3] = {1, 1, 1};
    EXPECT_TRUE(Gorv::is_on_segment_3d(a, b, mid, 1e-6, tt));
    EXPECT_NEAR(tt, 0.5, 1e-12);
    tt = -7;
    EXPECT_FALSE(Gorv::is_on_segment_3d(a, a, a, 1.0, tt));
    EXPECT_EQ(tt, -7);
}

TEST(MathDistance, PlanesFeetAndLineCrossings) {
    const double p0[3] = {0, 0, 0}, p1[3] = {1, 0, 0}, p2[3] = {0, 1, 0}, p3[3] = {2, 0, 0};
    double a = 9, b = 9, c = 9, d = 9;
    EXPECT_EQ(CGorvMathFunc::mathPlaneEquation(p0, p1, p3, a, b, c, d), 0);
    EXPECT_EQ(a + b + c + d, 0.0);
    EXPECT_EQ(CGorvMathFunc::mathPlaneEquation(p0, p1, p2, a, b, c, d), 1);
    EXPECT_EQ(c, 1.0);
    EXPECT_EQ(CGorvMathFunc::mathDistanceToPlane(0, 0, 0, 1, 1, 1, 1), -1.0);
    EXPECT_EQ(CGorvMathFunc::mathDistanceToPlaneWithSign(0, 0, 2, 2, 0, 0, -3), -2.0);
    const double at[3] = {5, 5, 0.5};
    EXPECT_EQ(CGorvMathFunc::mathIncludePointInPlane(p0, p1, p2, at, 0.5), 0);  // strict
    EXPECT_EQ(CGorvMathFunc::mathIncludePointInPlane(p0, p1, p2, at, 0.50001), 1);
    const double sa[3] = {0, 0, -1}, sb[3] = {0, 0, 1}, pp[3] = {0, 0, 2};
    double n[3] = {0, 0, 5}, out[3], over = -1;
    EXPECT_EQ(CGorvMathFunc::mathIntersectPointToPlane(sa, sb, n, pp, out, over), 1);
    EXPECT_EQ(out[2], 2.0);
    EXPECT_EQ(over, 1.0);
    EXPECT_EQ(n[2], 1.0);  // normalised in the caller's array
    double dir[3] = {1, 0, 0};
    n[0] = 0, n[1] = 0, n[2] = 1;
    EXPECT_EQ(CGorvMathFunc::mathIntersectPointToPlane(dir, sa, n, pp, out), 0);  // parallel
    double ox = 9, oy = 9;
    EXPECT_EQ(CGorvMathFunc::mathIntersectLine2D(0, 0, 1, 0, 0, 1, 1, 1, ox, oy, 0), 0);
    EXPECT_TRUE(ox == 0.0 && oy == 0.0);
    EXPECT_EQ(CGorvMathFunc::mathIntersectLine2D(0, 0, 1, 0, 3, -1, 3, 1, ox, oy, 0), 1);
    EXPECT_NEAR(ox, 3, 1e-12);
    EXPECT_EQ(CGorvMathFunc::mathIntersectLine2D(0, 0, 1, 0, 3, -1, 3, 1, ox, oy, 1), 0);
    const double la[3] = {0, 0, 0}, lb[3] = {1, 0, 0}, lc[3] = {3, -1, 0.5}, ld[3] = {3, 1, 0.5};
    double dist = -1, x[3];
    EXPECT_EQ(CGorvMathFunc::mathIntersectLine(la, lb, lc, ld, 0.5, dist, x), 1);  // dist 0.5 within tol
    EXPECT_NEAR(x[0], 3, 1e-12);
    EXPECT_EQ(CGorvMathFunc::mathIntersectLine(la, lb, lc, ld, 0.4, dist, x), 0);
    EXPECT_EQ(CGorvMathFunc::mathIntersectLine2(la, lb, lc, ld, 0.5, dist, x), 0);  // beyond ab
    EXPECT_NEAR(CGorvMathFunc::mathDistanceLine(la, lb, lc, ld), 0.5, 1e-12);
    EXPECT_EQ(CGorvMathFunc::mathDistanceLine(la, lb, la, lb), -1.0);
    const double ea[2] = {0, 0}, eb[2] = {10, 0}, em[2] = {4, 0}, eo[2] = {4, 1e-3}, ex[2] = {12, 0};
    EXPECT_EQ(CGorvMathFunc::mathIsPointOfLine2D(ea, eb, ea, 7), 7);
    EXPECT_EQ(CGorvMathFunc::mathIsPointOfLine2D(ea, eb, em, 7), 1);
    EXPECT_EQ(CGorvMathFunc::mathIsPointOfLine2D(ea, eb, eo, 7), 0);
    EXPECT_EQ(CGorvMathFunc::mathIsPointOfLine2D(ea, eb, ex, 7), 0);
}

TEST(GeomCoreRobustness, NonFiniteAndDegenerateInputNeverCrash) {
    const double vals[] = {kNaN, kInf, -kInf, 0.0, 1.0};
    for (double x : vals) {
        SCOPED_TRACE(x);
        const double a[3] = {x, 0, 0}, b[3] = {1, x, 1}, c[3] = {0, 1, x}, d[3] = {x, x, x};
        double out[3], t, u, ox, oy, dist, n[3] = {x, 0, 1}, over;
        Gorv::intersect_line_line_3d(a, b, c, d, out);
        Gorv::intersect_line_line_3d(a, b, c, d, t, u);
        Gorv::intersect_triangle_line_3d(a, b, c, d, a);
        Gorv::is_on_segment_3d(a, b, c, 1e-6, t);
        Gorv::distance_segment_point_3d(a, b, c);
        Gorv::intersect_line_line_2d(a, b, c, d, out);
        Gorv::is_in_triangle_2d(a, b, c, d, 1e-6);
        CGorvMathFunc::mathIntersectLine2(a, b, c, d, 1.0, dist, out);
        CGorvMathFunc::mathIntersectPointToPlane(a, b, n, c, out, over);
        CGorvMathFunc::mathIntersectLine2D(x, 0, 1, x, 0, 1, x, x, ox, oy, 1);
        CGorvMathFunc::mathIsPointOfLine2D(a, b, c, 3);
        double M[3][3], e1, e2, e3;
        Gorv::rotation_matrix_about_general_axis_3d(M, a, b, x);
        Gorv::euler_angle_from_rotation_matrix(M, e1, e2, e3);
        double px = 1, py = 2, pz = 3;
        CGorvMathFunc::mathRotate(x, x, 1, 0, px, py, pz);
        // polygon predicates and projections onto surfaces
        double pts[3][2] = {{x, 0}, {1, x}, {0, 1}};
        CGorvMathFunc::mathIsInsidePoint2D(d, 3, pts, 1);
        CGorvMathFunc::GetRotationType(3, pts);
        CGorvMathFunc::mathOffsetOfPolyline(1.0, 3, pts, 0);
        CArray<T_GORV_POINT3D> line;
        for (auto p : {T_GORV_POINT3D{x, 0, 0}, T_GORV_POINT3D{1, 0, 0}, T_GORV_POINT3D{0, x, 0}}) line.Add(p);
        CGeomFunc::CheckPolylineSelfIntersection(line);
        CGorvMathFunc::project_on_cylinder_normal(a, 1, 1, 1e-6, out);
        CGorvMathFunc::project_on_cone_normal(a, 1, 2, 1, 1e-6, out);
        CGorvMathFunc::project_on_sphere_vector(a, b, 1, 1e-6, out);
        CGorvMathFunc::project_on_ellipsoid_normal(a, 1, 2, 1e-6, out);
        CGorvMathFunc::project_on_quad_curve_normal(a, b, a, a, 1e-6, out);
    }
    const double np[3] = {kNaN, 1, 2};
    double out[3];
    EXPECT_FALSE(CGorvMathFunc::project_on_sphere_normal(np, kNaN, 1e-6, out));
    double same[4][2] = {{1, 1}, {1, 1}, {1, 1}, {1, 1}};
    EXPECT_EQ(CGorvMathFunc::mathOffsetOfPolyline(1.0, 4, same, 0), 0);
    EXPECT_EQ(CGorvMathFunc::IsOverLap_Polyline(4, same, 4, same), 1);
}
