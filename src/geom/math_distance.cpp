// CGorvMathFunc distances, feet of perpendiculars, planes and line crossings.
#include <gorv/geom/gorv_math_func.h>

#include <algorithm>
#include <cmath>

#include "core_detail.h"

using detail::core::Cross3;
using detail::core::Dot3;
using detail::core::Len3;
using detail::core::Sub3;

namespace {

constexpr double kParallel = 1e-7;  // denominators and direction products at or below this are parallel

double Dist3(const double a[3], const double b[3]) {
    double d[3];
    Sub3(a, b, d);
    return Len3(d);
}

// Unit vector of v into u and its length; u is zero when v is shorter than 1e-15.
double UnitOf(const double v[3], double u[3]) {
    const double len = Len3(v);
    if (len < detail::core::kNormalZero) {
        u[0] = u[1] = u[2] = 0.0;
        return len;
    }
    u[0] = v[0] / len;
    u[1] = v[1] / len;
    u[2] = v[2] / len;
    return len;
}

// Foot of p on the line a + s*u (u unit, or zero): the length s along u.
double FootParam(const double a[3], const double u[3], const double p[3]) {
    double ap[3];
    Sub3(p, a, ap);
    return Dot3(ap, u);
}

// Index of the component of c largest in magnitude; ties prefer z, then y, then x.
int LargestComponent(const double c[3]) {
    const double ax = std::fabs(c[0]), ay = std::fabs(c[1]), az = std::fabs(c[2]);
    if (az >= ay && az >= ax) return 2;
    if (ay >= ax) return 1;
    return 0;
}

// Length s along v from c to the crossing with the line a + r*u (w = c - a), solved in the
// coordinate plane normal to component `axis` of u x v.
double SolveAlongSecond(int axis, const double u[3], const double v[3], const double w[3]) {
    switch (axis) {
        case 2:
            return (w[1] * u[0] - w[0] * u[1]) / (v[0] * u[1] - v[1] * u[0]);
        case 1:
            return (w[2] * u[0] - w[0] * u[2]) / (v[0] * u[2] - v[2] * u[0]);
        default:
            return (w[2] * u[1] - w[1] * u[2]) / (v[1] * u[2] - v[2] * u[1]);
    }
}

// Length r along u from a to the crossing with the line c + s*v (w = c - a).
double SolveAlongFirst(int axis, const double u[3], const double v[3], const double w[3]) {
    switch (axis) {
        case 2:
            return (w[0] * v[1] - w[1] * v[0]) / (u[0] * v[1] - u[1] * v[0]);
        case 1:
            return (w[0] * v[2] - w[2] * v[0]) / (u[0] * v[2] - u[2] * v[0]);
        default:
            return (w[1] * v[2] - w[2] * v[1]) / (u[1] * v[2] - u[2] * v[1]);
    }
}

}  // namespace

double CGorvMathFunc::mathDistanceToPoint(const double a[3], const double b[3]) { return Dist3(a, b); }

double CGorvMathFunc::mathDistanceToLine(const double a[3], const double b[3], const double p[3]) {
    double ab[3], u[3];
    Sub3(b, a, ab);
    const double len = UnitOf(ab, u);
    if (len < m_NormalZero) return Dist3(p, a);
    const double s = FootParam(a, u, p);
    if (s <= 0.0) return Dist3(p, a);
    if (s >= len) return Dist3(p, b);
    const double f[3] = {a[0] + s * u[0], a[1] + s * u[1], a[2] + s * u[2]};
    return Dist3(p, f);
}

double CGorvMathFunc::mathDistanceToLine2D(double x1, double y1, double x2, double y2, double px, double py) {
    const double a[3] = {x1, y1, 0.0}, b[3] = {x2, y2, 0.0}, p[3] = {px, py, 0.0};
    return mathDistanceToLine(a, b, p);
}

double CGorvMathFunc::mathDistanceFromIntersectPointToLine(const double a[3], const double b[3], const double p[3]) {
    double f[3];
    mathIntersectPointToLine(a, b, p, f);
    return Dist3(p, f);
}

