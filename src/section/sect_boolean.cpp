// Union, intersection and subtraction of two plane sections of one model. The two sections'
// curves are split at their crossings, shared curves merged, every curve classified inside or
// outside the other section, the dropped curves deleted and the rest generated into a new plane
// section that takes the first section's id. One undo record per call; any failure after the
// first change rolls the model back to its state before the call.
#include <gorv/section/sect_model.h>

#include <gorv/geom/gorv_func.h>

#include "sect_fast.h"
#include "sect_grid.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>
#include <vector>

namespace detail {
namespace {

const double kOnSegmentTol = 1e-06;  // cosine tolerance of the point-on-segment tests
const double kInsideWinding = 350.0; // |winding sum| above this: the point is enclosed

void SortUnique(std::vector<int>& a) {
    std::sort(a.begin(), a.end());
    a.erase(std::unique(a.begin(), a.end()), a.end());
}

bool Contains(const std::vector<int>& sorted, int n) { return std::binary_search(sorted.begin(), sorted.end(), n); }

// Axis-aligned box used to skip far-away triangles and segments before the exact tests.
struct Box {
    double minX = 1e308, minY = 1e308, maxX = -1e308, maxY = -1e308;
    void Add(const double p[2]) {
        minX = std::min(minX, p[0]);
        maxX = std::max(maxX, p[0]);
        minY = std::min(minY, p[1]);
        maxY = std::max(maxY, p[1]);
    }
    // Grows the box by a fraction of its larger side (plus a tiny absolute amount).
    void Inflate(double dFraction) {
        const double d = dFraction * std::max(maxX - minX, maxY - minY) + 1e-300;
        minX -= d;
        minY -= d;
        maxX += d;
        maxY += d;
    }
    bool Holds(const double m[2]) const { return m[0] >= minX && m[0] <= maxX && m[1] >= minY && m[1] <= maxY; }
    bool Meets(const Box& o) const { return minX <= o.maxX && o.minX <= maxX && minY <= o.maxY && o.minY <= maxY; }
};

// A point strictly off a segment's inflated box can pass neither the crossing test (parameter slack
// 1e-6) nor the on-segment test (cosine slack 1e-6 keeps p within ~0.0004 of the length of the line).
const double kBoxSlack = 0.01;

struct Tri {
    double p[3][2];
    Box box;
};
struct Seg {
    double a[2], b[2];
    Box box;
};

// The boxes of a list that may hold a point, by a square grid over all of them: each box is
// listed in the cells it overlaps (so in the cell of every point it holds), a box over more than
// kMaxCells cells in one list looked at for every point instead.
class BoxGrid {
public:
    template <class T>
    void Build(const std::vector<T>& items) {
        m_bOk = false;
        if (items.empty()) return;
        Box all;
        for (const T& t : items) {
            if (!std::isfinite(t.box.minX) || !std::isfinite(t.box.maxX) || !std::isfinite(t.box.minY) ||
                !std::isfinite(t.box.maxY))
                return;  // the plain scan decides
            const double lo[2] = {t.box.minX, t.box.minY}, hi[2] = {t.box.maxX, t.box.maxY};
            all.Add(lo);
            all.Add(hi);
        }
        if (!m_grid.Set(all.minX, all.minY, std::max(all.maxX - all.minX, all.maxY - all.minY), items.size())) return;
        m_cells.assign(m_grid.CellCount(), std::vector<std::size_t>());
        m_big.clear();
        for (std::size_t k = 0; k < items.size(); ++k) {
            const Box& b = items[k].box;
            const int x0 = m_grid.Cell(b.minX, 0), x1 = m_grid.Cell(b.maxX, 0);
            const int y0 = m_grid.Cell(b.minY, 1), y1 = m_grid.Cell(b.maxY, 1);
            if (static_cast<long long>(x1 - x0 + 1) * (y1 - y0 + 1) > kMaxCells) {
                m_big.push_back(k);
                continue;
            }
            for (int cy = y0; cy <= y1; ++cy)
                for (int cx = x0; cx <= x1; ++cx) m_cells[m_grid.Index(cx, cy)].push_back(k);
        }
        m_bOk = true;
    }
    bool IsOk() const { return m_bOk; }
    // The indices of the boxes that may hold m, ascending.
    void Near(const double m[2], std::vector<std::size_t>& aOut) const {
        aOut.clear();
        const std::vector<std::size_t>& cell = m_cells[m_grid.IndexAt(m[0], m[1])];
        aOut.resize(cell.size() + m_big.size());
        std::merge(cell.begin(), cell.end(), m_big.begin(), m_big.end(), aOut.begin());
    }

private:
    static const long long kMaxCells = 64;
    SmSquareGrid m_grid;
    std::vector<std::vector<std::size_t>> m_cells;
    std::vector<std::size_t> m_big;
    bool m_bOk = false;
};

// The parts of a plane section that classification reads: triangles and loop segments of its
// active domains, in ascending id order, with their coordinates looked up once.
struct SectionShape {
    std::vector<Tri> tris;
    std::vector<Seg> bounds;
    BoxGrid triGrid, boundGrid;  // not built for the plain passes, which scan every item
    bool bOk = true; // false when an active triangle names a missing point
};

// Calls f(item) for the items whose box holds m, in ascending order, until f returns true; true
// when it did.
template <class T, class F>
bool ForHolding(const std::vector<T>& items, const BoxGrid& grid, const double m[2], F f) {
    if (grid.IsOk()) {
        thread_local std::vector<std::size_t> aNear;
        grid.Near(m, aNear);
        for (std::size_t k : aNear)
            if (items[k].box.Holds(m) && f(items[k])) return true;
        return false;
    }
    for (const T& t : items)
        if (t.box.Holds(m) && f(t)) return true;
    return false;
}

bool IsActiveDomain(const T_SM_SECTION& s, int nDomainId) {
    const T_SM_DOMAIN* d = s.mapDomain.Find(nDomainId);
    return d != nullptr && d->bActive;
}

SectionShape BuildShape(const T_SM_SECTION& s) {
    SectionShape shape;
    for (const auto& e : s.mapTriangle) {
        const T_SM_TRIANGLE& t = *e.second;
        if (!IsActiveDomain(s, t.nDomainId)) continue;
        Tri tri;
        for (int k = 0; k < 3; ++k) {
            const T_SM_POINT* p = s.mapPoint.Find(t.aPointId[k]);
            if (p == nullptr) {
                shape.bOk = false;
                return shape;
            }
            tri.p[k][0] = p->dX;
            tri.p[k][1] = p->dY;
            tri.box.Add(tri.p[k]);
        }
        tri.box.Inflate(kBoxSlack);
        shape.tris.push_back(tri);
    }
    for (const auto& de : s.mapDomain) {
        const T_SM_DOMAIN& d = *de.second;
        if (!d.bActive) continue;
        for (int nLoop : d.aLoopId) {
            const T_SM_LOOP* loop = s.mapLoop.Find(nLoop);
            if (loop == nullptr) continue;
            for (int nRef : loop->aCurveId) {
                const T_SM_SECT_CURVE* c = s.mapCurve.Find(std::abs(nRef));
                if (c == nullptr) continue;
                for (size_t j = 0; j + 1 < c->aPointId.size(); ++j) {
                    const T_SM_POINT* p = s.mapPoint.Find(c->aPointId[j]);
                    const T_SM_POINT* q = s.mapPoint.Find(c->aPointId[j + 1]);
                    if (p == nullptr || q == nullptr) continue;
                    Seg seg = {{p->dX, p->dY}, {q->dX, q->dY}, Box()};
                    seg.box.Add(seg.a);
                    seg.box.Add(seg.b);
                    seg.box.Inflate(kBoxSlack);
                    shape.bounds.push_back(seg);
                }
            }
        }
    }
    if (!SmPlainPasses()) {
        shape.triGrid.Build(shape.tris);
        shape.boundGrid.Build(shape.bounds);
    }
    return shape;
}

// True when the winding sum of m about some active triangle has absolute value above 350.
// (Outside a triangle's box the winding sum about it is about 0.)
bool IsInside(const SectionShape& shape, const double m[2]) {
    return ForHolding(shape.tris, shape.triGrid, m, [&](const Tri& t) {
        const double w = Gorv::angle_2d(m, t.p[0], t.p[1]) + Gorv::angle_2d(m, t.p[1], t.p[2]) +
                         Gorv::angle_2d(m, t.p[2], t.p[0]);
        return std::fabs(w) > kInsideWinding;
    });
}

// True when m lies strictly inside a loop segment of an active domain.
bool IsOnBoundary(const SectionShape& shape, const double m[2]) {
    return ForHolding(shape.bounds, shape.boundGrid, m,
                      [&](const Seg& g) { return Gorv::is_in_line_2d(g.a, g.b, m, kOnSegmentTol); });
}

// Moves m a hundredth of the way toward the opposite corner of the first active triangle that has
// m on one of its edges; leaves m alone when there is none.
void NudgeInto(const SectionShape& shape, double m[2]) {
    ForHolding(shape.tris, shape.triGrid, m, [&](const Tri& t) {
        for (int k = 0; k < 3; ++k) {
            const double* v = t.p[(k + 2) % 3];
            if (Gorv::is_in_line_2d(t.p[k], t.p[(k + 1) % 3], m, kOnSegmentTol)) {
                m[0] += 0.01 * (v[0] - m[0]);
                m[1] += 0.01 * (v[1] - m[1]);
                return true;
            }
        }
        return false;
    });
}

}  // namespace
}  // namespace detail

