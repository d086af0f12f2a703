// The conversion object and its worker: options handling, output files,
// notifications, failures, cancelling, and the library's exports.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <thread>

#include "buffer_builder.h"
#include "convert_harness.h"
#include "testing/vtable_slot.h"

using namespace textlib_test;
namespace fs = std::filesystem;

namespace {

// A folder with a buffer in "buffer" and an empty "out".
struct Folders {
    testing_util::TempDir dir;
    std::string buffer = dir.file("buffer");
    std::string out = dir.file("out");
    Folders() {
        fs::create_directory(buffer);
        fs::create_directory(out);
    }
    std::string Out(const std::string& name) const { return out + "/" + name; }
};

std::vector<std::uint32_t> Letters(std::size_t n) {
    std::vector<std::uint32_t> w(n);
    for (std::size_t i = 0; i < n; ++i) w[i] = Sd('A' + static_cast<int>(i % 26));
    return w;
}

std::size_t CountLines(const std::string& text) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

std::string FileName(const char* prefix, int n) {
    char name[64];
    std::snprintf(name, sizeof name, "%s%08d.txt", prefix, n);
    return name;
}

std::string HeaderOnly() {
    std::string all = ReadText(std::string(TEXTLIB_TEST_DATA) + "/async_charhex_sdrd.txt");
    return all.substr(0, all.find("SD:"));
}

}  // namespace

TEST(ConvertOptions, BlocksClampToOneAndStartPicksTheBlock) {
    Folders s;
    auto words = Letters(2 * kBlockWords + 28);
    WriteBuffer(s.buffer, AsyncBody(), words);
    ConvertOptions o = DefaultOptions(s.out);
    o.PrintData = PrintDataChar;
    o.Line = LineSd;
    o.GuideCut = 1;  // one line per 28 records
    for (int blocks : {0, -3}) {
        o.Blocks = blocks;
        ASSERT_EQ(Convert(s.buffer, o).code, 0);
        EXPECT_EQ(CountLines(ReadText(s.Out("T_00000000.txt"))), (kBlockWords + 27) / 28u) << "Blocks " << blocks;
    }
    o.Blocks = 2000;
    ASSERT_EQ(Convert(s.buffer, o).code, 0);
    EXPECT_EQ(CountLines(ReadText(s.Out("T_00000000.txt"))), (words.size() + 27) / 28);
    o.Start = 3;
    ASSERT_EQ(Convert(s.buffer, o).code, 0);
    std::string third;
    for (std::size_t i = 2 * kBlockWords; i < words.size(); ++i) third += {' ', static_cast<char>(words[i] >> 8)};
    EXPECT_EQ(ReadText(s.Out("T_00000000.txt")), third + "\r\n") << "only the 28 records of the third block";
}

TEST(ConvertOptions, StartOutsideTheBufferWritesOnlyTheHeaderBox) {
    Folders s;
    WriteBuffer(s.buffer, AsyncBody(), Letters(100));
    ConvertOptions o = DefaultOptions(s.out);
    for (int start : {2, 0, -1}) {
        o.Start = start;
        ASSERT_EQ(Convert(s.buffer, o).code, 0) << "Start " << start;
        EXPECT_EQ(ReadText(s.Out("T_00000000.txt")), HeaderOnly()) << "Start " << start;
    }
}

TEST(OutputFiles, MaxLinesSplitsAndLeavesAnEmptyLastFile) {
    Folders s;
    WriteBuffer(s.buffer, AsyncBody(), Letters(56));
    ConvertOptions o = DefaultOptions(s.out);
    o.PrintData = PrintDataChar;
    o.Line = LineSd;
    o.GuideCut = 1;  // one line per 28 records: two lines in all
    for (int maxLines : {1, 0, -7}) {
        fs::remove_all(s.out);
        fs::create_directory(s.out);
        o.MaxLines = maxLines;
        ASSERT_EQ(Convert(s.buffer, o).code, 0);
        for (int n = 0; n < 2; ++n) {
            std::string text = ReadText(s.Out(FileName("T_", n)));
            EXPECT_EQ(CountLines(text), 1u) << "file " << n << ", MaxLines " << maxLines;
        }
        EXPECT_EQ(fs::file_size(s.Out("T_00000002.txt")), 0u);
        EXPECT_FALSE(fs::exists(s.Out("T_00000003.txt")));
    }
}

