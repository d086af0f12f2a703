// The frame-level translation of HDLC-family frames: one line per frame with
// direction, time, address, decoded control field, end status and data, in
// five variants; with a packet formatter, the packet header replaces the
// address and control columns of information frames.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "frames/frame.h"
#include "frames/frame_names.h"
#include "frames/line_builder.h"

namespace textlib {

class PacketFormatter;

// TranslateFrame values.
enum FrameVariant { kSdlc = 0, kX25 = 1, kX25x = 2, kX25ua = 3, kLapd = 4 };
// TranslatePacket values.
enum PacketKind { kPacketOff = 0, kPacketX25 = 1, kPacketDdx = 2, kPacketQ931 = 3 };

class FrameFormatter {
public:
    explicit FrameFormatter(FrameNames names, std::unique_ptr<PacketFormatter> packets = nullptr);
    virtual ~FrameFormatter();
    FrameFormatter(const FrameFormatter&) = delete;
    FrameFormatter& operator=(const FrameFormatter&) = delete;

    // The line of one frame without its line end, trailing blanks removed.
    const std::string& FormatLine(const Frame& frame);

    // What the packet level works on: the frame, the bytes after the control
    // field, and the line being built.
    const Frame& CurrentFrame() const { return *frame_; }
    int DataPos() const { return pos_; }
    int DataCount() const { return frame_->count - pos_; }
    // Moves the data start past `n` bytes taken by a packet header.
    void Take(int n) { pos_ += n; }
    LineBuilder& Line() { return line_; }
    void PutFcs();

protected:
    enum class Address { OneByte, TwoByte };
    virtual void Parse() = 0;
    void ParseFields(Address mode, bool extendedControl);
    void PutTime();
    virtual void PutAddress();
    void PutControl();
    void PutHexControl(unsigned control, int bytes);
    // Writes the "%-5s" name of the frame's I, S or U type; false when it has none.
    virtual bool PutTypeName();
    void PutData();

    const Frame* frame_ = nullptr;
    FrameNames names_;
    std::unique_ptr<PacketFormatter> packets_;
    // What ParseFields found.
    bool addressParsed_ = false;
    int addressPos_ = 0;
    int addressLength_ = 0;
    unsigned control_ = 0;
    int controlLength_ = 0;  // 0 none, 1 or 2 bytes
    bool controlComplete_ = false;
    int pos_ = 0;  // first byte after the parsed fields
    LineBuilder line_;
};

// The formatter of a TranslateFrame variant, with the packet level of a
// TranslatePacket kind (kPacketOff for none); null for values outside the lists.
std::unique_ptr<FrameFormatter> CreateFrameFormatter(int variant, int packetKind = kPacketOff);

}  // namespace textlib