double CGorvMathFunc::mathDistanceFromIntersectPointToLine2D(const double a[2], const double b[2], const double p[2],
                                                             int& where) {
    const double a3[3] = {a[0], a[1], 0.0}, b3[3] = {b[0], b[1], 0.0}, p3[3] = {p[0], p[1], 0.0};
    double ab[3], u[3];
    Sub3(b3, a3, ab);
    const double len = UnitOf(ab, u);
    const double s = FootParam(a3, u, p3);
    if (len < m_NormalZero)
        where = 1;
    else if (s < 0.0)
        where = 0;
    else if (s > len)
        where = 2;
    else
        where = 1;
    const double f[3] = {a3[0] + s * u[0], a3[1] + s * u[1], 0.0};
    return Dist3(p3, f);
}

int CGorvMathFunc::mathIntersectPointToLine(const double a[3], const double b[3], const double p[3], double out[3]) {
    double ab[3], u[3];
    Sub3(b, a, ab);
    UnitOf(ab, u);
    const double s = FootParam(a, u, p);
    const double f[3] = {a[0] + s * u[0], a[1] + s * u[1], a[2] + s * u[2]};
    out[0] = f[0];
    out[1] = f[1];
    out[2] = f[2];
    return 1;
}

void CGorvMathFunc::mathCrossPoint2D(const double a[2], const double b[2], const double p[2], double out[2]) {
    const double a3[3] = {a[0], a[1], 0.0}, b3[3] = {b[0], b[1], 0.0}, p3[3] = {p[0], p[1], 0.0};
    double f[3];
    mathIntersectPointToLine(a3, b3, p3, f);
    out[0] = f[0];
    out[1] = f[1];
}

void CGorvMathFunc::mathPLCrossPoint(double px, double py, double pz, double dx, double dy, double dz, double qx,
                                     double qy, double qz, double& ox, double& oy, double& oz) {
    double s = 0.0;
    mathPLCrossPoint(px, py, pz, dx, dy, dz, qx, qy, qz, ox, oy, oz, s);
}

void CGorvMathFunc::mathPLCrossPoint(double px, double py, double pz, double dx, double dy, double dz, double qx,
                                     double qy, double qz, double& ox, double& oy, double& oz, double& s) {
    const double dd = dx * dx + dy * dy + dz * dz;
    // A zero direction has no line; answer with its base point rather than NaNs.
    s = (dd == 0.0) ? 0.0 : ((qx - px) * dx + (qy - py) * dy + (qz - pz) * dz) / dd;
    ox = px + s * dx;
    oy = py + s * dy;
    oz = pz + s * dz;
}

int CGorvMathFunc::mathPlaneEquation(const double p0[3], const double p1[3], const double p2[3], double& a, double& b,
                                     double& c, double& d) {
    const double x0 = p0[0], y0 = p0[1], z0 = p0[2];
    double n[3];
    mathNormal(p0, p1, p2, n);
    a = b = c = d = 0.0;
    const double len = Len3(n);
    if (len < m_NormalZero) return 0;
    a = n[0] / len;
    b = n[1] / len;
    c = n[2] / len;
    d = -(a * x0 + b * y0 + c * z0);
    return 1;
}

double CGorvMathFunc::mathDistanceToPlane(double a, double b, double c, double d, double x, double y, double z) {
    const double len = std::sqrt(a * a + b * b + c * c);
    if (len < m_NormalZero) return -1.0;
    return std::fabs(a * x + b * y + c * z + d) / len;
}

double CGorvMathFunc::mathDistanceToPlaneWithSign(double a, double b, double c, double d, double x, double y,
                                                  double z) {
    const double len = std::sqrt(a * a + b * b + c * c);
    if (len < m_NormalZero) return -1.0;
    return (a * x + b * y + c * z + d) / len;
}

int CGorvMathFunc::mathIncludePointInPlane(const double p0[3], const double p1[3], const double p2[3],
                                           const double p[3], double tol) {
    double a, b, c, d;
    if (!mathPlaneEquation(p0, p1, p2, a, b, c, d)) return 0;
    return mathDistanceToPlane(a, b, c, d, p[0], p[1], p[2]) < tol ? 1 : 0;
}

