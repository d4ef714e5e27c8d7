// `gorv polygon union|intersect|subtract A B [--tol T] [--svg FILE] [--json] [--explain]`:
// runs one polygon boolean of the library on two WKT polygons and prints the result.
// Exit codes: 0 result, 1 no result, 2 bad input or arguments.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include <gorv/gorv_base.h>

#include "commands.h"
#include "svg.h"
#include "wkt.h"

namespace {

using gorv_cli::Pt;
using gorv_cli::WktPolygon;

const char* const kUsageLine =
    "usage: gorv polygon union|intersect|subtract A B [--tol T] [--svg FILE] [--json] [--explain]\n";
const char* const kHelp =
    "  A, B: WKT POLYGON text, a file holding it, or - for standard input\n"
    "        (rings closed: the last point repeats the first)\n"
    "  --tol T    snapping tolerance of subtract (union and intersect always use 0.001)\n"
    "  --svg FILE draw A, B and the result into FILE\n"
    "  --json     print rings and areas as JSON instead of WKT\n"
    "  --explain  print the texts the section modeler composed (why there is no result)\n"
    "exit codes: 0 result, 1 no result, 2 bad input\n";

int BadInput(const std::string& msg) {
    std::fprintf(stderr, "gorv polygon: %s\n%s", msg.c_str(), kUsageLine);
    return 2;
}

bool LooksLikeWkt(const std::string& s) {
    size_t i = s.find_first_not_of(" \t\r\n");
    if (i == std::string::npos) return false;
    std::string w;
    while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])))
        w += static_cast<char>(std::toupper(static_cast<unsigned char>(s[i++])));
    return w == "POLYGON" || w == "MULTIPOLYGON";
}

// Reads operand `name` from WKT text or from the file that arg names.
bool ReadOperand(const char* name, const std::string& arg, WktPolygon& out, std::string& err) {
    std::string text = arg;
    if (arg == "-") {
        std::ostringstream ss;
        ss << std::cin.rdbuf();
        text = ss.str();
    } else if (!LooksLikeWkt(arg)) {
        std::ifstream in(arg, std::ios::binary);
        if (!in) {
            err = std::string(name) + ": '" + arg + "' is neither WKT POLYGON text nor a readable file";
            return false;
        }
        std::ostringstream ss;
        ss << in.rdbuf();
        text = ss.str();
    }
    if (!gorv_cli::ParseWktPolygon(text, out, err)) {
        err = std::string(name) + ": " + err;
        return false;
    }
    return true;
}

T_GORV_POLYGON2D ToRing(const std::vector<Pt>& r) {
    T_GORV_POLYGON2D poly;
    for (const Pt& p : r) {
        T_GORV_POINT2D q;
        q.x = p.x;
        q.y = p.y;
        poly.points.Add(q);
    }
    return poly;
}

T_GORV_COMPLEX_POLYGON2D ToLibrary(const WktPolygon& w) {
    T_GORV_COMPLEX_POLYGON2D c;
    for (size_t i = 0; i < w.rings.size(); ++i) {
        if (i == 0) c.outer = ToRing(w.rings[i]);
        else c.holes.Add(ToRing(w.rings[i]));
    }
    return c;
}

std::vector<Pt> FromRing(const T_GORV_POLYGON2D& r) {
    std::vector<Pt> out;
    for (INT_PTR i = 0; i < r.points.GetSize(); ++i) out.push_back(Pt{r.points[i].x, r.points[i].y});
    return out;
}

WktPolygon FromLibrary(const T_GORV_COMPLEX_POLYGON2D& c) {
    WktPolygon w;
    w.rings.push_back(FromRing(c.outer));
    for (INT_PTR i = 0; i < c.holes.GetSize(); ++i) w.rings.push_back(FromRing(c.holes[i]));
    return w;
}

double PolygonArea(const WktPolygon& p) {
    double a = 0.0;
    for (size_t i = 0; i < p.rings.size(); ++i) {
        double r = std::fabs(gorv_cli::SignedRingArea(p.rings[i]));
        a += i == 0 ? r : -r;
    }
    return a;
}

std::string JsonString(const std::string& s) {
    std::string o = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            o += '\\';
            o += static_cast<char>(c);
        } else if (c == '\n') {
            o += "\\n";
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            o += buf;
        } else {
            o += static_cast<char>(c);
        }
    }
    return o + "\"";
}

std::string JsonRing(const std::vector<Pt>& r) {
    std::string s = "[";
    for (size_t i = 0; i < r.size(); ++i) {
        if (i) s += ", ";
        s += "[" + gorv_cli::FormatNumber(r[i].x) + ", " + gorv_cli::FormatNumber(r[i].y) + "]";
    }
    return s + "]";
}

std::string Json(const std::string& op, double tol, const std::vector<WktPolygon>& result,
                 const std::vector<std::string>* explain) {
    double total = 0.0;
    for (const auto& p : result) total += PolygonArea(p);
    std::string s = "{\n  \"operation\": " + JsonString(op) + ",\n  \"tolerance\": " + gorv_cli::FormatNumber(tol) +
                    ",\n  \"count\": " + std::to_string(result.size()) + ",\n  \"area\": " +
                    gorv_cli::FormatNumber(total) + ",\n  \"polygons\": [";
    for (size_t i = 0; i < result.size(); ++i) {
        const WktPolygon& p = result[i];
        s += i ? ",\n    {" : "\n    {";
        s += "\"area\": " + gorv_cli::FormatNumber(PolygonArea(p));
        s += ", \"outer\": " + (p.rings.empty() ? std::string("[]") : JsonRing(p.rings[0]));
        s += ", \"holes\": [";
        for (size_t h = 1; h < p.rings.size(); ++h) s += (h > 1 ? ", " : "") + JsonRing(p.rings[h]);
        s += "]}";
    }
    s += result.empty() ? "]" : "\n  ]";
    if (explain) {
        s += ",\n  \"explain\": [";
        for (size_t i = 0; i < explain->size(); ++i) s += (i ? ", " : "") + JsonString((*explain)[i]);
        s += "]";
    }
    return s + "\n}\n";
}

