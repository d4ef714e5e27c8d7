// Builders of small section models for tests: closed rings of line curves.
#pragma once

#include <gorv/gorv_base.h>

#include <vector>

namespace sect_test {

// Adds the closed ring through the given vertices (last joined back to the first); returns the
// curve ids in order (0 for an edge the model refused).
inline std::vector<int> Ring(CSectModel& m, const std::vector<T_GORV_POINT2D>& v) {
    std::vector<int> ids;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const T_GORV_POINT2D& a = v[i];
        const T_GORV_POINT2D& b = v[(i + 1) % v.size()];
        ids.push_back(m.AddLineCurve(a.x, a.y, b.x, b.y));
    }
    return ids;
}

// Counter-clockwise square with its lower-left corner at (x0, y0).
inline std::vector<T_GORV_POINT2D> Square(double x0, double y0, double s) {
    return {{x0, y0}, {x0 + s, y0}, {x0 + s, y0 + s}, {x0, y0 + s}};
}

}  // namespace sect_test
