// libFuzzer target of the record file: arbitrary bytes as the file, driven through CHKHED_F,
// READ_F, WRITE_F, MODIFY_F, DELETE_F and SeekBN by a short script at the front of the input.
// Besides sanitizer findings it checks that every status is a documented one, that READ_F clears
// its outputs when it fails, and that no operation, nor the records a caller writes where WRITE_F
// placed a new data set, changes the records of a data set that was reachable before it (unless
// the file already had records over its own directory).
#include <gorv/gorv_base.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// A file in memory, capped so a hostile record number cannot make it grow without bound.
class MemFile : public CFile {
public:
    explicit MemFile(std::vector<unsigned char> bytes) : m_data(std::move(bytes)) {}
    UINT Read(void* buf, UINT n) override {
        if (m_pos >= m_data.size()) return 0;
        const UINT got = static_cast<UINT>(std::min<ULONGLONG>(n, m_data.size() - m_pos));
        std::memcpy(buf, m_data.data() + m_pos, got);
        m_pos += got;
        return got;
    }
    void Write(const void* buf, UINT n) override {
        if (n == 0) return;
        if (m_pos + n > kCap) throw CFileException(CFileException::diskFull, 28);
        if (m_pos + n > m_data.size()) m_data.resize(m_pos + n, 0);
        std::memcpy(m_data.data() + m_pos, buf, n);
        m_pos += n;
    }
    ULONGLONG Seek(LONGLONG off, UINT from) override {
        const LONGLONG base = from == CFile::begin ? 0 : from == CFile::current ? static_cast<LONGLONG>(m_pos)
                                                                                 : static_cast<LONGLONG>(m_data.size());
        LONGLONG to = 0;
        if (__builtin_add_overflow(base, off, &to) || to < 0) throw CFileException(CFileException::badSeek, 22);
        m_pos = static_cast<ULONGLONG>(to);
        return m_pos;
    }
    ULONGLONG GetPosition() const override { return m_pos; }
    ULONGLONG GetLength() const override { return m_data.size(); }

    const std::vector<unsigned char>& data() const { return m_data; }

private:
    static constexpr ULONGLONG kCap = 1 << 20;
    std::vector<unsigned char> m_data;
    ULONGLONG m_pos = 0;
};

[[noreturn]] void Fail() { std::abort(); }

struct Span {
    long long begin, end;
};

// Record bytes of reachable data sets that nothing may change, or false when the file already
// has records over its directory (then writing a header legitimately changes them).
bool Protected(MemFile& f, std::vector<Span>& spans) {
    spans.clear();
    CBnFileSurvey in;
    if (in.Load(&f) != 0) return true;
    std::vector<Span> dirs;
    for (const T_BN_GROUP_INFO& g : in.m_aGroups) dirs.push_back({(g.llMainBlock - 1) * 20, (g.llMainBlock + 20) * 20});
    for (const T_BN_SLOT_INFO& s : in.m_aSlots) {
        if (s.nState != BN_SLOT_DATA || !s.bReachable || !s.bValid || s.llBytes == 0) continue;
        const Span r{s.llOffset, std::min<long long>(s.llOffset + s.llBytes, static_cast<long long>(f.data().size()))};
        for (const Span& d : dirs)
            if (r.begin < d.end && d.begin < s.llOffset + s.llBytes) return false;
        if (r.begin < r.end) spans.push_back(r);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 12) return 0;
    const uint8_t* script = data;
    MemFile f(std::vector<unsigned char>(data + 12, data + size));
    CBnFile bn;
    // Mostly the file's own head name and type, so the scan gets past the first main header.
    char head[4] = {'N', 'O', 'N', 'E'};
    int type = 0;
    float version = 0.0f;
    if (size >= 24 && (script[0] & 1) == 0) {
        std::memcpy(head, data + 12, 4);
        type = static_cast<int>(data[16] | (data[17] << 8) | (data[18] << 16) | (static_cast<uint32_t>(data[19]) << 24));
        std::memcpy(&version, data + 20, 4);
    }
    bn.INIT_F(&f, head, type, version);

    // Names: two fixed ones, the reserved ones, and the names of group 1's slots 2 and 3.
    char names[6][4] = {{'A', 'A', 'A', 'A'}, {'B', 'B', 'B', 'B'}, {'H', 'E', 'A', 'D'}, {' ', ' ', ' ', ' '}};
    for (int k = 0; k < 2; ++k) {
        const size_t at = 12 + 40 + 20 * static_cast<size_t>(k);
        if (size >= at + 8) std::memcpy(names[4 + k], data + at, 4);
        else std::memcpy(names[4 + k], "CCCC", 4);
    }

    std::vector<Span> before;
    std::vector<unsigned char> snapshot;
    for (int step = 0; step < 5; ++step) {
        const uint8_t a = script[1 + 2 * step], b = script[2 + 2 * step];
        const char* name = names[(a >> 3) % 6];
        const int id = (b & 3) == 3 ? static_cast<int>(data[size - 1]) - 1 : (b & 3);
        const int len = 1 + ((b >> 2) & 7);
        const int count = (b >> 5);
        // Only the operations that write need the before-and-after comparison.
        const bool writes = (a & 7) >= 2 && (a & 7) <= 5;
        const bool guard = writes && Protected(f, before);
        snapshot.clear();
        if (guard)
            for (const Span& s : before) snapshot.insert(snapshot.end(), f.data().begin() + s.begin, f.data().begin() + s.end);
        int st = 0;
        try {
            switch (a & 7) {
            case 0: {
                float v = 0;
                st = bn.CHKHED_F(v);
                break;
            }
            case 1: {
                int first = -1, l = -1, c = -1;
                st = bn.READ_F(name, id, first, l, c);
                if (st != 0 && (first | l | c) != 0) Fail();
                if (st == 0 && (first < 1 || l < 1 || c < 0)) Fail();
                break;
            }
            case 2:
            case 3: {
                int first = -1, l = 0, c = 0;
                const bool existed = bn.READ_F(name, id, first, l, c) == 0;
                st = bn.WRITE_F(name, id, first, len, count);
                if (st == 0 && first < 1) Fail();
                if (st == 0 && !existed) {
                    // As a caller does: the new records go where WRITE_F positioned the file.
                    const std::vector<unsigned char> records(static_cast<size_t>(len) * count * 4, 0xA5);
                    f.Write(records.data(), static_cast<UINT>(records.size()));
                }
                break;
            }
            case 4: st = bn.MODIFY_F(name, id, count); break;
            case 5: st = bn.DELETE_F(name, id); break;
            case 6:
                st = bn.SeekBN(static_cast<LONGLONG>(data[size - 1]) - 3, len * 4);
                if (st != 0 && st != 1) Fail();
                st = 0;
                break;
            default: {
                CBnFileSurvey in;
                st = in.Load(&f);
                break;
            }
            }
        } catch (const CFileException&) {
            st = 0;  // the capped file is full: passes through as the platform's exception
        }
        if (st < 0 || st > 10) Fail();
        if (guard) {
            size_t at = 0;
            for (const Span& s : before) {
                if (s.end > static_cast<long long>(f.data().size())) Fail();  // files never shrink
                const size_t n = static_cast<size_t>(s.end - s.begin);
                if (!std::equal(snapshot.begin() + static_cast<long>(at), snapshot.begin() + static_cast<long>(at + n),
                                f.data().begin() + s.begin))
                    Fail();
                at += n;
            }
        }
    }
    return 0;
}
