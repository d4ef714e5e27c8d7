// CExtListCtrl: rows by key over the list view. Rows are found with the list view's own search on
// item data, so the first row with a key wins when a host has stored the same key twice.
#include <gorv/ui/ext_list_ctrl.h>

CExtListCtrl::~CExtListCtrl() = default;

void CExtListCtrl::Initialize(PFN_EXTLIST_ROW_INDEX pfnRowIndex) {
    m_pfnRowIndex = pfnRowIndex;
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    DeleteAllItems();
    const int nColumns = GetHeaderCtrl()->GetItemCount();
    for (int i = 0; i < nColumns; ++i) DeleteColumn(0);
    m_aColInfo.RemoveAll();
}

void CExtListCtrl::AddColInfo(const wchar_t* pszTitle, int nWidth, int nFormat) {
    const INT_PTR n = m_aColInfo.Add(SExtListColInfo{CString(pszTitle), nWidth, nFormat}) + 1;
    const SExtListColInfo& info = m_aColInfo[n - 1];
    InsertColumn(static_cast<int>(n - 1), info.strTitle, info.nFormat, info.nWidth, static_cast<int>(n - 1));
}

int CExtListCtrl::RowIndexFor(unsigned long key) const { return m_pfnRowIndex(key); }

void CExtListCtrl::SetRowTexts(int nItem, CStringArray& texts) {
    // texts[i] is checked access: a short array throws CInvalidArgException.
    for (INT_PTR i = 0; i < m_aColInfo.GetSize(); ++i) SetItemText(nItem, static_cast<int>(i), texts[i]);
}

int CExtListCtrl::InsertData(unsigned long key, CStringArray& texts) {
    // Before Initialize there is no callback to place a row: refuse instead of guessing.
    if (!m_pfnRowIndex) return 0;
    const int nItem = InsertItem(RowIndexFor(key), L"");
    if (nItem < 0) return 0;
    SetRowTexts(nItem, texts);
    return SetItemData(nItem, static_cast<DWORD_PTR>(key));
}

int CExtListCtrl::DeleteData(unsigned long key) { return DeleteItem(FindDataByKey(key)); }

int CExtListCtrl::ModifyData(unsigned long oldKey, unsigned long newKey, CStringArray& texts) {
    // Without a callback the delete path could drop a row it cannot put back.
    if (!m_pfnRowIndex) return 0;
    const int r = FindDataByKey(oldKey);
    if (r != RowIndexFor(newKey)) {
        if (!DeleteItem(FindDataByKey(oldKey))) return 0;
        return InsertData(newKey, texts);
    }
    SetRowTexts(r, texts);
    return SetItemData(r, static_cast<DWORD_PTR>(newKey));
}

int CExtListCtrl::FindDataByKey(unsigned long key) {
    LVFINDINFOW info{};
    info.flags = LVFI_PARAM;
    info.lParam = static_cast<LPARAM>(key);
    return FindItem(&info, -1);
}

int CExtListCtrl::GetSelectedItem() {
    POSITION pos = GetFirstSelectedItemPosition();
    return pos ? GetNextSelectedItem(pos) : -1;
}

int CExtListCtrl::GetSelectedKey(unsigned long& key) {
    const int nItem = GetSelectedItem();
    if (nItem < 0) return 0;
    key = static_cast<unsigned long>(GetItemData(nItem));
    return 1;
}
