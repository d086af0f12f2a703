// The one export of libcommlib_ui.so: the table of plain C entries that
// libcommlib.so calls. No exception leaves the plugin.
#include "commlib_ui/plugin_abi.h"
#include "entry_points.h"

namespace {

int portSettingDialog(CommlibUiPort* settings) {
    try {
        return commlib::ui::runPortSettingDialog(settings);
    } catch (...) {
        return -1;
    }
}

int bufferSettingDialog(CommlibUiBuffer* settings) {
    try {
        return commlib::ui::runBufferSettingDialog(settings);
    } catch (...) {
        return -1;
    }
}

int folderPrompt(const char* caption) {
    try {
        return commlib::ui::askForBufferSetup(caption);
    } catch (...) {
        return 0;
    }
}

constexpr CommlibUiApi Table{sizeof(CommlibUiApi), COMMLIB_UI_ABI_VERSION, portSettingDialog, bufferSettingDialog,
                             folderPrompt};

}  // namespace

extern "C" __attribute__((visibility("default"))) const CommlibUiApi* CommlibUiInterface() { return &Table; }
