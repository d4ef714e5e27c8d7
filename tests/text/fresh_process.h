// Runs checks in a newly started copy of the test binary (gtest's "threadsafe" death-test style
// re-executes it), where the library's statics are as they are right after load.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>

namespace fresh {

struct Checks {  // failures are printed on the child's stderr, which gtest shows
    std::string failures;
    void Expect(bool ok, const char* what) { if (!ok) failures += std::string(what) + "\n"; }
    void ExpectText(const wchar_t* got, const wchar_t* want, const char* what) {
        Expect(got != nullptr && std::wcscmp(got, want) == 0, what);
    }
};

template <typename Fn> int Run(Fn fn) {
    Checks c;
    fn(c);
    std::fputs(c.failures.c_str(), stderr);
    return c.failures.empty() ? 0 : 1;
}

}  // namespace fresh

#define EXPECT_IN_FRESH_PROCESS(...)                                                  \
    do {                                                                              \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                               \
        EXPECT_EXIT(std::exit(fresh::Run(__VA_ARGS__)), ::testing::ExitedWithCode(0), ""); \
    } while (0)
