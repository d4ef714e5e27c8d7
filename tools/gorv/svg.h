// SVG picture of a polygon boolean: the operands as outlines, the result filled (even-odd, so
// holes show), y axis up, scaled to fit, with a legend.
#pragma once

#include <string>
#include <vector>

#include "wkt.h"

namespace gorv_cli {

// Returns the whole SVG document. title is shown in the legend (e.g. "A union B").
std::string RenderBooleanSvg(const WktPolygon& a, const WktPolygon& b, const std::vector<WktPolygon>& result,
                             const std::string& title);

}  // namespace gorv_cli
