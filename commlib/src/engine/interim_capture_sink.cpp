// The capture writer the library runs with until the PC buffer writer is in:
// it keeps the buffer settings so that the subscription asks for exactly what
// a capture would store, and stores nothing yet. Replaced by the real writer.
#include <string>

#include "engine/capture_sink.h"

namespace commlib {
namespace {

class InterimCaptureSink final : public CaptureSink {
public:
    void ScanFolder(const BufferSettings& buffer) override {
        storing_ = buffer.Folder != nullptr && buffer.MaxBlocks > 0;
    }
    bool Storing() const override { return storing_; }
    void BeginCapture() override {}
    void EndCapture() override {}
    void ResetCapture() override {}
    void StoreData(std::uint16_t, std::span<const std::uint8_t>) override {}
    void StoreInformation(DataSet*, std::uint16_t, std::span<const std::uint8_t>) override {}
    void Tick() override {}

private:
    bool storing_ = false;
};

} // namespace

std::unique_ptr<CaptureSink> makeCaptureSink(EngineOutput&) { return std::make_unique<InterimCaptureSink>(); }

} // namespace commlib
