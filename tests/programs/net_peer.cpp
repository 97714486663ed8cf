// A network game program driven by a test: it runs the lines of a command
// file as they are appended (arguments: command file, result file) and
// appends "<line number> <result>" for each. Commands:
//   host PORT | join HOST PORT | create NAME | remove ID | send FROM TO TEXT
//   recv ID (-> "SENDER:TEXT", or "-" when the inbox is empty)
//   count | id INDEX | name ID | local | http HOST PATH PORT FILE
//   elapsed COMMAND... (-> "<result> <milliseconds>") | quit
#include <brindle.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

// A debug build: it never pauses, so several peers run side by side while
// only one window can be active.
const GameSettings gameSettings = {160, 120, 60, 0, 1, 0, "Net Peer"};

namespace {

std::string Run(std::istringstream& in) {
    std::string op;
    in >> op;
    std::string a, b, c, d;
    if (op == "host") {
        in >> a;
        return RtString(NetHost(a.c_str())).Text();
    }
    if (op == "join") {
        in >> a >> b;
        if (a == "-") a.clear();
        return RtString(NetJoin(a.c_str(), b.c_str())).Text();
    }
    if (op == "create") {
        std::getline(in >> std::ws, a);
        return RtString(NetCreatePlayer(a.c_str())).Text();
    }
    if (op == "remove") {
        in >> a;
        return RtString(NetRemovePlayer(a.c_str())).Text();
    }
    if (op == "send") {
        in >> a >> b;
        std::getline(in >> std::ws, c);
        return RtString(NetSend(a.c_str(), b.c_str(), c.c_str())).Text();
    }
    if (op == "recv") {
        in >> a;
        RtString text = NetReceive(a.c_str());
        if (text.length() == 0) return "-";
        return std::string(NetLastSender().Text()) + ":" + text.Text();
    }
    if (op == "count") return RtString(NetPlayerCount()).Text();
    if (op == "id") {
        double index = 0;
        in >> index;
        return RtString(NetPlayerId(index)).Text();
    }
    if (op == "name") {
        in >> a;
        return std::string("[") + NetPlayerName(a.c_str()).Text() + "]";
    }
    if (op == "local") return std::string("[") + NetLocalAddresses().Text() + "]";
    if (op == "http") {
        double port = 0;
        in >> a >> b >> port >> d;
        return RtString(HttpGetFile(a.c_str(), b.c_str(), port, d.c_str())).Text();
    }
    if (op == "elapsed") {
        auto start = std::chrono::steady_clock::now();
        std::string result = Run(in);
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        return result + " " + std::to_string(ms.count());
    }
    if (op == "quit") End();
    return "unknown";
}

}  // namespace

void GameMain() {
    std::istringstream args(CommandLine().Text());
    std::string commandFile, resultFile;
    args >> commandFile >> resultFile;
    size_t done = 0;
    for (;;) {
        std::vector<std::string> lines;
        std::ifstream commands(commandFile);
        for (std::string line; std::getline(commands, line);) lines.push_back(line);
        // Only whole lines: the test writes each with its newline at once.
        for (; done < lines.size(); ++done) {
            std::istringstream in(lines[done]);
            std::string result = Run(in);
            std::FILE* out = std::fopen(resultFile.c_str(), "ab");
            std::fprintf(out, "%zu %s\n", done + 1, result.c_str());
            std::fclose(out);
        }
        ShowFrame();  // paces the loop and answers window messages (others' start-ups wait on them)
    }
}
