// qsort comparators, distance functions and the nearest-value search of CCompFunc.
#include <gorv/geom/comp_func.h>
#include <gorv/platform/afx_string.h>

#include <cmath>
#include <cstddef>
#include <cstring>

#include "sort_detail.h"

namespace detail {
namespace {


// -1, 0 or 1 by the order of a and b (no subtraction, so no overflow).
template <class T>
inline int Sign3(T a, T b)
{
    return (a > b) - (a < b);
}

// Absolute tolerance of the floating-point comparators: 2^-52.
const double kDblTol = 2.220446049250313e-16;
// The same value rounded to float (deliberately not FLT_EPSILON).
const float kFltTol = 2.220446e-16f;

inline int TolSign(double d)
{
    if (d > kDblTol) return 1;
    if (d < -kDblTol) return -1;
    return 0;
}

inline int TolSignF(float d)
{
    if (d > kFltTol) return 1;
    if (d < -kFltTol) return -1;
    return 0;
}

// Exact order of two doubles: 1 if a > b, -1 if a < b, else 0 (also for NaN).
inline int ExactSign(double a, double b)
{
    if (a > b) return 1;
    if (a < b) return -1;
    return 0;
}

int CompareWide(const wchar_t* a, const wchar_t* b)
{
    for (;; ++a, ++b) {
        // wchar_t is 32 bits here; comparing the whole unit unsigned equals the 16-bit order
        // for every BMP character and keeps supplementary characters distinct.
        const unsigned long ca = static_cast<unsigned long>(static_cast<unsigned int>(*a));
        const unsigned long cb = static_cast<unsigned long>(static_cast<unsigned int>(*b));
        if (ca != cb) return ca < cb ? -1 : 1;
        if (ca == 0) return 0;
    }
}

// Record layouts of the position-carrying comparators (position first, ignored).
struct PosInt { int pos; int value; };
struct PosKey2 { int pos; unsigned int key1; unsigned int key2; };
struct PosDbl { int pos; double value; };
struct PosDbl2 { int pos; double key1; double key2; };
struct PosDbl3 { int pos; double key1; double key2; double key3; };

} // namespace
} // namespace detail

using namespace detail;

int CCompFunc::intAsc(const void* a, const void* b) { return Sign3(Load<int>(a), Load<int>(b)); }
int CCompFunc::intDesc(const void* a, const void* b) { return Sign3(Load<int>(b), Load<int>(a)); }
int CCompFunc::longAsc(const void* a, const void* b) { return Sign3(Load<long>(a), Load<long>(b)); }
int CCompFunc::longDesc(const void* a, const void* b) { return Sign3(Load<long>(b), Load<long>(a)); }

int CCompFunc::UINTAsc(const void* a, const void* b)
{
    return Sign3(Load<unsigned int>(a), Load<unsigned int>(b));
}

int CCompFunc::UINTDesc(const void* a, const void* b)
{
    return Sign3(Load<unsigned int>(b), Load<unsigned int>(a));
}

int CCompFunc::shortAsc(const void* a, const void* b)
{
    return static_cast<int>(Load<short>(a)) - static_cast<int>(Load<short>(b));
}

int CCompFunc::shortDesc(const void* a, const void* b)
{
    return static_cast<int>(Load<short>(b)) - static_cast<int>(Load<short>(a));
}

int CCompFunc::i16x16Asc(const void* a, const void* b)
{
    return static_cast<int>(Load<unsigned int>(a) & 0xFFFFu) - static_cast<int>(Load<unsigned int>(b) & 0xFFFFu);
}

int CCompFunc::i20x12Asc(const void* a, const void* b)
{
    return static_cast<int>(Load<unsigned int>(a) & 0xFFFFFu) - static_cast<int>(Load<unsigned int>(b) & 0xFFFFFu);
}

int CCompFunc::floatAsc(const void* a, const void* b)
{
    const float d = Load<float>(a) - Load<float>(b);
    return TolSignF(d);
}

int CCompFunc::floatDesc(const void* a, const void* b)
{
    const float d = Load<float>(b) - Load<float>(a);
    return TolSignF(d);
}

int CCompFunc::doubleAsc(const void* a, const void* b) { return TolSign(Load<double>(a) - Load<double>(b)); }
int CCompFunc::doubleDesc(const void* a, const void* b) { return TolSign(Load<double>(b) - Load<double>(a)); }

int CCompFunc::charAsc(const void* a, const void* b)
{
    return static_cast<int>(Load<signed char>(a)) - static_cast<int>(Load<signed char>(b));
}

int CCompFunc::charDesc(const void* a, const void* b)
{
    return static_cast<int>(Load<signed char>(b)) - static_cast<int>(Load<signed char>(a));
}

int CCompFunc::BYTEAsc(const void* a, const void* b)
{
    return static_cast<int>(Load<unsigned char>(a)) - static_cast<int>(Load<unsigned char>(b));
}