using detail::Contains;
using detail::SortUnique;

bool CSectModel::UniteSections(int nSectionA, int nSectionB) { return BooleanSections(BOOL_UNITE, nSectionA, nSectionB); }

bool CSectModel::IntersectSections(int nSectionA, int nSectionB) {
    return BooleanSections(BOOL_INTERSECT, nSectionA, nSectionB);
}

bool CSectModel::SubtractSections(int nSectionA, int nSectionB) {
    return BooleanSections(BOOL_SUBTRACT, nSectionA, nSectionB);
}

bool CSectModel::BooleanSections(int nOp, int nSectionA, int nSectionB) {
    T_SM_SECTION* pA = GetSection(nSectionA);
    T_SM_SECTION* pB = GetSection(nSectionB);
    // A section combined with itself would be removed twice by the result builder.
    if (pA == nullptr || pB == nullptr || nSectionA == nSectionB) return false;
    if (pA->nType != 1 || pB->nType != 1) {
        Compose(SM_TEXT_WARNING, L"Boolean operation can be applied only to the plane sections.");
        return false;
    }
    const CString strA = pA->strName, strB = pB->strName;

    std::vector<int> aSavedLastCurve, aSavedLastPoint;
    aSavedLastCurve.swap(m_aLastCurve);
    aSavedLastPoint.swap(m_aLastPoint);
    auto fail = [&]() {
        m_aLastCurve = aSavedLastCurve;
        m_aLastPoint = aSavedLastPoint;
        Rollback();
        return false;
    };

    OpenHistory();
    if (nOp == BOOL_UNITE)
        ComposeTitle(L"Unite sections [%s] and [%s]", strA.GetString(), strB.GetString());
    else if (nOp == BOOL_INTERSECT)
        ComposeTitle(L"Intersect sections [%s] and [%s]", strA.GetString(), strB.GetString());
    else
        ComposeTitle(L"Subtract section [%s] from section [%s]", strB.GetString(), strA.GetString());
    SaveSection(pA);
    SaveSection(pB);

    std::vector<int> aL(pA->aCurveId);
    aL.insert(aL.end(), pB->aCurveId.begin(), pB->aCurveId.end());

    std::vector<int> aShared, aInside;
    if (!PrepareBooleanCurves(aL, aShared)) return fail();
    if (!ClassifyBooleanCurves(aL, nSectionA, nSectionB, aInside)) return fail();
    std::vector<int> aInsideSorted(aInside);
    SortUnique(aInsideSorted);

    if (nOp == BOOL_INTERSECT && aInside.empty()) {
        Compose(SM_TEXT_WARNING, L"Two selected sections do not have the common area.");
        return fail();
    }
    if (nOp == BOOL_SUBTRACT && aInside.empty()) {
        Compose(SM_TEXT_WARNING,
                L"Two selected sections do not have the common area.\n\nDelete the section [%s] using "
                L"[Model]-[Section]-[Delete].",
                strB.GetString());
        return fail();
    }

    // Selection of the curves that the operation drops.
    std::vector<int> aDelete, aR;
    for (int nId : aL) {
        const T_SM_CURVE* c = GetCurve(nId);
        if (c == nullptr) continue;
        const bool bIn = Contains(aInsideSorted, nId), bShared = Contains(aShared, nId);
        bool bDrop = false;
        if (nOp == BOOL_UNITE) bDrop = bIn != bShared;
        else if (nOp == BOOL_INTERSECT) bDrop = !bIn;
        else if (c->nSection == nSectionA) bDrop = bIn;
        else bDrop = !bIn || bShared;
        (bDrop ? aDelete : aR).push_back(nId);
    }
    for (int nId : aDelete) {
        T_SM_CURVE* c = GetCurve(nId);
        SaveCurve(c);
        c->nSection = 0;
    }
    if (!aDelete.empty()) DeleteCurves(aDelete, true, false, false);
    for (int nId : aR) {
        T_SM_CURVE* c = GetCurve(nId);
        if (c == nullptr) continue;
        SaveCurve(c);
        c->nSection = 0;
    }

    // The old records leave the section table while the result is built; they are needed
    // afterwards (caller values, union's re-activation) and to restore a failed build.
    std::unique_ptr<T_SM_SECTION> pOldA = m_mapSection.Release(nSectionA);
    std::unique_ptr<T_SM_SECTION> pOldB = m_mapSection.Release(nSectionB);
    if (!BuildBooleanResult(*pOldA, aR)) {
        m_mapSection.Insert(nSectionA, std::move(pOldA));
        m_mapSection.Insert(nSectionB, std::move(pOldB));
        return fail();
    }

    if (nOp == BOOL_UNITE) {
        T_SM_SECTION* pRes = GetSection(nSectionA);
        const detail::SectionShape shapeA = detail::BuildShape(*pOldA), shapeB = detail::BuildShape(*pOldB);
        for (const auto& de : pRes->mapDomain) {
            T_SM_DOMAIN& d = *de.second;
            for (const auto& te : pRes->mapTriangle) {
                const T_SM_TRIANGLE& t = *te.second;
                if (t.nDomainId != d.nId) continue;
                const T_SM_POINT* p[3] = {pRes->mapPoint.Find(t.aPointId[0]), pRes->mapPoint.Find(t.aPointId[1]),
                                          pRes->mapPoint.Find(t.aPointId[2])};
                if (p[0] == nullptr || p[1] == nullptr || p[2] == nullptr) break;
                const double m[2] = {(p[0]->dX + p[1]->dX + p[2]->dX) / 3.0, (p[0]->dY + p[1]->dY + p[2]->dY) / 3.0};
                d.bActive = detail::IsInside(shapeA, m) || detail::IsInside(shapeB, m);
                break;
            }
        }
        Compose(SM_TEXT_NOTICE, L"Section [%s] is changed by union with section [%s].", strA.GetString(),
                strB.GetString());
    } else if (nOp == BOOL_INTERSECT) {
        Compose(SM_TEXT_NOTICE, L"Section [%s] is changed by intersection with section [%s].", strA.GetString(),
                strB.GetString());
    } else {
        Compose(SM_TEXT_NOTICE, L"Section [%s] is changed by subtracting section [%s].", strA.GetString(),
                strB.GetString());
    }
    return true;
}

