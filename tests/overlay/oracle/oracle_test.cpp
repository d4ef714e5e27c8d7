// The overlay engine judged by GEOS: a fixed-seed share of the generated corpus (every family, all
// three operations) and the recorded cases of overlay/oracle/cases/. Without GEOS these tests skip,
// or fail when the environment variable CI is set. The whole corpus runs in
// bench/overlay_oracle_run.cpp.
#include <gtest/gtest.h>

#include "support/overlay_corpus.h"
#ifndef GORV_HAVE_GEOS
#define GORV_HAVE_GEOS 0
#endif
#if GORV_HAVE_GEOS
#include "support/overlay_oracle.h"
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using gorv_corpus::Case;
using gorv_corpus::MakeCase;

const GORV_BOOLEAN_OP kOps[3] = {GORV_BOOLEAN_UNION, GORV_BOOLEAN_INTERSECT, GORV_BOOLEAN_SUBTRACT};

#define GORV_REQUIRE_GEOS()                                                                  \
    do {                                                                                     \
        if (!GORV_HAVE_GEOS) {                                                               \
            if (std::getenv("CI")) {                                                         \
                FAIL() << "GEOS (Debian package libgeos-dev) is required under CI";          \
            }                                                                                \
            GTEST_SKIP() << "GEOS (Debian package libgeos-dev) is not installed: no oracle"; \
        }                                                                                    \
    } while (0)

// Same seed, same bits: the first cases of every family are pinned by hash, so a change of the
// generator, or a platform whose arithmetic builds other coordinates, shows here.
TEST(OverlayCorpus, SameSeedBuildsTheSameBits) {
    std::uint64_t total = 0;
    for (int f = 0; f < gorv_corpus::kFamilyCount; ++f) total += 3 * gorv_corpus::FullCaseCount(f);
    EXPECT_GE(total, 20000u);

    std::uint64_t h = 0;
    std::set<std::uint64_t> distinct;
    for (int f = 0; f < gorv_corpus::kFamilyCount; ++f) {
        for (std::uint64_t i = 0; i < 20; ++i) {
            const Case c = MakeCase(gorv_corpus::kDefaultSeed, f, i);
            const std::uint64_t ch = gorv_corpus::CaseHash(c);
            EXPECT_EQ(ch, gorv_corpus::CaseHash(MakeCase(gorv_corpus::kDefaultSeed, f, i)));
            distinct.insert(ch);
            h = h * 1000003u ^ ch;
            ASSERT_FALSE(c.a.empty() && c.b.empty()) << gorv_corpus::FamilyName(f) << " " << i;
        }
    }
    EXPECT_GE(distinct.size(), gorv_corpus::kFamilyCount * 20u - 2u);  // a rare repeat is possible (e.g. A equal to B)
    EXPECT_EQ(h, 13433731495268407330ULL) << h;
    EXPECT_NE(gorv_corpus::CaseHash(MakeCase(1, gorv_corpus::kNgon, 0)),
              gorv_corpus::CaseHash(MakeCase(2, gorv_corpus::kNgon, 0)));
}

// Every operand reads back from its WKT exactly (the form in which failing cases are recorded).
TEST(OverlayCorpus, WktRoundTripIsExact) {
    for (int f = 0; f < gorv_corpus::kFamilyCount; ++f) {
        for (std::uint64_t i = 0; i < 30; ++i) {
            const Case c = MakeCase(gorv_corpus::kDefaultSeed, f, i);
            for (const auto* op : {&c.a, &c.b}) {
                std::vector<T_GORV_COMPLEX_POLYGON2D> back;
                ASSERT_TRUE(gorv_corpus::ParseWkt(gorv_corpus::ToWkt(*op), back));
                ASSERT_EQ(back.size(), op->size());
                EXPECT_EQ(gorv_corpus::ToWkt(back), gorv_corpus::ToWkt(*op));
            }
        }
    }
}

#if GORV_HAVE_GEOS

// Cases per family in the share run here: a third of the corpus (about 8,100 operations), or
// $GORV_ORACLE_CASES per family when set.
std::uint64_t ShareCount(int family) {
    if (const char* env = std::getenv("GORV_ORACLE_CASES")) {
        const long long n = std::atoll(env);
        if (n > 0) return static_cast<std::uint64_t>(n);
    }
    return gorv_corpus::FullCaseCount(family) / 3;
}

struct Failure {
    std::size_t vertices;
    std::string text;
};

class OracleShare : public ::testing::TestWithParam<int> {};

TEST_P(OracleShare, AgreesWithGeos) {
    const int family = GetParam();
    gorv_oracle::GeosOracle oracle;
    int counts[gorv_oracle::kVerdictCount] = {0, 0, 0, 0};
    std::vector<Failure> failures;
    const std::uint64_t n = ShareCount(family);
    for (std::uint64_t i = 0; i < n; ++i) {
        const Case c = MakeCase(gorv_corpus::kDefaultSeed, family, i);
        std::string why;
        ASSERT_TRUE(oracle.SetCase(c, &why)) << "corpus fault, " << gorv_corpus::FamilyName(family) << " case " << i << ": " << why;
        for (GORV_BOOLEAN_OP op : kOps) {
            const gorv_oracle::Outcome o = gorv_oracle::RunAndCheck(oracle, c, op, i % 4 == 0);
            ++counts[o.verdict];
            if (o.verdict == gorv_oracle::kAgree) continue;
            std::ostringstream s;
            s << gorv_corpus::FamilyName(family) << " case " << i << " " << gorv_oracle::OpName(op) << " (tolerance "
              << c.tolerance << "): " << gorv_oracle::VerdictName(o.verdict) << ": " << o.detail;
            failures.push_back({gorv_corpus::VertexCount(c.a) + gorv_corpus::VertexCount(c.b), s.str()});
            if (failures.size() == 1 || failures.back().vertices < failures.front().vertices) {
                failures.back().text += "\n  A: " + gorv_corpus::ToWkt(c.a) + "\n  B: " + gorv_corpus::ToWkt(c.b);
                std::swap(failures.front(), failures.back());
            }
        }
    }
    std::printf("[oracle] %s: %llu operations: agree %d, disagree %d, invalid %d, failed %d\n",
                gorv_corpus::FamilyName(family), static_cast<unsigned long long>(3 * n), counts[0], counts[1],
                counts[2], counts[3]);
    // The smallest failing case (with its operands) first, then up to 9 more.
    for (std::size_t k = 0; k < failures.size() && k < 10; ++k) ADD_FAILURE() << failures[k].text;
    EXPECT_EQ(counts[gorv_oracle::kAgree], static_cast<int>(3 * n));
}

INSTANTIATE_TEST_SUITE_P(Families, OracleShare, ::testing::Range(0, static_cast<int>(gorv_corpus::kFamilyCount)),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(gorv_corpus::FamilyName(info.param));
                         });

#else

TEST(OracleShare, AgreesWithGeos) { GORV_REQUIRE_GEOS(); }

#endif

// The recorded cases: a comment line, operands A and B as WKT (POLYGON or MULTIPOLYGON), an
// optional "tolerance T" line, and GEOS's areas as "union X", "intersection X", "difference X".
TEST(OracleRecordedCases, AgreeWithGeos) {
    GORV_REQUIRE_GEOS();
#if GORV_HAVE_GEOS
    const std::filesystem::path dir = std::filesystem::path(GORV_TEST_DATA_DIR) / "overlay" / "oracle" / "cases";
    std::vector<std::filesystem::path> files;
    for (const auto& e : std::filesystem::directory_iterator(dir))
        if (e.path().extension() == ".txt") files.push_back(e.path());
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 5u) << "cases not found under " << dir;
    gorv_oracle::GeosOracle oracle;
    for (const auto& path : files) {
        SCOPED_TRACE(path.filename().string());
        Case c;
        double recorded[3];
        ASSERT_TRUE(gorv_corpus::ReadCaseFile(path.string(), c, recorded));
        std::string why;
        ASSERT_TRUE(oracle.SetCase(c, &why)) << why;
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(gorv_oracle::OpName(kOps[k]));
            // The recorded areas were computed by GEOS too: a check of the referee itself.
            if (recorded[k] >= 0.0) {
                EXPECT_NEAR(oracle.GeosArea(kOps[k]), recorded[k], 1e-9 * (1.0 + recorded[k]));
            }
            const gorv_oracle::Outcome o = gorv_oracle::RunAndCheck(oracle, c, kOps[k]);
            EXPECT_EQ(o.verdict, gorv_oracle::kAgree) << gorv_oracle::VerdictName(o.verdict) << ": " << o.detail;
        }
    }
#endif
}

