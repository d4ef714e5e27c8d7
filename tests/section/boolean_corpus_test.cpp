// Runs every case of data/booleans.txt through the polygon boolean entry points and checks the
// number of appended polygons, their total area and the output ring shape.
#include <gtest/gtest.h>

#include "boolean_test_util.h"

namespace {

TEST(PolygonBooleanCorpus, EveryCaseGivesItsCountAndArea) {
    const std::vector<booltest::CorpusCase> cases = booltest::ReadCorpus(GORV_TEST_DATA_DIR);
    EXPECT_GT(cases.size(), 30u) << "corpus not found under " << GORV_TEST_DATA_DIR;
    for (const booltest::CorpusCase& c : cases) {
        const std::vector<std::string>& f = c.f;
        ASSERT_EQ(f.size(), 7u) << "line " << c.nLine;
        SCOPED_TRACE("booleans.txt:" + std::to_string(c.nLine) + " " + f[0]);
        const T_GORV_COMPLEX_POLYGON2D a = booltest::ParseWkt(f[5]);
        const T_GORV_COMPLEX_POLYGON2D b = booltest::ParseWkt(f[6]);
        ASSERT_GE(a.outer.points.GetSize(), 1);

        // A polygon already in the array must stay in front, untouched.
        CArray<T_GORV_COMPLEX_POLYGON2D> out;
        out.Add(booltest::Poly(booltest::Rect(-1, -1, 1, 1)));
        booltest::Run(f[0], a, b, out, f[1] == "-" ? 0.001 : std::stod(f[1]));

        ASSERT_EQ(out.GetSize(), 1 + std::stoi(f[2]));
        EXPECT_EQ(out[0].outer.points.GetSize(), 5);
        EXPECT_NEAR(booltest::TotalArea(out, 1), std::stod(f[3]), std::stod(f[4]));
        EXPECT_EQ(booltest::ShapeProblems(out, 1), "");
    }
}

}  // namespace
