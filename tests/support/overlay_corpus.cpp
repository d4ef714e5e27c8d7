// Generator of the overlay corpus. Only exactly rounded IEEE operations (+ - * / sqrt floor round)
// touch the coordinates, and random numbers come from std::mt19937_64 through our own mappings, so
// every platform builds the same bits (the library's -ffp-contract=off keeps products rounded).
#include "support/overlay_corpus.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <random>

namespace gorv_corpus {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct P {
    double x;
    double y;
};
typedef std::vector<P> Ring;
struct Poly {
    Ring outer;
    std::vector<Ring> holes;
};

std::uint64_t SplitMix(std::uint64_t x) {
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

// Random numbers with mappings of our own: std::uniform_*_distribution differ between libraries.
class Rng {
public:
    explicit Rng(std::uint64_t seed) : m_gen(seed) {}
    // [0, 1), a multiple of 2^-53.
    double Unit() { return static_cast<double>(m_gen() >> 11) * (1.0 / 9007199254740992.0); }
    double Uniform(double lo, double hi) { return lo + (hi - lo) * Unit(); }
    // lo..hi inclusive (the modulo bias is below 2^-50 for our spans and the same everywhere).
    int Int(int lo, int hi) { return lo + static_cast<int>(m_gen() % static_cast<std::uint64_t>(hi - lo + 1)); }
    bool Chance(double p) { return Unit() < p; }
    double Sign() { return Chance(0.5) ? 1.0 : -1.0; }
    // Sign first, then magnitude: one call, so the order of the draws is fixed.
    double SignedUniform(double lo, double hi) {
        const double s = Sign();
        return s * Uniform(lo, hi);
    }
    // Index into a container of n elements.
    size_t Pick(size_t n) { return static_cast<size_t>(Int(0, static_cast<int>(n) - 1)); }
    // A distance in tolerances from 0.5 to 20, spread evenly over the octaves 0.5-1, 1-2, ..., 16-20.
    double NearDistance() {
        const int k = Int(0, 5);
        const double lo = 0.5 * static_cast<double>(1 << k);
        const double hi = std::min(2.0 * lo, 20.0);
        return Uniform(lo, hi);
    }
    // Vertex count of a regular polygon: half 3..32, then 33..128, then 129..256.
    int NgonSize() {
        const double u = Unit();
        if (u < 0.5) return Int(3, 32);
        if (u < 0.8) return Int(33, 128);
        return Int(129, 256);
    }

private:
    std::mt19937_64 m_gen;
};

// cos and sin of t full turns: quadrant reduction (exact) and Taylor polynomials on [-pi/4, pi/4]
// (error below 1e-16), so the result does not depend on the platform's libm.
void CosSinTurns(double t, double& c, double& s) {
    t -= std::floor(t);
    const double u = t * 4.0;
    const double k = std::floor(u + 0.5);
    const double r = (u - k) * (kPi / 2.0);
    const double r2 = r * r;
    const double sn =
        r * (1.0 + r2 * (-1.0 / 6.0 + r2 * (1.0 / 120.0 + r2 * (-1.0 / 5040.0 + r2 * (1.0 / 362880.0 +
             r2 * (-1.0 / 39916800.0 + r2 * (1.0 / 6227020800.0 + r2 * (-1.0 / 1307674368000.0))))))));
    const double cs =
        1.0 + r2 * (-0.5 + r2 * (1.0 / 24.0 + r2 * (-1.0 / 720.0 + r2 * (1.0 / 40320.0 + r2 * (-1.0 / 3628800.0 +
              r2 * (1.0 / 479001600.0 + r2 * (-1.0 / 87178291200.0)))))));
    const int q = static_cast<int>(k) & 3;
    c = (q == 0 ? cs : q == 1 ? -sn : q == 2 ? -cs : sn) + 0.0;  // + 0.0: no negative zero
    s = (q == 0 ? sn : q == 1 ? cs : q == 2 ? -sn : -cs) + 0.0;
}

P Dir(double turns) {
    P d;
    CosSinTurns(turns, d.x, d.y);
    return d;
}

P Add(P a, P b) { return {a.x + b.x, a.y + b.y}; }
P Sub(P a, P b) { return {a.x - b.x, a.y - b.y}; }
P Mul(P a, double k) { return {a.x * k, a.y * k}; }
double Dot(P a, P b) { return a.x * b.x + a.y * b.y; }
double CrossV(P a, P b) { return a.x * b.y - a.y * b.x; }
double Cross(P o, P a, P b) { return CrossV(Sub(a, o), Sub(b, o)); }
double Len(P a) { return std::sqrt(Dot(a, a)); }
P Unit(P a) { return Mul(a, 1.0 / Len(a)); }
P Rot(P a, P d) { return {a.x * d.x - a.y * d.y, a.x * d.y + a.y * d.x}; }  // d = (cos, sin)

double SegDist(P p, P a, P b) {
    const P ab = Sub(b, a);
    const double l2 = Dot(ab, ab);
    double t = l2 > 0.0 ? Dot(Sub(p, a), ab) / l2 : 0.0;
    t = std::max(0.0, std::min(1.0, t));
    return Len(Sub(p, Add(a, Mul(ab, t))));
}

// Distance from p to the nearest edge of the ring.
double RingDist(P p, const Ring& r) {
    double d = 1e300;
    for (size_t i = 0; i < r.size(); ++i) d = std::min(d, SegDist(p, r[i], r[(i + 1) % r.size()]));
    return d;
}

bool OnSegment(P p, P a, P b) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

// Closed segments ab and cd share a point.
bool SegmentsMeet(P a, P b, P c, P d) {
    const double d1 = Cross(a, b, c), d2 = Cross(a, b, d), d3 = Cross(c, d, a), d4 = Cross(c, d, b);
    if (((d1 > 0 && d2 < 0) || (d1 < 0 && d2 > 0)) && ((d3 > 0 && d4 < 0) || (d3 < 0 && d4 > 0))) return true;
    if (d1 == 0 && OnSegment(c, a, b)) return true;
    if (d2 == 0 && OnSegment(d, a, b)) return true;
    if (d3 == 0 && OnSegment(a, c, d)) return true;
    if (d4 == 0 && OnSegment(b, c, d)) return true;
    return false;
}

// A simple ring: at least three vertices, no repeated vertex, no edge meeting another except
// neighbours at their shared vertex, no fold back onto the previous edge.
bool IsSimple(const Ring& r) {
    const size_t n = r.size();
    if (n < 3) return false;
    for (size_t i = 0; i < n; ++i) {
        const P a = r[i], b = r[(i + 1) % n], c = r[(i + 2) % n];
        if (a.x == b.x && a.y == b.y) return false;
        if (Cross(a, b, c) == 0.0 && Dot(Sub(b, a), Sub(c, b)) <= 0.0) return false;
    }
    for (size_t i = 0; i < n; ++i) {
        for (size_t j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1) continue;
            if (SegmentsMeet(r[i], r[(i + 1) % n], r[j], r[(j + 1) % n])) return false;
        }
    }
    return true;
}

bool Inside(P p, const Ring& r) {
    bool in = false;
    for (size_t i = 0, j = r.size() - 1; i < r.size(); j = i++) {
        if ((r[i].y > p.y) != (r[j].y > p.y) &&
            p.x < (r[j].x - r[i].x) * (p.y - r[i].y) / (r[j].y - r[i].y) + r[i].x)
            in = !in;
    }
    return in;
}

// No edge of one ring meets the other and every vertex of each lies farther than margin from the
// other's edges.
bool RingsApart(const Ring& r, const Ring& s, double margin) {
    for (size_t i = 0; i < r.size(); ++i)
        for (size_t j = 0; j < s.size(); ++j)
            if (SegmentsMeet(r[i], r[(i + 1) % r.size()], s[j], s[(j + 1) % s.size()])) return false;
    for (const P& p : r)
        if (RingDist(p, s) <= margin) return false;
    for (const P& p : s)
        if (RingDist(p, r) <= margin) return false;
    return true;
}

Ring Translate(Ring r, P d) {
    for (P& p : r) p = Add(p, d);
    return r;
}

Poly Translate(Poly p, P d) {
    p.outer = Translate(p.outer, d);
    for (Ring& h : p.holes) h = Translate(h, d);
    return p;
}

// Rotation by dir = (cos, sin) about c.
Poly Rotate(Poly p, P c, P dir) {
    auto rot = [&](Ring& r) { for (P& q : r) q = Add(c, Rot(Sub(q, c), dir)); };
    rot(p.outer);
    for (Ring& h : p.holes) rot(h);
    return p;
}

Ring Regular(P c, double radius, int n, double turn) {
    Ring r;
    for (int i = 0; i < n; ++i) r.push_back(Add(c, Mul(Dir(turn + static_cast<double>(i) / n), radius)));
    return r;
}

Ring Rect(double x0, double y0, double x1, double y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

// A regular polygon of lo..hi vertices at a random turn (count drawn first).
Ring RandomRegular(Rng& rng, P c, double radius, int lo, int hi) {
    const int n = rng.Int(lo, hi);
    return Regular(c, radius, n, rng.Unit());
}

// Angles (in turns, increasing, starting at `turn`) of n vertices whose gaps vary by a factor
// of at most 3, so every gap stays well below half a turn.
std::vector<double> StarTurns(Rng& rng, int n) {
    std::vector<double> w(n);
    double sum = 0.0;
    for (double& x : w) sum += (x = rng.Uniform(0.35, 1.0));
    std::vector<double> t(n);
    double acc = rng.Unit();
    for (int i = 0; i < n; ++i) {
        t[i] = acc;
        acc += w[i] / sum;
    }
    return t;
}

// Star polygon around c: n vertices at increasing angles, radii uniform in [rmin, rmax].
Ring Star(Rng& rng, P c, int n, double rmin, double rmax) {
    Ring r;
    for (double t : StarTurns(rng, n)) r.push_back(Add(c, Mul(Dir(t), rng.Uniform(rmin, rmax))));
    return r;
}

// r with its vertices rounded to a grid of step g, repeats dropped.
Ring Snapped(const Ring& r, double g) {
    Ring q;
    for (P p : r) {
        const P s = {g * std::round(p.x / g), g * std::round(p.y / g)};
        if (q.empty() || s.x != q.back().x || s.y != q.back().y) q.push_back(s);
    }
    while (q.size() > 1 && q.front().x == q.back().x && q.front().y == q.back().y) q.pop_back();
    return q;
}

// Star polygon with vertices rounded to a grid of step g (exact for g = 1 and 0.5): many vertices
// and edge pieces coincide with those of another such polygon.
Ring GridStar(Rng& rng, P c, double g) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int n = rng.Int(5, 40);
        const double rmin = rng.Uniform(2.0, 6.0);
        const double rmax = rng.Uniform(8.0, 12.0);
        const Ring q = Snapped(Star(rng, c, n, rmin, rmax), g);
        if (IsSimple(q)) return q;
    }
    return Rect(c.x - 5, c.y - 5, c.x + 5, c.y + 5);
}

