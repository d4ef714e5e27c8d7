// SVG rendering of a polygon boolean. Model coordinates are mapped to a fixed 640-pixel drawing
// area with the y axis flipped (model y up), keeping the aspect ratio.
#include "svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace gorv_cli {
namespace {

struct Frame {
    double minX = 1e300, minY = 1e300, maxX = -1e300, maxY = -1e300;
    double scale = 1.0;
    double offX = 0.0, offY = 0.0;  // pixel position of (minX, maxY)

    void Add(const WktPolygon& p) {
        for (const auto& r : p.rings)
            for (const Pt& q : r) {
                minX = std::min(minX, q.x);
                maxX = std::max(maxX, q.x);
                minY = std::min(minY, q.y);
                maxY = std::max(maxY, q.y);
            }
    }
    void Fit(double size, double margin) {
        if (minX > maxX) minX = maxX = minY = maxY = 0.0;  // nothing to draw
        double w = maxX - minX, h = maxY - minY;
        double ext = std::max(w, h);
        scale = ext > 0.0 ? size / ext : 1.0;
        offX = margin + (size - w * scale) / 2.0;
        offY = margin + (size - h * scale) / 2.0;
    }
    double X(double x) const { return offX + (x - minX) * scale; }
    double Y(double y) const { return offY + (maxY - y) * scale; }
};

std::string Num(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

std::string PathData(const Frame& f, const WktPolygon& p) {
    std::string d;
    for (const auto& r : p.rings) {
        size_t n = r.size();
        // Input rings repeat their first point; the closing "Z" already draws that edge.
        if (n > 1 && r.front().x == r.back().x && r.front().y == r.back().y) --n;
        for (size_t i = 0; i < n; ++i) {
            d += (i == 0 ? "M" : "L") + Num(f.X(r[i].x)) + "," + Num(f.Y(r[i].y)) + " ";
        }
        if (n) d += "Z ";
    }
    return d;
}

std::string Escape(const std::string& s) {
    std::string o;
    for (char c : s) {
        if (c == '<') o += "&lt;";
        else if (c == '>') o += "&gt;";
        else if (c == '&') o += "&amp;";
        else o += c;
    }
    return o;
}

}  // namespace

std::string RenderBooleanSvg(const WktPolygon& a, const WktPolygon& b, const std::vector<WktPolygon>& result,
                             const std::string& title) {
    const double size = 640.0, margin = 20.0, legendH = 70.0;
    Frame f;
    f.Add(a);
    f.Add(b);
    for (const auto& r : result) f.Add(r);
    f.Fit(size, margin);
    const double width = size + 2 * margin, height = size + 2 * margin + legendH;

    std::string s;
    s += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    s += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + Num(width) + "\" height=\"" + Num(height) +
         "\" viewBox=\"0 0 " + Num(width) + " " + Num(height) + "\">\n";
    s += "<rect x=\"0\" y=\"0\" width=\"" + Num(width) + "\" height=\"" + Num(height) + "\" fill=\"white\"/>\n";
    std::string res;
    for (const auto& r : result) res += PathData(f, r);
    if (!res.empty())
        s += "<path d=\"" + res + "\" fill=\"#4caf50\" fill-opacity=\"0.55\" fill-rule=\"evenodd\" "
             "stroke=\"#1b5e20\" stroke-width=\"1.5\"/>\n";
    s += "<path d=\"" + PathData(f, a) + "\" fill=\"none\" stroke=\"#1565c0\" stroke-width=\"2\" "
         "stroke-dasharray=\"8,4\" fill-rule=\"evenodd\"/>\n";
    s += "<path d=\"" + PathData(f, b) + "\" fill=\"none\" stroke=\"#c62828\" stroke-width=\"2\" "
         "stroke-dasharray=\"3,3\" fill-rule=\"evenodd\"/>\n";

    // Legend below the drawing.
    const double ly = size + 2 * margin + 10.0;
    auto item = [&](double x, const std::string& swatch, const std::string& label) {
        s += "<g transform=\"translate(" + Num(x) + "," + Num(ly) + ")\">" + swatch +
             "<text x=\"30\" y=\"12\" font-family=\"sans-serif\" font-size=\"13\">" + Escape(label) + "</text></g>\n";
    };
    item(margin, "<line x1=\"0\" y1=\"8\" x2=\"24\" y2=\"8\" stroke=\"#1565c0\" stroke-width=\"2\" "
                 "stroke-dasharray=\"8,4\"/>", "A");
    item(margin + 90, "<line x1=\"0\" y1=\"8\" x2=\"24\" y2=\"8\" stroke=\"#c62828\" stroke-width=\"2\" "
                      "stroke-dasharray=\"3,3\"/>", "B");
    item(margin + 180, "<rect x=\"0\" y=\"0\" width=\"24\" height=\"16\" fill=\"#4caf50\" fill-opacity=\"0.55\" "
                       "stroke=\"#1b5e20\"/>",
         result.empty() ? "result (none)" : "result (" + std::to_string(result.size()) + " polygon" +
                                                (result.size() == 1 ? ")" : "s)"));
    s += "<text x=\"" + Num(margin) + "\" y=\"" + Num(ly + 40) +
         "\" font-family=\"sans-serif\" font-size=\"13\" fill=\"#333\">" + Escape(title) + "  [x " +
         Escape(FormatNumber(f.minX)) + " .. " + Escape(FormatNumber(f.maxX)) + ", y " +
         Escape(FormatNumber(f.minY)) + " .. " + Escape(FormatNumber(f.maxY)) + "]</text>\n";
    s += "</svg>\n";
    return s;
}

}  // namespace gorv_cli
