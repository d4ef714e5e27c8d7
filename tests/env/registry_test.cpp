// CRegistry through the shared library: path rules, value bytes and sizes, case rules, where the
// store lives, and damaged or read-only stores.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gorv/gorv_base.h>
#include <sys/wait.h>

#include "support/temp_registry.h"

namespace {

using regtest::TempRegistry;

struct Reg : CRegistry {
    using CRegistry::GetRegistryKey;
};

const wchar_t* const kTest = L"HKEY_CURRENT_USER\\Software\\TELUN\\TEST";

// Type and bytes of a value, read through the platform functions.
bool Raw(const wchar_t* path, const wchar_t* name, DWORD& type, std::vector<BYTE>& bytes) {
    HKEY key = Reg::GetRegistryKey(path, 1);
    if (!key) return false;
    DWORD size = 0;
    bool ok = RegQueryValueExW(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS;
    if (ok) {
        bytes.assign(size, 0);
        ok = RegQueryValueExW(key, name, nullptr, &type, bytes.data(), &size) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return ok;
}

// The text GetProfileStringW reads, or "fail:" and the output as it was left when it returns 0.
std::wstring Str(const wchar_t* path, const wchar_t* name) {
    CString out = L"kept";
    return CRegistry::GetProfileStringW(path, name, out) == 1 ? out.str() : L"fail:" + out.str();
}

// GetProfileIntW's result and its output, which starts as `start`.
std::pair<int, int> Int(const wchar_t* path, const wchar_t* name, int start = -7) {
    const int rc = CRegistry::GetProfileIntW(path, name, start);
    return {rc, start};
}

TEST(RegistryKey, PathRulesGiveNullOrTheSameKey) {
    TempRegistry store;
    // Nothing exists yet: open-only fails, and reading did not create the store.
    EXPECT_EQ(Reg::GetRegistryKey(kTest, 1), nullptr);
    EXPECT_FALSE(regtest::Exists(store.path()));

    for (const wchar_t* bad : {L"", L"HKEY_CURRENT_USER", L"HKEY_CURRENT_USER\\", L"HKCU\\Software",
                               L"HKEY_CURRENT_USERS\\Software", L"Software\\TELUN", L"\\HKEY_CURRENT_USER\\A"})
        EXPECT_EQ(Reg::GetRegistryKey(bad, 0), nullptr) << CString(bad).ToUtf8();
    EXPECT_EQ(Reg::GetRegistryKey(nullptr, 0), nullptr);
    EXPECT_FALSE(regtest::Exists(store.path()));

    // Root names without case; a trailing backslash and an empty component name the same key.
    ASSERT_EQ(CRegistry::WriteProfileInt(L"hkey_current_user\\Software\\TELUN\\TEST", L"N", 7), 1);
    EXPECT_TRUE(regtest::Exists(store.path()));
    for (const wchar_t* same : {L"HKEY_CURRENT_USER\\Software\\TELUN\\TEST\\", L"HKEY_CURRENT_USER\\Software\\\\TELUN\\TEST",
                                L"Hkey_Current_User\\SOFTWARE\\telun\\test"})
        EXPECT_EQ(Int(same, L"N"), std::make_pair(1, 7)) << CString(same).ToUtf8();
    // Each root is its own tree.
    EXPECT_EQ(Int(L"HKEY_LOCAL_MACHINE\\Software\\TELUN\\TEST", L"N"), std::make_pair(0, -7));
    ASSERT_EQ(CRegistry::WriteProfileInt(L"HKEY_CURRENT_CONFIG\\A", L"N", 9), 1);
    EXPECT_EQ(Int(L"HKEY_CURRENT_CONFIG\\A", L"N"), std::make_pair(1, 9));

    // A root followed by an empty component names the root itself.
    HKEY root = Reg::GetRegistryKey(L"HKEY_USERS\\\\", 0);
    ASSERT_NE(root, nullptr);
    CString path;
    EXPECT_EQ(GorvRegGetKeyPath(root, path), ERROR_SUCCESS);
    EXPECT_EQ(path, L"HKEY_USERS");
    EXPECT_EQ(RegCloseKey(root), ERROR_SUCCESS);

    HKEY key = Reg::GetRegistryKey(kTest, 1);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(GorvRegGetKeyPath(key, path), ERROR_SUCCESS);
    EXPECT_EQ(path, L"HKEY_CURRENT_USER\\Software\\TELUN\\TEST");  // the case of the first write
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
}

TEST(RegistryValues, StringsAndIntsKeepTheirWindowsBytes) {
    TempRegistry store;
    const wchar_t text[] = {L'a', 0x00E9, 0x1F600, 0};  // a, e-acute, a character outside the BMP
    ASSERT_EQ(CRegistry::WriteProfileStringW(kTest, L"S", text), 1);
    DWORD type = 0;
    std::vector<BYTE> bytes;
    ASSERT_TRUE(Raw(kTest, L"S", type, bytes));
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, (std::vector<BYTE>{'a', 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE, 0, 0}));
    EXPECT_EQ(Str(kTest, L"S"), text);

    ASSERT_EQ(CRegistry::WriteProfileStringW(kTest, L"Empty", L""), 1);
    ASSERT_TRUE(Raw(kTest, L"Empty", type, bytes));
    EXPECT_EQ(bytes, (std::vector<BYTE>{0, 0}));

    ASSERT_EQ(CRegistry::WriteProfileInt(kTest, L"I", -2), 1);
    ASSERT_TRUE(Raw(kTest, L"I", type, bytes));
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(bytes, (std::vector<BYTE>{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Int(kTest, L"I"), std::make_pair(1, -2));

    // The type is not examined: a DWORD reads as two UTF-16 characters, a two-byte string as an
    // int whose upper bytes stay; a value longer than 4 bytes is no int, and leaves the output.
    ASSERT_EQ(CRegistry::WriteProfileInt(kTest, L"D", 0x00420041), 1);
    EXPECT_EQ(Str(kTest, L"D"), L"AB");
    EXPECT_EQ(Int(kTest, L"Empty", 0x11223344), std::make_pair(1, 0x11220000));
    EXPECT_EQ(Int(kTest, L"S"), std::make_pair(0, -7));

    // Raw values: the text ends at the first zero, or after size / 2 characters.
    HKEY key = Reg::GetRegistryKey(kTest, 0);
    ASSERT_NE(key, nullptr);
    const BYTE embedded[] = {'x', 0, 0, 0, 'y', 0, 0, 0};
    const BYTE odd[] = {'p', 0, 'q'};
    const BYTE unterminated[] = {'u', 0, 'v', 0};
    EXPECT_EQ(RegSetValueExW(key, L"Z", 0, REG_SZ, embedded, sizeof embedded), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, L"O", 0, REG_BINARY, odd, sizeof odd), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, L"U", 0, REG_SZ, unterminated, sizeof unterminated), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, L"", 0, REG_SZ, unterminated, 0), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(Str(kTest, L"Z"), L"x");
    EXPECT_EQ(Str(kTest, L"O"), L"p");
    EXPECT_EQ(Str(kTest, L"U"), L"uv");
    EXPECT_EQ(Str(kTest, nullptr), L"");  // the default value, 0 bytes

    // Missing key or value: 0 and the output as it was.
    EXPECT_EQ(Str(kTest, L"missing"), L"fail:kept");
    EXPECT_EQ(Str(L"HKEY_CURRENT_USER\\Software\\Nothing", L"S"), L"fail:kept");

    // A null text deletes the value: 1 when it existed, then 0.
    EXPECT_EQ(CRegistry::WriteProfileStringW(kTest, L"S", nullptr), 1);
    EXPECT_EQ(Str(kTest, L"S"), L"fail:kept");
    EXPECT_EQ(CRegistry::WriteProfileStringW(kTest, L"S", nullptr), 0);
}

// Names of the subkeys (keys) or the values of a key under HKEY_CURRENT_USER, in enumeration order.
std::vector<std::wstring> Names(const wchar_t* sub, bool keys) {
    std::vector<std::wstring> out;
    HKEY h = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, sub, 0, KEY_READ, &h) != ERROR_SUCCESS) return out;
    wchar_t name[64];
    for (DWORD i = 0;; ++i) {
        DWORD cch = 64;
        if ((keys ? RegEnumKeyExW(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr)
                  : RegEnumValueW(h, i, name, &cch, nullptr, nullptr, nullptr, nullptr)) != ERROR_SUCCESS)
            break;
        out.push_back(name);
    }
    RegCloseKey(h);
    return out;
}

