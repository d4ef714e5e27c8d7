// CTestEnvMgr: the two caches of test settings and the shared instance they live in.
#include <gorv/env/test_env_mgr.h>

#include <cwchar>

#include <gorv/env/product.h>

namespace {

// Created on the first call of a static operation; destroyed at unload.
CTestEnvMgr& shared_instance()
{
    static CTestEnvMgr instance;
    return instance;
}

}  // namespace

CTestEnvMgr::CTestEnvMgr() : m_mapTestEnv(10), m_mapIsTestEnv(10)
{
    m_mapTestEnv.InitHashTable(17, FALSE);
    m_mapIsTestEnv.InitHashTable(17, FALSE);
}

CTestEnvMgr::~CTestEnvMgr() = default;

CString CTestEnvMgr::GetTestEnv(const wchar_t* pszKey)
{
    const wchar_t* key = pszKey ? pszKey : L"";
    CString value;
    if (m_mapTestEnv.Lookup(key, value)) return value;
    value = CProduct::GetTestEnvValue(key);
    m_mapTestEnv.SetAt(key, value);
    return value;
}

int CTestEnvMgr::IsTestEnv(const wchar_t* pszKey, const wchar_t* pszExpected)
{
    const wchar_t* key = pszKey ? pszKey : L"";
    int match = 0;
    if (m_mapIsTestEnv.Lookup(key, match)) return match;
    match = CProduct::GetTestEnvValue(key).CompareNoCase(pszExpected ? pszExpected : L"") == 0 ? 1 : 0;
    m_mapIsTestEnv.SetAt(key, match);
    return match;
}

void CTestEnvMgr::SetTestEnv(const wchar_t* pszKey, const CString& strValue)
{
    const wchar_t* key = pszKey ? pszKey : L"";
    m_mapTestEnv.SetAt(key, strValue);
    m_mapIsTestEnv.SetAt(key, 1);
}

CString CTestEnvMgr::GetTestEnvST(const wchar_t* pszKey)
{
    return shared_instance().GetTestEnv(pszKey);
}

double CTestEnvMgr::GetTestEnvDbl(const wchar_t* pszKey)
{
    const CString text = shared_instance().GetTestEnv(pszKey);
    return std::wcstod(text.GetString(), nullptr);
}

int CTestEnvMgr::IsTestEnvST(const wchar_t* pszKey, const wchar_t* pszExpected)
{
    return shared_instance().IsTestEnv(pszKey, pszExpected);
}

void CTestEnvMgr::SetTestEnvST(const wchar_t* pszKey, const CString& strValue)
{
    shared_instance().SetTestEnv(pszKey, strValue);
}
