// Pathfinding over a 2D cost grid.
#pragma once
#include <brindle/arrays.h>

// Finds a four-connected path over `costs` (a [width][height] array; a cell
// of cost 0 or less is blocked) from the start cell to the goal cell. weight
// 0..1 blends cost so far (0: a cheapest path) with the distance left (1).
// On success `path` becomes [n][2] with cell i at (i, 0) = x, (i, 1) = y,
// start first and goal last, and the result is n. Otherwise the result is 0
// and `path` becomes [0][2], holding no cells: when the goal cannot be
// reached, and also when the request is refused (start or goal outside the
// grid, start equal to goal, no cell of positive cost).
double FindPath(NumberArray& costs, NumberArray& path, double weight, double startX,
                double startY, double goalX, double goalY);
