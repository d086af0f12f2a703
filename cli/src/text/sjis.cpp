// Shift_JIS to UTF-8 through the C library's iconv (CP932 covers the
// single-byte katakana and the Windows characters the messages use).
#include "text/sjis.h"

#include <iconv.h>

#include <cerrno>

namespace cli {

std::string sjis_to_utf8(std::string_view sjis) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(sjis);
    std::string out;
    std::string in(sjis);
    char* src = in.data();
    std::size_t left = in.size();
    char buffer[256];
    while (left > 0) {
        char* dst = buffer;
        std::size_t room = sizeof buffer;
        const std::size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (r == static_cast<std::size_t>(-1) && errno != E2BIG) {
            out += '?';  // skip one byte that does not convert
            ++src;
            --left;
        }
    }
    iconv_close(cd);
    return out;
}

}  // namespace cli
