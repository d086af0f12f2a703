// RemoteImpl: the library's interface object. Keeps the settings and the
// callback, owns the serial link and the protocol engine, and forwards the
// accessors to the engine. Called from the application's thread only.
#pragma once
#include <memory>

#include "commlib/remote.h"
#include "engine/engine.h"
#include "link/serial_link.h"

namespace commlib {

// Asks the user whether to set up a missing PC buffer folder: 1 OK, 0 Cancel.
// The window-system prompt replaces this where a window system is present.
using FolderPrompt = int (*)(WindowHandle owner, const char* folder);
// Creates the engine that the link drives (tests pass a fake one).
using EngineFactory = std::unique_ptr<Engine> (*)(EngineOutput& out);

class RemoteImpl : public Remote {
public:
    static constexpr std::size_t TextSize = 260;   // 259 characters and the terminator

    explicit RemoteImpl(EngineFactory factory = makeEngine, platform::SysCalls& sys = platform::SysCalls::real());
    ~RemoteImpl() override;

    int Initialize(WindowHandle owner, NotifyFn notify, const PortSettings* port,
                   const BufferSettings* buffer) override;
    int Open() override;
    void Close() override;
    int Request(int code, int param, std::intptr_t data) override;
    const PortSettings* GetPortSettings() override { return &port_; }
    const BufferSettings* GetBufferSettings() override { return &buffer_; }
    char* GetModelName(char* out, unsigned size) override;
    int GetVersion() override;
    int GetLinkMode() override;
    void* GetSetupData() override;
    void* GetTableData() override;
    void* GetProgramData() override;
    int GetStatus() override;
    int ResetLink() override;
    const BitmapInfo* GetScreenInfo() override;
    const void* GetScreenBits() override;

    // For tests and the window-system layer: how Initialize asks about a missing folder.
    void setFolderPrompt(FolderPrompt prompt) { prompt_ = prompt; }
    WindowHandle owner() const { return owner_; }
    Engine& engine() { return *engine_; }

private:
    void storeSettings(const PortSettings* port, const BufferSettings* buffer);

    WindowHandle owner_ = nullptr;
    char portName_[TextSize] = "COM1";
    PortSettings port_{portName_, 9600, 0, 0};
    int open_ = 0;
    char folder_[TextSize] = "";
    BufferSettings buffer_{nullptr, 10, 1, 0};
    NotifyFn notify_;
    FolderPrompt prompt_;
    SerialLink link_;
    std::unique_ptr<Engine> engine_;
};

} // namespace commlib
