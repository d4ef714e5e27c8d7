// The progress bar window and the in-memory report list view. Rows keep one text per sub-item
// (index 0 is the item text); deleting a column drops that sub-item from every row, so the
// texts stay lined up with the columns that remain.
#include <gorv/platform/afx_ctrl.h>

#include <algorithm>
#include <cwchar>

CProgressCtrl::~CProgressCtrl() = default;

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(L"msctls_progress32", nullptr, dwStyle, rect, pParentWnd, nID);
}

int CHeaderCtrl::GetItemCount() const { return m_pList ? m_pList->GetColumnCount() : -1; }

CListCtrl::CListCtrl() : m_header(this) {}
CListCtrl::~CListCtrl() = default;

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) {
    return CWnd::Create(L"SysListView32", nullptr, dwStyle, rect, pParentWnd, nID);
}

DWORD CListCtrl::SetExtendedStyle(DWORD dwNewStyle) noexcept {
    const DWORD old = m_dwExStyle;
    m_dwExStyle = dwNewStyle;
    return old;
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem) {
    if (nCol < 0) return -1;
    const int at = std::min(nCol, GetColumnCount());
    m_aColumns.insert(m_aColumns.begin() + at, Column{CString(lpszColumnHeading), nFormat, nWidth, nSubItem});
    // Rows gain an empty text at the new column's place (column 0 keeps the item text).
    if (at > 0) {
        for (Row& r : m_aRows) {
            if (r.aTexts.size() > static_cast<std::size_t>(at)) r.aTexts.insert(r.aTexts.begin() + at, CString());
        }
    }
    return at;
}

BOOL CListCtrl::DeleteColumn(int nCol) {
    if (nCol < 0 || nCol >= GetColumnCount()) return FALSE;
    m_aColumns.erase(m_aColumns.begin() + nCol);
    for (Row& r : m_aRows) {
        if (r.aTexts.size() > static_cast<std::size_t>(nCol)) r.aTexts.erase(r.aTexts.begin() + nCol);
    }
    return TRUE;
}

BOOL CListCtrl::GetColumn(int nCol, LVCOLUMNW* pColumn) const {
    if (!pColumn || nCol < 0 || nCol >= GetColumnCount()) return FALSE;
    const Column& c = m_aColumns[static_cast<std::size_t>(nCol)];
    if (pColumn->mask & LVCF_FMT) pColumn->fmt = c.nFormat;
    if (pColumn->mask & LVCF_WIDTH) pColumn->cx = c.nWidth;
    if (pColumn->mask & LVCF_SUBITEM) pColumn->iSubItem = c.nSubItem;
    if ((pColumn->mask & LVCF_TEXT) && pColumn->pszText && pColumn->cchTextMax > 0) {
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(pColumn->cchTextMax - 1),
                                                    static_cast<std::size_t>(c.strTitle.GetLength()));
        std::wmemcpy(pColumn->pszText, c.strTitle.GetString(), n);
        pColumn->pszText[n] = 0;
    }
    return TRUE;
}

int CListCtrl::GetColumnWidth(int nCol) const {
    if (nCol < 0 || nCol >= GetColumnCount()) return 0;
    return m_aColumns[static_cast<std::size_t>(nCol)].nWidth;
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem) {
    if (nItem < 0) return -1;
    const int at = std::min(nItem, GetItemCount());
    Row r{{CString(lpszItem)}, 0, 0};
    m_aRows.insert(m_aRows.begin() + at, std::move(r));
    return at;
}

BOOL CListCtrl::DeleteItem(int nItem) {
    if (!IsRow(nItem)) return FALSE;
    m_aRows.erase(m_aRows.begin() + nItem);
    return TRUE;
}

