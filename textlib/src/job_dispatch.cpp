// The routine table of the conversion worker: output format, layout and
// measurement mode pick the routine; each adds the record kinds it drops.
#include "job_dispatch.h"

#include <algorithm>
#include <initializer_list>
#include <iterator>

#include "control/print_control_sequence.h"
#include "csv/csv_routines.h"
#include "frames/print_frames.h"
#include "pcbuffer/buffer_names.h"
#include "print/print_normal.h"
#include "textlib/buffer_format.h"

namespace textlib {
namespace {

// What picks a routine: the output format, its second choice (print Format
// or CSV Form), the measurement modes served and any further condition.
struct Pick {
    std::int32_t format;                                                    // ConvertFormat
    std::int32_t choice;                                                    // ConvertPrintFormat or ConvertCsvForm
    unsigned modes;                                                         // a bit per mode (info::kMode), or kAnyMode
    bool (*also)(const ConvertOptions& options, const std::uint8_t* body);  // null: nothing more
};

struct RoutineRow {
    Routine routine;
    Pick pick;
    int filter;       // record kinds the reader drops
    bool optionCuts;  // also drops idle times and time stamps when IdleTimeCut and TimeStampCut say so
    int (*run)(ConvertJob& job);
};

constexpr std::int32_t SecondChoice(const ConvertOptions& o) {
    return o.Format == FormatCsv ? o.CsvForm : o.PrintFormat;
}

constexpr unsigned kAnyMode = ~0u;
constexpr unsigned Modes(std::initializer_list<Mode> modes) {
    unsigned bits = 0;
    for (Mode m : modes) bits |= 1u << m;
    return bits;
}
constexpr unsigned kCharModes = Modes({kAsync, kSync}), kFrameModes = Modes({kHdlc, kNrzi}), kPppMode = Modes({kPpp});
constexpr unsigned kOtherModes = ~(kCharModes | kFrameModes | kPppMode);  // bit 31: every mode from 31 up

constexpr bool ShowsLineStates(const ConvertOptions& o, const std::uint8_t* body) {
    return o.LineStateCut == 0 && body[info::kLineStates] != 0;
}
constexpr bool NoLineStates(const ConvertOptions& o, const std::uint8_t* body) { return !ShowsLineStates(o, body); }
constexpr bool NoPackets(const ConvertOptions& o, const std::uint8_t*) { return o.TranslatePacket == PacketOff; }
constexpr bool WithPackets(const ConvertOptions& o, const std::uint8_t*) { return o.TranslatePacket != PacketOff; }

// One row per routine, in Routine's order, then the choices that have none;
// no options pick two rows (checked below).
// clang-format off
constexpr RoutineRow kRoutines[] = {
    // routine                        format       second choice         modes        further condition
    //                                filter                                       option cuts  code
    {Routine::PrintNormal,          {FormatPrint, PrintFormatNormal,    kAnyMode,    NoLineStates},
                                    kSkipLineState,                              true,        PrintNormal},
    {Routine::PrintNormalLineState, {FormatPrint, PrintFormatNormal,    kAnyMode,    ShowsLineStates},
                                    0,                                           true,        PrintNormalLineState},
    {Routine::PrintControlSequence, {FormatPrint, PrintFormatTranslate, kCharModes,  nullptr},
                                    kSkipIdle,                                   false,       PrintControlSequence},
    {Routine::PrintFrames,          {FormatPrint, PrintFormatTranslate, kFrameModes, NoPackets},
                                    kSkipIdle,                                   false,       PrintFrames},
    {Routine::PrintPackets,         {FormatPrint, PrintFormatTranslate, kFrameModes, WithPackets},
                                    kSkipIdle,                                   false,       PrintPackets},
    {Routine::PrintPpp,             {FormatPrint, PrintFormatTranslate, kPppMode,    nullptr},
                                    kSkipIdle,                                   false,       PrintPpp},
    {Routine::CsvData,              {FormatCsv,   CsvFormData,          kAnyMode,    nullptr},
                                    kSkipLineState | kSkipIdle | kSkipTimeStamp, false,       CsvData},
    {Routine::CsvFrames,            {FormatCsv,   CsvFormFrame,         kAnyMode,    nullptr},
                                    kSkipIdle,                                   false,       CsvFrames},
    // A mode without a translation: no routine, the job fails.
    {Routine::None,                 {FormatPrint, PrintFormatTranslate, kOtherModes, nullptr},
                                    kSkipIdle,                                   false,       nullptr},
};
// clang-format on

// The body is read only for the conditions that need it.
constexpr bool Picks(const Pick& p, const ConvertOptions& o, const std::uint8_t* body) {
    if (o.Format != p.format || SecondChoice(o) != p.choice) return false;
    if (p.modes != kAnyMode) {
        const unsigned bit = std::min(static_cast<unsigned>(body[info::kMode]), 31u);
        if (((p.modes >> bit) & 1u) == 0) return false;
    }
    return p.also == nullptr || p.also(o, body);
}

// Each routine has its row, in order, and no options of the choices the
// rows look at (with modes past the known ones) pick two rows.
constexpr bool TableHolds() {
    std::size_t routines = 0;
    while (routines < std::size(kRoutines) && kRoutines[routines].routine != Routine::None) ++routines;
    if (routines + 1 != static_cast<std::size_t>(Routine::Count)) return false;  // a routine without its row
    for (std::size_t i = 0; i < std::size(kRoutines); ++i) {
        const RoutineRow& row = kRoutines[i];
        // (Function pointers cannot be compared here in a sanitizer build: RunRoutine checks them.)
        if (row.routine != (i < routines ? static_cast<Routine>(i + 1) : Routine::None)) return false;
    }
    for (int format = 0; format <= 2; ++format) {
        for (int choice = 0; choice <= 2; ++choice) {
            for (const int mode : std::initializer_list<int>{kAsync, kSync, kHdlc, kNrzi, kPpp, kPpp + 1, 31, 255}) {
                for (int more = 0; more < 8; ++more) {
                    ConvertOptions o{};
                    o.Format = format;
                    o.PrintFormat = o.CsvForm = choice;
                    o.TranslatePacket = (more & 1) != 0 ? PacketX25 : PacketOff;
                    o.LineStateCut = (more >> 1) & 1;
                    std::uint8_t body[info::kLineStates + 1] = {};
                    body[info::kMode] = static_cast<std::uint8_t>(mode);
                    body[info::kLineStates] = static_cast<std::uint8_t>((more >> 2) & 1);
                    int picked = 0;
                    for (const RoutineRow& row : kRoutines) picked += Picks(row.pick, o, body) ? 1 : 0;
                    if (picked > 1) return false;
                }
            }
        }
    }
    return true;
}
static_assert(TableHolds(), "every routine one row, in Routine's order, and no options that pick two");

}  // namespace

ConvertOptions JobOptions(const ConvertOptions& options) {
    ConvertOptions o = options;
    o.Blocks = std::clamp(o.Blocks, 1, pcbuffer::kMaxBlocksLimit);
    if (o.PrintFormat == PrintFormatTranslate) o.GuideCut = 0;
    return o;
}

Dispatch ChooseRoutine(const ConvertOptions& o, const std::uint8_t* body) {
    const int lineFilter = o.Line == LineSd ? kHideRd : o.Line == LineRd ? kHideSd : 0;
    for (const RoutineRow& row : kRoutines) {
        if (!Picks(row.pick, o, body)) continue;
        int filter = lineFilter | row.filter;
        if (row.optionCuts && o.IdleTimeCut) filter |= kSkipIdle;
        if (row.optionCuts && o.TimeStampCut) filter |= kSkipTimeStamp;
        return {row.routine, filter};
    }
    return {Routine::None, lineFilter};
}

int RunRoutine(Routine routine, ConvertJob& job) {
    const auto row = static_cast<std::size_t>(routine) - 1;  // None wraps past the table
    return row < std::size(kRoutines) && kRoutines[row].run != nullptr ? kRoutines[row].run(job) : kConvertFailed;
}

}  // namespace textlib
