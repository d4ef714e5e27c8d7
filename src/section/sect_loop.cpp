// Closed loops of a plane section: the winding-sum tests, the outer boundary trace (rightmost
// turn) and the rebuild of loops, open chains and domains (leftmost turn).
// Coordinates here are the section's normalised ones, so 0.001 is a fraction of its extent.
#include <gorv/section/sect_model.h>

#include <gorv/geom/gorv_func.h>

#include "sect_fast.h"
#include "sect_loop_util.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

using detail::SectPointXY;

// ---------------------------------------------------------------------------------------------
// Winding sums and test points
// ---------------------------------------------------------------------------------------------

bool CSectModel::LoopWindingSum(const T_SM_SECTION* pSection, const std::vector<int>& aCurveRef, double dX,
                                double dY, double& dSum) const {
    dSum = 0.0;
    if (!pSection) return false;
    if (!detail::SmPlainPasses()) {
        detail::SmLoopRing ring;
        if (ring.Build(*pSection, aCurveRef)) {
            dSum = ring.Sum(dX, dY);
            return true;
        }
    }
    const double t[2] = {dX, dY};
    return detail::ForEachLoopSegment(*pSection, aCurveRef, [&](int nFrom, int nTo) {
        double p0[2], p1[2];
        if (!SectPointXY(pSection, nFrom, p0) || !SectPointXY(pSection, nTo, p1)) return false;
        dSum += Gorv::angle_2d(t, p0, p1);
        return true;
    });
}

bool CSectModel::LoopTestPointOf(const T_SM_SECTION* pSection, const std::vector<int>& aCurveRef, int nKind,
                                 double pt[2]) const {
    if (!pSection || aCurveRef.empty()) return false;
    int nMin = std::abs(aCurveRef[0]);
    for (int nRef : aCurveRef) nMin = std::min(nMin, std::abs(nRef));
    const T_SM_SECT_CURVE* pCurve = pSection->mapCurve.Find(nMin);
    if (!pCurve || pCurve->aPointId.size() < 2) return false;
    const std::size_t n = pCurve->aPointId.size();
    double a[2], b[2];
    if (!SectPointXY(pSection, pCurve->aPointId[n / 2 - 1], a) || !SectPointXY(pSection, pCurve->aPointId[n / 2], b))
        return false;
    pt[0] = (a[0] + b[0]) * 0.5;
    pt[1] = (a[1] + b[1]) * 0.5;
    if (nKind == 3) return true;
    const double dLen = Gorv::distance_2d(a, b);
    // A zero-length middle segment has no left side; its middle is the best point left.
    if (!(dLen > 0.0)) return true;
    const double s = 0.001 / dLen;
    pt[0] += s * (a[1] - b[1]);
    pt[1] += s * (b[0] - a[0]);
    return true;
}

T_GORV_POINT2D CSectModel::LoopTestPoint(const T_SM_SECTION* pSection, const T_SM_LOOP* pLoop) const {
    T_GORV_POINT2D res = {0.0, 0.0};
    double pt[2];
    if (pLoop && LoopTestPointOf(pSection, pLoop->aCurveId, pLoop->nKind, pt)) {
        res.x = pt[0];
        res.y = pt[1];
    }
    return res;
}

bool CSectModel::IsPointInLoop(const T_SM_SECTION* pSection, const T_GORV_POINT2D& pt, const T_SM_LOOP* pLoop) const {
    if (!pLoop || pLoop->aCurveId.empty()) return false;
    double dSum = 0.0;
    if (!LoopWindingSum(pSection, pLoop->aCurveId, pt.x, pt.y, dSum)) return false;
    return std::fabs(dSum) > 350.0;
}

bool CSectModel::IsLoopInLoop(const T_SM_SECTION* pSection, const T_SM_LOOP* pInner, const T_SM_LOOP* pOuter) const {
    if (!pInner) return false;
    double pt[2];
    if (!LoopTestPointOf(pSection, pInner->aCurveId, pInner->nKind, pt)) return false;
    const T_GORV_POINT2D p = {pt[0], pt[1]};
    return IsPointInLoop(pSection, p, pOuter);
}

// ---------------------------------------------------------------------------------------------
// Outer boundary (rightmost turn)
// ---------------------------------------------------------------------------------------------