TEST(OutputFiles, SplitFilesJoinToTheWholeOutputAndNullPrefixUsesTheNumberAlone) {
    Folders s;
    WriteBuffer(s.buffer, AsyncBody(), Letters(300));
    ConvertOptions o = DefaultOptions(s.out);
    ASSERT_EQ(Convert(s.buffer, o, nullptr).code, 0);
    std::string whole = ReadText(s.Out("00000000.txt"));
    o.MaxLines = 5;
    ASSERT_EQ(Convert(s.buffer, o, "P").code, 0);
    std::string joined;
    int files = 0;
    for (; fs::exists(s.Out(FileName("P", files))); ++files) joined += ReadText(s.Out(FileName("P", files)));
    EXPECT_EQ(joined, whole);
    EXPECT_EQ(files, static_cast<int>(CountLines(whole) / 5 + 1));
}

TEST(OutputFiles, SingleDataFileConvertsLikeAFolder) {
    Folders s;
    std::vector<std::uint32_t> words{TimeStamp(false, 9, 30, 0), Sd(0x05), Rd(0x06)};
    Append(words, SdText("HELLO"));
    WriteBuffer(s.buffer, AsyncBody(), words);
    WriteSingleFile(s.dir.file("single.dat"), AsyncBody(), words);
    ConvertOptions o = DefaultOptions(s.out);
    ASSERT_EQ(Convert(s.buffer, o, "F").code, 0);
    ASSERT_EQ(Convert(s.dir.file("single.dat"), o, "S").code, 0);
    EXPECT_EQ(ReadText(s.Out("S00000000.txt")), ReadText(s.Out("F00000000.txt")));
}

TEST(Failures, OutputFolderMissingGivesCodeThree) {
    Folders s;
    WriteBuffer(s.buffer, AsyncBody(), Letters(10));
    ConvertOptions o = DefaultOptions(s.dir.file("no-such-folder"));
    EXPECT_EQ(Convert(s.buffer, o).code, 3);
}

TEST(Failures, FollowOnFileThatCannotBeCreatedFailsTheJob) {
    Folders s;
    WriteBuffer(s.buffer, AsyncBody(), Letters(100));
    fs::create_directory(s.Out("T_00000001.txt"));  // the second file's name is taken by a folder
    ConvertOptions o = DefaultOptions(s.out);
    o.MaxLines = 3;
    EXPECT_EQ(Convert(s.buffer, o).code, 1);
    EXPECT_EQ(CountLines(ReadText(s.Out("T_00000000.txt"))), 3u) << "what was written stays";
}

TEST(Failures, OptionsWithoutARoutineFailWithCodeOne) {
    Folders s;
    WriteBuffer(s.buffer, AsyncBody(), Letters(10));
    ConvertOptions o = DefaultOptions(s.out);
    o.PrintFormat = 7;  // no such layout
    EXPECT_EQ(Convert(s.buffer, o).code, 1);
    o.Format = FormatCsv;  // CSV, no such form
    o.CsvForm = 2;
    EXPECT_EQ(Convert(s.buffer, o).code, 1);
    o.Format = 2;  // no such format
    EXPECT_EQ(Convert(s.buffer, o).code, 1);
    EXPECT_TRUE(fs::exists(s.Out("T_00000000.txt")));

    InfoBody unknownMode = AsyncBody();
    unknownMode[1] = 5;  // a translation needs a known measurement mode
    WriteBuffer(s.buffer, unknownMode, Letters(10));
    o = DefaultOptions(s.out);
    o.PrintFormat = PrintFormatTranslate;
    EXPECT_EQ(Convert(s.buffer, o).code, 1);
}

TEST(Notifications, ProgressAndEndGoToTheWindowWithTheCallersMessage) {
    Folders s;
    WriteBuffer(s.buffer, AsyncBody(), Letters(10));
    Converted r = Convert(s.buffer, DefaultOptions(s.out));
    ASSERT_EQ(r.code, 0);
    ASSERT_FALSE(r.notices.empty());
    for (const Notice& n : r.notices) {
        EXPECT_EQ(n.message, kTestMessage);
        EXPECT_EQ(n.lParam, 0);
        if ((n.wParam & 0xFFFF) == 1) {
            EXPECT_GE(n.wParam >> 16, 1u);
        }
    }
    EXPECT_EQ(r.notices.back().wParam, 0u);
}

