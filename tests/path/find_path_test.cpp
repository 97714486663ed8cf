// FindPath: the command over language arrays, four-connected, with the
// empty path array as its answer to every failure.
#include <brindle/arrays.h>
#include <brindle/path.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "grid_helpers.h"
#include "path/planner.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;

void Fill(NumberArray& a, const TestGrid& g) {
    DimArray(a, g.width, g.height);
    for (int y = 0; y < g.height; ++y)
        for (int x = 0; x < g.width; ++x) a(x, y) = g.costs[static_cast<size_t>(y) * g.width + x];
}

Cells Read(NumberArray& path) {
    Cells cells;
    EXPECT_EQ(path.size2, 2);
    for (int i = 0; i < ArraySize(path, 0); ++i)
        cells.push_back({static_cast<int>(path(i, 0)), static_cast<int>(path(i, 1))});
    return cells;
}

// A path array with something in it, to see that failures empty it.
void Stale(NumberArray& path) {
    DimArray(path, 3, 2);
    path(2, 1) = 7;
}

void ExpectEmptied(NumberArray& path) {
    EXPECT_EQ(ArraySize(path, 0), 0);
    EXPECT_EQ(ArraySize(path, 1), 2);
}

TEST(FindPath, ThreeCellRow) {
    NumberArray costs, path;
    Fill(costs, Uniform(3, 1, 2.5));
    EXPECT_EQ(FindPath(costs, path, 0.5, 0, 0, 2, 0), 3);
    EXPECT_EQ(ArraySize(path, 0), 3);
    EXPECT_EQ(Read(path), (Cells{{0, 0}, {1, 0}, {2, 0}}));
    // Coordinates are truncated.
    EXPECT_EQ(FindPath(costs, path, 0.5, 2.9, 0.7, 0.2, 0), 3);
    EXPECT_EQ(Read(path), (Cells{{2, 0}, {1, 0}, {0, 0}}));
}

TEST(FindPath, BlockedOrUnreachableGoalEmptiesThePath) {
    NumberArray costs, path;
    TestGrid g = Uniform(6, 4);
    g.at(5, 3) = 0;
    Fill(costs, g);
    Stale(path);
    EXPECT_EQ(FindPath(costs, path, 0.5, 0, 0, 5, 3), 0);
    ExpectEmptied(path);
    g.at(5, 3) = -2;
    Fill(costs, g);
    Stale(path);
    EXPECT_EQ(FindPath(costs, path, 0, 0, 0, 5, 3), 0);
    ExpectEmptied(path);
    // Walled off by blocked cells around the goal.
    g.at(5, 3) = 1;
    g.at(4, 3) = 0;
    g.at(5, 2) = -1;
    Fill(costs, g);
    Stale(path);
    EXPECT_EQ(FindPath(costs, path, 1, 0, 0, 5, 3), 0);
    ExpectEmptied(path);
}

// A refused request leaves no stale path behind either: the array is
// emptied as when no path exists, so a result of 0 always comes with [0][2].
TEST(FindPath, RefusedRequestsEmptyThePath) {
    NumberArray costs, path;
    Fill(costs, Uniform(5, 4));
    const double outside[][4] = {{2, 2, 2, 2},   {-1, 0, 4, 3},  {0, 0, 5, 3},    {0, 0, 4, 4},
                                 {2.3, 1, 2.9, 1.5}, {NAN, 0, 4, 3}, {0, 0, 1e12, 3}, {0, 0, 4, -1e12}};
    for (const auto& c : outside) {
        Stale(path);
        EXPECT_EQ(FindPath(costs, path, 0.5, c[0], c[1], c[2], c[3]), 0)
            << c[0] << "," << c[1] << " -> " << c[2] << "," << c[3];
        ExpectEmptied(path);
    }
    // -0.5 truncates to 0: inside.
    EXPECT_EQ(FindPath(costs, path, 0.5, -0.5, 0, 1, -0.9), 2);

    NumberArray noCost;
    Fill(noCost, Uniform(5, 4, 0));
    Stale(path);
    EXPECT_EQ(FindPath(noCost, path, 0.5, 0, 0, 4, 3), 0);
    ExpectEmptied(path);

    NumberArray flat;  // one dimension: no height
    DimArray(flat, 5);
    for (int i = 0; i < 5; ++i) flat(i) = 1;
    Stale(path);
    EXPECT_EQ(FindPath(flat, path, 0.5, 0, 0, 4, 0), 0);
    ExpectEmptied(path);

    NumberArray never;  // never dimensioned
    Stale(path);
    EXPECT_EQ(FindPath(never, path, 0.5, 0, 0, 1, 0), 0);
    ExpectEmptied(path);
}

TEST(FindPath, NeverStepsDiagonally) {
    NumberArray costs, path;
    Fill(costs, Uniform(9, 7, 3));
    ASSERT_EQ(FindPath(costs, path, 0.5, 0, 0, 8, 6), 15);
    Cells cells = Read(path);
    for (size_t i = 1; i < cells.size(); ++i)
        EXPECT_EQ(std::abs(cells[i].first - cells[i - 1].first) +
                      std::abs(cells[i].second - cells[i - 1].second), 1);
    ASSERT_EQ(FindPath(costs, path, 1, 8, 0, 0, 6), 15);
}

