// Q.931 messages in LAPD information frames: protocol discriminator, message
// type by name, the call reference with its flag, and the frame's end status.
#include <algorithm>

#include "frames/frame_names.h"
#include "frames/packet_formatter.h"

namespace textlib {
namespace {

class Q931Packets final : public PacketFormatter {
public:
    void FormatInfo(FrameFormatter& f) override {
        const int n = f.DataCount();
        auto at = [&](int k) { return f.CurrentFrame().Byte(f.DataPos() + k); };
        const int refLength = n >= 2 ? at(1) & 0x0F : 0;
        const int refBytes = n >= 2 ? std::min(refLength, n - 2) : 0;
        const int typeAt = 2 + refLength;
        LineBuilder& line = f.Line();

        if (n >= 1) line.Hex2(static_cast<unsigned>(at(0)));
        else line.Spaces(2);
        line.Spaces(1);
        if (n > typeAt) {
            const char* name = Q931MessageName(at(typeAt));
            if (name != nullptr) {
                line.Left(name, 9);
            } else {
                line.Put("(");
                line.Hex2(static_cast<unsigned>(at(typeAt)));
                line.Put(")     ");
            }
        } else {
            line.Spaces(9);
        }
        line.Spaces(1);
        // Only the first two call-reference bytes fit the column.
        if (refBytes >= 1) {
            line.Dec(at(2) >> 7);
            line.Spaces(1);
            line.Hex2(static_cast<unsigned>(at(2) & 0x7F));
            if (refBytes >= 2) line.Hex2(static_cast<unsigned>(at(3)));
            else line.Spaces(2);
            line.Spaces(1);
        } else {
            line.Spaces(7);
        }
        f.PutFcs();
        f.Take(std::min(n, typeAt + 1));  // the data start after the message type
    }

    void FormatNotInfo(FrameFormatter& f) override {
        f.Line().Put("   (Not INFO)       ");
        f.PutFcs();
    }
};

}  // namespace

std::unique_ptr<PacketFormatter> CreateQ931Packets() { return std::make_unique<Q931Packets>(); }

}  // namespace textlib
