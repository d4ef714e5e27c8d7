// Curve deletion (with the loops it unregisters and the points it frees) and named groups.
// Group lists stay sorted ascending without repeats.
#include <gorv/section/sect_model.h>

#include "sect_fast.h"

#include <algorithm>
#include <cstdlib>

namespace {

bool Holds(const std::vector<int>& a, int nId) { return std::find(a.begin(), a.end(), nId) != a.end(); }

void SortUnique(std::vector<int>& a) {
    std::sort(a.begin(), a.end());
    a.erase(std::unique(a.begin(), a.end()), a.end());
}

}  // namespace

bool CSectModel::DeleteCurves(std::vector<int> aCurveId, bool bDeletePoints, bool bNotice, bool bRecordHistory) {
    for (int nId : aCurveId) {
        const T_SM_CURVE* pCurve = GetCurve(nId);
        if (pCurve == nullptr) return false;
        for (int nP : pCurve->aPointId)
            if (GetPoint(nP) == nullptr) return false;
    }

    std::vector<int> aList;
    for (int nId : aCurveId)
        if (GetCurve(nId)->nSection == 0) aList.push_back(nId);
    if (aList.size() != aCurveId.size())
        Compose(SM_TEXT_WARNING, L"Curve belonging to the section will be skipped in this operation.");
    if (aList.empty()) return false;

    bool bLoopLeft = false;
    for (int nId : aList) {
        for (int nLoopId : GetCurve(nId)->aLoopId) {
            const T_SM_LOOP* pLoop = GetLoop(nLoopId);
            if (pLoop == nullptr) continue;
            for (int nRef : pLoop->aCurveId)
                if (!Holds(aList, std::abs(nRef))) bLoopLeft = true;
        }
    }
    if (bLoopLeft) {
        if (aList.size() == 1)
            Compose(SM_TEXT_QUESTION, L"Closed loop, which is chained by the selected curve, will be unregistered.\n\n"
                                      L"Really delete this curve?");
        else
            Compose(SM_TEXT_QUESTION, L"Closed loop, which is chained by the selected curves, will be unregistered.\n\n"
                                      L"Really delete these curves?");
    }

    if (bRecordHistory) {
        OpenHistory();
        if (aList.size() == 1)
            ComposeTitle(L"Delete 1 curve");
        else
            ComposeTitle(L"Delete %zd curves", aList.size());
    }

    std::vector<int> aLoop;
    std::vector<int> aPoint;
    for (int nId : aList) {
        T_SM_CURVE* pCurve = GetCurve(nId);
        if (pCurve == nullptr) return false;
        SaveCurve(pCurve);
        for (int nLoopId : pCurve->aLoopId)
            if (!Holds(aLoop, nLoopId)) aLoop.push_back(nLoopId);
        if (bDeletePoints) aPoint.insert(aPoint.end(), pCurve->aPointId.begin(), pCurve->aPointId.end());
        m_mapCurve.Erase(nId);
    }

    for (int nLoopId : aLoop) {
        T_SM_LOOP* pLoop = GetLoop(nLoopId);
        if (pLoop == nullptr) continue;
        SaveLoop(pLoop);
        for (int nRef : pLoop->aCurveId) {
            T_SM_CURVE* pCurve = GetCurve(std::abs(nRef));
            if (pCurve == nullptr) continue;
            SaveCurve(pCurve);
            auto it = std::find(pCurve->aLoopId.begin(), pCurve->aLoopId.end(), nLoopId);
            if (it != pCurve->aLoopId.end()) pCurve->aLoopId.erase(it);
        }
        m_mapLoop.Erase(nLoopId);
    }

    if (bDeletePoints) {
        SortUnique(aPoint);
        // A point still used by a curve stays. Asking every curve for every point costs their
        // product; for more than a few points the curves' points are gathered once instead.
        const bool bGather = !detail::SmPlainPasses() && aPoint.size() > 8;
        std::vector<int> aUsed;
        if (bGather) {
            for (const auto& kv : m_mapCurve) aUsed.insert(aUsed.end(), kv.second->aPointId.begin(), kv.second->aPointId.end());
            SortUnique(aUsed);
        }
        for (int nP : aPoint) {
            bool bUsed = bGather && std::binary_search(aUsed.begin(), aUsed.end(), nP);
            for (auto it = m_mapCurve.begin(); !bGather && !bUsed && it != m_mapCurve.end(); ++it) bUsed = Holds(it->second->aPointId, nP);
            if (bUsed) continue;
            T_SM_POINT* pPoint = GetPoint(nP);
            if (pPoint == nullptr) return false;
            SavePoint(pPoint);
            ErasePoint(nP);
        }
    }

    if (bNotice) {
        if (aList.size() == 1)
            Compose(SM_TEXT_NOTICE, L"1 curve is deleted.");
        else
            Compose(SM_TEXT_NOTICE, L"%zd curves are deleted.", aList.size());
    }
    return true;
}

void CSectModel::AddToGroup(const std::vector<int>& aSectionId, const std::vector<int>& aCurveId,
                            const std::vector<int>& aPointId, bool bRecordHistory, const CString& strName) {
    if (strName.IsEmpty()) return;
    T_SM_GROUP* pGroup = nullptr;
    for (const auto& kv : m_mapGroup)
        if (kv.second->strName == strName) {
            pGroup = kv.second;
            break;
        }
    if (pGroup != nullptr) {
        if (bRecordHistory) {
            OpenHistory();
            ComposeTitle(L"Add to group [%s]", pGroup->strName.GetString());
        }
        SaveGroup(pGroup);
    } else {
        T_SM_GROUP group;
        group.nId = m_nNextGroupId++;
        group.strName = strName;
        pGroup = m_mapGroup.InsertCopy(group);
        if (bRecordHistory) {
            OpenHistory();
            ComposeTitle(L"Add to group [%s]", pGroup->strName.GetString());
        }
        RecordNewGroup(pGroup->nId);
    }

    for (int nSectionId : aSectionId) {
        const T_SM_SECTION* pSection = GetSection(nSectionId);
        if (pSection == nullptr) continue;
        pGroup->aSectionId.push_back(nSectionId);
        for (int nCurveId : pSection->aCurveId) {
            const T_SM_CURVE* pCurve = GetCurve(nCurveId);
            if (pCurve == nullptr) continue;
            pGroup->aCurveId.push_back(nCurveId);
            pGroup->aPointId.insert(pGroup->aPointId.end(), pCurve->aPointId.begin(), pCurve->aPointId.end());
        }
    }
    for (int nCurveId : aCurveId) {
        const T_SM_CURVE* pCurve = GetCurve(nCurveId);
        if (pCurve == nullptr) continue;
        pGroup->aCurveId.push_back(nCurveId);
        pGroup->aPointId.insert(pGroup->aPointId.end(), pCurve->aPointId.begin(), pCurve->aPointId.end());
    }
    pGroup->aPointId.insert(pGroup->aPointId.end(), aPointId.begin(), aPointId.end());
    SortUnique(pGroup->aSectionId);
    SortUnique(pGroup->aCurveId);
    SortUnique(pGroup->aPointId);
}

void CSectModel::AddSectionToGroup(int nSectionId, const CString& strName) {
    if (strName.IsEmpty()) return;
    AddToGroup(std::vector<int>(1, nSectionId), std::vector<int>(), std::vector<int>(), false, strName);
}
