// Record file on damaged and hostile files: cut short at every byte, header fields set to
// hostile values, cyclic and runaway chains. Always a status, never a crash or a loop, and the
// data sets reached before the damage are still found.
#include "bn_test_util.h"

#include <climits>

using namespace bntest;

namespace {

const BnKind kDmg{"DMG ", 5, 1.0f};

struct Entry {
    std::string name;
    int id;
    int block;  // header block of its slot
};

// Group 1 full (19 data sets), group 2 (block 26 onward) with three more.
Bytes TwoGroupFile(std::vector<Entry>& entries) {
    TempFile t("damage_base");
    OpenBn o(t, kDmg);
    EXPECT_EQ(o.bn.CREATE_F(), 0);
    for (int i = 0; i < 22; ++i) {
        int first = 0;
        EXPECT_EQ(o.bn.WRITE_F(Name(i).c_str(), i, first, 1, 1), 0);
        o.file.Write(Payload(i, 4).data(), 4);
        entries.push_back({Name(i), i, i < 19 ? i + 3 : 26 + (i - 19) + 2});
    }
    const Bytes b = t.Read();
    EXPECT_EQ(GetI32(b, 16), 26);
    return b;
}

// Runs every operation once; each must return a status in 0..10 and READ_F's outputs must be
// zero unless it succeeded.
void RunAll(CBnFile& bn, const std::vector<Entry>& entries) {
    auto isStatus = [](int st) { return st >= 0 && st <= 10; };
    float v = 0;
    EXPECT_PRED1(isStatus, bn.CHKHED_F(v));
    for (const Entry& e : entries) {
        const ReadBack r = Read(bn, e.name, e.id);
        EXPECT_PRED1(isStatus, r.status);
        if (r.status != 0) { EXPECT_EQ(r.first | r.len | r.count, 0); }
    }
    int first = 0;
    EXPECT_PRED1(isStatus, bn.WRITE_F("ZZZZ", 1, first, 3, 2));
    EXPECT_PRED1(isStatus, bn.MODIFY_F(entries[5].name.c_str(), entries[5].id, 0));
    EXPECT_PRED1(isStatus, bn.MODIFY_F(entries.back().name.c_str(), entries.back().id, 3));
    EXPECT_PRED1(isStatus, bn.DELETE_F(entries[2].name.c_str(), entries[2].id));
    CBnFileSurvey survey;
    const int st = survey.Load(bn.GetFile());
    EXPECT_TRUE(st == 0 || st == 2) << st;
}

}  // namespace

TEST(BnFileDamage, CutShortAtEveryByte) {
    std::vector<Entry> entries;
    const Bytes full = TwoGroupFile(entries);
    for (size_t n = 0; n <= full.size(); ++n) {
        SCOPED_TRACE(::testing::Message() << "length " << n);
        const Bytes cut(full.begin(), full.begin() + static_cast<long>(n));
        TempBn d("cut", cut, kDmg);
        // A data set is found exactly when every header up to its slot is in the file; the
        // one-read group scan must agree with a slot-by-slot one.
        for (const Entry& e : entries)
            EXPECT_EQ(Read(d.bn, e.name, e.id).status, n >= static_cast<size_t>(e.block) * 20 ? 0 : 2) << e.name;
        float v = 0;
        EXPECT_EQ(d.bn.CHKHED_F(v), n >= 20 ? 0 : 2);
        // Shorter than one header (its head name may match): every operation reports a read
        // error and the file stays as it was.
        if (n < 20) {
            int first = 0;
            EXPECT_EQ(d.bn.WRITE_F("ZZZZ", 1, first, 1, 1), 2);
            EXPECT_EQ(d.bn.MODIFY_F("ZZZZ", 1, 1), 2);
            EXPECT_EQ(d.bn.DELETE_F("ZZZZ", 1), 2);
            CBnFileSurvey survey;
            EXPECT_EQ(survey.Load(&d.file), 2);
        }
        RunAll(d.bn, entries);
        if (n < 20) { EXPECT_EQ(d.Read(), cut); }
    }

    // The scan ends at the first free slot, so a file cut anywhere after it reads as whole.
    TempFile t("cut_free");
    {
        OpenBn o(t, kDmg);
        ASSERT_EQ(o.bn.CREATE_F(), 0);
        int first = 0;
        ASSERT_EQ(o.bn.WRITE_F("AAAA", 1, first, 1, 0), 0);
    }
    const Bytes one = t.Read();
    for (size_t n : {80u, 81u, 99u, 100u, 419u}) {
        SCOPED_TRACE(n);
        TempBn d("cut_free", Bytes(one.begin(), one.begin() + static_cast<long>(n)), kDmg);
        EXPECT_EQ(Read(d.bn, "BBBB", 1).status, 4);
        EXPECT_EQ(Read(d.bn, "AAAA", 1).status, 0);
    }
}

