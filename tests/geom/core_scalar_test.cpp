// Scalar helpers, snapping trigonometry and tolerance comparisons.
#include <gorv/gorv_base.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>

namespace {

using M = CGorvMathFunc;
const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

double Up(double x) { return std::nextafter(x, kInf); }
double Down(double x) { return std::nextafter(x, -kInf); }

}  // namespace

TEST(GorvZero, BoundaryOfOneMillionthIsNeitherZeroNorNonZero) {
    struct Case { double x; bool zero; bool nonZero; };
    const Case cases[] = {{1e-6, false, false}, {-1e-6, false, false}, {Down(1e-6), true, false},
                          {Up(1e-6), false, true}, {-Up(1e-6), false, true}, {9.9e-7, true, false},
                          {kNaN, false, false}, {kInf, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(Gorv::is_zero(c.x), c.zero);
        EXPECT_EQ(Gorv::is_not_zero(c.x), c.nonZero);
    }
}

TEST(GorvScalar, InclusiveAndStrictBoundsOfComparisons) {
    EXPECT_TRUE(Gorv::approximate(1.1, 1.0, 0.1));
    EXPECT_TRUE(Gorv::approximate(1.0, 1.0, 0.0));
    EXPECT_FALSE(Gorv::approximate(Up(1.0), 1.0, 0.0));
    EXPECT_TRUE(Gorv::is_equal3(0, 1e-6, 0));   // |a-b| bound inclusive
    EXPECT_FALSE(Gorv::is_equal3(0, 0, 1e-6));  // |a-c| bound strict
    // chop: strictly below 1e-6 becomes +0, the bound itself stays.
    const double chops[][2] = {{Down(1e-6), 0.0}, {-5e-7, 0.0}, {1e-6, 1e-6}};
    for (const auto& c : chops) {
        double x = c[0];
        Gorv::chop(x);
        EXPECT_EQ(x, c[1]) << c[0];
        EXPECT_FALSE(std::signbit(x)) << c[0];
    }
}

TEST(GorvScalar, RoundingTruncatesNegativesAndUsesItsOwnThresholds) {
    struct Case { double x; int off; int up; };
    const Case cases[] = {{0.4999995, 1, 1}, {2.4999990, 2, 3}, {-0.6, 0, 0}, {-1.7, -1, -1},
                          {3.0000009, 3, 3}, {3.0000011, 3, 4}, {2.0, 2, 2}, {kNaN, 0, 0},
                          {1e300, INT_MAX, INT_MAX}, {-1e300, INT_MIN, INT_MIN}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_EQ(Gorv::round_off(c.x), c.off);
        EXPECT_EQ(Gorv::round_up(c.x), c.up);
    }
}

TEST(GorvScalar, FactorialBoundsAndAngleUnits) {
    const double facts[][2] = {{0, 1.0}, {-5, 1.0}, {5, 120.0}, {22, 1124000727777607680000.0}};
    for (const auto& c : facts) EXPECT_EQ(Gorv::factorial(static_cast<int>(c[0])), c[1]) << c[0];
    EXPECT_TRUE(std::isinf(Gorv::factorial(171)));
    EXPECT_TRUE(std::isinf(Gorv::factorial(INT_MAX)));  // must not loop for ages
    double lo = 0, hi = 0;
    Gorv::bound3(3, -2, 7, lo, hi);
    EXPECT_TRUE(lo == -2 && hi == 7);
    EXPECT_TRUE(Gorv::radian(180.0) == M::Get_pi() && Gorv::degree(M::Get_pi()) == 180.0);
}

TEST(MathTrig, SnapsToZeroAndUnitsStrictlyWithinNormalZero) {
    const double pi = M::Get_pi();
    struct Case { double (*f)(double); double x, want; };
    const Case cases[] = {
        {M::mathSin, pi, 0.0}, {M::mathCos, pi / 2, 0.0}, {M::mathCos, pi, -1.0}, {M::mathTan, pi / 2, DBL_MAX},
        {M::mathTan, 3 * pi / 2, DBL_MAX}, {M::mathTan, pi, 0.0},
        // sin(x) ~ x for tiny x: just below 1e-15 snaps, 1e-15 itself does not
        {M::mathSin, Down(1e-15), 0.0}, {M::mathSin, 1e-15, 1e-15}, {M::mathSin, -Down(1e-15), 0.0},
        // inverse functions and the root clamp their arguments
        {M::mathAcos, 1.0000001, 0.0}, {M::mathAcos, -3, pi}, {M::mathAsin, -2, -pi / 2},
        {M::mathSqrt, -4, 0.0}, {M::mathSqrt, 9, 3.0}};
    for (const Case& c : cases) EXPECT_EQ(c.f(c.x), c.want) << "x = " << c.x;
    EXPECT_TRUE(std::isnan(M::mathSin(kNaN)) && std::isnan(M::mathTan(kInf)));
    EXPECT_TRUE(M::mathAbs(INT_MIN) == INT_MIN && M::mathAbs(-7) == 7);
    EXPECT_FALSE(std::signbit(M::mathAbs(-0.0)));
}

TEST(MathScalar, RealToIntRoundsUpOnlyWithinToleranceBelowNextInteger) {
    const double cases[][2] = {{2.9999, 3}, {2.9, 2}, {-2.9999, -2}, {5.0, 5}, {kNaN, 0}};
    for (const auto& c : cases) EXPECT_EQ(M::RealToInt(c[0], 0.001), static_cast<int>(c[1])) << c[0];
}

TEST(MathScalar, InterpolateRunsFromAToBAndClampsOutsideZeroToOne) {
    // Swapping a and b, or s and t, changes every answer; t outside [0, 1] clamps.
    const double three[][4] = {{2, 4, Down(1e-15), 2.0}, {2, 4, -0.5, 2.0},  {2, 4, 0.25, 2.5},
                               {4, 2, 0.25, 3.5},        {2, 4, 1.0, 4.0},   {2, 4, Up(1.0), 4.0},
                               {2, 4, 3.0, 4.0},         {2, 4, 1e-15, 2.0 + 2.0 * 1e-15}};
    for (const auto& c : three) EXPECT_EQ(M::mathInterpolate(c[0], c[1], c[2]), c[3]) << c[0] << " " << c[2];
    // Six arguments: (a0, a1) and (b0, b1) by s, then the two results by t.
    const double six[][3] = {{0.25, 0.75, 8.375}, {0.75, 0.25, 4.375}, {2.0, 0.5, 8.0}, {0.5, -1.0, 1.0}};
    for (const auto& c : six) EXPECT_EQ(M::mathInterpolate(0, 2, 10, 14, c[0], c[1]), c[2]) << c[0] << " " << c[1];
}

TEST(CompFunc, ToleranceComparisonsBothSidesOfTheBoundary) {
    const double eps = 2.220446049250313e-16;
    struct Case { int (*f)(double, double); double a, b; int want; };
    const Case cases[] = {
        {CCompFunc::CompReal, 1.0, 1.0 + 32 * eps, 0},        {CCompFunc::CompReal, 1.0, 1.0 + 33 * eps, -1},
        {CCompFunc::CompReal, 1.0 + 33 * eps, 1.0, 1},        {CCompFunc::CompReal, -1.0, -1.0 - 32 * eps, 0},
        {CCompFunc::CompReal, kInf, 1.0, 1},                  {CCompFunc::FastCompDouble, 0.1 + 0.2, 0.3, 0},
        {CCompFunc::FastCompDouble, eps, 0.0, 0},             {CCompFunc::FastCompDouble, Up(eps), 0.0, 1},
        {CCompFunc::FastCompDouble, 0.0, Up(eps), -1},        {CCompFunc::FastCompDouble, 1e20, 1e20 + 16384, -1},
        {CCompFunc::SafeCompDouble, 1e20, 1e20 + 16384, 0},   {CCompFunc::SafeCompDouble, 0.1 + 0.2, 0.3, 0},
        {CCompFunc::SafeCompDouble, 1.00000000000001, 1.0, 1},  // differs in the 15th digit
        {CCompFunc::SafeCompDouble, kNaN, 1.0, 0}};
    for (const Case& c : cases) EXPECT_EQ(c.f(c.a, c.b), c.want) << c.a << " vs " << c.b;
    // CompRealTol: the tolerance is inclusive.
    EXPECT_TRUE(CCompFunc::CompRealTol(1.5, 1.0, 0.5) == 0 && CCompFunc::CompRealTol(Up(1.5), 1.0, 0.5) == 1);
    EXPECT_EQ(CCompFunc::CompRealTol(1.0, 1.75, 0.5), -1);
}
