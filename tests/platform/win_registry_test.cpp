// The registry functions of the platform layer: Win32 buffer rules, enumeration order, tree
// deletion, and transactions that span every handle a thread holds.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include <gorv/platform/win_registry.h>

#include "support/temp_registry.h"

namespace {

HKEY Create(HKEY root, const wchar_t* sub) {
    HKEY h = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExW(root, sub, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, &disposition), ERROR_SUCCESS);
    return h;
}

bool HasValue(HKEY root, const wchar_t* sub, const wchar_t* name) {
    HKEY h = nullptr;
    if (RegOpenKeyExW(root, sub, 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
    const bool found = RegQueryValueExW(h, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(h);
    return found;
}

// Names of the subkeys (or values) of h in enumeration order.
std::vector<std::wstring> Names(HKEY h, bool values) {
    std::vector<std::wstring> out;
    wchar_t name[256];
    for (DWORD i = 0, cch = 256;; ++i, cch = 256) {
        const LONG rc = values ? RegEnumValueW(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr)
                               : RegEnumKeyExW(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr);
        if (rc != ERROR_SUCCESS) return out;
        out.emplace_back(name, cch);
    }
}
std::vector<std::wstring> Subkeys(HKEY h) { return Names(h, false); }
std::vector<std::wstring> Values(HKEY h) { return Names(h, true); }
const BYTE one = 1;

TEST(WinRegistry, QueryFollowsTheWin32BufferRules) {
    regtest::TempRegistry store;
    HKEY h = Create(HKEY_CURRENT_USER, L"Software\\Q");
    ASSERT_NE(h, nullptr);
    const BYTE data[6] = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(RegSetValueExW(h, L"B", 0, REG_BINARY, data, 6), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(h, L"Bad", 0, REG_BINARY, nullptr, 2), ERROR_INVALID_PARAMETER);

    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueExW(h, L"b", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_TRUE(type == REG_BINARY && size == 6u) << type << " " << size;
    BYTE buf[8] = {9, 9, 9, 9, 9, 9, 9, 9};
    size = 5;
    EXPECT_EQ(RegQueryValueExW(h, L"B", nullptr, nullptr, buf, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(buf[0], 9) << "a short buffer is left alone";
    size = 8;
    EXPECT_EQ(RegQueryValueExW(h, L"B", nullptr, nullptr, buf, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(std::vector<BYTE>(buf, buf + 8), (std::vector<BYTE>{1, 2, 3, 4, 5, 6, 9, 9}));
    EXPECT_EQ(RegQueryValueExW(h, L"B", nullptr, nullptr, buf, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueExW(h, L"none", nullptr, nullptr, nullptr, &size), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteValueW(h, L"none"), ERROR_FILE_NOT_FOUND);

    // Values straight on a root key, and calls on handles that are not open.
    EXPECT_EQ(RegSetValueExW(HKEY_CURRENT_CONFIG, L"R", 0, REG_BINARY, data, 1), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExW(HKEY_CURRENT_CONFIG, L"r", nullptr, nullptr, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 1u);
    EXPECT_EQ(RegQueryValueExW(reinterpret_cast<HKEY>(&size), L"B", nullptr, nullptr, nullptr, &size),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExW(h, L"B", nullptr, nullptr, nullptr, &size), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
}

TEST(WinRegistry, EnumerationOrderAndTreeDeletion) {
    regtest::TempRegistry store;
    HKEY h = Create(HKEY_LOCAL_MACHINE, L"E");
    ASSERT_NE(h, nullptr);
    for (const wchar_t* sub : {L"b", L"_u", L"C", L"a\\deep\\deeper", L"B2"}) RegCloseKey(Create(h, sub));
    for (const wchar_t* name : {L"zeta", L"Alpha", L"mid"}) RegSetValueExW(h, name, 0, REG_BINARY, &one, 1);
    RegSetValueExW(h, L"ZETA", 0, REG_DWORD, &one, 1);  // replaces in place
    // Windows' order: names compared upper-cased, so "_" sorts after the letters.
    EXPECT_EQ(Subkeys(h), (std::vector<std::wstring>{L"a", L"b", L"B2", L"C", L"_u"}));
    EXPECT_EQ(Values(h), (std::vector<std::wstring>{L"zeta", L"Alpha", L"mid"}));
    // Walking backwards or restarting gives the same entries as walking forwards.
    wchar_t name[8];
    DWORD cch = 8;
    ASSERT_EQ(RegEnumKeyExW(h, 2, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, L"B2");
    cch = 2;
    EXPECT_EQ(RegEnumKeyExW(h, 2, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    cch = 8;
    ASSERT_EQ(RegEnumKeyExW(h, 0, name, &cch, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, L"a");

    HKEY deep = nullptr;
    ASSERT_EQ(RegOpenKeyExW(h, L"A\\Deep", 0, KEY_READ, &deep), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeW(h, L"a"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTreeW(h, L"a"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegSetValueExW(deep, L"v", 0, REG_BINARY, &one, 1), ERROR_KEY_DELETED);
    EXPECT_TRUE(Subkeys(deep).empty());
    RegCloseKey(deep);
    EXPECT_EQ(Subkeys(h), (std::vector<std::wstring>{L"b", L"B2", L"C", L"_u"}));
    EXPECT_EQ(RegDeleteTreeW(h, nullptr), ERROR_SUCCESS);  // empties the key itself
    EXPECT_TRUE(Subkeys(h).empty());
    EXPECT_TRUE(Values(h).empty());
    EXPECT_EQ(RegCloseKey(h), ERROR_SUCCESS);
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"E", 0, KEY_READ, &h), ERROR_SUCCESS);
    RegCloseKey(h);
}

TEST(WinRegistry, NamesKeepLoneSurrogatesAndRefuseCodePointsPastUnicode) {
    regtest::TempRegistry store;
    HKEY h = Create(HKEY_CURRENT_USER, L"Software\\S");
    ASSERT_NE(h, nullptr);
    // Any name a host can write reads back unchanged, an unpaired surrogate too, and stays
    // distinct from the replacement character a lossy conversion would leave.
    const std::wstring lone{L'k', static_cast<wchar_t>(0xD800), L'z'};
    const std::wstring low{static_cast<wchar_t>(0xDFFF)};
    for (const std::wstring& name : {lone, low, std::wstring(L"k\uFFFDz")}) {
        EXPECT_EQ(RegSetValueExW(h, name.c_str(), 0, REG_BINARY, &one, 1), ERROR_SUCCESS);
        RegCloseKey(Create(h, name.c_str()));
    }
    EXPECT_EQ(Values(h), (std::vector<std::wstring>{lone, low, L"k\uFFFDz"}));
    EXPECT_EQ(Subkeys(h).size(), 3u);
    EXPECT_TRUE(HasValue(HKEY_CURRENT_USER, L"Software\\S", lone.c_str()));
    const std::wstring beyond{L'x', static_cast<wchar_t>(0x110000)};
    EXPECT_EQ(RegSetValueExW(h, beyond.c_str(), 0, REG_BINARY, &one, 1), ERROR_INVALID_PARAMETER);
    HKEY sub = nullptr;
    EXPECT_EQ(RegOpenKeyExW(h, beyond.c_str(), 0, KEY_READ, &sub), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(Values(h).size(), 3u);
    RegCloseKey(h);
}

TEST(WinRegistry, HandlesOfOneThreadShareOneTransaction) {
    regtest::TempRegistry store;
    {
        SCOPED_TRACE("aborted: nothing of it stays, in either root");
        HKEY a = Create(HKEY_CURRENT_USER, L"T\\A"), b = Create(HKEY_LOCAL_MACHINE, L"T\\B");  // b joins a's
        ASSERT_TRUE(a && b);
        EXPECT_EQ(RegSetValueExW(a, L"v", 0, REG_BINARY, &one, 1), ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(b, L"v", 0, REG_BINARY, &one, 1), ERROR_SUCCESS);
        EXPECT_EQ(GorvRegAbortTransaction(b), ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(a, L"w", 0, REG_BINARY, &one, 1), ERROR_CANTWRITE);
        EXPECT_EQ(RegCloseKey(a), ERROR_SUCCESS);
        EXPECT_EQ(RegCloseKey(b), ERROR_SUCCESS);
        EXPECT_FALSE(HasValue(HKEY_CURRENT_USER, L"T\\A", L"v"));
        EXPECT_FALSE(HasValue(HKEY_LOCAL_MACHINE, L"T\\B", L"v"));
        HKEY t = nullptr;
        EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"T", 0, KEY_READ, &t), ERROR_FILE_NOT_FOUND);
    }
    {
        SCOPED_TRACE("committed when the last handle closes");
        HKEY a = Create(HKEY_CURRENT_USER, L"T\\A"), b = Create(HKEY_LOCAL_MACHINE, L"T\\B");
        EXPECT_EQ(RegSetValueExW(a, L"v", 0, REG_BINARY, &one, 1), ERROR_SUCCESS);
        EXPECT_EQ(RegCloseKey(a), ERROR_SUCCESS);
        EXPECT_EQ(RegSetValueExW(b, L"v", 0, REG_BINARY, &one, 1), ERROR_SUCCESS);
        EXPECT_EQ(RegCloseKey(b), ERROR_SUCCESS);
        EXPECT_TRUE(HasValue(HKEY_CURRENT_USER, L"T\\A", L"v"));
        EXPECT_TRUE(HasValue(HKEY_LOCAL_MACHINE, L"T\\B", L"v"));
    }
    {
        SCOPED_TRACE("a reading transaction sees one snapshot");
        HKEY r = nullptr;
        ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"T\\A", 0, KEY_READ, &r), ERROR_SUCCESS);
        EXPECT_EQ(RegQueryValueExW(r, L"v", nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
        std::thread writer([] {
            const BYTE two = 2;
            HKEY w = Create(HKEY_CURRENT_USER, L"T\\A");
            EXPECT_EQ(RegSetValueExW(w, L"late", 0, REG_BINARY, &two, 1), ERROR_SUCCESS);
            EXPECT_EQ(RegCloseKey(w), ERROR_SUCCESS);
        });
        writer.join();
        EXPECT_EQ(RegQueryValueExW(r, L"late", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(RegCloseKey(r), ERROR_SUCCESS);
        EXPECT_TRUE(HasValue(HKEY_CURRENT_USER, L"T\\A", L"late"));
    }
}

}  // namespace
