// The control-sequence machine of each code family, walked through every
// transition of its rules: each step feeds one cell and checks the tokens it
// puts out (as the EBCDIC table shows them) and the state it leaves.
#include <gtest/gtest.h>

#include "buffer_builder.h"
#include "control/control_machine.h"
#include "print/print_cells.h"

using namespace textlib_test;
using textlib::ControlFamily;
using textlib::ControlMachine;
using S = textlib::ControlState;

namespace {

// The family's characters as the analyzer's manual lists them; -1 for none.
struct FamilyChars {
    ControlFamily family;
    int soh, stx, etx, eot, enq, ack, dle, nak, etb, itb, ack0, ack1, wack, rvi, letter;
};
constexpr FamilyChars kAscii{
    ControlFamily::Ascii, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x10, 0x15, 0x17, 0x1F, 0x30, 0x31, 0x3B, 0x3C, 0x41};
constexpr FamilyChars kEbcdic{
    ControlFamily::Ebcdic, 0x01, 0x02, 0x03, 0x37, 0x2D, 0x2E, 0x10, 0x3D, 0x26, 0x1F, 0x70, 0x61, 0x6B, 0x7C, 0xC1};
constexpr FamilyChars kTransc{
    ControlFamily::Transc, 0x00, 0x0A, 0x2E, 0x1E, 0x2D, -1, 0x1F, 0x3D, 0x0F, 0x1D, 0x20, 0x23, 0x26, 0x32, 0x01};

constexpr int kGood = 2, kBad = 3;

struct Step {
    int ch;
    int status;
    const char* tokens;  // the cells put out, each as its two-character picture
    S state;
    bool pending;
};

std::string Render(const textlib::ControlOutput& out) {
    std::string s;
    for (int k = 0; k < out.count; ++k) {
        textlib::CellText c = textlib::CharCell(out.cells[k], 1);
        s.append(c.begin(), c.end());
    }
    return s;
}

void Walk(const FamilyChars& f, const std::vector<Step>& steps) {
    ControlMachine m(false);
    m.Reset(f.family);
    ASSERT_EQ(m.State(), S::Idle);
    int n = 0;
    for (const Step& s : steps) {
        textlib::ControlOutput out = m.Feed(CellOf(s.ch, s.status, false));
        EXPECT_EQ(Render(out), s.tokens) << "step " << n << " char " << s.ch << " status " << s.status;
        EXPECT_EQ(m.State(), s.state) << "step " << n;
        EXPECT_EQ(m.TextPending(), s.pending) << "step " << n;
        for (int k = 0; k < out.count; ++k) EXPECT_EQ(out.cells[k] & 0x30, 0x10) << "step " << n;
        ++n;
    }
}

// Every row of the rules, in the order a conversation can reach them.
std::vector<Step> EveryTransition(const FamilyChars& f) {
    const int x = f.letter;
    std::vector<Step> s{
        {x, kGood, "{}", S::Idle, false},  // Idle: check mark
        {x, 0, "", S::Idle, false},        // Idle: anything else
        {f.eot, 0, "ET", S::Idle, false},
        {f.enq, 0, "EQ", S::Idle, false},
        {f.nak, 0, "NK", S::Idle, false},
        {f.soh, 0, "SH", S::Text, true},
        {x, 0, " -", S::Text, false},  // Text: text after a control character
        {x, 1, "", S::Text, false},    // more text: no second mark
        {x, 8, "", S::Text, false},    // breaks and the statuses without a character are dropped
        {f.stx, 13, "", S::Text, false},
        {f.stx, 0, "SX", S::Text, true},
        {x, 0, " -", S::Text, false},
        {f.itb, 0, "IB", S::Text, true},
        {f.etx, 4, "EX", S::Idle, false},  // an error mark still carries its character
        {f.stx, 0, "", S::AfterStx, false},
        {x, kBad, "SX??", S::Text, true},  // AfterStx: check mark
        {x, 0, " -", S::Text, false},
        {x, kGood, "{}", S::Text, true},  // Text: check mark
        {f.etb, 0, "EB", S::Idle, false},
        {f.stx, 0, "", S::AfterStx, false},
        {x, 0, "SX -", S::Text, false},  // AfterStx: anything else, then as Text
        {f.etx, 0, "EX", S::Idle, false},
        {f.stx, 0, "", S::AfterStx, false},
        {f.etb, 0, "SXEB", S::Idle, false},  // ... a control character handled by Text
        {f.stx, 0, "", S::AfterStx, false},
        {f.enq, 0, " T D", S::Idle, false},  // TTD
        {f.dle, 0, "", S::AfterDle, false},
        {x, kGood, "{}", S::Idle, false},  // AfterDle: check mark
        {f.dle, 0, "", S::AfterDle, false},
        {f.eot, 0, "DLET", S::Idle, false},
        {f.dle, 0, "", S::AfterDle, false},
        {f.ack0, 0, "AK 0", S::Idle, false},
        {f.dle, 0, "", S::AfterDle, false},
        {f.ack1, 0, "AK 1", S::Idle, false},
        {f.dle, 0, "", S::AfterDle, false},
        {f.wack, 0, " WAK", S::Idle, false},
        {f.dle, 0, "", S::AfterDle, false},
        {f.rvi, 0, " R V", S::Idle, false},
        {f.dle, 0, "", S::AfterDle, false},
        {x, 0, "", S::Idle, false},  // AfterDle: anything else
        {f.dle, 0, "", S::AfterDle, false},
        {f.soh, 0, "DLSH", S::Transparent, true},
        {f.etx, 0, " -", S::Transparent, false},  // Transparent: control characters are text
        {x, 0, "", S::Transparent, false},
        {x, kBad, "??", S::Transparent, true},  // Transparent: check mark
        {f.dle, 0, "", S::TransparentDle, true},
        {x, 0, " -", S::Transparent, false},  // TransparentDle: anything else
        {f.dle, 0, "", S::TransparentDle, false},
        {f.stx, 0, "DLSX", S::Transparent, true},
        {f.dle, 0, "", S::TransparentDle, true},
        {f.dle, 0, " -", S::Transparent, false},  // DLE DLE: text
        {f.dle, 0, "", S::TransparentDle, false},
        {x, kGood, "{}", S::Transparent, true},  // TransparentDle: check mark
        {f.dle, 0, "", S::TransparentDle, true},
        {f.itb, 0, "DLIB", S::Transparent, true},
        {f.dle, 0, "", S::TransparentDle, true},
        {f.etb, 0, "DLEB", S::Idle, false},
        {f.dle, 0, "", S::AfterDle, false},
        {f.stx, 0, "DLSX", S::Transparent, true},
        {f.dle, 0, "", S::TransparentDle, true},
        {f.etx, 0, "DLEX", S::Idle, false},
    };
    if (f.ack >= 0) s.push_back({f.ack, 0, "AK", S::Idle, false});
    else s.push_back({0x06, 0, "", S::Idle, false});  // TRANSC has no ACK: 0x06 is only a letter
    return s;
}

}  // namespace

