// The record file's operations, shared by CBnFile and CBnFileResult (which have the same fields
// but no common base). The directory is read one group (main header and its 20 slots, 420 bytes)
// per read call; every number read from the file is checked before it positions anything, so a
// damaged or hostile file gives a status code, never a loop or an out-of-range access.
//
// Writes are ordered so that an interrupted operation never cuts off the slots after the one it
// changes: a new slot gets its numbers before its name, a freed slot loses its name first, and a
// new directory group is complete before the group before it links to it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include <gorv/datafile/bn_file.h>

#include "datafile/bn_format.h"

namespace gorv::datafile_detail {

using i64 = std::int64_t;
constexpr i64 kInt32Max = std::numeric_limits<std::int32_t>::max();

// A slot found by a directory scan.
struct SlotRef {
    i64 mainBlock = 0;  // header block of the main header of the slot's group
    int index = 0;      // 1..20
    T_BN_SUB_HEAD sub{};
    i64 Block() const { return mainBlock + index; }
};

struct GroupRef {
    i64 mainBlock = 0;
    T_BN_MAIN_HEAD head{};
};

struct Range {
    i64 begin;
    i64 end;  // exclusive
};

enum class ScanEnd { kMatch, kFree, kChainEnd };

struct ScanResult {
    ScanEnd end = ScanEnd::kChainEnd;
    SlotRef slot;            // the match or the free slot (index 0 at the end of the chain)
    GroupRef group;          // the last group read
    bool havePrev = false;   // an occupied slot precedes `slot` in its group
    T_BN_SUB_HEAD prev{};    // the last such slot
    unsigned char raw[kGroupBytes];
    unsigned got = 0;        // bytes of raw read from the file
    std::vector<SlotRef>* occupied = nullptr;  // when set: every occupied slot passed, in order
    std::vector<GroupRef>* groups = nullptr;   // when set: every group read, in order
};

template <class T>
struct BnEngine {
    static constexpr i64 W = 4;  // word size in bytes (T::m_MULT_LNG_R)
    static constexpr i64 kBlockBytes = kBlockWords * W;
    static_assert(kBlockBytes == kHeadBytes, "a header fills exactly one block");

    static i64 BlockPos(i64 block) { return (block - 1) * kBlockBytes; }

    static void Construct(T& o) {
        o.m_pFile = nullptr;
        o.m_nFileType = 0;
        std::memcpy(o.m_szReserveName, kHeadName, 4);
        std::memcpy(o.m_szHeadName, "NONE", 4);
        o.m_fVersion = 0.0f;
        o.m_nSubHeadCount = kSubHeads;
        o.m_nBlockLen = kBlockWords;
        o.m_MainHead = T_BN_MAIN_HEAD{};
        o.m_SubHead = T_BN_SUB_HEAD{};
    }

    static void Init(T& o, CFile* pFile, const char* pszHeadName, int nFileType, float fVersion) {
        o.m_pFile = pFile;
        if (pszHeadName != nullptr) std::memcpy(o.m_szHeadName, LoadName(pszHeadName).c, 4);
        o.m_nFileType = nFileType;
        o.m_fVersion = fVersion;
    }

    // Positions the file at byte pos; 0 when exactly there, else 2. This is the system's set-file-
    // pointer: a position it cannot reach is a status, not an exception.
    static int SeekTo(CFile* f, i64 pos) {
        if (f == nullptr || pos < 0) return BN_ERR_READ;
        try {
            return f->Seek(pos, CFile::begin) == static_cast<ULONGLONG>(pos) ? BN_OK : BN_ERR_READ;
        } catch (const CFileException&) {
            return BN_ERR_READ;
        }
    }

    static int SeekBN(CFile* f, LONGLONG rec, LONGLONG lenBytes) {
        LONGLONG pos = 0;
        if (f == nullptr || __builtin_sub_overflow(rec, 1LL, &pos) || __builtin_mul_overflow(pos, lenBytes, &pos))
            return 0;
        return SeekTo(f, pos) == BN_OK ? 1 : 0;
    }

    // Loads the caller's name; false for a null name and the reserved "    " and "HEAD".
    static bool ValidName(const char* name, Name4& out) {
        if (name == nullptr) return false;
        out = LoadName(name);
        return !SameName(out.c, kFreeName) && !SameName(out.c, kHeadName);
    }

