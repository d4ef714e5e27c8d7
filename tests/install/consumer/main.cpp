// A host program built against the installed library: uses the umbrella header only.
#include <gorv/gorv_base.h>

#include <cstdio>

int main() {
    CArray<T_GORV_POINT2D> pts;
    pts.Add(T_GORV_POINT2D{1.0, 2.0});
    CString s;
    s.Format(L"%s %d", L"points:", static_cast<int>(pts.GetSize()));
    if (s != CString(L"points: 1")) return 1;
    std::printf("consumer ok (%s)\n", GORV_BASE_VERSION_STRING);
    return 0;
}
