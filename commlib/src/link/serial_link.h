// The serial link: owns the port and the writer, reader and protocol threads,
// and is the engine's window on the world (EngineOutput).
// Thread rules: Open, Close, Request, ResetEngine and SetNotify are called by
// the application's thread only; the EngineOutput operations by the protocol
// thread only (or by the application's thread while the port is closed).
#pragma once
#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "commlib/remote.h"
#include "engine/engine.h"
#include "link/link_context.h"
#include "platform/serial_port.h"

namespace commlib {

enum class LinkOpen { Ok, NotCharDevice, Failed };

class SerialLink final : public EngineOutput {
public:
    explicit SerialLink(platform::SysCalls& sys = platform::SysCalls::real());
    ~SerialLink() override;
    SerialLink(const SerialLink&) = delete;
    SerialLink& operator=(const SerialLink&) = delete;

    // The engine that the protocol thread drives; set once, before open.
    void Attach(Engine& engine) { engine_ = &engine; }
    // Null restores the do-nothing callback.
    void SetNotify(NotifyFn fn);

    // Closes first, then opens and configures the port and starts the threads.
    // Everything is closed again on failure.
    LinkOpen Open(const std::string& portName, const platform::LineSettings& settings);
    // Engine reset, then the threads are stopped and the port closed. Safe when closed.
    void Close();
    bool IsOpen() const { return ctx_ != nullptr; }
    // Which step of the last open failed and the system's reason (None after success).
    platform::PortFailure OpenFailure() const { return failure_; }
    // Hands a request to the protocol thread; true when it was taken within 3000 ms.
    bool Request(int code, int param, std::intptr_t data);
    // Runs the engine reset on the protocol thread (directly while closed).
    void ResetEngine();

    // EngineOutput
    void SendRaw(std::unique_ptr<LinkMessage> msg) override;
    void SendFrame(std::unique_ptr<LinkMessage> msg) override;
    void DiscardReceive() override;
    int Notify(int code, int status, void* data) override;
    bool Cts() override;
    bool Dsr() override;

private:
    bool StartThreads();
    void StopThreads();

    platform::SerialPort port_;
    Engine* engine_ = nullptr;
    std::atomic<NotifyFn> notify_;
    std::unique_ptr<LinkContext> ctx_;
    std::thread writer_, reader_, protocol_;
    platform::PortFailure failure_;
};

}  // namespace commlib
