// Record file speed: READ_F of the last of 1,000 data sets (53 directory groups, each read in one
// call) and 1,000 WRITE_F calls into a new file. Counters report the system read calls per READ_F.
#include <gorv/gorv_base.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

const int kDataSets = 1000;

std::string TempPath(const char* tag) {
    return (std::filesystem::temp_directory_path() /
            ("gorv_datafile_bench_" + std::string(tag) + "_" + std::to_string(::getpid())))
        .string();
}

std::string Name(int i) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "D%03d", i % 1000);
    return buf;
}

long g_reads = 0;
long CountingRead(int fd, void* buf, unsigned long n) {
    ++g_reads;
    return GorvPosixFileOps().read(fd, buf, n);
}

void BM_ReadLastOf1000(benchmark::State& state) {
    const std::string path = TempPath("read");
    std::remove(path.c_str());
    CFile f;
    if (!f.Open(CString::FromUtf8(path), CFile::modeCreate | CFile::modeReadWrite)) {
        state.SkipWithError("cannot create the file");
        return;
    }
    CBnFile bn;
    bn.INIT_F(&f, "BNCH", 1, 1.0f);
    bn.CREATE_F();
    int first = 0;
    for (int i = 0; i < kDataSets; ++i) bn.WRITE_F(Name(i).c_str(), i / 1000, first, 3, 2);
    const std::string last = Name(kDataSets - 1);
    const int lastId = (kDataSets - 1) / 1000;

    GorvFileOps ops = GorvPosixFileOps();
    ops.read = CountingRead;
    GorvSetFileOps(&ops);
    g_reads = 0;
    int len = 0, count = 0;
    for (auto _ : state) {
        const int st = bn.READ_F(last.c_str(), lastId, first, len, count);
        benchmark::DoNotOptimize(st);
        benchmark::DoNotOptimize(first);
    }
    GorvSetFileOps(nullptr);
    state.counters["groups"] = 0;
    CBnFileSurvey in;
    if (in.Load(&f) == 0) state.counters["groups"] = static_cast<double>(in.m_aGroups.size());
    state.counters["reads/READ_F"] = static_cast<double>(g_reads) / static_cast<double>(state.iterations());
    f.Close();
    std::remove(path.c_str());
}
BENCHMARK(BM_ReadLastOf1000)->Unit(benchmark::kMicrosecond);

void BM_Write1000IntoNewFile(benchmark::State& state) {
    const std::string path = TempPath("write");
    for (auto _ : state) {
        state.PauseTiming();
        std::remove(path.c_str());
        CFile f;
        if (!f.Open(CString::FromUtf8(path), CFile::modeCreate | CFile::modeReadWrite)) {
            state.SkipWithError("cannot create the file");
            break;
        }
        CBnFile bn;
        bn.INIT_F(&f, "BNCH", 1, 1.0f);
        bn.CREATE_F();
        state.ResumeTiming();
        int first = 0;
        for (int i = 0; i < kDataSets; ++i) bn.WRITE_F(Name(i).c_str(), 0, first, 1 + i % 4, 3);
        benchmark::DoNotOptimize(first);
        state.PauseTiming();
        f.Close();
        state.ResumeTiming();
    }
    std::remove(path.c_str());
    state.SetItemsProcessed(state.iterations() * kDataSets);
}
BENCHMARK(BM_Write1000IntoNewFile)->Unit(benchmark::kMillisecond);

}  // namespace
