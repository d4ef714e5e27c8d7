// Helpers of the polygon boolean tests: building polygons, reading simple WKT, areas and the
// shape rules of the driver's output (rings of >= 3 vertices, no closing repeat, outer
// counter-clockwise, holes clockwise, finite coordinates).
#pragma once

#include <gorv/gorv_base.h>

#include "support/wkt_read.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace booltest {

typedef std::vector<std::pair<double, double>> Ring;

// A closed input ring from its vertices (the first vertex is repeated at the end).
inline T_GORV_POLYGON2D ClosedRing(const Ring& v) {
    T_GORV_POLYGON2D r;
    for (size_t i = 0; i <= v.size() && !v.empty(); ++i) {
        T_GORV_POINT2D p;
        p.x = v[i % v.size()].first;
        p.y = v[i % v.size()].second;
        r.points.Add(p);
    }
    return r;
}

inline T_GORV_COMPLEX_POLYGON2D Poly(const Ring& outer, const std::vector<Ring>& holes = {}) {
    T_GORV_COMPLEX_POLYGON2D c;
    c.outer = ClosedRing(outer);
    for (const Ring& h : holes) c.holes.Add(ClosedRing(h));
    return c;
}

inline Ring Rect(double x0, double y0, double x1, double y1, bool ccw = true) {
    Ring r = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    return ccw ? r : Ring(r.rbegin(), r.rend());
}

inline Ring RegularPolygon(double cx, double cy, double radius, int n, double rotDeg = 0.0, bool ccw = true) {
    Ring r;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < n; ++i) {
        double a = (rotDeg + 360.0 * i / n) * pi / 180.0;
        r.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
    }
    return ccw ? r : Ring(r.rbegin(), r.rend());
}

using gorv_support::ParseWkt;

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

inline std::string Trim(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

// One case of data/booleans.txt: op | tol or - | count | area | area tolerance | A | B, where an
// operand is WKT or @file under the tests directory (read here).
struct CorpusCase {
    int nLine;
    std::vector<std::string> f;
};

inline std::vector<CorpusCase> ReadCorpus(const std::string& dataDir) {
    std::ifstream in(dataDir + "/section/data/booleans.txt");
    std::vector<CorpusCase> cases;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        CorpusCase c{n, {}};
        std::stringstream ss(line);
        for (std::string part; std::getline(ss, part, '|');) c.f.push_back(Trim(part));
        for (size_t k = 5; k < c.f.size(); ++k)
            if (c.f[k][0] == '@') c.f[k] = ReadText(dataDir + "/" + c.f[k].substr(1));
        cases.push_back(c);
    }
    return cases;
}

// Shoelace area; the closing edge is implied, so closed and open rings give the same value.
inline double SignedArea(const T_GORV_POLYGON2D& r) {
    double a = 0.0;
    const INT_PTR n = r.points.GetSize();
    for (INT_PTR i = 0; i < n; ++i) {
        const T_GORV_POINT2D& p = r.points[i];
        const T_GORV_POINT2D& q = r.points[(i + 1) % n];
        a += p.x * q.y - q.x * p.y;
    }
    return 0.5 * a;
}

inline double Area(const T_GORV_COMPLEX_POLYGON2D& c) {
    double a = std::fabs(SignedArea(c.outer));
    for (INT_PTR h = 0; h < c.holes.GetSize(); ++h) a -= std::fabs(SignedArea(c.holes[h]));
    return a;
}

inline double TotalArea(const CArray<T_GORV_COMPLEX_POLYGON2D>& out, INT_PTR from = 0) {
    double a = 0.0;
    for (INT_PTR i = from; i < out.GetSize(); ++i) a += Area(out[i]);
    return a;
}

// Empty when every result polygon from index `from` on has the driver's output shape.
inline std::string ShapeProblems(const CArray<T_GORV_COMPLEX_POLYGON2D>& out, INT_PTR from = 0) {
    auto ring = [](const T_GORV_POLYGON2D& r, bool outer) -> std::string {
        const INT_PTR n = r.points.GetSize();
        if (n < 3) return "ring with fewer than 3 vertices";
        for (INT_PTR i = 0; i < n; ++i)
            if (!std::isfinite(r.points[i].x) || !std::isfinite(r.points[i].y)) return "non-finite vertex";
        if (r.points[0].x == r.points[n - 1].x && r.points[0].y == r.points[n - 1].y) return "closing repeat";
        if (outer && SignedArea(r) <= 0.0) return "outer ring not counter-clockwise";
        if (!outer && SignedArea(r) >= 0.0) return "hole not clockwise";
        return "";
    };
    for (INT_PTR i = from; i < out.GetSize(); ++i) {
        std::string p = ring(out[i].outer, true);
        for (INT_PTR h = 0; p.empty() && h < out[i].holes.GetSize(); ++h) p = ring(out[i].holes[h], false);
        if (!p.empty()) return "polygon " + std::to_string(i) + ": " + p;
    }
    return "";
}

// WKT text of an input polygon (rings written as stored), for failure messages.
inline std::string ToWkt(const T_GORV_COMPLEX_POLYGON2D& c) {
    std::string s = "POLYGON (";
    auto ring = [&s](const T_GORV_POLYGON2D& r) {
        s += "(";
        char buf[64];
        for (INT_PTR i = 0; i < r.points.GetSize(); ++i) {
            std::snprintf(buf, sizeof buf, "%s%.17g %.17g", i ? ", " : "", r.points[i].x, r.points[i].y);
            s += buf;
        }
        s += ")";
    };
    ring(c.outer);
    for (INT_PTR h = 0; h < c.holes.GetSize(); ++h) {
        s += ", ";
        ring(c.holes[h]);
    }
    return s + ")";
}

// Runs op ("union", "intersect", "subtract") into out.
inline void Run(const std::string& op, const T_GORV_COMPLEX_POLYGON2D& a, const T_GORV_COMPLEX_POLYGON2D& b,
                CArray<T_GORV_COMPLEX_POLYGON2D>& out, double tol = 0.001) {
    if (op == "union") CGeomFunc::Union2Polygon(a, b, out);
    else if (op == "intersect") CGeomFunc::Intersect2Polygon(a, b, out);
    else CGeomFunc::Subtract2Polygon(a, b, out, tol);
}

}  // namespace booltest
