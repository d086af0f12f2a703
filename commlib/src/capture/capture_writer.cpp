// Measurement start and end, the folder scan and the reports of the capture writer.
#include "capture/capture_writer.h"

#include <chrono>
#include <climits>

#include "buffer/buffer_folder.h"
#include "capture/rate_gauge.h"

namespace commlib::capture {

std::int64_t SteadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

CaptureWriter::CaptureWriter(EngineOutput& out, BlockFileIo& io, Clock clock)
    : out_(out), clock_(std::move(clock)), blocks_(io), lastTick_(clock_()) {}

void CaptureWriter::Report() {
    const BlockRange& r = blocks_.Range();
    reported_ = {r.firstBlock, r.nextBlock, r.blockCount};
    out_.notify(NtfyBlocks, 0, reported_.data());
}

void CaptureWriter::ReportLost() { out_.notify(NtfyLost, 0, reinterpret_cast<void*>(static_cast<std::intptr_t>(lost_))); }

void CaptureWriter::ReportFill() {
    out_.notify(NtfyBlockFill, 0, reinterpret_cast<void*>(static_cast<std::intptr_t>(blocks_.BytesHeld())));
}

void CaptureWriter::FlushAndReport() {
    (void)blocks_.Flush();
    Report();
}

void CaptureWriter::RollOverAndReport() {
    // Success or not, the range has moved; after a failure no block is open
    // and the records that follow are dropped until the next measurement.
    (void)blocks_.RollOver();
    Report();
}

void CaptureWriter::ScanFolder(const BufferSettings& buffer) {
    blocks_.Configure(buffer.Folder, buffer.MaxBlocks, buffer.Ring != 0);
    lost_ = 0;
    if (blocks_.Folder().empty()) {
        BlockRange range = blocks_.Range();
        range.nextBlock = 0;
        blocks_.Restore(range, blocks_.BytesHeld());
        return;
    }
    const BufferScan scan = ScanBufferFolder(blocks_.Folder().c_str());
    const int held = scan.currentBytes > INT_MAX ? INT_MAX : static_cast<int>(scan.currentBytes);
    blocks_.Restore({scan.firstBlock, scan.nextBlock, scan.blockCount}, held);
    Report();
    ReportLost();
    ReportFill();
}

void CaptureWriter::BeginCapture() {
    expected_ = 0;
    lost_ = 0;
    blocks_.Restart();
    Report();
    ReportLost();
    ReportFill();
    blocks_.ClearAndOpenFirst();
}

void CaptureWriter::EndCapture() { FlushAndReport(); }

void CaptureWriter::ResetCapture() { FlushAndReport(); }

void CaptureWriter::Tick() {
    const std::int64_t now = clock_();
    if (now != lastTick_ && blocks_.BlockOpen())
        out_.notify(NtfyRate, RateGauge(received_ - receivedAtTick_, static_cast<std::uint64_t>(now - lastTick_)),
                    nullptr);
    ReportFill();
    receivedAtTick_ = received_;
    lastTick_ = now;
}

} // namespace commlib::capture
