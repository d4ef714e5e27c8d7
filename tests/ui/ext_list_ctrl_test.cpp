// CExtListCtrl: rows placed by the host's callback, found and replaced by key, and the
// invalid-argument exception for a text array shorter than the columns.
#include <gtest/gtest.h>

#include <gorv/gorv_base.h>

#include <tuple>
#include <vector>

namespace {

// The callback is a plain function: tests steer it through this index (or the sorted keys).
int g_nIndex = 0;
std::vector<unsigned long> g_sorted;

int FixedIndex(unsigned long) { return g_nIndex; }
// Sorted position of the key among g_sorted (the host's usual callback).
int SortedIndex(unsigned long key) {
    int i = 0;
    for (unsigned long k : g_sorted) i += k < key;
    return i;
}

CStringArray Texts(std::initializer_list<const wchar_t*> items) {
    CStringArray a;
    for (const wchar_t* s : items) a.Add(s);
    return a;
}

// "key:col0|col1|..." of every row, in row order.
std::vector<std::wstring> Dump(const CExtListCtrl& list) {
    std::vector<std::wstring> out;
    for (int r = 0; r < list.GetItemCount(); ++r) {
        std::wstring row = std::to_wstring(list.GetItemData(r)) + L":";
        for (int c = 0; c < list.GetColumnCount(); ++c) row += (c ? L"|" : L"") + std::wstring(list.GetItemText(r, c).GetString());
        out.push_back(row);
    }
    return out;
}

// A two-column list whose rows (keys `keys`, texts "k" and "s") are appended.
class ExtList : public ::testing::Test {
protected:
    void SetUp() override {
        g_nIndex = 0;
        ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 300, 200), nullptr, 7));
        list.Initialize(FixedIndex);
        list.AddColInfo(L"Name", 120, LVCFMT_LEFT);
        list.AddColInfo(L"Size", 60, LVCFMT_RIGHT);
    }
    void Fill(std::initializer_list<unsigned long> keys) {
        g_nIndex = 1000;
        for (unsigned long k : keys) {
            CStringArray t = Texts({std::to_wstring(k).c_str(), L"s"});
            ASSERT_EQ(list.InsertData(k, t), 1);
        }
    }
    CExtListCtrl list;
};

}  // namespace

TEST(ExtListInitialize, ClearsRowsAndColumnsAndRestartsAtColumnZero) {
    CExtListCtrl list;
    // Before Initialize there is no callback: nothing is inserted or replaced.
    CStringArray none;
    EXPECT_EQ(list.InsertData(1, none), 0);
    EXPECT_EQ(list.ModifyData(1, 2, none), 0);
    EXPECT_EQ(list.GetItemCount(), 0);

    list.SetExtendedStyle(LVS_EX_GRIDLINES);
    list.Initialize(FixedIndex);
    EXPECT_EQ(list.GetExtendedStyle(), static_cast<DWORD>(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT));
    list.AddColInfo(L"A", 10, LVCFMT_LEFT);
    list.AddColInfo(L"B", 20, LVCFMT_CENTER);
    CStringArray t = Texts({L"a", L"b"});
    ASSERT_EQ(list.InsertData(7, t), 1);

    list.Initialize(FixedIndex);
    EXPECT_EQ(std::make_tuple(list.GetItemCount(), list.GetHeaderCtrl()->GetItemCount(), list.GetColInfo().GetSize()),
              std::make_tuple(0, 0, INT_PTR{0}));
    list.AddColInfo(L"Title", 99, LVCFMT_CENTER);
    ASSERT_EQ(list.GetColumnCount(), 1);
    wchar_t title[16];
    LVCOLUMNW col{LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM, -1, -1, title, 16, -1};
    ASSERT_TRUE(list.GetColumn(0, &col));
    EXPECT_STREQ(title, L"Title");
    EXPECT_EQ(std::make_tuple(col.cx, col.fmt, col.iSubItem), std::make_tuple(99, LVCFMT_CENTER, 0));
}

