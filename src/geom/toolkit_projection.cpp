// Projections of points onto lines, planes, surfaces of revolution about the global z axis and
// parabolas y = a*x^2 + b*x + c, along the surface normal or along a given direction, and
// cylindrical coordinates about an arbitrary axis.
#include <cmath>

#include <gorv/geom/gorv_func.h>
#include <gorv/geom/gorv_func_toolkit.h>
#include <gorv/geom/gorv_math_func.h>

#include "toolkit_detail.h"

using namespace detail::toolkit;

namespace {

// Azimuth of (x, y) about the z axis in radians: acos(x / rho), exactly a quarter turn when
// |x| < tol, negated when y < 0.
double Azimuth(double x, double y, double rho, double tol) {
    double theta = (std::fabs(x) < tol) ? std::acos(0.0) : std::acos(Clamp1(x / rho));
    if (y < 0.0) theta = -theta;
    return theta;
}

void FromMeridian(double rho, double z, double theta, double out[3]) {
    out[0] = rho * std::cos(theta);
    out[1] = rho * std::sin(theta);
    out[2] = z;
}

// Root rules shared by the vector projections: the line p + s*v meets the surface where
// A*s^2 + 2B*s + C = 0; out is the crossing nearer to p (the second root on a tie).
bool SolveLineQuadric(const double p[3], const double v[3], double A, double B, double C, double tol,
                      double out[3]) {
    if (std::fabs(A) < tol) {
        if (std::fabs(B) < tol) return false;
        const double s = C / (-2.0 * B);
        for (int i = 0; i < 3; ++i) out[i] = p[i] + s * v[i];
        return true;
    }
    const double disc = B * B - A * C;
    if (!(disc >= 0.0)) return false;
    const double root = std::sqrt(disc);
    const double s1 = (root - B) / A;
    const double s2 = (-B - root) / A;
    double q1[3], q2[3];
    for (int i = 0; i < 3; ++i) {
        q1[i] = p[i] + s1 * v[i];
        q2[i] = p[i] + s2 * v[i];
    }
    const double* pick = (Dist3(q1, p) < Dist3(q2, p)) ? q1 : q2;
    for (int i = 0; i < 3; ++i) out[i] = pick[i];
    return true;
}

bool PlaneVector(const double p[3], const double v[3], const double p0[3], const double p1[3], const double p2[3],
                 double out[3], double tol) {
    double e1[3], e2[3], n[3], un[3], uv[3];
    Sub3(p1, p0, e1);
    Sub3(p2, p0, e2);
    Cross3(e1, e2, n);
    Unit3(n, un);  // a degenerate plane leaves a zero normal, so d = 0 refuses it below
    Unit3(v, uv);
    const double d = Dot3(uv, un);
    if (!(std::fabs(d) >= tol)) return false;
    const double s = (Dot3(un, p0) - Dot3(un, p)) / d;
    for (int i = 0; i < 3; ++i) out[i] = p[i] + s * uv[i];
    return true;
}

// Coefficients of the parabola through the three points (xy) by Cramer's rule; D is the determinant.
struct Parabola {
    double D;
    double a, b, c;
};

Parabola SolveParabola(const double p0[3], const double p1[3], const double p2[3]) {
    const double x0 = p0[0], x1 = p1[0], x2 = p2[0];
    const double y0 = p0[1], y1 = p1[1], y2 = p2[1];
    Parabola r;
    r.D = x2 * x2 * x0 - x2 * x2 * x1 + x1 * x1 * x2 - x0 * x0 * x2 - x1 * x1 * x0 + x0 * x0 * x1;
    // Two equal abscissae make the system singular; the expanded sum above can leave a rounding
    // residue there, which must not pass for a parabola.
    if (x0 == x1 || x0 == x2 || x1 == x2) r.D = 0.0;
    r.a = r.b = r.c = 0.0;
    if (r.D == 0.0) return r;
    const double Da = y0 * (x1 - x2) - x0 * (y1 - y2) + (y1 * x2 - y2 * x1);
    const double Db = x0 * x0 * (y1 - y2) - y0 * (x1 * x1 - x2 * x2) + (x1 * x1 * y2 - x2 * x2 * y1);
    const double Dc = x0 * x0 * (x1 * y2 - x2 * y1) - x0 * (x1 * x1 * y2 - x2 * x2 * y1) + y0 * (x1 * x1 * x2 - x2 * x2 * x1);
    r.a = Da / r.D;
    r.b = Db / r.D;
    r.c = Dc / r.D;
    return r;
}

// Roots of a*x^2 + bb*x + cc = 0 and the one whose point (x, m*x + k) lies nearer to q (the second on
// a tie). False when the discriminant is below tol.
bool NearerLineRoot(double a, double bb, double cc, double m, double k, const double q[3], double tol,
                    double& x) {
    if (a == 0.0) {
        // Collinear points give a straight "parabola": one crossing unless the line runs parallel.
        if (bb == 0.0) return false;
        x = -cc / bb;
        return std::isfinite(x);
    }
    const double disc = bb * bb - 4.0 * a * cc;
    if (!(disc >= tol)) return false;
    const double root = std::sqrt(disc);
    const double xa = (-bb + root) / (2.0 * a);
    const double xb = (-bb - root) / (2.0 * a);
    const double da = Len2(xa - q[0], m * xa + k - q[1]);
    const double db = Len2(xb - q[0], m * xb + k - q[1]);
    x = (da < db) ? xa : xb;
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Planes

bool CGorvMathFunc::project_on_plane_normal(const double p[3], const double p0[3], const double p1[3],
                                            const double p2[3], double tol, double out[3]) {
    double e1[3], e2[3], n[3];
    Sub3(p1, p0, e1);
    Sub3(p2, p0, e2);
    Cross3(e1, e2, n);
    const double nn = Dot3(n, n);
    if (!(nn >= tol) || nn == 0.0) return false;
    const double s = (Dot3(n, p0) - Dot3(n, p)) / nn;
    for (int i = 0; i < 3; ++i) out[i] = p[i] + s * n[i];
    return true;
}

bool CGorvMathFunc::project_on_plane_vector(const double p[3], const double v[3], const double p0[3],
                                            const double p1[3], const double p2[3], double out[3]) {
    return PlaneVector(p, v, p0, p1, p2, out, 0.0174524);
}

bool CGorvMathFunc::project_on_plane_vector(const double p[3], const double v[3], const double p0[3],
                                            const double p1[3], const double p2[3], double out[3], double tol) {
    // A zero tolerance would let a direction inside the plane divide by zero.
    return PlaneVector(p, v, p0, p1, p2, out, tol > 0.0 ? tol : kNormalZero);
}

bool CGorvMathFunc::project_on_plane_vector_for_CuttingPlane(const double p[3], const double v[3],
                                                             const double p0[3], const double p1[3],
                                                             const double p2[3], double out[3]) {
    return PlaneVector(p, v, p0, p1, p2, out, 1e-10);
}

// ---------------------------------------------------------------------------------------------
// Surfaces of revolution, normal projections

bool CGorvMathFunc::project_on_cylinder_normal(const double p[3], double r, double h, double tol, double out[3]) {
    if (!(h > 0.0)) return false;
    const double rho = Len2(p[0], p[1]);
    if (!(rho >= tol) || rho == 0.0) return false;
    FromMeridian(r, p[2], Azimuth(p[0], p[1], rho, tol), out);
    return true;
}

bool CGorvMathFunc::project_on_cone_normal(const double p[3], double r1, double r2, double h, double tol,
                                           double out[3]) {
    if (!(h > 0.0)) return false;
    if (std::fabs(r1 - r2) < tol) return project_on_cylinder_normal(p, r1, h, tol, out);
    const double rho = Len2(p[0], p[1]);
    if (!(rho >= tol) || rho == 0.0) return false;
    if (r2 == r1) return false;  // only reachable with a negative tol
    const double k = (h / (r2 - r1));
    const double rhoFoot = (rho / k + p[2] + k * r1) / (1.0 / k + k);
    const double zFoot = k * (rhoFoot - r1);
    const double t1 = (rhoFoot - r1) / (r2 - r1);
    const double t2 = zFoot / h;
    if (!(t1 >= 0.0 && t1 <= 1.0) || !(t2 >= 0.0 && t2 <= 1.0)) return false;
    FromMeridian(rhoFoot, zFoot, Azimuth(p[0], p[1], rho, tol), out);
    return true;
}

bool CGorvMathFunc::project_on_sphere_normal(const double p[3], double r, double tol, double out[3]) {
    if (!(r > 0.0)) return false;
    const double rho = Len2(p[0], p[1]);
    if (rho >= tol && rho > 0.0) {
        double z = 0.0;
        if (p[2] != 0.0) {
            const double q = rho / p[2];
            z = std::sqrt(r * r / (1.0 + q * q));
        }
        if (p[2] <= 0.0) z = -z;
        const double rhoS = std::sqrt(std::fmax(0.0, r * r - z * z));
        FromMeridian(rhoS, z, Azimuth(p[0], p[1], rho, tol), out);
        return true;
    }
    if (!(std::fabs(p[2]) >= tol) || p[2] == 0.0) return false;
    out[0] = 0.0;
    out[1] = 0.0;
    out[2] = p[2] > 0.0 ? r : -r;
    return true;
}

bool CGorvMathFunc::project_on_ellipsoid_normal(const double p[3], double a, double c, double tol, double out[3]) {
    if (!(a > 0.0) || !(c > 0.0)) return false;
    const double rho = Len2(p[0], p[1]);
    if (!(rho >= tol) || rho == 0.0) {
        out[0] = 0.0;
        out[1] = 0.0;
        out[2] = c;
        return true;
    }
    const double z = p[2];
    double phi = 0.0;  // radians, direction of the normal in the meridian plane
    if (a > c) {
        const double f = std::sqrt(a * a - c * c);
        const double l1 = Len2(rho - f, z);
        const double l2 = Len2(rho + f, z);
        const double g1 = l1 > 0.0 ? std::acos(Clamp1((rho - f) / l1)) : 0.0;
        const double g2 = l2 > 0.0 ? std::acos(Clamp1((rho + f) / l2)) : 0.0;
        // Both focal angles come from acos, so they are unsigned: a point below the equator gets
        // the same normal as its mirror image above it (the prolate branch measures from the axis
        // and keeps the side).
        phi = 0.5 * (g1 + g2);
    } else {
        const double f = std::sqrt(c * c - a * a);
        const double l1 = Len2(rho, z - f);
        const double l2 = Len2(rho, z + f);
        const double g1 = l1 > 0.0 ? std::acos(Clamp1((z - f) / l1)) : 0.0;
        const double g2 = l2 > 0.0 ? std::acos(Clamp1((z + f) / l2)) : 0.0;
        phi = std::acos(0.0) - 0.5 * (g1 + g2);
    }
    const double t = std::tan(phi);
    const double q = t * c / a;
    const double rhoE = a / std::sqrt(q * q + 1.0);
    const double zE = (c / a) * (c / a) * t * rhoE;
    FromMeridian(rhoE, zE, Azimuth(p[0], p[1], rho, tol), out);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Surfaces of revolution, projections along a direction (unbounded surfaces)

bool CGorvMathFunc::project_on_cylinder_vector(const double p[3], const double v[3], double r, double /*h*/,
                                               double tol, double out[3]) {
    const double A = v[0] * v[0] + v[1] * v[1];
    const double B = v[0] * p[0] + v[1] * p[1];
    const double C = p[0] * p[0] + p[1] * p[1] - r * r;
    return SolveLineQuadric(p, v, A, B, C, tol, out);
}

bool CGorvMathFunc::project_on_cone_vector(const double p[3], const double v[3], double r1, double r2, double h,
                                           double tol, double out[3]) {
    if (!(h > 0.0)) return false;
    // The cone rho = r1 + k*z of the normal projection, so both variants agree on the surface.
    const double k = (r2 - r1) / h;
    const double rp = r1 + k * p[2];
    const double A = v[0] * v[0] + v[1] * v[1] - k * k * v[2] * v[2];
    const double B = v[0] * p[0] + v[1] * p[1] - k * v[2] * rp;
    const double C = p[0] * p[0] + p[1] * p[1] - rp * rp;
    return SolveLineQuadric(p, v, A, B, C, tol, out);
}

bool CGorvMathFunc::project_on_sphere_vector(const double p[3], const double v[3], double r, double tol,
                                             double out[3]) {
    return SolveLineQuadric(p, v, Dot3(v, v), Dot3(v, p), Dot3(p, p) - r * r, tol, out);
}

bool CGorvMathFunc::project_on_ellipsoid_vector(const double p[3], const double v[3], double a, double c,
                                                double tol, double out[3]) {
    if (a == 0.0 || c == 0.0) return false;
    const double a2 = a * a, c2 = c * c;
    const double A = (v[0] * v[0] + v[1] * v[1]) / a2 + v[2] * v[2] / c2;
    const double B = (v[0] * p[0] + v[1] * p[1]) / a2 + v[2] * p[2] / c2;
    const double C = (p[0] * p[0] + p[1] * p[1]) / a2 + p[2] * p[2] / c2 - 1.0;
    return SolveLineQuadric(p, v, A, B, C, tol, out);
}

// ---------------------------------------------------------------------------------------------
// Parabolas

bool CGorvMathFunc::check_quad_curve(const double p0[3], const double p1[3], const double p2[3], double tol) {
    return std::fabs(SolveParabola(p0, p1, p2).D) >= tol;
}

bool CGorvMathFunc::project_on_quad_curve_normal(const double p0[3], const double p1[3], const double p2[3],
                                                 const double q[3], double tol, double out[3]) {
    const Parabola pb = SolveParabola(p0, p1, p2);
    if (!(std::fabs(pb.D) >= tol) || pb.D == 0.0) return false;
    const double xmin = std::fmin(p0[0], std::fmin(p1[0], p2[0]));
    const double xmax = std::fmax(p0[0], std::fmax(p1[0], p2[0]));
    const double step = (xmax - xmin) / 100.0;
    double best = 1e35, bx = 0.0, by = 0.0;
    bool found = false;
    for (int k = 0; k <= 100; ++k) {
        const double xk = xmin + step * k;
        const double s = 2.0 * pb.a * xk + pb.b;
        double x = xk, y = 0.0;
        if (std::fabs(s) < tol) {
            y = pb.a * xk * xk + pb.b * xk + pb.c;
        } else {
            const double m = -1.0 / s;
            const double kk = q[1] - m * q[0];
            if (!NearerLineRoot(pb.a, pb.b - m, pb.c - kk, m, kk, q, tol, x)) continue;
            y = m * x + kk;
        }
        const double d2 = (x - q[0]) * (x - q[0]) + (y - q[1]) * (y - q[1]);
        if (d2 < best) {
            best = d2;
            bx = x;
            by = y;
            found = true;
        }
    }
    // No normal through q met the parabola: report failure instead of an arbitrary point.
    if (!found) return false;
    out[0] = bx;
    out[1] = by;
    out[2] = q[2];
    return true;
}

bool CGorvMathFunc::project_on_quad_curve_vector(const double p0[3], const double p1[3], const double p2[3],
                                                 const double q[3], const double v[3], double tol, double out[3]) {
    if (!(Dot3(v, v) >= tol)) return false;
    const Parabola pb = SolveParabola(p0, p1, p2);
    if (!(std::fabs(pb.D) >= tol) || pb.D == 0.0) return false;
    if (std::fabs(v[0]) < tol) {
        out[0] = q[0];
        out[1] = pb.a * q[0] * q[0] + pb.b * q[0] + pb.c;
        out[2] = q[2];
        return true;
    }
    const double m = v[1] / v[0];
    const double k = q[1] - m * q[0];
    double x = 0.0;
    if (!NearerLineRoot(pb.a, pb.b - m, pb.c - k, m, k, q, tol, x)) return false;
    out[0] = x;
    out[1] = m * x + k;
    out[2] = q[2];
    return true;
}

// ---------------------------------------------------------------------------------------------
// Cylindrical coordinates

void CGorvMathFunc::mathConvertToCylinderCoordi(double p[3], double out[3], const double a[3], const double b[3],
                                                const double ref[3]) {
    double ab[3], u[3] = {0.0, 0.0, 0.0};
    Sub3(b, a, ab);
    mathNormalize(ab, u);

    out[0] = mathDistanceFromIntersectPointToLine(a, b, p);
    double f[3];
    mathIntersectPointToLine(a, b, p, f);

    const double before[3] = {p[0], p[1], p[2]};
    mathRotate(90.0, u[0], u[1], u[2], p[0], p[1], p[2]);

    double w[3], wr[3], g[3], tmp[3];
    Sub3(before, f, tmp);
    const bool okW = Unit3(tmp, w);
    Sub3(p, f, tmp);
    const bool okWr = Unit3(tmp, wr);
    Sub3(ref, a, tmp);
    const bool okG = Unit3(tmp, g);
    double alpha = 0.0, beta = 0.0;
    if (okW && okWr && okG) {
        alpha = std::acos(Clamp1(Dot3(w, g))) * m_trang;
        beta = std::acos(Clamp1(Dot3(wr, g))) * m_trang;
    }
    if (std::fabs(beta - alpha - 90.0) < 0.001 || std::fabs(alpha + beta - 270.0) < 0.001) {
        out[1] = alpha;
    } else if (std::fabs(beta - alpha + 90.0) < 0.001 || std::fabs(alpha + beta - 90.0) < 0.001) {
        out[1] = 360.0 - alpha;
    } else {
        out[1] = 0.0;
    }

    double fa[3];
    Sub3(f, a, fa);
    const double h = Len3(fa);
    out[2] = (std::fabs((f[2] - a[2]) - u[2] * h) < 1e-4) ? h : -h;
}

// ---------------------------------------------------------------------------------------------
// Namespace Gorv

namespace Gorv {

void project_on_line(const double a[3], const double b[3], const double p[3], double out[3]) {
    if (is_on_line_3d(a, b, p, kGorvZero)) {
        for (int i = 0; i < 3; ++i) out[i] = p[i];
        return;
    }
    // The foot by the parameter along ab: exact for any line, with no plane through a, b and p needed.
    double d[3], ap[3];
    Sub3(b, a, d);
    Sub3(p, a, ap);
    const double dd = Dot3(d, d);
    const double s = dd > 0.0 ? Dot3(ap, d) / dd : 0.0;
    for (int i = 0; i < 3; ++i) out[i] = a[i] + s * d[i];
}

void project_on_plane_normal(const double n[3], const double p0[3], double p[3]) {
    const double nn = Dot3(n, n);
    if (!(nn >= kGorvZero)) return;
    const double s = (Dot3(n, p0) - Dot3(n, p)) / nn;
    for (int i = 0; i < 3; ++i) p[i] += s * n[i];
}

void project_on_plane_normal(const double p0[3], const double p1[3], const double p2[3], double p[3]) {
    double e1[3], e2[3], n[3];
    Sub3(p1, p0, e1);
    Sub3(p2, p0, e2);
    Cross3(e1, e2, n);
    project_on_plane_normal(n, p0, p);
}

void project_on_plane_vector(const double p0[3], const double p1[3], const double p2[3], const double v[3],
                             double p[3]) {
    const double lv = Len3(v);
    if (!(lv >= kGorvZero)) {
        if (!std::isnan(lv)) project_on_plane_normal(p0, p1, p2, p);
        return;
    }
    double un[3];
    normal_3d(p0, p1, p2, un);
    const double uv[3] = {v[0] / lv, v[1] / lv, v[2] / lv};
    const double d = Dot3(un, uv);
    if (!(std::fabs(d) >= kGorvZero)) return;
    const double s = (Dot3(un, p0) - Dot3(un, p)) / d;
    for (int i = 0; i < 3; ++i) p[i] += s * uv[i];
}

double distance_plane_point_vector_3d(const double p0[3], const double p1[3], const double p2[3], const double v[3],
                                      const double p[3]) {
    double q[3] = {p[0], p[1], p[2]};
    project_on_plane_vector(p0, p1, p2, v, q);
    return Dist3(q, p);
}

}  // namespace Gorv
