// Point equalization (merging points into one and re-pointing curves), equalization of snowball
// clusters, and point separation that gives a section's curves points of their own.
#include <gorv/section/sect_model.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "sect_geom.h"

namespace {

bool Holds(const std::vector<int>& a, int nId) { return std::find(a.begin(), a.end(), nId) != a.end(); }

void RemoveAll(std::vector<int>& a, int nId) { a.erase(std::remove(a.begin(), a.end(), nId), a.end()); }

// Every point used by a defining curve of some section or by a curve of some model loop, sorted:
// the points that IsSectionPoint or IsLoopPoint accepts, gathered in one pass.
std::vector<int> SectionAndLoopPoints(const CSectModel& model) {
    std::vector<int> a;
    auto add = [&](int nCurveId) {
        if (const T_SM_CURVE* pCurve = model.GetCurve(nCurveId))
            a.insert(a.end(), pCurve->aPointId.begin(), pCurve->aPointId.end());
    };
    for (const auto& kv : model.m_mapSection)
        for (int nCurveId : kv.second->aCurveId) add(nCurveId);
    for (const auto& kv : model.m_mapLoop)
        for (int nRef : kv.second->aCurveId) add(nRef < 0 ? -nRef : nRef);
    std::sort(a.begin(), a.end());
    a.erase(std::unique(a.begin(), a.end()), a.end());
    return a;
}

// Coordinates of a point list in list order, with the finite entries also sorted by x so that
// the entries near a given one are found without comparing it with the whole list.
class CListCoords {
public:
    bool Load(const CSectModel& model, const std::vector<int>& aList) {
        m_aX.clear();
        m_aY.clear();
        m_aByX.clear();
        m_aOdd.clear();
        for (std::size_t k = 0; k < aList.size(); ++k) {
            const T_SM_POINT* p = model.GetPoint(aList[k]);
            if (p == nullptr) return false;
            m_aX.push_back(p->dX);
            m_aY.push_back(p->dY);
            if (std::isfinite(p->dX) && std::isfinite(p->dY))
                m_aByX.push_back(k);
            else
                m_aOdd.push_back(k);
        }
        std::sort(m_aByX.begin(), m_aByX.end(),
                  [this](std::size_t a, std::size_t b) { return m_aX[a] < m_aX[b] || (m_aX[a] == m_aX[b] && a < b); });
        return true;
    }
    bool IsNear(std::size_t a, std::size_t b, double dTol) const {
        return detail::SmDistance(m_aX[a], m_aY[a], m_aX[b], m_aY[b]) < dTol;
    }
    // Entries after i that lie closer than dTol to entry i, ascending. A distance below dTol
    // needs an x difference below it, so only entries within 2 dTol in x are compared (the
    // margin covers rounding); entries that are not finite are always compared.
    void NearAfter(std::size_t i, double dTol, std::vector<std::size_t>& aOut) const {
        aOut.clear();
        auto consider = [&](std::size_t j) {
            if (j > i && IsNear(i, j, dTol)) aOut.push_back(j);
        };
        if (std::isfinite(m_aX[i]) && std::isfinite(m_aY[i])) {
            const double lo = m_aX[i] - 2.0 * dTol, hi = m_aX[i] + 2.0 * dTol;
            auto it = std::lower_bound(m_aByX.begin(), m_aByX.end(), lo,
                                       [this](std::size_t k, double v) { return m_aX[k] < v; });
            for (; it != m_aByX.end() && m_aX[*it] <= hi; ++it) consider(*it);
            for (std::size_t j : m_aOdd) consider(j);
            std::sort(aOut.begin(), aOut.end());
        } else {
            for (std::size_t j = i + 1; j < m_aX.size(); ++j) consider(j);
        }
    }

private:
    std::vector<double> m_aX, m_aY;
    std::vector<std::size_t> m_aByX, m_aOdd;
};

}  // namespace

bool CSectModel::IsSectionPoint(int nPointId) const {
    for (const auto& kv : m_mapSection)
        for (int nCurveId : kv.second->aCurveId) {
            const T_SM_CURVE* pCurve = GetCurve(nCurveId);
            if (pCurve != nullptr && Holds(pCurve->aPointId, nPointId)) return true;
        }
    return false;
}

bool CSectModel::IsLoopPoint(int nPointId) const {
    for (const auto& kv : m_mapLoop)
        for (int nRef : kv.second->aCurveId) {
            const T_SM_CURVE* pCurve = GetCurve(nRef < 0 ? -nRef : nRef);
            if (pCurve != nullptr && Holds(pCurve->aPointId, nPointId)) return true;
        }
    return false;
}

