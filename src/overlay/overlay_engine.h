// The overlay engine proper: snapping, noding, the planar graph with the windings of A and B on
// its faces, face selection and ring extraction. Input rings are cleaned and oriented by the
// caller (outer rings counter-clockwise, holes clockwise); see <gorv/overlay/overlay.h>.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <gorv/geom/geom_types.h>
#include <gorv/geom/polygon_boolean.h>

#include "overlay/predicates.h"

namespace detail {
namespace overlay {

// One input ring: pts[nBegin .. nEnd-1] of the input, without closing repeat, at least three
// distinct vertices; its orientation carries the winding (+1 to its left).
struct InRing {
    std::uint32_t nBegin;
    std::uint32_t nEnd;
    std::uint8_t nOperand;  // 0 A, 1 B
    std::uint32_t nPolygon;  // polygon of the ring, counted over both operands
    std::uint32_t nRing;     // 0 the outer ring, k its hole k - 1
};

struct Input {
    std::vector<Pt> pts;
    std::vector<InRing> rings;
};


enum class RunStatus { kResult, kEmpty, kFailed };

// What the exact check of one polygon's edge pairs found: the first problem by ring, then kind.
struct RingProblem {
    int nProblem = 0;  // GORV_BOOLEAN_PROBLEM; 0 none
    int nRing = -1;
    int nOther = -1;   // the other ring of a pair of holes
};

class Engine;

// One overlay of an input: the edge pairs worth a look are found once, then serve both the
// validity check and the run.
// Working memory is taken from a process-wide pool and given back by the destructor, so calls
// reuse their buffers on any thread. (A pool instead of thread-local buffers: objects with
// destructors in thread-local storage would keep the library from unloading.)
class Overlay {
public:
    explicit Overlay(double dTol);
    ~Overlay();
    Overlay(const Overlay&) = delete;
    Overlay& operator=(const Overlay&) = delete;

    // The input to fill (empty at first), then Prepare() before any other call.
    Input& GetInput();
    // Finds the candidate edge pairs of the input.
    void Prepare();

    // Exact relations of the edges of each polygon (nPolygons of them): self-crossing rings,
    // holes crossing their outer ring, holes overlapping (one entry per polygon).
    void CheckEdges(std::size_t nPolygons, std::vector<RingProblem>& problems) const;

    // Where p lies relative to input ring nRing (an index into Input::rings): +1 inside, -1
    // outside, 0 on the ring. Exact; O(log n) per chain of the ring.
    int LocateInInputRing(std::uint32_t nRing, const Pt& p) const;

    // op: 0 union, 1 intersection, 2 A minus B. A point belongs to an operand when the winding
    // number of that operand's rings around it is above zero. On kResult the polygons are
    // appended to out (outer ring counter-clockwise, then its holes clockwise, no closing repeat,
    // each ring from its lexicographically smallest vertex); otherwise out is left as it was. On
    // kFailed, strWhy says why.
    RunStatus Run(int op, CArray<T_GORV_COMPLEX_POLYGON2D>& out, std::string& strWhy);

private:
    Engine* m_pEngine;
    double m_dTol;
};

}  // namespace overlay
}  // namespace detail
