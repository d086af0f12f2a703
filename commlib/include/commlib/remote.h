// libcommlib.so, the only way to the analyzer: the Remote interface object,
// its settings records, the notification callback and the request, status and
// notification codes that the applications and the library exchange.
//
// Errors: return values as each operation says; request outcomes come as
// notifications with a Status value; GetPortError keeps the system's errno of a
// failed Open.
// Threads: the operations on the application's GUI thread; the notification and
// live callbacks on the library's protocol thread (see NotifyFn).
#pragma once
#include <cstddef>
#include <cstdint>

// The owner window of the library's dialogs and message boxes. Applications
// pass their own implementation of the posting interface (platform/window.h);
// the library never needs more than the pointer here.
namespace platform {
class Window;
}  // namespace platform
using WindowHandle = platform::Window*;

// Serial port settings that the applications store and hand to Initialize.
struct PortSettings {
    const char* Port;  // device name: "COM1".."COM8", or an absolute device path
    int Speed;         // baud
    int Parity;        // 0 none, 1 odd, 2 even
    int XControl;      // 0 off, 1 XON/XOFF flow control
};
static_assert(sizeof(PortSettings) == 24 && offsetof(PortSettings, Speed) == 8 &&
              offsetof(PortSettings, XControl) == 16);

// PC buffer settings (capstore only; the other programs pass none).
struct BufferSettings {
    const char* Folder;  // null: no PC buffer
    int MaxBlocks;       // 1..1024
    std::uint8_t Warn;   // 1: warn before a measurement when the folder holds data
    std::uint8_t Ring;   // 1: use the blocks as a ring buffer
};
static_assert(sizeof(BufferSettings) == 16 && offsetof(BufferSettings, MaxBlocks) == 8 &&
              offsetof(BufferSettings, Ring) == 13);

// The one callback of the library. Runs on the library's protocol thread, and
// on the caller's thread for status 2 inside Request. The result is ignored
// except for NtfyKey.
using NotifyFn = int (*)(int code, int status, void* data);

// Header and palette of the analyzer's 1-bit screen image, laid out as the
// classic device-independent bitmap header (40 bytes) with two colours.
struct BitmapInfoHeader {
    std::uint32_t biSize;
    std::int32_t biWidth;
    std::int32_t biHeight;  // positive: rows bottom-up
    std::uint16_t biPlanes;
    std::uint16_t biBitCount;
    std::uint32_t biCompression;
    std::uint32_t biSizeImage;
    std::int32_t biXPelsPerMeter;
    std::int32_t biYPelsPerMeter;
    std::uint32_t biClrUsed;
    std::uint32_t biClrImportant;
};
struct RgbQuad {
    std::uint8_t rgbBlue;
    std::uint8_t rgbGreen;
    std::uint8_t rgbRed;
    std::uint8_t rgbReserved;
};
struct BitmapInfo {
    BitmapInfoHeader bmiHeader;
    RgbQuad bmiColors[2];
};
static_assert(sizeof(BitmapInfoHeader) == 40 && sizeof(RgbQuad) == 4 && sizeof(BitmapInfo) == 48);

// Request codes; the outcome of a request is notified with the same code.
inline constexpr int ReqConnect = 1;
inline constexpr int ReqAutoConnect = 2;
inline constexpr int ReqDisconnect = 3;
inline constexpr int ReqMeasure = 4;  // param 1 start, 0 stop
inline constexpr int ReqGetSetup = 5;
inline constexpr int ReqGetTable = 6;
inline constexpr int ReqGetProgram = 7;
inline constexpr int ReqGetTable3 = 8;
inline constexpr int ReqGetScreen = 9;  // packet mode only
inline constexpr int ReqPutSetup = 10;
inline constexpr int ReqPutTable = 11;
inline constexpr int ReqPutProgram = 12;
inline constexpr int ReqPutTable3 = 13;
inline constexpr int ReqGetStopReason = 14;
inline constexpr int ReqKey = 4097;  // param = key code

// Status values of request notifications.
inline constexpr int StatusDone = 0;
inline constexpr int StatusRefused = 1;  // refused by the analyzer, or not possible
inline constexpr int StatusPortNotOpen = 2;
inline constexpr int StatusLostPacket = 3;  // lost packet that could not be repeated
inline constexpr int StatusNoAnswer = 4;    // no answer in time
inline constexpr int StatusUnknownRequest = 257;
inline constexpr int StatusNotAvailable = 258;  // not in this mode, other item, or no data set
inline constexpr int StatusNotAllowed = 513;    // wrong state, or data set incomplete
inline constexpr int StatusCancelled = 514;     // cancelled by the analyzer during a transfer