void CSectModel::EqualizePoints(std::vector<int> aPointId, bool bAtPos, double dPosX, double dPosY,
                                bool bDeleteMerged, bool bNotice, bool bRecordHistory) {
    if (aPointId.size() < 2) return;
    for (int nId : aPointId)
        if (GetPoint(nId) == nullptr) return;

    std::vector<int> aList;
    for (int nId : aPointId)
        if (!IsSectionPoint(nId) && !IsLoopPoint(nId)) aList.push_back(nId);
    if (aList.size() != aPointId.size())
        Compose(SM_TEXT_WARNING, L"Point belonging to the section or the closed loop will be skipped in this operation.");
    if (aList.size() < 2) return;
    const std::vector<int> aKept = aList;  // the list as it stands after the filters
    const std::size_t nCount = aList.size();

    for (const auto& kv : m_mapCurve) {
        const T_SM_CURVE* pCurve = kv.second;
        if (pCurve->aPointId.size() == 2) continue;
        std::vector<std::size_t> aPos;
        for (std::size_t j = 0; j < pCurve->aPointId.size(); ++j)
            if (Holds(aList, pCurve->aPointId[j])) aPos.push_back(j);
        for (std::size_t m = 1; m < aPos.size(); ++m) {
            if (aPos[m] - aPos[m - 1] > 1) {
                Compose(SM_TEXT_WARNING,
                        L"This equivalence will make the curve [%d] be overlaped in itself.\n\n"
                        L"Split this curve or select all interior points between selected points.",
                        pCurve->nId);
                return;
            }
        }
    }

    double dTx = 0.0, dTy = 0.0;
    if (bAtPos) {
        dTx = dPosX;
        dTy = dPosY;
        const T_SM_CSYS* pCsys = GetCurCsys();
        if (pCsys != nullptr && pCsys->nId != 0)
            detail::SmTransform(dTx, dTy, pCsys->dShiftX, pCsys->dShiftY, pCsys->dAngle);
    } else {
        double dSumX = 0.0, dSumY = 0.0;
        for (int nId : aList) {
            const T_SM_POINT* p = GetPoint(nId);
            if (p == nullptr) return;
            dSumX += p->dX;
            dSumY += p->dY;
        }
        dTx = dSumX / static_cast<double>(aList.size());
        dTy = dSumY / static_cast<double>(aList.size());
    }

    if (bRecordHistory) {
        OpenHistory();
        ComposeTitle(L"Equalize %zd points", nCount);
    }

    int t = FindPoint(dTx, dTy);
    if (t == 0 && !bDeleteMerged) {
        t = NewPoint(dTx, dTy)->nId;
        m_aLastPoint.assign(1, t);
        RecordNewPoint(t);
    } else if (t == 0) {
        t = *std::min_element(aList.begin(), aList.end());
        T_SM_POINT* pTarget = GetPoint(t);
        SavePoint(pTarget);
        MovePoint(pTarget, dTx, dTy);
        RemoveAll(aList, t);
    } else {
        RemoveAll(aList, t);
    }

    std::vector<int> aDegenerate;
    for (int nP : aList) {
        T_SM_POINT* pP = GetPoint(nP);
        if (pP == nullptr) return;
        for (const auto& kv : m_mapCurve) {
            T_SM_CURVE* pCurve = kv.second;
            std::vector<int>& a = pCurve->aPointId;
            if (!Holds(a, nP)) continue;
            SaveCurve(pCurve);
            // Every occurrence, not only the first: a curve may hold P twice in a row (two cuts of
            // a split that snapped to one point give a piece (P, P)), and a P left behind would
            // name a point that is deleted just below. For a curve holding P once this is the
            // same single replacement.
            std::replace(a.begin(), a.end(), nP, t);
            if (a.size() == 2 && a[0] == t && a[1] == t) aDegenerate.push_back(pCurve->nId);
            a.erase(std::unique(a.begin(), a.end()), a.end());
            if (a.size() == 3 && a.front() == a.back()) a.pop_back();
        }
        if (bDeleteMerged) {
            SavePoint(pP);
            ErasePoint(nP);
        }
    }

    std::sort(aDegenerate.begin(), aDegenerate.end());
    aDegenerate.erase(std::unique(aDegenerate.begin(), aDegenerate.end()), aDegenerate.end());
    for (int nId : aDegenerate) m_mapCurve.Erase(nId);

    for (const auto& kv : m_mapCurve) kv.second->nSectCurveId = 1;
    std::vector<int> aCollected;
    for (int nP : aKept) {
        if (GetPoint(nP) == nullptr) continue;
        for (const auto& kv : m_mapCurve) {
            T_SM_CURVE* pCurve = kv.second;
            if (pCurve->nSectCurveId == 1 && Holds(pCurve->aPointId, nP)) {
                pCurve->nSectCurveId = 0;
                aCollected.push_back(pCurve->nId);
            }
        }
    }
    DeleteDuplicateCurves(aCollected);

    if (bNotice) {
        double dShowX = dTx, dShowY = dTy;
        const T_SM_CSYS* pCsys = GetCurCsys();
        if (pCsys != nullptr && pCsys->nId != 0)
            detail::SmInverseTransform(dShowX, dShowY, pCsys->dShiftX, pCsys->dShiftY, pCsys->dAngle);
        Compose(SM_TEXT_NOTICE, L"%zd points are equalized as point [%d] (%.3lf, %.3lf).", nCount, t, dShowX,
                dShowY);
    }
}

