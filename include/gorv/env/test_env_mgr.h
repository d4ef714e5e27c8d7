// CTestEnvMgr: test settings cached for the rest of the process. Each setting is read from the
// registry (through CProduct) at most once per cache; the host can override settings in memory.
// The static operations work on one shared instance, created on first use. Not for concurrent use.
#pragma once

#include <gorv/platform/afx_coll.h>
#include <gorv/platform/afx_string.h>
#include <gorv/platform/gorv_export.h>

class GORV_API CTestEnvMgr {
public:
    CTestEnvMgr();
    CTestEnvMgr(const CTestEnvMgr&) = delete;
    CTestEnvMgr& operator=(const CTestEnvMgr&) = delete;
    virtual ~CTestEnvMgr();

    // GetTestEnv on the shared instance.
    static CString GetTestEnvST(const wchar_t* pszKey);
    // The shared instance's GetTestEnv text read as a number the way the C runtime's wide
    // text-to-double conversion does (leading blanks, longest numeric prefix); 0.0 for no number.
    static double GetTestEnvDbl(const wchar_t* pszKey);
    // IsTestEnv on the shared instance.
    static int IsTestEnvST(const wchar_t* pszKey, const wchar_t* pszExpected);
    // SetTestEnv on the shared instance.
    static void SetTestEnvST(const wchar_t* pszKey, const CString& strValue);

    // Keys are compared exactly (case-sensitive). Entries are never removed.
    CMap<CString, LPCWSTR, CString, LPCWSTR> m_mapTestEnv;  // key -> text read or set
    CMap<CString, LPCWSTR, int, int> m_mapIsTestEnv;           // key -> 1 or 0

protected:
    // The cached text of the key; on a miss, CProduct::GetTestEnvValue(key), cached even when empty.
    CString GetTestEnv(const wchar_t* pszKey);
    // The cached match result of the key, whatever pszExpected is; on a miss, 1 when
    // CProduct::GetTestEnvValue(key) equals pszExpected ignoring case, else 0, then cached.
    int IsTestEnv(const wchar_t* pszKey, const wchar_t* pszExpected);
    // Sets the key's text to strValue and its match result to 1; the registry is not written.
    void SetTestEnv(const wchar_t* pszKey, const CString& strValue);
};
