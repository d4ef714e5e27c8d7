// Private helpers of the sort area: unaligned reads of keys inside caller records.
#pragma once

#include <cstddef>
#include <cstring>

namespace detail {

// Elements may sit at any alignment inside caller records; read them by copy.
template <class T>
inline T Load(const void* p)
{
    T v;
    std::memcpy(&v, p, sizeof(T));
    return v;
}

template <class T>
inline T LoadAt(const void* p, std::size_t offset)
{
    return Load<T>(static_cast<const unsigned char*>(p) + offset);
}

}  // namespace detail
