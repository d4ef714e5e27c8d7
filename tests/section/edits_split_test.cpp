// Curve splitting (pieces, reused points, loop rebuild) and duplicate removal (first in the list
// survives, section curves untouched), each checked against undo.
#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <cmath>

#include "support/sect_dump.h"

namespace {

using sect_test::DumpSectModel;

const int kCmp = sect_test::kDumpSkipWorkFields | sect_test::kDumpSkipCounters;

TEST(SplitCurve, CutsAtFractionsAndKeepsIdOnFirstPiece) {
    CSectModel m(0.001);
    m.AddLineCurve(0, 0, 10, 0);
    m.OpenHistory();
    m.SplitCurve(m.GetCurve(1), {0.7, 0.3});
    EXPECT_EQ(m.GetCurve(1)->aPointId, (std::vector<int>{1, 3}));
    EXPECT_EQ(m.GetCurve(2)->aPointId, (std::vector<int>{3, 4}));
    EXPECT_EQ(m.GetCurve(3)->aPointId, (std::vector<int>{4, 2}));
    EXPECT_DOUBLE_EQ(m.GetPoint(3)->dX, 3.0);
    EXPECT_DOUBLE_EQ(m.GetPoint(4)->dX, 7.0);
    EXPECT_EQ(m.m_aLastCurve, (std::vector<int>{2, 3}));
    EXPECT_EQ(m.m_aLastPoint, (std::vector<int>{3, 4}));
    const T_SM_HISTORY* h = m.m_mapUndo.Find(1);
    EXPECT_EQ(h->aNewCurve, (std::vector<int>{2, 3}));
    EXPECT_EQ(h->aNewPoint, (std::vector<int>{3, 4}));
}

TEST(SplitCurve, ThinsFractionsCloserThanFixedGap) {
    struct Case {
        std::vector<double> f;
        size_t pieces;
        double x3;  // where the first cut lands (the later of two close fractions), or 0: unchecked
    };
    const Case cases[] = {
        {{0.5, 0.5004}, 2, 5.004}, {{0.5, 0.501}, 3, 0}, {{0.2, 0.2, 0.2}, 2, 0}, {{1.5}, 2, 0}, {{}, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.f.size());
        CSectModel m(0.0001);
        m.AddLineCurve(0, 0, 10, 0);
        m.OpenHistory();
        m.SplitCurve(m.GetCurve(1), c.f);
        EXPECT_EQ(m.m_mapCurve.size(), c.pieces);
        if (c.x3 != 0) {
            EXPECT_DOUBLE_EQ(m.GetPoint(3)->dX, c.x3);
        }
    }
}

TEST(SplitCurve, ReusesPointWithinToleranceAndRebuildsLoops) {
    CSectModel m(0.001);
    m.AddLineCurve(0, 0, 10, 0);    // curve 1, points 1 2
    m.AddLineCurve(3.0005, 1, 3.0005, 5);  // point 3 lies off the line
    m.GetPoint(3)->dY = 0.0;        // now within tol of the cut at x = 3
    T_SM_LOOP fwd, back;
    fwd.nId = 1;
    fwd.aCurveId = {7, 1, 8};
    back.nId = 2;
    back.aCurveId = {-1, 9};
    m.m_mapLoop.InsertCopy(fwd);
    m.m_mapLoop.InsertCopy(back);
    m.GetCurve(1)->aLoopId = {1, 2};
    m.OpenHistory();
    const std::string before = DumpSectModel(m, kCmp);
    m.SaveCurve(m.GetCurve(1));
    m.SplitCurve(m.GetCurve(1), {0.3, 0.6});
    EXPECT_EQ(m.GetCurve(1)->aPointId, (std::vector<int>{1, 3}));
    EXPECT_EQ(m.m_aLastPoint, (std::vector<int>{5}));
    EXPECT_EQ(m.GetLoop(1)->aCurveId, (std::vector<int>{7, 1, 3, 4, 8}));
    EXPECT_EQ(m.GetLoop(2)->aCurveId, (std::vector<int>{-4, -3, -1, 9}));
    EXPECT_EQ(m.GetCurve(4)->aLoopId, (std::vector<int>{1, 2}));
    m.Undo();
    EXPECT_EQ(DumpSectModel(m, kCmp), before);
}

TEST(SplitCurve, SectionCurvePiecesJoinTheSection) {
    CSectModel m(0.001);
    m.AddLineCurve(0, 0, 4, 0);
    T_SM_SECTION s;
    s.nId = 1;
    s.aCurveId = {1};
    m.m_mapSection.InsertCopy(s);
    m.GetCurve(1)->nSection = 1;
    m.OpenHistory();
    m.SplitCurve(m.GetCurve(1), {0.5});
    EXPECT_EQ(m.GetSection(1)->aCurveId, (std::vector<int>{1, 2}));
    EXPECT_EQ(m.GetCurve(2)->nSection, 1);
    m.Undo();
    EXPECT_EQ(m.GetSection(1)->aCurveId, (std::vector<int>{1}));
}

TEST(DeleteDuplicateCurves, FirstInListSurvivesEitherDirection) {
    struct Case {
        double x, y;  // end of the second line, which starts at (5, 0): the first line reversed
        bool deleted;
    };
    const Case cases[] = {
        {0.0, 0.0, true}, {0.0009, 0.0, true}, {std::nextafter(0.001, 0.0), 0.0, true},
        {0.001, 0.0, false}, {0.0, -0.0011, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        CSectModel m(0.001);
        m.AddLineCurve(0, 0, 5, 0);
        m.AddLineCurve(5, 9, 1, 9);
        m.GetPoint(3)->dY = 0.0;  // second line becomes (5,0) -> (x,y)
        m.GetPoint(4)->dX = c.x;
        m.GetPoint(4)->dY = c.y;
        std::vector<std::string> notes;
        m.SetTextObserver([&notes](int, const CString& s) { notes.push_back(s.ToUtf8()); });
        m.OpenHistory();
        m.DeleteDuplicateCurves({2, 1});
        EXPECT_EQ(m.GetCurve(2) != nullptr, true);
        EXPECT_EQ(m.GetCurve(1) == nullptr, c.deleted);
        EXPECT_EQ(notes, c.deleted ? std::vector<std::string>{"1 duplicate curve is deleted."}
                                   : std::vector<std::string>{});
    }
}

TEST(DeleteDuplicateCurves, BrokenCurvesGoAndSectionCurvesStay) {
    CSectModel m(0.001);
    for (int i = 0; i < 3; ++i) m.AddLineCurve(0, 0, 5, 0);  // three coincident lines
    m.AddLineCurve(0, 0, 5, 0);
    m.GetCurve(4)->nSection = 9;                             // a section curve, duplicate too
    m.AddLineCurve(0, 3, 5, 3);
    m.GetCurve(5)->aPointId = {3};                           // a one-point curve
    m.OpenHistory();
    const std::string before = DumpSectModel(m, kCmp);
    std::vector<std::string> notes;
    m.SetTextObserver([&notes](int, const CString& s) { notes.push_back(s.ToUtf8()); });
    m.DeleteDuplicateCurves({1, 2, 3, 4, 5, 77});
    EXPECT_EQ(m.m_mapCurve.Ids(), (std::vector<int>{1, 4}));
    EXPECT_EQ(m.m_mapPoint.size(), 4u);
    EXPECT_EQ(m.GetCurve(1)->nSectCurveId, 1);
    EXPECT_EQ(notes, std::vector<std::string>{"3 duplicate curves are deleted."});
    m.Undo();
    EXPECT_EQ(DumpSectModel(m, kCmp), before);
}

}  // namespace
