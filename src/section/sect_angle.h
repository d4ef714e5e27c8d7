// Gorv::angle_2d(v, p1, p2) written out for the section's inner loops: the same operations in the
// same order (the area builds without contraction or fast-math), so the same value bit for bit,
// without the calls.
#pragma once

#include <cmath>

namespace detail {

// Signed angle in degrees at v from v->p1 to v->p2, as Gorv::angle_2d computes it.
inline double SmAngle(const double v[2], const double p1[2], const double p2[2]) {
    const double x1 = p1[0] - v[0], y1 = p1[1] - v[1], x2 = p2[0] - v[0], y2 = p2[1] - v[1];
    const double a = std::sqrt(x1 * x1 + y1 * y1);
    const double b = std::sqrt(x2 * x2 + y2 * y2);
    const double dx = x2 - x1, dy = y2 - y1;
    const double c = std::sqrt(dx * dx + dy * dy);
    double theta = 0.0;
    if (!(2.0 * a * b < 1e-6)) {
        const double k = (a * a + b * b - c * c) / (2.0 * a * b);
        if (k > 0.999999)
            theta = 0.0;
        else if (k < -0.999999)
            theta = 180.0;
        else
            theta = std::fabs(std::acos(k) * 180.0 / 3.141592653589793);
    }
    if (theta == 0.0 || theta == 180.0) return theta;
    return (x1 * y2 - y1 * x2 < 0.0) ? -theta : theta;
}

}  // namespace detail