TEST(BnFileDamage, HostileHeaderFieldsGiveStatusesNeverCrashes) {
    std::vector<Entry> entries;
    const Bytes full = TwoGroupFile(entries);
    const int values[] = {0, 1, -1, 2, 21, 25, 26, 27, 46, 47, 1000, INT_MIN, INT_MAX, INT_MAX / 4, 0x01000000};
    // Every header block of both groups (1..21, 26..30), every field.
    for (size_t blk = 1; blk <= 30; blk = blk == 21 ? 26 : blk + 1) {
        for (size_t field = 0; field < 5; ++field) {
            for (int v : values) {
                SCOPED_TRACE(::testing::Message() << "block " << blk << " field " << field << " = " << v);
                Bytes b = full;
                PutI32(b, (blk - 1) * 20 + field * 4, v);
                TempBn d("hostile", b, kDmg);
                // Data sets whose slot comes before the damaged block are found as before.
                for (const Entry& e : entries) {
                    if (static_cast<size_t>(e.block) < blk) { EXPECT_EQ(Read(d.bn, e.name, e.id).status, 0) << e.name; }
                }
                RunAll(d.bn, entries);
            }
        }
    }
}

TEST(BnFileDamage, ChainsThatLoopOrRunAwayAreStopped) {
    std::vector<Entry> entries;
    TempFile base("chain_base");
    base.Write(TwoGroupFile(entries));
    {
        OpenBn o(base, kDmg);
        for (int i = 22; i < 38; ++i) {  // group 2 exactly full, so a scan for an absent name follows its link
            int first = 0;
            ASSERT_EQ(o.bn.WRITE_F(Name(i).c_str(), i, first, 1, 1), 0);
        }
    }
    const Bytes filled = base.Read();
    // Group 2's next field (block 26, byte 516) back to group 1, to itself, into its own table or
    // negative: a cycle (7); past the end of the file: a read error (2).
    const struct { int next, status; } cases[] = {
        {1, 7}, {26, 7}, {30, 7}, {-5, 7}, {INT_MIN, 7}, {100000, 2}, {INT_MAX, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.next);
        Bytes b = filled;
        PutI32(b, 25 * 20 + 16, c.next);
        TempBn d("chain", b, kDmg);
        int first = 0;
        EXPECT_EQ(Read(d.bn, "ABSE", 1).status, c.status);
        EXPECT_EQ(d.bn.WRITE_F("ABSE", 1, first, 1, 1), c.status);
        EXPECT_EQ(Read(d.bn, Name(37), 37).status, 0);  // reached before the link
        EXPECT_EQ(d.Read(), b);  // nothing written
        CBnFileSurvey survey;
        ASSERT_EQ(survey.Load(&d.file), 0);
        ASSERT_FALSE(survey.m_aProblems.empty());
        EXPECT_NE(survey.m_aProblems[0].find(c.status == 7 && c.next <= 26 ? "cycle" : "broken chain"), std::string::npos)
            << survey.m_aProblems[0];
    }
}

TEST(BnFileDamage, ImpossibleRecordNumbersAreRefusedAndNothingIsWrittenOverTheDirectory) {
    std::vector<Entry> entries;
    const Bytes full = TwoGroupFile(entries);
    // Entry 3 (slot block 6) with a first (field 2), last (3) or length (4) no data set can have.
    const struct { size_t field; int value; } cases[] = {
        {2, -3}, {2, 0}, {4, 0}, {4, -1}, {4, 20000000}, {3, -100}, {4, INT_MAX}};
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << "field " << c.field << " = " << c.value);
        Bytes b = full;
        PutI32(b, 5 * 20 + c.field * 4, c.value);
        TempBn d("numbers", b, kDmg);
        const Entry& e = entries[3];
        int first = 0;
        EXPECT_EQ(Read(d.bn, e.name, e.id).status, 7);
        EXPECT_EQ(d.bn.MODIFY_F(e.name.c_str(), e.id, 1), 7);
        EXPECT_EQ(d.bn.WRITE_F(e.name.c_str(), e.id, first, 1, 1), 7);
        EXPECT_EQ(Read(d.bn, entries[2].name, 2).status, 0);
        EXPECT_EQ(Read(d.bn, entries[4].name, 4).status, 0);
        // A new data set would need every passed slot's extent: refused, file untouched.
        EXPECT_EQ(d.bn.WRITE_F("ZZZZ", 1, first, 1, 1), 7);
        EXPECT_EQ(d.Read(), b);
        CBnFileSurvey survey;
        ASSERT_EQ(survey.Load(&d.file), 0);
        EXPECT_FALSE(survey.m_aProblems.empty());
    }

    // The slot before a free one says its records end inside the directory (or nowhere), or slot 1
    // (the table entry, last = -1 here) is free: the new data set would land on the headers, so
    // WRITE_F refuses and writes nothing.
    for (int last : {0, 3, 20, -1}) {
        SCOPED_TRACE(last);
        TempFile t("into_dir");
        OpenBn o(t, kDmg);
        ASSERT_EQ(o.bn.CREATE_F(), 0);
        int first = 0;
        if (last >= 0) { ASSERT_EQ(o.bn.WRITE_F("AAAA", 1, first, 1, 1), 0); }
        Bytes b = t.Read();
        if (last >= 0) {
            PutI32(b, 48, 1);
            PutI32(b, 52, last);
        } else {
            std::copy_n("    ", 4, b.begin() + 20);
        }
        t.Write(b);
        EXPECT_EQ(o.bn.WRITE_F("BBBB", 1, first, 1, 1), 7);
        EXPECT_EQ(t.Read(), b);
    }
}
