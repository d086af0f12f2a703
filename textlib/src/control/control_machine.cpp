// The control characters of each code family and the transition rules of the
// control-sequence machine, both as tables. A character is classified once by
// its family's table; the rule for (state, class) says where to go and what to
// put out, with the state's "anything else" row as the fallback.
#include "control/control_machine.h"

#include <array>
#include <cstddef>

#include "textlib/buffer_format.h"

namespace textlib {
namespace {

// Input classes: a check mark (status 2 or 3), a control character, or other.
enum Input : std::uint8_t {
    kCheck,
    kSoh,
    kStx,
    kEtx,
    kEot,
    kEnq,
    kAck,
    kDle,
    kNak,
    kEtb,
    kItb,
    kAck0,
    kAck1,
    kWack,
    kRvi,
    kOther,
    kInputCount
};

constexpr int kNone = -1;  // the family has no such character

struct RoleRow {
    Input role;
    int ascii, ebcdic, transc;
};
constexpr RoleRow kRoles[] = {
    {kSoh, 0x01, 0x01, 0x00},  {kStx, 0x02, 0x02, 0x0A},  {kEtx, 0x03, 0x03, 0x2E},  {kEot, 0x04, 0x37, 0x1E},
    {kEnq, 0x05, 0x2D, 0x2D},  {kAck, 0x06, 0x2E, kNone}, {kDle, 0x10, 0x10, 0x1F},  {kNak, 0x15, 0x3D, 0x3D},
    {kEtb, 0x17, 0x26, 0x0F},  {kItb, 0x1F, 0x1F, 0x1D},  {kAck0, 0x30, 0x70, 0x20},  // second character after DLE
    {kAck1, 0x31, 0x61, 0x23}, {kWack, 0x3B, 0x6B, 0x26}, {kRvi, 0x3C, 0x7C, 0x32},
};

using ClassTable = std::array<Input, 256>;

// One class per character; two roles on one character of a family stop the build.
constexpr ClassTable BuildClasses(int family) {
    ClassTable t{};
    t.fill(kOther);
    for (const RoleRow& r : kRoles) {
        int ch = family == 0 ? r.ascii : family == 1 ? r.ebcdic : r.transc;
        if (ch == kNone) continue;
        if (t[static_cast<std::size_t>(ch)] != kOther) throw "two control roles on one character";
        t[static_cast<std::size_t>(ch)] = r.role;
    }
    return t;
}
constexpr ClassTable kClasses[3] = {BuildClasses(0), BuildClasses(1), BuildClasses(2)};

using S = ControlState;
enum Flag : std::uint8_t { kKeep, kSetFlag, kClearFlag };
// What follows the row's own output: the text mark when text is pending, or
// the cell handled again by the Text state.
enum Then : std::uint8_t { kDone, kTextMark, kAsText };

struct Rule {
    S from;
    Input in;
    S to;
    Flag flag;
    std::uint8_t emit[2];  // token codes, 0 for none
    bool pushCell;         // the input cell itself goes out (check marks)
    Then then;
};

namespace t = token;
constexpr Rule kRules[] = {
    {S::Idle, kCheck, S::Idle, kKeep, {}, true, kDone},
    {S::Idle, kSoh, S::Text, kSetFlag, {t::kSoh}, false, kDone},
    {S::Idle, kStx, S::AfterStx, kKeep, {}, false, kDone},
    {S::Idle, kEot, S::Idle, kKeep, {t::kEot}, false, kDone},
    {S::Idle, kEnq, S::Idle, kKeep, {t::kEnq}, false, kDone},
    {S::Idle, kAck, S::Idle, kKeep, {t::kAck}, false, kDone},
    {S::Idle, kDle, S::AfterDle, kKeep, {}, false, kDone},
    {S::Idle, kNak, S::Idle, kKeep, {t::kNak}, false, kDone},
    {S::Idle, kOther, S::Idle, kKeep, {}, false, kDone},

    {S::Text, kCheck, S::Text, kSetFlag, {}, true, kDone},
    {S::Text, kStx, S::Text, kSetFlag, {t::kStx}, false, kDone},
    {S::Text, kEtx, S::Idle, kClearFlag, {t::kEtx}, false, kDone},
    {S::Text, kEtb, S::Idle, kClearFlag, {t::kEtb}, false, kDone},
    {S::Text, kItb, S::Text, kSetFlag, {t::kItb}, false, kDone},
    {S::Text, kOther, S::Text, kKeep, {}, false, kTextMark},

    {S::AfterStx, kCheck, S::Text, kSetFlag, {t::kStx}, true, kDone},
    {S::AfterStx, kEnq, S::Idle, kClearFlag, {t::kT, t::kD}, false, kDone},
    {S::AfterStx, kOther, S::Text, kSetFlag, {t::kStx}, false, kAsText},

    {S::AfterDle, kCheck, S::Idle, kKeep, {}, true, kDone},
    {S::AfterDle, kSoh, S::Transparent, kSetFlag, {t::kDle, t::kSoh}, false, kDone},
    {S::AfterDle, kStx, S::Transparent, kSetFlag, {t::kDle, t::kStx}, false, kDone},
    {S::AfterDle, kEot, S::Idle, kKeep, {t::kDle, t::kEot}, false, kDone},
    {S::AfterDle, kAck0, S::Idle, kKeep, {t::kAck, t::kZero}, false, kDone},
    {S::AfterDle, kAck1, S::Idle, kKeep, {t::kAck, t::kOne}, false, kDone},
    {S::AfterDle, kWack, S::Idle, kKeep, {t::kW, t::kAck}, false, kDone},
    {S::AfterDle, kRvi, S::Idle, kKeep, {t::kR, t::kV}, false, kDone},
    {S::AfterDle, kOther, S::Idle, kKeep, {}, false, kDone},

    {S::Transparent, kCheck, S::Transparent, kSetFlag, {}, true, kDone},
    {S::Transparent, kDle, S::TransparentDle, kKeep, {}, false, kDone},
    {S::Transparent, kOther, S::Transparent, kKeep, {}, false, kTextMark},

    {S::TransparentDle, kCheck, S::Transparent, kSetFlag, {}, true, kDone},
    {S::TransparentDle, kStx, S::Transparent, kSetFlag, {t::kDle, t::kStx}, false, kDone},
    {S::TransparentDle, kEtx, S::Idle, kClearFlag, {t::kDle, t::kEtx}, false, kDone},
    {S::TransparentDle, kEtb, S::Idle, kClearFlag, {t::kDle, t::kEtb}, false, kDone},
    {S::TransparentDle, kItb, S::Transparent, kSetFlag, {t::kDle, t::kItb}, false, kDone},
    {S::TransparentDle, kOther, S::Transparent, kKeep, {}, false, kTextMark},  // a second DLE too
};

constexpr bool RulesSortedAndUnique() {
    for (std::size_t k = 1; k < std::size(kRules); ++k) {
        const Rule& p = kRules[k - 1];
        const Rule& r = kRules[k];
        if (p.from > r.from || (p.from == r.from && p.in >= r.in)) return false;
    }
    return true;
}
static_assert(RulesSortedAndUnique(), "one rule per state and input, in order");
static_assert(std::size(kRoles) == kOther - kSoh, "every control role has its row");

constexpr int kStateCount = 7;
using RuleIndex = std::array<std::array<std::uint8_t, kInputCount>, kStateCount>;

// Dense (state, input) -> rule lookup; every state with a machine needs its
// "anything else" row, which stands for the inputs it does not list.
constexpr RuleIndex BuildIndex() {
    constexpr std::uint8_t kUnset = 0xFF;
    RuleIndex index{};
    for (auto& row : index) row.fill(kUnset);
    for (std::size_t k = 0; k < std::size(kRules); ++k)
        index[static_cast<std::size_t>(kRules[k].from)][kRules[k].in] = static_cast<std::uint8_t>(k);
    for (int s = 1; s < kStateCount; ++s) {
        auto& row = index[static_cast<std::size_t>(s)];
        if (row[kOther] == kUnset) throw "a state without its anything-else rule";
        for (auto& entry : row)
            if (entry == kUnset) entry = row[kOther];
    }
    return index;
}
constexpr RuleIndex kRuleIndex = BuildIndex();

constexpr int kFirstDroppedStatus = 8;  // breaks, aborts, flags, no character

}  // namespace

ControlFamily ControlFamilyFor(int mode, int code) {
    if (mode != kAsync && mode != kSync) return ControlFamily::Ascii;
    switch (code) {
    case 0:  // ASCII
    case 3:  // JIS 7
    case 4:  // JIS 8
        return ControlFamily::Ascii;
    case 1:  // EBCDIC
    case 2:  // EBCDIK
        return ControlFamily::Ebcdic;
    case 7:  // TRANSC
        return ControlFamily::Transc;
    default: return ControlFamily::None;
    }
}

void ControlMachine::Reset(ControlFamily family) {
    family_ = family;
    state_ = family == ControlFamily::None ? S::NoOp : S::Idle;
    pending_ = false;
}

ControlOutput ControlMachine::Feed(std::uint16_t cell) {
    ControlOutput out;
    const int status = CellStatus(cell);
    if (state_ == S::NoOp || status >= kFirstDroppedStatus) return out;
    int input = kCheck;
    if (status != 2 && status != 3) {
        const ClassTable& classes = kClasses[static_cast<int>(family_) - 1];
        input = classes[static_cast<std::size_t>(CellChar(cell))];
    }
    Step(input, cell, out);
    return out;
}

void ControlMachine::Step(int input, std::uint16_t cell, ControlOutput& out) {
    const Rule& r = kRules[kRuleIndex[static_cast<std::size_t>(state_)][static_cast<std::size_t>(input)]];
    state_ = r.to;
    if (r.flag != kKeep) pending_ = r.flag == kSetFlag;
    for (std::uint8_t code : r.emit)
        if (code != 0) Emit(code, out);
    if (r.pushCell && out.count < 4) out.cells[out.count++] = cell;
    if (r.then == kTextMark && pending_) {
        pending_ = false;
        Emit(token::kText, out);
    } else if (r.then == kAsText) {
        Step(input, cell, out);  // state_ is Text now: no further kAsText
    }
}

void ControlMachine::Emit(std::uint8_t code, ControlOutput& out) const {
    if (out.count < 4) out.cells[out.count++] = static_cast<std::uint16_t>(code << 8 | marker_);
}

}  // namespace textlib
