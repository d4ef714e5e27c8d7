// CGeomFunc's checked polygon booleans on the overlay engine: input cleaning and validation with
// a report of the first problem, the repair rule, orientation of the rings, the engine call and
// the conversion of its output. Also the ring area and the per-thread engine switch.
#include <gorv/geom/geom_func.h>
#include <gorv/overlay/overlay.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "overlay/overlay_engine.h"

namespace detail {
namespace overlay {
namespace {

thread_local GORV_BOOLEAN_ENGINE t_engine = GORV_ENGINE_MODELER;

struct Problem {
    GORV_BOOLEAN_PROBLEM eProblem = GORV_PROBLEM_NONE;
    int nRing = -1;
    int nOther = -1;  // the other ring of a pair, for the message
};

std::string RingName(int nRing) {
    return nRing == 0 ? std::string("outer ring") : "hole " + std::to_string(nRing - 1);
}

std::string ProblemText(GORV_BOOLEAN_PROBLEM e, int nOther) {
    switch (e) {
    case GORV_PROBLEM_TOO_FEW_VERTICES: return "has fewer than three distinct vertices";
    case GORV_PROBLEM_SELF_CROSSING: return "crosses or touches itself";
    case GORV_PROBLEM_HOLE_CROSSES_OUTER: return "crosses the outer ring or shares a piece of edge with it";
    case GORV_PROBLEM_HOLE_OUTSIDE: return "lies outside the outer ring";
    case GORV_PROBLEM_HOLES_OVERLAP: return "overlaps " + RingName(nOther) + " or shares a piece of edge with it";
    case GORV_PROBLEM_HOLES_NESTED: return "lies inside " + RingName(nOther);
    case GORV_PROBLEM_COORDINATE: return "has a coordinate that is not finite or beyond +-1e100";
    default: return "is invalid";
    }
}

bool CoordOk(double d) { return std::isfinite(d) && std::fabs(d) <= CGeomFunc::kMaxPolygonCoordinate; }

// Copies the ring without consecutive repeats and without closing repeat. Returns false on a
// coordinate that is not finite or out of range.
bool CleanRing(const T_GORV_POLYGON2D& ring, std::vector<Pt>& out) {
    out.clear();
    const INT_PTR n = ring.points.GetSize();
    const T_GORV_POINT2D* p = ring.points.GetData();
    for (INT_PTR i = 0; i < n; ++i) {
        if (!CoordOk(p[i].x) || !CoordOk(p[i].y)) return false;
        const Pt q{p[i].x, p[i].y};
        if (out.empty() || out.back() != q) out.push_back(q);
    }
    while (out.size() > 1 && out.back() == out.front()) out.pop_back();
    return true;
}

bool HasThreeDistinct(const std::vector<Pt>& r) {
    if (r.size() < 3) return false;
    for (std::size_t i = 1; i < r.size(); ++i)
        if (r[i] != r[0] && r[i] != r[1]) return true;
    return false;
}

// Twice the signed area (positive counter-clockwise).
double SignedArea2(const std::vector<Pt>& r) {
    double a = 0.0;
    const Pt o = r[0];
    for (std::size_t i = 1; i + 1 < r.size(); ++i)
        a += (r[i].x - o.x) * (r[i + 1].y - o.y) - (r[i + 1].x - o.x) * (r[i].y - o.y);
    return a;
}

// +1 counter-clockwise, -1 clockwise, exactly for a simple ring: the turn at its smallest vertex.
int SimpleRingTurn(const std::vector<Pt>& r) {
    std::size_t m = 0;
    for (std::size_t i = 1; i < r.size(); ++i)
        if (LexLess(r[i], r[m])) m = i;
    const Pt& prev = r[m == 0 ? r.size() - 1 : m - 1];
    const Pt& next = r[m + 1 == r.size() ? 0 : m + 1];
    return Orient(prev, r[m], next);
}

struct SegRef {
    int ring;
    int idx;
    double x0, y0, x1, y1;
};

void Consider(Problem& best, GORV_BOOLEAN_PROBLEM e, int nRing, int nOther) {
    if (best.eProblem == GORV_PROBLEM_NONE || nRing < best.nRing ||
        (nRing == best.nRing && (e < best.eProblem || (e == best.eProblem && nOther < best.nOther)))) {
        best.eProblem = e;
        best.nRing = nRing;
        best.nOther = nOther;
    }
}

// A vertex of `inner` that is not on the boundary of `outer` classified against it (+1 inside,
// -1 outside); when every vertex lies on it, the midpoint of the first edge decides.
int LocateRing(const std::vector<Pt>& inner, const std::vector<Pt>& outer) {
    const int n = static_cast<int>(outer.size());
    for (const Pt& p : inner) {
        const int loc = LocateInRing(outer.data(), n, p);
        if (loc != 0) return loc;
    }
    const Pt mid{0.5 * (inner[0].x + inner[1].x), 0.5 * (inner[0].y + inner[1].y)};
    const int loc = LocateInRing(outer.data(), n, mid);
    return loc == 0 ? 1 : loc;
}

// Checks one polygon's rings (already cleaned, each with three distinct vertices).
Problem CheckPolygon(const std::vector<std::vector<Pt>>& rings) {
    Problem best;
    std::vector<SegRef> segs;
    for (std::size_t r = 0; r < rings.size(); ++r) {
        const std::vector<Pt>& v = rings[r];
        for (std::size_t i = 0; i < v.size(); ++i) {
            const Pt& a = v[i];
            const Pt& b = v[i + 1 == v.size() ? 0 : i + 1];
            segs.push_back({static_cast<int>(r), static_cast<int>(i), std::min(a.x, b.x), std::min(a.y, b.y),
                            std::max(a.x, b.x), std::max(a.y, b.y)});
        }
    }
    std::sort(segs.begin(), segs.end(), [](const SegRef& a, const SegRef& b) {
        if (a.x0 != b.x0) return a.x0 < b.x0;
        if (a.ring != b.ring) return a.ring < b.ring;
        return a.idx < b.idx;
    });
    auto pt = [&](int ring, int idx) -> const Pt& {
        const std::vector<Pt>& v = rings[static_cast<std::size_t>(ring)];
        return v[static_cast<std::size_t>(idx) % v.size()];
    };
    for (std::size_t i = 0; i < segs.size(); ++i) {
        const SegRef& s = segs[i];
        for (std::size_t j = i + 1; j < segs.size() && segs[j].x0 <= s.x1; ++j) {
            const SegRef& t = segs[j];
            if (t.y0 > s.y1 || t.y1 < s.y0) continue;
            const SegMeet m = MeetSegments(pt(s.ring, s.idx), pt(s.ring, s.idx + 1), pt(t.ring, t.idx),
                                           pt(t.ring, t.idx + 1));
            if (m == SegMeet::kNone) continue;
            if (s.ring == t.ring) {
                const int n = static_cast<int>(rings[static_cast<std::size_t>(s.ring)].size());
                const int d = std::abs(s.idx - t.idx);
                const bool adjacent = d == 1 || d == n - 1;
                if (!adjacent || m == SegMeet::kOverlap) Consider(best, GORV_PROBLEM_SELF_CROSSING, s.ring, -1);
            } else if (m != SegMeet::kTouch) {
                const int lo = std::min(s.ring, t.ring), hi = std::max(s.ring, t.ring);
                if (lo == 0) Consider(best, GORV_PROBLEM_HOLE_CROSSES_OUTER, hi, 0);
                else Consider(best, GORV_PROBLEM_HOLES_OVERLAP, hi, lo);
            }
        }
    }
    if (best.eProblem != GORV_PROBLEM_NONE) return best;
    // No ring meets another except at single points: containment decides the rest.
    std::vector<SegRef> boxes(rings.size());
    for (std::size_t r = 0; r < rings.size(); ++r) {
        SegRef b{static_cast<int>(r), 0, rings[r][0].x, rings[r][0].y, rings[r][0].x, rings[r][0].y};
        for (const Pt& p : rings[r]) {
            b.x0 = std::min(b.x0, p.x);
            b.y0 = std::min(b.y0, p.y);
            b.x1 = std::max(b.x1, p.x);
            b.y1 = std::max(b.y1, p.y);
        }
        boxes[r] = b;
    }
    auto within = [&](std::size_t a, std::size_t b) {
        return boxes[a].x0 >= boxes[b].x0 && boxes[a].y0 >= boxes[b].y0 && boxes[a].x1 <= boxes[b].x1 &&
               boxes[a].y1 <= boxes[b].y1;
    };
    for (std::size_t k = 1; k < rings.size(); ++k) {
        if (!within(k, 0) || LocateRing(rings[k], rings[0]) < 0) {
            Consider(best, GORV_PROBLEM_HOLE_OUTSIDE, static_cast<int>(k), 0);
            return best;
        }
    }
    for (std::size_t k = 1; k < rings.size(); ++k) {
        for (std::size_t j = 1; j < rings.size(); ++j) {
            if (j == k || !within(k, j)) continue;
            if (LocateRing(rings[k], rings[j]) > 0) {
                Consider(best, GORV_PROBLEM_HOLES_NESTED, static_cast<int>(k), static_cast<int>(j));
                return best;
            }
        }
    }
    return best;
}

T_GORV_BOOLEAN_REPORT Invalid(GORV_BOOLEAN_PROBLEM e, int nOperand, int nPolygon, int nRing, int nOther) {
    T_GORV_BOOLEAN_REPORT rep;
    rep.eStatus = GORV_BOOLEAN_INVALID;
    rep.eProblem = e;
    rep.nOperand = nOperand;
    rep.nPolygon = nPolygon;
    rep.nRing = nRing;
    rep.strMessage = std::string("operand ") + (nOperand == 0 ? "A" : "B") + ", polygon " +
                     std::to_string(nPolygon) + ", " + RingName(nRing) + " " + ProblemText(e, nOther);
    return rep;
}

// Cleans, checks (unless repairing) and orients one operand into the engine's input. Returns a
// report with eStatus GORV_BOOLEAN_INVALID on a problem, else one with GORV_BOOLEAN_RESULT.
T_GORV_BOOLEAN_REPORT LoadOperand(const CArray<T_GORV_COMPLEX_POLYGON2D>& polys, int nOperand, bool bRepair,
                                  Input& in) {
    T_GORV_BOOLEAN_REPORT ok;
    ok.eStatus = GORV_BOOLEAN_RESULT;
    std::vector<std::vector<Pt>> rings;
    for (INT_PTR p = 0; p < polys.GetSize(); ++p) {
        const T_GORV_COMPLEX_POLYGON2D& poly = polys[p];
        const int nPoly = static_cast<int>(p);
        const INT_PTR nHoles = poly.holes.GetSize();
        rings.resize(static_cast<std::size_t>(nHoles) + 1);
        for (INT_PTR r = 0; r <= nHoles; ++r) {
            const T_GORV_POLYGON2D& src = r == 0 ? poly.outer : poly.holes[r - 1];
            if (!CleanRing(src, rings[static_cast<std::size_t>(r)]))
                return Invalid(GORV_PROBLEM_COORDINATE, nOperand, nPoly, static_cast<int>(r), -1);
        }
        // Rings with fewer than three distinct vertices cover nothing: refused, or left out when
        // repairing (with their holes, for an outer ring).
        for (std::size_t r = 0; r < rings.size(); ++r) {
            if (HasThreeDistinct(rings[r])) continue;
            if (!bRepair) return Invalid(GORV_PROBLEM_TOO_FEW_VERTICES, nOperand, nPoly, static_cast<int>(r), -1);
            if (r == 0) {
                rings.clear();
                break;
            }
            rings[r].clear();
        }
        rings.erase(std::remove_if(rings.begin(), rings.end(), [](const std::vector<Pt>& v) { return v.empty(); }),
                    rings.end());
        if (rings.empty()) continue;
        if (!bRepair) {
            const Problem pr = CheckPolygon(rings);
            if (pr.eProblem != GORV_PROBLEM_NONE) return Invalid(pr.eProblem, nOperand, nPoly, pr.nRing, pr.nOther);
        }
        for (std::size_t r = 0; r < rings.size(); ++r) {
            std::vector<Pt>& v = rings[r];
            int turn;
            if (bRepair) {
                const double a = SignedArea2(v);
                turn = a > 0 ? 1 : a < 0 ? -1 : SimpleRingTurn(v);
            } else {
                turn = SimpleRingTurn(v);
            }
            const int want = r == 0 ? 1 : -1;
            if (turn != 0 && turn != want) std::reverse(v.begin(), v.end());
            InRing ir;
            ir.nBegin = static_cast<std::uint32_t>(in.pts.size());
            in.pts.insert(in.pts.end(), v.begin(), v.end());
            ir.nEnd = static_cast<std::uint32_t>(in.pts.size());
            ir.nOperand = static_cast<std::uint8_t>(nOperand);
            in.rings.push_back(ir);
        }
    }
    return ok;
}

}  // namespace
}  // namespace overlay
}  // namespace detail

