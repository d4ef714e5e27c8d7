// CFile over POSIX file descriptors. Every system call goes through the GorvFileOps table so a
// test can inject failures; this is the only file of the library that includes the OS headers.
#include <gorv/platform/afx_file.h>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int posix_open(const char* path, int flags, unsigned mode) { return ::open(path, flags, static_cast<mode_t>(mode)); }
long posix_read(int fd, void* buf, unsigned long n) { return static_cast<long>(::read(fd, buf, n)); }
long posix_write(int fd, const void* buf, unsigned long n) { return static_cast<long>(::write(fd, buf, n)); }
long long posix_lseek(int fd, long long off, int whence) { return static_cast<long long>(::lseek(fd, static_cast<off_t>(off), whence)); }
int posix_ftruncate(int fd, long long len) { return ::ftruncate(fd, static_cast<off_t>(len)); }
int posix_fsync(int fd) { return ::fsync(fd); }
int posix_close(int fd) { return ::close(fd); }
int posix_fstat_size(int fd, long long* size) {
    struct stat st;
    if (::fstat(fd, &st) != 0) return -1;
    *size = static_cast<long long>(st.st_size);
    return 0;
}

const GorvFileOps kPosixOps = {posix_open,      posix_read,  posix_write, posix_lseek,
                               posix_ftruncate, posix_fsync, posix_close, posix_fstat_size};
const GorvFileOps* g_ops = &kPosixOps;

int cause_from_errno(int e) {
    switch (e) {
    case ENOENT: return CFileException::fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG: return CFileException::badPath;
    case EMFILE:
    case ENFILE: return CFileException::tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return CFileException::accessDenied;
    case EBADF: return CFileException::invalidFile;
    case ESPIPE:
    case EINVAL: return CFileException::badSeek;
    case EIO: return CFileException::hardIO;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return CFileException::diskFull;
    default: return CFileException::genericException;
    }
}

[[noreturn]] void throw_file(int cause, int err, const CString& name) {
    throw CFileException(cause, err, name.str());
}

}  // namespace

const GorvFileOps& GorvGetFileOps() { return *g_ops; }
const GorvFileOps& GorvPosixFileOps() { return kPosixOps; }
const GorvFileOps* GorvSetFileOps(const GorvFileOps* ops) {
    const GorvFileOps* old = g_ops;
    g_ops = ops ? ops : &kPosixOps;
    return old;
}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) {
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e)) throw e;
}

CFile::~CFile() {
    if (m_hFile != hFileNull) Abort();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    if (m_hFile != hFileNull) Abort();
    m_strFileName = lpszFileName ? lpszFileName : L"";
    if (m_strFileName.IsEmpty()) {
        if (pError) *pError = CFileException(CFileException::badPath, ENOENT, m_strFileName.str());
        return FALSE;
    }
    int flags = O_CLOEXEC;
    switch (nOpenFlags & 3u) {
    case modeWrite: flags |= O_WRONLY; break;
    case modeReadWrite: flags |= O_RDWR; break;
    default: flags |= O_RDONLY; break;
    }
    if (nOpenFlags & modeCreate) {
        flags |= O_CREAT;
        if (!(nOpenFlags & modeNoTruncate)) flags |= O_TRUNC;
    }
    std::string path = m_strFileName.ToUtf8();
    int fd;
    do {
        fd = GorvGetFileOps().open(path.c_str(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        int err = errno;
        if (pError) *pError = CFileException(cause_from_errno(err), err, m_strFileName.str());
        return FALSE;
    }
    m_hFile = fd;
    return TRUE;
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
    if (nCount == 0) return 0;
    if (m_hFile == hFileNull || lpBuf == nullptr) throw_file(CFileException::invalidFile, EBADF, m_strFileName);
    unsigned char* p = static_cast<unsigned char*>(lpBuf);
    UINT total = 0;
    while (total < nCount) {
        long n = GorvGetFileOps().read(m_hFile, p + total, nCount - total);
        if (n < 0) {
            if (errno == EINTR) continue;
            int err = errno;
            throw_file(cause_from_errno(err), err, m_strFileName);
        }
        if (n == 0) break;
        total += static_cast<UINT>(n);
    }
    return total;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
    if (nCount == 0) return;
    if (m_hFile == hFileNull || lpBuf == nullptr) throw_file(CFileException::invalidFile, EBADF, m_strFileName);
    const unsigned char* p = static_cast<const unsigned char*>(lpBuf);
    UINT total = 0;
    while (total < nCount) {
        long n = GorvGetFileOps().write(m_hFile, p + total, nCount - total);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            int err = n < 0 ? errno : ENOSPC;
            throw_file(cause_from_errno(err), err, m_strFileName);
        }
        total += static_cast<UINT>(n);
    }
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
    if (m_hFile == hFileNull) throw_file(CFileException::invalidFile, EBADF, m_strFileName);
    int whence = nFrom == current ? SEEK_CUR : (nFrom == end ? SEEK_END : SEEK_SET);
    long long pos = GorvGetFileOps().lseek(m_hFile, lOff, whence);
    if (pos < 0) {
        int err = errno;
        throw_file(CFileException::badSeek, err, m_strFileName);
    }
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetPosition() const {
    if (m_hFile == hFileNull) throw_file(CFileException::invalidFile, EBADF, m_strFileName);
    long long pos = GorvGetFileOps().lseek(m_hFile, 0, SEEK_CUR);
    if (pos < 0) {
        int err = errno;
        throw_file(CFileException::badSeek, err, m_strFileName);
    }
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetLength() const {
    if (m_hFile == hFileNull) throw_file(CFileException::invalidFile, EBADF, m_strFileName);
    long long size = 0;
    if (GorvGetFileOps().fstat_size(m_hFile, &size) != 0) {
        int err = errno;
        throw_file(cause_from_errno(err), err, m_strFileName);
    }
    return static_cast<ULONGLONG>(size);
}

void CFile::SetLength(ULONGLONG dwNewLen) {
    if (m_hFile == hFileNull) throw_file(CFileException::invalidFile, EBADF, m_strFileName);
    if (dwNewLen > static_cast<ULONGLONG>(LLONG_MAX) ||
        GorvGetFileOps().ftruncate(m_hFile, static_cast<long long>(dwNewLen)) != 0) {
        int err = errno;
        throw_file(cause_from_errno(err), err, m_strFileName);
    }
}

void CFile::Flush() {
    if (m_hFile == hFileNull) return;
    if (GorvGetFileOps().fsync(m_hFile) != 0 && errno != EINVAL) {
        int err = errno;
        throw_file(cause_from_errno(err), err, m_strFileName);
    }
}

void CFile::Close() {
    if (m_hFile == hFileNull) return;
    int fd = m_hFile;
    m_hFile = hFileNull;
    if (GorvGetFileOps().close(fd) != 0) {
        int err = errno;
        throw_file(cause_from_errno(err), err, m_strFileName);
    }
}

void CFile::Abort() {
    if (m_hFile == hFileNull) return;
    GorvGetFileOps().close(m_hFile);
    m_hFile = hFileNull;
}
