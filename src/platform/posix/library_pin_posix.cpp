// Library pinning over the dynamic loader: dladdr finds the file that defines a symbol, and a
// no-load dlopen with RTLD_NODELETE marks that already-loaded library as never to be unloaded.
#include <dlfcn.h>

#include "platform/library_pin.h"

namespace gorv_detail {

bool pin_library_of(const void* symbol) {
    Dl_info info{};
    if (!symbol || dladdr(symbol, &info) == 0 || !info.dli_fname) return false;
    void* handle = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    if (!handle) return false;
    dlclose(handle);  // drops the reference just taken; the library stays, marked NODELETE
    return true;
}

}  // namespace gorv_detail
