// capstore: the PC buffering program.
#include <cstdio>
#include <cstring>

#include "startup/start_program.h"

namespace {

// Answered before Qt starts, so it needs no display.
constexpr const char* kHelp =
    "usage: capstore [Qt options]\n"
    "\n"
    "The PC buffering window: measures with an RV-7010/7020/7030 analyzer into a PC\n"
    "buffer folder and converts the buffer to text or CSV files.\n"
    "\n"
    "  --help    show this text\n"
    "\n"
    "Standard Qt options such as -platform are taken as well. See capstore(1).\n";

bool asks_for_help(int argc, char** argv) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (asks_for_help(argc, argv)) {
        std::fputs(kHelp, stdout);
        return 0;
    }
    return capstore::run_program(argc, argv);
}
