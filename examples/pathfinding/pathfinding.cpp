// Pathfinding on a grid: walls and slow mud on a 20 x 13 grid of cells, and
// the cheapest four-connected path from the green start to the red goal
// found by FindPath (A*). The arrow keys move the goal (which may then be
// walled in); Space makes new walls with a way through. Escape ends the
// example.
#include <brindle.h>

const GameSettings gameSettings = {640, 520, 60, 0, 0, 0, "Example: Pathfinding"};

namespace {
const double kColumns = 20, kRows = 13, kCell = 32, kTop = 48;
const double kUp = 200, kDown = 208, kLeft = 203, kRight = 205, kSpace = 57;
NumberArray costs;  // [column][row]: 0 a wall, 1 open ground, 5 mud
NumberArray path;   // [n][2]: the cells of the path found
NumberArray wasDown;

void MakeWalls() {
    DimArray(costs, kColumns, kRows);
    for (double cx = 0; cx < kColumns; cx = cx + 1) {
        for (double cy = 0; cy < kRows; cy = cy + 1) {
            double r = Random(99);
            costs(cx, cy) = r < 25 ? 0 : (r < 40 ? 5 : 1);
        }
    }
    costs(0, 0) = 1;  // the start is always open
}

// New walls and mud, made again until there is a way to the goal.
void MakeGrid(double goalX, double goalY) {
    do {
        MakeWalls();
        costs(goalX, goalY) = 1;
    } while (FindPath(costs, path, 0, 0, 0, goalX, goalY) == 0);
}

double Pressed(double key) {
    double down = KeyDown(key);
    double pressed = down != 0 && wasDown(key) == 0;
    wasDown(key) = down;
    return pressed;
}

void DrawCell(double cx, double cy, double colour) {
    FillRect(cx * kCell + 1, kTop + cy * kCell + 1, cx * kCell + kCell - 2, kTop + cy * kCell + kCell - 2,
             colour);
}
}  // namespace

void GameMain() {
    DimArray(wasDown, 256);
    double goalX = kColumns - 1, goalY = kRows - 1;
    MakeGrid(goalX, goalY);
    for (;;) {
        if (Pressed(kSpace)) MakeGrid(goalX, goalY);
        if (Pressed(kLeft) && goalX > 0) goalX = goalX - 1;
        if (Pressed(kRight) && goalX < kColumns - 1) goalX = goalX + 1;
        if (Pressed(kUp) && goalY > 0) goalY = goalY - 1;
        if (Pressed(kDown) && goalY < kRows - 1) goalY = goalY + 1;
        costs(goalX, goalY) = 1;  // the goal is never a wall

        // Weight 0: the cheapest path; towards 1 the search prefers cells
        // nearer the goal (faster, not always cheapest). The result is the
        // number of cells, 0 when the goal cannot be reached.
        double length = FindPath(costs, path, 0, 0, 0, goalX, goalY);

        FillRect(0, 0, 639, 519, 0x101010);
        for (double cx = 0; cx < kColumns; cx = cx + 1) {
            for (double cy = 0; cy < kRows; cy = cy + 1) {
                double c = costs(cx, cy);
                DrawCell(cx, cy, c == 0 ? 0x606060 : (c == 5 ? 0x204070 : 0x305030));
            }
        }
        for (double i = 0; i < length; i = i + 1) DrawCell(path(i, 0), path(i, 1), 0x00E0FF);
        DrawCell(0, 0, 0x00FF00);
        DrawCell(goalX, goalY, 0x0000FF);

        PrintText("Pathfinding", 8, 8);
        PrintText(length > 0 ? RtString("Path of ") + length + " cells" : RtString("No way to the goal"),
                  8, 26);
        PrintText("Arrows: goal  Space: new walls", 8, 496);
        ShowFrame();
    }
}
