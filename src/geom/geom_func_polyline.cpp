// CGeomFunc polyline and polygon predicates: crossings of 3D segments and polylines, bounding
// rectangles, point in polygon (2D, 3D, convex hull), planes and local axes of plane elements and
// members, and the sideways offset of a member. Touching tolerance 1e-10.
#include <cmath>

#include <gorv/geom/geom_func.h>
#include <gorv/geom/gorv_math_func.h>

#include "toolkit_detail.h"

using namespace detail::toolkit;

namespace {

constexpr double kVerticalRatio = 0.01;  // horizontal / total length below which a member is vertical
constexpr double kMemberZero = 1e-8;     // shortest member length

void Lift(const T_GORV_POINT2D& p, double out[3]) {
    out[0] = p.x;
    out[1] = p.y;
    out[2] = 0.0;
}

bool SamePoint(const double a[3], const double b[3]) { return a[0] == b[0] && a[1] == b[1] && a[2] == b[2]; }

// True when the angle differs from 0, 180 and 360 degrees by more than 0.1.
bool OffLine(double ang) {
    return std::fabs(ang) > 0.1 && std::fabs(ang - 180.0) > 0.1 && std::fabs(ang - 360.0) > 0.1;
}

}  // namespace

CGeomFunc::~CGeomFunc() {}

// ---------------------------------------------------------------------------------------------
// Crossings

int CGeomFunc::CheckLineIntersection(const double a[3], const double b[3], const double c[3], const double d[3],
                                     int bTouch) {
    const double dist[4] = {CGorvMathFunc::mathDistanceToLine(a, b, c), CGorvMathFunc::mathDistanceToLine(a, b, d),
                            CGorvMathFunc::mathDistanceToLine(c, d, a), CGorvMathFunc::mathDistanceToLine(c, d, b)};
    int k = 0;
    for (double v : dist)
        if (v < kOrientZero) ++k;
    if (k == 0) {
        double gap = 0.0, x[3];
        return CGorvMathFunc::mathIntersectLine2(a, b, c, d, 0.0, gap, x) == 1 ? 1 : 0;
    }
    if (bTouch != 0) return 1;
    if (k != 2) return 1;
    const bool shared = SamePoint(a, c) || SamePoint(a, d) || SamePoint(b, c) || SamePoint(b, d);
    return shared ? 0 : 1;
}

int CGeomFunc::CheckPolylineSelfIntersection(const CArray<T_GORV_POINT3D>& pts) {
    const INT_PTR n = pts.GetSize();
    if (n < 3) return 0;
    const T_GORV_POINT3D* p = pts.GetData();
    for (INT_PTR i = 0; i + 2 < n; ++i) {
        double a[3], b[3];
        ToArray(p[i], a);
        ToArray(p[i + 1], b);
        for (INT_PTR j = i + 1; j + 1 < n; ++j) {
            double c[3], d[3];
            ToArray(p[j], c);
            ToArray(p[j + 1], d);
            if (CheckLineIntersection(a, b, c, d, 0) == 1) return 1;
        }
    }
    return 0;
}

int CGeomFunc::CheckPolylineCrossIntersection(const CArray<T_GORV_POINT3D>& a, const CArray<T_GORV_POINT3D>& b) {
    const INT_PTR na = a.GetSize(), nb = b.GetSize();
    if (na < 2 || nb < 2) return 0;
    const T_GORV_POINT3D* pa = a.GetData();
    const T_GORV_POINT3D* pb = b.GetData();
    for (INT_PTR i = 0; i + 1 < na; ++i) {
        double a0[3], a1[3];
        ToArray(pa[i], a0);
        ToArray(pa[i + 1], a1);
        for (INT_PTR j = 0; j + 1 < nb; ++j) {
            double b0[3], b1[3];
            ToArray(pb[j], b0);
            ToArray(pb[j + 1], b1);
            if (CGorvMathFunc::mathDistanceToLine(a0, a1, b0) < kOrientZero ||
                CGorvMathFunc::mathDistanceToLine(a0, a1, b1) < kOrientZero ||
                CGorvMathFunc::mathDistanceToLine(b0, b1, a0) < kOrientZero ||
                CGorvMathFunc::mathDistanceToLine(b0, b1, a1) < kOrientZero)
                return 1;
            double gap = 0.0, x[3];
            if (CGorvMathFunc::mathIntersectLine2(a0, a1, b0, b1, 0.0, gap, x) == 1) return 1;
        }
    }
    return 0;
}

