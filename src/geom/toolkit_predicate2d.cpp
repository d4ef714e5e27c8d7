// 2D predicates of CGorvMathFunc on plain arrays: orientation, segment crossing, ray-crossing
// point-in-polygon, overlap of closed polylines, winding direction, line crossings and the parallel
// offset of a closed polygon. Orientation tolerance 1e-10; lengths below 1e-15 count as zero.
#include <cmath>
#include <memory>
#include <utility>
#include <vector>

#include <gorv/geom/gorv_math_func.h>

#include "toolkit_detail.h"

using namespace detail::toolkit;

namespace {

// Sign of the orientation of c relative to a -> b, 0 when its magnitude is below 1e-10.
int Ccw(const double a[2], const double b[2], const double c[2]) {
    const double v = (b[0] - a[0]) * (c[1] - a[1]) - (b[1] - a[1]) * (c[0] - a[0]);
    if (!(std::fabs(v) >= kOrientZero)) return 0;
    return v > 0.0 ? 1 : -1;
}

// True when the coordinate of q lies in the (inclusive) range of segment s0 s1: its y range when the
// segment is vertical (equal x), else its x range.
bool InSegmentRange(const double s0[2], const double s1[2], const double q[2]) {
    const int k = (s0[0] == s1[0]) ? 1 : 0;
    const double lo = std::fmin(s0[k], s1[k]), hi = std::fmax(s0[k], s1[k]);
    return q[k] >= lo && q[k] <= hi;
}

void BoxSize(int n, const double pts[][2], double& size) {
    double x0 = pts[0][0], x1 = pts[0][0], y0 = pts[0][1], y1 = pts[0][1];
    for (int i = 1; i < n; ++i) {
        x0 = std::fmin(x0, pts[i][0]);
        x1 = std::fmax(x1, pts[i][0]);
        y0 = std::fmin(y0, pts[i][1]);
        y1 = std::fmax(y1, pts[i][1]);
    }
    size = std::fmax(x1 - x0, y1 - y0);
}

}  // namespace

int CGorvMathFunc::math_ccw(double x1, double y1, double x2, double y2, double x3, double y3) {
    const double a[2] = {x1, y1}, b[2] = {x2, y2}, c[2] = {x3, y3};
    return Ccw(a, b, c);
}

int CGorvMathFunc::mathIntersect_ccw2D(const double p1[2], const double p2[2], const double p3[2],
                                       const double p4[2]) {
    // Each segment ordered by x (equal x keeps the given order).
    const double* a = p1;
    const double* b = p2;
    const double* c = p3;
    const double* d = p4;
    if (b[0] < a[0]) std::swap(a, b);
    if (d[0] < c[0]) std::swap(c, d);
    const int o1 = Ccw(a, b, c), o2 = Ccw(a, b, d), o3 = Ccw(c, d, a), o4 = Ccw(c, d, b);
    if (o1 * o2 < 0 && o3 * o4 < 0) return 1;
    if (o1 == 0 && o2 == 0) {
        bool overlap;
        if (a[0] == b[0]) {
            const double lo1 = std::fmin(a[1], b[1]), hi1 = std::fmax(a[1], b[1]);
            const double lo2 = std::fmin(c[1], d[1]), hi2 = std::fmax(c[1], d[1]);
            overlap = lo2 <= hi1 && lo1 <= hi2;
        } else {
            overlap = c[0] <= b[0] && a[0] <= d[0];
        }
        return overlap ? 0 : -1;
    }
    if (o1 == 0) return InSegmentRange(a, b, c) ? 0 : -1;
    if (o2 == 0) return InSegmentRange(a, b, d) ? 0 : -1;
    if (o3 != 0 && o4 != 0) return -1;
    if (o4 == 0 && InSegmentRange(c, d, b)) return 0;
    if (o3 == 0 && InSegmentRange(c, d, a)) return 0;
    return -1;
}

