// Speed of the overlay engine beside GEOS (when the build found it) and, for small n, the section
// modeler, in one run: two regular n-gons of radius 100 with centres 50 apart, without holes and
// with 4 square holes each, n = 8 .. 8192, for union, intersection and difference; and a 400 x 600
// section with 8 rebar holes (circles of 32 segments) united with a 300 x 300 square, and the
// rectangle minus all 8 circles in one call (B a multi-polygon operand).
//
// Inputs are built outside the timing loops (GEOS geometries too); each iteration computes the
// result and frees it. In an optimised build, medians of 5 repetitions:
//
//   cmake -S . -B build/bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DGORV_BUILD_TESTS=OFF
//   cmake --build build/bench --target gorv_overlay_geos_bench
//   build/bench/bench/gorv_overlay_geos_bench --benchmark_repetitions=5
//       --benchmark_report_aggregates_only=true --benchmark_out=overlay.json --benchmark_out_format=json
//   python3 bench/overlay_geos_table.py overlay.json
//
// The script prints each cell's median CPU time for ours, GEOS and the modeler, the ratio
// ours / GEOS, and the growth exponent from n = 512 to 8192: log(t(8192) / t(512)) / log(16).
// Names: overlay/<case>/<op>[/n:N]/<engine>, engine ours, geos or modeler, registered side by side.
#include <benchmark/benchmark.h>

#include <gorv/gorv_base.h>

#if GORV_HAVE_GEOS
#include <geos_c.h>
#endif

#include <cmath>
#include <string>
#include <vector>

namespace {

typedef CArray<T_GORV_COMPLEX_POLYGON2D> Operand;

const double kPi = 3.14159265358979323846;

T_GORV_POLYGON2D Ring(const std::vector<T_GORV_POINT2D>& v) {
    T_GORV_POLYGON2D r;
    for (const T_GORV_POINT2D& p : v) r.points.Add(p);
    r.points.Add(v[0]);  // closed, as the modeler's entry points expect
    return r;
}

std::vector<T_GORV_POINT2D> Circle(double cx, double cy, double radius, int n, bool ccw) {
    std::vector<T_GORV_POINT2D> v;
    for (int i = 0; i < n; ++i) {
        const double a = 2.0 * kPi * (ccw ? i : n - i) / n;
        v.push_back({cx + radius * std::cos(a), cy + radius * std::sin(a)});
    }
    return v;
}

std::vector<T_GORV_POINT2D> Square(double x0, double y0, double x1, double y1, bool ccw) {
    if (ccw) return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
}

// A regular n-gon of radius 100 around (cx, 0); with holes, 4 squares of side 20 around (cx +- 40, +-40).
T_GORV_COMPLEX_POLYGON2D Ngon(double cx, int n, bool holes) {
    T_GORV_COMPLEX_POLYGON2D p;
    p.outer = Ring(Circle(cx, 0.0, 100.0, n, true));
    if (holes)
        for (double dx : {-40.0, 40.0})
            for (double dy : {-40.0, 40.0})
                p.holes.Add(Ring(Square(cx + dx - 10, dy - 10, cx + dx + 10, dy + 10, false)));
    return p;
}

// The section: a 400 x 600 rectangle, 8 bars of radius 12 at a cover of 60 (as holes, or as
// separate polygons), and a 300 x 300 square over its right side, covering one bar.
T_GORV_COMPLEX_POLYGON2D SectionRect(bool withBars) {
    T_GORV_COMPLEX_POLYGON2D p;
    p.outer = Ring(Square(0, 0, 400, 600, true));
    if (withBars)
        for (const auto& c : std::vector<T_GORV_POINT2D>{{60, 60}, {200, 60}, {340, 60}, {60, 300}, {340, 300}, {60, 540}, {200, 540}, {340, 540}})
            p.holes.Add(Ring(Circle(c.x, c.y, 12.0, 32, false)));
    return p;
}

Operand Bars() {
    Operand bars;
    for (const auto& c : std::vector<T_GORV_POINT2D>{{60, 60}, {200, 60}, {340, 60}, {60, 300}, {340, 300}, {60, 540}, {200, 540}, {340, 540}}) {
        T_GORV_COMPLEX_POLYGON2D b;
        b.outer = Ring(Circle(c.x, c.y, 12.0, 32, true));
        bars.Add(b);
    }
    return bars;
}

T_GORV_COMPLEX_POLYGON2D SectionSquare() {
    T_GORV_COMPLEX_POLYGON2D p;
    p.outer = Ring(Square(300, 150, 600, 450, true));
    return p;
}

Operand One(const T_GORV_COMPLEX_POLYGON2D& p) {
    Operand o;
    o.Add(p);
    return o;
}

const char* OpName(int op) { return op == 0 ? "union" : op == 1 ? "intersection" : "difference"; }

void Ours(benchmark::State& state, int op, Operand a, Operand b) {
    for (auto _ : state) {
        Operand out;
        const T_GORV_BOOLEAN_REPORT r = CGeomFunc::PolygonBoolean(static_cast<GORV_BOOLEAN_OP>(op), a, b, out);
        if (r.eStatus != GORV_BOOLEAN_RESULT) {
            state.SkipWithError(("no result: " + r.strMessage).c_str());
            break;
        }
        benchmark::DoNotOptimize(out.GetSize());
    }
}

void Modeler(benchmark::State& state, int op, T_GORV_COMPLEX_POLYGON2D a, T_GORV_COMPLEX_POLYGON2D b) {
    for (auto _ : state) {
        Operand out;
        if (op == 0) CGeomFunc::Union2Polygon(a, b, out);
        else if (op == 1) CGeomFunc::Intersect2Polygon(a, b, out);
        else CGeomFunc::Subtract2Polygon(a, b, out, 0.001);
        if (out.GetSize() == 0) {
            state.SkipWithError("no result");
            break;
        }
        benchmark::DoNotOptimize(out.GetSize());
    }
}

#if GORV_HAVE_GEOS
// The GEOS side: one context for the whole run; geometries built once per benchmark.
GEOSContextHandle_t GeosContext() {
    static GEOSContextHandle_t h = GEOS_init_r();
    return h;
}

GEOSGeometry* GeosRing(const T_GORV_POLYGON2D& r) {
    const unsigned n = static_cast<unsigned>(r.points.GetSize());
    GEOSCoordSequence* s = GEOSCoordSeq_create_r(GeosContext(), n, 2);
    for (unsigned i = 0; i < n; ++i) GEOSCoordSeq_setXY_r(GeosContext(), s, i, r.points[i].x, r.points[i].y);
    return GEOSGeom_createLinearRing_r(GeosContext(), s);
}

GEOSGeometry* GeosPolygon(const T_GORV_COMPLEX_POLYGON2D& p) {
    std::vector<GEOSGeometry*> holes;
    for (INT_PTR k = 0; k < p.holes.GetSize(); ++k) holes.push_back(GeosRing(p.holes[k]));
    return GEOSGeom_createPolygon_r(GeosContext(), GeosRing(p.outer), holes.data(), static_cast<unsigned>(holes.size()));
}

// One member: the polygon; several (disjoint, as here): a multi-polygon.
GEOSGeometry* GeosOperand(const Operand& o) {
    if (o.GetSize() == 1) return GeosPolygon(o[0]);
    std::vector<GEOSGeometry*> parts;
    for (INT_PTR i = 0; i < o.GetSize(); ++i) parts.push_back(GeosPolygon(o[i]));
    return GEOSGeom_createCollection_r(GeosContext(), GEOS_MULTIPOLYGON, parts.data(), static_cast<unsigned>(parts.size()));
}

void Theirs(benchmark::State& state, int op, Operand a, Operand b) {
    GEOSContextHandle_t h = GeosContext();
    GEOSGeometry* ga = GeosOperand(a);
    GEOSGeometry* gb = GeosOperand(b);
    for (auto _ : state) {
        GEOSGeometry* r = op == 0   ? GEOSUnion_r(h, ga, gb)
                          : op == 1 ? GEOSIntersection_r(h, ga, gb)
                                    : GEOSDifference_r(h, ga, gb);
        if (!r) {
            state.SkipWithError("GEOS failed");
            break;
        }
        benchmark::DoNotOptimize(r);
        GEOSGeom_destroy_r(h, r);
    }
    GEOSGeom_destroy_r(h, ga);
    GEOSGeom_destroy_r(h, gb);
}
#endif

// Registers ours, GEOS and (if asked) the modeler side by side for one cell.
void Cell(const std::string& name, int op, const std::string& size, const Operand& a, const Operand& b, bool modeler) {
    const std::string base = "overlay/" + name + "/" + OpName(op) + size;
    benchmark::RegisterBenchmark((base + "/ours").c_str(), Ours, op, a, b)->Unit(benchmark::kMicrosecond);
#if GORV_HAVE_GEOS
    benchmark::RegisterBenchmark((base + "/geos").c_str(), Theirs, op, a, b)->Unit(benchmark::kMicrosecond);
#endif
    if (modeler)
        benchmark::RegisterBenchmark((base + "/modeler").c_str(), Modeler, op, a[0], b[0])->Unit(benchmark::kMicrosecond);
}

// The faithful modeler takes about a thousand times longer: only the small n-gons.
const int kModelerMaxN = 128;

int RegisterAll() {
    for (bool holes : {false, true}) {
        for (int op = 0; op < 3; ++op) {
            for (int n : {8, 32, 128, 512, 2048, 8192}) {
                Cell(holes ? "ngon_holes" : "ngon", op, "/n:" + std::to_string(n), One(Ngon(0.0, n, holes)), One(Ngon(50.0, n, holes)), n <= kModelerMaxN);
            }
        }
    }
    Cell("section_rebar_square", 0, "", One(SectionRect(true)), One(SectionSquare()), true);
    Cell("section_minus_bars", 2, "", One(SectionRect(false)), Bars(), false);
    return 0;
}

[[maybe_unused]] const int kRegistered = RegisterAll();

}  // namespace
