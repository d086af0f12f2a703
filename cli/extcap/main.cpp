// zamvex-extcap: a program of its own, so that Wireshark's extcap folder can hold it.
#include <string>
#include <vector>

#include "cli/extcap.h"

int main(int argc, char** argv) { return cli::extcap_command(std::vector<std::string>(argv + 1, argv + argc)); }
