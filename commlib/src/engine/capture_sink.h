// What the engine asks of the capture writer: the calls that the status word
// and the analyzer's data and information items make. The writer itself (PC
// buffer blocks, datainfo.mkw, the rate and fill reports) lives behind it.
#pragma once
#include <cstdint>
#include <memory>
#include <span>

#include "commlib/remote.h"

namespace commlib {

class DataSet;
class EngineOutput;

// All calls come on the protocol thread, except ScanFolder, which the
// application's thread makes while the port is closed or the engine idle.
class CaptureSink {
public:
    virtual ~CaptureSink() = default;
    // Takes the PC buffer settings and reports the blocks already in the folder.
    virtual void ScanFolder(const BufferSettings& buffer) = 0;
    // Continuing the folder's blocks and the free-space floor (commlib/remote.h);
    // the application's thread, port closed.
    virtual void SetOptions(const CaptureOptions& options) { static_cast<void>(options); }
    // A buffer folder is set and MaxBlocks > 0: the subscription asks for data items.
    virtual bool Storing() const = 0;
    // The status word's measure bits became 0x100: a new capture, block
    // numbering from 0 (or on from the folder's blocks when continuing).
    virtual void BeginCapture() = 0;
    // The measure bits left the running values: flush the last block and report.
    virtual void EndCapture() = 0;
    // Engine reset: close an open block file and report the block range.
    virtual void ResetCapture() = 0;
    // Item 0x8000: the 16-bit record-unit counter and the units after it.
    virtual void StoreData(std::uint16_t counter, std::span<const std::uint8_t> units) = 0;
    // Items 0x8100 and 0xE000 to 0xEC00, into the measurement-information data set
    // (null before identification created it).
    virtual void StoreInformation(DataSet* info, std::uint16_t item, std::span<const std::uint8_t> payload) = 0;
    // Every 200 ms tick: receive-rate and block-fill reports, and what the
    // block buffer holds appended to the block file.
    virtual void Tick() = 0;
};

// The writer the library runs with.
std::unique_ptr<CaptureSink> MakeCaptureSink(EngineOutput& out);

}  // namespace commlib
