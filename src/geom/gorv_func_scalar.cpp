// Namespace Gorv scalar helpers (zero tolerance 1e-6).
#include <gorv/geom/gorv_func.h>

#include <cmath>

#include "core_detail.h"

namespace Gorv {

using detail::core::kGorvZero;
using detail::core::kPi;

bool is_zero(double x) { return std::fabs(x) < kGorvZero; }

bool is_not_zero(double x) { return std::fabs(x) > kGorvZero; }

bool approximate(double a, double b, double tol) { return a >= b - tol && b + tol >= a; }

void chop(double& x) {
    if (std::fabs(x) < kGorvZero) x = 0.0;
}

int round_off(double x) {
    const int i = detail::core::TruncToInt(x);
    return (x - i > 0.499999) ? detail::core::IncSat(i) : i;
}

int round_up(double x) {
    const int i = detail::core::TruncToInt(x);
    return (x - i > kGorvZero) ? detail::core::IncSat(i) : i;
}

double radian(double deg) { return kPi * deg / 180.0; }

double degree(double rad) { return rad * 180.0 / kPi; }

double factorial(int n) {
    if (n < 2) return 1.0;
    double r = 1.0;
    for (int k = n; k >= 2; --k) {
        r *= k;
        if (std::isinf(r)) break;  // stays infinite; stop instead of looping up to 2^31 times
    }
    return r;
}

bool is_equal3(double a, double b, double c) {
    return std::fabs(a - b) <= kGorvZero && std::fabs(a - c) < kGorvZero;
}

double minimum3(double a, double b, double c) {
    double m = a;
    if (b < m) m = b;
    if (c < m) m = c;
    return m;
}

double maximum3(double a, double b, double c) {
    double m = a;
    if (b > m) m = b;
    if (c > m) m = c;
    return m;
}

void bound3(double a, double b, double c, double& lo, double& hi) {
    lo = minimum3(a, b, c);
    hi = maximum3(a, b, c);
}

}  // namespace Gorv
