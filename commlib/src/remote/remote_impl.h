// RemoteImpl: the library's interface object. Keeps the settings and the
// callback, owns the serial link and the protocol engine, and forwards the
// accessors to the engine. Called from the application's thread only.
#pragma once
#include <memory>

#include "commlib/remote.h"
#include "commlib_ui/plugin_abi.h"
#include "engine/engine.h"
#include "link/serial_link.h"
#include "pcbuffer/buffer_names.h"

namespace commlib {

// Asks the user whether to set up a missing PC buffer folder: 1 OK, 0 Cancel.
// By default the dialog plugin asks; without it (or without a running Qt
// application) the answer is Cancel.
using FolderPrompt = int (*)(WindowHandle owner, const char* folder);
// Creates the engine that the link drives (tests pass a fake one).
using EngineFactory = std::unique_ptr<Engine> (*)(EngineOutput& out);

class RemoteImpl : public Remote {
public:
    static constexpr std::size_t TextSize = 260;  // 259 characters and the terminator

    explicit RemoteImpl(EngineFactory factory = MakeEngine, platform::SysCalls& sys = platform::SysCalls::real());
    ~RemoteImpl() override;

    int Initialize(WindowHandle owner, NotifyFn notify, const PortSettings* port,
                   const BufferSettings* buffer) override;
    // Shown by the dialog plugin; -1 when it is missing or no Qt application runs.
    int PortSettingDialog() override;
    int BufferSettingDialog() override;
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
    int GetPortError(PortError* out) override;
    int SetLiveRecords(LiveRecordFn fn, void* context) override {
        engine_->SetLiveRecords(fn, context);
        return 0;
    }
    int SetCaptureOptions(const CaptureOptions* options) override;

    // For tests and the window-system layer: how Initialize asks about a missing folder
    // (null: the dialog plugin asks).
    void SetFolderPrompt(FolderPrompt prompt) { prompt_ = prompt; }
    // For tests: the dialog table to use instead of loading the plugin (null: none).
    void SetDialogTable(const CommlibUiApi* table) {
        table_ = table;
        tableChosen_ = true;
    }
    WindowHandle Owner() const { return owner_; }
    Engine& GetEngine() { return *engine_; }

private:
    void StoreSettings(const PortSettings* port, const BufferSettings* buffer);
    const CommlibUiApi* DialogTable() const;
    int AskAboutFolder();

    WindowHandle owner_ = nullptr;
    char portName_[TextSize] = "COM1";
    PortSettings port_{portName_, 9600, 0, 0};
    int open_ = 0;
    char folder_[TextSize] = "";
    BufferSettings buffer_{nullptr, pcbuffer::kDefaultMaxBlocks, 1, 0};
    NotifyFn notify_;
    FolderPrompt prompt_ = nullptr;
    const CommlibUiApi* table_ = nullptr;
    bool tableChosen_ = false;
    SerialLink link_;
    std::unique_ptr<Engine> engine_;
};

// Copies at most TextSize - 1 characters into a settings text; longer texts are cut.
void CopyText(char (&to)[RemoteImpl::TextSize], const char* from);

}  // namespace commlib
