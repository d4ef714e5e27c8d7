// The GEOS referee of the overlay engine (C API, reentrant functions, one context per oracle).
// GEOS computes each operation on the unary unions of the operands' members at full floating
// precision; the engine's answer may differ from it only where snapping moves edges.
#include "support/overlay_oracle.h"

#include <geos_c.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <vector>

namespace gorv_oracle {
namespace {

struct GeomDeleter {
    GEOSContextHandle_t h = nullptr;
    void operator()(GEOSGeometry* g) const {
        if (g) GEOSGeom_destroy_r(h, g);
    }
};
typedef std::unique_ptr<GEOSGeometry, GeomDeleter> Geom;

// Shoelace area relative to the first vertex, so that far-off coordinates do not cancel away the
// area of a small ring.
double SignedArea(const T_GORV_POLYGON2D& r) {
    const INT_PTR n = r.points.GetSize();
    if (n < 3) return 0.0;
    const double x0 = r.points[0].x, y0 = r.points[0].y;
    double a = 0.0;
    for (INT_PTR i = 1; i + 1 < n; ++i) {
        const double px = r.points[i].x - x0, py = r.points[i].y - y0;
        const double qx = r.points[i + 1].x - x0, qy = r.points[i + 1].y - y0;
        a += px * qy - qx * py;
    }
    return 0.5 * a;
}

double ResultArea(const CArray<T_GORV_COMPLEX_POLYGON2D>& v) {
    double a = 0.0;
    for (INT_PTR i = 0; i < v.GetSize(); ++i) {
        a += std::fabs(SignedArea(v[i].outer));
        for (INT_PTR h = 0; h < v[i].holes.GetSize(); ++h) a -= std::fabs(SignedArea(v[i].holes[h]));
    }
    return a;
}

template <class Fn>
void ForEachRing(const std::vector<T_GORV_COMPLEX_POLYGON2D>& v, Fn fn) {
    for (const T_GORV_COMPLEX_POLYGON2D& p : v) {
        fn(p.outer);
        for (INT_PTR k = 0; k < p.holes.GetSize(); ++k) fn(p.holes[k]);
    }
}

std::string Num(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.6g", v);
    return buf;
}

const char* StatusName(GORV_BOOLEAN_STATUS s) {
    return s == GORV_BOOLEAN_RESULT    ? "result"
           : s == GORV_BOOLEAN_EMPTY   ? "empty"
           : s == GORV_BOOLEAN_INVALID ? "invalid input"
                                       : "failed";
}

}  // namespace

const char* VerdictName(int verdict) {
    static const char* const names[kVerdictCount] = {"agree", "disagree", "invalid", "failed"};
    return verdict >= 0 && verdict < kVerdictCount ? names[verdict] : "?";
}

const char* OpName(GORV_BOOLEAN_OP op) {
    return op == GORV_BOOLEAN_UNION ? "union" : op == GORV_BOOLEAN_INTERSECT ? "intersection" : "difference";
}

std::string RingRuleProblems(const CArray<T_GORV_COMPLEX_POLYGON2D>& result) {
    auto ring = [](const T_GORV_POLYGON2D& r, bool outer) -> std::string {
        const INT_PTR n = r.points.GetSize();
        if (n < 3) return "a ring of " + std::to_string(n) + " vertices";
        for (INT_PTR i = 0; i < n; ++i)
            if (!std::isfinite(r.points[i].x) || !std::isfinite(r.points[i].y)) return "a coordinate not finite";
        if (r.points[0].x == r.points[n - 1].x && r.points[0].y == r.points[n - 1].y) return "a closing repeat";
        const double a = SignedArea(r);
        if (outer && !(a > 0.0)) return "an outer ring not counter-clockwise";
        if (!outer && !(a < 0.0)) return "a hole not clockwise";
        return "";
    };
    for (INT_PTR i = 0; i < result.GetSize(); ++i) {
        std::string p = ring(result[i].outer, true);
        for (INT_PTR h = 0; p.empty() && h < result[i].holes.GetSize(); ++h) p = ring(result[i].holes[h], false);
        if (!p.empty()) return "polygon " + std::to_string(i) + " has " + p;
    }
    return "";
}

namespace {

bool LexLess(const T_GORV_POINT2D& a, const T_GORV_POINT2D& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); }

// x < y vertex by vertex from the start (a ring that is a prefix of the other comes first).
bool RingLess(const T_GORV_POLYGON2D& x, const T_GORV_POLYGON2D& y) {
    const INT_PTR n = std::min(x.points.GetSize(), y.points.GetSize());
    for (INT_PTR i = 0; i < n; ++i) {
        if (LexLess(x.points[i], y.points[i])) return true;
        if (LexLess(y.points[i], x.points[i])) return false;
    }
    return x.points.GetSize() < y.points.GetSize();
}

}  // namespace

