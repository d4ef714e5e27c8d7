// Areas, centroids, element volumes, prism volumes, circles of a triangle, shrinkage, rectangles.
#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "geom/near.h"
#include <vector>

namespace {

using M = CGorvMathFunc;

T_GORV_POLYGON2D Ring(std::initializer_list<T_GORV_POINT2D> pts) {
    T_GORV_POLYGON2D r;
    for (const auto& p : pts) r.points.Add(p);
    return r;
}

// Random star-shaped polygon around (cx, cy): angles sorted, radii random.
void StarPolygon(std::mt19937& rng, int n, std::vector<double>& xs, std::vector<double>& ys) {
    std::uniform_real_distribution<double> rad(1, 5), c(-10, 10);
    const double cx = c(rng), cy = c(rng);
    xs.clear();
    ys.clear();
    for (int i = 0; i < n; ++i) {
        const double t = 2 * std::acos(-1.0) * (i + 0.5 * rad(rng) / 5) / n, r = rad(rng);
        xs.push_back(cx + r * std::cos(t));
        ys.push_back(cy + r * std::sin(t));
    }
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

TEST(PolygonCentroid, RandomPolygonsAgreeWithTriangleFan) {
    std::mt19937 rng(2024);
    std::vector<double> xs, ys;
    for (int iter = 0; iter < 200; ++iter) {
        const int n = 3 + iter % 12;
        StarPolygon(rng, n, xs, ys);
        SCOPED_TRACE(iter);
        double fa = 0, fx = 0, fy = 0;  // fan from vertex 0: signed areas and their centroids
        for (int i = 1; i + 1 < n; ++i) {
            const double a = 0.5 * ((xs[i] - xs[0]) * (ys[i + 1] - ys[0]) - (xs[i + 1] - xs[0]) * (ys[i] - ys[0]));
            fa += a;
            fx += a * (xs[0] + xs[i] + xs[i + 1]) / 3;
            fy += a * (ys[0] + ys[i] + ys[i + 1]) / 3;
        }
        double cx, cy, area;
        ASSERT_EQ(M::mathPolyCentroid(n, xs.data(), ys.data(), cx, cy, area), 1);
        EXPECT_NEAR(area, std::fabs(fa), 1e-9);
        EXPECT_NEAR(cx, fx / fa, 1e-9);
        EXPECT_NEAR(cy, fy / fa, 1e-9);
        EXPECT_NEAR(M::mathArea2d(n, xs.data(), ys.data()), std::fabs(fa), 1e-9);
        T_GORV_POLYGON2D ring;
        for (int i = 0; i <= n; ++i) ring.points.Add(T_GORV_POINT2D{xs[i % n], ys[i % n]});
        EXPECT_NEAR(ring.GetArea(), std::fabs(fa), 1e-9);
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

TEST(ElementVolume, RandomFrustumsMatchThePrismatoidFormula) {
    // Top face = bottom face scaled and lifted: planar faces, so the element is the frustum with
    // V = h/3 (A1 + A2 + sqrt(A1 A2)).
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> u(0.3, 1.0), off(-5, 5);
    for (int iter = 0; iter < 100; ++iter) {
        SCOPED_TRACE(iter);
        const int n = (iter % 2) ? 4 : 3;
        double base[4][2];
        for (int i = 0; i < n; ++i) {
            const double t = 2 * std::acos(-1.0) * (i + 0.3 * u(rng)) / n, r = 2 * u(rng);
            base[i][0] = r * std::cos(t);
            base[i][1] = r * std::sin(t);
        }
        const double s = u(rng), h = 3 * u(rng), dx = off(rng), dy = off(rng), dz = off(rng);
        double pts[8][3], a1 = 0;
        for (int i = 0; i < n; ++i)
            a1 += 0.5 * (base[i][0] * base[(i + 1) % n][1] - base[(i + 1) % n][0] * base[i][1]);
        for (int i = 0; i < n; ++i) {  // scaled about the origin: the lateral edges still meet in one apex
            pts[i][0] = base[i][0] + dx, pts[i][1] = base[i][1] + dy, pts[i][2] = dz;
            pts[n + i][0] = s * base[i][0] + dx, pts[n + i][1] = s * base[i][1] + dy, pts[n + i][2] = dz + h;
        }
        const double a2 = a1 * s * s;
        const double expect = h / 3 * (a1 + a2 + std::sqrt(a1 * a2));
        EXPECT_NEAR(M::mathVolume(2 * n, pts), expect, 1e-6 * expect);
    }
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
    struct Case {
        const double* end;
        int mode;
        double width;
        double c[4][2];
    } cases[] = {
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
