// WKT POLYGON/MULTIPOLYGON reader and writer of the polygon command. The reader is a small
// recursive-descent parser that reports the first problem with its ring and text offset.
#include "wkt.h"

#include <gorv/geom/geom_func.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace gorv_cli {
namespace {

class Parser {
public:
    explicit Parser(const std::string& s) : m_s(s) {}

    bool Operand(gorv_cli::Operand& out, std::string& err) {
        out.clear();
        std::string kw = Word();
        if (kw != "POLYGON" && kw != "MULTIPOLYGON") {
            err = kw.empty() ? "expected POLYGON or MULTIPOLYGON at offset " + std::to_string(m_i)
                             : "expected POLYGON or MULTIPOLYGON, found '" + kw + "'";
            return false;
        }
        const std::string z = PeekWord();
        if (z == "Z" || z == "M" || z == "ZM") {
            err = "only 2D coordinates are supported (found " + kw + " " + z + ")";
            return false;
        }
        if (z == "EMPTY") {
            Word();
        } else if (kw == "POLYGON") {
            out.emplace_back();
            if (!PolygonBody(out.back(), 0, err)) return false;
        } else {
            if (!Expect('(', err)) return false;
            do {
                out.emplace_back();
                if (!PolygonBody(out.back(), out.size() - 1, err)) return false;
            } while (Accept(','));
            if (!Expect(')', err)) return false;
        }
        SkipWs();
        if (m_i < m_s.size()) {
            err = "unexpected text after the " + kw + " at offset " + std::to_string(m_i);
            return false;
        }
        return true;
    }

private:
    bool PolygonBody(WktPolygon& out, size_t polygon, std::string& err) {
        if (!Expect('(', err)) return false;
        do {
            std::vector<Pt> ring;
            if (!Ring(ring, RingName(polygon, out.rings.size()), err)) return false;
            out.rings.push_back(std::move(ring));
        } while (Accept(','));
        return Expect(')', err);
    }

    bool Ring(std::vector<Pt>& ring, const std::string& name, std::string& err) {
        if (!Expect('(', err)) return false;
        do {
            Pt p{};
            if (!Number(p.x, err) || !Number(p.y, err)) {
                err = name + ": " + err;
                return false;
            }
            SkipWs();
            if (m_i < m_s.size() && (std::isdigit(static_cast<unsigned char>(m_s[m_i])) || m_s[m_i] == '-' ||
                                     m_s[m_i] == '+' || m_s[m_i] == '.')) {
                err = name + ": only 2D coordinates are supported (third number at offset " + std::to_string(m_i) +
                      ")";
                return false;
            }
            ring.push_back(p);
        } while (Accept(','));
        if (!Expect(')', err)) return false;
        return CheckRing(ring, name, err);
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
        return CheckCoordinate(v, tok, " at offset " + std::to_string(start), err);
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
              (m_i < m_s.size() ? ", found '" + ShowChar(m_s[m_i]) + "'" : std::string(", found end of text"));
        return false;
    }

    const std::string& m_s;
    size_t m_i = 0;
};

void AppendRing(std::string& s, const std::vector<Pt>& ring, int decimals) {
    s += '(';
    for (size_t i = 0; i <= ring.size(); ++i) {
        const Pt& p = ring[i % ring.size()];  // repeat the first point to close the ring
        if (i) s += ", ";
        s += FormatNumber(p.x, decimals) + " " + FormatNumber(p.y, decimals);
    }
    s += ')';
}

void AppendPolygon(std::string& s, const WktPolygon& p, int decimals) {
    s += '(';
    bool first = true;
    for (const auto& r : p.rings) {
        if (r.empty()) continue;
        if (!first) s += ", ";
        first = false;
        AppendRing(s, r, decimals);
    }
    s += ')';
}

}  // namespace

std::string ShowChar(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7F) return std::string(1, c);
    static const char kHex[] = "0123456789abcdef";
    return std::string("\\x") + kHex[u >> 4] + kHex[u & 15];
}

std::string OneLine(const std::string& text) {
    std::string o;
    for (char c : text) o += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ShowChar(c) : std::string(1, c);
    return o;
}

std::string RingName(size_t polygon, size_t ring) {
    return "polygon " + std::to_string(polygon + 1) + ", " +
           (ring == 0 ? std::string("outer ring") : "hole " + std::to_string(ring));
}

bool CheckCoordinate(double v, const std::string& text, const std::string& where, std::string& err) {
    if (std::isnan(v)) {
        err = "coordinate is NaN" + where;
        return false;
    }
    if (!std::isfinite(v)) {
        err = "coordinate '" + text + "' is not finite" + where;
        return false;
    }
    // The polygon booleans refuse such coordinates; say so here instead of "no result".
    if (std::fabs(v) > CGeomFunc::kMaxPolygonCoordinate) {
        err = "coordinate '" + text + "' is beyond +-1e100" + where;
        return false;
    }
    return true;
}

bool CheckRing(const std::vector<Pt>& ring, const std::string& name, std::string& err) {
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

bool ParseWkt(const std::string& text, Operand& out, std::string& err) {
    Parser p(text);
    if (p.Operand(out, err)) return true;
    err = OneLine(err);
    return false;
}

std::string FormatNumber(double v, int decimals) {
    if (v == 0.0) return "0";  // also folds -0 so output stays tidy
    char buf[512];           // fixed notation of 1e100 with 20 decimals fits
    std::to_chars_result r = decimals < 0 ? std::to_chars(buf, buf + sizeof buf, v)
                                          : std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (r.ec != std::errc()) return "nan";  // not reached: coordinates are finite and bounded
    std::string s(buf, r.ptr);
    if (decimals > 0) {
        s.erase(s.find_last_not_of('0') + 1);
        if (s.back() == '.') s.pop_back();
    }
    if (s == "-0") s = "0";  // a small negative value rounded away
    return s;
}

std::string FormatWkt(const std::vector<WktPolygon>& polys, int decimals) {
    if (polys.empty()) return "MULTIPOLYGON EMPTY";
    std::string s;
    if (polys.size() == 1) {
        s = "POLYGON ";
        AppendPolygon(s, polys[0], decimals);
        return s;
    }
    s = "MULTIPOLYGON (";
    for (size_t i = 0; i < polys.size(); ++i) {
        if (i) s += ", ";
        AppendPolygon(s, polys[i], decimals);
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
