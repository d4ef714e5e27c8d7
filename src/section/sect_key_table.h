// Hash table from a pair of point ids (packed in 64 bits, both ids >= 0) to a value, stored in
// flat arrays with linear probing: the triangulation makes thousands of such entries per section,
// and a node-based map would allocate one block for each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace detail {

// Key of the ordered pair (a, b) of non-negative ids (so never all bits set).
inline std::uint64_t SmPairKey(int a, int b) {
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(a)) << 32) | static_cast<std::uint32_t>(b);
}

template <class V>
class SmKeyTable {
public:
    explicit SmKeyTable(std::size_t nExpected = 0) { Rehash(Capacity(nExpected)); }
    // The value of key, or null.
    V* Find(std::uint64_t key) {
        for (std::size_t s = Slot(key);; s = (s + 1) & m_nMask) {
            if (m_aKey[s] == key) return &m_aValue[s];
            if (m_aKey[s] == kEmpty) return nullptr;
        }
    }
    // The value of key, made (value-initialised) when missing. The reference holds until the next
    // insertion.
    V& operator[](std::uint64_t key) { return *Insert(key).first; }
    // The value of key and whether it was just made.
    std::pair<V*, bool> Insert(std::uint64_t key) {
        if (2 * (m_nCount + 1) > m_aKey.size()) Rehash(2 * m_aKey.size());
        std::size_t s = Slot(key);
        for (; m_aKey[s] != kEmpty; s = (s + 1) & m_nMask) {
            if (m_aKey[s] == key) return {&m_aValue[s], false};
        }
        m_aKey[s] = key;
        m_aValue[s] = V();
        ++m_nCount;
        return {&m_aValue[s], true};
    }

private:
    static constexpr std::uint64_t kEmpty = ~static_cast<std::uint64_t>(0);
    static std::size_t Capacity(std::size_t n) {
        std::size_t c = 16;
        while (c < 2 * n) c *= 2;
        return c;
    }
    std::size_t Slot(std::uint64_t key) const {
        return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & m_nMask;
    }
    void Rehash(std::size_t nCapacity) {
        std::vector<std::uint64_t> aKey(nCapacity, kEmpty);
        std::vector<V> aValue(nCapacity);
        aKey.swap(m_aKey);
        aValue.swap(m_aValue);
        m_nMask = nCapacity - 1;
        m_nCount = 0;
        for (std::size_t s = 0; s < aKey.size(); ++s) {
            if (aKey[s] != kEmpty) *Insert(aKey[s]).first = aValue[s];
        }
    }
    std::vector<std::uint64_t> m_aKey;
    std::vector<V> m_aValue;
    std::size_t m_nMask = 0;
    std::size_t m_nCount = 0;
};

}  // namespace detail