BOOL CListCtrl::DeleteAllItems() {
    m_aRows.clear();
    return TRUE;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText) {
    if (!IsRow(nItem) || nSubItem < 0 || (nSubItem > 0 && nSubItem >= GetColumnCount())) return FALSE;
    auto& texts = m_aRows[static_cast<std::size_t>(nItem)].aTexts;
    if (texts.size() <= static_cast<std::size_t>(nSubItem)) texts.resize(static_cast<std::size_t>(nSubItem) + 1);
    texts[static_cast<std::size_t>(nSubItem)] = lpszText;
    return TRUE;
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const {
    if (!IsRow(nItem) || nSubItem < 0) return CString();
    const auto& texts = m_aRows[static_cast<std::size_t>(nItem)].aTexts;
    return static_cast<std::size_t>(nSubItem) < texts.size() ? texts[static_cast<std::size_t>(nSubItem)] : CString();
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const {
    if (!lpszText || nLen <= 0) return 0;
    const CString text = GetItemText(nItem, nSubItem);
    const int n = std::min(nLen - 1, text.GetLength());
    std::wmemcpy(lpszText, text.GetString(), static_cast<std::size_t>(n));
    lpszText[n] = 0;
    return n;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData) {
    if (!IsRow(nItem)) return FALSE;
    m_aRows[static_cast<std::size_t>(nItem)].dwData = dwData;
    return TRUE;
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const {
    return IsRow(nItem) ? m_aRows[static_cast<std::size_t>(nItem)].dwData : 0;
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask) {
    if (!IsRow(nItem)) return FALSE;
    UINT& s = m_aRows[static_cast<std::size_t>(nItem)].nState;
    s = (s & ~nMask) | (nState & nMask);
    return TRUE;
}

UINT CListCtrl::GetItemState(int nItem, UINT nMask) const {
    return IsRow(nItem) ? (m_aRows[static_cast<std::size_t>(nItem)].nState & nMask) : 0;
}

UINT CListCtrl::GetSelectedCount() const {
    return static_cast<UINT>(std::count_if(m_aRows.begin(), m_aRows.end(),
                                           [](const Row& r) { return (r.nState & LVIS_SELECTED) != 0; }));
}

int CListCtrl::GetNextItem(int nItem, int nFlags) const {
    const UINT want = static_cast<UINT>(nFlags) & (LVNI_SELECTED | LVNI_FOCUSED);
    for (int i = std::max(nItem + 1, 0); i < GetItemCount(); ++i) {
        if ((m_aRows[static_cast<std::size_t>(i)].nState & want) == want) return i;
    }
    return -1;
}

// A position is the row index plus one, so that null ends the iteration.
POSITION CListCtrl::GetFirstSelectedItemPosition() const {
    const int i = GetNextItem(-1, LVNI_SELECTED);
    return i < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(i) + 1);
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const {
    if (!pos) return -1;
    const int i = static_cast<int>(reinterpret_cast<std::uintptr_t>(pos) - 1);
    const int next = GetNextItem(i, LVNI_SELECTED);
    pos = next < 0 ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(next) + 1);
    return i;
}

int CListCtrl::FindItem(LVFINDINFOW* pFindInfo, int nStart) const {
    if (!pFindInfo) return -1;
    const int n = GetItemCount();
    const auto matches = [&](int i) {
        const Row& r = m_aRows[static_cast<std::size_t>(i)];
        if (pFindInfo->flags & LVFI_PARAM) return r.dwData == static_cast<DWORD_PTR>(pFindInfo->lParam);
        if ((pFindInfo->flags & (LVFI_STRING | LVFI_PARTIAL)) && pFindInfo->psz) {
            const CString& text = r.aTexts.empty() ? CString() : r.aTexts[0];
            if (pFindInfo->flags & LVFI_PARTIAL) {
                const int len = static_cast<int>(std::wcslen(pFindInfo->psz));
                return text.Left(len).CompareNoCase(pFindInfo->psz) == 0;
            }
            return text.CompareNoCase(pFindInfo->psz) == 0;
        }
        return false;
    };
    const int first = std::max(nStart + 1, 0);
    for (int i = first; i < n; ++i)
        if (matches(i)) return i;
    if (pFindInfo->flags & LVFI_WRAP) {
        for (int i = 0; i < std::min(first, n); ++i)
            if (matches(i)) return i;
    }
    return -1;
}
