// Record file: what MODIFY_F and DELETE_F do about the data sets after the one they change, and
// that the files they leave still read with the plain directory scan.
#include "bn_test_util.h"

#include <algorithm>
#include <optional>

using namespace bntest;

namespace {

struct Found {
    int first, len, count;
};

// The plain scan of the format, written from its description alone: slot by slot, stopping at
// the first free slot, following next fields.
std::optional<Found> PlainFind(const Bytes& b, const std::string& name, int id) {
    size_t m = 1;
    for (int guard = 0; guard < 1000; ++guard) {
        for (size_t i = 1; i <= 20; ++i) {
            const size_t off = (m + i - 1) * 20;
            if (off + 20 > b.size()) return std::nullopt;
            const std::string n = GetName(b, off);
            if (n == "    ") return std::nullopt;
            if (n == name && GetI32(b, off + 4) == id)
                return Found{GetI32(b, off + 8), GetI32(b, off + 16), GetI32(b, off + 12) - GetI32(b, off + 8) + 1};
        }
        const int next = GetI32(b, (m - 1) * 20 + 16);
        if (next == 0) return std::nullopt;
        m = static_cast<size_t>(next);
    }
    return std::nullopt;
}

struct Fixture {
    TempFile t{"layout"};
    CFile f;
    CBnFile bn;
    Fixture() {
        t.Open(f);
        bn.INIT_F(&f, "LAY ", 1, 1.0f);
        EXPECT_EQ(bn.CREATE_F(), 0);
    }
    int Write(const std::string& name, int id, int len, int count) {
        int first = 0;
        EXPECT_EQ(bn.WRITE_F(name.c_str(), id, first, len, count), 0) << name;
        const Bytes p = Payload(id, static_cast<size_t>(len) * count * 4);  // the caller's records
        f.Write(p.data(), static_cast<UINT>(p.size()));
        return first;
    }
    int Count(const std::string& name, int id) {  // -1: not found
        const ReadBack r = Read(bn, name, id);
        return r.status == 0 ? r.count : -1;
    }
};

}  // namespace

TEST(BnFileLayout, ModifyRefusesGrowthIntoTheNextDataSet) {
    Fixture x;
    x.Write("AAAA", 1, 3, 2);  // records 36..37: words 106..111
    x.Write("BBBB", 1, 4, 1);  // words 111 -> 28 records of 4 before: record 29 (words 113..116)
    x.Write("CCCC", 1, 1, 5);  // words 117..121
    // AAAA may grow into the rounding gap (up to word 112 = 37.33 records: 37) but no further.
    EXPECT_EQ(x.bn.MODIFY_F("AAAA", 1, 2), 0);
    EXPECT_EQ(x.bn.MODIFY_F("AAAA", 1, 3), 6);  // words 112..114 would reach BBBB
    EXPECT_EQ(x.Count("AAAA", 1), 2);
    EXPECT_EQ(x.bn.MODIFY_F("BBBB", 1, 2), 6);
    EXPECT_EQ(x.bn.MODIFY_F("BBBB", 1, 0), 0);  // shrinking is always allowed
    EXPECT_EQ(x.bn.MODIFY_F("BBBB", 1, 1), 0);  // and growing back into its own space
    // The last data set of the file grows freely, and the next one is placed after it.
    EXPECT_EQ(x.bn.MODIFY_F("CCCC", 1, 500), 0);
    EXPECT_EQ(x.Count("CCCC", 1), 500);
    EXPECT_EQ(x.Write("DDDD", 1, 1, 1), 117 + 500);
    EXPECT_EQ(x.bn.MODIFY_F("CCCC", 1, 501), 6);
    EXPECT_EQ(x.bn.MODIFY_F("NONE", 1, 1), 4);
    EXPECT_EQ(x.bn.MODIFY_F("CCCC", 1, -1), 6);
    EXPECT_EQ(x.bn.MODIFY_F("CCCC", 1, 2147483647), 6);  // record numbers past 32 bits

    // An empty data set right behind another blocks its growth: its records would start inside.
    Fixture y;
    y.Write("AAAA", 1, 1, 1);
    y.Write("EMPT", 1, 1, 0);
    EXPECT_EQ(y.bn.MODIFY_F("AAAA", 1, 2), 6);
    EXPECT_EQ(y.bn.MODIFY_F("EMPT", 1, 2), 0);
}

