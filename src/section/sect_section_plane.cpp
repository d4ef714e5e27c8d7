// Plane section generation: checks of the selected curves, their copy into a new section in
// coordinates normalised to the selection's box, the outer boundary, the triangulation, the loop
// rebuild, and the merge of several island sections into one.
#include <gorv/section/sect_model.h>

#include <gorv/geom/gorv_func.h>

#include "sect_fast.h"
#include "sect_loop_util.h"
#include "sect_point_grid.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>

namespace {

const wchar_t* const kOwnedCurveFmt =
    L"Curve [%d] cannot be used to generate a new section.\n\nA curve can belong to only one section.\n\n"
    L"It already belongs to the section [%s].";

void SortUnique(std::vector<int>& a) {
    std::sort(a.begin(), a.end());
    a.erase(std::unique(a.begin(), a.end()), a.end());
}

// One straight piece of a selected curve, with its box widened by a margin outside of which
// is_in_line_2d (cosine tolerance 1e-6: at most ~3.6e-4 of the length off the segment) cannot hold.
struct SegBox {
    int a, b;
    double pa[2], pb[2];
    double lo[2], hi[2];
};

}  // namespace

int CSectModel::GenerateSection(const std::vector<int>& aCurveId) {
    return GenerateSectionEx(1, aCurveId, false, std::vector<int>(), CString(), CString(L"NULL"), 0.0);
}

int CSectModel::GenerateSectionEx(int nKind, const std::vector<int>& aCurveId, bool bFlag,
                                  const std::vector<int>& aCallerId, const CString& strGroup,
                                  const CString& strName, double dValue) {
    if (nKind != 1 && nKind != 2) return 0;
    std::vector<int> aPointId;
    for (int nId : aCurveId) {
        const T_SM_CURVE* pc = GetCurve(nId);
        if (!pc) return 0;
        if (pc->nSection != 0) {
            const T_SM_SECTION* pOwner = GetSection(pc->nSection);
            Compose(SM_TEXT_WARNING, kOwnedCurveFmt, nId, pOwner ? pOwner->strName.GetString() : L"");
            return 0;
        }
        aPointId.insert(aPointId.end(), pc->aPointId.begin(), pc->aPointId.end());
    }
    SortUnique(aPointId);
    EqualizePointsInTolerance(aPointId, false, 0.0, 0.0, true, false, true, m_dTolerance);
    std::vector<int> aSel;
    for (int nId : aCurveId) {
        if (GetCurve(nId)) aSel.push_back(nId);
    }
    if (nKind == 2) return GenerateLineSection(aSel, bFlag, aCallerId, strGroup, strName, dValue);

    std::size_t nMade = 0;
    const int nSection = GenerateIslandSections(
        aSel, bFlag, aCallerId, strName, dValue,
        L"Selected curves define the plane section composed of %zd island domains.\n\nIs it your intended plane section?",
        &nMade);
    if (nSection == 0) return 0;
    T_SM_SECTION* pSection = GetSection(nSection);

    SetNewSection(nSection);
    RecordNewSection(nSection, true);
    ComposeTitle(L"Generate new plane section [%s]", pSection->strName.GetString());
    if (nMade > 1) SortUnique(pSection->aCurveId);
    for (int nId : pSection->aCurveId) {
        T_SM_CURVE* pc = GetCurve(nId);
        if (!pc) continue;
        SaveCurve(pc);
        pc->nSection = nSection;
    }
    SeparateSectionPoints(aSel);
    if (!strGroup.IsEmpty()) AddSectionToGroup(nSection, strGroup);
    return nSection;
}