    static int ValidateMain(const T& o) {
        if (!SameName(o.m_MainHead.szHeadName, o.m_szHeadName)) return BN_ERR_FORMAT;
        if (o.m_MainHead.nFileType != o.m_nFileType) return BN_ERR_FILE_TYPE;
        if (o.m_MainHead.nSubHeadCount != kSubHeads) return BN_ERR_FORMAT;
        return BN_OK;
    }

    // Byte range of a data set's records (valid numbers assumed).
    static Range RecordRange(const T_BN_SUB_HEAD& h) {
        return Range{(static_cast<i64>(h.nFirstRec) - 1) * h.nRecLen * W, static_cast<i64>(h.nLastRec) * h.nRecLen * W};
    }
    static Range GroupRange(i64 mainBlock) {
        return Range{BlockPos(mainBlock), BlockPos(mainBlock + kSubHeads + 1)};
    }
    static bool Overlap(const Range& a, const Range& b) {
        return a.begin < a.end && b.begin < b.end && a.begin < b.end && b.begin < a.end;
    }

    // Walks the directory from group 1 until the slot (name, id), the first free slot or the end
    // of the chain; with a null name it never matches. Returns 0 or the status of the failure.
    static int Scan(T& o, const char* name, int id, ScanResult& s) {
        i64 m = 1;
        for (;;) {
            if (int st = SeekTo(o.m_pFile, BlockPos(m))) return st;
            s.got = o.m_pFile->Read(s.raw, kGroupBytes);
            if (s.got < static_cast<unsigned>(kHeadBytes)) return BN_ERR_READ;
            Decode(s.raw, o.m_MainHead);
            if (int st = ValidateMain(o)) return st;
            s.group = GroupRef{m, o.m_MainHead};
            if (s.groups) s.groups->push_back(s.group);
            s.havePrev = false;
            for (int i = 1; i <= kSubHeads; ++i) {
                if (s.got < static_cast<unsigned>((i + 1) * kHeadBytes)) return BN_ERR_READ;
                Decode(s.raw + i * kHeadBytes, o.m_SubHead);
                const SlotRef ref{m, i, o.m_SubHead};
                if (IsFree(ref.sub)) {
                    s.end = ScanEnd::kFree;
                    s.slot = ref;
                    return BN_OK;
                }
                if (name != nullptr && SameName(ref.sub.szName, name) && ref.sub.nId == id) {
                    s.end = ScanEnd::kMatch;
                    s.slot = ref;
                    return BN_OK;
                }
                s.havePrev = true;
                s.prev = ref.sub;
                if (s.occupied) s.occupied->push_back(ref);
            }
            const i64 next = s.group.head.nNextHead;
            if (next == 0) {
                s.end = ScanEnd::kChainEnd;
                s.slot = SlotRef{m, 0, T_BN_SUB_HEAD{}};
                return BN_OK;
            }
            // Groups are appended after everything before them, so a next group always lies past
            // this group's table; anything else is a damaged or cyclic chain.
            if (next <= m + kSubHeads) return BN_ERR_FORMAT;
            m = next;
        }
    }

    // Live extents that nothing may be written over: every directory group read and every data
    // set passed (not deleted entries). 7 when a passed data set holds impossible numbers.
    static int Extents(const std::vector<SlotRef>& occupied, const std::vector<GroupRef>& groups,
                       std::vector<Range>& out, const SlotRef* skip = nullptr) {
        for (const GroupRef& g : groups) out.push_back(GroupRange(g.mainBlock));
        for (const SlotRef& r : occupied) {
            if (IsHeadEntry(r.sub)) continue;
            if (skip && r.mainBlock == skip->mainBlock && r.index == skip->index) continue;
            if (!SlotNumbersValid(r.sub)) return BN_ERR_FORMAT;
            out.push_back(RecordRange(r.sub));
        }
        return BN_OK;
    }

