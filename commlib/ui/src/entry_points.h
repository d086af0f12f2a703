// What the plugin's table calls: each entry first makes sure a Qt application
// with widgets runs on this thread, then shows its dialog or prompt.
#pragma once
#include "commlib_ui/plugin_abi.h"

namespace commlib::ui {

// True when a QApplication (not merely a core or GUI application) runs and
// this is its thread.
bool WidgetsAvailable();

int RunPortSettingDialog(CommlibUiPort* settings);      // 1, 0, -1
int RunBufferSettingDialog(CommlibUiBuffer* settings);  // 1, 0, -1
int AskForBufferSetup(const char* caption);             // 1 OK, 0 Cancel or not shown

}  // namespace commlib::ui