TEST(RegistryValues, WritingUnderAnotherSpellingReplacesTheValueAndKeepsTheFirstSpelling) {
    TempRegistry store;
    ASSERT_EQ(CRegistry::WriteProfileStringW(L"HKEY_CURRENT_USER\\Software\\Größe\\Σίσυφος", L"Äpfel Ωμέγα", L"1"), 1);
    ASSERT_EQ(CRegistry::WriteProfileStringW(L"HKEY_CURRENT_USER\\SOFTWARE\\GRÖẞE\\σίσυφος", L"ÄPFEL ΩΜΈΓΑ", L"2"), 1);
    EXPECT_EQ(Names(L"software\\größe", true), std::vector<std::wstring>{L"Σίσυφος"});
    EXPECT_EQ(Names(L"software\\größe\\ΣΊΣΥΦΟΣ", false), std::vector<std::wstring>{L"Äpfel Ωμέγα"});
    EXPECT_EQ(Str(L"HKEY_CURRENT_USER\\Software\\Größe\\Σίσυφος", L"Äpfel Ωμέγα"), L"2");
}

TEST(RegistryValues, CaseRulesForLettersBeyondAscii) {
    TempRegistry store;
    const struct { const wchar_t *written, *read; bool same; } pairs[] = {
        {L"Привет мир", L"пРИВЕТ МИР", true},  {L"ǅemal", L"ǆEMAL", true},    {L"ſtraße", L"STRAẞE", true},
        {L"Ωμέγα", L"ΩΜΈΓΑ", true},            {L"Ա Բ", L"ա բ", true},        {L"ＡＢＣ", L"ａｂｃ", true},
        {L"𐐀", L"𐐨", true},                  {L"straße", L"STRASSE", false}, {L"a", L"á", false},
        {L"i", L"İ", false},        {L"Σίσυφος", L"ΣΊΣΥΦΟΣ", true}, {L"Äpfel", L"äPFEL", true},
        {L"Größe", L"GRÖSSE", false},  // simple case folding keeps ß and SS apart
    };
    int k = 0;
    for (const auto& p : pairs) {
        SCOPED_TRACE(CString(p.written).ToUtf8() + " / " + CString(p.read).ToUtf8());
        const std::wstring path = L"HKEY_USERS\\" + std::to_wstring(++k) + L"\\";
        ASSERT_EQ(CRegistry::WriteProfileInt((path + p.written).c_str(), p.written, k), 1);
        EXPECT_EQ(Int((path + p.read).c_str(), p.written).first, p.same ? 1 : 0) << "key";
        EXPECT_EQ(Int((path + p.written).c_str(), p.read).first, p.same ? 1 : 0) << "value";
    }
}

