// The stats table and its JSON twin: one function per part, each part
// written for both from the same numbers.
#include "stats/stats_report.h"

#include <cinttypes>

#include "textlib/buffer_format.h"
#include "textlib/text_convert.h"

#include "commands/layout_words.h"
#include "text/json_text.h"
#include "text/option_parser.h"

namespace cli {
namespace {

const char* const kDirectionKeys[3] = {"sd", "rd", "undecided"};

std::string json_time(StatTime t) { return t == kNoTime ? "null" : json_string(time_text(t)); }

long long ll(std::int64_t v) { return static_cast<long long>(v); }

// The --frame and --packet word of a choice; empty for none.
std::string word_of(const char* words, int index) {
    const std::vector<std::string> all = choice_words(words);
    return index >= 0 && index < static_cast<int>(all.size()) ? all[static_cast<std::size_t>(index)] : "";
}
std::string frame_names_word(int variant) { return word_of(kFrameWords, variant); }
std::string packet_word(int kind) { return kind > 0 ? word_of(kPacketWords, kind) : ""; }

std::string silence_text(const LineStats& s) {
    char text[96];
    std::snprintf(text, sizeof text, "%lld.%03lld s from %s (%s)", ll(s.silence_ms / 1000), ll(s.silence_ms % 1000),
                  time_text(s.silence_from).c_str(), s.silence_from_idle ? "idle time" : "between time stamps");
    return text;
}

void table_kinds(std::FILE* out, const char* title, const KindTable& kinds) {
    if (kinds.size() == 0 && !kinds.any_others()) return;
    std::fprintf(out, "\n%-22s %10s %10s %12s\n", title, "SD", "RD", "no direction");
    for (int i = 0; i < kinds.size(); ++i) {
        const KindCount& k = kinds[i];
        std::fprintf(out, "  %-20s %10lld %10lld %12lld\n", kind_name(k).c_str(), ll(k.frames[0]), ll(k.frames[1]),
                     ll(k.frames[2]));
    }
    if (kinds.any_others())
        std::fprintf(out, "  %-20s %10lld %10lld %12lld\n", "(other kinds)", ll(kinds.others()[0]),
                     ll(kinds.others()[1]), ll(kinds.others()[2]));
}

void json_kinds(std::FILE* out, const char* key, const KindTable& kinds) {
    std::fprintf(out, ",\n  \"%s\": [", key);
    auto row = [&](bool first, const std::string& name, const std::int64_t* n) {
        std::fprintf(out, "%s\n    {\"kind\": %s, \"sd\": %lld, \"rd\": %lld, \"undecided\": %lld}", first ? "" : ",",
                     json_string(name).c_str(), ll(n[0]), ll(n[1]), ll(n[2]));
    };
    for (int i = 0; i < kinds.size(); ++i) row(i == 0, kind_name(kinds[i]), kinds[i].frames);
    if (kinds.any_others()) row(kinds.size() == 0, "(other kinds)", kinds.others());
    std::fprintf(out, "%s]", kinds.size() > 0 || kinds.any_others() ? "\n  " : "");
}

void table_minutes(std::FILE* out, RowSpool& minutes) {
    std::fprintf(out, "\n%-10s %10s %12s %12s %8s %6s\n", "minute", "frames", "SD chars", "RD chars", "errors", "lost");
    BucketRow r;
    if (!minutes.rewind()) return;
    while (minutes.next(r))
        std::fprintf(out, "%-10s %10lld %12lld %12lld %8lld %6lld\n", minute_text(r.bucket).c_str(), ll(r.frames),
                     ll(r.chars[0]), ll(r.chars[1]), ll(r.errors), ll(r.lost));
}

void json_minutes(std::FILE* out, RowSpool& minutes) {
    std::fprintf(out, ",\n  \"per_minute\": [");
    BucketRow r;
    bool first = true;
    if (minutes.rewind())
        while (minutes.next(r)) {
            std::fprintf(out,
                         "%s\n    {\"minute\": %s, \"frames\": %lld, \"sd\": %lld, \"rd\": %lld, \"errors\": %lld, "
                         "\"lost\": %lld}",
                         first ? "" : ",", r.bucket == kNoTime ? "null" : json_string(minute_text(r.bucket)).c_str(),
                         ll(r.frames), ll(r.chars[0]), ll(r.chars[1]), ll(r.errors), ll(r.lost));
            first = false;
        }
    std::fprintf(out, "%s]", first ? "" : "\n  ");
}

}  // namespace

std::string duration_text(StatTime seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld:%02d:%02d", ll(seconds / 3600), static_cast<int>(seconds / 60 % 60),
                  static_cast<int>(seconds % 60));
    return text;
}

