// The text conversion library's public interface: the conversion object, the
// options record the caller fills, and the targets that receive its progress
// and finished notifications.
//
// Errors: Open and Start answer false; a job's end is notified with
// kConvertFailed or kConvertNoOutput and the system's errno in lParam.
// Threads: the public operations on the caller's thread; the worker routines on
// the object's worker thread; notifications are posted from it.
#pragma once
#include <cstddef>
#include <cstdint>

// Receives the notifications of a conversion. Shaped like platform::Window so
// the two can become one type later. post() is called on the worker thread and
// must only queue the message for the owner's thread.
class TextWindow {
public:
    virtual void post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;

protected:
    ~TextWindow() = default;
};
static_assert(sizeof(TextWindow) == sizeof(void*));  // the table pointer and nothing else

// The thread alternative: a message queue owned by some thread (the stand-in for
// posting to a thread id). Used only when no window was given.
class TextThread {
public:
    virtual void post(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;

protected:
    ~TextThread() = default;
};
static_assert(sizeof(TextThread) == sizeof(void*));

// Notification wParam values: progress is (n << 16) + 1, the end of a job is code << 16.
// The end's lParam is the system's error number (errno) when the job failed on
// its output files, else 0.
constexpr std::uintptr_t kConvertProgress = 1;
constexpr int kConvertDone = 0;                   // ran to its end
constexpr int kConvertFailed = 1;                 // write/open failure or no routine for the options
constexpr int kConvertCancelled = 2;              // ended by Stop
constexpr int kConvertNoOutput = 3;               // the first output file could not be created
constexpr unsigned kConvertIdleMessage = 0x8000;  // message number while no buffer is open

// Receives the lines of a live conversion (TextConvert::StartLive). Both calls
// come on the live conversion's own thread and must only queue what they get.
class TextLiveSink {
public:
    // One line without its line end, valid only during the call. `error` marks
    // the lines of a frame that ended in error (bad FCS, short frame, abort,
    // break) and the marks of lost data in the frame layouts, and in print the
    // lines of a block holding an error mark or lost data.
    virtual void PostLine(const char* text, std::size_t length, bool error) = 0;
    // The conversion ended: kConvertDone, or kConvertFailed when the words ended
    // without the measurement information or the options chose no layout.
    virtual void PostEnd(int code) = 0;

protected:
    ~TextLiveSink() = default;
};
static_assert(sizeof(TextLiveSink) == sizeof(void*));

// The values of ConvertOptions' choice fields (the fields stay int32 so the
// record's layout is fixed; each enum converts to the field's type).
enum ConvertFormat : std::int32_t { FormatPrint = 0, FormatCsv = 1 };
enum ConvertLine : std::int32_t { LineSdRd = 0, LineSd = 1, LineRd = 2 };
enum ConvertPrintFormat : std::int32_t { PrintFormatNormal = 0, PrintFormatTranslate = 1 };
enum ConvertPrintData : std::int32_t { PrintDataCharHex = 0, PrintDataChar = 1, PrintDataHex = 2 };
enum ConvertFrame : std::int32_t { FrameSdlc = 0, FrameX25 = 1, FrameX25x = 2, FrameX25ua = 3, FrameLapd = 4 };
enum ConvertPacket : std::int32_t { PacketOff = 0, PacketX25 = 1, PacketDdx = 2, PacketLapd = 3 };
enum ConvertCsvForm : std::int32_t { CsvFormData = 0, CsvFormFrame = 1 };
enum ConvertCsvData : std::int32_t { CsvDataHex = 0, CsvDataDec = 1, CsvDataChar = 2 };

// The options of one job; the field names are the registry value names the
// application stores them under ("print Format" is PrintFormat, "CSV Form" is
// CsvForm and so on, since both pages use the same names).
struct ConvertOptions {
    std::int32_t Format;              // ConvertFormat
    std::int32_t Line;                // ConvertLine
    std::int32_t Start;               // first block, 1-based from the oldest block file
    std::int32_t Blocks;              // blocks to convert, clamped to 1..1024 by Start()
    char SavePath[260];               // output folder
    std::int32_t MaxLines;            // lines per output file
    std::int32_t PrintFormat;         // ConvertPrintFormat
    std::int32_t PrintData;           // ConvertPrintData
    std::int32_t GuideCut;            // no header box, separators or guides
    std::int32_t LineStateCut;        // no line-state lines
    std::int32_t TimeStampCut;        // drop time stamps
    std::int32_t IdleTimeCut;         // drop idle times
    std::int32_t TranslateFrame;      // ConvertFrame
    std::int32_t TranslatePacket;     // ConvertPacket (PacketLapd: Q.931)
    signed char DisplayLineState[8];  // signal numbers 0..7 in display order, ends at a negative entry
    std::int32_t CsvForm;             // ConvertCsvForm
    std::int32_t CsvData;             // ConvertCsvData
    std::int32_t Width;               // fields per CSV line
    char Delimit[16];                 // CSV delimiter text
};
// The record crosses the library boundary by address: pin its layout.
static_assert(offsetof(ConvertOptions, SavePath) == 16 && offsetof(ConvertOptions, MaxLines) == 276);
static_assert(offsetof(ConvertOptions, DisplayLineState) == 312 && offsetof(ConvertOptions, Delimit) == 332);
static_assert(sizeof(ConvertOptions) == 348);

// One conversion object per application. Only the caller's thread calls the
// public operations; the worker routines run on the object's worker thread.
// Destroy it with Release(), never with delete.
class TextConvert {
public:
    virtual void Release() { delete this; }

