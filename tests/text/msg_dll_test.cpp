#include <gorv/gorv_base.h>

#include "text/fresh_process.h"

#include <string>

using namespace Gorv::link;

TEST(MsgDll, FirstLookupThroughPointerRegistersEnglishInFreshProcess) {
    EXPECT_IN_FRESH_PROCESS([](fresh::Checks& c) {
        c.Expect(CMsgDll::gLangType == -1 && CMsgDll::pfuncLoadStr == &CMsgDll::InitFunc, "state at load");
        c.ExpectText(CMsgDll::pfuncLoadStr(L"IDS_GEN_DATABASE_STATUS", 0), L"Status", "English text");
        c.Expect(CMsgDll::gLangType == English && CMsgDll::pfuncLoadStr == &LoadStr, "English bound");
    });
}

TEST(MsgDll, SetLoadStrFuncRegistersOnlyOnLanguageChange) {
    // Before each step the Korean table is registered behind CMsgDll's back, so a step that
    // registers nothing leaves the Korean text visible.
    const struct { int lang; const wchar_t* status; } steps[] = {
        {English, L"Status"}, {English, L"상태"}, {Chinese, L"狀態"},
        {7, L"Status"},  // no table of its own: English, and 7 is kept
        {7, L"상태"},
        {English, L"Status"},  // 0 differs from 7, so English is registered again
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.lang);
        RegStrResKR();
        CMsgDll::pfuncLoadStr = &CMsgDll::DefLoadStr;
        EXPECT_EQ(1, CMsgDll::SetLoadStrFunc(static_cast<Language>(s.lang)));
        EXPECT_EQ(s.status, std::wstring(LoadStr(L"IDS_GEN_DATABASE_STATUS", 0)));
        EXPECT_EQ(s.lang, static_cast<int>(CMsgDll::gLangType));
        EXPECT_EQ(&LoadStr, CMsgDll::pfuncLoadStr);
    }
}

TEST(MsgDll, InitFuncReRegistersEnglishOnlyWhenAnotherLanguageIsBound) {
    CMsgDll::SetLoadStrFunc(Korean);
    EXPECT_EQ(L"Status", std::wstring(CMsgDll::InitFunc(L"IDS_GEN_DATABASE_STATUS", 0)));
    EXPECT_EQ(English, CMsgDll::gLangType);
    RegStrResKR();
    EXPECT_EQ(L"상태", std::wstring(CMsgDll::InitFunc(L"IDS_GEN_DATABASE_STATUS", 0)));
    const Language zh = Chinese;
    RegAllStrRes(&zh);  // registers without touching the binding
    EXPECT_EQ(English, CMsgDll::gLangType);
}

TEST(MsgDll, RemoveQuoteStripsOnePairOfApostrophesOnly) {
    const struct { const wchar_t* in; const wchar_t* out; } rows[] = {
        {L"'abc'", L"abc"}, {L"''", L""}, {L"'", L"'"}, {L"'abc", L"'abc"}, {L"abc'", L"abc'"},
        {L"''x''", L"'x'"}, {L"\"abc\"", L"\"abc\""}, {L"", L""}, {nullptr, L""},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(CString(r.in).ToUtf8());
        EXPECT_EQ(std::wstring(r.out), std::wstring(CMsgDll::RemoveQuote(r.in)));
    }
}