T_GORV_BOOLEAN_REPORT CGeomFunc::PolygonBoolean(GORV_BOOLEAN_OP op, const CArray<T_GORV_COMPLEX_POLYGON2D>& A,
                                                const CArray<T_GORV_COMPLEX_POLYGON2D>& B,
                                                CArray<T_GORV_COMPLEX_POLYGON2D>& aResult,
                                                const T_GORV_BOOLEAN_OPTIONS& options) {
    using namespace detail::overlay;
    T_GORV_BOOLEAN_REPORT rep;
    const double tol = options.dTolerance;
    if (!(tol > 0.0) || !std::isfinite(tol)) {
        rep.eStatus = GORV_BOOLEAN_INVALID;
        rep.eProblem = GORV_PROBLEM_TOLERANCE;
        rep.strMessage = "the tolerance must be a finite number above zero";
        return rep;
    }
    if (op != GORV_BOOLEAN_UNION && op != GORV_BOOLEAN_INTERSECT && op != GORV_BOOLEAN_SUBTRACT) {
        rep.eStatus = GORV_BOOLEAN_FAILED;
        rep.strMessage = "unknown boolean operation";
        return rep;
    }
    Input in;
    const bool bRepair = options.bRepair != 0;
    T_GORV_BOOLEAN_REPORT r = LoadOperand(A, 0, bRepair, in);
    if (r.eStatus != GORV_BOOLEAN_RESULT) return r;
    r = LoadOperand(B, 1, bRepair, in);
    if (r.eStatus != GORV_BOOLEAN_RESULT) return r;

    std::vector<OutPolygon> out;
    std::string why;
    const RunStatus st = RunOverlay(static_cast<int>(op), in, tol, out, why);
    if (st == RunStatus::kFailed) {
        rep.eStatus = GORV_BOOLEAN_FAILED;
        rep.strMessage = why;
        return rep;
    }
    if (st == RunStatus::kEmpty) {
        rep.eStatus = GORV_BOOLEAN_EMPTY;
        return rep;
    }
    for (const OutPolygon& p : out) {
        T_GORV_COMPLEX_POLYGON2D poly;
        for (std::size_t k = 0; k < p.rings.size(); ++k) {
            T_GORV_POLYGON2D ring;
            ring.points.SetSize(static_cast<INT_PTR>(p.rings[k].size()));
            for (std::size_t j = 0; j < p.rings[k].size(); ++j)
                ring.points[static_cast<INT_PTR>(j)] = {p.rings[k][j].x, p.rings[k][j].y};
            if (k == 0) poly.outer = std::move(ring);
            else poly.holes.Add(ring);
        }
        aResult.Add(poly);
    }
    rep.eStatus = GORV_BOOLEAN_RESULT;
    return rep;
}