    // Writes zero words fromWord+1 .. toWord (word k at byte (k-1)*4).
    static int ZeroFill(T& o, i64 fromWord, i64 toWord) {
        if (fromWord >= toWord) return BN_OK;
        if (int st = SeekTo(o.m_pFile, fromWord * W)) return st;
        // The same zero words as one write per word, written in chunks: a long record length
        // would otherwise cost one system call per word.
        static const unsigned char kZeros[4096] = {};
        i64 left = (toWord - fromWord) * W;
        while (left > 0) {
            const UINT n = static_cast<UINT>(std::min<i64>(left, sizeof kZeros));
            o.m_pFile->Write(kZeros, n);
            left -= n;
        }
        return BN_OK;
    }

    // Writes a sub-header into a free slot: numbers first, name last, so that an interrupted
    // write leaves the slot free rather than a data set with zero numbers.
    static int WriteNewSlot(T& o, i64 block, const T_BN_SUB_HEAD& h) {
        unsigned char raw[kHeadBytes];
        Encode(h, raw);
        if (int st = SeekTo(o.m_pFile, BlockPos(block) + 4)) return st;
        o.m_pFile->Write(raw + 4, kHeadBytes - 4);
        if (int st = SeekTo(o.m_pFile, BlockPos(block))) return st;
        o.m_pFile->Write(raw, 4);
        o.m_SubHead = h;
        return BN_OK;
    }

    // Frees a slot: name first (from then on the slot is free), then the zero numbers.
    static int WriteFreeSlot(T& o, i64 block) {
        const T_BN_SUB_HEAD h = FreeSlot();
        unsigned char raw[kHeadBytes];
        Encode(h, raw);
        if (int st = SeekTo(o.m_pFile, BlockPos(block))) return st;
        o.m_pFile->Write(raw, 4);
        o.m_pFile->Write(raw + 4, kHeadBytes - 4);
        o.m_SubHead = h;
        return BN_OK;
    }

    static int Create(T& o) {
        unsigned char raw[kGroupBytes];
        T_BN_MAIN_HEAD mh{};
        std::memcpy(mh.szHeadName, o.m_szHeadName, 4);
        mh.nFileType = o.m_nFileType;
        mh.fVersion = o.m_fVersion;
        mh.nSubHeadCount = kSubHeads;
        mh.nNextHead = 0;
        FillGroup(raw, mh, 1, nullptr);
        // The table before the main header: until the main header lands, the file is refused
        // rather than read as a directory with half a table.
        if (int st = SeekTo(o.m_pFile, kHeadBytes)) return st;
        o.m_pFile->Write(raw + kHeadBytes, kGroupBytes - kHeadBytes);
        if (int st = SeekTo(o.m_pFile, 0)) return st;
        o.m_pFile->Write(raw, kHeadBytes);
        o.m_MainHead = mh;
        o.m_SubHead = FreeSlot();
        return BN_OK;
    }

    // A whole directory group at block k: main header, "HEAD" entry, free slots; slot 2 holds
    // `first` when given.
    static void FillGroup(unsigned char* raw, const T_BN_MAIN_HEAD& mh, i64 k, const T_BN_SUB_HEAD* first) {
        Encode(mh, raw);
        T_BN_SUB_HEAD head{};
        std::memcpy(head.szName, kHeadName, 4);
        head.nId = 1;
        head.nFirstRec = static_cast<int>(k + 1);
        head.nLastRec = static_cast<int>(k + kSubHeads);
        head.nRecLen = kBlockWords;
        Encode(head, raw + kHeadBytes);
        const T_BN_SUB_HEAD freeSlot = FreeSlot();
        for (int i = 2; i <= kSubHeads; ++i) Encode(i == 2 && first ? *first : freeSlot, raw + i * kHeadBytes);
    }

    static int CheckHeader(T& o, float& fVersion) {
        if (int st = SeekTo(o.m_pFile, 0)) return st;
        unsigned char raw[kHeadBytes];
        Encode(o.m_MainHead, raw);  // a short read leaves the rest of the buffer as it was
        const UINT got = o.m_pFile->Read(raw, kHeadBytes);
        Decode(raw, o.m_MainHead);
        fVersion = o.m_MainHead.fVersion;
        if (got < static_cast<UINT>(kHeadBytes)) return BN_ERR_READ;
        if (!SameName(o.m_MainHead.szHeadName, o.m_szHeadName)) return BN_ERR_FORMAT;
        if (o.m_MainHead.nSubHeadCount != kSubHeads) return BN_ERR_FORMAT;
        if (o.m_MainHead.fVersion > o.m_fVersion) return BN_ERR_NEWER;
        if (o.m_fVersion > o.m_MainHead.fVersion) return BN_ERR_OLDER;
        if (o.m_MainHead.nFileType != o.m_nFileType) return BN_ERR_FILE_TYPE;
        return BN_OK;
    }

