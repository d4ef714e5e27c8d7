// Localized string registry: one process-wide map from a text key to a localized text, filled from
// the built-in Korean, English and traditional-Chinese tables and read with LoadStr.
#pragma once

#include <gorv/platform/gorv_export.h>
#include <gorv/geom/geom_types.h>

extern "C" {

// Returns the text registered for key. An unregistered key gives "<key>:미등록 문자열" in a shared
// buffer that the next failed lookup overwrites. n is accepted for the caller's function-pointer
// signature and ignored. Never registers anything.
GORV_API const wchar_t* LoadStr(const wchar_t* key, int n);

// Registers the table of *lang (English, Korean or Chinese; any other value registers English).
// Leaves CMsgDll's language state alone. Always returns 0.
GORV_API int RegAllStrRes(const Gorv::link::Language* lang);

}  // extern "C"

// Registration of one built-in table each. Entries are added in table order; a key that is already
// registered gets the new text, keys the table lacks keep their old texts.
GORV_API void RegStrResKR();
GORV_API void RegStrResEN();
GORV_API void RegStrResZH();
