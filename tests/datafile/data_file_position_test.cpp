// CDataFilePosition: keys from the low 16 bits of two ids, range removal, bucket table.
#include <gtest/gtest.h>

#include <gorv/gorv_base.h>

#include <algorithm>
#include <climits>
#include <vector>

TEST(DataFilePosition, StoresThreePositionsPerIdPair) {
    CDataFilePosition t;
    EXPECT_EQ(t.m_mapRdfp.GetHashTableSize(), 500u);
    t.SetRdfp(1, 2, 10, 20, 30);
    __int64 a = -1, b = -1, c = -1;  // the host's name for the positions' type
    EXPECT_EQ(t.GetRdfp(1, 2, a, b, c), 1);
    EXPECT_TRUE(a == 10 && b == 20 && c == 30);
    a = b = c = -1;
    EXPECT_EQ(t.GetRdfp(2, 1, a, b, c), 0);  // the ids are not interchangeable
    EXPECT_EQ(a + b + c, 0);

    // Only the low 16 bits of each id count.
    t.SetRdfp(65537, 2, 11, 21, 31);
    EXPECT_EQ(t.m_mapRdfp.GetCount(), 1);
    EXPECT_EQ(t.GetRdfp(1, 2 + 65536 * 3, a, b), 1);
    EXPECT_TRUE(a == 11 && b == 21);
    t.SetRdfp(-1, -1, LLONG_MIN, 0, LLONG_MAX);  // key 0xFFFFFFFF
    EXPECT_EQ(t.GetRdfp(65535, 65535, a, b, c), 1);
    EXPECT_TRUE(a == LLONG_MIN && c == LLONG_MAX);
    EXPECT_EQ(CDataFilePosition::MakeKey(1, 2), 0x00020001u);
    EXPECT_EQ(CDataFilePosition::MakeKey(-1, 0), 0x0000FFFFu);

    EXPECT_EQ(t.DelRdfp(3, 3), 0);
    EXPECT_EQ(t.m_mapRdfp.GetCount(), 2);
    EXPECT_EQ(t.DelRdfp(1, 2), 1);
    EXPECT_EQ(t.GetRdfp(1, 2, a, b, c), 0);
    EXPECT_EQ(t.DelRdfp(-1, -1), 1);
    EXPECT_TRUE(t.m_mapRdfp.IsEmpty());
    t.SetRdfp(4, 4, 1, 2, 3);  // a new bucket table, again of 500
    EXPECT_EQ(t.m_mapRdfp.GetHashTableSize(), 500u);
    EXPECT_EQ(t.GetRdfp(4, 4, a, b, c), 1);
    t.Initialize();
    EXPECT_TRUE(t.m_mapRdfp.IsEmpty());
    EXPECT_EQ(t.m_mapRdfp.GetHashTableSize(), 500u);
}

TEST(DataFilePosition, PartialRemovalByFirstIdRange) {
    const struct {
        int lower, upper;
        std::vector<int> kept;  // first ids (1..8) left afterwards
    } cases[] = {
        {3, 5, {1, 2, 6, 7, 8}},
        {-1, 10, {1, 2, 3, 4, 5, 6, 7, 8}},  // negative lower bound: nothing
        {6, -1, {1, 2, 3, 4, 5}},            // negative upper bound: no upper limit
        {5, 3, {1, 2, 3, 4, 5, 6, 7, 8}},    // empty range
        {0, 65535, {}},
        {8, 8, {1, 2, 3, 4, 5, 6, 7}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.lower << ".." << c.upper);
        CDataFilePosition t;
        // Many entries per first id, under different second ids, so removal happens mid-chain.
        for (int id1 = 1; id1 <= 8; ++id1)
            for (int id2 = 0; id2 < 200; ++id2) t.SetRdfp(id1 + 65536 * (id2 % 3), id2, id1, id2, 0);
        t.DelRdfpPart(c.lower, c.upper);
        EXPECT_EQ(t.m_mapRdfp.GetCount(), static_cast<INT_PTR>(c.kept.size() * 200));
        for (int id1 = 1; id1 <= 8; ++id1) {
            const bool kept = std::find(c.kept.begin(), c.kept.end(), id1) != c.kept.end();
            LONGLONG a = 0, b = 0, x = 0;
            for (int id2 = 0; id2 < 200; id2 += 37) EXPECT_EQ(t.GetRdfp(id1, id2, a, b, x), kept ? 1 : 0) << id1;
        }
        if (c.kept.empty()) {
            t.SetRdfp(1, 1, 1, 1, 1);
            EXPECT_EQ(t.m_mapRdfp.GetHashTableSize(), 500u);
        }
    }
}
