// The indexed section passes against the plain ones: corpus, examples, fuzz regressions and a
// generated set of small models (rings of up to 128 vertices) give the same outcome byte for byte.
#include <gtest/gtest.h>

#include "compare_cases.h"
#include "section/boolean_test_util.h"

#include <cmath>
#include <filesystem>

namespace {

using booltest::ReadText;

void ExpectSame(int nOp, const T_GORV_COMPLEX_POLYGON2D& a, const T_GORV_COMPLEX_POLYGON2D& b, double dTol) {
    const std::string plain = sect_compare::RunPolygonBoolean(nOp, a, b, dTol, true);
    const std::string fast = sect_compare::RunPolygonBoolean(nOp, a, b, dTol, false);
    EXPECT_EQ(plain, fast);
}

TEST(SectionPlainCompare, CorpusCasesAgree) {
    const std::vector<booltest::CorpusCase> cases = booltest::ReadCorpus(GORV_TEST_DATA_DIR);
    EXPECT_GT(cases.size(), 30u);
    for (const booltest::CorpusCase& c : cases) {
        const std::vector<std::string>& f = c.f;
        ASSERT_EQ(f.size(), 7u);
        SCOPED_TRACE("booleans.txt:" + std::to_string(c.nLine));
        const T_GORV_COMPLEX_POLYGON2D a = gorv_support::ParseWkt(f[5]);
        const T_GORV_COMPLEX_POLYGON2D b = gorv_support::ParseWkt(f[6]);
        const int nOp = f[0] == "union" ? 0 : f[0] == "intersect" ? 1 : 2;
        const double dTol = f[1] == "-" ? 0.001 : std::stod(f[1]);
        // Every operation on every pair, not only the one the corpus checks.
        for (int op = 0; op < 3; ++op) ExpectSame(op, a, b, op == nOp ? dTol : 0.001);
    }
}

TEST(SectionPlainCompare, ExamplesAgree) {
    const char* names[] = {"column_rebar", "wall_opening", "circular_pier", "i_section_plate"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        const std::string dir = std::string(GORV_TEST_DATA_DIR) + "/../examples/";
        const T_GORV_COMPLEX_POLYGON2D a = gorv_support::ParseWkt(ReadText(dir + name + "_a.wkt"));
        const T_GORV_COMPLEX_POLYGON2D b = gorv_support::ParseWkt(ReadText(dir + name + "_b.wkt"));
        ASSERT_GT(a.outer.points.GetSize(), 0);
        for (int op = 0; op < 3; ++op) {
            ExpectSame(op, a, b, 0.001);
            ExpectSame(op, b, a, 0.001);
        }
    }
}

// Replays the polygon fuzz regressions' bytes as coordinates of two polygons.
TEST(SectionPlainCompare, FuzzRegressionsAgree) {
    int files = 0;
    for (const char* sub : {"polygon_driver", "polygon_large", "section_model"}) {
        const std::string dir = std::string(GORV_TEST_DATA_DIR) + "/../fuzz/regress/" + sub;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(dir, ec)) {
            const std::string path = e.path().string();
            const std::string bytes = ReadText(path);
            SCOPED_TRACE(path);
            // As a model script: curves from the bytes, then generation and booleans.
            std::vector<double> xy;
            for (unsigned char c : bytes) xy.push_back(static_cast<signed char>(c) / 8.0);
            const sect_compare::ModelScript script = [&xy](CSectModel& m) {
                std::vector<int> ids;
                for (std::size_t i = 0; i + 3 < xy.size(); i += 2) m.AddLineCurve(xy[i], xy[i + 1], xy[i + 2], xy[i + 3]);
                for (const auto& kv : m.m_mapCurve) ids.push_back(kv.first);
                const int s = m.GenerateSection(ids);
                if (s != 0) m.Undo();
            };
            EXPECT_EQ(sect_compare::RunScript(0.001, script, true), sect_compare::RunScript(0.001, script, false));
            ++files;
        }
    }
    EXPECT_GT(files, 0);
}

TEST(SectionPlainCompare, GeneratedSmallModelsAgree) {
    std::string first;
    int nWithArea = 0;
    const int nCases = 1000;
    const int nDiff = sect_compare::CompareGenerated(1, nCases, 128, first, &nWithArea);
    EXPECT_EQ(nDiff, 0) << "first differing case: " << first;
    // Most cases must get as far as a triangulated section, or they compare little.
    EXPECT_GT(nWithArea, nCases / 2);
}