std::string OrderProblems(const CArray<T_GORV_COMPLEX_POLYGON2D>& result) {
    auto start = [](const T_GORV_POLYGON2D& r) {
        for (INT_PTR i = 1; i < r.points.GetSize(); ++i)
            if (!LexLess(r.points[0], r.points[i])) return false;
        return true;
    };
    for (INT_PTR i = 0; i < result.GetSize(); ++i) {
        const T_GORV_COMPLEX_POLYGON2D& p = result[i];
        if (!start(p.outer)) return "polygon " + std::to_string(i) + ": outer ring does not start at its smallest vertex";
        for (INT_PTR h = 0; h < p.holes.GetSize(); ++h) {
            if (!start(p.holes[h]))
                return "polygon " + std::to_string(i) + ": hole " + std::to_string(h) + " does not start at its smallest vertex";
            if (h > 0 && RingLess(p.holes[h], p.holes[h - 1]))
                return "polygon " + std::to_string(i) + ": holes " + std::to_string(h - 1) + " and " + std::to_string(h) +
                       " out of order";
        }
        if (i > 0 && RingLess(p.outer, result[i - 1].outer))
            return "polygons " + std::to_string(i - 1) + " and " + std::to_string(i) + " out of order";
    }
    return "";
}

struct GeosOracle::Impl {
    GEOSContextHandle_t h = nullptr;
    std::string lastError;
    double tol = 0.001;
    double areaA = 0.0, areaB = 0.0, lenA = 0.0, lenB = 0.0;
    Geom ua, ub, edges, band;  // empty until a case is set (their deleters get the context then)
    Geom geosResult[3], geosSnapped[3];
    bool geosDone[3] = {false, false, false};
    std::vector<T_GORV_POINT2D> segs;  // input edges as point pairs

    void AddSegments(const std::vector<T_GORV_COMPLEX_POLYGON2D>& v) {
        ForEachRing(v, [&](const T_GORV_POLYGON2D& r) {
            const INT_PTR n = r.points.GetSize();
            for (INT_PTR i = 0; i < n; ++i) segs.insert(segs.end(), {r.points[i], r.points[(i + 1) % n]});
        });
    }

    // A grid over the input edges for NearInput: each cell lists the edges whose box, widened by
    // the query distance, meets it.
    double gx0 = 0.0, gy0 = 0.0, gcell = 1.0, greach = 0.0;
    int gnx = 0, gny = 0;
    std::vector<std::vector<std::uint32_t>> gcells;

    void BuildGrid(double reach) {
        gcells.clear();
        gnx = gny = 0;
        greach = reach;
        if (segs.empty()) return;
        double x0 = segs[0].x, y0 = segs[0].y, x1 = x0, y1 = y0;
        for (const T_GORV_POINT2D& p : segs) {
            x0 = std::fmin(x0, p.x);
            y0 = std::fmin(y0, p.y);
            x1 = std::fmax(x1, p.x);
            y1 = std::fmax(y1, p.y);
        }
        gx0 = x0 - reach;
        gy0 = y0 - reach;
        // About one cell per edge, at most 256 a side.
        const double side = std::fmin(256.0, std::ceil(std::sqrt(static_cast<double>(segs.size() / 2))));
        gcell = std::fmax(std::fmax(x1 - x0, y1 - y0) + 2.0 * reach, 1e-300) / std::fmax(side, 1.0);
        gnx = static_cast<int>((x1 - x0 + 2.0 * reach) / gcell) + 1;
        gny = static_cast<int>((y1 - y0 + 2.0 * reach) / gcell) + 1;
        gcells.assign(static_cast<size_t>(gnx) * static_cast<size_t>(gny), {});
        for (size_t i = 0; i < segs.size(); i += 2) {
            const T_GORV_POINT2D& a = segs[i];
            const T_GORV_POINT2D& b = segs[i + 1];
            const int cx0 = Cell(std::fmin(a.x, b.x) - reach - gx0, gnx), cx1 = Cell(std::fmax(a.x, b.x) + reach - gx0, gnx);
            const int cy0 = Cell(std::fmin(a.y, b.y) - reach - gy0, gny), cy1 = Cell(std::fmax(a.y, b.y) + reach - gy0, gny);
            for (int cy = cy0; cy <= cy1; ++cy)
                for (int cx = cx0; cx <= cx1; ++cx)
                    gcells[static_cast<size_t>(cy) * static_cast<size_t>(gnx) + static_cast<size_t>(cx)].push_back(
                        static_cast<std::uint32_t>(i));
        }
    }

