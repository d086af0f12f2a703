// The live record path: the words a measurement stores, handed to the
// application's live callback as each data item arrives, beside the capture
// writer and independent of it (no buffer folder needed, no block to fill).
#pragma once
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "commlib/remote.h"

namespace commlib {

class DataSet;

// The engine calls the hooks on the protocol thread where it calls the
// capture writer; Set() comes from the application's thread. The lock makes
// Set() wait for a callback that is running, so an old callback is never
// called after Set() returned.
class LiveTap {
public:
    void Set(LiveRecordFn fn, void* context);
    bool Active() const;

    // The measure bits became 0x100 / left the running values.
    void Begin();
    void End();
    // After the writer took item 0x8100: the body as "datainfo.mkw" gets it.
    void Info(DataSet* info, std::uint16_t item);
    // Item 0x8000: the unit counter and the units, expanded to record words
    // with a gap mark for lost units, as the writer stores them.
    void Data(std::uint16_t counter, std::span<const std::uint8_t> units);

private:
    mutable std::mutex mutex_;
    LiveRecordFn fn_ = nullptr;
    void* context_ = nullptr;
    bool running_ = false;        // between Begin() and End()
    std::uint16_t expected_ = 0;  // the unit counter the next item should carry
    std::vector<std::uint32_t> words_;
};

}  // namespace commlib
