#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <random>
#include <vector>

namespace {

int Sgn(int v) { return (v > 0) - (v < 0); }

template <class T>
int Cmp(int (*f)(const void*, const void*), T a, T b) { return Sgn(f(&a, &b)); }

const double kEps = 2.220446049250313e-16;

struct Case { const char* what; int got; int want; };

void ExpectAll(std::initializer_list<Case> cases)
{
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(CCompFuncComparators, ScalarOrderAndToleranceBoundaries)
{
    ExpectAll({
        {"intAsc INT_MIN<1", Cmp(CCompFunc::intAsc, INT_MIN, 1), -1},
        {"longAsc LONG_MIN<1", Cmp(CCompFunc::longAsc, LONG_MIN, 1L), -1},
        {"UINTAsc unsigned", Cmp(CCompFunc::UINTAsc, 0x80000000u, 1u), 1},
        {"UINTDesc unsigned", Cmp(CCompFunc::UINTDesc, 0x80000000u, 1u), -1},
        {"intDesc", Cmp(CCompFunc::intDesc, INT_MIN, 1), 1},
        {"longDesc", Cmp(CCompFunc::longDesc, LONG_MIN, 1L), 1},
        {"shortAsc", Cmp<short>(CCompFunc::shortAsc, -32768, 32767), -1},
        {"shortDesc", Cmp<short>(CCompFunc::shortDesc, -32768, 32767), 1},
        {"charAsc signed", Cmp<signed char>(CCompFunc::charAsc, -1, 1), -1},
        {"charDesc signed", Cmp<signed char>(CCompFunc::charDesc, -1, 1), 1},
        {"BYTEAsc unsigned", Cmp<unsigned char>(CCompFunc::BYTEAsc, 0xFF, 1), 1},
        {"BYTEDesc unsigned", Cmp<unsigned char>(CCompFunc::BYTEDesc, 0xFF, 1), -1},
        {"i20x12 low 20 bits only", Cmp(CCompFunc::i20x12Asc, 0x00100005u, 0x00000005u), 0},
        {"i16x16 low 16 bits only", Cmp(CCompFunc::i16x16Asc, 0x00010002u, 0x00000003u), -1},
        {"i16x16 low half unsigned", Cmp(CCompFunc::i16x16Asc, 0x0000FFFFu, 0x00000001u), 1},
        {"doubleAsc within eps", Cmp(CCompFunc::doubleAsc, 1.0, 1.0 + kEps), 0},
        {"doubleAsc eps inclusive", Cmp(CCompFunc::doubleAsc, 0.0, kEps), 0},
        {"doubleAsc just over eps", Cmp(CCompFunc::doubleAsc, 0.0, std::nextafter(kEps, 1.0)), -1},
        {"doubleAsc 1e-15", Cmp(CCompFunc::doubleAsc, 0.0, 1e-15), -1},
        {"doubleDesc 1e-15", Cmp(CCompFunc::doubleDesc, 0.0, 1e-15), 1},
        {"floatAsc one ulp", Cmp(CCompFunc::floatAsc, 1.0f, 1.0000001f), -1},
        {"floatDesc one ulp", Cmp(CCompFunc::floatDesc, 1.0f, 1.0000001f), 1},
        {"floatAsc tol inclusive", Cmp(CCompFunc::floatAsc, 2.220446e-16f, 0.0f), 0},
        {"floatAsc over tol", Cmp(CCompFunc::floatAsc, std::nextafter(2.220446e-16f, 1.0f), 0.0f), 1},
    });
}

struct PosKey2 { int pos; unsigned key1; unsigned key2; };
struct PosDbl { int pos; double value; };
struct PosDbl2 { int pos; double k1; double k2; };
struct PosDbl3 { int pos; double k1; double k2; double k3; };

TEST(CCompFuncComparators, StringsAndRecordsCompareTheirKeysOnly)
{
    const wchar_t rows[][4] = {L"Ab", L"a", L"ab", L"abc", {0xE000, 0}};
    const CString s[] = {L"Ab", L"a"};
    PosKey2 k1{0, 0x80000000u, 1}, k2{99, 1, 2}, k3{-5, 0x80000000u, 2}, k4{7, 0x80000000u, 1};
    PosDbl d1{5, 1.0}, d2{1, 1.0 + kEps};
    PosDbl3 t1{0, 1, 2, 3}, t2{1, 1, 2, 4}, t3{2, 0, 9, 9};
    PosDbl2 p1{0, 1, 9}, p2{1, 2, 0}, p3{2, 1, 8};
    ExpectAll({
        {"charp upper case first", Sgn(CCompFunc::charpAsc(rows[0], rows[1])), -1},
        {"charp prefix first", Sgn(CCompFunc::charpAsc(rows[3], rows[2])), 1},
        {"charp equal", Sgn(CCompFunc::charpAsc(rows[2], rows[2])), 0},
        {"charp unsigned units", Sgn(CCompFunc::charpAsc(rows[4], rows[1])), 1},
        {"charpDesc", Sgn(CCompFunc::charpDesc(rows[0], rows[1])), 1},
        {"stringAsc", Sgn(CCompFunc::stringAsc(&s[0], &s[1])), -1},
        {"stringDesc", Sgn(CCompFunc::stringDesc(&s[0], &s[1])), 1},
        {"key1 unsigned", CCompFunc::ComparePosKey2PairA(&k1, &k2), 1},
        {"key2 decides", CCompFunc::ComparePosKey2PairA(&k1, &k3), -1},
        {"position ignored", CCompFunc::ComparePosKey2PairA(&k1, &k4), 0},
        {"dbl pair exact", CCompFunc::ComparePosDblPairA(&d1, &d2), -1},
        {"dbl pair desc", CCompFunc::ComparePosDblPairD(&d1, &d2), 1},
        {"third key", CCompFunc::ComparePosDbl3PairA(&t1, &t2), -1},
        {"two keys only", CCompFunc::ComparePosDbl2PairA(&t1, &t2), 0},
        {"first key before later keys", CCompFunc::ComparePosDbl3PairA(&t1, &t3), 1},
        {"dbl2 key1 first", CCompFunc::ComparePosDbl2PairA(&p1, &p2), -1},
        {"dbl2 key2 decides", CCompFunc::ComparePosDbl2PairA(&p1, &p3), 1},
    });
}

// Antisymmetry and sortedness of every exact comparator on seeded random data.
template <class T, class GEN>
void CheckContract(const char* name, int (*cmp)(const void*, const void*), GEN gen)
{
    SCOPED_TRACE(name);
    std::mt19937 rng(12345);
    std::vector<T> v(300);
    for (T& x : v) x = gen(rng);
    for (size_t i = 0; i + 1 < v.size(); ++i) {
        ASSERT_EQ(Sgn(cmp(&v[i], &v[i + 1])), -Sgn(cmp(&v[i + 1], &v[i])));
        if (i + 2 < v.size() && cmp(&v[i], &v[i + 1]) <= 0 && cmp(&v[i + 1], &v[i + 2]) <= 0) {
            ASSERT_LE(cmp(&v[i], &v[i + 2]), 0);
        }
    }
    std::qsort(v.data(), v.size(), sizeof(T), cmp);
    for (size_t i = 0; i + 1 < v.size(); ++i) ASSERT_LE(cmp(&v[i], &v[i + 1]), 0) << "at " << i;
}

TEST(CCompFuncComparators, ContractsHoldUnderQsort)
{
    auto anyInt = [](std::mt19937& r) { return static_cast<int>(r()); };
    auto anyU = [](std::mt19937& r) { return static_cast<unsigned>(r()); };
    auto anyDbl = [](std::mt19937& r) { return std::ldexp(static_cast<double>(static_cast<int>(r())), -20); };
    auto anyFlt = [](std::mt19937& r) { return static_cast<float>(static_cast<int>(r() % 20001) - 10000) / 64.0f; };
    CheckContract<int>("intAsc", CCompFunc::intAsc, anyInt);
    CheckContract<long>("longAsc", CCompFunc::longAsc, [](std::mt19937& r) {
        return static_cast<long>((static_cast<unsigned long>(r()) << 32) | r());
    });
    CheckContract<unsigned>("UINTDesc", CCompFunc::UINTDesc, anyU);
    CheckContract<unsigned>("i16x16Asc", CCompFunc::i16x16Asc, anyU);
    CheckContract<unsigned>("i20x12Asc", CCompFunc::i20x12Asc, anyU);
    CheckContract<short>("shortAsc", CCompFunc::shortAsc, [](std::mt19937& r) { return static_cast<short>(r()); });
    CheckContract<double>("doubleAsc", CCompFunc::doubleAsc, anyDbl);
    CheckContract<float>("floatDesc", CCompFunc::floatDesc, anyFlt);
    CheckContract<PosDbl>("ComparePosDblPairD", CCompFunc::ComparePosDblPairD,
                          [&](std::mt19937& r) { return PosDbl{static_cast<int>(r()), anyDbl(r)}; });
}

TEST(FindNearest, FarNeighbourWinsExactTieAndEdgesAreSafe)
{
    const int a[] = {1, 4, 6, 9};
    struct Case { int key; unsigned count; int want; };
    const Case cases[] = {{5, 4, 2}, {10, 4, 3}, {-100, 4, 0}, {6, 4, 2}, {8, 4, 3}, {7, 4, 2}, {3, 4, 1},
                          {5, 0, 0}, {5, 1, 0}, {3, 2, 1}, {2, 2, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "key " << c.key << " count " << c.count);
        EXPECT_EQ(CCompFunc::FindNearest(&c.key, a, c.count, sizeof(int), CCompFunc::intDist), c.want);
    }
    const unsigned u[] = {1u, 0x80000000u, 0xFFFFFFFFu};
    const unsigned ukey = 0xF0000000u;
    EXPECT_EQ(CCompFunc::FindNearest(&ukey, u, 3, sizeof(unsigned), CCompFunc::UINTDist), 2);

    const double d[] = {0.0, 1.0, 2.0, 3.0, 4.0, 5.0};
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const int got = CCompFunc::FindNearest(&nan, d, 6, sizeof(double), CCompFunc::doubleDist);  // must not hang
    EXPECT_GE(got, 0);
    EXPECT_LT(got, 6);
}

TEST(FindNearest, ReturnsAnElementAtMinimalDistanceOnRandomArrays)
{
    std::mt19937 rng(777);
    for (int round = 0; round < 300; ++round) {
        std::vector<double> v(1 + rng() % 40);
        for (double& x : v) x = static_cast<double>(rng() % 1000);
        std::sort(v.begin(), v.end());
        const double key = static_cast<double>(rng() % 1100) - 50.0;
        const int got = CCompFunc::FindNearest(&key, v.data(), static_cast<unsigned>(v.size()), sizeof(double),
                                               CCompFunc::doubleDist);
        double best = INFINITY;
        for (double x : v) best = std::min(best, std::fabs(key - x));
        ASSERT_GE(got, 0);
        ASSERT_LT(got, static_cast<int>(v.size()));
        ASSERT_EQ(std::fabs(key - v[static_cast<size_t>(got)]), best) << "round " << round;
    }
}

} // namespace
