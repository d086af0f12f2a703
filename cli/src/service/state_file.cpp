// State files on disk: the folder, the atomic write, the stale check.
#include "service/state_file.h"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/whole_file.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

constexpr char kFolderName[] = "zamvex";
constexpr char kSystemFolder[] = "/run/zamvex";
constexpr char kSuffix[] = ".state";

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The folder this process writes to, made when missing; empty when none can be had.
std::string own_folder() {
    // A service's runtime folders come as a list; the first is its own.
    std::string folder = env("RUNTIME_DIRECTORY");
    folder = folder.substr(0, folder.find(':'));
    if (folder.empty() && !env("XDG_RUNTIME_DIR").empty()) folder = env("XDG_RUNTIME_DIR") + "/" + kFolderName;
    if (folder.empty()) folder = kSystemFolder;
    std::error_code ec;
    fs::create_directories(folder, ec);
    return fs::is_directory(folder, ec) && ::access(folder.c_str(), W_OK) == 0 ? folder : "";
}

std::vector<std::string> status_folders() {
    std::vector<std::string> folders;
    if (!env("XDG_RUNTIME_DIR").empty()) folders.push_back(env("XDG_RUNTIME_DIR") + "/" + kFolderName);
    folders.push_back(kSystemFolder);
    std::error_code ec;
    for (fs::directory_iterator it(kSystemFolder, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_directory(ec)) folders.push_back(it->path().string());
    std::vector<std::string> unique;
    for (const std::string& f : folders) {
        const std::string canonical = fs::weakly_canonical(f, ec).string();
        if (std::find(unique.begin(), unique.end(), canonical) == unique.end()) unique.push_back(canonical);
    }
    return unique;
}

std::vector<FoundState> states_in(const std::string& folder) {
    std::vector<FoundState> found;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.rfind("capture-", 0) != 0 || it->path().extension() != kSuffix) continue;
        std::ifstream in(it->path());
        const auto state = parse_state(std::string(std::istreambuf_iterator<char>(in), {}));
        if (!state) continue;
        found.push_back({it->path().string(), *state, process_running(state->pid, state->process_start)});
    }
    return found;
}

}  // namespace

long long process_start_ticks(long long pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    const std::string stat(std::istreambuf_iterator<char>(in), {});
    // The name in parentheses may hold spaces; the fields after it are plain.
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    const char* p = stat.c_str() + close + 1;
    // Fields 3 (state) to 21 come before the start time, field 22.
    for (int field = 3; field < 22 && *p; ++field) {
        while (*p == ' ') ++p;
        while (*p && *p != ' ') ++p;
    }
    return std::atoll(p);
}

bool process_running(long long pid, long long process_start) {
    if (pid <= 0) return false;
    if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno != EPERM) return false;
    // The same pid may belong to a newer process by now.
    const long long start = process_start_ticks(pid);
    return start == 0 || process_start == 0 || start == process_start;
}

StateFile::StateFile() {
    const std::string folder = own_folder();
    if (folder.empty()) return;
    for (const FoundState& old : states_in(folder)) {
        std::error_code ec;
        if (!old.running) fs::remove(old.path, ec);
    }
    path_ = folder + "/" + state_file_name(::getpid());
}

StateFile::~StateFile() {
    if (!written_) return;
    std::error_code ec;
    fs::remove(path_, ec);
}

bool StateFile::write(CaptureState state) {
    if (path_.empty()) return false;
    state.pid = ::getpid();
    state.process_start = process_start_ticks(state.pid);
    // Written whole, and readable by every user's `zamvex status` whatever the umask.
    platform::WholeFile file;
    const bool ok =
        file.open(path_).ok() && file.setMode(0644).ok() && file.write(state_text(state)).ok() && file.commit().ok();
    written_ = written_ || ok;
    return ok;
}

std::vector<FoundState> find_capture_states() {
    std::vector<FoundState> all;
    for (const std::string& folder : status_folders()) {
        auto found = states_in(folder);
        all.insert(all.end(), found.begin(), found.end());
    }
    std::sort(all.begin(), all.end(),
              [](const FoundState& a, const FoundState& b) { return a.state.since < b.state.since; });
    return all;
}

}  // namespace cli
