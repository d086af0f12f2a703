// One conversion job: the output files and the services the layouts' routines
// write through (PutChar, PutText, PutFormat, KeepGoing); the routines
// themselves are in their folders, one row each in job_dispatch.cpp.
// A job lives on the worker thread from start to finish; nothing here locks.
#pragma once
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "buffer_reader.h"
#include "job_dispatch.h"
#include "platform/whole_file.h"
#include "textlib/text_convert.h"
#include "worker_queue.h"

namespace textlib {

// Where a job reports progress ((n << 16) + 1); called on the worker thread.
class JobNotifier {
public:
    virtual void PostNotification(std::uintptr_t wParam) = 0;

protected:
    ~JobNotifier() = default;
};

// Thrown by the output services when the worker's queue held the quit message;
// caught where the job started, never outside the library.
struct JobCancelled {};

class ConvertJob {
public:
    // The clock is read once per this many KeepGoing calls; at our speed that is
    // well under a millisecond apart.
    static constexpr unsigned kClockEvery = 256;

    // `options` must already be clamped as Start does. A null queue never cancels.
    ConvertJob(BufferReader& reader, const ConvertOptions& options, std::string prefix, WorkerQueue* queue,
               JobNotifier& notifier);
    ~ConvertJob();
    ConvertJob(const ConvertJob&) = delete;
    ConvertJob& operator=(const ConvertJob&) = delete;

    // Writes every line to `out` instead of numbered files: no file is
    // opened, closed or split after MaxLines; lines end in "\n" alone.
    // Call before Run. With `eachLine` every line reaches the stream as soon
    // as it ends, so that LineMarked() still tells about it.
    void UseStream(std::FILE* out, bool eachLine = false) {
        stream_ = out;
        eachLine_ = eachLine;
    }
    // Whether the line being written belongs to a frame that ended in error
    // or marks lost data (set by the frame layouts, and with `eachLine` by
    // the print blocks; CSV data and control sequences never set it).
    bool LineMarked() const { return lineMarked_; }
    // Whether each line reaches the stream as it ends (UseStream's
    // `eachLine`), so that LineMarked tells about it.
    bool EachLine() const { return eachLine_; }
    // Marks the lines written from now on, or stops marking them.
    void MarkLines(bool marked) { lineMarked_ = marked; }

    // Opens output file 0, runs the routine the options pick through `call`
    // and closes the output; returns the finished code (0 done, 1 failed,
    // 2 cancelled, 3 no output file).
    template <typename Call>
    int Run(Call&& call);
    // Runs the routine's row of the routine table; 1 for Routine::None.
    int CallRoutine(Routine routine) { return RunRoutine(routine, *this); }
    // The system's error number of the first failed file operation, 0 if none.
    int Error() const { return error_; }

    // Output services of the worker routines. What they write gathers in the
    // job's buffer and reaches the file a megabyte at a time.
    bool PutChar(char c) {
        if (queue_ != nullptr && queue_->HasMessages()) CheckCancel();
        if (writeError_ || out_ == nullptr) return false;
        if (c == '\n') return PutNewline();
        return Append(&c, 1);
    }
    bool PutText(const char* s) { return PutBytes(s, std::strlen(s)); }
    // Writes n characters at once; a "\n" among them ends a line as PutChar does.
    bool PutBytes(const char* s, std::size_t n) {
        if (std::memchr(s, '\n', n) != nullptr) return PutEachChar(s, n);
        if (queue_ != nullptr && queue_->HasMessages()) CheckCancel();
        if (writeError_ || out_ == nullptr) return false;
        return Append(s, n);
    }
    bool PutFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Writes n characters (none of them "\n") and ends the line: the print
    // layouts build a whole line and hand it over at once.
    bool PutLine(const char* s, std::size_t n) {
        if (queue_ != nullptr && queue_->HasMessages()) CheckCancel();
        if (writeError_ || out_ == nullptr) return false;
        return Append(s, n) && PutNewline();
    }
    // A line written in place: LineSpace gives room for n characters in the
    // job's buffer (null when the output failed), EndLine takes the n written
    // there (none of them "\n") and ends the line.
    char* LineSpace(std::size_t n) {
        if (queue_ != nullptr && queue_->HasMessages()) CheckCancel();
        if (writeError_ || out_ == nullptr) return nullptr;
        if (n > kPendingSize - pendingUsed_ && !Flush()) return nullptr;
        return pending_.get() + pendingUsed_;
    }
    bool EndLine(std::size_t n) {
        pendingUsed_ += n;
        return PutNewline();
    }
    // Hands what the job's buffer holds to the output (a stream: before it is flushed).
    bool Flush();
    // Called as a routine goes (per frame, token or block of columns): hears
    // Stop, reports progress now and then, and says whether the range goes on.
    bool KeepGoing() {
        // A job that writes nothing for a long stretch still hears Stop here.
        if (queue_ != nullptr && queue_->HasMessages()) CheckCancel();
        if (progressCalls_++ % kClockEvery == 0) ReportProgress();
        return reader_.Pos() < RangeEnd();
    }
    std::int64_t StartIndex() const;
    // The record index where the job's range ends (the record count of a single file).
    std::int64_t RangeEnd() const {
        if (reader_.IsSingleFile()) return reader_.RecordCount();
        if (reader_.IsLive()) return INT64_MAX;  // a running measurement ends when its words do
        return (static_cast<std::int64_t>(options_.Start) + options_.Blocks - 1) * kBlockWords;
    }

