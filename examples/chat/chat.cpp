// A two-player network chat. Started with "host [PORT]" it hosts a game on
// the port (27013 when none is given); with "join [HOST [PORT]]" it joins
// the game on that machine (this one when none is given). Without a command
// line, H hosts and J joins this machine. Each side makes one player; the
// keys 1 ... 4 send a message to every player. Escape ends the example.
#include <brindle.h>

// debugTrace 1: the game keeps running while its window is not the active
// one (a release build waits), so host and guest can chat side by side on
// one machine; it also writes a trace of the run when it ends.
const GameSettings gameSettings = {640, 480, 30, 0, 1, 0, "Example: Chat"};

namespace {
const double kKeyH = 35, kKeyJ = 36, kKey1 = 2;
const char* kMessages[] = {"Hello!", "Ready?", "Good game", "See you"};
StringArray lines;  // the chat so far, newest last
double lineCount = 0;
NumberArray wasDown;

double Pressed(double key) {
    double down = KeyDown(key);
    double pressed = down != 0 && wasDown(key) == 0;
    wasDown(key) = down;
    return pressed;
}

void AddLine(const RtString& text) {
    if (lineCount == 12) {  // full: scroll up by one
        for (double i = 1; i < 12; i = i + 1) lines(i - 1) = lines(i);
        lineCount = 11;
    }
    lines(lineCount) = text;
    lineCount = lineCount + 1;
}

// The word at a position of the command line ("" when there is none).
RtString Word(double index) {
    StringArray words;
    double n = SplitText(CommandLine(), words, " ");
    return index < n ? words(index) : RtString("");
}

// Shows a frame with one line of text while waiting for a choice.
void Show(const RtString& text) {
    PrintText("Network chat", 8, 8);
    PrintText(text, 8, 40);
    ShowFrame();
}
}  // namespace

void GameMain() {
    DimArray(wasDown, 256);
    DimStringArray(lines, 12);
    RtString mode = Word(0);
    while (mode == "") {  // no command line: ask
        if (Pressed(kKeyH)) mode = "host";
        if (Pressed(kKeyJ)) mode = "join";
        Show("H: host a game  J: join one here");
    }
    double ok;
    RtString name;
    if (mode == "host") {
        Show("Starting a game...");
        ok = NetHost(Word(1));
        name = "Host";
    } else {
        Show("Joining...");
        ok = NetJoin(Word(1), Word(2));
        name = "Guest";
    }
    // A player of our own: messages are sent from it and arrive for it.
    double me = ok != 0 ? NetCreatePlayer(name) : -1;
    if (me < 0) {
        for (;;) Show(RtString("Could not ") + mode + ": Escape ends");
    }
    RtString myId = RtString(me);
    AddLine(RtString("You are ") + name + ", player " + myId);
    for (;;) {
        for (double k = 0; k < 4; k = k + 1) {
            if (Pressed(kKey1 + k)) {
                NetSend(myId, "0", kMessages[int(k)]);  // recipient 0: everyone
                AddLine(RtString("me: ") + kMessages[int(k)]);
            }
        }
        // Every message that arrived since the last frame, with its
        // sender's name (our own come back too: they are shown already).
        for (RtString text = NetReceive(myId); text != ""; text = NetReceive(myId)) {
            if (NetLastSender() != myId) AddLine(NetPlayerName(NetLastSender()) + ": " + text);
        }

        FillRect(0, 0, 639, 479, 0x302010);
        PrintText("Network chat", 8, 8);
        PrintText(RtString("Players: ") + NetPlayerCount() + "  1-4 send", 8, 30);
        for (double i = 0; i < lineCount; i = i + 1) PrintText(lines(i), 8, 70 + i * 20);
        ShowFrame();
    }
}