TEST(FindPath, ScaledCostsGiveTheSamePath) {
    std::mt19937 rng(8);
    for (int round = 0; round < 20; ++round) {
        TestGrid g = RandomGrid(rng, 15, 11, 0.25, 9);
        g.at(0, 5) = 4;
        g.at(14, 5) = 4;
        NumberArray costs, path;
        Fill(costs, g);
        const double n = FindPath(costs, path, 0.5, 0, 5, 14, 5);
        const Cells base = Read(path);
        for (double factor : {0.01, 3.0, 250.0}) {
            TestGrid scaled = g;
            for (double& c : scaled.costs) c *= factor;
            Fill(costs, scaled);
            EXPECT_EQ(FindPath(costs, path, 0.5, 0, 5, 14, 5), n);
            EXPECT_EQ(Read(path), base) << "factor " << factor;
        }
    }
}

TEST(FindPath, WeightsOutsideTheRangeAreClamped) {
    // Dear cells between start and goal: the cheapest path goes round them,
    // the greedy one straight through.
    TestGrid g = Uniform(7, 5);
    for (int x = 1; x < 6; ++x) g.at(x, 2) = 9;
    NumberArray costs, path;
    Fill(costs, g);
    EXPECT_EQ(FindPath(costs, path, 0, 0, 2, 6, 2), 9);
    const Cells zero = Read(path);
    EXPECT_EQ(FindPath(costs, path, 1, 0, 2, 6, 2), 7);
    const Cells one = Read(path);
    FindPath(costs, path, -4, 0, 2, 6, 2);
    EXPECT_EQ(Read(path), zero);
    FindPath(costs, path, NAN, 0, 2, 6, 2);
    EXPECT_EQ(Read(path), zero);
    FindPath(costs, path, 7, 0, 2, 6, 2);
    EXPECT_EQ(Read(path), one);
}

TEST(FindPath, CostAndPathMayBeTheSameArray) {
    NumberArray a;
    Fill(a, Uniform(4, 4, 2));
    EXPECT_EQ(FindPath(a, a, 0.5, 0, 0, 3, 0), 4);
    EXPECT_EQ(Read(a), (Cells{{0, 0}, {1, 0}, {2, 0}, {3, 0}}));
}

// Random grids: the command's path is legal and four-connected, cheapest
// for weights 0 and 0.5, and the planner's own path cell for cell.
TEST(FindPath, RandomGridsGiveLegalCheapestPaths) {
    std::mt19937 rng(424242);
    int found = 0, none = 0;
    for (int round = 0; round < 300; ++round) {
        const int w = 2 + static_cast<int>(rng() % 20), h = 1 + static_cast<int>(rng() % 20);
        TestGrid g = RandomGrid(rng, w, h, (rng() % 40) / 100.0, 1 + static_cast<int>(rng() % 9));
        const int sx = static_cast<int>(rng() % w), sy = static_cast<int>(rng() % h);
        int gx, gy;
        do {
            gx = static_cast<int>(rng() % w), gy = static_cast<int>(rng() % h);
        } while (gx == sx && gy == sy);
        g.at(sx, sy) = 1 + static_cast<int>(rng() % 9);
        NumberArray costs, path;
        Fill(costs, g);
        const double cheapest = CheapestCost(g, sx, sy, gx, gy);
        for (double weight : {0.0, 0.5, 0.85}) {
            SCOPED_TRACE(::testing::Message() << "round " << round << " weight " << weight);
            Stale(path);
            const double n = FindPath(costs, path, weight, sx, sy, gx, gy);
            const Cells cells = Read(path);
            ASSERT_EQ(n, static_cast<double>(cells.size()));
            if (cheapest < 0) {
                EXPECT_EQ(n, 0);
                ExpectEmptied(path);
                ++none;
                continue;
            }
            ++found;
            ASSERT_GE(n, 2);
            EXPECT_EQ(cells.front(), (std::pair{sx, sy}));
            EXPECT_EQ(cells.back(), (std::pair{gx, gy}));
            for (size_t i = 1; i < cells.size(); ++i) {
                EXPECT_EQ(std::abs(cells[i].first - cells[i - 1].first) +
                              std::abs(cells[i].second - cells[i - 1].second), 1);
                EXPECT_FALSE(g.Blocked(cells[i].first, cells[i].second));
            }
            if (weight <= 0.5) EXPECT_NEAR(WalkCost(g, cells), cheapest, 1e-3);

            AStarPlanner planner;
            PlanRequest r = Request(g, sx, sy, gx, gy, static_cast<float>(weight));
            ASSERT_TRUE(planner.Setup(r));
            planner.BeginSearch();
            planner.Search();
            Cells direct;
            for (Node* node = planner.Path(); node; node = node->parent)
                direct.insert(direct.begin(), {node->x, node->y});
            EXPECT_EQ(cells, direct);
        }
    }
    EXPECT_GT(found, 300);
    EXPECT_GT(none, 20);
}

}  // namespace
