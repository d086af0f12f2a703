// Finds and loads libcommlib_ui.so, the Qt plugin with the library's dialogs,
// the first time a dialog is wanted. Without it the dialogs cannot be shown and
// the library carries on without them.
#pragma once
#include "commlib_ui/plugin_abi.h"

namespace commlib::ui {

// The plugin's table, or null when the plugin is missing or does not fit.
// Loaded once per process, beside libcommlib.so first, then by name; never unloaded,
// because Qt does not survive being unloaded.
const CommlibUiApi* Plugin();

}  // namespace commlib::ui
