// Threads of one process writing and reading the store at once lose nothing. Run under the tsan
// preset too.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include <gorv/gorv_base.h>

#include "support/temp_registry.h"

namespace {

TEST(RegistryThreads, ConcurrentWritersAndReadersLoseNothing) {
    regtest::TempRegistry store;
    constexpr int kThreads = 4, kValues = 150;
    const wchar_t* const path = L"HKEY_CURRENT_USER\\Software\\Threads";
    std::atomic<int> failures{0};
    std::atomic<bool> done{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, path, &failures] {
            for (int i = 0; i < kValues; ++i) {
                const std::wstring name = L"T" + std::to_wstring(t) + L"-" + std::to_wstring(i);
                const std::wstring text = std::to_wstring(t * 1000 + i);
                if (CRegistry::WriteProfileStringW(path, name.c_str(), text.c_str()) != 1) ++failures;
                CString back;
                if (CRegistry::GetProfileStringW(path, name.c_str(), back) != 1 || back != text.c_str()) ++failures;
            }
        });
    }
    // A reader walks the growing key with handles of its own meanwhile.
    std::thread reader([&] {
        while (!done) {
            HKEY h = nullptr;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Threads", 0, KEY_READ, &h) != ERROR_SUCCESS) continue;
            wchar_t name[32];
            for (DWORD i = 0, cch = 32; RegEnumValueW(h, i, name, &cch, 0, 0, 0, 0) == ERROR_SUCCESS; ++i) cch = 32;
            if (RegCloseKey(h) != ERROR_SUCCESS) ++failures;
        }
    });
    for (std::thread& th : threads) th.join();
    done = true;
    reader.join();
    EXPECT_EQ(failures.load(), 0);
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kValues; ++i) {
            CString back;
            const std::wstring name = L"T" + std::to_wstring(t) + L"-" + std::to_wstring(i);
            ASSERT_EQ(CRegistry::GetProfileStringW(path, name.c_str(), back), 1);
            ASSERT_EQ(back, CString(std::to_wstring(t * 1000 + i)));
        }
    }
}

}  // namespace
