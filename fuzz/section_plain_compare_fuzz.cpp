// libFuzzer target comparing the section modeler's indexed passes with its plain ones: every input
// runs twice on fresh models, and the whole outcome (tables, undo and redo records, counters,
// composed texts) must match byte for byte. The first byte picks what the rest describes:
//  - even: a model edit sequence (as the section model target) on grid points carried through a
//    rotation, scaling and shift read from the next bytes, so that exactly collinear and cocircular
//    grid points become so only up to rounding, where the indexes' rounding bounds are tight;
//  - odd: two polygons with holes through the three polygon booleans (as the polygon targets,
//    raw doubles included).
// Built against the section area's reference build, the only one that can switch passes.
#include "polygon_fuzz_body.h"
#include "section/compare/compare_cases.h"
#include "section_edits_body.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    if (data[0] % 2 == 1) {
        polygon_fuzz::ByteReader r(data + 1, size - 1);
        const T_GORV_COMPLEX_POLYGON2D a = polygon_fuzz::ReadPolygon(r, 12, 2);
        const T_GORV_COMPLEX_POLYGON2D b = polygon_fuzz::ReadPolygon(r, 12, 2);
        const double tol = 1e-4 * (1 + r.Byte());
        for (int op = 0; op < 3; ++op)
            sect_compare::AbortIfDifferent(sect_compare::RunPolygonBoolean(op, a, b, tol, true),
                                           sect_compare::RunPolygonBoolean(op, a, b, tol, false));
        return 0;
    }
    // The mode byte, four bytes of the map and the tolerance come before the edits.
    const size_t nHead = 6;
    if (size < nHead) return 0;
    section_fuzz::ByteReader head(data + 1, nHead - 1);
    // Angle 0 keeps the grid exact; scales and shifts that are not powers of two round.
    const double dAngle = head.Byte() * 0.0137;
    const double dScale = 1.0 + head.Byte() / 251.0;
    const double dx = static_cast<int8_t>(head.Byte()) * 0.37, dy = static_cast<int8_t>(head.Byte()) * 0.29;
    const double dTol = section_fuzz::ReadTolerance(head);
    const sect_compare::ModelScript script = [&](CSectModel& m) {
        section_fuzz::ByteReader r(data + nHead, size - nHead);
        r.SetMap(dAngle, dScale, dx, dy);
        section_fuzz::RunEdits(m, r);
    };
    sect_compare::AbortIfDifferent(sect_compare::RunScript(dTol, script, true), sect_compare::RunScript(dTol, script, false));
    return 0;
}
