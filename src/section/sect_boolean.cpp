// Union, intersection and subtraction of two plane sections of one model. The two sections'
// curves are split at their crossings, shared curves merged, every curve classified inside or
// outside the other section, the dropped curves deleted and the rest generated into a new plane
// section that takes the first section's id. One undo record per call; any failure after the
// first change rolls the model back to its state before the call.
#include <gorv/section/sect_model.h>

#include <gorv/geom/gorv_func.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <utility>

namespace detail {
namespace {

const double kOnSegmentTol = 1e-06;  // cosine tolerance of the point-on-segment tests
const double kInsideWinding = 350.0; // |winding sum| above this: the point is enclosed

void SortUnique(std::vector<int>& a) {
    std::sort(a.begin(), a.end());
    a.erase(std::unique(a.begin(), a.end()), a.end());
}

bool Contains(const std::vector<int>& sorted, int n) { return std::binary_search(sorted.begin(), sorted.end(), n); }

// Winding sum of m about the triangle p0 p1 p2 (degrees).
double TriangleWinding(const double m[2], const T_SM_POINT& p0, const T_SM_POINT& p1, const T_SM_POINT& p2) {
    const double a[2] = {p0.dX, p0.dY}, b[2] = {p1.dX, p1.dY}, c[2] = {p2.dX, p2.dY};
    return Gorv::angle_2d(m, a, b) + Gorv::angle_2d(m, b, c) + Gorv::angle_2d(m, c, a);
}

// Looks up the three corners of a triangle in the section's point table; false if one is missing.
bool TriangleCorners(const T_SM_SECTION& s, const T_SM_TRIANGLE& t, const T_SM_POINT* p[3]) {
    for (int k = 0; k < 3; ++k) {
        p[k] = s.mapPoint.Find(t.aPointId[k]);
        if (p[k] == nullptr) return false;
    }
    return true;
}

bool IsActiveDomain(const T_SM_SECTION& s, int nDomainId) {
    const T_SM_DOMAIN* d = s.mapDomain.Find(nDomainId);
    return d != nullptr && d->bActive;
}

// True when m lies strictly inside (winding above 350) some triangle of an active domain of s.
// bOk turns false when a triangle names a missing point.
bool IsInsideSection(const T_SM_SECTION& s, const double m[2], bool& bOk) {
    for (const auto& e : s.mapTriangle) {
        const T_SM_TRIANGLE& t = *e.second;
        if (!IsActiveDomain(s, t.nDomainId)) continue;
        const T_SM_POINT* p[3];
        if (!TriangleCorners(s, t, p)) {
            bOk = false;
            return false;
        }
        if (std::fabs(TriangleWinding(m, *p[0], *p[1], *p[2])) > kInsideWinding) return true;
    }
    return false;
}

// True when m lies on a segment of a loop curve of an active domain of s (strictly between its ends).
bool IsOnActiveBoundary(const T_SM_SECTION& s, const double m[2]) {
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
                    const double a[2] = {p->dX, p->dY}, b[2] = {q->dX, q->dY};
                    if (Gorv::is_in_line_2d(a, b, m, kOnSegmentTol)) return true;
                }
            }
        }
    }
    return false;
}

