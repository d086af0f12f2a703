// `zamvex --version`: the suite's version, the build's commit, the version
// libcommlib.so reports with its own MKGetDllVersion and where it was loaded
// from, and the version of the text conversion code built into zamvex.
#pragma once
#include <string>

namespace cli {

std::string version_text();

}  // namespace cli
