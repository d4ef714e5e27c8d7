// The square grid of cells that the section's indexes lay over their items: about one cell per
// item, a position's cell found by rounding down and clamped to the grid. The cell of a position
// never comes before that of a smaller one, so an item listed in the cells from its box's low
// corner to its high corner is listed in the cell of every position inside the box.
#pragma once

#include <cmath>
#include <cstddef>

namespace detail {

struct SmSquareGrid {
    double lo[2] = {0.0, 0.0};
    double dCell = 0.0;
    int nSide = 0;

    // Lays the grid over the square at (dLoX, dLoY) of side dExtent, with at least n cells (at
    // most 1024 a side). False when the cell size is not positive and finite: the caller then
    // goes without the grid.
    bool Set(double dLoX, double dLoY, double dExtent, std::size_t n) {
        nSide = 1;
        while (static_cast<std::size_t>(nSide) * nSide < n && nSide < 1024) ++nSide;
        dCell = dExtent / nSide;
        lo[0] = dLoX;
        lo[1] = dLoY;
        return dCell > 0.0 && std::isfinite(dCell);
    }
    std::size_t CellCount() const { return static_cast<std::size_t>(nSide) * static_cast<std::size_t>(nSide); }
    int Cell(double v, int nAxis) const {
        const double c = std::floor((v - lo[nAxis]) / dCell);
        if (!(c > 0.0)) return 0;
        return c >= nSide - 1 ? nSide - 1 : static_cast<int>(c);
    }
    std::size_t Index(int cx, int cy) const {
        return static_cast<std::size_t>(cy) * static_cast<std::size_t>(nSide) + static_cast<std::size_t>(cx);
    }
    // Index of the cell of position (x, y).
    std::size_t IndexAt(double x, double y) const { return Index(Cell(x, 0), Cell(y, 1)); }
};

}  // namespace detail