// A random shape for an outer ring of size about `size` around c: star, regular polygon or rectangle.
Ring Shape(Rng& rng, P c, double size) {
    const int kind = rng.Int(0, 2);
    if (kind == 0) return Star(rng, c, rng.Int(5, 30), 0.4 * size, size);
    if (kind == 1) return RandomRegular(rng, c, size, 3, 64);
    const double w = rng.Uniform(0.5, 1.0) * size, h = rng.Uniform(0.5, 1.0) * size;
    return Rect(c.x - w, c.y - h, c.x + w, c.y + h);
}

void Bounds(const Ring& r, P& lo, P& hi) {
    lo = hi = r[0];
    for (const P& p : r) {
        lo = {std::min(lo.x, p.x), std::min(lo.y, p.y)};
        hi = {std::max(hi.x, p.x), std::max(hi.y, p.y)};
    }
}

// Adds up to k holes to p: small squares and regular polygons strictly inside the outer ring and
// apart from each other by more than margin; with probability pTouch a triangle touching one hole
// at exactly one of its vertices.
void AddHoles(Rng& rng, Poly& p, int k, double margin, double pTouch) {
    P lo, hi;
    Bounds(p.outer, lo, hi);
    const double span = std::min(hi.x - lo.x, hi.y - lo.y);
    for (int attempt = 0; attempt < 40 && static_cast<int>(p.holes.size()) < k; ++attempt) {
        const P c = {rng.Uniform(lo.x, hi.x), rng.Uniform(lo.y, hi.y)};
        const double rh = rng.Uniform(0.03, 0.15) * span;
        const Ring h =
            rng.Chance(0.4) ? Rect(c.x - rh, c.y - rh, c.x + rh, c.y + rh) : RandomRegular(rng, c, rh, 3, 32);
        bool ok = Inside(c, p.outer) && RingsApart(h, p.outer, margin);
        for (size_t j = 0; ok && j < p.holes.size(); ++j)
            ok = RingsApart(h, p.holes[j], margin) && !Inside(h[0], p.holes[j]) && !Inside(p.holes[j][0], h);
        if (ok && Inside(h[0], p.outer)) p.holes.push_back(h);
    }
    if (p.holes.empty() || !rng.Chance(pTouch)) return;
    const size_t hi0 = rng.Pick(p.holes.size());
    const Ring& h = p.holes[hi0];
    P hc = {0, 0};
    for (const P& q : h) hc = Add(hc, q);
    hc = Mul(hc, 1.0 / static_cast<double>(h.size()));
    const P v = h[rng.Pick(h.size())];
    const P o = Unit(Sub(v, hc));
    const double len = Len(Sub(v, hc));
    // The hole is convex, so a triangle within 25 degrees of the outward direction meets it at v only.
    Ring t = {v, Add(v, Mul(Rot(o, Dir(-25.0 / 360.0)), len)), Add(v, Mul(Rot(o, Dir(25.0 / 360.0)), len))};
    bool ok = RingsApart(t, p.outer, margin) && Inside(t[1], p.outer);
    for (size_t j = 0; ok && j < p.holes.size(); ++j)
        if (j != hi0) ok = RingsApart(t, p.holes[j], margin) && !Inside(t[1], p.holes[j]) && !Inside(p.holes[j][0], t);
    if (ok) p.holes.push_back(t);
}

