// CRegistry: string and integer values under a registry path written as one text, root key name
// first ("HKEY_CURRENT_USER\Software\TELUN\TEST"). Each call is one transaction of the settings
// store, from its first open to its last close. Results: 1 success, 0 failure (no message).
#pragma once

#include <gorv/platform/afx_string.h>
#include <gorv/platform/gorv_export.h>
#include <gorv/platform/win_registry.h>

class GORV_API CRegistry {
public:
    CRegistry() = default;
    CRegistry(const CRegistry&) = default;
    CRegistry& operator=(const CRegistry&) = default;
    virtual ~CRegistry();

    // Reads the value into out as text: the value's bytes as UTF-16 up to the first zero character,
    // or size / 2 characters when there is none; the value's type is not examined. 0, with out
    // unchanged, when the key or value is missing or the store cannot be read.
    static int GetProfileStringW(const wchar_t* pszPath, const wchar_t* pszName, CString& out);
    // Reads 4 bytes of the value into out (type not examined); a longer value fails, a shorter one
    // fills only its bytes. out is unchanged on failure.
    static int GetProfileIntW(const wchar_t* pszPath, const wchar_t* pszName, int& out);
    // Stores pszText as REG_SZ (UTF-16LE with its terminating zero), creating missing keys; a null
    // pszText deletes the value (0 when there was none). 1 only when the write was committed.
    static int WriteProfileStringW(const wchar_t* pszPath, const wchar_t* pszName, const wchar_t* pszText);
    // Stores nValue as REG_DWORD (4 little-endian bytes), creating missing keys.
    static int WriteProfileInt(const wchar_t* pszPath, const wchar_t* pszName, int nValue);

protected:
    // The key named by the path (bOpenOnly != 0: open existing keys only; 0: create missing ones),
    // or null: for an empty path, a first component that is not a root key name (compared without
    // case), a root alone, or a failed open or create. An empty component names the same key.
    // The caller closes the key.
    static HKEY GetRegistryKey(const wchar_t* pszPath, int bOpenOnly);
};
