// Gorv::angle_2d(v, p1, p2) and Gorv::check_line_line_intersection_2d written out for the
// section's inner loops: the same operations in the same order (the area builds without
// contraction or fast-math), so the same values bit for bit, without the calls.
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

// Ordering key of the angle SmAngle(v, p1, p2) when that angle is above 0: the negated cosine k
// that SmAngle passes to acos, or 2 for a straight angle (180 degrees). False when the angle is 0,
// negative or not a number. A larger key means a larger angle, with these limits:
// - equal keys give equal angles;
// - keys that differ by more than SmAngleKeyGap(larger key) give angles in the same order;
// - keys closer than that may give equal angles or, with acos rounded, angles out of order, so
//   their angles must be compared (SmKeyAngle).
inline bool SmAngleKey(const double v[2], const double p1[2], const double p2[2], double& dKey) {
    const double x1 = p1[0] - v[0], y1 = p1[1] - v[1], x2 = p2[0] - v[0], y2 = p2[1] - v[1];
    const double a = std::sqrt(x1 * x1 + y1 * y1);
    const double b = std::sqrt(x2 * x2 + y2 * y2);
    const double dx = x2 - x1, dy = y2 - y1;
    const double c = std::sqrt(dx * dx + dy * dy);
    if (!(2.0 * a * b >= 1e-6)) return false;
    const double k = (a * a + b * b - c * c) / (2.0 * a * b);
    if (!(k <= 0.999999)) return false;
    if (k < -0.999999) {
        dKey = 2.0;
        return true;
    }
    if (x1 * y2 - y1 * x2 < 0.0) return false;
    dKey = -k;
    return true;
}

// The angle (degrees) of a key from SmAngleKey, bit for bit what SmAngle returns.
inline double SmKeyAngle(double dKey) {
    if (dKey == 2.0) return 180.0;
    return std::fabs(std::acos(-dKey) * 180.0 / 3.141592653589793);
}

// Gap above which two keys' angles are surely in the keys' order (dKey the larger key, k = -dKey).
// The angle is acos(k) in radians, then times 180 and divided by pi, each rounded. For k1 < k2
// with k2 - k1 = d, acos falls by at least d / sqrt(1 - k1^2) (for k1 >= 0) or by d (any k1).
// With acos within 1 ulp and the two roundings of the conversion, the computed angles stay in
// order once the fall exceeds 6 ulp of acos(k1); since acos(k) <= pi / 2 * sqrt(1 - k^2) for
// k >= 0 and acos(k) <= pi, the gaps below exceed that at least four times over.
inline double SmAngleKeyGap(double dKey) {
    const double k = -dKey;
    if (k >= 0.0) return 8e-15 * (1.0 - k * k);
    return 1.6e-14;
}

// Gorv::check_line_line_intersection_2d(a, b, c, d) written out: whether the segments a-b and c-d
// cross properly, from the same four products, bit for bit. The products with c and d as apex
// decide first, since in the section's searches most pairs fail there; the one at b
// (SmCrossAt(b, c, d)) is passed in, so that a search testing many a against one b-c-d forms it
// once.
inline double SmCrossAt(const double b[2], const double c[2], const double d[2]) {
    const double cb0 = c[0] - b[0], cb1 = c[1] - b[1], db0 = d[0] - b[0], db1 = d[1] - b[1];
    return cb0 * db1 - cb1 * db0;
}
inline bool SmSegmentsCross(const double a[2], const double b[2], const double c[2], const double d[2], double s4) {
    const double ca0 = c[0] - a[0], ca1 = c[1] - a[1], da0 = d[0] - a[0], da1 = d[1] - a[1];
    const double s3 = ca0 * da1 - ca1 * da0;
    if (!(s3 * s4 < 0.0)) return false;
    const double ac0 = a[0] - c[0], ac1 = a[1] - c[1], bc0 = b[0] - c[0], bc1 = b[1] - c[1];
    const double ad0 = a[0] - d[0], ad1 = a[1] - d[1], bd0 = b[0] - d[0], bd1 = b[1] - d[1];
    const double s1 = ac0 * bc1 - ac1 * bc0, s2 = ad0 * bd1 - ad1 * bd0;
    return s1 * s2 < 0.0;
}
inline bool SmSegmentsCross(const double a[2], const double b[2], const double c[2], const double d[2]) {
    return SmSegmentsCross(a, b, c, d, SmCrossAt(b, c, d));
}

}  // namespace detail
