#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

T_GORV_UNIT_INDEX Explicit(int force, int length) { return T_GORV_UNIT_INDEX{1, 0, length, force, 0, 0}; }
T_GORV_UNIT_INDEX Preset(int system) { return T_GORV_UNIT_INDEX{0, system, 0, 0, 0, 0}; }

bool In(int k, std::initializer_list<int> ks) { return std::find(ks.begin(), ks.end(), k) != ks.end(); }

TEST(CGorvBaseUnit, ExactFactorsOfTheReferenceCases)
{
    // Whole conversions (N/mm2 -> kN/m2, tonf -> kN presets, argument order) are checked through
    // `gorv unit convert` in tests/unit/cli_tests.cmake.
    CGorvBaseUnit u;
    EXPECT_EQ(u.Change_Ffor(3, 2), 0.001);
    EXPECT_EQ(u.Change_Ffor(2, 3), 1000.0000000000001);
    EXPECT_EQ(u.Change_Flen(0, 2), 1000.0);
    EXPECT_EQ(u.Change_Ffor(0, 6), 0.0);                                            // target outside
    EXPECT_TRUE(std::isinf(u.Change_Flen(-1, 1)) && std::isnan(u.Change_Flen(-1, 9)));  // source outside
    EXPECT_EQ(u.Change_Factor(Explicit(2, 0), Explicit(3, 2), 17), 0.0010000000000000002);
    EXPECT_EQ(u.ConvertSrcUnitData2TgtUnit(3, 2, 2, 0, 44, 1.25, 1, 0, 1, 0), 1.25);
    EXPECT_EQ(u.Change_Factor(Preset(3), Preset(1), 2), 0.10197162129779283);
    // An out-of-table unit index, a kind out of range or a preset system that does not exist: 1.0.
    EXPECT_EQ(u.Change_Factor(Explicit(2, 0), Explicit(9, 2), 17), 1.0);
    EXPECT_EQ(u.Change_Factor(Preset(4), Preset(1), 2), 1.0);
    EXPECT_EQ(u.Change_Factor(Preset(1), Preset(0), 17), 1.0);
}

// Expected factor of every kind from F and L, in the written evaluation order.
double ExpectedFactor(int k, double F, double L)
{
    if (In(k, {1, 21, 22, 31, 101, 108, 109, 201})) return L;
    if (In(k, {2, 13, 16, 29, 103, 105})) return F;
    if (In(k, {9, 110, 202})) return L * L;
    if (In(k, {10, 106, 203})) return L * L * L;
    if (k == 11) return L * L * L * L;
    if (k == 33) return L * L * L * L * L * L;
    if (In(k, {12, 15, 30})) return L * F;
    if (k == 24) return F / L * L * L;
    if (In(k, {14, 23})) return F / L;
    if (In(k, {17, 25, 55, 102, 104, 107})) return F / L / L;
    if (In(k, {18, 26, 111, 112})) return F / L / L / L;
    if (k == 48) return F / L / L / L / L;
    return 1.0;
}

TEST(CGorvBaseUnit, FactorTableOfEveryKind)
{
    CGorvBaseUnit u;
    // N -> kN with cm -> in rounds differently for each evaluation order of F and L.
    const int pairs[][4] = {{2, 1, 3, 3}, {2, 0, 5, 3}};  // src force, src length, tgt force, tgt length
    for (const auto& p : pairs) {
        const double F = u.Change_Ffor(p[0], p[2]), L = u.Change_Flen(p[1], p[3]);
        for (int k = -2; k <= 210; ++k) {
            SCOPED_TRACE(k);
            EXPECT_EQ(u.Change_Factor(Explicit(p[0], p[1]), Explicit(p[2], p[3]), k), ExpectedFactor(k, F, L));
        }
    }
}

TEST(CGorvBaseUnit, ExponentTableIsSeparateFromFactorTable)
{
    struct Row { std::initializer_list<int> kinds; int f, l; };
    const Row rows[] = {{{1, 101, 108, 109, 201}, 0, 1}, {{2, 13, 103, 105}, 1, 0}, {{9, 110, 202}, 0, 2},
                        {{10, 106, 203}, 0, 3}, {{11}, 0, 4}, {{33}, 0, 6}, {{12}, 1, 1}, {{14}, 1, -1},
                        {{17, 102, 104, 107}, 1, -2}, {{18, 111, 112}, 1, -3}, {{44}, 0, -1}};
    for (int k = -1; k <= 205; ++k) {
        SCOPED_TRACE(k);
        int wantF = 0, wantL = 0, known = 0;
        for (const Row& r : rows)
            if (In(k, r.kinds)) wantF = r.f, wantL = r.l, known = 1;
        int f = 77, l = 77;
        EXPECT_EQ(CGorvBaseUnit::Get_UnitCombNum(k, f, l), known);
        EXPECT_EQ(f, wantF);
        EXPECT_EQ(l, wantL);
    }
}

