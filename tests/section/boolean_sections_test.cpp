// Section booleans on a model (titles, the result under A's id, rollback on failure) and the
// entry points on degenerate input and with the text observer.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "boolean_test_util.h"
#include "support/sect_dump.h"

namespace {

// Adds a closed ring of lines and makes a named plane section of it.
int AddSquareSection(CSectModel& m, double x0, double y0, double x1, double y1, const wchar_t* name) {
    const double v[5][2] = {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}, {x0, y0}};
    std::vector<int> ids;
    for (int i = 0; i < 4; ++i) ids.push_back(m.AddLineCurve(v[i][0], v[i][1], v[i + 1][0], v[i + 1][1]));
    return m.GenerateSectionEx(1, ids, false, {}, CString(), CString(name), 0.0);
}

bool RunOp(CSectModel& m, int op, int a, int b) {
    return op == 0 ? m.UniteSections(a, b) : op == 1 ? m.IntersectSections(a, b) : m.SubtractSections(a, b);
}

TEST(SectionBoolean, ResultTakesIdAndNameOfAAndTitleNamesBoth) {
    const struct {
        int op;
        const wchar_t* title;
    } cases[] = {{0, L"Unite sections [Wall] and [Slab]"},
                 {1, L"Intersect sections [Wall] and [Slab]"},
                 {2, L"Subtract section [Slab] from section [Wall]"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.op);
        CSectModel m(0.001);
        const int a = AddSquareSection(m, 0, 0, 10, 10, L"Wall");
        const int b = AddSquareSection(m, 5, 5, 15, 15, L"Slab");
        ASSERT_TRUE(a != 0 && b != 0);
        const int flags = sect_test::kDumpSkipCounters | sect_test::kDumpSkipWorkFields;
        const std::string before = sect_test::DumpSectModel(m, flags);
        ASSERT_TRUE(RunOp(m, c.op, a, b));
        EXPECT_EQ(m.GetSection(b), nullptr);
        const T_SM_SECTION* s = m.GetSection(a);
        ASSERT_NE(s, nullptr);
        EXPECT_EQ(s->strName, CString(L"Wall"));
        EXPECT_EQ(m.m_mapUndo.Find(m.m_nUndoId)->strTitle, CString(c.title));
        for (int id : s->aCurveId) EXPECT_EQ(m.GetCurve(id)->nSection, a);
        // One undo takes the whole operation back.
        m.Undo();
        EXPECT_EQ(sect_test::DumpSectModel(m, flags), before);
    }
}

