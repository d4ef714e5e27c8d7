// CArray and CMap: the growable array and the hashed map of the platform layer, with the
// semantics host code relies on: element access is checked and throws CInvalidArgException, an
// array grows by its grow-by step (or by a size-dependent step when none is set), and a map keeps
// an explicit bucket count, inserts new nodes at the head of their bucket and iterates bucket by
// bucket.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <utility>
#include <vector>

#include <gorv/platform/afx_except.h>
#include <gorv/platform/afx_types.h>

// ---------------------------------------------------------------------------------------------
// CArray<TYPE, ARG_TYPE>
// ---------------------------------------------------------------------------------------------
template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
public:
    CArray() = default;
    CArray(const CArray& o) : m_v(o.m_v), m_nMaxSize(o.m_v.size()), m_nGrowBy(o.m_nGrowBy) {
        m_v.reserve(static_cast<std::size_t>(m_nMaxSize));
    }
    CArray(CArray&& o) noexcept
        : m_v(std::move(o.m_v)), m_nMaxSize(o.m_nMaxSize), m_nGrowBy(o.m_nGrowBy) {
        o.m_v.clear();
        o.m_nMaxSize = 0;
    }
    CArray& operator=(const CArray& o) {
        if (this != &o) Copy(o);
        return *this;
    }
    CArray& operator=(CArray&& o) noexcept {
        if (this != &o) {
            m_v = std::move(o.m_v);
            m_nMaxSize = o.m_nMaxSize;
            m_nGrowBy = o.m_nGrowBy;
            o.m_v.clear();
            o.m_nMaxSize = 0;
        }
        return *this;
    }
    virtual ~CArray() = default;

    INT_PTR GetSize() const noexcept { return static_cast<INT_PTR>(m_v.size()); }
    INT_PTR GetCount() const noexcept { return GetSize(); }
    INT_PTR GetUpperBound() const noexcept { return GetSize() - 1; }
    bool IsEmpty() const noexcept { return m_v.empty(); }
    // Allocated room, in elements; the array reallocates only when a size exceeds it.
    INT_PTR GetCapacity() const noexcept { return m_nMaxSize; }
    // The grow-by step set through SetSize; 0 means "size / 8, clamped to 4..1024".
    INT_PTR GetGrowBy() const noexcept { return m_nGrowBy; }

    // Sets the size; new elements are value-initialised. nGrowBy >= 0 replaces the grow-by step.
    // A negative size throws CInvalidArgException.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1) {
        if (nNewSize < 0) throw CInvalidArgException("CArray::SetSize: negative size");
        if (nGrowBy >= 0) m_nGrowBy = nGrowBy;
        if (nNewSize == 0) {
            std::vector<TYPE>().swap(m_v);
            m_nMaxSize = 0;
            return;
        }
        if (m_nMaxSize == 0) {
            Reserve(std::max(nNewSize, m_nGrowBy));
        } else if (nNewSize > m_nMaxSize) {
            INT_PTR grow = m_nGrowBy;
            if (grow == 0) grow = std::min<INT_PTR>(1024, std::max<INT_PTR>(4, GetSize() / 8));
            Reserve(std::max(nNewSize, m_nMaxSize + grow));
        }
        m_v.resize(static_cast<std::size_t>(nNewSize));
    }
    void RemoveAll() { SetSize(0); }
    void FreeExtra() {
        std::vector<TYPE>(m_v.begin(), m_v.end()).swap(m_v);
        m_nMaxSize = GetSize();
    }

    const TYPE& GetAt(INT_PTR i) const { return m_v[Check(i)]; }
    TYPE& GetAt(INT_PTR i) { return m_v[Check(i)]; }
    TYPE& ElementAt(INT_PTR i) { return m_v[Check(i)]; }
    const TYPE& ElementAt(INT_PTR i) const { return m_v[Check(i)]; }
    void SetAt(INT_PTR i, ARG_TYPE v) { m_v[Check(i)] = v; }
    const TYPE& operator[](INT_PTR i) const { return GetAt(i); }
    TYPE& operator[](INT_PTR i) { return GetAt(i); }
    const TYPE* GetData() const noexcept { return m_v.empty() ? nullptr : m_v.data(); }
    TYPE* GetData() noexcept { return m_v.empty() ? nullptr : m_v.data(); }

    // Sets element i, growing the array to i + 1 elements when needed; i < 0 throws.
    void SetAtGrow(INT_PTR i, ARG_TYPE v) {
        if (i < 0) throw CInvalidArgException("CArray::SetAtGrow: negative index");
        if (i >= GetSize()) SetSize(i + 1);
        m_v[static_cast<std::size_t>(i)] = v;
    }
    // Appends one element and returns its index.
    INT_PTR Add(ARG_TYPE v) {
        TYPE copy(v);  // v may refer into this array
        INT_PTR i = GetSize();
        SetSize(i + 1);
        m_v[static_cast<std::size_t>(i)] = std::move(copy);
        return i;
    }
    // Appends a copy of src and returns the index of its first element.
    INT_PTR Append(const CArray& src) {
        INT_PTR old = GetSize();
        if (this == &src) {
            CArray tmp(src);
            return Append(tmp);
        }
        SetSize(old + src.GetSize());
        std::copy(src.m_v.begin(), src.m_v.end(), m_v.begin() + old);
        return old;
    }
    void Copy(const CArray& src) {
        if (this == &src) return;
        SetSize(src.GetSize());
        std::copy(src.m_v.begin(), src.m_v.end(), m_v.begin());
    }
    // Inserts nCount copies of v before index i; an index past the end first grows the array.
    void InsertAt(INT_PTR i, ARG_TYPE v, INT_PTR nCount = 1) {
        if (i < 0 || nCount <= 0) throw CInvalidArgException("CArray::InsertAt: bad index or count");
        TYPE copy(v);
        INT_PTR old = GetSize();
        if (i >= old) {
            SetSize(i + nCount);
        } else {
            SetSize(old + nCount);
            std::move_backward(m_v.begin() + i, m_v.begin() + old, m_v.begin() + old + nCount);
        }
        std::fill(m_v.begin() + i, m_v.begin() + i + nCount, copy);
    }
    void RemoveAt(INT_PTR i, INT_PTR nCount = 1) {
        if (i < 0 || nCount < 0 || i + nCount > GetSize())
            throw CInvalidArgException("CArray::RemoveAt: range out of bounds");
        m_v.erase(m_v.begin() + i, m_v.begin() + i + nCount);
    }

    // Range-for support.
    TYPE* begin() noexcept { return m_v.data(); }
    TYPE* end() noexcept { return m_v.data() + m_v.size(); }
    const TYPE* begin() const noexcept { return m_v.data(); }
    const TYPE* end() const noexcept { return m_v.data() + m_v.size(); }

