// CGorvQSort: typed sorts over caller-owned arrays built on the C runtime's qsort, sorts that
// carry a parallel index array along, and the comparators they use. A class without instance
// data; every operation is a static member. Sorts are ascending unless stated and not stable.
#pragma once

#include <gorv/platform/gorv_export.h>
#include <gorv/platform/afx_types.h>
#include <gorv/platform/afx_string.h>
#include <gorv/platform/afx_coll.h>

// Records of the with-index sorts: the original index travels with its value.
struct T_INDEXSORTD_INT {
    int index;
    int value;
};

struct T_INDEXSORTD_DBL {
    int index;
    double value;
};

struct T_INDEXSORTD_UINTDBL {
    unsigned int index;
    double value;
};

struct T_INDEXSORTD_UINTSTRING {
    unsigned int index;
    CString value;
};

class GORV_API CGorvQSort {
public:
    CGorvQSort() {}
    CGorvQSort(const CGorvQSort&) {}
    CGorvQSort& operator=(const CGorvQSort&) { return *this; }
    virtual ~CGorvQSort();

    static void QSortInt(int* a, unsigned int n);
    static void QSortLong(long* a, unsigned int n);
    static void QSortUInt(unsigned int* a, unsigned int n);
    static void QSortInt64(long long* a, unsigned int n);
    static void QSortInt64(long* a, unsigned int n);  // int64_t is long on LP64 systems
    static void QSortDbl(double* a, unsigned int n);
    // Ascending; when desc != 0 the sorted array is reversed, so exactly equal values end
    // in the reverse of their ascending order.
    static void QSortDbl(CArray<double>& arr, int desc);
    template <class ARG>
    static void QSortDbl(CArray<double, ARG>& arr, int desc)
    {
        QSortDblDirected(arr.GetData(), static_cast<INT_PTR>(arr.GetSize()), desc);
    }
    static void QSortString(CString* a, unsigned int n);
    // Packed words: bits 0-19 key, bits 20-31 serial; by key, then by serial.
    static void QSortKey20Serial12(unsigned int* a, unsigned int n);

    // Sort val[0..n) and rearrange idx[0..n) the same way.
    static void QSortIntWithIndex(int* idx, int* val, unsigned int n);
    static void QSortDblWithIndex(int* idx, double* val, unsigned int n);
    static void QSortDblWithIndex(unsigned int* idx, double* val, unsigned int n);
    static void QSortStringWithIndex(unsigned int* idx, CString* str, unsigned int n);

    static int CompareInt(const void* a, const void* b);
    static int CompareLong(const void* a, const void* b);
    static int CompareUInt(const void* a, const void* b);
    static int CompareInt64(const void* a, const void* b);
    // 0 when exactly equal, -1 when b > a, otherwise 1 (also when either is NaN).
    static int CompareDbl(const void* a, const void* b);
    static int CompareIntWithIndex(const void* a, const void* b);     // T_INDEXSORTD_INT
    static int CompareDblWithIndex(const void* a, const void* b);     // T_INDEXSORTD_DBL / _UINTDBL
    static int CompareStringW(const void* a, const void* b);          // CString
    static int CompareStringWithIndex(const void* a, const void* b);  // T_INDEXSORTD_UINTSTRING
    static int CompareKey20Serial12(const void* a, const void* b);

private:
    static void QSortDblDirected(double* a, INT_PTR n, int desc);
};
