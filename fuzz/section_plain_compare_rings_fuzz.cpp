// libFuzzer target comparing the section modeler's indexed passes with its plain ones on models
// large enough for the indexes to be used: two sections of rings with up to 135 vertices (the
// first with up to two holes), then a boolean. A ring is regular (its corners cocircular up to
// rounding, where the choice of triangle rests on the rounding of each angle) or jittered
// radially. Every input runs twice on fresh models and the whole outcome must match byte for byte.
#include "polygon_fuzz_body.h"
#include "section/compare/compare_cases.h"

namespace {

std::vector<double> ReadRing(polygon_fuzz::ByteReader& r) {
    const int n = 8 + r.Byte() % 128;
    const double cx = static_cast<int8_t>(r.Byte()) / 4.0, cy = static_cast<int8_t>(r.Byte()) / 4.0;
    const double radius = 1.0 + r.Byte() / 16.0;
    const double phase = r.Byte() * 0.0245;
    const bool bCcw = r.Byte() % 4 != 0;
    const uint8_t jitter = r.Byte();
    std::vector<double> xy = sect_compare::RegularRing(cx, cy, radius, n, phase, bCcw);
    if (jitter >= 128) {
        // Each corner moved along its radius by up to 1/16 of it, a byte per corner.
        for (std::size_t i = 0; i + 1 < xy.size(); i += 2) {
            const double f = 1.0 + (static_cast<double>(r.Byte()) - 128.0) / 2048.0;
            xy[i] = cx + (xy[i] - cx) * f;
            xy[i + 1] = cy + (xy[i + 1] - cy) * f;
        }
    }
    return xy;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    polygon_fuzz::ByteReader r(data, size);
    const double dTol = r.Byte() < 128 ? 0.001 : 0.3;
    std::vector<std::vector<double>> aRingA, aRingB;
    for (int k = r.Byte() % 3; k >= 0; --k) aRingA.push_back(ReadRing(r));
    aRingB.push_back(ReadRing(r));
    const int nOp = r.Byte() % 3;
    const sect_compare::ModelScript script = [&](CSectModel& m) {
        std::vector<int> a, b;
        for (const std::vector<double>& xy : aRingA) sect_compare::AddRing(m, xy, a);
        for (const std::vector<double>& xy : aRingB) sect_compare::AddRing(m, xy, b);
        const int sa = m.GenerateSection(a), sb = m.GenerateSection(b);
        if (sa == 0 || sb == 0) return;
        if (nOp == 0) m.UniteSections(sa, sb);
        else if (nOp == 1) m.IntersectSections(sa, sb);
        else m.SubtractSections(sa, sb);
    };
    sect_compare::AbortIfDifferent(sect_compare::RunScript(dTol, script, true), sect_compare::RunScript(dTol, script, false));
    return 0;
}
