// zamvex_docs DIR: writes zamvex.1, zamvex.bash and _zamvex into DIR from the
// command table (run by the build; the files are installed).
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "text/docs.h"

namespace {

bool write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (out) return true;
    std::fprintf(stderr, "zamvex_docs: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: zamvex_docs DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    const bool ok = write(dir + "/zamvex.1", cli::man_page(ZAMVEX_VERSION)) &&
                    write(dir + "/zamvex.bash", cli::bash_completion()) &&
                    write(dir + "/_zamvex", cli::zsh_completion());
    return ok ? 0 : 1;
}