    // Opens a buffer folder or a single data file; notifications go to the
    // window if given, else to the thread queue if given, else nowhere.
    virtual bool Open(const char* bufferPath, TextWindow* notifyWindow, TextThread* notifyThread,
                      unsigned notifyMessage) = 0;
    // Stops any job, closes the buffer and forgets the notification target.
    virtual void Close() = 0;
    // Copies the options and starts a job on a worker thread. False when the
    // thread could not be created or a job is still running.
    virtual bool Start(const ConvertOptions* options, const char* filePrefix) = 0;
    // Asks the running job to end and waits up to 3000 ms for it.
    virtual void Stop() = 0;

protected:
    virtual ~TextConvert() = default;

    // The worker routines, one per layout (0 done, 1 failed); worker thread only.
    virtual int PrintNormal() = 0;
    virtual int PrintNormalLineState() = 0;
    virtual int PrintControlSequence() = 0;
    virtual int PrintFrames() = 0;
    virtual int PrintPackets() = 0;
    virtual int PrintPpp() = 0;
    virtual int CsvData() = 0;
    virtual int CsvFrames() = 0;

public:
    // The live conversion (slots added after the worker routines; 0x0100000D
    // and later). It runs beside Open/Start on a thread of its own: the
    // layout the options choose, over the words of a running measurement,
    // each line to `sink` exactly as a conversion of the stored buffer writes
    // it (the title and header lines once, no file splitting). False when a
    // live conversion runs already or its thread could not be created.
    virtual bool StartLive(const ConvertOptions* options, TextLiveSink* sink) {
        static_cast<void>(options);
        static_cast<void>(sink);
        return false;
    }
    // The measurement-information body (pcbuffer::kInfoBodySize bytes, pcbuffer/buffer_names.h);
    // the first one counts. Any one thread, e.g. commlib's live callback; never waits.
    virtual void LiveInfo(const std::uint8_t* body) { static_cast<void>(body); }
    // Record words as the block files get them; the same thread as LiveInfo; never waits.
    virtual void LiveWords(const std::uint32_t* words, std::size_t count) {
        static_cast<void>(words);
        static_cast<void>(count);
    }
    // Ends the live conversion and waits for its thread: with `drain` after
    // the lines of every word given so far, else at once. The sink is not
    // called once this returns. Harmless when none runs.
    virtual void StopLive(bool drain) { static_cast<void>(drain); }
};

constexpr int kTextlibVersion = 0x0100000D;

extern "C" {
// Sets *out to a new object; 1 on success (also when allocation gave null), 0
// when construction failed. The library also exports MKGetDllVersion, which
// answers kTextlibVersion; look it up with dlsym on this library's handle, as
// commlib exports a function of the same name.
__attribute__((visibility("default"))) int CreateMirlokeTextConvert(TextConvert** out);
}
