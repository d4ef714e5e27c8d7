// Undo history of the section model: opening records, saving the state of records before an edit
// changes them, and taking an edit back. A redo record holds the inverse change in the same form.
#include <gorv/section/sect_model.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace detail {
namespace {

bool ListHolds(const std::vector<int>& a, int nId) { return std::find(a.begin(), a.end(), nId) != a.end(); }

// Keeps the first copy of a record in an undo record, unless that record created it.
template <class T>
void SaveInto(const T* pRec, const std::vector<int>& aCreated, CSmTable<T>& mapSaved) {
    if (pRec == nullptr) return;
    if (ListHolds(aCreated, pRec->nId) || mapSaved.Contains(pRec->nId)) return;
    mapSaved.InsertCopy(*pRec);
}

// Takes back one kind of record of undo record R into the model table, writing the inverse change
// into redo record D: created records leave the model, saved ones come back.
template <class T>
void UndoKind(CSmTable<T>& mapModel, const std::vector<int>& aCreated, CSmTable<T>& mapSaved,
              std::vector<int>& aRedoCreated, CSmTable<T>& mapRedoSaved) {
    for (int nId : aCreated) {
        std::unique_ptr<T> pCur = mapModel.Release(nId);
        if (pCur) mapRedoSaved.Insert(nId, std::move(pCur));
    }
    for (int nId : mapSaved.Ids()) {
        std::unique_ptr<T> pCur = mapModel.Release(nId);
        if (pCur)
            mapRedoSaved.Insert(nId, std::move(pCur));
        else
            aRedoCreated.push_back(nId);
        mapModel.Insert(nId, mapSaved.Release(nId));
    }
}

}  // namespace
}  // namespace detail

void CSectModel::OpenHistory() {
    ++m_nUndoId;
    std::unique_ptr<T_SM_HISTORY> pRec(new T_SM_HISTORY());
    pRec->nId = m_nUndoId;
    m_mapUndo.Insert(m_nUndoId, std::move(pRec));
}

void CSectModel::SetHistoryTitle(const CString& strTitle) {
    if (T_SM_HISTORY* pRec = NewestUndo()) pRec->strTitle = strTitle;
}

void CSectModel::RecordNewSection(int nSectionId, bool bOpen) {
    ClearRedo();
    if (bOpen) OpenHistory();
    if (T_SM_HISTORY* pRec = NewestUndo()) pRec->aNewSection.push_back(nSectionId);
}

void CSectModel::SaveSection(const T_SM_SECTION* pSection) {
    ClearRedo();
    if (T_SM_HISTORY* pRec = NewestUndo()) detail::SaveInto(pSection, pRec->aNewSection, pRec->mapOldSection);
}

void CSectModel::SaveLoop(const T_SM_LOOP* pLoop) {
    ClearRedo();
    if (T_SM_HISTORY* pRec = NewestUndo()) detail::SaveInto(pLoop, pRec->aNewLoop, pRec->mapOldLoop);
}

void CSectModel::SaveCurve(const T_SM_CURVE* pCurve) {
    ClearRedo();
    if (T_SM_HISTORY* pRec = NewestUndo()) detail::SaveInto(pCurve, pRec->aNewCurve, pRec->mapOldCurve);
}

void CSectModel::SavePoint(const T_SM_POINT* pPoint) {
    ClearRedo();
    if (T_SM_HISTORY* pRec = NewestUndo()) detail::SaveInto(pPoint, pRec->aNewPoint, pRec->mapOldPoint);
}

void CSectModel::SaveGroup(const T_SM_GROUP* pGroup) {
    ClearRedo();
    if (T_SM_HISTORY* pRec = NewestUndo()) detail::SaveInto(pGroup, pRec->aNewGroup, pRec->mapOldGroup);
}

void CSectModel::RecordNewGroup(int nGroupId) {
    ClearRedo();
    if (T_SM_HISTORY* pRec = NewestUndo()) pRec->aNewGroup.push_back(nGroupId);
}

void CSectModel::ClearRedo() {
    if (m_nRedoId == 0) return;
    m_mapRedo.Clear();
    m_nRedoId = 0;
}

void CSectModel::Undo() {
    std::unique_ptr<T_SM_HISTORY> pUndo = m_mapUndo.Release(m_nUndoId);
    if (!pUndo) return;
    T_SM_HISTORY& r = *pUndo;
    std::unique_ptr<T_SM_HISTORY> pRedo(new T_SM_HISTORY());
    T_SM_HISTORY& d = *pRedo;
    d.nId = ++m_nRedoId;
    d.strTitle = r.strTitle;
    detail::UndoKind(m_mapSection, r.aNewSection, r.mapOldSection, d.aNewSection, d.mapOldSection);
    detail::UndoKind(m_mapLoop, r.aNewLoop, r.mapOldLoop, d.aNewLoop, d.mapOldLoop);
    detail::UndoKind(m_mapCurve, r.aNewCurve, r.mapOldCurve, d.aNewCurve, d.mapOldCurve);
    detail::UndoKind(m_mapPoint, r.aNewPoint, r.mapOldPoint, d.aNewPoint, d.mapOldPoint);
    detail::UndoKind(m_mapCsys, r.aNewCsys, r.mapOldCsys, d.aNewCsys, d.mapOldCsys);
    detail::UndoKind(m_mapGroup, r.aNewGroup, r.mapOldGroup, d.aNewGroup, d.mapOldGroup);
    detail::UndoKind(m_mapNamed, r.aNewNamed, r.mapOldNamed, d.aNewNamed, d.mapOldNamed);
    m_mapRedo.Insert(d.nId, std::move(pRedo));
    --m_nUndoId;
}

void CSectModel::Rollback() {
    Undo();
    // Guarded so that a rollback on an empty history never drives the counter below 0.
    if (m_nRedoId <= 0) return;
    m_mapRedo.Erase(m_nRedoId);
    --m_nRedoId;
}
