// Advancing-front triangulation of a plane section over its own (normalised) points.
// No point is added: every corner is an end point of one of the section's loop segments.
#include <gorv/section/sect_model.h>

#include <gorv/geom/gorv_func.h>

#include "sect_angle.h"
#include "sect_fast.h"
#include "sect_front_index.h"
#include "sect_grid.h"
#include "sect_key_table.h"
#include "sect_loop_util.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace detail {

// A directed edge of the front: a -> b, and whether it still waits for its triangle.
struct SmFrontEdge {
    int a;
    int b;
    bool bActive;
};

// Dense coordinate lookup of a section's points, built once per triangulation.
class SmPointCache {
public:
    explicit SmPointCache(const T_SM_SECTION& section) {
        int nMax = 0;
        for (const auto& kv : section.mapPoint) nMax = kv.first > nMax ? kv.first : nMax;
        m_aXY.assign(static_cast<std::size_t>(nMax) + 1, Entry());
        for (const auto& kv : section.mapPoint) {
            if (kv.first < 0) continue;
            Entry& e = m_aXY[static_cast<std::size_t>(kv.first)];
            e.p[0] = kv.second->dX;
            e.p[1] = kv.second->dY;
            e.bValid = true;
        }
    }
    // Coordinates of point nId, or null when the section has no such point.
    const double* Get(int nId) const {
        if (nId < 0 || static_cast<std::size_t>(nId) >= m_aXY.size()) return nullptr;
        const Entry& e = m_aXY[static_cast<std::size_t>(nId)];
        return e.bValid ? e.p : nullptr;
    }

private:
    struct Entry {
        double p[2] = {0.0, 0.0};
        bool bValid = false;
    };
    std::vector<Entry> m_aXY;
};

