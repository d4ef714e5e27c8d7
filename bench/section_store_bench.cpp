// Growth of curve insertion in the section model: n grid edges whose end points snap to the
// points already there. Point search is a linear pass, so the whole build is expected to grow as n^2.
#include <gorv/gorv_base.h>

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// Adds n edges of a unit grid row by row (horizontal edge, then the vertical edge above it), so most
// end points snap to existing points.
void AddGridEdges(CSectModel& m, int n) {
    const int nWidth = static_cast<int>(std::ceil(std::sqrt(static_cast<double>(n) / 2.0))) + 1;
    int nAdded = 0;
    for (int y = 0; nAdded < n; ++y) {
        for (int x = 0; x < nWidth && nAdded < n; ++x) {
            m.AddLineCurve(x, y, x + 1, y);
            if (++nAdded < n) {
                m.AddLineCurve(x, y, x, y + 1);
                ++nAdded;
            }
        }
    }
}

void BM_AddLineCurveGrid(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    for (auto _ : state) {
        CSectModel m(0.001);
        AddGridEdges(m, n);
        benchmark::DoNotOptimize(m.m_mapCurve.size());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_AddLineCurveGrid)->RangeMultiplier(4)->Range(100, 10000)->Complexity();

// Snapping alone against a model of n points: the cost of one FindPoint miss.
void BM_FindPointMiss(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    CSectModel m(0.001);
    AddGridEdges(m, n);
    const double q[2] = {-5.0, -5.0};
    for (auto _ : state) benchmark::DoNotOptimize(m.FindPoint(q));
    state.SetComplexityN(static_cast<int64_t>(m.m_mapPoint.size()));
}
BENCHMARK(BM_FindPointMiss)->RangeMultiplier(4)->Range(100, 10000)->Complexity();

}  // namespace
