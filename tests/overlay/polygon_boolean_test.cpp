// CGeomFunc::PolygonBoolean: results, statuses and reports, ring conventions of input and output,
// snapping at the tolerance boundary, operands as sets, the repair rule, and the ring area.
#include <gtest/gtest.h>

#include "overlay/overlay_check.h"
#include "support/overlay_corpus.h"

namespace {

using namespace ovtest;
using gorv_corpus::ToWkt;

std::string RingText(const T_GORV_POLYGON2D& r) { return RingWkt(r, false); }

TEST(PolygonBoolean, SquaresGiveExactRingsInDocumentedOrder) {
    const Polys a = One(MakePoly(Rect(0, 0, 10, 10))), b = One(MakePoly(Rect(5, 5, 15, 15)));
    Polys out;
    ASSERT_EQ(RunOp(GORV_BOOLEAN_SUBTRACT, a, b, out).eStatus, GORV_BOOLEAN_RESULT);
    ASSERT_EQ(out.GetSize(), 1);
    EXPECT_EQ(RingText(out[0].outer), "(0 0, 10 0, 10 5, 5 5, 5 10, 0 10)");
    // The boolean output has no closing repeat: the ring area counts the closing edge, GetArea
    // (which expects the repeat) does not.
    EXPECT_DOUBLE_EQ(CGeomFunc::CalcRingArea(out[0].outer), 75.0);
    EXPECT_DOUBLE_EQ(out[0].outer.GetArea(), 50.0);

    ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, a, b, out).eStatus, GORV_BOOLEAN_RESULT);
    ASSERT_EQ(out.GetSize(), 1);
    EXPECT_EQ(RingText(out[0].outer), "(0 0, 10 0, 10 5, 15 5, 15 15, 5 15, 5 10, 0 10)");
    ASSERT_EQ(RunOp(GORV_BOOLEAN_INTERSECT, a, b, out).eStatus, GORV_BOOLEAN_RESULT);
    EXPECT_EQ(RingText(out[0].outer), "(5 5, 10 5, 10 10, 5 10)");

    // B minus a cross-shaped A: four pieces, ordered by their smallest vertex (x, then y).
    Polys cross;
    cross.Add(MakePoly(Rect(4, -1, 6, 11)));
    cross.Add(MakePoly(Rect(-1, 4, 11, 6)));
    ASSERT_EQ(RunOp(GORV_BOOLEAN_SUBTRACT, a, cross, out).eStatus, GORV_BOOLEAN_RESULT);
    ASSERT_EQ(out.GetSize(), 4);
    EXPECT_EQ(RingText(out[0].outer), "(0 0, 4 0, 4 4, 0 4)");
    EXPECT_EQ(RingText(out[1].outer), "(0 6, 4 6, 4 10, 0 10)");
    EXPECT_EQ(RingText(out[2].outer), "(6 0, 10 0, 10 4, 6 4)");
    EXPECT_EQ(RingText(out[3].outer), "(6 6, 10 6, 10 10, 6 10)");
}

TEST(PolygonBoolean, EmptyResultsAndEmptyOperandsAppendNothing) {
    const Polys a = One(MakePoly(Rect(0, 0, 10, 10))), far = One(MakePoly(Rect(20, 0, 30, 10))), none;
    Polys out;
    out.Add(MakePoly(Rect(0, 0, 1, 1)));  // appended to, never emptied
    T_GORV_BOOLEAN_OPTIONS o;
    T_GORV_BOOLEAN_REPORT r = CGeomFunc::PolygonBoolean(GORV_BOOLEAN_SUBTRACT, a, a, out, o);
    EXPECT_EQ(r.eStatus, GORV_BOOLEAN_EMPTY);
    EXPECT_TRUE(r.strMessage.empty());
    EXPECT_EQ(CGeomFunc::PolygonBoolean(GORV_BOOLEAN_INTERSECT, a, far, out, o).eStatus, GORV_BOOLEAN_EMPTY);
    EXPECT_EQ(CGeomFunc::PolygonBoolean(GORV_BOOLEAN_INTERSECT, a, none, out, o).eStatus, GORV_BOOLEAN_EMPTY);
    EXPECT_EQ(CGeomFunc::PolygonBoolean(GORV_BOOLEAN_UNION, none, none, out, o).eStatus, GORV_BOOLEAN_EMPTY);
    EXPECT_EQ(CGeomFunc::PolygonBoolean(GORV_BOOLEAN_SUBTRACT, none, a, out, o).eStatus, GORV_BOOLEAN_EMPTY);
    EXPECT_EQ(out.GetSize(), 1);
    // A minus the empty set is A; union with the empty set too.
    r = CGeomFunc::PolygonBoolean(GORV_BOOLEAN_SUBTRACT, a, none, out, o);
    EXPECT_EQ(r.eStatus, GORV_BOOLEAN_RESULT);
    ASSERT_EQ(out.GetSize(), 2);
    EXPECT_EQ(RingText(out[1].outer), "(0 0, 10 0, 10 10, 0 10)");
    // Disjoint union: two polygons.
    ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, a, far, out).eStatus, GORV_BOOLEAN_RESULT);
    EXPECT_EQ(out.GetSize(), 2);
}

