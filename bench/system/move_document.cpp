// Moves one document with the program's own move and prints how long the move took:
//   move_document SOURCE TARGET
// Output: "move_ms=<milliseconds>"; on failure the program's message and exit status 1.
#include <chrono>
#include <cstdio>
#include <string>

#include "platform/linux/posix_document_files.h"

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: move_document SOURCE TARGET\n");
        return 2;
    }
    sortwell::platform::linux_host::PosixDocumentFiles files;
    const auto started = std::chrono::steady_clock::now();
    const std::string problem = files.moveDocument(argv[1], argv[2]);
    const std::chrono::duration<double, std::milli> took =
        std::chrono::steady_clock::now() - started;
    if (!problem.empty()) {
        std::fprintf(stderr, "move_document: %s\n", problem.c_str());
        return 1;
    }
    std::printf("move_ms=%.3f\n", took.count());
    return 0;
}
