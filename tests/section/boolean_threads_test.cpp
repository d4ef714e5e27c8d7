// Polygon booleans called from several threads at once must give exactly the sequential results
// (each call owns its model; the text observer is per thread). Run under the tsan preset too.
#include <gtest/gtest.h>

#include <thread>

#include "boolean_test_util.h"

namespace {

struct Case {
    T_GORV_COMPLEX_POLYGON2D a, b;
    int op;
};

std::vector<Case> MakeCases() {
    std::vector<Case> cases;
    for (int i = 0; i < 24; ++i) {
        const double d = 1.0 + 0.37 * i;
        std::vector<booltest::Ring> holes;
        if (i % 3 == 0) holes.push_back(booltest::Rect(1, 1, 2, 2, false));
        cases.push_back({booltest::Poly(booltest::RegularPolygon(3, 3, 3, 5 + i % 7, 7.0 * i), holes),
                         booltest::Poly(booltest::RegularPolygon(3 + d, 3, 2.5, 4 + i % 5, 11.0 * i)), i % 3});
    }
    return cases;
}

// Bit-exact text of one call's output.
std::string RunCase(const Case& c) {
    CArray<T_GORV_COMPLEX_POLYGON2D> out;
    booltest::Run(c.op == 0 ? "union" : c.op == 1 ? "intersect" : "subtract", c.a, c.b, out);
    std::string s;
    for (INT_PTR i = 0; i < out.GetSize(); ++i) s += booltest::ToWkt(out[i]) + "|";
    return s;
}

void CountText(void* ctx, int, const wchar_t*) { ++*static_cast<int*>(ctx); }

TEST(PolygonBooleanThreads, ConcurrentCallsMatchSequentialResults) {
    const std::vector<Case> cases = MakeCases();
    std::vector<std::string> expected;
    for (const Case& c : cases) expected.push_back(RunCase(c));

    const int kThreads = 4;
    std::vector<std::vector<std::string>> got(kThreads);
    std::vector<int> texts(kThreads, 0);
    std::vector<std::thread> pool;
    for (int t = 0; t < kThreads; ++t) {
        pool.emplace_back([&, t] {
            // Odd threads watch the texts: an observer on one thread must not change any result.
            if (t % 2) CGeomFunc::SetBooleanTextObserver(&CountText, &texts[t]);
            got[t].resize(cases.size());
            for (int round = 0; round < 3; ++round)
                for (size_t i = 0; i < cases.size(); ++i) {
                    const size_t k = (i + static_cast<size_t>(t) * 5) % cases.size();  // different order per thread
                    std::string r = RunCase(cases[k]);
                    if (round == 0) got[t][k] = r;
                    else if (r != got[t][k]) got[t][k] = "changed between rounds";
                }
            CGeomFunc::SetBooleanTextObserver(nullptr, nullptr);
        });
    }
    for (auto& th : pool) th.join();
    for (int t = 0; t < kThreads; ++t) {
        SCOPED_TRACE("thread " + std::to_string(t));
        EXPECT_EQ(got[t], expected);
        if (t % 2) EXPECT_GT(texts[t], 0);
        else EXPECT_EQ(texts[t], 0);
    }
}

}  // namespace
