// Namespace Gorv vectors, angles, transforms and small matrices (column vectors, degrees, 1e-6).
#include <gorv/geom/gorv_func.h>

#include <cmath>

#include "core_detail.h"

namespace Gorv {

using detail::core::kGorvZero;
using detail::core::kPi;
using detail::core::Len3;
using detail::core::Sub2;
using detail::core::Sub3;

// ---- norms, products, angles ----

double norm_2d(double x, double y) { return std::sqrt(x * x + y * y); }
double norm_2d(const double v[2]) { return norm_2d(v[0], v[1]); }
double norm_3d(double x, double y, double z) { return std::sqrt(x * x + y * y + z * z); }
double norm_3d(const double v[3]) { return norm_3d(v[0], v[1], v[2]); }

double normal_2d(const double a[2], const double b[2]) { return a[0] * b[1] - a[1] * b[0]; }

void cross_product_3d(const double a[3], const double b[3], double out[3]) { detail::core::Cross3(a, b, out); }

void cross_product_3d(const double p0[3], const double p1[3], const double p2[3], double out[3]) {
    double u[3], w[3];
    Sub3(p1, p0, u);
    Sub3(p2, p0, w);
    detail::core::Cross3(u, w, out);
}

namespace {

void UnitOrZero(double n[3]) {
    const double len = Len3(n);
    if (len < kGorvZero) {
        n[0] = n[1] = n[2] = 0.0;
        return;
    }
    n[0] /= len;
    n[1] /= len;
    n[2] /= len;
}

// Unsigned angle in degrees between u and w by the law of cosines.
double LawOfCosinesAngle(double a, double b, double c) {
    if (2.0 * a * b < kGorvZero) return 0.0;
    const double k = (a * a + b * b - c * c) / (2.0 * a * b);
    if (k > 0.999999) return 0.0;
    if (k < -0.999999) return 180.0;
    return std::fabs(std::acos(k) * 180.0 / kPi);
}

}  // namespace

void normal_3d(const double a[3], const double b[3], double out[3]) {
    detail::core::Cross3(a, b, out);
    UnitOrZero(out);
}

void normal_3d(const double p0[3], const double p1[3], const double p2[3], double out[3]) {
    cross_product_3d(p0, p1, p2, out);
    UnitOrZero(out);
}

double angle_2d(double x1, double y1, double x2, double y2) {
    const double a = norm_2d(x1, y1);
    const double b = norm_2d(x2, y2);
    const double c = norm_2d(x2 - x1, y2 - y1);
    const double theta = LawOfCosinesAngle(a, b, c);
    // The snapped results 0 and 180 carry no sign: a half turn is +180, never -180 (nor -0).
    if (theta == 0.0 || theta == 180.0) return theta;
    return (x1 * y2 - y1 * x2 < 0.0) ? -theta : theta;
}

double angle_2d(const double u[2], const double w[2]) { return angle_2d(u[0], u[1], w[0], w[1]); }

double angle_2d(double x0, double y0, double x1, double y1, double x2, double y2) {
    return angle_2d(x1 - x0, y1 - y0, x2 - x0, y2 - y0);
}

double angle_2d(const double v[2], const double p1[2], const double p2[2]) {
    return angle_2d(v[0], v[1], p1[0], p1[1], p2[0], p2[1]);
}

double angle_3d(double x1, double y1, double z1, double x2, double y2, double z2) {
    return LawOfCosinesAngle(norm_3d(x1, y1, z1), norm_3d(x2, y2, z2), norm_3d(x2 - x1, y2 - y1, z2 - z1));
}

double angle_3d(const double u[3], const double w[3]) { return angle_3d(u[0], u[1], u[2], w[0], w[1], w[2]); }

double angle_3d(const double v[3], const double p1[3], const double p2[3]) {
    return angle_3d(p1[0] - v[0], p1[1] - v[1], p1[2] - v[2], p2[0] - v[0], p2[1] - v[1], p2[2] - v[2]);
}

void gram_schmidt_orthonormal_basis_3d(const double a[3], const double b[3], double e1[3], double e2[3]) {
    const double bb[3] = {b[0], b[1], b[2]};  // e1 or e2 may share storage with a or b
    const double la = Len3(a);
    if (la > kGorvZero) {
        const double aa[3] = {a[0] / la, a[1] / la, a[2] / la};
        e1[0] = aa[0];
        e1[1] = aa[1];
        e1[2] = aa[2];
    }
    const double k = detail::core::Dot3(bb, e1);
    double v[3] = {bb[0] - k * e1[0], bb[1] - k * e1[1], bb[2] - k * e1[2]};
    const double lv = Len3(v);
    if (lv > kGorvZero) {
        v[0] /= lv;
        v[1] /= lv;
        v[2] /= lv;
    }
    e2[0] = v[0];
    e2[1] = v[1];
    e2[2] = v[2];
}

// ---- transforms ----

void translate_2d(double& x, double& y, double dx, double dy) {
    x += dx;
    y += dy;
}

void translate_2d(double p[2], double dx, double dy) { translate_2d(p[0], p[1], dx, dy); }

void translate_3d(double p[3], double dx, double dy, double dz) {
    p[0] += dx;
    p[1] += dy;
    p[2] += dz;
}

void rotate_2d(double& x, double& y, double deg) {
    const double th = radian(deg);
    const double c = std::cos(th);
    const double s = std::sin(th);
    const double nx = x * c - y * s;
    const double ny = x * s + y * c;
    x = nx;
    y = ny;
}

void rotate_2d(double p[2], double deg) { rotate_2d(p[0], p[1], deg); }

void rotate_2d(double p[2], const double c[2], double deg) {
    const double cx = c[0], cy = c[1];  // c may be p itself
    double x = p[0] - cx, y = p[1] - cy;
    rotate_2d(x, y, deg);
    p[0] = x + cx;
    p[1] = y + cy;
}

namespace {
void ApplyInPlace(const double M[3][3], double p[3]) {
    double out[3];
    multiply_matrix_3x3_vector_3x1(M, p, out);
    p[0] = out[0];
    p[1] = out[1];
    p[2] = out[2];
}
}  // namespace

void rotate_about_x_axis_3d(double p[3], double deg) {
    double M[3][3];
    rotation_matrix_about_x_axis_3d(M, deg);
    ApplyInPlace(M, p);
}

void rotate_about_y_axis_3d(double p[3], double deg) {
    double M[3][3];
    rotation_matrix_about_y_axis_3d(M, deg);
    ApplyInPlace(M, p);
}

void rotate_about_z_axis_3d(double p[3], double deg) {
    double M[3][3];
    rotation_matrix_about_z_axis_3d(M, deg);
    ApplyInPlace(M, p);
}

void rotate_about_general_axis_3d(double p[3], const double a[3], const double b[3], double deg) {
    double M[3][3];
    rotation_matrix_about_general_axis_3d(M, a, b, deg);
    const double a0[3] = {a[0], a[1], a[2]};
    double q[3];
    Sub3(p, a0, q);
    ApplyInPlace(M, q);
    p[0] = a0[0] + q[0];
    p[1] = a0[1] + q[1];
    p[2] = a0[2] + q[2];
}

void mirror_2d(double p[2], const double a[2], const double b[2]) {
    double d[2];
    Sub2(b, a, d);
    if (detail::core::Len2(d) < kGorvZero) return;
    double f[2];
    if (std::fabs(b[0] - a[0]) < kGorvZero) {
        f[0] = a[0];
        f[1] = p[1];
    } else if (std::fabs(b[1] - a[1]) < kGorvZero) {
        f[0] = p[0];
        f[1] = a[1];
    } else {
        const double m = (b[1] - a[1]) / (b[0] - a[0]);
        const double q = a[1] - a[0] * m;
        f[0] = (p[0] / m + p[1] - q) / (1.0 / m + m);
        f[1] = f[0] * m + q;
    }
    rotate_2d(p, f, 180.0);
}

void mirror_through_xy_plane(double p[3], double z0) { p[2] = 2.0 * z0 - p[2]; }
void mirror_through_yz_plane(double p[3], double x0) { p[0] = 2.0 * x0 - p[0]; }
void mirror_through_zx_plane(double p[3], double y0) { p[1] = 2.0 * y0 - p[1]; }

void transform_2d(double p[2], double dx, double dy, double deg) {
    rotate_2d(p, deg);
    translate_2d(p, dx, dy);
}

void inverse_transform_2d(double p[2], double dx, double dy, double deg) {
    translate_2d(p, -dx, -dy);
    rotate_2d(p, -deg);
}

void transform_3d(double p[3], const double t[3], const double M[3][3]) {
    double out[3];
    multiply_matrix_3x3_vector_3x1(M, p, out);
    p[0] = out[0] + t[0];
    p[1] = out[1] + t[1];
    p[2] = out[2] + t[2];
}

void inverse_transform_3d(double p[3], const double t[3], const double M[3][3]) {
    double q[3];
    Sub3(p, t, q);
    double inv[3][3];
    inverse_matrix_3x3(M, inv);
    multiply_matrix_3x3_vector_3x1(inv, q, p);
}

// ---- rotation and mirror matrices ----

void rotation_matrix_about_x_axis_3d(double M[3][3], double deg) {
    const double th = radian(deg);
    const double c = std::cos(th), s = std::sin(th);
    M[0][0] = 1.0; M[0][1] = 0.0; M[0][2] = 0.0;
    M[1][0] = 0.0; M[1][1] = c;   M[1][2] = -s;
    M[2][0] = 0.0; M[2][1] = s;   M[2][2] = c;
}

void rotation_matrix_about_y_axis_3d(double M[3][3], double deg) {
    const double th = radian(deg);
    const double c = std::cos(th), s = std::sin(th);
    M[0][0] = c;   M[0][1] = 0.0; M[0][2] = s;
    M[1][0] = 0.0; M[1][1] = 1.0; M[1][2] = 0.0;
    M[2][0] = -s;  M[2][1] = 0.0; M[2][2] = c;
}

void rotation_matrix_about_z_axis_3d(double M[3][3], double deg) {
    const double th = radian(deg);
    const double c = std::cos(th), s = std::sin(th);
    M[0][0] = c;   M[0][1] = -s;  M[0][2] = 0.0;
    M[1][0] = s;   M[1][1] = c;   M[1][2] = 0.0;
    M[2][0] = 0.0; M[2][1] = 0.0; M[2][2] = 1.0;
}

void rotation_matrix_about_general_axis_3d(double M[3][3], const double a[3], const double b[3], double deg) {
    double d[3];
    Sub3(b, a, d);
    const double r = std::sqrt(d[1] * d[1] + d[2] * d[2]);
    const double L = Len3(d);
    if (L == 0.0) {
        // a and b coincide: no axis, so no rotation (rather than a matrix of NaNs)
        identity_matrix_3x3(M);
        return;
    }
    const double Ry[3][3] = {{r / L, 0.0, d[0] / L}, {0.0, 1.0, 0.0}, {-d[0] / L, 0.0, r / L}};
    double Rz[3][3], RyInv[3][3], T1[3][3], T2[3][3];
    rotation_matrix_about_z_axis_3d(Rz, deg);
    inverse_matrix_3x3(Ry, RyInv);
    // The five factors are multiplied strictly left to right.
    if (r > kGorvZero) {
        const double Rx[3][3] = {{1.0, 0.0, 0.0}, {0.0, d[2] / r, d[1] / r}, {0.0, -d[1] / r, d[2] / r}};
        double RxInv[3][3], T3[3][3];
        inverse_matrix_3x3(Rx, RxInv);
        multiply_matrix_3x3_matrix_3x3(Rx, Ry, T1);     // Rx*Ry
        multiply_matrix_3x3_matrix_3x3(T1, Rz, T2);     // *Rz
        multiply_matrix_3x3_matrix_3x3(T2, RyInv, T3);  // *Ry^-1
        multiply_matrix_3x3_matrix_3x3(T3, RxInv, M);   // *Rx^-1
    } else {
        multiply_matrix_3x3_matrix_3x3(Ry, Rz, T1);
        multiply_matrix_3x3_matrix_3x3(T1, RyInv, M);
    }
}

void rotation_matrix_from_euler_angle(double M[3][3], double a1, double a2, double a3) {
    double Rx[3][3], Ry[3][3], Rz[3][3], T[3][3];
    rotation_matrix_about_x_axis_3d(Rx, a1);
    rotation_matrix_about_y_axis_3d(Ry, a2);
    rotation_matrix_about_z_axis_3d(Rz, a3);
    multiply_matrix_3x3_matrix_3x3(Rz, Ry, T);
    multiply_matrix_3x3_matrix_3x3(T, Rx, M);
}

void euler_angle_from_rotation_matrix(const double M[3][3], double& a1, double& a2, double& a3) {
    const double m20 = M[2][0];
    if (m20 >= 0.9999 && m20 <= 1.0001) {
        a1 = 0.5 * degree(std::atan2(M[1][2], M[1][1]));
        a2 = -90.0;
        a3 = -a1;
    } else if (m20 >= -1.0001 && m20 <= -0.9999) {
        a1 = 0.5 * degree(std::atan2(M[1][2], M[1][1]));
        a2 = 90.0;
        a3 = a1;
    } else {
        a1 = degree(std::atan2(M[2][1], M[2][2]));
        a2 = degree(std::atan2(-m20, std::sqrt(M[2][1] * M[2][1] + M[2][2] * M[2][2])));
        a3 = degree(std::atan2(M[1][0], M[0][0]));
    }
}

void mirror_matrix_through_xy_plane(double M[3][3]) {
    identity_matrix_3x3(M);
    M[2][2] = -1.0;
}

void mirror_matrix_through_yz_plane(double M[3][3]) {
    identity_matrix_3x3(M);
    M[0][0] = -1.0;
}

void mirror_matrix_through_zx_plane(double M[3][3]) {
    identity_matrix_3x3(M);
    M[1][1] = -1.0;
}

// ---- small vectors and matrices ----

void zero_vector_2x1(double v[2]) { v[0] = v[1] = 0.0; }
void zero_vector_3x1(double v[3]) { v[0] = v[1] = v[2] = 0.0; }

void zero_matrix_2x2(double M[2][2]) {
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) M[i][j] = 0.0;
}

