// Index of the advancing front's edges for the crossing test of a candidate triangle side: which
// edges can make check_line_line_intersection_2d answer true for a side P-A.
//
// A crossing answer needs the four orientation signs of the test to say "proper crossing". With
// D the larger extent of the points, each computed sign is right whenever the exact orientation
// exceeds E = 1e-15 D^2 (the error bound of a cross product of rounded differences). So either
// S or E lies within w E / |PA| of the line P-A (found through the corners near that line; w is
// kStripWidth), or S and E are surely on opposite sides of it, each more than w E / |PA| off. In
// that case the computed signs at P and A can only both be right or one of them within E of 0:
// either the segment S-E crosses the side itself, or P (or A) lies within E / |SE| of the line S-E,
// which the segment meets at an angle whose sine exceeds 2 w E / (|PA| |SE|), so no farther than
// |PA| / (2 w) from P (or A). Those edges are found through the cells that S-E passes through.
// Every other edge answers false, so leaving it out changes no answer. (A wider strip makes the
// extension of the side, and with it the cells looked at, shorter; the strip stays far thinner
// than a cell.)
//
// An edge with an end at P or A never crosses P-A: one of the orientations of the test is then
// exactly 0. Such edges are left out of a side's gathering (for the other side of a triangle they
// are gathered by that side's own query when they can cross it).
#pragma once

#include "sect_grid.h"

#include <cstddef>
#include <vector>

namespace detail {

class SmFrontIndex {
public:
    // Corners: coordinates by point id (pXY[2 * id], valid where bValid[id]); the corner ids listed.
    SmFrontIndex(const std::vector<double>& aXY, const std::vector<int>& aCorner);
    bool IsOk() const { return m_bOk; }
    // Registers front edge k from corner nS to corner nE.
    void AddEdge(std::size_t k, int nS, int nE);
    // Appends to aOut edges (each once per gathering) that may cross side P-A: with bStrip those
    // with an end near the line P-A, else those passing near the side itself; both together hold
    // every edge that can. Only edges from nFrom on (in the order added) are looked at. False when
    // the side is too short for the index to bound its near-line strip (the caller then tests
    // every edge).
    bool Collect(const double P[2], const double A[2], bool bStrip, std::vector<std::size_t>& aOut,
                 std::size_t nFrom = 0);
    // Starts a new gathering (edges already appended since the last call are not appended again).
    void NewQuery() { ++m_nStamp; }

private:
    template <class F>
    void CellsNear(const double P0[2], const double P1[2], bool bLine, double dHalf, F f) const;
    void Take(std::size_t k, std::vector<std::size_t>& aOut);
    // Whether corner S is P or A (by its coordinates).
    static bool AtEnd(const double S[2], const double P[2], const double A[2]) {
        return (S[0] == P[0] && S[1] == P[1]) || (S[0] == A[0] && S[1] == A[1]);
    }

    const std::vector<double>& m_aXY;
    // An edge listed in a cell, with its box.
    struct CellEdge {
        std::size_t k;
        double lo[2];
        double hi[2];
    };
    std::vector<std::vector<CellEdge>> m_cellEdges;     // edges whose segment passes the cell
    std::vector<std::vector<int>> m_cellCorners;        // corners inside the cell
    std::vector<std::vector<std::size_t>> m_cornerEdges; // edges by end point id
    std::vector<unsigned> m_aSeen;                      // per edge: stamp of the last gathering
    std::vector<int> m_aEnds;                           // per edge: its two corners
    unsigned m_nStamp = 1;
    SmSquareGrid m_grid;
    double m_dSlack = 0.0; // absolute slack against rounding of cell positions
    double m_dErr = 0.0;   // E above
    bool m_bOk = false;
    static constexpr double kStripWidth = 8.0;
};

}  // namespace detail
