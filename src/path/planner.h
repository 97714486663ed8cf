// The path planner over a 2D cost grid. A planner is set up with a request,
// searched, cleared and destroyed; Planner holds the grid and the search
// structures, AStarPlanner the best-first search itself.
#pragma once
#include <cstddef>
#include <cstdint>

#include "path/node.h"
#include "path/node_factory.h"
#include "path/node_hash_table.h"
#include "path/open_queue.h"

class Planner : NotCopied {
public:
    virtual ~Planner();

    // Checks the request, builds the normalised cost grid and sizes the pool
    // and tables. False (and no search possible) for a start or goal outside
    // the grid, start equal to goal, or a grid without a positive cost.
    bool Setup(const PlanRequest& request);

    virtual void BeginSearch();
    // Runs the search to its end; true once it has ended. Path() then holds
    // the goal node, or null when the goal cannot be reached.
    virtual bool Search() = 0;
    // Gives every node back to the pool and empties the open and closed sets.
    virtual void ClearSearch();

    Node* Path() const { return path; }
    bool Ready() const { return ready != 0; }
    int32_t Width() const { return width; }
    int32_t Height() const { return height; }
    float Weight() const { return weight; }
    // Normalised cost of a cell: -1 blocked, else in (1, 2].
    float CellCost(int32_t x, int32_t y) const { return costGrid[static_cast<size_t>(y) * width + x]; }
    // Nodes expanded by the last search.
    uint32_t SearchCount() const { return searchCount; }

protected:
    uint8_t ready = 1;
    NodeFactory factory;
    PlanRequest request{};
    float weight = 0;
    int32_t width = 0, height = 0;
    float* costGrid = nullptr;
    uint32_t searchCount = 0;
    OpenQueue open;
    NodeHashTable closed;
    Node* path = nullptr;
    bool accepted = false;  // Setup accepted the request: a grid to search
};

class AStarPlanner : public Planner {
public:
    void BeginSearch() override;
    bool Search() override;
};