void zero_matrix_3x3(double M[3][3]) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) M[i][j] = 0.0;
}

void identity_matrix_2x2(double M[2][2]) {
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) M[i][j] = (i == j) ? 1.0 : 0.0;
}

void identity_matrix_3x3(double M[3][3]) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) M[i][j] = (i == j) ? 1.0 : 0.0;
}

void copy_vector_2x1(const double src[2], double dst[2]) {
    dst[0] = src[0];
    dst[1] = src[1];
}

void copy_vector_3x1(const double src[3], double dst[3]) {
    dst[0] = src[0];
    dst[1] = src[1];
    dst[2] = src[2];
}

void copy_matrix_2x2(const double src[2][2], double dst[2][2]) {
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) dst[i][j] = src[i][j];
}

void copy_matrix_3x3(const double src[3][3], double dst[3][3]) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) dst[i][j] = src[i][j];
}

void multiply_matrix_2x2_vector_2x1(const double M[2][2], const double v[2], double out[2]) {
    const double v0 = v[0], v1 = v[1];  // out may be v
    double r[2];
    for (int i = 0; i < 2; ++i) {
        r[i] = 0.0;
        r[i] += M[i][0] * v0;
        r[i] += M[i][1] * v1;
    }
    out[0] = r[0];
    out[1] = r[1];
}

