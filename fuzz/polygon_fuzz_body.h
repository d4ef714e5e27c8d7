// Shared body of the polygon boolean fuzz targets: the input bytes become two polygons with holes
// and a subtraction tolerance; the three entry points must return 1, never crash or hang, and
// append either nothing or polygons whose rings have >= 3 finite vertices.
#pragma once

#include <gorv/gorv_base.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace polygon_fuzz {

class ByteReader {
public:
    ByteReader(const uint8_t* data, size_t size) : m_p(data), m_n(size) {}
    uint8_t Byte() { return m_n ? (--m_n, *m_p++) : 0; }
    // Mostly small grid coordinates (so vertices and edges coincide often), sometimes raw doubles
    // (NaN, infinities, huge and tiny values).
    double Coord() {
        const uint8_t mode = Byte();
        if (mode < 200) return static_cast<int8_t>(Byte()) / 8.0;
        if (mode < 240) return static_cast<int8_t>(Byte()) / 8.0 + Byte() * 1e-4;
        double d = 0.0;
        uint8_t raw[sizeof d];
        for (uint8_t& b : raw) b = Byte();
        std::memcpy(&d, raw, sizeof d);
        return d;
    }
    bool Empty() const { return m_n == 0; }

private:
    const uint8_t* m_p;
    size_t m_n;
};

inline T_GORV_POLYGON2D ReadRing(ByteReader& r, int nMaxVertices) {
    T_GORV_POLYGON2D ring;
    const int n = r.Byte() % (nMaxVertices + 1);
    for (int i = 0; i < n; ++i) {
        T_GORV_POINT2D p;
        p.x = r.Coord();
        p.y = r.Coord();
        ring.points.Add(p);
    }
    // Usually closed as the entry points expect; sometimes left open.
    if (n > 0 && r.Byte() % 8 != 0) ring.points.Add(ring.points[0]);
    return ring;
}

inline T_GORV_COMPLEX_POLYGON2D ReadPolygon(ByteReader& r, int nMaxVertices, int nMaxHoles) {
    T_GORV_COMPLEX_POLYGON2D poly;
    poly.outer = ReadRing(r, nMaxVertices);
    const int holes = r.Byte() % (nMaxHoles + 1);
    for (int h = 0; h < holes; ++h) poly.holes.Add(ReadRing(r, nMaxVertices));
    return poly;
}

inline void CheckAppended(const CArray<T_GORV_COMPLEX_POLYGON2D>& out) {
    // The first entry was put there by the caller and must stay untouched.
    if (out.GetSize() < 1 || out[0].outer.points.GetSize() != 1 || out[0].outer.points[0].x != 7.0) std::abort();
    for (INT_PTR i = 1; i < out.GetSize(); ++i) {
        auto check = [](const T_GORV_POLYGON2D& ring) {
            if (ring.points.GetSize() < 3) std::abort();
            for (INT_PTR k = 0; k < ring.points.GetSize(); ++k)
                if (!std::isfinite(ring.points[k].x) || !std::isfinite(ring.points[k].y)) std::abort();
        };
        check(out[i].outer);
        for (INT_PTR h = 0; h < out[i].holes.GetSize(); ++h) check(out[i].holes[h]);
    }
}

// One fuzz input: rings of up to nMaxVertices vertices, up to nMaxHoles holes per polygon.
inline int Run(const uint8_t* data, size_t size, int nMaxVertices, int nMaxHoles) {
    ByteReader r(data, size);
    const T_GORV_COMPLEX_POLYGON2D a = ReadPolygon(r, nMaxVertices, nMaxHoles);
    const T_GORV_COMPLEX_POLYGON2D b = ReadPolygon(r, nMaxVertices, nMaxHoles);
    const uint8_t t = r.Byte();
    const double tol = t < 250 ? 1e-4 * (1 + t) : (t == 250 ? 0.0 : t == 251 ? -1.0 : r.Coord());

    for (int op = 0; op < 3; ++op) {
        CArray<T_GORV_COMPLEX_POLYGON2D> out;
        T_GORV_COMPLEX_POLYGON2D marker;
        T_GORV_POINT2D p = {7.0, 7.0};
        marker.outer.points.Add(p);
        out.Add(marker);
        int rc = 0;
        if (op == 0) rc = CGeomFunc::Union2Polygon(a, b, out);
        else if (op == 1) rc = CGeomFunc::Intersect2Polygon(a, b, out);
        else rc = CGeomFunc::Subtract2Polygon(a, b, out, tol);
        if (rc != 1) std::abort();
        CheckAppended(out);
    }
    return 0;
}

}  // namespace polygon_fuzz