private:
    std::size_t Check(INT_PTR i) const {
        if (i < 0 || i >= GetSize()) throw CInvalidArgException("CArray: index out of range");
        return static_cast<std::size_t>(i);
    }
    void Reserve(INT_PTR n) {
        m_v.reserve(static_cast<std::size_t>(n));
        m_nMaxSize = n;
    }

    std::vector<TYPE> m_v;
    INT_PTR m_nMaxSize = 0;
    INT_PTR m_nGrowBy = 0;
};

// ---------------------------------------------------------------------------------------------
// Hashing and key comparison of CMap
// ---------------------------------------------------------------------------------------------
// Integral and pointer keys hash to their value shifted right by 4 bits.
template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key) noexcept {
    using K = std::decay_t<ARG_KEY>;
    if constexpr (std::is_pointer_v<K>) {
        return static_cast<UINT>(reinterpret_cast<std::uintptr_t>(key) >> 4);
    } else {
        // Keys hash as 32-bit values, as on the 32-bit runtime the host code was written for.
        return static_cast<UINT>(static_cast<std::uint32_t>(key) >> 4);
    }
}
// Wide strings: hash = hash * 33 + character, over every character.
template <>
inline UINT HashKey<const wchar_t*>(const wchar_t* key) noexcept {
    UINT nHash = 0;
    if (key) {
        while (*key) nHash = (nHash << 5) + nHash + static_cast<UINT>(*key++);
    }
    return nHash;
}
template <>
inline UINT HashKey<wchar_t*>(wchar_t* key) noexcept {
    return HashKey<const wchar_t*>(key);
}

namespace gorv_detail {
template <class K, class A2, class A3, class A4>
struct MapArgs {
    using Key = K;
    using ArgKey = A2;
    using Value = A3;
    using ArgValue = A4;
};
// CMap<KEY, VALUE>: the short form, with const references as argument types.
template <class K, class V>
struct MapArgs<K, V, void, void> {
    using Key = K;
    using ArgKey = const K&;
    using Value = V;
    using ArgValue = const V&;
};
}  // namespace gorv_detail

// ---------------------------------------------------------------------------------------------
// CMap<KEY, ARG_KEY, VALUE, ARG_VALUE>  (or CMap<KEY, VALUE>)
// ---------------------------------------------------------------------------------------------
template <class A1, class A2, class A3 = void, class A4 = void>
class CMap {
    using Args = gorv_detail::MapArgs<A1, A2, A3, A4>;

public:
    using KEY = typename Args::Key;
    using ARG_KEY = typename Args::ArgKey;
    using VALUE = typename Args::Value;
    using ARG_VALUE = typename Args::ArgValue;

    struct CAssoc {
        CAssoc* pNext;
        UINT nHashValue;
        KEY key;
        VALUE value;
    };

    explicit CMap(INT_PTR nBlockSize = 10) : m_nBlockSize(nBlockSize) {}
    CMap(const CMap&) = delete;
    CMap& operator=(const CMap&) = delete;
    virtual ~CMap() { RemoveAll(); }