TEST(PolygonBoolean, InputRingConventionsGiveTheSameResult) {
    const Pts sq = Rect(0, 0, 10, 10), hole = Rect(2, 2, 4, 4), other = Rect(3, 3, 12, 12);
    Polys ref;
    ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, One(MakePoly(sq, {Reversed(hole)})), One(MakePoly(other)), ref).eStatus,
              GORV_BOOLEAN_RESULT);
    ASSERT_EQ(ref.GetSize(), 1);
    ASSERT_EQ(ref[0].holes.GetSize(), 1);
    EXPECT_DOUBLE_EQ(Area(ref), 100.0 + 81.0 - 49.0 - (4.0 - 1.0));  // the hole less its part under B
    const std::string want = ToWkt(ref);
    struct Variant {
        const char* name;
        T_GORV_COMPLEX_POLYGON2D a;
    };
    Pts repeated = {{0, 0}, {0, 0}, {10, 0}, {10, 10}, {10, 10}, {10, 10}, {0, 10}};
    T_GORV_COMPLEX_POLYGON2D doubleClose = MakePoly(sq, {hole});
    doubleClose.outer.points.Add(sq[0]);
    const Variant variants[] = {
        {"open rings", MakePoly(sq, {Reversed(hole)}, false)},
        {"clockwise outer, counter-clockwise hole", MakePoly(Reversed(sq), {hole})},
        {"repeated consecutive points", MakePoly(repeated, {Reversed(hole)})},
        {"closing point twice", doubleClose},
        {"start elsewhere", MakePoly({{10, 10}, {0, 10}, {0, 0}, {10, 0}}, {{{4, 4}, {2, 4}, {2, 2}, {4, 2}}})},
    };
    for (const Variant& v : variants) {
        SCOPED_TRACE(v.name);
        Polys out;
        const T_GORV_BOOLEAN_REPORT r = RunOp(GORV_BOOLEAN_UNION, One(v.a), One(MakePoly(other)), out);
        ASSERT_EQ(r.eStatus, GORV_BOOLEAN_RESULT) << r.strMessage;
        EXPECT_EQ(ToWkt(out), want);
    }
}

TEST(PolygonBoolean, OperandsAreTheUnionOfTheirMembers) {
    // Overlapping and edge-sharing members of A; B's members, given in either order.
    Polys a;
    a.Add(MakePoly(Rect(0, 0, 10, 10)));
    a.Add(MakePoly(Rect(5, 0, 15, 10)));
    a.Add(MakePoly(Rect(15, 0, 20, 10)));  // shares the edge x = 15
    Polys b1, b2;
    b1.Add(MakePoly(Rect(2, 2, 4, 4)));
    b1.Add(MakePoly(Rect(18, 8, 25, 12)));
    b2.Add(b1[1]);
    b2.Add(b1[0]);
    Polys u, u2, d;
    ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, a, b1, u).eStatus, GORV_BOOLEAN_RESULT);
    ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, a, b2, u2).eStatus, GORV_BOOLEAN_RESULT);
    EXPECT_EQ(ToWkt(u), ToWkt(u2));
    ASSERT_EQ(u.GetSize(), 1);
    EXPECT_DOUBLE_EQ(Area(u), 200.0 + 7.0 * 4.0 - 2.0 * 2.0);
    EXPECT_EQ(CheckResult(u), "");
    ASSERT_EQ(RunOp(GORV_BOOLEAN_SUBTRACT, a, b1, d).eStatus, GORV_BOOLEAN_RESULT);
    ASSERT_EQ(d.GetSize(), 1);
    EXPECT_EQ(d[0].holes.GetSize(), 1);
    EXPECT_DOUBLE_EQ(Area(d), 200.0 - 4.0 - 4.0);
    // A member inside another member's hole fills that part again.
    Polys ring;
    ring.Add(MakePoly(Rect(0, 0, 10, 10), {Rect(2, 2, 8, 8)}));
    ring.Add(MakePoly(Rect(4, 4, 6, 6)));
    ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, ring, Polys(), u).eStatus, GORV_BOOLEAN_RESULT);
    ASSERT_EQ(u.GetSize(), 2);
    EXPECT_DOUBLE_EQ(Area(u), 100.0 - 36.0 + 4.0);
    EXPECT_EQ(CheckResult(u), "");
}

