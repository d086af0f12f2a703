// Loading the dialog plugin: look beside the library that holds this code (so
// an installed suite finds its own plugin first), then let the dynamic loader
// search by name.
#include "ui/ui_plugin.h"

#include <dlfcn.h>
#include <string>

namespace commlib::ui {
namespace {

constexpr const char* PluginName = "libcommlib_ui.so";

std::string BesideThisLibrary() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&Plugin), &info) == 0 || !info.dli_fname) return {};
    const std::string self = info.dli_fname;
    const auto slash = self.rfind('/');
    if (slash == std::string::npos) return {};
    return self.substr(0, slash + 1) + PluginName;
}

const CommlibUiApi* TableOf(void* handle) {
    if (!handle) return nullptr;
    auto entry = reinterpret_cast<CommlibUiEntryFn>(::dlsym(handle, COMMLIB_UI_ENTRY));
    const CommlibUiApi* api = entry ? entry() : nullptr;
    // A plugin from another build with a different table is treated as absent.
    if (!api || api->version != COMMLIB_UI_ABI_VERSION || api->size < sizeof(CommlibUiApi)) return nullptr;
    if (!api->portSettingDialog || !api->bufferSettingDialog || !api->folderPrompt) return nullptr;
    return api;
}

const CommlibUiApi* Load() {
    const std::string beside = BesideThisLibrary();
    void* handle = beside.empty() ? nullptr : ::dlopen(beside.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) handle = ::dlopen(PluginName, RTLD_NOW | RTLD_LOCAL);
    return TableOf(handle);
}

}  // namespace

const CommlibUiApi* Plugin() {
    static const CommlibUiApi* const Api = Load();
    return Api;
}

}  // namespace commlib::ui
