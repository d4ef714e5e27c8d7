// Typed qsort wrappers of CGorvQSort.
#include <gorv/sort/gorv_qsort.h>
#include <gorv/geom/comp_func.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "sort_detail.h"

namespace detail {
namespace {


template <class T>
inline int Sign3(T a, T b)
{
    return (a > b) - (a < b);
}

// CString is not trivially relocatable here, so string sorts let qsort shuffle pointers
// and move the strings afterwards.
int ComparePtrStringW(const void* a, const void* b)
{
    return CGorvQSort::CompareStringW(*static_cast<const CString* const*>(a), *static_cast<const CString* const*>(b));
}

int ComparePtrStringWithIndex(const void* a, const void* b)
{
    return CGorvQSort::CompareStringWithIndex(*static_cast<const T_INDEXSORTD_UINTSTRING* const*>(a),
                                              *static_cast<const T_INDEXSORTD_UINTSTRING* const*>(b));
}

template <class T>
void SortPlain(T* a, unsigned int n, int (*cmp)(const void*, const void*))
{
    if (n == 0 || a == nullptr) return;
    std::qsort(a, n, sizeof(T), cmp);
}

// Shared body of the value-record with-index sorts (records are plain data).
template <class REC, class IDX, class VAL>
void SortWithIndex(IDX* idx, VAL* val, unsigned int n, int (*cmp)(const void*, const void*))
{
    if (n == 0 || idx == nullptr || val == nullptr) return;
    CArray<REC> recs;
    recs.SetSize(static_cast<INT_PTR>(n));
    for (unsigned int i = 0; i < n; ++i) {
        REC& r = recs[static_cast<INT_PTR>(i)];
        r.index = idx[i];
        r.value = val[i];
    }
    std::qsort(recs.GetData(), n, sizeof(REC), cmp);
    for (unsigned int i = 0; i < n; ++i) {
        const REC& r = recs[static_cast<INT_PTR>(i)];
        idx[i] = r.index;
        val[i] = r.value;
    }
}

} // namespace
} // namespace detail

using namespace detail;

CGorvQSort::~CGorvQSort() {}

void CGorvQSort::QSortInt(int* a, unsigned int n) { SortPlain(a, n, CompareInt); }
void CGorvQSort::QSortLong(long* a, unsigned int n) { SortPlain(a, n, CompareLong); }
void CGorvQSort::QSortUInt(unsigned int* a, unsigned int n) { SortPlain(a, n, CompareUInt); }
void CGorvQSort::QSortInt64(long long* a, unsigned int n) { SortPlain(a, n, CompareInt64); }
void CGorvQSort::QSortInt64(long* a, unsigned int n)
{
    static_assert(sizeof(long) == sizeof(long long), "64-bit long expected");
    SortPlain(a, n, CompareInt64);
}
void CGorvQSort::QSortDbl(double* a, unsigned int n) { SortPlain(a, n, CompareDbl); }
void CGorvQSort::QSortKey20Serial12(unsigned int* a, unsigned int n) { SortPlain(a, n, CompareKey20Serial12); }

void CGorvQSort::QSortDbl(CArray<double>& arr, int desc)
{
    QSortDblDirected(arr.GetData(), arr.GetSize(), desc);
}

void CGorvQSort::QSortDblDirected(double* a, INT_PTR n, int desc)
{
    if (n <= 0 || a == nullptr) return;
    std::qsort(a, static_cast<std::size_t>(n), sizeof(double), CompareDbl);
    if (desc == 0) return;
    CArray<double> tmp;
    tmp.SetSize(n);
    for (INT_PTR i = 0; i < n; ++i) tmp[i] = a[i];
    for (INT_PTR i = 0; i < n; ++i) a[i] = tmp[n - 1 - i];
}

void CGorvQSort::QSortString(CString* a, unsigned int n)
{
    if (n == 0 || a == nullptr) return;
    CArray<const CString*> order;
    order.SetSize(static_cast<INT_PTR>(n));
    for (unsigned int i = 0; i < n; ++i) order[static_cast<INT_PTR>(i)] = &a[i];
    std::qsort(order.GetData(), n, sizeof(const CString*), ComparePtrStringW);
    CArray<CString> sorted;
    sorted.SetSize(static_cast<INT_PTR>(n));
    for (unsigned int i = 0; i < n; ++i) sorted[static_cast<INT_PTR>(i)] = *order[static_cast<INT_PTR>(i)];
    for (unsigned int i = 0; i < n; ++i) a[i] = sorted[static_cast<INT_PTR>(i)];
}

