// CMsgDll: binds the host's text lookups (one function pointer) to the localized string registry.
#pragma once

#include <gorv/platform/gorv_export.h>
#include <gorv/platform/afx_string.h>
#include <gorv/geom/geom_types.h>

class GORV_API CMsgDll {
public:
    // Signature of every lookup function that pfuncLoadStr may hold.
    typedef const wchar_t* (*PFN_LOAD_STR)(const wchar_t* key, int n);

    CMsgDll() {}
    CMsgDll(const CMsgDll&) {}
    CMsgDll& operator=(const CMsgDll&) { return *this; }
    virtual ~CMsgDll();

    // Language whose table was last registered through this class or IGorvLib; -1 = none yet.
    static Gorv::link::Language gLangType;
    // The lookup callers use. Starts as InitFunc, which registers English on the first call.
    static PFN_LOAD_STR pfuncLoadStr;

    // First-call lookup: registers English unless it is the current language, installs LoadStr
    // and returns LoadStr(key, n).
    static const wchar_t* InitFunc(const wchar_t* key, int n);
    // Stand-by lookup for a host without message library; the same text for every key.
    static const wchar_t* DefLoadStr(const wchar_t* key, int n);
    // Registers the table of lang unless it is already the current language, installs LoadStr.
    // Always returns 1.
    static int SetLoadStrFunc(Gorv::link::Language& lang);
    // The same for a constant or an enumerator.
    static int SetLoadStrFunc(const Gorv::link::Language& lang);
    // Strips one pair of enclosing apostrophes; any other text comes back unchanged.
    static CString RemoveQuote(const wchar_t* text);
};

// Marker class of the message library; carries no data and no operations.
class GORV_API CMsgDllChk {
};
