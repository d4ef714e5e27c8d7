// Plane and line section generation: checks and their texts, island merge with shifted ids,
// history, point separation, and failures that leave the model as it was.
#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "support/sect_build.h"
#include "support/sect_dump.h"

namespace {

using sect_test::DumpSectModel;
using sect_test::Ring;
using sect_test::Square;

// Every composed text, in order.
struct Texts {
    std::vector<std::wstring> all;
    void Attach(CSectModel& m) {
        m.SetTextObserver([this](int, const CString& s) { all.push_back(std::wstring(s.GetString())); });
    }
    bool Has(const wchar_t* s) const { return std::find(all.begin(), all.end(), s) != all.end(); }
};

TEST(GenerateSection, RejectedSelectionLeavesModelUnchanged) {
    struct Case {
        const char* name;
        double tol;
        std::vector<std::vector<double>> segs;  // x1 y1 x2 y2
        const wchar_t* text;                     // expected composed text, or null
    };
    const Case cases[] = {
        {"coincide", 0.001, {{0, 0, 4, 0}, {4, 0, 4, 4}, {4, 4, 0, 4}, {0, 4, 0, 0}, {4, 0, 0, 0}},
         L"Cannot generate a new plane section.\n\nCurves [1] and [5] coincide."},
        {"t-junction", 0.001, {{0, 0, 4, 0}, {4, 0, 4, 4}, {4, 4, 0, 4}, {0, 4, 0, 0}, {2, 0, 2, 4}},
         L"Cannot generate a new plane section.\n\nCurves [1] and [5] overlap or cross each other."},
        {"tolerance", 0.5, {{0, 0, 4, 0}, {4, 0, 4, 1}, {4, 1, 0, 1}, {0, 1, 0, 0}},
         L"Tolerance [0.500] is too large.\n\nIt should be less than the half of the length [1.000] of the shortest "
         L"curve [2]."},
        {"loose end", 0.001, {{0, 0, 4, 0}, {4, 0, 4, 4}, {4, 4, 0, 4}, {0, 4, 0, 0}, {4, 4, 6, 6}},
         L"Cannot generate a new plane section.\n\nCurve [5] is not connected with other curve(s) at point [5]."},
        {"single open curve", 0.001, {{0, 0, 4, 3}},
         L"Cannot construct a closed outer loop of the plane section.\n\nConnect all curves correctly and then try "
         L"again."},
        {"vertical line", 0.001, {{0, 0, 0, 3}}, nullptr},
        {"dumbbell", 0.001,
         {{0, 0, 1, 0}, {1, 0, 0, 1}, {0, 1, 0, 0}, {1, 0, 5, 0}, {5, 0, 6, 0}, {6, 0, 6, 1}, {6, 1, 5, 0}},
         L"Cannot construct a closed outer loop of the plane section.\n\nConnect all curves or exclude the outside "
         L"curves of the closed loop in selection."},
        {"square made, then dumbbell island fails", 0.001,
         {{0, 0, 10, 0}, {10, 0, 10, 10}, {10, 10, 0, 10}, {0, 10, 0, 0}, {20, 0, 21, 0}, {21, 0, 20, 1}, {20, 1, 20, 0},
          {21, 0, 25, 0}, {25, 0, 26, 0}, {26, 0, 26, 1}, {26, 1, 25, 0}},
         L"Cannot construct a closed outer loop of the plane section.\n\nConnect all curves or exclude the outside "
         L"curves of the closed loop in selection."},
        {"dangling interior chain", 0.001,
         {{0, 0, 10, 0}, {10, 0, 10, 10}, {10, 10, 0, 10}, {0, 10, 0, 0}, {0, 0, 3, 3}, {3, 3, 4, 3}, {4, 3, 3, 4},
          {3, 4, 3, 3}},
         L"Plane section should have a clear simply-connected geometry.\n\n(All its domains should be defined by "
         L"simply-connected curve-loops)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSectModel m(c.tol);
        std::vector<int> ids;
        for (const std::vector<double>& s : c.segs) ids.push_back(m.AddLineCurve(s[0], s[1], s[2], s[3]));
        const std::string before = DumpSectModel(m);
        Texts texts;
        texts.Attach(m);
        const int nextSection = m.m_nNextSectionId;
        EXPECT_EQ(m.GenerateSection(ids), 0);
        // Only the section counter may have moved on; everything else is as it was.
        m.m_nNextSectionId = nextSection;
        EXPECT_EQ(DumpSectModel(m), before);
        EXPECT_TRUE(!c.text || texts.Has(c.text));
    }
}

TEST(GenerateSection, ToleranceMustStayBelowHalfShortestLengthLessMargin) {
    // Rectangle 4 x 1: the short sides are 1 long, so tolerance + 1e-6 must not exceed 0.5.
    const struct { double tol; int expected; } cases[] = {{0.4999, 1}, {0.4999991, 0}, {0.5, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tol);
        CSectModel m(c.tol);
        EXPECT_EQ(m.GenerateSection(Ring(m, {{0, 0}, {4, 0}, {4, 1}, {0, 1}})), c.expected);
    }
}

TEST(GenerateSection, CurveOfAnotherSectionIsRefusedByName) {
    CSectModel m(0.001);
    const int s1 = m.GenerateSectionEx(1, Ring(m, Square(0, 0, 1)), false, {}, CString(), CString(), 0.0);
    ASSERT_EQ(s1, 1);
    EXPECT_EQ(m.GetSection(s1)->strName, CString(L"Section-1"));
    Texts texts;
    texts.Attach(m);
    std::vector<int> ids = Ring(m, Square(5, 0, 1));
    ids.push_back(2);
    const std::string before = DumpSectModel(m);
    EXPECT_EQ(m.GenerateSection(ids), 0);
    EXPECT_EQ(DumpSectModel(m), before);
    EXPECT_TRUE(texts.Has(L"Curve [2] cannot be used to generate a new section.\n\nA curve can belong to only one "
                          L"section.\n\nIt already belongs to the section [Section-1]."));
    EXPECT_EQ(m.GenerateSectionEx(3, Ring(m, Square(9, 0, 1)), false, {}, CString(), CString(), 0.0), 0);
}

TEST(GenerateSection, ZeroWidthClosedCurveIsRefusedWithoutDividing) {
    CSectModel m(0.001);
    m.AddLineCurve(0, 0, 0, 2);
    m.GetCurve(1)->aPointId = {1, 2, 1};  // closed, all on x = 0
    const std::string before = DumpSectModel(m);
    EXPECT_EQ(m.GenerateSection({1}), 0);
    m.m_nNextSectionId = 1;
    EXPECT_EQ(DumpSectModel(m), before);
}

TEST(GenerateSection, DisjointOutlinesMergeIntoIslandsWithShiftedIds) {
    CSectModel m(0.001);
    std::vector<int> ids = Ring(m, Square(0, 0, 1));
    std::vector<int> b = Ring(m, Square(3, 0, 1));
    ids.insert(ids.end(), b.begin(), b.end());
    m.AddLineCurve(10, 10, 11, 11);  // a free curve touching nothing stays free
    Texts texts;
    texts.Attach(m);
    const int s = m.GenerateSection(ids);
    ASSERT_EQ(s, 1);
    EXPECT_EQ(m.m_nNextSectionId, 3);  // the second island section took id 2 before the merge
    ASSERT_EQ(m.m_mapSection.size(), 1u);
    const T_SM_SECTION* sec = m.GetSection(s);
    EXPECT_EQ(sec->aCurveId, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8}));
    EXPECT_EQ(sec->mapDomain.Ids(), (std::vector<int>{1, 3}));
    EXPECT_EQ(sec->mapLoop.Ids(), (std::vector<int>{1, 3}));
    // The first section keeps the points of the curves it dropped; the second is shifted past them.
    EXPECT_EQ(sec->mapPoint.Ids(), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 10, 11, 12, 13}));
    EXPECT_EQ(sec->mapTriangle.Ids(), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_EQ(sec->mapDomain.Find(3)->aLoopId, std::vector<int>{3});
    EXPECT_EQ(sec->mapLoop.Find(3)->aCurveId, (std::vector<int>{10, 11, 12, 13}));
    EXPECT_EQ(sec->mapCurve.Find(10)->aPointId, (std::vector<int>{10, 11}));
    EXPECT_EQ(sec->mapTriangle.Find(4)->nDomainId, 3);
    EXPECT_EQ(sec->mapTriangle.Find(4)->aPointId[0], 10);
    EXPECT_EQ((std::vector<int>{sec->nNextPointId, sec->nNextCurveId, sec->nNextLoopId, sec->nNextDomainId,
                                sec->nNextTriangleId}),
              (std::vector<int>{14, 14, 4, 4, 6}));
    EXPECT_DOUBLE_EQ(sec->mapPoint.Find(11)->dX, 4.0);  // scaled back to model coordinates
    EXPECT_TRUE(sec->mapDomain.Find(1)->bActive);
    EXPECT_TRUE(sec->mapDomain.Find(3)->bActive);
    EXPECT_TRUE(texts.Has(L"Selected curves define the plane section composed of 2 island domains.\n\nIs it your "
                          L"intended plane section?"));
    for (int c = 1; c <= 8; ++c) {
        EXPECT_EQ(m.GetCurve(c)->nSection, 1);
        EXPECT_EQ(m.GetCurve(c)->nSectCurveId, 0);
    }
    EXPECT_EQ(m.GetCurve(9)->nSection, 0);
    ASSERT_EQ(m.m_nUndoId, 1);
    EXPECT_EQ(m.m_mapUndo.Find(1)->strTitle, CString(L"Generate new plane section [NULL]"));
    EXPECT_EQ(m.m_mapUndo.Find(1)->aNewSection, std::vector<int>{1});
    EXPECT_EQ(m.m_aNewSection, std::vector<int>{1});
    // Undo gives the curves back free and removes the section.
    m.Undo();
    EXPECT_TRUE(m.m_mapSection.empty());
    EXPECT_EQ(m.GetCurve(1)->nSection, 0);
}

