#include "files/line_reader.h"

#include "files/line_file.h"

bool ReadTextLine(std::FILE* file, char line[kLineTextSize]) {
    int length = 0;
    bool anything = false, cut = false, lineFeed = false;
    int c;
    while ((c = std::getc(file)) != EOF) {
        anything = true;
        if (c == '\n') {
            lineFeed = true;
            break;
        }
        if (length < kLineTextSize - 1)
            line[length++] = static_cast<char>(c);
        else
            cut = true;
    }
    // The carriage return of a CR LF ending; one that fell into the skipped
    // part of a long line went with it.
    if (lineFeed && !cut && length > 0 && line[length - 1] == '\r') --length;
    line[length] = '\0';
    return anything;
}

void ReadLineEntries(LineFile& file, std::FILE* source) {
    for (int n = 0; n < kLineEntries; ++n) {
        if (!ReadTextLine(source, file.lines[n])) break;
        file.lastLine = n;
    }
}