// Moves m a hundredth of the way toward the opposite corner of the first triangle of an active
// domain of s that has m on one of its edges; leaves m alone when there is none.
void NudgeIntoSection(const T_SM_SECTION& s, double m[2]) {
    for (const auto& e : s.mapTriangle) {
        const T_SM_TRIANGLE& t = *e.second;
        if (!IsActiveDomain(s, t.nDomainId)) continue;
        const T_SM_POINT* p[3];
        if (!TriangleCorners(s, t, p)) continue;
        for (int k = 0; k < 3; ++k) {
            const T_SM_POINT& a = *p[k];
            const T_SM_POINT& b = *p[(k + 1) % 3];
            const T_SM_POINT& v = *p[(k + 2) % 3];
            const double pa[2] = {a.dX, a.dY}, pb[2] = {b.dX, b.dY};
            if (Gorv::is_in_line_2d(pa, pb, m, kOnSegmentTol)) {
                m[0] += 0.01 * (v.dX - m[0]);
                m[1] += 0.01 * (v.dY - m[1]);
                return;
            }
        }
    }
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
        for (const auto& de : pRes->mapDomain) {
            T_SM_DOMAIN& d = *de.second;
            for (const auto& te : pRes->mapTriangle) {
                const T_SM_TRIANGLE& t = *te.second;
                if (t.nDomainId != d.nId) continue;
                const T_SM_POINT* p[3];
                if (!detail::TriangleCorners(*pRes, t, p)) break;
                const double m[2] = {(p[0]->dX + p[1]->dX + p[2]->dX) / 3.0, (p[0]->dY + p[1]->dY + p[2]->dY) / 3.0};
                bool bOk = true;
                d.bActive = detail::IsInsideSection(*pOldA, m, bOk) || detail::IsInsideSection(*pOldB, m, bOk);
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

    // Crossings: split fractions of every curve against the other section's curves.
    std::map<int, std::vector<double>> mapSplit;
    for (int nC : aL) {
        const T_SM_CURVE* c = GetCurve(nC);
        double dTotal = 0.0;
        for (size_t j = 0; j + 1 < c->aPointId.size(); ++j) {
            const T_SM_POINT* a = GetPoint(c->aPointId[j]);
            const T_SM_POINT* b = GetPoint(c->aPointId[j + 1]);
            dTotal += Gorv::distance_2d(a->dX, a->dY, b->dX, b->dY);
        }
        double dUpTo = 0.0;
        for (size_t j = 0; j + 1 < c->aPointId.size(); ++j) {
            const T_SM_POINT* pa = GetPoint(c->aPointId[j]);
            const T_SM_POINT* pb = GetPoint(c->aPointId[j + 1]);
            const double a[2] = {pa->dX, pa->dY}, b[2] = {pb->dX, pb->dY};
            const double dAB = Gorv::distance_2d(a, b);
            auto addSplit = [&](double t) {
                const double dT = (dUpTo + t * dAB) / dTotal;
                if (Gorv::is_not_zero(dT) && Gorv::is_not_zero(dT - 1.0)) mapSplit[nC].push_back(dT);
            };
            for (int nD : aL) {
                const T_SM_CURVE* d = GetCurve(nD);
                if (d->nSection == c->nSection) continue;
                for (size_t k = 0; k + 1 < d->aPointId.size(); ++k) {
                    const T_SM_POINT* pp = GetPoint(d->aPointId[k]);
                    const T_SM_POINT* pq = GetPoint(d->aPointId[k + 1]);
                    const double p[2] = {pp->dX, pp->dY}, q[2] = {pq->dX, pq->dY};
                    double t = 0.0, u = 0.0;
                    if (Gorv::intersect_line_line_2d(a, b, p, q, t, u)) {
                        addSplit(t);
                        continue;
                    }
                    if (Gorv::is_in_line_2d(a, b, p, detail::kOnSegmentTol)) addSplit(Gorv::distance_2d(a, p) / dAB);
                    if (Gorv::is_in_line_2d(a, b, q, detail::kOnSegmentTol)) addSplit(Gorv::distance_2d(a, q) / dAB);
                }
            }
            dUpTo += dAB;
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
    std::set<int> duplicates;
    const double tol = m_dTolerance;
    for (int nC : aL) {
        if (duplicates.count(nC)) continue;
        const T_SM_CURVE* c = GetCurve(nC);
        if (c == nullptr || c->aPointId.empty()) return false;
        const T_SM_POINT* c0 = GetPoint(c->aPointId.front());
        const T_SM_POINT* c1 = GetPoint(c->aPointId.back());
        if (c0 == nullptr || c1 == nullptr) return false;
        for (int nD : aL) {
            if (nD == nC || duplicates.count(nD)) continue;
            const T_SM_CURVE* d = GetCurve(nD);
            if (d == nullptr || d->aPointId.size() != c->aPointId.size()) continue;
            const T_SM_POINT* d0 = GetPoint(d->aPointId.front());
            const T_SM_POINT* d1 = GetPoint(d->aPointId.back());
            if (d0 == nullptr || d1 == nullptr) return false;
            auto near = [tol](const T_SM_POINT* p, const T_SM_POINT* q) {
                return Gorv::distance_2d(p->dX, p->dY, q->dX, q->dY) < tol;
            };
            bool bMatch = (near(c0, d0) && near(c1, d1)) || (near(c0, d1) && near(c1, d0));
            if (bMatch && c->aPointId.size() > 2) {
                double cx = 0, cy = 0, dx = 0, dy = 0;
                bMatch = PointAtHalfLength(c, cx, cy) && PointAtHalfLength(d, dx, dy) &&
                         Gorv::distance_2d(cx, cy, dx, dy) < tol;
            }
            if (bMatch) {
                duplicates.insert(nD);
                aShared.push_back(nC);
            }
        }
    }
    if (!duplicates.empty()) {
        std::vector<int> aDup;
        for (int nD : duplicates) {
            T_SM_CURVE* d = GetCurve(nD);
            SaveCurve(d);
            d->nSection = 0;
            aDup.push_back(nD);
        }
        aL.erase(std::remove_if(aL.begin(), aL.end(), [&](int n) { return duplicates.count(n) != 0; }), aL.end());
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
        const T_SM_SECTION& own = c->nSection == nSectionB ? *pB : *pA;
        const T_SM_SECTION& other = c->nSection == nSectionB ? *pA : *pB;
        // A curve lying along the other section's boundary is judged from just inside its own section.
        if (detail::IsOnActiveBoundary(other, m)) detail::NudgeIntoSection(own, m);
        bool bOk = true;
        const bool bIn = detail::IsInsideSection(other, m, bOk);
        if (!bOk) return false;
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
    std::vector<int> aJoined;
    for (int nC : aR) {
        T_SM_CURVE* c = live(nC);
        if (c == nullptr || c->aPointId.size() != 2) continue;
        const int nF = c->aPointId[0], nLast = c->aPointId[1];
        T_SM_CURVE* d = nullptr;
        int nAtL = 0;
        for (int nD : aR) {
            T_SM_CURVE* e = live(nD);
            if (e == nullptr || nD == nC || e->aPointId.empty()) continue;
            if (e->aPointId.front() == nLast || e->aPointId.back() == nLast) {
                ++nAtL;
                d = e;
            }
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
        d->nSectCurveId = 0;
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
