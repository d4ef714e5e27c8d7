// Speed of the polygon booleans: two overlapping regular n-gons (with and without a hole in each)
// for n = 8 .. 2048, and the example cross-sections of examples/.
#include <benchmark/benchmark.h>

#include <gorv/gorv_base.h>

#include "support/wkt_read.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace {

T_GORV_POLYGON2D RegularRing(double cx, double cy, double r, int n, bool ccw) {
    T_GORV_POLYGON2D ring;
    const double pi = 3.14159265358979323846;
    for (int i = 0; i <= n; ++i) {
        const int k = ccw ? i % n : (n - i) % n;
        T_GORV_POINT2D p;
        p.x = cx + r * std::cos(2.0 * pi * k / n);
        p.y = cy + r * std::sin(2.0 * pi * k / n);
        ring.points.Add(p);
    }
    return ring;
}

// Two n-gons of radius 10 whose centres are 6 apart; optionally each with an n/4-gon hole.
void MakePair(int n, bool holes, T_GORV_COMPLEX_POLYGON2D& a, T_GORV_COMPLEX_POLYGON2D& b) {
    a.outer = RegularRing(0, 0, 10, n, true);
    b.outer = RegularRing(6, 1, 10, n, true);
    if (holes) {
        const int m = n / 4 < 3 ? 3 : n / 4;
        a.holes.Add(RegularRing(-3, 0, 3, m, false));
        b.holes.Add(RegularRing(9, 1, 3, m, false));
    }
}

void Run(int op, const T_GORV_COMPLEX_POLYGON2D& a, const T_GORV_COMPLEX_POLYGON2D& b, benchmark::State& state) {
    for (auto _ : state) {
        CArray<T_GORV_COMPLEX_POLYGON2D> out;
        if (op == 0) CGeomFunc::Union2Polygon(a, b, out);
        else if (op == 1) CGeomFunc::Intersect2Polygon(a, b, out);
        else CGeomFunc::Subtract2Polygon(a, b, out, 0.001);
        benchmark::DoNotOptimize(out.GetSize());
        if (out.GetSize() == 0) state.SkipWithError("no result");
    }
    state.SetComplexityN(state.range(0));
}

template <int Op, bool Holes>
void BM_RegularPolygons(benchmark::State& state) {
    T_GORV_COMPLEX_POLYGON2D a, b;
    MakePair(static_cast<int>(state.range(0)), Holes, a, b);
    Run(Op, a, b, state);
}

#define GORV_NGON_BENCH(op, holes)                                                                      \
    BENCHMARK_TEMPLATE(BM_RegularPolygons, op, holes)->Arg(8)->Arg(32)->Arg(128)->Arg(512)->Arg(2048)->Unit( \
        benchmark::kMillisecond)->Complexity()
GORV_NGON_BENCH(0, false);
GORV_NGON_BENCH(1, false);
GORV_NGON_BENCH(2, false);
GORV_NGON_BENCH(0, true);
GORV_NGON_BENCH(1, true);
GORV_NGON_BENCH(2, true);

// Reads the rings of a WKT POLYGON file (closing points kept, as the entry points expect).
T_GORV_COMPLEX_POLYGON2D ReadWkt(const std::string& path) {
    std::ifstream in(path);
    std::stringstream ss;
    ss << in.rdbuf();
    return gorv_support::ParseWkt(ss.str());
}

// The examples directory: $GORV_EXAMPLES_DIR, else the build's GORV_EXAMPLES_DIR definition, else
// "examples" (running from the repository root).
std::string ExamplesDir() {
    if (const char* env = std::getenv("GORV_EXAMPLES_DIR")) return env;
#ifdef GORV_EXAMPLES_DIR
    return GORV_EXAMPLES_DIR;
#else
    return "examples";
#endif
}

void BM_Example(benchmark::State& state, const char* name, int op) {
    const std::string dir = ExamplesDir();
    const T_GORV_COMPLEX_POLYGON2D a = ReadWkt(dir + "/" + name + "_a.wkt");
    const T_GORV_COMPLEX_POLYGON2D b = ReadWkt(dir + "/" + name + "_b.wkt");
    if (a.outer.points.GetSize() == 0) {
        state.SkipWithError("example not found");
        for (auto _ : state) {
        }
        return;
    }
    Run(op, a, b, state);
}

BENCHMARK_CAPTURE(BM_Example, column_rebar_subtract, "column_rebar", 2)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Example, wall_opening_intersect, "wall_opening", 1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Example, circular_pier_union, "circular_pier", 0)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Example, i_section_plate_union, "i_section_plate", 0)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace
