// The section model store: id allocation, saving state into the undo history, undo and rollback.
#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <memory>

#include "support/sect_dump.h"

namespace {

T_SM_HISTORY* Newest(CSectModel& m) { return m.m_mapUndo.Find(m.m_nUndoId); }

TEST(SectModelStore, NewModelHoldsOnlyGcsAndCountersStartAtOne) {
    CSectModel m(0.001);
    ASSERT_EQ(m.m_mapCsys.size(), 1u);
    EXPECT_TRUE(m.GetCurCsys()->strName == CString(L"GCS"));
    EXPECT_EQ(m.AddLineCurve(0, 0, 1, 0), 1);
    EXPECT_EQ(m.m_mapPoint.Ids(), (std::vector<int>{1, 2}));
    m.m_nCurCsys = 42;  // a current system that does not exist falls back to 0
    EXPECT_EQ(m.GetCurCsys()->nId, 0);
    EXPECT_EQ(m.m_nCurCsys, 0);
}

TEST(SectModelStore, RemovedAndUndoneIdsAreNeverHandedOutAgain) {
    CSectModel m(0.001);
    for (int i = 0; i < 5; ++i) m.AddLineCurve(i, 0, i + 1, 0);
    m.m_mapCurve.Erase(5);
    EXPECT_EQ(m.AddLineCurve(0, 5, 1, 5), 6);
    m.OpenHistory();
    m.m_mapUndo.Find(1)->aNewCurve.push_back(6);
    m.Undo();
    EXPECT_EQ(m.GetCurve(6), nullptr);
    EXPECT_EQ(m.AddLineCurve(0, 7, 1, 7), 7);
}

TEST(SectModelHistory, SaveKeepsFirstCopyAndSkipsCreatedRecords) {
    CSectModel m(0.001);
    m.AddLineCurve(0, 0, 1, 0);
    m.AddLineCurve(1, 0, 2, 0);
    m.SaveCurve(m.GetCurve(1));  // no undo record yet: nothing to save into, no crash
    m.OpenHistory();
    Newest(m)->aNewCurve.push_back(2);
    m.SaveCurve(m.GetCurve(1));
    m.GetCurve(1)->aPointId[0] = 2;
    m.SaveCurve(m.GetCurve(1));
    m.SaveCurve(m.GetCurve(2));
    m.SaveCurve(nullptr);
    const T_SM_HISTORY* h = Newest(m);
    ASSERT_EQ(h->mapOldCurve.size(), 1u);
    EXPECT_EQ(h->mapOldCurve.Find(1)->aPointId, (std::vector<int>{1, 2}));
}

TEST(SectModelHistory, UndoRemovesCreatedRestoresChangedAndWritesInverse) {
    CSectModel m(0.001);
    for (int i = 0; i < 6; ++i) m.AddLineCurve(i, 0, i + 1, 0);  // curves 1..6, points 1..7
    const std::string before = sect_test::DumpSectModel(m, sect_test::kDumpSkipCounters);
    m.OpenHistory();
    m.SetHistoryTitle(CString(L"Edit"));
    m.m_mapUndo.Find(1)->aNewCurve.push_back(m.AddLineCurve(9, 9, 10, 10));  // curve 7
    m.m_mapUndo.Find(1)->aNewPoint = {8, 9};
    m.SavePoint(m.GetPoint(3));
    m.GetPoint(3)->dX = 33;
    m.Undo();
    EXPECT_EQ(sect_test::DumpSectModel(m, sect_test::kDumpSkipCounters).find("C7"), std::string::npos);
    EXPECT_EQ(m.GetPoint(3)->dX, 2.0);
    EXPECT_EQ(m.m_nUndoId, 0);
    ASSERT_EQ(m.m_nRedoId, 1);
    const T_SM_HISTORY* d = m.m_mapRedo.Find(1);
    EXPECT_TRUE(d->strTitle == CString(L"Edit"));
    EXPECT_EQ(d->mapOldCurve.Ids(), (std::vector<int>{7}));
    EXPECT_EQ(d->mapOldPoint.Ids(), (std::vector<int>{3, 8, 9}));
    EXPECT_EQ(d->mapOldPoint.Find(3)->dX, 33.0);
    EXPECT_TRUE(d->aNewPoint.empty());
    EXPECT_EQ(sect_test::DumpSectModel(m, sect_test::kDumpSkipCounters), before);

    m.Undo();  // empty undo table: nothing changes
    EXPECT_EQ(m.m_nRedoId, 1);
    m.OpenHistory();
    EXPECT_EQ(m.m_nRedoId, 1);  // opening alone keeps the redo table
    m.SaveCurve(m.GetCurve(1));
    EXPECT_TRUE(m.m_mapRedo.empty());
}

TEST(SectModelHistory, UndoOfRemovedRecordListsItAsCreatedInRedo) {
    CSectModel m(0.001);
    m.AddLineCurve(0, 0, 1, 0);
    m.OpenHistory();
    m.SaveCurve(m.GetCurve(1));
    m.m_mapCurve.Erase(1);
    m.Undo();
    ASSERT_NE(m.GetCurve(1), nullptr);
    EXPECT_EQ(m.m_mapRedo.Find(1)->aNewCurve, (std::vector<int>{1}));
    EXPECT_TRUE(m.m_mapRedo.Find(1)->mapOldCurve.empty());
}

TEST(SectModelHistory, RollbackDropsItsRedoRecordAndKeepsOlderHistory) {
    CSectModel m(0.001);
    m.AddLineCurve(0, 0, 1, 0);
    m.RecordNewSection(9, true);
    m.RecordNewGroup(4);
    EXPECT_EQ(Newest(m)->aNewSection, (std::vector<int>{9}));
    m.OpenHistory();
    m.SavePoint(m.GetPoint(1));
    m.GetPoint(1)->dY = 5;
    m.Rollback();
    EXPECT_EQ(m.GetPoint(1)->dY, 0.0);
    EXPECT_EQ(m.m_nUndoId, 1);
    EXPECT_EQ(m.m_nRedoId, 0);
    EXPECT_TRUE(m.m_mapRedo.empty());
    m.Rollback();
    m.Rollback();  // on an empty history: harmless
    EXPECT_EQ(m.m_nUndoId, 0);
    EXPECT_EQ(m.m_nRedoId, 0);
}

TEST(SectModelStore, MapStyleReadsAddNothingAndAssignedRecordsAreOwned) {
    CSectModel m(0.001);
    EXPECT_TRUE(m.m_mapLoop[4] == nullptr);
    EXPECT_EQ(m.m_mapLoop.at(4), nullptr);
    EXPECT_TRUE(m.m_mapLoop.empty());  // a null entry would break every pass over the table
    T_SM_LOOP* p = new T_SM_LOOP();
    p->nId = 4;
    m.m_mapLoop[4] = p;
    m.m_mapLoop[4] = m.m_mapLoop.at(4);  // self-assignment keeps the record alive
    EXPECT_EQ(m.GetLoop(4), p);
    EXPECT_FALSE(m.m_mapLoop.emplace(4, std::unique_ptr<T_SM_LOOP>(new T_SM_LOOP())).second);
    EXPECT_TRUE(m.m_mapLoop.insert({6, new T_SM_LOOP()}).second);
    m.m_mapLoop[6] = nullptr;
    EXPECT_EQ(m.m_mapLoop.Ids(), (std::vector<int>{4}));
}

}  // namespace