// Writes a ring as an input ring: any start vertex, either direction, closing repeat or not.
T_GORV_POLYGON2D Emit(Rng& rng, const Ring& r) {
    const size_t n = r.size();
    const size_t start = rng.Pick(n);
    const bool reverse = rng.Chance(0.5);
    const bool closed = rng.Chance(0.7);
    T_GORV_POLYGON2D out;
    for (size_t i = 0; i < n + (closed ? 1 : 0); ++i) {
        const size_t k = reverse ? (start + n - i % n) % n : (start + i) % n;
        out.points.Add(T_GORV_POINT2D{r[k].x, r[k].y});
    }
    return out;
}

T_GORV_COMPLEX_POLYGON2D Emit(Rng& rng, const Poly& p) {
    T_GORV_COMPLEX_POLYGON2D c;
    c.outer = Emit(rng, p.outer);
    for (const Ring& h : p.holes) c.holes.Add(Emit(rng, h));
    return c;
}

void EmitAll(Rng& rng, const std::vector<Poly>& a, const std::vector<Poly>& b, Case& c) {
    for (const Poly& p : a) c.a.push_back(Emit(rng, p));
    for (const Poly& p : b) c.b.push_back(Emit(rng, p));
}

Poly Single(const Ring& r) { return Poly{r, {}}; }

// ---- families ----

void MakeStar(Rng& rng, Case& c) {
    const double g = rng.Chance(0.7) ? 1.0 : 0.5;
    Poly a = Single(GridStar(rng, {0, 0}, g));
    Poly b;
    const int v = rng.Int(0, 9);
    const P shift = {g * rng.Int(-3, 3), g * rng.Int(-3, 3)};
    if (v <= 5) b = Single(GridStar(rng, {g * rng.Int(-4, 4), g * rng.Int(-4, 4)}, g));
    else if (v <= 7) b = Translate(a, shift);
    else if (v == 8) b = Translate(Rotate(a, {0, 0}, {0, 1}), shift);  // quarter turn: exact
    else {
        b = a;
        for (P& p : b.outer) p.x = -p.x;  // mirrored
        b = Translate(b, shift);
    }
    EmitAll(rng, {a}, {b}, c);
}

// Nearest crossing of the ray c + s u (s > smin) with the ring's edges; false if none.
bool RayHit(P c, P u, const Ring& r, double smin, double& s, P& edge) {
    bool hit = false;
    for (size_t i = 0; i < r.size(); ++i) {
        const P a = r[i], b = r[(i + 1) % r.size()];
        const P e = Sub(b, a);
        const double den = CrossV(u, e);
        if (den == 0.0) continue;
        const double si = CrossV(Sub(a, c), e) / den;   // along the ray
        const double ti = CrossV(Sub(a, c), u) / den;   // along the edge
        if (ti < 0.0 || ti > 1.0 || si <= smin || (hit && si >= s)) continue;
        s = si;
        edge = e;
        hit = true;
    }
    return hit;
}

void MakeNear(Rng& rng, Case& c) {
    const double pick = rng.Unit();
    c.tolerance = pick < 0.7 ? 0.001 : pick < 0.85 ? 0.01 : 1e-5;
    const double tol = c.tolerance;
    const Ring a = Star(rng, {0, 0}, rng.Int(5, 60), 4.0, 12.0);
    const P cb = {rng.Uniform(-4, 4), rng.Uniform(-4, 4)};
    Ring b;
    for (int attempt = 0; attempt < 20; ++attempt) {
        const int m = rng.Int(5, 60);
        const std::vector<double> turns = StarTurns(rng, m);
        b.clear();
        for (double t : turns) b.push_back(Add(cb, Mul(Dir(t), rng.Uniform(3.0, 12.0))));
        for (int i = 0; i < m; ++i) {
            const P prev = b[(i + m - 1) % m];  // already final
            const P next = b[(i + 1) % m];      // final for the last vertex, else still its base
            const double kind = rng.Unit();
            const double d = rng.NearDistance() * tol;
            const double sign = rng.Sign();
            auto accept = [&](P p) {
                const double dist = RingDist(p, a);
                return Cross(cb, prev, p) > 0.0 && Cross(cb, p, next) > 0.0 && dist >= 0.5 * tol && dist <= 20.0 * tol;
            };
            if (kind < 0.55) {
                // Along the vertex's own ray to the first edge of A, then off it by d perpendicular.
                const P u = Dir(turns[i]);
                double s = 0.0;
                P e{};
                if (!RayHit(cb, u, a, 0.5, s, e)) continue;
                const double sinPhi = std::fabs(CrossV(u, Unit(e)));
                if (sinPhi < 0.25) continue;
                const P p = Add(cb, Mul(u, s + sign * d / sinPhi));
                if (accept(p)) b[i] = p;
            } else if (kind < 0.75) {
                // Off a vertex of A within this vertex's wedge, along the ray through it.
                std::vector<P> cands;
                for (const P& v : a)
                    if (Cross(cb, prev, v) > 0.0 && Cross(cb, v, next) > 0.0 && Len(Sub(v, cb)) > 1.0) cands.push_back(v);
                if (cands.empty()) continue;
                const P v = cands[rng.Pick(cands.size())];
                const P p = Add(v, Mul(Unit(Sub(v, cb)), sign * d));
                if (accept(p)) b[i] = p;
            }
        }
        bool star = true;
        for (int i = 0; i < m; ++i) star = star && Cross(cb, b[i], b[(i + 1) % m]) > 0.0;
        if (star && IsSimple(b)) break;
        b = Regular(cb, 6.0, 7, 0.1);
    }
    if (rng.Chance(0.5)) EmitAll(rng, {Single(a)}, {Single(b)}, c);
    else EmitAll(rng, {Single(b)}, {Single(a)}, c);
}

