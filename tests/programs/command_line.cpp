// Writes the program's command line (CommandLine) to command_line.txt in the
// working directory (the program's own directory after start-up) and ends.
#include <brindle.h>

#include <cstdio>

const GameSettings gameSettings = {160, 120, 60, 0, 0, 0, "Command Line"};

void GameMain() {
    RtString line = CommandLine();
    if (FILE* f = std::fopen("command_line.txt", "wb")) {
        std::fwrite(line.Text(), 1, line.length(), f);
        std::fclose(f);
    }
    End();
}
