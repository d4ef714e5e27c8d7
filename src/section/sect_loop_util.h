// Small lookups shared by the loop, section and triangulation code.
#pragma once

#include <gorv/section/sect_types.h>

#include <memory>
#include <utility>
#include <vector>

namespace detail {

// Coordinates of the section's own point nId into p; false when the section has no such point.
inline bool SectPointXY(const T_SM_SECTION* pSection, int nId, double p[2]) {
    const T_SM_POINT* pt = pSection->mapPoint.Find(nId);
    if (!pt) return false;
    p[0] = pt->dX;
    p[1] = pt->dY;
    return true;
}

// Calls f(nFrom, nTo) for every segment of a list of signed curve references, in loop order (a
// backward reference runs its curve's points from last to first). False when a curve is missing
// or f returns false (the walk stops there).
template <class F>
bool ForEachLoopSegment(const T_SM_SECTION& section, const std::vector<int>& aCurveRef, F f) {
    for (int nRef : aCurveRef) {
        const T_SM_SECT_CURVE* pCurve = section.mapCurve.Find(nRef < 0 ? -nRef : nRef);
        if (!pCurve) return false;
        const std::vector<int>& aPt = pCurve->aPointId;
        const std::size_t n = aPt.size();
        for (std::size_t j = 0; j + 1 < n; ++j) {
            if (!f(nRef < 0 ? aPt[n - 1 - j] : aPt[j], nRef < 0 ? aPt[n - 2 - j] : aPt[j + 1])) return false;
        }
    }
    return true;
}

// Puts the record into the table under its own id (read before the pointer is handed over).
template <class T>
T* Adopt(CSmTable<T>& table, std::unique_ptr<T> pRec) {
    const int nId = pRec->nId;
    return table.Insert(nId, std::move(pRec));
}

}  // namespace detail
