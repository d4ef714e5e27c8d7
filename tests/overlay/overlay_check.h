// Checkers and generators shared by the overlay tests, the fuzz target and the benchmark: the
// validity of a boolean result (ring shape, orientation, start vertex, no crossings, holes inside
// their outer ring, polygons apart), areas and perimeters, regular and star polygons, ring text.
#pragma once

#include <gorv/gorv_base.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace ovtest {

typedef std::vector<T_GORV_POINT2D> Pts;
typedef CArray<T_GORV_COMPLEX_POLYGON2D> Polys;

inline T_GORV_POLYGON2D MakeRing(const Pts& v, bool bClose = true) {
    T_GORV_POLYGON2D r;
    for (const T_GORV_POINT2D& p : v) r.points.Add(p);
    if (bClose && !v.empty()) r.points.Add(v.front());
    return r;
}

inline T_GORV_COMPLEX_POLYGON2D MakePoly(const Pts& outer, const std::vector<Pts>& holes = {}, bool bClose = true) {
    T_GORV_COMPLEX_POLYGON2D c;
    c.outer = MakeRing(outer, bClose);
    for (const Pts& h : holes) c.holes.Add(MakeRing(h, bClose));
    return c;
}

inline Pts Rect(double x0, double y0, double x1, double y1) { return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}}; }

inline Pts Reversed(Pts v) {
    std::reverse(v.begin(), v.end());
    return v;
}

inline Pts RegularPolygon(double cx, double cy, double r, int n, double rotDeg = 0.0) {
    Pts v;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < n; ++i) {
        const double a = (rotDeg + 360.0 * i / n) * pi / 180.0;
        v.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return v;
}

// Small deterministic generator (xorshift64*), identical on every platform.
struct Rng {
    std::uint64_t s;
    explicit Rng(std::uint64_t seed) : s(seed * 2654435761u + 88172645463325252ull) {}
    std::uint64_t Next() {
        s ^= s >> 12;
        s ^= s << 25;
        s ^= s >> 27;
        return s * 2685821657736338717ull;
    }
    double Uniform(double a, double b) { return a + (b - a) * static_cast<double>(Next() >> 11) / 9007199254740992.0; }
    int Int(int a, int b) { return a + static_cast<int>(Next() % static_cast<std::uint64_t>(b - a + 1)); }
};

// A star polygon around (cx, cy): n vertices at increasing angles, radii in [r0, r1], every
// coordinate rounded to `grid` so that two stars share vertices and collinear pieces of edge.
inline Pts StarPolygon(Rng& rng, double cx, double cy, double r0, double r1, int n, double grid) {
    Pts v;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * pi * (i + rng.Uniform(0.3, 0.7)) / n;
        const double r = rng.Uniform(r0, r1);
        T_GORV_POINT2D p{cx + r * std::cos(a), cy + r * std::sin(a)};
        if (grid > 0) {
            p.x = std::round(p.x / grid) * grid;
            p.y = std::round(p.y / grid) * grid;
        }
        if (v.empty() || p.x != v.back().x || p.y != v.back().y) v.push_back(p);
    }
    return v;
}

inline double Area(const T_GORV_COMPLEX_POLYGON2D& c) {
    double a = CGeomFunc::CalcRingArea(c.outer);
    for (INT_PTR h = 0; h < c.holes.GetSize(); ++h) a -= CGeomFunc::CalcRingArea(c.holes[h]);
    return a;
}

inline double Area(const Polys& ps) {
    double a = 0.0;
    for (INT_PTR i = 0; i < ps.GetSize(); ++i) a += Area(ps[i]);
    return a;
}

inline double Perimeter(const T_GORV_POLYGON2D& r) {
    double p = 0.0;
    const INT_PTR n = r.points.GetSize();
    for (INT_PTR i = 0; i < n; ++i)
        p += std::hypot(r.points[(i + 1) % n].x - r.points[i].x, r.points[(i + 1) % n].y - r.points[i].y);
    return p;
}

inline double Perimeter(const Polys& ps) {
    double p = 0.0;
    for (INT_PTR i = 0; i < ps.GetSize(); ++i) {
        p += Perimeter(ps[i].outer);
        for (INT_PTR h = 0; h < ps[i].holes.GetSize(); ++h) p += Perimeter(ps[i].holes[h]);
    }
    return p;
}

