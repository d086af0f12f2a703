// Conversions of a running measurement: fed the words as they arrive, in
// pieces of any size, every layout writes the lines a conversion of the
// finished buffer writes, and a frame's line goes out as soon as the word
// that ends it has arrived.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <filesystem>
#include <mutex>
#include <random>
#include <thread>

#include "convert_harness.h"
#include "sample_buffers.h"
#include "sample_conversations.h"
#include "textlib/live_convert.h"

using namespace textlib_test;

namespace {

struct Sample {
    const char* name;
    InfoBody body;
    std::vector<std::uint32_t> words;
};

// ASYNC with line states recorded, so the print format shows their lines.
InfoBody AsyncWithLineStates() {
    InfoBody b = AsyncBody();
    b[33] = 1;
    return b;
}

std::vector<std::uint32_t> Repeated(std::vector<std::uint32_t> words, int times) {
    std::vector<std::uint32_t> all;
    for (int k = 0; k < times; ++k) Append(all, words);
    return all;
}

std::vector<Sample> Samples() {
    std::vector<std::uint32_t> states = MixedAsync();
    Append(states, {LineState(0x00, 0x80), Sd('Q'), LineState(0x80, 0xC0)});
    Append(states, SdText("A LONGER STRETCH OF TEXT WITHOUT ANY CHANGE OF STATE"));
    states.push_back(LineState(0xC0, 0x40));
    return {
        {"async", AsyncBody(), Repeated(MixedAsync(), 5)},
        {"async_states", AsyncWithLineStates(), Repeated(states, 3)},
        {"sync_bsc", BscBody(kBscEbcdic), Repeated(BscConversation(kBscEbcdic), 2)},
        {"hdlc", HdlcBody(), Repeated(HdlcSample(), 4)},
        {"x25", HdlcBody(), X25Conversation()},
        {"q931", HdlcBody(), Q931Call()},
        {"ppp", PppBody(), Repeated(PppNegotiation(), 2)},
    };
}

struct Layout {
    const char* name;
    void (*apply)(ConvertOptions&);
};

const Layout kLayouts[] = {
    {"print", [](ConvertOptions&) {}},
    {"print_hex_sd", [](ConvertOptions& o) { o.PrintData = PrintDataHex, o.Line = LineSd; }},
    {"print_char_rd_nostamps",
     [](ConvertOptions& o) { o.PrintData = PrintDataChar, o.Line = LineRd, o.TimeStampCut = 1; }},
    {"translate", [](ConvertOptions& o) { o.PrintFormat = PrintFormatTranslate; }},
    {"translate_lapd_packets",
     [](ConvertOptions& o) {
         o.PrintFormat = PrintFormatTranslate, o.TranslateFrame = FrameLapd, o.TranslatePacket = PacketLapd;
     }},
    {"translate_x25_packets_rd",
     [](ConvertOptions& o) { o.PrintFormat = PrintFormatTranslate, o.TranslatePacket = PacketX25, o.Line = LineRd; }},
    {"csv_data", [](ConvertOptions& o) { o.Format = FormatCsv, o.CsvData = CsvDataHex, o.Width = 7; }},
    {"csv_frames", [](ConvertOptions& o) { o.Format = FormatCsv, o.CsvForm = CsvFormFrame, o.CsvData = CsvDataChar; }},
    {"csv_frames_sd",
     [](ConvertOptions& o) { o.Format = FormatCsv, o.CsvForm = CsvFormFrame, o.Line = LineSd, o.Width = 5; }},
};

std::string WithoutCr(std::string s) {
    std::erase(s, '\r');
    return s;
}

// What the conversion of the finished buffer writes, in one file.
std::string Offline(const Sample& s, const ConvertOptions& options, testing_util::TempDir& dir) {
    const std::string buffer = dir.file("buffer"), out = dir.file("out");
    std::filesystem::remove_all(buffer);
    std::filesystem::remove_all(out);
    std::filesystem::create_directory(buffer);
    std::filesystem::create_directory(out);
    WriteBuffer(buffer, s.body, s.words);
    ConvertOptions o = options;
    std::snprintf(o.SavePath, sizeof o.SavePath, "%s", out.c_str());
    Converted r = Convert(buffer, o);
    EXPECT_EQ(r.code, 0);
    return WithoutCr(ReadText(out + "/T_00000000.txt"));
}

std::string ReadAll(std::FILE* f) {
    std::string text;
    std::rewind(f);
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    return text;
}

// The same words fed from another thread in pieces of 1 to `most` words.
std::string Live(const Sample& s, const ConvertOptions& options, unsigned seed, std::size_t most) {
    textlib::LiveRecords live;
    std::thread feeder([&] {
        std::mt19937 random(seed);
        live.SetInfo(s.body.data());
        for (std::size_t at = 0; at < s.words.size();) {
            const std::size_t n = std::min<std::size_t>(1 + random() % most, s.words.size() - at);
            live.Append(s.words.data() + at, n);
            at += n;
        }
        live.Finish();
    });
    std::FILE* out = std::tmpfile();
    const int code = textlib::RunLiveConversion(live, options, out);
    feeder.join();
    EXPECT_EQ(code, kConvertDone);
    std::string text = ReadAll(out);
    std::fclose(out);
    return text;
}

TEST(LiveConvert, EveryLayoutWritesTheLinesOfTheFinishedBufferWhateverThePieces) {
    testing_util::TempDir dir;
    for (const Sample& s : Samples()) {
        for (const Layout& l : kLayouts) {
            ConvertOptions o = DefaultOptions("");
            l.apply(o);
            const std::string expected = Offline(s, o, dir);
            ASSERT_FALSE(expected.empty()) << s.name << " " << l.name;
            EXPECT_EQ(Live(s, o, 1, 1), expected) << s.name << " " << l.name << ", one word at a time";
            EXPECT_EQ(Live(s, o, 7, 50), expected) << s.name << " " << l.name << ", up to 50 words at a time";
        }
    }
}

// An X.25 conversation repeated over a little more than two blocks, with one
// direction's frame kept open across each block boundary while the other
// direction's frames pass: the frame scan reads back across the boundary.
std::vector<std::uint32_t> FramesAcrossBlocks() {
    std::vector<std::uint32_t> words;
    for (std::size_t boundary = kBlockWords; boundary <= 2 * kBlockWords; boundary += kBlockWords) {
        while (words.size() + 400 < boundary) Append(words, X25Conversation());
        std::vector<std::uint32_t> open = HdlcFrame(false, {0x01, 0x00, 0x10, 0x01, 0x00, 0x41, 0x42, 0x43});
        words.insert(words.end(), open.begin(), open.begin() + 3);                          // SD opens, two bytes
        while (words.size() < boundary + 50) Append(words, HdlcFrame(true, {0x03, 0x01}));  // RD frames pass
        words.insert(words.end(), open.begin() + 3, open.end());                            // SD ends in the next block
    }
    Append(words, X25Conversation());
    return words;
}

TEST(LiveConvert, FramesAcrossBlockBoundariesGiveTheSameLinesHoweverTheWordsAreRead) {
    testing_util::TempDir dir;
    const Sample s{"frames across blocks", HdlcBody(), FramesAcrossBlocks()};
    ASSERT_GT(s.words.size(), 2u * kBlockWords);
    for (const Layout& l : kLayouts) {
        ConvertOptions o = DefaultOptions("");
        l.apply(o);
        const std::string folder = Offline(s, o, dir);  // three block files, each mapped in turn
        ASSERT_FALSE(folder.empty()) << l.name;
        // One single data file, read from one mapping.
        const std::string single = dir.file("single.dat"), out = dir.file("single-out");
        std::filesystem::create_directory(out);
        WriteSingleFile(single, s.body, s.words);
        ConvertOptions so = o;
        std::snprintf(so.SavePath, sizeof so.SavePath, "%s", out.c_str());
        ASSERT_EQ(Convert(single, so).code, 0) << l.name;
        EXPECT_EQ(WithoutCr(ReadText(out + "/T_00000000.txt")), folder) << l.name << ", single data file";
        std::filesystem::remove_all(out);
        // Live, in small pieces and in pieces larger than a block.
        EXPECT_EQ(Live(s, o, 3, 3), folder) << l.name << ", up to 3 words at a time";
        EXPECT_EQ(Live(s, o, 5, 3 * kBlockWords / 2), folder) << l.name << ", up to 1.5 blocks at a time";
    }
}

// Reads what arrived on `fd` within `ms`.
std::string Drain(int fd, int ms) {
    std::string text;
    pollfd p{fd, POLLIN, 0};
    char buf[4096];
    while (poll(&p, 1, ms) == 1) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        text.append(buf, static_cast<std::size_t>(n));
        ms = 50;  // the rest of what is there now
    }
    return text;
}

