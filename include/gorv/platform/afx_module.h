// Extension-module registration: a host-visible registry of the library modules that are loaded.
// A module initialises its AFX_EXTENSION_MODULE record once, then links itself into the registry
// with a heap-allocated CDynLinkLibrary (owned by the registry), and terminates at unload.
#pragma once

#include <gorv/platform/afx_types.h>
#include <gorv/platform/gorv_export.h>

struct AFX_EXTENSION_MODULE {
    BOOL bInitialized;
    HINSTANCE hModule;
    HINSTANCE hResource;
    void* pFirstSharedClass;
    void* pFirstSharedFactory;
};

// Records the module handle in the module record; returns FALSE when registration is refused
// (see AfxSetExtensionModuleInitFailure). A second call for the same record returns TRUE.
GORV_API BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE hModule);

// Frees the CDynLinkLibrary objects created for the module and marks the record uninitialised.
// With bAll FALSE only this module's entries are removed; with TRUE every entry is.
GORV_API void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

// One entry of the loaded-module registry. Construct with new; the registry owns it and frees it
// in AfxTermExtensionModule.
class GORV_API CDynLinkLibrary {
public:
    CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
    CDynLinkLibrary(const CDynLinkLibrary&) = delete;
    CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;
    virtual ~CDynLinkLibrary();

    HINSTANCE m_hModule;
    HINSTANCE m_hResource;
    BOOL m_bSystem;
    AFX_EXTENSION_MODULE* m_pModule;
};

// Host queries of the registry.
GORV_API int AfxGetDynLinkLibraryCount();
// The i-th registered module handle in registration order, or null.
GORV_API HINSTANCE AfxGetDynLinkLibraryModule(int i);

// Test hook: while set, AfxInitExtensionModule refuses every registration. Reading the
// environment variable GORV_FAIL_EXTENSION_INIT=1 at the first call sets it too, so a test host
// can make a dlopen of the library fail.
GORV_API void AfxSetExtensionModuleInitFailure(BOOL bFail);