int CGorvMathFunc::mathIntersectPointToPlane(double dir[3], const double lp[3], double n[3], const double pp[3],
                                             double out[3]) {
    const double l0[3] = {lp[0], lp[1], lp[2]}, q0[3] = {pp[0], pp[1], pp[2]};  // out may share storage
    out[0] = out[1] = out[2] = 0.0;
    if (!mathNormalize(dir, dir)) return 0;
    if (!mathNormalize(n, n)) return 0;
    const double den = Dot3(dir, n);
    if (std::fabs(den) <= kParallel) return 0;
    double w[3];
    Sub3(q0, l0, w);
    const double s = Dot3(n, w) / den;
    out[0] = l0[0] + s * dir[0];
    out[1] = l0[1] + s * dir[1];
    out[2] = l0[2] + s * dir[2];
    return 1;
}

int CGorvMathFunc::mathIntersectPointToPlane(const double a[3], const double b[3], double n[3], const double pp[3],
                                             double out[3], double& over) {
    const double a0[3] = {a[0], a[1], a[2]}, b0[3] = {b[0], b[1], b[2]}, q0[3] = {pp[0], pp[1], pp[2]};
    out[0] = out[1] = out[2] = 0.0;
    over = 0.0;
    double ab[3];
    Sub3(b0, a0, ab);
    const double L = Len3(ab);
    if (L < 1e-10) return 0;
    if (!mathNormalize(n, n)) return 0;
    const double u[3] = {ab[0] / L, ab[1] / L, ab[2] / L};
    const double den = Dot3(u, n);
    if (std::fabs(den) <= kParallel) return 0;
    double w[3];
    Sub3(q0, a0, w);
    const double s = Dot3(n, w) / den;
    out[0] = a0[0] + s * u[0];
    out[1] = a0[1] + s * u[1];
    out[2] = a0[2] + s * u[2];
    if (s < 0.0)
        over = std::fabs(s);
    else if (s > L)
        over = s - L;
    return 1;
}

double CGorvMathFunc::mathDistanceLine(const double a[3], const double b[3], const double c[3], const double d[3]) {
    double ab[3], cd[3], u[3], v[3];
    Sub3(b, a, ab);
    Sub3(d, c, cd);
    if (UnitOf(ab, u) < m_NormalZero || UnitOf(cd, v) < m_NormalZero) return -1.0;
    double uv[3];
    Cross3(u, v, uv);
    const double len = Len3(uv);
    if (len < kParallel) return -1.0;
    double w[3];
    Sub3(c, a, w);
    return std::fabs(Dot3(w, uv)) / len;
}

namespace {

// Shared part of mathIntersectLine and mathIntersectLine2. On success sets u, v, w = c - a,
// the cross product uv, the lengths of ab and cd, and dist.
bool PrepareLineLine(const double a[3], const double b[3], const double c[3], const double d[3], double tol,
                     double parallel, double& dist, double u[3], double v[3], double w[3], double uv[3], double& lab,
                     double& lcd) {
    double ab[3], cd[3];
    Sub3(b, a, ab);
    Sub3(d, c, cd);
    lab = UnitOf(ab, u);
    lcd = UnitOf(cd, v);
    if (lab < detail::core::kNormalZero || lcd < detail::core::kNormalZero) return false;
    Cross3(u, v, uv);
    const double len = Len3(uv);
    if (len < parallel) return false;
    Sub3(c, a, w);
    dist = std::fabs(Dot3(w, uv)) / len;
    return !(dist > tol);
}

}  // namespace