inline std::string RingWkt(const T_GORV_POLYGON2D& r, bool bClose) {
    std::string s = "(";
    char buf[64];
    const INT_PTR n = r.points.GetSize();
    for (INT_PTR i = 0; i <= n; ++i) {
        if (i == n && (!bClose || n == 0)) break;
        const T_GORV_POINT2D& p = r.points[i % n];
        std::snprintf(buf, sizeof buf, "%s%.17g %.17g", i ? ", " : "", p.x, p.y);
        s += buf;
    }
    return s + ")";
}

struct Edge {
    T_GORV_POINT2D a, b;
    int poly, ring, idx, n;  // ring 0 outer, k hole k-1; idx of the edge in a ring of n edges
    double x0, x1, y0, y1;
};

inline bool Same(const T_GORV_POINT2D& a, const T_GORV_POINT2D& b) { return a.x == b.x && a.y == b.y; }

// Exact relation of two segments: 0 apart, 1 a single common point, 2 more (crossing or overlap).
inline int Meet(const T_GORV_POINT2D& a, const T_GORV_POINT2D& b, const T_GORV_POINT2D& c, const T_GORV_POINT2D& d) {
    const int o1 = GorvOrient2D(a, b, c), o2 = GorvOrient2D(a, b, d);
    const int o3 = GorvOrient2D(c, d, a), o4 = GorvOrient2D(c, d, b);
    auto on = [](const T_GORV_POINT2D& p, const T_GORV_POINT2D& q, const T_GORV_POINT2D& r) {
        return std::min(p.x, q.x) <= r.x && r.x <= std::max(p.x, q.x) && std::min(p.y, q.y) <= r.y &&
               r.y <= std::max(p.y, q.y);
    };
    if (o1 == 0 && o2 == 0) {
        // Collinear: measure the common piece along the dominant axis of the pair.
        const bool useX = std::max({a.x, b.x, c.x, d.x}) - std::min({a.x, b.x, c.x, d.x}) >=
                          std::max({a.y, b.y, c.y, d.y}) - std::min({a.y, b.y, c.y, d.y});
        auto lo = [useX](const T_GORV_POINT2D& p, const T_GORV_POINT2D& q) { return useX ? std::min(p.x, q.x) : std::min(p.y, q.y); };
        auto hi = [useX](const T_GORV_POINT2D& p, const T_GORV_POINT2D& q) { return useX ? std::max(p.x, q.x) : std::max(p.y, q.y); };
        const double l = std::max(lo(a, b), lo(c, d)), h = std::min(hi(a, b), hi(c, d));
        return l > h ? 0 : l == h ? 1 : 2;
    }
    if ((o1 > 0 && o2 > 0) || (o1 < 0 && o2 < 0) || (o3 > 0 && o4 > 0) || (o3 < 0 && o4 < 0)) return 0;
    if (o1 != 0 && o2 != 0 && o3 != 0 && o4 != 0) return 2;
    if ((o1 == 0 && on(a, b, c)) || (o2 == 0 && on(a, b, d)) || (o3 == 0 && on(c, d, a)) || (o4 == 0 && on(c, d, b)))
        return 1;
    return 0;
}

// +1 inside, -1 outside, 0 on the ring (closing edge implied).
inline int Locate(const T_GORV_POLYGON2D& r, const T_GORV_POINT2D& p) {
    const INT_PTR n = r.points.GetSize();
    int wn = 0;
    for (INT_PTR i = 0; i < n; ++i) {
        const T_GORV_POINT2D& a = r.points[i];
        const T_GORV_POINT2D& b = r.points[(i + 1) % n];
        if (Meet(a, b, p, p) != 0) return 0;
        if (a.y <= p.y) {
            if (b.y > p.y && GorvOrient2D(a, b, p) > 0) ++wn;
        } else if (b.y <= p.y && GorvOrient2D(a, b, p) < 0) {
            --wn;
        }
    }
    return wn != 0 ? 1 : -1;
}

