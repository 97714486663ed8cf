// Random cost grids and an independent shortest-path check for the path tests.
#pragma once
#include <cstdint>
#include <limits>
#include <queue>
#include <random>
#include <utility>
#include <vector>

#include "path/node.h"

struct TestGrid {
    int width = 0, height = 0;
    std::vector<double> costs;  // cell (x, y) at y * width + x; <= 0 blocked
    double& at(int x, int y) { return costs[static_cast<size_t>(y) * width + x]; }
    bool Blocked(int x, int y) const { return !(costs[static_cast<size_t>(y) * width + x] > 0); }
};

// A w x h grid where every cell costs the same.
inline TestGrid Uniform(int w, int h, double cost = 1) {
    TestGrid g;
    g.width = w;
    g.height = h;
    g.costs.assign(static_cast<size_t>(w) * h, cost);
    return g;
}

// Costs are whole numbers 1..maxCost (distinct paths then differ in cost by
// at least 1/maxCost after normalisation) or, with continuous, any value.
inline TestGrid RandomGrid(std::mt19937& rng, int width, int height, double blocked,
                           int maxCost, bool continuous = false) {
    TestGrid g;
    g.width = width;
    g.height = height;
    g.costs.resize(static_cast<size_t>(width) * height);
    std::uniform_real_distribution<double> unit(0, 1);
    std::uniform_int_distribution<int> whole(1, maxCost);
    for (double& c : g.costs) {
        if (unit(rng) < blocked) c = (unit(rng) < 0.5) ? 0 : -whole(rng);
        else c = continuous ? 0.05 + unit(rng) * maxCost : whole(rng);
    }
    return g;
}

inline PlanRequest Request(const TestGrid& g, int sx, int sy, int gx, int gy, float weight,
                           bool diagonal = false) {
    PlanRequest r{};
    r.startX = sx;
    r.startY = sy;
    r.goalX = gx;
    r.goalY = gy;
    r.diagonalCost = 1;
    r.allowDiagonal = diagonal ? 1 : 0;
    r.hashBits = 8;
    r.weight = weight;
    r.width = g.width;
    r.height = g.height;
    r.costs = g.costs.data();
    return r;
}

// Cost of entering each cell, normalised as the planner does: c / max + 1.
inline std::vector<double> NormalisedCosts(const TestGrid& g) {
    double maxCost = 0;
    for (double c : g.costs) maxCost = c > maxCost ? c : maxCost;
    std::vector<double> n(g.costs.size(), -1);
    for (size_t i = 0; i < n.size(); ++i)
        if (g.costs[i] > 0) n[i] = g.costs[i] / maxCost + 1;
    return n;
}

// Dijkstra over four-connected moves, entering a cell costs its cost.
// Returns the cheapest cost from start to goal, or -1 when unreachable.
inline double CheapestCost(const TestGrid& g, int sx, int sy, int gx, int gy) {
    const std::vector<double> cost = NormalisedCosts(g);
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> dist(cost.size(), inf);
    using Item = std::pair<double, int>;
    std::priority_queue<Item, std::vector<Item>, std::greater<Item>> queue;
    const int start = sy * g.width + sx, goal = gy * g.width + gx;
    dist[start] = 0;
    queue.push({0, start});
    while (!queue.empty()) {
        auto [d, cell] = queue.top();
        queue.pop();
        if (d > dist[cell]) continue;
        if (cell == goal) return d;
        const int x = cell % g.width, y = cell / g.width;
        const int nx[4] = {x, x + 1, x - 1, x}, ny[4] = {y - 1, y, y, y + 1};
        for (int k = 0; k < 4; ++k) {
            if (nx[k] < 0 || ny[k] < 0 || nx[k] >= g.width || ny[k] >= g.height) continue;
            const int n = ny[k] * g.width + nx[k];
            if (cost[n] < 0) continue;
            if (d + cost[n] < dist[n]) {
                dist[n] = d + cost[n];
                queue.push({dist[n], n});
            }
        }
    }
    return -1;
}

// Cost of walking a path of cells (the start cell is not entered).
inline double WalkCost(const TestGrid& g, const std::vector<std::pair<int, int>>& cells) {
    const std::vector<double> cost = NormalisedCosts(g);
    double sum = 0;
    for (size_t i = 1; i < cells.size(); ++i)
        sum += cost[static_cast<size_t>(cells[i].second) * g.width + cells[i].first];
    return sum;
}