// Buckets of the candidate corners (end points of the initial edges) on a square grid, visited
// in rings around a front edge's middle. A corner P at distance d >= |AB| from the middle M of
// edge AB sees AB under at most 2 atan(|AB| / 2d): the circle of points seeing AB under a given
// angle reaches no further from M. Corners beyond the rings visited so far can therefore be left
// unmeasured while a measured candidate already beats that bound.
class SmCandidateGrid {
public:
    SmCandidateGrid(const std::vector<SmFrontEdge>& front, std::size_t n0, const SmPointCache& pts) {
        double lo[2] = {0.0, 0.0}, hi[2] = {0.0, 0.0};
        for (std::size_t idx = 0; idx < 2 * n0; ++idx) {
            const double* P = pts.Get(idx % 2 == 0 ? front[idx / 2].a : front[idx / 2].b);
            // Non-finite corners have no cell: the caller then measures every candidate.
            if (!std::isfinite(P[0]) || !std::isfinite(P[1])) return;
            for (int k = 0; k < 2; ++k) {
                lo[k] = idx == 0 ? P[k] : std::min(lo[k], P[k]);
                hi[k] = idx == 0 ? P[k] : std::max(hi[k], P[k]);
            }
        }
        if (!m_grid.Set(lo[0], lo[1], std::max(hi[0] - lo[0], hi[1] - lo[1]), n0)) return;
        const int nSide = m_grid.nSide;
        m_cells.assign(m_grid.CellCount(), std::vector<std::size_t>());
        int nMaxId = 0;
        for (std::size_t idx = 0; idx < 2 * n0; ++idx) {
            const int nId = idx % 2 == 0 ? front[idx / 2].a : front[idx / 2].b;
            const double* P = pts.Get(nId);
            m_cells[m_grid.IndexAt(P[0], P[1])].push_back(idx);
            nMaxId = std::max(nMaxId, nId);
        }
        // Each corner once, with its first entry and its coordinates.
        m_corners.assign(m_cells.size(), std::vector<Corner>());
        std::vector<char> aSeen(static_cast<std::size_t>(nMaxId) + 1, 0);
        for (std::size_t c = 0; c < m_cells.size(); ++c) {
            for (std::size_t idx : m_cells[c]) {
                const int nId = idx % 2 == 0 ? front[idx / 2].a : front[idx / 2].b;
                if (nId < 0 || aSeen[static_cast<std::size_t>(nId)]) continue;
                aSeen[static_cast<std::size_t>(nId)] = 1;
                const double* P = pts.Get(nId);
                m_corners[c].push_back(Corner{P[0], P[1], idx, nId});
            }
        }
        // The box of each cell's corners (their own coordinates: a corner rounded into a
        // neighbouring cell still lies in its cell's box).
        m_boxes.assign(m_cells.size(), Box());
        for (std::size_t c = 0; c < m_cells.size(); ++c) {
            for (const Corner& k : m_corners[c]) {
                Box& b = m_boxes[c];
                b.lo[0] = std::min(b.lo[0], k.x);
                b.lo[1] = std::min(b.lo[1], k.y);
                b.hi[0] = std::max(b.hi[0], k.x);
                b.hi[1] = std::max(b.hi[1], k.y);
            }
        }
        // The cells holding corners, by row and by column, in ascending order.
        m_rowCells.assign(static_cast<std::size_t>(nSide), std::vector<int>());
        m_colCells.assign(static_cast<std::size_t>(nSide), std::vector<int>());
        for (int cy = 0; cy < nSide; ++cy) {
            for (int cx = 0; cx < nSide; ++cx) {
                if (m_corners[Index(cx, cy)].empty()) continue;
                m_rowCells[static_cast<std::size_t>(cy)].push_back(cx);
                m_colCells[static_cast<std::size_t>(cx)].push_back(cy);
            }
        }
        m_bOk = true;
    }
    // A corner of a cell: its coordinates, its first entry (2k + end of initial edge k) and id.
    struct Corner {
        double x;
        double y;
        std::size_t idx;
        int nId;
    };
    bool IsOk() const { return m_bOk; }
    int Side() const { return m_grid.nSide; }
    double CellSize() const { return m_grid.dCell; }
    int Cell(double v, int nAxis) const { return m_grid.Cell(v, nAxis); }
    const std::vector<std::size_t>& At(int cx, int cy) const { return m_cells[Index(cx, cy)]; }
    const std::vector<Corner>& CornersAt(int cx, int cy) const { return m_corners[Index(cx, cy)]; }
    // Distance from Q to the box of the corners of cell (cx, cy) (0 inside it).
    double BoxDistance(int cx, int cy, const double Q[2]) const {
        const Box& b = m_boxes[Index(cx, cy)];
        const double dx = std::max(std::max(b.lo[0] - Q[0], Q[0] - b.hi[0]), 0.0);
        const double dy = std::max(std::max(b.lo[1] - Q[1], Q[1] - b.hi[1]), 0.0);
        return std::sqrt(dx * dx + dy * dy);
    }
    // Calls f(cx, cy) for every cell holding corners on ring r around cell (mx, my): the cells at
    // a Chebyshev distance of exactly r, each once. Empty cells are never visited, so a ring
    // costs the corners it holds and two binary searches per side, not its length.
    template <class F>
    void ForCornerCellsOnRing(int mx, int my, int r, F f) const {
        const int nSide = m_grid.nSide;
        const int cxLo = std::max(0, mx - r), cxHi = std::min(nSide - 1, mx + r);
        auto row = [&](int cy) {
            const std::vector<int>& v = m_rowCells[static_cast<std::size_t>(cy)];
            for (auto it = std::lower_bound(v.begin(), v.end(), cxLo); it != v.end() && *it <= cxHi; ++it) f(*it, cy);
        };
        // Rows strictly between the ring's top and bottom rows.
        const int cyLo = std::max(0, my - r + 1), cyHi = std::min(nSide - 1, my + r - 1);
        auto column = [&](int cx) {
            const std::vector<int>& v = m_colCells[static_cast<std::size_t>(cx)];
            for (auto it = std::lower_bound(v.begin(), v.end(), cyLo); it != v.end() && *it <= cyHi; ++it) f(cx, *it);
        };
        if (my - r >= 0) row(my - r);
        if (r > 0 && my + r <= nSide - 1) row(my + r);
        if (mx - r >= 0) column(mx - r);
        if (r > 0 && mx + r <= nSide - 1) column(mx + r);
    }

private:
    std::size_t Index(int cx, int cy) const { return m_grid.Index(cx, cy); }
    SmSquareGrid m_grid;
    std::vector<std::vector<std::size_t>> m_cells;
    std::vector<std::vector<Corner>> m_corners;
    struct Box {
        double lo[2] = {HUGE_VAL, HUGE_VAL};
        double hi[2] = {-HUGE_VAL, -HUGE_VAL};
    };
    std::vector<Box> m_boxes;
    std::vector<std::vector<int>> m_rowCells;  // per row: the columns of its cells with corners
    std::vector<std::vector<int>> m_colCells;  // per column: the rows of its cells with corners
    bool m_bOk = false;
};

}  // namespace detail

