// GeoJSON reader and writer of the polygon command: a small strict JSON parser (RFC 8259, nesting
// limited so hostile input cannot exhaust the stack) and the walk over the geometry objects.
#include "geojson.h"

#include <gorv/platform/afx_string.h>

#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <system_error>
#include <utility>

namespace gorv_cli {
namespace {

struct JValue {
    enum Kind { kNull, kBool, kNumber, kString, kArray, kObject } kind = kNull;
    bool b = false;
    double num = 0.0;
    std::string str;    // string value; for numbers, the number's text
    size_t offset = 0;  // where the value starts in the text
    std::vector<JValue> items;
    std::vector<std::pair<std::string, JValue>> members;

    // The member named key (the last one if repeated, as most readers do), or null.
    const JValue* Get(const std::string& key) const {
        for (auto it = members.rbegin(); it != members.rend(); ++it)
            if (it->first == key) return &it->second;
        return nullptr;
    }
};

const char* KindName(JValue::Kind k) {
    static const char* const kNames[] = {"null", "a boolean", "a number", "a string", "an array", "an object"};
    return kNames[k];
}

class JsonParser {
public:
    explicit JsonParser(const std::string& s) : m_s(s) {}

    bool Document(JValue& v, std::string& err) {
        if (m_s.compare(0, 3, "\xEF\xBB\xBF") == 0) m_i = 3;
        if (!Value(v, 0)) {
            err = m_err;
            return false;
        }
        SkipWs();
        if (m_i < m_s.size()) {
            err = "unexpected text after the JSON value at offset " + std::to_string(m_i);
            return false;
        }
        return true;
    }

private:
    static constexpr int kMaxDepth = 64;  // GeoJSON needs 8

    bool Fail(const std::string& what) {
        m_err = what + " at offset " + std::to_string(m_i);
        return false;
    }

    void SkipWs() {
        while (m_i < m_s.size() && (m_s[m_i] == ' ' || m_s[m_i] == '\t' || m_s[m_i] == '\n' || m_s[m_i] == '\r'))
            ++m_i;
    }

    bool Literal(const char* word) {
        const std::string w(word);
        if (m_s.compare(m_i, w.size(), w) != 0) return false;
        m_i += w.size();
        return true;
    }

    bool Value(JValue& v, int depth) {
        if (depth > kMaxDepth) return Fail("JSON nested deeper than " + std::to_string(kMaxDepth) + " levels");
        SkipWs();
        v.offset = m_i;
        if (m_i >= m_s.size()) return Fail("expected a JSON value, found end of text");
        const char c = m_s[m_i];
        if (c == '{') return Object(v, depth);
        if (c == '[') return Array(v, depth);
        if (c == '"') {
            v.kind = JValue::kString;
            return String(v.str);
        }
        if (c == '-' || (c >= '0' && c <= '9')) return Number(v);
        if (Literal("true") || Literal("false")) {
            v.kind = JValue::kBool;
            v.b = c == 't';
            return true;
        }
        if (Literal("null")) return true;
        return Fail("unexpected '" + ShowChar(c) + "'");
    }

    bool Object(JValue& v, int depth) {
        v.kind = JValue::kObject;
        ++m_i;
        SkipWs();
        if (m_i < m_s.size() && m_s[m_i] == '}') {
            ++m_i;
            return true;
        }
        for (;;) {
            SkipWs();
            if (m_i >= m_s.size() || m_s[m_i] != '"') return Fail("expected a member name");
            std::pair<std::string, JValue> m;
            if (!String(m.first)) return false;
            SkipWs();
            if (m_i >= m_s.size() || m_s[m_i] != ':') return Fail("expected ':'");
            ++m_i;
            if (!Value(m.second, depth + 1)) return false;
            v.members.push_back(std::move(m));
            SkipWs();
            if (m_i < m_s.size() && m_s[m_i] == ',') {
                ++m_i;
                continue;
            }
            if (m_i < m_s.size() && m_s[m_i] == '}') {
                ++m_i;
                return true;
            }
            return Fail("expected ',' or '}'");
        }
    }

