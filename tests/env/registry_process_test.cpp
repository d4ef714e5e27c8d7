// Several processes on one store: concurrent writers, a writer killed in the middle of its run,
// and a child that forks while its parent holds a transaction.
#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <vector>

#include <gorv/gorv_base.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/temp_registry.h"

namespace {

const wchar_t* const kLoad = L"HKEY_CURRENT_USER\\Software\\Load";

std::wstring Name(int writer, int i) { return L"W" + std::to_wstring(writer) + L"-" + std::to_wstring(i); }

int CountValues(const wchar_t* path) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path, 0, KEY_READ, &h) != ERROR_SUCCESS) return -1;
    int n = 0;
    wchar_t name[64];
    for (DWORD cch = 64; RegEnumValueW(h, DWORD(n), name, &cch, 0, 0, 0, 0) == ERROR_SUCCESS; cch = 64) ++n;
    RegCloseKey(h);
    return n;
}

TEST(RegistryProcesses, EightWritersAtOnceLoseNothing) {
    regtest::TempRegistry store;  // the file does not exist yet: the writers also race to make it
    constexpr int kWriters = 8, kValues = 500;
    int gate[2];
    ASSERT_EQ(::pipe(gate), 0);
    std::vector<pid_t> pids;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(gate[1]);
            char c;
            if (::read(gate[0], &c, 1) != 0) _exit(100);  // start together when the gate closes
            int failed = 0;
            for (int i = 0; i < kValues; ++i) {
                if (CRegistry::WriteProfileInt(kLoad, Name(w, i).c_str(), w * 10000 + i) != 1) ++failed;
            }
            _exit(failed > 99 ? 99 : failed);
        }
        pids.push_back(pid);
    }
    ::close(gate[0]);
    ::close(gate[1]);
    for (pid_t pid : pids) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "failed writes of one writer";
    }
    EXPECT_EQ(CountValues(L"Software\\Load"), kWriters * kValues);
    for (int w = 0; w < kWriters; ++w) {
        for (int i = 0; i < kValues; ++i) {
            int v = -1;
            ASSERT_EQ(CRegistry::GetProfileIntW(kLoad, Name(w, i).c_str(), v), 1) << w << " " << i;
            ASSERT_EQ(v, w * 10000 + i);
        }
    }
}

TEST(RegistryProcesses, KilledWriterKeepsEveryCommittedWrite) {
    regtest::TempRegistry store;
    ASSERT_EQ(CRegistry::WriteProfileInt(kLoad, L"before", 1), 1);
    int report[2];
    ASSERT_EQ(::pipe(report), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::close(report[0]);
        for (int i = 0;; ++i) {
            // A long text makes each transaction write several pages, so the kill lands mid-write.
            const std::wstring text(300 + i % 700, static_cast<wchar_t>(L'a' + i % 26));
            if (CRegistry::WriteProfileStringW(kLoad, Name(0, i).c_str(), text.c_str()) != 1) _exit(1);
            if (::write(report[1], &i, sizeof i) != sizeof i) _exit(2);
        }
    }
    ::close(report[1]);
    int last = -1, reports = 0, i = 0;
    while (reports < 400 && ::read(report[0], &i, sizeof i) == sizeof i) {
        last = i;
        ++reports;
    }
    ::kill(pid, SIGKILL);
    while (::read(report[0], &i, sizeof i) == sizeof i) last = i;  // reports sent before it died
    ::close(report[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped before the kill";
    ASSERT_GE(last, 0);

    for (int k = 0; k <= last; ++k) {
        CString text;
        ASSERT_EQ(CRegistry::GetProfileStringW(kLoad, Name(0, k).c_str(), text), 1) << k;
        ASSERT_EQ(text, CString(std::wstring(300 + k % 700, static_cast<wchar_t>(L'a' + k % 26))));
    }
    // The store is neither locked nor damaged: the next writer goes on.
    EXPECT_EQ(CRegistry::WriteProfileInt(kLoad, L"after", 2), 1);
    int v = 0;
    EXPECT_EQ(CRegistry::GetProfileIntW(kLoad, L"before", v), 1);
    EXPECT_EQ(v, 1);
}

TEST(RegistryProcesses, ChildAfterForkUsesItsOwnConnection) {
    regtest::TempRegistry store;
    ASSERT_EQ(CRegistry::WriteProfileInt(kLoad, L"parent", 1), 1);
    HKEY held = nullptr;  // the parent is inside a (reading) transaction while it forks
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Load", 0, KEY_READ, &held), ERROR_SUCCESS);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        int bad = 0;
        DWORD size = 0;
        if (RegQueryValueExW(held, L"parent", nullptr, nullptr, nullptr, &size) != ERROR_INVALID_HANDLE) bad |= 1;
        if (CRegistry::WriteProfileInt(kLoad, L"child", 2) != 1) bad |= 2;
        int v = 0;
        if (CRegistry::GetProfileIntW(kLoad, L"parent", v) != 1 || v != 1) bad |= 4;
        _exit(bad);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: inherited handle worked, 2: child write failed, 4: read failed";
    EXPECT_EQ(RegCloseKey(held), ERROR_SUCCESS);
    int v = 0;
    EXPECT_EQ(CRegistry::GetProfileIntW(kLoad, L"child", v), 1);
    EXPECT_EQ(v, 2);
}

}  // namespace
