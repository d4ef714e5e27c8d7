// The whole overlay corpus (every family, all three operations) through the overlay engine, judged
// by GEOS; prints the counts per family (agree / disagree / invalid / failed), the family's time
// and the engine's share of it. Exit status 0 when
// every operation agrees, 1 otherwise, 2 on bad arguments.
//
//   gorv_overlay_oracle_run [--seed N] [--cases N] [--family NAME] [--list N] [--findings DIR]
//                           [--recorded DIR]
//
// --cases N      the first N cases of each family (default: the whole corpus, over 20,000 operations)
// --list N       print the first N failing operations of each family
// --findings DIR write the three smallest failing cases of each family to DIR/oracle_<family>_<index>.txt
//                (the format of tests/overlay/oracle/cases/), each shrunk first: members, holes and
//                vertices are dropped while the operands stay valid and the same operation still
//                fails the same way
// --recorded DIR also judge every recorded case DIR/*.txt (counted as family "file")
#include "support/overlay_corpus.h"
#include "support/overlay_oracle.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using gorv_corpus::Case;

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

// The ring without its closing repeat.
void Open(T_GORV_POLYGON2D& r) {
    const INT_PTR n = r.points.GetSize();
    if (n > 1 && r.points[0].x == r.points[n - 1].x && r.points[0].y == r.points[n - 1].y) r.points.RemoveAt(n - 1);
}

// Every ring of the case, as a pointer, in a fixed order.
std::vector<T_GORV_POLYGON2D*> Rings(Case& c) {
    std::vector<T_GORV_POLYGON2D*> out;
    for (auto* op : {&c.a, &c.b})
        for (T_GORV_COMPLEX_POLYGON2D& p : *op) {
            out.push_back(&p.outer);
            for (INT_PTR h = 0; h < p.holes.GetSize(); ++h) out.push_back(&p.holes[h]);
        }
    return out;
}

