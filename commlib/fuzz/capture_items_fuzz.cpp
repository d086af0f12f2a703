// The capture writer fed whatever the analyzer might send: data items with
// any counters and units, information items of any length and layout, starts,
// ends and floods that roll blocks over. Files go to a null seam.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "capture/capture_writer.h"
#include "datasets/info_set.h"
#include "platform/syscalls.h"

namespace {

class NullOutput final : public commlib::EngineOutput {
public:
    void SendRaw(std::unique_ptr<commlib::LinkMessage>) override {}
    void SendFrame(std::unique_ptr<commlib::LinkMessage>) override {}
    void DiscardReceive() override {}
    int Notify(int code, int, void* data) override {
        // The range must always be readable where the report says.
        if (code == NtfyBlocks) {
            const int* r = static_cast<const int*>(data);
            if (r[0] < 0 || r[1] < r[0] || r[2] < 0) std::abort();
        }
        return 0;
    }
    bool Cts() override { return false; }
    bool Dsr() override { return false; }
};

class NullFileIo final : public platform::SysCalls {
public:
    int create(const char*, int, mode_t) override { return 3; }
    int open(const char*, int) override { return 3; }
    ssize_t write(int, const void*, std::size_t n) override { return static_cast<ssize_t>(n); }
    int ftruncate(int, off_t) override { return 0; }
    int fsync(int) override { return 0; }
    int fdatasync(int) override { return 0; }
    int close(int) override { return 0; }
    int rename(const char*, const char*) override { return 0; }
    int unlink(const char*) override { return 0; }
    int flock(int, int) override { return 0; }
    int fadvise(int, off_t, off_t, int) override { return 0; }
};

constexpr std::uint16_t Items[] = {0x8100, 0xE000, 0xE800, 0xE900, 0xEA00, 0xEB00, 0xEC00};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    NullOutput out;
    NullFileIo io;
    platform::ScopedFileCalls seam(io);
    std::int64_t now = 0;
    commlib::capture::CaptureWriter writer(out, [&now] { return now; });
    // A folder that does not exist: clearing and the information file find nothing to touch.
    const BufferSettings settings{"/nonexistent/zamvex-fuzz", 1 + data[0] % 4, 0,
                                  static_cast<std::uint8_t>(data[0] >> 7)};
    writer.ScanFolder(settings);
    commlib::InfoSet info(2);

    std::span<const std::uint8_t> in(data + 1, size - 1);
    std::span<const std::uint8_t> lastUnits;
    while (in.size() >= 3) {
        const std::uint8_t op = in[0] % 6;
        const std::size_t len = std::min<std::size_t>(in[1] | (in[2] & 0x07) << 8, in.size() - 3);
        const auto payload = in.subspan(3, len);
        in = in.subspan(3 + len);
        switch (op) {
        case 0:
            if (payload.size() >= 2) {
                lastUnits = payload.subspan(2);
                writer.StoreData(static_cast<std::uint16_t>(payload[0] | payload[1] << 8), lastUnits);
            }
            break;
        case 1:
            if (!payload.empty()) writer.StoreInformation(&info, Items[payload[0] % 7], payload.subspan(1));
            break;
        case 2: writer.BeginCapture(); break;
        case 3: writer.EndCapture(); break;
        case 4:
            now += len;
            writer.Tick();
            break;
        case 5:
            // Enough of the last units to roll a few blocks over.
            for (int i = 0; i < 4096 && !lastUnits.empty(); ++i) writer.StoreData(writer.ExpectedUnit(), lastUnits);
            break;
        }
    }
    writer.ResetCapture();
    return 0;
}
