// The PPP translation: one line per PPP frame with direction, time, protocol
// and control-protocol code by name, identifier and the remaining bytes, read
// after the asynchronous control-character escaping has been removed.
#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "frames/frame.h"
#include "frames/line_builder.h"

namespace textlib {

class PppFormatter {
public:
    virtual ~PppFormatter() = default;
    // The line of one frame without its line end, trailing blanks removed.
    const std::string& FormatLine(const Frame& frame);

protected:
    virtual void Unescape();
    virtual void Parse();
    void PutTime();
    void PutProtocol();
    void PutCode();
    void PutId();
    void PutData();

private:
    const Frame* frame_ = nullptr;
    std::array<std::uint8_t, kMaxFrameCells> bytes_{};
    int count_ = 0;
    bool hasProtocol_ = false;       // at least its first byte
    bool protocolComplete_ = false;  // no second byte missing
    bool hasCode_ = false;
    bool hasId_ = false;
    unsigned protocol_ = 0;
    int code_ = 0;
    int id_ = 0;
    int pos_ = 0;  // first data byte after the identifier
    LineBuilder line_;
};

std::unique_ptr<PppFormatter> CreatePppFormatter();

}  // namespace textlib
