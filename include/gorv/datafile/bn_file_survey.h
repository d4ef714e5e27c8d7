// CBnFileSurvey: walks a record file's whole directory (every group of the chain, every slot,
// also those that a scan by name no longer reaches) without trusting any number in it, and
// lists what is wrong: broken or cyclic chains, damaged slots, overlapping records, records
// past the end of the file, unreachable slots. Diagnostics for tools and tests; it never writes.
#pragma once

#include <string>
#include <vector>

#include <gorv/datafile/bn_file.h>

// What a slot holds.
enum : int {
    BN_SLOT_TABLE = 0,    // slot 1's "HEAD" entry: the group's own table
    BN_SLOT_DATA = 1,     // a data set
    BN_SLOT_DELETED = 2,  // a "HEAD" entry in a later slot: a deleted data set kept as a placeholder
    BN_SLOT_FREE = 3      // "    "
};

struct T_BN_SLOT_INFO {
    int nGroup;          // group number in chain order, from 1
    int nSlot;           // slot number in the group, 1..20
    LONGLONG llBlock;    // header block of the slot
    T_BN_SUB_HEAD sub;   // the slot as read
    int nState;          // BN_SLOT_*
    bool bReachable;     // a scan by name reaches it (no free slot before it)
    bool bValid;         // its record numbers are usable (length >= 1, first >= 1, count >= 0, 32-bit words)
    LONGLONG llOffset;   // byte offset of its first record; -1 unless valid
    LONGLONG llBytes;    // byte length of its records; 0 unless valid
};

struct T_BN_GROUP_INFO {
    LONGLONG llMainBlock;  // header block of the group's main header
    T_BN_MAIN_HEAD head;   // the main header as read
    bool bReachable;       // no free slot in an earlier group
};

class GORV_API CBnFileSurvey {
public:
    // Reads the file's directory. Returns 0 when its first main header is this format (20 bytes,
    // 20 sub-headers a group); else 2 and nothing is listed. Read errors of the file pass through
    // as CFileException.
    int Load(CFile* pFile);

    LONGLONG m_llFileLength = 0;
    T_BN_MAIN_HEAD m_MainHead{};               // group 1's main header
    std::vector<T_BN_GROUP_INFO> m_aGroups;    // in chain order
    std::vector<T_BN_SLOT_INFO> m_aSlots;      // every slot read, in chain order
    std::vector<std::string> m_aProblems;      // one line each; empty for a sound file

    // The 4 name bytes as text: printable ASCII as is, any other byte as \xNN.
    static std::string NameText(const char* psz4);
};
