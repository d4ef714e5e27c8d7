// Plain-against-indexed comparison of the section modeler: every case runs once with the plain
// passes and once with the indexed ones on fresh models, and the complete outcome (every table,
// every undo and redo record, the id counters, the latest-edit lists and every composed text)
// must be the same byte for byte. Used by the comparison test (small cases) and its benchmark
// (the whole generated set).
#pragma once

#include <gorv/gorv_base.h>

#include "section/sect_fast.h"
#include "support/sect_dump.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace sect_compare {

// Everything a model holds after a run, and the texts it composed.
inline std::string FullState(const CSectModel& m, const std::string& texts) {
    std::ostringstream os;
    os << sect_test::DumpSectModel(m, sect_test::kDumpAll);
    os << "undo\n";
    for (const auto& kv : m.m_mapUndo) os << sect_test::DumpSectHistory(*kv.second);
    os << "redo\n";
    for (const auto& kv : m.m_mapRedo) os << sect_test::DumpSectHistory(*kv.second);
    os << "new " << sect_test::DumpIds(m.m_aNewSection) << " lastc " << sect_test::DumpIds(m.m_aLastCurve)
       << " lastp " << sect_test::DumpIds(m.m_aLastPoint) << " cur " << m.m_nCurCsys << "\n";
    os << "texts\n" << texts;
    return os.str();
}

typedef std::function<void(CSectModel&)> ModelScript;

// Runs the script on a fresh model with the given passes; returns the full state afterwards.
inline std::string RunScript(double dTol, const ModelScript& script, bool bPlain) {
    detail::SmSetPlainPasses(bPlain);
    std::string texts;
    {
        CSectModel m(dTol);
        m.SetTextObserver([&texts](int nKind, const CString& s) {
            texts += std::to_string(nKind) + ":" + CString(s).ToUtf8() + "\n";
        });
        script(m);
        texts = FullState(m, texts);
    }
    detail::SmSetPlainPasses(false);
    return texts;
}

// For the fuzz targets: prints both outcomes and aborts when they differ.
inline void AbortIfDifferent(const std::string& plain, const std::string& indexed) {
    if (plain == indexed) return;
    std::fprintf(stderr, "plain passes:\n%s\nindexed passes:\n%s\n", plain.c_str(), indexed.c_str());
    std::abort();
}

// Result of a polygon boolean through the public entry points, every coordinate exact.
inline std::string RunPolygonBoolean(int nOp, const T_GORV_COMPLEX_POLYGON2D& a, const T_GORV_COMPLEX_POLYGON2D& b,
                                     double dTol, bool bPlain) {
    detail::SmSetPlainPasses(bPlain);
    CArray<T_GORV_COMPLEX_POLYGON2D> out;
    if (nOp == 0) CGeomFunc::Union2Polygon(a, b, out);
    else if (nOp == 1) CGeomFunc::Intersect2Polygon(a, b, out);
    else CGeomFunc::Subtract2Polygon(a, b, out, dTol);
    detail::SmSetPlainPasses(false);
    std::ostringstream os;
    auto ring = [&os](const T_GORV_POLYGON2D& r) {
        os << " (";
        for (INT_PTR i = 0; i < r.points.GetSize(); ++i)
            os << sect_test::DumpNum(r.points[i].x) << " " << sect_test::DumpNum(r.points[i].y) << ",";
        os << ")";
    };
    for (INT_PTR i = 0; i < out.GetSize(); ++i) {
        os << "P";
        ring(out[i].outer);
        for (INT_PTR h = 0; h < out[i].holes.GetSize(); ++h) ring(out[i].holes[h]);
        os << "\n";
    }
    return os.str();
}

// ---- generated models ----

inline void AddRing(CSectModel& m, const std::vector<double>& xy, std::vector<int>& ids) {
    const std::size_t n = xy.size() / 2;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t j = (i + 1) % n;
        const int c = m.AddLineCurve(xy[2 * i], xy[2 * i + 1], xy[2 * j], xy[2 * j + 1]);
        if (c > 0) ids.push_back(c);
    }
}

inline std::vector<double> RegularRing(double cx, double cy, double r, int n, double phase, bool ccw) {
    std::vector<double> xy;
    for (int i = 0; i < n; ++i) {
        const int k = ccw ? i : n - i;
        const double a = phase + 2.0 * 3.14159265358979323846 * k / n;
        xy.insert(xy.end(), {cx + r * std::cos(a), cy + r * std::sin(a)});
    }
    return xy;
}

