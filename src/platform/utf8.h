// UTF-8 encoding shared by the platform layer's text conversions. What an unpaired surrogate or a
// value past U+10FFFF becomes is each caller's rule, applied before it asks for the bytes.
#pragma once

#include <string>

namespace gorv_detail {

// Appends the one- to four-byte UTF-8 form of c, which must be at most U+10FFFF. A surrogate
// (U+D800..U+DFFF) gets its three-byte form, which strict UTF-8 readers reject: a caller that
// must produce valid UTF-8 replaces surrogates first.
void append_utf8(std::string& out, char32_t c);

}  // namespace gorv_detail
