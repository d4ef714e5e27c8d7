// GEOS as the referee of the overlay engine: one operation's result, as CGeomFunc::PolygonBoolean
// reported it, is judged against GEOS's result on the same operands (each the union of its members).
// Only the tests and benchmarks link GEOS; this header keeps geos_c.h out of their other files.
#pragma once

#include "support/overlay_corpus.h"

#include <memory>
#include <string>

namespace gorv_oracle {

// The judgement, worst first when several apply: failed > invalid > disagree > agree.
enum Verdict {
    kAgree = 0,     // valid result, equal to GEOS's up to snapping
    kDisagree = 1,  // valid result, but a different set beyond what snapping explains
    kInvalid = 2,   // the result breaks GEOS's validity or our ring rules (or the status contract)
    kFailed = 3,    // status failed, or valid input refused as invalid
    kVerdictCount = 4
};
const char* VerdictName(int verdict);

struct Outcome {
    Verdict verdict = kAgree;
    std::string detail;         // why, in plain words, when not kAgree
    double outside = 0.0;       // area of the symmetric difference outside the band around input edges
    double outsideLimit = 0.0;  // 1e-6 (|A| + |B|)
    double areaOurs = 0.0;      // area of the engine's result
    double areaGeos = 0.0;      // area of GEOS's result
    double areaLimit = 0.0;     // tolerance (perimeter A + perimeter B)
    std::string resultWkt;      // the engine's result as WKT (empty for an empty result)
    double engineSeconds = 0.0;  // time of the engine's call (RunAndCheck)
};

// One GEOS context (not shared between threads).
class GeosOracle {
public:
    GeosOracle();
    ~GeosOracle();
    GeosOracle(const GeosOracle&) = delete;
    GeosOracle& operator=(const GeosOracle&) = delete;

    // Takes the operands and tolerance of c for the following calls. False, with the reason, when
    // a member is not a valid polygon for GEOS (a fault of the corpus, not of the engine).
    bool SetCase(const gorv_corpus::Case& c, std::string* why);

    // Judges a result of op on the current case: the status contract (only a result appends),
    // validity (GEOS's check of the whole result as one multipolygon, plus outer rings
    // counter-clockwise, holes clockwise, no closing repeat, at least three vertices, finite, and
    // every vertex within 2 x tolerance of an input edge; the documented order, OrderProblems), then
    // agreement: the symmetric difference with GEOS's result, outside a band of 2 x tolerance around
    // every input edge, has area at most 1e-6 (|A| + |B|), and the areas differ by at most
    // tolerance x (perimeter of A + perimeter of B).
    Outcome Check(GORV_BOOLEAN_OP op, const T_GORV_BOOLEAN_REPORT& report,
                  const CArray<T_GORV_COMPLEX_POLYGON2D>& result);

    // Area of GEOS's result of op on the current case (negative if GEOS failed).
    double GeosArea(GORV_BOOLEAN_OP op);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// Runs the engine on op for the current case of `oracle` (set from c) and judges the result. With
// `twice`, an agreeing result must also come back bit for bit the same from a second run.
Outcome RunAndCheck(GeosOracle& oracle, const gorv_corpus::Case& c, GORV_BOOLEAN_OP op, bool twice = false);

// Our ring rules on a result: "" when every ring has at least three vertices, finite coordinates
// and no closing repeat, every outer ring is counter-clockwise and every hole clockwise.
std::string RingRuleProblems(const CArray<T_GORV_COMPLEX_POLYGON2D>& result);

// The documented order of a result, so that results compare and diff: "" when every ring starts
// at its lexicographically smallest vertex (x, then y), polygons are in ascending order of their
// outer rings and each polygon's holes in ascending order, rings compared vertex by vertex from
// their start (x, then y).
std::string OrderProblems(const CArray<T_GORV_COMPLEX_POLYGON2D>& result);

const char* OpName(GORV_BOOLEAN_OP op);

}  // namespace gorv_oracle