void CGorvQSort::QSortIntWithIndex(int* idx, int* val, unsigned int n)
{
    SortWithIndex<T_INDEXSORTD_INT>(idx, val, n, CompareIntWithIndex);
}

void CGorvQSort::QSortDblWithIndex(int* idx, double* val, unsigned int n)
{
    SortWithIndex<T_INDEXSORTD_DBL>(idx, val, n, CompareDblWithIndex);
}

void CGorvQSort::QSortDblWithIndex(unsigned int* idx, double* val, unsigned int n)
{
    SortWithIndex<T_INDEXSORTD_UINTDBL>(idx, val, n, CompareDblWithIndex);
}

void CGorvQSort::QSortStringWithIndex(unsigned int* idx, CString* str, unsigned int n)
{
    if (n == 0 || idx == nullptr || str == nullptr) return;
    CArray<T_INDEXSORTD_UINTSTRING> recs;
    recs.SetSize(static_cast<INT_PTR>(n));
    CArray<const T_INDEXSORTD_UINTSTRING*> order;
    order.SetSize(static_cast<INT_PTR>(n));
    for (unsigned int i = 0; i < n; ++i) {
        T_INDEXSORTD_UINTSTRING& r = recs[static_cast<INT_PTR>(i)];
        r.index = idx[i];
        r.value = str[i];
        order[static_cast<INT_PTR>(i)] = &r;
    }
    std::qsort(order.GetData(), n, sizeof(const T_INDEXSORTD_UINTSTRING*), ComparePtrStringWithIndex);
    for (unsigned int i = 0; i < n; ++i) {
        const T_INDEXSORTD_UINTSTRING& r = *order[static_cast<INT_PTR>(i)];
        idx[i] = r.index;
        str[i] = r.value;
    }
}

int CGorvQSort::CompareInt(const void* a, const void* b) { return CCompFunc::intAsc(a, b); }
int CGorvQSort::CompareLong(const void* a, const void* b) { return CCompFunc::longAsc(a, b); }
int CGorvQSort::CompareUInt(const void* a, const void* b) { return CCompFunc::UINTAsc(a, b); }

int CGorvQSort::CompareInt64(const void* a, const void* b)
{
    return Sign3(Load<long long>(a), Load<long long>(b));
}

int CGorvQSort::CompareDbl(const void* a, const void* b)
{
    const double x = Load<double>(a);
    const double y = Load<double>(b);
    if (x == y) return 0;
    if (y > x) return -1;
    return 1;
}

int CGorvQSort::CompareIntWithIndex(const void* a, const void* b) { return CCompFunc::ComparePosIntPairA(a, b); }

int CGorvQSort::CompareDblWithIndex(const void* a, const void* b)
{
    static_assert(offsetof(T_INDEXSORTD_DBL, value) == offsetof(T_INDEXSORTD_UINTDBL, value),
                  "both double records keep the value at the same offset");
    const double x = Load<double>(static_cast<const unsigned char*>(a) + offsetof(T_INDEXSORTD_DBL, value));
    const double y = Load<double>(static_cast<const unsigned char*>(b) + offsetof(T_INDEXSORTD_DBL, value));
    if (x == y) return 0;
    if (x < y) return -1;
    return 1;
}

int CGorvQSort::CompareStringW(const void* a, const void* b) { return CCompFunc::stringAsc(a, b); }

int CGorvQSort::CompareStringWithIndex(const void* a, const void* b)
{
    return static_cast<const T_INDEXSORTD_UINTSTRING*>(a)->value.Compare(
        static_cast<const T_INDEXSORTD_UINTSTRING*>(b)->value);
}

int CGorvQSort::CompareKey20Serial12(const void* a, const void* b)
{
    const unsigned int wa = Load<unsigned int>(a);
    const unsigned int wb = Load<unsigned int>(b);
    const int ka = static_cast<int>(wa & 0xFFFFFu);
    const int kb = static_cast<int>(wb & 0xFFFFFu);
    if (ka != kb) return ka - kb;
    return static_cast<int>(wa >> 20) - static_cast<int>(wb >> 20);
}
