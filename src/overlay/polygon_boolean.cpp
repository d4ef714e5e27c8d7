// CGeomFunc's checked polygon booleans on the overlay engine: input cleaning and validation with
// a report of the first problem, the repair rule, orientation of the rings, the engine call and
// the conversion of its output. Also the ring area and the per-thread engine switch.
#include <gorv/geom/geom_func.h>
#include <gorv/overlay/overlay.h>

#include <algorithm>
#include <cmath>
#include <new>
#include <numeric>
#include <string>
#include <vector>

#include "overlay/overlay_engine.h"

namespace detail {
namespace overlay {
namespace {

thread_local GORV_BOOLEAN_ENGINE t_engine = GORV_ENGINE_MODELER;

// Smallest tolerance accepted: its square and the snapping distances stay normal numbers.
const double kMinTolerance = 1e-100;
// Coordinates below this magnitude read as zero: every product of two coordinates in the exact
// orientation test is then zero or above 1e-280, so its rounding error is a normal number and the
// test stays exact. The move is far below any accepted tolerance.
const double kFlushToZero = 1e-140;

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

// Appends the ring to out without consecutive repeats and without closing repeat, and sets iMin
// to the position (from the ring's start in out) of its first lexicographically smallest vertex.
// Returns false on a coordinate that is not finite or out of range (out then holds a part of it).
bool CleanRing(const T_GORV_POLYGON2D& ring, std::vector<Pt>& out, std::size_t& iMin) {
    const std::size_t b = out.size();
    const std::size_t n = static_cast<std::size_t>(ring.points.GetSize());
    const T_GORV_POINT2D* p = ring.points.GetData();
    out.resize(b + n);
    Pt* dst = out.data() + b;
    std::size_t k = 0;
    iMin = 0;
    for (std::size_t i = 0; i < n; ++i) {
        Pt q{p[i].x, p[i].y};
        // Magnitudes below kFlushToZero read as zero (this also turns -0 into 0).
        if (std::fabs(q.x) < kFlushToZero) q.x = 0.0;
        if (std::fabs(q.y) < kFlushToZero) q.y = 0.0;
        // One comparison each rejects NaN, infinities and magnitudes beyond the bound.
        if (!(std::fabs(q.x) <= CGeomFunc::kMaxPolygonCoordinate) || !(std::fabs(q.y) <= CGeomFunc::kMaxPolygonCoordinate)) {
            out.resize(b + k);
            return false;
        }
        if (k > 0 && dst[k - 1] == q) continue;
        if (k > 0 && LexLess(q, dst[iMin])) iMin = k;
        dst[k++] = q;
    }
    while (k > 1 && dst[k - 1] == dst[0]) --k;
    out.resize(b + k);
    return true;
}

bool HasThreeDistinct(const Pt* r, std::size_t n) {
    if (n < 3) return false;
    for (std::size_t i = 1; i < n; ++i)
        if (r[i] != r[0] && r[i] != r[1]) return true;
    return false;
}

// Twice the signed area (positive counter-clockwise).
double SignedArea2(const Pt* r, std::size_t n) {
    double a = 0.0;
    const Pt o = r[0];
    for (std::size_t i = 1; i + 1 < n; ++i) a += (r[i].x - o.x) * (r[i + 1].y - o.y) - (r[i + 1].x - o.x) * (r[i].y - o.y);
    return a;
}

// +1 counter-clockwise, -1 clockwise, exactly for a simple ring: the turn at its smallest vertex m.
int SimpleRingTurn(const Pt* r, std::size_t n, std::size_t m) {
    const Pt& prev = r[m == 0 ? n - 1 : m - 1];
    const Pt& next = r[m + 1 == n ? 0 : m + 1];
    return Orient(prev, r[m], next);
}

void Consider(Problem& best, GORV_BOOLEAN_PROBLEM e, int nRing, int nOther) {
    if (best.eProblem == GORV_PROBLEM_NONE || nRing < best.nRing ||
        (nRing == best.nRing && (e < best.eProblem || (e == best.eProblem && nOther < best.nOther)))) {
        best.eProblem = e;
        best.nRing = nRing;
        best.nOther = nOther;
    }
}

struct RingView {
    std::uint32_t nIndex;  // in the engine input
    const Pt* pts;
    int n;
    int nRing;
    double x0, y0, x1, y1;
};

// A vertex of `inner` that is not on the boundary of `outer` classified against it (+1 inside,
// -1 outside); when every vertex lies on it, the midpoint of the first edge decides.
int LocateRing(const Overlay& ov, const RingView& inner, const RingView& outer) {
    for (int i = 0; i < inner.n; ++i) {
        const int loc = ov.LocateInInputRing(outer.nIndex, inner.pts[i]);
        if (loc != 0) return loc;
    }
    const Pt mid{0.5 * (inner.pts[0].x + inner.pts[1].x), 0.5 * (inner.pts[0].y + inner.pts[1].y)};
    const int loc = ov.LocateInInputRing(outer.nIndex, mid);
    return loc == 0 ? 1 : loc;
}

// Holes outside their outer ring or inside another hole (rings that meet only at points).
Problem CheckContainment(const Overlay& ov, const std::vector<RingView>& rings) {
    Problem best;
    auto within = [&](std::size_t a, std::size_t b) {
        return rings[a].x0 >= rings[b].x0 && rings[a].y0 >= rings[b].y0 && rings[a].x1 <= rings[b].x1 &&
               rings[a].y1 <= rings[b].y1;
    };
    for (std::size_t k = 1; k < rings.size(); ++k) {
        if (!within(k, 0) || LocateRing(ov, rings[k], rings[0]) < 0) {
            Consider(best, GORV_PROBLEM_HOLE_OUTSIDE, rings[k].nRing, 0);
            return best;
        }
    }
    for (std::size_t k = 1; k < rings.size(); ++k) {
        for (std::size_t j = 1; j < rings.size(); ++j) {
            if (j == k || !within(k, j)) continue;
            if (LocateRing(ov, rings[k], rings[j]) > 0) {
                Consider(best, GORV_PROBLEM_HOLES_NESTED, rings[k].nRing, rings[j].nRing);
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

struct PolyInfo {
    int nOperand;
    int nIndex;               // in its operand
    std::uint32_t nFirstRing; // in the engine input
    std::uint32_t nRings;
    Problem early;            // coordinate or vertex-count problem found while loading
};

// Cleans and orients one operand's rings into the engine input (outer rings counter-clockwise,
// holes clockwise). Problems found on the way are kept per polygon; such a polygon adds no rings.
void LoadOperand(const CArray<T_GORV_COMPLEX_POLYGON2D>& polys, int nOperand, bool bRepair, Input& in,
                 std::vector<PolyInfo>& infos) {
    for (INT_PTR p = 0; p < polys.GetSize(); ++p) {
        const T_GORV_COMPLEX_POLYGON2D& poly = polys[p];
        PolyInfo info{nOperand, static_cast<int>(p), static_cast<std::uint32_t>(in.rings.size()), 0, Problem()};
        const std::size_t nPts0 = in.pts.size();
        const INT_PTR nHoles = poly.holes.GetSize();
        for (INT_PTR r = 0; r <= nHoles; ++r) {
            const T_GORV_POLYGON2D& src = r == 0 ? poly.outer : poly.holes[r - 1];
            const std::size_t nBegin = in.pts.size();
            std::size_t iMin = 0;
            if (!CleanRing(src, in.pts, iMin)) {
                Consider(info.early, GORV_PROBLEM_COORDINATE, static_cast<int>(r), -1);
                break;
            }
            Pt* v = in.pts.data() + nBegin;
            const std::size_t nv = in.pts.size() - nBegin;
            // Rings with fewer than three distinct vertices cover nothing: refused, or left out
            // when repairing (with their holes, for an outer ring).
            if (!HasThreeDistinct(v, nv)) {
                in.pts.resize(nBegin);
                if (!bRepair) {
                    Consider(info.early, GORV_PROBLEM_TOO_FEW_VERTICES, static_cast<int>(r), -1);
                    break;
                }
                if (r == 0) {
                    // Check the holes' coordinates all the same, then drop the polygon.
                    for (INT_PTR h = 0; h < nHoles && info.early.eProblem == GORV_PROBLEM_NONE; ++h) {
                        if (!CleanRing(poly.holes[h], in.pts, iMin))
                            Consider(info.early, GORV_PROBLEM_COORDINATE, static_cast<int>(h + 1), -1);
                        in.pts.resize(nBegin);
                    }
                    in.rings.resize(info.nFirstRing);
                    in.pts.resize(nPts0);
                    break;
                }
                continue;
            }
            int turn;
            if (bRepair) {
                const double a = SignedArea2(v, nv);
                turn = a > 0 ? 1 : a < 0 ? -1 : SimpleRingTurn(v, nv, iMin);
            } else {
                turn = SimpleRingTurn(v, nv, iMin);
            }
            const int want = r == 0 ? 1 : -1;
            if (turn != 0 && turn != want) std::reverse(v, v + nv);
            InRing ir;
            ir.nBegin = static_cast<std::uint32_t>(nBegin);
            ir.nEnd = static_cast<std::uint32_t>(in.pts.size());
            ir.nOperand = static_cast<std::uint8_t>(nOperand);
            ir.nPolygon = static_cast<std::uint32_t>(infos.size());
            ir.nRing = static_cast<std::uint32_t>(r);
            in.rings.push_back(ir);
        }
        if (info.early.eProblem != GORV_PROBLEM_NONE) {
            in.rings.resize(info.nFirstRing);
            in.pts.resize(nPts0);
        }
        info.nRings = static_cast<std::uint32_t>(in.rings.size()) - info.nFirstRing;
        infos.push_back(info);
    }
}

}  // namespace
}  // namespace overlay
}  // namespace detail

namespace detail {
namespace overlay {
namespace {

T_GORV_BOOLEAN_REPORT RunChecked(GORV_BOOLEAN_OP op, const CArray<T_GORV_COMPLEX_POLYGON2D>& A,
                                 const CArray<T_GORV_COMPLEX_POLYGON2D>& B, CArray<T_GORV_COMPLEX_POLYGON2D>& aResult,
                                 const T_GORV_BOOLEAN_OPTIONS& options) {
    T_GORV_BOOLEAN_REPORT rep;
    const double tol = options.dTolerance;
    if (!(tol >= kMinTolerance) || !std::isfinite(tol)) {
        rep.eStatus = GORV_BOOLEAN_INVALID;
        rep.eProblem = GORV_PROBLEM_TOLERANCE;
        rep.strMessage = "the tolerance must be a finite number of at least 1e-100";
        return rep;
    }
    if (op != GORV_BOOLEAN_UNION && op != GORV_BOOLEAN_INTERSECT && op != GORV_BOOLEAN_SUBTRACT) {
        rep.eStatus = GORV_BOOLEAN_FAILED;
        rep.strMessage = "unknown boolean operation";
        return rep;
    }
    Overlay overlay(tol);
    Input& in = overlay.GetInput();
    const bool bRepair = options.bRepair != 0;
    std::vector<PolyInfo> infos;
    LoadOperand(A, 0, bRepair, in, infos);
    LoadOperand(B, 1, bRepair, in, infos);
    if (bRepair) {
        for (const PolyInfo& pi : infos)
            if (pi.early.eProblem != GORV_PROBLEM_NONE)
                return Invalid(pi.early.eProblem, pi.nOperand, pi.nIndex, pi.early.nRing, -1);
    }
    overlay.Prepare();
    if (!bRepair) {
        // The first problem in the order operand, polygon, ring.
        std::vector<RingProblem> edgeProblems;
        overlay.CheckEdges(infos.size(), edgeProblems);
        std::vector<RingView> views;
        for (std::size_t i = 0; i < infos.size(); ++i) {
            const PolyInfo& pi = infos[i];
            Problem pr = pi.early;
            if (pr.eProblem == GORV_PROBLEM_NONE && edgeProblems[i].nProblem != 0) {
                pr.eProblem = static_cast<GORV_BOOLEAN_PROBLEM>(edgeProblems[i].nProblem);
                pr.nRing = edgeProblems[i].nRing;
                pr.nOther = edgeProblems[i].nOther;
            }
            if (pr.eProblem == GORV_PROBLEM_NONE && pi.nRings > 1) {
                views.clear();
                for (std::uint32_t r = pi.nFirstRing; r < pi.nFirstRing + pi.nRings; ++r) {
                    const InRing& ir = in.rings[r];
                    RingView rv{r, in.pts.data() + ir.nBegin, static_cast<int>(ir.nEnd - ir.nBegin), static_cast<int>(ir.nRing),
                                in.pts[ir.nBegin].x, in.pts[ir.nBegin].y, in.pts[ir.nBegin].x, in.pts[ir.nBegin].y};
                    for (std::uint32_t k = ir.nBegin; k < ir.nEnd; ++k) {
                        rv.x0 = std::min(rv.x0, in.pts[k].x);
                        rv.y0 = std::min(rv.y0, in.pts[k].y);
                        rv.x1 = std::max(rv.x1, in.pts[k].x);
                        rv.y1 = std::max(rv.y1, in.pts[k].y);
                    }
                    views.push_back(rv);
                }
                pr = CheckContainment(overlay, views);
            }
            if (pr.eProblem != GORV_PROBLEM_NONE) return Invalid(pr.eProblem, pi.nOperand, pi.nIndex, pr.nRing, pr.nOther);
        }
    }

    std::string why;
    const RunStatus st = overlay.Run(static_cast<int>(op), aResult, why);
    if (st == RunStatus::kFailed) {
        rep.eStatus = GORV_BOOLEAN_FAILED;
        rep.strMessage = why;
        return rep;
    }
    if (st == RunStatus::kEmpty) {
        rep.eStatus = GORV_BOOLEAN_EMPTY;
        return rep;
    }
    rep.eStatus = GORV_BOOLEAN_RESULT;
    return rep;
}

}  // namespace
}  // namespace overlay
}  // namespace detail

T_GORV_BOOLEAN_REPORT CGeomFunc::PolygonBoolean(GORV_BOOLEAN_OP op, const CArray<T_GORV_COMPLEX_POLYGON2D>& A,
                                                const CArray<T_GORV_COMPLEX_POLYGON2D>& B,
                                                CArray<T_GORV_COMPLEX_POLYGON2D>& aResult,
                                                const T_GORV_BOOLEAN_OPTIONS& options) {
    const INT_PTR nBefore = aResult.GetSize();
    try {
        return detail::overlay::RunChecked(op, A, B, aResult, options);
    } catch (const std::bad_alloc&) {
        // The working memory of an input this large is not to be had: nothing is appended.
        if (aResult.GetSize() > nBefore) aResult.SetSize(nBefore);
        T_GORV_BOOLEAN_REPORT rep;
        rep.eStatus = GORV_BOOLEAN_FAILED;
        rep.strMessage = "not enough memory for the operation";
        return rep;
    }
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
