// Shared body of the section model fuzz targets: the input bytes become line curves on a coarse
// grid and then a sequence of edits (splits, duplicate removal, point merges, deletions, groups,
// section generation, booleans, undo and rollback) with ids drawn mostly from the live tables. No
// sequence may crash, hang or leave a curve that names a missing point or section.
#pragma once

#include <gorv/gorv_base.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "support/sect_dump.h"

namespace section_fuzz {

const int kDumpCmp = sect_test::kDumpSkipWorkFields | sect_test::kDumpSkipCounters;

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : m_p(data), m_n(size) {}
    uint8_t Byte() { return m_n ? (--m_n, *m_p++) : 0; }
    bool Empty() const { return m_n == 0; }
    double Coord() { return static_cast<int8_t>(Byte()) / 4.0; }
    // A point of the grid, carried through the map set by SetMap (none at first).
    void Point(double& x, double& y) {
        const double u = Coord(), v = Coord();
        x = m_c * u - m_s * v + m_dx;
        y = m_s * u + m_c * v + m_dy;
    }
    // Rotates, scales and shifts every later point: grid points that lie exactly on one line or
    // on a circle then do so only up to rounding.
    void SetMap(double dAngle, double dScale, double dx, double dy) {
        m_c = dScale * std::cos(dAngle);
        m_s = dScale * std::sin(dAngle);
        m_dx = dx;
        m_dy = dy;
    }
    double Fraction() {
        const uint8_t b = Byte();
        if (b == 255) return -0.5;
        if (b == 254) return 1.5;
        return b / 253.0;
    }

private:
    const uint8_t* m_p;
    size_t m_n;
    double m_c = 1.0, m_s = 0.0, m_dx = 0.0, m_dy = 0.0;
};

// An id of the table (chosen by the next byte), or now and then one that does not exist.
template <class Table>
int PickId(ByteReader& r, const Table& table) {
    const uint8_t b = r.Byte();
    if (table.size() == 0 || b >= 240) return static_cast<int>(b) - 200;
    auto it = table.begin();
    for (size_t k = b % table.size(); k > 0; --k) ++it;
    return it->first;
}

template <class Table>
std::vector<int> PickIds(ByteReader& r, const Table& table) {
    std::vector<int> ids;
    for (int n = r.Byte() % 6; n > 0; --n) ids.push_back(PickId(r, table));
    return ids;
}

inline std::vector<int> AllIds(const CSmTable<T_SM_CURVE>& table) {
    std::vector<int> ids;
    for (const auto& e : table) ids.push_back(e.first);
    return ids;
}

inline void CheckModel(const CSectModel& m) {
    for (const auto& e : m.m_mapCurve) {
        for (int p : e.second->aPointId)
            if (m.m_mapPoint.Find(p) == nullptr) std::abort();
        if (e.second->nSection != 0 && m.m_mapSection.Find(e.second->nSection) == nullptr) std::abort();
    }
}

// The model's tolerance, from one byte.
inline double ReadTolerance(ByteReader& r) { return r.Byte() < 128 ? 0.001 : 0.3; }

// Enters the curves and runs the edits the rest of the bytes describe.
inline void RunEdits(CSectModel& m, ByteReader& r) {
    // Curve insertion keeps no history, so, as in every use of the model, the geometry is entered
    // first and the edits that undo can take back come after it.
    for (int n = r.Byte() % 24; n > 0; --n) {
        double x1, y1, x2, y2;
        r.Point(x1, y1);
        r.Point(x2, y2);
        m.AddLineCurve(x1, y1, x2, y2);
    }
    for (int step = 0; step < 64 && !r.Empty(); ++step) {
        const uint8_t op = r.Byte();
        // One edit in four is checked against its undo: an edit that opened one history record
        // and is taken back at once must leave the model as it found it.
        const bool bCheckUndo = (op & 0xC0) == 0;
        const int nUndoBefore = m.m_nUndoId;
        const std::string before = bCheckUndo ? sect_test::DumpSectModel(m, kDumpCmp) : std::string();
        switch (op % 11) {
        case 0: {
            T_SM_CURVE* c = m.GetCurve(PickId(r, m.m_mapCurve));
            std::vector<double> f;
            for (int n = r.Byte() % 4; n > 0; --n) f.push_back(r.Fraction());
            // As the booleans do: a history record of its own, the curve saved before the cut.
            m.OpenHistory();
            if (c != nullptr) m.SaveCurve(c);
            m.SplitCurve(c, f);
            break;
        }
        case 1: m.DeleteDuplicateCurves(PickIds(r, m.m_mapCurve)); break;
        case 2: {
            const std::vector<int> ids = PickIds(r, m.m_mapPoint);
            const bool bAt = r.Byte() & 1;
            double x, y;
            r.Point(x, y);
            m.EqualizePoints(ids, bAt, x, y, r.Byte() & 1, false, true);
            break;
        }
        case 3: {
            const std::vector<int> ids = PickIds(r, m.m_mapPoint);
            m.EqualizePointsInTolerance(ids, false, 0, 0, true, false, true, r.Byte() / 64.0);
            break;
        }
        case 4: m.DeleteCurves(PickIds(r, m.m_mapCurve), r.Byte() & 1, false, true); break;
        case 5: m.AddToGroup(PickIds(r, m.m_mapSection), PickIds(r, m.m_mapCurve), PickIds(r, m.m_mapPoint),
                             true, r.Byte() & 1 ? CString(L"g1") : CString(L"g2"));
            break;
        case 6: m.GenerateSection(r.Byte() & 1 ? AllIds(m.m_mapCurve) : PickIds(r, m.m_mapCurve)); break;
        case 7: {
            const int a = PickId(r, m.m_mapSection), b = PickId(r, m.m_mapSection);
            bool bOk = false;
            switch (r.Byte() % 3) {
            case 0: bOk = m.UniteSections(a, b); break;
            case 1: bOk = m.IntersectSections(a, b); break;
            default: bOk = m.SubtractSections(a, b); break;
            }
            // A boolean that fails is rolled back whole.
            if (!bOk && bCheckUndo && sect_test::DumpSectModel(m, kDumpCmp) != before) std::abort();
            break;
        }
        case 8: m.Undo(); break;
        case 9: m.Rollback(); break;
        default: m.SeparateSectionPoints(PickIds(r, m.m_mapCurve)); break;
        }
        CheckModel(m);
        if (bCheckUndo && m.m_nUndoId == nUndoBefore + 1) {
            m.Undo();
            if (sect_test::DumpSectModel(m, kDumpCmp) != before) std::abort();
        }
    }
}

}  // namespace section_fuzz