    bool Array(JValue& v, int depth) {
        v.kind = JValue::kArray;
        ++m_i;
        SkipWs();
        if (m_i < m_s.size() && m_s[m_i] == ']') {
            ++m_i;
            return true;
        }
        for (;;) {
            v.items.emplace_back();
            if (!Value(v.items.back(), depth + 1)) return false;
            SkipWs();
            if (m_i < m_s.size() && m_s[m_i] == ',') {
                ++m_i;
                continue;
            }
            if (m_i < m_s.size() && m_s[m_i] == ']') {
                ++m_i;
                return true;
            }
            return Fail("expected ',' or ']'");
        }
    }

    bool Hex4(uint32_t& cp) {
        if (m_i + 4 > m_s.size()) return Fail("incomplete \\u escape");
        cp = 0;
        for (int k = 0; k < 4; ++k) {
            const char h = m_s[m_i++];
            cp <<= 4;
            if (h >= '0' && h <= '9') cp |= static_cast<uint32_t>(h - '0');
            else if (h >= 'a' && h <= 'f') cp |= static_cast<uint32_t>(h - 'a' + 10);
            else if (h >= 'A' && h <= 'F') cp |= static_cast<uint32_t>(h - 'A' + 10);
            else return Fail("bad \\u escape");
        }
        return true;
    }

    bool String(std::string& out) {
        ++m_i;  // opening quote
        for (;;) {
            if (m_i >= m_s.size()) return Fail("unterminated string");
            const unsigned char c = static_cast<unsigned char>(m_s[m_i]);
            if (c == '"') {
                ++m_i;
                return true;
            }
            if (c < 0x20) return Fail("control character in a string");
            if (c != '\\') {
                out += static_cast<char>(c);
                ++m_i;
                continue;
            }
            if (++m_i >= m_s.size()) return Fail("unterminated string");
            const char e = m_s[m_i++];
            switch (e) {
                case '"': out += '"'; break;
                case '\\': out += '\\'; break;
                case '/': out += '/'; break;
                case 'b': out += '\b'; break;
                case 'f': out += '\f'; break;
                case 'n': out += '\n'; break;
                case 'r': out += '\r'; break;
                case 't': out += '\t'; break;
                case 'u': {
                    uint32_t cp = 0;
                    if (!Hex4(cp)) return false;
                    if (cp >= 0xD800 && cp < 0xDC00 && m_s.compare(m_i, 2, "\\u") == 0) {
                        m_i += 2;
                        uint32_t lo = 0;
                        if (!Hex4(lo)) return false;
                        if (lo >= 0xDC00 && lo < 0xE000) cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
                        else cp = 0xFFFD;
                    } else if (cp >= 0xD800 && cp < 0xE000) {
                        cp = 0xFFFD;  // unpaired surrogate
                    }
                    // cp is a scalar value here (surrogates are paired or replaced above).
                    const wchar_t wc = static_cast<wchar_t>(cp);
                    out += CString(&wc, 1).ToUtf8();
                    break;
                }
                default:
                    --m_i;
                    return Fail("bad escape '\\" + ShowChar(e) + "'");
            }
        }
    }

