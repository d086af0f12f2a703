// The capture writer the engine runs: turns the analyzer's data and
// information items into the PC buffer and reports block range, losses, fill
// and receive rate to the application. Runs on the protocol thread, except
// ScanFolder (application thread, port closed or engine idle); no lock.
// Its files are written through platform::fileCalls() (tests make any call fail).
#pragma once
#include <array>
#include <cstdint>
#include <functional>

#include "capture/block_store.h"
#include "engine/capture_sink.h"
#include "engine/engine.h"
#include "platform/ticks.h"

namespace commlib::capture {

// Milliseconds of a monotonic clock (platform::nowMs; tests give their own).
using Clock = std::function<std::int64_t()>;

// While records arrive, what the block buffer holds reaches the block file at
// least this often (every tick appends, and a data item does when ticks lag).
inline constexpr std::int64_t AppendEveryMs = 1000;
// A full block is flushed to the disk (fdatasync) at its end unless the last
// flush was less than this long ago: at line rates every block is, while a
// flood of blocks (a benchmark, an unpaced simulator) costs one flush a second.
// The end of a measurement always flushes.
inline constexpr std::int64_t SyncEveryMs = 1000;

class CaptureWriter final : public CaptureSink {
public:
    explicit CaptureWriter(EngineOutput& out, Clock clock = platform::nowMs);
    ~CaptureWriter() override = default;  // the block store flushes; nothing is reported

    void ScanFolder(const BufferSettings& buffer) override;
    void SetOptions(const CaptureOptions& options) override { options_ = options; }
    bool Storing() const override { return blocks_.Storing(); }
    void BeginCapture() override;
    void EndCapture() override;
    void ResetCapture() override;
    void StoreData(std::uint16_t counter, std::span<const std::uint8_t> units) override;
    void StoreInformation(DataSet* info, std::uint16_t item, std::span<const std::uint8_t> payload) override;
    void Tick() override;

    // What the tests look at.
    const BlockRange& Range() const { return blocks_.Range(); }
    bool BlockOpen() const { return blocks_.BlockOpen(); }
    int BytesHeld() const { return blocks_.BytesHeld(); }
    int BytesWritten() const { return blocks_.BytesWritten(); }
    int LostCount() const { return lost_; }
    std::uint16_t ExpectedUnit() const { return expected_; }
    std::uint64_t ReceivedTotal() const { return received_; }

private:
    void Report();                  // NtfyBlocks with the range
    void ReportLost();              // NtfyLost with the loss count
    void ReportFill();              // NtfyBlockFill with the bytes held
    void ReportFault();             // NtfyStoreFailed, once, when a file operation failed
    void ReportTrimmed(int given);  // NtfyTrimmed, when blocks went for free space
    void FlushAndReport();
    bool ContinueFolder();  // BeginCapture's part when the folder's blocks go on
    void RollOverAndReport();
    void AppendAndReport();
    void SaveInfo(DataSet& info);  // "datainfo.mkw"; a failure ends storing
    void MarkGap(std::uint16_t gap);
    std::size_t StoreUnits(std::span<const std::uint8_t> units);

    EngineOutput& out_;
    Clock clock_;
    BlockStore blocks_;
    CaptureOptions options_{0, 0, 0};
    int lost_ = 0;
    std::uint16_t expected_ = 0;
    std::uint64_t received_ = 0;
    std::uint64_t receivedAtTick_ = 0;
    std::int64_t lastTick_ = 0;
    std::int64_t lastAppend_ = 0;
    std::int64_t lastSync_ = 0;
    bool synced_ = false;  // a block was flushed in this measurement (lastSync_ holds when)
    bool faultReported_ = false;
    std::array<int, 3> reported_{};  // first, next, count; its address goes with NtfyBlocks
};

}  // namespace commlib::capture
