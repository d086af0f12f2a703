// The interface operations: settings, Initialize, Open, Close, Request and
// the accessors that read what the engine learned from the analyzer.
#include "remote/remote_impl.h"

#include <sys/stat.h>
#include <cstring>

namespace commlib {
namespace {

int IgnoreNotification(int, int, void*) { return 0; }

// The interface's step numbers are the platform layer's.
static_assert(PortStepOpen == static_cast<int>(platform::PortStep::Open) &&
              PortStepLock == static_cast<int>(platform::PortStep::Lock) &&
              PortStepConfigure == static_cast<int>(platform::PortStep::Configure) &&
              PortStepNotSerial == static_cast<int>(platform::PortStep::NotSerial));

bool IsFolder(const char* path) {
    struct stat st {};
    return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

// Copies at most TextSize - 1 characters; longer names are cut, never overrun.
void CopyText(char (&to)[RemoteImpl::TextSize], const char* from) {
    std::strncpy(to, from, RemoteImpl::TextSize - 1);
    to[RemoteImpl::TextSize - 1] = '\0';
}

RemoteImpl::RemoteImpl(EngineFactory factory, platform::SysCalls& sys)
    : notify_(IgnoreNotification), link_(sys), engine_(factory(link_)) {
    link_.Attach(*engine_);
}

RemoteImpl::~RemoteImpl() { Close(); }

void RemoteImpl::StoreSettings(const PortSettings* port, const BufferSettings* buffer) {
    if (port) {
        CopyText(portName_, port->Port ? port->Port : "");
        port_ = {portName_, port->Speed, port->Parity, port->XControl};
    }
    if (buffer && buffer->Folder) {
        CopyText(folder_, buffer->Folder);
        buffer_ = {folder_, buffer->MaxBlocks, buffer->Warn, buffer->Ring};
    } else {
        folder_[0] = '\0';
        buffer_ = {nullptr, pcbuffer::kDefaultMaxBlocks, 1, 0};
    }
}

int RemoteImpl::Initialize(WindowHandle owner, NotifyFn notify, const PortSettings* port,
                           const BufferSettings* buffer) {
    Close();
    owner_ = owner;
    StoreSettings(port, buffer);
    notify_ = notify ? notify : IgnoreNotification;
    link_.SetNotify(notify_);
    if (buffer_.Folder && !IsFolder(buffer_.Folder)) {
        if ((prompt_ ? prompt_(owner_, buffer_.Folder) : AskAboutFolder()) != 1) return -1;
        if (BufferSettingDialog() == 0) return -1;
    }
    engine_->ScanBufferFolder(buffer_);
    return 0;
}

int RemoteImpl::Open() {
    Close();
    // An unknown parity number stays one: configuring the port refuses it.
    const platform::LineSettings line{port_.Speed, static_cast<platform::Parity>(port_.Parity), port_.XControl != 0};
    switch (link_.Open(port_.Port, line)) {
    case LinkOpen::Ok: open_ = 1; return 0;
    case LinkOpen::NotCharDevice: return 2;
    case LinkOpen::Failed: break;
    }
    notify_(ReqGetStopReason, StatusPortNotOpen, nullptr);
    return 0;
}

void RemoteImpl::Close() {
    if (!open_) return;
    link_.Close();
    open_ = 0;
}

int RemoteImpl::Request(int code, int param, std::intptr_t data) {
    if (!open_) {
        notify_(code, StatusPortNotOpen, nullptr);
        return 0;
    }
    return link_.Request(code, param, data) ? 1 : 0;
}

char* RemoteImpl::GetModelName(char* out, unsigned size) {
    if (!out || size == 0) return out;
    if (!open_) {
        out[0] = '\0';
        return out;
    }
    std::memset(out, 0, size);
    if (const char* name = engine_->ModelName()) std::strncpy(out, name, size - 1);
    return out;
}

int RemoteImpl::GetVersion() { return open_ ? engine_->Version() : 0; }
int RemoteImpl::GetLinkMode() { return open_ ? engine_->LinkMode() : 0; }
void* RemoteImpl::GetSetupData() { return engine_->SetupData(); }
void* RemoteImpl::GetTableData() { return engine_->TableData(); }
void* RemoteImpl::GetProgramData() { return engine_->ProgramData(); }
int RemoteImpl::GetStatus() { return engine_->Status(); }
const BitmapInfo* RemoteImpl::GetScreenInfo() { return engine_->ScreenInfo(); }
const void* RemoteImpl::GetScreenBits() { return engine_->ScreenBits(); }

int RemoteImpl::GetPortError(PortError* out) {
    const platform::PortFailure f = link_.OpenFailure();
    const PortError e{static_cast<int>(f.step), f.error};
    if (out) *out = e;
    return e.Step;
}

int RemoteImpl::SetCaptureOptions(const CaptureOptions* options) {
    const CaptureOptions o = options ? *options : CaptureOptions{0, 0, 0};
    if ((o.Continue != 0 && o.Continue != 1) || o.Reserved != 0 || o.KeepFreeBytes < 0) return -1;
    engine_->SetCaptureOptions(o);
    return 0;
}

int RemoteImpl::ResetLink() {
    link_.ResetEngine();
    return 0;
}

}  // namespace commlib