    int Cell(double offset, int n) const {
        const double c = std::floor(offset / gcell);
        return c < 0.0 ? 0 : c >= n ? n - 1 : static_cast<int>(c);
    }

    // Is p within d (at most the grid's reach) of some input edge?
    bool NearInput(const T_GORV_POINT2D& p, double d) const {
        if (gcells.empty() || !(d <= greach)) return false;
        if (p.x < gx0 || p.y < gy0 || p.x > gx0 + gnx * gcell || p.y > gy0 + gny * gcell) return false;
        const std::vector<std::uint32_t>& list =
            gcells[static_cast<size_t>(Cell(p.y - gy0, gny)) * static_cast<size_t>(gnx) + static_cast<size_t>(Cell(p.x - gx0, gnx))];
        for (std::uint32_t i : list) {
            const T_GORV_POINT2D& a = segs[i];
            const T_GORV_POINT2D& b = segs[i + 1];
            const double ex = b.x - a.x, ey = b.y - a.y, l2 = ex * ex + ey * ey;
            double t = l2 > 0.0 ? ((p.x - a.x) * ex + (p.y - a.y) * ey) / l2 : 0.0;
            t = std::fmax(0.0, std::fmin(1.0, t));
            const double dx = p.x - (a.x + t * ex), dy = p.y - (a.y + t * ey);
            if (dx * dx + dy * dy <= d * d) return true;
        }
        return false;
    }

    // "" when every result vertex lies within 2 x tolerance of an input edge (results are built
    // from input vertices and crossings, moved by snapping only).
    std::string StrayVertex(const CArray<T_GORV_COMPLEX_POLYGON2D>& result) const {
        const double d = 2.0 * tol * (1.0 + 1e-9);
        auto ring = [&](const T_GORV_POLYGON2D& r) -> std::string {
            for (INT_PTR i = 0; i < r.points.GetSize(); ++i)
                if (!NearInput(r.points[i], d))
                    return "vertex (" + Num(r.points[i].x) + ", " + Num(r.points[i].y) +
                           ") farther than 2 x tolerance from every input edge";
            return "";
        };
        for (INT_PTR i = 0; i < result.GetSize(); ++i) {
            std::string p = ring(result[i].outer);
            for (INT_PTR h = 0; p.empty() && h < result[i].holes.GetSize(); ++h) p = ring(result[i].holes[h]);
            if (!p.empty()) return p;
        }
        return "";
    }

    static void OnError(const char* message, void* self) { static_cast<Impl*>(self)->lastError = message ? message : ""; }

    Geom Own(GEOSGeometry* g) { return Geom(g, GeomDeleter{h}); }

    double Area(const GEOSGeometry* g) {
        double a = 0.0;
        return g && GEOSArea_r(h, g, &a) ? a : -1.0;
    }

    // Coordinates of a ring, closed for GEOS; null with fewer than three vertices.
    GEOSCoordSequence* Seq(const T_GORV_POLYGON2D& r) {
        INT_PTR n = r.points.GetSize();
        if (n > 1 && r.points[0].x == r.points[n - 1].x && r.points[0].y == r.points[n - 1].y) --n;
        if (n < 3) return nullptr;
        GEOSCoordSequence* s = GEOSCoordSeq_create_r(h, static_cast<unsigned>(n + 1), 2);
        for (INT_PTR i = 0; i <= n; ++i) {
            const T_GORV_POINT2D& p = r.points[i % n];
            GEOSCoordSeq_setXY_r(h, s, static_cast<unsigned>(i), p.x, p.y);
        }
        return s;
    }

