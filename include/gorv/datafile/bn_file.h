// CBnFile: named data sets of fixed-length records in one binary file, behind a chain of
// directory groups of 20-byte headers (the layout is documented in src/datafile/bn_format.h).
// Every operation returns a status code 0..10 (GetErrorMessage gives its text); a failed write
// throws the platform's CFileException, which passes through unchanged. A name argument is its
// first 4 bytes, compared raw; a shorter string counts up to its terminator, padded with NUL bytes.
#pragma once

#include <gorv/platform/afx_file.h>
#include <gorv/platform/afx_string.h>
#include <gorv/platform/afx_types.h>
#include <gorv/platform/gorv_export.h>

#if !defined(_MSC_VER)
// The 64-bit integer name that host code passes to SeekBN and GetRdfp (the same type as LONGLONG).
typedef long long __int64;
#endif

// Status codes of the record file operations.
enum : int {
    BN_OK = 0,              // success
    BN_ERR_DATA_TYPE = 1,   // never returned by the record file classes
    BN_ERR_READ = 2,        // a seek missed its position, or a header read came up short
    BN_ERR_NEWER = 3,       // CHKHED_F: the file's version is greater than the object's
    BN_ERR_NOT_FOUND = 4,   // no data set with that name and id
    BN_ERR_MISMATCH = 5,    // WRITE_F: the data set exists with another record length or count
    BN_ERR_ARGUMENT = 6,    // invalid argument, or a change the file's layout cannot take
    BN_ERR_FORMAT = 7,      // head name or sub-header count differs, or a damaged directory
    BN_ERR_FILE_TYPE = 8,   // a main header's file type differs
    BN_ERR_OLDER = 9,       // CHKHED_F: the file's version is smaller than the object's
    BN_ERR_DATA = 10        // never returned by the record file classes
};

// Main header of a directory group, as held in memory (the file holds it little-endian).
struct T_BN_MAIN_HEAD {
    char szHeadName[4];  // head name, 4 raw bytes, no terminator
    int nFileType;       // file type
    float fVersion;      // file version
    int nSubHeadCount;   // sub-headers in this group, always 20
    int nNextHead;       // header block number of the next group's main header; 0 in the last group
};

// Sub-header: one slot of a directory group.
struct T_BN_SUB_HEAD {
    char szName[4];  // data-set name; "    " marks a free slot, "HEAD" the group's own table
    int nId;         // data-set id
    int nFirstRec;   // first record number, counted in this data set's record length from byte 0
    int nLastRec;    // last record number, inclusive (count = last - first + 1)
    int nRecLen;     // record length in words
};

namespace gorv::datafile_detail {
template <class T>
struct BnEngine;
}  // namespace gorv::datafile_detail

class GORV_API CBnFile {
public:
    // Word size in bytes: header blocks are 5 words, record r of length L starts at byte (r-1)*L*4.
    static const int m_MULT_LNG_R;

    // No file, type 0, head name "NONE", version 0.0, 20 sub-headers a group, blocks of 5 words.
    CBnFile();
    CBnFile(const CBnFile&) = default;             // copies every field, the file pointer too
    CBnFile& operator=(const CBnFile&) = default;
    virtual ~CBnFile();                            // neither closes nor deletes the file

    // Binds the object to an open file (not owned) and stores the head name (first 4 bytes),
    // file type and version that CREATE_F writes and the other operations expect. No file access.
    void INIT_F(CFile* pFile, const char* pszHeadName, int nFileType, float fVersion);

    // Writes an empty directory at byte 0: the main header, the "HEAD" sub-header (id 1, records
    // 2 to 21, length 5) and 19 free slots, 420 bytes. Nothing beyond is touched or truncated.
    int CREATE_F();
    // Reads the main header at byte 0 and hands out its version (also after a short read).
    // Returns 2 (short), 7 (head name or sub-header count), 3 (file newer), 9 (file older),
    // 8 (file type), in that order, else 0.
    int CHKHED_F(float& fVersion);
    // Finds the data set and positions the file at its first record. The outputs are 0 unless it
    // is found: first record, record length in words, record count. Returns 6 for the names
    // "    " and "HEAD", 4 when absent, 7 when its header holds impossible numbers.
    int READ_F(const char* pszName, int nId, int& nFirstRec, int& nRecLen, int& nRecCount);
    // Finds the data set or creates it in the first free slot (appending a directory group when
    // every slot is taken), then positions the file at its first record. An existing data set
    // must have the same length and count (else 5). New records start after the data set of the
    // slot before, rounded up to a record boundary; the gap is zero-filled. Returns 6 for a bad
    // name, length < 1, count < 0 or a count whose record numbers would not fit 32 bits; 7 when
    // the directory is damaged or the new records would land on headers or live records.
    int WRITE_F(const char* pszName, int nId, int& nFirstRec, int nRecLen, int nRecCount);
    // Sets the record count (last = first + count - 1); no data moves. A growth that would reach
    // the next data set's records or a later directory group is refused with 6; the last data
    // set of the file may grow freely.
    int MODIFY_F(const char* pszName, int nId, int nRecCount);
    // Removes the data set from the directory; its records stay in the file. The most recently
    // placed data set frees its slot (and its space is reused by the next WRITE_F); any other
    // becomes a "HEAD" entry that no name can match, so the slots after it stay reachable.
    int DELETE_F(const char* pszName, int nId);

    // Positions the file at byte (record - 1) * record length; 1 when that byte was reached.
    int SeekBN(LONGLONG llRecord, LONGLONG llRecLenBytes);
    static int SeekBN(CFile* pFile, LONGLONG llRecord, LONGLONG llRecLenBytes);

    // The message of a status code; any code outside 0..10 gives the "unknown error" text.
    static void GetErrorMessage(int nStatus, CString& strMessage);

    CFile* GetFile() { return m_pFile; }
    void SET_T2F_READ(int) {}

protected:
    // Header steps on header block nBlock (counted from 1), nBlockLenBytes bytes a block. Each
    // returns 0, or 2 when the position is missed or fewer than 20 bytes were read.
    // ReadMainHead also validates: head name 7, file type 8, sub-header count 7.
    int ReadMainHead(int nBlock, int nBlockLenBytes);
    int WriteMainHead(int nBlock, int nBlockLenBytes);
    int ReadSubHead(int nBlock, int nBlockLenBytes);
    int WriteSubHead(int nBlock, int nBlockLenBytes);

    CFile* m_pFile;             // the open file, not owned
    int m_nFileType;            // expected and written file type
    char m_szReserveName[4];    // "HEAD": name of each group's own sub-header entry
    char m_szHeadName[4];       // expected and written head name
    float m_fVersion;           // expected and written version
    int m_nSubHeadCount;        // sub-headers per group (20)
    int m_nBlockLen;            // header block length in words (5)
    T_BN_MAIN_HEAD m_MainHead;  // last main header read or written
    T_BN_SUB_HEAD m_SubHead;    // last sub-header read or written

private:
    template <class T>
    friend struct gorv::datafile_detail::BnEngine;
};