int CCompFunc::BYTEDesc(const void* a, const void* b)
{
    return static_cast<int>(Load<unsigned char>(b)) - static_cast<int>(Load<unsigned char>(a));
}

int CCompFunc::stringAsc(const void* a, const void* b)
{
    return static_cast<const CString*>(a)->Compare(*static_cast<const CString*>(b));
}

int CCompFunc::stringDesc(const void* a, const void* b)
{
    return static_cast<const CString*>(b)->Compare(*static_cast<const CString*>(a));
}

int CCompFunc::charpAsc(const void* a, const void* b)
{
    return CompareWide(static_cast<const wchar_t*>(a), static_cast<const wchar_t*>(b));
}

int CCompFunc::charpDesc(const void* a, const void* b)
{
    return CompareWide(static_cast<const wchar_t*>(b), static_cast<const wchar_t*>(a));
}

int CCompFunc::ComparePosIntPairA(const void* a, const void* b)
{
    return Sign3(LoadAt<int>(a, offsetof(PosInt, value)), LoadAt<int>(b, offsetof(PosInt, value)));
}

int CCompFunc::ComparePosKey2PairA(const void* a, const void* b)
{
    const int c = Sign3(LoadAt<unsigned int>(a, offsetof(PosKey2, key1)),
                        LoadAt<unsigned int>(b, offsetof(PosKey2, key1)));
    if (c != 0) return c;
    return Sign3(LoadAt<unsigned int>(a, offsetof(PosKey2, key2)), LoadAt<unsigned int>(b, offsetof(PosKey2, key2)));
}

int CCompFunc::ComparePosDblPairA(const void* a, const void* b)
{
    return ExactSign(LoadAt<double>(a, offsetof(PosDbl, value)), LoadAt<double>(b, offsetof(PosDbl, value)));
}

int CCompFunc::ComparePosDblPairD(const void* a, const void* b)
{
    return ExactSign(LoadAt<double>(b, offsetof(PosDbl, value)), LoadAt<double>(a, offsetof(PosDbl, value)));
}

int CCompFunc::ComparePosDbl2PairA(const void* a, const void* b)
{
    int c = ExactSign(LoadAt<double>(a, offsetof(PosDbl2, key1)), LoadAt<double>(b, offsetof(PosDbl2, key1)));
    if (c != 0) return c;
    return ExactSign(LoadAt<double>(a, offsetof(PosDbl2, key2)), LoadAt<double>(b, offsetof(PosDbl2, key2)));
}

int CCompFunc::ComparePosDbl3PairA(const void* a, const void* b)
{
    int c = ExactSign(LoadAt<double>(a, offsetof(PosDbl3, key1)), LoadAt<double>(b, offsetof(PosDbl3, key1)));
    if (c != 0) return c;
    c = ExactSign(LoadAt<double>(a, offsetof(PosDbl3, key2)), LoadAt<double>(b, offsetof(PosDbl3, key2)));
    if (c != 0) return c;
    return ExactSign(LoadAt<double>(a, offsetof(PosDbl3, key3)), LoadAt<double>(b, offsetof(PosDbl3, key3)));
}

double CCompFunc::doubleDist(const void* a, const void* b) { return Load<double>(a) - Load<double>(b); }

double CCompFunc::intDist(const void* a, const void* b)
{
    return static_cast<double>(Load<int>(a)) - static_cast<double>(Load<int>(b));
}

double CCompFunc::UINTDist(const void* a, const void* b)
{
    return static_cast<double>(Load<unsigned int>(a)) - static_cast<double>(Load<unsigned int>(b));
}

int CCompFunc::FindNearest(const void* key, const void* base, unsigned int count, unsigned int size,
                           double (*dist)(const void*, const void*))
{
    if (count == 0 || key == nullptr || base == nullptr || dist == nullptr) return 0;
    const unsigned char* bytes = static_cast<const unsigned char*>(base);
    auto at = [&](std::size_t i) { return bytes + i * size; };

    std::size_t hi = count - 1u;
    std::size_t lo = 0;
    std::size_t mid = hi / 2;
    while (mid != 0 && mid != lo && mid != hi) {
        const double d = dist(key, at(mid));
        if (d < 0) hi = mid;
        else if (d == 0) return static_cast<int>(mid);
        else if (d > 0) lo = mid;
        else return static_cast<int>(mid);  // NaN distance: no direction to go, stop here
        mid = (lo + hi) / 2;
    }

    const double d = dist(key, at(mid));
    if (d >= 0) {
        if (d == 0 || mid >= count - 1u) return static_cast<int>(mid);
        return std::fabs(dist(key, at(mid + 1))) <= std::fabs(d) ? static_cast<int>(mid + 1) : static_cast<int>(mid);
    }
    if (d < 0) {
        if (mid < 1) return static_cast<int>(mid);
        return std::fabs(dist(key, at(mid - 1))) <= std::fabs(d) ? static_cast<int>(mid - 1) : static_cast<int>(mid);
    }
    return static_cast<int>(mid);
}