void multiply_matrix_3x3_vector_3x1(const double M[3][3], const double v[3], double out[3]) {
    const double vv[3] = {v[0], v[1], v[2]};  // out may be v
    double r[3];
    for (int i = 0; i < 3; ++i) {
        r[i] = 0.0;
        for (int k = 0; k < 3; ++k) r[i] += M[i][k] * vv[k];
    }
    out[0] = r[0];
    out[1] = r[1];
    out[2] = r[2];
}

void multiply_matrix_2x2_matrix_2x2(const double A[2][2], const double B[2][2], double C[2][2]) {
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j) {
            C[i][j] = 0.0;
            for (int k = 0; k < 2; ++k) C[i][j] += A[i][k] * B[k][j];
        }
}

void multiply_matrix_3x3_matrix_3x3(const double A[3][3], const double B[3][3], double C[3][3]) {
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            C[i][j] = 0.0;
            for (int k = 0; k < 3; ++k) C[i][j] += A[i][k] * B[k][j];
        }
}

void inverse_matrix_2x2(const double A[2][2], double B[2][2]) {
    const double a00 = A[0][0], a01 = A[0][1], a10 = A[1][0], a11 = A[1][1];
    const double det = a00 * a11 - a10 * a01;
    if (std::fabs(det) < kGorvZero) {
        zero_matrix_2x2(B);
        return;
    }
    B[0][0] = a11 / det;
    B[0][1] = -a01 / det;
    B[1][0] = -a10 / det;
    B[1][1] = a00 / det;
}

