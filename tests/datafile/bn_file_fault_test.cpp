// Record file under injected faults: a write that fails, comes up short, or comes up short and
// then fails (a torn write), and a read that comes up short, at every system call of each
// operation. Afterwards every other data set must read back intact, and the changed one must be
// in its old or new state or be reported by the survey.
#include "bn_test_util.h"

#include <cerrno>
#include <functional>

using namespace bntest;

namespace {

enum class Mode { kWriteFail, kWriteShort, kWriteTorn, kReadShort };

struct Injector {
    Mode mode = Mode::kWriteFail;
    int at = 0;     // the call (1-based) that misbehaves
    int calls = 0;  // writes, or reads in kReadShort
    bool tripped = false, failNext = false, eofNext = false;
} g_inj;

const BnKind kFlt{"FLT ", 3, 2.0f};

long FaultWrite(int fd, const void* buf, unsigned long n) {
    if (g_inj.failNext) {
        errno = ENOSPC;
        return -1;
    }
    if (g_inj.mode != Mode::kReadShort && ++g_inj.calls == g_inj.at) {
        g_inj.tripped = true;
        if (g_inj.mode == Mode::kWriteFail) {
            errno = ENOSPC;
            return -1;
        }
        g_inj.failNext = g_inj.mode == Mode::kWriteTorn;
        return GorvPosixFileOps().write(fd, buf, n / 2);
    }
    return GorvPosixFileOps().write(fd, buf, n);
}

long FaultRead(int fd, void* buf, unsigned long n) {
    if (g_inj.eofNext) {
        g_inj.eofNext = false;
        return 0;
    }
    if (g_inj.mode == Mode::kReadShort && ++g_inj.calls == g_inj.at) {
        g_inj.tripped = true;
        const long r = GorvPosixFileOps().read(fd, buf, n / 2);
        g_inj.eofNext = r > 0;
        return r;
    }
    return GorvPosixFileOps().read(fd, buf, n);
}

class ScopedFaults {
public:
    ScopedFaults(Mode mode, int at) : m_ops(GorvPosixFileOps()) {
        g_inj = Injector{mode, at};
        m_ops.write = FaultWrite;
        m_ops.read = FaultRead;
        GorvSetFileOps(&m_ops);
    }
    ~ScopedFaults() { GorvSetFileOps(nullptr); }

private:
    GorvFileOps m_ops;
};

struct DataSet {
    std::string name;
    int id, len, count;
    int first;  // filled in when written
};

std::vector<DataSet> Sets(int n) {
    std::vector<DataSet> v;
    for (int i = 0; i < n; ++i) v.push_back({Name(i), 100 + i, 2 + i % 3, 1 + i % 4, 0});
    return v;
}

// A file with the given data sets, each with its own payload.
Bytes BuildFile(std::vector<DataSet>& sets) {
    TempFile t("fault_base");
    OpenBn o(t, kFlt);
    EXPECT_EQ(o.bn.CREATE_F(), 0);
    for (size_t i = 0; i < sets.size(); ++i) {
        DataSet& d = sets[i];
        EXPECT_EQ(o.bn.WRITE_F(d.name.c_str(), d.id, d.first, d.len, d.count), 0);
        const Bytes p = Payload(static_cast<int>(i), static_cast<size_t>(d.len) * d.count * 4);
        o.file.Write(p.data(), static_cast<UINT>(p.size()));
    }
    return t.Read();
}

struct Op {
    const char* what;
    int sets;         // Sets(sets) is the file before
    std::string name;  // the data set the operation changes
    int id;
    std::function<int(CBnFile&)> run;
    // Accepts the changed data set's state afterwards (old or new).
    std::function<bool(const ReadBack& now, const ReadBack& before)> oldOrNew;
};

void RunFaultMatrix(const Op& op) {
    std::vector<DataSet> sets = Sets(op.sets);
    const Bytes base = BuildFile(sets);
    TempBn ref("fault_ref", base, kFlt);
    const ReadBack before = Read(ref.bn, op.name, op.id);
    for (Mode mode : {Mode::kWriteFail, Mode::kWriteShort, Mode::kWriteTorn, Mode::kReadShort}) {
        for (int at = 1; at < 100; ++at) {
            SCOPED_TRACE(::testing::Message() << op.what << ", mode " << static_cast<int>(mode) << ", call " << at);
            TempBn run("fault_run", base, kFlt);
            int status = -1;
            bool threw = false, tripped = false;
            {
                ScopedFaults faults(mode, at);
                try {
                    status = op.run(run.bn);
                } catch (const CFileException& e) {
                    threw = true;
                    EXPECT_EQ(e.m_cause, CFileException::diskFull);
                }
                tripped = g_inj.tripped;
            }
            // A short write that is followed by a good one is no failure at all.
            if (mode == Mode::kWriteShort) { EXPECT_FALSE(threw); }
            if (mode == Mode::kReadShort && tripped) { EXPECT_TRUE(status == 2 || status == 0) << status; }

            for (size_t i = 0; i < sets.size(); ++i) {
                const DataSet& d = sets[i];
                if (d.name == op.name && d.id == op.id) continue;
                const ReadBack r = Read(run.bn, d.name, d.id);
                ASSERT_EQ(r.status, 0) << d.name;
                EXPECT_EQ(r.first, d.first) << d.name;
                EXPECT_EQ(r.count, d.count) << d.name;
                const size_t n = static_cast<size_t>(d.len) * d.count * 4;
                EXPECT_EQ(Slice(run.Read(), (static_cast<size_t>(d.first) - 1) * d.len * 4, n),
                          Payload(static_cast<int>(i), n)) << d.name;
            }
            if (!op.oldOrNew(Read(run.bn, op.name, op.id), before)) {
                CBnFileSurvey survey;
                ASSERT_EQ(survey.Load(&run.file), 0);
                EXPECT_FALSE(survey.m_aProblems.empty()) << "changed data set in a third state, unreported";
            }
            if (!tripped) break;  // the operation ran to its end: every call has been tried
        }
    }
}

// WRITE_F of a new data set: afterwards absent or complete.
Op Write(const char* what, int sets, int len, int count) {
    return {what, sets, "NEWD", 7, [=](CBnFile& bn) { int first = 0; return bn.WRITE_F("NEWD", 7, first, len, count); },
            [=](const ReadBack& r, const ReadBack&) { return r.status == 4 || (r.status == 0 && r.len == len && r.count == count); }};
}
// MODIFY_F of data set i: afterwards as before or with the new count.
Op Modify(const char* what, int sets, int i, int count) {
    return {what, sets, Name(i), 100 + i, [=](CBnFile& bn) { return bn.MODIFY_F(Name(i).c_str(), 100 + i, count); },
            [=](const ReadBack& r, const ReadBack& b) { return r == b || (r.status == 0 && r.count == count); }};
}
// DELETE_F of data set i: afterwards as before or gone.
Op Delete(const char* what, int sets, int i) {
    return {what, sets, Name(i), 100 + i, [=](CBnFile& bn) { return bn.DELETE_F(Name(i).c_str(), 100 + i); },
            [](const ReadBack& r, const ReadBack& b) { return r == b || r.status == 4; }};
}

}  // namespace