void MakeNgon(Rng& rng, Case& c) {
    const double tol = c.tolerance;
    const int n = rng.NgonSize();
    const int m = rng.Chance(0.25) ? n : rng.NgonSize();
    const double ra = 100.0;
    const double rb = rng.Chance(0.7) ? 100.0 : rng.Uniform(20.0, 150.0);
    const P ca = rng.Chance(0.1) ? P{rng.Uniform(-1e4, 1e4), rng.Uniform(-1e4, 1e4)} : P{0, 0};
    const double turnA = rng.Chance(0.3) ? 0.0 : rng.Unit();
    const double k = rng.Unit();
    const double dist = k < 0.1    ? 0.0
                        : k < 0.2  ? rng.NearDistance() * tol
                        : k < 0.25 ? 50.0
                        : k < 0.3  ? ra + rb - rng.NearDistance() * tol
                                   : rng.Uniform(0.0, ra + rb);
    const P dir = dist == 50.0 ? P{1, 0} : Dir(rng.Unit());
    const double kt = rng.Unit();
    double turnB = turnA;
    if (kt >= 0.4) {
        turnB = rng.Unit();
    } else if (kt >= 0.25) {
        const double sign = rng.Sign();
        turnB += sign * rng.NearDistance() * tol / (2.0 * kPi * rb);
    }
    const Ring a = Regular(ca, ra, n, turnA);
    const Ring b = Regular(Add(ca, Mul(dir, dist)), rb, m, turnB);
    EmitAll(rng, {Single(a)}, {Single(b)}, c);
}

Poly HoledShape(Rng& rng, P c, double size) {
    Poly p = Single(Shape(rng, c, size));
    AddHoles(rng, p, rng.Int(1, 6), 20.0 * 0.001, 0.15);
    return p;
}

void MakeHoles(Rng& rng, Case& c) {
    const Poly a = HoledShape(rng, {0, 0}, rng.Uniform(8.0, 20.0));
    P lo, hi;
    Bounds(a.outer, lo, hi);
    const P cb = {rng.Uniform(lo.x, hi.x), rng.Uniform(lo.y, hi.y)};
    const double v = rng.Unit();
    Poly b;
    if (v < 0.35) b = HoledShape(rng, cb, rng.Uniform(5.0, 20.0));
    else if (v < 0.7) b = Single(Shape(rng, cb, rng.Uniform(3.0, 15.0)));
    else if (v < 0.85) b = Translate(a, {rng.Uniform(-2, 2), rng.Uniform(-2, 2)});
    else if (!a.holes.empty()) b = Single(a.holes[rng.Pick(a.holes.size())]);
    else b = Single(Shape(rng, cb, 4.0));
    EmitAll(rng, {a}, {b}, c);
}

// Inserts a spike (outward) or a notch (inward) of base width w and length len into edge i of the
// counter-clockwise ring r; false (r unchanged) if the ring would not stay simple.
bool AddSpike(Ring& r, size_t i, double t, double w, double len, bool outward) {
    const P a = r[i], b = r[(i + 1) % r.size()];
    const double el = Len(Sub(b, a));
    if (el * (1.0 - t) < 2.0 * w) return false;
    const P u = Unit(Sub(b, a));
    const P nrm = outward ? P{u.y, -u.x} : P{-u.y, u.x};
    const P p1 = Add(a, Mul(Sub(b, a), t));
    const P p2 = Add(p1, Mul(u, w));
    const P tip = Add(Add(p1, Mul(u, 0.5 * w)), Mul(nrm, len));
    Ring q(r.begin(), r.begin() + static_cast<long>(i) + 1);
    q.insert(q.end(), {p1, tip, p2});
    q.insert(q.end(), r.begin() + static_cast<long>(i) + 1, r.end());
    if (!IsSimple(q)) return false;
    r = q;
    return true;
}

void MakeSpike(Rng& rng, Case& c) {
    const double tol = c.tolerance;
    const int v = rng.Int(0, 3);
    if (v == 0) {
        // Spikes and notches 0.2 to 10 tolerances wide, against the spike-free shape or others.
        const Ring plain = Star(rng, {0, 0}, rng.Int(6, 30), 5.0, 12.0);
        Ring a = plain;
        for (int s = 0, spikes = rng.Int(1, 3); s < spikes; ++s) {
            const size_t i = rng.Pick(a.size());
            const double w = rng.Uniform(0.2, 10.0) * tol;
            const double t = rng.Uniform(0.2, 0.8);
            const double len = rng.Uniform(0.5, 6.0);
            AddSpike(a, i, t, w, len, rng.Chance(0.6));
        }
        const double k = rng.Unit();
        Ring b = plain;
        if (k >= 0.3 && k < 0.7) {
            const P cb = {rng.Uniform(-5, 5), rng.Uniform(-5, 5)};
            b = Star(rng, cb, rng.Int(5, 30), 3.0, 12.0);
        } else if (k >= 0.7) {
            const double x = rng.Uniform(-10, 10);
            b = Rect(x, -20, x + rng.Uniform(0.5, 5), 20);
        }
        EmitAll(rng, {Single(a)}, {Single(b)}, c);
    } else if (v == 1) {
        // A shape against itself moved or turned by a few tolerances: crescents of slivers.
        const Poly a = Single(rng.Chance(0.5) ? Star(rng, {0, 0}, rng.Int(5, 40), 5.0, 12.0)
                                              : RandomRegular(rng, {0, 0}, 10.0, 3, 64));
        Poly b;
        if (rng.Chance(0.6)) {
            const P dir = Dir(rng.Unit());
            b = Translate(a, Mul(dir, rng.Uniform(0.2, 20.0) * tol));
        } else {
            const P pivot = {rng.Uniform(-3, 3), rng.Uniform(-3, 3)};
            b = Rotate(a, pivot, Dir(rng.SignedUniform(0.2, 20.0) * tol / (2.0 * kPi * 12.0)));
        }
        EmitAll(rng, {a}, {b}, c);
    } else if (v == 2) {
        // Near-parallel edges: B's left side runs within a few tolerances of A's right side,
        // overlapping, apart, or crossing it at a shallow angle.
        const double w = rng.Uniform(5, 20), h = rng.Uniform(5, 20);
        const double s1 = rng.SignedUniform(0.2, 20.0) * tol;
        const double s2 = rng.Chance(0.3) ? s1 : rng.SignedUniform(0.2, 20.0) * tol;
        const double y0 = rng.Uniform(-5, h), y1 = y0 + rng.Uniform(2, 20);
        const Ring a = Rect(0, 0, w, h);
        const Ring b = {{w + s1, y0}, {w + 10, y0}, {w + 10, y1}, {w + s2, y1}};
        const P d = Dir(rng.Chance(0.5) ? 0.0 : rng.Unit());
        EmitAll(rng, {Rotate(Single(a), {0, 0}, d)}, {Rotate(Single(b), {0, 0}, d)}, c);
    } else {
        // A chain of vertices 0.3 to 1.2 tolerances apart, alternating between A and B along one
        // line: closeness within the tolerance is not transitive here.
        const int k = rng.Int(3, 5);
        std::vector<double> xs = {5.0};
        for (int i = 1; i < k; ++i) xs.push_back(xs.back() + rng.Uniform(0.3, 1.2) * tol);
        const double dy = rng.Chance(0.5) ? 0.0 : rng.SignedUniform(0.0, 0.9) * tol;
        Ring a = {{0, 0}};
        Ring bottom;
        for (int i = 0; i < k; ++i) (i % 2 == 0 ? a : bottom).push_back({xs[static_cast<size_t>(i)], i % 2 == 0 ? 0.0 : dy});
        a.insert(a.end(), {{10, 0}, {10, 10}, {0, 10}});
        Ring b;
        const double x0 = rng.Uniform(1, 4), x1 = rng.Uniform(6, 14);
        if (rng.Chance(0.5)) {
            const double top = rng.Uniform(3, 15);  // B above the line: overlaps A
            b.push_back({x0, dy});
            b.insert(b.end(), bottom.begin(), bottom.end());
            b.insert(b.end(), {{x1, dy}, {x1, top}, {x0, top}});
        } else {
            const double low = -rng.Uniform(3, 15);  // B below the line: touches A along it
            b.insert(b.end(), {{x0, low}, {x1, low}, {x1, dy}});
            b.insert(b.end(), bottom.rbegin(), bottom.rend());
            b.push_back({x0, dy});
        }
        const P d = Dir(rng.Chance(0.3) ? 0.0 : rng.Unit());
        const P t = {rng.Uniform(-50, 50), rng.Uniform(-50, 50)};
        Poly pa = Translate(Rotate(Single(a), {0, 0}, d), t);
        Poly pb = Translate(Rotate(Single(b), {0, 0}, d), t);
        if (!IsSimple(pa.outer) || !IsSimple(pb.outer)) {
            pa = Single(a);
            pb = Single(b);
        }
        EmitAll(rng, {pa}, {pb}, c);
    }
}

