// CDataFilePosition: an in-memory table of three 64-bit file positions per item, the item named by
// two ids of which only the low 16 bits count. No file access.
#pragma once

#include <gorv/platform/afx_coll.h>
#include <gorv/platform/afx_types.h>
#include <gorv/platform/gorv_export.h>

#if !defined(_MSC_VER)
// The 64-bit integer name that host code passes to SeekBN and GetRdfp (the same type as LONGLONG).
typedef long long __int64;
#endif

// Three positions, kept in the order SetRdfp receives them; the table gives them no meaning.
struct T_RDFP_D {
    LONGLONG llPos1;
    LONGLONG llPos2;
    LONGLONG llPos3;
};

class GORV_API CDataFilePosition {
public:
    // Empty table with 500 buckets.
    CDataFilePosition();
    CDataFilePosition(const CDataFilePosition&) = delete;
    CDataFilePosition& operator=(const CDataFilePosition&) = delete;
    virtual ~CDataFilePosition();

    // Removes every entry and starts again with 500 buckets.
    void Initialize();
    // Inserts the entry of (first id, second id), or replaces its three values.
    void SetRdfp(int nId1, int nId2, LONGLONG llPos1, LONGLONG llPos2, LONGLONG llPos3);
    // 1 and the stored values when present; 0 with all outputs 0 when absent.
    int GetRdfp(int nId1, int nId2, LONGLONG& llPos1, LONGLONG& llPos2, LONGLONG& llPos3) const;
    int GetRdfp(int nId1, int nId2, LONGLONG& llPos1, LONGLONG& llPos2) const;
    // 1 when the entry was removed, 0 when absent.
    int DelRdfp(int nId1, int nId2);
    // Removes every entry whose first id's low 16 bits lie in [lower, upper], compared as unsigned
    // 32-bit numbers: a negative lower bound removes nothing, a negative upper bound has no limit.
    void DelRdfpPart(int nLower, int nUpper);

    // The key of an id pair: (second id & 0xFFFF) * 65536 + (first id & 0xFFFF).
    static DWORD MakeKey(int nId1, int nId2);

    CMap<DWORD, DWORD, T_RDFP_D, const T_RDFP_D&> m_mapRdfp;  // key -> positions, 500 buckets
};
