// Tests the output folder and creates a missing one after asking. Errors of
// the file system are sorted the way the user can act on them: missing,
// not a folder, access denied, or anything else (let the conversion try).
#include "convert/save_folder.h"

#include <filesystem>
#include <system_error>

#include "texts/string_table.h"

namespace capstore {
namespace fs = std::filesystem;
namespace {

constexpr std::size_t kMaxPath = 259;

enum class Kind { Folder, File, Missing, Denied, Other };

Kind kind_of(const fs::path& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (ec) {
        if (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory) return Kind::Missing;
        if (ec == std::errc::permission_denied) return Kind::Denied;
        return Kind::Other;
    }
    if (st.type() == fs::file_type::not_found) return Kind::Missing;
    return fs::is_directory(st) ? Kind::Folder : Kind::File;
}

// The nearest existing ancestor decides; the root counts as a folder.
Kind walk_up(const fs::path& path) {
    fs::path at = path.parent_path();
    while (!at.empty() && at != at.root_path()) {
        const Kind k = kind_of(at);
        if (k != Kind::Missing) return k;
        at = at.parent_path();
    }
    return Kind::Folder;
}

}  // namespace

std::string full_path(const std::string& text) {
    if (text.empty() || text.find('\0') != std::string::npos) return {};
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(text), ec);
    if (ec) return {};
    std::string out = p.lexically_normal().string();
    while (out.size() > 1 && out.back() == '/') out.pop_back();
    if (out.size() > kMaxPath) return {};
    return out;
}

FolderCheck check_save_folder(const std::string& text, bool silent, const FolderQuestions& q) {
    FolderCheck r;
    r.full_path = full_path(text);
    auto show = [&](int message, int caption = 0) {
        if (!silent && q.show) q.show(message, r.full_path, caption);
    };
    if (r.full_path.empty()) {
        show(str::kBadPath);
        return r;
    }
    const fs::path path(r.full_path);
    if (path == path.root_path()) {
        show(str::kRootFolder);
        return r;
    }
    Kind k = kind_of(path);
    if (k == Kind::Missing && !silent) {
        const Kind ancestor = walk_up(path);
        if (ancestor != Kind::Folder) k = ancestor;
    }
    switch (k) {
    case Kind::Folder: r.valid = true; return r;
    case Kind::File: show(str::kNotAFolder); return r;
    case Kind::Denied: show(str::kFolderDenied); return r;
    case Kind::Other: r.valid = true; return r;  // let the conversion report what it finds
    case Kind::Missing: break;
    }
    if (silent) return r;
    if (!q.ask || !q.ask(str::kAskCreateFolder, r.full_path, str::kCreateCaption)) return r;
    std::error_code ec;
    fs::create_directories(path, ec);
    if (ec || kind_of(path) != Kind::Folder) {
        show(str::kCannotCreateFolder, str::kCreateCaption);
        return r;
    }
    r.valid = true;
    return r;
}

}  // namespace capstore
