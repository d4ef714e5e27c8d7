// Small lookups shared by the loop, section and triangulation code.
#pragma once

#include <gorv/section/sect_types.h>

#include <memory>
#include <utility>

namespace detail {

// Coordinates of the section's own point nId into p; false when the section has no such point.
inline bool SectPointXY(const T_SM_SECTION* pSection, int nId, double p[2]) {
    const T_SM_POINT* pt = pSection->mapPoint.Find(nId);
    if (!pt) return false;
    p[0] = pt->dX;
    p[1] = pt->dY;
    return true;
}

// Puts the record into the table under its own id (read before the pointer is handed over).
template <class T>
T* Adopt(CSmTable<T>& table, std::unique_ptr<T> pRec) {
    const int nId = pRec->nId;
    return table.Insert(nId, std::move(pRec));
}

}  // namespace detail
