// Growth of plane section generation: a regular n-gon with k holes (each a regular n/4-gon, at
// least 4 sides) turned into one plane section. The curve checks, the outer trace, the
// advancing-front triangulation and the triangle-to-domain step are all quadratic passes, so the
// expected growth is about n^2 (reported by Complexity()).
#include <gorv/gorv_base.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const double kPi = 3.14159265358979323846;

// Adds the closed regular polygon of n sides about (cx, cy) and appends its curve ids.
void AddRegularRing(CSectModel& m, double cx, double cy, double r, int n, std::vector<int>& ids) {
    for (int i = 0; i < n; ++i) {
        const double a0 = 2.0 * kPi * i / n, a1 = 2.0 * kPi * (i + 1) / n;
        ids.push_back(m.AddLineCurve(cx + r * std::cos(a0), cy + r * std::sin(a0), cx + r * std::cos(a1),
                                     cy + r * std::sin(a1)));
    }
}

// A model holding the n-gon of radius 100 and k holes on the circle of radius 50 (one hole: at
// the centre); returns the curve ids in insertion order.
std::vector<int> BuildPolygonWithHoles(CSectModel& m, int n, int k) {
    std::vector<int> ids;
    AddRegularRing(m, 0.0, 0.0, 100.0, n, ids);
    const int nHole = std::max(4, n / 4);
    for (int j = 0; j < k; ++j) {
        if (k == 1) {
            AddRegularRing(m, 0.0, 0.0, 40.0, nHole, ids);
        } else {
            const double a = 2.0 * kPi * j / k;
            const double r = std::min(20.0, 40.0 * std::sin(kPi / k));
            AddRegularRing(m, 50.0 * std::cos(a), 50.0 * std::sin(a), r, nHole, ids);
        }
    }
    return ids;
}

void BM_GeneratePlaneSection(benchmark::State& state, int k) {
    const int n = static_cast<int>(state.range(0));
    std::size_t nTriangles = 0;
    for (auto _ : state) {
        state.PauseTiming();
        CSectModel m(0.001);
        const std::vector<int> ids = BuildPolygonWithHoles(m, n, k);
        state.ResumeTiming();
        const int s = m.GenerateSection(ids);
        benchmark::DoNotOptimize(s);
        state.PauseTiming();
        if (const T_SM_SECTION* sec = m.GetSection(s)) nTriangles = sec->mapTriangle.size();
        else state.SkipWithError("section generation failed");
        state.ResumeTiming();
    }
    state.counters["triangles"] = static_cast<double>(nTriangles);
    state.SetComplexityN(state.range(0));
}
BENCHMARK_CAPTURE(BM_GeneratePlaneSection, no_holes, 0)
    ->RangeMultiplier(2)->Range(16, 2048)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK_CAPTURE(BM_GeneratePlaneSection, one_hole, 1)
    ->RangeMultiplier(2)->Range(16, 2048)->Unit(benchmark::kMillisecond)->Complexity();
BENCHMARK_CAPTURE(BM_GeneratePlaneSection, four_holes, 4)
    ->RangeMultiplier(2)->Range(16, 2048)->Unit(benchmark::kMillisecond)->Complexity();

}  // namespace
