// Vectors, angles, rotations and small matrices of both toolkit families.
#include <gorv/gorv_base.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "geom/near.h"

namespace {
using M = CGorvMathFunc;
const double kNaN = std::numeric_limits<double>::quiet_NaN();
}

TEST(GorvAngle, SignedCounterClockwiseAndDegenerateToZero) {
    struct Case { double x1, y1, x2, y2, deg; };
    const Case cases[] = {{1, 0, 0, 1, 90},  {0, 1, 1, 0, -90}, {1, 0, -1, 0, 180}, {-1, 0, 1, 0, 180},
                          {0, 0, 1, 0, 0},   {1, 0, 0, 0, 0},   {1, 0, 2, 0, 0},    {1, 1, 3, 3, 0},
                          // snapped half turns stay +180 whichever side the residue lies on
                          {1, 0, -1, -1e-7, 180}, {1, 0, -1, 1e-7, 180}, {-1, 0, 1, 1e-7, 180}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x1 << "," << c.y1 << " -> " << c.x2 << "," << c.y2);
        EXPECT_NEAR(Gorv::angle_2d(c.x1, c.y1, c.x2, c.y2), c.deg, 1e-12);
        EXPECT_NEAR(Gorv::angle_3d(c.x1, c.y1, 0, c.x2, c.y2, 0), std::fabs(c.deg), 1e-12);
    }
    const double v[2] = {1, 1}, p1[2] = {2, 1}, p2[2] = {1, 2};
    EXPECT_NEAR(Gorv::angle_2d(v, p1, p2), 90, 1e-12);
    EXPECT_NEAR(Gorv::angle_2d(v, p2, p1), -90, 1e-12);
    EXPECT_TRUE(std::isnan(Gorv::angle_2d(kNaN, 0, 1, 1)));
    EXPECT_FALSE(std::signbit(Gorv::angle_2d(1, 0, 1, -1e-9)));  // snapped 0 is unsigned too
}

TEST(GorvTransform, RotateAndTransformRoundTripOverRandomInputs) {
    std::mt19937 gen(20240611);
    std::uniform_real_distribution<double> coord(-1000, 1000), ang(-720, 720);
    for (int i = 0; i < 500; ++i) {
        const double p0[2] = {coord(gen), coord(gen)}, c[2] = {coord(gen), coord(gen)};
        const double deg = ang(gen), dx = coord(gen), dy = coord(gen);
        double p[2] = {p0[0], p0[1]};
        Gorv::rotate_2d(p, c, deg);
        EXPECT_NEAR(Gorv::distance_2d(p, c), Gorv::distance_2d(p0, c), 1e-9);
        Gorv::rotate_2d(p, c, -deg);
        EXPECT_NEAR_ARR(p, 1e-9, p0[0], p0[1]);
        Gorv::transform_2d(p, dx, dy, deg);
        Gorv::inverse_transform_2d(p, dx, dy, deg);
        EXPECT_NEAR_ARR(p, 1e-9, p0[0], p0[1]);
    }
    double q[2] = {1, 0};
    Gorv::transform_2d(q, 10, 0, 90);  // rotates first, then translates
    EXPECT_NEAR_ARR(q, 1e-15, 10, 1);
}

