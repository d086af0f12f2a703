// What a simulated analyzer is: its model, firmware, measurement traffic and
// the faults it is told to show. Plain data, filled by `zamvex simulate` or a test.
//
// Errors: nullopt for an unknown model name.
// Threads: any; plain data.
#pragma once
#include <cstdint>
#include <optional>
#include <set>
#include <string>

namespace simulator {

enum class Model { Rv7010, Rv7020, Rv7030 };

// "RV-7010" etc. and the model code the analyzer reports (4, 1, 2).
const char* model_name(Model model);
int model_code(Model model);
std::optional<Model> model_from_name(const std::string& name);

// Line modes as the setup and the measurement information number them.
enum class LineMode : std::uint8_t { Async = 0, Sync = 1, Hdlc = 2, Nrzi = 3, Ppp = 4 };

// What the HDLC and NRZI traffic carries inside its frames.
enum class FrameProtocol : std::uint8_t { Mixed, Sdlc, X25Mod8, X25Mod128, Lapd };

// Faults. Frame numbers count every SYN frame the analyzer sends, from 1.
struct Faults {
    bool mute = false;                       // never answers anything
    bool measuring_at_connect = false;       // a measurement is already running at start
    std::optional<int> refuse_start;         // measurement starts are refused with this stop reason
    std::set<std::uint64_t> drop_frames;     // these frames are not sent at all
    std::set<std::uint64_t> corrupt_frames;  // these frames go out with a broken CRC
    std::set<std::uint64_t> delay_frames;    // these frames are held back for delay_ms
    int delay_ms = 2000;
    int lose_every_items = 0;                          // every n-th captured-data item is lost (its units skipped)
    std::optional<std::uint64_t> silent_after_frames;  // goes dead after sending this many frames
    std::optional<std::uint64_t> silent_after_blocks;  // text mode: dead after this many data blocks
};

// A capture file played onto the monitored line instead of generated traffic
// (see simulator/replay.h for the file's check and what a replay reports).
struct ReplayOptions {
    std::string path;
    double speed = 1.0;        // the file's times divided by this; 0: as fast as the line allows
    bool loop = false;         // start again after the last frame (else the analyzer stops)
    std::uint64_t frames = 0;  // as check_replay_file counted them: fewer is a fault (0: not counted)
    // The time of day the stamps show, as ms to add to the clock the analyzer
    // is given (PtyServer fills it from the local time when it is unset).
    std::optional<std::int64_t> day_offset_ms;
};

struct AnalyzerOptions {
    Model model = Model::Rv7020;
    int version_major = 1;  // shown as "%X.%02X" in the identification line
    int version_minor = 0x05;
    bool text_only = false;             // firmware without packet mode: "%@X" is refused
    bool hex_blocks = false;            // text-mode data sets go out as "$" hex blocks instead of "&" blocks
    std::uint64_t seed = 1;             // the measurement traffic is a function of this seed
    std::optional<LineMode> line_mode;  // overrides the default setup's line mode
    FrameProtocol protocol = FrameProtocol::Mixed;
    int records_per_second = 2000;    // 0: as fast as the line takes them
    std::uint64_t trigger_after = 0;  // records after which the running state becomes 0x300 (0: never)
    std::uint64_t record_limit = 0;   // records a measurement sends; then it runs on without data (0: no limit)
    Faults faults;
    int speed = 0;                        // the baud rate the PC must set on the pty to be heard (0: any)
    std::optional<ReplayOptions> replay;  // the measurement carries this file's frames
};

}  // namespace simulator