    GEOSGeometry* Ring(const T_GORV_POLYGON2D& r) {
        GEOSCoordSequence* s = Seq(r);
        return s ? GEOSGeom_createLinearRing_r(h, s) : nullptr;
    }

    Geom Polygon(const T_GORV_COMPLEX_POLYGON2D& p) {
        GEOSGeometry* shell = Ring(p.outer);
        if (!shell) return Own(nullptr);
        std::vector<GEOSGeometry*> holes;
        for (INT_PTR k = 0; k < p.holes.GetSize(); ++k) {
            GEOSGeometry* r = Ring(p.holes[k]);
            if (!r) {
                GEOSGeom_destroy_r(h, shell);
                for (GEOSGeometry* g : holes) GEOSGeom_destroy_r(h, g);
                return Own(nullptr);
            }
            holes.push_back(r);
        }
        return Own(GEOSGeom_createPolygon_r(h, shell, holes.empty() ? nullptr : holes.data(),
                                            static_cast<unsigned>(holes.size())));
    }

    // A collection of the given type taking the geometries over; null if any is null.
    Geom Collection(int type, std::vector<Geom>& parts) {
        std::vector<GEOSGeometry*> raw;
        for (Geom& g : parts)
            if (!g) return Own(nullptr);
        for (Geom& g : parts) raw.push_back(g.release());
        return Own(GEOSGeom_createCollection_r(h, type, raw.empty() ? nullptr : raw.data(),
                                               static_cast<unsigned>(raw.size())));
    }

    // Only the polygons of g (an intersection may also hold lines and points where inputs touch).
    void Polygons(const GEOSGeometry* g, std::vector<Geom>& out) {
        const int type = GEOSGeomTypeId_r(h, g);
        if (type == GEOS_POLYGON) {
            if (!GEOSisEmpty_r(h, g)) out.push_back(Own(GEOSGeom_clone_r(h, g)));
        } else if (type == GEOS_MULTIPOLYGON || type == GEOS_GEOMETRYCOLLECTION) {
            const int n = GEOSGetNumGeometries_r(h, g);
            for (int i = 0; i < n; ++i) Polygons(GEOSGetGeometryN_r(h, g, i), out);
        }
    }

    Geom Operand(const std::vector<T_GORV_COMPLEX_POLYGON2D>& v, const char* name, std::string* why) {
        std::vector<Geom> parts;
        for (size_t i = 0; i < v.size(); ++i) {
            Geom p = Polygon(v[i]);
            if (!p || GEOSisValid_r(h, p.get()) != 1) {
                if (why) {
                    char* reason = p ? GEOSisValidReason_r(h, p.get()) : nullptr;
                    *why = std::string(name) + " polygon " + std::to_string(i) + ": " +
                           (reason ? reason : "cannot be built (" + lastError + ")");
                    if (reason) GEOSFree_r(h, reason);
                }
                return Own(nullptr);
            }
            parts.push_back(std::move(p));
        }
        if (parts.empty()) return Own(GEOSGeom_createEmptyPolygon_r(h));
        Geom all = Collection(GEOS_GEOMETRYCOLLECTION, parts);
        Geom u = Own(all ? GEOSUnaryUnion_r(h, all.get()) : nullptr);
        if (!u && why) *why = std::string(name) + ": GEOS cannot unite the members (" + lastError + ")";
        return u;
    }

    void AddEdges(const std::vector<T_GORV_COMPLEX_POLYGON2D>& v, std::vector<Geom>& lines) {
        ForEachRing(v, [&](const T_GORV_POLYGON2D& r) {
            if (GEOSCoordSequence* s = Seq(r)) lines.push_back(Own(GEOSGeom_createLineString_r(h, s)));
        });
    }

