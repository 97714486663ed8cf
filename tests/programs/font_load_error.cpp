// A debug-build game that loads the font file named on its command line into
// font 2. A file that exists but is no loadable image ends the program with
// error 3 (the end trace in the error log says so); a missing file gives the
// built-in font and the program ends with End.
#include <brindle.h>

const GameSettings gameSettings = {320, 240, 60, 0, 1, 0, "Font Load Error"};

void GameMain() {
    MarkLine(1, 10);
    LoadFont(CommandLine(), 2);
    MarkLine(2, 20);
    End();
}