bool CSectModel::EqualizePointsInTolerance(std::vector<int> aPointId, bool bAtPos, double dPosX, double dPosY,
                                           bool bDeleteMerged, bool bNotice, bool bRecordHistory,
                                           double dSnowTol) {
    if (aPointId.size() < 2) return false;
    for (int nId : aPointId)
        if (GetPoint(nId) == nullptr) return false;

    const std::vector<int> aFixed = SectionAndLoopPoints(*this);
    std::vector<int> aList;
    for (int nId : aPointId)
        if (!std::binary_search(aFixed.begin(), aFixed.end(), nId)) aList.push_back(nId);
    if (aList.size() != aPointId.size() && bNotice)
        Compose(SM_TEXT_WARNING, L"Point belonging to the section or the closed loop will be skipped in this operation.");
    if (aList.size() < 2) return false;

    // Listed points stay in the model until their cluster is equalized, and clustering moves
    // none, so coordinates are read once and again only after each equalization.
    CListCoords coords;
    if (!coords.Load(*this, aList)) return false;
    std::vector<std::size_t> aNear;

    bool bEqualized = false;
    for (std::size_t i = 0; i + 1 < aList.size(); ++i) {
        coords.NearAfter(i, dSnowTol, aNear);
        if (aNear.empty()) continue;
        std::vector<int> aCluster(1, aList[i]);
        std::vector<std::size_t> aAt(1, i);  // list positions of the cluster's entries
        for (std::size_t j : aNear) {
            aCluster.push_back(aList[j]);
            aAt.push_back(j);
        }
        for (std::size_t m = 0; m < aCluster.size(); ++m) {
            for (std::size_t e = 0; e < aList.size(); ++e) {
                if (Holds(aCluster, aList[e])) continue;
                if (coords.IsNear(aAt[m], e, dSnowTol)) {
                    aCluster.push_back(aList[e]);
                    aAt.push_back(e);
                }
            }
        }
        if (!bEqualized && bRecordHistory) {
            OpenHistory();
            ComposeTitle(L"Equalize %zd points in tolerance", aList.size());
        }
        bEqualized = true;
        EqualizePoints(aCluster, bAtPos, dPosX, dPosY, bDeleteMerged, bNotice, false);
        aList.erase(std::remove_if(aList.begin(), aList.end(), [this](int nId) { return GetPoint(nId) == nullptr; }),
                    aList.end());
        if (!coords.Load(*this, aList)) return false;
    }
    if (!bEqualized && bNotice)
        Compose(SM_TEXT_NOTICE, L"No point exists within the snowball tolerance with other points in the selected group.");
    return true;
}

void CSectModel::SeparateSectionPoints(const std::vector<int>& aCurveId) {
    for (int nCurveId : aCurveId)
        if (const T_SM_CURVE* pCurve = GetCurve(nCurveId))
            for (int nP : pCurve->aPointId)
                if (T_SM_POINT* p = GetPoint(nP)) p->nTwin = 0;

    // The other curves that hold a point, as (point, curve) pairs sorted by point and then by
    // ascending curve id: the order in which a pass over the whole curve table would meet them.
    // Re-pointing only swaps a listed point for a brand-new twin, so the pairs stay a superset.
    std::vector<int> aListed(aCurveId);
    std::sort(aListed.begin(), aListed.end());
    std::vector<std::pair<int, T_SM_CURVE*>> aUse;
    for (const auto& kv : m_mapCurve) {
        if (std::binary_search(aListed.begin(), aListed.end(), kv.first)) continue;
        for (int nP : kv.second->aPointId) aUse.emplace_back(nP, kv.second);
    }
    std::stable_sort(aUse.begin(), aUse.end(),
                     [](const std::pair<int, T_SM_CURVE*>& a, const std::pair<int, T_SM_CURVE*>& b) {
                         return a.first < b.first;
                     });
    aUse.erase(std::unique(aUse.begin(), aUse.end()), aUse.end());

    std::vector<int> aTwin;
    for (int nCurveId : aCurveId) {
        const T_SM_CURVE* pCurve = GetCurve(nCurveId);
        if (pCurve == nullptr) continue;
        for (int nP : std::vector<int>(pCurve->aPointId)) {
            T_SM_POINT* pP = GetPoint(nP);
            if (pP == nullptr) continue;
            auto itUse = std::lower_bound(aUse.begin(), aUse.end(), nP,
                                          [](const std::pair<int, T_SM_CURVE*>& a, int n) { return a.first < n; });
            for (; itUse != aUse.end() && itUse->first == nP; ++itUse) {
                T_SM_CURVE* pD = itUse->second;
                auto it = std::find(pD->aPointId.begin(), pD->aPointId.end(), nP);
                if (it == pD->aPointId.end()) continue;
                SaveCurve(pD);
                if (pP->nTwin == 0) {
                    T_SM_POINT twin = *pP;
                    twin.nId = m_nNextPointId++;
                    twin.nTwin = 0;
                    InsertPoint(std::unique_ptr<T_SM_POINT>(new T_SM_POINT(twin)));
                    RecordNewPoint(twin.nId);
                    pP->nTwin = twin.nId;
                    aTwin.push_back(twin.nId);
                }
                *it = pP->nTwin;
            }
        }
    }
    if (!aTwin.empty()) m_aLastPoint = aTwin;
}