// Greedy shrinking of a failing case: drop members, then holes, then single vertices, keeping each
// change after which the operands are still valid and op still gets the same verdict.
Case Shrink(gorv_oracle::GeosOracle& oracle, Case c, GORV_BOOLEAN_OP op, gorv_oracle::Verdict verdict) {
    for (T_GORV_POLYGON2D* r : Rings(c)) Open(*r);
    int budget = 20000;
    auto stillFails = [&](const Case& t) {
        if (--budget < 0 || !oracle.SetCase(t, nullptr)) return false;
        return gorv_oracle::RunAndCheck(oracle, t, op).verdict == verdict;
    };
    if (!stillFails(c)) {
        oracle.SetCase(c, nullptr);
        return c;  // does not fail as an open-ring copy: keep as it is
    }
    for (bool changed = true; changed && budget > 0;) {
        changed = false;
        for (auto* op2 : {&c.a, &c.b}) {
            for (size_t i = 0; i < op2->size() && op2->size() > 1; ++i) {
                Case t = c;
                auto& members = op2 == &c.a ? t.a : t.b;
                members.erase(members.begin() + static_cast<long>(i));
                if (stillFails(t)) {
                    c = t;
                    changed = true;
                    --i;
                }
            }
        }
        for (auto* op2 : {&c.a, &c.b}) {
            for (size_t i = 0; i < op2->size(); ++i) {
                for (INT_PTR h = 0; h < (*op2)[i].holes.GetSize(); ++h) {
                    Case t = c;
                    (op2 == &c.a ? t.a : t.b)[i].holes.RemoveAt(h);
                    if (stillFails(t)) {
                        c = t;
                        changed = true;
                        --h;
                    }
                }
            }
        }
        const size_t rings = Rings(c).size();
        for (size_t k = 0; k < rings; ++k) {
            for (INT_PTR j = 0; j < Rings(c)[k]->points.GetSize() && Rings(c)[k]->points.GetSize() > 3; ++j) {
                Case t = c;
                Rings(t)[k]->points.RemoveAt(j);
                if (stillFails(t)) {
                    c = t;
                    changed = true;
                    --j;
                }
            }
        }
    }
    oracle.SetCase(c, nullptr);
    return c;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint64_t seed = gorv_corpus::kDefaultSeed;
    long long cases = -1;
    int onlyFamily = -1;
    int list = 0;
    const char* findingsDir = nullptr;
    const char* recordedDir = nullptr;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) return Usage(("missing value after " + arg).c_str());
        const char* v = argv[++i];
        if (arg == "--seed") seed = std::strtoull(v, nullptr, 10);
        else if (arg == "--cases") cases = std::atoll(v);
        else if (arg == "--list") list = std::atoi(v);
        else if (arg == "--findings") findingsDir = v;
        else if (arg == "--recorded") recordedDir = v;
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
    double engineSecs = 0.0;
    auto row = [&engineSecs](const char* name, const int* counts, double secs) {
        std::printf("%-6s %7d %7d %9d %8d %7d %9.1f %9.2f\n", name, counts[0] + counts[1] + counts[2] + counts[3],
                    counts[0], counts[1], counts[2], counts[3], secs, engineSecs);
        std::fflush(stdout);
        engineSecs = 0.0;
    };
    std::printf("%-6s %7s %7s %9s %8s %7s %9s %9s\n", "family", "ops", "agree", "disagree", "invalid", "failed", "seconds",
                "engine s");
    for (int f = 0; f < gorv_corpus::kFamilyCount; ++f) {
        if (onlyFamily >= 0 && f != onlyFamily) continue;
        const std::uint64_t n = cases >= 0 ? static_cast<std::uint64_t>(cases) : gorv_corpus::FullCaseCount(f);
        int counts[gorv_oracle::kVerdictCount] = {0, 0, 0, 0};
        int listed = 0;
        const auto t0 = std::chrono::steady_clock::now();
        for (std::uint64_t i = 0; i < n; ++i) {
            const Case c = gorv_corpus::MakeCase(seed, f, i);
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
                engineSecs += o.engineSeconds;
                if (o.verdict == gorv_oracle::kAgree) continue;
                findings.push_back({gorv_corpus::VertexCount(c.a) + gorv_corpus::VertexCount(c.b), f, i, op, o});
                if (listed++ < list)
                    std::printf("  %s case %llu %s: %s: %s\n", gorv_corpus::FamilyName(f),
                                static_cast<unsigned long long>(i), gorv_oracle::OpName(op),
                                gorv_oracle::VerdictName(o.verdict), o.detail.c_str());
            }
        }
        row(gorv_corpus::FamilyName(f), counts, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        for (int k = 0; k < gorv_oracle::kVerdictCount; ++k) total[k] += counts[k];
    }
    if (recordedDir) {
        std::vector<std::filesystem::path> files;
        for (const auto& e : std::filesystem::directory_iterator(recordedDir))
            if (e.path().extension() == ".txt") files.push_back(e.path());
        std::sort(files.begin(), files.end());
        int counts[gorv_oracle::kVerdictCount] = {0, 0, 0, 0};
        const auto t0 = std::chrono::steady_clock::now();
        for (const auto& path : files) {
            Case c;
            double areas[3];
            std::string why;
            if (!gorv_corpus::ReadCaseFile(path.string(), c, areas) || !oracle.SetCase(c, &why)) {
                ++corpusFaults;
                std::fprintf(stderr, "unreadable or invalid case %s %s\n", path.string().c_str(), why.c_str());
                continue;
            }
            for (GORV_BOOLEAN_OP op : kOps) {
                const gorv_oracle::Outcome o = gorv_oracle::RunAndCheck(oracle, c, op);
                ++counts[o.verdict];
                engineSecs += o.engineSeconds;
                if (o.verdict != gorv_oracle::kAgree)
                    std::printf("  %s %s: %s: %s\n    ours: %s\n", path.filename().string().c_str(), gorv_oracle::OpName(op),
                                gorv_oracle::VerdictName(o.verdict), o.detail.c_str(),
                                o.resultWkt.empty() ? "(empty)" : o.resultWkt.c_str());
            }
        }
        row("file", counts, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
        for (int k = 0; k < gorv_oracle::kVerdictCount; ++k) total[k] += counts[k];
    }
    std::printf("%-6s %7d %7d %9d %8d %7d\n", "all", total[0] + total[1] + total[2] + total[3], total[0], total[1],
                total[2], total[3]);
    if (corpusFaults) std::printf("corpus faults (unreadable, or invalid for GEOS; skipped): %lld\n", corpusFaults);

    if (findingsDir && !findings.empty()) {
        // The three smallest failing cases of each family, each shrunk on its first failing operation.
        std::stable_sort(findings.begin(), findings.end(),
                         [](const Finding& x, const Finding& y) { return x.vertices < y.vertices; });
        int written[gorv_corpus::kFamilyCount] = {};
        std::set<std::pair<int, std::uint64_t>> done;
        for (const Finding& fd : findings) {
            if (written[fd.family] >= 3 || !done.insert({fd.family, fd.index}).second) continue;
            ++written[fd.family];
            const Case small = Shrink(oracle, gorv_corpus::MakeCase(seed, fd.family, fd.index), fd.op, fd.outcome.verdict);
            const gorv_oracle::Outcome o = gorv_oracle::RunAndCheck(oracle, small, fd.op);
            const double areas[3] = {oracle.GeosArea(GORV_BOOLEAN_UNION), oracle.GeosArea(GORV_BOOLEAN_INTERSECT),
                                     oracle.GeosArea(GORV_BOOLEAN_SUBTRACT)};
            const std::string path = std::string(findingsDir) + "/oracle_" + gorv_corpus::FamilyName(fd.family) + "_" +
                                     std::to_string(fd.index) + ".txt";
            const std::string comment = std::string(gorv_corpus::FamilyName(fd.family)) + " case " +
                                        std::to_string(fd.index) + " seed " + std::to_string(seed) + " (shrunk to " +
                                        std::to_string(gorv_corpus::VertexCount(small.a) + gorv_corpus::VertexCount(small.b)) +
                                        " vertices), " + gorv_oracle::OpName(fd.op) + ": " +
                                        gorv_oracle::VerdictName(o.verdict) + ": " + o.detail;
            const std::string ours = "\n# ours: " + (o.resultWkt.empty() ? std::string("(empty)") : o.resultWkt);
            if (!gorv_corpus::WriteCaseFile(path, comment + ours, small, areas)) return Usage(("cannot write " + path).c_str());
            std::printf("wrote %s: %s\n", path.c_str(), comment.c_str());
        }
    }
    return total[1] + total[2] + total[3] + corpusFaults == 0 ? 0 : 1;
}
