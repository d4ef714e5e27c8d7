#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

template <class T>
std::vector<T> V(const T* a, size_t n) { return std::vector<T>(a, a + n); }

TEST(CGorvQSort, TypedSortsUseTheirOwnOrder)
{
    long long i64[] = {4294967296LL, 0, -1};
    unsigned u[] = {0x80000000u, 1u}, k[] = {0x00200001u, 0x00100001u, 0x00000002u};
    int i[] = {1, INT32_MIN, -1, INT32_MAX};
    long l[] = {1L << 40, -(1L << 40), 0};
    CString s[] = {L"b", L"a", L"B", L"ab"};
    CGorvQSort::QSortInt64(i64, 3), CGorvQSort::QSortUInt(u, 2), CGorvQSort::QSortInt(i, 4);
    CGorvQSort::QSortLong(l, 3), CGorvQSort::QSortKey20Serial12(k, 3), CGorvQSort::QSortString(s, 4);
    EXPECT_EQ(V(i64, 3), (std::vector<long long>{-1, 0, 4294967296LL}));
    EXPECT_EQ(V(u, 2), (std::vector<unsigned>{1u, 0x80000000u}));
    EXPECT_EQ(V(i, 4), (std::vector<int>{INT32_MIN, -1, 1, INT32_MAX}));
    EXPECT_EQ(V(l, 3), (std::vector<long>{-(1L << 40), 0, 1L << 40}));
    EXPECT_EQ(V(k, 3), (std::vector<unsigned>{0x00100001u, 0x00200001u, 0x00000002u}));
    EXPECT_EQ(V(s, 4), (std::vector<CString>{L"B", L"a", L"ab", L"b"}));
}

TEST(CGorvQSort, CompareDblTreatsNaNAsGreaterBothWays)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), one = 1.0, negZero = -0.0, zero = 0.0;
    const double next = 1.0 + 2.220446049250313e-16;
    EXPECT_TRUE(CGorvQSort::CompareDbl(&nan, &one) == 1 && CGorvQSort::CompareDbl(&one, &nan) == 1);
    EXPECT_EQ(CGorvQSort::CompareDbl(&negZero, &zero), 0);
    EXPECT_EQ(CGorvQSort::CompareDbl(&one, &next), -1);  // exact, unlike CCompFunc::doubleAsc
    // Sorting with NaNs must not crash nor lose values.
    std::vector<double> v = {3, nan, 1, nan, 2, 0, nan};
    CGorvQSort::QSortDbl(v.data(), static_cast<unsigned>(v.size()));
    EXPECT_EQ(std::count_if(v.begin(), v.end(), [](double x) { return std::isnan(x); }), 3);
    EXPECT_EQ(std::count(v.begin(), v.end(), 2.0), 1);
}

TEST(CGorvQSort, EveryNonZeroDescFlagSortsDescending)
{
    // Any nonzero flag means descending, negative ones included, 0 ascending, for both argument
    // flavours of CArray; each run starts unsorted so a flag taken the other way (or ignored) shows.
    for (int desc : {0, 1, -1, 2, -7, INT_MIN, INT_MAX}) {
        SCOPED_TRACE(desc);
        const std::vector<double> want = desc ? std::vector<double>{9.0, 2.5, 0.0, -4.0} : std::vector<double>{-4.0, 0.0, 2.5, 9.0};
        CArray<double> arr;
        CArray<double, double> byValue;
        for (double x : {2.5, -4.0, 9.0, 0.0}) arr.Add(x), byValue.Add(x);
        CGorvQSort::QSortDbl(arr, desc);
        CGorvQSort::QSortDbl(byValue, desc);
        EXPECT_EQ(V(arr.GetData(), 4), want);
        EXPECT_EQ(V(byValue.GetData(), 4), want);
    }
}

TEST(CGorvQSort, WithIndexVariantsCarryIndicesAlong)
{
    int idx[] = {0, 1, 2};
    double val[] = {3.0, 1.0, 2.0};
    CGorvQSort::QSortDblWithIndex(idx, val, 3);
    EXPECT_EQ(V(val, 3), (std::vector<double>{1.0, 2.0, 3.0}));
    EXPECT_EQ(V(idx, 3), (std::vector<int>{1, 2, 0}));
    unsigned uidx[] = {10, 20, 30};
    double uval[] = {-1.0, -3.0, -2.0};
    CGorvQSort::QSortDblWithIndex(uidx, uval, 3);
    EXPECT_EQ(V(uidx, 3), (std::vector<unsigned>{20, 30, 10}));

    // Random data with many duplicates; the texts mix cases, which sort upper case first.
    std::mt19937 rng(4242);
    const unsigned n = 500;
    std::vector<int> orig(n), iidx(n), ival(n);
    std::vector<CString> so(n), ss(n);
    std::vector<unsigned> sidx(n);
    for (unsigned i = 0; i < n; ++i) {
        ival[i] = orig[i] = static_cast<int>(rng() % 100) - 50;
        const wchar_t text[] = {L"aAbB"[rng() % 4], L"aAbB"[rng() % 4], 0};
        so[i] = ss[i] = CString(text);
        iidx[i] = static_cast<int>(sidx[i] = i);
    }
    CGorvQSort::QSortIntWithIndex(iidx.data(), ival.data(), n);
    CGorvQSort::QSortStringWithIndex(sidx.data(), ss.data(), n);
    for (unsigned i = 0; i < n; ++i) {
        ASSERT_EQ(ival[i], orig[static_cast<size_t>(iidx[i])]);
        ASSERT_TRUE(ss[i] == so[sidx[i]]);
        if (i + 1 < n) {
            ASSERT_LE(ival[i], ival[i + 1]);
            ASSERT_LE(ss[i].Compare(ss[i + 1]), 0);
        }
    }
    std::sort(iidx.begin(), iidx.end());
    for (unsigned i = 0; i < n; ++i) ASSERT_EQ(iidx[i], static_cast<int>(i));  // a permutation
}

TEST(CGorvQSort, ZeroCountLeavesArraysUntouched)
{
    int i[] = {3, 1};
    double d[] = {3, 1};
    unsigned u[] = {3, 1};
    CString s[] = {L"b", L"a"};
    CGorvQSort::QSortInt(i, 0), CGorvQSort::QSortDbl(d, 0), CGorvQSort::QSortKey20Serial12(u, 0);
    CGorvQSort::QSortString(s, 0), CGorvQSort::QSortIntWithIndex(i, i, 0);
    CGorvQSort::QSortDblWithIndex(u, d, 0), CGorvQSort::QSortStringWithIndex(u, s, 0);
    EXPECT_TRUE(i[0] == 3 && d[0] == 3 && u[0] == 3u && s[0] == CString(L"b"));
}

} // namespace
