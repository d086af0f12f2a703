// Fuzz target: any byte stream through the receive classifier, in pieces of
// varying size, with the engine going idle and discards in between. Every
// delivered message must stay inside its buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "link/receive_classifier.h"

namespace {

class CheckingSink : public commlib::ClassifierSink {
public:
    bool idle = false;
    unsigned sum = 0;
    bool EngineIdle() override { return idle; }
    void Deliver(int event, std::unique_ptr<commlib::LinkMessage> msg) override {
        if (event < commlib::EvAck || event > commlib::EvFrame) std::abort();
        if (!msg) return;
        if (msg->length < 0 || msg->length > commlib::LinkMessage::Capacity) std::abort();
        // Touch every byte so a sanitizer sees any read past what was stored.
        for (std::uint8_t b : msg->Bytes()) sum += b;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    commlib::ReceiveClassifier classifier;
    CheckingSink sink;
    // The first byte steers: chunk size, and whether the engine idles or discards.
    const std::uint8_t control = size > 0 ? data[0] : 0;
    const std::size_t chunk = 1 + (control & 0x3F);
    std::span<const std::uint8_t> rest(data + (size > 0 ? 1 : 0), size > 0 ? size - 1 : 0);
    std::size_t n = 0;
    while (!rest.empty()) {
        const std::size_t take = rest.size() < chunk ? rest.size() : chunk;
        classifier.Feed(rest.first(take), sink);
        rest = rest.subspan(take);
        ++n;
        if ((control & 0x40) && n % 7 == 0) sink.idle = !sink.idle;
        if ((control & 0x80) && n % 5 == 0) classifier.Discard();
    }
    return 0;
}
