// Speed of the overlay engine (CGeomFunc::PolygonBoolean): two overlapping regular n-gons
// (radius 100, centres 50 apart) without and with four square holes each, n = 8 .. 8192, and a
// 400 x 600 section with 8 rebar circles of 32 segments against a 300 x 300 square, and the
// rectangle minus the 8 circles in one call.
#include <benchmark/benchmark.h>

#include "overlay/overlay_check.h"

namespace {

using namespace ovtest;

Polys NGon(double cx, int n, bool bHoles) {
    std::vector<Pts> holes;
    if (bHoles)
        for (int k = 0; k < 4; ++k) {
            const double hx = cx + (k % 2 ? 20 : -40), hy = k / 2 ? 20 : -40;
            holes.push_back(Reversed(Rect(hx, hy, hx + 20, hy + 20)));
        }
    return One(MakePoly(RegularPolygon(cx, 0, 100, n), holes));
}

void BM_NGonUnion(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const bool bHoles = state.range(1) != 0;
    const Polys a = NGon(0, n, bHoles), b = NGon(50, n, bHoles);
    Polys out;
    for (auto _ : state) {
        out.RemoveAll();
        T_GORV_BOOLEAN_REPORT r = CGeomFunc::PolygonBoolean(GORV_BOOLEAN_UNION, a, b, out);
        benchmark::DoNotOptimize(r);
    }
    state.SetComplexityN(n);
}
BENCHMARK(BM_NGonUnion)
    ->ArgsProduct({{8, 32, 128, 512, 2048, 8192}, {0, 1}})
    ->Unit(benchmark::kMicrosecond);

void BM_NGonOps(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    const GORV_BOOLEAN_OP op = static_cast<GORV_BOOLEAN_OP>(state.range(1));
    const Polys a = NGon(0, n, false), b = NGon(50, n, false);
    Polys out;
    for (auto _ : state) {
        out.RemoveAll();
        T_GORV_BOOLEAN_REPORT r = CGeomFunc::PolygonBoolean(op, a, b, out);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_NGonOps)->ArgsProduct({{512}, {1, 2}})->Unit(benchmark::kMicrosecond);

Pts Circle(double cx, double cy) { return RegularPolygon(cx, cy, 12.5, 32); }

void BM_Section(benchmark::State& state) {
    const double xs[2] = {50, 350}, ys[4] = {50, 216.67, 383.33, 550};
    Polys a, b, circles;
    std::vector<Pts> holes;
    for (double x : xs)
        for (double y : ys) {
            holes.push_back(Reversed(Circle(x, y)));
            circles.Add(MakePoly(Circle(x, y)));
        }
    a.Add(MakePoly(Rect(0, 0, 400, 600), holes));
    b.Add(MakePoly(Rect(200, 150, 500, 450)));
    Polys rect = One(MakePoly(Rect(0, 0, 400, 600)));
    const bool bOneCall = state.range(0) != 0;
    Polys out;
    for (auto _ : state) {
        out.RemoveAll();
        T_GORV_BOOLEAN_REPORT r = bOneCall ? CGeomFunc::PolygonBoolean(GORV_BOOLEAN_SUBTRACT, rect, circles, out)
                                           : CGeomFunc::PolygonBoolean(GORV_BOOLEAN_UNION, a, b, out);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_Section)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace
