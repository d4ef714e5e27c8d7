// libFuzzer target of the overlay engine (CGeomFunc::PolygonBoolean): the bytes become two
// operands of up to two polygons each (rings of up to 16 vertices, up to 2 holes), a tolerance
// and the repair choice. Every call must end in a status, never a crash or hang; a valid input
// must never fail; every result must be valid (ring shape, orientation, start vertex, no
// crossings, holes inside) and the areas must satisfy |A u B| = |A| + |B| - |A n B| and
// |A - B| = |A| - |A n B| within tolerance x (perimeter of A + perimeter of B).
#include "polygon_fuzz_body.h"

#include "overlay/overlay_check.h"

namespace {

ovtest::Polys ReadOperand(polygon_fuzz::ByteReader& r) {
    ovtest::Polys ps;
    const int n = r.Byte() % 3;
    for (int i = 0; i < n; ++i) ps.Add(polygon_fuzz::ReadPolygon(r, 16, 2));
    return ps;
}

double Magnitude(const ovtest::Polys& ps) {
    double m = 0.0;
    for (INT_PTR i = 0; i < ps.GetSize(); ++i)
        for (INT_PTR k = 0; k <= ps[i].holes.GetSize(); ++k) {
            const T_GORV_POLYGON2D& ring = k == 0 ? ps[i].outer : ps[i].holes[k - 1];
            for (INT_PTR j = 0; j < ring.points.GetSize(); ++j)
                m = std::max({m, std::fabs(ring.points[j].x), std::fabs(ring.points[j].y)});
        }
    return m;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    polygon_fuzz::ByteReader r(data, size);
    const ovtest::Polys a = ReadOperand(r), b = ReadOperand(r);
    const uint8_t t = r.Byte();
    const double tol = t < 200 ? 0.001 : t < 240 ? 1e-4 * (t - 199) : t < 250 ? 0.05 * (t - 239) : t == 250 ? 0.0 : r.Coord();
    const bool bRepair = r.Byte() % 4 == 0;

    ovtest::Polys res[5];
    const ovtest::Polys none;
    const GORV_BOOLEAN_OP ops[5] = {GORV_BOOLEAN_UNION, GORV_BOOLEAN_INTERSECT, GORV_BOOLEAN_SUBTRACT,
                                    GORV_BOOLEAN_UNION, GORV_BOOLEAN_UNION};
    const ovtest::Polys* lhs[5] = {&a, &a, &a, &a, &b};
    const ovtest::Polys* rhs[5] = {&b, &b, &b, &none, &none};
    bool bAll = true;
    for (int k = 0; k < 5; ++k) {
        ovtest::Polys& out = res[k];
        out.Add(ovtest::MakePoly({{7, 7}, {8, 7}, {7, 8}}));  // the caller's entry stays
        T_GORV_BOOLEAN_OPTIONS o;
        o.dTolerance = tol;
        o.bRepair = bRepair ? 1 : 0;
        const T_GORV_BOOLEAN_REPORT rep = CGeomFunc::PolygonBoolean(ops[k], *lhs[k], *rhs[k], out, o);
        if (out.GetSize() < 1 || out[0].outer.points[0].x != 7.0) std::abort();
        out.RemoveAt(0);
        switch (rep.eStatus) {
        case GORV_BOOLEAN_RESULT:
            if (out.GetSize() == 0 || !ovtest::CheckResult(out).empty()) std::abort();
            break;
        case GORV_BOOLEAN_EMPTY:
            if (out.GetSize() != 0) std::abort();
            break;
        case GORV_BOOLEAN_INVALID:
            if (out.GetSize() != 0 || rep.strMessage.empty()) std::abort();
            // Only the tolerance and coordinates are checked when repairing.
            if (bRepair && rep.eProblem != GORV_PROBLEM_TOLERANCE && rep.eProblem != GORV_PROBLEM_COORDINATE) std::abort();
            bAll = false;
            break;
        case GORV_BOOLEAN_FAILED:
            std::abort();  // valid (or repaired) input must never fail
        }
    }
    if (!bAll) return 0;
    // Inclusion-exclusion within the snapping allowance, plus rounding relative to the areas.
    const double au = ovtest::Area(res[0]), ai = ovtest::Area(res[1]), ad = ovtest::Area(res[2]);
    const double aa = ovtest::Area(res[3]), ab = ovtest::Area(res[4]);
    const double mag = std::max(1.0, std::max(Magnitude(a), Magnitude(b)));
    const double bound = 2.0 * tol * (ovtest::Perimeter(a) + ovtest::Perimeter(b)) + 1e-9 * mag * mag;
    if (std::fabs(au - (aa + ab - ai)) > bound || std::fabs(ad - (aa - ai)) > bound) std::abort();
    return 0;
}
