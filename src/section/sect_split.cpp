// Curve splitting and duplicate removal. Splitting keeps the curve's id on its first piece and gives
// the later pieces ascending new ids; duplicate removal keeps the first of coinciding curves.
#include <gorv/section/sect_model.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <utility>

#include "sect_geom.h"

namespace {
const double kFractionGap = 0.001;  // split fractions closer than this to the next one are thinned
const std::size_t kNone = static_cast<std::size_t>(-1);
}  // namespace

void CSectModel::SplitCurve(T_SM_CURVE* pCurve, const std::vector<double>& aFraction) {
    if (pCurve == nullptr || aFraction.empty()) return;
    const int nCurveId = pCurve->nId;

    // NaN fractions are left out: they cut nowhere and would break the sort's ordering.
    std::vector<double> aSorted;
    for (double f : aFraction)
        if (!std::isnan(f)) aSorted.push_back(f);
    if (aSorted.empty()) return;
    std::sort(aSorted.begin(), aSorted.end());
    std::vector<double> aCut;
    for (std::size_t i = 0; i + 1 < aSorted.size(); ++i)
        if (aSorted[i + 1] - aSorted[i] >= kFractionGap) aCut.push_back(aSorted[i]);
    aCut.push_back(aSorted.back());
    const std::size_t k = aCut.size();

    const std::vector<int> aOwn = pCurve->aPointId;  // C's own points, before any change
    double dLength = 0.0;
    for (std::size_t j = 0; j < aOwn.size(); ++j) {
        const T_SM_POINT* p = GetPoint(aOwn[j]);
        if (p == nullptr) return;
        if (j > 0) {
            const T_SM_POINT* q = GetPoint(aOwn[j - 1]);
            dLength += detail::SmDistance(q->dX, q->dY, p->dX, p->dY);
        }
    }

    std::vector<std::vector<int>> aPiece(k + 1);
    std::vector<int> aNewPoint;
    std::size_t nLastPlaced = kNone;
    auto isPlaced = [&nLastPlaced](std::size_t j) { return nLastPlaced != kNone && j <= nLastPlaced; };

    for (std::size_t i = 1; i <= k; ++i) {
        double s = aCut[i - 1] * dLength;
        for (std::size_t j = 0; j + 1 < aOwn.size(); ++j) {
            const T_SM_POINT* pA = GetPoint(aOwn[j]);
            const T_SM_POINT* pB = GetPoint(aOwn[j + 1]);
            if (pA == nullptr || pB == nullptr) return;
            if (!isPlaced(j)) {
                aPiece[i - 1].push_back(aOwn[j]);
                nLastPlaced = j;
            }
            const double d = detail::SmDistance(pA->dX, pA->dY, pB->dX, pB->dY);
            if (d < s) {
                s -= d;
                continue;
            }
            // A zero-length segment cuts at its start rather than at 0/0.
            const double r = d > 0.0 ? s / d : 0.0;
            const double dX = pA->dX + (pB->dX - pA->dX) * r;
            const double dY = pA->dY + (pB->dY - pA->dY) * r;
            const int nA = aOwn[j];
            const int nB = aOwn[j + 1];
            int nCut = FindPoint(dX, dY);
            if (nCut == 0) {
                nCut = NewPoint(dX, dY)->nId;
                RecordNewPoint(nCut);
                aNewPoint.push_back(nCut);
            }
            if (nCut != nA) aPiece[i - 1].push_back(nCut);
            aPiece[i].push_back(nCut);
            if (nCut == nB) nLastPlaced = j + 1;
            break;
        }
    }
    const std::size_t nFrom = nLastPlaced == kNone ? 0 : nLastPlaced + 1;
    for (std::size_t j = nFrom; j < aOwn.size(); ++j) aPiece[k].push_back(aOwn[j]);

    T_SM_SECTION* pSection = pCurve->nSection != 0 ? GetSection(pCurve->nSection) : nullptr;
    if (pSection != nullptr) SaveSection(pSection);

    pCurve->aPointId = aPiece[0];
    std::vector<int> aNewCurve;
    for (std::size_t i = 1; i <= k; ++i) {
        std::unique_ptr<T_SM_CURVE> pNew(new T_SM_CURVE());
        pNew->nId = m_nNextCurveId++;
        pNew->nSectCurveId = 0;
        pNew->nType = pCurve->nType;
        pNew->dParam = pCurve->dParam;
        pNew->nSection = pCurve->nSection;
        pNew->aLoopId = pCurve->aLoopId;
        pNew->aPointId = aPiece[i];
        const int nNewId = pNew->nId;
        m_mapCurve.Insert(nNewId, std::move(pNew));
        if (pSection != nullptr) pSection->aCurveId.push_back(nNewId);
        RecordNewCurve(nNewId);
        aNewCurve.push_back(nNewId);
    }

    // Each loop is rebuilt once even if the curve lists it twice: a second pass would cut it again.
    std::vector<int> aDone;
    for (int nLoopId : std::vector<int>(pCurve->aLoopId)) {
        if (std::find(aDone.begin(), aDone.end(), nLoopId) != aDone.end()) continue;
        aDone.push_back(nLoopId);
        T_SM_LOOP* pLoop = GetLoop(nLoopId);
        if (pLoop == nullptr) continue;
        SaveLoop(pLoop);
        std::vector<int> aRebuilt;
        for (int nRef : pLoop->aCurveId) {
            if (nRef == nCurveId) {
                aRebuilt.push_back(nCurveId);
                aRebuilt.insert(aRebuilt.end(), aNewCurve.begin(), aNewCurve.end());
            } else if (nRef == -nCurveId) {
                for (auto it = aNewCurve.rbegin(); it != aNewCurve.rend(); ++it) aRebuilt.push_back(-*it);
                aRebuilt.push_back(-nCurveId);
            } else {
                aRebuilt.push_back(nRef);
            }
        }
        pLoop->aCurveId = aRebuilt;
    }

    m_aLastCurve.insert(m_aLastCurve.end(), aNewCurve.begin(), aNewCurve.end());
    m_aLastPoint.insert(m_aLastPoint.end(), aNewPoint.begin(), aNewPoint.end());

    wchar_t buf[1024];
    int nLen = GorvFormatBounded(buf, 1024, L"Curve [%d] is split into %d curves: curve [%d] ", nCurveId,
                                 static_cast<int>(k + 1), nCurveId);
    for (int nNewId : aNewCurve) {
        if (nLen < 0 || nLen >= 1023) break;
        nLen += GorvFormatBounded(buf + nLen, static_cast<std::size_t>(1024 - nLen), L"- curve [%d] ", nNewId);
    }
    Compose(SM_TEXT_NOTICE, L"%s", buf);
}

