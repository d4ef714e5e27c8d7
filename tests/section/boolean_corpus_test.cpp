// Runs every case of data/booleans.txt through the polygon boolean entry points and checks the
// number of appended polygons, their total area and the output ring shape.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "boolean_test_util.h"

namespace {

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t\r\n"), e = s.find_last_not_of(" \t\r\n");
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

std::string Operand(const std::string& field) {
    if (field.empty() || field[0] != '@') return field;
    std::ifstream in(std::string(GORV_TEST_DATA_DIR) + "/" + field.substr(1));
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

TEST(PolygonBooleanCorpus, EveryCaseGivesItsCountAndArea) {
    std::ifstream in(std::string(GORV_TEST_DATA_DIR) + "/section/data/booleans.txt");
    ASSERT_TRUE(in) << "corpus not found under " << GORV_TEST_DATA_DIR;
    std::string line;
    int lineNo = 0, cases = 0;
    while (std::getline(in, line)) {
        ++lineNo;
        line = Trim(line);
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f;
        std::stringstream ss(line);
        for (std::string part; std::getline(ss, part, '|');) f.push_back(Trim(part));
        ASSERT_EQ(f.size(), 7u) << "line " << lineNo;
        SCOPED_TRACE("booleans.txt:" + std::to_string(lineNo) + " " + f[0]);
        const T_GORV_COMPLEX_POLYGON2D a = booltest::ParseWkt(Operand(f[5]));
        const T_GORV_COMPLEX_POLYGON2D b = booltest::ParseWkt(Operand(f[6]));
        ASSERT_GE(a.outer.points.GetSize(), 1);

        // A polygon already in the array must stay in front, untouched.
        CArray<T_GORV_COMPLEX_POLYGON2D> out;
        out.Add(booltest::Poly(booltest::Rect(-1, -1, 1, 1)));
        booltest::Run(f[0], a, b, out, f[1] == "-" ? 0.001 : std::stod(f[1]));

        const int count = std::stoi(f[2]);
        ASSERT_EQ(out.GetSize(), 1 + count);
        EXPECT_EQ(out[0].outer.points.GetSize(), 5);
        EXPECT_NEAR(booltest::TotalArea(out, 1), std::stod(f[3]), std::stod(f[4]));
        EXPECT_EQ(booltest::ShapeProblems(out, 1), "");
        ++cases;
    }
    EXPECT_GT(cases, 30);
}

}  // namespace