TEST(PolygonBoolean, TouchingPiecesStaySeparateRings) {
    Polys out;
    // Corner to corner: two polygons meeting at one point.
    ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, One(MakePoly(Rect(0, 0, 1, 1))), One(MakePoly(Rect(1, 1, 2, 2))), out).eStatus,
              GORV_BOOLEAN_RESULT);
    EXPECT_EQ(out.GetSize(), 2);
    EXPECT_EQ(CheckResult(out), "");
    // A triangle cut out touching the bottom edge at one point: an outer ring and a hole that
    // touch there, not one ring passing the point twice.
    ASSERT_EQ(RunOp(GORV_BOOLEAN_SUBTRACT, One(MakePoly(Rect(0, 0, 4, 4))), One(MakePoly({{2, 0}, {3, 2}, {1, 2}})), out)
                  .eStatus,
              GORV_BOOLEAN_RESULT);
    ASSERT_EQ(out.GetSize(), 1);
    ASSERT_EQ(out[0].holes.GetSize(), 1);
    EXPECT_EQ(RingText(out[0].outer), "(0 0, 2 0, 4 0, 4 4, 0 4)");
    EXPECT_EQ(RingText(out[0].holes[0]), "(1 2, 3 2, 2 0)");
    EXPECT_EQ(CheckResult(out), "");
    EXPECT_DOUBLE_EQ(Area(out), 14.0);
}

TEST(PolygonBoolean, SnappingAtTheToleranceBoundary) {
    // A vertex of B at distance d above A's top edge: within the tolerance it comes to lie on
    // the edge, so the union has no notch and the intersection nothing of it.
    const double tol = 0.001;
    const double ds[] = {0.0, 0.0005, std::nextafter(tol, 0.0), 0.0011, 0.002};
    for (const double d : ds) {
        SCOPED_TRACE(d);
        const Polys a = One(MakePoly(Rect(0, 0, 10, 10)));
        const Polys b = One(MakePoly({{3, 10 + d}, {7, 10 + d}, {7, 20}, {3, 20}}));
        Polys out;
        ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, a, b, out, tol).eStatus, GORV_BOOLEAN_RESULT);
        EXPECT_EQ(CheckResult(out), "");
        EXPECT_EQ(out.GetSize(), d <= tol ? 1 : 2);
        const T_GORV_BOOLEAN_REPORT r = RunOp(GORV_BOOLEAN_INTERSECT, a, b, out, tol);
        EXPECT_EQ(r.eStatus, GORV_BOOLEAN_EMPTY);
    }
    // A sliver thinner than the tolerance is dropped: A minus a B whose edge runs 0.0004 inside
    // A's right edge leaves no strip.
    Polys out;
    ASSERT_EQ(RunOp(GORV_BOOLEAN_SUBTRACT, One(MakePoly(Rect(0, 0, 10, 10))),
                    One(MakePoly({{5, -1}, {10.0004, -1}, {10.0004, 11}, {5, 11}})), out)
                  .eStatus,
              GORV_BOOLEAN_RESULT);
    ASSERT_EQ(out.GetSize(), 1);
    EXPECT_NEAR(Area(out), 50.0, 0.001 * 40);
    EXPECT_EQ(RunOp(GORV_BOOLEAN_SUBTRACT, One(MakePoly(Rect(0, 0, 10, 10))),
                    One(MakePoly({{-0.0003, -0.0002}, {10.0004, 0.0001}, {9.9996, 10.0003}, {0.0002, 9.9995}})), out)
                  .eStatus,
              GORV_BOOLEAN_EMPTY);
    // Clustering is not transitive: 0, 0.0008 and 0.0016 along x give two vertices, each moved
    // by at most the tolerance, and the ring keeps its area within tolerance x perimeter.
    const Polys chain = One(MakePoly({{0, 0}, {0.0008, 0}, {0.0016, 0}, {10, 0}, {10, 10}, {0, 10}}));
    ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, chain, Polys(), out).eStatus, GORV_BOOLEAN_RESULT);
    ASSERT_EQ(out.GetSize(), 1);
    EXPECT_EQ(RingText(out[0].outer), "(0 0, 0.0016000000000000001 0, 10 0, 10 10, 0 10)");
    // The tolerance applies to all three operations.
    ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, One(MakePoly(Rect(0, 0, 10, 10))), One(MakePoly(Rect(10.05, 0, 20, 10))), out,
                    0.1)
                  .eStatus,
              GORV_BOOLEAN_RESULT);
    EXPECT_EQ(out.GetSize(), 1);
}

