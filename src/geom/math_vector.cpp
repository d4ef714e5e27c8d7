// CGorvMathFunc vectors, 4x4 matrices, angles, rotations and coordinate systems (degrees).
#include <gorv/geom/gorv_math_func.h>

#include <cmath>

#include "core_detail.h"

namespace {

constexpr double kRotZero = 1e-10;  // rotated coordinates and cross components below this count as 0

double Clamp1(double x) {
    if (x < -1.0) return -1.0;
    if (x > 1.0) return 1.0;
    return x;
}

void SnapSmall(double& x, double& y, double& z) {
    if (std::fabs(x) < kRotZero) x = 0.0;
    if (std::fabs(y) < kRotZero) y = 0.0;
    if (std::fabs(z) < kRotZero) z = 0.0;
}

enum class Axis { X, Y, Z };

}  // namespace

// ---- 4x4 matrices ----

void CGorvMathFunc::mathMxIdentity(double M[4][4]) { mathMxCopy(m_MxIdentity, M); }

void CGorvMathFunc::mathMxMult(const double A[4][4], const double B[4][4], double C[4][4]) {
    double T[4][4];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            T[i][j] = 0.0;
            for (int k = 0; k < 4; ++k) T[i][j] += A[i][k] * B[k][j];
        }
    mathMxCopy(T, C);
}

void CGorvMathFunc::mathMxCopy(const double src[4][4], double dst[4][4]) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) dst[i][j] = src[i][j];
}

void CGorvMathFunc::mathVecMult(const double v[4], const double M[4][4], double out[4]) {
    double r[4];
    for (int j = 0; j < 4; ++j) {
        r[j] = 0.0;
        for (int i = 0; i < 4; ++i) r[j] += v[i] * M[i][j];
    }
    for (int j = 0; j < 4; ++j) out[j] = r[j];
}

// ---- vectors ----

void CGorvMathFunc::mathVecCross(const double a[3], const double b[3], double out[3]) {
    detail::core::Cross3(a, b, out);
}

void CGorvMathFunc::mathCross(const double a[3], const double b[3], double out[3]) { detail::core::Cross3(a, b, out); }

void CGorvMathFunc::mathNormal(const double a[3], const double b[3], double out[3]) { detail::core::Cross3(a, b, out); }

void CGorvMathFunc::mathNormal(const double p0[3], const double p1[3], const double p2[3], double out[3]) {
    double u[3], w[3];
    detail::core::Sub3(p1, p0, u);
    detail::core::Sub3(p2, p0, w);
    detail::core::Cross3(u, w, out);
}

double CGorvMathFunc::mathCross2D(const double a[2], const double b[2]) { return a[0] * b[1] - a[1] * b[0]; }

double CGorvMathFunc::mathDot(const double a[3], const double b[3]) { return Clamp1(detail::core::Dot3(a, b)); }

double CGorvMathFunc::mathDot(double x1, double y1, double x2, double y2) { return Clamp1(x1 * x2 + y1 * y2); }

double CGorvMathFunc::mathLength(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }

double CGorvMathFunc::mathLength(double x1, double y1, double x2, double y2) {
    const double dx = x1 - x2, dy = y1 - y2;
    return mathSqrt(dx * dx + dy * dy);
}

double CGorvMathFunc::mathLength(double x1, double y1, double z1, double x2, double y2, double z2) {
    const double dx = x1 - x2, dy = y1 - y2, dz = z1 - z2;
    return mathSqrt(dx * dx + dy * dy + dz * dz);
}

int CGorvMathFunc::mathNormalize(const double v[3], double out[3]) {
    const double len = detail::core::Len3(v);
    if (len < m_NormalZero) return 0;
    const double x = v[0] / len, y = v[1] / len, z = v[2] / len;
    out[0] = x;
    out[1] = y;
    out[2] = z;
    return 1;
}

int CGorvMathFunc::mathNormalize(double x, double y, double z, double& ox, double& oy, double& oz) {
    ox = oy = oz = 0.0;
    const double len = std::sqrt(x * x + y * y + z * z);
    if (len < m_NormalZero) return 0;
    ox = x / len;
    oy = y / len;
    oz = z / len;
    return 1;
}

int CGorvMathFunc::mathNormalize(double x, double y, double& ox, double& oy) {
    ox = oy = 0.0;
    const double len = std::sqrt(x * x + y * y);
    if (len < m_NormalZero) return 0;
    ox = x / len;
    oy = y / len;
    return 1;
}