TEST(GeneratePlaneSection, CurvesOutsideTheOuterBoundaryStayFree) {
    CSectModel m(0.001);
    std::vector<int> ids = Ring(m, Square(0, 0, 1));
    std::vector<int> b = Ring(m, Square(3, 0, 1));
    ids.insert(ids.end(), b.begin(), b.end());
    const int s = m.GeneratePlaneSection(ids, false, {}, CString(), 0.0);
    ASSERT_EQ(s, 1);
    EXPECT_EQ(m.GetSection(s)->aCurveId, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(m.GetSection(s)->mapCurve.size(), 4u);
    EXPECT_EQ(m.GetCurve(1)->nSectCurveId, 0);
    EXPECT_EQ(m.GetCurve(5)->nSection, 0);
    EXPECT_EQ(m.m_nUndoId, 0);  // no history of its own
}

TEST(GenerateLineSection, CoincidenceOverlapAndLoopChecks) {
    struct Case {
        const char* name;
        std::vector<std::vector<double>> segs;
        int expected;  // 0 or the section id
        const wchar_t* text;
    };
    const Case cases[] = {
        {"swapped ends within tolerance", {{0, 0, 5, 0}, {5.0005, 0.3, 0.0005, 0.3}}, 0, nullptr},
        {"one tolerance apart", {{0, 0, 5, 0}, {5, 0.001, 0, 0.001}}, 1, nullptr},
        {"touch end to end", {{0, 0, 5, 0}, {5, 0, 9, 0}}, 1, nullptr},
        {"partly over", {{0, 0, 5, 0}, {3, 0, 9, 0}}, 0,
         L"Cannot generate a new line section.\n\nCurves [1] and [2] overlap."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CSectModel m(0.001);
        std::vector<int> ids;
        for (const std::vector<double>& s : c.segs) ids.push_back(m.AddLineCurve(s[0], s[1], s[2], s[3]));
        if (std::string(c.name) == "swapped ends within tolerance") {
            // Move the second curve's ends next to the first's without snapping them together.
            m.GetPoint(3)->dY = m.GetPoint(4)->dY = 0.0;
        }
        Texts texts;
        texts.Attach(m);
        EXPECT_EQ(m.GenerateLineSection(ids, true, {7}, CString(), CString(), 2.5), c.expected);
        EXPECT_TRUE(!c.text || texts.Has(c.text));
        if (c.expected != 0) {
            const T_SM_SECTION* sec = m.GetSection(c.expected);
            EXPECT_EQ(sec->nType, 2);
            EXPECT_EQ(sec->strName, CString(L"Section-1"));
            EXPECT_EQ(sec->aCallerId, std::vector<int>{7});
            EXPECT_EQ(m.m_mapUndo.Find(m.m_nUndoId)->strTitle, CString(L"Generate new line section [Section-1]"));
            EXPECT_EQ(m.GetCurve(1)->nSection, 1);
        }
    }
    // Loop check: loop 4 runs through curves 1, 7 and 9; only curve 1 selected.
    CSectModel m(0.001);
    for (int i = 0; i < 9; ++i) m.AddLineCurve(i * 10, 0, i * 10 + 5, 0);
    T_SM_LOOP loop;
    loop.nId = 4;
    loop.aCurveId = {1, -7, 9};
    m.m_mapLoop.InsertCopy(loop);
    for (int c : {1, 7, 9}) m.GetCurve(c)->aLoopId = {4};
    Texts texts;
    texts.Attach(m);
    EXPECT_EQ(m.GenerateLineSection({1}, false, {}, CString(), CString(), 0.0), 0);
    EXPECT_TRUE(texts.Has(L"Not all curves belonging to the closed loop [4] are selected.\n\nCurves [7:9] are not "
                          L"selected."));
    EXPECT_EQ(m.GenerateLineSection({1, 9}, false, {}, CString(), CString(), 0.0), 0);
    EXPECT_TRUE(texts.Has(L"Not all curves belonging to the closed loop [4] are selected.\n\nCurve [7] is not "
                          L"selected."));
    EXPECT_EQ(m.GenerateSectionEx(2, {1, 7, 9}, false, {}, CString(L"G"), CString(L"web"), 0.0), 1);
    EXPECT_EQ(m.GetGroup(1)->aSectionId, std::vector<int>{1});
}

TEST(GenerateSection, RandomRingsWithChordsNeverCorruptTheModel) {
    // Star-shaped rings with random radii, some with chords between vertices (inside, outside or
    // crossing) or a duplicated edge. A failed generation leaves the model as it was; a successful
    // one leaves only outer and hole rings in the section.
    unsigned seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
    };
    int nMade = 0;
    for (int round = 0; round < 80; ++round) {
        SCOPED_TRACE(round);
        CSectModel m(0.001);
        std::vector<T_GORV_POINT2D> v;
        const int n = 3 + next(6);
        for (int k = 0; k < n; ++k) {
            const double a = 6.283185307179586 * k / n, r = 1.0 + next(4);
            v.push_back({r * std::cos(a), r * std::sin(a)});
        }
        std::vector<int> ids = Ring(m, v);
        for (int c = next(3); c > 0; --c) {
            const T_GORV_POINT2D& p = v[static_cast<std::size_t>(next(n))];
            const T_GORV_POINT2D& q = v[static_cast<std::size_t>(next(n))];
            const int id = m.AddLineCurve(p.x, p.y, q.x, q.y);
            if (id > 0) ids.push_back(id);
        }
        const std::string before = DumpSectModel(m);
        const int nextSection = m.m_nNextSectionId;
        const int s = m.GenerateSection(ids);
        if (s == 0) {
            m.m_nNextSectionId = nextSection;
            EXPECT_EQ(DumpSectModel(m), before);
            continue;
        }
        ++nMade;
        for (const auto& kv : m.GetSection(s)->mapLoop) EXPECT_TRUE(kv.second->nKind == 1 || kv.second->nKind == 2);
    }
    EXPECT_GT(nMade, 20);
}

}  // namespace
