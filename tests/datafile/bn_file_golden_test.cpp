// Record file: bytes written by each operation, checked against the worked layouts.
#include "bn_test_util.h"

#include <climits>
#include <utility>

using namespace bntest;

namespace {

const BnKind kTest{"TEST", 7, 1.0f};

// The 420-byte directory of a new file with head "TEST", type 7, version 1.0.
Bytes NewDirectory() {
    Bytes b = {'T', 'E', 'S', 'T', 7, 0, 0, 0, 0x00, 0x00, 0x80, 0x3F, 20, 0, 0, 0, 0, 0, 0, 0};
    const Bytes head = Sub("HEAD", 1, 2, 21, 5), free = Sub("    ", 0, 0, 0, 0);
    b.insert(b.end(), head.begin(), head.end());
    for (int i = 0; i < 19; ++i) b.insert(b.end(), free.begin(), free.end());
    return b;
}

// A record file bound to t and created (CREATE_F) there.
struct Created : OpenBn {
    explicit Created(const TempFile& t) : OpenBn(t, kTest) { EXPECT_EQ(bn.CREATE_F(), 0); }
};

}  // namespace

TEST(BnFileGolden, CreateWritesThe420ByteDirectoryAndTouchesNothingElse) {
    TempFile t("create");
    t.Write(Bytes(600, 0xEE));
    { Created o(t); }
    const Bytes got = t.Read();
    ASSERT_EQ(got.size(), 600u);  // not truncated
    EXPECT_EQ(Slice(got, 0, 420), NewDirectory());
    EXPECT_EQ(Slice(got, 420, 180), Bytes(180, 0xEE));

    TempFile fresh("create_fresh");
    { Created o(fresh); }
    EXPECT_EQ(fresh.Read(), NewDirectory());
}

TEST(BnFileGolden, FirstDataSetRoundsUpToItsRecordLengthWithZeroWords) {
    // Length 3: 105 words precede, a multiple of 3, so record 36 at byte 420 and nothing written.
    TempFile t3("len3");
    {
        Created o(t3);
        int first = -1;
        ASSERT_EQ(o.bn.WRITE_F("ABCD", 9, first, 3, 10), 0);
        EXPECT_EQ(first, 36);
        EXPECT_EQ(o.file.GetPosition(), 420u);
    }
    Bytes want = NewDirectory();
    const Bytes slot = Sub("ABCD", 9, 36, 45, 3);
    std::copy(slot.begin(), slot.end(), want.begin() + 40);
    EXPECT_EQ(t3.Read(), want);

    // Length 4: words 106..108 are zero-filled (over whatever was there), record 28 at byte 432.
    Bytes pre = NewDirectory();
    pre.resize(460, 0xEE);
    TempBn t4("len4", pre, kTest);
    int first = -1;
    ASSERT_EQ(t4.bn.WRITE_F("ABCD", 9, first, 4, 2), 0);
    EXPECT_EQ(first, 28);
    EXPECT_EQ(t4.file.GetPosition(), 432u);
    const Bytes b4 = t4.Read();
    ASSERT_EQ(b4.size(), 460u);
    EXPECT_EQ(Slice(b4, 40, 20), Sub("ABCD", 9, 28, 29, 4));
    EXPECT_EQ(Slice(b4, 420, 12), Bytes(12, 0));
    EXPECT_EQ(Slice(b4, 432, 28), Bytes(28, 0xEE));
}

TEST(BnFileGolden, RewritingAnExistingDataSetChecksLengthAndCount) {
    TempFile t("rewrite");
    Created o(t);
    int first = 0;
    ASSERT_EQ(o.bn.WRITE_F("ABCD", 1, first, 3, 4), 0);
    ASSERT_EQ(o.bn.WRITE_F("ABCD", 2, first, 2, 0), 0);  // count 0: last = first - 1
    EXPECT_EQ(first, 60);  // 36 + 4 records of 3 words end at word 117 = 58.5 records of 2 -> 59
    const Bytes before = t.Read();
    EXPECT_EQ(Slice(before, 60, 20), Sub("ABCD", 2, 60, 59, 2));
    EXPECT_EQ(Slice(before, 444, 4), Bytes(4, 0));  // word 118 zero-filled

    EXPECT_EQ(o.bn.WRITE_F("ABCD", 1, first, 3, 4), 0);
    EXPECT_EQ(first, 36);
    EXPECT_EQ(o.bn.WRITE_F("ABCD", 1, first, 3, 5), 5);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(o.bn.WRITE_F("ABCD", 1, first, 4, 4), 5);
    EXPECT_EQ(t.Read(), before);

    EXPECT_EQ(Read(o.bn, "ABCD", 2), (ReadBack{0, 60, 2, 0}));
    EXPECT_EQ(Read(o.bn, "ABCD", 3), (ReadBack{4, 0, 0, 0}));  // outputs cleared
    // Names are 4 raw bytes: case matters, and only the first 4 bytes count.
    EXPECT_EQ(Read(o.bn, "abcd", 1).status, 4);
    EXPECT_EQ(Read(o.bn, "ABCDEFG", 1).status, 0);
    // A shorter string is read up to its terminator and no further: "AB" is "AB\0\0".
    ASSERT_EQ(o.bn.WRITE_F("AB", 5, first, 1, 0), 0);
    EXPECT_EQ(GetName(t.Read(), 80), std::string("AB\0\0", 4));
    EXPECT_EQ(Read(o.bn, std::string("AB\0\0", 4), 5).status, 0);
}