int CSectModel::TriangulateSection(T_SM_SECTION* pSection) {
    using detail::SmFrontEdge;
    if (!pSection) return 0;
    const detail::SmPointCache pts(*pSection);

    // Initial front: every loop segment; segments of curves that may be run both ways twice.
    std::vector<SmFrontEdge> front;
    for (const auto& lkv : pSection->mapLoop) {
        const bool bBoth = lkv.second->nKind == 3 || lkv.second->nKind == 4;
        for (int nRef : lkv.second->aCurveId) {
            const T_SM_SECT_CURVE* pc = pSection->mapCurve.Find(std::abs(nRef));
            if (!pc) return 0;
            for (std::size_t j = 0; j + 1 < pc->aPointId.size(); ++j) {
                const int a = pc->aPointId[j], b = pc->aPointId[j + 1];
                front.push_back(SmFrontEdge{a, b, true});
                if (bBoth) front.push_back(SmFrontEdge{b, a, true});
            }
        }
    }
    {
        // Repeated directed edges: the first one stays.
        std::set<std::pair<int, int>> setSeen;
        std::vector<SmFrontEdge> unique;
        unique.reserve(front.size());
        for (const SmFrontEdge& e : front) {
            if (setSeen.insert(std::make_pair(e.a, e.b)).second) unique.push_back(e);
        }
        front.swap(unique);
    }
    const std::size_t n0 = front.size();
    // Every corner is an end point of an initial edge, so all lookups below resolve once these do.
    for (const SmFrontEdge& e : front) {
        if (!pts.Get(e.a) || !pts.Get(e.b)) return 0;
    }

    // Candidates of one edge: (angle, 2k + end) for every flagged end point of initial edge k.
    // The search "largest angle above 0, first found wins ties" followed by "clear the flag of a
    // candidate whose sides cross the front and search again" visits the candidates exactly in the
    // order of this heap (angle descending, then index ascending), so each angle is computed once.
    typedef std::pair<double, std::size_t> Cand;
    auto worse = [](const Cand& x, const Cand& y) { return x.first < y.first || (x.first == y.first && x.second > y.second); };
    std::vector<Cand> heap;
    heap.reserve(2 * n0);
    struct Tie {
        double dAngle;
        double dKey;
        std::size_t nIdx;
    };
    std::vector<Tie> aTie;              // candidates taken out of the key heap, by angle
    std::vector<std::size_t> aBlocker;  // edges that recently blocked a candidate: tried first
    // A blocker's ends and its crossing products at the edge's ends, for sifting candidates.
    struct Sieve {
        const double* S;
        const double* E;
        double dAtA;
        double dAtB;
    };
    std::vector<Sieve> aSieve;
    std::vector<std::size_t> aPreSifted;  // the blockers of the pre-sift of the current edge
    bool bLastSifted = false;  // the edge last searched sifted its candidates
    // Per triangle side (its two corners): whether it crosses an edge of the front, known for the
    // edges before nChecked.
    struct SideMemo {
        std::size_t nChecked = 0;
        bool bCross = false;
    };
    detail::SmKeyTable<SideMemo> mapSide(2 * n0);
    std::map<int, bool> mapCrossed;       // point -> its sides cross the front (for this edge)
    const detail::SmCandidateGrid grid(front, n0, pts);
    // Front edge index by its (start, end) points, plus one (0: no such edge), kept as the front
    // grows. A directed edge is in the front at most once: the initial ones are made unique
    // above, and a triangle appends each of its sides only when it is not there yet.
    // (Looked up only, never walked: a hash table keyed by both ends serves.)
    detail::SmKeyTable<std::size_t> mapEdgeAt(4 * n0);
    auto edgeAt = [&](int a, int b) {
        const std::size_t* p = mapEdgeAt.Find(detail::SmPairKey(a, b));
        return p ? *p : 0;
    };
    for (std::size_t k = 0; k < front.size(); ++k) mapEdgeAt[detail::SmPairKey(front[k].a, front[k].b)] = k + 1;
    // Cell index of the front for the crossing test; the plain pass tests every edge instead.
    std::vector<double> aXY;
    std::vector<int> aCorner;
    for (const SmFrontEdge& e : front) {
        aCorner.push_back(e.a);
        aCorner.push_back(e.b);
    }
    std::sort(aCorner.begin(), aCorner.end());
    aCorner.erase(std::unique(aCorner.begin(), aCorner.end()), aCorner.end());
    if (!aCorner.empty() && aCorner.front() >= 0) {
        aXY.assign(2 * (static_cast<std::size_t>(aCorner.back()) + 1), 0.0);
        for (int nId : aCorner) {
            const double* p = pts.Get(nId);
            aXY[2 * static_cast<std::size_t>(nId)] = p[0];
            aXY[2 * static_cast<std::size_t>(nId) + 1] = p[1];
        }
    }
    detail::SmFrontIndex index(aXY, detail::SmPlainPasses() || aXY.empty() ? std::vector<int>() : aCorner);
    // The crossing test gives the same answer for an edge and its reverse (its two orientation
    // products only swap factors or negate both), so only the first of the two is indexed.
    detail::SmKeyTable<char> setIndexed(4 * n0);
    auto indexEdge = [&](std::size_t k, int a, int b) {
        if (!index.IsOk()) return;
        if (setIndexed.Find(detail::SmPairKey(b, a)) || !setIndexed.Insert(detail::SmPairKey(a, b)).second) return;
        index.AddEdge(k, a, b);
    };
    for (std::size_t k = 0; k < front.size(); ++k) indexEdge(k, front[k].a, front[k].b);
    std::vector<std::size_t> aNear;
    auto addEdge = [&](const SmFrontEdge& e) {
        mapEdgeAt[detail::SmPairKey(e.a, e.b)] = front.size() + 1;
        indexEdge(front.size(), e.a, e.b);
        front.push_back(e);
    };
    const bool bPlainAngles = detail::SmPlainPasses();
    // Corners already measured for the current front edge (where the stamp matches).
    std::vector<unsigned> aAngleStamp;
    unsigned nAngleStamp = 0;
    // Per corner: whether its sides cross the front, known for the edge of the matching stamp.
    std::vector<unsigned> aCrossStamp;
    std::vector<char> aCrossed;
    if (!detail::SmPlainPasses() && !aXY.empty()) {
        aAngleStamp.assign(aXY.size() / 2, 0u);
        aCrossStamp.assign(aXY.size() / 2, 0u);
        aCrossed.assign(aXY.size() / 2, 0);
    }

    for (std::size_t i = 0; i < front.size(); ++i) {
        if (!front[i].bActive) continue;
        const int nA = front[i].a, nB = front[i].b;
        const double* A = pts.Get(nA);
        const double* B = pts.Get(nB);
        heap.clear();
        // Candidates gather unordered (their best one noted) until the first is taken out; then
        // the best few are picked and sorted (best last), and a batch four times larger whenever a
        // batch runs out. A candidate measured after that turns them all into a heap. The order
        // they leave in is the same every way.
        int nMode = bPlainAngles ? 1 : 0;  // 0 unordered, 1 heap, 2 sorted batch at the back
        std::size_t nSorted = 0, nBatch = 16;
        Cand best(0.0, 0);
        auto nextBatch = [&]() {
            const std::size_t b = std::min(nBatch, heap.size());
            std::nth_element(heap.begin(), heap.end() - static_cast<std::ptrdiff_t>(b), heap.end(), worse);
            std::sort(heap.end() - static_cast<std::ptrdiff_t>(b), heap.end(), worse);
            nSorted = b;
            nBatch *= 4;
        };
        ++nAngleStamp;
        // The blockers with their crossing products at A and B formed once (most recent first),
        // and whether one of them shows that the sides of corner nC at C cross the front; the
        // blocker that hit is tried first for the next corner. (A crossing is the answer
        // whatever the other edges give; the order of the blockers decides no answer.)
        // With bOnlyNew, only the blockers found since the candidates were sifted as they were
        // measured (the others are known to rule none of them out).
        auto buildSieve = [&](bool bOnlyNew) {
            aSieve.clear();
            for (std::size_t b = aBlocker.size(); b-- > 0;) {
                const std::size_t k = aBlocker[b];
                if (k == i || k >= front.size()) continue;
                if (bOnlyNew && std::find(aPreSifted.begin(), aPreSifted.end(), k) != aPreSifted.end()) continue;
                const double* S = pts.Get(front[k].a);
                const double* E = pts.Get(front[k].b);
                aSieve.push_back(Sieve{S, E, detail::SmCrossAt(A, S, E), detail::SmCrossAt(B, S, E)});
            }
        };
        auto sieveBlocks = [&](const double* C, int nC) {
            const std::size_t nSlot = static_cast<std::size_t>(nC);
            if (nC < 0 || nSlot >= aCrossStamp.size()) return false;
            if (aCrossStamp[nSlot] == nAngleStamp) return aCrossed[nSlot] != 0;
            for (std::size_t n = 0; n < aSieve.size(); ++n) {
                const Sieve& v = aSieve[n];
                if (detail::SmSegmentsCross(C, A, v.S, v.E, v.dAtA) || detail::SmSegmentsCross(C, B, v.S, v.E, v.dAtB)) {
                    aCrossStamp[nSlot] = nAngleStamp;
                    aCrossed[nSlot] = 1;
                    std::rotate(aSieve.begin(), aSieve.begin() + static_cast<std::ptrdiff_t>(n),
                                aSieve.begin() + static_cast<std::ptrdiff_t>(n) + 1);
                    return true;
                }
            }
            return false;
        };
        // When the edge before needed its candidates sifted, this one likely does too: corners
        // the blockers rule out are then left out before their angles are weighed.
        const bool bPreSift = bLastSifted && !bPlainAngles;
        if (bPreSift) {
            buildSieve(false);
            aPreSifted = aBlocker;
        }
        // Measures corner Pc of entry idx.
        auto measureAt = [&](const double* Pc, std::size_t idx, int nC) {
            double th = 0.0;
            if (bPlainAngles) {
                th = Gorv::angle_2d(Pc, A, B);
            } else {
                // A corner right of A-B within a right angle of it has a negative angle or 0:
                // never a candidate. (The sign is the one angle_2d takes, from the same product.)
                const double x1 = A[0] - Pc[0], y1 = A[1] - Pc[1], x2 = B[0] - Pc[0], y2 = B[1] - Pc[1];
                if (x1 * y2 - y1 * x2 < 0.0 && x1 * x2 + y1 * y2 >= 0.0) return;
                if (bPreSift && sieveBlocks(Pc, nC)) return;
                // The key stands for the angle; near-equal keys are settled by angle when taken out.
                if (!detail::SmAngleKey(Pc, A, B, th)) return;
            }
            if (!bPlainAngles || th > 0.0) {
                heap.push_back(Cand(th, idx));
                if (nMode == 2) {
                    std::make_heap(heap.begin(), heap.end(), worse);
                    nMode = 1;
                } else if (nMode == 1) {
                    std::push_heap(heap.begin(), heap.end(), worse);
                } else if (heap.size() == 1 || worse(best, heap.back())) {
                    best = heap.back();
                }
            }
        };
        // Measures one candidate (never one of edge i's own ends). A corner is the end of several
        // initial edges, all listed in one cell in ascending order: only its first entry is
        // measured, since a later one, of the same angle, could only follow it out of the heap,
        // and by then the corner is either taken or known to cross the front.
        auto measure = [&](std::size_t idx) {
            if (idx / 2 == i) return;
            const int nP = idx % 2 == 0 ? front[idx / 2].a : front[idx / 2].b;
            const std::size_t nSlot = static_cast<std::size_t>(nP);
            if (nP >= 0 && nSlot < aAngleStamp.size()) {
                if (aAngleStamp[nSlot] == nAngleStamp) return;
                aAngleStamp[nSlot] = nAngleStamp;
            }
            measureAt(pts.Get(nP), idx, nP);
        };
        // Rings of grid cells around the edge's middle are measured on demand; without a grid
        // every candidate is measured at once.
        const double dLen = Gorv::distance_2d(A, B);
        int nRing = 0, nLastRing = -1, mx = 0, my = 0;
        if (grid.IsOk()) {
            mx = grid.Cell(0.5 * (A[0] + B[0]), 0);
            my = grid.Cell(0.5 * (A[1] + B[1]), 1);
            nLastRing = std::max(std::max(mx, grid.Side() - 1 - mx), std::max(my, grid.Side() - 1 - my));
        } else {
            for (std::size_t idx = 0; idx < 2 * n0; ++idx) measure(idx);
        }
        // angle_2d gives 0 for a cosine above 0.999999, that is for exact angles below about
        // 0.08103 degrees; below this bound the cosine clears that limit by over 1e-8, far more
        // than its rounding.
        const double kRoundsToZero = 0.0805;
        // Every point that sees A-B under more than kRoundsToZero (and less than 180 degrees less
        // that) lies in one of the two disks through A and B of radius |AB| / (2 sin t), t that
        // angle, with centres |AB| / (2 tan t) off the middle on either side. A cell whose corners
        // keep clear of both disks, and at least two edge lengths from the middle (from where on
        // the computed angles are accurate to far better than the margin above), holds only
        // corners whose angles round to 0: never candidates, so left unmeasured. The radius is
        // widened by a relative 1e-6 against the rounding of this geometry.
        const double M[2] = {0.5 * (A[0] + B[0]), 0.5 * (A[1] + B[1])};
        const double dZeroRad = kRoundsToZero * (3.14159265358979323846 / 180.0);
        const double dDiskRadius = dLen / (2.0 * std::sin(dZeroRad)) * (1.0 + 1e-6);
        const double dDiskOffset = dLen / (2.0 * std::tan(dZeroRad));
        const double dInvLen = dLen > 0.0 ? 1.0 / dLen : 0.0;
        const double aNormal[2] = {-(B[1] - A[1]) * dInvLen, (B[0] - A[0]) * dInvLen};
        const double aDiskCentre[2][2] = {{M[0] + dDiskOffset * aNormal[0], M[1] + dDiskOffset * aNormal[1]},
                                          {M[0] - dDiskOffset * aNormal[0], M[1] - dDiskOffset * aNormal[1]}};
        const bool bZeroDisks = grid.IsOk() && dLen > 0.0 && std::isfinite(dDiskRadius) &&
                                std::isfinite(aDiskCentre[0][0]) && std::isfinite(aDiskCentre[0][1]) &&
                                std::isfinite(aDiskCentre[1][0]) && std::isfinite(aDiskCentre[1][1]);
        // The order of measuring does not matter: the heap orders the candidates.
        auto measureRing = [&]() {
            const int r = nRing++;
            if (detail::SmPlainPasses()) {
                for (int cy = std::max(0, my - r); cy <= std::min(grid.Side() - 1, my + r); ++cy) {
                    const bool bEdgeRow = cy == my - r || cy == my + r;
                    for (int cx = std::max(0, mx - r); cx <= std::min(grid.Side() - 1, mx + r); ++cx) {
                        if (!bEdgeRow && cx != mx - r && cx != mx + r) continue;
                        for (std::size_t idx : grid.At(cx, cy)) measure(idx);
                    }
                }
                return;
            }
            // Each corner once; edge i's own ends see it under 0 degrees.
            grid.ForCornerCellsOnRing(mx, my, r, [&](int cx, int cy) {
                if (bZeroDisks && grid.BoxDistance(cx, cy, M) >= 2.0 * dLen &&
                    grid.BoxDistance(cx, cy, aDiskCentre[0]) > dDiskRadius &&
                    grid.BoxDistance(cx, cy, aDiskCentre[1]) > dDiskRadius)
                    return;
                for (const detail::SmCandidateGrid::Corner& c : grid.CornersAt(cx, cy)) {
                    if (c.nId == nA || c.nId == nB) continue;
                    const double Pc[2] = {c.x, c.y};
                    measureAt(Pc, c.idx, c.nId);
                }
            });
        };
        // Upper bound of the angle of every candidate not measured yet (-1 when none is left).
        // Unmeasured corners lie in rings >= nRing, at least (nRing - 2) cells from the middle
        // (one cell for the middle's own cell, one of slack for rounding at cell borders). The
        // bound is used only from a distance of one edge length on, where the measured angles
        // are accurate to far better than the added 1e-6 degree.
        auto unmeasuredBound = [&]() {
            if (nRing > nLastRing) return -1.0;
            const double dNear = (nRing - 2) * grid.CellSize();
            if (!(dNear >= dLen) || !(dNear > 0.0)) return 1000.0;
            return 2.0 * std::atan(dLen / (2.0 * dNear)) * (180.0 / 3.14159265358979323846) + 1e-6;
        };
        mapCrossed.clear();

        int nV = 0;
        const double* V = nullptr;
        const std::size_t nFront = front.size();
        // Keyed candidates leave the key heap for the angle heap (aTie), where their angles are
        // known. The angle heap's best is the best of all once the key heap's best key lies more
        // than a gap below its key: every key there then stands for a smaller angle.
        aTie.clear();
        bool bSifted = false;  // blocked candidates sifted out of the key heap (once an edge)
        auto tieWorse = [](const Tie& x, const Tie& y) {
            return x.dAngle < y.dAngle || (x.dAngle == y.dAngle && x.nIdx > y.nIdx);
        };
        // Whether a recent blocker (or this edge's earlier test) already shows that the corner of
        // candidate idx crosses the front: a crossing is the answer whatever the other edges give.
        auto knownBlocked = [&](std::size_t idx) {
            const int nC = idx % 2 == 0 ? front[idx / 2].a : front[idx / 2].b;
            const std::size_t nSlot = static_cast<std::size_t>(nC);
            if (nC < 0 || nSlot >= aCrossStamp.size()) return false;
            if (aCrossStamp[nSlot] == nAngleStamp) return aCrossed[nSlot] != 0;
            const double* C = pts.Get(nC);
            for (std::size_t b = aBlocker.size(); b-- > 0;) {
                const std::size_t k = aBlocker[b];
                if (k == i || k >= nFront) continue;
                const double* S = pts.Get(front[k].a);
                const double* E = pts.Get(front[k].b);
                if (detail::SmSegmentsCross(C, A, S, E) || detail::SmSegmentsCross(C, B, S, E)) {
                    aCrossStamp[nSlot] = nAngleStamp;
                    aCrossed[nSlot] = 1;
                    // The blocker that hit is tried first next time: a run of corners behind
                    // one edge of the front is the common case. (The order of the blockers
                    // decides no answer, only how soon a crossing is found.)
                    std::rotate(aBlocker.begin() + static_cast<std::ptrdiff_t>(b), aBlocker.begin() + static_cast<std::ptrdiff_t>(b) + 1,
                                aBlocker.end());
                    return true;
                }
            }
            return false;
        };
        auto keyTop = [&]() -> const Cand& {
            if (nMode == 0) {
                nMode = 2;
                nextBatch();
            } else if (nMode == 2 && nSorted == 0) {
                nextBatch();
            }
            return nMode == 1 ? heap.front() : heap.back();
        };
        // Candidates that the blockers just found already rule out leave before the rest is
        // ordered (once an edge).
        // (Every candidate measured with the pre-sift on has passed the blockers of that time.)
        auto sift = [&]() {
            bSifted = true;
            buildSieve(bPreSift);
            if (!aSieve.empty()) {
                heap.erase(std::remove_if(heap.begin(), heap.end(),
                                          [&](const Cand& x) {
                                              const int nC = x.second % 2 == 0 ? front[x.second / 2].a
                                                                               : front[x.second / 2].b;
                                              return sieveBlocks(pts.Get(nC), nC);
                                          }),
                           heap.end());
            }
            // Corners measured from here on pass all of them.
            if (bPreSift) buildSieve(false);
        };
        auto keyPop = [&]() {
            keyTop();
            if (nMode == 1)
                std::pop_heap(heap.begin(), heap.end(), worse);
            else
                --nSorted;
            const Cand c = heap.back();
            heap.pop_back();
            // The first batch is used up, mostly blocked: the corners left likely see the edge
            // under nearly one angle, most of them behind the front.
            if (nMode == 2 && nSorted == 0 && !bSifted) sift();
            return c;
        };
        double dLastKey = 0.0, dLastAngle = -1.0;  // equal keys, equal angles: one acos
        // Moves candidates to the angle heap until its best is sure. False when a candidate taken
        // out was dropped as blocked: the caller then weighs the rest against the unmeasured
        // corners again.
        auto resolve = [&]() {
            if (nMode == 0 && !bSifted && !heap.empty() && knownBlocked(best.second)) {
                // The best candidate is already known to be blocked: the others likely see the
                // edge under nearly its angle from behind the same front. The unordered ones are
                // sifted before any is ordered, and the rest weighed again.
                sift();
                nMode = 2;
                nextBatch();
                return false;
            }
            while (!heap.empty()) {
                if (!aTie.empty()) {
                    const Tie& b = aTie.front();
                    if (keyTop().first < b.dKey - detail::SmAngleKeyGap(b.dKey)) break;
                }
                const Cand c = keyPop();
                if (knownBlocked(c.second)) return false;
                if (!(dLastAngle >= 0.0 && c.first == dLastKey)) {
                    dLastKey = c.first;
                    dLastAngle = detail::SmKeyAngle(c.first);
                }
                aTie.push_back(Tie{dLastAngle, c.first, c.second});
                std::push_heap(aTie.begin(), aTie.end(), tieWorse);
            }
            return true;
        };
        // Whether the best candidate measured so far surely beats every unmeasured one (the
        // angles used are never above the best measured angle).
        auto bestIsSure = [&]() {
            const double dBound = unmeasuredBound();
            if (dBound < 0.0) return true;
            if (bPlainAngles) return heap.front().first > dBound;
            if (!aTie.empty() && aTie.front().dAngle > dBound) return true;
            if (heap.empty()) return false;
            return detail::SmKeyAngle(nMode == 0 ? best.first : keyTop().first) > dBound;
        };
        // Takes out the best candidate: the largest angle, then the smallest index (kNone when a
        // blocked one was dropped instead).
        const std::size_t kNone = static_cast<std::size_t>(-1);
        auto takeBest = [&]() {
            if (bPlainAngles) {
                std::pop_heap(heap.begin(), heap.end(), worse);
                const Cand c = heap.back();
                heap.pop_back();
                return c.second;
            }
            if (!resolve()) return kNone;
            std::pop_heap(aTie.begin(), aTie.end(), tieWorse);
            const std::size_t nIdx = aTie.back().nIdx;
            aTie.pop_back();
            return nIdx;
        };

        while (true) {
            if ((heap.empty() && aTie.empty()) || !bestIsSure()) {
                if (nRing > nLastRing) break;
                // No candidate yet, and every corner left sees the edge under an angle that
                // angle_2d rounds to 0: none of them is a candidate either.
                if (!bPlainAngles && heap.empty() && aTie.empty() && unmeasuredBound() < kRoundsToZero) break;
                measureRing();
                continue;
            }
            const std::size_t idx = takeBest();
            if (idx == kNone) continue;
            const SmFrontEdge& owner = front[idx / 2];
            const int nP = idx % 2 == 0 ? owner.a : owner.b;
            const double* P = pts.Get(nP);
            // A triangle side may not cross any edge of the front (the answer depends on the point
            // only, so it is kept for the rest of this edge).
            auto crosses = [&](std::size_t k) {
                const double* S = pts.Get(front[k].a);
                const double* E = pts.Get(front[k].b);
                return detail::SmSegmentsCross(P, A, S, E) ||
                       detail::SmSegmentsCross(P, B, S, E);
            };
            bool bCross = false;
            const std::size_t nSlot = static_cast<std::size_t>(nP);
            const bool bSlot = !bPlainAngles && nP >= 0 && nSlot < aCrossStamp.size();
            std::map<int, bool>::const_iterator it = bSlot ? mapCrossed.end() : mapCrossed.find(nP);
            if (bSlot && aCrossStamp[nSlot] == nAngleStamp) {
                bCross = aCrossed[nSlot] != 0;
            } else if (it != mapCrossed.end()) {
                bCross = it->second;
            } else {
                for (std::size_t b = aBlocker.size(); b-- > 0 && !bCross;) {
                    const std::size_t k = aBlocker[b];
                    if (k != i && k < nFront && crosses(k)) bCross = true;
                }
                auto blocked = [&](std::size_t k) {
                    bCross = true;
                    aBlocker.push_back(k);
                    if (aBlocker.size() > 8) aBlocker.erase(aBlocker.begin());
                };
                // Whether side P-Q crosses an edge of the front. Edges stay in the front for
                // good, so a side that crossed one still does, and one that crossed none of the
                // first n edges need only be tested against the edges added since.
                auto sideCrosses = [&](int nQ, const double* Q) {
                    SideMemo& memo = mapSide[detail::SmPairKey(std::min(nP, nQ), std::max(nP, nQ))];
                    if (memo.bCross) return true;
                    // A side that is already an edge made by an earlier triangle crosses no edge:
                    // that triangle's sides were tested against every edge before them, and every
                    // edge made since was tested against them (the test answers alike, bit for
                    // bit, with the two segments swapped and either of them reversed).
                    for (const std::size_t nEdge : {edgeAt(nP, nQ), edgeAt(nQ, nP)}) {
                        if (nEdge > n0 && nEdge <= nFront) {
                            memo.nChecked = nFront;
                            return false;
                        }
                    }
                    const std::size_t nFrom = memo.nChecked;
                    memo.nChecked = nFront;
                    auto test = [&](std::size_t k) {
                        if (k < nFrom || k >= nFront || k == i) return false;
                        if (!detail::SmSegmentsCross(P, Q, pts.Get(front[k].a), pts.Get(front[k].b)))
                            return false;
                        memo.bCross = true;
                        blocked(k);
                        return true;
                    };
                    // A few edges are tested directly: the index query costs more than they do.
                    bool bIndexed = nFront - nFrom > 128;
                    if (bIndexed) {
                        // Edges near the side first (where crossings usually are), then those with
                        // an end near its line.
                        for (int nPass = 0; nPass < 2 && bIndexed && !memo.bCross; ++nPass) {
                            index.NewQuery();
                            aNear.clear();
                            bIndexed = index.Collect(P, Q, nPass == 1, aNear, nFrom);
                            for (std::size_t n = 0; bIndexed && n < aNear.size() && !test(aNear[n]); ++n) {
                            }
                        }
                        // A crossing found is the answer whatever the strip gave.
                        if (memo.bCross) return true;
                    }
                    for (std::size_t k = nFrom; !bIndexed && k < nFront && !test(k); ++k) {
                    }
                    return memo.bCross;
                };
                if (!bCross && index.IsOk()) {
                    bCross = sideCrosses(nA, A) || sideCrosses(nB, B);
                } else {
                    for (std::size_t k = 0; k < nFront && !bCross; ++k) {
                        if (k != i && crosses(k)) blocked(k);
                    }
                }
                if (bSlot) {
                    aCrossStamp[nSlot] = nAngleStamp;
                    aCrossed[nSlot] = bCross ? 1 : 0;
                } else {
                    mapCrossed[nP] = bCross;
                }
            }
            if (bCross) continue;
            nV = nP;
            V = P;
            break;
        }
        bLastSifted = bSifted;
        if (!V) continue;

        std::unique_ptr<T_SM_TRIANGLE> pTri(new T_SM_TRIANGLE());
        pTri->nId = pSection->nNextTriangleId++;
        pTri->aPointId[0] = nA;
        pTri->aPointId[1] = nB;
        pTri->aPointId[2] = nV;
        detail::Adopt(pSection->mapTriangle, std::move(pTri));

        front[i].bActive = false;
        bool bBv = false, bvA = false, bvB = false, bAv = false;
        // Only edges joining two of A, B, V can match below; they are visited in front order.
        // The front edges with the new triangle's ends, one per directed pair (the flags they set
        // do not depend on the order they are looked at in, nor on one being looked at twice).
        const std::pair<int, int> aPair[4] = {{nB, nV}, {nV, nA}, {nV, nB}, {nA, nV}};
        for (const std::pair<int, int>& pr : aPair) {
            const std::size_t nEdge = edgeAt(pr.first, pr.second);
            if (nEdge == 0) continue;
            const std::size_t k = nEdge - 1;
            SmFrontEdge& e = front[k];
            if (e.a == nB && e.b == nV) {
                e.bActive = false;
                bBv = true;
                if (k < n0) bvB = true;
            }
            if (e.a == nV && e.b == nA) {
                e.bActive = false;
                bvA = true;
                if (k < n0) bAv = true;
            }
            if (e.a == nV && e.b == nB) bvB = true;
            if (e.a == nA && e.b == nV) bAv = true;
        }
        if (!bBv) addEdge(SmFrontEdge{nB, nV, false});
        if (!bvA) addEdge(SmFrontEdge{nV, nA, false});
        if (!bvB) addEdge(SmFrontEdge{nV, nB, true});
        if (!bAv) addEdge(SmFrontEdge{nA, nV, true});
    }
    return 2;
}