TEST(SectionBoolean, FailureLeavesModelAsBefore) {
    // B is the square (bx, by)-(bx + 10, by + 10) beside A = (0, 0)-(10, 10). Failures before any
    // change (equal ids, a missing section), after splitting and merging shared curves (no common
    // area) and in the result builder (an identical B leaves nothing to subtract from).
    const struct {
        const char* name;
        int op;
        double bx, by;
        bool sameIds, missing;
    } cases[] = {{"disjoint intersect", 1, 20, 0, false, false}, {"disjoint subtract", 2, 20, 0, false, false},
                 {"half-shared edge intersect", 1, 10, 5, false, false},
                 {"identical subtract", 2, 0, 0, false, false},
                 {"same ids", 0, 20, 0, true, false}, {"missing B", 0, 20, 0, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CSectModel m(0.001);
        const int a = AddSquareSection(m, 0, 0, 10, 10, L"A");
        const int b = AddSquareSection(m, c.bx, c.by, c.bx + 10, c.by + 10, L"B");
        m.m_aLastCurve = {42};
        const int flags = sect_test::kDumpSkipCounters | sect_test::kDumpSkipWorkFields;
        const std::string before = sect_test::DumpSectModel(m, flags);
        const int undoBefore = m.m_nUndoId;
        EXPECT_FALSE(RunOp(m, c.op, a, c.sameIds ? a : c.missing ? 99 : b));
        EXPECT_EQ(sect_test::DumpSectModel(m, flags), before);
        EXPECT_EQ(m.m_nUndoId, undoBefore);
        EXPECT_EQ(m.m_aLastCurve, std::vector<int>{42});
    }
}

TEST(PolygonBooleanDegenerate, EndsInResultOrNothingAppended) {
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    using booltest::Ring;
    const Ring square = booltest::Rect(0, 0, 10, 10);
    const struct {
        const char* name;
        Ring outer;
        std::vector<Ring> holes;
    } cases[] = {
        {"NaN vertex", {{0, 0}, {10, 0}, {nan, 10}, {0, 10}}, {}},
        {"infinite vertex", {{0, 0}, {inf, 0}, {10, 10}}, {}},
        {"duplicate points", {{0, 0}, {10, 0}, {10, 0}, {10, 10}, {0, 10}}, {}},
        {"zero-area ring", {{0, 0}, {5, 0}, {10, 0}}, {}},
        {"bow tie", {{0, 0}, {10, 10}, {10, 0}, {0, 10}}, {}},
        {"figure eight", {{0, 0}, {5, 5}, {10, 0}, {10, 10}, {5, 5}, {0, 10}}, {}},
        {"hole outside", square, {booltest::Rect(20, 20, 30, 30, false)}},
        {"hole equals outer", square, {booltest::Rect(0, 0, 10, 10, false)}},
        {"hole touches outer", square, {{{0, 5}, {5, 4}, {5, 6}}}},
        {"huge", booltest::Rect(-1e200, -1e200, 1e200, 1e200), {}},
        {"tiny", booltest::Rect(0, 0, 1e-12, 1e-12), {}},
        {"empty", {}, {}},
        {"single point", {{1, 1}}, {}},
    };
    const T_GORV_COMPLEX_POLYGON2D other = booltest::Poly(booltest::Rect(5, 5, 15, 15));
    for (const auto& c : cases) {
        const T_GORV_COMPLEX_POLYGON2D bad = booltest::Poly(c.outer, c.holes);
        for (const char* op : {"union", "intersect", "subtract"})
            for (int order = 0; order < 2; ++order) {
                SCOPED_TRACE(std::string(c.name) + " " + op + (order ? " as B" : " as A"));
                CArray<T_GORV_COMPLEX_POLYGON2D> out;
                booltest::Run(op, order ? other : bad, order ? bad : other, out);
                EXPECT_EQ(booltest::ShapeProblems(out), "");
            }
    }
    // A non-positive or NaN subtraction tolerance appends nothing.
    for (double tol : {0.0, -1.0, nan}) {
        CArray<T_GORV_COMPLEX_POLYGON2D> out;
        CGeomFunc::Subtract2Polygon(booltest::Poly(square), other, out, tol);
        EXPECT_EQ(out.GetSize(), 0);
    }
}

TEST(PolygonBooleanDegenerate, CoordinatesBeyond1e100FailAndNeverYieldBrokenRings) {
    // A self-crossing ring with one far-out spike: once squared distances overflow, the section
    // parts used to close loops of a single point, which came out as one-vertex holes.
    using booltest::Ring;
    const Ring b = {{-10.75, -10.75}, {-10.75, 11.875}, {0, 11.5}};
    for (double far : {-6.963344555992978e+274, -1e200, -1.0000000000000002e100}) {
        const Ring spike = {{-14.5, 0}, {0.25, far}, {14.125, 4},      {-14.75, -13.625},
                            {0, -5.25}, {0.2559, 4.125}, {-14.5, -5.75}};
        for (const char* op : {"union", "intersect", "subtract"}) {
            SCOPED_TRACE(std::string(op) + " spike at " + std::to_string(far));
            CArray<T_GORV_COMPLEX_POLYGON2D> out;
            booltest::Run(op, booltest::Poly(spike), booltest::Poly(b), out, 1e-4);
            EXPECT_EQ(out.GetSize(), 0);
        }
    }
    // The bound itself is accepted: a quarter of a 2e100 square comes back whole.
    const double m = 1e100, over = 1.0000000000000002e100;
    CArray<T_GORV_COMPLEX_POLYGON2D> out;
    CGeomFunc::Intersect2Polygon(booltest::Poly(booltest::Rect(-m, -m, m, m)),
                                 booltest::Poly(booltest::Rect(-m, -m, 0, 0)), out);
    ASSERT_EQ(out.GetSize(), 1);
    EXPECT_EQ(out[0].outer.points.GetSize(), 4);
    EXPECT_EQ(out[0].outer.points[0].x, -m);
    out.RemoveAll();
    CGeomFunc::Intersect2Polygon(booltest::Poly(booltest::Rect(-over, -over, over, over)),
                                 booltest::Poly(booltest::Rect(-m, -m, 0, 0)), out);
    EXPECT_EQ(out.GetSize(), 0);
}

TEST(PolygonBooleanDegenerate, SelfCrossingHoleNeverYieldsPolygonWithoutOuterRing) {
    // A hole that crosses itself and the outer ring many times: subtraction used to end in a domain
    // with holes but no outer loop, handed out as a polygon with an empty outer ring.
    using booltest::Ring;
    const Ring outer = {{-5.75, 0},  {-5.375, 0.0003}, {0, 0.875},       {-13, -12.5},    {0, 0},
                        {0.875, 7.75}, {0, -10.75},    {-5.125, 15.3873}, {15.375, 0.2576}, {-11.75, 0.375}};
    const Ring hole = {{-12.5, -12.5}, {-12.5, 0},    {0, 0.875},     {7.75, 0.375},  {0.375, -5.7377},
                       {2.5, 0},       {0, 11.625},   {0.125, -0.125}, {1.0504821122769846e-296, 4},
                       {-14.5, 0.125}, {4, -10.75},   {-10.75, 9.875}, {-10.75, -5.125}, {0, 0},
                       {-12.5, -12.5}, {13.25, 15.75}, {-13.875, 3.75}, {0, -10.75},    {5.25, -5.7377},
                       {15.375, -5.75}, {9.5, -11.75}};
    const Ring b = {{0.0025, 0}, {0, 0}, {10.75, 10.75}};
    for (const char* op : {"union", "intersect", "subtract"}) {
        SCOPED_TRACE(op);
        CArray<T_GORV_COMPLEX_POLYGON2D> out;
        booltest::Run(op, booltest::Poly(outer, {hole}), booltest::Poly(b), out, 0.0008);
        EXPECT_EQ(booltest::ShapeProblems(out), "");
    }
}

void Collect(void* ctx, int kind, const wchar_t* text) {
    static_cast<std::vector<std::pair<int, CString>>*>(ctx)->push_back({kind, CString(text)});
}

TEST(PolygonBooleanObserver, SeesWhyThereIsNoResultAndChangesNothing) {
    const T_GORV_COMPLEX_POLYGON2D a = booltest::Poly(booltest::Rect(0, 0, 10, 10));
    const T_GORV_COMPLEX_POLYGON2D b = booltest::Poly(booltest::Rect(20, 0, 30, 10));
    std::vector<std::pair<int, CString>> texts;
    CGeomFunc::SetBooleanTextObserver(&Collect, &texts);
    CArray<T_GORV_COMPLEX_POLYGON2D> watched;
    CGeomFunc::Intersect2Polygon(a, b, watched);
    CGeomFunc::Union2Polygon(a, b, watched);
    CGeomFunc::SetBooleanTextObserver(nullptr, nullptr);
    CArray<T_GORV_COMPLEX_POLYGON2D> plain;
    CGeomFunc::Union2Polygon(a, b, plain);

    bool sawReason = false;
    for (const auto& t : texts)
        sawReason |= t.first == SM_TEXT_WARNING && t.second == CString(L"Two selected sections do not have the common area.");
    EXPECT_TRUE(sawReason);
    ASSERT_EQ(watched.GetSize(), plain.GetSize());
    EXPECT_EQ(watched.GetSize(), 2);
    // Turned off: later calls report nothing.
    const size_t n = texts.size();
    CGeomFunc::Intersect2Polygon(a, b, plain);
    EXPECT_EQ(texts.size(), n);
}

}  // namespace
