// CCompFunc tolerance comparisons of doubles.
#include <gorv/geom/comp_func.h>

#include <cmath>
#include <cwchar>

CCompFunc::~CCompFunc() {}

namespace {

constexpr double kDblEpsilon = 2.220446049250313e-16;

// The value as it reads when printed with 15 significant digits.
double RoundTo15Digits(double x) {
    wchar_t buf[64];
    std::swprintf(buf, sizeof(buf) / sizeof(buf[0]), L"%.15g", x);
    return std::wcstod(buf, nullptr);
}

}  // namespace

int CCompFunc::CompRealTol(double a, double b, double tol) {
    const double d = a - b;
    if (tol >= std::fabs(d)) return 0;
    return d > 0.0 ? 1 : -1;
}

int CCompFunc::FastCompDouble(double a, double b) {
    const double d = a - b;
    if (d > kDblEpsilon) return 1;
    if (d < -kDblEpsilon) return -1;
    return 0;
}

int CCompFunc::SafeCompDouble(double a, double b) { return FastCompDouble(RoundTo15Digits(a), RoundTo15Digits(b)); }

int CCompFunc::CompReal(double a, double b) {
    if (a == b) return 0;
    if (a > b) {
        const double u = std::nextafter(b, a) - b;
        return (32.0 * u >= a - b) ? 0 : 1;
    }
    const double u = std::nextafter(a, b) - a;
    return (32.0 * u >= b - a) ? 0 : -1;
}
