// Module entry: the load/unload hooks of the shared object drive the entry handler the way a DLL
// loader does (process attach after static initialisation, process detach before the statics go).
#include "dll_main.h"

// Linker-provided, one per shared object (or executable): its address identifies this module.
extern "C" void* __dso_handle;

namespace {

AFX_EXTENSION_MODULE g_gorvBaseDLL = {};  // all zero until AfxInitExtensionModule fills it
bool g_bProcessAttached = false;

}  // namespace

namespace detail {

AFX_EXTENSION_MODULE& GorvBaseModule() { return g_gorvBaseDLL; }

HINSTANCE GorvBaseInstance() { return static_cast<HINSTANCE>(&__dso_handle); }

BOOL GorvBaseDllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID /*lpReserved*/) {
    if (dwReason == kDllProcessAttach) {
        if (!AfxInitExtensionModule(g_gorvBaseDLL, hInstance))
            return 0;
        // Owned by the module registry from here on; AfxTermExtensionModule frees it.
        new CDynLinkLibrary(g_gorvBaseDLL, FALSE);
    } else if (dwReason == kDllProcessDetach) {
        AfxTermExtensionModule(g_gorvBaseDLL, FALSE);
    }
    return 1;
}

}  // namespace detail

namespace {

void ProcessDetach() {
    if (!g_bProcessAttached)
        return;
    g_bProcessAttached = false;
    detail::GorvBaseDllMain(detail::GorvBaseInstance(), detail::kDllProcessDetach, nullptr);
}

// Detach when the process exits with the library still loaded. exit() runs the atexit-registered
// destructors before any fini function, so the hook below would come too late there; this object
// is created right after the attach, after the module registry, and so is destroyed before it.
struct DetachAtExit {
    DetachAtExit() = default;
    DetachAtExit(const DetachAtExit&) = delete;
    DetachAtExit& operator=(const DetachAtExit&) = delete;
    ~DetachAtExit() { ProcessDetach(); }
};

// Priority 60002: after the library interface object (60000) and the string map (60001), so the
// handler sees a fully initialised library whatever order the objects were linked in.
__attribute__((constructor(60002))) void GorvBaseProcessAttach() {
    if (detail::GorvBaseDllMain(detail::GorvBaseInstance(), detail::kDllProcessAttach, nullptr)) {
        g_bProcessAttached = true;
        static DetachAtExit s_detachAtExit;
        return;
    }
    // A refused attach is followed by the detach path at once, as a DLL loader does; the module
    // stays unregistered for the rest of the run.
    detail::GorvBaseDllMain(detail::GorvBaseInstance(), detail::kDllProcessDetach, nullptr);
}

// On unload (dlclose) fini functions run before the shared object's atexit-registered destructors,
// so the module is deregistered before any of the library's statics go. Unprioritised on purpose:
// prioritised fini functions would run after them.
__attribute__((destructor)) void GorvBaseProcessDetach() { ProcessDetach(); }

}  // namespace
