// A debug-build game that reads one element of a ten-element array at the
// index given on its command line ("never": from an array that was never
// dimensioned). A bad index ends it through the array checks; a good one
// ends it with End. The end trace in the error log tells which.
#include <brindle.h>

const GameSettings gameSettings = {320, 240, 60, 0, 1, 0, "Array Bounds"};

void GameMain() {
    RtString args = CommandLine();
    NumberArray squares;
    MarkLine(1, 10);
    DimArray(squares, 10);
    for (int i = 0; i < 10; ++i) squares(i) = i * i;
    if (args == "never") {
        NumberArray never;
        MarkLine(2, 30);
        squares(0) = never(0);
    }
    MarkLine(3, 40);
    double value = squares(TextToNumber(args));
    MarkLine(4, 50);
    if (value != TextToNumber(args) * TextToNumber(args)) MarkLine(5, 60);  // a wrong element
    End();
}
