// Cell index of the triangulation front (see sect_front_index.h for why it misses no crossing).
#include "sect_front_index.h"

#include <algorithm>
#include <cmath>

namespace detail {

SmFrontIndex::SmFrontIndex(const std::vector<double>& aXY, const std::vector<int>& aCorner) : m_aXY(aXY) {
    if (aCorner.empty()) return;
    double lo[2] = {0.0, 0.0}, hi[2] = {0.0, 0.0};
    for (std::size_t i = 0; i < aCorner.size(); ++i) {
        const double* p = &aXY[2 * static_cast<std::size_t>(aCorner[i])];
        // Coordinates this large or not finite: the plain test over every edge decides.
        if (!(std::fabs(p[0]) < 1e100) || !(std::fabs(p[1]) < 1e100)) return;
        for (int k = 0; k < 2; ++k) {
            lo[k] = i == 0 ? p[k] : std::min(lo[k], p[k]);
            hi[k] = i == 0 ? p[k] : std::max(hi[k], p[k]);
        }
    }
    const double dExtent = std::max(hi[0] - lo[0], hi[1] - lo[1]);
    if (!m_grid.Set(lo[0], lo[1], dExtent, aCorner.size())) return;
    const double dMag = std::max(std::max(std::fabs(lo[0]), std::fabs(hi[0])), std::max(std::fabs(lo[1]), std::fabs(hi[1])));
    m_dSlack = 1e-9 * (dExtent + dMag);
    m_dErr = 1e-15 * dExtent * dExtent;
    m_cellEdges.assign(m_grid.CellCount(), std::vector<CellEdge>());
    m_cellCorners.assign(m_grid.CellCount(), std::vector<int>());
    m_cornerEdges.assign(aXY.size() / 2, std::vector<std::size_t>());
    for (int nId : aCorner) {
        const double* p = &aXY[2 * static_cast<std::size_t>(nId)];
        m_cellCorners[m_grid.IndexAt(p[0], p[1])].push_back(nId);
    }
    m_bOk = true;
}

// Calls f(cx, cy) for every cell (possibly more) that holds a point within dHalf of the segment
// P0-P1, or of the whole line through them when bLine.
template <class F>
void SmFrontIndex::CellsNear(const double P0[2], const double P1[2], bool bLine, double dHalf, F f) const {
    const double h = dHalf + m_dSlack;
    const double dx = P1[0] - P0[0], dy = P1[1] - P0[1];
    const double* gridLo = m_grid.lo;
    const double dCell = m_grid.dCell;
    const double gridHi[2] = {gridLo[0] + m_grid.nSide * dCell, gridLo[1] + m_grid.nSide * dCell};
    // Walk along the axis the line runs along more; the other coordinate is linear in it.
    const int ax = std::fabs(dx) >= std::fabs(dy) ? 0 : 1, ay = 1 - ax;
    const double d[2] = {dx, dy};
    double tMin = bLine ? gridLo[ax] : std::min(P0[ax], P1[ax]);
    double tMax = bLine ? gridHi[ax] : std::max(P0[ax], P1[ax]);
    const int c0 = m_grid.Cell(tMin - h, ax);
    const int c1 = m_grid.Cell(tMax + h, ax);
    for (int c = c0; c <= c1; ++c) {
        // Run coordinates of this column (row), widened by h, clipped to the segment's own run.
        double a = std::max(gridLo[ax] + c * dCell - h, tMin), b = std::min(gridLo[ax] + (c + 1) * dCell + h, tMax);
        if (c == c0) a = tMin;
        if (c == c1) b = tMax;
        if (a > b) continue;
        double vlo, vhi;
        if (d[ax] == 0.0) {
            vlo = bLine ? gridLo[ay] : std::min(P0[ay], P1[ay]);
            vhi = bLine ? gridHi[ay] : std::max(P0[ay], P1[ay]);
        } else {
            const double va = P0[ay] + (a - P0[ax]) * d[ay] / d[ax];
            const double vb = P0[ay] + (b - P0[ax]) * d[ay] / d[ax];
            vlo = std::min(va, vb);
            vhi = std::max(va, vb);
        }
        // Along the other axis a point within h of the line lies within h * sqrt(2) of it.
        const double w = 1.5 * h + 1e-9 * (std::fabs(vlo) + std::fabs(vhi));
        const int e0 = m_grid.Cell(vlo - w, ay);
        const int e1 = m_grid.Cell(vhi + w, ay);
        for (int e = e0; e <= e1; ++e) {
            if (ax == 0)
                f(c, e);
            else
                f(e, c);
        }
    }
}

void SmFrontIndex::AddEdge(std::size_t k, int nS, int nE) {
    if (!m_bOk) return;
    if (m_aSeen.size() <= k) m_aSeen.resize(k + 1, 0);
    if (m_aEnds.size() < 2 * (k + 1)) m_aEnds.resize(2 * (k + 1), 0);
    m_aEnds[2 * k] = nS;
    m_aEnds[2 * k + 1] = nE;
    m_cornerEdges[static_cast<std::size_t>(nS)].push_back(k);
    if (nE != nS) m_cornerEdges[static_cast<std::size_t>(nE)].push_back(k);
    const double* S = &m_aXY[2 * static_cast<std::size_t>(nS)];
    const double* E = &m_aXY[2 * static_cast<std::size_t>(nE)];
    const CellEdge ce{k, {std::min(S[0], E[0]), std::min(S[1], E[1])}, {std::max(S[0], E[0]), std::max(S[1], E[1])}};
    CellsNear(S, E, false, 0.0, [&](int cx, int cy) {
        std::vector<CellEdge>& cell = m_cellEdges[m_grid.Index(cx, cy)];
        if (cell.empty() || cell.back().k != k) cell.push_back(ce);
    });
}

void SmFrontIndex::Take(std::size_t k, std::vector<std::size_t>& aOut) {
    if (m_aSeen[k] == m_nStamp) return;
    m_aSeen[k] = m_nStamp;
    aOut.push_back(k);
}

bool SmFrontIndex::Collect(const double P[2], const double A[2], bool bStrip, std::vector<std::size_t>& aOut,
                           std::size_t nFrom) {
    if (!m_bOk) return false;
    const double dx = A[0] - P[0], dy = A[1] - P[1];
    const double dLen = std::sqrt(dx * dx + dy * dy);
    if (!(dLen > 0.0)) return false;
    const double dStrip = 1.01 * kStripWidth * m_dErr / dLen;
    if (!(dStrip < 0.25 * m_grid.dCell)) return false;
    // Edges meeting the side extended by 1 / (2 kStripWidth) of its length at both ends.
    // Only an edge whose box meets the extended side's box can meet the side there; the others
    // are left for the strip (which finds them by their ends if they can cross at all).
    if (!bStrip) {
        const double f = 0.5 / kStripWidth;
        const double Q0[2] = {P[0] - f * dx, P[1] - f * dy}, Q1[2] = {A[0] + f * dx, A[1] + f * dy};
        const double lo[2] = {std::min(Q0[0], Q1[0]) - m_dSlack, std::min(Q0[1], Q1[1]) - m_dSlack};
        const double hi[2] = {std::max(Q0[0], Q1[0]) + m_dSlack, std::max(Q0[1], Q1[1]) + m_dSlack};
        CellsNear(Q0, Q1, false, 0.0, [&](int cx, int cy) {
            const std::vector<CellEdge>& cell = m_cellEdges[m_grid.Index(cx, cy)];
            auto it = std::lower_bound(cell.begin(), cell.end(), nFrom,
                                       [](const CellEdge& e, std::size_t n) { return e.k < n; });
            for (; it != cell.end(); ++it) {
                if (it->hi[0] < lo[0] || it->lo[0] > hi[0] || it->hi[1] < lo[1] || it->lo[1] > hi[1]) continue;
                const std::size_t k = it->k;
                if (m_aSeen[k] == m_nStamp) continue;
                const double* S = &m_aXY[2 * static_cast<std::size_t>(m_aEnds[2 * k])];
                const double* E = &m_aXY[2 * static_cast<std::size_t>(m_aEnds[2 * k + 1])];
                if (AtEnd(S, P, A) || AtEnd(E, P, A)) continue;
                Take(k, aOut);
            }
        });
        return true;
    }
    // Edges with an end within the strip around the line P-A.
    const double dLimit = (kStripWidth + 1.5) * m_dErr;
    CellsNear(P, A, true, dStrip, [&](int cx, int cy) {
        for (int nId : m_cellCorners[m_grid.Index(cx, cy)]) {
            const double* S = &m_aXY[2 * static_cast<std::size_t>(nId)];
            const std::vector<std::size_t>& edges = m_cornerEdges[static_cast<std::size_t>(nId)];
            if (edges.empty() || edges.back() < nFrom) continue;
            const double o = (P[0] - S[0]) * (A[1] - S[1]) - (P[1] - S[1]) * (A[0] - S[0]);
            if (!(std::fabs(o) <= dLimit) || AtEnd(S, P, A)) continue;
            for (auto it = std::lower_bound(edges.begin(), edges.end(), nFrom); it != edges.end(); ++it) Take(*it, aOut);
        }
    });
    return true;
}

}  // namespace detail