// One generated case: a model script of up to nMaxVertices vertices per ring. Kinds: regular
// polygons, star-shaped random polygons, grid-snapped polygons (collinear and touching edges,
// shared vertices), rectangles with round holes, and random line soups with random edits.
inline ModelScript MakeCase(unsigned nSeed, int nMaxVertices, double& dTol) {
    std::mt19937 rng(nSeed);
    auto uni = [&rng](double a, double b) { return std::uniform_real_distribution<double>(a, b)(rng); };
    auto pick = [&rng](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
    const int kind = pick(6);
    dTol = pick(4) == 0 ? 0.01 : 0.001;
    const int nMax = nMaxVertices < 4 ? 4 : nMaxVertices;
    auto ring = [&](double cx, double cy, double r) -> std::vector<double> {
        const int n = 3 + pick(nMax - 2);
        switch (kind) {
        case 0: return RegularRing(cx, cy, r, n, uni(0, 1), true);
        case 1: {  // star-shaped
            std::vector<double> xy;
            for (int i = 0; i < n; ++i) {
                const double a = 2.0 * 3.14159265358979323846 * (i + uni(0.0, 0.9)) / n;
                const double rr = r * uni(0.3, 1.0);
                xy.insert(xy.end(), {cx + rr * std::cos(a), cy + rr * std::sin(a)});
            }
            return xy;
        }
        case 2: {  // grid-snapped star: coincident, collinear and touching pieces
            std::vector<double> xy;
            for (int i = 0; i < n; ++i) {
                const double a = 2.0 * 3.14159265358979323846 * i / n;
                const double rr = r * uni(0.4, 1.0);
                xy.insert(xy.end(), {std::round((cx + rr * std::cos(a)) * 2.0) / 2.0,
                                     std::round((cy + rr * std::sin(a)) * 2.0) / 2.0});
            }
            return xy;
        }
        default: {  // rectangle
            const double w = r * uni(0.5, 1.5), h = r * uni(0.5, 1.5);
            return {cx - w, cy - h, cx + w, cy - h, cx + w, cy + h, cx - w, cy + h};
        }
        }
    };
    if (kind == 5) {
        // Line soup and random edits, as the section model fuzz target makes them.
        std::vector<int> bytes;
        for (int i = 0; i < 200; ++i) bytes.push_back(pick(256));
        return [bytes](CSectModel& m) {
            std::size_t p = 0;
            auto byte = [&]() { return p < bytes.size() ? bytes[p++] : 0; };
            auto coord = [&]() { return static_cast<int8_t>(byte()) / 16.0; };
            for (int n = byte() % 24; n > 0; --n) {
                const double x1 = coord(), y1 = coord(), x2 = coord(), y2 = coord();  // in this order
                m.AddLineCurve(x1, y1, x2, y2);
            }
            auto anyIds = [&](bool bAll) {
                std::vector<int> ids;
                for (const auto& kv : m.m_mapCurve)
                    if (bAll || byte() % 2) ids.push_back(kv.first);
                return ids;
            };
            for (int step = 0; step < 8; ++step) {
                switch (byte() % 5) {
                case 0: m.GenerateSection(anyIds(byte() % 2 == 0)); break;
                case 1:
                case 2: {
                    std::vector<int> s;
                    for (const auto& kv : m.m_mapSection) s.push_back(kv.first);
                    if (s.size() >= 2) {
                        const int op = byte() % 3;
                        if (op == 0) m.UniteSections(s[0], s[1]);
                        else if (op == 1) m.IntersectSections(s[0], s[1]);
                        else m.SubtractSections(s[0], s[1]);
                    }
                    break;
                }
                case 3: m.Undo(); break;
                default: m.Rollback(); break;
                }
            }
        };
    }
    const double r1 = uni(1.0, 10.0);
    std::vector<double> a = ring(0.0, 0.0, r1);
    const double off = kind == 2 ? std::round(uni(0.0, 1.5) * r1 * 2.0) / 2.0 : uni(0.0, 1.5) * r1;
    // One draw per statement (argument order would differ between compilers).
    const double bScale = uni(0.5, 1.5) * r1;
    const double bDy = kind == 2 ? 0.0 : uni(-0.5, 0.5) * r1;
    std::vector<double> b = ring(off, bDy, bScale);
    std::vector<std::vector<double>> holes;
    if (kind == 4 || pick(4) == 0) {
        const int nHoles = 1 + pick(8);
        const int nSeg = 3 + pick(nMax < 32 ? nMax - 2 : 30);
        for (int h = 0; h < nHoles; ++h) {
            const double hr = r1 * uni(0.02, 0.1);
            const double hy = uni(-0.4, 0.4) * r1;
            const double hx = uni(-0.4, 0.4) * r1;
            holes.push_back(RegularRing(hx, hy, hr, nSeg, 0.0, false));
        }
    }
    const int op = pick(3);
    return [a, b, holes, op](CSectModel& m) {
        std::vector<int> ca, cb;
        AddRing(m, a, ca);
        for (const auto& h : holes) AddRing(m, h, ca);
        AddRing(m, b, cb);
        const int sa = m.GenerateSection(ca);
        const int sb = m.GenerateSection(cb);
        if (sa == 0 || sb == 0) return;
        if (op == 0) m.UniteSections(sa, sb);
        else if (op == 1) m.IntersectSections(sa, sb);
        else m.SubtractSections(sa, sb);
    };
}

// Runs generated cases [nFirst, nFirst + nCount); returns the number that differ and describes the
// first one in strFirst. pnWithArea receives the number of cases that end with a triangulated section.
inline int CompareGenerated(unsigned nFirst, unsigned nCount, int nMaxVertices, std::string& strFirst,
                            int* pnWithArea = nullptr) {
    int nDiff = 0;
    if (pnWithArea) *pnWithArea = 0;
    for (unsigned s = nFirst; s < nFirst + nCount; ++s) {
        double dTol = 0.001;
        const ModelScript script = MakeCase(s, nMaxVertices, dTol);
        const std::string plain = RunScript(dTol, script, true);
        const std::string fast = RunScript(dTol, script, false);
        if (pnWithArea && fast.find("\n    T1 ") != std::string::npos) ++*pnWithArea;
        if (plain != fast) {
            if (nDiff == 0) strFirst = "seed " + std::to_string(s);
            ++nDiff;
        }
    }
    return nDiff;
}

}  // namespace sect_compare