// Unsolicited notification codes.
inline constexpr int NtfyAutoConnected = 0x8001;  // status as for ReqConnect
inline constexpr int NtfyLinkLost = 0x8002;
inline constexpr int NtfyBlockFill = 0x8801;     // data: bytes held in the block buffer
inline constexpr int NtfyRate = 0x8802;          // status: gauge 0..1000, -1 at the end
inline constexpr int NtfyStatusBit = 0x9001;     // status: new value of status bit 0
inline constexpr int NtfyMeasureState = 0x9002;  // status: 1..3 running, 0 stopped
inline constexpr int NtfyKey = 0x9003;           // status: key code; return 0 to echo it
inline constexpr int NtfyBlocks = 0x9004;        // data: int[3] first, next, count
inline constexpr int NtfyLost = 0x9005;          // data: number of gaps
inline constexpr int NtfyStoreFailed = 0x9006;   // data: const StoreFailure*, read it during the call
inline constexpr int NtfyTrimmed = 0x9007;       // status: blocks given up for free space; data: the oldest left

// NtfyStoreFailed: the PC buffer could not be written. Storing has ended for
// this measurement (the records that follow are dropped and one more data
// loss is counted); the applications stop the measurement and say so. The
// blocks before the failed one are complete; the failed block holds whole
// records only. The pointer is valid only while the callback runs.
inline constexpr int StoreOpCreate = 1;  // creating the block file
inline constexpr int StoreOpWrite = 2;   // writing it
inline constexpr int StoreOpSync = 3;    // flushing it to the disk at its end
inline constexpr int StoreOpClose = 4;   // closing it
inline constexpr int StoreOpInfo = 5;    // writing "datainfo.mkw"
struct StoreFailure {
    int Error;             // the system's error number (errno), e.g. ENOSPC
    int Operation;         // StoreOpCreate..StoreOpInfo
    int Block;             // the block that failed; -1 with StoreOpInfo
    long long BlockBytes;  // bytes of that block on disk; -1 when its file was never created
    int FirstComplete;     // complete blocks on disk: FirstComplete..LastComplete,
    int LastComplete;      // none when LastComplete < FirstComplete
};
static_assert(sizeof(StoreFailure) == 32 && offsetof(StoreFailure, BlockBytes) == 16 &&
              offsetof(StoreFailure, LastComplete) == 28);

// SetCaptureOptions: what measurements do with the PC buffer beyond
// BufferSettings. Both are off until set; Initialize keeps them.
// - Continue 1: a measurement that starts while the folder holds blocks whose
//   numbers run without a gap goes on with them instead of clearing the
//   folder: its records are appended to the newest block (whole words; a new
//   block follows a full one), numbering goes on from there, and a gap mark
//   with a count of 0 (how much was lost is not known) stands for the time
//   between. "datainfo.mkw" is written anew when the analyzer sends its
//   information. A folder without such blocks starts from block 0 as before.
// - KeepFreeBytes > 0 (ring buffers only): whenever a block is begun, the
//   oldest complete blocks are given up while the disk's free space, less
//   what the block being written still needs to be full, is below this; each
//   time NtfyTrimmed tells how many. The block being written is never given up.
struct CaptureOptions {
    int Continue;             // 0 or 1
    int Reserved;             // 0
    long long KeepFreeBytes;  // 0: no limit
};
static_assert(sizeof(CaptureOptions) == 16 && offsetof(CaptureOptions, KeepFreeBytes) == 8);

// Why the last Open failed (GetPortError): the step that failed and the
// system's error number (errno). Both 0 after an Open that succeeded.
struct PortError {
    int Step;
    int Error;
};
static_assert(sizeof(PortError) == 8);
inline constexpr int PortStepNone = 0;
inline constexpr int PortStepOpen = 1;       // the device could not be opened (missing, no permission, busy)
inline constexpr int PortStepLock = 2;       // another program holds the port's lock
inline constexpr int PortStepConfigure = 3;  // the device refused the line settings (EINVAL: the speed)
inline constexpr int PortStepNotSerial = 4;  // not a serial device

