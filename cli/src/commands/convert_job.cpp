// The conversion run: textlib's worker posts progress and its end to the
// command's queue; the main thread draws the bar and watches for Ctrl-C and SIGTERM.
#include "commands/convert_job.h"

#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>

#include "commands/buffer_input.h"
#include "commands/capture_job.h"
#include "platform/whole_file.h"
#include "session/interrupt.h"
#include "session/notify_queue.h"
#include "text/messages.h"
#include "textlib/linked_factory.h"

namespace cli {
namespace {

using namespace std::chrono_literals;

struct ConverterDeleter {
    void operator()(TextConvert* t) const {
        if (t) t->Release();
    }
};

int blocks_to_convert(const ConvertJob& job) {
    if (std::error_code ec; !std::filesystem::is_directory(job.input, ec)) return 1;
    const int held = count_block_files(job.input);
    const int left = held - job.options.Start + 1;
    return std::max(1, std::min(left, job.options.Blocks));
}

void show_progress(std::FILE* to, int done, int total) {
    if (!to) return;
    const int width = 30;
    const int filled = total > 0 ? std::min(width, done * width / total) : 0;
    std::fprintf(to, "\rconverting [%-*.*s] block %d of %d ", width, filled, "##############################", done,
                 total);
    std::fflush(to);
}

std::vector<std::string> files_written(const ConvertJob& job) {
    std::vector<std::string> files;
    for (int n = 0;; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "%08d.txt", n);
        const std::string path = job.out + "/" + job.prefix + name;
        if (std::error_code ec; !std::filesystem::exists(path, ec)) break;
        files.push_back(path);
    }
    return files;
}

// Waits for the finished notification; the end code (0..3), or -1 when none came.
// `error` gets the system's error number that a failed job reports.
int await_end(TextConvert& tc, NotifyQueue& q, const ConvertJob& job, int total, int& error) {
    bool stopping = false;
    auto stop_deadline = std::chrono::steady_clock::now();
    for (;;) {
        if (interrupted() && !stopping) {
            stopping = true;
            stop_deadline = std::chrono::steady_clock::now() + 10s;
            tc.Stop();
        }
        if (stopping && std::chrono::steady_clock::now() > stop_deadline) return -1;
        const auto m = q.wait(200ms);
        if (!m || m->message != kConvertMessage) continue;
        const int kind = static_cast<int>(m->wParam & 0xFFFF);
        const int value = static_cast<int>(m->wParam >> 16);
        if (kind == 1) show_progress(job.progress, std::max(1, value - job.options.Start + 1), total);
        else if (kind == 0) {
            error = static_cast<int>(m->lParam);
            return value;
        }
    }
}

// What a failed conversion tells the user: the folder and the system's reason when there is one.
platform::Status convert_failure(const ConvertJob& job, int end, int error) {
    const char* step = end == kConvertNoOutput ? "create the first output file in" : "write the text files in";
    if (error != 0) return platform::Status::failure(step, job.out, error);
    const std::string text = message_text(Msg::ConvertError);
    return platform::Status::failureWithMessage(
        step, job.out, 0, end == kConvertNoOutput ? text + "\ncannot " + step + " '" + job.out + "'" : text);
}

}  // namespace

std::string default_prefix() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    char prefix[40];
    std::snprintf(prefix, sizeof prefix, "MK_%04d%02d%02d_%02d%02d%02d_", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return prefix;
}

ConvertResult run_convert(const ConvertJob& job) {
    ConvertResult r;
    auto failed = [&r](platform::Status why) {
        r.exit_code = kExitFailed;
        r.status = std::move(why);
        return r;
    };
    // Failures told in words of their own (no system call failed, or it said no errno).
    auto told = [&job](const char* step, std::string text) {
        return platform::Status::failureWithMessage(step, job.input, 0, std::move(text));
    };
    ConvertOptions options = job.options;
    std::memset(options.SavePath, 0, sizeof options.SavePath);
    std::memcpy(options.SavePath, job.out.data(), std::min(job.out.size(), sizeof options.SavePath - 1));

    // The queue outlives the converter, whose worker posts to it until Close.
    NotifyQueue q;
    TextConvert* raw = nullptr;
    if (textlib::CreateTextConvert(&raw) != 1 || !raw)
        return failed(told("create the converter for", "the text conversion library could not create its object"));
    std::unique_ptr<TextConvert, ConverterDeleter> tc(raw);
    if (!tc->Open(job.input.c_str(), q.text_window(), nullptr, kConvertMessage))
        return failed(told("open", unreadable_buffer_text(job.input)));
    // The output folder is made once the buffer is known to be readable, and
    // goes again when not one file could be written into it.
    platform::NewFolders made;
    if (auto s = made.make(job.out); !s.ok()) {
        tc->Close();
        return failed(s);
    }
    if (!tc->Start(&options, job.prefix.c_str())) {
        tc->Close();
        return failed(told("convert", message_text(Msg::ConvertError)));
    }
    const int total = blocks_to_convert(job);
    int error = 0;
    const int end = await_end(*tc, q, job, total, error);
    if (job.progress) std::fputc('\n', job.progress);
    tc->Close();
    r.files = files_written(job);
    if (!r.files.empty()) made.keep();
    if (end == kConvertCancelled) {
        const std::string by = interrupt_cause();
        return failed(told("convert", "conversion cancelled" + (by.empty() ? "" : " by " + by) +
                                          "; the files written so far are kept"));
    }
    if (end != kConvertDone) return failed(convert_failure(job, end, error));
    return r;
}

}  // namespace cli
