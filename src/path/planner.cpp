#include "path/planner.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>

#include "path/search_math.h"

Planner::~Planner() { delete[] costGrid; }

namespace {
bool Inside(int32_t v, int32_t size) { return v >= 0 && v < size; }
}  // namespace

bool Planner::Setup(const PlanRequest& r) {
    if (r.width <= 0 || r.height <= 0 || !r.costs) return false;
    if (!Inside(r.startX, r.width) || !Inside(r.goalX, r.width) ||
        !Inside(r.startY, r.height) || !Inside(r.goalY, r.height))
        return false;
    if (r.startX == r.goalX && r.startY == r.goalY) return false;
    // Cells are numbered in 32 bits (and counted in size_t on i386).
    if (static_cast<uint64_t>(r.width) * static_cast<uint64_t>(r.height) > INT32_MAX) return false;

    // Drop whatever an earlier request left.
    open.Clear();
    closed.Clear();
    factory.GiveBackAll();
    path = nullptr;
    accepted = false;
    delete[] costGrid;
    costGrid = nullptr;

    const size_t cells = static_cast<size_t>(r.width) * static_cast<size_t>(r.height);
    costGrid = new float[cells];
    // Cells of cost 0 or less are blocked (-1). So are costs that are not a
    // number or infinite; finite costs beyond float range count as the
    // largest float and tiny ones as the smallest, so each passable cell
    // stays passable and normalises to a finite cost.
    float maxCost = 0;
    for (size_t i = 0; i < cells; ++i) {
        double c = r.costs[i];
        float v;
        if (!(c > 0) || std::isinf(c)) {
            v = -1;
        } else {
            v = c > FLT_MAX ? FLT_MAX : static_cast<float>(c);
            if (v < FLT_TRUE_MIN) v = FLT_TRUE_MIN;
            if (v > maxCost) maxCost = v;
        }
        costGrid[i] = v;
    }
    if (maxCost <= 0) return false;
    // Relative costs: the dearest cell costs 2, every passable one over 1.
    for (size_t i = 0; i < cells; ++i)
        if (costGrid[i] > 0)
            costGrid[i] = path_math::Round(path_math::Round(costGrid[i] / maxCost) + 1.0f);

    // One node per cell at most, so the grid size always suffices; larger
    // pools or queues could never be used.
    size_t nodes = r.maxNodes > 0 ? static_cast<size_t>(r.maxNodes) : cells;
    size_t openCapacity = r.openCapacity > 0 ? static_cast<size_t>(r.openCapacity) : cells;
    factory.Preallocate(nodes < cells ? nodes : cells);
    open.Setup(openCapacity < cells ? openCapacity : cells, r.width, r.height, factory.Base());
    // The closed table covers the grid (a bucket per cell) whatever hashBits
    // asks for: a small table would chain thousands of nodes per bucket.
    closed.ResizeForGrid(r.width, r.height);

    request = r;
    path = nullptr;
    float w = r.weight;
    weight = w > 1 ? 1.0f : (w >= 0 ? w : 0.0f);  // NaN counts as 0
    width = r.width;
    height = r.height;
    searchCount = 0;
    accepted = true;
    ready = 1;
    return true;
}

void Planner::BeginSearch() {
    // A search begun again without a clear first starts from nothing.
    if (!open.Empty() || closed.Size() != 0) ClearSearch();
    ready = 0;
    searchCount = 0;
    path = nullptr;
}

void Planner::ClearSearch() {
    factory.GiveBack(open.Size() + closed.Size());
    open.Clear();
    closed.Clear();
    // Nodes a full queue refused were never held: the pool is all free now.
    factory.GiveBackAll();
    path = nullptr;
    ready = 1;
}

void AStarPlanner::BeginSearch() {
    Planner::BeginSearch();
    if (!accepted) return;
    Node* start = factory.Take();
    if (!start) return;
    start->parent = nullptr;
    start->hashNext = nullptr;
    start->x = request.startX;
    start->y = request.startY;
    start->g = 0;
    int h = std::abs(request.goalX - start->x) + std::abs(request.goalY - start->y);
    start->f = path_math::Priority(0, h, weight);
    open.Insert(start);
}

namespace {
struct Step {
    int32_t dx, dy;
    bool diagonal;
};
// The fixed order in which neighbours are considered; it decides between
// paths of equal priority.
constexpr Step kSteps[8] = {{-1, -1, true}, {0, -1, false}, {1, -1, true}, {1, 0, false},
                            {-1, 0, false}, {-1, 1, true},  {0, 1, false}, {1, 1, true}};
constexpr Step kOrthogonalSteps[4] = {{0, -1, false}, {1, 0, false}, {-1, 0, false}, {0, 1, false}};
}  // namespace

bool AStarPlanner::Search() {
    const Step* steps = request.allowDiagonal ? kSteps : kOrthogonalSteps;
    const int stepCount = request.allowDiagonal ? 8 : 4;
    const bool diagonalCost = request.diagonalCost != 0;
    const int32_t gx = request.goalX, gy = request.goalY;
    const float w = weight;

    while (!open.Empty()) {
        Node* current = open.PopLowest();
        if (current->x == gx && current->y == gy) {
            closed.Insert(current);
            path = current;
            ready = 1;
            return true;
        }
        ++searchCount;
        if (!open.Empty()) {
            // The next node is most often the lowest one left: have the rows
            // around it on their way while this one is expanded.
            const uint32_t next = open.LowestCell();
            const int32_t px = static_cast<int32_t>(next % static_cast<uint32_t>(width));
            const int32_t py = static_cast<int32_t>(next / static_cast<uint32_t>(width));
            for (int32_t dy = -1; dy <= 1; ++dy) {
                const int32_t y = py + dy;
                if (y < 0 || y >= height) continue;
                const size_t row = static_cast<size_t>(y) * width + px;
                __builtin_prefetch(costGrid + row);
                open.Prefetch(row);
                closed.Prefetch(px, y);
            }
        }
        for (int s = 0; s < stepCount; ++s) {
            const int32_t nx = current->x + steps[s].dx;
            const int32_t ny = current->y + steps[s].dy;
            if (static_cast<uint32_t>(nx) >= static_cast<uint32_t>(width) ||
                static_cast<uint32_t>(ny) >= static_cast<uint32_t>(height))
                continue;
            const float cell = costGrid[static_cast<size_t>(ny) * width + nx];
            if (cell < 0) continue;
            const float g = path_math::Round(
                current->g + path_math::StepCost(cell, steps[s].diagonal, diagonalCost));
            const int h = std::abs(gx - nx) + std::abs(gy - ny);

            if (Node* n = closed.Find(nx, ny)) {
                if (n->g <= g) continue;
                // A cheaper way into an expanded cell: open it again.
                closed.RemoveFound();
                n->parent = current;
                n->g = g;
                n->f = path_math::Priority(g, h, w);
                open.Insert(n);  // a full queue drops it
                continue;
            }
            if (Node* n = open.Find(nx, ny)) {
                if (n->g <= g) continue;
                n->parent = current;
                n->g = g;
                n->f = path_math::Priority(g, h, w);
                open.Requeue(n);
                continue;
            }
            if (open.Full()) continue;  // it would be dropped
            Node* n = factory.Take();
            if (!n) continue;  // pool used up: the cell stays unexplored
            n->parent = current;
            n->hashNext = nullptr;
            n->x = nx;
            n->y = ny;
            n->g = g;
            n->f = path_math::Priority(g, h, w);
            open.Insert(n);
        }
        closed.Insert(current);
    }
    ready = 1;
    return true;
}
