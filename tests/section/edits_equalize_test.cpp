// Point equalization (target choice, re-pointing, degenerate and duplicate curves), snowball
// clusters, and point separation, each checked against undo.
#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "support/sect_dump.h"

namespace {

using sect_test::DumpSectModel;

const int kCmp = sect_test::kDumpSkipWorkFields | sect_test::kDumpSkipCounters;

void Pt(CSectModel& m, int id, double x, double y) {
    m.m_mapPoint.InsertCopy(T_SM_POINT{id, 0, x, y, 0, 0, 0});
    m.m_nNextPointId = std::max(m.m_nNextPointId, id + 1);
}

void Cv(CSectModel& m, int id, std::vector<int> pts) {
    m.m_mapCurve.InsertCopy(T_SM_CURVE{id, 0, 1, 0.0, 0, {}, pts});
    m.m_nNextCurveId = std::max(m.m_nNextCurveId, id + 1);
}

// Points 3 (0,0), 7 (0.0008,0), 9 (5,5), 11 (-5,0); curves 1: 3-7, 2: 3-9, 3: 7-9, 4: 11-7.
void MakeMergeModel(CSectModel& m) {
    Pt(m, 3, 0, 0);
    Pt(m, 7, 0.0008, 0);
    Pt(m, 9, 5, 5);
    Pt(m, 11, -5, 0);
    Cv(m, 1, {3, 7});
    Cv(m, 2, {3, 9});
    Cv(m, 3, {7, 9});
    Cv(m, 4, {11, 7});
}

TEST(EqualizePoints, NearPointToMeanIsKeptAndCurvesFollow) {
    CSectModel m(0.001);
    MakeMergeModel(m);
    const std::string before = DumpSectModel(m, kCmp);
    m.EqualizePoints({7, 3}, false, 0, 0, true, true, true);
    EXPECT_EQ(m.m_mapPoint.Ids(), (std::vector<int>{3, 9, 11}));
    EXPECT_EQ(m.GetPoint(3)->dX, 0.0);           // t keeps its coordinates
    EXPECT_EQ(m.m_mapCurve.Ids(), (std::vector<int>{2, 4}));  // 1 degenerate, 3 duplicates 2
    EXPECT_EQ(m.GetCurve(4)->aPointId, (std::vector<int>{11, 3}));
    EXPECT_TRUE(m.m_mapUndo.Find(1)->strTitle == CString(L"Equalize 2 points"));
    m.Undo();
    EXPECT_EQ(DumpSectModel(m, kCmp), before);
}

TEST(EqualizePoints, TargetChoiceDependsOnDeleteFlag) {
    for (bool bDelete : {false, true}) {
        SCOPED_TRACE(bDelete);
        CSectModel m(0.001);
        Pt(m, 1, 9, 9);
        Pt(m, 2, 0, 0);
        Pt(m, 3, 1, 0);
        Pt(m, 4, 0, 5);
        Cv(m, 1, {2, 4});
        Cv(m, 2, {3, 4});
        const std::string before = DumpSectModel(m, kCmp);
        m.EqualizePoints({3, 2}, false, 0, 0, bDelete, false, true);
        const int t = bDelete ? 2 : 5;  // lowest listed id moved to the mean, or a new point
        EXPECT_DOUBLE_EQ(m.GetPoint(t)->dX, 0.5);
        // Duplicates are looked for only through the listed points, so a new target leaves them.
        EXPECT_EQ(m.m_mapCurve.Ids(), (bDelete ? std::vector<int>{1} : std::vector<int>{1, 2}));
        EXPECT_EQ(m.GetCurve(1)->aPointId, (std::vector<int>{t, 4}));
        EXPECT_EQ(m.m_mapPoint.size(), bDelete ? 3u : 5u);
        EXPECT_EQ(m.m_aLastPoint, (bDelete ? std::vector<int>{} : std::vector<int>{5}));
        m.Undo();
        EXPECT_EQ(DumpSectModel(m, kCmp), before);
    }
}

TEST(EqualizePoints, CurveHoldingThePointTwiceLeavesNoDanglingId) {
    // Two cuts 0.1 apart under tolerance 0.3 snap to one point S, so the split leaves a piece (S, S).
    CSectModel m(0.3);
    m.AddLineCurve(0, 0, 10, 0);  // points 1, 2
    m.AddLineCurve(20, 0, 20, 5); // points 3, 4
    m.OpenHistory();
    m.SaveCurve(m.GetCurve(1));
    m.SplitCurve(m.GetCurve(1), {0.5, 0.51});
    ASSERT_EQ(m.GetCurve(3)->aPointId, (std::vector<int>{5, 5}));
    const std::string before = DumpSectModel(m, kCmp);

    // Merged at point 4's position: 4 is the target and not in the list, so no duplicate search
    // passes over (S, S); it has to become (4, 4) and go as degenerate, or it would keep naming S.
    m.EqualizePoints({5, 3}, true, 20, 5, true, false, true);
    EXPECT_EQ(m.m_mapPoint.Ids(), (std::vector<int>{1, 2, 4}));
    EXPECT_EQ(m.m_mapCurve.Ids(), (std::vector<int>{1, 4}));
    EXPECT_EQ(m.GetCurve(1)->aPointId, (std::vector<int>{1, 4}));
    EXPECT_EQ(m.GetCurve(4)->aPointId, (std::vector<int>{4, 2}));
    m.Undo();
    EXPECT_EQ(DumpSectModel(m, kCmp), before);
}

TEST(EqualizePoints, SkipsSectionAndLoopPointsAndSelfOverlap) {
    CSectModel m(0.001);
    MakeMergeModel(m);
    T_SM_LOOP loop;
    loop.nId = 1;
    loop.aCurveId = {-3};  // backward entry still marks its points as loop points
    m.m_mapLoop.InsertCopy(loop);
    const std::string before = DumpSectModel(m, kCmp);
    m.EqualizePoints({3, 7}, false, 0, 0, true, false, true);
    EXPECT_EQ(DumpSectModel(m, kCmp), before);
    EXPECT_TRUE(m.m_mapUndo.empty());
    m.m_mapLoop.Clear();
    Pt(m, 20, 3, 3);
    Cv(m, 8, {3, 20, 7});  // merging 3 and 7 would fold curve 8 onto itself
    m.EqualizePoints({3, 7}, false, 0, 0, true, false, true);
    EXPECT_TRUE(m.m_mapUndo.empty());
    EXPECT_EQ(m.GetPoint(7)->dX, 0.0008);
}

TEST(EqualizePoints, AtPositionTakesCurrentCoordinateSystem) {
    CSectModel m(0.001);
    Pt(m, 1, 0, 0);
    Pt(m, 2, 1, 0);
    T_SM_CSYS cs;
    cs.nId = 1;
    cs.dShiftX = 10;
    cs.dAngle = 90;
    m.m_mapCsys.InsertCopy(cs);
    m.m_nCurCsys = 1;
    m.EqualizePoints({1, 2}, true, 2, 0, true, true, false);  // (2,0) -> rotate 90 -> (0,2) + (10,0)
    EXPECT_NEAR(m.GetPoint(1)->dX, 10.0, 1e-12);
    EXPECT_NEAR(m.GetPoint(1)->dY, 2.0, 1e-12);
    EXPECT_EQ(m.GetPoint(2), nullptr);
}

TEST(EqualizePointsInTolerance, SnowballClustersAreTransitive) {
    struct Case {
        double gap;
        std::vector<int> survivors;
        bool result;
    };
    const Case cases[] = {
        {0.0009, {1}, true}, {std::nextafter(0.001, 0.0), {1}, true}, {0.001, {1, 2, 3}, true}, {1.0, {1, 2, 3}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.gap);
        CSectModel m(0.001);
        for (int i = 1; i <= 3; ++i) Pt(m, i, (i - 1) * c.gap, 0);
        Pt(m, 4, 0, 9);
        Cv(m, 1, {3, 4});
        const std::string before = DumpSectModel(m, kCmp);
        EXPECT_EQ(m.EqualizePointsInTolerance({3, 2, 1}, false, 0, 0, true, false, true, 0.001), c.result);
        std::vector<int> ids = m.m_mapPoint.Ids();
        ids.pop_back();
        EXPECT_EQ(ids, c.survivors);
        EXPECT_EQ(m.m_mapUndo.size(), c.survivors.size() == 1 ? 1u : 0u);
        if (c.survivors.size() == 1) {
            EXPECT_EQ(m.GetCurve(1)->aPointId, (std::vector<int>{1, 4}));
            EXPECT_TRUE(m.m_mapUndo.Find(1)->strTitle == CString(L"Equalize 3 points in tolerance"));
            m.Undo();
            EXPECT_EQ(DumpSectModel(m, kCmp), before);
        }
    }
    CSectModel m(0.001);
    Pt(m, 1, 0, 0);
    EXPECT_FALSE(m.EqualizePointsInTolerance({1}, false, 0, 0, true, false, true, 0.001));
    EXPECT_FALSE(m.EqualizePointsInTolerance({1, 5}, false, 0, 0, true, false, true, 0.001));
}

TEST(SeparateSectionPoints, OtherCurvesGetTwinsOfSharedPoints) {
    CSectModel m(0.001);
    Pt(m, 1, 0, 0);
    Pt(m, 2, 1, 0);
    Pt(m, 3, 2, 2);
    Cv(m, 1, {1, 2});  // section curve
    Cv(m, 2, {2, 3});  // free curves meeting the section at point 2
    Cv(m, 3, {3, 2});
    m.OpenHistory();
    const std::string before = DumpSectModel(m, kCmp);
    m.SeparateSectionPoints({1});
    EXPECT_EQ(m.GetCurve(1)->aPointId, (std::vector<int>{1, 2}));
    EXPECT_EQ(m.GetCurve(2)->aPointId, (std::vector<int>{4, 3}));
    EXPECT_EQ(m.GetCurve(3)->aPointId, (std::vector<int>{3, 4}));
    EXPECT_EQ(m.GetPoint(4)->dX, 1.0);
    EXPECT_EQ(m.m_aLastPoint, (std::vector<int>{4}));
    m.Undo();
    EXPECT_EQ(DumpSectModel(m, kCmp), before);
}

}  // namespace
