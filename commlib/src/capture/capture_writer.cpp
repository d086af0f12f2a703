// Measurement start and end, the folder scan and the reports of the capture writer.
#include "capture/capture_writer.h"

#include <climits>

#include "buffer/buffer_folder.h"
#include "capture/rate_gauge.h"
#include "pcbuffer/buffer_names.h"
#include "pcbuffer/folder_scan.h"
#include "platform/in_place_file.h"

namespace commlib::capture {
namespace {

// A process that died in the middle of a write can leave part of a word at
// the end of the newest block; it is cut off before the folder is used again.
std::int64_t TrimToWholeWords(const std::string& path, const pcbuffer::BufferScan& scan) {
    const auto word = static_cast<std::int64_t>(pcbuffer::kRecordBytes);
    if (!scan.hasData || scan.currentBytes % word == 0) return scan.currentBytes;
    const std::int64_t whole = scan.currentBytes - scan.currentBytes % word;
    platform::InPlaceFile file;
    const bool cut = file.openToAppend(path).ok() && file.truncate(whole).ok();
    (void)file.close();
    return cut ? whole : scan.currentBytes;
}

// The gap mark that opens a measurement continuing a folder: the time in
// between is lost, by how many units nobody knows.
constexpr std::uint16_t OutageGap = 0;

}  // namespace

CaptureWriter::CaptureWriter(EngineOutput& out, Clock clock)
    : out_(out), clock_(std::move(clock)), lastTick_(clock_()), lastAppend_(lastTick_) {}

void CaptureWriter::Report() {
    const BlockRange& r = blocks_.Range();
    reported_ = {r.firstBlock, r.nextBlock, r.blockCount};
    out_.Notify(NtfyBlocks, 0, reported_.data());
}

void CaptureWriter::ReportLost() {
    out_.Notify(NtfyLost, 0, reinterpret_cast<void*>(static_cast<std::intptr_t>(lost_)));
}

void CaptureWriter::ReportFill() {
    out_.Notify(NtfyBlockFill, 0, reinterpret_cast<void*>(static_cast<std::intptr_t>(blocks_.BytesHeld())));
}

void CaptureWriter::ReportFault() {
    const StoreFault& fault = blocks_.Fault();
    if (fault.op == 0 || faultReported_) return;
    faultReported_ = true;
    // What arrives from now on is not stored: one more loss, as for a gap.
    ++lost_;
    ReportLost();
    const BlockRange& r = blocks_.Range();
    StoreFailure failure{fault.error, fault.op, fault.block, fault.bytes, r.firstBlock, fault.lastComplete};
    out_.Notify(NtfyStoreFailed, 0, &failure);
}

void CaptureWriter::ReportTrimmed(int given) {
    if (given > 0)
        out_.Notify(NtfyTrimmed, given,
                    reinterpret_cast<void*>(static_cast<std::intptr_t>(blocks_.Range().firstBlock)));
}

void CaptureWriter::FlushAndReport() {
    (void)blocks_.Flush();
    Report();
    ReportFault();
}

void CaptureWriter::RollOverAndReport() {
    // Success or not, the range has moved; after a failure no block is open
    // and the records that follow are dropped until the next measurement.
    const std::int64_t now = clock_();
    const bool sync = !synced_ || now - lastSync_ >= SyncEveryMs;
    (void)blocks_.RollOver(sync);
    if (sync) {
        synced_ = true;
        lastSync_ = now;
    }
    const int given = blocks_.KeepFree(options_.KeepFreeBytes);
    Report();
    ReportTrimmed(given);
    ReportFault();
    lastAppend_ = now;
}

void CaptureWriter::AppendAndReport() {
    lastAppend_ = clock_();
    if (blocks_.Append()) return;
    Report();
    ReportFault();
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
    pcbuffer::BufferScan scan = pcbuffer::ScanBufferFolder(blocks_.Folder().c_str());
    scan.currentBytes = TrimToWholeWords(pcbuffer::BlockFilePath(blocks_.Folder(), scan.nextBlock), scan);
    const int held = scan.currentBytes > INT_MAX ? INT_MAX : static_cast<int>(scan.currentBytes);
    blocks_.Restore({scan.firstBlock, scan.nextBlock, scan.blockCount}, held);
    Report();
    ReportLost();
    ReportFill();
}

bool CaptureWriter::ContinueFolder() {
    if (options_.Continue != 1 || !blocks_.Storing()) return false;
    // A block left open by a measurement that never ended goes to the disk
    // first, so the scan sees all of it.
    (void)blocks_.Flush();
    pcbuffer::BufferScan run = pcbuffer::ScanBlockRun(pcbuffer::ListBufferFiles(blocks_.Folder()));
    if (!run.hasData) return false;
    run.currentBytes = TrimToWholeWords(pcbuffer::BlockFilePath(blocks_.Folder(), run.nextBlock), run);
    blocks_.Continue(run);
    const int given = blocks_.KeepFree(options_.KeepFreeBytes);
    Report();
    ReportTrimmed(given);
    ReportLost();
    ReportFill();
    MarkGap(OutageGap);
    return true;
}

void CaptureWriter::BeginCapture() {
    expected_ = 0;
    lost_ = 0;
    faultReported_ = false;
    synced_ = false;
    if (!ContinueFolder()) {
        blocks_.Restart();
        Report();
        ReportLost();
        ReportFill();
        blocks_.ClearAndOpenFirst();
    }
    lastAppend_ = clock_();
    ReportFault();
}

void CaptureWriter::EndCapture() { FlushAndReport(); }

void CaptureWriter::ResetCapture() { FlushAndReport(); }

void CaptureWriter::Tick() {
    const std::int64_t now = clock_();
    if (now != lastTick_ && blocks_.BlockOpen())
        out_.Notify(NtfyRate, RateGauge(received_ - receivedAtTick_, static_cast<std::uint64_t>(now - lastTick_)),
                    nullptr);
    ReportFill();
    if (blocks_.BlockOpen() && blocks_.BytesHeld() > blocks_.BytesWritten()) AppendAndReport();
    receivedAtTick_ = received_;
    lastTick_ = now;
}

}  // namespace commlib::capture
