// WKT reading and writing for the polygon command: POLYGON and MULTIPOLYGON input (closed rings,
// as WKT requires), POLYGON / MULTIPOLYGON output, and the number format of every coordinate the
// tool prints. Plain std types, so the parser is usable without the library.
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

// All polygons of one input; they form one operand (empty: the empty set).
using Operand = std::vector<WktPolygon>;

// One character of the input as a message shows it: itself when printable ASCII, else \xHH, so
// an error stays one line whatever the input holds.
std::string ShowChar(char c);
// text with every control character shown as ShowChar does.
std::string OneLine(const std::string& text);

// Names a ring for messages: "polygon 2, hole 1" (both 1-based; ring 0 is "outer ring").
std::string RingName(size_t polygon, size_t ring);

// Checks shared by the WKT and GeoJSON readers. A coordinate must be finite and within +-1e100
// (err quotes text and appends where); a ring must hold at least 4 points and end where it
// starts (err starts with name).
bool CheckCoordinate(double v, const std::string& text, const std::string& where, std::string& err);
bool CheckRing(const std::vector<Pt>& ring, const std::string& name, std::string& err);

// Parses POLYGON, MULTIPOLYGON (each polygon appended to out) or their EMPTY forms. Every ring
// must hold at least 4 points, be closed (last point equal to the first) and have finite
// coordinates within +-1e100. On failure returns false and sets err to one line naming the
// polygon, ring and text offset of the problem.
bool ParseWkt(const std::string& text, Operand& out, std::string& err);

// Number format: decimals < 0 gives the shortest text that reads back as the same double
// (std::to_chars); decimals >= 0 rounds to that many decimals and drops trailing zeros.
// -0 prints as 0.
std::string FormatNumber(double v, int decimals = -1);

// Writes rings given without closing repeat (the library's output shape) as WKT, closing each
// ring. One polygon gives POLYGON, several MULTIPOLYGON, none "MULTIPOLYGON EMPTY".
std::string FormatWkt(const std::vector<WktPolygon>& polys, int decimals = -1);

// Shoelace area of a ring (signed: counter-clockwise positive); the closing edge is implied,
// so a closed ring with its repeated last point gives the same value.
double SignedRingArea(const std::vector<Pt>& ring);

}  // namespace gorv_cli
