// Each library is asked on its own handle: both export MKGetDllVersion, and a
// plain call would reach whichever one the loader bound first.
#include "commands/version.h"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>

#include "build_commit.h"

namespace cli {
namespace {

constexpr const char* kLibraries[] = {"libcommlib.so", "libtextlib.so"};

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
    const auto v = static_cast<unsigned>(reinterpret_cast<int (*)()>(symbol)());
    char text[80];
    std::snprintf(text, sizeof text, "MKGetDllVersion 0x%08X (%u.%u.%u.%u)", v, v >> 24, (v >> 16) & 0xFF,
                  (v >> 8) & 0xFF, v & 0xFF);
    line += text;
    Dl_info info{};
    if (::dladdr(symbol, &info) && info.dli_fname) {
        char* path = ::realpath(info.dli_fname, nullptr);   // "bin/../lib/..." as the plain path
        line += std::string("  ") + (path ? path : info.dli_fname);
        std::free(path);
    }
    ::dlclose(handle);
    return line + "\n";
}

}  // namespace

std::string version_text() {
    std::string out = std::string("zamvex ") + ZAMVEX_VERSION + " (ZAMVEX-3 for Linux), commit " + kBuildCommit + "\n";
    for (const char* name : kLibraries) out += library_line(name);
    return out;
}

}  // namespace cli
