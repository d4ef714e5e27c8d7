// Module entry of the library (library-internal).
#pragma once

#include <gorv/platform/afx_module.h>
#include <gorv/platform/afx_types.h>

namespace detail {

// Reason codes handed to the entry handler, with their Win32 values.
const DWORD kDllProcessDetach = 0;
const DWORD kDllProcessAttach = 1;
const DWORD kDllThreadAttach = 2;
const DWORD kDllThreadDetach = 3;

// The user part of the module entry point: registers the library as an extension module on
// process attach and deregisters it on process detach. Returns FALSE only for a refused attach.
BOOL GorvBaseDllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID lpReserved);

// The library's module record and handle.
AFX_EXTENSION_MODULE& GorvBaseModule();
HINSTANCE GorvBaseInstance();

}  // namespace detail