TEST(BnFileLayout, ModifyRefusesGrowthIntoALaterGroup) {
    Fixture x;
    for (int i = 0; i < 19; ++i) x.Write(Name(i), i, 1, 1);  // group 1 full, words 106..124
    x.Write("NEXT", 1, 1, 1);                                  // group 2 at block 26 (byte 500)
    EXPECT_EQ(x.bn.MODIFY_F(Name(18).c_str(), 18, 1), 0);
    EXPECT_EQ(x.bn.MODIFY_F(Name(18).c_str(), 18, 2), 0);  // word 125: the zero word before block 26
    EXPECT_EQ(x.bn.MODIFY_F(Name(18).c_str(), 18, 3), 6);  // word 126 is group 2's main header
    EXPECT_EQ(x.bn.MODIFY_F("NEXT", 1, 1000), 0);
    for (int i = 0; i < 19; ++i) EXPECT_TRUE(PlainFind(x.t.Read(), Name(i), i).has_value()) << i;
}

TEST(BnFileLayout, DeleteKeepsLaterSlotsReachableAndTheirSpaceTaken) {
    Fixture x;
    x.Write("AAAA", 1, 2, 3);
    const int b = x.Write("BBBB", 2, 2, 3);
    const int c = x.Write("CCCC", 3, 2, 3);
    const Bytes before = x.t.Read();
    ASSERT_EQ(x.bn.DELETE_F("BBBB", 2), 0);
    const Bytes after = x.t.Read();
    // Only the name changed: a "HEAD" entry keeps the slot (and its records' space) taken.
    EXPECT_EQ(Slice(after, 60, 20), Sub("HEAD", 2, b, b + 2, 2));
    EXPECT_EQ(Slice(after, 0, 60), Slice(before, 0, 60));
    EXPECT_EQ(Slice(after, 80, after.size() - 80), Slice(before, 80, before.size() - 80));
    EXPECT_EQ(x.Count("BBBB", 2), -1);
    EXPECT_EQ(x.Count("CCCC", 3), 3);
    EXPECT_FALSE(PlainFind(after, "BBBB", 2).has_value());
    EXPECT_EQ(PlainFind(after, "CCCC", 3).value_or(Found{}).first, c);

    // New data goes after CCCC, never over it; a deleted name can be written again.
    EXPECT_EQ(x.Write("BBBB", 2, 2, 1), c + 3);
    EXPECT_EQ(x.Count("BBBB", 2), 1);
    // Nothing can grow into the deleted entry's space either.
    EXPECT_EQ(x.bn.MODIFY_F("AAAA", 1, 4), 6);
}

TEST(BnFileLayout, DeletingTheLastDataSetAlsoFreesDeletedEntriesBeforeIt) {
    Fixture x;
    const int a = x.Write("AAAA", 1, 2, 3);
    x.Write("BBBB", 1, 2, 3);
    x.Write("CCCC", 1, 2, 3);
    x.Write("DDDD", 1, 2, 3);
    ASSERT_EQ(x.bn.DELETE_F("BBBB", 1), 0);  // placeholder
    ASSERT_EQ(x.bn.DELETE_F("CCCC", 1), 0);  // placeholder
    ASSERT_EQ(x.bn.DELETE_F("DDDD", 1), 0);  // last: frees its slot and both placeholders
    EXPECT_EQ(Read(x.bn, "DDDD", 1).status, 4);
    EXPECT_EQ(x.bn.DELETE_F("DDDD", 1), 4);
    for (size_t slot = 3; slot <= 5; ++slot) EXPECT_EQ(Slice(x.t.Read(), 20 * slot, 20), Sub("    ", 0, 0, 0, 0)) << slot;
    EXPECT_EQ(x.Write("EEEE", 1, 2, 1), a + 3);  // the space after AAAA is free again
    EXPECT_EQ(x.bn.MODIFY_F("AAAA", 1, 10), 6);
    EXPECT_EQ(x.bn.MODIFY_F("EEEE", 1, 10), 0);
}

