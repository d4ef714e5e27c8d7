// Areas, centroids, element volumes, prism volumes, circles of a triangle, shrinkage, rectangles.
#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "geom/near.h"

namespace {

using M = CGorvMathFunc;

T_GORV_POLYGON2D Ring(std::initializer_list<T_GORV_POINT2D> pts) {
    T_GORV_POLYGON2D r;
    for (const auto& p : pts) r.points.Add(p);
    return r;
}

TEST(PolygonArea, ClosedRingsAndHoles) {
    const T_GORV_POINT2D a{0, 0}, b{1, 0}, c{1, 1}, d{0, 1};
    EXPECT_DOUBLE_EQ(Ring({a, b, c, d, a}).GetArea(), 1.0);
    EXPECT_DOUBLE_EQ(Ring({a, d, c, b, a}).GetArea(), 1.0);
    EXPECT_DOUBLE_EQ(Ring({a, b, c, d}).GetArea(), 0.5);  // not closed: the last point is dropped
    EXPECT_DOUBLE_EQ(Ring({a, b, c}).GetArea(), 0.0);
    T_GORV_COMPLEX_POLYGON2D poly;
    poly.outer = Ring({{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}});
    poly.holes.Add(Ring({{4, 4}, {4, 6}, {6, 6}, {6, 4}, {4, 4}}));
    EXPECT_DOUBLE_EQ(CGeomFunc::CalcPolyArea(poly), 96.0);
}

TEST(PolygonCentroid, KnownShapesAndDegenerateInput) {
    const double xs[4] = {0, 2, 2, 0}, ys[4] = {0, 0, 2, 2};
    const double rx[4] = {0, 0, 2, 2}, ry[4] = {0, 2, 2, 0};
    for (const auto& arr : {std::make_pair(xs, ys), std::make_pair(rx, ry)}) {
        double cx, cy, area;
        ASSERT_EQ(M::mathPolyCentroid(4, arr.first, arr.second, cx, cy, area), 1);
        const double got[3] = {cx, cy, area};
        EXPECT_NEAR_ARR(got, 1e-15, 1.0, 1.0, 4.0);
    }
    const double lx[3] = {0, 1, 2}, ly[3] = {0, 1, 2};
    double cx = 9, cy = 9, area = 9;
    EXPECT_EQ(M::mathPolyCentroid(3, lx, ly, cx, cy, area), 0);
    EXPECT_EQ(cx + cy + area, 0.0);
    EXPECT_EQ(M::mathPolyCentroid(2, xs, ys, cx, cy, area), 0);
    EXPECT_EQ(M::mathArea2d(0, xs, ys), 0.0);
}

TEST(PolygonCentroid, NonConvexPolygonInEitherOrder) {
    // L shape of six vertices: rectangles 4 x 1 about (2, 0.5) and 1 x 2 about (0.5, 2).
    std::vector<double> xs = {0, 4, 4, 1, 1, 0}, ys = {0, 0, 1, 1, 3, 3};
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass);
        double cx, cy, area;
        ASSERT_EQ(M::mathPolyCentroid(6, xs.data(), ys.data(), cx, cy, area), 1);
        const double got[4] = {cx, cy, area, M::mathArea2d(6, xs.data(), ys.data())};
        EXPECT_NEAR_ARR(got, 1e-12, 1.5, 1.0, 6.0, 6.0);
        T_GORV_POLYGON2D ring;
        for (int i = 0; i <= 6; ++i) ring.points.Add(T_GORV_POINT2D{xs[i % 6], ys[i % 6]});
        EXPECT_NEAR(ring.GetArea(), 6.0, 1e-12);
        std::reverse(xs.begin(), xs.end());
        std::reverse(ys.begin(), ys.end());
    }
}

TEST(ElementVolume, KnownElementsAndOrientation) {
    const double tet[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    const double flipped[4][3] = {{0, 0, 0}, {1, 0, 0}, {0, 0, 1}, {0, 1, 0}};
    EXPECT_NEAR(M::mathVolume(4, tet), 1.0 / 6, 1e-15);
    EXPECT_NEAR(M::mathVolume(4, flipped), -1.0 / 6, 1e-15);
    EXPECT_EQ(M::mathVolume(5, tet), 0.0);
    const double cube[8][3] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}, {0, 0, 1}, {1, 0, 1}, {1, 1, 1}, {0, 1, 1}};
    EXPECT_NEAR(M::mathVolume(8, cube), 1.0, 1e-12);
    const double wedge[6][3] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 2}, {1, 0, 2}, {0, 1, 2}};
    EXPECT_NEAR(M::mathVolume(6, wedge), 1.0, 1e-7);
    const double upside[6][3] = {{0, 0, 0}, {0, 1, 0}, {1, 0, 0}, {0, 0, 2}, {0, 1, 2}, {1, 0, 2}};
    EXPECT_NEAR(M::mathVolume(6, upside), -1.0, 1e-7);
}

TEST(ElementVolume, OffsetFrustumsMatchThePrismatoidFormula) {
    // Top face = bottom face scaled about the origin and lifted, all moved off the origin:
    // V = h/3 (A1 + A2 + sqrt(A1 A2)). A 2 x 1 rectangle halved over h = 2: 7/3; a right triangle
    // of legs 3 shrunk to a third over h = 3: 6.5.
    const double quad[8][3] = {{1, -2, 5}, {3, -2, 5}, {3, -1, 5}, {1, -1, 5},
                               {1, -2, 7}, {2, -2, 7}, {2, -1.5, 7}, {1, -1.5, 7}};
    const double tri[6][3] = {{1, -2, 5}, {4, -2, 5}, {1, 1, 5}, {1, -2, 8}, {2, -2, 8}, {1, -1, 8}};
    EXPECT_NEAR(M::mathVolume(8, quad), 7.0 / 3, 1e-6);  // Gauss constants of limited digits
    EXPECT_NEAR(M::mathVolume(6, tri), 6.5, 1e-6);
}

