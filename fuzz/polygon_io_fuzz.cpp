// libFuzzer target of gorv polygon's WKT and GeoJSON readers: any text gives a result or an
// error line, never a crash; what reads successfully writes back as WKT that reads as the same
// numbers, and as GeoJSON that reads again.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "geojson.h"
#include "wkt.h"

namespace {

bool SameBits(double a, double b) {
    if (a == 0.0 && b == 0.0) return true;  // -0 prints as 0
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    gorv_cli::Operand in;
    std::string err;
    const bool ok = gorv_cli::LooksLikeGeoJson(text) ? gorv_cli::ParseGeoJson(text, in, err)
                                                     : gorv_cli::ParseWkt(text, in, err);
    if (!ok) {
        if (err.empty() || err.find('\n') != std::string::npos) std::abort();  // one line naming the problem
        return 0;
    }
    // Readers keep the closing repeat; writers add it.
    for (auto& p : in)
        for (auto& r : p.rings) r.pop_back();
    gorv_cli::Operand wkt, geo;
    if (!gorv_cli::ParseWkt(gorv_cli::FormatWkt(in), wkt, err)) std::abort();
    if (!gorv_cli::ParseGeoJson(gorv_cli::FormatGeoJson(in), geo, err)) std::abort();
    if (wkt.size() != in.size() || geo.size() != in.size()) std::abort();
    for (size_t p = 0; p < in.size(); ++p) {
        if (wkt[p].rings.size() != in[p].rings.size()) std::abort();
        for (size_t r = 0; r < in[p].rings.size(); ++r) {
            const auto& a = in[p].rings[r];
            const auto& b = wkt[p].rings[r];
            if (b.size() != a.size() + 1) std::abort();
            for (size_t i = 0; i < a.size(); ++i)
                if (!SameBits(a[i].x, b[i].x) || !SameBits(a[i].y, b[i].y)) std::abort();
        }
    }
    return 0;
}