TEST(RegistryStore, PlaceFollowsTheEnvironmentAtEachCall) {
    TempRegistry a;
    TempRegistry b;  // b's constructor pointed GORV_REGISTRY at b
    ASSERT_EQ(CRegistry::WriteProfileInt(kTest, L"Which", 2), 1);
    ::setenv("GORV_REGISTRY", a.path().c_str(), 1);
    EXPECT_EQ(Int(kTest, L"Which").first, 0);
    EXPECT_FALSE(regtest::Exists(a.path())) << "reading never creates the store";
    ASSERT_EQ(CRegistry::WriteProfileInt(kTest, L"Which", 1), 1);
    ::setenv("GORV_REGISTRY", b.path().c_str(), 1);
    EXPECT_EQ(Int(kTest, L"Which"), std::make_pair(1, 2));

    // Without GORV_REGISTRY: XDG_CONFIG_HOME/gorv/registry.db, else ~/.config/gorv/registry.db;
    // the first write creates the folders.
    const char *oldHome = std::getenv("HOME"), *oldXdg = std::getenv("XDG_CONFIG_HOME");
    const std::string home = oldHome ? oldHome : "", xdg = oldXdg ? oldXdg : "";
    ::unsetenv("GORV_REGISTRY");
    ::setenv("XDG_CONFIG_HOME", (a.dir() + "/xdg").c_str(), 1);
    EXPECT_EQ(GorvRegStorePath(), CString::FromUtf8(a.dir() + "/xdg/gorv/registry.db"));
    EXPECT_EQ(CRegistry::WriteProfileInt(kTest, L"Which", 3), 1);
    EXPECT_TRUE(regtest::Exists(a.dir() + "/xdg/gorv/registry.db"));
    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("HOME", (a.dir() + "/home").c_str(), 1);
    EXPECT_EQ(GorvRegStorePath(), CString::FromUtf8(a.dir() + "/home/.config/gorv/registry.db"));
    EXPECT_EQ(Int(kTest, L"Which").first, 0);
    EXPECT_EQ(CRegistry::WriteProfileInt(kTest, L"Which", 4), 1);
    EXPECT_TRUE(regtest::Exists(a.dir() + "/home/.config/gorv/registry.db"));
    ::setenv("HOME", home.c_str(), 1);
    if (oldXdg) ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1);

    // A store file removed between calls is not served from a kept connection.
    ::setenv("GORV_REGISTRY", b.path().c_str(), 1);
    ASSERT_EQ(std::remove(b.path().c_str()), 0);
    std::remove((b.path() + "-wal").c_str());
    std::remove((b.path() + "-shm").c_str());
    EXPECT_EQ(Int(kTest, L"Which").first, 0);
    EXPECT_EQ(CRegistry::WriteProfileInt(kTest, L"Which", 5), 1);
    EXPECT_EQ(Int(kTest, L"Which"), std::make_pair(1, 5));
}

