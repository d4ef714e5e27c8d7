// Export macro of the shared library. The library builds with -fvisibility=hidden, so only
// declarations marked GORV_API are visible to hosts: the Linux counterpart of a DLL export list.
#pragma once

#if defined(GORV_BUILDING_LIBRARY)
#define GORV_API __attribute__((visibility("default")))
#else
#define GORV_API
#endif

// Marks a library-private class whose symbols would otherwise be visible: a class nested in an
// exported one takes the exported class's visibility unless its definition says otherwise.
#if defined(GORV_BUILDING_LIBRARY)
#define GORV_HIDDEN __attribute__((visibility("hidden")))
#else
#define GORV_HIDDEN
#endif