TEST(PolygonBoolean, NearNodesAndExtremeRangesSettleIntoValidResults) {
    struct Case {
        const char* name;
        Polys a, b;
    };
    std::vector<Case> cases;
    // Three nodes 0.0011 apart, each within the tolerance of the line through the other two:
    // A's edge passes near B's vertex, which passes near A's next vertex, and so on.
    cases.push_back({"thin triangle of nodes", One(MakePoly({{0, 0}, {0.0011, 0}, {0.00055, -5}})),
                     One(MakePoly({{0.00055, 0.00095}, {5, 5}, {-5, 5}}))});
    cases.push_back({"thin triangle, fan", One(MakePoly({{0, 0}, {0.0011, 0}, {0.0011, 3}, {0, 3}})),
                     One(MakePoly({{0.00055, 0.00095}, {0.00055 + 2, -4}, {0.00055 - 2, -4}}))});
    // A spike to 1e58 over small features: crossings on it cannot be placed to within 0.001.
    Polys spiky = One(MakePoly({{-12.5, 0.25}, {0, -12.5}, {15.75, -13.875}, {3.75, 1.4501945486874891e58}}));
    Polys small;
    for (int i = 0; i < 6; ++i) small.Add(MakePoly(RegularPolygon(-3.0 + 1.3 * i, 1.0 + 0.7 * i, 2.0, 5 + i, 7.0 * i)));
    cases.push_back({"spike to 1e58", spiky, small});
    // Coordinates whose products would underflow read as zero.
    cases.push_back({"subnormal coordinates",
                     One(MakePoly({{5.125, -0.0995}, {4.59e-246, 0}, {0, 1e-310}, {1e-200, 3e-320}, {2, 7}})),
                     One(MakePoly({{0.75, 1.625}, {3.47e48, 0}, {-10.75, 11.375}, {1.86e-308, 9.25}, {0, -10.75}}))});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (int op = 0; op < 3; ++op) {
            Polys out;
            const T_GORV_BOOLEAN_REPORT r = RunOp(static_cast<GORV_BOOLEAN_OP>(op), c.a, c.b, out);
            EXPECT_TRUE(r.eStatus == GORV_BOOLEAN_RESULT || r.eStatus == GORV_BOOLEAN_EMPTY) << r.strMessage;
            EXPECT_EQ(CheckResult(out), "");
        }
    }
}

