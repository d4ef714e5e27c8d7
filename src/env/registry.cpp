// CRegistry over the platform's registry functions. A path resolves key by key from its root;
// string values travel as UTF-16LE bytes, as the registry stores them.
#include <gorv/env/registry.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

struct RootName {
    const wchar_t* name;
    HKEY key;
};

const RootName kRoots[] = {
    {L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},   {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE}, {L"HKEY_USERS", HKEY_USERS},
    {L"HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG},
};

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;  // 0x2001F

// UTF-16 code units of the text: characters past U+FFFF become surrogate pairs, a lone surrogate
// stays one unit, a value past U+10FFFF becomes U+FFFD.
std::vector<std::uint16_t> to_utf16(const wchar_t* s) {
    std::vector<std::uint16_t> out;
    for (; *s; ++s) {
        const std::uint32_t c = static_cast<std::uint32_t>(*s);
        if (c < 0x10000) {
            out.push_back(static_cast<std::uint16_t>(c));
        } else if (c <= 0x10FFFF) {
            out.push_back(static_cast<std::uint16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<std::uint16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(0xFFFD);
        }
    }
    return out;
}

// Decodes n UTF-16LE code units, stopping at the first zero unit.
CString from_utf16le(const BYTE* p, std::size_t n) {
    std::wstring out;
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t u = p[2 * i] | (static_cast<std::uint32_t>(p[2 * i + 1]) << 8);
        if (u == 0) break;
        if (u >= 0xD800 && u < 0xDC00 && i + 1 < n) {
            const std::uint32_t v = p[2 * i + 2] | (static_cast<std::uint32_t>(p[2 * i + 3]) << 8);
            if (v >= 0xDC00 && v < 0xE000) {
                out += static_cast<wchar_t>(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
                ++i;
                continue;
            }
        }
        out += static_cast<wchar_t>(u);
    }
    return CString(out);
}

}  // namespace

CRegistry::~CRegistry() = default;

HKEY CRegistry::GetRegistryKey(const wchar_t* pszPath, int bOpenOnly)
{
    CString path(pszPath);
    if (path.IsEmpty()) return nullptr;
    if (path[path.GetLength() - 1] != L'\\') path += L'\\';

    std::vector<CString> parts;
    for (int start = 0; start < path.GetLength();) {
        const int end = path.Find(L'\\', start);
        parts.push_back(path.Mid(start, end - start));
        start = end + 1;
    }

    HKEY key = nullptr;
    for (const RootName& r : kRoots) {
        if (parts.front().CompareNoCase(r.name) == 0) key = r.key;
    }
    if (!key) return nullptr;
    parts.erase(parts.begin());
    if (parts.empty()) return nullptr;

    for (const CString& part : parts) {
        HKEY next = nullptr;
        LSTATUS rc;
        if (bOpenOnly != 0) {
            rc = RegOpenKeyExW(key, part, 0, kAccess, &next);
        } else {
            DWORD disposition = 0;
            rc = RegCreateKeyExW(key, part, 0, nullptr, REG_OPTION_NON_VOLATILE, kAccess, nullptr, &next,
                                 &disposition);
        }
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS) return nullptr;
        key = next;
    }
    return key;
}

int CRegistry::GetProfileStringW(const wchar_t* pszPath, const wchar_t* pszName, CString& out)
{
    HKEY key = GetRegistryKey(pszPath, 1);
    if (!key) return 0;
    DWORD type = 0;
    DWORD size = 0;
    int ok = 0;
    if (RegQueryValueExW(key, pszName, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
        // Room for size / 2 characters and a terminator, as the string's own buffer would give,
        // so an odd last byte still fits.
        std::vector<BYTE> buf((size / 2 + 1) * 2, 0);
        DWORD got = size;
        if (RegQueryValueExW(key, pszName, nullptr, &type, buf.data(), &got) == ERROR_SUCCESS) {
            out = from_utf16le(buf.data(), size / 2);
            ok = 1;
        }
    }
    RegCloseKey(key);
    return ok;
}

int CRegistry::GetProfileIntW(const wchar_t* pszPath, const wchar_t* pszName, int& out)
{
    HKEY key = GetRegistryKey(pszPath, 1);
    if (!key) return 0;
    DWORD type = 0;
    BYTE bytes[4];
    std::memcpy(bytes, &out, 4);  // a shorter value replaces only its own bytes
    DWORD size = 4;
    const int ok = RegQueryValueExW(key, pszName, nullptr, &type, bytes, &size) == ERROR_SUCCESS ? 1 : 0;
    RegCloseKey(key);
    if (ok) std::memcpy(&out, bytes, 4);
    return ok;
}

// A write counts as done only when its transaction committed: a 1 promises the value is stored.
int CRegistry::WriteProfileStringW(const wchar_t* pszPath, const wchar_t* pszName, const wchar_t* pszText)
{
    HKEY key = GetRegistryKey(pszPath, 0);
    if (!key) return 0;
    LSTATUS rc;
    if (pszText) {
        const std::vector<std::uint16_t> units = to_utf16(pszText);
        std::vector<BYTE> data;
        data.reserve(units.size() * 2 + 2);
        for (std::uint16_t u : units) {
            data.push_back(static_cast<BYTE>(u & 0xFF));
            data.push_back(static_cast<BYTE>(u >> 8));
        }
        data.push_back(0);
        data.push_back(0);
        rc = RegSetValueExW(key, pszName, 0, REG_SZ, data.data(), static_cast<DWORD>(data.size()));
    } else {
        rc = RegDeleteValueW(key, pszName);
    }
    const LSTATUS closed = RegCloseKey(key);
    return rc == ERROR_SUCCESS && closed == ERROR_SUCCESS ? 1 : 0;
}

int CRegistry::WriteProfileInt(const wchar_t* pszPath, const wchar_t* pszName, int nValue)
{
    HKEY key = GetRegistryKey(pszPath, 0);
    if (!key) return 0;
    const std::uint32_t v = static_cast<std::uint32_t>(nValue);
    const BYTE data[4] = {static_cast<BYTE>(v), static_cast<BYTE>(v >> 8), static_cast<BYTE>(v >> 16),
                          static_cast<BYTE>(v >> 24)};
    const LSTATUS rc = RegSetValueExW(key, pszName, 0, REG_DWORD, data, 4);
    const LSTATUS closed = RegCloseKey(key);
    return rc == ERROR_SUCCESS && closed == ERROR_SUCCESS ? 1 : 0;
}