    // A GEOS overlay (0 union, 1 intersection, 2 difference). GEOS's floating overlay can go wrong
    // without a word on nearly coincident edges (a difference of two near copies coming back as
    // the whole first operand), while its snap-rounding overlay, to a grid of tolerance / 1000
    // (moving edges by far less than the band of 2 x tolerance differences are judged outside
    // of), is robust by construction but slower; the floating overlay is the fallback.
    Geom Overlay(int kind, const GEOSGeometry* a, const GEOSGeometry* b, bool snapRounded) {
        GEOSGeometry* g = nullptr;
        if (snapRounded) {
            const double grid = tol * 1e-3;
            g = kind == 0   ? GEOSUnionPrec_r(h, a, b, grid)
                : kind == 1 ? GEOSIntersectionPrec_r(h, a, b, grid)
                            : GEOSDifferencePrec_r(h, a, b, grid);
        }
        if (!g)
            g = kind == 0   ? GEOSUnion_r(h, a, b)
                : kind == 1 ? GEOSIntersection_r(h, a, b)
                            : GEOSDifference_r(h, a, b);
        return Own(g);
    }

    const GEOSGeometry* Band() {
        if (!band && edges)
            band = Own(GEOSBufferWithStyle_r(h, edges.get(), 2.0 * tol, 4, GEOSBUF_CAP_ROUND, GEOSBUF_JOIN_ROUND, 5.0));
        return band.get();
    }

    // Area of the symmetric difference of x and y outside the band around the input edges (its
    // two halves); negative if GEOS cannot tell.
    double Outside(const GEOSGeometry* x, const GEOSGeometry* y, bool snapRounded) {
        const double limit = 1e-6 * (areaA + areaB);
        Geom halves[2] = {Overlay(2, x, y, snapRounded), Overlay(2, y, x, snapRounded)};
        double raw = 0.0;
        for (Geom& d : halves) {
            const double a = Area(d.get());
            if (a < 0.0) return -1.0;
            raw += a;
        }
        if (raw <= limit || !Band()) return raw;
        double outside = 0.0;
        for (Geom& d : halves) {
            if (GEOSisValid_r(h, d.get()) != 1) d = Own(GEOSMakeValid_r(h, d.get()));
            // Only the band's part around d matters: clipping it first keeps the overlay small.
            double x0 = 0, y0 = 0, x1 = 0, y1 = 0;
            Geom near = d && GEOSGeom_getExtent_r(h, d.get(), &x0, &y0, &x1, &y1)
                            ? Own(GEOSClipByRect_r(h, Band(), x0 - tol, y0 - tol, x1 + tol, y1 + tol))
                            : Own(nullptr);
            Geom rest = d ? Overlay(2, d.get(), near ? near.get() : Band(), snapRounded) : Own(nullptr);
            const double a = Area(rest.get());
            if (a < 0.0) return -1.0;
            outside += a;
        }
        return outside;
    }

    const GEOSGeometry* GeosSnapRounded(GORV_BOOLEAN_OP op) {
        const int k = static_cast<int>(op);
        if (!geosSnapped[k] && ua && ub) {
            Geom g = Overlay(k, ua.get(), ub.get(), true);
            std::vector<Geom> polys;
            if (g) Polygons(g.get(), polys);
            geosSnapped[k] = g ? (polys.empty() ? Own(GEOSGeom_createEmptyPolygon_r(h)) : Collection(GEOS_MULTIPOLYGON, polys))
                               : Own(nullptr);
        }
        return geosSnapped[k].get();
    }

    const GEOSGeometry* GeosResult(GORV_BOOLEAN_OP op) {
        const int k = static_cast<int>(op);
        if (!geosDone[k] && ua && ub) {
            geosDone[k] = true;
            Geom g = Overlay(static_cast<int>(op), ua.get(), ub.get(), false);
            if (g && GEOSisValid_r(h, g.get()) != 1) {
                // GEOS's own answer is not always valid (a sliver folded onto an edge): its valid
                // form serves as the reference.
                g = Own(GEOSMakeValid_r(h, g.get()));
            }
            if (g) {
                std::vector<Geom> polys;
                Polygons(g.get(), polys);
                geosResult[k] = polys.empty() ? Own(GEOSGeom_createEmptyPolygon_r(h)) : Collection(GEOS_MULTIPOLYGON, polys);
            }
        }
        return geosResult[k].get();
    }
};