TEST(VolumeCentre, PrismUnderSquareInEitherOrder) {
    const double ccw[4][3] = {{0, 0, 2}, {1, 0, 2}, {1, 1, 2}, {0, 1, 2}};
    const double cw[4][3] = {{0, 1, 2}, {1, 1, 2}, {1, 0, 2}, {0, 0, 2}};
    for (const auto* pts : {ccw, cw}) {
        double c[3], v = 0;
        ASSERT_EQ(M::Get_VolmCenter(c, v, 4, pts, 1), 1);
        EXPECT_NEAR(v, 2.0, 1e-12);
        EXPECT_NEAR_ARR(c, 1e-12, 0.5, 0.5, 1.0);
    }
    // Axis 3: base (x, z), height y. A sloped top z = x over the unit square: volume 1/2.
    const double slope[4][3] = {{0, 0, 0}, {1, 1, 0}, {1, 1, 1}, {0, 0, 1}};
    double c[3], v = 0;
    ASSERT_EQ(M::Get_VolmCenter(c, v, 4, slope, 3), 1);
    EXPECT_NEAR(v, 0.5, 1e-12);
    EXPECT_NEAR_ARR(c, 1e-12, 2.0 / 3, 1.0 / 3);
    EXPECT_EQ(M::Get_VolmCenter(c, v, 2, ccw, 1), 0);
}

TEST(TriangleCircles, CircumscribedAndInscribed) {
    const double a[2] = {0, 0}, b[2] = {2, 0}, c[2] = {0, 2}, d[2] = {4, 0};
    double centre[2], r;
    Gorv::circumscribed_circle_2d(a, b, c, centre, r);
    EXPECT_NEAR_ARR(centre, 1e-12, 1, 1);
    EXPECT_NEAR(r, std::sqrt(2.0), 1e-12);
    Gorv::circumscribed_circle_2d(a, b, d, centre, r);
    EXPECT_EQ(centre[0] + centre[1] + r, 0.0);

    const double p[2] = {0, 0}, q[2] = {3, 0}, s[2] = {0, 4};
    Gorv::inscribed_circle_2d(p, q, s, centre, r);
    EXPECT_NEAR_ARR(centre, 1e-12, 1, 1);
    EXPECT_NEAR(r, 1, 1e-12);
    Gorv::inscribed_circle_2d(p, s, q, centre, r);
    EXPECT_NEAR(r, -1, 1e-12);
    Gorv::inscribed_circle_2d(p, p, p, centre, r);
    EXPECT_EQ(r, 0.0);

    EXPECT_NEAR(Gorv::triangle_area_2d(p, q, s), 6, 1e-12);
    EXPECT_NEAR(Gorv::signed_triangle_area_2d(p, s, q), -6, 1e-12);
    EXPECT_NEAR(M::mathArea2d(0, 0, 3, 0, 0, 4), 6, 1e-12);
}

TEST(Shrinkage, FactorBoundsAndHalfway) {
    const double f[] = {0.0, 1e-6 * 0.99, 1.0, 0.9999995, 0.5};
    const bool moves[] = {false, false, false, false, true};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(f[i]);
        double p1[3] = {0, 0, 0}, p2[3] = {3, 0, 0}, p3[3] = {0, 3, 3};
        Gorv::triangle_shrinkage(p1, p2, p3, f[i]);
        EXPECT_EQ(p2[0] != 3.0, moves[i]);
        if (moves[i]) {
            EXPECT_NEAR_ARR(p2, 1e-12, 2.0, 0.5);  // centroid (1, 1, 1): halfway from (3, 0, 0)
            EXPECT_NEAR(p3[2], 2.0, 1e-12);
        }
    }
}

TEST(LineRectangle, ModesWidthAndRotation) {
    const double a[2] = {0, 0}, b[2] = {10, 0}, up[2] = {0, 10};
    const struct { const double* end; int mode; double width, c[4][2]; } cases[] = {
        {b, 1, 2, {{0, 1}, {0, -1}, {10, -1}, {10, 1}}},
        {b, 2, 2, {{0, 2}, {0, 0}, {10, 0}, {10, 2}}},
        {b, 3, 2, {{0, 0}, {0, -2}, {10, -2}, {10, 0}}},
        {b, 1, 0, {{0, 0}, {0, 0}, {10, 0}, {10, 0}}},
        {up, 2, 1, {{-1, 0}, {0, 0}, {0, 10}, {-1, 10}}},
        {b, 4, 2, {{7, 7}, {7, 7}, {7, 7}, {7, 7}}},
    };
    for (const auto& t : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << t.mode << " width " << t.width);
        double c[4][2] = {{7, 7}, {7, 7}, {7, 7}, {7, 7}};
        Gorv::line_rectangle_2d(a, t.end, t.mode, t.width, c[0], c[1], c[2], c[3]);
        for (int k = 0; k < 4; ++k) EXPECT_NEAR_ARR(c[k], 1e-12, t.c[k][0], t.c[k][1]);
    }
}

}  // namespace
