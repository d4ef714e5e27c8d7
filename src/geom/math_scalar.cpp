// CGorvMathFunc constants and scalar helpers (snapping trigonometry, clamped inverses, rounding).
#include <gorv/geom/gorv_math_func.h>

#include <cfloat>
#include <climits>
#include <cmath>

#include "core_detail.h"

// The angle constants are initialised in this order at module load; keep them together here.
double CGorvMathFunc::m_pi = 4.0 * std::atan(1.0);
double CGorvMathFunc::m_trrad = CGorvMathFunc::m_pi / 180.0;
double CGorvMathFunc::m_trang = 180.0 / CGorvMathFunc::m_pi;
double CGorvMathFunc::m_NormalZero = 1e-15;

const double CGorvMathFunc::m_MxIdentity[4][4] = {
    {1.0, 0.0, 0.0, 0.0}, {0.0, 1.0, 0.0, 0.0}, {0.0, 0.0, 1.0, 0.0}, {0.0, 0.0, 0.0, 1.0}};

CGorvMathFunc::~CGorvMathFunc() {}

double CGorvMathFunc::Get_pi() { return m_pi; }
double CGorvMathFunc::Get_trrad() { return m_trrad; }
double CGorvMathFunc::Get_trang() { return m_trang; }
double CGorvMathFunc::Get_NormalZero() { return m_NormalZero; }

namespace {

// Snaps a sine or cosine to 0, 1 or -1 when it is strictly closer than 1e-15; the three tests
// run in this order, each on the possibly updated value.
double SnapUnit(double r) {
    const double z = detail::core::kNormalZero;
    if (std::fabs(r) < z) r = 0.0;
    if (std::fabs(1.0 - r) < z) r = 1.0;
    if (std::fabs(r + 1.0) < z) r = -1.0;
    return r;
}

}  // namespace

double CGorvMathFunc::mathSin(double x) { return SnapUnit(std::sin(x)); }

double CGorvMathFunc::mathCos(double x) { return SnapUnit(std::cos(x)); }

double CGorvMathFunc::mathTan(double x) {
    const double s = mathSin(x);
    const double c = mathCos(x);
    if (std::fabs(c) < m_NormalZero) return DBL_MAX;
    return s / c;
}

double CGorvMathFunc::mathAsin(double x) {
    if (x < -1.0) x = -1.0;
    if (x > 1.0) x = 1.0;
    return std::asin(x);
}

double CGorvMathFunc::mathAcos(double x) {
    if (x < -1.0) x = -1.0;
    if (x > 1.0) x = 1.0;
    return std::acos(x);
}

double CGorvMathFunc::mathSqrt(double x) {
    if (x < 0.0) x = 0.0;
    return std::sqrt(x);
}

int CGorvMathFunc::mathAbs(int n) {
    // two's complement: the most negative int maps to itself instead of overflowing
    const unsigned int u = static_cast<unsigned int>(n);
    return static_cast<int>(n < 0 ? 0u - u : u);
}

double CGorvMathFunc::mathAbs(double x) { return std::fabs(x); }

int CGorvMathFunc::RealToInt(double x, double tol) {
    const int i = detail::core::TruncToInt(x);
    if (std::fabs((x - i) - 1.0) < tol) return detail::core::TruncToInt(std::ceil(x));
    return i;
}

double CGorvMathFunc::mathInterpolate(double a, double b, double t) {
    if (t < m_NormalZero) return a;
    if (t > 1.0) return b;
    return a + (b - a) * t;
}

double CGorvMathFunc::mathInterpolate(double a0, double a1, double b0, double b1, double s, double t) {
    return mathInterpolate(mathInterpolate(a0, a1, s), mathInterpolate(b0, b1, s), t);
}