// Members of a multi-polygon operand: overlapping shapes, edge-sharing tiles, squares touching at a
// corner, or a holed square with an island in its hole.
std::vector<Poly> Members(Rng& rng, P c) {
    std::vector<Poly> out;
    const double v = rng.Unit();
    if (v < 0.4) {
        const int k = rng.Int(2, 4);
        for (int i = 0; i < k; ++i) {
            const P at = {c.x + rng.Uniform(-8, 8), c.y + rng.Uniform(-8, 8)};
            Poly p = Single(Shape(rng, at, rng.Uniform(3, 8)));
            if (rng.Chance(0.2)) AddHoles(rng, p, 2, 0.02, 0.0);
            out.push_back(p);
        }
    } else if (v < 0.7) {
        const int k = rng.Int(2, 4);
        const double w = rng.Int(2, 6), h = rng.Int(4, 10);
        const double x0 = std::round(c.x), y0 = std::round(c.y);
        for (int i = 0; i < k; ++i) {
            const double dy = rng.Chance(0.5) ? 0.0 : rng.Int(-3, 3);
            out.push_back(Single(Rect(x0 + i * w, y0 + dy, x0 + (i + 1) * w, y0 + dy + h)));
        }
    } else if (v < 0.85) {
        const double w = rng.Int(3, 8);
        const double x0 = std::round(c.x), y0 = std::round(c.y);
        out.push_back(Single(Rect(x0, y0, x0 + w, y0 + w)));
        out.push_back(Single(Rect(x0 + w, y0 + w, x0 + 2 * w, y0 + 2 * w)));
        if (rng.Chance(0.5)) out.push_back(Single(Rect(x0 - w, y0 + w, x0, y0 + 2 * w)));
    } else {
        const double w = rng.Uniform(8, 14), hw = rng.Uniform(2, 0.4 * w);
        out.push_back(Poly{Rect(c.x - w, c.y - w, c.x + w, c.y + w), {Rect(c.x - hw, c.y - hw, c.x + hw, c.y + hw)}});
        const double iw = rng.Chance(0.5) ? rng.Uniform(0.2, 0.9) * hw : rng.Uniform(1.1, 1.5) * hw;
        out.push_back(Single(RandomRegular(rng, c, iw, 3, 16)));
    }
    return out;
}

void MakeMulti(Rng& rng, Case& c) {
    const std::vector<Poly> a = Members(rng, {0, 0});
    std::vector<Poly> b;
    const double v = rng.Unit();
    if (v < 0.03) {
        // empty B
    } else if (v < 0.35) {
        const P at = {rng.Uniform(-6, 6), rng.Uniform(-6, 6)};
        b.push_back(Single(Shape(rng, at, rng.Uniform(3, 12))));
    } else {
        b = Members(rng, {static_cast<double>(rng.Int(-6, 6)), static_cast<double>(rng.Int(-6, 6))});
    }
    if (rng.Chance(0.5)) EmitAll(rng, a, b, c);
    else EmitAll(rng, b, a, c);
}

// A thin rectangle (a strip) of length len and width w around c, turned by dir.
Ring Strip(P c, double len, double w, P dir) {
    const P u = dir, n = {-dir.y, dir.x};
    const P a = Mul(u, 0.5 * len), b = Mul(n, 0.5 * w);
    return {Sub(Sub(c, a), b), Sub(Add(c, a), b), Add(Add(c, a), b), Add(Sub(c, a), b)};
}