    bool Number(JValue& v) {
        const size_t start = m_i;
        auto digits = [&] {
            const size_t d = m_i;
            while (m_i < m_s.size() && m_s[m_i] >= '0' && m_s[m_i] <= '9') ++m_i;
            return m_i > d;
        };
        if (m_s[m_i] == '-') ++m_i;
        if (m_i < m_s.size() && m_s[m_i] == '0') ++m_i;
        else if (!digits()) return Fail("bad number");
        if (m_i < m_s.size() && m_s[m_i] == '.') {
            ++m_i;
            if (!digits()) return Fail("bad number");
        }
        if (m_i < m_s.size() && (m_s[m_i] == 'e' || m_s[m_i] == 'E')) {
            ++m_i;
            if (m_i < m_s.size() && (m_s[m_i] == '+' || m_s[m_i] == '-')) ++m_i;
            if (!digits()) return Fail("bad number");
        }
        v.kind = JValue::kNumber;
        v.str = m_s.substr(start, m_i - start);
        const std::from_chars_result r = std::from_chars(v.str.data(), v.str.data() + v.str.size(), v.num);
        if (r.ec == std::errc::result_out_of_range) {
            // strtod gives the sign-correct overflow (HUGE_VAL, refused later as a coordinate)
            // or the underflow (zero or subnormal) for a text from_chars leaves unconverted.
            v.num = std::strtod(v.str.c_str(), nullptr);
        } else if (r.ec != std::errc() || r.ptr != v.str.data() + v.str.size()) {
            m_i = start;
            return Fail("bad number");
        }
        return true;
    }

    const std::string& m_s;
    size_t m_i = 0;
    std::string m_err;
};

// Walks the geometry objects and collects their polygons.
class GeoWalker {
public:
    explicit GeoWalker(Operand& out) : m_out(out) {}

    bool Top(const JValue& v, std::string& err) {
        if (v.kind != JValue::kObject) return Fail(v, "expected a GeoJSON object, found " + std::string(KindName(v.kind)), err);
        const JValue* type = v.Get("type");
        if (!type || type->kind != JValue::kString) return Fail(v, "GeoJSON object without a \"type\"", err);
        if (type->str == "FeatureCollection") {
            const JValue* f = v.Get("features");
            if (!f || f->kind != JValue::kArray) return Fail(v, "FeatureCollection without a \"features\" array", err);
            for (const JValue& feature : f->items) {
                const JValue* t = feature.kind == JValue::kObject ? feature.Get("type") : nullptr;
                if (!t || t->kind != JValue::kString || t->str != "Feature")
                    return Fail(feature, "a member of \"features\" is not a Feature", err);
                if (!Feature(feature, err)) return false;
            }
            return true;
        }
        if (type->str == "Feature") return Feature(v, err);
        return Geometry(v, err);
    }

private:
    static bool Fail(const JValue& at, const std::string& what, std::string& err) {
        err = what + " (offset " + std::to_string(at.offset) + ")";
        return false;
    }

    bool Feature(const JValue& v, std::string& err) {
        const JValue* g = v.Get("geometry");
        if (!g) return Fail(v, "Feature without a \"geometry\" member", err);
        if (g->kind == JValue::kNull) return true;  // an unlocated feature covers nothing
        return Geometry(*g, err);
    }

    bool Geometry(const JValue& v, std::string& err) {
        if (v.kind != JValue::kObject) return Fail(v, "a geometry must be an object", err);
        const JValue* type = v.Get("type");
        if (!type || type->kind != JValue::kString) return Fail(v, "geometry without a \"type\"", err);
        const std::string& t = type->str;
        if (t == "GeometryCollection") {
            const JValue* g = v.Get("geometries");
            if (!g || g->kind != JValue::kArray) return Fail(v, "GeometryCollection without a \"geometries\" array", err);
            for (const JValue& item : g->items)
                if (!Geometry(item, err)) return false;
            return true;
        }
        if (t != "Polygon" && t != "MultiPolygon")
            return Fail(v, "GeoJSON " + t + " is not a polygon (use Polygon or MultiPolygon)", err);
        const JValue* c = v.Get("coordinates");
        if (!c || c->kind != JValue::kArray) return Fail(v, t + " without a \"coordinates\" array", err);
        if (t == "Polygon") return Polygon(*c, err);
        for (const JValue& p : c->items)
            if (!Polygon(p, err)) return false;
        return true;
    }

