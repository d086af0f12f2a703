// The analyzer's item notifications ("2" packets): the status word with the
// measure-state reports and capture start and end, front-panel keys, and the
// captured data and measurement information handed to the capture writer.
#include <algorithm>
#include <array>

#include "commlib/analyzer_words.h"
#include "engine/protocol_engine.h"
#include "platform/little_endian.h"

namespace commlib {

using namespace engine;

namespace {

// What the measure bits of the status word mean; any other value is "stopped".
struct MeasureRow {
    std::uint32_t bits;
    int state;  // NtfyMeasureState status
};
constexpr std::array<MeasureRow, 3> MeasureStates{{{StatusMeasuring, 1}, {StatusTriggered, 2}, {StatusStopping, 3}}};

}  // namespace

void ProtocolEngine::OnItemNotification(std::uint16_t which, std::span<const std::uint8_t> value) {
    if (which == item::Status) {
        OnStatusWord(LittleEndian(value));
    } else if (which == item::Key) {
        OnKeyItem(value);
    } else if (which == item::CapturedData) {
        if (value.size() >= 2) {
            const auto counter = platform::readUint16(value.data());
            capture_->StoreData(counter, value.subspan(2));
            live_.Data(counter, value.subspan(2));
        }
    } else if (std::binary_search(InformationItems.begin(), InformationItems.end(), which)) {
        capture_->StoreInformation(DataSetOf(Set::Info), which, value);
        live_.Info(DataSetOf(Set::Info), which);
    }
}

void ProtocolEngine::OnStatusWord(std::uint32_t word) {
    const std::uint32_t previous = status_;
    status_ = word;
    if ((previous ^ word) & StatusBit0) Notify(NtfyStatusBit, static_cast<int>(word & StatusBit0));
    if (!((previous ^ word) & StatusMeasureBits)) return;
    const std::uint32_t bits = word & StatusMeasureBits;
    auto row = std::find_if(MeasureStates.begin(), MeasureStates.end(),
                            [bits](const MeasureRow& r) { return r.bits == bits; });
    if (row == MeasureStates.end()) {
        StopSupervision();
        capture_->EndCapture();
        live_.End();
        Notify(NtfyRate, -1);
        Notify(NtfyMeasureState, 0);
        return;
    }
    if (row->state == 1) {
        capture_->BeginCapture();
        live_.Begin();
        Notify(NtfyRate, 0);
    }
    Notify(NtfyMeasureState, row->state);
}

void ProtocolEngine::OnKeyItem(std::span<const std::uint8_t> value) {
    if (value.empty()) return;
    const int key = static_cast<int>(LittleEndian(value, 2));
    // An application that does not take the key gives it back to the analyzer.
    if (Notify(NtfyKey, key) == 0) SendKeyPacket(key);
}

}  // namespace commlib
