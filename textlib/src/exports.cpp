// The two functions libtextlib.so exports; everything else stays hidden.
#include <new>

#include "text_convert_impl.h"

extern "C" __attribute__((visibility("default"))) int CreateMirlokeTextConvert(TextConvert** out) {
    if (out == nullptr) return 0;
    *out = nullptr;
    try {
        *out = new (std::nothrow) textlib::TextConvertImpl();
    } catch (...) {
        return 0;
    }
    return 1;
}

extern "C" __attribute__((visibility("default"))) int MKGetDllVersion() { return kTextlibVersion; }