GeosOracle::GeosOracle() : m_impl(new Impl) {
    m_impl->h = GEOS_init_r();
    GEOSContext_setErrorMessageHandler_r(m_impl->h, &Impl::OnError, m_impl.get());
}

GeosOracle::~GeosOracle() {
    // Geometries first, then their context.
    m_impl->ua.reset();
    m_impl->ub.reset();
    m_impl->edges.reset();
    m_impl->band.reset();
    for (Geom& g : m_impl->geosResult) g.reset();
    for (Geom& g : m_impl->geosSnapped) g.reset();
    GEOS_finish_r(m_impl->h);
}

bool GeosOracle::SetCase(const gorv_corpus::Case& c, std::string* why) {
    Impl& m = *m_impl;
    for (Geom& g : m.geosResult) g.reset();
    for (bool& d : m.geosDone) d = false;
    for (Geom& g : m.geosSnapped) g.reset();
    m.band.reset();
    m.tol = c.tolerance;
    m.segs.clear();
    m.AddSegments(c.a);
    m.AddSegments(c.b);
    m.BuildGrid(2.0 * c.tolerance * (1.0 + 1e-9));
    m.ua = m.Operand(c.a, "A", why);
    m.ub = m.ua ? m.Operand(c.b, "B", why) : m.Own(nullptr);
    std::vector<Geom> lines;
    m.AddEdges(c.a, lines);
    m.AddEdges(c.b, lines);
    m.edges = m.Collection(GEOS_MULTILINESTRING, lines);
    if (!m.ua || !m.ub) return false;
    m.areaA = m.Area(m.ua.get());
    m.areaB = m.Area(m.ub.get());
    GEOSLength_r(m.h, m.ua.get(), &m.lenA);
    GEOSLength_r(m.h, m.ub.get(), &m.lenB);
    return true;
}

double GeosOracle::GeosArea(GORV_BOOLEAN_OP op) { return m_impl->Area(m_impl->GeosResult(op)); }

