// libFuzzer target of the section model's editing operations (see section_edits_body.h).
#include "section_edits_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    section_fuzz::ByteReader r(data, size);
    CSectModel m(section_fuzz::ReadTolerance(r));
    section_fuzz::RunEdits(m, r);
    return 0;
}
