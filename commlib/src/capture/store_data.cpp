// The captured-data and information items of a measurement: gap marks for
// lost units, the units expanded into the block buffer with roll-overs, and
// the measurement information kept up to date and saved as "datainfo.mkw".
#include <algorithm>
#include <climits>

#include "capture/capture_writer.h"
#include "capture/info_file.h"
#include "capture/info_layouts.h"
#include "datasets/data_set.h"
#include "datasets/info_set.h"
#include "pcbuffer/buffer_names.h"

namespace commlib::capture {

void CaptureWriter::MarkGap(std::uint16_t gap) {
    if (blocks_.BlockOpen()) {
        const auto mark = GapMark(gap);
        std::copy(mark.begin(), mark.end(), blocks_.Tail());
        if (blocks_.Advance(1)) RollOverAndReport();
    }
    // A gap counts whether or not it could be marked in a block.
    ++lost_;
    ReportLost();
}

std::size_t CaptureWriter::StoreUnits(std::span<const std::uint8_t> units) {
    std::size_t taken = 0;
    while (blocks_.BlockOpen()) {
        const Expanded done = ExpandUnits(units, blocks_.Tail(), blocks_.FreeWords());
        taken += done.units;
        units = units.subspan(done.consumed);
        // A buffer that is not full means the item ran out (or ended in a broken unit).
        if (!blocks_.Advance(done.units)) return taken;
        RollOverAndReport();
    }
    // Nothing is stored any more, but the counter must still follow the analyzer's.
    return taken + ExpandUnits(units, nullptr, SIZE_MAX).units;
}

void CaptureWriter::StoreData(std::uint16_t counter, std::span<const std::uint8_t> units) {
    const auto gap = static_cast<std::uint16_t>(counter - expected_);
    if (gap != 0) MarkGap(gap);
    received_ += units.size();
    const std::size_t taken = StoreUnits(units);
    expected_ = static_cast<std::uint16_t>(expected_ + gap + taken);
    // Ticks append what is held; this covers a protocol thread too busy for them.
    if (blocks_.BlockOpen() && clock_() - lastAppend_ >= AppendEveryMs) AppendAndReport();
}

void CaptureWriter::SaveInfo(DataSet& info) {
    const platform::Status saved = SaveInfoFile(blocks_.Folder(), info);
    if (saved.ok()) return;
    // Blocks without their information cannot be read: storing ends here.
    // The block being filled is kept as it is, but it is not complete.
    blocks_.Stop(StoreFault{StoreOpInfo, saved.errorNumber(), -1, -1, blocks_.Range().nextBlock - 1});
    Report();
    ReportFault();
}

void CaptureWriter::StoreInformation(DataSet* info, std::uint16_t item, std::span<const std::uint8_t> payload) {
    if (!info) return;
    if (item == ItemConditions) {
        const int n = static_cast<int>(std::min<std::size_t>(payload.size(), InfoReceiveSize));
        info->ReceiveAt(0, payload.data(), n);
        if (info->IsComplete() && blocks_.Storing()) SaveInfo(*info);
        return;
    }
    // Updates wait for the conditions: before them the body means nothing.
    auto* body = static_cast<std::uint8_t*>(info->GetBody());
    if (!body) return;
    ApplyInformationUpdate(std::span<std::uint8_t>(body, pcbuffer::kInfoBodySize), item, payload);
}

}  // namespace commlib::capture