Outcome GeosOracle::Check(GORV_BOOLEAN_OP op, const T_GORV_BOOLEAN_REPORT& report,
                          const CArray<T_GORV_COMPLEX_POLYGON2D>& result) {
    Impl& m = *m_impl;
    Outcome o;
    o.outsideLimit = 1e-6 * (m.areaA + m.areaB);
    o.areaLimit = m.tol * (m.lenA + m.lenB);
    o.areaOurs = ResultArea(result);
    if (result.GetSize() > 0) o.resultWkt = gorv_corpus::ToWkt(result);
    const GEOSGeometry* g = m.GeosResult(op);
    o.areaGeos = m.Area(g);
    if (report.eStatus == GORV_BOOLEAN_FAILED) {
        o.verdict = kFailed;
        o.detail = "status failed: " + report.strMessage;
        return o;
    }
    if (report.eStatus == GORV_BOOLEAN_INVALID) {
        o.verdict = kFailed;
        o.detail = "valid input refused (operand " + std::to_string(report.nOperand) + ", polygon " +
                   std::to_string(report.nPolygon) + ", ring " + std::to_string(report.nRing) + "): " + report.strMessage;
        return o;
    }
    if ((report.eStatus == GORV_BOOLEAN_RESULT) != (result.GetSize() > 0)) {
        o.verdict = kInvalid;
        o.detail = std::string("status ") + StatusName(report.eStatus) + " with " + std::to_string(result.GetSize()) +
                   " polygons appended";
        return o;
    }
    std::string rules = RingRuleProblems(result);
    if (rules.empty()) rules = m.StrayVertex(result);
    if (rules.empty()) rules = OrderProblems(result);
    if (!rules.empty()) {
        o.verdict = kInvalid;
        o.detail = rules;
    }
    std::vector<Geom> polys;
    const bool buildable = RingRuleProblems(result).empty();
    for (INT_PTR i = 0; i < result.GetSize() && buildable; ++i) polys.push_back(m.Polygon(result[i]));
    Geom ours = buildable ? (polys.empty() ? m.Own(GEOSGeom_createEmptyPolygon_r(m.h))
                                               : m.Collection(GEOS_MULTIPOLYGON, polys))
                          : m.Own(nullptr);
    if (buildable && !ours) {
        o.verdict = kInvalid;
        o.detail = "GEOS cannot build the result (" + m.lastError + ")";
    } else if (ours && GEOSisValid_r(m.h, ours.get()) != 1) {
        char* reason = GEOSisValidReason_r(m.h, ours.get());
        o.verdict = kInvalid;
        o.detail += std::string(o.detail.empty() ? "" : "; ") + "not valid: " + (reason ? reason : "?");
        if (reason) GEOSFree_r(m.h, reason);
        ours = m.Own(GEOSMakeValid_r(m.h, ours.get()));
    }
    if (!g) {
        if (o.verdict == kAgree) {
            o.verdict = kDisagree;
            o.detail = "GEOS failed on this operation (" + m.lastError + ")";
        }
        return o;
    }
    std::string disagreement;
    if (ours) {
        // GEOS's floating overlay is fast but can go wrong on nearly coincident edges, and only
        // ever showed too large a difference: a difference it reports is measured again with
        // snap-rounding, and then against GEOS's snap-rounded result, before the engine is blamed.
        o.outside = m.Outside(ours.get(), g, false);
        if (!(o.outside >= 0.0 && o.outside <= o.outsideLimit)) o.outside = m.Outside(ours.get(), g, true);
        if (o.outside > o.outsideLimit || std::fabs(o.areaOurs - o.areaGeos) > o.areaLimit) {
            const GEOSGeometry* g2 = m.GeosSnapRounded(op);
            const double outside2 = g2 ? m.Outside(ours.get(), g2, true) : -1.0;
            const double area2 = m.Area(g2);
            if (outside2 >= 0.0 && outside2 <= o.outsideLimit && std::fabs(o.areaOurs - area2) <= o.areaLimit) {
                o.outside = outside2;
                o.areaGeos = area2;
            }
        }
        if (o.outside < 0.0) disagreement = "GEOS cannot compare the results (" + m.lastError + ")";
        else if (o.outside > o.outsideLimit)
            disagreement = "symmetric difference outside the band " + Num(o.outside) + " > " + Num(o.outsideLimit);
    }
    if (std::fabs(o.areaOurs - o.areaGeos) > o.areaLimit) {
        if (!disagreement.empty()) disagreement += "; ";
        disagreement += "area " + Num(o.areaOurs) + " vs GEOS " + Num(o.areaGeos) + " (bound " + Num(o.areaLimit) + ")";
    }
    if (!disagreement.empty()) {
        if (o.verdict == kAgree) {
            o.verdict = kDisagree;
            o.detail = disagreement;
        } else {
            o.detail += "; " + disagreement;
        }
    }
    return o;
}

Outcome RunAndCheck(GeosOracle& oracle, const gorv_corpus::Case& c, GORV_BOOLEAN_OP op, bool twice) {
    const CArray<T_GORV_COMPLEX_POLYGON2D> a = gorv_corpus::ToArray(c.a), b = gorv_corpus::ToArray(c.b);
    CArray<T_GORV_COMPLEX_POLYGON2D> result;
    T_GORV_BOOLEAN_OPTIONS options;
    options.dTolerance = c.tolerance;
    T_GORV_BOOLEAN_REPORT report;
    const auto t0 = std::chrono::steady_clock::now();
    try {
        report = CGeomFunc::PolygonBoolean(op, a, b, result, options);
    } catch (const std::exception& e) {
        // The entry point promises a status, never an exception (not even out of memory).
        Outcome o;
        o.verdict = kFailed;
        o.detail = std::string("threw ") + e.what();
        return o;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    Outcome o = oracle.Check(op, report, result);
    o.engineSeconds = seconds;
    if (twice && o.verdict == kAgree) {
        CArray<T_GORV_COMPLEX_POLYGON2D> again;
        const T_GORV_BOOLEAN_REPORT report2 = CGeomFunc::PolygonBoolean(op, a, b, again, options);
        // The WKT's 17 significant digits tell every two doubles apart (and -0 from 0).
        if (report2.eStatus != report.eStatus || gorv_corpus::ToWkt(result) != gorv_corpus::ToWkt(again)) {
            o.verdict = kInvalid;
            o.detail = "a second run on the same input gave a different result";
        }
    }
    return o;
}

}  // namespace gorv_oracle