int CGorvMathFunc::mathNormalize2D(const double v[2], double out[2]) {
    const double x = v[0], y = v[1];  // out may be v
    return mathNormalize(x, y, out[0], out[1]);
}

void CGorvMathFunc::mathSwap2D(double a[2], double b[2]) {
    const double x = a[0], y = a[1];
    a[0] = b[0];
    a[1] = b[1];
    b[0] = x;
    b[1] = y;
}

// ---- angles ----

double CGorvMathFunc::mathCrossAngle(const double a[3], const double b[3]) {
    return std::acos(Clamp1(detail::core::Dot3(a, b))) * m_trang;
}

double CGorvMathFunc::mathCrossAngleNormalize(const double a[3], const double b[3]) {
    const double la = detail::core::Len3(a), lb = detail::core::Len3(b);
    if (la < kRotZero || lb < kRotZero) return 0.0;
    const double ua[3] = {a[0] / la, a[1] / la, a[2] / la};
    const double ub[3] = {b[0] / lb, b[1] / lb, b[2] / lb};
    return std::acos(Clamp1(detail::core::Dot3(ua, ub))) * m_trang;
}

double CGorvMathFunc::mathCrossAngleNormalizeWithSign(const double a[3], const double b[3]) {
    const double ang = mathCrossAngleNormalize(a, b);
    double c[3];
    detail::core::Cross3(a, b, c);
    double sign;
    if (std::fabs(c[2]) > kRotZero)
        sign = c[2];
    else if (std::fabs(c[0]) > kRotZero)
        sign = c[0];
    else
        sign = c[1];
    return sign < 0.0 ? -ang : ang;
}

double CGorvMathFunc::mathCrossAngle2D(double x1, double y1, double x2, double y2) {
    return std::acos(Clamp1(x1 * x2 + y1 * y2)) * m_trang;
}

double CGorvMathFunc::mathCrossAngle2D(const double a[3], const double b[3]) {
    const double ang = std::acos(Clamp1(detail::core::Dot3(a, b))) * m_trang;
    const double z = Clamp1(a[0] * b[1] - a[1] * b[0]);
    return z > 0.0 ? ang : -ang;
}

double CGorvMathFunc::mathCrossAngle2DSign(double x1, double y1, double x2, double y2) {
    const double ang = std::acos(Clamp1(x1 * x2 + y1 * y2)) * m_trang;
    return (x1 * y2 - y1 * x2 > 0.0) ? ang : -ang;
}

double CGorvMathFunc::GetAngle(double x1, double y1, double x2, double y2, int full) {
    const double dx = x1 - x2, dy = y1 - y2;
    const double d = mathSqrt(dx * dx + dy * dy);
    if (d < 0.001) return 0.0;
    if (std::fabs(dx) < m_NormalZero) {
        if (dy < -1e-15) return 90.0;
        return full != 0 ? 270.0 : -90.0;
    }
    if (std::fabs(dy) < m_NormalZero) {
        return (full != 0 && dx >= -1e-15) ? 180.0 : 0.0;
    }
    const double t = std::atan(dy / dx) * m_trang;
    if (full == 0) return t;
    const double at = std::fabs(t);
    if (dx < 0.0 && dy < 0.0) return at;
    if (dx < 0.0 && dy > 0.0) return 360.0 - at;
    if (dx > 0.0 && dy > 0.0) return 180.0 + at;
    return 180.0 - at;
}

void CGorvMathFunc::mathVec2Ang(double vx, double vy, double vz, double& a1, double& a2) {
    a1 = 0.0;
    a2 = 0.0;
    const double r = std::sqrt(vz * vz + vy * vy);
    if (r >= 1e-15) {
        a1 = std::asin(Clamp1(vy / r)) * m_trang;
        if (vz < 0.0) a1 = 180.0 - a1;
    }
    const double len = std::sqrt(vx * vx + vy * vy + vz * vz);
    if (len >= 1e-15) a2 = std::asin(Clamp1(vx / len)) * m_trang;
    a1 = -a1;
}

// ---- rotations ----