TEST(BnFileGolden, TwentiethDataSetAppendsGroupTwo) {
    TempFile t("group2");
    Created o(t);
    int first = 0;
    for (int i = 1; i <= 19; ++i) {
        ASSERT_EQ(o.bn.WRITE_F(Name(i).c_str(), i, first, 1, 1), 0);
        EXPECT_EQ(first, 105 + i);
    }
    EXPECT_EQ(GetI32(t.Read(), 16), 0);
    // The 19th ends at word 124; rounded to 125 (one zero word), so group 2's main header is
    // block 26 (byte 500), its table blocks 27..46, and the new records start at word 231.
    ASSERT_EQ(o.bn.WRITE_F("NEXT", 20, first, 1, 3), 0);
    EXPECT_EQ(first, 231);
    EXPECT_EQ(o.file.GetPosition(), 920u);
    const Bytes b = t.Read();
    ASSERT_EQ(b.size(), 920u);
    EXPECT_EQ(GetI32(b, 16), 26);  // group 1 links to block 26
    EXPECT_EQ(Slice(b, 400, 20), Sub(Name(19).c_str(), 19, 124, 124, 1));
    EXPECT_EQ(Slice(b, 496, 4), Bytes(4, 0));
    EXPECT_EQ(Slice(b, 500, 20), Slice(NewDirectory(), 0, 20));  // group 2's main header as group 1's
    EXPECT_EQ(Slice(b, 520, 20), Sub("HEAD", 1, 27, 46, 5));
    EXPECT_EQ(Slice(b, 540, 20), Sub("NEXT", 20, 231, 233, 1));
    for (int i = 3; i <= 20; ++i) EXPECT_EQ(Slice(b, 500 + 20 * i, 20), Sub("    ", 0, 0, 0, 0)) << i;

    EXPECT_EQ(Read(o.bn, "NEXT", 20), (ReadBack{0, 231, 1, 3}));
    ASSERT_EQ(o.bn.WRITE_F("MORE", 21, first, 2, 1), 0);
    EXPECT_EQ(first, 118);  // after word 233: 116.5 records of 2 -> 117 records before
    EXPECT_EQ(Slice(t.Read(), 560, 20), Sub("MORE", 21, 118, 118, 2));
}

TEST(BnFileGolden, HeaderCheckComparesVersionsBothWays) {
    TempFile t("version");
    Created o(t);  // version 1.0
    CBnFile bn;
    float v = -1;
    bn.INIT_F(&o.file, "TEST", 7, 1.5f);
    EXPECT_EQ(bn.CHKHED_F(v), 9);
    EXPECT_EQ(v, 1.0f);
    // Head name first of all, then versions, then the file type.
    const struct { const char* head; int type; float version; int status; } cases[] = {
        {"TEST", 7, 0.5f, 3}, {"TEST", 7, 1.0f, 0}, {"TEST", 8, 1.0f, 8}, {"TEST", 8, 2.0f, 9}, {"TESX", 8, 2.0f, 7}};
    for (const auto& c : cases) {
        bn.INIT_F(&o.file, c.head, c.type, c.version);
        EXPECT_EQ(bn.CHKHED_F(v), c.status) << c.head << " " << c.type << " " << c.version;
    }
    // Other operations check head name and type but not the version.
    int first = 0;
    bn.INIT_F(&o.file, "TEST", 7, 3.0f);
    EXPECT_EQ(Read(bn, "ABCD", 1).status, 4);
    bn.INIT_F(&o.file, "TEST", 6, 1.0f);
    EXPECT_EQ(Read(bn, "ABCD", 1).status, 8);
    bn.INIT_F(&o.file, "TESt", 7, 1.0f);
    EXPECT_EQ(bn.WRITE_F("ABCD", 1, first, 1, 1), 7);
}