void MakeTight(Rng& rng, Case& c) {
    const double tol = c.tolerance;
    const int v = rng.Int(0, 4);
    if (v == 0) {
        // Clusters of 2 or 3 vertices of one ring, 0.3 to 1.2 tolerances apart.
        const Ring plain = Star(rng, {0, 0}, rng.Int(6, 30), 5.0, 12.0);
        Ring a = plain;
        const int clusters = rng.Int(1, 3);
        for (int k = 0; k < clusters; ++k) {
            const size_t i = rng.Pick(a.size());
            const P p = a[i], q = a[(i + 1) % a.size()];
            if (Len(Sub(q, p)) < 20.0 * tol) continue;
            const P u = Unit(Sub(q, p)), nrm = {-u.y, u.x};
            Ring t(a.begin(), a.begin() + static_cast<long>(i) + 1);
            double along = 0.0;
            const int extra = rng.Int(1, 2);
            for (int e = 0; e < extra; ++e) {
                along += rng.Uniform(0.3, 1.2) * tol;
                t.push_back(Add(Add(p, Mul(u, along)), Mul(nrm, rng.Uniform(-0.5, 0.5) * tol)));
            }
            t.insert(t.end(), a.begin() + static_cast<long>(i) + 1, a.end());
            if (IsSimple(t)) a = t;
        }
        Ring b;
        if (rng.Chance(0.5)) {
            const P cb = {rng.Uniform(-5, 5), rng.Uniform(-5, 5)};
            b = Star(rng, cb, rng.Int(5, 30), 3.0, 12.0);
        } else {
            const P dir = Dir(rng.Unit());
            b = Translate(plain, Mul(dir, rng.NearDistance() * tol));
        }
        EmitAll(rng, {Single(a)}, {Single(b)}, c);
    } else if (v == 1) {
        // A hole, or the other operand, thinner than a few tolerances.
        Poly a = Single(rng.Chance(0.5) ? RandomRegular(rng, {0, 0}, 12.0, 8, 64) : Rect(-10, -10, 10, 10));
        const P hc = {rng.Uniform(-3, 3), rng.Uniform(-3, 3)};
        const double hlen = rng.Uniform(2, 8);
        const double hw = rng.Uniform(0.2, 3.0) * tol;
        const Ring hole = Strip(hc, hlen, hw, Dir(rng.Unit()));
        if (RingsApart(hole, a.outer, 10.0 * tol)) a.holes.push_back(hole);
        Ring b;
        if (rng.Chance(0.5)) {
            const P at = {rng.Uniform(-6, 6), rng.Uniform(-6, 6)};
            b = Shape(rng, at, rng.Uniform(3, 10));
        } else {
            const P at = {rng.Uniform(-8, 8), rng.Uniform(-8, 8)};
            const double len = rng.Uniform(5, 25);
            const double w = rng.Uniform(0.2, 3.0) * tol;
            b = Strip(at, len, w, Dir(rng.Unit()));
        }
        EmitAll(rng, {a}, {Single(b)}, c);
    } else if (v == 2) {
        // Tiles whose neighbours are apart or overlap by 0.2 to 3 tolerances.
        auto tiles = [&](P origin, P dir) {
            std::vector<Poly> out;
            const int k = rng.Int(2, 4);
            const double w = rng.Int(2, 6), h = rng.Int(4, 10);
            for (int i = 0; i < k; ++i) {
                const double gap = i == 0 ? 0.0 : rng.SignedUniform(0.2, 3.0) * tol;
                out.push_back(Rotate(Single(Translate(Rect(i * w + gap, 0, (i + 1) * w, h), origin)), origin, dir));
            }
            return out;
        };
        const std::vector<Poly> a = tiles({0, 0}, Dir(rng.Chance(0.5) ? 0.0 : rng.Unit()));
        std::vector<Poly> b;
        if (rng.Chance(0.5)) {
            const P at = {rng.Uniform(-4, 4), rng.Uniform(-4, 4)};
            b = tiles(at, Dir(rng.Unit()));
        } else {
            const P at = {rng.Uniform(0, 10), rng.Uniform(0, 8)};
            b.push_back(Single(Shape(rng, at, rng.Uniform(2, 8))));
        }
        EmitAll(rng, a, b, c);
    } else if (v == 3) {
        // Far from the origin: 1e5 to 1e7 in each coordinate.
        const P t = {rng.SignedUniform(1e5, 1e7), rng.SignedUniform(1e5, 1e7)};
        Ring a, b;
        if (rng.Chance(0.5)) {
            a = Star(rng, t, rng.Int(5, 40), 4.0, 12.0);
            const P off = {rng.Uniform(-4, 4), rng.Uniform(-4, 4)};
            b = Star(rng, Add(t, off), rng.Int(5, 40), 4.0, 12.0);
        } else {
            const int n = rng.NgonSize();
            a = Regular(t, 100.0, n, rng.Unit());
            const P dir = Dir(rng.Unit());
            const P cb = Add(t, Mul(dir, rng.Uniform(0, 200)));
            const int m = rng.NgonSize();
            b = Regular(cb, 100.0, m, rng.Unit());
        }
        EmitAll(rng, {Single(a)}, {Single(b)}, c);
    } else {
        // Two n-gons within a few tolerances of each other everywhere.
        const int n = rng.Int(16, 256);
        const double turn = rng.Unit();
        const Ring a = Regular({0, 0}, 100.0, n, turn);
        const double dr = rng.SignedUniform(0.0, 3.0) * tol;
        const P offDir = Dir(rng.Unit());
        const P off = Mul(offDir, rng.Uniform(0.0, 3.0) * tol);
        const double dt = rng.SignedUniform(0.0, 3.0) * tol / (2.0 * kPi * 100.0);
        const Ring b = Regular(off, 100.0 + dr, rng.Chance(0.8) ? n : 2 * n, turn + dt);
        EmitAll(rng, {Single(a)}, {Single(b)}, c);
    }
}

// A comb: a base bar [0, (2k - 1) w] x [0, h0] with k teeth [2 i w, (2 i + 1) w] x [h0, h0 + h],
// counter-clockwise, turned by q quarter turns (exact).
Ring Comb(int k, double w, double h0, double h, int q) {
    const double top = h0 + h, len = (2.0 * k - 1.0) * w;
    Ring r = {{0, 0}, {len, 0}, {len, top}};
    for (int i = k - 1; i >= 0; --i) {
        r.push_back({2.0 * i * w, top});
        if (i > 0) {
            r.push_back({2.0 * i * w, h0});
            r.push_back({(2.0 * i - 1.0) * w, h0});
            r.push_back({(2.0 * i - 1.0) * w, top});
        }
    }
    for (P& p : r)
        for (int t = 0; t < (q & 3); ++t) p = {-p.y, p.x};
    return r;
}