bool CSectModel::TraceOuterBoundary(T_SM_SECTION* pSection, double dCx, double dCy, std::vector<int>& aOuter) {
    aOuter.clear();
    const wchar_t* const pszNoStart =
        L"Cannot construct a closed outer loop of the plane section.\n\nConnect all curves correctly and then try again.";
    if (!pSection) {
        Compose(SM_TEXT_WARNING, pszNoStart);
        return false;
    }
    const double c[2] = {dCx, dCy};
    // Every curve must have two resolvable ends; anything else cannot be traced.
    for (const auto& kv : pSection->mapCurve) {
        const std::vector<int>& aPt = kv.second->aPointId;
        double p[2];
        bool bOk = aPt.size() >= 2;
        for (std::size_t j = 0; bOk && j < aPt.size(); ++j) bOk = SectPointXY(pSection, aPt[j], p);
        if (!bOk) {
            Compose(SM_TEXT_WARNING, pszNoStart);
            return false;
        }
    }

    std::set<int> setExcluded;
    T_SM_SECT_CURVE* pStart = nullptr;
    double dStartBest = 0.0;
    for (;;) {
        pStart = nullptr;
        double dBest = dStartBest;
        for (const auto& kv : pSection->mapCurve) {
            if (setExcluded.count(kv.first)) continue;
            double p[2];
            SectPointXY(pSection, kv.second->aPointId.front(), p);
            const double d = Gorv::distance_2d(p, c);
            if (d > dBest) {
                dBest = d;
                pStart = kv.second;
            }
        }
        if (!pStart) {
            Compose(SM_TEXT_WARNING, pszNoStart);
            return false;
        }
        const int nF = pStart->aPointId.front();
        const int nL = pStart->aPointId.back();
        if (nF == nL) break;
        bool bF = false, bL = false;
        for (const auto& kv : pSection->mapCurve) {
            if (kv.first == pStart->nId || setExcluded.count(kv.first)) continue;
            const int f = kv.second->aPointId.front(), l = kv.second->aPointId.back();
            if (f == nF || l == nF) bF = true;
            if (f == nL || l == nL) bL = true;
        }
        if (bF && bL) break;
        setExcluded.insert(pStart->nId);
        dStartBest = -1e35;
    }

    {
        double pf[2], pl[2];
        SectPointXY(pSection, pStart->aPointId.front(), pf);
        SectPointXY(pSection, pStart->aPointId.back(), pl);
        if (Gorv::angle_2d(c, pf, pl) < 0.0) std::reverse(pStart->aPointId.begin(), pStart->aPointId.end());
    }
    std::vector<int> aList(1, pStart->nId);
    std::set<int> setTraced;
    setTraced.insert(pStart->nId);
    const int nFirst = pStart->aPointId.front();
    // Curves by first and by last point, kept current as curves are turned around; the plain
    // pass looks through every curve at every step instead.
    const bool bIndexed = !detail::SmPlainPasses();
    std::unordered_map<int, std::set<int>> mapByFront, mapByBack;  // looked up by point only
    if (bIndexed) {
        for (const auto& kv : pSection->mapCurve) {
            mapByFront[kv.second->aPointId.front()].insert(kv.first);
            mapByBack[kv.second->aPointId.back()].insert(kv.first);
        }
    }
    if (pStart->aPointId.back() != nFirst) {
        for (;;) {
            const T_SM_SECT_CURVE* pLast = pSection->mapCurve.Find(aList.back());
            const int nCur = pLast->aPointId.back();
            std::vector<T_SM_SECT_CURVE*> aCand;
            if (bIndexed) {
                std::vector<int> aTurn;
                for (int nId : mapByBack[nCur])
                    if (!setTraced.count(nId)) aTurn.push_back(nId);
                for (int nId : aTurn) {
                    T_SM_SECT_CURVE* pc = pSection->mapCurve.Find(nId);
                    mapByFront[pc->aPointId.front()].erase(nId);
                    mapByBack[pc->aPointId.back()].erase(nId);
                    std::reverse(pc->aPointId.begin(), pc->aPointId.end());
                    mapByFront[pc->aPointId.front()].insert(nId);
                    mapByBack[pc->aPointId.back()].insert(nId);
                }
                for (int nId : mapByFront[nCur])
                    if (!setTraced.count(nId)) aCand.push_back(pSection->mapCurve.Find(nId));
            } else {
                for (const auto& kv : pSection->mapCurve) {
                    if (!setTraced.count(kv.first) && kv.second->aPointId.back() == nCur)
                        std::reverse(kv.second->aPointId.begin(), kv.second->aPointId.end());
                }
                for (const auto& kv : pSection->mapCurve) {
                    if (!setTraced.count(kv.first) && kv.second->aPointId.front() == nCur) aCand.push_back(kv.second);
                }
            }
            T_SM_SECT_CURVE* pNext = nullptr;
            if (aCand.size() == 1) {
                pNext = aCand[0];
            } else if (aCand.size() > 1) {
                double P[2], Q[2];
                SectPointXY(pSection, nCur, P);
                SectPointXY(pSection, pLast->aPointId[pLast->aPointId.size() - 2], Q);
                double dBest = 0.0;
                for (T_SM_SECT_CURVE* pCand : aCand) {
                    double R[2];
                    SectPointXY(pSection, pCand->aPointId[1], R);
                    double a = Gorv::angle_2d(P, R, Q);
                    if (a < 0.0) a += 360.0;
                    if (a > dBest) {
                        dBest = a;
                        pNext = pCand;
                    }
                }
            }
            // No candidate, or only ones running straight back: the trace stops here.
            if (!pNext) break;
            aList.push_back(pNext->nId);
            setTraced.insert(pNext->nId);
            if (pNext->aPointId.back() == nFirst) break;
        }
    }
    if (pSection->mapCurve.Find(aList.front())->aPointId.front() !=
        pSection->mapCurve.Find(aList.back())->aPointId.back()) {
        SinkMessage(L"Cannot construct a closed outer loop of the plane section.\n\n"
                    L"Connect all curves or exclude the outside curves of the closed loop in selection.");
        return false;
    }

    // Orientation: the test point left of the boundary must be enclosed by it.
    double tp[2];
    double dSum = 0.0;
    if (LoopTestPointOf(pSection, aList, 1, tp) && LoopWindingSum(pSection, aList, tp[0], tp[1], dSum) &&
        std::fabs(dSum) < 350.0) {
        for (int nId : aList) {
            T_SM_SECT_CURVE* pc = pSection->mapCurve.Find(nId);
            std::reverse(pc->aPointId.begin(), pc->aPointId.end());
        }
        std::reverse(aList.begin(), aList.end());
    }

    // Curves with a point outside the boundary leave the section.
    std::vector<int> aOutside;
    detail::SmLoopRing ring;
    const bool bRing = !detail::SmPlainPasses() && ring.Build(*pSection, aList);
    for (const auto& kv : pSection->mapCurve) {
        if (setTraced.count(kv.first)) continue;
        for (int nPt : kv.second->aPointId) {
            double p[2] = {0.0, 0.0};
            SectPointXY(pSection, nPt, p);
            double dW = 0.0;
            const bool bSum = bRing ? (dW = ring.Sum(p[0], p[1]), true) : LoopWindingSum(pSection, aList, p[0], p[1], dW);
            if (bSum && std::fabs(dW) < 10.0) {
                aOutside.push_back(kv.first);
                break;
            }
        }
    }
    for (int nId : aOutside) pSection->mapCurve.Erase(nId);
    aOuter = aList;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Loop rebuild (leftmost turn)
// ---------------------------------------------------------------------------------------------

bool CSectModel::LinkSectionCurves(T_SM_SECTION* pSection) {
    std::vector<T_SM_SECT_CURVE*> aCurve;  // every curve of every loop of every domain, once
    std::set<int> setSeen;
    for (const auto& dkv : pSection->mapDomain) {
        for (int nLoopId : dkv.second->aLoopId) {
            const T_SM_LOOP* pLoop = pSection->mapLoop.Find(nLoopId);
            if (!pLoop) return false;
            for (int nRef : pLoop->aCurveId) {
                T_SM_SECT_CURVE* pc = pSection->mapCurve.Find(std::abs(nRef));
                if (!pc || pc->aPointId.size() < 2) return false;
                if (pLoop->nKind == 1 || pLoop->nKind == 2) {
                    pc->bInterior = false;
                    pc->nUse = 1;
                } else if (pLoop->nKind == 3 || pLoop->nKind == 4) {
                    pc->bInterior = true;
                    pc->nUse = 3;
                }
                pc->aStartLink.clear();
                pc->aEndLink.clear();
                if (setSeen.insert(pc->nId).second) aCurve.push_back(pc);
            }
        }
    }
    // Curves (by position in aCurve) that start or end at a point: only those can link to a curve
    // ending there; the plain pass tries every pair.
    const bool bIndexed = !detail::SmPlainPasses();
    std::unordered_map<int, std::vector<std::size_t>> mapAtEnd;  // looked up by point only
    if (bIndexed) {
        for (std::size_t k = 0; k < aCurve.size(); ++k) {
            mapAtEnd[aCurve[k]->aPointId.front()].push_back(k);
            if (aCurve[k]->aPointId.back() != aCurve[k]->aPointId.front()) mapAtEnd[aCurve[k]->aPointId.back()].push_back(k);
        }
    }
    std::vector<std::size_t> aNear;
    for (T_SM_SECT_CURVE* c : aCurve) {
        const std::vector<int>& ac = c->aPointId;
        const int F = ac.front(), L = ac.back(), L2 = ac[ac.size() - 2];
        aNear.clear();
        if (bIndexed) {
            for (int nPt : {F, L}) {
                auto it = mapAtEnd.find(nPt);
                if (it != mapAtEnd.end()) aNear.insert(aNear.end(), it->second.begin(), it->second.end());
            }
            std::sort(aNear.begin(), aNear.end());
            aNear.erase(std::unique(aNear.begin(), aNear.end()), aNear.end());
        }
        const std::size_t nNear = bIndexed ? aNear.size() : aCurve.size();
        for (std::size_t kk = 0; kk < nNear; ++kk) {
            const T_SM_SECT_CURVE* d = aCurve[bIndexed ? aNear[kk] : kk];
            if (d->nId == c->nId) continue;
            const std::vector<int>& ad = d->aPointId;
            const int f = ad.front(), f2 = ad[1], l = ad.back();
            if (F == f && c->bInterior) c->aStartLink.push_back(T_SM_CURVE_LINK{d->nId, true});
            if (F == l && c->bInterior && d->bInterior) c->aStartLink.push_back(T_SM_CURVE_LINK{d->nId, false});
            if (L == l && d->bInterior) c->aEndLink.push_back(T_SM_CURVE_LINK{d->nId, false});
            if (L == f && L2 != f2) c->aEndLink.push_back(T_SM_CURVE_LINK{d->nId, true});
        }
    }
    return true;
}

namespace {

// Calls f(curve) for the curves of a section in the order a loop trace looks for its start: loop
// kinds 1 to 4, then domains, their loops and each loop's references in order. Stops at the first
// call that returns true.
template <class F>
void VisitLoopStartOrder(const T_SM_SECTION& section, F f) {
    for (int nKind = 1; nKind <= 4; ++nKind) {
        for (const auto& dkv : section.mapDomain) {
            for (int nLoopId : dkv.second->aLoopId) {
                const T_SM_LOOP* pLoop = section.mapLoop.Find(nLoopId);
                if (!pLoop || pLoop->nKind != nKind) continue;
                for (int nRef : pLoop->aCurveId) {
                    const T_SM_SECT_CURVE* pc = section.mapCurve.Find(std::abs(nRef));
                    if (pc && f(pc)) return;
                }
            }
        }
    }
}

}  // namespace

int CSectModel::FindLoopStartCurve(T_SM_SECTION* pSection) {
    if (!pSection) return 0;
    int nStart = 0;
    VisitLoopStartOrder(*pSection, [&nStart](const T_SM_SECT_CURVE* pc) {
        if (pc->nUse == 0) return false;
        nStart = pc->nId;
        return true;
    });
    return nStart;
}

int CSectModel::NextLoopCurve(T_SM_SECTION* pSection, int nCurveRef) {
    if (!pSection || nCurveRef == 0) return 0;
    const T_SM_SECT_CURVE* pCur = pSection->mapCurve.Find(std::abs(nCurveRef));
    if (!pCur || pCur->aPointId.size() < 2) return 0;
    const bool bFwd = nCurveRef > 0;
    const std::vector<T_SM_CURVE_LINK>& aLink = bFwd ? pCur->aEndLink : pCur->aStartLink;
    if (aLink.empty()) return 0;
    if (aLink.size() == 1) {
        const T_SM_SECT_CURVE* pc = pSection->mapCurve.Find(aLink[0].nCurveId);
        if (!pc || pc->nUse == 0) return 0;
        return aLink[0].bAtStart ? aLink[0].nCurveId : -aLink[0].nCurveId;
    }
    const std::vector<int>& aPt = pCur->aPointId;
    double P[2], Q[2];
    if (!SectPointXY(pSection, bFwd ? aPt.back() : aPt.front(), P) ||
        !SectPointXY(pSection, bFwd ? aPt[aPt.size() - 2] : aPt[1], Q))
        return 0;
    double dBest = 0.0;
    int nBest = 0;
    for (const T_SM_CURVE_LINK& lk : aLink) {
        const T_SM_SECT_CURVE* pc = pSection->mapCurve.Find(lk.nCurveId);
        if (!pc || pc->nUse == 0 || pc->aPointId.size() < 2) continue;
        double R[2];
        if (!SectPointXY(pSection, lk.bAtStart ? pc->aPointId[1] : pc->aPointId[pc->aPointId.size() - 2], R))
            continue;
        double a = Gorv::angle_2d(P, Q, R);
        if (a < 0.0) a += 360.0;
        if (a > dBest) {
            dBest = a;
            nBest = lk.bAtStart ? lk.nCurveId : -lk.nCurveId;
        }
    }
    return nBest;
}

void CSectModel::AddClosedLoop(T_SM_SECTION* pSection, const std::vector<int>& aCurveRef) {
    if (!pSection) return;
    std::unique_ptr<T_SM_LOOP> pLoop(new T_SM_LOOP());
    pLoop->nId = static_cast<int>(pSection->mapWorkLoop.size()) + 1;
    pLoop->nKind = 1;
    pLoop->aCurveId = aCurveRef;
    const int nId = pLoop->nId;
    pSection->mapWorkLoop.Insert(nId, std::move(pLoop));
    for (int nRef : aCurveRef) {
        T_SM_SECT_CURVE* pc = pSection->mapCurve.Find(std::abs(nRef));
        if (!pc) continue;
        // 3 -> the direction left; 1 and 2 -> 0. Any other (corrupt) value also ends at 0, so that
        // every registered loop uses something up and the rebuild always terminates.
        pc->nUse = pc->nUse == 3 ? (nRef < 0 ? 1 : 2) : 0;
    }
}

void CSectModel::AddOpenChain(T_SM_SECTION* pSection, const std::vector<int>& aCurveRef) {
    if (!pSection) return;
    std::unique_ptr<T_SM_LOOP> pChain(new T_SM_LOOP());
    pChain->nId = static_cast<int>(pSection->mapWorkChain.size()) + 1;
    pChain->nKind = 3;
    pChain->aCurveId = aCurveRef;
    const int nId = pChain->nId;
    pSection->mapWorkChain.Insert(nId, std::move(pChain));
    for (int nRef : aCurveRef) {
        T_SM_SECT_CURVE* pc = pSection->mapCurve.Find(std::abs(nRef));
        if (pc) pc->nUse = 0;
    }
}

void CSectModel::TraceSectionLoops(T_SM_SECTION* pSection) {
    // The curves in the order FindLoopStartCurve visits them (kind, domain, loop, reference).
    // Tracing adds and removes no curve, loop or domain and only uses directions up (nUse falls
    // to 1, 2 or 0 and never rises from 0), so the first curve with a direction left never lies
    // before the one found last time: the search resumes there instead of starting over.
    const bool bResume = !detail::SmPlainPasses();
    std::vector<const T_SM_SECT_CURVE*> aOrder;
    std::size_t nAt = 0;
    if (bResume) {
        VisitLoopStartOrder(*pSection, [&aOrder](const T_SM_SECT_CURVE* pc) {
            aOrder.push_back(pc);
            return false;
        });
    }
    for (;;) {
        int nStart = 0;
        if (bResume) {
            while (nAt < aOrder.size() && aOrder[nAt]->nUse == 0) ++nAt;
            if (nAt < aOrder.size()) nStart = aOrder[nAt]->nId;
        } else {
            nStart = FindLoopStartCurve(pSection);
        }
        if (nStart == 0) break;
        const T_SM_SECT_CURVE* ps = pSection->mapCurve.Find(nStart);
        int nCur = ps->nUse == 2 ? -nStart : nStart;
        if (ps->aPointId.front() == ps->aPointId.back()) {
            AddClosedLoop(pSection, std::vector<int>(1, nCur));
            continue;
        }
        std::vector<int> T;
        std::set<int> setInTrace;  // curves of T, by id
        for (;;) {
            if (setInTrace.count(std::abs(nCur))) {
                // Closed: the loop runs from the entry of that curve to the end of the trace.
                std::size_t k = 0;
                while (std::abs(T[k]) != std::abs(nCur)) ++k;
                std::size_t nFrom = k;
                const T_SM_SECT_CURVE* pB = pSection->mapCurve.Find(std::abs(T.back()));
                if (pB && T.size() != 3 && k + 1 < T.size()) {
                    const std::vector<T_SM_CURVE_LINK>& aLink =
                        (pB->nUse == 2 || pB->nUse == 3) ? pB->aStartLink : pB->aEndLink;
                    for (const T_SM_CURVE_LINK& lk : aLink) {
                        if (lk.nCurveId == std::abs(T[k + 1])) {
                            nFrom = k + 1;
                            break;
                        }
                    }
                }
                AddClosedLoop(pSection, std::vector<int>(T.begin() + static_cast<std::ptrdiff_t>(nFrom), T.end()));
                break;
            }
            T.push_back(nCur);
            setInTrace.insert(std::abs(nCur));
            nCur = NextLoopCurve(pSection, nCur);
            if (nCur != 0) continue;
            // Dead end: keep the chain back to the last junction that offered another curve.
            std::size_t nFrom = 0;
            for (std::ptrdiff_t i = static_cast<std::ptrdiff_t>(T.size()) - 2; i >= 0; --i) {
                const T_SM_SECT_CURVE* pc = pSection->mapCurve.Find(std::abs(T[i]));
                if (!pc) continue;
                const std::vector<T_SM_CURVE_LINK>& aLink = T[i] < 0 ? pc->aStartLink : pc->aEndLink;
                bool bOther = false;
                for (const T_SM_CURVE_LINK& lk : aLink) {
                    const T_SM_SECT_CURVE* pl = pSection->mapCurve.Find(lk.nCurveId);
                    if (pl && pl->nUse != 0 && lk.nCurveId != std::abs(T[i + 1])) {
                        bOther = true;
                        break;
                    }
                }
                if (bOther) {
                    nFrom = static_cast<std::size_t>(i) + 1;
                    break;
                }
            }
            AddOpenChain(pSection, std::vector<int>(T.begin() + static_cast<std::ptrdiff_t>(nFrom), T.end()));
            break;
        }
    }
}

bool CSectModel::ResolveSectionLoops(T_SM_SECTION* pSection) {
    // Backward runs of closed loops become reversed twin curves; then each loop is classified.
    for (const auto& kv : pSection->mapWorkLoop) {
        T_SM_LOOP* pLoop = kv.second;
        for (int& nRef : pLoop->aCurveId) {
            if (nRef >= 0) continue;
            T_SM_SECT_CURVE* pOrig = pSection->mapCurve.Find(-nRef);
            if (!pOrig) return false;
            std::unique_ptr<T_SM_SECT_CURVE> pTwin(new T_SM_SECT_CURVE());
            pTwin->nId = pSection->nNextCurveId++;
            pTwin->nType = pOrig->nType;
            pTwin->aExtra1 = pOrig->aExtra1;
            pTwin->aExtra2 = pOrig->aExtra2;
            pTwin->bInterior = pOrig->bInterior;
            pTwin->aPointId.assign(pOrig->aPointId.rbegin(), pOrig->aPointId.rend());
            pTwin->nTwinId = pOrig->nId;
            pOrig->nTwinId = pTwin->nId;
            nRef = pTwin->nId;
            detail::Adopt(pSection->mapCurve, std::move(pTwin));
        }
        pLoop->nKind = 4;
        double tp[2], dSum = 0.0;
        if (!LoopTestPointOf(pSection, pLoop->aCurveId, 4, tp) ||
            !LoopWindingSum(pSection, pLoop->aCurveId, tp[0], tp[1], dSum))
            return false;
        if (std::fabs(dSum) > 350.0)
            pLoop->nKind = 1;
        else if (std::fabs(dSum) < 10.0)
            pLoop->nKind = 2;
    }
    // Open chains run forward: backward entries turn their curve around in place.
    for (const auto& kv : pSection->mapWorkChain) {
        for (int& nRef : kv.second->aCurveId) {
            if (nRef >= 0) continue;
            T_SM_SECT_CURVE* pc = pSection->mapCurve.Find(-nRef);
            if (!pc) return false;
            std::reverse(pc->aPointId.begin(), pc->aPointId.end());
            nRef = -nRef;
        }
    }
    pSection->mapLoop.Clear();
    pSection->nNextLoopId = 1;
    for (int nPass = 0; nPass < 2; ++nPass) {
        const CSmTable<T_SM_LOOP>& work = nPass == 0 ? pSection->mapWorkLoop : pSection->mapWorkChain;
        for (const auto& kv : work) {
            for (int nRef : kv.second->aCurveId) {
                if (!pSection->mapCurve.Contains(std::abs(nRef))) return false;
            }
            std::unique_ptr<T_SM_LOOP> pLoop(new T_SM_LOOP());
            pLoop->nId = pSection->nNextLoopId++;
            pLoop->nKind = nPass == 0 ? kv.second->nKind : 3;
            pLoop->aCurveId = kv.second->aCurveId;
            detail::Adopt(pSection->mapLoop, std::move(pLoop));
        }
    }
    pSection->mapWorkLoop.Clear();
    pSection->mapWorkChain.Clear();
    return true;
}

bool CSectModel::BuildSectionDomains(T_SM_SECTION* pSection) {
    // Segments of every loop, gathered once for the many winding sums below.
    std::map<const T_SM_LOOP*, detail::SmLoopRing> mapRing;
    // The ring of loop pl, built once; null for the plain passes or where it cannot be built
    // (the plain sum then serves).
    auto ringOf = [&](const T_SM_LOOP* pl) -> const detail::SmLoopRing* {
        if (detail::SmPlainPasses()) return nullptr;
        auto it = mapRing.find(pl);
        if (it == mapRing.end()) {
            detail::SmLoopRing ring;
            if (!ring.Build(*pSection, pl->aCurveId)) return nullptr;
            it = mapRing.emplace(pl, std::move(ring)).first;
        }
        return &it->second;
    };
    auto ringSum = [&](const T_SM_LOOP* pl, const detail::SmLoopRing* pRing, double dX, double dY, double& dSum) {
        if (!pRing) return LoopWindingSum(pSection, pl->aCurveId, dX, dY, dSum);
        dSum = pRing->Sum(dX, dY);
        return true;
    };
    auto windingSum = [&](const T_SM_LOOP* pl, double dX, double dY, double& dSum) {
        return ringSum(pl, ringOf(pl), dX, dY, dSum);
    };
    // IsPointInLoop over the gathered segments.
    auto inLoop = [&](const T_GORV_POINT2D& pt, const T_SM_LOOP* pl) {
        if (!pl || pl->aCurveId.empty()) return false;
        double dSum = 0.0;
        if (!windingSum(pl, pt.x, pt.y, dSum)) return false;
        return std::fabs(dSum) > 350.0;
    };
    // Test points of every loop, computed once (also by position in table order).
    std::map<int, T_GORV_POINT2D> mapTest;
    std::vector<T_GORV_POINT2D> aTest;
    for (const auto& kv : pSection->mapLoop) {
        double tp[2];
        if (!LoopTestPointOf(pSection, kv.second->aCurveId, kv.second->nKind, tp)) return false;
        mapTest[kv.first] = T_GORV_POINT2D{tp[0], tp[1]};
        aTest.push_back(T_GORV_POINT2D{tp[0], tp[1]});
    }
    pSection->mapDomain.Clear();
    pSection->nNextDomainId = 1;
    for (const auto& kv : pSection->mapLoop) {
        if (kv.second->nKind != 1) continue;
        std::unique_ptr<T_SM_DOMAIN> pDom(new T_SM_DOMAIN());
        pDom->nId = pSection->nNextDomainId++;
        pDom->bActive = true;
        pDom->aLoopId.push_back(kv.first);
        std::size_t nAt = 0;
        for (const auto& ov : pSection->mapLoop) {
            const T_GORV_POINT2D& tp = aTest[nAt++];
            if (ov.first == kv.first) continue;
            if (inLoop(tp, kv.second)) pDom->aLoopId.push_back(ov.first);
        }
        detail::Adopt(pSection->mapDomain, std::move(pDom));
    }
    // Nested islands: whatever lies inside a further outer ring belongs to that ring's own domain.
    std::vector<int> aEmpty;
    for (const auto& dkv : pSection->mapDomain) {
        T_SM_DOMAIN* pDom = dkv.second;
        std::vector<int> aIsland;
        for (int nLoopId : pDom->aLoopId) {
            const T_SM_LOOP* pl = pSection->mapLoop.Find(nLoopId);
            if (pl && pl->nKind == 1) aIsland.push_back(nLoopId);
        }
        for (std::size_t i = 1; i < aIsland.size(); ++i) {
            const T_SM_LOOP* pIsland = pSection->mapLoop.Find(aIsland[i]);
            std::vector<int> aKeep;
            for (int nLoopId : pDom->aLoopId) {
                if (nLoopId == aIsland[i] || inLoop(mapTest[nLoopId], pIsland)) continue;
                aKeep.push_back(nLoopId);
            }
            pDom->aLoopId.swap(aKeep);
        }
        if (pDom->aLoopId.empty()) aEmpty.push_back(dkv.first);
    }
    for (int nId : aEmpty) pSection->mapDomain.Erase(nId);
    for (const auto& dkv : pSection->mapDomain) dkv.second->bActive = true;

    // Triangles go to the first domain whose outer rings enclose and whose holes leave their centre.
    // Each domain's loops as the test below meets them: a missing loop (null) stops the rebuild
    // when reached; loops of other kinds are passed over, so they are left out here.
    struct RingUse {
        const T_SM_LOOP* pl;
        const detail::SmLoopRing* pRing;  // null until first used, and for the plain passes
    };
    std::vector<std::pair<int, std::vector<RingUse>>> aDomUse;
    for (const auto& dkv : pSection->mapDomain) {
        std::vector<RingUse> aUse;
        for (int nLoopId : dkv.second->aLoopId) {
            const T_SM_LOOP* pl = pSection->mapLoop.Find(nLoopId);
            if (!pl || pl->nKind == 1 || pl->nKind == 2) aUse.push_back(RingUse{pl, nullptr});
        }
        aDomUse.emplace_back(dkv.first, std::move(aUse));
    }
    for (const auto& tkv : pSection->mapTriangle) {
        T_SM_TRIANGLE* pTri = tkv.second;
        double c[2] = {0.0, 0.0};
        for (int k = 0; k < 3; ++k) {
            double p[2];
            if (!SectPointXY(pSection, pTri->aPointId[k], p)) return false;
            c[0] += p[0];
            c[1] += p[1];
        }
        c[0] /= 3.0;
        c[1] /= 3.0;
        for (auto& dom : aDomUse) {
            bool bIn = true;
            for (RingUse& use : dom.second) {
                const T_SM_LOOP* pl = use.pl;
                if (!pl) return false;
                double dSum = 0.0;
                if (!use.pRing) use.pRing = ringOf(pl);  // looked up once per loop and kept
                if (!ringSum(pl, use.pRing, c[0], c[1], dSum)) return false;
                if ((pl->nKind == 2 && std::fabs(dSum) > 345.0) || (pl->nKind == 1 && std::fabs(dSum) < 15.0)) {
                    bIn = false;
                    break;
                }
            }
            if (bIn) {
                pTri->nDomainId = dom.first;
                break;
            }
        }
    }
    return true;
}

bool CSectModel::BuildSectionLoops(T_SM_SECTION* pSection) {
    if (!pSection) return false;
    pSection->mapWorkLoop.Clear();
    pSection->mapWorkChain.Clear();
    bool bOk = LinkSectionCurves(pSection);
    if (bOk) {
        TraceSectionLoops(pSection);
        bOk = ResolveSectionLoops(pSection) && BuildSectionDomains(pSection);
    }
    if (!bOk) {
        // Internal report only: the caller tells the user that the section failed.
        Compose(SM_TEXT_WARNING, L"Section [%s]: a record referred to by its loops is missing.",
                pSection->strName.GetString());
        pSection->mapWorkLoop.Clear();
        pSection->mapWorkChain.Clear();
    }
    return bOk;
}