namespace {

class RecordingThread : public TextThread {
public:
    void post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override {
        window.post(message, wParam, lParam);
    }
    RecordingWindow window;
};

}  // namespace

TEST(Notifications, ThreadTargetWhenNoWindowAndNoneWithoutEither) {
    Folders s;
    WriteBuffer(s.buffer, AsyncBody(), Letters(10));
    ConvertOptions o = DefaultOptions(s.out);
    RecordingThread thread;
    ConvertObject convert;
    ASSERT_TRUE(convert->Open(s.buffer.c_str(), nullptr, &thread, 0x9000));
    ASSERT_TRUE(convert->Start(&o, "A"));
    EXPECT_EQ(thread.window.WaitFinished(), 0);
    EXPECT_EQ(thread.window.Notices().back().message, 0x9000u);
    std::size_t posted = thread.window.Notices().size();

    ASSERT_TRUE(convert->Open(s.buffer.c_str(), nullptr, nullptr, 0x9000));
    ASSERT_TRUE(convert->Start(&o, "B"));
    // Open is refused while the job runs; once it is accepted the job has ended.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!convert->Open(s.buffer.c_str(), nullptr, nullptr, 0x9000) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_GT(fs::file_size(s.Out("B00000000.txt")), 0u);
    EXPECT_EQ(thread.window.Notices().size(), posted) << "nothing more was posted";
}

TEST(Lifecycle, OpenRejectsBadPathsAndStopWithoutJobDoesNothing) {
    ConvertObject convert;
    RecordingWindow window;
    EXPECT_FALSE(convert->Open("/no/such/buffer", &window, nullptr, kTestMessage));
    convert->Stop();
    convert->Close();
    convert->Stop();
    EXPECT_TRUE(window.Notices().empty());
}

TEST(Lifecycle, SecondStartOrOpenWhileRunningIsRefusedAndStopAfterTheEndIsHarmless) {
    Folders s;
    WriteBuffer(s.buffer, AsyncBody(), Letters(4 * kBlockWords));
    std::string small = s.dir.file("small");
    fs::create_directory(small);
    WriteBuffer(small, AsyncBody(), Letters(10));
    ConvertOptions o = DefaultOptions(s.out);
    RecordingWindow window;
    ConvertObject convert;
    ASSERT_TRUE(convert->Open(s.buffer.c_str(), &window, nullptr, kTestMessage));
    ASSERT_TRUE(convert->Start(&o, "first"));  // 4 MiB: still running a moment later
    ConvertOptions other = o;
    other.Format = FormatCsv;
    EXPECT_FALSE(convert->Start(&other, "second"));
    EXPECT_FALSE(convert->Open(small.c_str(), &window, nullptr, kTestMessage));
    convert->Stop();
    EXPECT_EQ(window.WaitFinished(), 2) << "the first job was the one running, with its own options";
    EXPECT_FALSE(fs::exists(s.Out("second00000000.txt")));
    convert->Stop();
    ASSERT_TRUE(convert->Open(small.c_str(), &window, nullptr, kTestMessage));
    ASSERT_TRUE(convert->Start(&o, "again"));
    EXPECT_EQ(window.WaitFinished(), 0);
    convert->Stop();  // after the end: only forgets the ended thread
    convert->Stop();
    EXPECT_EQ(CountLines(ReadText(s.Out("again00000000.txt"))), 7u + 5u);
}

