// libFuzzer target of the polygon booleans on small polygons (up to 8 vertices a ring, 2 holes),
// where vertices and edges coincide often.
#include "polygon_fuzz_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return polygon_fuzz::Run(data, size, 8, 2);
}