// Force and length unit that each preset system uses for a kind.
void PresetUnits(int system, int k, int& force, int& length)
{
    if (system == 1) {
        force = 2, length = 0;
        if (In(k, {2, 12, 13, 14, 18, 101, 102, 103, 104, 105, 106, 107, 109, 110, 111, 112})) force = 3, length = 2;
    } else if (system == 2) {
        force = 4, length = 3;
        if (In(k, {2, 12, 13, 14, 15, 16, 17})) force = 5, length = 3;
        if (In(k, {18, 101, 102, 103, 104, 105, 106, 109, 110, 111, 112})) force = 5, length = 4;
    } else {
        force = 0, length = 1;
        if (In(k, {2, 12, 13, 14, 18, 102, 103, 104, 105, 107})) force = 1, length = 2;
        if (In(k, {101, 106, 109, 110, 111, 112})) force = 0, length = 2;
    }
}

TEST(CGorvBaseUnit, PresetSystemsResolvePerKind)
{
    CGorvBaseUnit u;
    for (int s = 1; s <= 3; ++s) {
        for (int k = 0; k <= 203; ++k) {
            SCOPED_TRACE(testing::Message() << "system " << s << " kind " << k);
            int f = 0, l = 0;
            PresetUnits(s, k, f, l);
            // Same units on both sides give exactly 1; a wrong unit in a dimension the kind uses does not.
            EXPECT_EQ(u.Change_Factor(Preset(s), Explicit(f, l), k), 1.0);
            EXPECT_EQ(u.Change_Factor(Explicit(f, l), Preset(s), k), 1.0);
        }
    }
}

TEST(CGorvBaseUnit, RoundTripsReturnTheValue)
{
    CGorvBaseUnit u;
    std::vector<T_GORV_UNIT_INDEX> systems = {Preset(1), Preset(2), Preset(3)};
    for (int f = 0; f < 6; ++f)
        for (int l = 0; l < 5; ++l) systems.push_back(Explicit(f, l));
    std::mt19937 rng(99);
    std::uniform_real_distribution<double> dist(-1e6, 1e6);
    for (const auto& a : systems)
        for (const auto& b : systems)
            for (int k : {1, 2, 9, 10, 11, 12, 14, 17, 18, 24, 33, 48, 101, 106, 107, 112, 203}) {
                const double v = dist(rng);
                const double there = u.ConvertSrcUnitData2TgtUnit(b.nForce, b.nLength, a.nForce, a.nLength, k, v,
                                                                  b.nExplicit, b.nSystem, a.nExplicit, a.nSystem);
                ASSERT_NEAR(u.ConvertSrcUnitData2TgtUnit(a.nForce, a.nLength, b.nForce, b.nLength, k, there,
                                                         a.nExplicit, a.nSystem, b.nExplicit, b.nSystem),
                            v, std::fabs(v) * 1e-13) << "kind " << k;
            }
}

TEST(CGorvBaseUnit, PreviousAndCurrentSystems)
{
    CGorvBaseUnit u;
    T_GORV_UNIT_INDEX cur{}, prev{}, neutral{};
    u.GetUnitIndexCurrent(cur);
    EXPECT_TRUE(cur.nExplicit == 1 && cur.nSystem == 1 && cur.nLength == 0 && cur.nForce == 2);
    EXPECT_EQ(u.GetConvertFactorCurrent(1), 1.0);
    CGorvBaseUnit::GetNeutralUnit(neutral);
    EXPECT_TRUE(neutral.nExplicit == 1 && neutral.nLength == 2 && neutral.nForce == 2);

    u.SetUnitIndexCurrent(Explicit(3, 0));
    u.SetUnitIndexCurrent(Explicit(2, 2));  // the former current becomes the previous
    u.GetUnitIndexPrevious(prev);
    EXPECT_TRUE(prev.nForce == 3 && prev.nLength == 0);
    EXPECT_EQ(u.GetConvertFactorCurrent(2), 0.001);   // kN -> N
    EXPECT_EQ(u.GetConvertFactorPrevious(1), 0.001);  // m -> mm
    CGorvBaseUnit copy(u);
    u.SetUnitIndexPrevious(Explicit(2, 2));
    EXPECT_EQ(u.GetConvertFactorCurrent(2), 1.0);
    EXPECT_EQ(copy.GetConvertFactorCurrent(2), 0.001);
    copy = u;
    EXPECT_EQ(copy.GetConvertFactorCurrent(2), 1.0);
}

TEST(CGorvBaseUnit, IdsOfNamesAreExactAndCaseSensitive)
{
    // The names and their order are checked by `gorv unit list` (tests/cli/unit_text_cli.cmake).
    for (int i = 0; i < 6; ++i) EXPECT_EQ(CGorvBaseUnit::Get_UnitID_Force(CGorvBaseUnit::Get_UnitName_Force(i)), i);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(CGorvBaseUnit::Get_UnitID_Length(CGorvBaseUnit::Get_UnitName_Length(i)), i);
    EXPECT_EQ(CGorvBaseUnit::Get_UnitID_Force(CString(L"KN")), 2);
    EXPECT_EQ(CGorvBaseUnit::Get_UnitID_Length(CString(L"")), 0);
    EXPECT_EQ(CGorvBaseUnit::Get_UnitID_Length(CString(L"M")), 0);
    EXPECT_TRUE(CGorvBaseUnit::Get_UnitName_Force(6).IsEmpty() && CGorvBaseUnit::Get_UnitName_Length(-1).IsEmpty());
}

} // namespace