int CSectModel::GenerateIslandSections(const std::vector<int>& aCurveId, bool bFlag,
                                       const std::vector<int>& aCallerId, const CString& strName, double dValue,
                                       const wchar_t* pszIslandQuestion, std::size_t* pnMade) {
    if (pnMade) *pnMade = 0;
    std::vector<int> aRemain = aCurveId;
    std::vector<int> aMade;
    bool bFailed = aRemain.empty();
    while (!aRemain.empty()) {
        const int nId = GeneratePlaneSection(aRemain, bFlag, aCallerId, strName, dValue);
        if (nId == 0) {
            bFailed = true;
            break;
        }
        aMade.push_back(nId);
        const T_SM_SECTION* pSection = GetSection(nId);
        const std::set<int> setUsed(pSection->aCurveId.begin(), pSection->aCurveId.end());
        const std::size_t nBefore = aRemain.size();
        aRemain.erase(std::remove_if(aRemain.begin(), aRemain.end(), [&](int c) { return setUsed.count(c) != 0; }),
                      aRemain.end());
        // A section that used none of the remaining curves would repeat forever.
        if (aRemain.size() == nBefore) {
            bFailed = true;
            break;
        }
    }
    if (bFailed) {
        for (int nId : aMade) m_mapSection.Erase(nId);
        for (int nId : aCurveId) {
            if (T_SM_CURVE* pc = GetCurve(nId)) pc->nSectCurveId = 0;
        }
        return 0;
    }
    if (aMade.size() > 1 && pszIslandQuestion) Compose(SM_TEXT_QUESTION, pszIslandQuestion, aMade.size());
    T_SM_SECTION* pFirst = GetSection(aMade[0]);
    for (std::size_t i = 1; i < aMade.size(); ++i) {
        std::unique_ptr<T_SM_SECTION> pOther = m_mapSection.Release(aMade[i]);
        if (pOther) MergeSection(pFirst, *pOther);
    }
    if (pnMade) *pnMade = aMade.size();
    return pFirst->nId;
}

void CSectModel::MergeSection(T_SM_SECTION* pInto, const T_SM_SECTION& from) {
    const int nPt = pInto->nNextPointId, nTri = pInto->nNextTriangleId, nCrv = pInto->nNextCurveId;
    const int nLoop = pInto->nNextLoopId, nDom = pInto->nNextDomainId;
    for (const auto& kv : from.mapPoint) {
        std::unique_ptr<T_SM_POINT> p(new T_SM_POINT(*kv.second));
        p->nId += nPt;
        detail::Adopt(pInto->mapPoint, std::move(p));
    }
    for (const auto& kv : from.mapTriangle) {
        std::unique_ptr<T_SM_TRIANGLE> p(new T_SM_TRIANGLE(*kv.second));
        p->nId += nTri;
        if (p->nDomainId != 0) p->nDomainId += nDom;
        for (int& nId : p->aPointId) nId += nPt;
        detail::Adopt(pInto->mapTriangle, std::move(p));
    }
    for (const auto& kv : from.mapCurve) {
        std::unique_ptr<T_SM_SECT_CURVE> p(new T_SM_SECT_CURVE(*kv.second));
        p->nId += nCrv;
        if (p->nTwinId != 0) p->nTwinId += nCrv;
        for (int& nId : p->aPointId) nId += nPt;
        for (T_SM_CURVE_LINK& lk : p->aStartLink) lk.nCurveId += nCrv;
        for (T_SM_CURVE_LINK& lk : p->aEndLink) lk.nCurveId += nCrv;
        detail::Adopt(pInto->mapCurve, std::move(p));
    }
    for (const auto& kv : from.mapLoop) {
        std::unique_ptr<T_SM_LOOP> p(new T_SM_LOOP(*kv.second));
        p->nId += nLoop;
        for (int& nRef : p->aCurveId) nRef = nRef < 0 ? nRef - nCrv : nRef + nCrv;
        detail::Adopt(pInto->mapLoop, std::move(p));
    }
    for (const auto& kv : from.mapDomain) {
        std::unique_ptr<T_SM_DOMAIN> p(new T_SM_DOMAIN(*kv.second));
        p->nId += nDom;
        for (int& nId : p->aLoopId) nId += nLoop;
        detail::Adopt(pInto->mapDomain, std::move(p));
    }
    pInto->nNextPointId += from.nNextPointId;
    pInto->nNextTriangleId += from.nNextTriangleId;
    pInto->nNextCurveId += from.nNextCurveId;
    pInto->nNextLoopId += from.nNextLoopId;
    pInto->nNextDomainId += from.nNextDomainId;
    pInto->aCurveId.insert(pInto->aCurveId.end(), from.aCurveId.begin(), from.aCurveId.end());
}

