// `gorv polygon union|intersect|subtract A B [options]`: one polygon boolean of the library on two
// operands read as WKT or GeoJSON, the result printed as WKT, GeoJSON, JSON or SVG.
// Exit codes: 0 result, 1 no result (empty or failed), 2 bad input or arguments.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <gorv/gorv_base.h>

#include "cli_io.h"
#include "commands.h"
#include "geojson.h"
#include "svg.h"
#include "wkt.h"

namespace {

using gorv_cli::Operand;
using gorv_cli::Pt;
using gorv_cli::WktPolygon;

const char kCmd[] = "polygon";

const char* const kHelp =
    "usage: gorv polygon union|intersect|subtract A B [options]\n"
    "  A, B: WKT POLYGON or MULTIPOLYGON, or GeoJSON (Polygon, MultiPolygon, or a Feature,\n"
    "        FeatureCollection or GeometryCollection of them), given as text, as a file, or as -\n"
    "        for standard input; all polygons of one input form one operand (their union).\n"
    "        Rings are closed: the last point repeats the first.\n"
    "  --engine E     overlay (default): the overlay engine; any number of polygons per operand\n"
    "                 modeler: the section modeler's rules; one polygon per operand\n"
    "  (an option's value may also follow '=': --tol=0.01)\n"
    "  --tol T        snapping tolerance (default 0.001); with the overlay engine for all three\n"
    "                 operations, with the modeler for subtract only (its union and intersect\n"
    "                 always use 0.001)\n"
    "  --precision N  print coordinates rounded to N decimals (0 to 17) instead of the shortest\n"
    "                 text that reads back as the same number\n"
    "  --geojson      print the result as one GeoJSON geometry (Polygon or MultiPolygon)\n"
    "  --json         print rings and areas as JSON\n"
    "  --svg FILE     draw A, B and the result into FILE; --svg - prints the SVG instead of WKT\n"
    "  --explain      with --engine modeler: print the texts the modeler composed\n"
    "exit codes: 0 result; 1 no result (\"the result is empty\", or the reason it failed);\n"
    "            2 bad input or arguments (one line on standard error naming the problem;\n"
    "            polygons and holes are counted from 1)\n";

// Reads operand `name` from WKT or GeoJSON text, or from the file (or "-") that arg names. An
// argument that names an existing path is a file; otherwise one holding '(' or '{' or ending in
// EMPTY is text.
bool ReadOperand(const char* name, const std::string& arg, Operand& out, std::string& err) {
    std::string text = arg;
    std::string upper;
    for (char c : arg) upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const size_t last = upper.find_last_not_of(" \t\r\n");
    const bool textLike = gorv_cli::LooksLikeGeoJson(arg) || arg.find('(') != std::string::npos ||
                          (last != std::string::npos && last >= 4 && upper.compare(last - 4, 5, "EMPTY") == 0);
    std::error_code ec;
    const bool inlineText = arg != "-" && textLike && !std::filesystem::exists(arg, ec);
    if (!inlineText && !gorv_cli::ReadInput(arg, text, err)) {
        const bool missing = err.compare(0, 12, "no such file") == 0;
        err = std::string(name) + ": " + err + (missing && !textLike ? " (nor WKT or GeoJSON text)" : "");
        return false;
    }
    const bool ok = gorv_cli::LooksLikeGeoJson(text) ? gorv_cli::ParseGeoJson(text, out, err)
                                                      : gorv_cli::ParseWkt(text, out, err);
    if (!ok) err = std::string(name) + ": " + err;
    return ok;
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

std::string JsonRing(const std::vector<Pt>& r, int decimals) {
    std::string s = "[";
    for (size_t i = 0; i < r.size(); ++i) {
        if (i) s += ", ";
        s += "[" + gorv_cli::FormatNumber(r[i].x, decimals) + ", " + gorv_cli::FormatNumber(r[i].y, decimals) + "]";
    }
    return s + "]";
}

std::string Json(const std::string& op, const std::string& engine, double tol, const std::vector<WktPolygon>& result,
                 int decimals, const std::vector<std::string>* explain) {
    double total = 0.0;
    for (const auto& p : result) total += PolygonArea(p);
    std::string s = "{\n  \"operation\": " + JsonString(op) + ",\n  \"engine\": " + JsonString(engine) +
                    ",\n  \"tolerance\": " + gorv_cli::FormatNumber(tol) + ",\n  \"count\": " +
                    std::to_string(result.size()) + ",\n  \"area\": " + gorv_cli::FormatNumber(total) +
                    ",\n  \"polygons\": [";
    for (size_t i = 0; i < result.size(); ++i) {
        const WktPolygon& p = result[i];
        s += i ? ",\n    {" : "\n    {";
        s += "\"area\": " + gorv_cli::FormatNumber(PolygonArea(p));
        s += ", \"outer\": " + (p.rings.empty() ? std::string("[]") : JsonRing(p.rings[0], decimals));
        s += ", \"holes\": [";
        for (size_t h = 1; h < p.rings.size(); ++h) s += (h > 1 ? ", " : "") + JsonRing(p.rings[h], decimals);
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

const char* ProblemText(GORV_BOOLEAN_PROBLEM p) {
    switch (p) {
        case GORV_PROBLEM_TOLERANCE: return "the tolerance must be a positive finite number";
        case GORV_PROBLEM_COORDINATE: return "a coordinate is not finite or beyond +-1e100";
        case GORV_PROBLEM_TOO_FEW_VERTICES: return "the ring has fewer than three distinct vertices";
        case GORV_PROBLEM_SELF_CROSSING: return "the ring crosses itself";
        case GORV_PROBLEM_HOLE_CROSSES_OUTER: return "the hole crosses its outer ring";
        case GORV_PROBLEM_HOLE_OUTSIDE: return "the hole lies outside its outer ring";
        case GORV_PROBLEM_HOLES_OVERLAP: return "the hole overlaps another hole";
        case GORV_PROBLEM_HOLES_NESTED: return "the hole lies inside another hole";
        case GORV_PROBLEM_NONE: break;
    }
    return "invalid input";
}

// "invalid input: A, polygon 1, hole 2: the hole lies outside its outer ring" from the engine's
// report.
std::string InvalidInput(const T_GORV_BOOLEAN_REPORT& rep) {
    std::string where;
    if (rep.nOperand == 0 || rep.nOperand == 1) {
        where = rep.nOperand == 0 ? "A" : "B";
        if (rep.nPolygon >= 0 && rep.nRing >= 0)
            where += ", " + gorv_cli::RingName(static_cast<size_t>(rep.nPolygon), static_cast<size_t>(rep.nRing));
        else if (rep.nPolygon >= 0)
            where += ", polygon " + std::to_string(rep.nPolygon + 1);
        where += ": ";
    }
    // The engine's own message counts from 0; the tool counts polygons and holes from 1 (as its
    // WKT and GeoJSON readers do), so it words the problem itself.
    // A problem of no ring (the tolerance) is worded best by the engine, which knows its bounds.
    if (rep.nOperand < 0 && !rep.strMessage.empty()) return "invalid input: " + rep.strMessage;
    return "invalid input: " + where + ProblemText(rep.eProblem);
}

struct Options {
    std::string op;
    std::string engine = "overlay";
    std::string svgPath;
    bool json = false, geojson = false, explain = false, tolGiven = false;
    double tol = 0.001;
    int decimals = -1;
};

// Parses the arguments after "polygon"; returns -1 when they are fine, else the exit code.
int ParseArgs(int argc, char** argv, Options& o, std::vector<std::string>& pos) {
    for (int i = 1; i < argc; ++i) {
        // --name=value is the same as --name value.
        std::string a = argv[i], inlineValue;
        const size_t eq = a.find('=');
        const bool hasInline = a.compare(0, 2, "--") == 0 && eq != std::string::npos;
        if (hasInline) {
            inlineValue = a.substr(eq + 1);
            a.erase(eq);
        }
        if (a == "-h" || a == "--help") {
            std::fputs(kHelp, stdout);
            return 0;
        }
        if (hasInline && (a == "--json" || a == "--geojson" || a == "--explain"))
            return gorv_cli::UsageError(kCmd, a + " takes no value");
        if (a == "--json") {
            o.json = true;
        } else if (a == "--geojson") {
            o.geojson = true;
        } else if (a == "--explain") {
            o.explain = true;
        } else if (a == "--svg" || a == "--tol" || a == "--engine" || a == "--precision") {
            if (!hasInline && i + 1 >= argc) return gorv_cli::UsageError(kCmd, a + " needs a value");
            const std::string v = hasInline ? inlineValue : argv[++i];
            if (a == "--svg") {
                if (v.empty()) return gorv_cli::UsageError(kCmd, "--svg needs a file name (or - for standard output)");
                o.svgPath = v;
            } else if (a == "--engine") {
                if (v != "overlay" && v != "modeler")
                    return gorv_cli::UsageError(kCmd, "unknown engine '" + v + "' (use overlay or modeler)");
                o.engine = v;
            } else if (a == "--precision") {
                char* end = nullptr;
                const long n = std::strtol(v.c_str(), &end, 10);
                if (v.empty() || *end != '\0' || n < 0 || n > 17)
                    return gorv_cli::UsageError(kCmd, "--precision needs a whole number from 0 to 17, got '" + v + "'");
                o.decimals = static_cast<int>(n);
            } else {
                char* end = nullptr;
                o.tol = std::strtod(v.c_str(), &end);
                if (v.empty() || *end != '\0' || !std::isfinite(o.tol) || o.tol <= 0.0)
                    return gorv_cli::UsageError(kCmd, "--tol needs a positive finite number, got '" + v + "'");
                o.tolGiven = true;
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return gorv_cli::UsageError(kCmd, "unknown option " + a);
        } else {
            pos.push_back(a);
        }
    }
    if (pos.size() != 3) return gorv_cli::UsageError(kCmd, "expected an operation and two operands");
    o.op = pos[0];
    if (o.op != "union" && o.op != "intersect" && o.op != "subtract")
        return gorv_cli::UsageError(kCmd, "unknown operation '" + o.op + "' (use union, intersect or subtract)");
    if (pos[1] == "-" && pos[2] == "-")
        return gorv_cli::UsageError(kCmd, "only one operand can come from standard input");
    const int toStdout = (o.json ? 1 : 0) + (o.geojson ? 1 : 0) + (o.svgPath == "-" ? 1 : 0);
    if (toStdout > 1) return gorv_cli::UsageError(kCmd, "choose one of --json, --geojson and --svg -");
    if (o.explain && o.engine != "modeler")
        return gorv_cli::UsageError(kCmd, "--explain shows the section modeler's texts; add --engine modeler");
    return -1;
}

// Runs the section modeler's entry point; an empty result means "no result".
std::vector<WktPolygon> RunModeler(const Options& o, const WktPolygon& a, const WktPolygon& b, double tol,
                                   std::vector<std::string>& texts) {
    if (o.explain) CGeomFunc::SetBooleanTextObserver(&CollectText, &texts);
    CArray<T_GORV_COMPLEX_POLYGON2D> out;
    const T_GORV_COMPLEX_POLYGON2D la = ToLibrary(a), lb = ToLibrary(b);
    if (o.op == "union") CGeomFunc::Union2Polygon(la, lb, out);
    else if (o.op == "intersect") CGeomFunc::Intersect2Polygon(la, lb, out);
    else CGeomFunc::Subtract2Polygon(la, lb, out, tol);
    if (o.explain) CGeomFunc::SetBooleanTextObserver(nullptr, nullptr);
    std::vector<WktPolygon> result;
    for (INT_PTR i = 0; i < out.GetSize(); ++i) result.push_back(FromLibrary(out[i]));
    if (o.explain && result.empty()) {
        std::string why = ShortEdge("A", a, tol);
        if (why.empty()) why = ShortEdge("B", b, tol);
        if (!why.empty()) texts.push_back(why);
    }
    return result;
}

// Prints the result in the chosen form (and writes the SVG file). Returns false after reporting
// a failed SVG write.
bool PrintResult(const Options& o, double tol, const Operand& a, const Operand& b,
                 const std::vector<WktPolygon>& result, bool printEmpty, const std::vector<std::string>& texts,
                 int& rc) {
    if (!o.svgPath.empty()) {
        WktPolygon all[2];
        for (int k = 0; k < 2; ++k)
            for (const WktPolygon& p : k == 0 ? a : b)
                all[k].rings.insert(all[k].rings.end(), p.rings.begin(), p.rings.end());
        std::string err;
        if (!gorv_cli::WriteOutput(o.svgPath, gorv_cli::RenderBooleanSvg(all[0], all[1], result, "A " + o.op + " B"),
                                   err)) {
            rc = gorv_cli::InputError(kCmd, err);
            return false;
        }
    }
    if (o.json) {
        std::fputs(Json(o.op, o.engine, tol, result, o.decimals, o.explain ? &texts : nullptr).c_str(), stdout);
    } else if (o.geojson) {
        if (printEmpty || !result.empty()) std::printf("%s\n", gorv_cli::FormatGeoJson(result, o.decimals).c_str());
    } else if (o.svgPath != "-") {
        if (printEmpty || !result.empty()) std::printf("%s\n", gorv_cli::FormatWkt(result, o.decimals).c_str());
    }
    if (o.explain && !o.json)
        for (const auto& t : texts) PrintExplained(t);
    return true;
}

}  // namespace

int gorv_cmd_polygon(int argc, char** argv) {
    Options o;
    std::vector<std::string> pos;
    const int argRc = ParseArgs(argc, argv, o, pos);
    if (argRc >= 0) return argRc;

    Operand a, b;
    std::string err;
    if (!ReadOperand("A", pos[1], a, err) || !ReadOperand("B", pos[2], b, err)) return gorv_cli::InputError(kCmd, err);

    std::vector<std::string> texts;
    std::vector<WktPolygon> result;
    double tol = o.tol;
    int rc = 0;
    if (o.engine == "modeler") {
        for (const char* name : {"A", "B"}) {
            const Operand& p = *name == 'A' ? a : b;
            if (p.size() != 1)
                return gorv_cli::UsageError(kCmd, std::string(name) + " has " + std::to_string(p.size()) +
                                                      " polygons; --engine modeler takes one polygon per operand");
        }
        if (o.op != "subtract" && o.tolGiven && o.tol != 0.001)
            std::fprintf(stderr, "gorv polygon: note: the modeler's %s always uses the tolerance 0.001; --tol ignored\n",
                         o.op.c_str());
        if (o.op != "subtract") tol = 0.001;
        result = RunModeler(o, a[0], b[0], tol, texts);
        if (!PrintResult(o, tol, a, b, result, false, texts, rc)) return rc;
        if (result.empty()) {
            std::fprintf(stderr, "gorv polygon: no result: %s%s\n",
                         o.op == "union" ? "the polygons could not be combined"
                                         : "no common area, or the polygons could not be combined",
                         o.explain ? "" : " (see --explain)");
            return 1;
        }
        return 0;
    }

    CArray<T_GORV_COMPLEX_POLYGON2D> la, lb, out;
    for (const WktPolygon& p : a) la.Add(ToLibrary(p));
    for (const WktPolygon& p : b) lb.Add(ToLibrary(p));
    T_GORV_BOOLEAN_OPTIONS opts;
    opts.dTolerance = tol;
    const GORV_BOOLEAN_OP op = o.op == "union"       ? GORV_BOOLEAN_UNION
                               : o.op == "intersect" ? GORV_BOOLEAN_INTERSECT
                                                     : GORV_BOOLEAN_SUBTRACT;
    const T_GORV_BOOLEAN_REPORT rep = CGeomFunc::PolygonBoolean(op, la, lb, out, opts);
    switch (rep.eStatus) {
        case GORV_BOOLEAN_RESULT:
        case GORV_BOOLEAN_EMPTY:
            for (INT_PTR i = 0; i < out.GetSize(); ++i) result.push_back(FromLibrary(out[i]));
            if (!PrintResult(o, tol, a, b, result, true, texts, rc)) return rc;
            if (rep.eStatus == GORV_BOOLEAN_EMPTY || result.empty()) {
                std::fprintf(stderr, "gorv polygon: the result is empty\n");
                return 1;
            }
            return 0;
        case GORV_BOOLEAN_INVALID:
            return gorv_cli::InputError(kCmd, InvalidInput(rep));
        case GORV_BOOLEAN_FAILED:
            break;
    }
    std::fprintf(stderr, "gorv polygon: failed: %s\n",
                 rep.strMessage.empty() ? "the overlay engine could not finish" : rep.strMessage.c_str());
    return 1;
}
