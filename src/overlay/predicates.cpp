// Exact orientation by a filtered determinant with an expansion-arithmetic fallback, and the
// segment and ring predicates built on it. Every topological decision of the engine that compares
// positions exactly goes through Orient, so two calls on the same points never disagree.
#include "overlay/predicates.h"

#include <algorithm>

namespace detail {
namespace overlay {
namespace {

inline void TwoSum(double a, double b, double& x, double& y) {
    x = a + b;
    const double bv = x - a;
    const double av = x - bv;
    y = (a - av) + (b - bv);
}

inline void TwoProduct(double a, double b, double& x, double& y) {
    x = a * b;
    y = std::fma(a, b, -x);
}

// Adds b to the nonoverlapping expansion e[0..n-1] (increasing magnitude); returns the new length.
int GrowExpansion(double* e, int n, double b) {
    double q = b;
    int m = 0;
    for (int i = 0; i < n; ++i) {
        double sum, err;
        TwoSum(q, e[i], sum, err);
        q = sum;
        if (err != 0.0) e[m++] = err;
    }
    if (q != 0.0) e[m++] = q;
    return m;
}

}  // namespace

int OrientExact(const Pt& a, const Pt& b, const Pt& c) {
    // (b - a) x (c - a) = bx*cy - bx*ay - ax*cy - by*cx + by*ax + ay*cx, six exact products.
    const double f[6][2] = {{b.x, c.y}, {-b.x, a.y}, {-a.x, c.y}, {-b.y, c.x}, {b.y, a.x}, {a.y, c.x}};
    double e[16];
    int n = 0;
    for (const auto& t : f) {
        double hi, lo;
        TwoProduct(t[0], t[1], hi, lo);
        n = GrowExpansion(e, n, lo);
        n = GrowExpansion(e, n, hi);
    }
    if (n == 0) return 0;
    return e[n - 1] > 0.0 ? 1 : (e[n - 1] < 0.0 ? -1 : 0);
}

double SegDist2(const Pt& a, const Pt& b, const Pt& p) {
    const double dx = b.x - a.x, dy = b.y - a.y;
    const double px = p.x - a.x, py = p.y - a.y;
    const double len2 = dx * dx + dy * dy;
    const double dot = px * dx + py * dy;
    if (dot <= 0.0 || !(len2 > 0.0)) return px * px + py * py;
    if (dot >= len2) return Dist2(p, b);
    // Distance to the line from the cross product: its rounding scales with |p - a|, not with the
    // length of the edge (a foot point a + t (b - a) would carry the edge's length in its error).
    const double d = (px * dy - py * dx) / std::sqrt(len2);
    return d * d;
}

bool NearSegment(const Pt& a, const Pt& b, const Pt& p, double tol2) {
    if (SegDist2(a, b, p) <= tol2) return true;
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y) && Orient(a, b, p) == 0;
}

Pt CrossingPoint(const Pt& a, const Pt& b, const Pt& c, const Pt& d) {
    const bool alongCd = Dist2(c, d) < Dist2(a, b);
    const Pt& e0 = alongCd ? c : a;
    const Pt& e1 = alongCd ? d : b;
    const Pt& f0 = alongCd ? a : c;
    const Pt& f1 = alongCd ? b : d;
    const double d1 = (f1.x - f0.x) * (e0.y - f0.y) - (f1.y - f0.y) * (e0.x - f0.x);
    const double d2 = (f1.x - f0.x) * (e1.y - f0.y) - (f1.y - f0.y) * (e1.x - f0.x);
    double t = d1 / (d1 - d2);
    if (!(t >= 0.0)) t = 0.0;
    if (t > 1.0) t = 1.0;
    Pt p{e0.x + t * (e1.x - e0.x), e0.y + t * (e1.y - e0.y)};
    // Rounding never takes the point out of the boxes both segments share.
    p.x = std::min(std::max(p.x, std::max(std::min(a.x, b.x), std::min(c.x, d.x))),
                   std::min(std::max(a.x, b.x), std::max(c.x, d.x)));
    p.y = std::min(std::max(p.y, std::max(std::min(a.y, b.y), std::min(c.y, d.y))),
                   std::min(std::max(a.y, b.y), std::max(c.y, d.y)));
    return p;
}

namespace {
// c is collinear with ab: is it on the closed segment?
bool OnCollinear(const Pt& a, const Pt& b, const Pt& c) {
    return std::min(a.x, b.x) <= c.x && c.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= c.y &&
           c.y <= std::max(a.y, b.y);
}
}  // namespace

SegMeet MeetSegments(const Pt& a, const Pt& b, const Pt& c, const Pt& d) {
    if (std::max(a.x, b.x) < std::min(c.x, d.x) || std::max(c.x, d.x) < std::min(a.x, b.x) ||
        std::max(a.y, b.y) < std::min(c.y, d.y) || std::max(c.y, d.y) < std::min(a.y, b.y))
        return SegMeet::kNone;
    const int o1 = Orient(a, b, c), o2 = Orient(a, b, d);
    const int o3 = Orient(c, d, a), o4 = Orient(c, d, b);
    if (o1 == 0 && o2 == 0) {
        // Collinear (or a degenerate segment): count the common points along the line.
        const bool useX = std::max(a.x, b.x) - std::min(a.x, b.x) >= std::max(a.y, b.y) - std::min(a.y, b.y) &&
                          !(a.x == b.x && c.x == d.x);
        const double a0 = useX ? std::min(a.x, b.x) : std::min(a.y, b.y);
        const double a1 = useX ? std::max(a.x, b.x) : std::max(a.y, b.y);
        const double c0 = useX ? std::min(c.x, d.x) : std::min(c.y, d.y);
        const double c1 = useX ? std::max(c.x, d.x) : std::max(c.y, d.y);
        const double lo = std::max(a0, c0), hi = std::min(a1, c1);
        if (lo > hi) return SegMeet::kNone;
        if (lo == hi) return SegMeet::kTouch;
        return (a == b || c == d) ? SegMeet::kTouch : SegMeet::kOverlap;
    }
    if (o1 * o2 > 0 || o3 * o4 > 0) return SegMeet::kNone;
    if (o1 != 0 && o2 != 0 && o3 != 0 && o4 != 0) return SegMeet::kCross;
    // One end point lies on the other segment's line; the bounding test above and the signs
    // place it on the segment itself.
    if (o1 == 0 && OnCollinear(a, b, c)) return SegMeet::kTouch;
    if (o2 == 0 && OnCollinear(a, b, d)) return SegMeet::kTouch;
    if (o3 == 0 && OnCollinear(c, d, a)) return SegMeet::kTouch;
    if (o4 == 0 && OnCollinear(c, d, b)) return SegMeet::kTouch;
    return SegMeet::kNone;
}

int LocateInRing(const Pt* pts, int n, const Pt& p) {
    int wn = 0;
    for (int i = 0; i < n; ++i) {
        const Pt& a = pts[i];
        const Pt& b = pts[i + 1 == n ? 0 : i + 1];
        if (a.y <= p.y) {
            if (b.y > p.y) {
                const int o = Orient(a, b, p);
                if (o > 0) ++wn;
                else if (o == 0) return 0;
            } else if (b.y == p.y && a.y == p.y) {
                if (OnCollinear(a, b, p)) return 0;
            } else if (b.y == p.y || a.y == p.y) {
                if (Orient(a, b, p) == 0 && OnCollinear(a, b, p)) return 0;
            }
        } else if (b.y <= p.y) {
            const int o = Orient(a, b, p);
            if (o < 0) --wn;
            else if (o == 0) return 0;
        }
    }
    return wn != 0 ? 1 : -1;
}

}  // namespace overlay
}  // namespace detail
