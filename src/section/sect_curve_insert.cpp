// Curve insertion and point snapping. A position snaps to the first point in ascending id order
// that lies strictly closer than the model tolerance; insertion writes no history.
#include <gorv/section/sect_model.h>

#include <cmath>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "sect_fast.h"
#include "sect_geom.h"
#include "sect_point_grid.h"

int CSectModel::FindPoint(const double q[2]) const {
    if (q == nullptr) return 0;
    return FindPoint(q[0], q[1]);
}

namespace {

// Below this many points the plain pass is used. The grid sees every change the modeler makes
// and every insertion or removal in the point table, but not a caller writing dX/dY through a
// record pointer; keeping small models (every hand-built one) on the plain pass keeps such direct
// edits exact where callers make them, while large generated models still get the grid.
const std::size_t kGridMinPoints = 1024;

// The plain pass: the first point in ascending id order that passes the box and distance tests.
int FindPointByPass(const CSmTable<T_SM_POINT>& mapPoint, double tol, double dX, double dY) {
    for (const auto& kv : mapPoint) {
        const T_SM_POINT* p = kv.second;
        if (std::fabs(p->dX - dX) > tol) continue;
        if (std::fabs(p->dY - dY) > tol) continue;
        if (detail::SmDistance(p->dX, p->dY, dX, dY) < tol) return p->nId;
    }
    return 0;
}

// The snapping test of the pass for one stored point.
inline bool Snaps(const T_SM_POINT* p, double tol, double dX, double dY) {
    if (std::fabs(p->dX - dX) > tol) return false;
    if (std::fabs(p->dY - dY) > tol) return false;
    return detail::SmDistance(p->dX, p->dY, dX, dY) < tol;
}

// The plain pass over the id-ordered record list instead of the table's tree: the same records
// in the same order under the same tests, so the same answer.
int FindPointInScan(const std::vector<const T_SM_POINT*>& aScan, double tol, double dX, double dY) {
    for (const T_SM_POINT* p : aScan)
        if (Snaps(p, tol, dX, dY)) return p->nId;
    return 0;
}

// Whether snapping on a table of nPoints points at tolerance tol runs the pass (not the grid).
bool SnapsByPass(std::size_t nPoints, double tol) { return nPoints < kGridMinPoints || !(tol > 0.0) || !std::isfinite(tol); }

}  // namespace

int CSectModel::FindPoint(double dX, double dY) const {
    const double tol = m_dTolerance;
    // The answer is the first match in id order, not the nearest point; the grid gives the same
    // answer as the pass (the lowest matching id) without visiting every point.
    if (SnapsByPass(m_mapPoint.size(), tol)) {
        // The id-ordered list is only read here, never built, so that concurrent lookups on a
        // small model change nothing; curve insertion keeps it current.
        if (!detail::SmPlainPasses() && m_pPointGrid && m_pPointGrid->IsScanCurrent(m_mapPoint))
            return FindPointInScan(m_pPointGrid->ScanAsIs(), tol, dX, dY);
        return FindPointByPass(m_mapPoint, tol, dX, dY);
    }
    {
        // Only edits change the table, and they do not run beside lookups, so once built the
        // grid is read without the lock.
        const std::lock_guard<std::mutex> lock(m_mxPointGrid);
        if (!IsPointGridCurrent()) {
            if (!m_pPointGrid) m_pPointGrid.reset(new CPointGrid());
            m_pPointGrid->Build(m_mapPoint, tol);
        }
    }
    bool bFound = false;
    int nKey = 0;
    if (!m_pPointGrid->Find(dX, dY, bFound, nKey)) return FindPointByPass(m_mapPoint, tol, dX, dY);
    if (!bFound) return 0;
    const T_SM_POINT* p = m_mapPoint.Find(nKey);
    return p != nullptr ? p->nId : 0;
}

int CSectModel::AddLineCurve(double dX1, double dY1, double dX2, double dY2) {
    const double dLen = detail::SmDistance(dX1, dY1, dX2, dY2);
    // Written as !(d >= tol) so that a NaN coordinate is rejected as well.
    if (!(dLen >= m_dTolerance)) return -1;
    int nStart = 0, nEnd = 0;
    if (!detail::SmPlainPasses() && SnapsByPass(m_mapPoint.size(), m_dTolerance)) {
        // Both ends in one pass over the points: no point is added between the two searches, and
        // each end keeps the first point that passes its test.
        if (!m_pPointGrid) m_pPointGrid.reset(new CPointGrid());
        bool bStart = false, bEnd = false;
        for (const T_SM_POINT* p : m_pPointGrid->Scan(m_mapPoint)) {
            if (!bStart && Snaps(p, m_dTolerance, dX1, dY1)) {
                bStart = true;
                nStart = p->nId;
            }
            if (!bEnd && Snaps(p, m_dTolerance, dX2, dY2)) {
                bEnd = true;
                nEnd = p->nId;
            }
            if (bStart && bEnd) break;
        }
    } else {
        nStart = FindPoint(dX1, dY1);
        nEnd = FindPoint(dX2, dY2);
    }
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
