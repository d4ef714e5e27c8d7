// Reads the rings of "POLYGON ((x y, ...), (...))" as written (closing points kept, as the polygon
// boolean entry points expect). For trusted test and benchmark data only: no error reporting.
#pragma once

#include <gorv/gorv_base.h>

#include <cstdlib>
#include <string>

namespace gorv_support {

inline T_GORV_COMPLEX_POLYGON2D ParseWkt(const std::string& s) {
    T_GORV_COMPLEX_POLYGON2D c;
    int depth = 0, rings = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == ')') --depth;
        if (s[i] != '(' || ++depth != 2) continue;
        T_GORV_POLYGON2D r;
        const char* p = s.c_str() + i + 1;
        while (*p != ')' && *p != '\0') {
            char* q = nullptr;
            T_GORV_POINT2D pt;
            pt.x = std::strtod(p, &q);
            pt.y = std::strtod(q, &q);
            r.points.Add(pt);
            while (*q == ',' || *q == ' ') ++q;
            p = q;
        }
        i = static_cast<size_t>(p - s.c_str()) - 1;
        if (rings++ == 0) c.outer = r;
        else c.holes.Add(r);
    }
    return c;
}

}  // namespace gorv_support