void inverse_matrix_3x3(const double A[3][3], double B[3][3]) {
    double a[3][3];
    copy_matrix_3x3(A, a);  // B may be A
    double cof[3][3];
    cof[0][0] = a[1][1] * a[2][2] - a[1][2] * a[2][1];
    cof[0][1] = -(a[1][0] * a[2][2] - a[1][2] * a[2][0]);
    cof[0][2] = a[1][0] * a[2][1] - a[1][1] * a[2][0];
    cof[1][0] = -(a[0][1] * a[2][2] - a[0][2] * a[2][1]);
    cof[1][1] = a[0][0] * a[2][2] - a[0][2] * a[2][0];
    cof[1][2] = -(a[0][0] * a[2][1] - a[0][1] * a[2][0]);
    cof[2][0] = a[0][1] * a[1][2] - a[0][2] * a[1][1];
    cof[2][1] = -(a[0][0] * a[1][2] - a[0][2] * a[1][0]);
    cof[2][2] = a[0][0] * a[1][1] - a[0][1] * a[1][0];
    const double det = a[0][0] * cof[0][0] + a[0][1] * cof[0][1] + a[0][2] * cof[0][2];
    if (std::fabs(det) < kGorvZero) {
        zero_matrix_3x3(B);
        return;
    }
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) B[i][j] = cof[j][i] / det;
}

}  // namespace Gorv
