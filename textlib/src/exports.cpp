// The two functions libtextlib.so exports; everything else stays hidden.
#include "textlib/linked_factory.h"

extern "C" __attribute__((visibility("default"))) int CreateMirlokeTextConvert(TextConvert** out) {
    return textlib::CreateTextConvert(out);
}

extern "C" __attribute__((visibility("default"))) int MKGetDllVersion() { return kTextlibVersion; }
