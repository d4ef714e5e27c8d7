// Seeded random polygon pairs: the three booleans must agree with each other by area, stay within
// the inputs' bounds and keep the output ring shape.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "boolean_test_util.h"

namespace {

struct Bounds {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    void Add(const T_GORV_POLYGON2D& r) {
        for (INT_PTR i = 0; i < r.points.GetSize(); ++i) {
            minX = std::min(minX, r.points[i].x);
            maxX = std::max(maxX, r.points[i].x);
            minY = std::min(minY, r.points[i].y);
            maxY = std::max(maxY, r.points[i].y);
        }
    }
    bool Holds(const CArray<T_GORV_COMPLEX_POLYGON2D>& out, double tol) const {
        for (INT_PTR i = 0; i < out.GetSize(); ++i)
            for (INT_PTR k = 0; k < out[i].outer.points.GetSize(); ++k) {
                const T_GORV_POINT2D& p = out[i].outer.points[k];
                if (p.x < minX - tol || p.x > maxX + tol || p.y < minY - tol || p.y > maxY + tol) return false;
            }
        return true;
    }
};

T_GORV_COMPLEX_POLYGON2D RandomPolygon(std::mt19937& rng, bool withHole) {
    std::uniform_real_distribution<double> pos(0.0, 10.0), rad(2.0, 6.0), rot(0.0, 360.0);
    std::uniform_int_distribution<int> sides(3, 12);
    const double cx = pos(rng), cy = pos(rng), r = rad(rng), a = rot(rng);
    const int n = sides(rng);
    std::vector<booltest::Ring> holes;
    if (withHole) {
        // Drawn one by one: the order in which a call's arguments are evaluated differs between
        // compilers, and with it the polygons.
        const double hRot = rot(rng);
        const int hSides = sides(rng);
        holes.push_back(booltest::RegularPolygon(cx, cy, r * 0.3, hSides, hRot, false));
    }
    return booltest::Poly(booltest::RegularPolygon(cx, cy, r, n, a), holes);
}

TEST(PolygonBooleanProperties, AreasAgreeAcrossOperationsOnRandomPairs) {
    std::mt19937 rng(20240611u);
    int checkedIntersections = 0, failedUnions = 0;
    for (int iter = 0; iter < 120; ++iter) {
        const T_GORV_COMPLEX_POLYGON2D a = RandomPolygon(rng, iter % 3 == 1);
        const T_GORV_COMPLEX_POLYGON2D b = RandomPolygon(rng, iter % 4 == 2);
        SCOPED_TRACE("iteration " + std::to_string(iter) + "\nA = " + booltest::ToWkt(a) + "\nB = " + booltest::ToWkt(b));
        CArray<T_GORV_COMPLEX_POLYGON2D> u, n, s;
        CGeomFunc::Union2Polygon(a, b, u);
        CGeomFunc::Intersect2Polygon(a, b, n);
        CGeomFunc::Subtract2Polygon(a, b, s, 0.001);
        for (const auto* out : {&u, &n, &s}) EXPECT_EQ(booltest::ShapeProblems(*out), "");

        Bounds ab, aOnly;
        ab.Add(a.outer);
        ab.Add(b.outer);
        aOnly.Add(a.outer);
        EXPECT_TRUE(ab.Holds(u, 1e-9));
        EXPECT_TRUE(ab.Holds(n, 1e-9));
        EXPECT_TRUE(aOnly.Holds(s, 1e-9));

        const double areaA = booltest::Area(a), areaB = booltest::Area(b);
        const double areaI = booltest::TotalArea(n), eps = 1e-6 * (areaA + areaB);
        // A crossing closer than twice the tolerance to a vertex leaves a piece too short for a
        // section, so a few unions legitimately fail; those cases say nothing about areas.
        if (u.GetSize() == 0) {
            ++failedUnions;
            continue;
        }
        EXPECT_NEAR(booltest::TotalArea(u), areaA + areaB - areaI, eps);
        if (n.GetSize() > 0) {
            ++checkedIntersections;
            EXPECT_LE(areaI, std::min(areaA, areaB) + eps);
            // Subtraction fails only when nothing of A is left.
            if (s.GetSize() > 0) EXPECT_NEAR(booltest::TotalArea(s), areaA - areaI, eps);
            else EXPECT_NEAR(areaI, areaA, eps);
        }
    }
    EXPECT_GT(checkedIntersections, 40);
    EXPECT_LT(failedUnions, 6);
}

}  // namespace
