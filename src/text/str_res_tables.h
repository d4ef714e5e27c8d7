// Built-in string tables (Korean, English, traditional Chinese) of the localized text registry.
#pragma once

#include <cstddef>

namespace detail {

// One table row: the lookup key and the localized text. Both are literals of the library image,
// so the map can hold the text pointer without copying it.
struct StrResEntry {
    const wchar_t* key;
    const wchar_t* text;
};

// Each function returns the table in registration order and stores its row count in count.
const StrResEntry* StrResTableKR(std::size_t& count);
const StrResEntry* StrResTableEN(std::size_t& count);
const StrResEntry* StrResTableZH(std::size_t& count);

}  // namespace detail
