// Private helpers of the geometry core: constants and small inline vector operations.
#pragma once

#include <climits>
#include <cmath>

namespace detail {
namespace core {

// 4 * atan(1.0) evaluated once by hand: the same double as the library's m_pi, usable at any time
// (also during static initialisation of other translation units).
constexpr double kPi = 3.141592653589793;
constexpr double kGorvZero = 1e-6;
constexpr double kNormalZero = 1e-15;

inline double Dot2(const double a[2], const double b[2]) { return a[0] * b[0] + a[1] * b[1]; }
inline double Dot3(const double a[3], const double b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
inline double Len2(const double v[2]) { return std::sqrt(v[0] * v[0] + v[1] * v[1]); }
inline double Len3(const double v[3]) { return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]); }
inline void Sub2(const double a[2], const double b[2], double out[2]) {
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
}
inline void Sub3(const double a[3], const double b[3], double out[3]) {
    out[0] = a[0] - b[0];
    out[1] = a[1] - b[1];
    out[2] = a[2] - b[2];
}
inline void Cross3(const double a[3], const double b[3], double out[3]) {
    const double x = a[1] * b[2] - a[2] * b[1];
    const double y = a[2] * b[0] - a[0] * b[2];
    const double z = a[0] * b[1] - a[1] * b[0];
    out[0] = x;
    out[1] = y;
    out[2] = z;
}

// Truncation toward zero that never overflows: NaN gives 0 and values beyond the int range
// saturate (a double-to-int conversion out of range is undefined behaviour in C++).
inline int TruncToInt(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 2147483647.0) return INT_MAX;
    if (x <= -2147483648.0) return INT_MIN;
    return static_cast<int>(x);
}

// Adds one to i unless that would overflow.
inline int IncSat(int i) { return i == INT_MAX ? i : i + 1; }

}  // namespace core
}  // namespace detail
