// Unit systems and conversion factors of CGorvBaseUnit.
#include <gorv/unit/gorv_base_unit.h>

#include <initializer_list>

namespace detail {
namespace {

struct UnitDef {
    const wchar_t* name;
    double size;
};

// Size of each force unit in kgf (N and kN are 1 / 9.80665 and 1000 / 9.80665).
const UnitDef kForceUnits[] = {
    {L"kgf", 1.0},
    {L"tonf", 1000.0},
    {L"N", 0.10197162129779283},
    {L"kN", 101.97162129779284},
    {L"lbf", 0.45359251120413185},
    {L"kip", 453.59251120413194},
};

// Size of each length unit in cm.
const UnitDef kLengthUnits[] = {
    {L"mm", 0.1},
    {L"cm", 1.0},
    {L"m", 100.0},
    {L"in", 2.54},
    {L"ft", 30.48},
};

const int kForceCount = static_cast<int>(sizeof(kForceUnits) / sizeof(kForceUnits[0]));
const int kLengthCount = static_cast<int>(sizeof(kLengthUnits) / sizeof(kLengthUnits[0]));

enum { FU_kgf = 0, FU_tonf = 1, FU_N = 2, FU_kN = 3, FU_lbf = 4, FU_kip = 5 };
enum { LU_mm = 0, LU_cm = 1, LU_m = 2, LU_in = 3, LU_ft = 4 };

double ForceSize(int i) { return (i >= 0 && i < kForceCount) ? kForceUnits[i].size : 0.0; }
double LengthSize(int i) { return (i >= 0 && i < kLengthCount) ? kLengthUnits[i].size : 0.0; }

bool IsOneOf(int kind, std::initializer_list<int> kinds)
{
    for (int k : kinds)
        if (k == kind) return true;
    return false;
}

// Force and length unit of a system for a quantity kind. False for a preset system that does
// not exist.
bool ResolveUnits(const T_GORV_UNIT_INDEX& u, int kind, int& force, int& length)
{
    if (u.nExplicit != 0) {
        force = u.nForce;
        length = u.nLength;
        return true;
    }
    switch (u.nSystem) {
    case 1:
        force = FU_N, length = LU_mm;
        if (IsOneOf(kind, {2, 12, 13, 14, 18, 101, 102, 103, 104, 105, 106, 107, 109, 110, 111, 112}))
            force = FU_kN, length = LU_m;
        return true;
    case 2:
        force = FU_lbf, length = LU_in;
        if (IsOneOf(kind, {2, 12, 13, 14, 15, 16, 17}))
            force = FU_kip, length = LU_in;
        else if (IsOneOf(kind, {18, 101, 102, 103, 104, 105, 106, 109, 110, 111, 112}))
            force = FU_kip, length = LU_ft;
        return true;
    case 3:
        force = FU_kgf, length = LU_cm;
        if (IsOneOf(kind, {2, 12, 13, 14, 18, 102, 103, 104, 105, 107}))
            force = FU_tonf, length = LU_m;
        else if (IsOneOf(kind, {101, 106, 109, 110, 111, 112}))
            force = FU_kgf, length = LU_m;
        return true;
    default:
        return false;
    }
}

// Factor of a kind from the force factor F and the length factor L, evaluated in the written order.
double KindFactor(int kind, double F, double L)
{
    switch (kind) {
    case 1: case 21: case 22: case 31: case 101: case 108: case 109: case 201:
        return L;
    case 2: case 13: case 16: case 29: case 103: case 105:
        return F;
    case 9: case 110: case 202:
        return L * L;
    case 10: case 106: case 203:
        return L * L * L;
    case 11:
        return L * L * L * L;
    case 33:
        return L * L * L * L * L * L;
    case 12: case 15: case 30:
        return L * F;
    case 24:
        return F / L * L * L;
    case 14: case 23:
        return F / L;
    case 17: case 25: case 55: case 102: case 104: case 107:
        return F / L / L;
    case 18: case 26: case 111: case 112:
        return F / L / L / L;
    case 48:
        return F / L / L / L / L;
    default:
        return 1.0;
    }
}

const T_GORV_UNIT_INDEX kDefaultUnit = {1, 1, LU_mm, FU_N, 0, 0};

} // namespace
} // namespace detail

using namespace detail;

CGorvBaseUnit::CGorvBaseUnit() : m_unitPrevious(kDefaultUnit), m_unitCurrent(kDefaultUnit) {}

CGorvBaseUnit::CGorvBaseUnit(const CGorvBaseUnit& other)
    : m_unitPrevious(other.m_unitPrevious), m_unitCurrent(other.m_unitCurrent)
{
}

CGorvBaseUnit& CGorvBaseUnit::operator=(const CGorvBaseUnit& other)
{
    m_unitPrevious = other.m_unitPrevious;
    m_unitCurrent = other.m_unitCurrent;
    return *this;
}

CGorvBaseUnit::~CGorvBaseUnit() {}

double CGorvBaseUnit::Change_Ffor(int nSrcForce, int nTgtForce) const
{
    return ForceSize(nTgtForce) / ForceSize(nSrcForce);
}

