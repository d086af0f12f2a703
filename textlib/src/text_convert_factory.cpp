// The one place a TextConvertImpl is made, for the library's export and for
// programs that link the library's code.
#include <new>

#include "text_convert_impl.h"
#include "textlib/linked_factory.h"

namespace textlib {

int CreateTextConvert(TextConvert** out) {
    if (out == nullptr) return 0;
    *out = nullptr;
    try {
        *out = new (std::nothrow) TextConvertImpl();
    } catch (...) {
        return 0;
    }
    return 1;
}

}  // namespace textlib