int CSectModel::GeneratePlaneSection(const std::vector<int>& aCurveIdIn, bool bFlag,
                                     const std::vector<int>& aCallerId, const CString& strName, double dValue) {
    // 1. Free curves with resolvable, finite points; the selection's box.
    double dMinX = 1e35, dMinY = 1e35, dMaxX = -1e35, dMaxY = -1e35;
    for (int nId : aCurveIdIn) {
        const T_SM_CURVE* pc = GetCurve(nId);
        if (!pc) return 0;
        if (pc->nSection != 0) {
            const T_SM_SECTION* pOwner = GetSection(pc->nSection);
            Compose(SM_TEXT_WARNING, kOwnedCurveFmt, nId, pOwner ? pOwner->strName.GetString() : L"");
            return 0;
        }
        for (int nPt : pc->aPointId) {
            const T_SM_POINT* pp = GetPoint(nPt);
            // A NaN or infinite coordinate can bound no area; refuse it rather than trace garbage.
            if (!pp || !std::isfinite(pp->dX) || !std::isfinite(pp->dY)) return 0;
            dMinX = std::min(dMinX, pp->dX);
            dMinY = std::min(dMinY, pp->dY);
            dMaxX = std::max(dMaxX, pp->dX);
            dMaxY = std::max(dMaxY, pp->dY);
        }
    }
    const double dWidth = dMaxX - dMinX, dHeight = dMaxY - dMinY;

    // 2. Sorted, unique.
    std::vector<int> aCurveId = aCurveIdIn;
    SortUnique(aCurveId);
    std::vector<const T_SM_CURVE*> aCurve;
    for (int nId : aCurveId) aCurve.push_back(GetCurve(nId));
    // The point records of every curve, looked up once for the steps below (no point table
    // changes before step 6; step 1 made sure that every one exists).
    std::vector<std::vector<const T_SM_POINT*>> aCurvePt(aCurve.size());
    for (std::size_t ci = 0; ci < aCurve.size(); ++ci)
        for (int nPt : aCurve[ci]->aPointId) aCurvePt[ci].push_back(GetPoint(nPt));

    // 3. Coincident, overlapping or too short curves.
    std::vector<std::vector<SegBox>> aSeg(aCurve.size());
    for (std::size_t ci = 0; ci < aCurve.size(); ++ci) {
        const std::vector<int>& aPt = aCurve[ci]->aPointId;
        for (std::size_t j = 0; j + 1 < aPt.size(); ++j) {
            SegBox s;
            s.a = aPt[j];
            s.b = aPt[j + 1];
            const T_SM_POINT* pa = aCurvePt[ci][j];
            const T_SM_POINT* pb = aCurvePt[ci][j + 1];
            s.pa[0] = pa->dX;
            s.pa[1] = pa->dY;
            s.pb[0] = pb->dX;
            s.pb[1] = pb->dY;
            const double dMargin = 1e-3 * Gorv::distance_2d(s.pa, s.pb) + 1e-12;
            for (int k = 0; k < 2; ++k) {
                s.lo[k] = std::min(s.pa[k], s.pb[k]) - dMargin;
                s.hi[k] = std::max(s.pa[k], s.pb[k]) + dMargin;
            }
            aSeg[ci].push_back(s);
        }
    }
    // The first failing pair of each curve (segment, other curve, its segment, in that order) and
    // whether it coincides (1) or overlaps (2), found by a sweep over the boxes; the plain pass
    // tries every pair in that order.
    const bool bSweep = !detail::SmPlainPasses();
    struct PairHit {
        std::size_t s = 0, di = 0, t = 0;
        int nKind = 0;
    };
    std::vector<PairHit> aHit(aCurve.size());
    if (bSweep) {
        struct SweepSeg {
            double lo, hi;
            std::size_t ci, si;
        };
        std::vector<SweepSeg> aAll;
        for (std::size_t ci = 0; ci < aCurve.size(); ++ci)
            for (std::size_t si = 0; si < aSeg[ci].size(); ++si)
                aAll.push_back(SweepSeg{aSeg[ci][si].lo[0], aSeg[ci][si].hi[0], ci, si});
        std::sort(aAll.begin(), aAll.end(), [](const SweepSeg& x, const SweepSeg& y) {
            return x.lo < y.lo || (x.lo == y.lo && (x.ci < y.ci || (x.ci == y.ci && x.si < y.si)));
        });
        auto note = [&aHit](std::size_t ci, std::size_t si, std::size_t di, std::size_t ti, int nKind) {
            PairHit& h = aHit[ci];
            if (h.nKind == 0 || si < h.s || (si == h.s && (di < h.di || (di == h.di && ti < h.t)))) {
                h.s = si;
                h.di = di;
                h.t = ti;
                h.nKind = nKind;
            }
        };
        for (std::size_t x = 0; x < aAll.size(); ++x) {
            for (std::size_t y = x + 1; y < aAll.size() && !(aAll[x].hi < aAll[y].lo); ++y) {
                if (aAll[x].ci == aAll[y].ci) continue;
                const SegBox& s = aSeg[aAll[x].ci][aAll[x].si];
                const SegBox& t = aSeg[aAll[y].ci][aAll[y].si];
                int nKind = 0;
                if ((s.a == t.a && s.b == t.b) || (s.a == t.b && s.b == t.a))
                    nKind = 1;
                else if (s.hi[0] < t.lo[0] || t.hi[0] < s.lo[0] || s.hi[1] < t.lo[1] || t.hi[1] < s.lo[1])
                    continue;
                else if (Gorv::is_in_line_2d(s.pa, s.pb, t.pa, 1e-06) || Gorv::is_in_line_2d(s.pa, s.pb, t.pb, 1e-06) ||
                         Gorv::is_in_line_2d(t.pa, t.pb, s.pa, 1e-06) || Gorv::is_in_line_2d(t.pa, t.pb, s.pb, 1e-06))
                    nKind = 2;
                if (nKind == 0) continue;
                note(aAll[x].ci, aAll[x].si, aAll[y].ci, aAll[y].si, nKind);
                note(aAll[y].ci, aAll[y].si, aAll[x].ci, aAll[x].si, nKind);
            }
        }
    }
    for (std::size_t ci = 0; ci < aCurve.size(); ++ci) {
        const int c = aCurve[ci]->nId;
        double dLen = 0.0;
        if (bSweep) {
            for (const SegBox& s : aSeg[ci]) dLen += Gorv::distance_2d(s.pa, s.pb);
            const PairHit& h = aHit[ci];
            if (h.nKind == 1) {
                Compose(SM_TEXT_WARNING, L"Cannot generate a new plane section.\n\nCurves [%d] and [%d] coincide.", c,
                        aCurve[h.di]->nId);
                return 0;
            }
            if (h.nKind == 2) {
                Compose(SM_TEXT_WARNING,
                        L"Cannot generate a new plane section.\n\nCurves [%d] and [%d] overlap or cross each other.", c,
                        aCurve[h.di]->nId);
                return 0;
            }
        }
        for (std::size_t si = 0; !bSweep && si < aSeg[ci].size(); ++si) {
            const SegBox& s = aSeg[ci][si];
            dLen += Gorv::distance_2d(s.pa, s.pb);
            for (std::size_t di = 0; di < aCurve.size(); ++di) {
                if (di == ci) continue;
                const int d = aCurve[di]->nId;
                for (const SegBox& t : aSeg[di]) {
                    if ((s.a == t.a && s.b == t.b) || (s.a == t.b && s.b == t.a)) {
                        Compose(SM_TEXT_WARNING, L"Cannot generate a new plane section.\n\nCurves [%d] and [%d] coincide.",
                                c, d);
                        return 0;
                    }
                    // Disjoint widened boxes: no end of one can lie inside the other.
                    if (s.hi[0] < t.lo[0] || t.hi[0] < s.lo[0] || s.hi[1] < t.lo[1] || t.hi[1] < s.lo[1]) continue;
                    if (Gorv::is_in_line_2d(s.pa, s.pb, t.pa, 1e-06) || Gorv::is_in_line_2d(s.pa, s.pb, t.pb, 1e-06) ||
                        Gorv::is_in_line_2d(t.pa, t.pb, s.pa, 1e-06) || Gorv::is_in_line_2d(t.pa, t.pb, s.pb, 1e-06)) {
                        Compose(SM_TEXT_WARNING,
                                L"Cannot generate a new plane section.\n\nCurves [%d] and [%d] overlap or cross each other.",
                                c, d);
                        return 0;
                    }
                }
            }
        }
        if (m_dTolerance + 1e-06 > dLen * 0.5) {
            Compose(SM_TEXT_WARNING,
                    L"Tolerance [%.3lf] is too large.\n\nIt should be less than the half of the length [%.3lf] of the "
                    L"shortest curve [%d].",
                    m_dTolerance, dLen, c);
            return 0;
        }
    }

    // 4. Every open curve meets another selected curve at both ends.
    if (aCurve.size() >= 2) {
        std::map<int, int> mapEndUse;  // point id -> number of curves ending there
        for (const T_SM_CURVE* pc : aCurve) {
            const int f = pc->aPointId.front(), l = pc->aPointId.back();
            ++mapEndUse[f];
            if (l != f) ++mapEndUse[l];
        }
        for (const T_SM_CURVE* pc : aCurve) {
            const int f = pc->aPointId.front(), l = pc->aPointId.back();
            if (f == l) continue;
            if (mapEndUse[f] < 2 || mapEndUse[l] < 2) {
                Compose(SM_TEXT_WARNING,
                        L"Cannot generate a new plane section.\n\nCurve [%d] is not connected with other curve(s) at "
                        L"point [%d].",
                        pc->nId, mapEndUse[f] < 2 ? f : l);
                return 0;
            }
        }
    }

    // A selection on one vertical or horizontal line has zero width or height: it encloses no
    // area, and the normalisation below would divide by zero, so it is refused here.
    if (!(dWidth > 0.0) || !(dHeight > 0.0)) return 0;

    // 5. The section with one active domain around one (still empty) outer loop.
    std::unique_ptr<T_SM_SECTION> pNew(new T_SM_SECTION());
    T_SM_SECTION* pSec = pNew.get();
    pSec->nId = m_nNextSectionId++;
    if (strName.IsEmpty())
        pSec->strName.Format(L"Section-%d", pSec->nId);
    else
        pSec->strName = strName;
    pSec->nType = 1;
    pSec->bCallerFlag = bFlag;
    pSec->dCallerValue = dValue;
    pSec->aCallerId = aCallerId;
    std::unique_ptr<T_SM_DOMAIN> pDomRec(new T_SM_DOMAIN());
    T_SM_DOMAIN* pDom = pDomRec.get();
    pDom->nId = pSec->nNextDomainId++;
    pDom->bActive = true;
    std::unique_ptr<T_SM_LOOP> pOuterRec(new T_SM_LOOP());
    T_SM_LOOP* pOuter = pOuterRec.get();
    pOuter->nId = pSec->nNextLoopId++;
    pOuter->nKind = 1;
    pDom->aLoopId.push_back(pOuter->nId);
    pSec->mapDomain.Insert(pDom->nId, std::move(pDomRec));
    pSec->mapLoop.Insert(pOuter->nId, std::move(pOuterRec));

    // 6. Copies of the curves and their points, normalised. A grid answers the coincidence
    // search (the first point, by id, closer than 1e-6) as the plain pass over the table does.
    std::unique_ptr<CPointGrid> pGrid;
    if (!detail::SmPlainPasses()) {
        pGrid.reset(new CPointGrid());
        pGrid->Build(pSec->mapPoint, 1e-06);
    }
    // Section point of each model point already copied: asking again for the same model point
    // gives the same answer (the point found or made then is still the lowest id that passes,
    // as every point made since has a higher id), so the search runs once per model point.
    std::unordered_map<int, int> mapCopied;
    double dCx = 0.0, dCy = 0.0;
    int nNewPoints = 0;
    for (std::size_t ci = 0; ci < aCurve.size(); ++ci) {
        T_SM_CURVE* pc = GetCurve(aCurve[ci]->nId);
        // The records looked up above, unless the curve's own id names another record.
        const bool bSame = pc == aCurve[ci];
        pSec->aCurveId.push_back(pc->nId);
        std::unique_ptr<T_SM_SECT_CURVE> pSc(new T_SM_SECT_CURVE());
        pSc->nId = pSec->nNextCurveId++;
        pSc->nType = pc->nType;
        pc->nSectCurveId = pSc->nId;
        for (std::size_t j = 0; j < pc->aPointId.size(); ++j) {
            const int nPt = pc->aPointId[j];
            if (pGrid) {
                auto it = mapCopied.find(nPt);
                if (it != mapCopied.end()) {
                    pSc->aPointId.push_back(it->second);
                    continue;
                }
            }
            const T_SM_POINT* pp = bSame ? aCurvePt[ci][j] : GetPoint(nPt);
            const double q[2] = {pp->dX / dWidth, pp->dY / dHeight};
            int nFound = 0;
            bool bGridFound = false;
            const bool bGrid = pGrid && pGrid->Find(q[0], q[1], bGridFound, nFound);
            if (!bGrid) nFound = 0;
            for (const auto& kv : pSec->mapPoint) {
                if (bGrid) break;
                const T_SM_POINT* ps = kv.second;
                if (std::fabs(ps->dX - q[0]) >= 1e-06 || std::fabs(ps->dY - q[1]) >= 1e-06) continue;
                if (Gorv::distance_2d(ps->dX, ps->dY, q[0], q[1]) < 1e-06) {
                    nFound = kv.first;
                    break;
                }
            }
            if (nFound == 0) {
                std::unique_ptr<T_SM_POINT> pNp(new T_SM_POINT(*pp));
                pNp->nId = pSec->nNextPointId++;
                pNp->nTwin = 0;
                pNp->dX = q[0];
                pNp->dY = q[1];
                nFound = pNp->nId;
                dCx += q[0];
                dCy += q[1];
                ++nNewPoints;
                pSec->mapPoint.Insert(nFound, std::move(pNp));
                if (pGrid) pGrid->Add(nFound, q[0], q[1]);
            }
            // A coordinate that overflowed matches nothing, not even itself: not remembered.
            if (pGrid && std::isfinite(q[0]) && std::isfinite(q[1])) mapCopied.emplace(nPt, nFound);
            pSc->aPointId.push_back(nFound);
        }
        detail::Adopt(pSec->mapCurve, std::move(pSc));
    }
    if (nNewPoints > 0) {
        dCx /= nNewPoints;
        dCy /= nNewPoints;
    }

    // 7. Outer boundary; curves outside it leave the section.
    std::vector<int> aOuter;
    if (!TraceOuterBoundary(pSec, dCx, dCy, aOuter)) return 0;
    pOuter->aCurveId = aOuter;
    std::set<int> setOuterCurve(aOuter.begin(), aOuter.end());
    std::set<int> setOuterPoint;
    for (int nId : aOuter) {
        const T_SM_SECT_CURVE* pc = pSec->mapCurve.Find(nId);
        setOuterPoint.insert(pc->aPointId.begin(), pc->aPointId.end());
    }

    // 8. Every other curve is an interior curve of its own, still unresolved.
    for (const auto& kv : pSec->mapCurve) {
        if (setOuterCurve.count(kv.first)) continue;
        std::unique_ptr<T_SM_LOOP> pl(new T_SM_LOOP());
        pl->nId = pSec->nNextLoopId++;
        pl->nKind = 4;
        pl->aCurveId.push_back(kv.first);
        pDom->aLoopId.push_back(pl->nId);
        detail::Adopt(pSec->mapLoop, std::move(pl));
    }

    // 9. Defining curves are those whose copy survived.
    {
        std::vector<int> aKeep;
        for (int nId : pSec->aCurveId) {
            T_SM_CURVE* pc = GetCurve(nId);
            if (pSec->mapCurve.Contains(pc->nSectCurveId)) {
                pc->nSectCurveId = 0;
                aKeep.push_back(nId);
            }
        }
        pSec->aCurveId.swap(aKeep);
    }

    // 10. - 13.
    const int nSecId = pSec->nId;
    m_mapSection.Insert(nSecId, std::move(pNew));
    if (TriangulateSection(pSec) == 0) {
        m_mapSection.Erase(nSecId);
        SinkMessage(L"Failed to generate a new section");
        return 0;
    }
    const int nDomId = pDom->nId;
    for (const auto& kv : pSec->mapTriangle) kv.second->nDomainId = nDomId;
    if (!BuildSectionLoops(pSec)) {
        m_mapSection.Erase(nSecId);
        SinkMessage(L"Failed to generate a new section.");
        return 0;
    }
    for (const auto& kv : pSec->mapLoop) {
        if (kv.second->nKind == 3 || kv.second->nKind == 4) {
            m_mapSection.Erase(nSecId);
            SinkMessage(L"Plane section should have a clear simply-connected geometry.\n\n"
                        L"(All its domains should be defined by simply-connected curve-loops)");
            return 0;
        }
    }

    // 14. With several domains, only those touching the traced outer boundary are area.
    if (pSec->mapDomain.size() > 1) {
        for (const auto& dkv : pSec->mapDomain) {
            bool bTouch = false;
            for (int nLoopId : dkv.second->aLoopId) {
                const T_SM_LOOP* pl = pSec->mapLoop.Find(nLoopId);
                if (!pl) continue;
                for (int nRef : pl->aCurveId) {
                    const T_SM_SECT_CURVE* pc = pSec->mapCurve.Find(std::abs(nRef));
                    if (!pc) continue;
                    for (int nPt : pc->aPointId) {
                        if (setOuterPoint.count(nPt)) {
                            bTouch = true;
                            break;
                        }
                    }
                    if (bTouch) break;
                }
                if (bTouch) break;
            }
            dkv.second->bActive = bTouch;
        }
    }

    // 15. Back to model coordinates.
    for (const auto& kv : pSec->mapPoint) {
        kv.second->dX *= dWidth;
        kv.second->dY *= dHeight;
    }
    return nSecId;
}
