// CCompFunc: tolerance comparisons of doubles, comparators for the C runtime's qsort and a
// nearest-value search. A class without instance data; every operation is a static member.
#pragma once

#include <gorv/platform/gorv_export.h>
#include <gorv/geom/geom_types.h>

class GORV_API CCompFunc {
public:
    CCompFunc() {}
    CCompFunc(const CCompFunc&) {}
    CCompFunc& operator=(const CCompFunc&) { return *this; }
    virtual ~CCompFunc();

    // ==== BEGIN tolerance block: CompReal, CompRealTol, FastCompDouble, SafeCompDouble (geom-core owner) ====
    // Each returns 1 when a is greater, -1 when a is smaller and 0 when the two count as equal.
    static int CompReal(double a, double b);                 // within 32 units in the last place
    static int CompRealTol(double a, double b, double tol);  // |a - b| <= tol
    static int FastCompDouble(double a, double b);           // |a - b| <= DBL_EPSILON (absolute)
    static int SafeCompDouble(double a, double b);           // as above after rounding to 15 digits
    // ==== END tolerance block ====

    // ==== BEGIN comparator block: qsort comparators, distances, FindNearest (sort owner) ====
    // qsort comparators: each takes pointers to two elements and returns < 0, 0 or > 0.
    // Ascending variants order small before large; descending variants the reverse.
    static int intAsc(const void* a, const void* b);     // int, sign of a - b (no overflow)
    static int intDesc(const void* a, const void* b);
    static int longAsc(const void* a, const void* b);    // long (native width), sign of a - b
    static int longDesc(const void* a, const void* b);
    static int UINTAsc(const void* a, const void* b);    // unsigned int
    static int UINTDesc(const void* a, const void* b);
    static int shortAsc(const void* a, const void* b);
    static int shortDesc(const void* a, const void* b);
    static int i16x16Asc(const void* a, const void* b);  // 32-bit word, key = low 16 bits
    static int i20x12Asc(const void* a, const void* b);  // 32-bit word, key = low 20 bits
    // float/double: differences within 2.220446049250313e-16 (absolute) compare equal.
    static int floatAsc(const void* a, const void* b);
    static int floatDesc(const void* a, const void* b);
    static int doubleAsc(const void* a, const void* b);
    static int doubleDesc(const void* a, const void* b);
    static int charAsc(const void* a, const void* b);    // signed char
    static int charDesc(const void* a, const void* b);
    static int BYTEAsc(const void* a, const void* b);    // unsigned char
    static int BYTEDesc(const void* a, const void* b);
    static int stringAsc(const void* a, const void* b);  // CString elements, case-sensitive
    static int stringDesc(const void* a, const void* b);
    // Elements are NUL-terminated wide strings stored in place (e.g. wchar_t[N] rows),
    // compared code unit by code unit as unsigned values; returns -1, 0 or 1.
    static int charpAsc(const void* a, const void* b);
    static int charpDesc(const void* a, const void* b);

    // Records whose first field is an int position (ignored), followed by the keys:
    // {int pos; int value}
    static int ComparePosIntPairA(const void* a, const void* b);
    // {int pos; unsigned key1; unsigned key2}, unsigned order of key1 then key2
    static int ComparePosKey2PairA(const void* a, const void* b);
    // {int pos; double value}, exact comparison, ascending / descending
    static int ComparePosDblPairA(const void* a, const void* b);
    static int ComparePosDblPairD(const void* a, const void* b);
    // {int pos; double key1; double key2} and {int pos; double key1; double key2; double key3}
    static int ComparePosDbl2PairA(const void* a, const void* b);
    static int ComparePosDbl3PairA(const void* a, const void* b);

    // Distances key - element for FindNearest.
    static double doubleDist(const void* a, const void* b);
    static double intDist(const void* a, const void* b);
    static double UINTDist(const void* a, const void* b);

    // Index of the element of the ascending array base[0..count) nearest to *key, by the
    // distance function dist(key, element) = key - element. An exact tie between the two
    // neighbours goes to the one on the far side of where the search ended. 0 for count 0.
    static int FindNearest(const void* key, const void* base, unsigned int count, unsigned int size,
                           double (*dist)(const void*, const void*));
    // ==== END comparator block ====
};
