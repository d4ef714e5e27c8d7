// Arcs in 3D (CArcUtil, the edge record T_GORV_LINE_G), circles and arcs through three points and
// bulge conversions in 2D (CGorvMathFunc), and the point-in-arc-segment test of CGeomFunc.
// Angles are in degrees; arc discretisation counts are multiples of 8.
#include <cmath>

#include <gorv/geom/arc_util.h>
#include <gorv/geom/comp_func.h>
#include <gorv/geom/geom_func.h>
#include <gorv/geom/gorv_math_func.h>

#include "toolkit_detail.h"

using namespace detail::toolkit;

namespace {

// Upper bound of the steps of one arc: a tiny unit angle must not exhaust memory or hang.
constexpr int kMaxArcSteps = 1 << 16;

// ceil(q) rounded up to a multiple of 8 for positive values; false for NaN. Saturates at
// kMaxArcSteps in magnitude.
bool StepsFromRatio(double q, int& count) {
    if (std::isnan(q)) return false;
    const double c = std::ceil(q);
    const int k = c >= kMaxArcSteps ? kMaxArcSteps : (c <= -kMaxArcSteps ? -kMaxArcSteps : static_cast<int>(c));
    count = 8 * (k / 8) + ((k % 8 > 0) ? 8 : 0);
    return true;
}

void SnapSmall(double& x, double& y, double& z) {
    if (std::fabs(x) < kOrientZero) x = 0.0;
    if (std::fabs(y) < kOrientZero) y = 0.0;
    if (std::fabs(z) < kOrientZero) z = 0.0;
}

double Orient2(const T_GORV_POINT3D& a, const T_GORV_POINT3D& b, const T_GORV_POINT3D& p) {
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

int SignTol(double v) {
    if (!(std::fabs(v) >= kOrientZero)) return 0;
    return v > 0.0 ? 1 : -1;
}

void Unit2(double x, double y, double out[2]) {
    const double len = Len2(x, y);
    if (!(len >= kNormalZero)) {
        out[0] = out[1] = 0.0;
        return;
    }
    out[0] = x / len;
    out[1] = y / len;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// T_GORV_LINE_G

T_GORV_LINE_G::T_GORV_LINE_G()
    : ptStart{0.0, 0.0, 0.0},
      ptEnd{0.0, 0.0, 0.0},
      nArc(0),
      dRadius(0.0),
      dPlaneAngle(0.0),
      ptCenter{0.0, 0.0, 0.0},
      dNormal{0.0, 0.0, 1.0} {}

T_GORV_LINE_G::T_GORV_LINE_G(const T_GORV_POINT3D& s, const T_GORV_POINT3D& e, const T_GORV_POINT3D& c,
                             const T_GORV_POINT3D& n) {
    const double nn[3] = {n.x, n.y, n.z};
    *this = T_GORV_LINE_G(s, e, c, nn);
}

T_GORV_LINE_G::T_GORV_LINE_G(const T_GORV_POINT3D& s, const T_GORV_POINT3D& e, const T_GORV_POINT3D& c,
                             const double n[3])
    : T_GORV_LINE_G() {
    ptStart = s;
    ptEnd = e;
    if (std::fabs(s.x - e.x) <= 1e-4 && std::fabs(s.y - e.y) <= 1e-4 && std::fabs(s.z - e.z) <= 1e-4) return;
    nArc = 1;
    ptCenter = c;
    double sc[3] = {s.x - c.x, s.y - c.y, s.z - c.z};
    dRadius = Len3(sc);
    const double len = Len3(n);
    for (int i = 0; i < 3; ++i) dNormal[i] = (len >= kNormalZero) ? n[i] / len : n[i];
    // The plane angle is the local angle (about the chord as a member) of the axes whose x runs
    // along the chord and whose z is the arc normal; nothing reads it back, it is informative only.
    double axes[3][3];
    const double chord[3] = {e.x - s.x, e.y - s.y, e.z - s.z};
    if (Unit3(chord, axes[0]) && Unit3(dNormal, axes[2])) {
        double y[3];
        Cross3(axes[2], axes[0], y);
        Unit3(y, axes[1]);
        dPlaneAngle = CGeomFunc::calcLineLocalAngle(s, e, axes);
    }
}

double T_GORV_LINE_G::GetSweepAngle() const {
    // A straight edge turns through no angle.
    if (nArc == 0) return 0.0;
    return CArcUtil::CalcAngleBetween(ptStart, ptEnd, ptCenter, dNormal);
}

int T_GORV_LINE_G::GetMidPoint(T_GORV_POINT3D& out) const {
    if (nArc == 0) {
        out.x = (ptStart.x + ptEnd.x) / 2.0;
        out.y = (ptStart.y + ptEnd.y) / 2.0;
        out.z = (ptStart.z + ptEnd.z) / 2.0;
        return 1;
    }
    const double h = GetSweepAngle() / 2.0;
    double x = ptStart.x, y = ptStart.y, z = ptStart.z;
    if (h != 0.0) {
        CGorvMathFunc::mathRotate(h, ptCenter.x, ptCenter.y, ptCenter.z, dNormal[0], dNormal[1], dNormal[2], x, y, z);
        SnapSmall(x, y, z);
    }
    const double d[3] = {x - ptCenter.x, y - ptCenter.y, z - ptCenter.z};
    const double len = Len3(d);
    if (!(len >= kNormalZero)) return 0;
    out.x = ptCenter.x + dRadius * d[0] / len;
    out.y = ptCenter.y + dRadius * d[1] / len;
    out.z = ptCenter.z + dRadius * d[2] / len;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// CArcUtil

double CArcUtil::NormSquare(const double v[3]) { return v[0] * v[0] + v[1] * v[1] + v[2] * v[2]; }

double CArcUtil::VectorDot(const double a[3], const double b[3]) { return Dot3(a, b); }

double CArcUtil::CalcAngleBetween(const double p1[3], const double p2[3], const double c[3], const double n[3]) {
    double a[3], b[3];
    Sub3(p1, c, a);
    Sub3(p2, c, b);
    const double la = Len3(a), lb = Len3(b);
    if (!(la >= kOrientZero) || !(lb >= kOrientZero)) return 0.0;
    const double ua[3] = {a[0] / la, a[1] / la, a[2] / la};
    const double ub[3] = {b[0] / lb, b[1] / lb, b[2] / lb};
    const double theta = std::acos(Clamp1(Dot3(ua, ub))) * CGorvMathFunc::Get_trang();
    // A zero angle stays 0 whatever the rounding of the cross product: the sweep lies in [0, 360).
    if (theta == 0.0) return 0.0;
    double ab[3];
    Cross3(a, b, ab);
    const double s = Clamp1(Dot3(ab, n));
    return s < 0.0 ? 360.0 - theta : theta;
}

double CArcUtil::CalcAngleBetween(T_GORV_POINT3D p1, T_GORV_POINT3D p2, T_GORV_POINT3D c, const double n[3]) {
    double a[3], b[3], cc[3];
    ToArray(p1, a);
    ToArray(p2, b);
    ToArray(c, cc);
    return CalcAngleBetween(a, b, cc, n);
}

void CArcUtil::CalcArcUnitAngle(double total, double unit, double& outUnit, int& outCount) {
    if (!(unit > 0.0)) return;
    int count = 0;
    if (!StepsFromRatio(total / unit, count)) return;
    outCount = count;
    // A zero count (zero total) has no step length; report 0 instead of 0/0.
    outUnit = count != 0 ? total / count : 0.0;
}

int CArcUtil::MakeCurvPoints(T_GORV_POINT3D s, T_GORV_POINT3D e, T_GORV_POINT3D c, const double n[3],
                             CArray<T_GORV_POINT3D>& pts, int withEnds, double unitAngle, CArray<double>* lengths) {
    pts.RemoveAll();
    pts.FreeExtra();
    if (lengths != nullptr) {
        lengths->RemoveAll();
        lengths->FreeExtra();
    }
    const double sweep = CalcAngleBetween(s, e, c, n);
    int count = 8;
    if (unitAngle > 0.0 && !StepsFromRatio(sweep / unitAngle, count)) count = 8;
    const double step = count > 0 ? sweep / count : 0.0;
    const double sc[3] = {s.x - c.x, s.y - c.y, s.z - c.z};
    const double r = Len3(sc);
    const double trrad = CGorvMathFunc::Get_trrad();

    if (withEnds != 0) {
        pts.Add(s);
        if (lengths != nullptr) lengths->Add(0.0);
    }
    double x = s.x, y = s.y, z = s.z, len = 0.0;
    for (int i = 1; i < count; ++i) {
        if (step != 0.0) {
            CGorvMathFunc::mathRotate(step, c.x, c.y, c.z, n[0], n[1], n[2], x, y, z);
            SnapSmall(x, y, z);
        }
        pts.Add(T_GORV_POINT3D{x, y, z});
        len += r * step * trrad;
        if (lengths != nullptr) lengths->Add(len);
    }
    if (withEnds != 0) {
        pts.Add(e);
        if (lengths != nullptr) lengths->Add(r * sweep * trrad);
    }
    return 1;
}

int CArcUtil::MakeCurvPoints_inner(T_GORV_POINT3D s, T_GORV_POINT3D e, double from, double to, T_GORV_POINT3D c,
                                   const double n[3], CArray<T_GORV_POINT3D>& pts, int withEnds, double unitAngle) {
    const double tol = 1e-4;
    CArray<T_GORV_POINT3D> P;
    CArray<double> L;
    if (MakeCurvPoints(s, e, c, n, P, withEnds, unitAngle, &L) == 0) return 0;
    if (P.GetSize() != L.GetSize()) return 0;
    const INT_PTR cnt = P.GetSize();
    const T_GORV_POINT3D* pp = P.GetData();
    const double* ll = L.GetData();

    const bool started = cnt > 0 && CCompFunc::CompRealTol(from, ll[0], tol) < 0;
    bool placed = false, ended = false;
    for (INT_PTR i = 0; i < cnt; ++i) {
        if (CCompFunc::CompRealTol(from, ll[i], tol) > 0) continue;
        if (CCompFunc::CompRealTol(from, ll[i], tol) == 0) placed = true;
        if (started) {
            placed = true;
        } else if (!placed && i >= 1 && ll[i] > from) {
            T_GORV_POINT3D q = pp[i];
            const double span = ll[i] - ll[i - 1];
            if (span != 0.0) GetMiddlePosByRatio((from - ll[i - 1]) / span, pp[i - 1], pp[i], q);
            pts.Add(q);
            placed = true;
        }
        if (CCompFunc::CompRealTol(to, ll[i], tol) == 0) {
            ended = true;
        } else if (!ended && i >= 1 && ll[i] > to) {
            T_GORV_POINT3D q = pp[i];
            const double span = ll[i] - ll[i - 1];
            if (span != 0.0) GetMiddlePosByRatio((to - ll[i - 1]) / span, pp[i - 1], pp[i], q);
            pts.Add(q);
            break;
        }
        pts.Add(pp[i]);
        if (ended) break;
    }
    return 1;
}

int CArcUtil::GetMiddlePosByRatio(double r, T_GORV_POINT3D a, T_GORV_POINT3D b, T_GORV_POINT3D& out) {
    const double d[3] = {b.x - a.x, b.y - a.y, b.z - a.z};
    double u[3];
    if (!Unit3(d, u)) return 0;
    const double len = r * Len3(d);
    out.x = a.x + len * u[0];
    out.y = a.y + len * u[1];
    out.z = a.z + len * u[2];
    return 1;
}

int CArcUtil::CalcCurvInfoFrom3P(const double p1[3], const double p2[3], const double p3[3], double centre[3],
                                 double axes[3][3]) {
    double a[3], b[3], c[3], m[3];
    Sub3(p1, p2, a);
    Sub3(p1, p3, b);
    Sub3(p2, p3, c);
    Cross3(a, c, m);
    const double lm = Len3(m);
    if (!(2.0 * lm >= kOrientZero)) return 0;
    const double la = Len3(a), lb = Len3(b), lc = Len3(c);
    if (!(lc * la * lb / (2.0 * lm) >= kOrientZero)) return 0;
    const double den = 2.0 * lm * lm;
    const double alpha = lc * lc * Dot3(a, b) / den;
    const double beta = lb * lb * (-Dot3(a, c)) / den;
    const double gamma = la * la * Dot3(c, b) / den;
    for (int i = 0; i < 3; ++i) centre[i] = alpha * p1[i] + beta * p2[i] + gamma * p3[i];

    // Rows are normalised where possible; a vector shorter than 1e-15 is kept as it is.
    auto unitOrKeep = [](const double v[3], double out[3]) {
        if (!Unit3(v, out))
            for (int i = 0; i < 3; ++i) out[i] = v[i];
    };
    double x[3], y[3];
    Sub3(p3, p1, x);
    unitOrKeep(x, axes[0]);
    unitOrKeep(m, axes[2]);
    Cross3(axes[2], axes[0], y);
    unitOrKeep(y, axes[1]);
    return 1;
}

int CArcUtil::CalcCurvInfoFrom3P(const double p1[3], const double p2[3], const double p3[3], double centre[3],
                                 double normal[3]) {
    double axes[3][3];
    if (CalcCurvInfoFrom3P(p1, p2, p3, centre, axes) == 0) return 0;
    for (int i = 0; i < 3; ++i) normal[i] = axes[2][i];
    return 1;
}

int CArcUtil::CalcCurvInfoFrom3P(const double p1[3], const double p2[3], const double p3[3], double& height,
                                 double& angle) {
    double centre[3], axes[3][3];
    if (CalcCurvInfoFrom3P(p1, p2, p3, centre, axes) == 0) return 0;
    const T_GORV_LINE_G edge(ToPoint(p1), ToPoint(p3), ToPoint(centre), axes[2]);
    T_GORV_POINT3D mid;
    if (edge.GetMidPoint(mid) == 0) return 0;
    const T_GORV_POINT3D chordMid{(p1[0] + p3[0]) / 2.0, (p1[1] + p3[1]) / 2.0, (p1[2] + p3[2]) / 2.0};
    const double d[3] = {mid.x - chordMid.x, mid.y - chordMid.y, mid.z - chordMid.z};
    height = Len3(d);
    // From the chord towards the arc: the angle then tells on which side of the chord the arc bulges.
    double a = CGeomFunc::calcLineLocalAngle(chordMid, mid, axes);
    if (std::fabs(a - 180.0) <= 1e-4) a = 180.0;
    if (std::fabs(a) <= 1e-4) a = 0.0;
    angle = a;
    return 1;
}

// ---------------------------------------------------------------------------------------------
// CGorvMathFunc: circles, arcs and bulges in 2D

double CGorvMathFunc::mathVecDot(const double a[3], const double b[3]) { return Dot3(a, b); }

int CGorvMathFunc::mathCircleForm3Point(const double p1[2], const double p2[2], const double p3[2],
                                        double centre[2], double& r) {
    const double t = m_NormalZero * 100000.0;
    r = 0.0;
    centre[0] = centre[1] = 0.0;
    const double d12 = Len2(p1[0] - p2[0], p1[1] - p2[1]);
    const double d13 = Len2(p1[0] - p3[0], p1[1] - p3[1]);
    const double d23 = Len2(p2[0] - p3[0], p2[1] - p3[1]);
    if (!(d12 >= t)) return (d13 < t) ? -1 : 0;
    if (!(d13 >= t) || !(d23 >= t)) return 0;
    double u[2], w[2];
    Unit2(p1[0] - p2[0], p1[1] - p2[1], u);
    Unit2(p3[0] - p2[0], p3[1] - p2[1], w);
    if (!(std::fabs(u[0] * w[1] - w[0] * u[1]) >= t)) return 0;
    const double m12[2] = {(p1[0] + p2[0]) / 2.0, (p1[1] + p2[1]) / 2.0};
    const double m23[2] = {(p2[0] + p3[0]) / 2.0, (p2[1] + p3[1]) / 2.0};
    const double l1[2][2] = {{m12[0], m12[1]}, {m12[0] + u[1], m12[1] - u[0]}};
    const double l2[2][2] = {{m23[0], m23[1]}, {m23[0] + w[1], m23[1] - w[0]}};
    double c[2];
    if (mathLineLineCross2D(l1, l2, c) != 1) return 0;
    centre[0] = c[0];
    centre[1] = c[1];
    r = Len2(p1[0] - c[0], p1[1] - c[1]);
    return 1;
}

int CGorvMathFunc::mathArcForm3Point(const double p1[2], const double p2[2], const double p3[2], double centre[2],
                                     double& r, double& start, double& sweep) {
    start = sweep = 0.0;
    const int res = mathCircleForm3Point(p1, p2, p3, centre, r);
    if (res != 1) return res;
    double a[2], b[2], c[2];
    Unit2(p1[0] - centre[0], p1[1] - centre[1], a);
    Unit2(p2[0] - centre[0], p2[1] - centre[1], b);
    Unit2(p3[0] - centre[0], p3[1] - centre[1], c);
    start = std::acos(Clamp1(a[0])) * m_trang;
    if (a[1] <= 0.0) start = -start;
    auto signedAngle = [](const double u[2], const double v[2]) {
        const double ang = std::acos(Clamp1(u[0] * v[0] + u[1] * v[1])) * m_trang;
        return (u[0] * v[1] - u[1] * v[0]) > 0.0 ? ang : -ang;
    };
    const double tb = signedAngle(a, b);
    const double tc = signedAngle(a, c);
    if (tb * tc >= 0.0 && std::fabs(tc) >= std::fabs(tb))
        sweep = tc;
    else
        sweep = (tc >= 0.0) ? tc - 360.0 : tc + 360.0;
    return 1;
}

int CGorvMathFunc::mathArcForm3Point(const double p1[2], const double p2[2], const double p3[2], double centre[2],
                                     double& r, double& start, double& sweep, double& rise) {
    rise = 0.0;
    const int res = mathArcForm3Point(p1, p2, p3, centre, r, start, sweep);
    if (res != 1) return res;
    rise = (1.0 - std::cos(std::fabs(sweep) * m_trrad)) * r;
    if (sweep < 0.0) rise = -rise;
    return 1;
}

int CGorvMathFunc::GetCenter_Bulge(const double seg[2][2], double bulge, double centre[2]) {
    centre[0] = (seg[0][0] + seg[1][0]) / 2.0;
    centre[1] = (seg[0][1] + seg[1][1]) / 2.0;
    if (bulge == 0.0) return 0;
    const double L = Len2(seg[0][0] - seg[1][0], seg[0][1] - seg[1][1]);
    const double h = ((L / 2.0) * (L / 2.0) - bulge * bulge) / (2.0 * bulge);
    double u[2];
    Unit2(seg[0][0] - seg[1][0], seg[0][1] - seg[1][1], u);
    centre[0] += h * u[1];
    centre[1] -= h * u[0];
    return 1;
}

double CGorvMathFunc::GetBulge(const double seg[2][2], double r, int bMinor) {
    const double R = std::fabs(r);
    const double c = Len2(seg[0][0] - seg[1][0], seg[0][1] - seg[1][1]) / 2.0;
    if (c > R + m_NormalZero) return 0.0;
    if (std::fabs(c - R) < m_NormalZero) return r;
    double s = R - std::sqrt(std::fmax(0.0, R * R - c * c));
    if (r < 0.0) s = -s;
    return bMinor != 0 ? s : 2.0 * r - s;
}

// ---------------------------------------------------------------------------------------------
// CGeomFunc

int CGeomFunc::IsPointInArc(const T_GORV_POINT3D& p, const T_GORV_LINE_G& edge, int bInclusive) {
    if (edge.nArc == 0) return 0;
    const double r = Len2(edge.ptStart.x - edge.ptCenter.x, edge.ptStart.y - edge.ptCenter.y);
    const double d = Len2(p.x - edge.ptCenter.x, p.y - edge.ptCenter.y);
    if (bInclusive != 0 ? !(d <= r) : !(d < r)) return 0;
    T_GORV_POINT3D mid;
    if (edge.GetMidPoint(mid) == 0) return 0;
    const int s1 = SignTol(Orient2(edge.ptStart, edge.ptEnd, mid));
    const int s2 = SignTol(Orient2(edge.ptStart, edge.ptEnd, p));
    if (s1 == s2) return 1;
    if (bInclusive != 0 && s2 == 0) return 1;
    return 0;
}

int CGeomFunc::IsPointInArc(const double p[3], const T_GORV_LINE_G& edge, int bInclusive) {
    return IsPointInArc(ToPoint(p), edge, bInclusive);
}
