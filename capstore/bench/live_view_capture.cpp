// The live view's effect on capture: capstore's window (offscreen) measures
// an X.25 line from the simulated analyzer at its fastest rate until the
// analyzer has sent a fixed number of records, with the live view hidden and
// then shown in two layouts. For each run: the records per second stored, how
// long the window's event loop was ever kept from running (a 10 ms timer's
// longest gap), how long the stop took, the lines the pane took and could
// not show, the window's
// data-loss counter, and the stored buffer compared word for word with what
// the analyzer sent. Records lost must be 0 in every run.
//   ZAMVEX_LIVE_BLOCKS (default 8): full blocks each run measures.
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <thread>

#include "sets/data_store.h"
#include "simulator/pty_server.h"
#include "simulator/traffic.h"
#include "testing/temp_dir.h"
#include "textlib/buffer_format.h"
#include "ui/main_window.h"

namespace {

using namespace capstore;
namespace fs = std::filesystem;

constexpr std::uint64_t kSeed = 5;

bool pump_until(const std::function<bool()>& done, int limit_s) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(limit_s);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 5);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Every record word of the buffer's block files, oldest first (the last
// file's unused end reads as 0 and is left out; no record word is 0).
std::vector<std::uint32_t> stored_words(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        if (e.path().extension() == ".mkw" && e.path().filename() != "datainfo.mkw") names.push_back(e.path());
    std::sort(names.begin(), names.end());
    std::vector<std::uint32_t> words;
    for (const std::string& name : names) {
        std::ifstream in(name, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        for (std::size_t i = 0; i + 4 <= bytes.size(); i += 4) {
            const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + i);
            const std::uint32_t w = b[0] | b[1] << 8 | b[2] << 16 | std::uint32_t{b[3]} << 24;
            if (w != 0) words.push_back(w);
        }
    }
    return words;
}

struct Run {
    const char* name;
    bool shown;
    bool translate;
};

struct Result {
    double records_per_second = 0;
    long long longest_stall_ms = 0;
    long long stop_ms = 0;  // from "Stop measurement" to offline, the live view's last lines taken
    int pane_lines = 0;
    long long not_shown = 0;
    QString losses;
    long long records_lost = -1;  // sent but not stored in order
    bool ok = false;
};

