// The whole overlay corpus (every family, all three operations) through the overlay engine, judged
// by GEOS; prints the counts per family (agree / disagree / invalid / failed) and, with --findings
// DIR, writes the smallest failing cases to DIR/oracle_<family>_<index>.txt in the format of
// tests/overlay/oracle/cases/. Exit status 0
// when every operation agrees, 1 otherwise, 2 on bad arguments.
//
//   gorv_overlay_oracle_run [--seed N] [--cases N] [--family NAME] [--findings DIR] [--list N]
//
// --cases N runs the first N cases of each family (default: the full corpus); --list N prints the
// first N failing operations of each family.
#include "support/overlay_corpus.h"
#include "support/overlay_oracle.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

struct Finding {
    std::size_t vertices;
    int family;
    std::uint64_t index;
    GORV_BOOLEAN_OP op;
    gorv_oracle::Outcome outcome;
};

const GORV_BOOLEAN_OP kOps[3] = {GORV_BOOLEAN_UNION, GORV_BOOLEAN_INTERSECT, GORV_BOOLEAN_SUBTRACT};

int Usage(const char* why) {
    std::fprintf(stderr, "gorv_overlay_oracle_run: %s\n", why);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t seed = gorv_corpus::kDefaultSeed;
    long long cases = -1;
    int onlyFamily = -1;
    int list = 0;
    const char* findingsPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return Usage(("missing value after " + arg).c_str());
        const char* v = argv[++i];
        if (arg == "--seed") seed = std::strtoull(v, nullptr, 10);
        else if (arg == "--cases") cases = std::atoll(v);
        else if (arg == "--list") list = std::atoi(v);
        else if (arg == "--findings") findingsPath = v;
        else if (arg == "--family") {
            for (int f = 0; f < gorv_corpus::kFamilyCount; ++f)
                if (std::strcmp(v, gorv_corpus::FamilyName(f)) == 0) onlyFamily = f;
            if (onlyFamily < 0) return Usage("unknown family (star, near, ngon, holes, spike, multi)");
        } else {
            return Usage(("unknown argument " + arg).c_str());
        }
    }

    gorv_oracle::GeosOracle oracle;
    std::vector<Finding> findings;
    int total[gorv_oracle::kVerdictCount] = {0, 0, 0, 0};
    long long corpusFaults = 0;
    std::printf("%-6s %7s %7s %9s %8s %7s %9s\n", "family", "ops", "agree", "disagree", "invalid", "failed", "seconds");
    for (int f = 0; f < gorv_corpus::kFamilyCount; ++f) {
        if (onlyFamily >= 0 && f != onlyFamily) continue;
        const std::uint64_t n = cases >= 0 ? static_cast<std::uint64_t>(cases) : gorv_corpus::FullCaseCount(f);
        int counts[gorv_oracle::kVerdictCount] = {0, 0, 0, 0};
        int listed = 0;
        const auto t0 = std::chrono::steady_clock::now();
        for (std::uint64_t i = 0; i < n; ++i) {
            const gorv_corpus::Case c = gorv_corpus::MakeCase(seed, f, i);
            std::string why;
            if (!oracle.SetCase(c, &why)) {
                ++corpusFaults;
                std::fprintf(stderr, "corpus fault: %s case %llu: %s\n", gorv_corpus::FamilyName(f),
                             static_cast<unsigned long long>(i), why.c_str());
                continue;
            }
            for (GORV_BOOLEAN_OP op : kOps) {
                const gorv_oracle::Outcome o = gorv_oracle::RunAndCheck(oracle, c, op);
                ++counts[o.verdict];
                if (o.verdict == gorv_oracle::kAgree) continue;
                findings.push_back({gorv_corpus::VertexCount(c.a) + gorv_corpus::VertexCount(c.b), f, i, op, o});
                if (listed++ < list)
                    std::printf("  %s case %llu %s: %s: %s\n", gorv_corpus::FamilyName(f),
                                static_cast<unsigned long long>(i), gorv_oracle::OpName(op),
                                gorv_oracle::VerdictName(o.verdict), o.detail.c_str());
            }
        }
        const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        std::printf("%-6s %7llu %7d %9d %8d %7d %9.1f\n", gorv_corpus::FamilyName(f), static_cast<unsigned long long>(3 * n),
                    counts[0], counts[1], counts[2], counts[3], secs);
        std::fflush(stdout);
        for (int k = 0; k < gorv_oracle::kVerdictCount; ++k) total[k] += counts[k];
    }
    std::printf("%-6s %7d %7d %9d %8d %7d\n", "all", total[0] + total[1] + total[2] + total[3], total[0], total[1],
                total[2], total[3]);
    if (corpusFaults) std::printf("corpus faults (cases GEOS finds invalid, skipped): %lld\n", corpusFaults);

    if (findingsPath && !findings.empty()) {
        // The smallest three failing cases of each family (each with its first failing operation).
        std::stable_sort(findings.begin(), findings.end(),
                         [](const Finding& x, const Finding& y) { return x.vertices < y.vertices; });
        int written[gorv_corpus::kFamilyCount] = {};
        std::set<std::pair<int, std::uint64_t>> done;
        for (const Finding& fd : findings) {
            if (written[fd.family] >= 3 || !done.insert({fd.family, fd.index}).second) continue;
            ++written[fd.family];
            const gorv_corpus::Case c = gorv_corpus::MakeCase(seed, fd.family, fd.index);
            const std::string path = std::string(findingsPath) + "/oracle_" + gorv_corpus::FamilyName(fd.family) + "_" +
                                     std::to_string(fd.index) + ".txt";
            FILE* out = std::fopen(path.c_str(), "w");
            if (!out) return Usage(("cannot write " + path).c_str());
            oracle.SetCase(c, nullptr);
            std::fprintf(out, "# %s case %llu seed %llu, %s: %s: %s (%zu vertices)\n", gorv_corpus::FamilyName(fd.family),
                         static_cast<unsigned long long>(fd.index), static_cast<unsigned long long>(seed),
                         gorv_oracle::OpName(fd.op), gorv_oracle::VerdictName(fd.outcome.verdict), fd.outcome.detail.c_str(),
                         fd.vertices);
            std::fprintf(out, "%s\n%s\ntolerance %.17g\n", gorv_corpus::ToWkt(c.a).c_str(), gorv_corpus::ToWkt(c.b).c_str(),
                         c.tolerance);
            std::fprintf(out, "union %.17g\nintersection %.17g\ndifference %.17g\n", oracle.GeosArea(GORV_BOOLEAN_UNION),
                         oracle.GeosArea(GORV_BOOLEAN_INTERSECT), oracle.GeosArea(GORV_BOOLEAN_SUBTRACT));
            std::fclose(out);
            std::printf("wrote %s\n", path.c_str());
        }
    }
    return total[1] + total[2] + total[3] + corpusFaults == 0 ? 0 : 1;
}
