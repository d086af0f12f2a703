// The two exports of libcommlib.so. Nothing else leaves the library, and no
// exception crosses this boundary.
#include <new>

#include "commlib/remote.h"
#include "remote/remote_impl.h"

namespace {
constexpr int LibraryVersion = 0x0100000D;
}  // namespace

extern "C" COMMLIB_EXPORT int CreateMirlokeRemote(Remote** out) {
    if (!out) return 0;
    *out = nullptr;
    try {
        *out = new (std::nothrow) commlib::RemoteImpl();
    } catch (...) {
        return 0;
    }
    return 1;
}

extern "C" COMMLIB_EXPORT int MKGetDllVersion() { return LibraryVersion; }
