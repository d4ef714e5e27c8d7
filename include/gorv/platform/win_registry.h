// The registry functions of the platform layer: a subset of the Win32 registry API over a settings
// store of our own. Keys form five trees under the predefined root handles; key and value names
// compare case-insensitively (Unicode simple case folding) and keep the case they were written
// with. Values keep their type and their bytes as Windows stores them: a REG_SZ is UTF-16LE with
// its terminating zero, a REG_DWORD is 4 little-endian bytes.
//
// Transactions: a handle opened or created from a root key starts a transaction on the calling
// thread; every further handle opened on that thread (from a root or from an open handle) while
// one is still open joins it, and the transaction ends, committed, when its last handle closes.
// A transaction started by RegCreateKeyExW holds the store's write lock from the start, so a
// writer waits for another instead of failing; one started by RegOpenKeyExW reads a snapshot.
//
// Store location: $GORV_REGISTRY when set and not empty, else $XDG_CONFIG_HOME/gorv/registry.db,
// else ~/.config/gorv/registry.db; looked up whenever a transaction starts. Reading never creates
// the store; the first write creates it and its folder. A file that is not a settings store (not a
// database, damaged, or another program's database) is never written: every call fails with
// ERROR_BADDB.
#pragma once

#include <cstdint>

#include <gorv/platform/afx_string.h>
#include <gorv/platform/afx_types.h>
#include <gorv/platform/gorv_export.h>

typedef struct HKEY__* HKEY;
typedef HKEY* PHKEY;
typedef LONG LSTATUS;  // a Win32 error code
typedef DWORD REGSAM;

// Predefined root keys (the Win32 values, sign-extended as in a 64-bit process).
#define HKEY_CLASSES_ROOT ((HKEY)(std::intptr_t)(std::int32_t)0x80000000)
#define HKEY_CURRENT_USER ((HKEY)(std::intptr_t)(std::int32_t)0x80000001)
#define HKEY_LOCAL_MACHINE ((HKEY)(std::intptr_t)(std::int32_t)0x80000002)
#define HKEY_USERS ((HKEY)(std::intptr_t)(std::int32_t)0x80000003)
#define HKEY_CURRENT_CONFIG ((HKEY)(std::intptr_t)(std::int32_t)0x80000005)

// Result codes.
constexpr LSTATUS ERROR_SUCCESS = 0;
constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;     // no such key or value; or no store yet
constexpr LSTATUS ERROR_ACCESS_DENIED = 5;      // the store cannot be written (read-only place)
constexpr LSTATUS ERROR_INVALID_HANDLE = 6;
constexpr LSTATUS ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr LSTATUS ERROR_INVALID_PARAMETER = 87;
constexpr LSTATUS ERROR_BUSY = 170;             // another writer held the store past the wait
constexpr LSTATUS ERROR_MORE_DATA = 234;        // the buffer is too small; the size is returned
constexpr LSTATUS ERROR_NO_MORE_ITEMS = 259;
constexpr LSTATUS ERROR_BADDB = 1009;           // the file is not a usable settings store
constexpr LSTATUS ERROR_CANTOPEN = 1011;        // the store's place cannot be found or made
constexpr LSTATUS ERROR_CANTWRITE = 1013;       // a write or the commit failed
constexpr LSTATUS ERROR_KEY_DELETED = 1018;

// Value types.
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_DWORD_BIG_ENDIAN = 5;
constexpr DWORD REG_LINK = 6;
constexpr DWORD REG_MULTI_SZ = 7;
constexpr DWORD REG_QWORD = 11;

// Access rights (accepted and not enforced: every handle may read and write).
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Opens the subkey path lpSubKey (components separated by backslashes; null or "" opens hKey
// itself as a new handle) of hKey. ERROR_FILE_NOT_FOUND when a component does not exist.
GORV_API LSTATUS RegOpenKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
// Opens the subkey path, creating the missing keys. *lpdwDisposition (when not null) tells whether
// the last key was created or already there. lpClass and lpSecurityAttributes are ignored.
GORV_API LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD Reserved, LPWSTR lpClass, DWORD dwOptions,
                                 REGSAM samDesired, const void* lpSecurityAttributes, PHKEY phkResult,
                                 DWORD* lpdwDisposition);
// Reads a value (null or "" names the key's default value). lpType, lpData and lpcbData may each
// be null; with lpData null the size is returned in *lpcbData. A buffer smaller than the value
// gives ERROR_MORE_DATA with the needed size in *lpcbData and the buffer untouched.
GORV_API LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                                  DWORD* lpcbData);
// Stores cbData bytes as a value of type dwType, replacing a value of the same name (whose name
// keeps its first spelling).
GORV_API LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                                DWORD cbData);
GORV_API LSTATUS RegDeleteValueW(HKEY hKey, LPCWSTR lpValueName);
// Deletes the subkey path of hKey with all its subkeys and values; null or "" empties hKey itself
// (its values and subkeys). A root key itself cannot be deleted.
GORV_API LSTATUS RegDeleteTreeW(HKEY hKey, LPCWSTR lpSubKey);
// The dwIndex-th subkey name of hKey, in case-insensitive name order. *lpcchName is the buffer
// size in characters on entry and the name's length (without its terminator) on return.
// ERROR_NO_MORE_ITEMS past the last subkey.
GORV_API LSTATUS RegEnumKeyExW(HKEY hKey, DWORD dwIndex, LPWSTR lpName, DWORD* lpcchName, DWORD* lpReserved,
                               LPWSTR lpClass, DWORD* lpcchClass, void* lpftLastWriteTime);
// The dwIndex-th value of hKey, in the order the values were first written.
GORV_API LSTATUS RegEnumValueW(HKEY hKey, DWORD dwIndex, LPWSTR lpValueName, DWORD* lpcchValueName,
                               DWORD* lpReserved, DWORD* lpType, BYTE* lpData, DWORD* lpcbData);
// Closes a handle; closing the last handle of a transaction commits it (or rolls it back, after
// GorvRegAbortTransaction) and returns the commit's result. Closing a root key does nothing.
GORV_API LSTATUS RegCloseKey(HKEY hKey);

#define RegOpenKeyEx RegOpenKeyExW
#define RegCreateKeyEx RegCreateKeyExW
#define RegQueryValueEx RegQueryValueExW
#define RegSetValueEx RegSetValueExW
#define RegDeleteValue RegDeleteValueW
#define RegDeleteTree RegDeleteTreeW
#define RegEnumKeyEx RegEnumKeyExW
#define RegEnumValue RegEnumValueW

// Extensions of this platform.
// The full path of an open key with every name as stored, e.g. "HKEY_CURRENT_USER\Software\X".
GORV_API LSTATUS GorvRegGetKeyPath(HKEY hKey, CString& path);
// Marks the transaction of hKey to be rolled back when its last handle closes; every later call on
// its handles fails with ERROR_CANTWRITE.
GORV_API LSTATUS GorvRegAbortTransaction(HKEY hKey);
// The store file that a transaction started now would use (it may not exist yet); empty when no
// place can be derived from the environment.
GORV_API CString GorvRegStorePath();