void CollectText(void* ctx, int kind, const wchar_t* text) {
    static const char* const kKinds[] = {"notice", "warning", "question (answered yes)", "message", "step"};
    std::string k = kind >= 0 && kind < 5 ? kKinds[kind] : "text";
    static_cast<std::vector<std::string>*>(ctx)->push_back(k + ": " + CString(text).ToUtf8());
}

// Prints one composed text, indenting its continuation lines.
void PrintExplained(const std::string& t) {
    std::string line = "explain: ";
    for (char c : t) {
        if (c == '\n') {
            std::fprintf(stderr, "%s\n", line.c_str());
            line = "         ";
        } else {
            line += c;
        }
    }
    std::fprintf(stderr, "%s\n", line.c_str());
}

// The driver refuses an edge shorter than the tolerance before the modeler composes any text, so
// --explain names such an edge itself. Returns "" when every edge is long enough.
std::string ShortEdge(const char* name, const WktPolygon& p, double tol) {
    for (size_t r = 0; r < p.rings.size(); ++r)
        for (size_t i = 0; i + 1 < p.rings[r].size(); ++i) {
            const Pt& a = p.rings[r][i];
            const Pt& b = p.rings[r][i + 1];
            const double len = std::hypot(b.x - a.x, b.y - a.y);
            if (len < tol)
                return std::string("warning: edge ") + std::to_string(i + 1) + " of " + name + "'s " +
                       (r == 0 ? std::string("outer ring") : "hole " + std::to_string(r)) + " is " +
                       gorv_cli::FormatNumber(len) + " long, shorter than the tolerance " +
                       gorv_cli::FormatNumber(tol) + "; no edge may be shorter.";
        }
    return "";
}

}  // namespace

int gorv_cmd_polygon(int argc, char** argv) {
    std::vector<std::string> pos;
    std::string svgPath;
    bool json = false, explain = false, tolGiven = false;
    double tol = 0.001;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--json") {
            json = true;
        } else if (a == "--explain") {
            explain = true;
        } else if (a == "--svg" || a == "--tol") {
            if (i + 1 >= argc) return BadInput(a + " needs a value");
            std::string v = argv[++i];
            if (a == "--svg") {
                svgPath = v;
                continue;
            }
            char* end = nullptr;
            tol = std::strtod(v.c_str(), &end);
            if (v.empty() || *end != '\0' || !std::isfinite(tol) || tol <= 0.0)
                return BadInput("--tol needs a positive finite number, got '" + v + "'");
            tolGiven = true;
        } else if (a == "-h" || a == "--help") {
            std::fputs(kUsageLine, stdout);
            std::fputs(kHelp, stdout);
            return 0;
        } else if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            return BadInput("unknown option " + a);
        } else {
            pos.push_back(a);
        }
    }
    if (pos.size() != 3) return BadInput("expected an operation and two polygons");
    const std::string& op = pos[0];
    if (op != "union" && op != "intersect" && op != "subtract")
        return BadInput("unknown operation '" + op + "' (use union, intersect or subtract)");
    if (op != "subtract" && tolGiven && tol != 0.001)
        std::fprintf(stderr, "gorv polygon: note: %s always uses the tolerance 0.001; --tol ignored\n", op.c_str());
    if (op != "subtract") tol = 0.001;

    WktPolygon a, b;
    std::string err;
    if (!ReadOperand("A", pos[1], a, err) || !ReadOperand("B", pos[2], b, err)) return BadInput(err);

    std::vector<std::string> texts;
    if (explain) CGeomFunc::SetBooleanTextObserver(&CollectText, &texts);
    CArray<T_GORV_COMPLEX_POLYGON2D> out;
    const T_GORV_COMPLEX_POLYGON2D la = ToLibrary(a), lb = ToLibrary(b);
    if (op == "union") CGeomFunc::Union2Polygon(la, lb, out);
    else if (op == "intersect") CGeomFunc::Intersect2Polygon(la, lb, out);
    else CGeomFunc::Subtract2Polygon(la, lb, out, tol);
    if (explain) CGeomFunc::SetBooleanTextObserver(nullptr, nullptr);

    std::vector<WktPolygon> result;
    for (INT_PTR i = 0; i < out.GetSize(); ++i) result.push_back(FromLibrary(out[i]));
    if (explain && result.empty()) {
        std::string why = ShortEdge("A", a, tol);
        if (why.empty()) why = ShortEdge("B", b, tol);
        if (!why.empty()) texts.push_back(why);
    }

    if (!svgPath.empty()) {
        std::ofstream f(svgPath, std::ios::binary);
        f << gorv_cli::RenderBooleanSvg(a, b, result, "A " + op + " B");
        if (!f) return BadInput("cannot write '" + svgPath + "'");
    }
    if (json) {
        std::fputs(Json(op, tol, result, explain ? &texts : nullptr).c_str(), stdout);
    } else {
        if (!result.empty()) std::printf("%s\n", gorv_cli::FormatWkt(result).c_str());
        if (explain)
            for (const auto& t : texts) PrintExplained(t);
    }
    if (result.empty()) {
        std::fprintf(stderr, "gorv polygon: no result: %s%s\n",
                     op == "union" ? "the polygons could not be combined"
                                   : "no common area, or the polygons could not be combined",
                     explain ? "" : " (see --explain)");
        return 1;
    }
    return 0;
}
