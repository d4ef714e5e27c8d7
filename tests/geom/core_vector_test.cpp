// Vectors, angles, rotations and small matrices of both toolkit families.
#include <gorv/gorv_base.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {
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
        EXPECT_NEAR(p[0], p0[0], 1e-9);
        EXPECT_NEAR(p[1], p0[1], 1e-9);
        Gorv::transform_2d(p, dx, dy, deg);
        Gorv::inverse_transform_2d(p, dx, dy, deg);
        EXPECT_NEAR(p[0], p0[0], 1e-9);
        EXPECT_NEAR(p[1], p0[1], 1e-9);
    }
    double q[2] = {1, 0};
    Gorv::transform_2d(q, 10, 0, 90);  // rotates first, then translates
    EXPECT_NEAR(q[0], 10, 1e-15);
    EXPECT_NEAR(q[1], 1, 1e-15);
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
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) EXPECT_NEAR(C[i][j], i == j ? 1.0 : 0.0, 1e-9);
    }
    const double S[3][3] = {{5e-7, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    double Z[3][3];
    Gorv::inverse_matrix_3x3(S, Z);
    for (auto& row : Z)
        for (double x : row) EXPECT_EQ(x, 0.0);
    const double S2[2][2] = {{1e-3, 0}, {0, 9.99e-4}};  // det just below 1e-6
    const double N2[2][2] = {{2, 0}, {0, 5e-7 * 2 + 1e-9}};
    double Z2[2][2], I2[2][2];
    Gorv::inverse_matrix_2x2(S2, Z2);
    EXPECT_EQ(Z2[0][0], 0.0);
    Gorv::inverse_matrix_2x2(N2, I2);
    EXPECT_NEAR(I2[0][0], 0.5, 1e-15);
    double p[3] = {1, 2, 3};
    const double t[3] = {1, 1, 1};
    Gorv::inverse_transform_3d(p, t, S);
    EXPECT_EQ(p[0], 0.0);
    EXPECT_EQ(p[2], 0.0);
}

TEST(GorvMatrix, EulerAnglesOutAndBackAndGeneralAxisIsRightHanded) {
    std::mt19937 gen(99);
    std::uniform_real_distribution<double> a13(-179, 179), a2(-89, 89);
    for (int n = 0; n < 300; ++n) {
        const double e1 = a13(gen), e2 = a2(gen), e3 = a13(gen);
        double M[3][3], r1, r2, r3;
        Gorv::rotation_matrix_from_euler_angle(M, e1, e2, e3);
        Gorv::euler_angle_from_rotation_matrix(M, r1, r2, r3);
        EXPECT_NEAR(r1, e1, 1e-8);
        EXPECT_NEAR(r2, e2, 1e-8);
        EXPECT_NEAR(r3, e3, 1e-8);
    }
    // general axis (0,0,0)->(1,1,1) by 120 degrees permutes the axes x -> y -> z
    const double a[3] = {0, 0, 0}, b[3] = {1, 1, 1};
    double p[3] = {1, 0, 0};
    Gorv::rotate_about_general_axis_3d(p, a, b, 120);
    EXPECT_NEAR(p[0], 0, 1e-12);
    EXPECT_NEAR(p[1], 1, 1e-12);
    EXPECT_NEAR(p[2], 0, 1e-12);
    // x-axis direction (r = 0 branch) agrees with the principal rotation
    const double ax[3] = {2, 0, 0};
    double q[3] = {0, 1, 0}, r[3] = {0, 1, 0};
    Gorv::rotate_about_general_axis_3d(q, a, ax, 90);
    Gorv::rotate_about_x_axis_3d(r, 90);
    EXPECT_NEAR(q[2], 1, 1e-12);
    EXPECT_NEAR(r[2], 1, 1e-12);
    double m[2] = {2, 3};
    const double ma[2] = {0, 0}, mb[2] = {1, 0};
    Gorv::mirror_2d(m, ma, mb);
    EXPECT_NEAR(m[0], 2, 1e-15);
    EXPECT_NEAR(m[1], -3, 1e-15);
    double s[2] = {3, 0};
    const double sa[2] = {0, 0}, sb[2] = {1, 1};
    Gorv::mirror_2d(s, sa, sb);
    EXPECT_NEAR(s[0], 0, 1e-12);
    EXPECT_NEAR(s[1], 3, 1e-12);
}

TEST(GorvVector, GramSchmidtKeepsCallerAxisForZeroFirstVector) {
    const double zero[3] = {0, 0, 0}, b[3] = {0, 3, 4};
    double e1[3] = {1, 0, 0}, e2[3] = {9, 9, 9};
    Gorv::gram_schmidt_orthonormal_basis_3d(zero, b, e1, e2);
    EXPECT_EQ(e1[0], 1.0);
    EXPECT_NEAR(e2[1], 0.6, 1e-15);
    EXPECT_NEAR(e2[2], 0.8, 1e-15);
    double n[3];
    const double p0[3] = {0, 0, 0}, p1[3] = {1, 0, 0}, p2[3] = {2, 0, 0};
    Gorv::normal_3d(p0, p1, p2, n);
    EXPECT_EQ(n[0] + n[1] + n[2], 0.0);
}

TEST(MathRotate, PrincipalRotationsSnapExactAndAgreeWithGeneralAxis) {
    double x = 1, y = 0, z = 0;
    CGorvMathFunc::mathRotateZ(90, x, y, z);
    EXPECT_EQ(x, 0.0);
    EXPECT_EQ(y, 1.0);
    EXPECT_EQ(z, 0.0);
    x = 0, y = 1, z = 0;
    CGorvMathFunc::mathRotateX(90, x, y, z);  // right-handed: y -> z
    EXPECT_EQ(z, 1.0);
    x = 0, y = 0, z = 1;
    CGorvMathFunc::mathRotateY(90, x, y, z);  // right-handed: z -> x
    EXPECT_EQ(x, 1.0);
    x = 3, y = 4, z = 5;
    CGorvMathFunc::mathRotate(0, 0, 0, 0, x, y, z);
    EXPECT_EQ(x, 3.0);
    std::mt19937 gen(5);
    std::uniform_real_distribution<double> val(-10, 10), ang(-360, 360);
    for (int n = 0; n < 300; ++n) {
        const double ax = val(gen), ay = val(gen), az = val(gen), deg = ang(gen);
        const double p0[3] = {val(gen), val(gen), val(gen)};
        double px = p0[0], py = p0[1], pz = p0[2];
        CGorvMathFunc::mathRotate(deg, ax, ay, az, px, py, pz);
        double q[3] = {p0[0], p0[1], p0[2]};
        const double o[3] = {0, 0, 0}, axis[3] = {ax, ay, az};
        Gorv::rotate_about_general_axis_3d(q, o, axis, deg);
        EXPECT_NEAR(px, q[0], 1e-9);
        EXPECT_NEAR(py, q[1], 1e-9);
        EXPECT_NEAR(pz, q[2], 1e-9);
        CGorvMathFunc::mathRotate(-deg, 1, 2, 3, ax, ay, az, px, py, pz);
        CGorvMathFunc::mathRotate(deg, 1, 2, 3, ax, ay, az, px, py, pz);
        EXPECT_NEAR(px, q[0], 1e-9);
    }
}

TEST(MathAngle, DirectionAnglesAndSigns) {
    struct Case { double x1, y1, x2, y2; int full; double deg; };
    const Case cases[] = {{0, 0, 1, 1, 1, 45},   {0, 0, -1, -1, 1, 225}, {0, 0, 0, -1, 0, -90},
                          {0, 0, 0, -1, 1, 270}, {0, 0, 0.0005, 0, 1, 0}, {0, 0, 0, 2, 0, 90},
                          {0, 0, -2, 0, 1, 180}, {0, 0, -2, 0, 0, 0},    {0, 0, 1, -1, 1, 315},
                          {0, 0, -1, 1, 1, 135}, {0, 0, 1, -1, 0, -45}};
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.x2 << "," << c.y2 << " full=" << c.full);
        EXPECT_NEAR(CGorvMathFunc::GetAngle(c.x1, c.y1, c.x2, c.y2, c.full), c.deg, 1e-12);
    }
    const double ex[3] = {1, 0, 0}, ey[3] = {0, 1, 0}, eny[3] = {0, -1, 0}, ez[3] = {0, 0, 1};
    EXPECT_NEAR(CGorvMathFunc::mathCrossAngleNormalizeWithSign(ex, ey), 90, 1e-12);
    EXPECT_NEAR(CGorvMathFunc::mathCrossAngleNormalizeWithSign(ex, eny), -90, 1e-12);
    EXPECT_NEAR(CGorvMathFunc::mathCrossAngleNormalizeWithSign(ey, ez), 90, 1e-12);
    EXPECT_EQ(CGorvMathFunc::mathCrossAngle2D(ex, ex), 0.0);
    EXPECT_TRUE(std::signbit(CGorvMathFunc::mathCrossAngle2D(ex, ex)));
    const double enx[3] = {-1, 0, 0};
    EXPECT_NEAR(CGorvMathFunc::mathCrossAngle2D(ex, enx), -180, 1e-12);
    const double big[3] = {3, 4, 0}, big2[3] = {3, 4, 0};
    EXPECT_EQ(CGorvMathFunc::mathDot(big, big2), 1.0);
}

