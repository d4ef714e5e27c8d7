// WKT reading and writing for the polygon command: POLYGON input (closed rings, as WKT requires
// and as the polygon booleans expect), POLYGON / MULTIPOLYGON output. Plain std types, so the
// parser is usable without the library.
#pragma once

#include <string>
#include <vector>

namespace gorv_cli {

struct Pt {
    double x;
    double y;
};

// One polygon with holes: rings[0] is the outer ring, the others are holes.
struct WktPolygon {
    std::vector<std::vector<Pt>> rings;
};

// Parses one POLYGON (or a MULTIPOLYGON holding exactly one polygon). Every ring must hold at
// least 4 points, be closed (last point equal to the first) and have finite coordinates.
// On failure returns false and sets err to a one-line description naming the problem.
bool ParseWktPolygon(const std::string& text, WktPolygon& out, std::string& err);

// Writes rings given without closing repeat (the library's output shape) as WKT, closing each
// ring. One polygon gives POLYGON, several MULTIPOLYGON, none "POLYGON EMPTY".
std::string FormatWkt(const std::vector<WktPolygon>& polys);

// Decimal text with 15 significant digits: far below any snapping tolerance, and it hides the
// last-bit noise that the modeler's normalise-and-scale-back leaves (51.675, not 51.67499999999999).
std::string FormatNumber(double v);

// Shoelace area of a ring (signed: counter-clockwise positive); the closing edge is implied,
// so a closed ring with its repeated last point gives the same value.
double SignedRingArea(const std::vector<Pt>& ring);

}  // namespace gorv_cli
