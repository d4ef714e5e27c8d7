// Point snapping and line insertion under the model tolerance: strict distance, per-axis box test,
// first match in id order.
#include <gorv/gorv_base.h>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

const double kTol = 0.001;

TEST(FindPoint, MatchesOnlyStrictlyInsideTolerance) {
    struct Case {
        double dx, dy;
        int expected;
    };
    const Case cases[] = {
        {0, 0, 1},
        {0.0005, 0, 1},
        {std::nextafter(kTol, 0.0), 0, 1},
        {kTol, 0, 0},           // passes the box test, distance equals tol
        {0.0011, 0, 0},         // fails the box test
        {0, -std::nextafter(kTol, 0.0), 1},
        {0.0008, 0.0008, 0},    // inside the box, outside the circle
        {std::nan(""), 0, 0},
    };
    CSectModel m(kTol);
    ASSERT_EQ(m.AddLineCurve(0, 0, 5, 0), 1);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.dx << "," << c.dy);
        const double q[2] = {c.dx, c.dy};
        EXPECT_EQ(m.FindPoint(q), c.expected);
    }
    EXPECT_EQ(m.FindPoint(nullptr), 0);
}

TEST(FindPoint, LowerIdWinsOverNearerPoint) {
    CSectModel m(kTol);
    m.AddLineCurve(0, 0, 1, 0);  // points 1, 2
    m.AddLineCurve(5, 5, 6, 6);  // points 3, 4
    m.GetPoint(2)->dX = 5.0008;  // point 2 within tol of q, point 3 nearer
    m.GetPoint(2)->dY = 5.0;
    const double q[2] = {5.0001, 5.0};
    EXPECT_EQ(m.FindPoint(q), 2);
}

TEST(AddLineCurve, RejectsOnlyShorterThanTolerance) {
    struct Case {
        double len;
        int expected;
    };
    const Case cases[] = {
        {0.0, -1}, {0.0009, -1}, {std::nextafter(kTol, 0.0), -1}, {kTol, 1}, {0.0011, 1},
        {std::numeric_limits<double>::quiet_NaN(), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.len);
        CSectModel m(kTol);
        EXPECT_EQ(m.AddLineCurve(0, 3, c.len, 3), c.expected);
        EXPECT_EQ(m.m_mapPoint.size(), c.expected < 0 ? 0u : 2u);
        EXPECT_EQ(m.m_nNextPointId, c.expected < 0 ? 1 : 3);
    }
}

TEST(AddLineCurve, EndsSnapBeforeAnyPointIsMade) {
    CSectModel m(kTol);
    EXPECT_EQ(m.AddLineCurve(0, 0, 10, 0), 1);
    EXPECT_EQ(m.AddLineCurve(10, 0.0004, 10, 10), 2);
    EXPECT_EQ(m.GetCurve(2)->aPointId, (std::vector<int>{2, 3}));
    // Same segment twice: two curves sharing both points.
    EXPECT_EQ(m.AddLineCurve(10, 0, 0, 0), 3);
    EXPECT_EQ(m.GetCurve(3)->aPointId, (std::vector<int>{2, 1}));
    // Longer than tol, shorter than 2 tol, point 4 within tol of both ends: start and end coincide.
    CSectModel n(kTol);
    n.AddLineCurve(0, 0, 1, 1);
    EXPECT_EQ(n.AddLineCurve(-0.0006, 0, 0.0006, 0), 2);
    EXPECT_EQ(n.GetCurve(2)->aPointId, (std::vector<int>{1, 1}));
    // Both ends new: the start takes the lower id.
    EXPECT_EQ(n.AddLineCurve(4, 4, 3, 3), 3);
    EXPECT_EQ(n.GetCurve(3)->aPointId, (std::vector<int>{3, 4}));
    EXPECT_EQ(n.GetPoint(3)->dX, 4.0);
}

TEST(AddLineCurve, EndsSnapThroughDirectTableEdits) {
    CSectModel m(kTol);
    m.AddLineCurve(0, 0, 1, 0);  // points 1, 2
    m.AddLineCurve(5, 5, 6, 6);  // points 3, 4
    // A coordinate written through the record pointer counts at once.
    m.GetPoint(4)->dX = 0.0;
    m.GetPoint(4)->dY = 3.0;
    ASSERT_EQ(m.AddLineCurve(0.0002, 3, 9, 9), 3);
    EXPECT_EQ(m.GetCurve(3)->aPointId, (std::vector<int>{4, 5}));
    // A record put straight into the table under a lower id comes first, though farther away.
    m.m_mapPoint.InsertCopy(T_SM_POINT{-1, 0, 9.0003, 9.0, 0, 0, 0});
    ASSERT_EQ(m.AddLineCurve(20, 20, 9.0001, 9), 4);
    EXPECT_EQ(m.GetCurve(4)->aPointId, (std::vector<int>{6, -1}));
    // Erased straight from the table: no longer found.
    m.m_mapPoint.Erase(-1);
    ASSERT_EQ(m.AddLineCurve(30, 30, 9.0001, 9), 5);
    EXPECT_EQ(m.GetCurve(5)->aPointId, (std::vector<int>{7, 5}));
    // A matching record whose own id is 0 reads as no match, and the end gets a new point.
    m.m_mapPoint.InsertCopy(T_SM_POINT{0, 0, 40.0, 40.0, 0, 0, 0});
    ASSERT_EQ(m.AddLineCurve(40.0001, 40, 50, 50), 6);
    EXPECT_EQ(m.GetCurve(6)->aPointId, (std::vector<int>{8, 9}));
    EXPECT_EQ(m.FindPoint(40.0, 40.0005), 0);
    EXPECT_EQ(m.FindPoint(40.0001, 40.0), 0);
    EXPECT_EQ(m.FindPoint(50.0, 50.0009), 9);
}

}  // namespace
