// The screen data set: receives the analyzer's screen, keeps the framed image
// that frontpad paints, and saves or loads it as a 2622-byte BMP file.
#include "datasets/screen_set.h"

#include <algorithm>
#include <cstring>

#include "datasets/data_set_io.h"
#include "datasets/screen_image.h"

namespace commlib {

ScreenSet::ScreenSet(int model) : DataSet(MagicBitmap, model, ScreenReceiveSize), info_(MakeScreenInfo()) {
    bits_.fill(0xFF);  // blank white, no frame, until a screen arrives
}

int ScreenSet::ReceiveAt(int offset, const void* src, int n) {
    const bool wasComplete = complete_;
    const int missing = StoreAt(ScreenReceiveSize, offset, src, n);
    // Draw on completion, and again when a complete screen is patched.
    if (complete_ && (!wasComplete || (src && n > 0))) Draw();
    return missing;
}

void ScreenSet::Draw() {
    DrawScreen(std::span<const std::uint8_t, ScreenReceiveSize>(body_.data(), ScreenReceiveSize), bits_);
}

void* ScreenSet::GetBody() { return complete_ ? body_.data() : nullptr; }

const BitmapInfo* ScreenSet::GetScreenInfo() const { return &info_; }

const void* ScreenSet::GetScreenBits() const { return bits_.data(); }

std::array<std::uint8_t, ScreenBmpFileSize> ScreenSet::BmpFile() const {
    std::array<std::uint8_t, ScreenBmpFileSize> file{};
    const auto header = EncodeBmpHeader(info_);
    std::copy(header.begin(), header.end(), file.begin());
    std::copy(bits_.begin(), bits_.end(), file.begin() + ScreenBmpHeaderSize);
    return file;
}

bool ScreenSet::Save(const char* path) {
    if (!complete_) return false;
    const auto file = BmpFile();
    return WriteFileParts(path, {std::span<const std::uint8_t>(file)});
}

bool ScreenSet::Load(const char* path) {
    complete_ = false;
    std::vector<std::uint8_t> data;
    // Only the image Save writes comes back: the same 62 header bytes, then the rows.
    if (!ReadFilePrefix(path, ScreenBmpFileSize + 1, data) || data.size() != ScreenBmpFileSize) return false;
    const auto header = EncodeBmpHeader(MakeScreenInfo());
    if (!std::equal(header.begin(), header.end(), data.begin())) return false;
    std::copy(data.begin() + ScreenBmpHeaderSize, data.end(), bits_.begin());
    ScreenFromImage(bits_, std::span<std::uint8_t, ScreenReceiveSize>(body_.data(), ScreenReceiveSize));
    complete_ = true;
    return true;
}

}  // namespace commlib