TEST(LiveConvert, AFrameLineGoesOutWhenItsClosingFlagArrives) {
    std::vector<std::uint32_t> first{TimeStamp(false, 8, 0, 0)};
    Append(first, HdlcFrame(false, {0x03, 0x3F}));  // SABM, ends with its closing flag
    std::vector<std::uint32_t> second{TimeStamp(true, 8, 0, 1)};
    Append(second, HdlcFrame(true, {0x03, 0x73}));  // UA
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::FILE* out = fdopen(fds[1], "w");
    textlib::LiveRecords live;
    ConvertOptions o = DefaultOptions("");
    o.PrintFormat = PrintFormatTranslate;
    o.TranslateFrame = FrameX25;  // X.25
    std::thread converter([&] { EXPECT_EQ(textlib::RunLiveConversion(live, o, out), kConvertDone); });

    const InfoBody body = HdlcBody();
    live.SetInfo(body.data());
    live.Append(first.data(), first.size() - 1);
    const std::string head = Drain(fds[0], 2000);
    EXPECT_NE(head.find("** FRAME CONVERSION **"), std::string::npos) << "the title goes out at once";
    EXPECT_EQ(head.find("SD:"), std::string::npos) << "no line before the closing flag";
    live.Append(&first.back(), 1);
    EXPECT_EQ(Drain(fds[0], 5000), "SD:080000 03 SABM      1      G\n");
    live.Append(second.data(), second.size());
    EXPECT_EQ(Drain(fds[0], 5000), "RD:080001 03 UA        1      G\n");
    live.Finish();
    converter.join();
    std::fclose(out);
    close(fds[0]);
}

