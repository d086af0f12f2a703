// Full paths, the root rule, the max-block range and the folder chain on disk.
#include "folder_checks.h"

#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <charconv>
#include <climits>
#include <filesystem>
#include <vector>

#include "pcbuffer/buffer_names.h"

namespace commlib::ui {
namespace {

std::string ParentOf(const std::string& path) {
    const auto slash = path.rfind('/');
    return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// 1 folder, 0 something else, -1 cannot be seen (absent, or not reachable).
int KindOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return -1;
    return S_ISDIR(st.st_mode) ? 1 : 0;
}

}  // namespace

std::optional<std::string> FullFolderPath(const std::string& typed) {
    if (typed.empty()) return std::nullopt;
    std::string joined = typed;
    if (typed.front() != '/') {
        char cwd[PATH_MAX];
        if (!::getcwd(cwd, sizeof cwd)) return std::nullopt;
        joined = std::string(cwd) + "/" + typed;
    }
    std::string full = std::filesystem::path(joined).lexically_normal().string();
    while (full.size() > 1 && full.back() == '/') full.pop_back();
    if (full.empty() || full.size() > PathLimit) return std::nullopt;
    return full;
}

bool IsRootFolder(const std::string& full) { return full == "/"; }

std::optional<int> ParseMaxBlocks(const std::string& text) {
    if (text.empty() || text.size() > 9) return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.front() == '-' || text.front() == '+')
        return std::nullopt;
    if (value < 1 || value > pcbuffer::kMaxBlocksLimit) return std::nullopt;
    return value;
}

// Like the walk the buffer has always used: a path that cannot be seen counts
// as missing, and the nearest ancestor that can be seen decides.
FolderState InspectFolder(const std::string& full) {
    const int kind = KindOf(full);
    if (kind >= 0) return kind == 1 ? FolderState::Folder : FolderState::NotAFolder;
    for (std::string up = ParentOf(full);; up = ParentOf(up)) {
        const int upKind = KindOf(up);
        if (upKind >= 0) return upKind == 1 ? FolderState::Missing : FolderState::NotAFolder;
        if (up == "/") return FolderState::NotAFolder;
    }
}

bool MakeFolderChain(const std::string& full) {
    std::vector<std::string> missing;
    for (std::string at = full; at != "/" && KindOf(at) < 0; at = ParentOf(at)) missing.push_back(at);
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (::mkdir(it->c_str(), 0777) != 0 && !(errno == EEXIST && KindOf(*it) == 1)) return false;
    }
    return KindOf(full) == 1;
}

}  // namespace commlib::ui
