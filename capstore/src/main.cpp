// capstore: the PC buffering program.
#include "platform/program_help.h"
#include "startup/start_program.h"

namespace {

constexpr const char* kHelp =
    "usage: capstore [Qt options]\n"
    "\n"
    "The PC buffering window: measures with an RV-7010/7020/7030 analyzer into a PC\n"
    "buffer folder and converts the buffer to text or CSV files.\n"
    "\n"
    "  --help    show this text\n"
    "\n"
    "Standard Qt options such as -platform are taken as well. See capstore(1).\n";

}  // namespace

int main(int argc, char** argv) {
    if (platform::answerHelp(argc, argv, kHelp)) return 0;
    return capstore::run_program(argc, argv);
}
