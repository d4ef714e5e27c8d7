// Generated corpus of polygon boolean operands for the overlay engine's oracle test and benchmarks.
// A case is a pair of operands (each a set of polygons with holes, as given to
// CGeomFunc::PolygonBoolean) and a tolerance; every case is a pure function of (seed, family, index),
// built from std::mt19937_64 with our own integer-to-double mappings and our own sine and cosine, so
// the coordinates are bit for bit the same on every IEEE-754 platform and standard library.
#pragma once

#include <gorv/gorv_base.h>

#include <cstdint>
#include <string>
#include <vector>

namespace gorv_corpus {

// Families of the corpus; each case of a family is used for all three operations.
enum Family {
    kStar = 0,    // star polygons on a coarse grid: shared vertices and collinear overlaps
    kNear = 1,    // vertices 0.5 to 20 tolerances from the other operand's edges and vertices
    kNgon = 2,    // regular n-gon pairs, n and m from 3 to 256, at many offsets and turns
    kHoles = 3,   // polygons with holes (some holes touching at a vertex) against each other
    kSpike = 4,   // thin spikes and notches, slivers from near copies and near-parallel edges
    kMulti = 5,   // operands of several members that overlap or touch
    kTight = 6,   // vertex clusters, holes and strips thinner than a few tolerances, tiles with tiny
                  // gaps, far-off coordinates, n-gons within a few tolerances of each other
    kDense = 7,   // many crossings: spiky stars of up to 400 vertices, interlocking combs, stars on a
                  // grid of one tolerance, many overlapping members
    kFamilyCount = 8
};

const char* FamilyName(int family);

struct Case {
    int family = 0;
    std::uint64_t index = 0;
    double tolerance = 0.001;
    std::vector<T_GORV_COMPLEX_POLYGON2D> a;  // operand A: the union of its members
    std::vector<T_GORV_COMPLEX_POLYGON2D> b;  // operand B
};

// Case `index` of `family` under `seed`. Input rings come in either direction, with or without the
// closing repeat, starting at any vertex; every member is a valid polygon (simple rings, holes
// strictly inside their outer ring, holes disjoint but for single touching points).
Case MakeCase(std::uint64_t seed, int family, std::uint64_t index);

// A case with exactly one invalid member: its operand (0 A, 1 B), polygon index, the problem, and
// the ring at fault (0 outer, k hole k - 1; for two holes overlapping or nested, either of them:
// ring and otherRing).
struct InvalidCase {
    Case c;
    GORV_BOOLEAN_PROBLEM problem = GORV_PROBLEM_NONE;
    int operand = 0;
    int polygon = 0;
    int ring = 0;
    int otherRing = -1;
};
// Invalid case `index`: a ring crossing itself, a hole crossing its outer ring or outside it, two
// holes overlapping, or a hole inside another, each by a clear margin (many tolerances).
InvalidCase MakeInvalidCase(std::uint64_t seed, std::uint64_t index);

// Cases per family in the full corpus (the three operations of each make the operation count).
std::uint64_t FullCaseCount(int family);

// Seed of the corpus used by the oracle test and the corpus run unless told otherwise.
constexpr std::uint64_t kDefaultSeed = 20260611;

// Conversions between the entry point's arrays and the corpus' vectors.
CArray<T_GORV_COMPLEX_POLYGON2D> ToArray(const std::vector<T_GORV_COMPLEX_POLYGON2D>& v);

// WKT of an operand: POLYGON for one member, MULTIPOLYGON otherwise (rings as stored, each closed
// in the text, coordinates with 17 significant digits so they read back exactly).
std::string ToWkt(const std::vector<T_GORV_COMPLEX_POLYGON2D>& v);
std::string ToWkt(const CArray<T_GORV_COMPLEX_POLYGON2D>& v);

// Reads POLYGON or MULTIPOLYGON text (rings closed as written); empty on text it cannot read.
// "POLYGON EMPTY" / "MULTIPOLYGON EMPTY" give an empty operand.
bool ParseWkt(const std::string& text, std::vector<T_GORV_COMPLEX_POLYGON2D>& out);

// Recorded case files (tests/overlay/oracle/cases/README.md): comment lines, A and B as WKT, an
// optional "tolerance T" line, and GEOS's areas as "union X", "intersection X", "difference X"
// (areas[k] is -1 where a line is missing). ReadCaseFile is false unless it found two operands.
bool ReadCaseFile(const std::string& path, Case& c, double areas[3]);
bool WriteCaseFile(const std::string& path, const std::string& comment, const Case& c, const double areas[3]);

// Number of vertices of an operand (each ring counted without its closing repeat).
std::size_t VertexCount(const std::vector<T_GORV_COMPLEX_POLYGON2D>& v);

// 64-bit FNV-1a over the bits of every coordinate of the case, in order: pins the corpus.
std::uint64_t CaseHash(const Case& c);

}  // namespace gorv_corpus
