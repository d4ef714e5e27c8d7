// CArray growth and checked access; CMap bucket behaviour, chain order and re-hashing.
#include <gtest/gtest.h>

#include <gorv/gorv_base.h>

#include <map>
#include <random>
#include <string>

TEST(CArrayGrowth, GrowByStepAndDefaultHeuristic) {
    CArray<int> a;
    a.SetSize(0, 10);
    a.Add(1);
    EXPECT_EQ(a.GetCapacity(), 10);  // first allocation: max(size, grow-by)
    for (int i = 0; i < 10; ++i) a.Add(i);
    EXPECT_EQ(a.GetCapacity(), 20);  // grows by the set step
    CArray<int> b;
    for (int i = 0; i < 5; ++i) b.Add(i);
    EXPECT_EQ(b.GetCapacity(), 5);  // 1, then +4 (size / 8 clamped to at least 4)
    b.SetSize(100);
    EXPECT_EQ(b.GetCapacity(), 100);
    b.SetSize(101);
    EXPECT_EQ(b.GetCapacity(), 112);  // 100 + 100 / 8
    EXPECT_THROW(b.SetSize(-1), CInvalidArgException);
}

TEST(CArrayAccess, OutOfRangeThrowsAndEditsKeepOrder) {
    CArray<double> a;
    EXPECT_THROW(a.GetAt(0), CInvalidArgException);
    EXPECT_THROW(a[0], CInvalidArgException);
    a.Add(1.0);
    a.Add(3.0);
    a.InsertAt(1, 2.0);
    a.InsertAt(5, 9.0, 2);  // past the end: grows with zeros first
    ASSERT_EQ(a.GetSize(), 7);
    EXPECT_DOUBLE_EQ(a[2], 3.0);
    EXPECT_DOUBLE_EQ(a[3], 0.0);
    EXPECT_DOUBLE_EQ(a[6], 9.0);
    EXPECT_THROW(a.RemoveAt(6, 2), CInvalidArgException);
    a.RemoveAt(3, 2);
    EXPECT_EQ(a.GetSize(), 5);
    a.Add(a[0]);  // an element of the array itself
    EXPECT_DOUBLE_EQ(a[5], 1.0);
    CArray<double> b(a);
    b.Append(b);
    EXPECT_EQ(b.GetSize(), 12);
    EXPECT_THROW(a.SetAtGrow(-1, 0.0), CInvalidArgException);
    a.SetAtGrow(9, 4.0);
    EXPECT_EQ(a.GetSize(), 10);
}

TEST(CMapBuckets, HeadInsertionIterationAndRehash) {
    CMap<int, int, int, int> m;
    EXPECT_EQ(m.GetHashTableSize(), 17u);
    // 16 and 16 + 17*16 hash to the same bucket (key >> 4 = 1 and 18 -> 18 % 17 = 1).
    m.SetAt(16, 1);
    m.SetAt(16 + 17 * 16, 2);
    m.SetAt(0, 3);
    std::vector<int> keys;
    for (POSITION pos = m.GetStartPosition(); pos;) {
        int k, v;
        m.GetNextAssoc(pos, k, v);
        keys.push_back(k);
    }
    EXPECT_EQ(keys, (std::vector<int>{0, 16 + 17 * 16, 16}));  // newest first within a bucket
    m.InitHashTable(10009);
    EXPECT_EQ(m.GetHashTableSize(), 10009u);
    EXPECT_EQ(m.GetCount(), 3);
    int v = 0;
    EXPECT_TRUE(m.Lookup(16 + 17 * 16, v));
    EXPECT_EQ(v, 2);
    EXPECT_THROW(m.InitHashTable(0), CInvalidArgException);
}

TEST(CMapStrings, CaseSensitiveKeysAndRandomisedAgreementWithStdMap) {
    CMap<CString, const wchar_t*, const wchar_t*, const wchar_t*> m;
    m.SetAt(L"Key", L"a");
    const wchar_t* out = nullptr;
    EXPECT_FALSE(m.Lookup(L"key", out));
    EXPECT_TRUE(m.Lookup(L"Key", out));
    EXPECT_EQ(HashKey<const wchar_t*>(L"ab"), (97u * 33u) + 98u);

    CMap<CString, int> shortForm;  // two-argument form
    std::map<std::wstring, int> ref;
    std::mt19937 rng(7);
    for (int i = 0; i < 3000; ++i) {
        std::wstring k = std::to_wstring(rng() % 500);
        const unsigned op = rng() % 3;
        if (op == 0) {
            shortForm[CString(k)] = ref[k] = i;
        } else if (op == 1) {
            EXPECT_EQ(shortForm.RemoveKey(CString(k)) != FALSE, ref.erase(k) == 1);
        } else {
            int got = -1;
            ASSERT_EQ(shortForm.Lookup(CString(k), got) != FALSE, ref.count(k) == 1);
            if (ref.count(k)) { EXPECT_EQ(got, ref[k]); }
        }
    }
    EXPECT_EQ(shortForm.GetCount(), static_cast<INT_PTR>(ref.size()));
}
