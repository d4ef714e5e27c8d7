// The binary record file format and its explicit little-endian codec. Nothing here copies a
// struct to or from the file: every field is encoded byte by byte.
//
// Units: a word is 4 bytes; a header block is 5 words (20 bytes) and block b (from 1) starts at
// byte (b-1)*20; record r (from 1) of a data set of record length L words starts at byte
// (r-1)*L*4, so each data set counts its records from the start of the file in its own unit.
// All integers are int32 little-endian, the version an IEEE float32 little-endian, and names are
// 4 raw bytes compared as one 32-bit value.
//
// Main header (one per directory group, at a header block):
//   OFFSET  SIZE  DESCRIPTION
//        0     4  head name
//        4     4  file type (int32)
//        8     4  version (float32)
//       12     4  number of sub-headers in the group (int32), always 20
//       16     4  header block number of the next group's main header (int32); 0 in the last
//
// Sub-header (one slot, at the header block after the main header's block + slot - 1):
//   OFFSET  SIZE  DESCRIPTION
//        0     4  data-set name; "    " free slot; "HEAD" a group's own table (slot 1) or,
//                 in a later slot, a data set deleted while later slots were in use
//        4     4  id (int32)
//        8     4  first record number (int32, in this data set's record length)
//       12     4  last record number (int32, inclusive; count = last - first + 1)
//       16     4  record length in words (int32)
//   A free slot is "    " and four zero integers.
//
// File:
//   OFFSET  SIZE  DESCRIPTION
//        0    20  block 1: main header of group 1
//       20   400  blocks 2..21: 20 sub-headers of group 1; slot 1 is "HEAD" id 1, records
//                 2..21, length 5 (it covers blocks 2..21)
//      420     -  records of the data sets, each contiguous, in the order their slots were
//                 created; a gap made by rounding a start up to a record boundary is zero
//   A further group, appended when every slot is taken, has its main header at the first block
//   boundary at or after the end of the last data set (block k), its table at blocks k+1..k+20
//   ("HEAD" id 1, records k+1..k+20, length 5), and the group before it names k in its next field.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>

#include <gorv/datafile/bn_file.h>

namespace gorv::datafile_detail {

static_assert(std::numeric_limits<float>::is_iec559 && sizeof(float) == 4, "float must be IEEE binary32");

constexpr int kHeadBytes = 20;       // one main header or sub-header
constexpr int kSubHeads = 20;        // slots per directory group
constexpr int kBlockWords = 5;       // header block length in words
constexpr int kGroupBytes = kHeadBytes * (kSubHeads + 1);  // main header and its table, 420
constexpr char kFreeName[4] = {' ', ' ', ' ', ' '};
constexpr char kHeadName[4] = {'H', 'E', 'A', 'D'};

inline void PutU32(unsigned char* p, std::uint32_t u) {
    p[0] = static_cast<unsigned char>(u);
    p[1] = static_cast<unsigned char>(u >> 8);
    p[2] = static_cast<unsigned char>(u >> 16);
    p[3] = static_cast<unsigned char>(u >> 24);
}
inline std::uint32_t GetU32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
inline void PutI32(unsigned char* p, std::int32_t v) { PutU32(p, static_cast<std::uint32_t>(v)); }
inline std::int32_t GetI32(const unsigned char* p) {
    const std::uint32_t u = GetU32(p);
    std::int32_t v;
    std::memcpy(&v, &u, 4);
    return v;
}
inline void PutF32(unsigned char* p, float f) {
    std::uint32_t u;
    std::memcpy(&u, &f, 4);
    PutU32(p, u);
}
inline float GetF32(const unsigned char* p) {
    const std::uint32_t u = GetU32(p);
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}

// Both header kinds are 4 name bytes and four 32-bit fields at offsets 4, 8, 12 and 16. Each
// kind's field list is written once and serves both directions (HeadWriter encodes, HeadReader
// decodes), so the encoder and the decoder cannot disagree on an offset.
struct HeadWriter {
    unsigned char* p;
    void Name(const char (&n)[4]) const { std::memcpy(p, n, 4); }
    void Field(int at, std::int32_t v) const { PutI32(p + at, v); }
    void Field(int at, float f) const { PutF32(p + at, f); }
};
struct HeadReader {
    const unsigned char* p;
    void Name(char (&n)[4]) const { std::memcpy(n, p, 4); }
    void Field(int at, std::int32_t& v) const { v = GetI32(p + at); }
    void Field(int at, float& f) const { f = GetF32(p + at); }
};
template <class Head, class Io>  // Head: T_BN_MAIN_HEAD, const for a HeadWriter
void MainFields(Head& h, const Io& io) {
    io.Name(h.szHeadName);
    io.Field(4, h.nFileType);
    io.Field(8, h.fVersion);
    io.Field(12, h.nSubHeadCount);
    io.Field(16, h.nNextHead);
}
template <class Head, class Io>  // Head: T_BN_SUB_HEAD, const for a HeadWriter
void SubFields(Head& h, const Io& io) {
    io.Name(h.szName);
    io.Field(4, h.nId);
    io.Field(8, h.nFirstRec);
    io.Field(12, h.nLastRec);
    io.Field(16, h.nRecLen);
}

// The 20 bytes at p of a main header or a sub-header.
inline void Encode(const T_BN_MAIN_HEAD& h, unsigned char* p) { MainFields(h, HeadWriter{p}); }
inline void Decode(const unsigned char* p, T_BN_MAIN_HEAD& h) { MainFields(h, HeadReader{p}); }
inline void Encode(const T_BN_SUB_HEAD& h, unsigned char* p) { SubFields(h, HeadWriter{p}); }
inline void Decode(const unsigned char* p, T_BN_SUB_HEAD& h) { SubFields(h, HeadReader{p}); }

// A caller's name: its first 4 bytes, read no further than a terminating NUL (the rest are then
// NUL), so a short string is never read past its end.
struct Name4 {
    char c[4];
};
inline Name4 LoadName(const char* p) {
    Name4 n{};
    for (int i = 0; i < 4 && p[i] != '\0'; ++i) n.c[i] = p[i];
    return n;
}

inline bool SameName(const char* a, const char* b) { return std::memcmp(a, b, 4) == 0; }
inline bool IsFree(const T_BN_SUB_HEAD& h) { return SameName(h.szName, kFreeName); }
inline bool IsHeadEntry(const T_BN_SUB_HEAD& h) { return SameName(h.szName, kHeadName); }

inline T_BN_SUB_HEAD FreeSlot() {
    T_BN_SUB_HEAD h{};
    std::memcpy(h.szName, kFreeName, 4);
    return h;
}

// A data set's numbers are usable when its length is positive, its first record is 1 or more,
// its count is not negative and its last word still has a 32-bit word number.
inline bool SlotNumbersValid(const T_BN_SUB_HEAD& h) {
    if (h.nRecLen < 1 || h.nFirstRec < 1) return false;
    if (static_cast<std::int64_t>(h.nLastRec) < static_cast<std::int64_t>(h.nFirstRec) - 1) return false;
    return static_cast<std::int64_t>(h.nLastRec) * h.nRecLen <= std::numeric_limits<std::int32_t>::max();
}

}  // namespace gorv::datafile_detail