bool CSectModel::PrepareBooleanCurves(std::vector<int>& aL, std::vector<int>& aShared) {
    for (int nId : aL) {
        const T_SM_CURVE* c = GetCurve(nId);
        if (c == nullptr) return false;
        for (int nPt : c->aPointId)
            if (GetPoint(nPt) == nullptr) return false;
    }

    // Crossings: split fractions of every curve against the other section's curves. Segment
    // coordinates are looked up once; a box test skips pairs that cannot meet.
    struct CurveSeg {
        int nCurve, nSection;
        double a[2], b[2], dLen, dUpTo, dTotal;
        detail::Box box;
    };
    std::vector<CurveSeg> segs;
    for (int nC : aL) {
        const T_SM_CURVE* c = GetCurve(nC);
        const size_t nFirst = segs.size();
        double dUpTo = 0.0;
        for (size_t j = 0; j + 1 < c->aPointId.size(); ++j) {
            const T_SM_POINT* pa = GetPoint(c->aPointId[j]);
            const T_SM_POINT* pb = GetPoint(c->aPointId[j + 1]);
            CurveSeg g = {nC, c->nSection, {pa->dX, pa->dY}, {pb->dX, pb->dY}, 0.0, dUpTo, 0.0, detail::Box()};
            g.dLen = Gorv::distance_2d(g.a, g.b);
            g.box.Add(g.a);
            g.box.Add(g.b);
            g.box.Inflate(detail::kBoxSlack);
            dUpTo += g.dLen;
            segs.push_back(g);
        }
        for (size_t k = nFirst; k < segs.size(); ++k) segs[k].dTotal = dUpTo;
    }
    // Pairs of meeting boxes by a sweep along x; each segment's partners in ascending order, as
    // the plain pass over every pair visits them.
    bool bSweep = !detail::SmPlainPasses();
    for (const CurveSeg& g : segs)
        if (!std::isfinite(g.box.minX) || !std::isfinite(g.box.maxX) || !std::isfinite(g.box.minY) ||
            !std::isfinite(g.box.maxY))
            bSweep = false;
    std::vector<std::vector<size_t>> aPartner;
    if (bSweep) {
        aPartner.assign(segs.size(), std::vector<size_t>());
        std::vector<size_t> order(segs.size());
        for (size_t k = 0; k < order.size(); ++k) order[k] = k;
        std::sort(order.begin(), order.end(), [&segs](size_t x, size_t y) {
            return segs[x].box.minX < segs[y].box.minX || (segs[x].box.minX == segs[y].box.minX && x < y);
        });
        for (size_t x = 0; x < order.size(); ++x) {
            const CurveSeg& c = segs[order[x]];
            for (size_t y = x + 1; y < order.size() && segs[order[y]].box.minX <= c.box.maxX; ++y) {
                const CurveSeg& d = segs[order[y]];
                if (d.nSection == c.nSection || !c.box.Meets(d.box)) continue;
                aPartner[order[x]].push_back(order[y]);
                aPartner[order[y]].push_back(order[x]);
            }
        }
        for (std::vector<size_t>& a : aPartner) std::sort(a.begin(), a.end());
    }
    std::map<int, std::vector<double>> mapSplit;
    for (size_t ci = 0; ci < segs.size(); ++ci) {
        const CurveSeg& c = segs[ci];
        auto addSplit = [&](double t) {
            const double dT = (c.dUpTo + t * c.dLen) / c.dTotal;
            if (Gorv::is_not_zero(dT) && Gorv::is_not_zero(dT - 1.0)) mapSplit[c.nCurve].push_back(dT);
        };
        const size_t nPartners = bSweep ? aPartner[ci].size() : segs.size();
        for (size_t di = 0; di < nPartners; ++di) {
            const CurveSeg& d = segs[bSweep ? aPartner[ci][di] : di];
            if (d.nSection == c.nSection || !c.box.Meets(d.box)) continue;
            double t = 0.0, u = 0.0;
            if (Gorv::intersect_line_line_2d(c.a, c.b, d.a, d.b, t, u)) {
                addSplit(t);
                continue;
            }
            if (Gorv::is_in_line_2d(c.a, c.b, d.a, detail::kOnSegmentTol)) addSplit(Gorv::distance_2d(c.a, d.a) / c.dLen);
            if (Gorv::is_in_line_2d(c.a, c.b, d.b, detail::kOnSegmentTol)) addSplit(Gorv::distance_2d(c.a, d.b) / c.dLen);
        }
    }
    for (int nC : aL) {
        auto it = mapSplit.find(nC);
        if (it == mapSplit.end()) continue;
        T_SM_CURVE* c = GetCurve(nC);
        if (c == nullptr) return false;
        SaveCurve(c);
        SplitCurve(c, it->second);
    }
    aL.insert(aL.end(), m_aLastCurve.begin(), m_aLastCurve.end());
    SortUnique(aL);

    // Shared curves: of two coincident curves the earlier id survives and is noted in aShared.
    struct Ends {
        const T_SM_CURVE* c;
        double p0[2], p1[2];
    };
    std::vector<Ends> ends;
    for (int nC : aL) {
        const T_SM_CURVE* c = GetCurve(nC);
        if (c == nullptr || c->aPointId.empty()) return false;
        const T_SM_POINT* c0 = GetPoint(c->aPointId.front());
        const T_SM_POINT* c1 = GetPoint(c->aPointId.back());
        if (c0 == nullptr || c1 == nullptr) return false;
        ends.push_back({c, {c0->dX, c0->dY}, {c1->dX, c1->dY}});
    }
    const double tol = m_dTolerance;
    auto near = [tol](const double p[2], const double q[2]) {
        // The per-axis check is only a shortcut: a distance below tol needs both differences below it.
        return std::fabs(p[0] - q[0]) < tol && std::fabs(p[1] - q[1]) < tol && Gorv::distance_2d(p, q) < tol;
    };
    std::vector<char> isDup(ends.size(), 0);
    // Curves by the cell (twice the tolerance wide) of each end: a curve that can match another has
    // an end within the tolerance of the other's first point, so in the 3 x 3 cells around it.
    const double dCell = 2.0 * tol;
    auto cellOf = [dCell](const double p[2], int di, int dj, std::uint64_t& key) {
        const double cx = std::floor(p[0] / dCell), cy = std::floor(p[1] / dCell);
        if (!(std::fabs(cx) < 1e15) || !(std::fabs(cy) < 1e15)) return false;
        const std::int64_t i = static_cast<std::int64_t>(cx) + di, j = static_cast<std::int64_t>(cy) + dj;
        key = static_cast<std::uint64_t>(i) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(j);
        return true;
    };
    bool bCells = !detail::SmPlainPasses() && tol > 0.0 && std::isfinite(tol);
    std::unordered_map<std::uint64_t, std::vector<size_t>> mapEndCell;
    for (size_t k = 0; bCells && k < ends.size(); ++k) {
        std::uint64_t k0 = 0, k1 = 0;
        if (!cellOf(ends[k].p0, 0, 0, k0) || !cellOf(ends[k].p1, 0, 0, k1)) {
            bCells = false;
            break;
        }
        mapEndCell[k0].push_back(k);
        if (k1 != k0) mapEndCell[k1].push_back(k);
    }
    std::vector<size_t> aNear;
    for (size_t i = 0; i < ends.size(); ++i) {
        if (isDup[i]) continue;
        const Ends& c = ends[i];
        aNear.clear();
        if (bCells) {
            for (int di = -1; di <= 1; ++di)
                for (int dj = -1; dj <= 1; ++dj) {
                    std::uint64_t key = 0;
                    cellOf(c.p0, di, dj, key);
                    auto it = mapEndCell.find(key);
                    if (it != mapEndCell.end()) aNear.insert(aNear.end(), it->second.begin(), it->second.end());
                }
            std::sort(aNear.begin(), aNear.end());
            aNear.erase(std::unique(aNear.begin(), aNear.end()), aNear.end());
        }
        const size_t nNear = bCells ? aNear.size() : ends.size();
        for (size_t kk = 0; kk < nNear; ++kk) {
            const size_t k = bCells ? aNear[kk] : kk;
            if (k == i || isDup[k]) continue;
            const Ends& d = ends[k];
            if (d.c->aPointId.size() != c.c->aPointId.size()) continue;
            bool bMatch = (near(c.p0, d.p0) && near(c.p1, d.p1)) || (near(c.p0, d.p1) && near(c.p1, d.p0));
            if (bMatch && c.c->aPointId.size() > 2) {
                double cx = 0, cy = 0, dx = 0, dy = 0;
                bMatch = PointAtHalfLength(c.c, cx, cy) && PointAtHalfLength(d.c, dx, dy) &&
                         Gorv::distance_2d(cx, cy, dx, dy) < tol;
            }
            if (bMatch) {
                isDup[k] = 1;
                aShared.push_back(c.c->nId);
            }
        }
    }
    std::vector<int> aDup, aKeep;
    for (size_t i = 0; i < ends.size(); ++i) (isDup[i] ? aDup : aKeep).push_back(aL[i]);
    if (!aDup.empty()) {
        for (int nD : aDup) {
            T_SM_CURVE* d = GetCurve(nD);
            SaveCurve(d);
            d->nSection = 0;
        }
        aL.swap(aKeep);
        DeleteCurves(aDup, true, false, false);
    }
    SortUnique(aShared);
    return true;
}

