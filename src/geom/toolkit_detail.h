// Private helpers of the geometry toolkit (projections, areas, arcs, predicates): small inline
// vector operations on plain arrays and the toolkit's tolerance constants.
#pragma once

#include <cmath>

#include <gorv/geom/geom_types.h>

#include "core_detail.h"

namespace detail {
namespace toolkit {

constexpr double kNormalZero = 1e-15;  // zero of lengths in CGorvMathFunc / CArcUtil / CGeomFunc
constexpr double kOrientZero = 1e-10;  // orientation and snapping tolerance
constexpr double kGorvZero = 1e-6;     // zero of namespace Gorv

using core::Cross3;
using core::Dot3;
using core::Len3;
using core::Sub3;
inline double Len2(double x, double y) { return std::sqrt(x * x + y * y); }
inline double Dist3(const double a[3], const double b[3]) {
    double d[3];
    Sub3(a, b, d);
    return Len3(d);
}
inline double Clamp1(double x) { return x > 1.0 ? 1.0 : (x < -1.0 ? -1.0 : x); }

// Unit vector of v into out; false (out = 0) when |v| < kNormalZero.
inline bool Unit3(const double v[3], double out[3]) {
    const double len = Len3(v);
    if (!(len >= kNormalZero)) {
        out[0] = out[1] = out[2] = 0.0;
        return false;
    }
    out[0] = v[0] / len;
    out[1] = v[1] / len;
    out[2] = v[2] / len;
    return true;
}

inline void ToArray(const T_GORV_POINT3D& p, double out[3]) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = p.z;
}
inline T_GORV_POINT3D ToPoint(const double v[3]) { return T_GORV_POINT3D{v[0], v[1], v[2]}; }

}  // namespace toolkit
}  // namespace detail