TEST(LiveConvert, AClosedOutputAbandonsTheRecordsAndEndsTheConversion) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    close(fds[0]);
    std::signal(SIGPIPE, SIG_IGN);
    std::FILE* out = fdopen(fds[1], "w");
    textlib::LiveRecords live;
    const InfoBody body = HdlcBody();
    live.SetInfo(body.data());
    const std::vector<std::uint32_t> words = HdlcSample();
    live.Append(words.data(), words.size());
    ConvertOptions o = DefaultOptions("");
    o.PrintFormat = PrintFormatTranslate;
    // The records never finish: only the failed write can end the conversion.
    EXPECT_EQ(textlib::RunLiveConversion(live, o, out), kConvertFailed);
    EXPECT_TRUE(live.Abandoned());
    std::fclose(out);
}

TEST(LiveConvert, RecordsThatFinishWithoutInformationConvertNothing) {
    textlib::LiveRecords live;
    live.Finish();
    std::FILE* out = std::tmpfile();
    EXPECT_EQ(textlib::RunLiveConversion(live, DefaultOptions(""), out), kConvertFailed);
    EXPECT_EQ(ReadAll(out), "");
    std::fclose(out);
}

// What the library's live slots hand over: the lines (each with its "\n"
// back on), the marked ones and the end code.
class LineLog final : public TextLiveSink {
public:
    void PostLine(const char* text, std::size_t length, bool error) override {
        std::lock_guard lock(mutex_);
        allText.append(text, length).push_back('\n');
        lines.emplace_back(std::string(text, length), error);
        if (error) marked.emplace_back(text, length);
    }
    void PostEnd(int code) override {
        std::lock_guard lock(mutex_);
        ends.push_back(code);
    }
    std::string allText;
    std::vector<std::string> marked;
    std::vector<std::pair<std::string, bool>> lines;
    std::vector<int> ends;

private:
    std::mutex mutex_;
};

struct SharedLibrary {
    void* handle = dlopen(TEXTLIB_SO, RTLD_NOW | RTLD_LOCAL);
    ~SharedLibrary() {
        if (handle) dlclose(handle);
    }
    TextConvert* Create() const {
        auto create = reinterpret_cast<int (*)(TextConvert**)>(dlsym(handle, "CreateMirlokeTextConvert"));
        TextConvert* object = nullptr;
        return create != nullptr && create(&object) == 1 ? object : nullptr;
    }
};

