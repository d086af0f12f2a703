// Throughput of the capture writer's StoreData with items as the analyzer
// sends them: up to 1000 bytes of mixed one-way, two-way and special units.
// Prints MB/s of record words stored, to a real folder and to a null file.
#include <chrono>
#include <cstdio>
#include <ctime>
#include <random>
#include <vector>

#include "capture/capture_writer.h"
#include "pcbuffer/buffer_names.h"
#include "platform/syscalls.h"
#include "testing/temp_dir.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

class NullOutput final : public commlib::EngineOutput {
public:
    void SendRaw(std::unique_ptr<commlib::LinkMessage>) override {}
    void SendFrame(std::unique_ptr<commlib::LinkMessage>) override {}
    void DiscardReceive() override {}
    int Notify(int, int, void*) override { return 0; }
    bool Cts() override { return false; }
    bool Dsr() override { return false; }
};

// Writes nowhere, so the figure shows the writer's own cost.
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

struct Item {
    Bytes units;
    std::uint16_t count;  // units in the item
    std::size_t words;    // record bytes they expand to / 4
};

// A line with both directions busy: 40 % SD only, 40 % RD only, 12 % both, 8 % idle times and time stamps.
std::vector<Item> MakeItems(std::size_t n) {
    std::mt19937 rng(7);
    std::vector<Item> items(n);
    for (Item& item : items) {
        while (item.units.size() + 4 <= 1000) {
            const unsigned kind = rng() % 100;
            const auto ch = static_cast<std::uint8_t>(rng());
            if (kind < 40) item.units.insert(item.units.end(), {0x10, ch});
            else if (kind < 80) item.units.insert(item.units.end(), {0x20, ch});
            else if (kind < 92)
                item.units.insert(item.units.end(), {0x30, ch, 0x20, static_cast<std::uint8_t>(ch ^ 0x55)});
            else
                item.units.insert(item.units.end(),
                                  {static_cast<std::uint8_t>(kind & 1 ? 0x02 : 0x03), ch, 0x12, 0x34});
            ++item.count;
        }
        item.words = item.count;
    }
    return items;
}

double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

void Run(const char* label, platform::SysCalls& calls, const std::vector<Item>& items, std::size_t targetBytes) {
    testing_util::TempDir dir;
    NullOutput out;
    platform::ScopedFileCalls seam(calls);
    commlib::capture::CaptureWriter writer(out);
    // A ring of 8 blocks: the disk holds at most 8 MiB however long the run.
    const BufferSettings settings{dir.path().c_str(), 8, 0, 1};
    writer.ScanFolder(settings);
    writer.BeginCapture();

    std::uint16_t counter = 0;
    std::size_t recordBytes = 0, unitBytes = 0;
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    for (std::size_t i = 0; recordBytes < targetBytes; i = (i + 1) % items.size()) {
        writer.StoreData(counter, items[i].units);
        counter = static_cast<std::uint16_t>(counter + items[i].count);
        recordBytes += items[i].words * 4;
        unitBytes += items[i].units.size();
    }
    writer.EndCapture();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    const auto range = writer.Range();
    std::printf(
        "%-22s %7.1f MB/s of record words (%6.1f MB/s of units in), %zu MB in %.3f s, CPU %.3f s, "
        "blocks %d..%d, lost %d\n",
        label, recordBytes / seconds / 1e6, unitBytes / seconds / 1e6, recordBytes >> 20, seconds, cpu,
        range.firstBlock, range.nextBlock - 1, writer.LostCount());
}

}  // namespace

int main() {
    const auto items = MakeItems(4096);
    NullFileIo nullIo;
    Run("StoreData, null file:", nullIo, items, std::size_t{512} << 20);
    Run("StoreData, to disk:", platform::SysCalls::real(), items, std::size_t{512} << 20);
    return 0;
}