std::string minute_text(StatTime t) {
    const std::string text = time_text(t);
    return t == kNoTime ? text : text.substr(0, text.size() - 3);
}

void write_stats_table(std::FILE* out, const LineStats& s, const StatsHeading& h, RowSpool* minutes) {
    std::fprintf(out, "%-16s %s (%s)\n", "PC buffer", h.buffer.c_str(), h.blocks.c_str());
    std::fprintf(out, "%-16s %s", "line mode", mode_name(s.mode));
    if (const std::string f = frame_names_word(s.frame_variant); !f.empty())
        std::fprintf(out, ", frames named as --frame %s", f.c_str());
    if (const std::string p = packet_word(s.packet_kind); !p.empty())
        std::fprintf(out, ", packets as --packet %s", p.c_str());
    std::fprintf(out, "\n%-16s %s\n", "date",
                 h.date.empty() ? "not known" : (h.date + " (the day datainfo.mkw was written)").c_str());
    if (s.stamps == 0) std::fprintf(out, "%-16s no time stamps recorded\n", "time span");
    else
        std::fprintf(out, "%-16s %s .. %s (%s, %lld time stamps)\n", "time span", time_text(s.first_stamp).c_str(),
                     time_text(s.last_stamp).c_str(), duration_text(s.last_stamp - s.first_stamp).c_str(),
                     ll(s.stamps));
    std::fprintf(out, "%-16s %lld\n", "records", ll(s.records));
    std::fprintf(out, "%-16s SD %lld, RD %lld\n", "characters", ll(s.chars[0]), ll(s.chars[1]));
    if (s.lost.count == 0) std::fprintf(out, "%-16s none\n", "data lost");
    else
        std::fprintf(out, "%-16s %lld marks (%lld units), first %s, last %s\n", "data lost", ll(s.lost.count),
                     ll(s.lost_units), time_text(s.lost.first).c_str(), time_text(s.lost.last).c_str());
    std::fprintf(out, "%-16s SD %lld, RD %lld, no direction %lld\n", "frames", ll(s.frames[0]), ll(s.frames[1]),
                 ll(s.frames[2]));
    table_kinds(out, s.mode == textlib::kPpp ? "frames by protocol" : "frames by kind", s.kinds);
    table_kinds(out, s.packet_kind == PacketLapd ? "messages" : "packets", s.packets);

    if (s.error_total() == 0) std::fprintf(out, "\n%-16s none\n", "errors");
    else {
        std::fprintf(out, "\n%-22s %10s %12s %12s\n", "errors", "count", "first", "last");
        for (int i = 0; i < kErrorKinds; ++i) {
            const Occurrences& e = s.errors[i];
            if (e.count == 0) continue;
            std::fprintf(out, "  %-20s %10lld %12s %12s\n", error_kind(i, s.mode).name, ll(e.count),
                         time_text(e.first).c_str(), time_text(e.last).c_str());
        }
    }

    if (!s.line_states) std::fprintf(out, "\n%-16s not recorded\n", "line states");
    else {
        std::fprintf(out, "\n%-22s %10s  %s\n", "line states", "changes", "longest off");
        for (int n = 0; n < kSignals; ++n) {
            const SignalStats& sig = s.signals[n];
            if (!sig.known) continue;
            std::string off = "never off";
            if (sig.longest_off >= 0)
                off = duration_text(sig.longest_off) + " from " + time_text(sig.longest_off_from) +
                      (sig.off_at_end ? " to the end" : "");
            std::fprintf(out, "  %-20s %10lld  %s\n", kSignalNames[n], ll(sig.changes), off.c_str());
        }
    }
    std::fprintf(out, "\n");
    if (s.busiest_second == kNoTime) std::fprintf(out, "%-16s -\n", "busiest second");
    else
        std::fprintf(out, "%-16s %s (%lld characters)\n", "busiest second", time_text(s.busiest_second).c_str(),
                     ll(s.busiest_chars));
    std::fprintf(out, "%-16s %s\n", "longest silence", s.silence_ms < 0 ? "-" : silence_text(s).c_str());
    if (minutes != nullptr) table_minutes(out, *minutes);
}

