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
    virtual bool engineIdle() = 0;
    // event is EvAck..EvFrame; msg is null for the single characters.
    virtual void deliver(int event, std::unique_ptr<LinkMessage> msg) = 0;
};

class ReceiveClassifier {
public:
    void feed(std::span<const std::uint8_t> bytes, ClassifierSink& sink);
    // Drops the message being assembled (the engine's reset asks for this).
    void discard() { msg_.reset(); }
    bool assembling() const { return msg_ != nullptr; }

private:
    void classify(std::uint8_t b, ClassifierSink& sink);
    void feedSyn(std::uint8_t b, ClassifierSink& sink);
    void feedLine(std::uint8_t b, ClassifierSink& sink);
    void feedBinary(std::uint8_t b, ClassifierSink& sink);
    void finish(bool valid, ClassifierSink& sink);
    void appendRun(const std::uint8_t* from, const std::uint8_t* to);

    std::unique_ptr<LinkMessage> msg_;
};

// The checks, usable on their own. Each works in place on a complete message
// (introducer and terminator not stored) and strips what is not payload.
bool checkHexBlock(LinkMessage& msg);
bool checkBinaryBlock(LinkMessage& msg);
bool checkSynFrame(LinkMessage& msg);

} // namespace commlib
