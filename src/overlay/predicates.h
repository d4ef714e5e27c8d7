// Geometric predicates of the overlay engine: the orientation of three points decided exactly
// (a floating-point filter with an exact expansion fallback), segment relations built on it, and
// the plain floating-point distances the snapping uses.
#pragma once

#include <cmath>

namespace detail {
namespace overlay {

struct Pt {
    double x;
    double y;
};

inline bool operator==(const Pt& a, const Pt& b) { return a.x == b.x && a.y == b.y; }
inline bool operator!=(const Pt& a, const Pt& b) { return !(a == b); }
// Lexicographic order: x first, then y.
inline bool LexLess(const Pt& a, const Pt& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); }

// Sign of the exact value (b - a) x (c - a): +1 when c lies left of the directed line a -> b
// (counter-clockwise turn), -1 right, 0 collinear. Exact for all finite doubles whose products
// neither overflow nor underflow (coordinates up to 1e100 in magnitude).

// The exact evaluation behind Orient (no filter).
int OrientExact(const Pt& a, const Pt& b, const Pt& c);

inline int Orient(const Pt& a, const Pt& b, const Pt& c) {
    const double detLeft = (b.x - a.x) * (c.y - a.y);
    const double detRight = (b.y - a.y) * (c.x - a.x);
    const double det = detLeft - detRight;
    // Error bound of the floating determinant (the roundings of the differences, products and
    // the final difference), as in the classic adaptive predicates.
    const double bound = 3.3306690738754716e-16 * 1.0000000000000004 * (std::fabs(detLeft) + std::fabs(detRight));
    if (det > bound) return 1;
    if (-det > bound) return -1;
    return OrientExact(a, b, c);
}

// Squared distance from p to the closed segment ab (floating point).
double SegDist2(const Pt& a, const Pt& b, const Pt& p);

inline double Dist2(const Pt& a, const Pt& b) {
    const double dx = a.x - b.x, dy = a.y - b.y;
    return dx * dx + dy * dy;
}

// True when p lies within sqrt(tol2) of the closed segment ab (floating point), or exactly on it.
// The exact test keeps a point on a very long edge from escaping through rounding.
bool NearSegment(const Pt& a, const Pt& b, const Pt& p, double tol2);

// The crossing point of ab and cd, which cross properly: computed along the shorter of the two
// (its error then scales with the shorter length), clamped to it and to the box both share.
Pt CrossingPoint(const Pt& a, const Pt& b, const Pt& c, const Pt& d);

// How two closed segments meet, decided exactly.
enum class SegMeet {
    kNone,     // no common point
    kTouch,    // exactly one common point
    kCross,    // one common point interior to both (a proper crossing)
    kOverlap   // collinear with a common piece of positive length
};
// Relation of the closed segments ab and cd.
SegMeet MeetSegments(const Pt& a, const Pt& b, const Pt& c, const Pt& d);

// Where p lies relative to the closed ring pts[0..n-1] (closing edge implied): +1 inside, -1
// outside, 0 on the boundary. Exact.
int LocateInRing(const Pt* pts, int n, const Pt& p);

}  // namespace overlay
}  // namespace detail