    // Finds the data set (nm, id) of a valid name: 0 with s.slot on its slot, 4 when it is absent,
    // or the status of the scan's failure.
    static int FindDataSet(T& o, const Name4& nm, int id, ScanResult& s) {
        if (int st = Scan(o, nm.c, id, s)) return st;
        return s.end == ScanEnd::kMatch ? BN_OK : BN_ERR_NOT_FOUND;
    }

    static int Read(T& o, const char* pszName, int id, int& first, int& len, int& count) {
        first = len = count = 0;
        Name4 nm;
        if (!ValidName(pszName, nm)) return BN_ERR_ARGUMENT;
        ScanResult s;
        if (int st = FindDataSet(o, nm, id, s)) return st;
        const T_BN_SUB_HEAD& h = s.slot.sub;
        if (!SlotNumbersValid(h)) return BN_ERR_FORMAT;
        first = h.nFirstRec;
        len = h.nRecLen;
        count = h.nLastRec - h.nFirstRec + 1;
        return SeekTo(o.m_pFile, RecordRange(h).begin);
    }

    static int Write(T& o, const char* pszName, int id, int& first, int len, int count) {
        first = 0;
        Name4 nm;
        if (!ValidName(pszName, nm) || len < 1 || count < 0) return BN_ERR_ARGUMENT;
        const char* name = nm.c;
        std::vector<SlotRef> occupied;
        std::vector<GroupRef> groups;
        ScanResult s;
        s.occupied = &occupied;
        s.groups = &groups;
        if (int st = Scan(o, name, id, s)) return st;
        if (s.end == ScanEnd::kMatch) {
            const T_BN_SUB_HEAD& h = s.slot.sub;
            if (!SlotNumbersValid(h)) return BN_ERR_FORMAT;
            if (h.nRecLen != len) return BN_ERR_MISMATCH;
            if (static_cast<i64>(h.nLastRec) - h.nFirstRec + 1 != count) return BN_ERR_MISMATCH;
            first = h.nFirstRec;
            return SeekTo(o.m_pFile, RecordRange(h).begin);
        }

        // End of the records before the new ones (E x P words): the data set of the slot before
        // in the same group, or the group's own table.
        const i64 groupBlock = s.slot.mainBlock;
        const i64 prevEnd = s.havePrev ? s.prev.nLastRec : 0;
        const i64 prevLen = s.havePrev ? s.prev.nRecLen : 0;
        if (prevLen < 1 || prevEnd < 0 || prevEnd * prevLen > kInt32Max) return BN_ERR_FORMAT;
        const i64 w = prevEnd * prevLen;
        if (w < (groupBlock + kSubHeads) * kBlockWords) return BN_ERR_FORMAT;  // would land in the directory

        std::vector<Range> extents;
        if (int st = Extents(occupied, groups, extents)) return st;
        // A group after a free slot is not reached by scans but must not be written over.
        if (s.end == ScanEnd::kFree && s.group.head.nNextHead > groupBlock + kSubHeads)
            extents.push_back(GroupRange(s.group.head.nNextHead));

        i64 newGroup = 0;     // block of a new group's main header, 0 when a free slot is used
        i64 tableEnd = w;     // words up to the end of what precedes the new records
        if (s.end == ScanEnd::kChainEnd) {
            const i64 k = (w + kBlockWords - 1) / kBlockWords + 1;
            if ((k + kSubHeads) * kBlockWords > kInt32Max) return BN_ERR_FORMAT;
            newGroup = k;
            tableEnd = (k + kSubHeads) * kBlockWords;
        }
        const i64 q = (tableEnd + len - 1) / len;  // records of length len before the new ones
        if (q + count > kInt32Max || (q + count) * len > kInt32Max) return BN_ERR_ARGUMENT;
        const Range placed{w * W, (q + count) * len * W};
        for (const Range& r : extents)
            if (Overlap(placed, r)) return BN_ERR_FORMAT;

        T_BN_SUB_HEAD h{};
        std::memcpy(h.szName, name, 4);
        h.nId = id;
        h.nFirstRec = static_cast<int>(q + 1);
        h.nLastRec = static_cast<int>(q + count);
        h.nRecLen = len;

        if (newGroup == 0) {
            if (int st = ZeroFill(o, w, q * len)) return st;
            if (int st = WriteNewSlot(o, s.slot.Block(), h)) return st;
        } else {
            // The new group is written in full, records' gap included, before the last group
            // links to it: until the link lands the file reads as before.
            if (int st = ZeroFill(o, w, (newGroup - 1) * kBlockWords)) return st;
            T_BN_MAIN_HEAD mh = s.group.head;
            mh.nNextHead = 0;
            unsigned char raw[kGroupBytes];
            FillGroup(raw, mh, newGroup, &h);
            if (int st = SeekTo(o.m_pFile, BlockPos(newGroup))) return st;
            o.m_pFile->Write(raw, kGroupBytes);
            if (int st = ZeroFill(o, tableEnd, q * len)) return st;
            unsigned char link[4];
            PutI32(link, static_cast<std::int32_t>(newGroup));
            if (int st = SeekTo(o.m_pFile, BlockPos(groupBlock) + 16)) return st;
            o.m_pFile->Write(link, 4);
            o.m_MainHead = mh;
            o.m_SubHead = h;
        }
        first = h.nFirstRec;
        return SeekTo(o.m_pFile, q * len * W);
    }

