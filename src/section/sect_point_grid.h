// Grid over the model's points that answers the snapping search without a pass over every point.
// Cells are twice the tolerance wide, so every point that can pass the snapping test lies in the
// 3 x 3 cells around the query; among those the lowest passing id is the answer, as in a pass
// in ascending id order. Points too far out (or not finite) for a cell index stay in a side list
// that every search checks.
#pragma once

#include <gorv/section/sect_model.h>

#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "sect_geom.h"

class GORV_HIDDEN CSectModel::CPointGrid {
public:
    // Whether the grid describes table t (same entries, same coordinates) for tolerance dTol.
    bool IsCurrent(const CSmTable<T_SM_POINT>& t, double dTol) const {
        return m_bBuilt && m_nRevision == t.Revision() && m_dTol == dTol;
    }
    void Invalidate() { m_bBuilt = false; }
    // Notes that the table changed only as the grid was told (Add / Remove).
    void Stamp(const CSmTable<T_SM_POINT>& t) { m_nRevision = t.Revision(); }

    void Build(const CSmTable<T_SM_POINT>& t, double dTol) {
        m_cells.clear();
        m_aLoose.clear();
        m_dTol = dTol;
        m_dCell = 2.0 * dTol;
        m_cells.reserve(t.size());
        for (const auto& kv : t) Add(kv.first, kv.second->dX, kv.second->dY);
        m_nRevision = t.Revision();
        m_bBuilt = true;
    }

    void Add(int nId, double dX, double dY) {
        std::uint64_t nKey = 0;
        if (KeyOf(dX, dY, 0, 0, nKey))
            m_cells[nKey].push_back(Entry{nId, dX, dY});
        else
            m_aLoose.push_back(Entry{nId, dX, dY});
    }

    // Removes point nId that was added at (dX, dY).
    void Remove(int nId, double dX, double dY) {
        std::uint64_t nKey = 0;
        if (KeyOf(dX, dY, 0, 0, nKey)) {
            auto it = m_cells.find(nKey);
            if (it != m_cells.end()) Drop(it->second, nId);
        } else {
            Drop(m_aLoose, nId);
        }
    }

    // Searches (dX, dY): false when the query lies outside what cells can index (the caller then
    // runs the plain pass); otherwise bFound tells whether a point passed and nKey is the lowest
    // table key that did.
    bool Find(double dX, double dY, bool& bFound, int& nKey) const {
        const double tol = m_dTol;
        bFound = false;
        nKey = 0;
        auto test = [&](const Entry& e) {
            if (bFound && e.nId >= nKey) return;
            if (std::fabs(e.dX - dX) > tol) return;
            if (std::fabs(e.dY - dY) > tol) return;
            if (detail::SmDistance(e.dX, e.dY, dX, dY) < tol) {
                bFound = true;
                nKey = e.nId;
            }
        };
        // The query's own cell once; its neighbours' keys differ only by the offsets (cell
        // indices stay far from the 32-bit limits, so the same keys as KeyOf gives).
        const double cx = std::floor(dX / m_dCell), cy = std::floor(dY / m_dCell);
        if (!(std::fabs(cx) < kMaxCell) || !(std::fabs(cy) < kMaxCell)) return false;
        const std::int64_t i0 = static_cast<std::int64_t>(cx), j0 = static_cast<std::int64_t>(cy);
        for (std::int64_t i = i0 - 1; i <= i0 + 1; ++i)
            for (std::int64_t j = j0 - 1; j <= j0 + 1; ++j) {
                const std::uint64_t nCell = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(i)) << 32) |
                                            static_cast<std::uint64_t>(static_cast<std::uint32_t>(j));
                auto it = m_cells.find(nCell);
                if (it == m_cells.end()) continue;
                for (const Entry& e : it->second) test(e);
            }
        for (const Entry& e : m_aLoose) test(e);
        return true;
    }

    // The point records in ascending id order, for the plain snapping pass without walking the
    // table's tree. Being record pointers, they show every coordinate as it is now, whoever wrote
    // it; the list is rebuilt whenever the table's entries changed other than by AppendToScan.
    const std::vector<const T_SM_POINT*>& Scan(const CSmTable<T_SM_POINT>& t) {
        if (!m_bScanBuilt || m_nScanRevision != t.Revision()) {
            m_aScan.clear();
            m_aScan.reserve(t.size());
            for (const auto& kv : t) m_aScan.push_back(kv.second);
            m_nScanRevision = t.Revision();
            m_bScanBuilt = true;
        }
        return m_aScan;
    }
    // The list as it stands, without a rebuild (for readers that must not change the grid).
    const std::vector<const T_SM_POINT*>& ScanAsIs() const { return m_aScan; }
    // Whether the list is current for t, so that it may be read as it stands and a record
    // inserted next under an id above every other may be appended to it.
    bool IsScanCurrent(const CSmTable<T_SM_POINT>& t) const { return m_bScanBuilt && m_nScanRevision == t.Revision(); }
    // Appends record p, just inserted into t under an id above every other one.
    void AppendToScan(const CSmTable<T_SM_POINT>& t, const T_SM_POINT* p) {
        m_aScan.push_back(p);
        m_nScanRevision = t.Revision();
    }

private:
    struct Entry {
        int nId; // table key
        double dX, dY;
    };
    // Cell indices stay well inside 32 bits so that neighbours never wrap around.
    static constexpr double kMaxCell = 1073741824.0;  // 2^30

    bool KeyOf(double dX, double dY, int nDi, int nDj, std::uint64_t& nKey) const {
        const double cx = std::floor(dX / m_dCell), cy = std::floor(dY / m_dCell);
        // Written so that NaN fails as well.
        if (!(std::fabs(cx) < kMaxCell) || !(std::fabs(cy) < kMaxCell)) return false;
        const std::int64_t i = static_cast<std::int64_t>(cx) + nDi, j = static_cast<std::int64_t>(cy) + nDj;
        nKey = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(i)) << 32) |
               static_cast<std::uint64_t>(static_cast<std::uint32_t>(j));
        return true;
    }

    static void Drop(std::vector<Entry>& a, int nId) {
        for (std::size_t k = 0; k < a.size(); ++k)
            if (a[k].nId == nId) {
                a[k] = a.back();
                a.pop_back();
                return;
            }
    }

    std::vector<const T_SM_POINT*> m_aScan;
    unsigned long long m_nScanRevision = 0;
    bool m_bScanBuilt = false;
    std::unordered_map<std::uint64_t, std::vector<Entry>> m_cells;
    std::vector<Entry> m_aLoose;
    unsigned long long m_nRevision = 0;
    double m_dTol = 0.0;
    double m_dCell = 0.0;
    bool m_bBuilt = false;
};
