// CFile: a binary file over the operating system's file descriptors. Reads return the count read,
// a failed write throws CFileException, and m_hFile is the OS handle (a file descriptor).
#pragma once

#include <gorv/platform/afx_except.h>
#include <gorv/platform/afx_string.h>
#include <gorv/platform/afx_types.h>
#include <gorv/platform/gorv_export.h>

class GORV_API CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000
    };
    enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };
    static const int hFileNull = -1;

    CFile() = default;
    // Opens the file and throws CFileException when that fails.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    virtual ~CFile();

    // Opens the file; on failure returns FALSE and, when pError is given, fills it.
    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // Reads up to nCount bytes; returns the count read (0 at the end of the file).
    // A read error throws CFileException.
    virtual UINT Read(void* lpBuf, UINT nCount);
    // Writes nCount bytes or throws CFileException (a short write counts as a failure).
    virtual void Write(const void* lpBuf, UINT nCount);
    // Moves the file pointer; returns the new position. A bad seek throws CFileException.
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    void SeekToBegin() { Seek(0, begin); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual void Flush();
    // Closes the file; a failure to close throws CFileException.
    virtual void Close();
    // Closes the file, ignoring any failure.
    virtual void Abort();
    CString GetFilePath() const { return m_strFileName; }

    int m_hFile = hFileNull;  // OS file descriptor, hFileNull when closed

private:
    CString m_strFileName;
};

// The system calls beneath CFile, gathered in one table so a test can make any of them fail
// (e.g. the n-th write). Each entry has the POSIX signature and errno convention.
struct GorvFileOps {
    int (*open)(const char* path, int flags, unsigned mode);
    long (*read)(int fd, void* buf, unsigned long n);
    long (*write)(int fd, const void* buf, unsigned long n);
    long long (*lseek)(int fd, long long off, int whence);
    int (*ftruncate)(int fd, long long len);
    int (*fsync)(int fd);
    int (*close)(int fd);
    int (*fstat_size)(int fd, long long* size);
};

// The table in use (the POSIX one unless a test replaced it).
GORV_API const GorvFileOps& GorvGetFileOps();
// Replaces the table; null restores the POSIX one. Returns the previous table.
GORV_API const GorvFileOps* GorvSetFileOps(const GorvFileOps* ops);
// The POSIX table, for a test's wrappers to delegate to.
GORV_API const GorvFileOps& GorvPosixFileOps();
