// Readers and writers of the gorv polygon command: numbers read back exactly, WKT and GeoJSON
// round trips, ring orientation and closure of GeoJSON output, and the errors of bad input.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "geojson.h"
#include "wkt.h"

namespace {

using gorv_cli::Operand;
using gorv_cli::Pt;
using gorv_cli::WktPolygon;

// Finite doubles within +-1e100 of every kind: random bit patterns (all exponents, subnormals),
// short decimals, and sums that leave a last-bit tail (0.1 + 0.2).
std::vector<double> SampleDoubles(std::mt19937_64& rng, size_t n) {
    std::vector<double> v;
    while (v.size() < n) {
        const uint64_t bits = rng();
        double d = 0.0;
        const size_t kind = v.size() % 4;
        if (kind == 0) std::memcpy(&d, &bits, sizeof d);
        else if (kind == 1) d = static_cast<double>(static_cast<int64_t>(bits % 2000001) - 1000000) / 1000.0;
        else if (kind == 2) d = static_cast<double>(bits % 1000) * 0.1 + 0.2;
        else d = std::ldexp(static_cast<double>(bits >> 11), static_cast<int>(bits % 120) - 100);
        if (std::isfinite(d) && std::fabs(d) <= 1e100) v.push_back(d);
    }
    return v;
}

// -0 prints as 0; every other value must come back bit for bit.
bool SameBits(double a, double b) { return (a == 0.0 && b == 0.0) || std::memcmp(&a, &b, sizeof a) == 0; }

TEST(PolygonIo, NumbersPrintShortestAndRoundUnderPrecision) {
    const struct { double v; int decimals; const char* text; } cases[] = {
        {0.30000000000000004, -1, "0.30000000000000004"},
        {0.1234567890123456, -1, "0.1234567890123456"},
        {0.1, -1, "0.1"},
        {2500.0, -1, "2500"},
        {-0.0, -1, "0"},
        {1e-7, -1, "1e-07"},
        {1e22, -1, "1e+22"},
        {1234.5678, 2, "1234.57"},
        {1234.5678, 0, "1235"},
        {10.0, 3, "10"},
        {0.125, 2, "0.12"},  // ties to even on the exact binary value
        {0.375, 2, "0.38"},
        {-0.0001, 2, "0"},    // no "-0"
        {-12.5, 1, "-12.5"},
        {0.30000000000000004, 17, "0.30000000000000004"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(gorv_cli::FormatNumber(c.v, c.decimals), c.text);
    }
}

TEST(PolygonIo, WktAndGeoJsonRoundTripsAreExactOnRandomDoubles) {
    std::mt19937_64 rng(20261206);
    for (int round = 0; round < 200; ++round) {
        SCOPED_TRACE(round);
        // A few polygons of a few rings each, rings given without closing repeat.
        std::vector<WktPolygon> polys(1 + round % 3);
        for (WktPolygon& p : polys) {
            p.rings.resize(1 + rng() % 3);
            for (auto& r : p.rings) {
                const std::vector<double> c = SampleDoubles(rng, 2 * (3 + rng() % 5));
                for (size_t i = 0; i + 1 < c.size(); i += 2) r.push_back(Pt{c[i], c[i + 1]});
            }
        }
        Operand wkt, geo;
        std::string err;
        ASSERT_TRUE(gorv_cli::ParseWkt(gorv_cli::FormatWkt(polys), wkt, err)) << err;
        ASSERT_TRUE(gorv_cli::ParseGeoJson(gorv_cli::FormatGeoJson(polys), geo, err)) << err;
        ASSERT_EQ(wkt.size(), polys.size());
        ASSERT_EQ(geo.size(), polys.size());
        for (size_t p = 0; p < polys.size(); ++p) {
            ASSERT_EQ(wkt[p].rings.size(), polys[p].rings.size());
            ASSERT_EQ(geo[p].rings.size(), polys[p].rings.size());
            for (size_t r = 0; r < polys[p].rings.size(); ++r) {
                const std::vector<Pt>& in = polys[p].rings[r];
                const size_t n = in.size();
                // Both writers close the ring: n + 1 points, the last repeating the first.
                ASSERT_EQ(wkt[p].rings[r].size(), n + 1);
                ASSERT_EQ(geo[p].rings[r].size(), n + 1);
                // GeoJSON may reverse a ring to orient it; it keeps the starting point.
                const bool reversed = (gorv_cli::SignedRingArea(in) > 0.0) != (r == 0);
                for (size_t i = 0; i <= n; ++i) {
                    const Pt& w = wkt[p].rings[r][i];
                    const Pt& g = geo[p].rings[r][i];
                    const Pt& a = in[i % n];
                    const Pt& b = in[reversed ? (n - i % n) % n : i % n];
                    ASSERT_TRUE(SameBits(w.x, a.x) && SameBits(w.y, a.y))
                        << gorv_cli::FormatNumber(w.x) << " vs " << gorv_cli::FormatNumber(a.x);
                    ASSERT_TRUE(SameBits(g.x, b.x) && SameBits(g.y, b.y));
                }
            }
        }
    }
}

TEST(PolygonIo, GeoJsonOutputClosesRingsOutersCounterClockwiseHolesClockwise) {
    // Outer ring given clockwise, hole counter-clockwise: both come out reversed.
    WktPolygon p;
    p.rings.push_back({{0, 0}, {0, 10}, {10, 10}, {10, 0}});
    p.rings.push_back({{2, 2}, {4, 2}, {4, 4}, {2, 4}});
    EXPECT_EQ(gorv_cli::FormatGeoJson({p}),
              "{\"type\": \"Polygon\", \"coordinates\": [[[0, 0], [10, 0], [10, 10], [0, 10], [0, 0]], "
              "[[2, 2], [2, 4], [4, 4], [4, 2], [2, 2]]]}");
    WktPolygon q;
    q.rings.push_back({{20, 0}, {21, 0}, {21, 0.5}});
    EXPECT_EQ(gorv_cli::FormatGeoJson({p, q}, 1),
              "{\"type\": \"MultiPolygon\", \"coordinates\": [[[[0, 0], [10, 0], [10, 10], [0, 10], [0, 0]], "
              "[[2, 2], [2, 4], [4, 4], [4, 2], [2, 2]]], [[[20, 0], [21, 0], [21, 0.5], [20, 0]]]]}");
    EXPECT_EQ(gorv_cli::FormatGeoJson({}), "{\"type\": \"MultiPolygon\", \"coordinates\": []}");
    EXPECT_EQ(gorv_cli::FormatWkt({}), "MULTIPOLYGON EMPTY");
}

TEST(PolygonIo, GeoJsonContainersFormOneOperand) {
    const std::string sq = "[[[0,0],[1,0],[1,1],[0,0]]]";
    const struct { std::string text; size_t polygons; } cases[] = {
        {"{\"type\":\"Polygon\",\"coordinates\":" + sq + "}", 1},
        {"{\"type\":\"MultiPolygon\",\"coordinates\":[" + sq + "," + sq + "]}", 2},
        {"{\"type\":\"Feature\",\"properties\":{\"name\":\"a\\\"b\"},\"geometry\":{\"type\":\"Polygon\","
         "\"coordinates\":" + sq + "}}", 1},
        {"{\"type\":\"Feature\",\"properties\":null,\"geometry\":null}", 0},
        {"{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Feature\",\"geometry\":{\"type\":"
         "\"MultiPolygon\",\"coordinates\":[" + sq + "," + sq + "]}},{\"type\":\"Feature\",\"geometry\":{\"type\":"
         "\"Polygon\",\"coordinates\":" + sq + "}}]}", 3},
        {"{\"type\":\"GeometryCollection\",\"geometries\":[{\"type\":\"Polygon\",\"coordinates\":" + sq + "}]}", 1},
        {"\xEF\xBB\xBF {\"coordinates\":" + sq + ", \"type\":\"Poly\\u0067on\"}", 1},  // BOM, escape, member order
        {"{\"type\":\"Polygon\",\"coordinates\":[]}", 0},
        {"{\"type\":\"Polygon\",\"coordinates\":[[[1e-5,0],[1E+1,0],[-0.5e1,1],[1e-5,0]]]}", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Operand out;
        std::string err;
        ASSERT_TRUE(gorv_cli::LooksLikeGeoJson(c.text));
        ASSERT_TRUE(gorv_cli::ParseGeoJson(c.text, out, err)) << err;
        EXPECT_EQ(out.size(), c.polygons);
        if (c.text.find("1E+1") != std::string::npos) {  // exponent forms read as numbers
            EXPECT_EQ(out[0].rings[0][1].x, 10.0);
            EXPECT_EQ(out[0].rings[0][2].x, -5.0);
        }
    }
}

TEST(PolygonIo, BadInputNamesTheProblemWithoutCrashing) {
    const struct { std::string text; const char* error; } cases[] = {
        {"POLYGON ((0 0, 1 0, 1 1))", "polygon 1, outer ring has 3 points"},
        {"MULTIPOLYGON (((0 0, 1 0, 1 1, 0 0)), ((0 0, 1 0, 1 1, 0 0), (0 0, 1 0, 1 1, 0 1)))",
         "polygon 2, hole 1 is not closed"},
        {"POLYGON ((0 0, 1 0, 1 1, 0 0)) x", "unexpected text after the POLYGON at offset 31"},
        {"POLYGON Z ((0 0 0, 1 0 0, 1 1 0, 0 0 0))", "only 2D"},
        {"POLYGON ((0 0, 1e101 0, 1 1, 0 0))", "polygon 1, outer ring: coordinate '1e101' is beyond +-1e100"},
        {"LINESTRING (0 0, 1 1)", "expected POLYGON or MULTIPOLYGON, found 'LINESTRING'"},
        {"", "expected POLYGON or MULTIPOLYGON at offset 0"},
        {"{\"type\":\"LineString\",\"coordinates\":[[0,0],[1,1]]}", "GeoJSON LineString is not a polygon"},
        {"{\"type\":\"Polygon\",\"coordinates\":[[[0,0,5],[1,0,5],[1,1,5],[0,0,5]]]}", "only 2D positions"},
        {"{\"type\":\"Polygon\",\"coordinates\":[[[0,0],[1,0],[1,1],[0,1]]]}", "polygon 1, outer ring is not closed"},
        {"{\"type\":\"Polygon\",\"coordinates\":[[[0,0],[1,0],[1,1e999],[0,0]]]}", "is not finite"},
        {"{\"type\":\"Polygon\",\"coordinates\":[[[0,0],[01,0],[1,1],[0,0]]]}", "expected ',' or ']' at offset"},
        {"{\"type\":\"Polygon\",\"coordinates\":[[[0,0],[\"1\",0],[1,1],[0,0]]]}", "a coordinate must be a number"},
        {"{\"type\":\"Polygon\",\"coordinates\":[[[0,0],[1,0],[1,1],[0,0]]]", "expected ',' or '}' at offset"},
        {"{\"type\":\"Polygon\" \"coordinates\":[]}", "expected ',' or '}' at offset 18"},
        {"{\"type\":\"Feature\"}", "Feature without a \"geometry\""},
        {"{\"type\":\"FeatureCollection\",\"features\":[{\"type\":\"Polygon\",\"coordinates\":[]}]}",
         "a member of \"features\" is not a Feature"},
        {"{\"type\":\"Polygon\",\"coordinates\":[]} {}", "unexpected text after the JSON value"},
        {"{\"type\":\"Pol\nygon\"}", "control character in a string"},
        {"{\"type\":\"a\\\nb\"}", "bad escape '\\\\x0a' at offset 11"},   // escaped raw line break
        {"{\"type\":\"Line\\nString\"}", "GeoJSON Line\\x0aString is not a polygon"},
        {"POLYGON ((0 0, 1 0, 1 1, 0 0)\x01", "expected ')' at offset 29, found '\\x01'"},
        {std::string(100000, '[') , "expected POLYGON"},  // not GeoJSON: no '{'
        {"{\"a\":" + std::string(100000, '['), "nested deeper than 64 levels"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.substr(0, 80));
        Operand out;
        std::string err;
        const bool ok = gorv_cli::LooksLikeGeoJson(c.text) ? gorv_cli::ParseGeoJson(c.text, out, err)
                                                            : gorv_cli::ParseWkt(c.text, out, err);
        EXPECT_FALSE(ok);
        EXPECT_NE(err.find(c.error), std::string::npos) << err;
        EXPECT_EQ(err.find('\n'), std::string::npos) << "one line: " << err;
    }
}

}  // namespace
