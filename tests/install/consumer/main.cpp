// A host program built against the installed library: uses the umbrella header only and calls
// into the platform layer, the polygon booleans and the string tables.
#include <gorv/gorv_base.h>

#include <cmath>
#include <cstdio>
#include <cwchar>

// Built as C++20 through both the CMake package and pkg-config; neither may lower the standard.
#if __cplusplus < 202002L
#error "the consumer must build as C++20"
#endif

namespace {

T_GORV_COMPLEX_POLYGON2D square(double x0, double y0, double size) {
    T_GORV_COMPLEX_POLYGON2D p;
    const double xy[5][2] = {{x0, y0}, {x0 + size, y0}, {x0 + size, y0 + size}, {x0, y0 + size}, {x0, y0}};
    for (const auto& v : xy) p.outer.points.Add(T_GORV_POINT2D{v[0], v[1]});
    return p;
}

}  // namespace

int main() {
    CArray<T_GORV_COMPLEX_POLYGON2D> result;
    CGeomFunc::Union2Polygon(square(0, 0, 2), square(1, 0, 2), result);
    if (result.GetSize() != 1) return 1;
    T_GORV_POLYGON2D ring = result[0].outer;
    ring.points.Add(ring.points[0]);  // results list each vertex once; close the ring to measure it
    if (std::fabs(ring.GetArea() - 6.0) > 1e-9) return 2;

    Gorv::link::Language lang = Gorv::link::English;
    RegAllStrRes(&lang);
    if (std::wcscmp(LoadStr(L"IDS_GEN_DATABASE_STATUS", 0), L"Status") != 0) return 3;

    // The controls draw through the library's private drawing libraries: nothing of those is
    // needed here. (No text: the font caches would outlive main under the leak checker.)
    CTextProgressCtrl progress;
    progress.Create(WS_CHILD, CRect(0, 0, 200, 24), nullptr, 1);
    progress.SetShowText(0);
    progress.SetPos(50);
    if (progress.GetBarWidth() != 100 || progress.GetTarget().GetPixel(0, 0) != GetSysColor(COLOR_HIGHLIGHT)) return 4;

    std::printf("consumer ok (%s, __cplusplus %ld)\n", GORV_BASE_VERSION_STRING, static_cast<long>(__cplusplus));
    return 0;
}