Result measure(const Run& run, int blocks, const std::vector<std::uint32_t>& sent, const std::string& work) {
    Result r;
    simulator::AnalyzerOptions options;
    options.seed = kSeed;
    options.records_per_second = 0;
    options.line_mode = simulator::LineMode::Hdlc;
    options.protocol = simulator::FrameProtocol::X25Mod8;
    options.record_limit = sent.size();
    simulator::PtyServer server(options);
    std::atomic<bool> stop{false};
    std::thread serving([&] { server.run(stop); });

    fs::remove_all(work);
    fs::create_directories(work + "/buffer");
    SettingsStore settings({QString::fromStdString(work + "/user.ini"), QString::fromStdString(work + "/system.ini"),
                            QString::fromStdString(work + "/")});
    settings.write_live_view(run.shown);
    Remote* remote = nullptr;
    TextConvert* convert = nullptr;
    CreateMirlokeRemote(&remote);
    CreateMirlokeTextConvert(&convert);
    {
        MainWindow window(Language::English, settings, *remote, *convert);
        StoredPort port;
        port.name = server.slave_path();
        StoredBuffer buffer;
        buffer.path = work + "/buffer";
        buffer.max_blocks = blocks + 2;  // no automatic stop before the records are through
        buffer.warn = false;
        ConvertOptions o{};
        settings.read_convert(o);
        if (window.initialise(port, buffer, o) == 0) {
            if (run.translate) {
                window.findChild<QRadioButton*>(QString::number(id::kTranslate))->setChecked(true);
                window.findChild<QComboBox*>(QString::number(id::kFrame))->setCurrentIndex(1);  // X.25 modulo 8
            }
            QElapsedTimer since_tick;
            long long longest = 0;
            QTimer ticks;
            QObject::connect(&ticks, &QTimer::timeout,
                             [&] { longest = std::max<long long>(longest, since_tick.restart()); });
            window.findChild<QPushButton*>(QString::number(id::kStartMeasure))->click();
            const auto& state = window.controller().state();
            const bool started = pump_until([&] { return state.measure_state != 0; }, 30);
            const auto begun = std::chrono::steady_clock::now();
            since_tick.start();
            ticks.start(10);
            const bool through = started && pump_until([&] { return state.block_count >= blocks; }, 300);
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begun).count();
            ticks.stop();
            QElapsedTimer stopping;
            stopping.start();
            window.findChild<QPushButton*>(QString::number(id::kStopMeasure))->click();
            const bool offline =
                pump_until([&] { return !state.busy && state.measure_state == 0 && !window.live_running(); }, 60);
            r.stop_ms = stopping.elapsed();
            window.live_pane().take_lines();
            r.records_per_second = through ? blocks * static_cast<double>(textlib::kBlockWords) / seconds : 0;
            r.longest_stall_ms = longest;
            r.pane_lines = run.shown ? window.live_pane().text()->document()->blockCount() : 0;
            r.not_shown = window.live_pane().not_shown();
            r.losses = window.findChild<QLabel*>(QString::number(id::kLost))->text();
            const std::vector<std::uint32_t> words = stored_words(buffer.path);
            // What was stored must be the analyzer's records from the first, in order, none missing.
            const std::size_t stored = std::min(words.size(), sent.size());
            const auto differ =
                std::mismatch(words.begin(), words.begin() + static_cast<std::ptrdiff_t>(stored), sent.begin());
            const auto agreed = static_cast<std::size_t>(differ.first - words.begin());
            const std::size_t expected = static_cast<std::size_t>(blocks) * textlib::kBlockWords;
            r.records_lost = static_cast<long long>(expected) - static_cast<long long>(std::min(agreed, expected));
            r.ok = started && through && offline && r.records_lost == 0 && r.losses == "0";
        }
        remote->Close();
        remote->Release();
    }
    convert->Release();
    stop = true;
    serving.join();
    return r;
}

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    const char* env = std::getenv("ZAMVEX_LIVE_BLOCKS");
    const int blocks = std::clamp(env ? std::atoi(env) : 8, 1, 64);
    const simulator::LineConditions conditions = simulator::LineConditions::from_setup(
        simulator::default_setup(simulator::Model::Rv7020, simulator::LineMode::Hdlc),
        simulator::FrameProtocol::X25Mod8);
    // A little more than the blocks, so the last one fills.
    const std::vector<std::uint32_t> sent =
        simulator::generate_records(conditions, kSeed, static_cast<std::size_t>(blocks + 1) * textlib::kBlockWords);
    testing_util::TempDir dir;
    std::printf(
        "live view and capture: capstore measuring X.25 at the simulator's fastest rate, %d blocks (%d records)\n",
        blocks, blocks * textlib::kBlockWords);
    std::printf("%-26s %11s %9s %8s %11s %10s %7s %13s\n", "live view", "records/s", "stall ms", "stop ms",
                "pane lines", "not shown", "losses", "records lost");
    const Run runs[] = {
        {"hidden", false, false}, {"shown, print", true, false}, {"shown, frame translation", true, true}};
    bool ok = true;
    for (const Run& run : runs) {
        const Result r = measure(run, blocks, sent, dir.file("run"));
        std::printf("%-26s %11.0f %9lld %8lld %11d %10lld %7s %13lld %s\n", run.name, r.records_per_second,
                    r.longest_stall_ms, r.stop_ms, r.pane_lines, r.not_shown, qPrintable(r.losses), r.records_lost,
                    r.ok ? "" : "FAIL");
        std::fflush(stdout);
        ok = ok && r.ok;
    }
    std::printf("live view and capture: %s\n", ok ? "PASS" : "FAIL");
    return ok ? 0 : 1;
}
