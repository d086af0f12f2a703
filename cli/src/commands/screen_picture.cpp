// Screen image conversion. The PNG writer needs no compression library: the
// image is small, so its rows go out in stored (uncompressed) deflate blocks.
#include "commands/screen_picture.h"

#include <array>

namespace cli {
namespace {

constexpr std::array<std::uint32_t, 256> make_crc_table() {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        t[n] = c;
    }
    return t;
}
constexpr auto kCrcTable = make_crc_table();

std::uint32_t crc32(const std::string& bytes, std::size_t from) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = from; i < bytes.size(); ++i)
        c = kCrcTable[(c ^ static_cast<std::uint8_t>(bytes[i])) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void put_be32(std::string& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((v >> shift) & 0xFF);
}

void chunk(std::string& out, const char* type, const std::string& data) {
    put_be32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out += type;
    out += data;
    put_be32(out, crc32(out, start));
}

// zlib stream of stored blocks (at most 65535 bytes each) with its Adler-32.
std::string zlib_stored(const std::string& raw) {
    std::string z = "\x78\x01";
    std::size_t pos = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
        const bool last = pos + n == raw.size();
        z += static_cast<char>(last ? 1 : 0);
        z += static_cast<char>(n & 0xFF);
        z += static_cast<char>(n >> 8);
        z += static_cast<char>(~n & 0xFF);
        z += static_cast<char>((~n >> 8) & 0xFF);
        z.append(raw, pos, n);
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        b = (b + a) % 65521;
    }
    put_be32(z, (b << 16) | a);
    return z;
}

}  // namespace

Picture picture_from_bitmap(const BitmapInfo& info, const void* bits) {
    const BitmapInfoHeader& h = info.bmiHeader;
    Picture p;
    const int height = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    if (!bits || h.biBitCount != 1 || h.biWidth <= 0 || h.biWidth > 4096 || height <= 0 || height > 4096) return p;
    p.width = h.biWidth;
    p.height = height;
    const int stride = ((p.width + 31) / 32) * 4;
    const auto* rows = static_cast<const std::uint8_t*>(bits);
    std::uint8_t level[2];
    for (int i = 0; i < 2; ++i) {
        const RgbQuad& c = info.bmiColors[i];
        level[i] = static_cast<std::uint8_t>((c.rgbRed * 299 + c.rgbGreen * 587 + c.rgbBlue * 114) / 1000);
    }
    p.grey.resize(static_cast<std::size_t>(p.width) * p.height);
    for (int y = 0; y < height; ++y) {
        // A positive height stores the bottom row first.
        const int src_row = h.biHeight > 0 ? height - 1 - y : y;
        const std::uint8_t* row = rows + static_cast<std::size_t>(src_row) * stride;
        for (int x = 0; x < p.width; ++x)
            p.grey[static_cast<std::size_t>(y) * p.width + x] = level[(row[x >> 3] >> (7 - (x & 7))) & 1];
    }
    return p;
}

std::string png_file(const Picture& p) {
    std::string out = "\x89PNG\r\n\x1a\n";
    std::string ihdr;
    put_be32(ihdr, static_cast<std::uint32_t>(p.width));
    put_be32(ihdr, static_cast<std::uint32_t>(p.height));
    ihdr += std::string("\x08\x00\x00\x00\x00", 5);  // 8-bit greyscale, no interlace
    chunk(out, "IHDR", ihdr);
    std::string raw;
    raw.reserve(p.grey.size() + p.height);
    for (int y = 0; y < p.height; ++y) {
        raw += '\0';  // filter: none
        raw.append(reinterpret_cast<const char*>(p.grey.data()) + static_cast<std::size_t>(y) * p.width, p.width);
    }
    chunk(out, "IDAT", zlib_stored(raw));
    chunk(out, "IEND", "");
    return out;
}

int text_scale(int width, int columns) {
    return columns <= 0 || width <= columns ? 1 : (width + columns - 1) / columns;
}

std::string text_art(const Picture& p, int columns) {
    static const char* const kCells[] = {" ", "\xE2\x96\x80", "\xE2\x96\x84", "\xE2\x96\x88"};  // " ▀ ▄ █"
    const int k = text_scale(p.width, columns);
    // A scaled cell half is inked when any pixel of its k x k square is: thin
    // strokes stay visible.
    auto ink = [&p, k](int x, int y) {
        for (int dy = 0; dy < k && y + dy < p.height; ++dy)
            for (int dx = 0; dx < k && x + dx < p.width; ++dx)
                if (p.grey[static_cast<std::size_t>(y + dy) * p.width + x + dx] < 128) return true;
        return false;
    };
    std::string out;
    for (int y = 0; y < p.height; y += 2 * k) {
        for (int x = 0; x < p.width; x += k) out += kCells[(ink(x, y) ? 1 : 0) | (ink(x, y + k) ? 2 : 0)];
        out += '\n';
    }
    return out;
}

}  // namespace cli