TEST(BnFileFaults, WriteModifyAndDeleteLeaveOldOrNewState) {
    RunFaultMatrix(Write("write free slot", 5, 1501, 2));  // with zero fill
    RunFaultMatrix(Write("write new group", 19, 7, 3));
    RunFaultMatrix(Modify("modify shrink", 23, 4, 0));
    RunFaultMatrix(Modify("modify grow last", 23, 22, 40));
    RunFaultMatrix(Delete("delete middle", 23, 6));
    RunFaultMatrix(Delete("delete last of group 1", 19, 18));
    RunFaultMatrix(Delete("delete last", 9, 8));
}

TEST(BnFileFaults, CreateThatFailsLeavesAFileThatIsRefusedNotMisread) {
    for (Mode mode : {Mode::kWriteFail, Mode::kWriteTorn})
    for (int at : {1, 2}) {
        SCOPED_TRACE(::testing::Message() << "mode " << static_cast<int>(mode) << ", write " << at);
        TempFile t("fault_create");
        OpenBn o(t, kFlt);
        {
            ScopedFaults faults(mode, at);
            EXPECT_THROW(o.bn.CREATE_F(), CFileException);
        }
        int first = 0;
        const int st = Read(o.bn, "ABCD", 1).status;
        EXPECT_TRUE(st == 2 || st == 7) << st;
        EXPECT_EQ(o.bn.WRITE_F("ABCD", 1, first, 1, 1), st);
        ASSERT_EQ(o.bn.CREATE_F(), 0);  // once there is room again
        EXPECT_EQ(o.bn.WRITE_F("ABCD", 1, first, 1, 1), 0);
    }
}

TEST(BnFileFaults, RetryAfterAFailedWriteGivesTheSameFile) {
    // A WRITE_F that failed at any write and is simply called again leaves the same bytes as one
    // that never failed.
    for (int sets : {5, 19}) {
        std::vector<DataSet> v = Sets(sets);
        const Bytes base = BuildFile(v);
        TempBn clean("fault_clean", base, kFlt);
        int first = 0;
        ASSERT_EQ(clean.bn.WRITE_F("NEWD", 1, first, 9, 4), 0);
        for (int at = 1;; ++at) {
            SCOPED_TRACE(::testing::Message() << sets << " sets, write " << at);
            TempBn retry("fault_retry", base, kFlt);
            {
                ScopedFaults faults(Mode::kWriteFail, at);
                try {
                    retry.bn.WRITE_F("NEWD", 1, first, 9, 4);
                } catch (const CFileException&) {
                }
                if (!g_inj.tripped) break;
            }
            ASSERT_EQ(retry.bn.WRITE_F("NEWD", 1, first, 9, 4), 0);
            EXPECT_EQ(retry.Read(), clean.Read());
        }
    }
}
