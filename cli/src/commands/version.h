// `zamvex --version`: the suite's version, the build's commit, and the
// version each of the two libraries reports with its own MKGetDllVersion.
#pragma once
#include <string>

namespace cli {

std::string version_text();

}  // namespace cli
