// Runs conversions for tests: a notification window that records what the
// worker posts, default options, and a one-call "convert this buffer" helper.
#pragma once
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "testing/temp_dir.h"
#include "text_convert_impl.h"
#include "textlib/text_convert.h"

namespace textlib_test {

constexpr unsigned kTestMessage = 0x8002;

struct Notice {
    unsigned message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
};

class RecordingWindow : public TextWindow {
public:
    void post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
        std::lock_guard<std::mutex> lock(mutex_);
        notices_.push_back({message, wParam, lParam});
        changed_.notify_all();
    }
    // The finished code of the next finished notice, or nothing within `timeout`.
    std::optional<int> WaitFinished(std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
        std::unique_lock<std::mutex> lock(mutex_);
        std::optional<int> code;
        changed_.wait_for(lock, timeout, [&] {
            for (; seen_ < notices_.size(); ++seen_) {
                if ((notices_[seen_].wParam & 0xFFFF) == 0) {
                    code = static_cast<int>(notices_[seen_++].wParam >> 16);
                    return true;
                }
            }
            return false;
        });
        return code;
    }
    // True once a progress notice has come, false after `timeout` without one.
    bool WaitProgress(std::chrono::milliseconds timeout = std::chrono::seconds(60)) {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [&] {
            for (const Notice& n : notices_)
                if ((n.wParam & 0xFFFF) == kConvertProgress) return true;
            return false;
        });
    }
    std::vector<Notice> Notices() {
        std::lock_guard<std::mutex> lock(mutex_);
        return notices_;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Notice> notices_;
    std::size_t seen_ = 0;
};

// Print, CharHex, SDRD, guides on, every block, no file split, RS CS CD listed.
inline ConvertOptions DefaultOptions(const std::string& savePath) {
    ConvertOptions o{};
    o.Format = FormatPrint;
    o.Line = LineSdRd;
    o.Start = 1;
    o.Blocks = 1024;
    std::snprintf(o.SavePath, sizeof o.SavePath, "%s", savePath.c_str());
    o.MaxLines = 1000000;
    std::memset(o.DisplayLineState, -1, sizeof o.DisplayLineState);
    o.DisplayLineState[0] = 0;
    o.DisplayLineState[1] = 1;
    o.DisplayLineState[2] = 3;
    return o;
}

// Owns a conversion object for a test and releases it at the end.
struct ConvertObject {
    TextConvert* object = new textlib::TextConvertImpl();
    ~ConvertObject() { object->Release(); }
    TextConvert* operator->() const { return object; }
};

struct Converted {
    std::optional<int> code;
    std::vector<Notice> notices;
};

// Opens `buffer`, runs one job with `options` and waits for its end.
inline Converted Convert(const std::string& buffer, const ConvertOptions& options, const char* prefix = "T_") {
    RecordingWindow window;
    Converted result;
    {
        ConvertObject convert;
        if (!convert->Open(buffer.c_str(), &window, nullptr, kTestMessage)) return result;
        if (!convert->Start(&options, prefix)) return result;
        result.code = window.WaitFinished();
    }
    result.notices = window.Notices();
    return result;
}

inline std::string ReadText(const std::string& path) {
    auto bytes = testing_util::read_file(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace textlib_test
