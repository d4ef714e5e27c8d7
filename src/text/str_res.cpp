// String map, table registration and LoadStr.
#include <gorv/text/str_res.h>

#include "str_res_map.h"
#include "str_res_tables.h"

namespace {

// Initialisation order of the library's statics: the library interface object (frame area,
// init_priority 60000) comes before this map, and the module entry handler (constructor priority
// 60002) after both. Fixed priorities make the order independent of link order; destructors run in
// reverse, so the map is torn down before the interface object.
detail::StrResMap g_strResMap __attribute__((init_priority(60001)));

// The map is re-sized once per process, at the first registration; later ones keep the table.
bool g_bStrResHashInit = false;

void RegisterTable(const detail::StrResEntry* rows, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        detail::RegisterStrRes(rows[i].key, rows[i].text);
}

}  // namespace

namespace detail {

StrResMap& GetStrResMap() { return g_strResMap; }

void RegisterStrRes(const wchar_t* key, const wchar_t* text) {
    if (!g_bStrResHashInit) {
        g_strResMap.InitHashTable(kStrResHashSize);
        g_bStrResHashInit = true;
    }
    g_strResMap.SetAt(key, text);
}

void RegisterStrResTable(int lang) {
    switch (lang) {
    case Gorv::link::Korean: RegStrResKR(); break;
    case Gorv::link::Chinese: RegStrResZH(); break;
    default: RegStrResEN(); break;
    }
}

}  // namespace detail

void RegStrResKR() {
    std::size_t count = 0;
    const detail::StrResEntry* rows = detail::StrResTableKR(count);
    RegisterTable(rows, count);
}

void RegStrResEN() {
    std::size_t count = 0;
    const detail::StrResEntry* rows = detail::StrResTableEN(count);
    RegisterTable(rows, count);
}

void RegStrResZH() {
    std::size_t count = 0;
    const detail::StrResEntry* rows = detail::StrResTableZH(count);
    RegisterTable(rows, count);
}

extern "C" GORV_API const wchar_t* LoadStr(const wchar_t* key, int /*n*/) {
    // A null key is looked up as the empty key: callers get the placeholder instead of a crash.
    if (key == nullptr)
        key = L"";
    const wchar_t* text = nullptr;
    if (g_strResMap.Lookup(key, text))
        return text;
    // Shared by all failed lookups: each one overwrites the text the previous one returned.
    static CString s_strUnregistered;
    s_strUnregistered.Format(L"%s:미등록 문자열", key);
    return s_strUnregistered;
}

extern "C" GORV_API int RegAllStrRes(const Gorv::link::Language* lang) {
    // No language given: English, as for any value without a table of its own.
    detail::RegisterStrResTable(lang != nullptr ? static_cast<int>(*lang) : Gorv::link::English);
    return 0;
}
