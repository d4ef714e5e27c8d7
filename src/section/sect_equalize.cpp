// Point equalization (merging points into one and re-pointing curves), equalization of snowball
// clusters, and point separation that gives a section's curves points of their own.
#include <gorv/section/sect_model.h>

#include <algorithm>
#include <memory>
#include <utility>

#include "sect_geom.h"

namespace {

bool Holds(const std::vector<int>& a, int nId) { return std::find(a.begin(), a.end(), nId) != a.end(); }

void RemoveAll(std::vector<int>& a, int nId) { a.erase(std::remove(a.begin(), a.end(), nId), a.end()); }

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
        pTarget->dX = dTx;
        pTarget->dY = dTy;
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
            auto it = std::find(a.begin(), a.end(), nP);
            if (it == a.end()) continue;
            SaveCurve(pCurve);
            *it = t;
            if (a.size() == 2 && a[0] == t && a[1] == t) aDegenerate.push_back(pCurve->nId);
            a.erase(std::unique(a.begin(), a.end()), a.end());
            if (a.size() == 3 && a.front() == a.back()) a.pop_back();
        }
        if (bDeleteMerged) {
            SavePoint(pP);
            m_mapPoint.Erase(nP);
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

    std::vector<int> aList;
    for (int nId : aPointId)
        if (!IsSectionPoint(nId) && !IsLoopPoint(nId)) aList.push_back(nId);
    if (aList.size() != aPointId.size() && bNotice)
        Compose(SM_TEXT_WARNING, L"Point belonging to the section or the closed loop will be skipped in this operation.");
    if (aList.size() < 2) return false;

    auto isNear = [this, dSnowTol](int nA, int nB, bool& bNear) {
        const T_SM_POINT* pA = GetPoint(nA);
        const T_SM_POINT* pB = GetPoint(nB);
        if (pA == nullptr || pB == nullptr) return false;
        bNear = detail::SmDistance(pA->dX, pA->dY, pB->dX, pB->dY) < dSnowTol;
        return true;
    };

    bool bEqualized = false;
    for (std::size_t i = 0; i + 1 < aList.size(); ++i) {
        std::vector<int> aCluster(1, aList[i]);
        for (std::size_t j = i + 1; j < aList.size(); ++j) {
            bool bNear = false;
            if (!isNear(aList[i], aList[j], bNear)) return false;
            if (bNear) aCluster.push_back(aList[j]);
        }
        if (aCluster.size() < 2) continue;
        for (std::size_t m = 0; m < aCluster.size(); ++m) {
            for (int nEntry : aList) {
                if (Holds(aCluster, nEntry)) continue;
                bool bNear = false;
                if (!isNear(aCluster[m], nEntry, bNear)) return false;
                if (bNear) aCluster.push_back(nEntry);
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

    std::vector<int> aTwin;
    for (int nCurveId : aCurveId) {
        const T_SM_CURVE* pCurve = GetCurve(nCurveId);
        if (pCurve == nullptr) continue;
        for (int nP : std::vector<int>(pCurve->aPointId)) {
            T_SM_POINT* pP = GetPoint(nP);
            if (pP == nullptr) continue;
            for (const auto& kv : m_mapCurve) {
                T_SM_CURVE* pD = kv.second;
                if (Holds(aCurveId, pD->nId)) continue;
                auto it = std::find(pD->aPointId.begin(), pD->aPointId.end(), nP);
                if (it == pD->aPointId.end()) continue;
                SaveCurve(pD);
                if (pP->nTwin == 0) {
                    T_SM_POINT twin = *pP;
                    twin.nId = m_nNextPointId++;
                    twin.nTwin = 0;
                    m_mapPoint.InsertCopy(twin);
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