double CGorvBaseUnit::Change_Flen(int nSrcLength, int nTgtLength) const
{
    return LengthSize(nTgtLength) / LengthSize(nSrcLength);
}

double CGorvBaseUnit::Change_Factor(T_GORV_UNIT_INDEX src, T_GORV_UNIT_INDEX tgt, int nKind) const
{
    int tgtForce = 0, tgtLength = 0, srcForce = 0, srcLength = 0;
    // A preset system other than 1..3 names no units; leaving values unchanged is the least
    // surprising outcome for stored data.
    if (!ResolveUnits(tgt, nKind, tgtForce, tgtLength) || !ResolveUnits(src, nKind, srcForce, srcLength))
        return 1.0;
    const double F = Change_Ffor(srcForce, tgtForce);
    const double L = Change_Flen(srcLength, tgtLength);
    if (L == 0.0 || F == 0.0) return 1.0;
    if (nKind > 203 || nKind < 0) return 1.0;
    return KindFactor(nKind, F, L);
}

double CGorvBaseUnit::ConvertSrcUnitData2TgtUnit(int nTgtForce, int nTgtLength, int nSrcForce, int nSrcLength,
                                                 int nKind, double dValue, int nTgtExplicit, int nTgtSystem,
                                                 int nSrcExplicit, int nSrcSystem) const
{
    const T_GORV_UNIT_INDEX src = {nSrcExplicit, nSrcSystem, nSrcLength, nSrcForce, 0, 0};
    const T_GORV_UNIT_INDEX tgt = {nTgtExplicit, nTgtSystem, nTgtLength, nTgtForce, 0, 0};
    const double factor = Change_Factor(src, tgt, nKind);
    if (factor == 0.0) return dValue;
    return dValue / factor;
}

double CGorvBaseUnit::GetConvertFactorCurrent(int nKind) const
{
    return Change_Factor(m_unitPrevious, m_unitCurrent, nKind);
}

double CGorvBaseUnit::GetConvertFactorPrevious(int nKind) const
{
    return Change_Factor(m_unitCurrent, m_unitPrevious, nKind);
}

void CGorvBaseUnit::SetUnitIndexCurrent(const T_GORV_UNIT_INDEX& unit)
{
    const T_GORV_UNIT_INDEX copy = unit;  // unit may alias one of our own records
    m_unitPrevious = m_unitCurrent;
    m_unitCurrent = copy;
}

void CGorvBaseUnit::SetUnitIndexPrevious(const T_GORV_UNIT_INDEX& unit) { m_unitPrevious = unit; }
void CGorvBaseUnit::GetUnitIndexCurrent(T_GORV_UNIT_INDEX& unit) const { unit = m_unitCurrent; }
void CGorvBaseUnit::GetUnitIndexPrevious(T_GORV_UNIT_INDEX& unit) const { unit = m_unitPrevious; }

void CGorvBaseUnit::GetNeutralUnit(T_GORV_UNIT_INDEX& unit)
{
    unit = T_GORV_UNIT_INDEX{1, 1, LU_m, FU_N, 0, 0};
}

int CGorvBaseUnit::Get_UnitCombNum(int nKind, int& nForceExp, int& nLengthExp)
{
    nForceExp = 0;
    nLengthExp = 0;
    if (nKind < 1 || nKind > 203) return 0;
    int f = 0, l = 0;
    switch (nKind) {
    case 1: case 101: case 108: case 109: case 201: f = 0, l = 1; break;
    case 2: case 13: case 103: case 105: f = 1, l = 0; break;
    case 9: case 110: case 202: f = 0, l = 2; break;
    case 10: case 106: case 203: f = 0, l = 3; break;
    case 11: f = 0, l = 4; break;
    case 33: f = 0, l = 6; break;
    case 12: f = 1, l = 1; break;
    case 14: f = 1, l = -1; break;
    case 17: case 102: case 104: case 107: f = 1, l = -2; break;
    case 18: case 111: case 112: f = 1, l = -3; break;
    case 44: f = 0, l = -1; break;
    default: return 0;
    }
    nForceExp = f;
    nLengthExp = l;
    return 1;
}

CString CGorvBaseUnit::Get_UnitName_Force(int nForce)
{
    if (nForce < 0 || nForce >= kForceCount) return CString();
    return CString(kForceUnits[nForce].name);
}

CString CGorvBaseUnit::Get_UnitName_Length(int nLength)
{
    if (nLength < 0 || nLength >= kLengthCount) return CString();
    return CString(kLengthUnits[nLength].name);
}

int CGorvBaseUnit::Get_UnitID_Force(CString strName)
{
    for (int i = 0; i < kForceCount; ++i)
        if (strName == CString(kForceUnits[i].name)) return i;
    return FU_N;
}

int CGorvBaseUnit::Get_UnitID_Length(CString strName)
{
    for (int i = 0; i < kLengthCount; ++i)
        if (strName == CString(kLengthUnits[i].name)) return i;
    return LU_mm;
}

// The unit-name and pressure-name texts are not provided by this library.
CString CGorvBaseUnit::Get_UnitName(T_GORV_UNIT_INDEX, int) { return CString(); }
CString CGorvBaseUnit::Get_StrPressureUnit(int, int, int) { return CString(); }
