// Block ranges of a buffer folder and the shape of a single data file.
#include "commands/buffer_input.h"

#include <sys/stat.h>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "commands/capture_job.h"
#include "pcbuffer/buffer_names.h"
#include "text/messages.h"

namespace cli {
namespace {

std::string parent_of(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

std::string beside_buffer(const std::string& buffer, const std::string& suffix) {
    namespace fs = std::filesystem;
    fs::path p = fs::path(buffer).lexically_normal();
    if (!p.has_filename()) p = p.parent_path();
    if (const std::string name = p.filename().string(); name.empty() || name == "." || name == "..") {
        std::error_code ec;
        p = fs::weakly_canonical(fs::absolute(p), ec);
    }
    return p.string() + suffix;
}

std::optional<std::string> make_new_folder(const std::string& base, std::string& error) {
    for (int n = 1; n <= 9999; ++n) {
        const std::string path = n == 1 ? base : base + "-" + std::to_string(n);
        if (::mkdir(path.c_str(), 0777) == 0) return path;
        if (errno != EEXIST) {
            error = "cannot make the folder '" + path + "': " + std::strerror(errno);
            return std::nullopt;
        }
    }
    error = "cannot make a new folder: '" + base + "' up to '" + base + "-9999' all exist";
    return std::nullopt;
}

std::optional<BlockChoice> choose_blocks(int held, int start, std::optional<int> blocks, std::string& error) {
    if (start > held) {
        error = "--start " + std::to_string(start) + " is past the last block: the buffer holds " +
                std::to_string(held) + " block" + (held == 1 ? "" : "s");
        return std::nullopt;
    }
    BlockChoice c;
    c.start = start;
    const int available = held - start + 1;
    c.blocks = blocks ? std::min(*blocks, available) : std::min(available, pcbuffer::kMaxBlocksLimit);
    c.left_out = blocks ? 0 : available - c.blocks;
    return c;
}

std::string left_out_note(const BlockChoice& c) {
    if (c.left_out == 0) return "";
    const int last = c.start + c.blocks - 1;
    return std::to_string(c.left_out) + " block" + (c.left_out == 1 ? "" : "s") + " after block " +
           std::to_string(last) + " left out (one job takes at most " + std::to_string(pcbuffer::kMaxBlocksLimit) +
           "); continue with --start " + std::to_string(last + 1);
}

std::optional<BufferInput> choose_input(const std::string& path, int start, int& blocks, bool blocks_given,
                                        std::string& error) {
    BufferInput in;
    if (std::filesystem::is_regular_file(path)) {
        error = single_file_problem(path);
        if (!error.empty()) return std::nullopt;
        return in;
    }
    in.held = std::filesystem::is_directory(path) ? count_block_files(path) : 0;
    if (in.held == 0) return in;
    in.choice = choose_blocks(in.held, start, blocks_given ? std::optional<int>(blocks) : std::nullopt, error);
    if (!in.choice) return std::nullopt;
    blocks = in.choice->blocks;
    in.note = left_out_note(*in.choice);
    return in;
}

std::string unreadable_buffer_text(const std::string& path) {
    return std::string(message_text(Msg::BufferFiles)) + "\n'" + path + "'";
}

std::string single_file_problem(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return "cannot read '" + path + "': " + std::strerror(errno);
    const auto size = static_cast<std::size_t>(st.st_size);
    char head[pcbuffer::kInfoMagicSize] = {};  // the first bytes of a folder's information file
    std::ifstream(path, std::ios::binary).read(head, sizeof head);
    const bool info_file = std::memcmp(head, pcbuffer::kInfoMagic, sizeof head) == 0;
    if (!info_file && size >= pcbuffer::kInfoBodySize && (size - pcbuffer::kInfoBodySize) % pcbuffer::kRecordBytes == 0)
        return "";
    // Block files hold whole records only; a single data file is two bytes past that.
    std::string what = info_file                            ? "the information file of a PC buffer folder"
                       : size % pcbuffer::kRecordBytes == 0 ? "a block file of a PC buffer folder"
                                                            : "too short";
    return "'" + path + "' is not a single data file (" + what + "): a single data file is the " +
           std::to_string(pcbuffer::kInfoBodySize) + "-byte information part followed by " +
           std::to_string(pcbuffer::kRecordBytes) +
           "-byte records, as the analyzer's save writes it; for a PC buffer, give its folder ('" + parent_of(path) +
           "')";
}

}  // namespace cli
