// CFile over POSIX with injected faults, and the extension-module registry.
#include <gtest/gtest.h>

#include <gorv/gorv_base.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace {

// A path under the test's temporary directory, removed when the test ends.
struct TempPath {
    explicit TempPath(const char* tag) : utf8(::testing::TempDir() + "gorv_file_" + tag + "_" + std::to_string(::getpid())) {}
    ~TempPath() { std::remove(utf8.c_str()); }
    std::wstring w() const { return CString::FromUtf8(utf8).str(); }
    std::string utf8;
};

int g_writesLeft = 0;
long failing_write(int fd, const void* buf, unsigned long n) {
    if (g_writesLeft-- <= 0) {
        errno = ENOSPC;
        return -1;
    }
    return GorvPosixFileOps().write(fd, buf, n);
}

}  // namespace

TEST(CFilePosix, WriteSeekReadAndLength) {
    TempPath path("rw");
    CFile f;
    ASSERT_TRUE(f.Open(path.w().c_str(), CFile::modeCreate | CFile::modeReadWrite));
    EXPECT_GE(f.m_hFile, 0);
    const char data[] = "0123456789";
    f.Write(data, 10);
    EXPECT_EQ(f.GetLength(), 10u);
    EXPECT_EQ(f.Seek(-4, CFile::end), 6u);
    char buf[16] = {};
    EXPECT_EQ(f.Read(buf, sizeof buf), 4u);  // short read at the end of the file
    EXPECT_STREQ(buf, "6789");
    EXPECT_EQ(f.Read(buf, 4), 0u);
    f.SetLength(3);
    EXPECT_EQ(f.GetLength(), 3u);
    EXPECT_THROW(f.Seek(-100, CFile::begin), CFileException);
    f.Close();
    f.Close();  // closing twice is harmless
    EXPECT_THROW(f.Write(data, 1), CFileException);
}

TEST(CFilePosix, OpenFailuresReportCauseAndFailedWriteThrows) {
    CFile f;
    CFileException e;
    EXPECT_FALSE(f.Open(L"/nonexistent-dir/x.bin", CFile::modeRead, &e));
    EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
    EXPECT_FALSE(f.Open(L"", CFile::modeRead, &e));
    EXPECT_THROW(CFile(L"/nonexistent-dir/x.bin", CFile::modeRead), CFileException);

    TempPath path("fault");
    GorvFileOps ops = GorvPosixFileOps();
    ops.write = failing_write;
    ASSERT_TRUE(f.Open(path.w().c_str(), CFile::modeCreate | CFile::modeWrite));
    GorvSetFileOps(&ops);
    g_writesLeft = 1;
    f.Write("ab", 2);  // first write passes
    try {
        f.Write("cd", 2);
        ADD_FAILURE() << "second write should throw";
    } catch (const CFileException& ex) {
        EXPECT_EQ(ex.m_cause, CFileException::diskFull);
        EXPECT_EQ(ex.m_lOsError, ENOSPC);
    }
    GorvSetFileOps(nullptr);
    EXPECT_EQ(f.GetLength(), 2u);  // nothing of the failed write landed
}

// (A refused initialisation that creates no entry is checked by the frame tests.)
TEST(ExtensionModule, TermRemovesOnlyItsOwnModulesEntries) {
    AFX_EXTENSION_MODULE mod = {};
    AFX_EXTENSION_MODULE other = {};
    int base = AfxGetDynLinkLibraryCount();
    int handle = 0;
    ASSERT_TRUE(AfxInitExtensionModule(mod, &handle));
    ASSERT_TRUE(AfxInitExtensionModule(other, &base));
    new CDynLinkLibrary(mod, FALSE);
    new CDynLinkLibrary(other, FALSE);
    EXPECT_EQ(AfxGetDynLinkLibraryCount(), base + 2);
    EXPECT_EQ(AfxGetDynLinkLibraryModule(base), static_cast<HINSTANCE>(&handle));
    AfxTermExtensionModule(mod);
    EXPECT_EQ(AfxGetDynLinkLibraryCount(), base + 1);  // only this module's entry went
    EXPECT_EQ(AfxGetDynLinkLibraryModule(base), static_cast<HINSTANCE>(&base));
    EXPECT_FALSE(mod.bInitialized);
    AfxTermExtensionModule(other);
    EXPECT_EQ(AfxGetDynLinkLibraryModule(-1), nullptr);
}