namespace {

// Right-handed rotation of a row vector about a principal axis through a 4x4 matrix, with the
// sine and cosine snapped like mathSin/mathCos and tiny results cleared.
void RotatePrincipal(Axis axis, double deg, double& x, double& y, double& z) {
    const double th = deg * CGorvMathFunc::Get_trrad();
    const double c = CGorvMathFunc::mathCos(th);
    const double s = CGorvMathFunc::mathSin(th);
    double M[4][4];
    CGorvMathFunc::mathMxIdentity(M);
    switch (axis) {
        case Axis::X:
            M[1][1] = c;
            M[1][2] = s;
            M[2][1] = -s;
            M[2][2] = c;
            break;
        case Axis::Y:
            M[0][0] = c;
            M[0][2] = -s;
            M[2][0] = s;
            M[2][2] = c;
            break;
        case Axis::Z:
            M[0][0] = c;
            M[0][1] = s;
            M[1][0] = -s;
            M[1][1] = c;
            break;
    }
    const double v[4] = {x, y, z, 1.0};
    double out[4];
    CGorvMathFunc::mathVecMult(v, M, out);
    x = out[0];
    y = out[1];
    z = out[2];
    SnapSmall(x, y, z);
}

}  // namespace

void CGorvMathFunc::mathRotateX(double deg, double& x, double& y, double& z) { RotatePrincipal(Axis::X, deg, x, y, z); }

void CGorvMathFunc::mathRotateY(double deg, double& x, double& y, double& z) { RotatePrincipal(Axis::Y, deg, x, y, z); }

void CGorvMathFunc::mathRotateZ(double deg, double& x, double& y, double& z) { RotatePrincipal(Axis::Z, deg, x, y, z); }

void CGorvMathFunc::mathRotate(double deg, double ax, double ay, double az, double& x, double& y, double& z) {
    if (deg == 0.0) return;
    double alpha = 0.0;
    const double r = std::sqrt(az * az + ay * ay);
    if (r >= 1e-15) {
        alpha = std::asin(Clamp1(ay / r)) * m_trang;
        if (az < 0.0) alpha = 180.0 - alpha;
    }
    double beta = 0.0;
    const double len = std::sqrt(ax * ax + ay * ay + az * az);
    if (len >= 1e-15) beta = std::asin(Clamp1(ax / len)) * m_trang;
    if (alpha != 0.0) mathRotateX(alpha, x, y, z);
    if (beta != 0.0) mathRotateY(-beta, x, y, z);
    mathRotateZ(deg, x, y, z);
    if (beta != 0.0) mathRotateY(beta, x, y, z);
    if (alpha != 0.0) mathRotateX(-alpha, x, y, z);
    SnapSmall(x, y, z);
}

void CGorvMathFunc::mathRotate(double deg, double cx, double cy, double cz, double ax, double ay, double az, double& x,
                               double& y, double& z) {
    if (deg == 0.0) return;
    x -= cx;
    y -= cy;
    z -= cz;
    mathRotate(deg, ax, ay, az, x, y, z);
    x += cx;
    y += cy;
    z += cz;
    SnapSmall(x, y, z);
}

// ---- coordinate systems ----

void CGorvMathFunc::mathTranUCS(const double ex[3], const double ey[3], const double ez[3], int n, double pts[][3]) {
    for (int i = 0; i < n; ++i) {
        const double p[3] = {pts[i][0], pts[i][1], pts[i][2]};
        pts[i][0] = detail::core::Dot3(ex, p);
        pts[i][1] = detail::core::Dot3(ey, p);
        pts[i][2] = detail::core::Dot3(ez, p);
    }
}

void CGorvMathFunc::mathGCS2UCS(double& x, double& y, double& z, const double M[3][3]) {
    const double p[3] = {x, y, z};
    x = M[0][0] * p[0] + M[0][1] * p[1] + M[0][2] * p[2];
    y = M[1][0] * p[0] + M[1][1] * p[1] + M[1][2] * p[2];
    z = M[2][0] * p[0] + M[2][1] * p[1] + M[2][2] * p[2];
}

void CGorvMathFunc::mathUCS2GCS(double& x, double& y, double& z, const double M[3][3]) {
    const double p[3] = {x, y, z};
    x = M[0][0] * p[0] + M[1][0] * p[1] + M[2][0] * p[2];
    y = M[0][1] * p[0] + M[1][1] * p[1] + M[2][1] * p[2];
    z = M[0][2] * p[0] + M[1][2] * p[1] + M[2][2] * p[2];
}