TEST(BnFileGolden, StatusMessages) {
    const wchar_t* want[] = {
        L"오류가 없습니다.", L"데이터의 형태가 맞지 않습니다.", L"파일을 읽는 중 오류가 발생하였습니다.",
        L"상위버전의 프로그램에서 작성된 파일입니다.", L"데이터를 찾을 수 없습니다.",
        L"파일의 버전이 일치하지 않습니다.", L"잘못된 입력데이터 입니다.", L"파일의 형태가 맞지 않습니다",
        L"파일의 종류번호가 일치하지 않습니다.", L"하위버전의 프로그램에서 작성된 파일입니다.",
        L"데이터가 올바르지 않습니다."};
    CBnFileResult result;
    for (int s = 0; s <= 10; ++s) {
        CString a, b;
        CBnFile::GetErrorMessage(s, a);
        result.GetErrorMessage(s, b);
        EXPECT_EQ(a, want[s]) << s;
        EXPECT_EQ(b, want[s]) << s;
    }
    for (int s : {-1, 11, INT_MIN, INT_MAX}) {
        CString a;
        CBnFile::GetErrorMessage(s, a);
        EXPECT_EQ(a, L"알 수 없는 오류가 발생하였습니다.") << s;
    }
}

TEST(BnFileGolden, ResultFileSharesTheFormat) {
    // The result file's head name, type and version are its own; its words are 4 bytes too.
    TempFile t("result");
    CFile f;
    t.Open(f);
    CBnFileResult r;
    r.INIT_F(&f, CBnFileResult::m_HeadName, CBnFileResult::m_FileType, CBnFileResult::m_FileVersion);
    ASSERT_EQ(r.CREATE_F(), 0);
    int first = 0;
    ASSERT_EQ(r.WRITE_F("RSLT", 3, first, 4, 2), 0);
    EXPECT_EQ(first, 28);
    const Bytes b = t.Read();
    EXPECT_EQ(Slice(b, 0, 20), (Bytes{'Q', 'R', 'B', ' ', 2, 0, 0, 0, 0, 0, 0x80, 0x3F, 20, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(Slice(b, 40, 20), Sub("RSLT", 3, 28, 29, 4));

    // A CBnFile reads what a CBnFileResult wrote, and copies share the file.
    CBnFile bn;
    bn.INIT_F(&f, "QRB ", 2, 1.0f);
    CBnFile copy(bn);
    float v = 0;
    EXPECT_EQ(copy.CHKHED_F(v), 0);
    EXPECT_EQ(Read(copy, "RSLT", 3), (ReadBack{0, 28, 4, 2}));
    CBnFileResult rcopy;
    rcopy = r;
    EXPECT_EQ(rcopy.MODIFY_F("RSLT", 3, 5), 0);
    EXPECT_EQ(rcopy.DELETE_F("RSLT", 3), 0);
    int len = 0, count = 0;
    EXPECT_EQ(rcopy.READ_F("RSLT", 3, first, len, count), 4);
}

TEST(BnFileGolden, ArgumentsAreCheckedBeforeTheFileAndSeeksStayInRange) {
    CBnFile unbound;  // no file at all
    int first = 0, len = 0, count = 0;
    for (const char* reserved : {"    ", "HEAD", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(unbound.READ_F(reserved, 1, first, len, count), 6) << (reserved ? reserved : "null");
        EXPECT_EQ(unbound.DELETE_F(reserved, 0), 6) << (reserved ? reserved : "null");
    }
    EXPECT_EQ(unbound.WRITE_F("ABCD", 1, first, 0, 1), 6);
    EXPECT_EQ(unbound.WRITE_F("ABCD", 1, first, 1, -1), 6);
    EXPECT_EQ(unbound.MODIFY_F("ABCD", 1, -1), 6);
    EXPECT_EQ(Read(unbound, "ABCD", 1).status, 2);  // no file: nothing to position
    float v = 0;
    EXPECT_EQ(unbound.CHKHED_F(v), 2);
    EXPECT_EQ(unbound.CREATE_F(), 2);

    // Records are numbered from 1; past the end is a position like any other.
    TempFile t("seek");
    Created o(t);
    EXPECT_EQ(o.bn.SeekBN(1, 12), 1);
    EXPECT_EQ(o.file.GetPosition(), 0u);
    EXPECT_EQ(CBnFile::SeekBN(&o.file, 11, 12), 1);
    EXPECT_EQ(o.file.GetPosition(), 120u);
    EXPECT_EQ(o.bn.SeekBN(5000, 8), 1);
    for (auto [rec, len8] : {std::pair<LONGLONG, LONGLONG>{0, 8}, {LLONG_MIN, 8}, {LLONG_MAX, LLONG_MAX}})
        EXPECT_EQ(o.bn.SeekBN(rec, len8), 0) << rec;
    EXPECT_EQ(CBnFile::SeekBN(nullptr, 1, 4), 0);
}
