// setxfer: reads an analyzer's settings into a text file and sends such a file
// back, or types new contents for one of its tables.
#include <cstdio>
#include <cstring>

#include <QApplication>

#include "program.h"

namespace {

// Answered before Qt starts, so it needs no display.
constexpr const char* kHelp =
    "usage: setxfer [Qt options]\n"
    "\n"
    "Copies an RV-7010/7020/7030 analyzer's settings to and from an editable text file,\n"
    "or types new contents for one of its tables.\n"
    "\n"
    "  --help    show this text\n"
    "\n"
    "Standard Qt options such as -platform are taken as well. See setxfer(1).\n";

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
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the main flow decides when to end
    return setxfer::app::run_program();
}
