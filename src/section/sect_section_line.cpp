// Line section generation: a section made only of a set of free model curves that neither
// coincide nor overlap and that take whole closed loops or none of them.
#include <gorv/section/sect_model.h>

#include <gorv/geom/gorv_func.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

int CSectModel::GenerateLineSection(const std::vector<int>& aCurveId, bool bFlag, const std::vector<int>& aCallerId,
                                    const CString& strGroup, const CString& strName, double dValue) {
    const double tol = m_dTolerance;

    // 1. Pairs of segments of different curves must neither coincide nor overlap.
    for (int c : aCurveId) {
        const T_SM_CURVE* pc = GetCurve(c);
        if (!pc) return 0;
        for (std::size_t j = 0; j + 1 < pc->aPointId.size(); ++j) {
            const T_SM_POINT* pa = GetPoint(pc->aPointId[j]);
            const T_SM_POINT* pb = GetPoint(pc->aPointId[j + 1]);
            if (!pa || !pb) return 0;
            const double a[2] = {pa->dX, pa->dY}, b[2] = {pb->dX, pb->dY};
            for (int d : aCurveId) {
                if (d == c) continue;
                // A missing curve is reported when its own turn comes.
                const T_SM_CURVE* pd = GetCurve(d);
                if (!pd) continue;
                for (std::size_t k = 0; k + 1 < pd->aPointId.size(); ++k) {
                    const T_SM_POINT* pp = GetPoint(pd->aPointId[k]);
                    const T_SM_POINT* pq = GetPoint(pd->aPointId[k + 1]);
                    if (!pp || !pq) return 0;
                    const double p[2] = {pp->dX, pp->dY}, q[2] = {pq->dX, pq->dY};
                    if ((Gorv::distance_2d(a, p) < tol && Gorv::distance_2d(b, q) < tol) ||
                        (Gorv::distance_2d(a, q) < tol && Gorv::distance_2d(b, p) < tol)) {
                        Compose(SM_TEXT_WARNING, L"Cannot generate a new line section.\n\nCurves [%d] and [%d] coincide.",
                                c, d);
                        return 0;
                    }
                    const int nOn = (Gorv::is_in_line_2d(a, b, p, 1e-06) ? 1 : 0) +
                                    (Gorv::is_in_line_2d(a, b, q, 1e-06) ? 1 : 0) +
                                    (Gorv::is_in_line_2d(p, q, a, 1e-06) ? 1 : 0) +
                                    (Gorv::is_in_line_2d(p, q, b, 1e-06) ? 1 : 0);
                    if (nOn >= 2) {
                        Compose(SM_TEXT_WARNING, L"Cannot generate a new line section.\n\nCurves [%d] and [%d] overlap.",
                                c, d);
                        return 0;
                    }
                }
            }
        }
    }

    // 2. Free curves only; the closed loops they run through.
    std::vector<int> aLoop;
    for (int c : aCurveId) {
        const T_SM_CURVE* pc = GetCurve(c);
        if (pc->nSection != 0) {
            const T_SM_SECTION* pOwner = GetSection(pc->nSection);
            Compose(SM_TEXT_WARNING,
                    L"Curve [%d] cannot be used to generate a new section.\n\nA curve can belong to only one "
                    L"section.\n\nIt already belongs to the section [%s].",
                    c, pOwner ? pOwner->strName.GetString() : L"");
            return 0;
        }
        for (int nLoop : pc->aLoopId) {
            if (std::find(aLoop.begin(), aLoop.end(), nLoop) == aLoop.end()) aLoop.push_back(nLoop);
        }
    }

    // 3. A closed loop is taken whole or not at all.
    for (int nLoop : aLoop) {
        const T_SM_LOOP* pl = GetLoop(nLoop);
        if (!pl) continue;
        std::vector<int> aMissing;
        for (int nRef : pl->aCurveId) {
            if (std::find(aCurveId.begin(), aCurveId.end(), std::abs(nRef)) == aCurveId.end())
                aMissing.push_back(std::abs(nRef));
        }
        if (aMissing.empty()) continue;
        CString str;
        str.Format(L"Not all curves belonging to the closed loop [%d] are selected.\n\n", nLoop);
        str += aMissing.size() == 1 ? L"Curve [" : L"Curves [";
        for (std::size_t i = 0; i + 1 < aMissing.size(); ++i) str.AppendFormat(L"%d:", aMissing[i]);
        str.AppendFormat(L"%d]", aMissing.back());
        str += aMissing.size() == 1 ? L" is not selected." : L" are not selected.";
        Compose(SM_TEXT_WARNING, L"%s", str.GetString());
        return 0;
    }

    // 4. - 7.
    std::unique_ptr<T_SM_SECTION> pNew(new T_SM_SECTION());
    const int nId = m_nNextSectionId++;
    pNew->nId = nId;
    if (strName.IsEmpty())
        pNew->strName.Format(L"Section-%d", nId);
    else
        pNew->strName = strName;
    pNew->nType = 2;
    pNew->bCallerFlag = bFlag;
    pNew->dCallerValue = dValue;
    pNew->aCallerId = aCallerId;
    pNew->aCurveId = aCurveId;
    T_SM_SECTION* pSection = m_mapSection.Insert(nId, std::move(pNew));

    SetNewSection(nId);
    RecordNewSection(nId, true);
    ComposeTitle(L"Generate new line section [%s]", pSection->strName.GetString());
    for (int c : aCurveId) {
        T_SM_CURVE* pc = GetCurve(c);
        SaveCurve(pc);
        pc->nSection = nId;
    }
    SeparateSectionPoints(aCurveId);
    if (!strGroup.IsEmpty()) AddSectionToGroup(nId, strGroup);
    return nId;
}
