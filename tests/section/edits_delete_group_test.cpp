// Curve deletion (section curves skipped, loops unregistered, unused points freed) and groups.
#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include "support/sect_dump.h"

namespace {

using sect_test::DumpSectModel;

// Square 0-1-2-3 of curves 1..4 (points 1..4) plus a free tail curve 5 from point 3.
void MakeSquare(CSectModel& m) {
    m.AddLineCurve(0, 0, 1, 0);
    m.AddLineCurve(1, 0, 1, 1);
    m.AddLineCurve(1, 1, 0, 1);
    m.AddLineCurve(0, 1, 0, 0);
    m.AddLineCurve(1, 1, 3, 3);
}

TEST(DeleteCurves, UnregistersLoopAndFreesUnusedPoints) {
    CSectModel m(0.001);
    MakeSquare(m);
    T_SM_LOOP loop;
    loop.nId = 1;
    loop.aCurveId = {1, -2, 3, 4};
    m.m_mapLoop.InsertCopy(loop);
    for (int c = 1; c <= 4; ++c) m.GetCurve(c)->aLoopId = {1};
    std::vector<std::pair<int, std::string>> texts;
    m.SetTextObserver([&texts](int k, const CString& s) { texts.emplace_back(k, s.ToUtf8()); });
    const std::string before = DumpSectModel(m, sect_test::kDumpSkipCounters);
    m.OpenHistory();  // the deletion's own record sits on top of an older one
    EXPECT_TRUE(m.DeleteCurves({2, 5}, true, true, true));
    EXPECT_EQ(m.m_mapCurve.Ids(), (std::vector<int>{1, 3, 4}));
    EXPECT_TRUE(m.m_mapLoop.empty());
    EXPECT_TRUE(m.GetCurve(1)->aLoopId.empty());
    EXPECT_EQ(m.m_mapPoint.Ids(), (std::vector<int>{1, 2, 3, 4}));  // point 5 (3,3) only served curve 5
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0].first, SM_TEXT_QUESTION);
    EXPECT_EQ(texts[1].second, "Delete 2 curves");
    EXPECT_EQ(texts[2].second, "2 curves are deleted.");
    EXPECT_EQ(m.m_nUndoId, 2);
    m.Undo();
    EXPECT_EQ(DumpSectModel(m, sect_test::kDumpSkipCounters), before);
}

TEST(DeleteCurves, RejectsBadListsAndKeepsPartialWork) {
    struct Case {
        std::vector<int> ids;
        bool result;
        std::vector<int> left;
    };
    const Case cases[] = {
        {{}, false, {1, 2, 3, 4, 5}},
        {{1, 99}, false, {1, 2, 3, 4, 5}},    // unknown id: nothing happens
        {{4}, false, {1, 2, 3, 4, 5}},        // only a section curve
        {{4, 5}, true, {1, 2, 3, 4}},         // section curve skipped
        {{5, 5}, false, {1, 2, 3, 4}},        // deleted at the first entry, fails at the second
        {{1}, true, {2, 3, 4, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ids.size());
        CSectModel m(0.001);
        MakeSquare(m);
        m.GetCurve(4)->nSection = 7;
        m.OpenHistory();
        EXPECT_EQ(m.DeleteCurves(c.ids, true, false, false), c.result);
        EXPECT_EQ(m.m_mapCurve.Ids(), c.left);
    }
}

TEST(AddToGroup, NamesMatchExactlyAndListsStaySorted) {
    CSectModel m(0.001);
    MakeSquare(m);
    T_SM_SECTION s;
    s.nId = 3;
    s.aCurveId = {4, 2, 42};
    m.m_mapSection.InsertCopy(s);
    m.AddToGroup({}, {}, {}, true, CString());  // empty name: nothing
    EXPECT_TRUE(m.m_mapGroup.empty());
    EXPECT_TRUE(m.m_mapUndo.empty());
    m.AddToGroup({}, {5, 77}, {99, 1}, true, CString(L"Wall"));
    m.AddSectionToGroup(3, CString(L"Wall"));
    m.AddSectionToGroup(3, CString(L"wall"));
    ASSERT_EQ(m.m_mapGroup.Ids(), (std::vector<int>{1, 2}));
    const T_SM_GROUP* g = m.GetGroup(1);
    EXPECT_EQ(g->aSectionId, (std::vector<int>{3}));
    EXPECT_EQ(g->aCurveId, (std::vector<int>{2, 4, 5}));
    EXPECT_EQ(g->aPointId, (std::vector<int>{1, 2, 3, 4, 5, 99}));
    EXPECT_EQ(m.m_nUndoId, 1);  // section adds keep no history of their own
    const T_SM_HISTORY* h = m.m_mapUndo.Find(1);
    EXPECT_EQ(h->aNewGroup, (std::vector<int>{1, 2}));
    EXPECT_TRUE(h->mapOldGroup.empty());
    m.Undo();
    EXPECT_TRUE(m.m_mapGroup.empty());
}

}  // namespace