TEST(PolygonBoolean, InvalidInputIsReportedWithItsPlace) {
    const T_GORV_COMPLEX_POLYGON2D ok = MakePoly(Rect(0, 0, 10, 10));
    const double nan = std::nan("");
    struct Case {
        const char* name;
        T_GORV_COMPLEX_POLYGON2D poly;
        GORV_BOOLEAN_PROBLEM problem;
        int ring;
    };
    const Case cases[] = {
        {"two distinct vertices", MakePoly({{0, 0}, {1, 0}, {0, 0}, {1, 0}}), GORV_PROBLEM_TOO_FEW_VERTICES, 0},
        {"short hole", MakePoly(Rect(0, 0, 10, 10), {{{1, 1}, {2, 2}}}), GORV_PROBLEM_TOO_FEW_VERTICES, 1},
        {"NaN", MakePoly({{0, 0}, {nan, 0}, {1, 1}}), GORV_PROBLEM_COORDINATE, 0},
        {"huge", MakePoly(Rect(0, 0, 10, 10), {{{1, 1}, {2, 1}, {2, 2e100}}}), GORV_PROBLEM_COORDINATE, 1},
        {"bow tie", MakePoly({{0, 0}, {10, 10}, {10, 0}, {0, 10}}), GORV_PROBLEM_SELF_CROSSING, 0},
        {"spike back along an edge", MakePoly({{0, 0}, {10, 0}, {5, 0}, {5, 5}}), GORV_PROBLEM_SELF_CROSSING, 0},
        {"ring touching itself", MakePoly({{0, 0}, {4, 0}, {2, 2}, {4, 4}, {0, 4}, {2, 2}}), GORV_PROBLEM_SELF_CROSSING,
         0},
        {"hole crossing the outer ring", MakePoly(Rect(0, 0, 10, 10), {Rect(5, 5, 15, 6)}), GORV_PROBLEM_HOLE_CROSSES_OUTER,
         1},
        {"hole on the outer edge", MakePoly(Rect(0, 0, 10, 10), {Rect(0, 2, 3, 3)}), GORV_PROBLEM_HOLE_CROSSES_OUTER, 1},
        {"hole outside", MakePoly(Rect(0, 0, 10, 10), {Rect(20, 2, 23, 3)}), GORV_PROBLEM_HOLE_OUTSIDE, 1},
        {"holes overlapping", MakePoly(Rect(0, 0, 10, 10), {Rect(1, 1, 5, 5), Rect(2, 2, 6, 6)}),
         GORV_PROBLEM_HOLES_OVERLAP, 2},
        {"hole in a hole", MakePoly(Rect(0, 0, 10, 10), {Rect(1, 1, 2, 2), Rect(3, 3, 8, 8), Rect(4, 4, 5, 5)}),
         GORV_PROBLEM_HOLES_NESTED, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Polys b;
        b.Add(ok);
        b.Add(c.poly);
        Polys out;
        T_GORV_BOOLEAN_REPORT r = RunOp(GORV_BOOLEAN_UNION, One(ok), b, out);
        EXPECT_EQ(r.eStatus, GORV_BOOLEAN_INVALID);
        EXPECT_EQ(r.eProblem, c.problem);
        EXPECT_EQ(r.nOperand, 1);
        EXPECT_EQ(r.nPolygon, 1);
        EXPECT_EQ(r.nRing, c.ring);
        EXPECT_NE(r.strMessage.find("operand B, polygon 1"), std::string::npos) << r.strMessage;
        EXPECT_EQ(out.GetSize(), 0);
        r = RunOp(GORV_BOOLEAN_INTERSECT, One(c.poly), One(ok), out);
        EXPECT_EQ(r.eStatus, GORV_BOOLEAN_INVALID);
        EXPECT_EQ(r.nOperand, 0);
        EXPECT_EQ(r.nPolygon, 0);
    }
    // Holes may touch the outer ring and each other at single points.
    Polys out;
    const T_GORV_COMPLEX_POLYGON2D touching =
        MakePoly(Rect(0, 0, 10, 10), {{{0, 5}, {3, 4}, {3, 6}}, {{3, 6}, {6, 5}, {3, 8}}});
    EXPECT_EQ(RunOp(GORV_BOOLEAN_UNION, One(touching), Polys(), out).eStatus, GORV_BOOLEAN_RESULT);
    EXPECT_EQ(CheckResult(out), "");
    // Tolerances; the smallest accepted one works.
    EXPECT_EQ(RunOp(GORV_BOOLEAN_UNION, One(ok), One(MakePoly(Rect(5, 5, 15, 15))), out, 1e-100).eStatus,
              GORV_BOOLEAN_RESULT);
    const double bad[] = {0.0, -0.001, nan, INFINITY, std::nextafter(1e-100, 0.0), 5e-324};
    for (const double t : bad) {
        const T_GORV_BOOLEAN_REPORT r = RunOp(GORV_BOOLEAN_UNION, One(ok), One(ok), out, t);
        EXPECT_EQ(r.eStatus, GORV_BOOLEAN_INVALID);
        EXPECT_EQ(r.eProblem, GORV_PROBLEM_TOLERANCE);
        EXPECT_EQ(r.nOperand, -1);
        EXPECT_FALSE(r.strMessage.empty());
    }
}

TEST(PolygonBoolean, RepairFillsWindingAboveZero) {
    Polys out;
    // Hole outside its outer ring: the hole covers nothing.
    const Polys outside = One(MakePoly(Rect(0, 0, 10, 10), {Rect(20, 0, 22, 2)}));
    ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, outside, Polys(), out, 0.001, true).eStatus, GORV_BOOLEAN_RESULT);
    EXPECT_DOUBLE_EQ(Area(out), 100.0);
    // Overlapping holes: their union is cut out.
    const Polys overlap = One(MakePoly(Rect(0, 0, 10, 10), {Rect(1, 1, 5, 5), Rect(2, 2, 6, 6)}));
    ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, overlap, Polys(), out, 0.001, true).eStatus, GORV_BOOLEAN_RESULT);
    EXPECT_DOUBLE_EQ(Area(out), 100.0 - 16.0 - 16.0 + 9.0);
    EXPECT_EQ(CheckResult(out), "");
    // A bow tie: the lobe turned clockwise gets winding -1 once the ring is oriented by its
    // signed area, so with equal lobes the lobe met first wins; a lopsided one keeps its big lobe.
    const Polys bow = One(MakePoly({{0, 0}, {10, 10}, {10, 0}, {0, 20}}));
    ASSERT_EQ(RunOp(GORV_BOOLEAN_UNION, bow, Polys(), out, 0.001, true).eStatus, GORV_BOOLEAN_RESULT);
    ASSERT_EQ(out.GetSize(), 1);
    EXPECT_EQ(CheckResult(out), "");
    // Degenerate rings are left out instead of refused.
    const Polys degenerate = One(MakePoly({{0, 0}, {1, 0}}, {Rect(1, 1, 2, 2)}));
    EXPECT_EQ(RunOp(GORV_BOOLEAN_UNION, degenerate, Polys(), out, 0.001, true).eStatus, GORV_BOOLEAN_EMPTY);
    // Coordinates are still checked.
    const Polys huge = One(MakePoly({{0, 0}, {1e101, 0}, {0, 1}}));
    EXPECT_EQ(RunOp(GORV_BOOLEAN_UNION, huge, Polys(), out, 0.001, true).eProblem, GORV_PROBLEM_COORDINATE);
}

