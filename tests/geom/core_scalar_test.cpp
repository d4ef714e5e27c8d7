// Scalar helpers, snapping trigonometry and tolerance comparisons.
#include <gorv/gorv_base.h>
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>

namespace {

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
    double x = Down(1e-6);
    Gorv::chop(x);
    EXPECT_EQ(x, 0.0);
    EXPECT_FALSE(std::signbit(x));
    double neg = -5e-7;
    Gorv::chop(neg);
    EXPECT_FALSE(std::signbit(neg));
    double keep = 1e-6;
    Gorv::chop(keep);
    EXPECT_EQ(keep, 1e-6);
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

TEST(GorvScalar, FactorialMinMaxAndAngleUnits) {
    EXPECT_EQ(Gorv::factorial(0), 1.0);
    EXPECT_EQ(Gorv::factorial(-5), 1.0);
    EXPECT_EQ(Gorv::factorial(5), 120.0);
    EXPECT_EQ(Gorv::factorial(22), 1124000727777607680000.0);
    EXPECT_TRUE(std::isinf(Gorv::factorial(171)));
    EXPECT_TRUE(std::isinf(Gorv::factorial(INT_MAX)));  // must not loop for ages
    double lo = 0, hi = 0;
    Gorv::bound3(3, -2, 7, lo, hi);
    EXPECT_EQ(lo, -2);
    EXPECT_EQ(hi, 7);
    EXPECT_EQ(Gorv::radian(180.0), CGorvMathFunc::Get_pi());
    EXPECT_EQ(Gorv::degree(CGorvMathFunc::Get_pi()), 180.0);
    EXPECT_EQ(CGorvMathFunc::Get_pi(), 4.0 * std::atan(1.0));
    EXPECT_EQ(CGorvMathFunc::Get_trrad(), CGorvMathFunc::Get_pi() / 180.0);
    EXPECT_EQ(CGorvMathFunc::Get_trang(), 180.0 / CGorvMathFunc::Get_pi());
    EXPECT_EQ(CGorvMathFunc::Get_NormalZero(), 1e-15);
}

TEST(MathTrig, SnapsToZeroAndUnitsStrictlyWithinNormalZero) {
    const double pi = CGorvMathFunc::Get_pi();
    EXPECT_EQ(CGorvMathFunc::mathSin(pi), 0.0);
    EXPECT_EQ(CGorvMathFunc::mathCos(pi / 2), 0.0);
    EXPECT_EQ(CGorvMathFunc::mathCos(pi), -1.0);
    EXPECT_EQ(CGorvMathFunc::mathTan(pi / 2), DBL_MAX);
    EXPECT_EQ(CGorvMathFunc::mathTan(3 * pi / 2), DBL_MAX);
    EXPECT_EQ(CGorvMathFunc::mathTan(pi), 0.0);
    // sin(x) ~ x for tiny x: just below 1e-15 snaps, 1e-15 itself does not
    EXPECT_EQ(CGorvMathFunc::mathSin(Down(1e-15)), 0.0);
    EXPECT_EQ(CGorvMathFunc::mathSin(1e-15), 1e-15);
    EXPECT_EQ(CGorvMathFunc::mathSin(-Down(1e-15)), 0.0);
    EXPECT_TRUE(std::isnan(CGorvMathFunc::mathSin(kNaN)));
    EXPECT_TRUE(std::isnan(CGorvMathFunc::mathTan(kInf)));
}

TEST(MathTrig, InverseAndRootClampTheirArguments) {
    const double pi = CGorvMathFunc::Get_pi();
    EXPECT_EQ(CGorvMathFunc::mathAcos(1.0000001), 0.0);
    EXPECT_EQ(CGorvMathFunc::mathAcos(-3), pi);
    EXPECT_EQ(CGorvMathFunc::mathAsin(-2), -pi / 2);
    EXPECT_EQ(CGorvMathFunc::mathSqrt(-4), 0.0);
    EXPECT_EQ(CGorvMathFunc::mathSqrt(9), 3.0);
    EXPECT_EQ(CGorvMathFunc::mathAbs(INT_MIN), INT_MIN);
    EXPECT_EQ(CGorvMathFunc::mathAbs(-7), 7);
    EXPECT_FALSE(std::signbit(CGorvMathFunc::mathAbs(-0.0)));
}

TEST(MathScalar, RealToIntRoundsUpOnlyWithinToleranceBelowNextInteger) {
    EXPECT_EQ(CGorvMathFunc::RealToInt(2.9999, 0.001), 3);
    EXPECT_EQ(CGorvMathFunc::RealToInt(2.9, 0.001), 2);
    EXPECT_EQ(CGorvMathFunc::RealToInt(-2.9999, 0.001), -2);
    EXPECT_EQ(CGorvMathFunc::RealToInt(5.0, 0.001), 5);
    EXPECT_EQ(CGorvMathFunc::RealToInt(kNaN, 0.001), 0);
}

TEST(MathScalar, InterpolateRunsFromAToBAndClampsOutsideZeroToOne) {
    // Parameters chosen so that swapping a and b, or s and t, changes every answer.
    EXPECT_EQ(CGorvMathFunc::mathInterpolate(2, 4, Down(1e-15)), 2.0);
    EXPECT_EQ(CGorvMathFunc::mathInterpolate(2, 4, -0.5), 2.0);  // clamped, not 1
    EXPECT_EQ(CGorvMathFunc::mathInterpolate(2, 4, 0.25), 2.5);
    EXPECT_EQ(CGorvMathFunc::mathInterpolate(4, 2, 0.25), 3.5);
    EXPECT_EQ(CGorvMathFunc::mathInterpolate(2, 4, 1.0), 4.0);
    EXPECT_EQ(CGorvMathFunc::mathInterpolate(2, 4, Up(1.0)), 4.0);
    EXPECT_EQ(CGorvMathFunc::mathInterpolate(2, 4, 3.0), 4.0);  // clamped, not 8
    EXPECT_EQ(CGorvMathFunc::mathInterpolate(2, 4, 1e-15), 2.0 + 2.0 * 1e-15);  // 1e-15 itself interpolates
    // Six arguments: (a0, a1) and (b0, b1) by s, then the two results by t.
    // s = 0.25: 0.5 and 11; t = 0.75: 0.5 + 10.5 * 0.75.
    EXPECT_EQ(CGorvMathFunc::mathInterpolate(0, 2, 10, 14, 0.25, 0.75), 8.375);
    // s and t exchanged: 1.5 and 13, then by 0.25.
    EXPECT_EQ(CGorvMathFunc::mathInterpolate(0, 2, 10, 14, 0.75, 0.25), 4.375);
    EXPECT_EQ(CGorvMathFunc::mathInterpolate(0, 2, 10, 14, 2.0, 0.5), 8.0);   // s clamped: 2 and 14
    EXPECT_EQ(CGorvMathFunc::mathInterpolate(0, 2, 10, 14, 0.5, -1.0), 1.0);  // t clamped: the first
}

TEST(CompFunc, ToleranceComparisonsBothSidesOfTheBoundary) {
    const double eps = 2.220446049250313e-16;
    EXPECT_EQ(CCompFunc::CompReal(1.0, 1.0 + 32 * eps), 0);
    EXPECT_EQ(CCompFunc::CompReal(1.0, 1.0 + 33 * eps), -1);
    EXPECT_EQ(CCompFunc::CompReal(1.0 + 33 * eps, 1.0), 1);
    EXPECT_EQ(CCompFunc::CompReal(-1.0, -1.0 - 32 * eps), 0);
    EXPECT_EQ(CCompFunc::CompReal(kInf, 1.0), 1);
    EXPECT_EQ(CCompFunc::CompRealTol(1.5, 1.0, 0.5), 0);  // inclusive
    EXPECT_EQ(CCompFunc::CompRealTol(Up(1.5), 1.0, 0.5), 1);
    EXPECT_EQ(CCompFunc::CompRealTol(1.0, 1.75, 0.5), -1);
    EXPECT_EQ(CCompFunc::FastCompDouble(0.1 + 0.2, 0.3), 0);
    EXPECT_EQ(CCompFunc::FastCompDouble(eps, 0.0), 0);
    EXPECT_EQ(CCompFunc::FastCompDouble(Up(eps), 0.0), 1);
    EXPECT_EQ(CCompFunc::FastCompDouble(0.0, Up(eps)), -1);
    EXPECT_EQ(CCompFunc::FastCompDouble(1e20, 1e20 + 16384), -1);
    EXPECT_EQ(CCompFunc::SafeCompDouble(1e20, 1e20 + 16384), 0);
    EXPECT_EQ(CCompFunc::SafeCompDouble(0.1 + 0.2, 0.3), 0);
    EXPECT_EQ(CCompFunc::SafeCompDouble(1.00000000000001, 1.0), 1);  // differs in the 15th digit
    EXPECT_EQ(CCompFunc::SafeCompDouble(kNaN, 1.0), 0);
}
