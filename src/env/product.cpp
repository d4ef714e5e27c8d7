// CProduct: the test-settings key. "Hide Version" is read once, on the first call of the process.
#include <gorv/env/product.h>

#include <gorv/env/registry.h>

#include <cwchar>

int CProduct::m_bInit = 1;

CProduct::~CProduct() = default;

CString CProduct::GetTestEnvValue(const wchar_t* pszName)
{
    static const CString strPath(L"HKEY_CURRENT_USER\\Software\\TELUN\\TEST");
    static CString strHideVersion;
    static const int bHideVersionRead = CRegistry::GetProfileStringW(strPath, L"Hide Version", strHideVersion);

    const wchar_t* name = pszName ? pszName : L"";
    if (std::wcscmp(name, L"Hide Version") == 0) return bHideVersionRead ? strHideVersion : CString();
    CString value;
    if (!CRegistry::GetProfileStringW(strPath, name, value)) return CString();
    return value;
}

int CProduct::GetProductID()
{
    return 0;
}

int CProduct::Initialize()
{
    return 1;
}
