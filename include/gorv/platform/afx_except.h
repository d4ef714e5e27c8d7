// The exception family of the platform layer. Exceptions are thrown by value (not by pointer as on
// the original runtime) so a caller's catch never has to free anything: catch by reference.
#pragma once

#include <exception>
#include <string>

#include <gorv/platform/gorv_export.h>

class GORV_API CException : public std::exception {
public:
    explicit CException(std::string what = "platform exception") : m_strWhat(std::move(what)) {}
    ~CException() override;
    const char* what() const noexcept override { return m_strWhat.c_str(); }

private:
    std::string m_strWhat;
};

// Index or argument out of range (array and map access).
class GORV_API CInvalidArgException : public CException {
public:
    explicit CInvalidArgException(std::string what = "invalid argument") : CException(std::move(what)) {}
    ~CInvalidArgException() override;
};

// Allocation failure.
class GORV_API CMemoryException : public CException {
public:
    explicit CMemoryException(std::string what = "out of memory") : CException(std::move(what)) {}
    ~CMemoryException() override;
};

// File operation failure; m_cause is one of the cause codes below, m_lOsError the errno value.
class GORV_API CFileException : public CException {
public:
    enum {
        none = 0,
        genericException = 1,
        fileNotFound = 2,
        badPath = 3,
        tooManyOpenFiles = 4,
        accessDenied = 5,
        invalidFile = 6,
        removeCurrentDir = 7,
        directoryFull = 8,
        badSeek = 9,
        hardIO = 10,
        sharingViolation = 11,
        lockViolation = 12,
        diskFull = 13,
        endOfFile = 14
    };
    CFileException(int cause = none, long osError = -1, std::wstring fileName = std::wstring());
    ~CFileException() override;

    int m_cause;
    long m_lOsError;
    std::wstring m_strFileName;
};

// Serialisation failure.
class GORV_API CArchiveException : public CException {
public:
    enum { none = 0, genericException = 1, readOnly = 2, endOfFile = 3, writeOnly = 4, badIndex = 5,
           badClass = 6, badSchema = 7 };
    explicit CArchiveException(int cause = none) : CException("archive exception"), m_cause(cause) {}
    ~CArchiveException() override;

    int m_cause;
};
