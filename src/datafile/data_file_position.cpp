// CDataFilePosition: three positions per id pair in a hashed map of 500 buckets.
#include <gorv/datafile/data_file_position.h>

namespace {
constexpr UINT kBuckets = 500;
}

CDataFilePosition::CDataFilePosition() { m_mapRdfp.InitHashTable(kBuckets); }
CDataFilePosition::~CDataFilePosition() = default;

DWORD CDataFilePosition::MakeKey(int nId1, int nId2) {
    return ((static_cast<DWORD>(nId2) & 0xFFFFu) << 16) | (static_cast<DWORD>(nId1) & 0xFFFFu);
}

void CDataFilePosition::Initialize() {
    m_mapRdfp.RemoveAll();
    m_mapRdfp.InitHashTable(kBuckets);
}

void CDataFilePosition::SetRdfp(int nId1, int nId2, LONGLONG llPos1, LONGLONG llPos2, LONGLONG llPos3) {
    m_mapRdfp.SetAt(MakeKey(nId1, nId2), T_RDFP_D{llPos1, llPos2, llPos3});
}

int CDataFilePosition::GetRdfp(int nId1, int nId2, LONGLONG& llPos1, LONGLONG& llPos2, LONGLONG& llPos3) const {
    llPos1 = llPos2 = llPos3 = 0;
    T_RDFP_D d{};
    if (!m_mapRdfp.Lookup(MakeKey(nId1, nId2), d)) return 0;
    llPos1 = d.llPos1;
    llPos2 = d.llPos2;
    llPos3 = d.llPos3;
    return 1;
}

int CDataFilePosition::GetRdfp(int nId1, int nId2, LONGLONG& llPos1, LONGLONG& llPos2) const {
    LONGLONG unused = 0;
    return GetRdfp(nId1, nId2, llPos1, llPos2, unused);
}

int CDataFilePosition::DelRdfp(int nId1, int nId2) {
    if (!m_mapRdfp.RemoveKey(MakeKey(nId1, nId2))) return 0;
    // An emptied map gives its bucket table back; the next insertion makes a new one of 500.
    if (m_mapRdfp.IsEmpty()) m_mapRdfp.RemoveAll();
    return 1;
}

void CDataFilePosition::DelRdfpPart(int nLower, int nUpper) {
    const DWORD lower = static_cast<DWORD>(nLower);
    const DWORD upper = static_cast<DWORD>(nUpper);
    POSITION pos = m_mapRdfp.GetStartPosition();
    while (pos != nullptr) {
        DWORD key = 0;
        T_RDFP_D value{};
        m_mapRdfp.GetNextAssoc(pos, key, value);  // moves pos on before the entry goes
        const DWORD id1 = key & 0xFFFFu;
        if (lower <= id1 && id1 <= upper) m_mapRdfp.RemoveKey(key);
    }
    if (m_mapRdfp.IsEmpty()) m_mapRdfp.RemoveAll();
}
