// Namespace Gorv distances, crossings and containment tests (zero tolerance 1e-6).
#include <gorv/geom/gorv_func.h>

#include <algorithm>
#include <cmath>

#include "core_detail.h"

namespace Gorv {

using detail::core::Dot2;
using detail::core::Dot3;
using detail::core::kGorvZero;
using detail::core::Len2;
using detail::core::Len3;
using detail::core::Sub2;
using detail::core::Sub3;

namespace {

constexpr double kFarAway = 1e35;        // distance reported for a degenerate segment
constexpr double kParamHigh = 1.000001;  // upper end of the parameter range of a segment point

// Distance from p to the segment ab in the plane, for a segment known to be longer than 1e-6 and a
// point known not to lie on it.
double SegmentPointTail2d(const double a[2], const double b[2], const double p[2]) {
    double ab[2], ap[2], bp[2];
    Sub2(b, a, ab);
    Sub2(p, a, ap);
    Sub2(p, b, bp);
    const double ab2 = Dot2(ab, ab);
    if (ab2 < kGorvZero) return std::min(Len2(ap), Len2(bp));
    const double t = Dot2(ap, ab) / ab2;
    if (t > -kGorvZero && t < kParamHigh) {
        const double f[2] = {a[0] + t * ab[0], a[1] + t * ab[1]};
        return distance_2d(p, f);
    }
    return std::min(Len2(ap), Len2(bp));
}

// Cosine of the angle a-p-b; false when p is within 1e-6 of a or b.
bool CosineAtPoint2d(const double a[2], const double b[2], const double p[2], double& k) {
    double u[2], w[2];
    Sub2(a, p, u);
    Sub2(b, p, w);
    const double lu = Len2(u), lw = Len2(w);
    if (lu < kGorvZero || lw < kGorvZero) return false;
    k = Dot2(u, w) / (lu * lw);
    return true;
}

bool CosineAtPoint3d(const double a[3], const double b[3], const double p[3], double& k) {
    double u[3], w[3];
    Sub3(a, p, u);
    Sub3(b, p, w);
    const double lu = Len3(u), lw = Len3(w);
    if (lu < kGorvZero || lw < kGorvZero) return false;
    k = Dot3(u, w) / (lu * lw);
    return true;
}

bool CosineInside(double k, double tol) { return -1.0 - tol <= k && k <= tol - 1.0; }

double Cross2(const double a[2], const double b[2]) { return a[0] * b[1] - a[1] * b[0]; }

// Shared part of the two 3D line crossings: solves c + s*v on the line a + r*u.
// Returns false for short segments, skew lines or a direction pair without a usable minor.
bool SolveLineLine3d(const double a[3], const double b[3], const double c[3], const double d[3], double out[3]) {
    double u[3], v[3], w[3];
    Sub3(b, a, u);
    Sub3(d, c, v);
    const double lu = Len3(u), lv = Len3(v);
    if (lu < kGorvZero || lv < kGorvZero) return false;
    for (int i = 0; i < 3; ++i) {
        u[i] /= lu;
        v[i] /= lv;
    }
    Sub3(c, a, w);
    double uv[3];
    detail::core::Cross3(u, v, uv);
    if (std::fabs(Dot3(w, uv)) > 0.001) return false;
    double s;
    const double mxy = v[0] * u[1] - v[1] * u[0];
    const double mxz = v[0] * u[2] - v[2] * u[0];
    const double myz = v[1] * u[2] - v[2] * u[1];
    if (std::fabs(mxy) > kGorvZero) {
        s = (w[1] * u[0] - w[0] * u[1]) / mxy;
    } else if (std::fabs(mxz) > kGorvZero) {
        s = (w[2] * u[0] - w[0] * u[2]) / mxz;
    } else if (std::fabs(myz) > kGorvZero) {
        s = (w[2] * u[1] - w[1] * u[2]) / myz;
    } else {
        return false;
    }
    const double c0[3] = {c[0], c[1], c[2]};  // out may share storage with c
    out[0] = c0[0] + s * v[0];
    out[1] = c0[1] + s * v[1];
    out[2] = c0[2] + s * v[2];
    return true;
}

}  // namespace

// ---- distances ----

double distance_2d(double x1, double y1, double x2, double y2) {
    const double dx = x2 - x1, dy = y2 - y1;
    return std::sqrt(dx * dx + dy * dy);
}

double distance_2d(const double p[2], const double q[2]) { return distance_2d(p[0], p[1], q[0], q[1]); }

double distance_3d(double x1, double y1, double z1, double x2, double y2, double z2) {
    const double dx = x2 - x1, dy = y2 - y1, dz = z2 - z1;
    return std::sqrt(dx * dx + dy * dy + dz * dz);
}

double distance_3d(const double p[3], const double q[3]) { return distance_3d(p[0], p[1], p[2], q[0], q[1], q[2]); }

double distance_line_point_2d(const double a[2], const double b[2], const double p[2]) {
    if (std::fabs(b[0] - a[0]) < kGorvZero) {
        const double d = std::fabs(p[0] - a[0]);
        if (d > kGorvZero) return d;
        return std::min(distance_2d(p, a), distance_2d(p, b));
    }
    if (std::fabs(b[1] - a[1]) < kGorvZero) {
        const double d = std::fabs(p[1] - a[1]);
        if (d > kGorvZero) return d;
        return std::min(distance_2d(p, a), distance_2d(p, b));
    }
    const double m = (b[1] - a[1]) / (b[0] - a[0]);
    const double q = a[1] - a[0] * m;
    return std::fabs(m * p[0] - p[1] + q) / std::sqrt(m * m + 1.0);
}

double distance_line_point_3d(const double a[3], const double b[3], const double p[3]) {
    double ab[3], ap[3], n[3];
    Sub3(b, a, ab);
    const double len = Len3(ab);
    if (len < kGorvZero) return kFarAway;
    Sub3(p, a, ap);
    detail::core::Cross3(ab, ap, n);
    return Len3(n) / len;
}

double distance_segment_point_2d(const double a[2], const double b[2], const double p[2]) {
    if (distance_2d(a, b) < kGorvZero) return kFarAway;
    if (is_on_line_2d(a, b, p, kGorvZero)) return 0.0;
    return SegmentPointTail2d(a, b, p);
}

double distance_segment_point_3d(const double a[3], const double b[3], const double p[3]) {
    if (distance_3d(a, b) < kGorvZero) return kFarAway;
    if (is_on_line_3d(a, b, p, kGorvZero)) return 0.0;
    double ab[3], ap[3];
    Sub3(b, a, ab);
    Sub3(p, a, ap);
    double e1[3] = {0.0, 0.0, 0.0}, e2[3] = {0.0, 0.0, 0.0};
    gram_schmidt_orthonormal_basis_3d(ab, ap, e1, e2);
    const double a2[2] = {0.0, 0.0};
    const double b2[2] = {Dot3(ab, e1), Dot3(ab, e2)};
    const double p2[2] = {Dot3(ap, e1), Dot3(ap, e2)};
    return SegmentPointTail2d(a2, b2, p2);
}

double distance_plane_point_3d(const double p0[3], const double p1[3], const double p2[3], const double p[3]) {
    double n[3];
    normal_3d(p0, p1, p2, n);
    return distance_plane_point_3d(n, p0, p);
}

double distance_plane_point_normal_3d(const double p0[3], const double p1[3], const double p2[3],
                                      const double p[3]) {
    return distance_plane_point_3d(p0, p1, p2, p);
}

double distance_plane_point_3d(const double n[3], const double p0[3], const double p[3]) {
    double d[3];
    Sub3(p, p0, d);
    return std::fabs(Dot3(n, d));
}

// ---- crossings ----

bool check_line_line_intersection_2d(const double a[2], const double b[2], const double c[2], const double d[2]) {
    double ac[2], bc[2], ad[2], bd[2], ca[2], da[2], cb[2], db[2];
    Sub2(a, c, ac);
    Sub2(b, c, bc);
    Sub2(a, d, ad);
    Sub2(b, d, bd);
    Sub2(c, a, ca);
    Sub2(d, a, da);
    Sub2(c, b, cb);
    Sub2(d, b, db);
    const double s1 = Cross2(ac, bc), s2 = Cross2(ad, bd);
    const double s3 = Cross2(ca, da), s4 = Cross2(cb, db);
    return s1 * s2 < 0.0 && s3 * s4 < 0.0;
}

bool intersect_line_line_2d(double x1, double y1, double x2, double y2, double x3, double y3, double x4, double y4,
                            double& t, double& u) {
    if (distance_2d(x1, y1, x2, y2) < kGorvZero) return false;
    const double den = (x3 - x4) * (y1 - y2) - (x1 - x2) * (y3 - y4);
    if (distance_2d(x3, y3, x4, y4) < kGorvZero || std::fabs(den) < kGorvZero) return false;
    t = ((x3 - x1) * (y3 - y4) + (y3 - y1) * (x4 - x3)) / den;
    u = ((x3 - x1) * (y1 - y2) + (y3 - y1) * (x2 - x1)) / den;
    return t > -kGorvZero && t < kParamHigh && u > -kGorvZero && u < kParamHigh;
}

bool intersect_line_line_2d(const double p1[2], const double p2[2], const double p3[2], const double p4[2],
                            double& t, double& u) {
    return intersect_line_line_2d(p1[0], p1[1], p2[0], p2[1], p3[0], p3[1], p4[0], p4[1], t, u);
}

bool intersect_line_line_2d(const double p1[2], const double p2[2], const double p3[2], const double p4[2],
                            double out[2]) {
    double t = 0.0, u = 0.0;
    if (!intersect_line_line_2d(p1, p2, p3, p4, t, u)) return false;
    const double x = p1[0] + t * (p2[0] - p1[0]);
    const double y = p1[1] + t * (p2[1] - p1[1]);
    out[0] = x;
    out[1] = y;
    return true;
}

bool intersect_line_line_2d_extension(const double p1[2], const double p2[2], const double p3[2],
                                      const double p4[2], double out[2]) {
    double d1[2], d2[2];
    Sub2(p2, p1, d1);
    Sub2(p4, p3, d2);
    const double l1 = Len2(d1), l2 = Len2(d2);
    if (l1 < kGorvZero || l2 < kGorvZero) return false;
    d1[0] /= l1;
    d1[1] /= l1;
    d2[0] /= l2;
    d2[1] /= l2;
    const double den = d2[0] * d1[1] - d2[1] * d1[0];
    if (std::fabs(den) < kGorvZero) return false;
    const double s = ((p3[1] - p1[1]) * d1[0] - (p3[0] - p1[0]) * d1[1]) / den;
    const double x = p3[0] + s * d2[0];
    const double y = p3[1] + s * d2[1];
    out[0] = x;
    out[1] = y;
    return true;
}

bool intersect_line_line_3d(const double a[3], const double b[3], const double c[3], const double d[3],
                            double out[3]) {
    if (!are_coplanar_3d(a, b, c, a, b, d, 0.001)) return false;
    double x[3];
    if (!SolveLineLine3d(a, b, c, d, x)) return false;
    out[0] = x[0];
    out[1] = x[1];
    out[2] = x[2];
    return is_on_line_3d(a, b, x, kGorvZero) && is_on_line_3d(c, d, x, kGorvZero);
}

bool intersect_line_line_3d(const double a[3], const double b[3], const double c[3], const double d[3], double& t,
                            double& u) {
    if (!are_coplanar_3d(a, b, c, a, b, d, 0.001)) return false;
    double x[3];
    if (!SolveLineLine3d(a, b, c, d, x)) return false;
    t = distance_3d(x, a) / distance_3d(b, a);
    u = distance_3d(x, c) / distance_3d(d, c);
    return is_on_line_3d(a, b, x, kGorvZero) && is_on_line_3d(c, d, x, kGorvZero);
}

bool intersect_line_line_3d_extension(const double a[3], const double b[3], const double c[3], const double d[3],
                                      double out[3]) {
    double x[3];
    if (!SolveLineLine3d(a, b, c, d, x)) return false;
    out[0] = x[0];
    out[1] = x[1];
    out[2] = x[2];
    return true;
}

bool intersect_triangle_line_3d(const double t0[3], const double t1[3], const double t2[3], const double p[3],
                                const double q[3]) {
    if (distance_3d(t0, t1) < kGorvZero || distance_3d(t1, t2) < kGorvZero || distance_3d(t2, t0) < kGorvZero)
        return false;
    double n[3], pq[3];
    normal_3d(t0, t1, t2, n);
    Sub3(q, p, pq);
    const double den = Dot3(n, pq);
    if (std::fabs(den) < kGorvZero) return false;
    const double s = (Dot3(n, t0) - Dot3(n, p)) / den;
    if (s < -kGorvZero || s > kParamHigh) return false;
    const double x[3] = {p[0] + s * pq[0], p[1] + s * pq[1], p[2] + s * pq[2]};
    return is_in_triangle_3d(t0, t1, t2, x, kGorvZero);
}

bool intersect_quadrilateral_line_3d(const double q0[3], const double q1[3], const double q2[3], const double q3[3],
                                     const double p[3], const double r[3]) {
    return intersect_triangle_line_3d(q0, q1, q2, p, r) || intersect_triangle_line_3d(q0, q2, q3, p, r);
}

// ---- containment ----

bool is_on_line_2d(const double a[2], const double b[2], const double p[2], double tol) {
    double k = 0.0;
    if (!CosineAtPoint2d(a, b, p, k)) return true;  // at an end point
    return std::fabs(k + 1.0) < tol;
}

bool is_on_line_2d(double x1, double y1, double x2, double y2, double px, double py, double tol) {
    const double a[2] = {x1, y1}, b[2] = {x2, y2}, p[2] = {px, py};
    return is_on_line_2d(a, b, p, tol);
}

bool is_on_line_3d(const double a[3], const double b[3], const double p[3], double tol) {
    double k = 0.0;
    if (!CosineAtPoint3d(a, b, p, k)) return true;  // at an end point
    return CosineInside(k, tol);
}

bool is_on_line_3d(double x1, double y1, double z1, double x2, double y2, double z2, double px, double py, double pz,
                   double tol) {
    const double a[3] = {x1, y1, z1}, b[3] = {x2, y2, z2}, p[3] = {px, py, pz};
    return is_on_line_3d(a, b, p, tol);
}

bool is_on_line_3d(const double a[3], const double b[3], double px, double py, double pz, double tol) {
    const double p[3] = {px, py, pz};
    return is_on_line_3d(a, b, p, tol);
}

bool is_in_line_2d(const double a[2], const double b[2], const double p[2], double tol) {
    double k = 0.0;
    if (!CosineAtPoint2d(a, b, p, k)) return false;
    return CosineInside(k, tol);
}

bool is_in_line_2d(double x1, double y1, double x2, double y2, double px, double py, double tol) {
    const double a[2] = {x1, y1}, b[2] = {x2, y2}, p[2] = {px, py};
    return is_in_line_2d(a, b, p, tol);
}

bool is_in_line_3d(const double a[3], const double b[3], const double p[3], double tol) {
    double k = 0.0;
    if (!CosineAtPoint3d(a, b, p, k)) return false;
    return CosineInside(k, tol);
}

bool is_in_line_3d(double x1, double y1, double z1, double x2, double y2, double z2, double px, double py, double pz,
                   double tol) {
    const double a[3] = {x1, y1, z1}, b[3] = {x2, y2, z2}, p[3] = {px, py, pz};
    return is_in_line_3d(a, b, p, tol);
}

bool is_in_line_3d(const double a[3], const double b[3], double px, double py, double pz, double tol) {
    const double p[3] = {px, py, pz};
    return is_in_line_3d(a, b, p, tol);
}

bool is_on_segment_3d(const double a[3], const double b[3], const double p[3], double tol, double& t) {
    const double len = distance_3d(a, b);
    if (len < kGorvZero) return false;
    if (distance_3d(p, a) < tol) {
        t = 0.0;
        return true;
    }
    if (distance_3d(p, b) < tol) {
        t = 1.0;
        return true;
    }
    if (is_in_line_3d(a, b, p, kGorvZero)) {
        t = distance_3d(p, a) / len;
        return true;
    }
    return false;
}

bool is_in_triangle_2d(const double t0[2], const double t1[2], const double t2[2], const double p[2], double tol) {
    if (distance_2d(p, t0) < tol || distance_2d(p, t1) < tol || distance_2d(p, t2) < tol) return true;
    if (is_on_line_2d(t0, t1, p, tol) || is_on_line_2d(t1, t2, p, tol) || is_on_line_2d(t2, t0, p, tol)) return true;
    double v0[2], v1[2], v2[2];
    Sub2(t0, p, v0);
    Sub2(t1, p, v1);
    Sub2(t2, p, v2);
    const double sum = angle_2d(v0, v1) + angle_2d(v1, v2) + angle_2d(v2, v0);
    return std::fabs(sum) > 350.0;
}

bool is_in_triangle_3d(const double t0[3], const double t1[3], const double t2[3], const double p[3], double tol) {
    double u[3], w[3], d[3];
    Sub3(t1, t0, u);
    Sub3(t2, t0, w);
    Sub3(p, t0, d);
    double e1[3] = {0.0, 0.0, 0.0}, e2[3] = {0.0, 0.0, 0.0};
    gram_schmidt_orthonormal_basis_3d(u, w, e1, e2);
    const double a2[2] = {0.0, 0.0};
    const double b2[2] = {Dot3(u, e1), Dot3(u, e2)};
    const double c2[2] = {Dot3(w, e1), Dot3(w, e2)};
    const double p2[2] = {Dot3(d, e1), Dot3(d, e2)};
    return is_in_triangle_2d(a2, b2, c2, p2, tol);
}

bool are_coplanar_3d(const double p0[3], const double p1[3], const double p2[3], const double q0[3],
                     const double q1[3], const double q2[3], double tol) {
    double n[3];
    normal_3d(p0, p1, p2, n);
    return distance_plane_point_3d(n, p0, q0) <= tol && distance_plane_point_3d(n, p0, q1) <= tol &&
           distance_plane_point_3d(n, p0, q2) <= tol;
}

}  // namespace Gorv
