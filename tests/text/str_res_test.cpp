#include <gorv/gorv_base.h>

#include "text/fresh_process.h"
#include "text/str_res_map.h"

#include <string>

using namespace Gorv::link;

namespace {
std::wstring Text(const wchar_t* key) { return LoadStr(key, 0); }
}  // namespace

TEST(LoadStr, FreshProcessGivesPlaceholderUntilFirstRegistrationResizesMap) {
    EXPECT_IN_FRESH_PROCESS([](fresh::Checks& c) {
        const detail::StrResMap& map = detail::GetStrResMap();
        c.ExpectText(LoadStr(L"IDS_GEN_DATABASE_STATUS", 0), L"IDS_GEN_DATABASE_STATUS:미등록 문자열", "placeholder");
        c.Expect(map.GetHashTableSize() == 17, "17 buckets at load");
        const Language zh = Chinese;
        c.Expect(RegAllStrRes(&zh) == 0, "RegAllStrRes returns 0");
        c.Expect(map.GetHashTableSize() == 10009 && map.GetCount() == 78, "78 entries in 10009 buckets");
        c.ExpectText(LoadStr(L"IDS_GEN_DATABASE_MEMB_TYPE_GUFSL", 0),
                     L"IDS_GEN_DATABASE_MEMB_TYPE_GUFSL:미등록 문자열", "Chinese table lacks GUFSL");
        RegStrResKR();
        RegStrResEN();
        c.Expect(map.GetHashTableSize() == 10009 && map.GetCount() == 83, "83 distinct keys, same buckets");
    });
}

TEST(LoadStr, EachTableServesItsTexts) {
    const struct { int lang; const wchar_t* key; const wchar_t* text; } rows[] = {
        {Korean, L"IDS_GEN_DATA_BASE_KR_TEST", L"XQV_DgnCalc-Test(Lang:KR)"},
        {Korean, L"IDS_GEN_DATABASE_MEMB_TYPE_GUCBF", L"콘크리트 복합 기초 ( 보형식, 유로코드 )"},
        {English, L"IDS_GEN_DATABASE_MEMB_TYPE_PBRSW", L"Perform-Based Design / RC Shear Wall"},
        {English, L"IDS_GEN_DATABASE_READING_s_DOT", L"Reading %s ..."},  // never formatted here
        {Chinese, L"IDS_GEN_DATABASE_MEMB_TYPE_GERCF", L"RC 聯合基礎 ( Eurocode )"},
        {Chinese, L"IDS_GEN_DATA_BASE_EN_TEST", L"XQV_DgnCalc-Test(Lang:EN)"},
        {9, L"IDS_GEN_DATABASE_STATUS", L"Status"},  // no table of its own: English
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(CString(r.key).ToUtf8());
        RegStrResKR();  // another language underneath, so a missed registration shows
        const Language lang = static_cast<Language>(r.lang);
        EXPECT_EQ(0, RegAllStrRes(&lang));
        EXPECT_EQ(std::wstring(r.text), Text(r.key));
    }
}

TEST(LoadStr, SwitchingLanguageKeepsKeysTheNewTableLacks) {
    RegStrResKR();
    RegStrResZH();
    EXPECT_EQ(L"狀態", Text(L"IDS_GEN_DATABASE_STATUS"));
    EXPECT_EQ(L"XQV_DgnCalc-Test(Lang:KR)", Text(L"IDS_GEN_DATA_BASE_KR_TEST"));
    EXPECT_EQ(L"콘크리트 기둥 보강", Text(L"IDS_GEN_DATABASE_MEMB_TYPE_GUFCO"));
}

TEST(LoadStr, MissesShareOnePlaceholderBufferAndKeysAreCaseSensitive) {
    RegStrResEN();
    const wchar_t* hit = LoadStr(L"IDS_GEN_DATABASE_STATUS", 0);
    const wchar_t* first = LoadStr(L"ids_gen_database_status", 0);
    EXPECT_EQ(L"ids_gen_database_status:미등록 문자열", std::wstring(first));
    const wchar_t* second = LoadStr(L"IDS_GEN_DATABASE_STATUX", 0);
    EXPECT_EQ(first, second);
    EXPECT_EQ(L"IDS_GEN_DATABASE_STATUX:미등록 문자열", std::wstring(first));
    EXPECT_EQ(L":미등록 문자열", Text(nullptr));
    EXPECT_EQ(L"Status", std::wstring(hit));  // misses never overwrite registered texts
}