void MakeDense(Rng& rng, Case& c) {
    const double tol = c.tolerance;
    const int v = rng.Int(0, 3);
    if (v == 0) {
        // Spiky stars: radii from 1 to 12, 100 to 400 vertices each.
        const Ring a = Star(rng, {0, 0}, rng.Int(100, 400), 1.0, 12.0);
        const P cb = {rng.Uniform(-3, 3), rng.Uniform(-3, 3)};
        const Ring b = Star(rng, cb, rng.Int(100, 400), 1.0, 12.0);
        EmitAll(rng, {Single(a)}, {Single(b)}, c);
    } else if (v == 1) {
        // Interlocking combs on the integer grid: long collinear overlaps and many crossings.
        const int k = rng.Int(2, 12);
        const double w = rng.Int(1, 3), h0 = rng.Int(1, 3), h = rng.Int(2, 10);
        const Ring a = Comb(k, w, h0, h, 0);
        const int q = rng.Int(0, 3);
        const int k2 = rng.Int(2, 12);
        const double w2 = rng.Int(1, 3), h02 = rng.Int(1, 3), h2 = rng.Int(2, 10);
        const P shift = {static_cast<double>(rng.Int(-5, 5 + 2 * k)), static_cast<double>(rng.Int(-5, 10))};
        const Ring b = Translate(Comb(k2, w2, h02, h2, q), shift);
        EmitAll(rng, {Single(a)}, {Single(b)}, c);
    } else if (v == 2) {
        // Stars of 10 to 50 tolerances radius with vertices on a grid of one tolerance: distances
        // at the tolerance itself, on either side by rounding.
        auto gridStar = [&](P centre) {
            for (int attempt = 0; attempt < 50; ++attempt) {
                const int n = rng.Int(5, 16);
                const Ring q = Snapped(Star(rng, centre, n, 10.0 * tol, 50.0 * tol), tol);
                if (IsSimple(q)) return q;
            }
            return Rect(centre.x - 20 * tol, centre.y - 20 * tol, centre.x + 20 * tol, centre.y + 20 * tol);
        };
        const Ring a = gridStar({0, 0});
        const P cb = {tol * rng.Int(-20, 20), tol * rng.Int(-20, 20)};
        const Ring b = gridStar(cb);
        EmitAll(rng, {Single(a)}, {Single(b)}, c);
    } else {
        // Many members: 8 to 30 small squares and n-gons, overlapping and touching, on both sides.
        auto many = [&](P centre) {
            std::vector<Poly> out;
            const int k = rng.Int(8, 30);
            for (int i = 0; i < k; ++i) {
                const P at = {centre.x + rng.Uniform(-8, 8), centre.y + rng.Uniform(-8, 8)};
                const double size = rng.Uniform(0.5, 3.0);
                const P g = {std::round(at.x), std::round(at.y)};
                const double s2 = std::round(size) + 1.0;
                out.push_back(
                    Single(rng.Chance(0.5) ? Rect(g.x, g.y, g.x + s2, g.y + s2) : RandomRegular(rng, at, size, 3, 24)));
            }
            return out;
        };
        const std::vector<Poly> a = many({0, 0});
        const P cb = {rng.Uniform(-4, 4), rng.Uniform(-4, 4)};
        const std::vector<Poly> b = many(cb);
        EmitAll(rng, a, b, c);
    }
}

void AppendRingWkt(std::string& s, const T_GORV_POLYGON2D& r) {
    char buf[80];
    const INT_PTR n = r.points.GetSize();
    const bool open = n > 0 && (r.points[0].x != r.points[n - 1].x || r.points[0].y != r.points[n - 1].y);
    s += "(";
    for (INT_PTR i = 0; i < n + (open ? 1 : 0); ++i) {
        std::snprintf(buf, sizeof buf, "%s%.17g %.17g", i ? ", " : "", r.points[i % n].x, r.points[i % n].y);
        s += buf;
    }
    s += ")";
}

void AppendPolygonWkt(std::string& s, const T_GORV_COMPLEX_POLYGON2D& p) {
    s += "(";
    AppendRingWkt(s, p.outer);
    for (INT_PTR h = 0; h < p.holes.GetSize(); ++h) {
        s += ", ";
        AppendRingWkt(s, p.holes[h]);
    }
    s += ")";
}

template <class Seq>
std::string WktOf(const Seq& v, size_t n) {
    if (n == 0) return "MULTIPOLYGON EMPTY";
    std::string s = n == 1 ? "POLYGON " : "MULTIPOLYGON (";
    for (size_t i = 0; i < n; ++i) {
        if (i) s += ", ";
        AppendPolygonWkt(s, v[static_cast<INT_PTR>(i)]);
    }
    if (n > 1) s += ")";
    return s;
}

}  // namespace

const char* FamilyName(int family) {
    static const char* const names[kFamilyCount] = {"star", "near", "ngon", "holes", "spike", "multi", "tight", "dense"};
    return family >= 0 && family < kFamilyCount ? names[family] : "?";
}

std::uint64_t FullCaseCount(int family) {
    static const std::uint64_t counts[kFamilyCount] = {1500, 1500, 1500, 800, 800, 800, 600, 600};
    return family >= 0 && family < kFamilyCount ? counts[family] : 0;
}

Case MakeCase(std::uint64_t seed, int family, std::uint64_t index) {
    Case c;
    c.family = family;
    c.index = index;
    Rng rng(SplitMix(SplitMix(seed ^ SplitMix(static_cast<std::uint64_t>(family) + 1)) + index));
    switch (family) {
    case kStar: MakeStar(rng, c); break;
    case kNear: MakeNear(rng, c); break;
    case kNgon: MakeNgon(rng, c); break;
    case kHoles: MakeHoles(rng, c); break;
    case kSpike: MakeSpike(rng, c); break;
    case kMulti: MakeMulti(rng, c); break;
    case kTight: MakeTight(rng, c); break;
    default: MakeDense(rng, c); break;
    }
    return c;
}

InvalidCase MakeInvalidCase(std::uint64_t seed, std::uint64_t index) {
    InvalidCase ic;
    ic.c.family = -1;
    ic.c.index = index;
    Rng rng(SplitMix(SplitMix(seed ^ 0x1badc0deULL) + index));
    const int kind = rng.Int(0, 4);
    Poly bad;
    if (kind == 0) {
        // A star with two vertices two apart swapped: its edges cross.
        for (int attempt = 0; attempt < 50; ++attempt) {
            Ring r = Star(rng, {0, 0}, rng.Int(6, 20), 4.0, 10.0);
            const size_t i = rng.Pick(r.size());
            std::swap(r[i], r[(i + 2) % r.size()]);
            bad = Single(r);
            if (!IsSimple(r)) break;
        }
        ic.problem = GORV_PROBLEM_SELF_CROSSING;
    } else {
        bad = Single(Rect(-10, -10, 10, 10));
        const bool goodHoleFirst = rng.Chance(0.5);
        if (goodHoleFirst) bad.holes.push_back(Rect(-8, -8, -6, -6));
        ic.ring = goodHoleFirst ? 2 : 1;
        const double y = rng.Uniform(-4, 4);
        if (kind == 1) {
            bad.holes.push_back(Rect(9, y - 2, 11, y + 2));  // straddles x = 10
            ic.problem = GORV_PROBLEM_HOLE_CROSSES_OUTER;
        } else if (kind == 2) {
            bad.holes.push_back(Rect(13, y - 2, 17, y + 2));
            ic.problem = GORV_PROBLEM_HOLE_OUTSIDE;
        } else if (kind == 3) {
            bad.holes.insert(bad.holes.end(), {Rect(-2, y - 2, 2, y + 2), Rect(1, y - 1, 5, y + 3)});
            ic.problem = GORV_PROBLEM_HOLES_OVERLAP;
            ic.otherRing = ic.ring + 1;
        } else {
            const bool outerFirst = rng.Chance(0.5);
            const Ring big = Rect(-5, y - 4, 5, y + 4), small = Rect(-1, y - 1, 1, y + 1);
            bad.holes.insert(bad.holes.end(), {outerFirst ? big : small, outerFirst ? small : big});
            ic.problem = GORV_PROBLEM_HOLES_NESTED;
            ic.otherRing = ic.ring + 1;
        }
    }
    const P d = Dir(rng.Unit());
    const P t = {rng.Uniform(-100, 100), rng.Uniform(-100, 100)};
    bad = Translate(Rotate(bad, {0, 0}, d), t);
    // The bad member among up to two valid ones (disjoint squares further out) in A or B.
    std::vector<Poly> withBad;
    const int before = rng.Int(0, 1), after = rng.Int(0, 1);
    for (int i = 0; i < before; ++i) withBad.push_back(Single(Translate(Rect(30, 30 * i, 40, 30 * i + 10), t)));
    withBad.push_back(bad);
    for (int i = 0; i < after; ++i) withBad.push_back(Single(Translate(Rect(-40, 30 * i, -30, 30 * i + 10), t)));
    const P at = {t.x + rng.Uniform(-5, 5), t.y + rng.Uniform(-5, 5)};
    const std::vector<Poly> other = {Single(Shape(rng, at, rng.Uniform(3, 12)))};
    ic.operand = rng.Int(0, 1);
    ic.polygon = before;
    if (ic.operand == 0) EmitAll(rng, withBad, other, ic.c);
    else EmitAll(rng, other, withBad, ic.c);
    return ic;
}

