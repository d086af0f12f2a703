// capstore's start-up: the library version check, the settings, both
// library objects and the main window, then the event loop.
#pragma once

namespace capstore {

int run_program(int argc, char** argv);

}  // namespace capstore
