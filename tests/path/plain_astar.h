// The search as first written, kept as the reference for the planner: the
// open nodes in a FixedDeque sorted by f (descending from front to back,
// binary-search insertion, a linear scan from the back to find a cell) and a
// closed table of 256 buckets. Slow on large grids, but plainly right; the
// planner must produce exactly its paths. Used by the tests and the benchmark.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "path/fixed_deque.h"
#include "path/node.h"
#include "path/node_factory.h"
#include "path/node_hash_table.h"
#include "path/search_math.h"

class PlainAStar {
public:
    // Same checks and cost normalisation as the planner's documented set-up.
    bool Setup(const PlanRequest& r) {
        if (r.startX < 0 || r.startX >= r.width || r.goalX < 0 || r.goalX >= r.width ||
            r.startY < 0 || r.startY >= r.height || r.goalY < 0 || r.goalY >= r.height)
            return false;
        if (r.startX == r.goalX && r.startY == r.goalY) return false;
        const size_t cells = static_cast<size_t>(r.width) * r.height;
        grid.assign(cells, -1.0f);
        float maxCost = 0;
        for (size_t i = 0; i < cells; ++i) {
            if (r.costs[i] > 0) grid[i] = static_cast<float>(r.costs[i]);
            if (grid[i] > maxCost) maxCost = grid[i];
        }
        if (maxCost <= 0) return false;
        for (float& c : grid)
            if (c > 0) c = path_math::Round(path_math::Round(c / maxCost) + 1.0f);
        req = r;
        weight = r.weight < 0 ? 0 : (r.weight > 1 ? 1 : r.weight);
        pool.Preallocate(r.maxNodes > 0 ? r.maxNodes : cells);
        open.SetCapacity(r.openCapacity > 0 ? r.openCapacity : cells);
        closed.Resize(r.hashBits);
        return true;
    }

    // BeginSearch and Search: returns the goal node or null.
    Node* Run() {
        goal = nullptr;
        reopened = requeued = 0;
        Node* start = pool.Take();
        *start = Node{nullptr, req.startX, req.startY, 0, 0, nullptr};
        open.PushBack(start);
        static const int dx[8] = {-1, 0, 1, 1, -1, -1, 0, 1};
        static const int dy[8] = {-1, -1, -1, 0, 0, 1, 1, 1};
        while (!open.Empty()) {
            Node* cur = open.Back();
            open.PopBack();
            if (cur->x == req.goalX && cur->y == req.goalY) {
                closed.Insert(cur);
                return goal = cur;
            }
            for (int s = 0; s < 8; ++s) {
                const int nx = cur->x + dx[s], ny = cur->y + dy[s];
                const bool diagonal = dx[s] != 0 && dy[s] != 0;
                if (nx < 0 || ny < 0 || nx >= req.width || ny >= req.height) continue;
                if (diagonal && !req.allowDiagonal) continue;
                const float cell = grid[static_cast<size_t>(ny) * req.width + nx];
                if (cell == -1.0f) continue;
                const float g = path_math::Round(
                    cur->g + path_math::StepCost(cell, diagonal, req.diagonalCost != 0));
                const int h = std::abs(req.goalX - nx) + std::abs(req.goalY - ny);
                const float f = path_math::Priority(g, h, weight);
                if (Node* n = closed.Find(nx, ny)) {
                    if (n->g <= g) continue;
                    closed.RemoveFound();
                    n->parent = cur;
                    n->g = g;
                    n->f = f;
                    InsertSorted(n);
                    ++reopened;
                    continue;
                }
                size_t found = SIZE_MAX;
                for (size_t i = open.Size(); i-- > 0;) {
                    if (open.At(i)->x == nx && open.At(i)->y == ny) {
                        found = i;
                        break;
                    }
                }
                if (found != SIZE_MAX) {
                    Node* n = open.At(found);
                    if (n->g <= g) continue;
                    open.Erase(found);
                    n->parent = cur;
                    n->g = g;
                    n->f = f;
                    InsertSorted(n);
                    ++requeued;
                    continue;
                }
                Node* n = pool.Take();
                if (!n) continue;
                *n = Node{cur, nx, ny, f, g, nullptr};
                InsertSorted(n);
            }
            closed.Insert(cur);
        }
        return nullptr;
    }

    std::vector<std::pair<int, int>> Cells() const {
        std::vector<std::pair<int, int>> cells;
        for (Node* n = goal; n; n = n->parent) cells.insert(cells.begin(), {n->x, n->y});
        return cells;
    }
    float Cost(int x, int y) const { return grid[static_cast<size_t>(y) * req.width + x]; }

    int reopened = 0, requeued = 0;

private:
    // Before the first element whose f is not greater: behind equal f.
    void InsertSorted(Node* n) {
        size_t lo = 0, hi = open.Size();
        while (lo < hi) {
            size_t mid = (lo + hi) / 2;
            if (open.At(mid)->f > n->f) lo = mid + 1;
            else hi = mid;
        }
        open.Insert(lo, n);
    }

    PlanRequest req{};
    float weight = 0;
    std::vector<float> grid;
    NodeFactory pool;
    FixedDeque<Node*> open;
    NodeHashTable closed;
    Node* goal = nullptr;
};