TEST(PolygonBoolean, RingAreaTreatsRingsAsClosed) {
    EXPECT_DOUBLE_EQ(CGeomFunc::CalcRingArea(MakeRing(Rect(1e9, 1e9, 1e9 + 3, 1e9 + 2), false)), 6.0);
    EXPECT_DOUBLE_EQ(CGeomFunc::CalcRingArea(MakeRing(Rect(0, 0, 3, 2), true)), 6.0);
    EXPECT_DOUBLE_EQ(CGeomFunc::CalcRingArea(MakeRing(Reversed(Rect(0, 0, 3, 2)), false)), 6.0);
    EXPECT_DOUBLE_EQ(CGeomFunc::CalcRingArea(MakeRing({{0, 0}, {1, 1}}, false)), 0.0);
    EXPECT_DOUBLE_EQ(CGeomFunc::CalcRingArea(T_GORV_POLYGON2D()), 0.0);
}

TEST(PolygonBoolean, OrientationPredicateIsExact) {
    // Points on the line y = x far from the origin, nudged by one unit in the last place: the
    // plain floating determinant loses the sign, the predicate does not.
    const double big = 1e15;
    const T_GORV_POINT2D a{0.5, 0.5}, b{big, big};
    EXPECT_EQ(GorvOrient2D(a, b, T_GORV_POINT2D{12.0, 12.0}), 0);
    EXPECT_EQ(GorvOrient2D(a, b, T_GORV_POINT2D{12.0, std::nextafter(12.0, 13.0)}), 1);
    EXPECT_EQ(GorvOrient2D(a, b, T_GORV_POINT2D{12.0, std::nextafter(12.0, 11.0)}), -1);
    EXPECT_EQ(GorvOrient2D(b, a, T_GORV_POINT2D{12.0, std::nextafter(12.0, 13.0)}), -1);
    // Here the floating determinant rounds to 0; the exact value is -23 / 2^49.
    const T_GORV_POINT2D p{0.5, 0.5}, q{12.0, 12.0}, r{23.999999999999996, 23.999999999999993};
    EXPECT_EQ((q.x - p.x) * (r.y - p.y) - (q.y - p.y) * (r.x - p.x), 0.0);
    EXPECT_EQ(GorvOrient2D(p, q, r), -1);
    EXPECT_EQ(GorvOrient2D(q, r, p), -1);
    EXPECT_EQ(GorvOrient2D(r, q, p), 1);
    EXPECT_EQ(GorvOrient2D(T_GORV_POINT2D{-1e100, 0}, T_GORV_POINT2D{1e100, 1}, T_GORV_POINT2D{0, 0.5}), 0);
}

}  // namespace
