// capstore: the PC buffering program.
#include "startup/start_program.h"

int main(int argc, char** argv) { return capstore::run_program(argc, argv); }
