// Cuts the received byte stream into link events: single answer characters,
// text and percent lines, hex and binary blocks, and CRC-checked SYN frames.
// Pure code: the reader thread feeds it bytes and posts what it delivers.
#pragma once
#include <cstdint>
#include <memory>
#include <span>

#include "link/link_message.h"

namespace commlib {

// Where the classifier sends what it recognised, and how it learns whether
// the engine is idle (bytes outside a message are dropped then).
class ClassifierSink {
public:
    virtual ~ClassifierSink() = default;
    virtual bool EngineIdle() = 0;
    // event is EvAck..EvFrame; msg is null for the single characters.
    virtual void Deliver(int event, std::unique_ptr<LinkMessage> msg) = 0;
};

class ReceiveClassifier {
public:
    void Feed(std::span<const std::uint8_t> bytes, ClassifierSink& sink);
    // Drops the message being assembled (the engine's reset asks for this).
    void Discard() { msg_.reset(); }
    bool Assembling() const { return msg_ != nullptr; }

private:
    void Classify(std::uint8_t b, ClassifierSink& sink);
    void FeedSyn(std::uint8_t b, ClassifierSink& sink);
    void FeedLine(std::uint8_t b, ClassifierSink& sink);
    void FeedBinary(std::uint8_t b, ClassifierSink& sink);
    void Finish(bool valid, ClassifierSink& sink);
    void AppendRun(const std::uint8_t* from, const std::uint8_t* to);

    std::unique_ptr<LinkMessage> msg_;
};

// The checks, usable on their own. Each works in place on a complete message
// (introducer and terminator not stored) and strips what is not payload.
bool CheckHexBlock(LinkMessage& msg);
bool CheckBinaryBlock(LinkMessage& msg);
bool CheckSynFrame(LinkMessage& msg);

}  // namespace commlib