TEST(RegistryStore, EmptyFileIsSetUpByTheFirstWrite) {
    TempRegistry store;
    regtest::WriteFile(store.path(), "");
    EXPECT_EQ(Str(kTest, L"S"), L"fail:kept");
    EXPECT_EQ(regtest::ReadFile(store.path()), "");
    EXPECT_EQ(CRegistry::WriteProfileStringW(kTest, L"S", L"v"), 1);
    EXPECT_EQ(Str(kTest, L"S"), L"v");
}

// Every call on a file that is not a usable store returns 0 and leaves the file's bytes alone.
const wchar_t* const kBig = L"HKEY_CURRENT_USER\\Software\\Big";

void ExpectUntouched(const std::string& path) {
    const std::string before = regtest::ReadFile(path);
    int n = 3;
    for (const wchar_t* name : {L"0", L"150", L"299"}) {
        EXPECT_EQ(Str(kBig, name), L"fail:kept");
        EXPECT_EQ(CRegistry::GetProfileIntW(kBig, name, n), 0);
    }
    EXPECT_EQ(CRegistry::WriteProfileStringW(kBig, L"0", L"new"), 0);
    EXPECT_EQ(CRegistry::WriteProfileStringW(kTest, L"S", L"new"), 0);
    EXPECT_EQ(CRegistry::WriteProfileInt(kTest, L"I", 1), 0);
    EXPECT_EQ(CRegistry::WriteProfileStringW(kBig, L"1", nullptr), 0);
    HKEY h = nullptr;
    EXPECT_NE(RegCreateKeyExW(HKEY_CURRENT_USER, L"X", 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(h, nullptr);
    EXPECT_EQ(n, 3);
    EXPECT_EQ(regtest::ReadFile(path), before);
    EXPECT_FALSE(regtest::Exists(path + "-wal") && !regtest::ReadFile(path + "-wal").empty());
}

// Runs fn in a child process that then exits normally, so its connection closes and the store's
// log is folded into the main file; returns the child's exit code.
template <typename Fn> int InChild(Fn fn) {
    const pid_t pid = ::fork();
    if (pid == 0) std::exit(fn());
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

// The bytes of a store of three pages and more (300 values of 40 'x' under kBig), written by a
// child process so that its log is folded into the file.
std::string BigStoreImage() {
    TempRegistry good;
    EXPECT_EQ(InChild([] {
                  for (int i = 0; i < 300; ++i)
                      if (CRegistry::WriteProfileStringW(kBig, std::to_wstring(i).c_str(), std::wstring(40, L'x').c_str()) != 1)
                          return 1;
                  return 0;
              }),
              0);
    EXPECT_FALSE(regtest::Exists(good.path() + "-wal"));
    return regtest::ReadFile(good.path());
}

TEST(RegistryStore, DamagedOrForeignFilesFailAndStayUnchanged) {
    const std::string image = BigStoreImage();
    ASSERT_GT(image.size(), 3 * 4096u);
    TempRegistry store;
    std::string foreign = image, garbled = image;
    std::memset(&foreign[68], 0, 4);  // the application id
    for (std::size_t i = 4096; i < garbled.size(); i += 7) garbled[i] = static_cast<char>(garbled[i] ^ 0x5A);
    std::vector<std::pair<std::string, std::string>> cases = {
        {"text file", "[settings]\nname=value\n"}, {"another program's database", foreign}, {"garbled pages", garbled}};
    for (std::size_t cut : {std::size_t(100), std::size_t(4095), image.size() / 2, image.size() - 4096})
        cases.emplace_back("truncated to " + std::to_string(cut), image.substr(0, cut));
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        regtest::WriteFile(store.path(), bytes);
        ExpectUntouched(store.path());
    }
    {
        SCOPED_TRACE("another program's database with an unfinished rollback journal");
        std::string rollbackMode = image;
        rollbackMode[18] = rollbackMode[19] = 1;  // file format: rollback journal
        regtest::WriteFile(store.path(), rollbackMode);
        std::string journal = std::string("\xd9\xd5\x05\xf9\x20\xa1\x63\xd7", 8) + std::string(504, '\0');
        journal.replace(8, 4, "\0\0\0\x01");  // one page record
        regtest::WriteFile(store.path() + "-journal", journal);
        ExpectUntouched(store.path());
        EXPECT_EQ(regtest::ReadFile(store.path() + "-journal"), journal);
        std::remove((store.path() + "-journal").c_str());
    }
    // The intact image reads.
    regtest::WriteFile(store.path(), image);
    EXPECT_EQ(Str(kBig, L"299"), std::wstring(40, L'x'));
}

TEST(RegistryStore, EveryCutAndHeaderFlipFailsCleanly) {
    const std::string image = BigStoreImage();
    TempRegistry store;
    // Each case in a file of its own: a store that took a write keeps its connection open.
    auto use = [&store](const std::string& name, const std::string& bytes) {
        const std::string path = store.dir() + "/" + name;
        regtest::WriteFile(path, bytes);
        ::setenv("GORV_REGISTRY", path.c_str(), 1);
        return path;
    };
    // A cut anywhere: every call fails and the file stays as it is.
    for (std::size_t cut = 1; cut < image.size(); cut += cut < 200 ? 13 : 331) {
        SCOPED_TRACE("cut at " + std::to_string(cut));
        ExpectUntouched(use("cut" + std::to_string(cut), image.substr(0, cut)));
        if (HasFailure()) break;
    }
    // A flipped header byte: no crash; a refused write leaves the file alone, an accepted one
    // reads back.
    for (std::size_t at = 0; at < 100; ++at) {
        SCOPED_TRACE("header byte " + std::to_string(at));
        std::string flipped = image;
        flipped[at] = static_cast<char>(flipped[at] ^ 0xFF);
        const std::string path = use("flip" + std::to_string(at), flipped);
        const std::wstring read = Str(kBig, L"7");
        EXPECT_TRUE(read == L"fail:kept" || read == std::wstring(40, L'x')) << CString(read.c_str()).ToUtf8();
        if (CRegistry::WriteProfileStringW(kBig, L"7", L"z") == 1) {
            EXPECT_EQ(Str(kBig, L"7"), L"z");
        } else {
            EXPECT_EQ(regtest::ReadFile(path), flipped);
        }
        if (HasFailure()) break;
    }
}

TEST(RegistryStore, ReadOnlyFolderReadsAndRefusesWrites) {
    TempRegistry store;
    ASSERT_EQ(InChild([] { return CRegistry::WriteProfileStringW(kTest, L"S", L"ro") == 1 ? 0 : 1; }), 0);
    const std::string before = regtest::ReadFile(store.path());
    const int bad = InChild([&store] {
        // As root, permissions do not bind: become an unprivileged user instead.
        if (::geteuid() == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0) return 16;
        } else if (::chmod(store.dir().c_str(), 0555) != 0) {
            return 16;
        }
        if (::access(store.path().c_str(), R_OK) != 0 || ::access(store.dir().c_str(), W_OK) == 0) return 16;
        int result = 0;
        CString out;
        if (CRegistry::GetProfileStringW(kTest, L"S", out) != 1 || out != L"ro") result |= 1;
        if (CRegistry::WriteProfileStringW(kTest, L"S", L"changed") != 0) result |= 2;
        if (CRegistry::WriteProfileInt(kTest, L"New", 1) != 0) result |= 4;
        if (CRegistry::GetProfileStringW(kTest, L"S", out) != 1 || out != L"ro") result |= 8;
        return result;
    });
    ::chmod(store.dir().c_str(), 0755);
    if (bad == 16) GTEST_SKIP() << "cannot make the store's folder read-only for a test process here";
    EXPECT_EQ(bad, 0) << "1: read failed, 2/4: a write succeeded, 8: reread failed";
    EXPECT_EQ(regtest::ReadFile(store.path()), before);
}

}  // namespace
