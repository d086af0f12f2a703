// setxfer: reads an analyzer's settings into a text file and sends such a file
// back, or types new contents for one of its tables.
#include <QApplication>

#include "platform/program_help.h"
#include "program.h"

namespace {

constexpr const char* kHelp =
    "usage: setxfer [Qt options]\n"
    "\n"
    "Copies an RV-7010/7020/7030 analyzer's settings to and from an editable text file,\n"
    "or types new contents for one of its tables.\n"
    "\n"
    "  --help    show this text\n"
    "\n"
    "Standard Qt options such as -platform are taken as well. See setxfer(1).\n";

}  // namespace

int main(int argc, char** argv) {
    if (platform::answerHelp(argc, argv, kHelp)) return 0;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the main flow decides when to end
    return setxfer::app::run_program();
}
