// WKT POLYGON reader and POLYGON/MULTIPOLYGON writer of the polygon command. The reader is a
// small recursive-descent parser that reports the first problem with its position.
#include "wkt.h"

#include <gorv/geom/geom_func.h>

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace gorv_cli {
namespace {

class Parser {
public:
    explicit Parser(const std::string& s) : m_s(s) {}

    bool Polygon(WktPolygon& out, std::string& err) {
        SkipWs();
        std::string kw = Word();
        if (kw == "MULTIPOLYGON") {
            std::vector<WktPolygon> parts;
            if (!Expect('(', err)) return false;
            do {
                WktPolygon p;
                if (!PolygonBody(p, err)) return false;
                parts.push_back(std::move(p));
            } while (Accept(','));
            if (!Expect(')', err)) return false;
            if (parts.size() != 1) {
                err = "MULTIPOLYGON with " + std::to_string(parts.size()) +
                      " polygons; give one POLYGON (with holes) per operand";
                return false;
            }
            out = std::move(parts[0]);
        } else if (kw == "POLYGON") {
            SkipWs();
            std::string z = PeekWord();
            if (z == "Z" || z == "M" || z == "ZM") {
                err = "only 2D coordinates are supported (found POLYGON " + z + ")";
                return false;
            }
            if (z == "EMPTY") {
                err = "POLYGON EMPTY has no rings";
                return false;
            }
            if (!PolygonBody(out, err)) return false;
        } else {
            err = kw.empty() ? std::string("expected POLYGON at offset ") + std::to_string(m_i)
                             : "expected POLYGON, found '" + kw + "'";
            return false;
        }
        SkipWs();
        if (m_i < m_s.size()) {
            err = "unexpected text after the polygon at offset " + std::to_string(m_i);
            return false;
        }
        return true;
    }

private:
    bool PolygonBody(WktPolygon& out, std::string& err) {
        if (!Expect('(', err)) return false;
        do {
            std::vector<Pt> ring;
            if (!Ring(ring, out.rings.size(), err)) return false;
            out.rings.push_back(std::move(ring));
        } while (Accept(','));
        return Expect(')', err);
    }

    bool Ring(std::vector<Pt>& ring, size_t index, std::string& err) {
        std::string name = index == 0 ? "the outer ring" : "hole " + std::to_string(index);
        if (!Expect('(', err)) return false;
        do {
            Pt p{};
            if (!Number(p.x, err) || !Number(p.y, err)) return false;
            SkipWs();
            if (m_i < m_s.size() && (std::isdigit(static_cast<unsigned char>(m_s[m_i])) || m_s[m_i] == '-' ||
                                     m_s[m_i] == '+' || m_s[m_i] == '.')) {
                err = "only 2D coordinates are supported (third number at offset " + std::to_string(m_i) + ")";
                return false;
            }
            ring.push_back(p);
        } while (Accept(','));
        if (!Expect(')', err)) return false;
        if (ring.size() < 4) {
            err = name + " has " + std::to_string(ring.size()) + " points; a closed ring needs at least 4";
            return false;
        }
        if (ring.front().x != ring.back().x || ring.front().y != ring.back().y) {
            err = name + " is not closed: its last point must repeat its first";
            return false;
        }
        return true;
    }

    bool Number(double& v, std::string& err) {
        SkipWs();
        size_t start = m_i;
        while (m_i < m_s.size() && (std::isalnum(static_cast<unsigned char>(m_s[m_i])) || m_s[m_i] == '.' ||
                                    m_s[m_i] == '-' || m_s[m_i] == '+')) {
            ++m_i;
        }
        std::string tok = m_s.substr(start, m_i - start);
        if (tok.empty()) {
            err = "expected a number at offset " + std::to_string(start);
            return false;
        }
        char* end = nullptr;
        v = std::strtod(tok.c_str(), &end);
        bool hex = tok.find_first_of("xX") != std::string::npos;
        if (end == tok.c_str() || *end != '\0' || hex) {
            err = "bad number '" + tok + "' at offset " + std::to_string(start);
            return false;
        }
        if (std::isnan(v)) {
            err = "coordinate is NaN at offset " + std::to_string(start);
            return false;
        }
        if (!std::isfinite(v)) {
            err = "coordinate '" + tok + "' is not finite at offset " + std::to_string(start);
            return false;
        }
        // The polygon booleans refuse such coordinates; say so here instead of "no result".
        if (std::fabs(v) > CGeomFunc::kMaxPolygonCoordinate) {
            err = "coordinate '" + tok + "' is beyond +-1e100 at offset " + std::to_string(start);
            return false;
        }
        return true;
    }

    void SkipWs() {
        while (m_i < m_s.size() && std::isspace(static_cast<unsigned char>(m_s[m_i]))) ++m_i;
    }
    std::string PeekWord() {
        size_t save = m_i;
        std::string w = Word();
        m_i = save;
        return w;
    }
    std::string Word() {
        SkipWs();
        std::string w;
        while (m_i < m_s.size() && std::isalpha(static_cast<unsigned char>(m_s[m_i]))) {
            w += static_cast<char>(std::toupper(static_cast<unsigned char>(m_s[m_i])));
            ++m_i;
        }
        return w;
    }
    bool Accept(char c) {
        SkipWs();
        if (m_i < m_s.size() && m_s[m_i] == c) {
            ++m_i;
            return true;
        }
        return false;
    }
    bool Expect(char c, std::string& err) {
        if (Accept(c)) return true;
        err = std::string("expected '") + c + "' at offset " + std::to_string(m_i) +
              (m_i < m_s.size() ? std::string(", found '") + m_s[m_i] + "'" : std::string(", found end of text"));
        return false;
    }

    const std::string& m_s;
    size_t m_i = 0;
};

void AppendRing(std::string& s, const std::vector<Pt>& ring) {
    s += '(';
    for (size_t i = 0; i <= ring.size(); ++i) {
        const Pt& p = ring[i % ring.size()];  // repeat the first point to close the ring
        if (i) s += ", ";
        s += FormatNumber(p.x) + " " + FormatNumber(p.y);
    }
    s += ')';
}

void AppendPolygon(std::string& s, const WktPolygon& p) {
    s += '(';
    bool first = true;
    for (const auto& r : p.rings) {
        if (r.empty()) continue;
        if (!first) s += ", ";
        first = false;
        AppendRing(s, r);
    }
    s += ')';
}

}  // namespace

bool ParseWktPolygon(const std::string& text, WktPolygon& out, std::string& err) {
    out.rings.clear();
    Parser p(text);
    return p.Polygon(out, err);
}

std::string FormatNumber(double v) {
    if (v == 0.0) return "0";  // also folds -0 so output stays tidy
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15g", v);
    return buf;
}

std::string FormatWkt(const std::vector<WktPolygon>& polys) {
    if (polys.empty()) return "POLYGON EMPTY";
    std::string s;
    if (polys.size() == 1) {
        s = "POLYGON ";
        AppendPolygon(s, polys[0]);
        return s;
    }
    s = "MULTIPOLYGON (";
    for (size_t i = 0; i < polys.size(); ++i) {
        if (i) s += ", ";
        AppendPolygon(s, polys[i]);
    }
    s += ')';
    return s;
}

double SignedRingArea(const std::vector<Pt>& ring) {
    double a = 0.0;
    const size_t n = ring.size();
    for (size_t i = 0; i < n; ++i) {
        const Pt& p = ring[i];
        const Pt& q = ring[(i + 1) % n];
        a += p.x * q.y - q.x * p.y;
    }
    return 0.5 * a;
}

}  // namespace gorv_cli
