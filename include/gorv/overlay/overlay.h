// The polygon overlay engine behind CGeomFunc::PolygonBoolean (and behind Union2Polygon,
// Intersect2Polygon and Subtract2Polygon when the calling thread chose GORV_ENGINE_OVERLAY).
//
// DESIGN
//
// Operands. A and B are sets of polygons with holes; an operand covers the union of its members.
// Rings are read with or without their closing repeat; repeated consecutive points collapse to one
// vertex. Outer rings are turned counter-clockwise and holes clockwise whatever their given
// direction, and a point belongs to an operand when the winding number of the operand's rings
// around it is above zero. On valid input this is exactly the union of the members; with the
// repair option it is the repair rule itself.
//
// Validity (judged on the input as given, with exact predicates): tolerance finite and at least
// 1e-100; every coordinate finite and within +-CGeomFunc::kMaxPolygonCoordinate (a coordinate of
// magnitude below 1e-140 is read as zero, which keeps the exact predicates clear of underflow); at least three distinct
// vertices per ring; no ring touching or crossing itself (adjacent edges only share their common
// vertex); a hole may touch its outer ring or another hole at single points but not cross it or
// share a piece of edge with it; every hole inside its outer ring; no hole inside another. The
// first problem in the order operand, polygon, ring is reported.
//
// Snapping. With tolerance t:
//  1. Vertices are clustered: taken in lexicographic order (x, then y, then input position), each
//     vertex joins the nearest cluster representative within distance t (inclusive) or else
//     becomes a representative. Closeness is not transitive (0, 0.8t, 1.6t gives two clusters,
//     {0, 0.8t} and {1.6t}), but every vertex moves by at most t, and representatives ("nodes")
//     are pairwise more than t apart.
//  2. Node on edge: a node within t of an edge piece it does not end at comes to lie on it (the
//     piece is split there); a node exactly on a piece always does. A node the piece's input edge
//     already passes through does not split it again unless exactly on it (three nodes each near
//     the line through the other two would otherwise split each other forever).
//  3. Crossings: two pieces that cross properly (decided exactly) cross at one point, computed
//     once along the shorter piece and kept inside the boxes both share; it snaps to the nearest
//     node within t, or becomes a new node, and both pieces are split there.
//  Steps 2 and 3 repeat until nothing changes. Nodes stay more than t apart, so this ends; each
//  piece lies within 2 t of its input edge and each result vertex is an input vertex (moved by at
//  most t) or a crossing point (moved by at most t), never a point rounded to a grid. Parts
//  thinner than t collapse onto each other: pieces with the same two nodes merge, their winding
//  steps add, and pieces whose steps cancel vanish, so slivers drop out of the result. Where the
//  coordinates are so large against t that crossings cannot be placed to within it (beyond about
//  1e13 t) and the noding keeps finding new crossings, it is retried with t raised to 1e-12 of
//  the largest coordinate magnitude, then a thousand times more per retry (at most three).
//
// Noding. Each ring is cut into chains monotone in x and in y; the chains are swept by x, and two
// chains whose boxes come within 5 t are walked side by side over the window where both boxes
// meet, which lists every pair of input edges that come within 5 t of each other once, in
// O(n log n) plus the pairs. Neighbours along a ring are taken directly (skipped when both are
// long and turn by at least a right angle). These pairs serve the validity check and the fast
// noding: round 1 tests every pair, later rounds only the edges split in the round before. When a
// split node lies more than 2 t from its input edge (the pairs might then be incomplete), when the
// coordinates are beyond 1e13 t, or when the graph comes out inconsistent, the thorough noding
// (a full sort-and-sweep of all pieces every round) does the work again. Every topological
// decision (crossing or not, which side, angular order at a node, inside or outside) uses an
// orientation predicate that is exact: a floating determinant with a proven error bound, falling
// back to exact expansion arithmetic.
//
// Planar graph. A node where other than two pieces meet (or where a ring turns back on itself) is
// kept; the pieces of one ring between kept nodes form one graph edge. Each edge carries the
// winding steps of A and of B across it. Edges around each kept node are sorted
// counter-clockwise; faces are traced with the face on the left. In each connected component the
// face left of the edge turned furthest counter-clockwise at the component's lexicographically
// smallest point is its unbounded face; its windings come from the other components' pieces (a
// winding count on a ray from that point, searched through the chains), and the windings of the
// other faces follow edge by edge.
//
// Face selection: union A > 0 or B > 0; intersection A > 0 and B > 0; subtraction A > 0 and not
// B > 0 (windings above zero). The result's boundary (edges with a selected face on the left and
// an unselected one on the right) is traced keeping the result on the left, turning at each node
// to the first boundary edge clockwise from the way back; a traced ring passing a node twice is
// split there, so every output ring is simple and rings touch at single points only. Rings
// turning counter-clockwise (exactly, at their smallest vertex) are outer rings, the others
// holes; each hole goes to the smallest outer ring around it, judged exactly at the first vertex
// of the hole off that ring.
//
// Output. Outer rings counter-clockwise, holes clockwise and inside their outer ring, no closing
// repeat, no ring crossing itself or another. Each ring starts at its lexicographically smallest
// vertex (smallest x, then smallest y). Polygons are ordered by their outer rings, holes within a
// polygon likewise, comparing rings vertex by vertex from their start (x, then y). An empty result
// is the status GORV_BOOLEAN_EMPTY, never an empty polygon. Use CGeomFunc::CalcRingArea for the
// area of output rings (T_GORV_POLYGON2D::GetArea expects the closing repeat).
//
// Threads: the engine keeps no shared state; concurrent calls share nothing. The engine choice of
// the three original entry points (CGeomFunc::SetBooleanEngine) is per thread.
#pragma once

#include <gorv/geom/geom_types.h>
#include <gorv/geom/polygon_boolean.h>
#include <gorv/platform/gorv_export.h>

// Sign of the orientation of a, b, c decided exactly: +1 when c lies left of the directed line
// a -> b (a counter-clockwise turn), -1 right of it, 0 on it. The predicate every topological
// decision of the overlay engine uses; coordinates up to kMaxPolygonCoordinate in magnitude.
GORV_API int GorvOrient2D(const T_GORV_POINT2D& a, const T_GORV_POINT2D& b, const T_GORV_POINT2D& c);
