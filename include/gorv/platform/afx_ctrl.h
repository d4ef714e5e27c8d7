// Common controls of the platform layer: the progress bar window and an in-memory report-style
// list view (columns with title, width and format; rows with sub-item texts, item data and a
// selection state). The list view needs no window: its operations work on the rows directly.
#pragma once

#include <vector>

#include <gorv/platform/afx_string.h>
#include <gorv/platform/afx_types.h>
#include <gorv/platform/afx_wnd.h>
#include <gorv/platform/gorv_export.h>

// ---- progress bar --------------------------------------------------------------------------
// The native bar's own drawing is not offered: derived controls paint themselves.
class GORV_API CProgressCtrl : public CWnd {
public:
    CProgressCtrl() noexcept = default;
    ~CProgressCtrl() override;
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    using CWnd::Create;
};

// ---- list view -----------------------------------------------------------------------------
// Column formats.
#define LVCFMT_LEFT 0x0000
#define LVCFMT_RIGHT 0x0001
#define LVCFMT_CENTER 0x0002
// LVCOLUMN masks.
#define LVCF_FMT 0x0001
#define LVCF_WIDTH 0x0002
#define LVCF_TEXT 0x0004
#define LVCF_SUBITEM 0x0008
// Window styles of the list view (stored; every list here is a report list).
#define LVS_REPORT 0x0001
#define LVS_SINGLESEL 0x0004
#define LVS_SHOWSELALWAYS 0x0008
// Extended styles (stored; FULLROWSELECT is what the report lists use).
#define LVS_EX_GRIDLINES 0x00000001
#define LVS_EX_FULLROWSELECT 0x00000020
// Item states and GetNextItem flags.
#define LVIS_FOCUSED 0x0001
#define LVIS_SELECTED 0x0002
#define LVNI_ALL 0x0000
#define LVNI_FOCUSED 0x0001
#define LVNI_SELECTED 0x0002
// FindItem flags: LVFI_PARAM matches item data; LVFI_STRING the item text (case-insensitive),
// LVFI_PARTIAL as a prefix; LVFI_WRAP continues from the top.
#define LVFI_PARAM 0x0001
#define LVFI_STRING 0x0002
#define LVFI_PARTIAL 0x0008
#define LVFI_WRAP 0x0020

struct LVCOLUMNW {
    UINT mask;
    int fmt;
    int cx;
    LPWSTR pszText;  // GetColumn copies at most cchTextMax - 1 characters into it
    int cchTextMax;
    int iSubItem;
};
typedef LVCOLUMNW LVCOLUMN;

struct LVFINDINFOW {
    UINT flags;
    LPCWSTR psz;
    LPARAM lParam;
    POINT pt;
    UINT vkDirection;
};
typedef LVFINDINFOW LVFINDINFO;

// The list view's column header: only its item count is offered.
class GORV_API CHeaderCtrl {
public:
    explicit CHeaderCtrl(const class CListCtrl* pList) noexcept : m_pList(pList) {}
    int GetItemCount() const;

private:
    const class CListCtrl* m_pList;
};

class GORV_API CListCtrl : public CWnd {
public:
    CListCtrl();
    ~CListCtrl() override;
    // The window is optional: rows and columns work without it.
    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    using CWnd::Create;

    DWORD GetExtendedStyle() const noexcept { return m_dwExStyle; }
    // Replaces the extended style and returns the old one.
    DWORD SetExtendedStyle(DWORD dwNewStyle) noexcept;
    CHeaderCtrl* GetHeaderCtrl() noexcept { return &m_header; }

    // Columns. InsertColumn inserts before nCol (an index past the last column appends) and
    // returns the new column's index, or -1 for a negative index.
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    // Removes the column and every row's text in it; FALSE when there is no such column.
    BOOL DeleteColumn(int nCol);
    // Fills the fields that pColumn's mask names; FALSE when there is no such column.
    BOOL GetColumn(int nCol, LVCOLUMNW* pColumn) const;
    int GetColumnWidth(int nCol) const;  // 0 when there is no such column
    int GetColumnCount() const noexcept { return static_cast<int>(m_aColumns.size()); }

    // Rows. InsertItem inserts a row before nItem and returns its index; an index past the last
    // row appends, a negative index fails with -1.
    int InsertItem(int nItem, LPCTSTR lpszItem);
    BOOL DeleteItem(int nItem);  // FALSE when there is no such row
    BOOL DeleteAllItems();
    int GetItemCount() const noexcept { return static_cast<int>(m_aRows.size()); }
    // Sub-item 0 is the item's own text; sub-item i > 0 needs a column i. FALSE for a row or
    // sub-item that does not exist.
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
    CString GetItemText(int nItem, int nSubItem) const;  // empty when there is no such text
    // Copies at most nLen - 1 characters and a terminator; returns the count copied.
    int GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    DWORD_PTR GetItemData(int nItem) const;  // 0 when there is no such row

    // Selection and focus.
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);
    UINT GetItemState(int nItem, UINT nMask) const;
    UINT GetSelectedCount() const;
    // The first row after nItem (-1: from the top) whose state has every flag of nFlags
    // (LVNI_ALL: any row), or -1.
    int GetNextItem(int nItem, int nFlags) const;
    POSITION GetFirstSelectedItemPosition() const;
    // The row at pos, moving pos to the next selected row (null after the last).
    int GetNextSelectedItem(POSITION& pos) const;

    // The first row after nStart (-1: from the top) that matches pFindInfo, or -1.
    int FindItem(LVFINDINFOW* pFindInfo, int nStart = -1) const;

private:
    struct Column {
        CString strTitle;
        int nFormat;
        int nWidth;
        int nSubItem;
    };
    struct Row {
        std::vector<CString> aTexts;  // index = sub-item
        DWORD_PTR dwData;
        UINT nState;
    };
    bool IsRow(int nItem) const noexcept { return nItem >= 0 && nItem < GetItemCount(); }

    DWORD m_dwExStyle = 0;
    CHeaderCtrl m_header;
    std::vector<Column> m_aColumns;
    std::vector<Row> m_aRows;
};