    bool Polygon(const JValue& v, std::string& err) {
        const size_t index = m_out.size();
        if (v.kind != JValue::kArray) return Fail(v, "polygon " + std::to_string(index + 1) + " is not an array of rings", err);
        if (v.items.empty()) return true;  // an empty Polygon covers nothing
        WktPolygon poly;
        for (const JValue& r : v.items) {
            const std::string name = RingName(index, poly.rings.size());
            if (r.kind != JValue::kArray) return Fail(r, name + " is not an array of positions", err);
            std::vector<Pt> ring;
            for (const JValue& pos : r.items) {
                if (pos.kind != JValue::kArray || pos.items.size() < 2)
                    return Fail(pos, name + ": a position must be an array [x, y]", err);
                if (pos.items.size() > 2) return Fail(pos, name + ": only 2D positions [x, y] are supported", err);
                Pt p{};
                double* xy[2] = {&p.x, &p.y};
                for (int k = 0; k < 2; ++k) {
                    const JValue& n = pos.items[k];
                    if (n.kind != JValue::kNumber) return Fail(n, name + ": a coordinate must be a number", err);
                    std::string why;
                    if (!CheckCoordinate(n.num, n.str, "", why)) return Fail(n, name + ": " + why, err);
                    *xy[k] = n.num;
                }
                ring.push_back(p);
            }
            std::string why;
            if (!CheckRing(ring, name, why)) return Fail(r, why, err);
            poly.rings.push_back(std::move(ring));
        }
        m_out.push_back(std::move(poly));
        return true;
    }

    Operand& m_out;
};

void AppendRing(std::string& s, const std::vector<Pt>& ring, bool ccw, int decimals) {
    // Reverse a ring whose direction is not the one RFC 7946 recommends for its role.
    const bool reverse = (SignedRingArea(ring) > 0.0) != ccw;
    s += '[';
    const size_t n = ring.size();
    for (size_t k = 0; k <= n; ++k) {
        const size_t i = k % n;  // the last position repeats the first
        const Pt& p = ring[reverse ? (n - i) % n : i];
        if (k) s += ", ";
        s += "[" + FormatNumber(p.x, decimals) + ", " + FormatNumber(p.y, decimals) + "]";
    }
    s += ']';
}

void AppendPolygon(std::string& s, const WktPolygon& p, int decimals) {
    s += '[';
    bool first = true;
    for (size_t r = 0; r < p.rings.size(); ++r) {
        if (p.rings[r].empty()) continue;
        if (!first) s += ", ";
        first = false;
        AppendRing(s, p.rings[r], r == 0, decimals);
    }
    s += ']';
}

}  // namespace

bool LooksLikeGeoJson(const std::string& text) {
    size_t i = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    i = text.find_first_not_of(" \t\r\n", i);
    return i != std::string::npos && text[i] == '{';
}

bool ParseGeoJson(const std::string& text, Operand& out, std::string& err) {
    out.clear();
    JValue doc;
    JsonParser parser(text);
    if (!parser.Document(doc, err)) {
        err = "GeoJSON: " + OneLine(err);
        return false;
    }
    GeoWalker walker(out);
    if (!walker.Top(doc, err)) {
        err = "GeoJSON: " + OneLine(err);  // a "type" may hold any character
        return false;
    }
    return true;
}

std::string FormatGeoJson(const std::vector<WktPolygon>& polys, int decimals) {
    std::string s;
    if (polys.size() == 1) {
        s = "{\"type\": \"Polygon\", \"coordinates\": ";
        AppendPolygon(s, polys[0], decimals);
    } else {
        s = "{\"type\": \"MultiPolygon\", \"coordinates\": [";
        for (size_t i = 0; i < polys.size(); ++i) {
            if (i) s += ", ";
            AppendPolygon(s, polys[i], decimals);
        }
        s += ']';
    }
    return s + "}";
}

}  // namespace gorv_cli
