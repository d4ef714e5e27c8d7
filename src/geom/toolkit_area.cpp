// Areas of triangles, quadrilaterals and polygons, polygon centroids, volumes of 4-, 6- and 8-node
// solid elements, the prism volume under a 3D polygon, circles of a triangle, shrinkage of element
// outlines and the rectangle around a segment.
#include <cmath>
#include <memory>

#include <gorv/geom/geom_func.h>
#include <gorv/geom/geom_types.h>
#include <gorv/geom/gorv_func.h>
#include <gorv/geom/gorv_func_toolkit.h>
#include <gorv/geom/gorv_math_func.h>

#include "toolkit_detail.h"

using namespace detail::toolkit;

namespace {

// Heron's formula on the three side lengths; the product before the root is returned as is.
double HeronProduct(double a, double b, double c) {
    const double s = (a + b + c) / 2.0;
    return s * (s - a) * (s - b) * (s - c);
}

double Det3(const double J[3][3]) {
    return J[0][0] * (J[1][1] * J[2][2] - J[1][2] * J[2][1]) - J[0][1] * (J[1][0] * J[2][2] - J[1][2] * J[2][0]) +
           J[0][2] * (J[1][0] * J[2][1] - J[1][1] * J[2][0]);
}

// Jacobian determinant at one integration point from the shape-function derivatives dN[node][dir].
double JacobianDet(int nNode, const double dN[][3], const double pts[][3]) {
    double J[3][3] = {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < nNode; ++k) J[i][j] += dN[k][i] * pts[k][j];
    return Det3(J);
}

// Moves every point towards the average of all of them by the factor f, in place.
void Shrink(double* const* p, int n, double f) {
    if (!(f >= kGorvZero && f <= 0.999999)) return;
    double c[3] = {0.0, 0.0, 0.0};
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < 3; ++j) c[j] += p[i][j];
    for (int j = 0; j < 3; ++j) c[j] /= n;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < 3; ++j) p[i][j] = c[j] + (p[i][j] - c[j]) * f;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Polygon records

double T_GORV_POLYGON2D::GetArea() const {
    const INT_PTR m = points.GetSize() - 1;
    if (m < 3) return 0.0;
    const T_GORV_POINT2D* p = points.GetData();
    double s = 0.0;
    for (INT_PTR i = 0; i < m; ++i) {
        const INT_PTR j = (i == 0) ? m - 1 : i - 1;
        s += p[j].x * p[i].y - p[i].x * p[j].y;
    }
    return std::fabs(s / 2.0);
}

double CGeomFunc::CalcPolyArea(const T_GORV_COMPLEX_POLYGON2D& poly) {
    double area = poly.outer.GetArea();
    for (INT_PTR i = 0; i < poly.holes.GetSize(); ++i) area -= poly.holes.GetData()[i].GetArea();
    return area;
}

// ---------------------------------------------------------------------------------------------
// CGorvMathFunc areas and centroids

double CGorvMathFunc::mathArea(const double p1[3], const double p2[3], const double p3[3]) {
    const double prod = HeronProduct(Dist3(p1, p2), Dist3(p2, p3), Dist3(p3, p1));
    return prod < 0.0 ? 0.0 : std::sqrt(prod);
}

double CGorvMathFunc::mathArea2d(double x1, double y1, double x2, double y2, double x3, double y3) {
    const double prod = HeronProduct(Len2(x1 - x2, y1 - y2), Len2(x2 - x3, y2 - y3), Len2(x3 - x1, y3 - y1));
    return prod < 0.0 ? 0.0 : std::sqrt(prod);
}

double CGorvMathFunc::mathArea2d(int n, const double* xs, const double* ys) {
    if (n < 1 || xs == nullptr || ys == nullptr) return 0.0;
    double ymin = ys[0];
    for (int i = 1; i < n; ++i)
        if (ys[i] < ymin) ymin = ys[i];
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        sum += ((ys[i] + ys[j] - 2.0 * ymin) / 2.0) * (xs[i] - xs[j]);
    }
    return std::fabs(sum);
}