TEST_F(ExtList, InsertDataPlacesRowsWhereTheCallbackSays) {
    g_sorted.clear();
    list.Initialize(SortedIndex);
    list.AddColInfo(L"Name", 120, LVCFMT_LEFT);
    list.AddColInfo(L"Size", 60, LVCFMT_RIGHT);
    for (unsigned long k : {30ul, 10ul, 20ul, 40ul}) {
        CStringArray t = Texts({L"n", std::to_wstring(k).c_str()});
        ASSERT_EQ(list.InsertData(k, t), 1);
        g_sorted.push_back(k);
    }
    EXPECT_EQ(Dump(list), (std::vector<std::wstring>{L"10:n|10", L"20:n|20", L"30:n|30", L"40:n|40"}));

    // An index beyond the last row appends; a negative one fails and inserts nothing.
    list.Initialize(FixedIndex);
    list.AddColInfo(L"Name", 1, 0);
    CStringArray one = Texts({L"x"});
    g_nIndex = 1000;
    EXPECT_EQ(list.InsertData(5, one), 1);
    EXPECT_EQ(list.InsertData(6, one), 1);
    EXPECT_EQ(list.FindDataByKey(6), 1);
    g_nIndex = -1;
    EXPECT_EQ(list.InsertData(7, one), 0);
    EXPECT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.FindDataByKey(7), -1);
}

TEST_F(ExtList, ShortTextArrayIsAnInvalidArgumentAndLongerOnesAreCut) {
    CStringArray shortTexts = Texts({L"only one"}), longTexts = Texts({L"a", L"bcd", L"extra"});
    EXPECT_THROW(list.InsertData(1, shortTexts), CInvalidArgException);
    ASSERT_EQ(list.InsertData(2, longTexts), 1);
    const int row = list.FindDataByKey(2);
    wchar_t buf[3];
    EXPECT_EQ(list.GetItemText(row, 1, buf, 3), 2);
    EXPECT_STREQ(buf, L"bc");
    EXPECT_TRUE(list.GetItemText(row, 2).IsEmpty());  // no third column
    EXPECT_THROW(list.ModifyData(2, 2, shortTexts), CInvalidArgException);
}

TEST_F(ExtList, DeleteAndFindByKey) {
    const unsigned long big = static_cast<unsigned long>(-1);  // keys use the full width
    Fill({1ul, 2ul, 2ul, 3ul, big});
    EXPECT_EQ(list.FindDataByKey(big), 4);
    EXPECT_EQ(list.FindDataByKey(2), 1);  // the first of two rows with the key
    EXPECT_EQ(list.FindDataByKey(9), -1);
    EXPECT_EQ(list.DeleteData(9), 0);
    EXPECT_EQ(list.GetItemCount(), 5);
    EXPECT_NE(list.DeleteData(2), 0);
    EXPECT_EQ(list.FindDataByKey(2), 1);  // the second one moved up
    EXPECT_NE(list.DeleteData(2), 0);
    EXPECT_EQ(list.FindDataByKey(2), -1);
    EXPECT_EQ(list.FindDataByKey(3), 1);
}

TEST_F(ExtList, ModifyDataInPlaceOrByDeleteAndInsert) {
    Fill({1ul, 2ul, 3ul});
    // The callback puts the new key where the old row is: texts and key change in place.
    g_nIndex = 1;
    CStringArray t = Texts({L"two", L"S"}), moved = Texts({L"three", L"M"});
    EXPECT_EQ(list.ModifyData(2, 20, t), 1);
    EXPECT_EQ(Dump(list), (std::vector<std::wstring>{L"1:1|s", L"20:two|S", L"3:3|s"}));
    // Elsewhere: the old row is deleted and the new one inserted at the callback's index.
    g_nIndex = 0;
    EXPECT_EQ(list.ModifyData(3, 30, moved), 1);
    EXPECT_EQ(Dump(list), (std::vector<std::wstring>{L"30:three|M", L"1:1|s", L"20:two|S"}));

    // An old key that is not there: with a callback index other than -1 the delete of row -1
    // fails; with -1 the in-place path finds no row either. Both give 0 and change nothing.
    const auto before = Dump(list);
    for (int index : {2, -1}) {
        g_nIndex = index;
        EXPECT_EQ(list.ModifyData(99, 100, t), 0) << index;
    }
    EXPECT_EQ(Dump(list), before);
}

TEST_F(ExtList, SelectionGivesTheFirstSelectedRowAndItsKey) {
    Fill({11ul, 22ul, 33ul, 44ul});
    unsigned long key = 12345;
    EXPECT_EQ(list.GetSelectedItem(), -1);
    EXPECT_EQ(list.GetSelectedKey(key), 0);
    EXPECT_EQ(key, 12345ul);  // untouched without a selection

    list.SetItemState(3, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(1, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    EXPECT_EQ(list.GetSelectedCount(), 2u);
    EXPECT_EQ(list.GetSelectedItem(), 1);
    EXPECT_EQ(list.GetSelectedKey(key), 1);
    EXPECT_EQ(key, 22ul);
    // Deleting the selected row moves the selection to the next selected one.
    EXPECT_NE(list.DeleteData(22), 0);
    EXPECT_EQ(list.GetSelectedKey(key), 1);
    EXPECT_EQ(key, 44ul);
}