// Cases built to sit on the rounding rules: rings with collinear vertices, points on edges,
// holes touching the outer ring and tiny edges next to long ones.
TEST(SectionPlainCompare, DegenerateModelsAgree) {
    std::vector<sect_compare::ModelScript> scripts;
    scripts.push_back([](CSectModel& m) {  // collinear vertices along every side
        std::vector<int> a, b;
        sect_compare::AddRing(m, {0, 0, 1, 0, 2, 0, 3, 0, 3, 1, 3, 2, 2, 2, 1, 2, 0, 2, 0, 1}, a);
        sect_compare::AddRing(m, {1, 1, 4, 1, 4, 3, 1, 3}, b);
        const int sa = m.GenerateSection(a), sb = m.GenerateSection(b);
        m.UniteSections(sa, sb);
    });
    scripts.push_back([](CSectModel& m) {  // diagonal collinear runs, touching at a vertex
        std::vector<int> a, b;
        sect_compare::AddRing(m, {0, 0, 0.1, 0.1, 0.2, 0.2, 0.3, 0.3, 0, 0.6}, a);
        sect_compare::AddRing(m, {0.3, 0.3, 0.6, 0, 0.6, 0.6}, b);
        const int sa = m.GenerateSection(a), sb = m.GenerateSection(b);
        m.SubtractSections(sa, sb);
    });
    scripts.push_back([](CSectModel& m) {  // hole touching the outer ring, tiny edge
        std::vector<int> a, b;
        sect_compare::AddRing(m, {0, 0, 10, 0, 10, 10, 0, 10}, a);
        sect_compare::AddRing(m, {0, 4, 3, 5, 0, 6}, a);
        sect_compare::AddRing(m, {5, -1, 5.003, -1, 5.003, 11, 5, 11}, b);
        const int sa = m.GenerateSection(a), sb = m.GenerateSection(b);
        m.IntersectSections(sa, sb);
    });
    // A flat arc of 50 short edges (radius 100, 0.012 long) in the bottom of a square: the
    // far corners, and the arc's own points, see an arc edge under angles that angle_2d rounds to
    // 0, so the search for a candidate stops once only such corners are left.
    scripts.push_back([](CSectModel& m) {
        std::vector<double> xy = {0, 100, 0, 0};
        for (int k = 0; k <= 50; ++k) {
            const double t = -0.003 + 0.00012 * k;
            xy.push_back(50.0 + 100.0 * std::sin(t));
            xy.push_back(100.0 * std::cos(t) - 100.0);
        }
        const double tail[4] = {100, 0, 100, 100};
        xy.insert(xy.end(), tail, tail + 4);
        std::vector<int> a, b;
        sect_compare::AddRing(m, xy, a);
        sect_compare::AddRing(m, {25, 50, 75, 50, 75, 150, 25, 150}, b);
        const int sa = m.GenerateSection(a), sb = m.GenerateSection(b);
        m.UniteSections(sa, sb);
    });
    // A fine arc (300 edges of 0.1 degrees, radius 10) closed through an apex 3 below it: the
    // arc's corners see its edges under 0.05 degrees, which rounds to 0, while the apex is a
    // candidate, so the search skips the arc's far cells and still finds the apex.
    scripts.push_back([](CSectModel& m) {
        std::vector<double> xy;
        for (int k = 0; k <= 300; ++k) {
            const double t = (15.0 - 0.1 * k) * (3.14159265358979323846 / 180.0);
            xy.push_back(-10.0 * std::sin(t));
            xy.push_back(10.0 * std::cos(t) - 10.0);
        }
        xy.push_back(0.0);
        xy.push_back(-3.0);
        std::vector<int> a, b;
        sect_compare::AddRing(m, xy, a);
        sect_compare::AddRing(m, {-1, -1, 1, -1, 1, 1, -1, 1}, b);
        const int sa = m.GenerateSection(a), sb = m.GenerateSection(b);
        m.SubtractSections(sa, sb);
    });
    for (std::size_t i = 0; i < scripts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(sect_compare::RunScript(0.001, scripts[i], true), sect_compare::RunScript(0.001, scripts[i], false));
    }
}

}  // namespace
