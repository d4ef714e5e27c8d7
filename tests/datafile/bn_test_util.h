// Helpers of the record file tests: temporary files, raw bytes and little-endian fields.
#pragma once

#include <gtest/gtest.h>

#include <gorv/gorv_base.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <unistd.h>

namespace bntest {

using Bytes = std::vector<unsigned char>;

// A file under the test's temporary directory, removed at the end of the test.
class TempFile {
public:
    explicit TempFile(const std::string& tag)
        : m_path(::testing::TempDir() + "gorv_bn_" + tag + "_" + std::to_string(::getpid()) + "_" +
                 std::to_string(s_serial++)) {
        std::remove(m_path.c_str());
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    Bytes Read() const {
        std::ifstream in(m_path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Write(const Bytes& b) const {
        std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    // Opens the file for reading and writing, creating it when missing (never truncating).
    void Open(CFile& f) const {
        ASSERT_TRUE(f.Open(CString::FromUtf8(m_path).str().c_str(),
                           CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
    }

private:
    static inline int s_serial = 0;
    std::string m_path;
};

// What INIT_F binds a record file object with: head name, file type, version.
struct BnKind {
    const char* head;
    int type;
    float version;
};

// A temporary file opened for reading and writing and a record file object bound to it.
struct OpenBn {
    OpenBn(const TempFile& t, const BnKind& k) {
        t.Open(file);
        bn.INIT_F(&file, k.head, k.type, k.version);
    }
    OpenBn(const OpenBn&) = delete;
    OpenBn& operator=(const OpenBn&) = delete;
    CFile file;
    CBnFile bn;
};

// A temporary file of its own that holds `bytes`, opened and bound as OpenBn.
struct TempBn : TempFile, OpenBn {
    TempBn(const std::string& tag, const Bytes& bytes, const BnKind& k)
        : TempFile(tag), OpenBn((Write(bytes), *this), k) {}
};

// READ_F's status and outputs.
struct ReadBack {
    int status, first, len, count;
    bool operator==(const ReadBack& o) const {
        return status == o.status && first == o.first && len == o.len && count == o.count;
    }
};
inline ReadBack Read(CBnFile& bn, const std::string& name, int id) {
    ReadBack r{-1, -1, -1, -1};
    r.status = bn.READ_F(name.c_str(), id, r.first, r.len, r.count);
    return r;
}
inline std::ostream& operator<<(std::ostream& os, const ReadBack& r) {
    return os << "status " << r.status << ", first " << r.first << ", len " << r.len << ", count " << r.count;
}

inline void PutI32(Bytes& b, size_t at, std::int32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<unsigned char>(static_cast<std::uint32_t>(v) >> (8 * i));
}
inline std::int32_t GetI32(const Bytes& b, size_t at) {
    std::uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<std::uint32_t>(b[at + i]) << (8 * i);
    return static_cast<std::int32_t>(u);
}
inline std::string GetName(const Bytes& b, size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); }

// The 20 bytes of a sub-header, spelled out.
inline Bytes Sub(const char* name, std::int32_t id, std::int32_t first, std::int32_t last, std::int32_t len) {
    Bytes b(name, name + 4);
    b.resize(20);
    const std::int32_t fields[4] = {id, first, last, len};
    for (size_t i = 0; i < 4; ++i) PutI32(b, 4 + 4 * i, fields[i]);
    return b;
}
inline Bytes Slice(const Bytes& b, size_t at, size_t n) {
    return at + n > b.size() ? Bytes() : Bytes(b.begin() + at, b.begin() + at + n);
}

// Record bytes of data set `tag`: distinct per data set and per byte.
inline Bytes Payload(int tag, size_t n) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<unsigned char>(tag * 37 + i * 11 + 1);
    return b;
}

// "D000".."D999": a distinct data set name per number (0..999).
inline std::string Name(int i) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "D%03d", i % 1000);
    return buf;
}

}  // namespace bntest
