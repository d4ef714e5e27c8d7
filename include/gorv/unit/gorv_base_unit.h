// CGorvBaseUnit: conversion factors between force/length unit systems, unit names and ids,
// and a previous/current unit system pair for moving stored values between systems.
//
// Force units (index: name):  0 kgf, 1 tonf, 2 N, 3 kN, 4 lbf, 5 kip.
// Length units (index: name): 0 mm, 1 cm, 2 m, 3 in, 4 ft.
// A quantity kind is an int code whose dimension is a force power times a length power.
#pragma once

#include <gorv/platform/gorv_export.h>
#include <gorv/platform/afx_string.h>
#include <gorv/geom/geom_types.h>

class GORV_API CGorvBaseUnit {
public:
    // Both systems start as explicit N and mm: {1, 1, 0, 2, 0, 0}.
    CGorvBaseUnit();
    CGorvBaseUnit(const CGorvBaseUnit& other);
    CGorvBaseUnit& operator=(const CGorvBaseUnit& other);
    virtual ~CGorvBaseUnit();

    // size(target) / size(source); an index outside the table has size 0.
    double Change_Ffor(int nSrcForce, int nTgtForce) const;
    double Change_Flen(int nSrcLength, int nTgtLength) const;

    // Factor of the kind between two systems: a value in source units divided by it gives the
    // value in target units. 1.0 for kinds without a factor.
    double Change_Factor(T_GORV_UNIT_INDEX src, T_GORV_UNIT_INDEX tgt, int nKind) const;

    // Value converted from the source to the target system (note: target indices come first).
    double ConvertSrcUnitData2TgtUnit(int nTgtForce, int nTgtLength, int nSrcForce, int nSrcLength, int nKind,
                                      double dValue, int nTgtExplicit, int nTgtSystem, int nSrcExplicit,
                                      int nSrcSystem) const;

    double GetConvertFactorCurrent(int nKind) const;   // previous -> current
    double GetConvertFactorPrevious(int nKind) const;  // current -> previous

    void SetUnitIndexCurrent(const T_GORV_UNIT_INDEX& unit);  // previous = current; current = unit
    void SetUnitIndexPrevious(const T_GORV_UNIT_INDEX& unit);
    void GetUnitIndexCurrent(T_GORV_UNIT_INDEX& unit) const;
    void GetUnitIndexPrevious(T_GORV_UNIT_INDEX& unit) const;

    // Explicit N and m: {1, 1, 2, 2, 0, 0}.
    static void GetNeutralUnit(T_GORV_UNIT_INDEX& unit);

    // Force and length exponents of a kind; 1 for a known kind, else 0 with both outputs 0.
    static int Get_UnitCombNum(int nKind, int& nForceExp, int& nLengthExp);

    static CString Get_UnitName_Force(int nForce);    // "" outside the table
    static CString Get_UnitName_Length(int nLength);  // "" outside the table
    static int Get_UnitID_Force(CString strName);     // exact match; 2 (N) when none
    static int Get_UnitID_Length(CString strName);    // exact match; 0 (mm) when none
    static CString Get_UnitName(T_GORV_UNIT_INDEX unit, int nKind);  // always empty

protected:
    static CString Get_StrPressureUnit(int n1, int n2, int n3);  // always empty

private:
    T_GORV_UNIT_INDEX m_unitPrevious;
    T_GORV_UNIT_INDEX m_unitCurrent;
};
