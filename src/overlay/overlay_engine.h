// The overlay engine proper: snapping, noding, the planar graph with the windings of A and B on
// its faces, face selection and ring extraction. Input rings are cleaned and oriented by the
// caller (outer rings counter-clockwise, holes clockwise); see <gorv/overlay/overlay.h>.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "overlay/predicates.h"

namespace detail {
namespace overlay {

// One input ring: pts[nBegin .. nEnd-1] of the input, without closing repeat, at least three
// distinct vertices; its orientation carries the winding (+1 to its left).
struct InRing {
    std::uint32_t nBegin;
    std::uint32_t nEnd;
    std::uint8_t nOperand;  // 0 A, 1 B
};

struct Input {
    std::vector<Pt> pts;
    std::vector<InRing> rings;
};

// An output polygon: rings[0] the outer ring (counter-clockwise), then its holes (clockwise). No
// closing repeat; each ring starts at its lexicographically smallest vertex.
struct OutPolygon {
    std::vector<std::vector<Pt>> rings;
};

enum class RunStatus { kResult, kEmpty, kFailed };

// op: 0 union, 1 intersection, 2 A minus B. A point belongs to an operand when the winding
// number of that operand's rings around it is above zero. On kFailed, strWhy says why.
RunStatus RunOverlay(int op, const Input& in, double dTol, std::vector<OutPolygon>& out, std::string& strWhy);

}  // namespace overlay
}  // namespace detail
