// A program for RunProgram's tests. It writes the arguments it was given,
// one a line, to "child-args.txt" in its current directory (complete before
// the name appears), then ends as its first argument asks: "exit N" with the
// code N, "abort" through abort(), "trap" on an illegal instruction; else
// with 0.
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (std::FILE* f = std::fopen("child-args.part", "wb")) {
        for (int i = 1; i < argc; ++i) {
            std::fputs(argv[i], f);
            std::fputc('\n', f);
        }
        if (std::fclose(f) == 0) std::rename("child-args.part", "child-args.txt");
    }
    if (argc >= 3 && std::strcmp(argv[1], "exit") == 0)
        std::exit(static_cast<int>(std::strtoul(argv[2], nullptr, 10)));
    if (argc >= 2 && std::strcmp(argv[1], "abort") == 0) std::abort();
    if (argc >= 2 && std::strcmp(argv[1], "trap") == 0) __builtin_trap();
    return 0;
}