T_GORV_BOOLEAN_REPORT CGeomFunc::PolygonBoolean(GORV_BOOLEAN_OP op, const T_GORV_COMPLEX_POLYGON2D& A,
                                                const T_GORV_COMPLEX_POLYGON2D& B,
                                                CArray<T_GORV_COMPLEX_POLYGON2D>& aResult,
                                                const T_GORV_BOOLEAN_OPTIONS& options) {
    CArray<T_GORV_COMPLEX_POLYGON2D> a, b;
    a.Add(A);
    b.Add(B);
    return PolygonBoolean(op, a, b, aResult, options);
}

double CGeomFunc::CalcRingArea(const T_GORV_POLYGON2D& ring) {
    const INT_PTR n = ring.points.GetSize();
    if (n < 3) return 0.0;
    const T_GORV_POINT2D* p = ring.points.GetData();
    // Relative to the first point, which keeps the products small for rings far from the origin.
    double a = 0.0;
    for (INT_PTR i = 1; i + 1 < n; ++i)
        a += (p[i].x - p[0].x) * (p[i + 1].y - p[0].y) - (p[i + 1].x - p[0].x) * (p[i].y - p[0].y);
    return std::fabs(a) * 0.5;
}

void CGeomFunc::SetBooleanEngine(GORV_BOOLEAN_ENGINE eEngine) {
    detail::overlay::t_engine = eEngine == GORV_ENGINE_OVERLAY ? GORV_ENGINE_OVERLAY : GORV_ENGINE_MODELER;
}

GORV_BOOLEAN_ENGINE CGeomFunc::GetBooleanEngine() { return detail::overlay::t_engine; }

int GorvOrient2D(const T_GORV_POINT2D& a, const T_GORV_POINT2D& b, const T_GORV_POINT2D& c) {
    using detail::overlay::Pt;
    return detail::overlay::Orient(Pt{a.x, a.y}, Pt{b.x, b.y}, Pt{c.x, c.y});
}