int CGorvMathFunc::mathIntersectLine(const double a[3], const double b[3], const double c[3], const double d[3],
                                     double tol, double& dist, double out[3]) {
    const double c0[3] = {c[0], c[1], c[2]};
    double u[3], v[3], w[3], uv[3], lab, lcd;
    out[0] = out[1] = out[2] = 0.0;
    if (!PrepareLineLine(a, b, c, d, tol, 0.0001, dist, u, v, w, uv, lab, lcd)) return 0;
    const int axis = LargestComponent(uv);
    if (std::fabs(uv[axis]) < kParallel) return 0;
    const double s = SolveAlongSecond(axis, u, v, w);
    out[0] = c0[0] + s * v[0];
    out[1] = c0[1] + s * v[1];
    out[2] = c0[2] + s * v[2];
    return 1;
}

int CGorvMathFunc::mathIntersectLine2(const double a[3], const double b[3], const double c[3], const double d[3],
                                      double tol, double& dist, double out[3]) {
    const double c0[3] = {c[0], c[1], c[2]};
    double u[3], v[3], w[3], uv[3], lab, lcd;
    out[0] = out[1] = out[2] = 0.0;
    if (!PrepareLineLine(a, b, c, d, tol, 1e-6, dist, u, v, w, uv, lab, lcd)) return 0;
    // v x u has the same component magnitudes as u x v, so one plane serves both lengths
    const int axis = LargestComponent(uv);
    if (std::fabs(uv[axis]) < kParallel) return 0;
    const double r = SolveAlongFirst(axis, u, v, w);
    if (!(r >= -1e-10 && r <= lab + 1e-10)) return 0;
    const double s = SolveAlongSecond(axis, u, v, w);
    if (!(s >= -1e-10 && s <= lcd + 1e-10)) return 0;
    out[0] = c0[0] + s * v[0];
    out[1] = c0[1] + s * v[1];
    out[2] = c0[2] + s * v[2];
    return 1;
}

int CGorvMathFunc::mathIntersectLine2D(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                                       double y4, double& ox, double& oy, int bSegment) {
    ox = oy = 0.0;
    double u1x = 0.0, u1y = 0.0, u2x = 0.0, u2y = 0.0;
    if (!mathNormalize(x2 - x1, y2 - y1, u1x, u1y)) return 0;
    if (!mathNormalize(x4 - x3, y4 - y3, u2x, u2y)) return 0;
    if (std::fabs(u1x * u2y - u1y * u2x) < 0.0001) return 0;
    const double den = u2x * u1y - u2y * u1x;
    if (std::fabs(den) <= kParallel) return 0;
    const double s = ((y3 - y1) * u1x - (x3 - x1) * u1y) / den;
    if (bSegment != 0) {
        const double L1 = std::sqrt((x2 - x1) * (x2 - x1) + (y2 - y1) * (y2 - y1));
        const double L2 = std::sqrt((x4 - x3) * (x4 - x3) + (y4 - y3) * (y4 - y3));
        const double r = ((y3 - y1) * u2x - (x3 - x1) * u2y) / den;
        if (!(s >= -kParallel * L2 && s <= L2 + kParallel * L2)) return 0;
        if (!(r >= -kParallel * L1 && r <= L1 + kParallel * L1)) return 0;
    }
    ox = x3 + s * u2x;
    oy = y3 + s * u2y;
    return 1;
}

int CGorvMathFunc::mathIsPointOfLine2D(const double a[2], const double b[2], const double p[2], int onEnd) {
    const double len = std::sqrt((a[0] - b[0]) * (a[0] - b[0]) + (a[1] - b[1]) * (a[1] - b[1]));
    const double e = std::min(std::max(len, m_NormalZero), 1e11) * (m_NormalZero * 10000.0);
    if (std::fabs(p[0] - a[0]) < e && std::fabs(p[1] - a[1]) < e) return onEnd;
    if (std::fabs(p[0] - b[0]) < e && std::fabs(p[1] - b[1]) < e) return onEnd;
    double ux = 0.0, uy = 0.0, wx = 0.0, wy = 0.0;
    mathNormalize(a[0] - p[0], a[1] - p[1], ux, uy);
    mathNormalize(b[0] - p[0], b[1] - p[1], wx, wy);
    if (!(std::fabs(wy * ux - wx * uy) < e)) return 0;
    return (std::fabs(ux - wx) >= e || std::fabs(uy - wy) >= e) ? 1 : 0;
}
