// Record words for the live callback, expanded with the capture writer's own
// unit rules, so the live words and the stored words are the same.
#include "engine/live_tap.h"

#include <climits>
#include <cstring>

#include "capture/info_layouts.h"
#include "capture/record_units.h"
#include "datasets/data_set.h"
#include "datasets/info_set.h"
#include "pcbuffer/buffer_names.h"

namespace commlib {

void LiveTap::Set(LiveRecordFn fn, void* context) {
    std::lock_guard lock(mutex_);
    fn_ = fn;
    context_ = context;
}

bool LiveTap::Active() const {
    std::lock_guard lock(mutex_);
    return fn_ != nullptr;
}

void LiveTap::Begin() {
    std::lock_guard lock(mutex_);
    running_ = true;
    expected_ = 0;
    if (fn_) fn_(context_, LiveBegin, nullptr, 0);
}

void LiveTap::End() {
    std::lock_guard lock(mutex_);
    if (!running_) return;
    running_ = false;
    if (fn_) fn_(context_, LiveEnd, nullptr, 0);
}

void LiveTap::Info(DataSet* info, std::uint16_t item) {
    if (item != capture::ItemConditions || !info || !info->IsComplete()) return;
    std::lock_guard lock(mutex_);
    if (fn_) fn_(context_, LiveInfo, info->GetBody(), pcbuffer::kInfoBodySize);
}

void LiveTap::Data(std::uint16_t counter, std::span<const std::uint8_t> units) {
    std::lock_guard lock(mutex_);
    // The counter follows the analyzer's whether or not anyone listens.
    const auto gap = static_cast<std::uint16_t>(counter - expected_);
    const std::size_t count = capture::ExpandUnits(units, nullptr, SIZE_MAX).units;
    expected_ = static_cast<std::uint16_t>(expected_ + gap + count);
    if (!fn_ || !running_) return;
    words_.assign(count + 1, 0);
    auto* out = reinterpret_cast<std::uint8_t*>(words_.data());
    std::size_t n = 0;
    if (gap != 0) {
        const auto mark = capture::GapMark(gap);
        std::memcpy(out, mark.data(), mark.size());
        n = 1;
    }
    n += capture::ExpandUnits(units, out + n * pcbuffer::kRecordBytes, count).units;
    if (n > 0) fn_(context_, LiveWords, words_.data(), static_cast<unsigned>(n));
}

}  // namespace commlib
