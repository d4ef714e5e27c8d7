// CProduct: test settings read from "HKEY_CURRENT_USER\Software\TELUN\TEST". The value
// "Hide Version" is read once per process and kept; every other value is read on each call.
#pragma once

#include <gorv/platform/afx_string.h>
#include <gorv/platform/gorv_export.h>

class GORV_API CProduct {
public:
    CProduct() = default;
    CProduct(const CProduct&) = default;
    CProduct& operator=(const CProduct&) = default;
    virtual ~CProduct();

    // The named test value as text, or "" when it cannot be read. "Hide Version" (matched exactly,
    // case-sensitive) gives the text read on the first call of the process, whatever the store
    // holds now.
    static CString GetTestEnvValue(const wchar_t* pszName);
    // Always 0.
    static int GetProductID();

protected:
    // Always 1.
    static int Initialize();

    static int m_bInit;  // 1
};
