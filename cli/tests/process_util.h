// Running zamvex as a separate process in the end-to-end tests: a simulated
// analyzer in the background, and commands with their output and exit code.
// Every wait has a deadline, so a hung command fails the test instead of the run.
#pragma once
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace cli_test {

inline std::string read_text(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// How often `part` occurs in `text`.
inline int count_of(const std::string& text, const std::string& part) {
    int n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) ++n;
    return n;
}

// An environment variable set for the programs a test starts, restored after.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// Polls `done` every 20 ms until it holds or `limit` passes.
template <class Done>
bool eventually(Done done, std::chrono::seconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        timespec ts{0, 20'000'000};
        nanosleep(&ts, nullptr);
    }
    return true;
}

// fork + exec of a program; stdout and stderr to the given descriptors,
// stdin from `in_fd` (-1: /dev/null).
inline int spawn_program(std::string exe, const std::vector<std::string>& args, int out_fd, int err_fd,
                         int in_fd = -1) {
    std::vector<char*> argv;
    argv.push_back(exe.data());
    std::vector<std::string> copy = args;
    for (std::string& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    const int pid = fork();
    if (pid == 0) {
        dup2(out_fd, STDOUT_FILENO);
        dup2(err_fd, STDERR_FILENO);
        dup2(in_fd >= 0 ? in_fd : open("/dev/null", O_RDONLY), STDIN_FILENO);
        execv(argv[0], argv.data());
        _exit(127);
    }
    if (pid < 0) throw std::runtime_error("fork failed");
    return pid;
}

// fork + exec of the built program.
inline int spawn(const std::vector<std::string>& args, int out_fd, int err_fd, int in_fd = -1) {
    return spawn_program(ZAMVEX_EXE, args, out_fd, err_fd, in_fd);
}

// Waits for pid; its exit code, or -1 when it did not end within `limit` (then it is killed).
inline int wait_for(int pid, std::chrono::seconds limit) {
    int status = 0;
    const bool ended = eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; }, limit);
    if (!ended) {
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

struct Outcome {
    int exit_code = -1;  // -1: killed at the deadline
    std::string out;
    std::string err;
};

// Runs a program to its end (killed after `limit`).
inline Outcome run_program(const std::string& exe, const std::vector<std::string>& args, std::chrono::seconds limit) {
    char out_name[] = "/tmp/zamvex-out-XXXXXX";
    char err_name[] = "/tmp/zamvex-err-XXXXXX";
    const int out_fd = mkstemp(out_name);
    const int err_fd = mkstemp(err_name);
    const int pid = spawn_program(exe, args, out_fd, err_fd);
    Outcome r;
    r.exit_code = wait_for(pid, limit);
    close(out_fd);
    close(err_fd);
    r.out = read_text(out_name);
    r.err = read_text(err_name);
    unlink(out_name);
    unlink(err_name);
    return r;
}

// Runs `zamvex args...` to its end (killed after `limit`).
inline Outcome zamvex(const std::vector<std::string>& args, std::chrono::seconds limit = std::chrono::seconds(60)) {
    return run_program(ZAMVEX_EXE, args, limit);
}

// Runs a bash script to its end (killed after `limit`).
inline Outcome run_shell(const std::string& script, std::chrono::seconds limit) {
    return run_program("/bin/bash", {"-c", script}, limit);
}

// A started `zamvex ...` that runs on until signalled; its output goes to files.
class Background {
public:
    Background(const std::vector<std::string>& args, const std::string& out_file, const std::string& err_file,
               int in_fd = -1) {
        const int out_fd = open(out_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err_fd = open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_ = spawn(args, out_fd, err_fd, in_fd);
        close(out_fd);
        close(err_fd);
    }
    ~Background() {
        if (pid_ > 0 && !ended_) {
            kill(pid_, SIGTERM);
            if (wait_for(pid_, std::chrono::seconds(10)) == -1) return;
        }
    }
    Background(const Background&) = delete;
    Background& operator=(const Background&) = delete;

    void signal(int sig) { kill(pid_, sig); }
    int pid() const { return pid_; }
    int wait(std::chrono::seconds limit) {
        const int code = wait_for(pid_, limit);
        ended_ = true;
        return code;
    }

private:
    int pid_ = -1;
    bool ended_ = false;
};

// `zamvex simulate options...` with the device path read from its first line;
// its stderr goes to `err_file` when one is named.
class Simulator {
public:
    explicit Simulator(const std::vector<std::string>& options, const std::string& err_file = "") {
        int fds[2];
        if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
        std::vector<std::string> args{"simulate"};
        args.insert(args.end(), options.begin(), options.end());
        const int err =
            err_file.empty() ? open("/dev/null", O_WRONLY) : open(err_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        pid_ = spawn(args, fds[1], err);
        close(fds[1]);
        close(err);
        // The first line is the device path; allow the program a generous while to start.
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (poll(&p, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') device_ += c;
        close(fds[0]);
        if (device_.empty()) throw std::runtime_error("zamvex simulate printed no device");
    }
    ~Simulator() {
        if (ended_) return;
        kill(pid_, SIGTERM);
        wait_for(pid_, std::chrono::seconds(10));
    }
    // Ends the simulator at once: the kernel closes its side of the pty, and
    // the programs on the other side see the line hang up, as when a USB
    // adapter is pulled.
    void pull_plug() {
        kill(pid_, SIGKILL);
        wait_for(pid_, std::chrono::seconds(10));
        ended_ = true;
    }
    // Ends the simulator as Ctrl-C would (SIGTERM); its exit code.
    int stop() {
        kill(pid_, SIGTERM);
        ended_ = true;
        return wait_for(pid_, std::chrono::seconds(10));
    }
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;
    const std::string& device() const { return device_; }
    int pid() const { return pid_; }

private:
    int pid_ = -1;
    bool ended_ = false;
    std::string device_;
};

}  // namespace cli_test
