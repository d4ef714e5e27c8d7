// Out-of-line destructors anchor the exception classes' type information in the library, so a
// host catches them by type across the shared-library boundary.
#include <gorv/platform/afx_except.h>

CException::~CException() = default;
CInvalidArgException::~CInvalidArgException() = default;
CMemoryException::~CMemoryException() = default;
CArchiveException::~CArchiveException() = default;

CFileException::CFileException(int cause, long osError, std::wstring fileName)
    : CException("file exception"), m_cause(cause), m_lOsError(osError), m_strFileName(std::move(fileName)) {}
CFileException::~CFileException() = default;
