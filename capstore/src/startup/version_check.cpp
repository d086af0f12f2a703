// Looks MKGetDllVersion up with dlsym on each library's own handle: a global
// lookup would find whichever library the loader bound first.
#include "startup/version_check.h"

#include <dlfcn.h>

namespace capstore {

std::uint32_t library_version(const std::string& name) {
    void* handle = dlopen(name.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!handle) handle = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return 0;
    std::uint32_t version = 0;
    if (void* symbol = dlsym(handle, "MKGetDllVersion")) {
        auto get = reinterpret_cast<int (*)()>(symbol);
        version = static_cast<std::uint32_t>(get());
    }
    dlclose(handle);
    return version;
}

const char* version_problem(std::uint32_t commlib, std::uint32_t textlib) {
    if (commlib < kCommlibMinimum) return "Commlib.dll is wrong version.";
    if (textlib < kTextlibMinimum) return "Textlib.dll is wrong version.";
    return nullptr;
}

}  // namespace capstore
