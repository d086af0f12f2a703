// The settings dialogs and the missing-folder prompt of the interface object:
// copies of the settings go to the dialog plugin, and come back only on OK.
#include <cstring>

#include "platform/window.h"
#include "remote/remote_impl.h"
#include "ui/ui_plugin.h"

namespace commlib {
namespace {

static_assert(sizeof(CommlibUiPort::Port) == RemoteImpl::TextSize);
static_assert(sizeof(CommlibUiBuffer::Folder) == RemoteImpl::TextSize);

// The prompt's caption is the owner window's title, cut to 63 characters.
constexpr std::size_t CaptionLimit = 63;

template <std::size_t N>
void CopyInto(char (&to)[N], const char* from) {
    const std::size_t length = from ? ::strnlen(from, N - 1) : 0;
    if (length) std::memcpy(to, from, length);
    to[length] = '\0';
}

}  // namespace

const CommlibUiApi* RemoteImpl::DialogTable() const { return tableChosen_ ? table_ : ui::Plugin(); }

int RemoteImpl::AskAboutFolder() {
    const CommlibUiApi* ui = DialogTable();
    if (!ui) return 0;
    char caption[CaptionLimit + 1];
    CopyInto(caption, owner_ ? owner_->title() : "");
    return ui->folderPrompt(caption) == 1 ? 1 : 0;
}

int RemoteImpl::PortSettingDialog() {
    const CommlibUiApi* ui = DialogTable();
    if (!ui) return -1;
    CommlibUiPort edit{};
    CopyInto(edit.Port, portName_);
    edit.Speed = port_.Speed;
    edit.Parity = port_.Parity;
    edit.XControl = port_.XControl;
    const int result = ui->portSettingDialog(&edit);
    if (result != 1) return result == 0 ? 0 : -1;
    edit.Port[sizeof edit.Port - 1] = '\0';
    CopyText(portName_, edit.Port);
    port_ = {portName_, edit.Speed, edit.Parity, edit.XControl};
    return 1;
}

// After OK the folder is scanned again, as Initialize does. A buffer that
// Initialize switched off (Folder null) stays off: the dialog edits its text only.
int RemoteImpl::BufferSettingDialog() {
    const CommlibUiApi* ui = DialogTable();
    if (!ui) return -1;
    CommlibUiBuffer edit{};
    CopyInto(edit.Folder, folder_);
    edit.MaxBlocks = buffer_.MaxBlocks;
    edit.Warn = buffer_.Warn;
    edit.Ring = buffer_.Ring;
    const int result = ui->bufferSettingDialog(&edit);
    if (result != 1) return result == 0 ? 0 : -1;
    edit.Folder[sizeof edit.Folder - 1] = '\0';
    CopyText(folder_, edit.Folder);
    buffer_.MaxBlocks = edit.MaxBlocks;
    buffer_.Warn = edit.Warn;
    buffer_.Ring = edit.Ring;
    engine_->ScanBufferFolder(buffer_);
    return 1;
}

}  // namespace commlib
