// The process-wide string map behind LoadStr (library-internal).
#pragma once

#include <gorv/platform/afx_coll.h>
#include <gorv/platform/afx_string.h>

namespace detail {

// Key copied into the map; value points at a table literal (never copied, valid until unload).
typedef CMap<CString, const wchar_t*, const wchar_t*, const wchar_t*> StrResMap;

// Bucket count the map switches to at the first registration of the process.
const unsigned int kStrResHashSize = 10009;

StrResMap& GetStrResMap();

// Adds key -> text, or replaces the text of a key already present.
void RegisterStrRes(const wchar_t* key, const wchar_t* text);

// Registers the table of lang (English for any value other than Korean and Chinese).
void RegisterStrResTable(int lang);

}  // namespace detail