TEST(LiveSlots, TheLibraryGivesTheLinesOfTheFinishedBufferAndMarksFramesInError) {
    SharedLibrary lib;
    ASSERT_NE(lib.handle, nullptr) << dlerror();
    testing_util::TempDir dir;
    const Sample s{"hdlc", HdlcBody(), Repeated(HdlcSample(), 3)};
    for (const Layout& l : kLayouts) {
        ConvertOptions o = DefaultOptions("");
        l.apply(o);
        const std::string expected = Offline(s, o, dir);
        TextConvert* object = lib.Create();
        ASSERT_NE(object, nullptr);
        LineLog log;
        ASSERT_TRUE(object->StartLive(&o, &log)) << l.name;
        EXPECT_FALSE(object->StartLive(&o, &log)) << "one live conversion at a time";
        object->LiveInfo(s.body.data());
        for (std::size_t at = 0; at < s.words.size(); at += 7)
            object->LiveWords(s.words.data() + at, std::min<std::size_t>(7, s.words.size() - at));
        object->StopLive(true);
        EXPECT_EQ(log.allText, expected) << l.name;
        EXPECT_EQ(log.ends, std::vector<int>{kConvertDone}) << l.name;
        const bool frames = o.PrintFormat == PrintFormatTranslate || o.CsvForm == CsvFormFrame;
        if (o.Format == FormatCsv && !frames) {
            EXPECT_TRUE(log.marked.empty()) << l.name;
        } else if (!frames) {
            // Print: the lines of a block with an error mark or a gap in a shown direction.
            int marks = 0;
            for (const auto& [line, marked] : log.lines) {
                const bool errorMark = line.find("??") != std::string::npos || line.find("?5") != std::string::npos ||
                                       line.find("||") != std::string::npos;  // check error, short frame, gap
                if (!errorMark) continue;
                ++marks;
                EXPECT_TRUE(marked) << l.name << ": " << line;
            }
            EXPECT_GT(marks, 0) << l.name;
            EXPECT_LT(log.marked.size(), log.lines.size() / 2) << l.name;
        } else if (o.Line == LineSdRd) {
            // Each round has a bad FCS, an abort, a short frame and a gap.
            ASSERT_EQ(log.marked.size(), 12u) << l.name;
            for (int k = 0; k < 4; ++k) EXPECT_EQ(log.marked[k], log.marked[k + 4]) << l.name;
        }
        object->Release();
    }
}

TEST(LiveSlots, StopWithoutDrainEndsAtOnceAndAnotherMayStart) {
    SharedLibrary lib;
    ASSERT_NE(lib.handle, nullptr) << dlerror();
    TextConvert* object = lib.Create();
    ASSERT_NE(object, nullptr);
    object->StopLive(true);  // none runs: harmless
    ConvertOptions o = DefaultOptions("");
    LineLog log;
    ASSERT_TRUE(object->StartLive(&o, &log));
    object->StopLive(false);  // no information came: the conversion fails at once
    EXPECT_EQ(log.ends, std::vector<int>{kConvertFailed});
    EXPECT_EQ(log.allText, "");
    const InfoBody body = HdlcBody();
    const std::vector<std::uint32_t> words = HdlcSample();
    LineLog second;
    ASSERT_TRUE(object->StartLive(&o, &second));
    object->LiveInfo(body.data());
    object->LiveWords(words.data(), words.size());
    object->Release();  // still running: Release ends it first
    EXPECT_EQ(second.ends.size(), 1u);
}

TEST(LiveRecords, WordsReadAreLetGoOfButTheRestStays) {
    textlib::LiveRecords live;
    std::vector<std::uint32_t> words(100);
    for (std::size_t k = 0; k < words.size(); ++k) words[k] = 0x100 + static_cast<std::uint32_t>(k);
    live.Append(words.data(), words.size());
    live.DropBefore(60);
    EXPECT_EQ(live.Read(59), 0u);
    EXPECT_EQ(live.Read(60), 0x100u + 60);
    EXPECT_EQ(live.Read(99), 0x100u + 99);
    EXPECT_EQ(live.Received(), 100);
    live.Finish();
    EXPECT_EQ(live.Read(100), 0u);
}

}  // namespace
