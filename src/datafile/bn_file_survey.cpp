// CBnFileSurvey: a read-only walk of the whole directory with every problem found listed.
#include <gorv/datafile/bn_file_survey.h>

#include <algorithm>
#include <cstdio>
#include <set>

#include "datafile/bn_format.h"

using namespace gorv::datafile_detail;

namespace {

using i64 = long long;

struct Extent {
    i64 begin, end;
    std::string what;
};

std::string Num(i64 v) { return std::to_string(v); }

std::string SlotText(const T_BN_SLOT_INFO& s) {
    return "group " + Num(s.nGroup) + " slot " + Num(s.nSlot) + " (block " + Num(s.llBlock) + ")";
}
std::string DataText(const T_BN_SLOT_INFO& s) {
    return "data set '" + CBnFileSurvey::NameText(s.sub.szName) + "' id " + Num(s.sub.nId) + " in " + SlotText(s);
}

bool Readable(CFile* f, i64 pos, unsigned char* buf, unsigned n, unsigned& got) {
    got = 0;
    try {
        if (f->Seek(pos, CFile::begin) != static_cast<ULONGLONG>(pos)) return false;
    } catch (const CFileException&) {
        return false;
    }
    got = f->Read(buf, n);
    return true;
}

}  // namespace

std::string CBnFileSurvey::NameText(const char* psz4) {
    std::string out;
    for (int i = 0; i < 4; ++i) {
        const unsigned char c = static_cast<unsigned char>(psz4[i]);
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        }
    }
    return out;
}

int CBnFileSurvey::Load(CFile* pFile) {
    m_aGroups.clear();
    m_aSlots.clear();
    m_aProblems.clear();
    m_MainHead = T_BN_MAIN_HEAD{};
    if (pFile == nullptr) return BN_ERR_READ;
    m_llFileLength = static_cast<LONGLONG>(pFile->GetLength());

    unsigned char raw[kGroupBytes];
    unsigned got = 0;
    if (!Readable(pFile, 0, raw, kHeadBytes, got) || got < static_cast<unsigned>(kHeadBytes)) return BN_ERR_READ;
    Decode(raw, m_MainHead);
    if (m_MainHead.nSubHeadCount != kSubHeads) return BN_ERR_READ;

    bool reachable = true;
    std::string firstFree;
    i64 m = 1;
    for (int group = 1;; ++group) {
        const std::string where = "group " + Num(group) + " (block " + Num(m) + ")";
        if (!Readable(pFile, (m - 1) * kHeadBytes, raw, kGroupBytes, got) || got < static_cast<unsigned>(kHeadBytes)) {
            m_aProblems.push_back("broken chain: the main header of " + where + " lies past the end of the file");
            break;
        }
        T_BN_GROUP_INFO g{};
        g.llMainBlock = m;
        Decode(raw, g.head);
        g.bReachable = reachable;
        if (!SameName(g.head.szHeadName, m_MainHead.szHeadName) || g.head.nFileType != m_MainHead.nFileType ||
            g.head.nSubHeadCount != kSubHeads) {
            m_aProblems.push_back("broken chain: " + where + " is not a directory group of this file (head '" +
                                  NameText(g.head.szHeadName) + "', type " + Num(g.head.nFileType) + ", " +
                                  Num(g.head.nSubHeadCount) + " sub-headers)");
            break;
        }
        m_aGroups.push_back(g);
        bool complete = true;
        for (int i = 1; i <= kSubHeads; ++i) {
            if (got < static_cast<unsigned>((i + 1) * kHeadBytes)) {
                m_aProblems.push_back("broken chain: the table of " + where + " runs past the end of the file at slot " +
                                      Num(i));
                complete = false;
                break;
            }
            T_BN_SLOT_INFO s{};
            s.nGroup = group;
            s.nSlot = i;
            s.llBlock = m + i;
            Decode(raw + i * kHeadBytes, s.sub);
            s.bReachable = reachable;
            s.llOffset = -1;
            if (IsFree(s.sub)) {
                s.nState = BN_SLOT_FREE;
                if (s.sub.nId != 0 || s.sub.nFirstRec != 0 || s.sub.nLastRec != 0 || s.sub.nRecLen != 0)
                    m_aProblems.push_back("free " + SlotText(s) + " has non-zero fields (an interrupted write?)");
                if (i == 1) m_aProblems.push_back(where + " has no table entry in slot 1");
                if (reachable) firstFree = SlotText(s);
                reachable = false;
            } else if (IsHeadEntry(s.sub)) {
                s.nState = i == 1 ? BN_SLOT_TABLE : BN_SLOT_DELETED;
            } else {
                s.nState = BN_SLOT_DATA;
                if (i == 1) m_aProblems.push_back(where + " has a data set in slot 1 instead of its table entry");
            }
            if (s.nState == BN_SLOT_TABLE &&
                (s.sub.nFirstRec != m + 1 || s.sub.nLastRec != m + kSubHeads || s.sub.nRecLen != kBlockWords))
                m_aProblems.push_back("the table entry of " + where + " does not describe blocks " + Num(m + 1) + ".." +
                                      Num(m + kSubHeads));
            if (s.nState == BN_SLOT_DATA || s.nState == BN_SLOT_DELETED) {
                s.bValid = SlotNumbersValid(s.sub);
                if (s.bValid) {
                    s.llOffset = (static_cast<i64>(s.sub.nFirstRec) - 1) * s.sub.nRecLen * 4;
                    s.llBytes = (static_cast<i64>(s.sub.nLastRec) - s.sub.nFirstRec + 1) * s.sub.nRecLen * 4;
                } else if (s.nState == BN_SLOT_DATA) {
                    m_aProblems.push_back(DataText(s) + " has impossible record numbers (first " + Num(s.sub.nFirstRec) +
                                          ", last " + Num(s.sub.nLastRec) + ", length " + Num(s.sub.nRecLen) + ")");
                }
                if (s.nState == BN_SLOT_DATA && !s.bReachable)
                    m_aProblems.push_back(DataText(s) + " is unreachable: the free " + firstFree + " ends every scan");
            }
            m_aSlots.push_back(s);
        }
        if (!complete) break;
        const i64 next = g.head.nNextHead;
        if (next == 0) break;
        if (next <= m) {
            m_aProblems.push_back("cycle: " + where + " links back to block " + Num(next));
            break;
        }
        if (next <= m + kSubHeads) {
            m_aProblems.push_back("broken chain: " + where + " links to block " + Num(next) + " inside its own table");
            break;
        }
        m = next;
    }

    // Records of live data sets against each other, the directory and the end of the file.
    std::vector<Extent> extents;
    for (const T_BN_GROUP_INFO& g : m_aGroups)
        extents.push_back({(g.llMainBlock - 1) * kHeadBytes, (g.llMainBlock + kSubHeads) * kHeadBytes,
                           "the directory of the group at block " + Num(g.llMainBlock)});
    std::set<std::pair<std::string, int>> seen;
    for (const T_BN_SLOT_INFO& s : m_aSlots) {
        if (s.nState != BN_SLOT_DATA || !s.bReachable || !s.bValid) continue;
        if (!seen.insert({std::string(s.sub.szName, 4), s.sub.nId}).second)
            m_aProblems.push_back(DataText(s) + " is hidden by an earlier slot with the same name and id");
        if (s.llOffset + s.llBytes > m_llFileLength)
            m_aProblems.push_back(DataText(s) + ": records (bytes " + Num(s.llOffset) + ".." +
                                  Num(s.llOffset + s.llBytes) + ") run past the end of the file (" +
                                  Num(m_llFileLength) + " bytes)");
        if (s.llBytes > 0) extents.push_back({s.llOffset, s.llOffset + s.llBytes, DataText(s)});
    }
    std::sort(extents.begin(), extents.end(), [](const Extent& a, const Extent& b) {
        return a.begin != b.begin ? a.begin < b.begin : a.end < b.end;
    });
    // Sweep: each extent against the one reaching furthest among those before it.
    std::size_t far = 0;
    for (std::size_t k = 1; k < extents.size(); ++k) {
        if (extents[k].begin < extents[far].end)
            m_aProblems.push_back("overlap: " + extents[far].what + " and " + extents[k].what + " share bytes " +
                                  Num(extents[k].begin) + ".." + Num(std::min(extents[k].end, extents[far].end)));
        if (extents[k].end > extents[far].end) far = k;
    }
    return BN_OK;
}