CArray<T_GORV_COMPLEX_POLYGON2D> ToArray(const std::vector<T_GORV_COMPLEX_POLYGON2D>& v) {
    CArray<T_GORV_COMPLEX_POLYGON2D> a;
    for (const T_GORV_COMPLEX_POLYGON2D& p : v) a.Add(p);
    return a;
}

std::string ToWkt(const std::vector<T_GORV_COMPLEX_POLYGON2D>& v) { return WktOf(v, v.size()); }

std::string ToWkt(const CArray<T_GORV_COMPLEX_POLYGON2D>& v) { return WktOf(v, static_cast<size_t>(v.GetSize())); }

bool ParseWkt(const std::string& text, std::vector<T_GORV_COMPLEX_POLYGON2D>& out) {
    out.clear();
    size_t i = text.find_first_not_of(" \t\r\n");
    if (i == std::string::npos) return false;
    const bool multi = text.compare(i, 12, "MULTIPOLYGON") == 0;
    if (!multi && text.compare(i, 7, "POLYGON") != 0) return false;
    if (text.find("EMPTY", i) != std::string::npos) return true;
    const int ringDepth = multi ? 3 : 2;
    int depth = 0;
    const char* p = text.c_str() + i;
    while (*p) {
        if (*p == ')') {
            --depth;
            ++p;
            continue;
        }
        if (*p != '(') {
            ++p;
            continue;
        }
        ++depth;
        ++p;
        if (depth == ringDepth - 1) {
            out.emplace_back();
            continue;
        }
        if (depth != ringDepth || out.empty()) continue;
        T_GORV_POLYGON2D r;
        while (*p && *p != ')') {
            char* q = nullptr;
            T_GORV_POINT2D pt;
            pt.x = std::strtod(p, &q);
            if (q == p) return false;
            pt.y = std::strtod(q, &q);
            r.points.Add(pt);
            while (*q == ',' || *q == ' ') ++q;
            p = q;
        }
        if (out.back().outer.points.GetSize() == 0) out.back().outer = r;
        else out.back().holes.Add(r);
    }
    return depth == 0;
}

bool ReadCaseFile(const std::string& path, Case& c, double areas[3]) {
    std::ifstream in(path);
    std::vector<std::vector<T_GORV_COMPLEX_POLYGON2D>> operands;
    areas[0] = areas[1] = areas[2] = -1.0;
    c.tolerance = 0.001;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::istringstream ls(line);
        std::string word;
        ls >> word;
        if (word == "POLYGON" || word == "MULTIPOLYGON") {
            operands.emplace_back();
            if (!ParseWkt(line, operands.back())) return false;
        } else if (word == "tolerance") {
            ls >> c.tolerance;
        } else if (word == "union") {
            ls >> areas[0];
        } else if (word == "intersection") {
            ls >> areas[1];
        } else if (word == "difference") {
            ls >> areas[2];
        }
    }
    if (operands.size() != 2) return false;
    c.a = operands[0];
    c.b = operands[1];
    return true;
}

bool WriteCaseFile(const std::string& path, const std::string& comment, const Case& c, const double areas[3]) {
    std::ofstream out(path);
    out << "# " << comment << "\n" << ToWkt(c.a) << "\n" << ToWkt(c.b) << "\n";
    char buf[64];
    std::snprintf(buf, sizeof buf, "tolerance %.17g\n", c.tolerance);
    out << buf;
    const char* names[3] = {"union", "intersection", "difference"};
    for (int k = 0; k < 3; ++k) {
        if (areas[k] < 0.0) continue;
        std::snprintf(buf, sizeof buf, "%s %.17g\n", names[k], areas[k]);
        out << buf;
    }
    return static_cast<bool>(out);
}

std::size_t VertexCount(const std::vector<T_GORV_COMPLEX_POLYGON2D>& v) {
    auto ring = [](const T_GORV_POLYGON2D& r) {
        INT_PTR n = r.points.GetSize();
        if (n > 1 && r.points[0].x == r.points[n - 1].x && r.points[0].y == r.points[n - 1].y) --n;
        return static_cast<std::size_t>(n);
    };
    std::size_t n = 0;
    for (const T_GORV_COMPLEX_POLYGON2D& p : v) {
        n += ring(p.outer);
        for (INT_PTR h = 0; h < p.holes.GetSize(); ++h) n += ring(p.holes[h]);
    }
    return n;
}

std::uint64_t CaseHash(const Case& c) {
    std::uint64_t h = 0xcbf29ce484222325ULL;
    auto mix = [&h](std::uint64_t v) {
        for (int k = 0; k < 8; ++k) {
            h ^= (v >> (8 * k)) & 0xff;
            h *= 0x100000001b3ULL;
        }
    };
    auto ring = [&](const T_GORV_POLYGON2D& r) {
        mix(static_cast<std::uint64_t>(r.points.GetSize()));
        for (INT_PTR i = 0; i < r.points.GetSize(); ++i) {
            std::uint64_t bx, by;
            std::memcpy(&bx, &r.points[i].x, 8);
            std::memcpy(&by, &r.points[i].y, 8);
            mix(bx);
            mix(by);
        }
    };
    std::uint64_t tb;
    std::memcpy(&tb, &c.tolerance, 8);
    mix(tb);
    for (const auto* op : {&c.a, &c.b}) {
        mix(op->size());
        for (const T_GORV_COMPLEX_POLYGON2D& p : *op) {
            ring(p.outer);
            mix(static_cast<std::uint64_t>(p.holes.GetSize()));
            for (INT_PTR k = 0; k < p.holes.GetSize(); ++k) ring(p.holes[k]);
        }
    }
    return h;
}

}  // namespace gorv_corpus