int CGeomFunc::CheckPolylineCrossIntersection(const CArray<T_GORV_POINT2D>& a, const CArray<T_GORV_POINT2D>& b,
                                              int bTouch) {
    const INT_PTR na = a.GetSize(), nb = b.GetSize();
    if (na < 2 || nb < 2) return 0;
    const T_GORV_POINT2D* pa = a.GetData();
    const T_GORV_POINT2D* pb = b.GetData();
    for (INT_PTR i = 0; i + 1 < na; ++i) {
        double a0[3], a1[3];
        Lift(pa[i], a0);
        Lift(pa[i + 1], a1);
        for (INT_PTR j = 0; j + 1 < nb; ++j) {
            double b0[3], b1[3];
            Lift(pb[j], b0);
            Lift(pb[j + 1], b1);
            if (CheckLineIntersection(a0, a1, b0, b1, bTouch) == 1) return 1;
        }
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Rectangles and point in polygon

int CGeomFunc::GetMBR(const CArray<T_GORV_POINT2D>& pts, T_GORV_REGION2D& region) {
    const INT_PTR n = pts.GetSize();
    if (n == 0) return 0;
    const T_GORV_POINT2D* p = pts.GetData();
    region.minX = region.maxX = p[0].x;
    region.minY = region.maxY = p[0].y;
    for (INT_PTR i = 1; i < n; ++i) {
        region.minX = std::fmin(region.minX, p[i].x);
        region.maxX = std::fmax(region.maxX, p[i].x);
        region.minY = std::fmin(region.minY, p[i].y);
        region.maxY = std::fmax(region.maxY, p[i].y);
    }
    return 1;
}

int CGeomFunc::IsPointInRegion(const T_GORV_POINT2D& p, const T_GORV_REGION2D& r) {
    return (r.minX < p.x && p.x < r.maxX && r.minY < p.y && p.y < r.maxY) ? 1 : 0;
}

int CGeomFunc::IsPointInRegion2(const T_GORV_POINT2D& p, const T_GORV_REGION2D& r, int bInclusive) {
    if (bInclusive == 0) return IsPointInRegion(p, r);
    const double e = kGorvZero;
    return (r.minX - e <= p.x && p.x <= r.maxX + e && r.minY - e <= p.y && p.y <= r.maxY + e) ? 1 : 0;
}

int CGeomFunc::IsPointInPolyline2D(const T_GORV_POINT2D& p, const CArray<T_GORV_POINT2D>& pts) {
    const INT_PTR n = pts.GetSize();
    if (n < 3) return 0;
    const T_GORV_POINT2D* v = pts.GetData();
    int count = 0;
    for (INT_PTR i = 0; i < n; ++i) {
        const T_GORV_POINT2D& a = v[i];
        const T_GORV_POINT2D& b = v[(i + 1) % n];
        if ((a.y > p.y) != (b.y > p.y)) {
            const double x = (p.y - a.y) * (b.x - a.x) / (b.y - a.y) + a.x;
            if (x > p.x) ++count;
        }
    }
    return (count % 2 == 1) ? 1 : 0;
}

int CGeomFunc::IsPointInPolyline3D(const T_GORV_POINT3D& p, const CArray<T_GORV_POINT3D>& pts, double tol) {
    double plane[3][3];
    if (GetPlanePoint(pts, plane) == 0) return 0;
    double q[3];
    ToArray(p, q);
    if (CGorvMathFunc::mathIncludePointInPlane(plane[0], plane[1], plane[2], q, tol) == 0) return 0;
    double axes[3][3];
    if (calcPlaneLocalVector(3, plane, axes) == 0) return 0;

    // Rotation about normal x z by the angle between them turns the normal onto +z; a normal
    // pointing down is turned about +x instead.
    const double z[3] = {0.0, 0.0, 1.0};
    const double angle = CGorvMathFunc::mathCrossAngleNormalize(axes[2], z);
    double axis[3];
    Cross3(axes[2], z, axis);
    if (Len3(axis) < kOrientZero) {
        axis[0] = 1.0;
        axis[1] = axis[2] = 0.0;
    }
    auto level = [&](double& x, double& y, double& zz) {
        CGorvMathFunc::mathRotate(angle, axis[0], axis[1], axis[2], x, y, zz);
    };
    T_GORV_POINT2D p2;
    {
        double x = p.x, y = p.y, zz = p.z;
        level(x, y, zz);
        p2 = T_GORV_POINT2D{x, y};
    }
    CArray<T_GORV_POINT2D> flat;
    flat.SetSize(pts.GetSize());
    const T_GORV_POINT3D* v = pts.GetData();
    for (INT_PTR i = 0; i < pts.GetSize(); ++i) {
        double x = v[i].x, y = v[i].y, zz = v[i].z;
        level(x, y, zz);
        flat.GetData()[i] = T_GORV_POINT2D{x, y};
    }
    return IsPointInPolyline2D(p2, flat);
}

int CGeomFunc::CheckInsideConvexHull(const CArray<T_GORV_POINT2D>& pts, const T_GORV_POINT2D& p) {
    const INT_PTR n = pts.GetSize();
    if (n == 0) return 0;
    const T_GORV_POINT2D* v = pts.GetData();
    const T_GORV_POINT2D& p0 = v[0];
    auto near = [](const T_GORV_POINT2D& a, const T_GORV_POINT2D& b) {
        return std::fabs(a.x - b.x) <= 0.001 && std::fabs(a.y - b.y) <= 0.001;
    };
    if (near(p, p0)) return 1;
    const double rx = p0.x - p.x, ry = p0.y - p.y;
    const double rl = Len2(rx, ry);
    double minLeft = 1.0, minRight = 1.0;
    for (INT_PTR i = 1; i < n; ++i) {
        const T_GORV_POINT2D& q = v[i];
        const double qx = q.x - p.x, qy = q.y - p.y;
        const double cr = qx * ry - qy * rx;
        const int s = !(std::fabs(cr) >= kOrientZero) ? 0 : (cr > 0.0 ? 1 : -1);
        // The true cosine of the angle at p (unit differences), so the final test compares angles.
        const double ql = Len2(qx, qy);
        double c = (ql > 0.0 && rl > 0.0) ? Clamp1((qx * rx + qy * ry) / (ql * rl)) : 1.0;
        if (std::fabs(c) < kNormalZero) c = 0.0;
        if (std::fabs(c - 1.0) < kNormalZero) c = 1.0;
        if (std::fabs(c + 1.0) < kNormalZero) c = -1.0;
        if (s > 0) {
            minLeft = std::fmin(minLeft, c);
        } else if (s < 0) {
            minRight = std::fmin(minRight, c);
        } else {
            if (near(q, p)) return 1;
            if (near(q, p0)) continue;
            if (c == -1.0) return 1;
        }
    }
    return (minLeft + minRight <= 0.0) ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// Planes and local axes

int CGeomFunc::calcPlaneLocalVector(int n, const double pts[][3], double axes[3][3]) {
    if (pts == nullptr) return 0;
    double xr[3], yr[3];
    if (n == 3) {
        Sub3(pts[1], pts[0], xr);
        Sub3(pts[2], pts[1], yr);
    } else if (n == 4) {
        for (int i = 0; i < 3; ++i) {
            xr[i] = (pts[1][i] + pts[2][i]) - (pts[0][i] + pts[3][i]);
            yr[i] = (pts[2][i] + pts[3][i]) - (pts[0][i] + pts[1][i]);
        }
    } else {
        return 0;
    }
    double x[3], y[3], z[3], zr[3];
    if (!Unit3(xr, x) || !Unit3(yr, y)) return 0;
    Cross3(x, y, zr);
    if (!Unit3(zr, z)) return 0;
    double yy[3];
    Cross3(z, x, yy);
    for (int i = 0; i < 3; ++i) {
        axes[0][i] = x[i];
        axes[1][i] = yy[i];
        axes[2][i] = z[i];
    }
    return 1;
}

int CGeomFunc::GetPlanePoint(const CArray<T_GORV_POINT3D>& pts, double plane[3][3]) {
    const INT_PTR n = pts.GetSize();
    if (n < 3) return 0;
    const T_GORV_POINT3D* v = pts.GetData();
    double p0[3], p1[3], first[3];
    ToArray(v[0], p0);
    ToArray(v[1], p1);
    for (int i = 0; i < 3; ++i) {
        plane[0][i] = p0[i];
        plane[1][i] = p1[i];
    }
    Sub3(p1, p0, first);
    for (INT_PTR k = 1; k + 1 < n; ++k) {
        double pk[3], pn[3], e[3];
        ToArray(v[k], pk);
        ToArray(v[k + 1], pn);
        Sub3(pn, pk, e);
        if (!OffLine(CGorvMathFunc::mathCrossAngleNormalize(e, first))) continue;
        const double* pick = pk;
        if (!SamePoint(pn, p0)) {
            double f[3];
            Sub3(pn, p0, f);
            if (OffLine(CGorvMathFunc::mathCrossAngleNormalize(f, first))) pick = pn;
        }
        for (int i = 0; i < 3; ++i) plane[2][i] = pick[i];
        return 1;
    }
    return 0;
}

int CGeomFunc::IsSamePlane(const CArray<T_GORV_POINT3D>& pts, const double& tol) {
    double plane[3][3];
    if (GetPlanePoint(pts, plane) == 0) return 0;
    const T_GORV_POINT3D* v = pts.GetData();
    for (INT_PTR i = 0; i < pts.GetSize(); ++i) {
        double q[3];
        ToArray(v[i], q);
        if (CGorvMathFunc::mathIncludePointInPlane(plane[0], plane[1], plane[2], q, tol) == 0) return 0;
    }
    return 1;
}

int CGeomFunc::calcLineLocalVector(const double a[3], const double b[3], double beta, double axes[3][3]) {
    double d[3];
    Sub3(b, a, d);
    const double L = Len3(d);
    if (!(L >= kMemberZero)) return 0;
    // The reference direction is held as the point a + L*dir (global +z, or +x for a vertical
    // member) and turned by beta about the member's own axis through a.
    const bool vertical = Len2(d[0], d[1]) / L < kVerticalRatio;
    double ref[3] = {a[0], a[1], a[2]};
    ref[vertical ? 0 : 2] += L;
    if (std::fabs(beta) > kMemberZero)
        CGorvMathFunc::mathRotate(beta, a[0], a[1], a[2], d[0], d[1], d[2], ref[0], ref[1], ref[2]);
    double R[3];
    Sub3(ref, a, R);
    double x[3], y[3], yr[3], z[3];
    if (!Unit3(d, x)) return 0;
    Cross3(R, x, yr);
    if (!Unit3(yr, y)) return 0;
    Cross3(x, y, z);
    for (int i = 0; i < 3; ++i) {
        axes[0][i] = x[i];
        axes[1][i] = y[i];
        axes[2][i] = z[i];
    }
    return 1;
}

int CGeomFunc::calcLineLocalVector(const T_GORV_POINT3D& a, const T_GORV_POINT3D& b, double beta,
                                   double axes[3][3]) {
    double pa[3], pb[3];
    ToArray(a, pa);
    ToArray(b, pb);
    return calcLineLocalVector(pa, pb, beta, axes);
}

double CGeomFunc::calcLineLocalAngle(const T_GORV_POINT3D& a, const T_GORV_POINT3D& b, const double axes[3][3]) {
    double def[3][3];
    if (calcLineLocalVector(a, b, 0.0, def) == 0) return 0.0;
    const double theta = std::acos(Clamp1(Dot3(def[2], axes[2]))) * CGorvMathFunc::Get_trang();
    if (theta <= 1e-4) return theta;
    double c[3], n[3];
    Cross3(def[2], axes[2], c);
    Unit3(c, n);  // zero for opposite axes: the angle to row 0 is then 90 and theta stays positive
    const double toRow0 = std::acos(Clamp1(Dot3(n, axes[0]))) * CGorvMathFunc::Get_trang();
    return toRow0 > 90.0 ? -theta : theta;
}

int CGeomFunc::IsVerticalLine(const double a[3], const double b[3]) {
    double d[3];
    Sub3(b, a, d);
    const double L = Len3(d);
    if (!(L >= kMemberZero)) return 0;
    return (Len2(d[0], d[1]) / L < kVerticalRatio) ? 1 : 0;
}

int CGeomFunc::GetOffsetPoints(const double a[3], const double b[3], double dist, double outA[3], double outB[3]) {
    if (!(std::fabs(dist) >= kGorvZero)) return 0;
    if (!(Len2(b[0] - a[0], b[1] - a[1]) >= kMemberZero)) return 0;
    double axes[3][3];
    if (calcLineLocalVector(a, b, 0.0, axes) == 0) return 0;
    outA[0] = a[0] + dist * axes[1][0];
    outA[1] = a[1] + dist * axes[1][1];
    outA[2] = a[2];
    outB[0] = b[0] + dist * axes[1][0];
    outB[1] = b[1] + dist * axes[1][1];
    outB[2] = b[2];
    return 1;
}
