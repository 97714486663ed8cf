// The planner's records: a search node and the request a search is set up with.
#pragma once
#include <cstdint>

// The base of the planner's structures: each owns its memory, so none is
// copied.
struct NotCopied {
    NotCopied() = default;
    NotCopied(const NotCopied&) = delete;
    NotCopied& operator=(const NotCopied&) = delete;
};

// One search node, taken from the NodeFactory pool. A cell has at most one
// node at a time, either in the open queue or in the closed table.
struct Node {
    Node* parent;    // null for the start
    int32_t x, y;    // cell
    float f;         // priority
    float g;         // cost from the start
    Node* hashNext;  // chain in the closed table
};

struct PlanRequest {
    int32_t startX, startY, goalX, goalY;
    uint8_t diagonalCost;   // 1: a diagonal step costs the cell cost times sqrt(2)
    uint8_t allowDiagonal;  // 1: the four diagonal neighbours are considered
    int32_t maxNodes;       // node pool size; 0 = width * height
    int32_t openCapacity;   // open queue capacity; 0 = width * height
    int32_t hashBits;       // base-2 size of a hashed closed table
    float weight;           // 0 = cheapest first ... 1 = nearest to the goal first
    int32_t width, height;
    const double* costs;    // width * height, cell (x, y) at y * width + x
};