// NtfyLinkLost status: why the session ended.
inline constexpr int LinkLostSilent = 0;    // the analyzer stopped answering the link supervision
inline constexpr int LinkLostPortGone = 1;  // the port failed for good (unplugged adapter, hang-up)

// Live records: what a measurement stores, handed to the application as it
// arrives instead of a block at a time. Events of a LiveRecordFn:
inline constexpr int LiveBegin = 1;  // a measurement began; data null, count 0
inline constexpr int LiveInfo = 2;   // data: the 2038-byte measurement-information body, as
                                     // "datainfo.mkw" gets it (sent whenever the analyzer sends it)
inline constexpr int LiveWords = 3;  // data: `count` 32-bit record words, exactly as the block files get them
inline constexpr int LiveEnd = 4;    // the measurement ended; no words follow until the next LiveBegin
// Runs on the library's protocol thread; `data` is valid only during the call.
// It must return quickly and never call the Remote object.
using LiveRecordFn = void (*)(void* context, int event, const void* data, unsigned count);

// The library's interface object. The order of the virtual operations is
// fixed (applications built against one version call by slot); never reorder.
// The numbers in the comments count operations, not table entries: the
// destructor takes entries 0 and 1, so operation n is entry n + 1
// (commlib's Exports tests pin every entry).
// All operations are called from the application's GUI thread.
class Remote {
public:
    virtual ~Remote() = default;             // 0
    virtual void Release() { delete this; }  // 1
    // 0 ready, -1 the user refused to set up the PC buffer.
    virtual int Initialize(WindowHandle owner, NotifyFn notify, const PortSettings* port,
                           const BufferSettings* buffer) = 0;  // 2
    // 1 OK, 0 Cancel, -1 the dialog could not be created.
    virtual int PortSettingDialog() { return -1; }    // 3
    virtual int BufferSettingDialog() { return -1; }  // 4
    // 0 open (or failed with notify(14, 2, null)), 2 not a character device.
    virtual int Open() = 0;    // 5
    virtual void Close() = 0;  // 6
    // 1 when the protocol thread took the request within 3000 ms, else 0.
    virtual int Request(int code, int param, std::intptr_t data) = 0;  // 7
    virtual const PortSettings* GetPortSettings() = 0;                 // 8
    virtual const BufferSettings* GetBufferSettings() = 0;             // 9
    virtual char* GetModelName(char* out, unsigned size) = 0;          // 10
    virtual int GetVersion() = 0;                                      // 11
    // 0 closed or idle, 1 text mode or handshake, 2 packet mode.
    virtual int GetLinkMode() = 0;                  // 12
    virtual void* GetSetupData() = 0;               // 13
    virtual void* GetTableData() = 0;               // 14
    virtual void* GetProgramData() = 0;             // 15
    virtual int GetStatus() = 0;                    // 16
    virtual int ResetLink() = 0;                    // 17
    virtual const BitmapInfo* GetScreenInfo() = 0;  // 18
    virtual const void* GetScreenBits() = 0;        // 19
    // Fills *out (when given) with why the last Open failed; returns its Step.
    virtual int GetPortError(PortError* out) {  // 20
        if (out) *out = {PortStepNone, 0};
        return PortStepNone;
    }
    // Sets the live record callback (null: none); 0 on success. Set it before
    // ReqConnect: without a PC buffer folder the analyzer is asked for its
    // captured data only when a callback was set at the connect. Once this
    // returns, the callback given before is not called any more.
    virtual int SetLiveRecords(LiveRecordFn fn, void* context) {  // 21
        static_cast<void>(fn);
        static_cast<void>(context);
        return -1;
    }
    // Sets the capture options (null: both off); 0 on success, -1 for a value
    // out of range. Call it with the port closed.
    virtual int SetCaptureOptions(const CaptureOptions* options) {  // 22
        static_cast<void>(options);
        return -1;
    }
};

#define COMMLIB_EXPORT __attribute__((visibility("default")))

extern "C" {
// Sets *out to a new Remote (null when allocation failed) and returns 1;
// returns 0 when construction failed.
COMMLIB_EXPORT int CreateMirlokeRemote(Remote** out);
// 0x0100000D for this library.
COMMLIB_EXPORT int MKGetDllVersion();
}
