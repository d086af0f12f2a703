// setxfer: reads an analyzer's settings into a text file and sends such a file
// back, or types new contents for one of its tables.
#include <QApplication>

#include "program.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);  // the main flow decides when to end
    return setxfer::app::run_program();
}
