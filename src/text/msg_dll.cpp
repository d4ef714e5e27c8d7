// CMsgDll: language state and the lookup function pointer handed to the host.
#include <gorv/text/msg_dll.h>
#include <gorv/text/str_res.h>

#include "str_res_map.h"

// Both are constant-initialised, so they hold their start values before any dynamic initialiser.
Gorv::link::Language CMsgDll::gLangType = static_cast<Gorv::link::Language>(-1);
CMsgDll::PFN_LOAD_STR CMsgDll::pfuncLoadStr = &CMsgDll::InitFunc;

CMsgDll::~CMsgDll() {}

const wchar_t* CMsgDll::InitFunc(const wchar_t* key, int n) {
    if (gLangType != Gorv::link::English) {
        detail::RegisterStrResTable(Gorv::link::English);
        gLangType = Gorv::link::English;
    }
    pfuncLoadStr = &LoadStr;
    return LoadStr(key, n);
}

const wchar_t* CMsgDll::DefLoadStr(const wchar_t* /*key*/, int /*n*/) {
    return L"Error : DLL is not loaded. check message dll!\n";
}

int CMsgDll::SetLoadStrFunc(Gorv::link::Language& lang) {
    const Gorv::link::Language chosen = lang;
    if (chosen != gLangType) {
        detail::RegisterStrResTable(chosen);
        gLangType = chosen;
    }
    pfuncLoadStr = &LoadStr;
    return 1;
}

int CMsgDll::SetLoadStrFunc(const Gorv::link::Language& lang) {
    Gorv::link::Language copy = lang;
    return SetLoadStrFunc(copy);
}

CString CMsgDll::RemoveQuote(const wchar_t* text) {
    CString str(text != nullptr ? text : L"");
    const int len = str.GetLength();
    if (len >= 2 && str.GetAt(0) == L'\'' && str.GetAt(len - 1) == L'\'')
        return str.Mid(1, len - 2);
    return str;
}
