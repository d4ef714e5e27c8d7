// Geometry used by the section model's own edits, in one place: thin wrappers over the
// namespace Gorv toolkit so the snapping and splitting code reads in the model's terms.
#pragma once

#include <gorv/geom/gorv_func.h>

namespace detail {

// Euclidean distance between (x1, y1) and (x2, y2).
inline double SmDistance(double dX1, double dY1, double dX2, double dY2) {
    return Gorv::distance_2d(dX1, dY1, dX2, dY2);
}

// Rotates (x, y) by dDeg about the origin, then shifts it by (dDx, dDy).
inline void SmTransform(double& dX, double& dY, double dDx, double dDy, double dDeg) {
    double p[2] = {dX, dY};
    Gorv::transform_2d(p, dDx, dDy, dDeg);
    dX = p[0];
    dY = p[1];
}

// Shifts (x, y) back by (dDx, dDy), then rotates it by -dDeg about the origin.
inline void SmInverseTransform(double& dX, double& dY, double dDx, double dDy, double dDeg) {
    double p[2] = {dX, dY};
    Gorv::inverse_transform_2d(p, dDx, dDy, dDeg);
    dX = p[0];
    dY = p[1];
}

}  // namespace detail