bool CSectModel::PointAtHalfLength(const T_SM_CURVE* pCurve, double& dX, double& dY) const {
    if (pCurve == nullptr || pCurve->aPointId.empty()) return false;
    std::vector<const T_SM_POINT*> aPt;
    double dLength = 0.0;
    for (int nId : pCurve->aPointId) {
        const T_SM_POINT* p = GetPoint(nId);
        if (p == nullptr) return false;
        if (!aPt.empty()) dLength += detail::SmDistance(aPt.back()->dX, aPt.back()->dY, p->dX, p->dY);
        aPt.push_back(p);
    }
    double dRest = dLength * 0.5;
    for (std::size_t j = 0; j + 1 < aPt.size(); ++j) {
        const double d = detail::SmDistance(aPt[j]->dX, aPt[j]->dY, aPt[j + 1]->dX, aPt[j + 1]->dY);
        if (d >= dRest) {
            // Proportional position along the segment that holds the half length.
            const double r = d > 0.0 ? dRest / d : 0.0;
            dX = aPt[j]->dX + (aPt[j + 1]->dX - aPt[j]->dX) * r;
            dY = aPt[j]->dY + (aPt[j + 1]->dY - aPt[j]->dY) * r;
            return true;
        }
        dRest -= d;
    }
    dX = aPt.back()->dX;
    dY = aPt.back()->dY;
    return true;
}

void CSectModel::DeleteDuplicateCurves(const std::vector<int>& aCurveId) {
    const double tol = m_dTolerance;
    for (int nId : aCurveId)
        if (T_SM_CURVE* p = GetCurve(nId)) p->nSectCurveId = 1;

    for (int nId : aCurveId) {
        T_SM_CURVE* pC = GetCurve(nId);
        if (pC == nullptr || pC->nSectCurveId != 1 || pC->nSection != 0) continue;
        const T_SM_POINT* pC0 = pC->aPointId.size() >= 2 ? GetPoint(pC->aPointId.front()) : nullptr;
        const T_SM_POINT* pC1 = pC->aPointId.size() >= 2 ? GetPoint(pC->aPointId.back()) : nullptr;
        if (pC0 == nullptr || pC1 == nullptr) {
            pC->nSectCurveId = 0;
            continue;
        }
        for (int nOther : aCurveId) {
            T_SM_CURVE* pD = GetCurve(nOther);
            if (pD == nullptr || pD->nSectCurveId != 1 || pD->nSection != 0 || pD->nId == pC->nId ||
                pD->aPointId.size() != pC->aPointId.size())
                continue;
            const T_SM_POINT* pD0 = GetPoint(pD->aPointId.front());
            const T_SM_POINT* pD1 = GetPoint(pD->aPointId.back());
            if (pD0 == nullptr || pD1 == nullptr) {
                pD->nSectCurveId = 0;
                continue;
            }
            const bool bSame = (detail::SmDistance(pC0->dX, pC0->dY, pD0->dX, pD0->dY) < tol &&
                                detail::SmDistance(pC1->dX, pC1->dY, pD1->dX, pD1->dY) < tol) ||
                               (detail::SmDistance(pC0->dX, pC0->dY, pD1->dX, pD1->dY) < tol &&
                                detail::SmDistance(pC1->dX, pC1->dY, pD0->dX, pD0->dY) < tol);
            if (!bSame) continue;
            if (pC->aPointId.size() == 2) {
                pD->nSectCurveId = 0;
                continue;
            }
            double dCx = 0.0, dCy = 0.0, dDx = 0.0, dDy = 0.0;
            if (PointAtHalfLength(pC, dCx, dCy) && PointAtHalfLength(pD, dDx, dDy) &&
                detail::SmDistance(dCx, dCy, dDx, dDy) < tol)
                pD->nSectCurveId = 0;
        }
    }

    int nCount = 0;
    for (int nId : aCurveId) {
        T_SM_CURVE* p = GetCurve(nId);
        if (p == nullptr || p->nSectCurveId != 0 || p->nSection != 0) continue;
        SaveCurve(p);
        m_mapCurve.Erase(nId);
        ++nCount;
    }
    if (nCount == 1)
        Compose(SM_TEXT_NOTICE, L"1 duplicate curve is deleted.");
    else if (nCount > 1)
        Compose(SM_TEXT_NOTICE, L"%d duplicate curves are deleted.", nCount);
}
