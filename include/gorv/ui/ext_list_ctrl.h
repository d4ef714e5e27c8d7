// CExtListCtrl: a report-style list control whose rows are identified by a key stored as each
// row's item data. The host describes the columns once, gives a callback that says at which row
// index a key belongs, and then inserts, replaces, deletes and finds rows by key.
#pragma once

#include <gorv/platform/afx_coll.h>
#include <gorv/platform/afx_ctrl.h>
#include <gorv/platform/afx_string.h>
#include <gorv/platform/gorv_export.h>

// One column: title, width in pixels and the LVCFMT_ alignment flags.
struct SExtListColInfo {
    CString strTitle;
    int nWidth;
    int nFormat;
};

// The row index at which a key belongs. An index past the last row appends the row; a negative
// one makes the insertion fail.
typedef int (*PFN_EXTLIST_ROW_INDEX)(unsigned long key);

class GORV_API CExtListCtrl : public CListCtrl {
public:
    CExtListCtrl() = default;
    ~CExtListCtrl() override;

    // Stores the callback, adds LVS_EX_FULLROWSELECT to the extended style, deletes every row and
    // every column, and empties the column descriptions.
    void Initialize(PFN_EXTLIST_ROW_INDEX pfnRowIndex);
    // Appends a column description and inserts the list column n - 1 (n = new column count) with
    // that title, format and width, sub-item n - 1.
    void AddColInfo(const wchar_t* pszTitle, int nWidth, int nFormat);

    // Inserts an empty row at the callback's index for the key, sets sub-item i to texts[i] for
    // every column i, then sets the item data to the key. Returns 0 when the row cannot be
    // inserted, else the result of setting the item data (1). A text array shorter than the
    // columns throws CInvalidArgException (the row stays inserted with the texts set so far).
    // Without a callback (before Initialize) nothing is inserted and 0 is returned.
    int InsertData(unsigned long key, CStringArray& texts);
    // Deletes the first row with the key; 0 when there is none.
    int DeleteData(unsigned long key);
    // Replaces the row of oldKey. When the callback puts newKey at another row than oldKey's
    // current one, the row is deleted (0 when that fails) and InsertData(newKey, texts) is
    // returned; otherwise the texts and the key are set in place and the result of setting the
    // key is returned. Texts shorter than the columns throw CInvalidArgException.
    int ModifyData(unsigned long oldKey, unsigned long newKey, CStringArray& texts);
    // Index of the first row whose item data equals the key, or -1.
    int FindDataByKey(unsigned long key);
    // Index of the first selected row, or -1.
    int GetSelectedItem();
    // 0 when no row is selected (key untouched); else stores the first selected row's key, 1.
    int GetSelectedKey(unsigned long& key);

    const CArray<SExtListColInfo>& GetColInfo() const noexcept { return m_aColInfo; }

private:
    int RowIndexFor(unsigned long key) const;
    void SetRowTexts(int nItem, CStringArray& texts);

    CArray<SExtListColInfo> m_aColInfo;
    PFN_EXTLIST_ROW_INDEX m_pfnRowIndex = nullptr;
};
