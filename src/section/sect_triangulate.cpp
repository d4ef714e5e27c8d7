// Advancing-front triangulation of a plane section over its own (normalised) points.
// No point is added: every corner is an end point of one of the section's loop segments.
#include <gorv/section/sect_model.h>

#include <gorv/geom/gorv_func.h>

#include "sect_loop_util.h"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

namespace detail {

// A directed edge of the front: a -> b, with a candidate flag per end.
struct SmFrontEdge {
    int a;
    int b;
    bool bCandA;
    bool bCandB;
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
                front.push_back(SmFrontEdge{a, b, false, false, true});
                if (bBoth) front.push_back(SmFrontEdge{b, a, false, false, true});
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
    std::vector<std::size_t> aBlocker;  // edges that recently blocked a candidate: tried first
    std::map<int, bool> mapCrossed;       // point -> its sides cross the front (for this edge)

    for (std::size_t i = 0; i < front.size(); ++i) {
        if (!front[i].bActive) continue;
        const int nA = front[i].a, nB = front[i].b;
        const double* A = pts.Get(nA);
        const double* B = pts.Get(nB);
        for (std::size_t k = 0; k < n0; ++k) front[k].bCandA = front[k].bCandB = true;
        if (i < n0) front[i].bCandA = front[i].bCandB = false;

        heap.clear();
        for (std::size_t k = 0; k < n0; ++k) {
            if (k == i) continue;  // its flags were just cleared
            for (std::size_t nEnd = 0; nEnd < 2; ++nEnd) {
                const double th = Gorv::angle_2d(pts.Get(nEnd == 0 ? front[k].a : front[k].b), A, B);
                if (th > 0.0) heap.push_back(Cand(th, 2 * k + nEnd));
            }
        }
        std::make_heap(heap.begin(), heap.end(), worse);
        mapCrossed.clear();

        int nV = 0;
        const double* V = nullptr;
        const std::size_t nFront = front.size();
        while (!heap.empty()) {
            std::pop_heap(heap.begin(), heap.end(), worse);
            const std::size_t idx = heap.back().second;
            heap.pop_back();
            SmFrontEdge& owner = front[idx / 2];
            const int nP = idx % 2 == 0 ? owner.a : owner.b;
            const double* P = pts.Get(nP);
            // A triangle side may not cross any edge of the front (the answer depends on the point
            // only, so it is kept for the rest of this edge).
            auto crosses = [&](std::size_t k) {
                const double* S = pts.Get(front[k].a);
                const double* E = pts.Get(front[k].b);
                return Gorv::check_line_line_intersection_2d(P, A, S, E) ||
                       Gorv::check_line_line_intersection_2d(P, B, S, E);
            };
            std::map<int, bool>::const_iterator it = mapCrossed.find(nP);
            bool bCross = false;
            if (it != mapCrossed.end()) {
                bCross = it->second;
            } else {
                for (std::size_t b = aBlocker.size(); b-- > 0 && !bCross;) {
                    const std::size_t k = aBlocker[b];
                    if (k != i && k < nFront && crosses(k)) bCross = true;
                }
                for (std::size_t k = 0; k < nFront && !bCross; ++k) {
                    if (k != i && crosses(k)) {
                        bCross = true;
                        aBlocker.push_back(k);
                        if (aBlocker.size() > 8) aBlocker.erase(aBlocker.begin());
                    }
                }
                mapCrossed[nP] = bCross;
            }
            if (bCross) {
                (idx % 2 == 0 ? owner.bCandA : owner.bCandB) = false;
                continue;
            }
            nV = nP;
            V = P;
            break;
        }
        if (!V) continue;

        std::unique_ptr<T_SM_TRIANGLE> pTri(new T_SM_TRIANGLE());
        pTri->nId = pSection->nNextTriangleId++;
        pTri->aPointId[0] = nA;
        pTri->aPointId[1] = nB;
        pTri->aPointId[2] = nV;
        detail::Adopt(pSection->mapTriangle, std::move(pTri));

        front[i].bActive = false;
        bool bBv = false, bvA = false, bvB = false, bAv = false;
        for (std::size_t k = 0; k < front.size(); ++k) {
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
        if (!bBv) front.push_back(SmFrontEdge{nB, nV, false, false, false});
        if (!bvA) front.push_back(SmFrontEdge{nV, nA, false, false, false});
        if (!bvB) front.push_back(SmFrontEdge{nV, nB, false, false, true});
        if (!bAv) front.push_back(SmFrontEdge{nA, nV, false, false, true});
    }
    return 2;
}
