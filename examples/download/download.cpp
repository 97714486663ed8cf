// HTTP download: fetches a file from a web server into a file of its own
// (download1.txt, download2.txt, ...) and shows its first lines. The command line gives the server, port and path
// ("example.org 80 /index.html"); without one it asks this machine's port
// 8000 for /hello.txt (python3 -m http.server 8000 serves a folder there).
// Space downloads again. Escape ends the example.
#include <brindle.h>

const GameSettings gameSettings = {640, 480, 30, 0, 0, 0, "Example: Download"};

namespace {
const double kSpace = 57;

RtString Word(double index, const char* otherwise) {
    StringArray words;
    double n = SplitText(CommandLine(), words, " ");
    return index < n ? words(index) : RtString(otherwise);
}

void Header(const RtString& status, const RtString& address) {
    FillRect(0, 0, 639, 479, 0x203020);
    PrintText("HTTP download", 8, 8);
    PrintText(status, 8, 30);
    PrintText(address, 8, 50);
}
}  // namespace

void GameMain() {
    RtString host = Word(0, "127.0.0.1"), path = Word(2, "/hello.txt");
    double port = TextToNumber(Word(1, "8000"));
    RtString address = RtString("http://") + host + ":" + port + path;
    bool again = true, spaceWasDown = true;
    RtString status, file;
    double downloads = 0;
    for (;;) {
        if (again) {
            // HttpGetFile blocks until the transfer ends and reports nothing
            // on the way, so the frame shown before it is the progress report
            // and the time it took is shown after it.
            Header("Downloading...", address);
            ShowFrame();
            // A new file each time: the line file read below is kept in
            // memory by its name.
            downloads = downloads + 1;
            file = RtString("download") + downloads + ".txt";
            // 1 when the server sent the whole file and closed the connection.
            double started = ElapsedTime();
            double ok = HttpGetFile(host, path, port, file);
            RtString took = RtString(" after ") + (ElapsedTime() - started) + " ms";
            status = (ok != 0 ? RtString("Done: ") + file : RtString("Failed")) + took;
            again = false;
        }
        bool spaceDown = KeyDown(kSpace) != 0;
        again = spaceDown && !spaceWasDown;
        spaceWasDown = spaceDown;

        Header(status, address);
        // The file's first lines, read as a line file (entries 0 ... 255).
        for (double i = 0; i < 10; i = i + 1) {
            RtString line = ReadLineText(file, i);
            if (line == "NO_DATA" || line == "NO_FILE") break;
            PrintText(line, 8, 90 + i * 20);
        }
        PrintText("Space downloads again", 8, 450);
        ShowFrame();
    }
}
