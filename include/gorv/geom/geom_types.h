// Shared plain records of the library: points, polygons with holes, regions, unit-system indices
// and the language enumeration.
#pragma once

#include <cstdint>

#include <gorv/platform/afx_coll.h>
#include <gorv/platform/gorv_export.h>

struct T_GORV_POINT2D {
    double x;
    double y;
};

struct T_GORV_POINT3D {
    double x;
    double y;
    double z;
};

// A ring of points. As an input the list is closed: the last point repeats the first, so n points
// are n - 1 vertices. Rings written by the polygon booleans list each vertex once.
struct GORV_API T_GORV_POLYGON2D {
    CArray<T_GORV_POINT2D> points;

    // Area (>= 0) of the closed ring: the last stored point repeats the first, so fewer than four
    // stored points give 0. A ring without the repeat (as the polygon booleans write them) loses
    // its closing edge here: use CGeomFunc::CalcRingArea for those, which takes any ring as closed.
    double GetArea() const;
};

// An outer ring followed by its holes.
struct T_GORV_COMPLEX_POLYGON2D {
    T_GORV_POLYGON2D outer;
    CArray<T_GORV_POLYGON2D> holes;
};

// Axis-aligned rectangle.
struct T_GORV_REGION2D {
    double minX;
    double minY;
    double maxX;
    double maxY;
};

// A unit system: explicit force and length units, or one of the preset systems.
struct T_GORV_UNIT_INDEX {
    std::int32_t nExplicit;   // non-zero: nLength and nForce apply to every quantity
    std::int32_t nSystem;     // preset system 1..3, used when nExplicit is 0
    std::int32_t nLength;     // length unit index
    std::int32_t nForce;      // force unit index
    std::int32_t nReserved1;  // carried with the record, not read
    std::int32_t nReserved2;  // carried with the record, not read
};

namespace Gorv {
namespace link {
// Language of the string tables. -1 (no table registered) is also stored in variables of this type.
enum Language : std::int32_t { English = 0, Korean = 1, Chinese = 2 };
}  // namespace link
}  // namespace Gorv