int CGorvMathFunc::mathIsInsidePoint2D(const double p[2], int n, const double pts[][2], int onBoundary) {
    if (n < 1 || pts == nullptr) return 0;
    double qx = p[0] + 1e11;
    for (int i = 0; i < n; ++i)
        if (pts[i][0] > qx) qx = pts[i][0] + 100.0;
    const double q[2] = {qx, p[1]};
    int crossings = 0;
    for (int i = 0; i < n; ++i) {
        const double* e0 = pts[i];
        const double* e1 = pts[(i + 1 < n) ? i + 1 : 0];
        const int r = mathIntersect_ccw2D(p, q, e0, e1);
        if (r >= 1) {
            ++crossings;
        } else if (r == 0) {
            if (mathIsPointOfLine2D(e0, e1, p, 1) != 0) return onBoundary;
            // A vertex level with the ray counts once: at the lower end of a non-horizontal edge.
            if (std::fabs(p[1] - std::fmin(e0[1], e1[1])) < m_NormalZero && e0[1] != e1[1]) ++crossings;
        }
    }
    return (crossings % 2 == 1) ? 1 : 0;
}

int CGorvMathFunc::IsOverLap_Polyline(int n1, const double pts1[][2], int n2, const double pts2[][2]) {
    if (n1 <= 0 || n2 <= 0 || pts1 == nullptr || pts2 == nullptr) return 0;
    for (int i = 0; i < n1; ++i) {
        const double* a0 = pts1[i];
        const double* a1 = pts1[(i + 1 < n1) ? i + 1 : 0];
        for (int j = 0; j < n2; ++j) {
            const double* b0 = pts2[j];
            const double* b1 = pts2[(j + 1 < n2) ? j + 1 : 0];
            if (mathIntersect_ccw2D(a0, a1, b0, b1) >= 0) return 1;
        }
    }
    double size1 = 0.0, size2 = 0.0;
    BoxSize(n1, pts1, size1);
    BoxSize(n2, pts2, size2);
    const bool firstInSecond = size1 <= size2 && !(n1 > 1 && n2 == 1);
    const int nIn = firstInSecond ? n1 : n2;
    const double(*in)[2] = firstInSecond ? pts1 : pts2;
    const int nPoly = firstInSecond ? n2 : n1;
    const double(*poly)[2] = firstInSecond ? pts2 : pts1;
    if (nPoly < 2) return 0;
    for (int i = 0; i < nIn; ++i)
        if (mathIsInsidePoint2D(in[i], nPoly, poly, 1) != 0) return 1;
    return 0;
}

int CGorvMathFunc::GetRotationType(int n, const double pts[][2]) {
    if (n < 2 || pts == nullptr) return 2;
    const double* p0 = pts[0];
    const double* p1 = pts[1];
    const double L = Len2(p1[0] - p0[0], p1[1] - p0[1]);
    double ux = 0.0, uy = 0.0;
    if (L >= m_NormalZero) {
        ux = (p1[0] - p0[0]) / L;
        uy = (p1[1] - p0[1]) / L;
    }
    const double test[2] = {(p0[0] + p1[0]) / 2.0 - L * 1e-6 * uy, (p0[1] + p1[1]) / 2.0 + L * 1e-6 * ux};
    return mathIsInsidePoint2D(test, n, pts, 1) != 0 ? 1 : 2;
}

int CGorvMathFunc::mathLineLineCross2D(const double l1[2][2], const double l2[2][2], double out[2]) {
    double ux = 0.0, uy = 0.0, wx = 0.0, wy = 0.0;
    const double L1 = Len2(l1[0][0] - l1[1][0], l1[0][1] - l1[1][1]);
    const double L2 = Len2(l2[0][0] - l2[1][0], l2[0][1] - l2[1][1]);
    if (L1 >= m_NormalZero) {
        ux = (l1[0][0] - l1[1][0]) / L1;
        uy = (l1[0][1] - l1[1][1]) / L1;
    }
    if (L2 >= m_NormalZero) {
        wx = (l2[0][0] - l2[1][0]) / L2;
        wy = (l2[0][1] - l2[1][1]) / L2;
    }
    const double k = ux * wy - wx * uy;
    if (!(std::fabs(k) >= 1e-10)) {
        out[0] = out[1] = 0.0;
        return 0;
    }
    const double s = ((l1[0][1] - l2[0][1]) * wx - (l1[0][0] - l2[0][0]) * wy) / k;
    out[0] = l1[0][0] + s * ux;
    out[1] = l1[0][1] + s * uy;
    return 1;
}

