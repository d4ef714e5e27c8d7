// Projections onto planes, surfaces of revolution and parabolas; cylindrical coordinates.
#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "geom/near.h"

namespace {

using M = CGorvMathFunc;
const double kPi = std::acos(-1.0);

TEST(ProjectOnSurface, CylinderAndSphereNormalKnownPoints) {
    double out[3];
    const double p[3] = {3, 4, 7}, axis[3] = {0, 0, 7};
    ASSERT_TRUE(M::project_on_cylinder_normal(p, 10, 1, 1e-6, out));
    EXPECT_NEAR_ARR(out, 1e-9, 6, 8, 7);
    EXPECT_FALSE(M::project_on_cylinder_normal(axis, 10, 1, 1e-6, out));
    EXPECT_FALSE(M::project_on_cylinder_normal(p, 10, 0, 1e-6, out));

    const double up[3] = {0, 0, 5}, down[3] = {0, 0, -5}, centre[3] = {0, 0, 0}, side[3] = {3, -4, 0};
    ASSERT_TRUE(M::project_on_sphere_normal(up, 2, 1e-6, out));
    EXPECT_NEAR_ARR(out, 1e-9, 0, 0, 2);
    ASSERT_TRUE(M::project_on_sphere_normal(down, 2, 1e-6, out));
    EXPECT_NEAR_ARR(out, 1e-9, 0, 0, -2);
    EXPECT_FALSE(M::project_on_sphere_normal(centre, 2, 1e-6, out));
    ASSERT_TRUE(M::project_on_sphere_normal(side, 10, 1e-6, out));
    EXPECT_NEAR_ARR(out, 1e-9, 6, -8, 0);
}

TEST(ProjectOnSurface, VectorProjectionTakesNearerRootOrFails) {
    double out[3];
    const double p[3] = {0, 0, 5}, down[3] = {0, 0, -1}, across[3] = {1, 0, 0};
    ASSERT_TRUE(M::project_on_sphere_vector(p, down, 2, 1e-6, out));
    EXPECT_NEAR_ARR(out, 1e-9, 0, 0, 2);
    EXPECT_FALSE(M::project_on_sphere_vector(p, across, 2, 1e-6, out));
    // Parallel to the cylinder's axis: no crossing.
    EXPECT_FALSE(M::project_on_cylinder_vector(p, down, 2, 1, 1e-6, out));
    const double q[3] = {5, 1, 3};
    ASSERT_TRUE(M::project_on_cylinder_vector(q, across, 2, 1, 1e-6, out));
    EXPECT_NEAR_ARR(out, 1e-9, std::sqrt(3.0), 1, 3);
}

TEST(ProjectOnSurface, ConeNormalAndVectorUseTheSameCone) {
    double out[3], cyl[3];
    const double p[3] = {4, 3, 2};
    ASSERT_TRUE(M::project_on_cone_normal(p, 2, 2, 5, 1e-6, out));
    ASSERT_TRUE(M::project_on_cylinder_normal(p, 2, 5, 1e-6, cyl));
    EXPECT_NEAR_ARR(out, 1e-9, cyl[0], cyl[1], cyl[2]);
    // Cone from radius 4 at z = 0 to 1 at z = 6: the foot lies on the generator, perpendicular to it.
    const double r1 = 4, r2 = 1, h = 6;
    ASSERT_TRUE(M::project_on_cone_normal(p, r1, r2, h, 1e-6, out));
    const double rho = std::hypot(out[0], out[1]);
    EXPECT_NEAR(rho, r1 + (r2 - r1) * out[2] / h, 1e-9);
    EXPECT_NEAR((5 - rho) * (r2 - r1) + (2 - out[2]) * h, 0.0, 1e-9);  // (rho_p - rho*, dz) . (dr, h)
    const double far[3] = {0, 20, 40};
    EXPECT_FALSE(M::project_on_cone_normal(far, r1, r2, h, 1e-6, out));

    std::mt19937 rng(7);
    std::uniform_real_distribution<double> u(-3, 3);
    int hits = 0;
    for (int i = 0; i < 50; ++i) {
        const double q[3] = {u(rng), u(rng), u(rng) + 3}, v[3] = {u(rng), u(rng), u(rng)};
        if (!M::project_on_cone_vector(q, v, r1, r2, h, 1e-9, out)) continue;
        ++hits;
        SCOPED_TRACE(i);
        EXPECT_NEAR(std::fabs(r1 + (r2 - r1) * out[2] / h), std::hypot(out[0], out[1]), 1e-7);
    }
    EXPECT_GT(hits, 25);
}

TEST(ProjectOnSurface, EllipsoidResultsLieOnTheSurface) {
    double out[3];
    const double below[3] = {0, 0, -7};
    ASSERT_TRUE(M::project_on_ellipsoid_normal(below, 3, 2, 1e-6, out));
    EXPECT_NEAR_ARR(out, 1e-9, 0, 0, 2);
    EXPECT_FALSE(M::project_on_ellipsoid_normal(below, 0, 2, 1e-6, out));
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> u(-5, 5);
    const double axes[3][2] = {{3, 2}, {2, 3}, {2.5, 2.5}};
    for (const auto& ac : axes) {
        for (int i = 0; i < 30; ++i) {
            const double p[3] = {u(rng), u(rng), u(rng)}, v[3] = {u(rng), u(rng), u(rng)};
            SCOPED_TRACE(testing::Message() << "a=" << ac[0] << " c=" << ac[1] << " i=" << i);
            ASSERT_TRUE(M::project_on_ellipsoid_normal(p, ac[0], ac[1], 1e-6, out));
            const double f = (out[0] * out[0] + out[1] * out[1]) / (ac[0] * ac[0]) + out[2] * out[2] / (ac[1] * ac[1]);
            EXPECT_NEAR(f, 1.0, 1e-9);
            // Unsigned focal angles put every point of an oblate ellipsoid on its upper half.
            EXPECT_GE(ac[0] > ac[1] ? out[2] : out[2] * p[2], 0.0);
            if (M::project_on_ellipsoid_vector(p, v, ac[0], ac[1], 1e-9, out)) {
                const double g = (out[0] * out[0] + out[1] * out[1]) / (ac[0] * ac[0]) + out[2] * out[2] / (ac[1] * ac[1]);
                EXPECT_NEAR(g, 1.0, 1e-9);
            }
        }
    }
}

TEST(ProjectOnPlane, DirectionNearThePlaneRefusedByTolerance) {
    const double p0[3] = {0, 0, 0}, p1[3] = {1, 0, 0}, p2[3] = {0, 1, 0}, p[3] = {1, 1, 1};
    const double a = 0.5 * kPi / 180.0;
    const double v[3] = {std::cos(a), 0, -std::sin(a)};
    double out[3];
    EXPECT_FALSE(M::project_on_plane_vector(p, v, p0, p1, p2, out));
    ASSERT_TRUE(M::project_on_plane_vector_for_CuttingPlane(p, v, p0, p1, p2, out));
    EXPECT_NEAR(out[2], 0.0, 1e-9);
    EXPECT_TRUE(M::project_on_plane_vector(p, v, p0, p1, p2, out, 0.005));
    EXPECT_FALSE(M::project_on_plane_vector(p, v, p0, p1, p2, out, 0.01));

    ASSERT_TRUE(M::project_on_plane_normal(p, p0, p1, p2, 1e-6, out));
    EXPECT_NEAR_ARR(out, 1e-9, 1, 1, 0);
    EXPECT_FALSE(M::project_on_plane_normal(p, p0, p1, p1, 1e-6, out));

    double q[3] = {1, 1, 1};
    const double tiny[3] = {1e-7, 0, 0};
    Gorv::project_on_plane_vector(p0, p1, p2, tiny, q);  // orthogonal for a vanishing direction
    EXPECT_NEAR_ARR(q, 1e-9, 1, 1, 0);
    const double slant[3] = {1, 0, -1};
    EXPECT_NEAR(Gorv::distance_plane_point_vector_3d(p0, p1, p2, slant, p), std::sqrt(2.0), 1e-12);
    double line[3];
    const double a3[3] = {0, 0, 0}, b3[3] = {10, 0, 0}, off[3] = {20, 5, 1};
    Gorv::project_on_line(a3, b3, off, line);
    EXPECT_NEAR_ARR(line, 1e-9, 20, 0, 0);
}

TEST(ProjectOnQuadCurve, ParabolaExistenceAndProjections) {
    const double p0[3] = {-1, 1, 0}, p1[3] = {0, 0, 0}, p2[3] = {2, 4, 0}, same[3] = {0, 5, 0};
    EXPECT_TRUE(M::check_quad_curve(p0, p1, p2, 1e-6));
    EXPECT_FALSE(M::check_quad_curve(p0, p1, same, 1e-12));
    const double e0[3] = {0.3, 1, 0}, e1[3] = {17.9, 2, 0}, e2[3] = {17.9, 3, 0};  // expanded sum leaves a residue
    EXPECT_FALSE(M::check_quad_curve(e0, e1, e2, 1e-300));
    double out[3];
    const double q[3] = {1.5, 0.5, 9}, up[3] = {0, 1, 0}, diag[3] = {1, 1, 0};
    ASSERT_TRUE(M::project_on_quad_curve_vector(p0, p1, p2, q, up, 1e-9, out));
    EXPECT_NEAR_ARR(out, 1e-9, 1.5, 2.25, 9);
    const double q2[3] = {1, 3, 0};  // the line y = x + 2 meets y = x^2 at (2, 4) and (-1, 1)
    ASSERT_TRUE(M::project_on_quad_curve_vector(p0, p1, p2, q2, diag, 1e-9, out));
    EXPECT_NEAR_ARR(out, 1e-9, 2, 4, 0);
    EXPECT_FALSE(M::project_on_quad_curve_vector(p0, p1, p2, q, diag, 1e-9, out));  // y = x - 1 misses

    ASSERT_TRUE(M::project_on_quad_curve_normal(p0, p1, p2, q, 1e-9, out));
    EXPECT_NEAR(out[1], out[0] * out[0], 1e-9);
    double best = 1e9;  // brute-force nearest distance over a fine sampling of the curve
    for (int k = 0; k <= 30000; ++k) {
        const double x = -1 + 3.0 * k / 30000;
        best = std::fmin(best, std::hypot(x - q[0], x * x - q[1]));
    }
    EXPECT_NEAR(std::hypot(out[0] - q[0], out[1] - q[1]), best, 1e-3);
}

TEST(CylinderCoordinates, AngleCountsCounterClockwiseFromReference) {
    double p[3] = {1, 0, 5}, out[3];
    const double a[3] = {0, 0, 0}, b[3] = {0, 0, 10}, ref[3] = {0, 1, 0};
    M::mathConvertToCylinderCoordi(p, out, a, b, ref);
    EXPECT_NEAR_ARR(out, 1e-9, 1, 270, 5);
    EXPECT_NEAR_ARR(p, 1e-9, 0, 1, 5);
    const double xref[3] = {1, 0, 0};
    for (double deg : {30.0, 120.0, 210.0, 300.0}) {
        SCOPED_TRACE(deg);
        const double t = deg * kPi / 180.0;
        double q[3] = {2 * std::cos(t), 2 * std::sin(t), -3};
        M::mathConvertToCylinderCoordi(q, out, a, b, xref);
        EXPECT_NEAR_ARR(out, 1e-6, 2, deg, -3);
    }
}

}  // namespace