// Invalid input is refused, never answered: each generated invalid member (GEOS agrees it is
// invalid) gets the status invalid input naming its operand, polygon, ring and problem, whichever
// operation is asked, and nothing is appended.
TEST(OracleInvalidInput, RefusedWithOperandPolygonRingAndProblem) {
    GORV_REQUIRE_GEOS();
#if GORV_HAVE_GEOS
    gorv_oracle::GeosOracle oracle;
    int problems[16] = {};
    for (std::uint64_t i = 0; i < 300; ++i) {
        const gorv_corpus::InvalidCase ic = gorv_corpus::MakeInvalidCase(gorv_corpus::kDefaultSeed, i);
        SCOPED_TRACE("invalid case " + std::to_string(i) + ": A " + gorv_corpus::ToWkt(ic.c.a) + " B " +
                     gorv_corpus::ToWkt(ic.c.b));
        std::string why;
        ASSERT_FALSE(oracle.SetCase(ic.c, &why));
        EXPECT_NE(why.find(std::string(ic.operand == 0 ? "A" : "B") + " polygon " + std::to_string(ic.polygon)),
                  std::string::npos) << why;
        const GORV_BOOLEAN_OP op = kOps[i % 3];
        CArray<T_GORV_COMPLEX_POLYGON2D> out;
        T_GORV_BOOLEAN_OPTIONS options;
        const T_GORV_BOOLEAN_REPORT r = CGeomFunc::PolygonBoolean(op, gorv_corpus::ToArray(ic.c.a),
                                                                  gorv_corpus::ToArray(ic.c.b), out, options);
        ASSERT_EQ(r.eStatus, GORV_BOOLEAN_INVALID) << r.strMessage;
        EXPECT_EQ(out.GetSize(), 0);
        EXPECT_EQ(r.eProblem, ic.problem) << r.strMessage;
        EXPECT_EQ(r.nOperand, ic.operand) << r.strMessage;
        EXPECT_EQ(r.nPolygon, ic.polygon) << r.strMessage;
        if (ic.otherRing < 0) EXPECT_EQ(r.nRing, ic.ring) << r.strMessage;
        else EXPECT_TRUE(r.nRing == ic.ring || r.nRing == ic.otherRing) << r.nRing << " " << r.strMessage;
        EXPECT_FALSE(r.strMessage.empty());
        ++problems[ic.problem];
    }
    // Every kind of problem was generated.
    for (GORV_BOOLEAN_PROBLEM p : {GORV_PROBLEM_SELF_CROSSING, GORV_PROBLEM_HOLE_CROSSES_OUTER, GORV_PROBLEM_HOLE_OUTSIDE,
                                   GORV_PROBLEM_HOLES_OVERLAP, GORV_PROBLEM_HOLES_NESTED})
        EXPECT_GT(problems[p], 30) << p;
#endif
}