bool CSectModel::ClassifyBooleanCurves(const std::vector<int>& aL, int nSectionA, int nSectionB,
                                       std::vector<int>& aInside) {
    const T_SM_SECTION* pA = GetSection(nSectionA);
    const T_SM_SECTION* pB = GetSection(nSectionB);
    if (pA == nullptr || pB == nullptr) return false;
    const detail::SectionShape shapeA = detail::BuildShape(*pA), shapeB = detail::BuildShape(*pB);
    if (!shapeA.bOk || !shapeB.bOk) return false;
    for (int nC : aL) {
        const T_SM_CURVE* c = GetCurve(nC);
        if (c == nullptr || c->aPointId.empty()) return false;
        std::vector<const T_SM_POINT*> pts;
        for (int nPt : c->aPointId) {
            const T_SM_POINT* p = GetPoint(nPt);
            if (p == nullptr) return false;
            pts.push_back(p);
        }
        // Sample point at half the polyline length.
        double dTotal = 0.0;
        for (size_t j = 0; j + 1 < pts.size(); ++j)
            dTotal += Gorv::distance_2d(pts[j]->dX, pts[j]->dY, pts[j + 1]->dX, pts[j + 1]->dY);
        double dRest = dTotal / 2.0;
        double m[2] = {pts[0]->dX, pts[0]->dY};
        for (size_t j = 0; j + 1 < pts.size(); ++j) {
            const double dSeg = Gorv::distance_2d(pts[j]->dX, pts[j]->dY, pts[j + 1]->dX, pts[j + 1]->dY);
            if (dSeg > dRest || std::fabs(dSeg - dRest) < m_dTolerance) {
                const double f = dSeg > 0.0 ? dRest / dSeg : 0.0;
                m[0] = pts[j]->dX + (pts[j + 1]->dX - pts[j]->dX) * f;
                m[1] = pts[j]->dY + (pts[j + 1]->dY - pts[j]->dY) * f;
                break;
            }
            dRest -= dSeg;
        }
        const detail::SectionShape& own = c->nSection == nSectionB ? shapeB : shapeA;
        const detail::SectionShape& other = c->nSection == nSectionB ? shapeA : shapeB;
        // A curve lying along the other section's boundary is judged from just inside its own section.
        if (detail::IsOnBoundary(other, m)) detail::NudgeInto(own, m);
        const bool bIn = detail::IsInside(other, m);
        if (bIn) aInside.push_back(nC);
    }
    return true;
}

