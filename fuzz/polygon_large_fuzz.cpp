// libFuzzer target of the polygon booleans on larger polygons (up to 40 vertices a ring, 4 holes),
// whose rings cross themselves and each other many times.
#include "polygon_fuzz_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return polygon_fuzz::Run(data, size, 40, 4);
}
