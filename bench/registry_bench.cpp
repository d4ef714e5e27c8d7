// Speed of the settings store with the connection kept open in the process: reading a value from
// a warm store, and writing one value (one committed transaction each).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include <gorv/gorv_base.h>

namespace {

const wchar_t* const kPath = L"HKEY_CURRENT_USER\\Software\\TELUN\\TEST";

// A store in a fresh temporary folder, removed afterwards.
struct BenchStore {
    std::string dir;
    BenchStore() {
        std::string pattern = "/tmp/gorv-reg-bench-XXXXXX";
        if (::mkdtemp(pattern.data())) dir = pattern;
        ::setenv("GORV_REGISTRY", (dir + "/registry.db").c_str(), 1);
        for (int i = 0; i < 200; ++i)  // some neighbours, so lookups walk a real index
            CRegistry::WriteProfileInt(kPath, (L"N" + std::to_wstring(i)).c_str(), i);
        CRegistry::WriteProfileStringW(kPath, L"Hide Version", L"1.2.3");
    }
    ~BenchStore() {
        ::unsetenv("GORV_REGISTRY");
        if (!dir.empty()) std::system(("rm -rf '" + dir + "'").c_str());
    }
};

void BM_RegistryReadString(benchmark::State& state) {
    BenchStore store;
    CString out;
    for (auto _ : state) {
        if (CRegistry::GetProfileStringW(kPath, L"Hide Version", out) != 1) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_RegistryReadString);

void BM_RegistryReadInt(benchmark::State& state) {
    BenchStore store;
    int n = 0;
    for (auto _ : state) {
        if (CRegistry::GetProfileIntW(kPath, L"N150", n) != 1) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_RegistryReadInt);

void BM_RegistryWriteInt(benchmark::State& state) {
    BenchStore store;
    int i = 0;
    for (auto _ : state) {
        if (CRegistry::WriteProfileInt(kPath, L"Counter", ++i) != 1) state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_RegistryWriteInt);

void BM_RegistryWriteString(benchmark::State& state) {
    BenchStore store;
    int i = 0;
    for (auto _ : state) {
        const std::wstring name = L"S" + std::to_wstring(++i % 1000);
        if (CRegistry::WriteProfileStringW(kPath, name.c_str(), L"a settings text of some length") != 1)
            state.SkipWithError("write failed");
    }
}
BENCHMARK(BM_RegistryWriteString);

}  // namespace
