// CString: wide-printf argument rules, bounded formatting, UTF-8 boundaries, checked access.
#include <gtest/gtest.h>

#include <gorv/gorv_base.h>

TEST(CStringFormat, WideArgumentRulesOfTheOriginalRuntime) {
    CString s;
    s.Format(L"%s:%c|%S|%C|%ls|%hs|%d|%zd|%5.2f|%%", L"키", L'x', "narrow", 'n', L"wide", "h", -3,
             static_cast<std::ptrdiff_t>(12), 3.14159);
    EXPECT_EQ(s, CString(L"키:x|narrow|n|wide|h|-3|12| 3.14|%"));
    // Long outputs grow past any internal first guess.
    CString big;
    big.Format(L"%s%s", CString(L'a', 5000).GetString(), CString(L'b', 5000).GetString());
    EXPECT_EQ(big.GetLength(), 10000);
    EXPECT_EQ(big[9999], L'b');
}

TEST(CStringFormat, BoundedPrintTruncatesAndTerminates) {
    wchar_t buf[8];
    struct Case {
        std::size_t cap;
        const wchar_t* expect;
    } cases[] = {{8, L"abcdef7"}, {4, L"abc"}, {1, L""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cap);
        std::fill(std::begin(buf), std::end(buf), L'#');
        int n = GorvFormatBounded(buf, c.cap, L"%s%d", L"abcdef", 789);
        EXPECT_STREQ(buf, c.expect);
        EXPECT_EQ(n, static_cast<int>(std::wcslen(c.expect)));
    }
    EXPECT_EQ(GorvFormatBounded(nullptr, 10, L"x"), 0);
}

TEST(CStringUtf8, RoundTripAndMalformedInput) {
    const char* utf8 = "A\xC3\xA9\xEC\x83\x81\xF0\x9F\x98\x80";  // A é 상 😀
    CString s(utf8);
    ASSERT_EQ(s.GetLength(), 4);
    EXPECT_EQ(s[2], static_cast<wchar_t>(0xC0C1));
    EXPECT_EQ(s[3], static_cast<wchar_t>(0x1F600));
    EXPECT_EQ(s.ToUtf8(), utf8);
    struct Case {
        std::string in;
        int len;
    } bad[] = {{"\xC3", 1}, {"\xE0\x80\x80", 3}, {"\xED\xA0\x80", 3}, {"a\xFF" "b", 3}, {"\xF4\x90\x80\x80", 4}};
    for (const Case& c : bad) {
        SCOPED_TRACE(c.in.size());
        CString d = CString::FromUtf8(c.in);
        EXPECT_EQ(d.GetLength(), c.len);
        EXPECT_NE(d.Find(static_cast<wchar_t>(0xFFFD)), -1);
    }
    // A lone surrogate never leaks into UTF-8 output.
    CString sur(static_cast<wchar_t>(0xD800), 1);
    EXPECT_EQ(sur.ToUtf8(), "\xEF\xBF\xBD");
}

TEST(CStringAccess, CheckedIndexAndClampedSubstrings) {
    CString s(L"abc");
    EXPECT_THROW(s.GetAt(3), CInvalidArgException);
    EXPECT_THROW(s.GetAt(-1), CInvalidArgException);
    EXPECT_THROW(s.SetAt(3, L'x'), CInvalidArgException);
    EXPECT_EQ(s.Mid(1, 10), CString(L"bc"));
    EXPECT_EQ(s.Mid(5), CString(L""));
    EXPECT_EQ(s.Left(-2), CString(L""));
    EXPECT_EQ(s.Right(10), CString(L"abc"));
    EXPECT_EQ(s.Find(L'c', 4), -1);
    EXPECT_EQ(CString(L"ABC").CompareNoCase(L"abd"), -1);
    EXPECT_EQ(CString(L"ab").Compare(L"abc"), -1);
    EXPECT_EQ(CString(static_cast<const wchar_t*>(nullptr)), CString(L""));
    CString r(L"aXbXc");
    EXPECT_EQ(r.Replace(L"X", L"--"), 2);
    EXPECT_EQ(r, CString(L"a--b--c"));
    wchar_t* p = r.GetBuffer(20);
    p[1] = L'\0';
    r.ReleaseBuffer();
    EXPECT_EQ(r, CString(L"a"));
}
