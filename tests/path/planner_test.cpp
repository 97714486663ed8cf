// The planner against the plain sorted-deque search and an independent
// Dijkstra, on edge cases and a few hundred random grids.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "grid_helpers.h"
#include "path/planner.h"
#include "path/search_math.h"
#include "plain_astar.h"

namespace {

using Cells = std::vector<std::pair<int, int>>;

struct Outcome {
    bool accepted = false;
    Cells cells;
    float goalG = 0;
};

Outcome Plan(const PlanRequest& r) {
    Outcome out;
    AStarPlanner planner;
    out.accepted = planner.Setup(r);
    if (!out.accepted) return out;
    planner.BeginSearch();
    EXPECT_TRUE(planner.Search());
    EXPECT_TRUE(planner.Ready());
    if (Node* goal = planner.Path()) {
        out.goalG = goal->g;
        for (Node* n = goal; n; n = n->parent) out.cells.insert(out.cells.begin(), {n->x, n->y});
    }
    planner.ClearSearch();
    EXPECT_EQ(planner.Path(), nullptr);
    return out;
}

Cells PlanCells(const TestGrid& g, int sx, int sy, int gx, int gy, float weight, bool diagonal = false) {
    return Plan(Request(g, sx, sy, gx, gy, weight, diagonal)).cells;
}

TEST(Planner, SetupRejectsBadRequests) {
    TestGrid g = Uniform(4, 3);
    AStarPlanner p;
    EXPECT_TRUE(p.Setup(Request(g, 0, 0, 3, 2, 0.5f)));
    EXPECT_FALSE(p.Setup(Request(g, 2, 1, 2, 1, 0.5f)));   // start is the goal
    EXPECT_FALSE(p.Setup(Request(g, -1, 0, 3, 2, 0.5f)));
    EXPECT_FALSE(p.Setup(Request(g, 0, 0, 4, 2, 0.5f)));
    EXPECT_FALSE(p.Setup(Request(g, 0, 3, 3, 2, 0.5f)));
    EXPECT_FALSE(p.Setup(Request(g, 0, 0, 3, -1, 0.5f)));
    TestGrid blocked = Uniform(4, 3, 0);
    blocked.at(1, 1) = -5;
    EXPECT_FALSE(p.Setup(Request(blocked, 0, 0, 3, 2, 0.5f)));
    PlanRequest noCosts = Request(g, 0, 0, 3, 2, 0.5f);
    noCosts.costs = nullptr;
    EXPECT_FALSE(p.Setup(noCosts));
    // More cells than 32-bit cell numbers reach: refused before anything is
    // read or allocated.
    PlanRequest huge = Request(g, 0, 0, 3, 2, 0.5f);
    huge.width = huge.height = 100000;
    EXPECT_FALSE(p.Setup(huge));
    PlanRequest empty = Request(g, 0, 0, 0, 0, 0.5f);
    empty.width = 0;
    EXPECT_FALSE(p.Setup(empty));

    // A refused set-up leaves nothing to search: the search ends without a path.
    AStarPlanner fresh;
    EXPECT_FALSE(fresh.Setup(Request(blocked, 0, 0, 3, 2, 0.5f)));
    fresh.BeginSearch();
    EXPECT_TRUE(fresh.Search());
    EXPECT_EQ(fresh.Path(), nullptr);
}

TEST(Planner, NormalisesCostsRelativeToTheDearestCell) {
    TestGrid g = Uniform(5, 1);
    g.costs = {4, 2, 0, -3, 1};
    AStarPlanner p;
    ASSERT_TRUE(p.Setup(Request(g, 0, 0, 4, 0, 0.5f)));
    EXPECT_EQ(p.CellCost(0, 0), 2.0f);
    EXPECT_EQ(p.CellCost(1, 0), 1.5f);
    EXPECT_EQ(p.CellCost(2, 0), -1.0f);
    EXPECT_EQ(p.CellCost(3, 0), -1.0f);
    EXPECT_EQ(p.CellCost(4, 0), 1.25f);
}

TEST(Planner, CostsThatAreNoNumberOrOutOfRangeStaySafe) {
    TestGrid g = Uniform(5, 1);
    const double inf = INFINITY;
    g.costs = {1, NAN, inf, 1e300, 1e-320};
    AStarPlanner p;
    ASSERT_TRUE(p.Setup(Request(g, 0, 0, 4, 0, 0.5f)));
    EXPECT_EQ(p.CellCost(1, 0), -1.0f);  // not a number: blocked
    EXPECT_EQ(p.CellCost(2, 0), -1.0f);  // infinite: blocked
    EXPECT_EQ(p.CellCost(3, 0), 2.0f);   // the dearest
    EXPECT_GT(p.CellCost(4, 0), 0.0f);   // tiny but passable
    EXPECT_LE(p.CellCost(4, 0), 2.0f);
    EXPECT_TRUE(std::isfinite(p.CellCost(0, 0)));
    TestGrid nothing = Uniform(3, 1);
    nothing.costs = {NAN, -inf, inf};
    EXPECT_FALSE(p.Setup(Request(nothing, 0, 0, 2, 0, 0.5f)));
}

TEST(Planner, PriorityBlendsCostSoFarAndEstimate) {
    EXPECT_EQ(path_math::Priority(7.5f, 3, 0), 7.5f);
    EXPECT_EQ(path_math::Priority(7.5f, 3, 1), 3.0f);
    EXPECT_EQ(path_math::Priority(7.5f, 3, 0.5f), 5.25f);
    EXPECT_FLOAT_EQ(path_math::Priority(10.0f, 2, 0.25f), 0.75f * 10 + 0.25f * 2);
    EXPECT_EQ(path_math::StepCost(1.5f, true, true), 1.5f * 1.4142137f);
    EXPECT_EQ(path_math::StepCost(1.5f, true, false), 1.5f);
    EXPECT_EQ(path_math::StepCost(1.5f, false, true), 1.5f);
}

TEST(Planner, ThreeCellRow) {
    TestGrid g = Uniform(3, 1, 4);
    EXPECT_EQ(PlanCells(g, 0, 0, 2, 0, 0.5f), (Cells{{0, 0}, {1, 0}, {2, 0}}));
    EXPECT_EQ(PlanCells(g, 2, 0, 0, 0, 0.0f), (Cells{{2, 0}, {1, 0}, {0, 0}}));
}

TEST(Planner, BlockedOrCutOffGoalGivesNoPath) {
    TestGrid g = Uniform(5, 5);
    g.at(4, 4) = 0;
    Outcome o = Plan(Request(g, 0, 0, 4, 4, 0.5f));
    EXPECT_TRUE(o.accepted);
    EXPECT_TRUE(o.cells.empty());
    TestGrid wall = Uniform(5, 5);
    for (int y = 0; y < 5; ++y) wall.at(2, y) = -1;
    EXPECT_TRUE(PlanCells(wall, 0, 2, 4, 2, 0.5f).empty());
    wall.at(2, 4) = 3;  // a gap
    Cells cells = PlanCells(wall, 0, 2, 4, 2, 0.5f);
    ASSERT_FALSE(cells.empty());
    EXPECT_NE(std::find(cells.begin(), cells.end(), std::pair{2, 4}), cells.end());
}

TEST(Planner, DiagonalStepsOnlyWhenAllowed) {
    TestGrid g = Uniform(6, 6);
    Cells straight = PlanCells(g, 0, 0, 5, 5, 0.5f, false);
    ASSERT_EQ(straight.size(), 11u);
    for (size_t i = 1; i < straight.size(); ++i)
        EXPECT_EQ(std::abs(straight[i].first - straight[i - 1].first) +
                      std::abs(straight[i].second - straight[i - 1].second), 1);
    Cells diagonal = PlanCells(g, 0, 0, 5, 5, 0.0f, true);
    EXPECT_EQ(diagonal.size(), 6u);  // straight down the diagonal
    for (size_t i = 0; i < diagonal.size(); ++i) EXPECT_EQ(diagonal[i], (std::pair<int, int>(i, i)));
}

TEST(Planner, ScaledCostsGiveTheSamePath) {
    std::mt19937 rng(3);
    for (int round = 0; round < 30; ++round) {
        TestGrid g = RandomGrid(rng, 12, 9, 0.2, 9);
        g.at(0, 0) = 3;
        g.at(11, 8) = 5;
        for (float w : {0.0f, 0.5f, 0.8f}) {
            Cells base = PlanCells(g, 0, 0, 11, 8, w);
            for (double factor : {0.001, 4.0, 1e6}) {
                TestGrid scaled = g;
                for (double& c : scaled.costs) c *= factor;
                EXPECT_EQ(PlanCells(scaled, 0, 0, 11, 8, w), base) << "factor " << factor;
            }
        }
    }
}

TEST(Planner, WeightZeroFindsACheapestPath) {
    // A detour through cheap cells beats the straight row of dear ones.
    TestGrid g = Uniform(5, 3, 1);
    for (int x = 1; x < 4; ++x) g.at(x, 1) = 9;
    Cells cells = PlanCells(g, 0, 1, 4, 1, 0.0f);
    EXPECT_NEAR(WalkCost(g, cells), CheapestCost(g, 0, 1, 4, 1), 1e-9);
    EXPECT_EQ(cells.size(), 7u);
}

// Random grids: legal four-connected paths, optimal for weights 0 and 0.5,
// and exactly the paths of the plain search for every weight.
TEST(Planner, RandomGridsMatchThePlainSearchAndTheOptimum) {
    std::mt19937 rng(20261207);
    int found = 0, unreachable = 0, reopened = 0, requeued = 0;
    for (int round = 0; round < 400; ++round) {
        const int w = 1 + static_cast<int>(rng() % 24), h = 1 + static_cast<int>(rng() % 24);
        if (w * h < 2) continue;
        const bool continuous = round % 4 == 3;
        TestGrid g = RandomGrid(rng, w, h, (rng() % 45) / 100.0, 1 + static_cast<int>(rng() % 9), continuous);
        int sx, sy, gx, gy;
        do {
            sx = static_cast<int>(rng() % w), sy = static_cast<int>(rng() % h);
            gx = static_cast<int>(rng() % w), gy = static_cast<int>(rng() % h);
        } while (sx == gx && sy == gy);
        if (round % 5 != 0) {  // mostly on open cells; now and then a blocked start or goal
            g.at(sx, sy) = 1 + static_cast<int>(rng() % 9);
            g.at(gx, gy) = 1 + static_cast<int>(rng() % 9);
        }
        const double cheapest = CheapestCost(g, sx, sy, gx, gy);
        for (float weight : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) {
            for (bool diagonal : {false, true}) {
                SCOPED_TRACE(::testing::Message() << "round " << round << " " << w << "x" << h
                                                  << " weight " << weight << " diagonal " << diagonal);
                const PlanRequest r = Request(g, sx, sy, gx, gy, weight, diagonal);
                Outcome fast = Plan(r);
                PlainAStar plain;
                ASSERT_EQ(fast.accepted, plain.Setup(r));
                if (!fast.accepted) continue;
                plain.Run();
                reopened += plain.reopened;
                requeued += plain.requeued;
                ASSERT_EQ(fast.cells, plain.Cells());
                if (diagonal) continue;

                const Cells& cells = fast.cells;
                if (cheapest < 0) {
                    EXPECT_TRUE(cells.empty());
                    ++unreachable;
                    continue;
                }
                ASSERT_FALSE(cells.empty());
                ++found;
                EXPECT_EQ(cells.front(), (std::pair{sx, sy}));
                EXPECT_EQ(cells.back(), (std::pair{gx, gy}));
                for (size_t i = 1; i < cells.size(); ++i) {
                    EXPECT_EQ(std::abs(cells[i].first - cells[i - 1].first) +
                                  std::abs(cells[i].second - cells[i - 1].second), 1);
                    EXPECT_FALSE(g.Blocked(cells[i].first, cells[i].second));
                }
                const double cost = WalkCost(g, cells);
                EXPECT_NEAR(fast.goalG, cost, 1e-3 * cost);
                // Whole-number costs make distinct path costs differ by at
                // least 1/9; continuous ones by anything, so only rounding.
                if (weight == 0.0f || weight == 0.5f)
                    EXPECT_NEAR(cost, cheapest, continuous ? 1e-4 * cost : 1e-3);
                else
                    EXPECT_GE(cost, cheapest - 1e-3);
            }
        }
    }
    // The grids exercised every branch of the search.
    EXPECT_GT(found, 400);
    EXPECT_GT(unreachable, 20);
    EXPECT_GT(reopened, 0);
    EXPECT_GT(requeued, 0);
}

TEST(Planner, LargeGridMatchesThePlainSearch) {
    std::mt19937 rng(77);
    TestGrid g = RandomGrid(rng, 120, 90, 0.2, 9, true);
    g.at(0, 0) = 1;
    g.at(119, 89) = 1;
    for (float weight : {0.0f, 0.5f, 0.9f}) {
        const PlanRequest r = Request(g, 0, 0, 119, 89, weight);
        PlainAStar plain;
        ASSERT_TRUE(plain.Setup(r));
        plain.Run();
        EXPECT_EQ(Plan(r).cells, plain.Cells()) << "weight " << weight;
    }
}

TEST(Planner, SmallPoolsAndQueuesEndTheSearchSafely) {
    std::mt19937 rng(9);
    TestGrid g = RandomGrid(rng, 30, 30, 0.1, 5);
    g.at(0, 0) = 1;
    g.at(29, 29) = 1;
    for (int limit : {1, 2, 5, 40, 300}) {
        PlanRequest r = Request(g, 0, 0, 29, 29, 0.5f);
        r.maxNodes = limit;
        Outcome a = Plan(r);
        ASSERT_TRUE(a.accepted);
        r.maxNodes = 0;
        r.openCapacity = limit;
        Outcome b = Plan(r);
        ASSERT_TRUE(b.accepted);
        for (const Cells* cells : {&a.cells, &b.cells}) {
            if (cells->empty()) continue;
            EXPECT_EQ(cells->front(), (std::pair{0, 0}));
            EXPECT_EQ(cells->back(), (std::pair{29, 29}));
        }
    }
}

TEST(Planner, SearchesAgainAfterAClearAndAfterARepeatedBegin) {
    std::mt19937 rng(4);
    TestGrid g = RandomGrid(rng, 20, 20, 0.15, 9);
    g.at(1, 1) = 2;
    g.at(18, 17) = 2;
    const PlanRequest r = Request(g, 1, 1, 18, 17, 0.5f);
    const Cells once = Plan(r).cells;
    ASSERT_FALSE(once.empty());
    AStarPlanner p;
    ASSERT_TRUE(p.Setup(r));
    for (int i = 0; i < 3; ++i) {
        p.BeginSearch();
        if (i == 1) p.BeginSearch();  // begun twice: the first start is dropped
        ASSERT_TRUE(p.Search());
        Cells cells;
        for (Node* n = p.Path(); n; n = n->parent) cells.insert(cells.begin(), {n->x, n->y});
        EXPECT_EQ(cells, once) << "search " << i;
        if (i != 0) p.ClearSearch();
    }
}

}  // namespace
