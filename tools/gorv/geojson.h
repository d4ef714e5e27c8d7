// GeoJSON (RFC 7946) reading and writing for the polygon command. Reads a Polygon, a MultiPolygon,
// or a Feature, FeatureCollection or GeometryCollection of them; writes one Polygon or
// MultiPolygon geometry with closed rings, outer rings counter-clockwise and holes clockwise.
#pragma once

#include <string>
#include <vector>

#include "wkt.h"

namespace gorv_cli {

// True when text, after white space and a UTF-8 byte order mark, starts with '{'.
bool LooksLikeGeoJson(const std::string& text);

// Appends every polygon of the GeoJSON text to out, in document order (a Feature without
// geometry adds none). Positions must be 2D ([x, y]); rings follow the same rules as WKT (at least
// 4 positions, closed). On failure returns false and err names where (JSON offset, or the polygon
// and ring) and what.
bool ParseGeoJson(const std::string& text, Operand& out, std::string& err);

// One GeoJSON geometry on one line: "Polygon" for one polygon, "MultiPolygon" otherwise (no
// polygons: empty coordinates). Rings come without closing repeat and are closed and oriented
// here. Numbers as FormatNumber(v, decimals).
std::string FormatGeoJson(const std::vector<WktPolygon>& polys, int decimals = -1);

}  // namespace gorv_cli