TEST(BnFileLayout, AFullGroupStaysFullSoLaterGroupsStayReachable) {
    Fixture x;
    for (int i = 0; i < 19; ++i) x.Write(Name(i), i, 1, 2);
    const int n = x.Write("NEXT", 1, 1, 2);  // group 2
    ASSERT_EQ(x.bn.DELETE_F("NEXT", 1), 0);  // last data set: slot 2 of group 2 is free again
    ASSERT_EQ(x.bn.DELETE_F(Name(18).c_str(), 18), 0);  // slot 20 of group 1: a placeholder
    EXPECT_EQ(GetName(x.t.Read(), 400), "HEAD");
    EXPECT_EQ(x.Write("NEXT", 1, 1, 2), n);  // still goes to group 2, after its table
    const Bytes b = x.t.Read();
    for (int i = 0; i < 18; ++i) EXPECT_TRUE(PlainFind(b, Name(i), i).has_value()) << i;
    EXPECT_TRUE(PlainFind(b, "NEXT", 1).has_value());
    CBnFileSurvey survey;
    ASSERT_EQ(survey.Load(&x.f), 0);
    EXPECT_TRUE(survey.m_aProblems.empty()) << survey.m_aProblems.front();
    ASSERT_EQ(survey.m_aGroups.size(), 2u);
    EXPECT_EQ(survey.m_aSlots[19].nState, BN_SLOT_DELETED);
}

TEST(BnFileLayout, ManyRandomEditsKeepEveryLiveDataSetIntact) {
    // Seeded random WRITE_F / MODIFY_F / DELETE_F with records written after every WRITE_F:
    // every data set the model holds reads back with its own bytes, by the library and by the
    // plain scan, and the survey finds nothing wrong.
    Fixture x;
    struct Live {
        std::string name;
        int id, len, count, first, tag;
    };
    std::vector<Live> live;
    unsigned seed = 12345;
    auto rnd = [&seed](unsigned n) { return ((seed = seed * 1103515245u + 12345u) >> 16) % n; };
    int tag = 0;
    for (int step = 0; step < 400; ++step) {
        const unsigned what = rnd(10);
        if (what < 5 || live.empty()) {
            Live d{Name(static_cast<int>(rnd(60))), static_cast<int>(rnd(3)), 1 + static_cast<int>(rnd(5)),
                   static_cast<int>(rnd(6)), 0, ++tag};
            if (std::any_of(live.begin(), live.end(), [&](const Live& l) { return l.name == d.name && l.id == d.id; }))
                continue;
            ASSERT_EQ(x.bn.WRITE_F(d.name.c_str(), d.id, d.first, d.len, d.count), 0);
            const Bytes p = Payload(d.tag, static_cast<size_t>(d.len) * d.count * 4);
            x.f.Write(p.data(), static_cast<UINT>(p.size()));
            live.push_back(d);
        } else if (what < 8) {
            Live& d = live[rnd(static_cast<unsigned>(live.size()))];
            d.count = static_cast<int>(rnd(static_cast<unsigned>(d.count) + 1));  // shrink only: growth moves no data
            ASSERT_EQ(x.bn.MODIFY_F(d.name.c_str(), d.id, d.count), 0);
        } else {
            const size_t k = rnd(static_cast<unsigned>(live.size()));
            ASSERT_EQ(x.bn.DELETE_F(live[k].name.c_str(), live[k].id), 0);
            live.erase(live.begin() + static_cast<long>(k));
        }
        if (step % 40 != 39) continue;
        const Bytes b = x.t.Read();
        for (const Live& d : live) {
            SCOPED_TRACE(d.name);
            ASSERT_EQ(Read(x.bn, d.name, d.id), (ReadBack{0, d.first, d.len, d.count}));
            const Bytes p = Payload(d.tag, static_cast<size_t>(d.len) * d.count * 4);
            EXPECT_EQ(Slice(b, (static_cast<size_t>(d.first) - 1) * d.len * 4, p.size()), p);
            EXPECT_TRUE(PlainFind(b, d.name, d.id).has_value());
        }
        CBnFileSurvey survey;
        ASSERT_EQ(survey.Load(&x.f), 0);
        EXPECT_TRUE(survey.m_aProblems.empty()) << survey.m_aProblems.front();
    }
}
