// The seam between the protocol thread and the protocol engine: what the
// engine may do to the world (EngineOutput, implemented by the link) and how
// the protocol thread drives it (Engine).
#pragma once
#include <cstdint>
#include <memory>

#include "commlib/remote.h"
#include "link/link_message.h"

namespace commlib {
// What the engine may do to the world; implemented by the link. Called on the protocol thread only.
class EngineOutput {
public:
    virtual ~EngineOutput() = default;
    virtual void SendRaw(std::unique_ptr<LinkMessage> msg) = 0;    // writer writes the bytes as they are
    virtual void SendFrame(std::unique_ptr<LinkMessage> msg) = 0;  // writer writes them as a SYN frame
    virtual void DiscardReceive() = 0;                             // reader drops its partial message (EvDiscard)
    virtual int Notify(int code, int status, void* data) = 0;      // the application's callback
    virtual bool Cts() = 0;                                        // modem lines (off on a pty)
    virtual bool Dsr() = 0;
};
// The protocol engine as the protocol thread drives it: requests, link events and the 200 ms tick.
// Everything runs on the protocol thread except StateNumber(), which the reader reads (atomic) to drop
// bytes while the engine is idle, and the accessors, which the application reads after a notification.
class Engine {
public:
    virtual ~Engine() = default;
    virtual void Request(int code, int param, std::intptr_t data) = 0;
    virtual void LinkEvent(int event, std::unique_ptr<LinkMessage> msg) = 0;
    virtual void Tick() = 0;
    virtual void Reset() = 0;             // ResetLink and Close, run on the protocol thread
    virtual int StateNumber() const = 0;  // 0 = idle
    virtual const char* ModelName() const = 0;
    virtual int Version() const = 0;
    virtual int LinkMode() const = 0;  // 0 idle, 1 text mode or handshake, 2 packet mode
    virtual int Status() const = 0;
    virtual void* SetupData() = 0;
    virtual void* TableData() = 0;
    virtual void* ProgramData() = 0;
    virtual const BitmapInfo* ScreenInfo() const = 0;
    virtual const void* ScreenBits() const = 0;
    // The capture writer takes up the buffer folder (Initialize, a new folder
    // chosen in the dialog); the application's thread, port closed or engine idle.
    virtual void ScanBufferFolder(const BufferSettings& buffer) = 0;
    // The capture writer's options; the application's thread, port closed.
    virtual void SetCaptureOptions(const CaptureOptions& options) { static_cast<void>(options); }
    // The live record callback (engine/live_tap.h); any thread.
    virtual void SetLiveRecords(LiveRecordFn fn, void* context) {
        static_cast<void>(fn);
        static_cast<void>(context);
    }
};
// Creates the protocol engine (ProtocolEngine, engine/protocol_engine.h) with
// the capture writer of engine/capture_sink.h.
std::unique_ptr<Engine> MakeEngine(EngineOutput& out);
}  // namespace commlib
