// CProduct and CTestEnvMgr: what is read once per process, what each cache keeps, and the number
// conversion. Each check runs in a newly started process, where the function-local statics are
// still unmade, with a store of its own.
#include <gtest/gtest.h>

#include <gorv/gorv_base.h>

#include "support/temp_registry.h"
#include "text/fresh_process.h"

namespace {

const wchar_t* const kTest = L"HKEY_CURRENT_USER\\Software\\TELUN\\TEST";

bool Write(const wchar_t* name, const wchar_t* text) { return CRegistry::WriteProfileStringW(kTest, name, text) == 1; }

TEST(TestEnvProduct, HideVersionIsReadOncePerProcess) {
    EXPECT_IN_FRESH_PROCESS([](fresh::Checks& f) {
        regtest::TempRegistry store;
        f.Expect(Write(L"Hide Version", L"1.2") && Write(L"Other", L"a"), "setup");
        f.Expect(CProduct::GetTestEnvValue(L"Hide Version") == L"1.2", "first read");
        f.Expect(Write(L"Hide Version", L"9") && Write(L"Other", L"b"), "change");
        f.Expect(CProduct::GetTestEnvValue(L"Hide Version") == L"1.2", "kept text");
        f.Expect(CProduct::GetTestEnvValue(L"Other") == L"b", "other values are read each time");
        // Only the exact name is kept; another spelling reads the store, whose names ignore case.
        f.Expect(CProduct::GetTestEnvValue(L"hide version") == L"9", "other spelling");
        f.Expect(CProduct::GetTestEnvValue(L"Missing") == L"", "missing value");
        f.Expect(CProduct::GetProductID() == 0, "product id");
    });
    EXPECT_IN_FRESH_PROCESS([](fresh::Checks& f) {
        regtest::TempRegistry store;
        f.Expect(CProduct::GetTestEnvValue(L"Hide Version") == L"", "missing at first read");
        f.Expect(Write(L"Hide Version", L"1"), "setup");
        f.Expect(CProduct::GetTestEnvValue(L"Hide Version") == L"", "a failed first read is kept too");
    });
}

TEST(TestEnvManager, EachCacheReadsASettingOnce) {
    EXPECT_IN_FRESH_PROCESS([](fresh::Checks& f) {
        regtest::TempRegistry store;
        f.Expect(Write(L"X", L"ON") && Write(L"Y", L"ON") && Write(L"Z", L"1"), "setup");
        f.Expect(CTestEnvMgr::GetTestEnvST(L"X") == L"ON", "text read");
        f.Expect(CTestEnvMgr::GetTestEnvST(L"Nope") == L"", "missing text");
        f.Expect(Write(L"X", L"OFF") && Write(L"Nope", L"late"), "change");
        f.Expect(CTestEnvMgr::GetTestEnvST(L"X") == L"ON", "cached text");
        f.Expect(CTestEnvMgr::GetTestEnvST(L"Nope") == L"", "cached empty text");
        f.Expect(CTestEnvMgr::GetTestEnvST(L"x") == L"OFF", "cache keys are case-sensitive");

        f.Expect(CTestEnvMgr::IsTestEnvST(L"Y", L"on") == 1, "match ignores case");
        f.Expect(CTestEnvMgr::IsTestEnvST(L"Y", L"off") == 1, "first match result is kept");
        f.Expect(CTestEnvMgr::IsTestEnvST(L"Z", L"2") == 0, "no match");
        f.Expect(Write(L"Z", L"2"), "change Z");
        f.Expect(CTestEnvMgr::IsTestEnvST(L"Z", L"2") == 0, "kept no-match");
        f.Expect(CTestEnvMgr::GetTestEnvST(L"Z") == L"2", "matching does not fill the text cache");

        CTestEnvMgr::SetTestEnvST(L"X", L"0");
        f.Expect(CTestEnvMgr::GetTestEnvST(L"X") == L"0", "set text");
        f.Expect(CTestEnvMgr::IsTestEnvST(L"X", L"1") == 1, "set makes the key match");
        f.Expect(CTestEnvMgr::IsTestEnvST(L"Z", L"anything") == 0, "other keys keep theirs");
        CString stored;
        f.Expect(CRegistry::GetProfileStringW(kTest, L"X", stored) == 1 && stored == L"OFF", "store not written");

        f.Expect(Write(L"D", L"2.5") && Write(L"E", L"  -3.25e1xyz") && Write(L"F", L"abc"), "numbers");
        f.Expect(CTestEnvMgr::GetTestEnvDbl(L"D") == 2.5, "2.5");
        f.Expect(CTestEnvMgr::GetTestEnvDbl(L"E") == -32.5, "numeric prefix");
        f.Expect(CTestEnvMgr::GetTestEnvDbl(L"F") == 0.0, "no number");
        f.Expect(CTestEnvMgr::GetTestEnvDbl(L"G") == 0.0, "missing");
        f.Expect(Write(L"D", L"7"), "change D");
        f.Expect(CTestEnvMgr::GetTestEnvDbl(L"D") == 2.5, "number from the text cache");

        CTestEnvMgr own;
        f.Expect(own.m_mapTestEnv.GetHashTableSize() == 17 && own.m_mapIsTestEnv.GetHashTableSize() == 17, "buckets");
        f.Expect(own.m_mapTestEnv.GetBlockSize() == 10 && own.m_mapIsTestEnv.GetBlockSize() == 10, "blocks");
    });
}

}  // namespace