// Empty when the result follows the output rules: rings of >= 3 vertices without closing repeat
// or repeated points, each starting at its lexicographically smallest vertex; outer rings
// counter-clockwise, holes clockwise; no edge crossing or overlapping another, rings meeting only
// at single common vertices and never themselves; holes inside their outer ring and outside each
// other; no polygon inside another's material.
inline std::string CheckResult(const Polys& ps) {
    std::vector<Edge> edges;
    char buf[160];
    for (INT_PTR i = 0; i < ps.GetSize(); ++i) {
        for (INT_PTR k = 0; k <= ps[i].holes.GetSize(); ++k) {
            const T_GORV_POLYGON2D& r = k == 0 ? ps[i].outer : ps[i].holes[k - 1];
            const INT_PTR n = r.points.GetSize();
            std::snprintf(buf, sizeof buf, "polygon %d ring %d: ", static_cast<int>(i), static_cast<int>(k));
            if (n < 3) return buf + std::string("fewer than 3 vertices");
            for (INT_PTR j = 0; j < n; ++j) {
                const T_GORV_POINT2D& p = r.points[j];
                if (!std::isfinite(p.x) || !std::isfinite(p.y)) return buf + std::string("non-finite vertex");
                if (Same(p, r.points[(j + 1) % n])) return buf + std::string("repeated point");
                if (p.x < r.points[0].x || (p.x == r.points[0].x && p.y < r.points[0].y))
                    return buf + std::string("does not start at its smallest vertex");
            }
            const int turn = GorvOrient2D(r.points[n - 1], r.points[0], r.points[1]);
            if (k == 0 && turn <= 0) return buf + std::string("outer ring not counter-clockwise");
            if (k > 0 && turn >= 0) return buf + std::string("hole not clockwise");
            for (INT_PTR j = 0; j < n; ++j) {
                const T_GORV_POINT2D& a = r.points[j];
                const T_GORV_POINT2D& b = r.points[(j + 1) % n];
                edges.push_back({a, b, static_cast<int>(i), static_cast<int>(k), static_cast<int>(j), static_cast<int>(n),
                                 std::min(a.x, b.x), std::max(a.x, b.x), std::min(a.y, b.y), std::max(a.y, b.y)});
            }
        }
    }
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.x0 < b.x0; });
    for (size_t i = 0; i < edges.size(); ++i) {
        const Edge& s = edges[i];
        for (size_t j = i + 1; j < edges.size() && edges[j].x0 <= s.x1; ++j) {
            const Edge& t = edges[j];
            if (t.y0 > s.y1 || t.y1 < s.y0) continue;
            const int m = Meet(s.a, s.b, t.a, t.b);
            if (m == 0) continue;
            std::snprintf(buf, sizeof buf, "edges %d/%d/%d and %d/%d/%d ", s.poly, s.ring, s.idx, t.poly, t.ring, t.idx);
            if (m == 2) return buf + std::string("cross or overlap");
            const bool sameRing = s.poly == t.poly && s.ring == t.ring;
            const bool adjacent = sameRing && (std::abs(s.idx - t.idx) == 1 || std::abs(s.idx - t.idx) == s.n - 1);
            if (adjacent) continue;
            if (sameRing) return buf + std::string("make the ring touch itself");
            const bool atVertex = Same(s.a, t.a) || Same(s.a, t.b) || Same(s.b, t.a) || Same(s.b, t.b);
            if (!atVertex) return buf + std::string("touch away from a common vertex");
        }
    }
    // Containment: each hole inside its outer ring, outside its sibling holes; polygons apart.
    // Exact: a vertex of `inner` off `outer` is located directly; one on it is decided by the
    // direction of inner's next edge against outer's corner (or edge) there.
    auto probe = [](const T_GORV_POLYGON2D& inner, const T_GORV_POLYGON2D& outer) {
        const INT_PTR n = inner.points.GetSize(), m = outer.points.GetSize();
        const T_GORV_POINT2D* o = outer.points.GetData();
        // Orientation of outer: the turn at its smallest vertex (output rings start there).
        const int sense = GorvOrient2D(o[m - 1], o[0], o[1]);
        for (INT_PTR j = 0; j < n; ++j) {
            const T_GORV_POINT2D& v = inner.points[j];
            const int loc = Locate(outer, v);
            if (loc != 0) return loc;
            const T_GORV_POINT2D& q = inner.points[(j + 1) % n];
            for (INT_PTR k = 0; k < m; ++k) {
                const T_GORV_POINT2D& a = o[k];
                const T_GORV_POINT2D& b = o[(k + 1) % m];
                if (Same(a, v)) {
                    // Interior wedge at the corner: from the outgoing edge turning with the ring's
                    // sense to the incoming edge reversed.
                    const T_GORV_POINT2D& prev = o[(k + m - 1) % m];
                    const int turn = GorvOrient2D(prev, v, b) * sense;  // > 0 convex corner
                    const int l1 = GorvOrient2D(v, b, q) * sense, l2 = GorvOrient2D(prev, v, q) * sense;
                    if (l1 == 0 || l2 == 0) continue;  // along an edge of outer: another vertex decides
                    const bool in = turn > 0 ? (l1 > 0 && l2 > 0) : (l1 > 0 || l2 > 0);
                    return in ? 1 : -1;
                }
                if (!Same(b, v) && Meet(a, b, v, v) != 0) {
                    const int side = GorvOrient2D(a, b, q) * sense;
                    if (side != 0) return side > 0 ? 1 : -1;
                }
            }
        }
        return 0;
    };
    for (INT_PTR i = 0; i < ps.GetSize(); ++i) {
        for (INT_PTR h = 0; h < ps[i].holes.GetSize(); ++h) {
            std::snprintf(buf, sizeof buf, "polygon %d hole %d ", static_cast<int>(i), static_cast<int>(h));
            if (probe(ps[i].holes[h], ps[i].outer) < 0) return buf + std::string("outside its outer ring");
            for (INT_PTR g = 0; g < ps[i].holes.GetSize(); ++g)
                if (g != h && probe(ps[i].holes[h], ps[i].holes[g]) > 0) return buf + std::string("inside another hole");
        }
        for (INT_PTR j = 0; j < ps.GetSize(); ++j) {
            if (j == i || probe(ps[i].outer, ps[j].outer) <= 0) continue;
            bool inHole = false;
            for (INT_PTR h = 0; h < ps[j].holes.GetSize() && !inHole; ++h)
                inHole = probe(ps[i].outer, ps[j].holes[h]) > 0;
            std::snprintf(buf, sizeof buf, "polygon %d lies in polygon %d", static_cast<int>(i), static_cast<int>(j));
            if (!inHole) return buf;
        }
    }
    return "";
}

