// --help of the window programs, answered before Qt starts so that it needs
// no display.
//
// Errors: none.
// Threads: the main thread, before anything starts.
#pragma once
#include <cstdio>
#include <cstring>

namespace platform {

// Prints `text` and returns true when the command line holds --help or -h.
inline bool answerHelp(int argc, char** argv, const char* text) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(text, stdout);
            return true;
        }
    }
    return false;
}

}  // namespace platform