int CGorvMathFunc::mathLineSegCross2D(const double line[2][2], const double a[2], const double b[2],
                                      double out[2]) {
    const double seg[2][2] = {{a[0], a[1]}, {b[0], b[1]}};
    if (mathLineLineCross2D(line, seg, out) != 1) return 0;
    return mathIsPointOfLine2D(a, b, out, 1) != 0 ? 1 : 0;
}

int CGorvMathFunc::mathOffsetOfPolyline(double dist, int n, double pts[][2], int rot) {
    if (n < 3 || pts == nullptr) return 0;
    const size_t cnt = static_cast<size_t>(n);
    std::unique_ptr<double[][2]> src(new double[cnt][2]);
    std::unique_ptr<double[][2]> dst(new double[cnt][2]);
    for (int i = 0; i < n; ++i) {
        src[i][0] = dst[i][0] = pts[i][0];
        src[i][1] = dst[i][1] = pts[i][1];
    }
    if (rot < 1) rot = GetRotationType(n, src.get());

    // Offset line of the edge from vertex i to vertex j; false when the edge is shorter than 1e-15.
    struct OffsetLine {
        double s[2], e[2];
        double len;
    };
    auto offsetEdge = [&](int i, int j, OffsetLine& ol) {
        double ux = 0.0, uy = 0.0;
        if (mathNormalize(src[j][0] - src[i][0], src[j][1] - src[i][1], ux, uy) == 0) return false;
        const double ox = (rot == 1) ? dist * uy : -dist * uy;
        const double oy = (rot == 1) ? -dist * ux : dist * ux;
        ol.s[0] = src[i][0] + ox;
        ol.s[1] = src[i][1] + oy;
        ol.e[0] = src[j][0] + ox;
        ol.e[1] = src[j][1] + oy;
        ol.len = Len2(ol.e[0] - ol.s[0], ol.e[1] - ol.s[1]);
        return true;
    };

    // The closing edge runs from the last vertex apart from the first (a repeated closing point is
    // skipped) to the first vertex.
    int last = -1;
    for (int i = n - 1; i >= 1; --i) {
        if (Len2(src[i][0] - src[0][0], src[i][1] - src[0][1]) >= m_NormalZero) {
            last = i;
            break;
        }
    }
    OffsetLine prev;
    if (last < 0 || !offsetEdge(last, 0, prev)) return 0;

    std::vector<int> pending;
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1 < n) ? i + 1 : 0;
        OffsetLine cur;
        if (!offsetEdge(i, j, cur)) {
            pending.push_back(i);
            continue;
        }
        double v[2];
        const double gap = Len2(cur.s[0] - prev.e[0], cur.s[1] - prev.e[1]);
        if (gap > (cur.len + prev.len) * (m_NormalZero * 1000.0)) {
            const double l1[2][2] = {{prev.s[0], prev.s[1]}, {prev.e[0], prev.e[1]}};
            const double l2[2][2] = {{cur.s[0], cur.s[1]}, {cur.e[0], cur.e[1]}};
            if (mathLineLineCross2D(l1, l2, v) != 1) return 0;  // pts untouched
        } else {
            v[0] = cur.s[0];
            v[1] = cur.s[1];
        }
        dst[i][0] = v[0];
        dst[i][1] = v[1];
        for (int k : pending) {
            dst[k][0] = v[0];
            dst[k][1] = v[1];
        }
        pending.clear();
        prev = cur;
    }
    if (!pending.empty() && pending.back() == n - 1) {
        for (int k : pending) {
            dst[k][0] = dst[0][0];
            dst[k][1] = dst[0][1];
        }
    }
    for (int i = 0; i < n; ++i) {
        pts[i][0] = dst[i][0];
        pts[i][1] = dst[i][1];
    }
    return 1;
}
