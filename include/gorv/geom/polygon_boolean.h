// Records of the checked polygon boolean entry point, CGeomFunc::PolygonBoolean: the operation,
// its options, and the report that says what happened. The engine behind it is the overlay area
// (see <gorv/overlay/overlay.h> for its design).
#pragma once

#include <string>

#include <gorv/geom/geom_types.h>

enum GORV_BOOLEAN_OP {
    GORV_BOOLEAN_UNION = 0,
    GORV_BOOLEAN_INTERSECT = 1,
    GORV_BOOLEAN_SUBTRACT = 2  // A minus B
};

// What a call of PolygonBoolean came to. Only GORV_BOOLEAN_RESULT appends to the result array.
enum GORV_BOOLEAN_STATUS {
    GORV_BOOLEAN_RESULT = 0,   // one or more polygons appended
    GORV_BOOLEAN_EMPTY = 1,    // valid input whose result is the empty set; nothing appended
    GORV_BOOLEAN_INVALID = 2,  // invalid input (the report says where and why); nothing appended
    GORV_BOOLEAN_FAILED = 3    // the engine could not finish (on valid input a bug); nothing appended
};

// Why an input was refused.
enum GORV_BOOLEAN_PROBLEM {
    GORV_PROBLEM_NONE = 0,
    GORV_PROBLEM_TOLERANCE,           // tolerance zero, negative, not finite or below 1e-100
    GORV_PROBLEM_COORDINATE,          // a coordinate not finite or beyond kMaxPolygonCoordinate
    GORV_PROBLEM_TOO_FEW_VERTICES,    // fewer than three distinct vertices
    GORV_PROBLEM_SELF_CROSSING,       // the ring crosses itself
    GORV_PROBLEM_HOLE_CROSSES_OUTER,  // a hole crosses its outer ring
    GORV_PROBLEM_HOLE_OUTSIDE,        // a hole lies outside its outer ring
    GORV_PROBLEM_HOLES_OVERLAP,       // two holes of one polygon overlap
    GORV_PROBLEM_HOLES_NESTED         // a hole lies inside another hole of the same polygon
};

struct T_GORV_BOOLEAN_OPTIONS {
    // Snapping tolerance in model units, for all three operations: finite and at least 1e-100
    // (coordinates of magnitude below 1e-140 are read as zero, which keeps every product of the
    // exact predicates clear of underflow; such a move stays far inside any valid tolerance).
    double dTolerance = 0.001;
    int bRepair = 0;            // nonzero: repair invalid rings instead of refusing them
};

struct T_GORV_BOOLEAN_REPORT {
    GORV_BOOLEAN_STATUS eStatus = GORV_BOOLEAN_FAILED;
    GORV_BOOLEAN_PROBLEM eProblem = GORV_PROBLEM_NONE;
    int nOperand = -1;  // invalid input: 0 for A, 1 for B; otherwise -1
    int nPolygon = -1;  // invalid input: index of the polygon in its operand; otherwise -1
    int nRing = -1;     // invalid input: 0 the outer ring, k the hole holes[k - 1]; otherwise -1
    std::string strMessage;  // UTF-8, plain words: the problem or the failure; empty on success
};

// Which engine the three original entry points (Union2Polygon, Intersect2Polygon,
// Subtract2Polygon) use on the calling thread.
enum GORV_BOOLEAN_ENGINE {
    GORV_ENGINE_MODELER = 0,  // the section modeler's rules (default)
    GORV_ENGINE_OVERLAY = 1   // the overlay engine, under the entry points' contract
};