bool CSectModel::BuildBooleanResult(const T_SM_SECTION& oldA, const std::vector<int>& aR) {
    const int nA = oldA.nId;
    std::vector<int> aPts;
    for (int nId : aR) {
        T_SM_CURVE* c = GetCurve(nId);
        if (c == nullptr) return false;
        c->nSectCurveId = 1;
        aPts.insert(aPts.end(), c->aPointId.begin(), c->aPointId.end());
    }
    SortUnique(aPts);
    EqualizePointsInTolerance(aPts, false, 0.0, 0.0, true, false, false, m_dTolerance);

    // Straight joins: a two-point curve continues through its end L into the only other curve at L
    // when L lies on the straight line between the two far ends.
    auto live = [this](int nId) -> T_SM_CURVE* {
        T_SM_CURVE* c = GetCurve(nId);
        return c != nullptr && c->nSectCurveId != 0 ? c : nullptr;
    };
    // Curves of R by end point, kept current as joins move ends and retire curves.
    std::map<int, std::vector<int>> mapAtEnd;
    auto link = [&mapAtEnd](int nPt, int nCurve) { mapAtEnd[nPt].push_back(nCurve); };
    auto unlink = [&mapAtEnd](int nPt, int nCurve) {
        std::vector<int>& a = mapAtEnd[nPt];
        a.erase(std::remove(a.begin(), a.end(), nCurve), a.end());
    };
    for (int nId : aR) {
        const T_SM_CURVE* c = live(nId);
        if (c == nullptr || c->aPointId.empty()) continue;
        link(c->aPointId.front(), nId);
        if (c->aPointId.back() != c->aPointId.front()) link(c->aPointId.back(), nId);
    }
    std::vector<int> aJoined;
    for (int nC : aR) {
        T_SM_CURVE* c = live(nC);
        if (c == nullptr || c->aPointId.size() != 2) continue;
        const int nF = c->aPointId[0], nLast = c->aPointId[1];
        T_SM_CURVE* d = nullptr;
        int nAtL = 0;
        for (int nD : mapAtEnd[nLast]) {
            T_SM_CURVE* e = live(nD);
            if (e == nullptr || nD == nC) continue;
            ++nAtL;
            d = e;
        }
        if (nAtL != 1 || d->aPointId.size() != 2) continue;
        const int nX = d->aPointId[0] == nLast ? d->aPointId[1] : d->aPointId[0];
        const T_SM_POINT* pF = GetPoint(nF);
        const T_SM_POINT* pX = GetPoint(nX);
        const T_SM_POINT* pL = GetPoint(nLast);
        if (pF == nullptr || pX == nullptr || pL == nullptr) continue;
        const double f[2] = {pF->dX, pF->dY}, x[2] = {pX->dX, pX->dY}, l[2] = {pL->dX, pL->dY};
        if (!Gorv::is_in_line_2d(f, x, l, detail::kOnSegmentTol)) continue;
        SaveCurve(c);
        c->aPointId[1] = nX;
        unlink(nLast, nC);
        link(nX, nC);
        d->nSectCurveId = 0;
        unlink(nLast, d->nId);
        unlink(nX, d->nId);
        aJoined.push_back(nLast);
    }
    SortUnique(aJoined);
    for (int nPt : aJoined) {
        const T_SM_POINT* p = GetPoint(nPt);
        if (p == nullptr) continue;
        SavePoint(p);
        m_mapPoint.Erase(nPt);
    }
    std::vector<int> aRemain;
    for (int nId : aR) {
        T_SM_CURVE* c = GetCurve(nId);
        if (c == nullptr) continue;
        if (c->nSectCurveId == 0) {
            SaveCurve(c);
            m_mapCurve.Erase(nId);
        } else {
            aRemain.push_back(nId);
        }
    }

    // Generation of the result, one section per island, merged into the first.
    std::size_t nMade = 0;
    const int nMerged = GenerateIslandSections(
        aRemain, oldA.bCallerFlag, oldA.aCallerId, oldA.strName, oldA.dCallerValue,
        L"Boolean operation results in the plane section composed of %zd island domains.\n\nIs it your "
        L"intended result?",
        &nMade);
    if (nMerged == 0) return false;

    std::unique_ptr<T_SM_SECTION> pRes = m_mapSection.Release(nMerged);
    pRes->nId = nA;
    T_SM_SECTION* pSect = m_mapSection.Insert(nA, std::move(pRes));
    RecordNewSection(nA, false);
    if (nMade > 1) SortUnique(pSect->aCurveId);
    for (int nId : pSect->aCurveId) {
        T_SM_CURVE* c = GetCurve(nId);
        if (c == nullptr) continue;
        SaveCurve(c);
        c->nSection = nA;
    }
    return true;
}
