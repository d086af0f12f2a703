// The names and small rules of the line statistics.
#include "stats/line_stats.h"

#include <cstdio>
#include <iterator>

#include "commands/layout_words.h"
#include "textlib/buffer_format.h"

namespace cli {
namespace {

constexpr ErrorKind kBadBcc{3, "bad BCC"};  // status 3 on character lines

constexpr const char* kModeNames[] = {"ASYNC", "SYNC", "HDLC", "NRZI", "PPP"};

bool same_field(const textlib::FrameField& a, const textlib::FrameField& b) {
    if (a.present != b.present) return false;
    if (a.name != nullptr || b.name != nullptr) return a.name == b.name;
    return a.value == b.value;
}

std::string field_text(const textlib::FrameField& f) {
    if (!f.present) return "(too short)";
    if (f.name != nullptr) return f.name;
    char hex[16];
    std::snprintf(hex, sizeof hex, f.bytes == 2 ? "(%04X)" : "(%02X)", f.value);
    return hex;
}

}  // namespace

const char* const kSignalNames[kSignals] = {kLineStateNames[0], kLineStateNames[1], kLineStateNames[2],
                                            kLineStateNames[3], kLineStateNames[4], kLineStateNames[5],
                                            kLineStateNames[6], kLineStateNames[7]};
static_assert(std::size(kLineStateNames) == kSignals);

const ErrorKind& error_kind(int index, int mode) {
    const bool character_line = mode == textlib::kAsync || mode == textlib::kSync;
    if (character_line && kErrorKindRows[index].status == kBadBcc.status) return kBadBcc;
    return kErrorKindRows[index];
}

std::string kind_name(const KindCount& k) {
    std::string name = field_text(k.field);
    if (k.detail.present) {
        name += ' ';
        name += field_text(k.detail);
    }
    return name;
}

void KindTable::add(const textlib::FrameField& field, const textlib::FrameField& detail, int direction) {
    if (last_ >= 0) {
        KindCount& k = kinds_[static_cast<std::size_t>(last_)];
        if (same_field(k.field, field) && same_field(k.detail, detail)) {
            ++k.frames[direction];
            return;
        }
    }
    for (int i = 0; i < used_; ++i) {
        KindCount& k = kinds_[static_cast<std::size_t>(i)];
        if (same_field(k.field, field) && same_field(k.detail, detail)) {
            ++k.frames[direction];
            last_ = i;
            return;
        }
    }
    if (used_ == kMaxKinds) {
        ++others_[direction];
        return;
    }
    KindCount& k = kinds_[static_cast<std::size_t>(used_)];
    k.field = field;
    k.detail = detail;
    ++k.frames[direction];
    last_ = used_++;
}

std::string time_text(StatTime t) {
    if (t == kNoTime) return "-";
    const long long day = t / 86400;
    const int s = static_cast<int>(t % 86400);
    char text[48];
    if (day > 0) std::snprintf(text, sizeof text, "+%lld %02d:%02d:%02d", day, s / 3600, s / 60 % 60, s % 60);
    else std::snprintf(text, sizeof text, "%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60);
    return text;
}

const char* mode_name(int mode) {
    return mode >= 0 && mode < static_cast<int>(std::size(kModeNames)) ? kModeNames[mode] : "unknown mode";
}

}  // namespace cli
