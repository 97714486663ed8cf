#include <brindle/path.h>

#include <cmath>
#include <cstdio>
#include <new>

#include "core/error_log.h"
#include "lang/number_convert.h"
#include "path/planner.h"

namespace {

// Truncates a coordinate; values that do not fit (or are not a number) give
// -1, which lies outside every grid.
int32_t CellCoordinate(double v) {
    int cell;
    return TruncInRange(v, -2147483647, 2147483647, cell) ? cell : -1;
}

void EmptyPath(NumberArray& path) { DimArray(path, 0, 2); }

}  // namespace

double FindPath(NumberArray& costs, NumberArray& path, double weight, double startX,
                double startY, double goalX, double goalY) {
    PlanRequest r{};
    r.startX = CellCoordinate(startX);
    r.startY = CellCoordinate(startY);
    r.goalX = CellCoordinate(goalX);
    r.goalY = CellCoordinate(goalY);
    r.diagonalCost = 1;
    r.allowDiagonal = 0;
    r.maxNodes = 0;
    r.openCapacity = 0;
    r.hashBits = 8;
    r.weight = std::isnan(weight) ? 0.0f : static_cast<float>(weight < 0 ? 0 : (weight > 1 ? 1 : weight));
    r.width = costs.size1;
    r.height = costs.size2;
    r.costs = costs.data;
    // Only the elements the array really holds.
    if (r.width > 0 && r.height > 0 &&
        static_cast<int64_t>(r.width) * r.height > static_cast<int64_t>(costs.capacity))
        r.costs = nullptr;

    double cells = 0;
    try {
        AStarPlanner planner;
        if (planner.Setup(r)) {
            planner.BeginSearch();
            planner.Search();
            // The parents lead back to the start: g falls strictly along them.
            // Counting stays bounded by the grid all the same.
            const int64_t limit = static_cast<int64_t>(r.width) * r.height;
            int64_t n = 0;
            for (Node* node = planner.Path(); node && n <= limit; node = node->parent) ++n;
            if (n > 0 && n <= limit) {
                DimArray(path, static_cast<double>(n), 2);
                int64_t i = n;
                for (Node* node = planner.Path(); node; node = node->parent) {
                    --i;
                    path(static_cast<double>(i), 0) = node->x;
                    path(static_cast<double>(i), 1) = node->y;
                }
                cells = static_cast<double>(n);
            }
            planner.ClearSearch();
        }
    } catch (const std::bad_alloc&) {
        char line[96];
        std::snprintf(line, sizeof line, "FindPath: not enough memory for a %d x %d grid",
                      static_cast<int>(r.width), static_cast<int>(r.height));
        AppendErrorLog(line);
        cells = 0;
    }
    if (cells == 0) EmptyPath(path);
    return cells;
}
