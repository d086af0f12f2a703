// The one export of libcommlib_ui.so: the table of plain C entries that
// libcommlib.so calls. No exception leaves the plugin.
#include "commlib_ui/plugin_abi.h"
#include "entry_points.h"

namespace {

int PortSettingDialog(CommlibUiPort* settings) {
    try {
        return commlib::ui::RunPortSettingDialog(settings);
    } catch (...) {
        return -1;
    }
}

int BufferSettingDialog(CommlibUiBuffer* settings) {
    try {
        return commlib::ui::RunBufferSettingDialog(settings);
    } catch (...) {
        return -1;
    }
}

int FolderPrompt(const char* caption) {
    try {
        return commlib::ui::AskForBufferSetup(caption);
    } catch (...) {
        return 0;
    }
}

constexpr CommlibUiApi Table{sizeof(CommlibUiApi), COMMLIB_UI_ABI_VERSION, PortSettingDialog, BufferSettingDialog,
                             FolderPrompt};

}  // namespace

extern "C" __attribute__((visibility("default"))) const CommlibUiApi* CommlibUiInterface() { return &Table; }