int CGorvMathFunc::mathPolyCentroid(int n, const double* xs, const double* ys, double& cx, double& cy,
                                    double& area) {
    cx = cy = area = 0.0;
    if (n < 3 || xs == nullptr || ys == nullptr) return 0;
    double a2 = 0.0, sx = 0.0, sy = 0.0;
    for (int i = 0; i < n; ++i) {
        const int j = (i == 0) ? n - 1 : i - 1;
        const double c = xs[j] * ys[i] - xs[i] * ys[j];
        a2 += c;
        sx += (xs[i] + xs[j]) * c;
        sy += (ys[i] + ys[j]) * c;
    }
    if (a2 == 0.0 || std::isnan(a2)) return 0;
    area = std::fabs(a2) / 2.0;
    cx = sx / (3.0 * a2);
    cy = sy / (3.0 * a2);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Element volumes

double CGorvMathFunc::mathVolume(int n, const double pts[][3]) {
    if (pts == nullptr) return 0.0;
    switch (n) {
        case 4: return Solid_4(pts);
        case 6: return Solid_6(pts);
        case 8: return Solid_8(pts);
        default: return 0.0;
    }
}

double CGorvMathFunc::Solid_4(const double pts[][3]) {
    // Linear tetrahedron: derivatives -1, 1, 0 in each natural direction.
    static const double dN[4][3] = {{-1, -1, -1}, {1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    return JacobianDet(4, dN, pts) / 6.0;
}

double CGorvMathFunc::Solid_6(const double pts[][3]) {
    // Linear wedge over the triangle (L1, L2) times zeta in [-1, 1]: four-point triangle rule times
    // two Gauss points through the thickness.
    static const double tri[4][3] = {{0.33333333, 0.33333333, -0.28125},
                                     {0.6, 0.2, 0.26041667},
                                     {0.2, 0.6, 0.26041667},
                                     {0.2, 0.2, 0.26041667}};
    static const double gz[2] = {-0.57735027, 0.57735027};
    double vol = 0.0;
    for (const auto& t : tri) {
        const double s = t[0], r = t[1];
        for (double z : gz) {
            const double lo = 0.5 * (1.0 - z), hi = 0.5 * (1.0 + z);
            const double l0 = 1.0 - s - r;
            const double dN[6][3] = {{-lo, -lo, -0.5 * l0}, {lo, 0.0, -0.5 * s}, {0.0, lo, -0.5 * r},
                                     {-hi, -hi, 0.5 * l0},  {hi, 0.0, 0.5 * s},  {0.0, hi, 0.5 * r}};
            vol += t[2] * JacobianDet(6, dN, pts);
        }
    }
    return vol;
}

double CGorvMathFunc::Solid_8(const double pts[][3]) {
    // Trilinear hexahedron, 2x2x2 Gauss points; natural node coordinates in the usual order (first
    // face counter-clockwise, then the opposite face in the same order).
    static const double nat[8][3] = {{-1, -1, -1}, {1, -1, -1}, {1, 1, -1}, {-1, 1, -1},
                                     {-1, -1, 1},  {1, -1, 1},  {1, 1, 1},  {-1, 1, 1}};
    static const double g = 0.5773503;
    double vol = 0.0;
    for (int a = 0; a < 8; ++a) {
        const double xi = g * nat[a][0], eta = g * nat[a][1], zeta = g * nat[a][2];
        double dN[8][3];
        for (int k = 0; k < 8; ++k) {
            const double fx = 1.0 + xi * nat[k][0], fy = 1.0 + eta * nat[k][1], fz = 1.0 + zeta * nat[k][2];
            dN[k][0] = 0.125 * nat[k][0] * fy * fz;
            dN[k][1] = 0.125 * nat[k][1] * fx * fz;
            dN[k][2] = 0.125 * nat[k][2] * fx * fy;
        }
        vol += JacobianDet(8, dN, pts);
    }
    return vol;
}

// ---------------------------------------------------------------------------------------------
// Prism volume under a 3D polygon

int CGorvMathFunc::Get_VolmCenter(double centre[3], double& volume, int n, const double pts[][3], int axis) {
    centre[0] = centre[1] = centre[2] = 0.0;
    if (n < 3 || pts == nullptr) return 0;
    int i0, i1, ih;  // base coordinates and height coordinate
    switch (axis) {
        case 1: i0 = 0, i1 = 1, ih = 2; break;
        case 2: i0 = 2, i1 = 0, ih = 1; break;
        case 3: i0 = 0, i1 = 2, ih = 1; break;
        default: return 0;  // no base plane to measure from
    }
    std::unique_ptr<double[][2]> base(new double[static_cast<size_t>(n)][2]);
    for (int i = 0; i < n; ++i) {
        base[i][0] = pts[i][i0];
        base[i][1] = pts[i][i1];
    }
    const double(*b2)[2] = base.get();

    bool reverse = false;
    for (int i = n - 1; i >= 0; --i) {
        const int j = (i + 1) % n;
        const double dx = b2[j][0] - b2[i][0], dy = b2[j][1] - b2[i][1];
        const double len = Len2(dx, dy);
        if (!(len >= m_NormalZero)) continue;
        const double test[2] = {(b2[i][0] + b2[j][0]) / 2.0 - len * 1e-6 * (dy / len),
                                (b2[i][1] + b2[j][1]) / 2.0 + len * 1e-6 * (dx / len)};
        reverse = (mathIsInsidePoint2D(test, n, b2, 1) == 0);
        break;
    }

    auto at = [&](int k) -> const double* { return pts[reverse ? n - 1 - k : k]; };
    volume = 0.0;
    double m0 = 0.0, m1 = 0.0, mh = 0.0;
    const double* P0 = at(0);
    for (int k = 0; k + 2 < n; ++k) {
        const double* P1 = at(k + 1);
        const double* P2 = at(k + 2);
        const double A = 0.5 * ((P1[i0] - P0[i0]) * (P2[i1] - P0[i1]) - (P2[i0] - P0[i0]) * (P1[i1] - P0[i1]));
        if (!(std::fabs(A) >= m_NormalZero)) continue;
        const double h0 = P0[ih], h1 = P1[ih], h2 = P2[ih];
        const double V = A / 3.0 * (h0 + h1 + h2);
        const double w0 = A / 6.0 * h0 + A / 12.0 * (h1 + h2);
        const double w1 = A / 6.0 * h1 + A / 12.0 * (h0 + h2);
        const double w2 = A / 6.0 * h2 + A / 12.0 * (h0 + h1);
        // V * centroid, accumulated directly so a prism of zero height needs no division.
        m0 += w0 * P0[i0] + w1 * P1[i0] + w2 * P2[i0];
        m1 += w0 * P0[i1] + w1 * P1[i1] + w2 * P2[i1];
        mh += (w0 * h0 + w1 * h1 + w2 * h2) / 2.0;
        volume += V;
    }
    // A solid of zero volume has no centroid; the centre stays at the origin.
    if (volume != 0.0 && std::isfinite(volume)) {
        centre[i0] = m0 / volume;
        centre[i1] = m1 / volume;
        centre[ih] = mh / volume;
    }
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Namespace Gorv

namespace Gorv {

double triangle_area_2d(const double a[2], const double b[2], const double c[2]) {
    return std::sqrt(std::fabs(HeronProduct(distance_2d(a, b), distance_2d(b, c), distance_2d(c, a))));
}

double triangle_area_3d(const double a[3], const double b[3], const double c[3]) {
    return std::sqrt(std::fabs(HeronProduct(distance_3d(a, b), distance_3d(b, c), distance_3d(c, a))));
}

double signed_triangle_area_2d(const double a[2], const double b[2], const double c[2]) {
    return 0.5 * (a[0] * (b[1] - c[1]) + b[0] * (c[1] - a[1]) + c[0] * (a[1] - b[1]));
}

double quadrilateral_area_2d(const double a[2], const double b[2], const double c[2], const double d[2]) {
    return triangle_area_2d(a, b, c) + triangle_area_2d(c, d, a);
}

double quadrilateral_area_3d(const double a[3], const double b[3], const double c[3], const double d[3]) {
    return triangle_area_3d(a, b, c) + triangle_area_3d(c, d, a);
}

void circumscribed_circle_2d(const double a[2], const double b[2], const double c[2], double centre[2], double& r) {
    centre[0] = centre[1] = 0.0;
    r = 0.0;
    const double m[2] = {(b[0] + c[0]) / 2.0, (b[1] + c[1]) / 2.0};
    const double d = (c[1] - b[1]) * (b[0] - a[0]) - (c[0] - b[0]) * (b[1] - a[1]);
    if (!(std::fabs(d) >= kGorvZero)) return;
    const double t = (((a[0] + b[0]) / 2.0 - m[0]) * (b[0] - a[0]) + ((a[1] + b[1]) / 2.0 - m[1]) * (b[1] - a[1])) / d;
    centre[0] = m[0] + (c[1] - b[1]) * t;
    centre[1] = m[1] - (c[0] - b[0]) * t;
    r = distance_2d(a, centre);
}

void inscribed_circle_2d(const double a[2], const double b[2], const double c[2], double centre[2], double& r) {
    const double la = distance_2d(b, c), lb = distance_2d(c, a), lc = distance_2d(a, b);
    const double P = la + lb + lc;
    if (!(P > 0.0)) {
        // A point-like triangle has no incircle; answer its position with radius 0 instead of NaN.
        centre[0] = a[0];
        centre[1] = a[1];
        r = 0.0;
        return;
    }
    centre[0] = (la * a[0] + lb * b[0] + lc * c[0]) / P;
    centre[1] = (la * a[1] + lb * b[1] + lc * c[1]) / P;
    r = 2.0 * signed_triangle_area_2d(a, b, c) / P;
}

void line_shrinkage(double p1[3], double p2[3], double f) {
    double* p[] = {p1, p2};
    Shrink(p, 2, f);
}

void triangle_shrinkage(double p1[3], double p2[3], double p3[3], double f) {
    double* p[] = {p1, p2, p3};
    Shrink(p, 3, f);
}

void quadrilateral_shrinkage(double p1[3], double p2[3], double p3[3], double p4[3], double f) {
    double* p[] = {p1, p2, p3, p4};
    Shrink(p, 4, f);
}

void tetrahedron_shrinkage(double p1[3], double p2[3], double p3[3], double p4[3], double f) {
    quadrilateral_shrinkage(p1, p2, p3, p4, f);
}

void pentahedron_shrinkage(double p1[3], double p2[3], double p3[3], double p4[3], double p5[3], double p6[3],
                           double f) {
    double* p[] = {p1, p2, p3, p4, p5, p6};
    Shrink(p, 6, f);
}

void hexahedron_shrinkage(double p1[3], double p2[3], double p3[3], double p4[3], double p5[3], double p6[3],
                          double p7[3], double p8[3], double f) {
    double* p[] = {p1, p2, p3, p4, p5, p6, p7, p8};
    Shrink(p, 8, f);
}

void line_rectangle_2d(const double a[2], const double b[2], int mode, double width, double c1[2], double c2[2],
                       double c3[2], double c4[2]) {
    if (!(width >= kGorvZero)) {
        c1[0] = c2[0] = a[0];
        c1[1] = c2[1] = a[1];
        c3[0] = c4[0] = b[0];
        c3[1] = c4[1] = b[1];
        return;
    }
    if (mode < 1 || mode > 3) return;
    const double ex[2] = {1.0, 0.0};
    const double ab[2] = {b[0] - a[0], b[1] - a[1]};
    const double theta = angle_2d(ex, ab);
    double bb[2] = {b[0], b[1]};
    rotate_2d(bb, a, -theta);
    double lo0 = 0.0, lo1 = 0.0;  // offsets along +y of the segment frame at a (c1, c2)
    double hi0 = 0.0, hi1 = 0.0;  // and at b' (c3, c4)
    if (mode == 1) {
        lo0 = width / 2.0, lo1 = -width / 2.0, hi0 = -width / 2.0, hi1 = width / 2.0;
    } else if (mode == 2) {
        lo0 = width, lo1 = 0.0, hi0 = 0.0, hi1 = width;
    } else {
        lo0 = 0.0, lo1 = -width, hi0 = -width, hi1 = 0.0;
    }
    double* out[4] = {c1, c2, c3, c4};
    const double offs[4] = {lo0, lo1, hi0, hi1};
    for (int i = 0; i < 4; ++i) {
        const double* base = (i < 2) ? a : bb;
        out[i][0] = base[0];
        out[i][1] = base[1] + offs[i];
        rotate_2d(out[i], a, theta);
    }
}

}  // namespace Gorv
