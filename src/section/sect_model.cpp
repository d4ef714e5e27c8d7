// CSectModel construction, destruction, lookups and the composition of the modeler's texts.
// Texts are formatted into a bounded buffer and dropped; an optional observer may watch them.
#include <gorv/section/sect_model.h>

#include <cstdarg>
#include <utility>

#include "sect_point_grid.h"

namespace {
const std::size_t kTextCap = 1024;  // every composed text fits a buffer of this many characters
}  // namespace

bool CSmMsgSink::Message(const CString& /*strText*/) { return false; }

bool CSmMsgSink::SectionMessage(int /*nSectionId*/, const CString& /*strName*/) { return false; }

CSectModel::CSectModel(double dTolerance)
    : m_nUndoId(0),
      m_nRedoId(0),
      m_nCurCsys(0),
      m_nNextSectionId(1),
      m_nNextCurveId(1),
      m_nNextPointId(1),
      m_nNextGroupId(1),
      m_dTolerance(dTolerance) {
    T_SM_CSYS gcs;
    gcs.nId = 0;
    gcs.strName = CString(L"GCS");
    m_mapCsys.InsertCopy(gcs);
}

CSectModel::~CSectModel() {
    m_mapUndo.Clear();
    m_mapRedo.Clear();
    m_mapSection.Clear();
    m_mapLoop.Clear();
    m_mapCurve.Clear();
    m_mapPoint.Clear();
    m_mapNamed.Clear();
    m_mapCsys.Clear();
    m_mapGroup.Clear();
    m_aNewSection.clear();
    m_aLastCurve.clear();
    m_aLastPoint.clear();
}

T_SM_SECTION* CSectModel::GetSection(int nId) const { return m_mapSection.Find(nId); }
T_SM_LOOP* CSectModel::GetLoop(int nId) const { return m_mapLoop.Find(nId); }
T_SM_CURVE* CSectModel::GetCurve(int nId) const { return m_mapCurve.Find(nId); }
T_SM_POINT* CSectModel::GetPoint(int nId) const { return m_mapPoint.Find(nId); }
T_SM_CSYS* CSectModel::GetCsys(int nId) const { return m_mapCsys.Find(nId); }
T_SM_GROUP* CSectModel::GetGroup(int nId) const { return m_mapGroup.Find(nId); }
T_SM_NAMED* CSectModel::GetNamed(int nId) const { return m_mapNamed.Find(nId); }

T_SM_CSYS* CSectModel::GetCurCsys() {
    T_SM_CSYS* pCsys = m_mapCsys.Find(m_nCurCsys);
    if (pCsys != nullptr) return pCsys;
    m_nCurCsys = 0;
    return m_mapCsys.Find(0);
}

void CSectModel::SetNewSection(int nSectionId) {
    m_aNewSection.clear();
    m_aNewSection.push_back(nSectionId);
}

void CSectModel::SetTextObserver(SmTextObserver observer) { m_textObserver = std::move(observer); }

namespace {

// Every text of the modeler goes through one bounded print into a buffer of kTextCap characters.
CString FormatText(const wchar_t* pszFormat, va_list args) {
    wchar_t buf[kTextCap];
    buf[0] = L'\0';
    if (pszFormat != nullptr) GorvFormatBoundedV(buf, kTextCap, pszFormat, args);
    return CString(buf);
}

}  // namespace

CString CSectModel::Compose(int nKind, const wchar_t* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    CString strText = FormatText(pszFormat, args);
    va_end(args);
    if (m_textObserver) m_textObserver(nKind, strText);
    return strText;
}

bool CSectModel::SinkMessage(const wchar_t* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    CString strText = FormatText(pszFormat, args);
    va_end(args);
    if (m_textObserver) m_textObserver(SM_TEXT_SINK, strText);
    return m_msgSink.Message(strText);
}

void CSectModel::ComposeTitle(const wchar_t* pszFormat, ...) {
    va_list args;
    va_start(args, pszFormat);
    CString strTitle = FormatText(pszFormat, args);
    va_end(args);
    if (m_textObserver) m_textObserver(SM_TEXT_TITLE, strTitle);
    SetHistoryTitle(strTitle);
}

T_SM_POINT* CSectModel::NewPoint(double dX, double dY) {
    std::unique_ptr<T_SM_POINT> pPoint(new T_SM_POINT());
    pPoint->nId = m_nNextPointId++;
    pPoint->dX = dX;
    pPoint->dY = dY;
    return InsertPoint(std::move(pPoint));
}

bool CSectModel::IsPointGridCurrent() const {
    return m_pPointGrid && m_pPointGrid->IsCurrent(m_mapPoint, m_dTolerance);
}

T_SM_POINT* CSectModel::InsertPoint(std::unique_ptr<T_SM_POINT> pPoint) {
    const int nId = pPoint->nId;
    // A record replaced under the same id would leave its old position in the grid.
    const bool bSync = IsPointGridCurrent() && !m_mapPoint.Contains(nId);
    // A new highest id goes at the end of the id-ordered scan list.
    const bool bAppend = m_pPointGrid && m_pPointGrid->IsScanCurrent(m_mapPoint) &&
                         (m_mapPoint.empty() || m_mapPoint.rbegin()->first < nId);
    T_SM_POINT* p = m_mapPoint.Insert(nId, std::move(pPoint));
    if (bSync) {
        m_pPointGrid->Add(nId, p->dX, p->dY);
        m_pPointGrid->Stamp(m_mapPoint);
    }
    if (bAppend) m_pPointGrid->AppendToScan(m_mapPoint, p);
    return p;
}

void CSectModel::ErasePoint(int nPointId) {
    const T_SM_POINT* p = m_mapPoint.Find(nPointId);
    if (p == nullptr) return;
    const bool bSync = IsPointGridCurrent();
    if (bSync) m_pPointGrid->Remove(nPointId, p->dX, p->dY);
    m_mapPoint.Erase(nPointId);
    if (bSync) m_pPointGrid->Stamp(m_mapPoint);
}

void CSectModel::MovePoint(T_SM_POINT* pPoint, double dX, double dY) {
    if (pPoint == nullptr) return;
    const bool bSync = IsPointGridCurrent() && m_mapPoint.Find(pPoint->nId) == pPoint;
    if (bSync) m_pPointGrid->Remove(pPoint->nId, pPoint->dX, pPoint->dY);
    pPoint->dX = dX;
    pPoint->dY = dY;
    if (bSync)
        m_pPointGrid->Add(pPoint->nId, dX, dY);
    else if (m_pPointGrid)
        m_pPointGrid->Invalidate();
}

T_SM_HISTORY* CSectModel::NewestUndo() const { return m_mapUndo.Find(m_nUndoId); }

void CSectModel::RecordNewPoint(int nPointId) {
    ClearRedo();
    if (T_SM_HISTORY* pRec = NewestUndo()) pRec->aNewPoint.push_back(nPointId);
}

void CSectModel::RecordNewCurve(int nCurveId) {
    ClearRedo();
    if (T_SM_HISTORY* pRec = NewestUndo()) pRec->aNewCurve.push_back(nCurveId);
}