    static int Modify(T& o, const char* pszName, int id, int count) {
        Name4 nm;
        if (!ValidName(pszName, nm) || count < 0) return BN_ERR_ARGUMENT;
        ScanResult s;
        if (int st = FindDataSet(o, nm, id, s)) return st;
        const SlotRef match = s.slot;
        T_BN_SUB_HEAD h = match.sub;
        if (!SlotNumbersValid(h)) return BN_ERR_FORMAT;
        const i64 newLast = static_cast<i64>(h.nFirstRec) + count - 1;
        if (newLast * h.nRecLen > kInt32Max) return BN_ERR_ARGUMENT;
        if (newLast > h.nLastRec) {
            if (int st = CheckGrowth(o, match, Range{RecordRange(h).end, newLast * h.nRecLen * W})) return st;
        }
        h.nLastRec = static_cast<int>(newLast);
        unsigned char raw[kHeadBytes];
        Encode(h, raw);
        if (int st = SeekTo(o.m_pFile, BlockPos(match.Block()))) return st;
        o.m_pFile->Write(raw, kHeadBytes);
        o.m_SubHead = h;
        return BN_OK;
    }

    // Growth of the data set in `match` over `grown`: it may not reach whatever the directory
    // places after it (the next slot's records, a deleted entry's records, a later group), nor any
    // other live extent. MODIFY_F moves no data, so such a growth would make two data sets (or a
    // data set and a directory) share bytes and the next write to either would destroy the other;
    // refusing it loses nothing. The last data set of the file may grow freely: the next WRITE_F
    // places its records after the grown end.
    static int CheckGrowth(T& o, const SlotRef& match, const Range& grown) {
        std::vector<SlotRef> occupied;
        std::vector<GroupRef> groups;
        ScanResult s;
        s.occupied = &occupied;
        s.groups = &groups;
        if (int st = Scan(o, nullptr, 0, s)) return st;
        std::vector<Range> extents;
        if (int st = Extents(occupied, groups, extents, &match)) return st;
        for (const Range& r : extents)
            if (Overlap(grown, r)) return BN_ERR_ARGUMENT;

        // The start of the next item in directory order: the next occupied slot of the same
        // group, else the next group's main header.
        i64 limit = -1;
        for (const SlotRef& r : occupied) {
            if (r.mainBlock != match.mainBlock || r.index <= match.index) continue;
            if (!SlotNumbersValid(r.sub)) return BN_ERR_FORMAT;
            limit = RecordRange(r.sub).begin;
            break;
        }
        if (limit < 0) {
            for (const GroupRef& g : groups) {
                if (g.mainBlock == match.mainBlock) {
                    if (g.head.nNextHead > g.mainBlock + kSubHeads) limit = BlockPos(g.head.nNextHead);
                    break;
                }
            }
        }
        if (limit >= 0 && grown.end > limit) return BN_ERR_ARGUMENT;
        return BN_OK;
    }

