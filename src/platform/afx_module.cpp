// The loaded-module registry behind AfxInitExtensionModule / CDynLinkLibrary /
// AfxTermExtensionModule. Entries are kept in registration order; the registry owns them.
#include <gorv/platform/afx_module.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Registry {
    std::vector<CDynLinkLibrary*> entries;
    bool failInit = false;
    bool envRead = false;
};

// A function-local static so the registry exists whenever a module's start-up code runs.
Registry& registry() {
    static Registry r;
    return r;
}

}  // namespace

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HINSTANCE hModule) {
    Registry& r = registry();
    if (!r.envRead) {
        r.envRead = true;
        const char* v = std::getenv("GORV_FAIL_EXTENSION_INIT");
        if (v && std::strcmp(v, "1") == 0) r.failInit = true;
    }
    if (r.failInit) return FALSE;
    if (state.bInitialized) return TRUE;
    state.bInitialized = TRUE;
    state.hModule = hModule;
    state.hResource = hModule;
    return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll) {
    Registry& r = registry();
    std::vector<CDynLinkLibrary*> doomed;
    auto keep = std::stable_partition(r.entries.begin(), r.entries.end(), [&](CDynLinkLibrary* p) {
        return !(bAll || p->m_pModule == &state);
    });
    doomed.assign(keep, r.entries.end());
    r.entries.erase(keep, r.entries.end());
    for (CDynLinkLibrary* p : doomed) {
        p->m_pModule = nullptr;  // already unlinked: the destructor must not search again
        delete p;
    }
    state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem), m_pModule(&state) {
    registry().entries.push_back(this);
}

CDynLinkLibrary::~CDynLinkLibrary() {
    if (m_pModule != nullptr) {
        auto& e = registry().entries;
        e.erase(std::remove(e.begin(), e.end(), this), e.end());
    }
}

int AfxGetDynLinkLibraryCount() { return static_cast<int>(registry().entries.size()); }

HINSTANCE AfxGetDynLinkLibraryModule(int i) {
    auto& e = registry().entries;
    if (i < 0 || static_cast<std::size_t>(i) >= e.size()) return nullptr;
    return e[static_cast<std::size_t>(i)]->m_hModule;
}

void AfxSetExtensionModuleInitFailure(BOOL bFail) {
    Registry& r = registry();
    r.envRead = true;
    r.failInit = bFail != FALSE;
}