TEST(MathVector, NormalizeLeavesArrayOutputButZeroesReferences) {
    const double tiny[3] = {1e-16, 0, 0};
    double out[3] = {7, 7, 7};
    EXPECT_EQ(CGorvMathFunc::mathNormalize(tiny, out), 0);
    EXPECT_EQ(out[0], 7.0);
    double ox = 7, oy = 7, oz = 7;
    EXPECT_EQ(CGorvMathFunc::mathNormalize(1e-16, 0, 0, ox, oy, oz), 0);
    EXPECT_EQ(ox, 0.0);
    EXPECT_EQ(CGorvMathFunc::mathNormalize(0, 3, 4, ox, oy, oz), 1);
    EXPECT_NEAR(oz, 0.8, 1e-15);
    double a1, a2;
    CGorvMathFunc::mathVec2Ang(0, 1, 1, a1, a2);  // first angle comes out negated
    EXPECT_NEAR(a1, -45, 1e-12);
    EXPECT_EQ(a2, 0.0);
    CGorvMathFunc::mathVec2Ang(1, 0, -1, a1, a2);
    EXPECT_NEAR(a1, -180, 1e-12);
    EXPECT_NEAR(a2, 45, 1e-12);
    double M[4][4], I[4][4], R[4][4];
    CGorvMathFunc::mathMxIdentity(I);
    CGorvMathFunc::mathMxCopy(I, M);
    M[3][0] = 5;  // translation row
    CGorvMathFunc::mathMxMult(M, M, M);  // result may overwrite an operand
    EXPECT_EQ(M[3][0], 10.0);
    CGorvMathFunc::mathMxMult(I, M, R);
    const double v[4] = {1, 2, 3, 1};
    double w[4];
    CGorvMathFunc::mathVecMult(v, R, w);
    EXPECT_EQ(w[0], 11.0);
}
