// Priority prefixes for the journal, and the check that stderr is its stream.
#include "text/stderr_lines.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace cli {
namespace {

bool stderr_matches_journal_stream() {
    const char* stream = std::getenv("JOURNAL_STREAM");
    if (!stream) return false;
    unsigned long long dev = 0, ino = 0;
    if (std::sscanf(stream, "%llu:%llu", &dev, &ino) != 2) return false;
    struct stat st {};
    return ::fstat(STDERR_FILENO, &st) == 0 && st.st_dev == dev && st.st_ino == ino;
}

}  // namespace

bool stderr_is_journal() {
    static const bool kJournal = stderr_matches_journal_stream();
    return kJournal;
}

std::string journal_lines(Priority priority, const std::string& text, bool journal) {
    const std::string prefix = journal ? "<" + std::to_string(static_cast<int>(priority)) + ">" : "";
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find('\n', start);
        out += prefix + text.substr(start, end - start) + "\n";
        if (end == std::string::npos || end + 1 == text.size()) return out;
        start = end + 1;
    }
}

void say(Priority priority, const std::string& text) {
    std::fputs(journal_lines(priority, text, stderr_is_journal()).c_str(), stderr);
    std::fflush(stderr);
}

}  // namespace cli