TEST(GorvMatrix, InverseTimesMatrixIsIdentityAndSingularGivesZero) {
    std::mt19937 gen(7);
    std::uniform_real_distribution<double> val(-10, 10);
    for (int n = 0; n < 300; ++n) {
        double A[3][3], B[3][3], C[3][3];
        for (auto& row : A)
            for (double& x : row) x = val(gen);
        Gorv::inverse_matrix_3x3(A, B);
        Gorv::multiply_matrix_3x3_matrix_3x3(A, B, C);
        const double det = A[0][0] * (A[1][1] * A[2][2] - A[1][2] * A[2][1]) -
                           A[0][1] * (A[1][0] * A[2][2] - A[1][2] * A[2][0]) +
                           A[0][2] * (A[1][0] * A[2][1] - A[1][1] * A[2][0]);
        if (std::fabs(det) < 1e-3) continue;
        for (int i = 0; i < 3; ++i) EXPECT_NEAR_ARR(C[i], 1e-9, i == 0 ? 1. : 0., i == 1 ? 1. : 0., i == 2 ? 1. : 0.);
    }
    const double S[3][3] = {{5e-7, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    double Z[3][3];
    Gorv::inverse_matrix_3x3(S, Z);
    for (auto& row : Z)
        for (double x : row) EXPECT_EQ(x, 0.0);
    const double S2[2][2] = {{1e-3, 0}, {0, 9.99e-4}}, N2[2][2] = {{2, 0}, {0, 5e-7 * 2 + 1e-9}};  // det below 1e-6; above
    double Z2[2][2], I2[2][2];
    Gorv::inverse_matrix_2x2(S2, Z2);
    EXPECT_EQ(Z2[0][0], 0.0);
    Gorv::inverse_matrix_2x2(N2, I2);
    EXPECT_NEAR(I2[0][0], 0.5, 1e-15);
    double p[3] = {1, 2, 3}, t[3] = {1, 1, 1};
    Gorv::inverse_transform_3d(p, t, S);
    EXPECT_TRUE(p[0] == 0.0 && p[2] == 0.0);
}

TEST(GorvMatrix, EulerAnglesOutAndBackAndGeneralAxisIsRightHanded) {
    std::mt19937 gen(99);
    std::uniform_real_distribution<double> a13(-179, 179), a2(-89, 89);
    for (int n = 0; n < 300; ++n) {
        const double e[3] = {a13(gen), a2(gen), a13(gen)};
        double M3[3][3], r[3];
        Gorv::rotation_matrix_from_euler_angle(M3, e[0], e[1], e[2]);
        Gorv::euler_angle_from_rotation_matrix(M3, r[0], r[1], r[2]);
        EXPECT_NEAR_ARR(r, 1e-8, e[0], e[1], e[2]);
    }
    // general axis (0,0,0)->(1,1,1) by 120 degrees permutes the axes x -> y -> z
    const double a[3] = {0, 0, 0}, b[3] = {1, 1, 1}, ax[3] = {2, 0, 0};
    double p[3] = {1, 0, 0}, q[3] = {0, 1, 0}, r[3] = {0, 1, 0};
    Gorv::rotate_about_general_axis_3d(p, a, b, 120);
    EXPECT_NEAR_ARR(p, 1e-12, 0, 1, 0);
    // x-axis direction (r = 0 branch) agrees with the principal rotation
    Gorv::rotate_about_general_axis_3d(q, a, ax, 90);
    Gorv::rotate_about_x_axis_3d(r, 90);
    EXPECT_TRUE(std::fabs(q[2] - 1) < 1e-12 && std::fabs(r[2] - 1) < 1e-12) << q[2] << " " << r[2];
    double m[2] = {2, 3}, s[2] = {3, 0}, o[2] = {0, 0}, xAxis[2] = {1, 0}, diag[2] = {1, 1};
    Gorv::mirror_2d(m, o, xAxis);
    EXPECT_NEAR_ARR(m, 1e-15, 2, -3);
    Gorv::mirror_2d(s, o, diag);
    EXPECT_NEAR_ARR(s, 1e-12, 0, 3);
}

TEST(GorvVector, GramSchmidtKeepsCallerAxisForZeroFirstVector) {
    const double zero[3] = {0, 0, 0}, b[3] = {0, 3, 4};
    double e1[3] = {1, 0, 0}, e2[3] = {9, 9, 9};
    Gorv::gram_schmidt_orthonormal_basis_3d(zero, b, e1, e2);
    EXPECT_EQ(e1[0], 1.0);
    EXPECT_NEAR_ARR(e2 + 1, 1e-15, 0.6, 0.8);
    double n[3], p0[3] = {0, 0, 0}, p1[3] = {1, 0, 0}, p2[3] = {2, 0, 0};
    Gorv::normal_3d(p0, p1, p2, n);
    EXPECT_EQ(n[0] + n[1] + n[2], 0.0);
}

TEST(MathRotate, PrincipalRotationsSnapExactAndAgreeWithGeneralAxis) {
    // Right-handed: x -> y about z, y -> z about x, z -> x about y; a zero axis leaves the point.
    double x = 1, y = 0, z = 0, x2 = 0, y2 = 1, z2 = 0, x3 = 0, y3 = 0, z3 = 1, x4 = 3, y4 = 4, z4 = 5;
    M::mathRotateZ(90, x, y, z), M::mathRotateX(90, x2, y2, z2), M::mathRotateY(90, x3, y3, z3);
    M::mathRotate(0, 0, 0, 0, x4, y4, z4);
    EXPECT_TRUE(x == 0.0 && y == 1.0 && z == 0.0);
    EXPECT_TRUE(z2 == 1.0 && x3 == 1.0 && x4 == 3.0);
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> val(-10, 10), ang(-360, 360);
    for (int n = 0; n < 300; ++n) {
        const double ax = val(gen), ay = val(gen), az = val(gen), deg = ang(gen);
        const double p0[3] = {val(gen), val(gen), val(gen)};
        double p[3] = {p0[0], p0[1], p0[2]}, q[3] = {p0[0], p0[1], p0[2]};
        M::mathRotate(deg, ax, ay, az, p[0], p[1], p[2]);
        const double o[3] = {0, 0, 0}, axis[3] = {ax, ay, az};
        Gorv::rotate_about_general_axis_3d(q, o, axis, deg);
        EXPECT_NEAR_ARR(p, 1e-9, q[0], q[1], q[2]);
        M::mathRotate(-deg, 1, 2, 3, ax, ay, az, p[0], p[1], p[2]);
        M::mathRotate(deg, 1, 2, 3, ax, ay, az, p[0], p[1], p[2]);
        EXPECT_NEAR(p[0], q[0], 1e-9);
    }
}

TEST(MathAngle, DirectionAnglesAndSigns) {
    struct Case { double x2, y2; int full; double deg; };
    const Case cases[] = {{1, 1, 1, 45},   {-1, -1, 1, 225}, {0, -1, 0, -90}, {0, -1, 1, 270},
                          {0.0005, 0, 1, 0}, {0, 2, 0, 90},  {-2, 0, 1, 180}, {-2, 0, 0, 0},
                          {1, -1, 1, 315}, {-1, 1, 1, 135},  {1, -1, 0, -45}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x2 << "," << c.y2 << " full=" << c.full);
        EXPECT_NEAR(M::GetAngle(0, 0, c.x2, c.y2, c.full), c.deg, 1e-12);
    }
    const double ex[3] = {1, 0, 0}, ey[3] = {0, 1, 0}, eny[3] = {0, -1, 0}, ez[3] = {0, 0, 1}, enx[3] = {-1, 0, 0};
    EXPECT_NEAR(M::mathCrossAngleNormalizeWithSign(ex, ey), 90, 1e-12);
    EXPECT_NEAR(M::mathCrossAngleNormalizeWithSign(ex, eny), -90, 1e-12);
    EXPECT_NEAR(M::mathCrossAngleNormalizeWithSign(ey, ez), 90, 1e-12);
    EXPECT_EQ(M::mathCrossAngle2D(ex, ex), 0.0);
    EXPECT_TRUE(std::signbit(M::mathCrossAngle2D(ex, ex)));
    EXPECT_NEAR(M::mathCrossAngle2D(ex, enx), -180, 1e-12);
    const double big[3] = {3, 4, 0};
    EXPECT_EQ(M::mathDot(big, big), 1.0);  // of the normalised vectors
}

TEST(MathVector, NormalizeLeavesArrayOutputButZeroesReferences) {
    const double tiny[3] = {1e-16, 0, 0};
    double out[3] = {7, 7, 7};
    EXPECT_EQ(M::mathNormalize(tiny, out), 0);
    EXPECT_EQ(out[0], 7.0);
    double ox = 7, oy = 7, oz = 7;
    EXPECT_EQ(M::mathNormalize(1e-16, 0, 0, ox, oy, oz), 0);
    EXPECT_EQ(ox, 0.0);
    EXPECT_EQ(M::mathNormalize(0, 3, 4, ox, oy, oz), 1);
    EXPECT_NEAR(oz, 0.8, 1e-15);
    double a[2];
    M::mathVec2Ang(0, 1, 1, a[0], a[1]);  // first angle comes out negated
    EXPECT_NEAR_ARR(a, 1e-12, -45, 0);
    M::mathVec2Ang(1, 0, -1, a[0], a[1]);
    EXPECT_NEAR_ARR(a, 1e-12, -180, 45);
    double M4[4][4], I[4][4], R[4][4];
    M::mathMxIdentity(I);
    M::mathMxCopy(I, M4);
    M4[3][0] = 5;  // translation row
    M::mathMxMult(M4, M4, M4);  // result may overwrite an operand
    EXPECT_EQ(M4[3][0], 10.0);
    M::mathMxMult(I, M4, R);
    const double v[4] = {1, 2, 3, 1};
    double w[4];
    M::mathVecMult(v, R, w);
    EXPECT_EQ(w[0], 11.0);
}
