// File names of the PC buffer and their recognition during a scan.
#include "pcbuffer/buffer_names.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>

namespace pcbuffer {

namespace {
bool EqualNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
}  // namespace

std::string BlockFileName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "%08d.mkw", number);
    return name;
}

std::string BufferFilePath(const std::string& folder, std::string_view name) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    path += name;
    return path;
}

std::string BlockFilePath(const std::string& folder, int number) {
    return BufferFilePath(folder, BlockFileName(number));
}

std::string InfoFilePath(const std::string& folder) { return BufferFilePath(folder, kInfoFileName); }

bool IsBufferFileName(std::string_view name) {
    constexpr std::string_view kExt = kBufferFileExtension;
    return name.size() >= kExt.size() && EqualNoCase(name.substr(name.size() - kExt.size()), kExt);
}

bool IsInfoFileName(std::string_view name) { return EqualNoCase(name, kInfoFileName); }

bool IsWrittenBlockName(std::string_view name) {
    const auto number = BlockNumberOf(name);
    return number && *number < kBlockNumberLimit && name == BlockFileName(*number);
}

std::optional<int> BlockNumberOf(std::string_view name) {
    long long number = 0;
    std::size_t i = 0;
    for (; i < name.size() && name[i] >= '0' && name[i] <= '9'; ++i) {
        number = number * 10 + (name[i] - '0');
        if (number > INT_MAX) return std::nullopt;
    }
    if (i == 0 || i >= name.size() || name[i] != '.') return std::nullopt;
    return static_cast<int>(number);
}

}  // namespace pcbuffer