void write_stats_json(std::FILE* out, const LineStats& s, const StatsHeading& h, RowSpool* minutes) {
    std::fprintf(out, "{\n  \"buffer\": %s,\n", json_string(h.buffer).c_str());
    if (h.held == 0) std::fprintf(out, "  \"blocks\": null,\n");
    else std::fprintf(out, "  \"blocks\": {\"start\": %d, \"count\": %d, \"held\": %d},\n", h.start, h.count, h.held);
    std::fprintf(out, "  \"mode\": %s,\n", json_string(mode_name(s.mode)).c_str());
    const std::string f = frame_names_word(s.frame_variant), p = packet_word(s.packet_kind);
    std::fprintf(out, "  \"frame_names\": %s,\n  \"packet_names\": %s,\n", f.empty() ? "null" : json_string(f).c_str(),
                 p.empty() ? "null" : json_string(p).c_str());
    std::fprintf(out, "  \"date\": %s,\n", h.date.empty() ? "null" : json_string(h.date).c_str());
    std::fprintf(out, "  \"first_time\": %s,\n  \"last_time\": %s,\n", json_time(s.first_stamp).c_str(),
                 json_time(s.last_stamp).c_str());
    if (s.stamps == 0) std::fprintf(out, "  \"span_seconds\": null,\n");
    else std::fprintf(out, "  \"span_seconds\": %lld,\n", ll(s.last_stamp - s.first_stamp));
    std::fprintf(out, "  \"time_stamps\": %lld,\n  \"records\": %lld,\n", ll(s.stamps), ll(s.records));
    std::fprintf(out, "  \"characters\": {\"sd\": %lld, \"rd\": %lld},\n", ll(s.chars[0]), ll(s.chars[1]));
    std::fprintf(out, "  \"lost\": {\"marks\": %lld, \"units\": %lld, \"first\": %s, \"last\": %s},\n",
                 ll(s.lost.count), ll(s.lost_units), json_time(s.lost.first).c_str(), json_time(s.lost.last).c_str());
    std::fprintf(out, "  \"frames\": {");
    for (int d = 0; d < 3; ++d) std::fprintf(out, "%s\"%s\": %lld", d ? ", " : "", kDirectionKeys[d], ll(s.frames[d]));
    std::fprintf(out, "}");
    json_kinds(out, "kinds", s.kinds);
    json_kinds(out, "packets", s.packets);
    std::fprintf(out, ",\n  \"errors\": [");
    for (int i = 0; i < kErrorKinds; ++i) {
        const Occurrences& e = s.errors[i];
        std::fprintf(out, "%s\n    {\"kind\": %s, \"count\": %lld, \"first\": %s, \"last\": %s}", i ? "," : "",
                     json_string(error_kind(i, s.mode).name).c_str(), ll(e.count), json_time(e.first).c_str(),
                     json_time(e.last).c_str());
    }
    std::fprintf(out, "\n  ],\n  \"line_states\": ");
    if (!s.line_states) std::fprintf(out, "null");
    else {
        std::fprintf(out, "[");
        bool first = true;
        for (int n = 0; n < kSignals; ++n) {
            const SignalStats& sig = s.signals[n];
            if (!sig.known) continue;
            std::fprintf(out, "%s\n    {\"signal\": \"%s\", \"changes\": %lld, ", first ? "" : ",", kSignalNames[n],
                         ll(sig.changes));
            if (sig.longest_off < 0) std::fprintf(out, "\"longest_off_seconds\": null, \"longest_off_from\": null, ");
            else
                std::fprintf(out, "\"longest_off_seconds\": %lld, \"longest_off_from\": %s, ", ll(sig.longest_off),
                             json_time(sig.longest_off_from).c_str());
            std::fprintf(out, "\"off_at_end\": %s}", sig.off_at_end ? "true" : "false");
            first = false;
        }
        std::fprintf(out, "%s]", first ? "" : "\n  ");
    }
    if (s.busiest_second == kNoTime) std::fprintf(out, ",\n  \"busiest_second\": null");
    else
        std::fprintf(out, ",\n  \"busiest_second\": {\"time\": %s, \"characters\": %lld}",
                     json_time(s.busiest_second).c_str(), ll(s.busiest_chars));
    if (s.silence_ms < 0) std::fprintf(out, ",\n  \"longest_silence\": null");
    else
        std::fprintf(out, ",\n  \"longest_silence\": {\"ms\": %lld, \"from\": %s, \"from_idle_time\": %s}",
                     ll(s.silence_ms), json_time(s.silence_from).c_str(), s.silence_from_idle ? "true" : "false");
    if (minutes != nullptr) json_minutes(out, *minutes);
    std::fprintf(out, "\n}\n");
}

}  // namespace cli