TEST(ControlMachine, AsciiFamilyWalksEveryTransition) { Walk(kAscii, EveryTransition(kAscii)); }
TEST(ControlMachine, EbcdicFamilyWalksEveryTransition) { Walk(kEbcdic, EveryTransition(kEbcdic)); }
TEST(ControlMachine, TranscFamilyWalksEveryTransition) { Walk(kTransc, EveryTransition(kTransc)); }

TEST(ControlMachine, ACharacterOfOneFamilyIsTextInAnother) {
    // 0x37 is EOT in EBCDIC and a digit "7" in ASCII; 0x2E is ETX in TRANSC and ACK in EBCDIC.
    Walk(kAscii, {{0x37, 0, "", S::Idle, false}, {0x2E, 0, "", S::Idle, false}});
    Walk(kEbcdic, {{0x37, 0, "ET", S::Idle, false}, {0x2E, 0, "AK", S::Idle, false}});
    Walk(kTransc, {{0x0A, 0, "", S::AfterStx, false}, {0x2E, 0, "SXEX", S::Idle, false}});
}

TEST(ControlMachine, CodesWithoutAMachineIgnoreEverything) {
    ControlMachine m(true);
    m.Reset(ControlFamily::None);
    EXPECT_EQ(m.State(), S::NoOp);
    for (int ch : {0x01, 0x02, 0x03, 0x10, 0x30})
        for (int status : {0, 2, 3}) EXPECT_EQ(m.Feed(CellOf(ch, status, true)).count, 0);
    EXPECT_EQ(m.State(), S::NoOp);
}

TEST(ControlMachine, FamilyFollowsTheCodeOnlyInCharacterModes) {
    using textlib::ControlFamilyFor;
    const ControlFamily byCode[] = {ControlFamily::Ascii, ControlFamily::Ebcdic, ControlFamily::Ebcdic,
                                    ControlFamily::Ascii, ControlFamily::Ascii,  ControlFamily::None,
                                    ControlFamily::None,  ControlFamily::Transc, ControlFamily::None,
                                    ControlFamily::None,  ControlFamily::None};
    for (int code = 0; code <= 10; ++code) {
        EXPECT_EQ(ControlFamilyFor(0, code), byCode[code]) << "ASYNC code " << code;
        EXPECT_EQ(ControlFamilyFor(1, code), byCode[code]) << "SYNC code " << code;
        EXPECT_EQ(ControlFamilyFor(2, code), ControlFamily::Ascii) << "HDLC code " << code;
    }
    EXPECT_EQ(ControlFamilyFor(0, 255), ControlFamily::None);
    EXPECT_EQ(ControlFamilyFor(4, 9), ControlFamily::Ascii);
}

TEST(ControlMachine, RdTokensCarryTheRdMarker) {
    ControlMachine m(true);
    m.Reset(ControlFamily::Ascii);
    textlib::ControlOutput out = m.Feed(CellOf(0x04, 0, true));
    ASSERT_EQ(out.count, 1);
    EXPECT_EQ(out.cells[0], 0x3720);
}
