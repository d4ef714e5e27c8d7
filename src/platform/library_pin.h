// Pins a shared library in memory for the life of the process (it survives the unloading of the
// library that loaded it).
#pragma once

namespace gorv_detail {

// Marks the shared library that defines the symbol as never to be unloaded. False when the
// symbol's library cannot be found (a static link, say): then there is nothing to pin.
bool pin_library_of(const void* symbol);

}  // namespace gorv_detail