    const ConvertOptions& Options() const { return options_; }
    BufferReader& Reader() { return reader_; }
    int FileNumber() const { return fileNumber_; }

private:
    int OpenFirstFile();
    bool OpenNextFile();
    bool CloseOutput();
    // Lines end in CR LF as the Windows programs wrote them in text mode.
    bool PutNewline() {
        if (out_ == stream_) return Append("\n", 1) && (!eachLine_ || Flush());
        if (!Append("\r\n", 2)) return false;
        return ++lines_ < options_.MaxLines || NextFileAfterLine();
    }
    bool Append(const char* s, std::size_t n) {
        if (n <= kPendingSize - pendingUsed_) {
            std::memcpy(pending_.get() + pendingUsed_, s, n);
            pendingUsed_ += n;
            return true;
        }
        return AppendAfterFlush(s, n);
    }
    bool AppendAfterFlush(const char* s, std::size_t n);
    bool NextFileAfterLine();
    bool PutEachChar(const char* s, std::size_t n);
    bool Failed() {
        if (error_ == 0) error_ = errno != 0 ? errno : EIO;
        writeError_ = true;
        return false;
    }
    void CheckCancel();
    void ReportProgress();
    void StartProgressClock();

    BufferReader& reader_;
    ConvertOptions options_;
    std::string prefix_;
    WorkerQueue* queue_;
    JobNotifier& notifier_;

    static constexpr std::size_t kPendingSize = 1 << 20;
    std::unique_ptr<char[]> pending_ = std::make_unique<char[]>(kPendingSize);  // written, not yet in out_
    std::size_t pendingUsed_ = 0;
    std::FILE* out_ = nullptr;
    std::FILE* stream_ = nullptr;  // UseStream's target, or none
    bool eachLine_ = false;
    bool lineMarked_ = false;
    platform::WholeFile file_;  // the output file behind out_, named outName_ once it is complete
    std::string outName_;
    int fileNumber_ = 0;
    int error_ = 0;
    int lines_ = 0;
    bool writeError_ = false;
    std::int64_t lastProgress_ = 0;
    unsigned progressCalls_ = 0;
};

template <typename Call>
int ConvertJob::Run(Call&& call) {
    try {
        int opened = OpenFirstFile();
        if (opened != kConvertDone) return opened;
        StartProgressClock();
        Dispatch d = ChooseRoutine(options_, reader_.InfoBody());
        reader_.SetFilter(d.filter);
        int result = d.routine == Routine::None ? kConvertFailed : call(d.routine);
        if (!CloseOutput() && result == kConvertDone) result = kConvertFailed;
        return result;
    } catch (const JobCancelled&) {
        CloseOutput();
        return kConvertCancelled;
    } catch (...) {  // out of memory: the job fails, nothing leaves the library
        CloseOutput();
        return kConvertFailed;
    }
}

}  // namespace textlib
