// A host process that loads and unloads libgorv_base.so as an application does, and checks what a
// host can see: the interface singleton, the module registry and the text state of a fresh load.
#include <dlfcn.h>
#include <stdlib.h>

#include <cstdio>
#include <cwchar>

namespace {

int g_failures = 0;

void Check(bool ok, const char* what) {
    if (!ok && ++g_failures) std::fprintf(stderr, "FAILED: %s\n", what);
}

template <typename T> T Sym(void* lib, const char* name) {
    void* p = dlsym(lib, name);
    Check(p != nullptr, name);
    return reinterpret_cast<T>(p);
}

typedef const wchar_t* (*LoadStrFn)(const wchar_t*, int);

bool Is(const wchar_t* got, const wchar_t* want) { return got != nullptr && std::wcscmp(got, want) == 0; }

// One load/unload cycle; registered tells whether the module registration should succeed.
void LoadCheckUnload(bool registered) {
    void* lib = dlopen(GORV_BASE_SO, RTLD_NOW | RTLD_LOCAL);
    Check(lib != nullptr, dlerror());
    if (lib == nullptr) return;
    Check(Sym<void* (*)()>(lib, "_ZN4Gorv4link8IGorvLib11GetInstanceEv")() != nullptr, "interface instance");
    Check(Sym<void* (*)()>(lib, "_ZN11CDgnMSGInfo8InstanceEv")() == nullptr, "no message info instance");
    Check(Sym<int (*)()>(lib, "_Z25AfxGetDynLinkLibraryCountv")() == (registered ? 1 : 0), "module registration");
    LoadStrFn loadStr = Sym<LoadStrFn>(lib, "LoadStr");
    Check(Is(loadStr(L"IDS_GEN_DATABASE_STATUS", 0), L"IDS_GEN_DATABASE_STATUS:미등록 문자열"), "empty map");
    LoadStrFn* binding = Sym<LoadStrFn*>(lib, "_ZN7CMsgDll12pfuncLoadStrE");
    Check(Is((*binding)(L"IDS_GEN_DATABASE_STATUS", 0), L"Status"), "first lookup registers English");
    Check(dlclose(lib) == 0, "dlclose");
    Check(dlopen(GORV_BASE_SO, RTLD_NOW | RTLD_NOLOAD) == nullptr, "unloaded after dlclose");
}

}  // namespace

int main() {
    LoadCheckUnload(true);
    LoadCheckUnload(true);  // a second load starts from fresh statics
    setenv("GORV_FAIL_EXTENSION_INIT", "1", 1);
    LoadCheckUnload(false);  // refused registration: no module entry is created
    std::puts(g_failures == 0 ? "dlopen host: all checks passed" : "dlopen host: FAILED");
    return g_failures == 0 ? 0 : 1;
}
