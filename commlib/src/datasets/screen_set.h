// The analyzer's 240 x 64 screen: 1920 received bytes, drawn upright and framed
// into a 256 x 80 one-bit image that frontpad paints and Save writes as a BMP.
#pragma once
#include <array>
#include <cstdint>

#include "commlib/remote.h"
#include "datasets/data_set.h"

namespace commlib {

inline constexpr int ScreenReceiveSize = 1920;  // 64 rows of 30 bytes
inline constexpr int ScreenRows = 64;
inline constexpr int ScreenRowBytes = 30;
inline constexpr int ScreenImageWidth = 256;
inline constexpr int ScreenImageHeight = 80;
inline constexpr int ScreenImageRowBytes = 32;
inline constexpr int ScreenBitsSize = 2560;     // ScreenImageHeight x ScreenImageRowBytes
inline constexpr int ScreenBmpHeaderSize = 62;  // file header, info header, two colours
inline constexpr int ScreenBmpFileSize = 2622;

class ScreenSet : public DataSet {
public:
    explicit ScreenSet(int model);
    // When all 1920 bytes are there the image is drawn.
    int ReceiveAt(int offset, const void* src, int n) override;
    // ReadAt stays the base one: the screen is never sent to the analyzer.
    void* GetBody() override;              // the 1920 received bytes
    bool Save(const char* path) override;  // the 2622-byte BMP file
    bool Load(const char* path) override;  // a BMP file as Save writes it

    // Valid at any time: a blank white image until a screen has been drawn.
    virtual const BitmapInfo* GetScreenInfo() const;  // 12
    virtual const void* GetScreenBits() const;        // 13

    // The whole BMP file as Save writes it.
    std::array<std::uint8_t, ScreenBmpFileSize> BmpFile() const;

private:
    void Draw();

    BitmapInfo info_;
    std::array<std::uint8_t, ScreenBitsSize> bits_;
};

}  // namespace commlib
