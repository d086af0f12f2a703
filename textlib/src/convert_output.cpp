// The job's output files: numbered "<prefix><8 digits>.txt" files in the save
// folder, CR LF line ends, a new file after every MaxLines lines, and the
// write-error flag that makes every later write fail. Each file is a
// platform::WholeFile: written under a temporary name, it gets its own name
// only once it is complete and on disk; a file that failed is removed.
#include <cstdarg>
#include <cstring>

#include "convert_job.h"

namespace textlib {
namespace {

// The stdio stream the job writes a file through: it only passes the bytes
// on to the file (it is unbuffered), so they reach the disk through the
// platform's file calls.
ssize_t WriteToFile(void* file, const char* data, std::size_t size) {
    const platform::Status s = static_cast<platform::WholeFile*>(file)->write(data, size);
    if (s.ok()) return static_cast<ssize_t>(size);
    errno = s.errorNumber();
    return -1;
}

std::FILE* StreamTo(platform::WholeFile& file) {
    return fopencookie(&file, "w", cookie_io_functions_t{nullptr, WriteToFile, nullptr, nullptr});
}

}  // namespace

ConvertJob::ConvertJob(BufferReader& reader, const ConvertOptions& options, std::string prefix, WorkerQueue* queue,
                       JobNotifier& notifier)
    : reader_(reader), options_(options), prefix_(std::move(prefix)), queue_(queue), notifier_(notifier) {}

ConvertJob::~ConvertJob() { CloseOutput(); }

int ConvertJob::OpenFirstFile() {
    fileNumber_ = 0;
    if (stream_ != nullptr) {
        out_ = stream_;
        writeError_ = false;
        return kConvertDone;
    }
    return OpenNextFile() ? kConvertDone : kConvertNoOutput;
}

bool ConvertJob::OpenNextFile() {
    if (!CloseOutput()) return Failed();  // the previous file lost data on its last flush
    lines_ = 0;
    std::string folder(options_.SavePath, strnlen(options_.SavePath, sizeof options_.SavePath));
    char number[16];
    std::snprintf(number, sizeof number, "%08d.txt", fileNumber_);
    outName_ = folder + "/" + prefix_ + number;
    if (const platform::Status s = file_.open(outName_); !s.ok()) {
        errno = s.errorNumber();
        return Failed();
    }
    out_ = StreamTo(file_);
    if (out_ == nullptr) {
        file_.abandon();
        return Failed();
    }
    // The job's own buffer gathers the lines: stdio passes each megabyte on as it comes.
    static_cast<void>(std::setvbuf(out_, nullptr, _IONBF, 0));
    writeError_ = false;
    return true;
}

// Closes the current file and gives it its name; false when its last bytes
// could not be written, and then the file is removed.
bool ConvertJob::CloseOutput() {
    if (out_ == nullptr) return true;
    const bool flushed = Flush();
    if (out_ == stream_) {  // not ours to close or rename
        out_ = nullptr;
        return flushed && (std::fflush(stream_) == 0 || Failed());
    }
    bool ok = flushed && (std::fflush(out_) == 0 || Failed());
    if (std::fclose(out_) != 0 && ok) ok = Failed();
    out_ = nullptr;
    if (!ok) {
        file_.abandon();
        return false;
    }
    if (const platform::Status s = file_.commit(); !s.ok()) {
        errno = s.errorNumber();
        return Failed();
    }
    return true;
}

bool ConvertJob::Flush() {
    if (writeError_) {
        pendingUsed_ = 0;  // the file fails whole; nothing more goes to it
        return false;
    }
    const std::size_t n = pendingUsed_;
    pendingUsed_ = 0;
    if (n == 0 || out_ == nullptr) return true;
    return fwrite_unlocked(pending_.get(), 1, n, out_) == n || Failed();
}

bool ConvertJob::AppendAfterFlush(const char* s, std::size_t n) {
    if (!Flush()) return false;
    if (n >= kPendingSize) return fwrite_unlocked(s, 1, n, out_) == n || Failed();
    std::memcpy(pending_.get(), s, n);
    pendingUsed_ = n;
    return true;
}

bool ConvertJob::NextFileAfterLine() {
    ++fileNumber_;
    return OpenNextFile();
}

bool ConvertJob::PutEachChar(const char* s, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i)
        if (!PutChar(s[i])) return false;
    return true;
}

bool ConvertJob::PutFormat(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return PutText(text);
}

void ConvertJob::CheckCancel() {
    unsigned message = 0;
    if (queue_->Take(message) && message == kQuitMessage) throw JobCancelled{};
}

}  // namespace textlib
