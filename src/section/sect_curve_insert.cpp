// Curve insertion and point snapping. A position snaps to the first point in ascending id order
// that lies strictly closer than the model tolerance; insertion writes no history.
#include <gorv/section/sect_model.h>

#include <cmath>
#include <memory>
#include <utility>

#include "sect_geom.h"

int CSectModel::FindPoint(const double q[2]) const {
    if (q == nullptr) return 0;
    return FindPoint(q[0], q[1]);
}

int CSectModel::FindPoint(double dX, double dY) const {
    const double tol = m_dTolerance;
    // A linear pass fixes the answer: first match in id order, not the nearest point.
    for (const auto& kv : m_mapPoint) {
        const T_SM_POINT* p = kv.second;
        if (std::fabs(p->dX - dX) > tol) continue;
        if (std::fabs(p->dY - dY) > tol) continue;
        if (detail::SmDistance(p->dX, p->dY, dX, dY) < tol) return p->nId;
    }
    return 0;
}

int CSectModel::AddLineCurve(double dX1, double dY1, double dX2, double dY2) {
    const double dLen = detail::SmDistance(dX1, dY1, dX2, dY2);
    // Written as !(d >= tol) so that a NaN coordinate is rejected as well.
    if (!(dLen >= m_dTolerance)) return -1;
    int nStart = FindPoint(dX1, dY1);
    int nEnd = FindPoint(dX2, dY2);
    if (nStart == 0) nStart = NewPoint(dX1, dY1)->nId;
    if (nEnd == 0) nEnd = NewPoint(dX2, dY2)->nId;

    std::unique_ptr<T_SM_CURVE> pCurve(new T_SM_CURVE());
    pCurve->nId = m_nNextCurveId++;
    pCurve->nType = 1;
    pCurve->aPointId.push_back(nStart);
    pCurve->aPointId.push_back(nEnd);
    const int nId = pCurve->nId;
    m_mapCurve.Insert(nId, std::move(pCurve));
    return nId;
}