#if GORV_HAVE_GEOS
// The referee itself: GEOS's own result, handed over as the engine's, agrees; a result with a
// piece missing, a ring in the wrong direction, or a closing repeat does not.
TEST(OracleReferee, AcceptsTheTruthAndCatchesFaults) {
    gorv_oracle::GeosOracle oracle;
    Case c;
    std::vector<T_GORV_COMPLEX_POLYGON2D> a, b;
    ASSERT_TRUE(gorv_corpus::ParseWkt("POLYGON ((0 0, 10 0, 10 10, 0 10, 0 0), (2 2, 2 4, 4 4, 4 2, 2 2))", a));
    ASSERT_TRUE(gorv_corpus::ParseWkt("POLYGON ((5 5, 15 5, 15 15, 5 15, 5 5))", b));
    c.a = a;
    c.b = b;
    ASSERT_TRUE(oracle.SetCase(c, nullptr));
    T_GORV_BOOLEAN_REPORT ok, empty, failed;  // failed: the status of a report left as it was made
    ok.eStatus = GORV_BOOLEAN_RESULT;
    empty.eStatus = GORV_BOOLEAN_EMPTY;
    auto judge = [&](GORV_BOOLEAN_OP op, const char* wkt, const T_GORV_BOOLEAN_REPORT& rep) {
        std::vector<T_GORV_COMPLEX_POLYGON2D> v;
        if (wkt) {
            EXPECT_TRUE(gorv_corpus::ParseWkt(wkt, v));
        }
        CArray<T_GORV_COMPLEX_POLYGON2D> r;
        for (auto& p : v) {
            // Drop the closing repeat, as the engine writes rings.
            p.outer.points.RemoveAt(p.outer.points.GetSize() - 1);
            for (INT_PTR h = 0; h < p.holes.GetSize(); ++h) p.holes[h].points.RemoveAt(p.holes[h].points.GetSize() - 1);
            r.Add(p);
        }
        return oracle.Check(op, rep, r);
    };
    const char* inter = "POLYGON ((5 5, 10 5, 10 10, 5 10, 5 5))";
    struct Row {
        const char* what;
        GORV_BOOLEAN_OP op;
        const char* wkt;
        const T_GORV_BOOLEAN_REPORT& rep;
        int want;
    };
    const Row rows[] = {
        {"the truth", GORV_BOOLEAN_INTERSECT, inter, ok, gorv_oracle::kAgree},
        {"the truth", GORV_BOOLEAN_UNION,
         "POLYGON ((0 0, 10 0, 10 5, 15 5, 15 15, 5 15, 5 10, 0 10, 0 0), (2 2, 2 4, 4 4, 4 2, 2 2))", ok, gorv_oracle::kAgree},
        {"a corner moved by 0.0015, inside the 2 x tolerance band", GORV_BOOLEAN_INTERSECT,
         "POLYGON ((5 10, 5.0015 5, 10 5, 10 10, 5 10))", ok, gorv_oracle::kAgree},
        {"a vertex 3 tolerances from every input edge: neither an input vertex nor a crossing, snapped",
         GORV_BOOLEAN_INTERSECT, "POLYGON ((4.997 7.5, 5 5, 10 5, 10 10, 5 10, 4.997 7.5))", ok, gorv_oracle::kInvalid},
        {"the right set, but not starting at the smallest vertex", GORV_BOOLEAN_INTERSECT,
         "POLYGON ((10 5, 10 10, 5 10, 5 5, 10 5))", ok, gorv_oracle::kInvalid},
        {"the hole lost: a difference beyond snapping", GORV_BOOLEAN_UNION,
         "POLYGON ((0 0, 10 0, 10 5, 15 5, 15 15, 5 15, 5 10, 0 10, 0 0))", ok, gorv_oracle::kDisagree},
        {"clockwise outer ring", GORV_BOOLEAN_INTERSECT, "POLYGON ((5 5, 5 10, 10 10, 10 5, 5 5))", ok, gorv_oracle::kInvalid},
        {"two pieces sharing an edge are one polygon, not two", GORV_BOOLEAN_INTERSECT,
         "MULTIPOLYGON (((5 5, 10 5, 10 7, 5 7, 5 5)), ((5 7, 10 7, 10 10, 5 10, 5 7)))", ok, gorv_oracle::kInvalid},
        {"status empty, nothing appended, but GEOS has a result", GORV_BOOLEAN_INTERSECT, nullptr, empty, gorv_oracle::kDisagree},
        {"status empty with a result appended", GORV_BOOLEAN_INTERSECT, inter, empty, gorv_oracle::kInvalid},
        {"status failed", GORV_BOOLEAN_INTERSECT, nullptr, failed, gorv_oracle::kFailed},
    };
    for (const auto& row : rows) EXPECT_EQ(judge(row.op, row.wkt, row.rep).verdict, row.want) << row.what;
    // A closing repeat.
    CArray<T_GORV_COMPLEX_POLYGON2D> closed;
    std::vector<T_GORV_COMPLEX_POLYGON2D> v;
    ASSERT_TRUE(gorv_corpus::ParseWkt(inter, v));
    closed.Add(v[0]);
    EXPECT_EQ(oracle.Check(GORV_BOOLEAN_INTERSECT, ok, closed).verdict, gorv_oracle::kInvalid);
    // A small counter-clockwise triangle far from the origin is counter-clockwise (the ring
    // direction must not drown in the rounding of products of large coordinates).
    CArray<T_GORV_COMPLEX_POLYGON2D> far;
    T_GORV_COMPLEX_POLYGON2D tri;
    for (const T_GORV_POINT2D& p : {T_GORV_POINT2D{9885143.8, 2104436.9}, T_GORV_POINT2D{9885143.81, 2104436.9},
                                    T_GORV_POINT2D{9885143.8, 2104436.91}})
        tri.outer.points.Add(p);
    far.Add(tri);
    EXPECT_EQ(gorv_oracle::RingRuleProblems(far), "");
}
#endif

}  // namespace