inline Polys One(const T_GORV_COMPLEX_POLYGON2D& p) {
    Polys a;
    a.Add(p);
    return a;
}

// Runs op and returns the report; the result goes to out (cleared first).
inline T_GORV_BOOLEAN_REPORT RunOp(GORV_BOOLEAN_OP op, const Polys& a, const Polys& b, Polys& out,
                                 double tol = 0.001, bool bRepair = false) {
    out.RemoveAll();
    T_GORV_BOOLEAN_OPTIONS o;
    o.dTolerance = tol;
    o.bRepair = bRepair ? 1 : 0;
    return CGeomFunc::PolygonBoolean(op, a, b, out, o);
}

// Checks the three results of A and B against each other: valid shapes, and the areas within
// tol x (perimeter of A + perimeter of B) of what the identities |A u B| = |A| + |B| - |A n B| and
// |A - B| = |A| - |A n B| give (|A| and |B| from union with the empty set, so members may overlap).
// Empty when all holds.
inline std::string CheckIdentities(const Polys& a, const Polys& b, double tol) {
    Polys u, in, d, ua, ub;
    const Polys none;
    struct Call {
        const char* name;
        GORV_BOOLEAN_OP op;
        const Polys* x;
        const Polys* y;
        Polys* out;
    } calls[] = {{"union", GORV_BOOLEAN_UNION, &a, &b, &u},       {"intersection", GORV_BOOLEAN_INTERSECT, &a, &b, &in},
                 {"difference", GORV_BOOLEAN_SUBTRACT, &a, &b, &d}, {"A alone", GORV_BOOLEAN_UNION, &a, &none, &ua},
                 {"B alone", GORV_BOOLEAN_UNION, &b, &none, &ub}};
    for (const Call& c : calls) {
        const T_GORV_BOOLEAN_REPORT r = RunOp(c.op, *c.x, *c.y, *c.out, tol);
        if (r.eStatus == GORV_BOOLEAN_INVALID || r.eStatus == GORV_BOOLEAN_FAILED)
            return std::string(c.name) + ": status " + std::to_string(r.eStatus) + " " + r.strMessage;
        if (r.eStatus == GORV_BOOLEAN_EMPTY && c.out->GetSize() != 0) return std::string(c.name) + ": empty but appended";
        if (r.eStatus == GORV_BOOLEAN_RESULT && c.out->GetSize() == 0) return std::string(c.name) + ": result but none";
        const std::string v = CheckResult(*c.out);
        if (!v.empty()) return std::string(c.name) + ": " + v;
    }
    const double bound = tol * (Perimeter(a) + Perimeter(b)) + 1e-9 * (Area(ua) + Area(ub));
    const double eu = Area(u) - (Area(ua) + Area(ub) - Area(in));
    const double ed = Area(d) - (Area(ua) - Area(in));
    char buf[200];
    if (std::fabs(eu) > bound || std::fabs(ed) > bound) {
        std::snprintf(buf, sizeof buf, "areas off: union %.9g diff %.9g (bound %.3g)", eu, ed, bound);
        return buf;
    }
    return "";
}

}  // namespace ovtest
