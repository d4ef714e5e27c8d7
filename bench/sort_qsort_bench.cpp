// Throughput of the typed sorts and of the nearest-value search.
#include <gorv/gorv_base.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<double> RandomDoubles(size_t n)
{
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> dist(-1e6, 1e6);
    std::vector<double> v(n);
    for (double& x : v) x = dist(rng);
    return v;
}

void BM_QSortDblWithIndex(benchmark::State& state)
{
    const std::vector<double> src = RandomDoubles(static_cast<size_t>(state.range(0)));
    std::vector<double> val(src.size());
    std::vector<int> idx(src.size());
    for (auto _ : state) {
        val = src;
        for (size_t i = 0; i < idx.size(); ++i) idx[i] = static_cast<int>(i);
        CGorvQSort::QSortDblWithIndex(idx.data(), val.data(), static_cast<unsigned>(val.size()));
        benchmark::DoNotOptimize(val.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_QSortDblWithIndex)->Range(64, 1 << 16);

void BM_QSortString(benchmark::State& state)
{
    std::mt19937 rng(2);
    std::vector<CString> src(static_cast<size_t>(state.range(0)));
    for (CString& s : src) s = CString(std::to_wstring(rng()).c_str());
    std::vector<CString> work;
    for (auto _ : state) {
        work = src;
        CGorvQSort::QSortString(work.data(), static_cast<unsigned>(work.size()));
        benchmark::DoNotOptimize(work.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_QSortString)->Range(64, 1 << 14);

void BM_FindNearest(benchmark::State& state)
{
    std::vector<double> v = RandomDoubles(static_cast<size_t>(state.range(0)));
    std::sort(v.begin(), v.end());
    const std::vector<double> keys = RandomDoubles(1024);
    size_t k = 0;
    for (auto _ : state) {
        const double key = keys[k++ & 1023];
        benchmark::DoNotOptimize(
            CCompFunc::FindNearest(&key, v.data(), static_cast<unsigned>(v.size()), sizeof(double), CCompFunc::doubleDist));
    }
}
BENCHMARK(BM_FindNearest)->Range(16, 1 << 20);

} // namespace