    static int Delete(T& o, const char* pszName, int id) {
        Name4 nm;
        if (!ValidName(pszName, nm)) return BN_ERR_ARGUMENT;
        ScanResult s;
        if (int st = FindDataSet(o, nm, id, s)) return st;
        const int i = s.slot.index;
        const i64 m = s.slot.mainBlock;
        // Only the data set placed last may free its slot: a free slot ends every scan, so
        // freeing any other would cut off the slots after it, and the next WRITE_F would place
        // records over theirs. Any other data set becomes a "HEAD" entry, which no name matches
        // and every reader passes over, so later slots stay reachable and its space stays taken.
        bool last;
        if (i < kSubHeads) {
            T_BN_SUB_HEAD next{};
            last = s.got >= static_cast<unsigned>((i + 2) * kHeadBytes);
            if (last) {
                Decode(s.raw + (i + 1) * kHeadBytes, next);
                last = IsFree(next);
            }
        } else {
            last = s.group.head.nNextHead == 0;
        }
        if (!last) {
            if (int st = SeekTo(o.m_pFile, BlockPos(s.slot.Block()))) return st;
            o.m_pFile->Write(kHeadName, 4);
            o.m_SubHead = s.slot.sub;
            std::memcpy(o.m_SubHead.szName, kHeadName, 4);
            return BN_OK;
        }
        if (int st = WriteFreeSlot(o, s.slot.Block())) return st;
        // Deleted entries just before it are free space now too; freed from the back so the
        // directory stays consistent after every single write.
        for (int j = i - 1; j >= 2; --j) {
            T_BN_SUB_HEAD h{};
            Decode(s.raw + j * kHeadBytes, h);
            if (!IsHeadEntry(h)) break;
            if (int st = WriteFreeSlot(o, m + j)) return st;
        }
        return BN_OK;
    }

    // The protected single-header steps: header block `block` (from 1) of blockLenBytes bytes,
    // read into or written from the object's last main header or sub-header.
    static int ReadMainStep(T& o, int block, int blockLenBytes) {
        if (int st = ReadHead(o, o.m_MainHead, block, blockLenBytes)) return st;
        return ValidateMain(o);
    }
    static int WriteMainStep(T& o, int block, int blockLenBytes) {
        return WriteHead(o, o.m_MainHead, block, blockLenBytes);
    }
    static int ReadSubStep(T& o, int block, int blockLenBytes) {
        return ReadHead(o, o.m_SubHead, block, blockLenBytes);
    }
    static int WriteSubStep(T& o, int block, int blockLenBytes) {
        return WriteHead(o, o.m_SubHead, block, blockLenBytes);
    }
    // The buffer starts as the header's own encoding, so none of it is undefined; a short read
    // returns before decoding and leaves the header unchanged.
    template <class Head>
    static int ReadHead(T& o, Head& h, int block, int blockLenBytes) {
        if (int st = SeekTo(o.m_pFile, (static_cast<i64>(block) - 1) * blockLenBytes)) return st;
        unsigned char raw[kHeadBytes];
        Encode(h, raw);
        if (o.m_pFile->Read(raw, kHeadBytes) < static_cast<UINT>(kHeadBytes)) return BN_ERR_READ;
        Decode(raw, h);
        return BN_OK;
    }
    template <class Head>
    static int WriteHead(T& o, const Head& h, int block, int blockLenBytes) {
        if (int st = SeekTo(o.m_pFile, (static_cast<i64>(block) - 1) * blockLenBytes)) return st;
        unsigned char raw[kHeadBytes];
        Encode(h, raw);
        o.m_pFile->Write(raw, kHeadBytes);
        return BN_OK;
    }
};

// The message of a status code.
const wchar_t* StatusMessage(int nStatus);

}  // namespace gorv::datafile_detail
