// libcommlib.so is asked on its own handle: a plain call to MKGetDllVersion
// would reach whichever library of that name the loader bound first. The text
// conversion code is linked into zamvex, so its line names the version built
// in (what libtextlib.so of the same source answers) and no file.
#include "commands/version.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "build_commit.h"
#include "textlib/text_convert.h"

namespace cli {
namespace {

// "0x0100000D (1.0.0.13)"
std::string version_number(int version) {
    const auto v = static_cast<unsigned>(version);
    char text[40];
    std::snprintf(text, sizeof text, "0x%08X (%u.%u.%u.%u)", v, v >> 24, (v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    return text;
}

// "libcommlib.so  MKGetDllVersion 0x0100000D (1.0.0.13)  /usr/lib/.../libcommlib.so"
std::string library_line(const char* name) {
    std::string line = std::string(name) + "  ";
    void* handle = ::dlopen(name, RTLD_NOW | RTLD_NOLOAD);
    if (!handle) handle = ::dlopen(name, RTLD_NOW | RTLD_LOCAL);
    if (!handle) return line + "not loaded: " + ::dlerror() + "\n";
    void* symbol = ::dlsym(handle, "MKGetDllVersion");
    if (!symbol) {
        ::dlclose(handle);
        return line + "has no MKGetDllVersion\n";
    }
    line += "MKGetDllVersion " + version_number(reinterpret_cast<int (*)()>(symbol)());
    Dl_info info{};
    if (::dladdr(symbol, &info) && info.dli_fname) {
        char* path = ::realpath(info.dli_fname, nullptr);  // "bin/../lib/..." as the plain path
        line += std::string("  ") + (path ? path : info.dli_fname);
        std::free(path);
    }
    ::dlclose(handle);
    return line + "\n";
}

}  // namespace

std::string version_text() {
    std::string out = std::string("zamvex ") + ZAMVEX_VERSION + " (ZAMVEX-3 for Linux), commit " + kBuildCommit + "\n";
    out += library_line("libcommlib.so");
    out += "textlib  " + version_number(kTextlibVersion) + "  built into zamvex\n";
    return out;
}

}  // namespace cli