    INT_PTR GetCount() const noexcept { return m_nCount; }
    INT_PTR GetSize() const noexcept { return m_nCount; }
    bool IsEmpty() const noexcept { return m_nCount == 0; }
    UINT GetHashTableSize() const noexcept { return m_nHashTableSize; }
    INT_PTR GetBlockSize() const noexcept { return m_nBlockSize; }

    // Sets the bucket count. The table is allocated on the first insertion (or now, when
    // bAllocNow). Entries already in the map are re-hashed into the new buckets rather than
    // dropped, so a late call never loses data. A size of 0 throws CInvalidArgException.
    void InitHashTable(UINT nHashSize, BOOL bAllocNow = TRUE) {
        if (nHashSize == 0) throw CInvalidArgException("CMap::InitHashTable: zero buckets");
        std::vector<CAssoc*> old;
        old.swap(m_buckets);
        m_nHashTableSize = nHashSize;
        if (bAllocNow || !old.empty()) m_buckets.assign(nHashSize, nullptr);
        for (CAssoc* head : old) {
            // Re-link each old chain in order, each node at the head of its new bucket.
            for (CAssoc* p = head; p != nullptr;) {
                CAssoc* next = p->pNext;
                UINT b = p->nHashValue % m_nHashTableSize;
                p->pNext = m_buckets[b];
                m_buckets[b] = p;
                p = next;
            }
        }
    }

    BOOL Lookup(ARG_KEY key, VALUE& rValue) const {
        const CAssoc* p = Find(key);
        if (p == nullptr) return FALSE;
        rValue = p->value;
        return TRUE;
    }
    const CAssoc* PLookup(ARG_KEY key) const { return Find(key); }
    CAssoc* PLookup(ARG_KEY key) { return const_cast<CAssoc*>(Find(key)); }

    // Returns the value of key, inserting a value-initialised one at the head of its bucket
    // when the key is new.
    VALUE& operator[](ARG_KEY key) {
        UINT h = Hash(key);
        if (CAssoc* p = const_cast<CAssoc*>(FindHashed(key, h))) return p->value;
        if (m_buckets.empty()) m_buckets.assign(m_nHashTableSize, nullptr);
        UINT b = h % m_nHashTableSize;
        CAssoc* p = new CAssoc{m_buckets[b], h, KEY(key), VALUE()};
        m_buckets[b] = p;
        ++m_nCount;
        return p->value;
    }
    void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }

    BOOL RemoveKey(ARG_KEY key) {
        if (m_buckets.empty()) return FALSE;
        UINT h = Hash(key);
        CAssoc** pp = &m_buckets[h % m_nHashTableSize];
        for (CAssoc* p = *pp; p != nullptr; pp = &p->pNext, p = p->pNext) {
            if (p->nHashValue == h && p->key == key) {
                *pp = p->pNext;
                delete p;
                --m_nCount;
                return TRUE;
            }
        }
        return FALSE;
    }
    void RemoveAll() {
        for (CAssoc*& head : m_buckets) {
            while (head != nullptr) {
                CAssoc* next = head->pNext;
                delete head;
                head = next;
            }
        }
        m_buckets.clear();
        m_nCount = 0;
    }

    // Iteration: bucket 0 upward, each chain from its head. GetNextAssoc sets pos to null after
    // the last entry.
    POSITION GetStartPosition() const noexcept {
        return reinterpret_cast<POSITION>(const_cast<CAssoc*>(FirstFrom(0)));
    }
    void GetNextAssoc(POSITION& pos, KEY& rKey, VALUE& rValue) const {
        const CAssoc* p = reinterpret_cast<const CAssoc*>(pos);
        if (p == nullptr) throw CInvalidArgException("CMap::GetNextAssoc: end of map");
        rKey = p->key;
        rValue = p->value;
        const CAssoc* next = p->pNext;
        if (next == nullptr) next = FirstFrom(p->nHashValue % m_nHashTableSize + 1);
        pos = reinterpret_cast<POSITION>(const_cast<CAssoc*>(next));
    }

private:
    static UINT Hash(ARG_KEY key) { return HashKey<ARG_KEY>(key); }
    const CAssoc* Find(ARG_KEY key) const { return FindHashed(key, Hash(key)); }
    const CAssoc* FindHashed(ARG_KEY key, UINT h) const {
        if (m_buckets.empty()) return nullptr;
        for (const CAssoc* p = m_buckets[h % m_nHashTableSize]; p != nullptr; p = p->pNext)
            if (p->nHashValue == h && p->key == key) return p;
        return nullptr;
    }
    const CAssoc* FirstFrom(std::size_t b) const noexcept {
        for (; b < m_buckets.size(); ++b)
            if (m_buckets[b] != nullptr) return m_buckets[b];
        return nullptr;
    }

    std::vector<CAssoc*> m_buckets;
    UINT m_nHashTableSize = 17;
    INT_PTR m_nCount = 0;
    INT_PTR m_nBlockSize;
};