TEST(Cancel, StopEndsALongJobWithCodeTwoAndKeepsItsOutput) {
    Folders s;
    WriteBuffer(s.buffer, AsyncBody(), Letters(32 * kBlockWords));
    ConvertOptions o = DefaultOptions(s.out);
    RecordingWindow window;
    ConvertObject convert;
    ASSERT_TRUE(convert->Open(s.buffer.c_str(), &window, nullptr, kTestMessage));
    ASSERT_TRUE(convert->Start(&o, "T_"));
    ASSERT_TRUE(window.WaitProgress()) << "32 MiB take longer than the first report's 50 ms";
    auto begin = std::chrono::steady_clock::now();
    convert->Stop();
    auto took = std::chrono::steady_clock::now() - begin;
    EXPECT_LT(took, std::chrono::milliseconds(3000));
    EXPECT_EQ(window.WaitFinished(std::chrono::seconds(1)), 2);
    EXPECT_TRUE(fs::exists(s.Out("T_00000000.txt")));
    EXPECT_GT(fs::file_size(s.Out("T_00000000.txt")), 0u);
    EXPECT_LT(fs::file_size(s.Out("T_00000000.txt")), 32u * kBlockWords / 28 * 4 * 59)
        << "the job did not run to its end";
    for (const Notice& n : window.Notices()) {
        if ((n.wParam & 0xFFFF) != kConvertProgress) continue;
        EXPECT_GE(n.wParam >> 16, 1u);
        EXPECT_LE(n.wParam >> 16, 32u);
    }
}

TEST(Cancel, ReleaseDuringAJobWaitsForTheWorker) {
    Folders s;
    WriteBuffer(s.buffer, AsyncBody(), Letters(8 * kBlockWords));
    ConvertOptions o = DefaultOptions(s.out);
    RecordingWindow window;
    {
        ConvertObject convert;
        ASSERT_TRUE(convert->Open(s.buffer.c_str(), &window, nullptr, kTestMessage));
        ASSERT_TRUE(convert->Start(&o, "T_"));
    }  // Release with the job running
    auto notices = window.Notices();
    ASSERT_FALSE(notices.empty());
    EXPECT_EQ(notices.back().wParam & 0xFFFF, 0u) << "the job posted its end before the object went";
}

using testing_util::slot_of;

struct SlotProbe : TextConvert {
    static std::vector<std::ptrdiff_t> Slots() {
        return {slot_of(&SlotProbe::Release),
                slot_of(&SlotProbe::Open),
                slot_of(&SlotProbe::Close),
                slot_of(&SlotProbe::Start),
                slot_of(&SlotProbe::Stop),
                slot_of(&SlotProbe::PrintNormal),
                slot_of(&SlotProbe::PrintNormalLineState),
                slot_of(&SlotProbe::PrintControlSequence),
                slot_of(&SlotProbe::PrintFrames),
                slot_of(&SlotProbe::PrintPackets),
                slot_of(&SlotProbe::PrintPpp),
                slot_of(&SlotProbe::CsvData),
                slot_of(&SlotProbe::CsvFrames),
                slot_of(&SlotProbe::StartLive),
                slot_of(&SlotProbe::LiveInfo),
                slot_of(&SlotProbe::LiveWords),
                slot_of(&SlotProbe::StopLive)};
    }
};

TEST(Exports, TheSlotsKeepTheirPlacesAndNewOnesFollowTheWorkerRoutines) {
    // 5 and 6 are the destructor's two entries.
    const std::vector<std::ptrdiff_t> expected{0, 1, 2, 3, 4, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    EXPECT_EQ(SlotProbe::Slots(), expected);
    // The targets the caller implements.
    EXPECT_EQ(slot_of(&TextWindow::post), 0);
    EXPECT_EQ(slot_of(&TextThread::post), 0);
    EXPECT_EQ(slot_of(&TextLiveSink::PostLine), 0);
    EXPECT_EQ(slot_of(&TextLiveSink::PostEnd), 1);
}

TEST(Exports, FactoryAndVersionFromTheSharedLibrary) {
    void* lib = dlopen(TEXTLIB_SO, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    auto version = reinterpret_cast<int (*)()>(dlsym(lib, "MKGetDllVersion"));
    auto create = reinterpret_cast<int (*)(TextConvert**)>(dlsym(lib, "CreateMirlokeTextConvert"));
    ASSERT_NE(version, nullptr);
    ASSERT_NE(create, nullptr);
    EXPECT_EQ(version(), 0x0100000D);
    EXPECT_EQ(dlsym(lib, "_ZN7textlib12BufferReader4OpenEPKc"), nullptr) << "only the two functions are exported";
    TextConvert* object = reinterpret_cast<TextConvert*>(1);
    EXPECT_EQ(create(&object), 1);
    ASSERT_NE(object, nullptr);
    EXPECT_FALSE(object->Open("/no/such/buffer", nullptr, nullptr, 0x8002));
    object->Release();
    EXPECT_EQ(create(nullptr), 0);
    dlclose(lib);
}
