// The settings dialogs where they cannot be shown: without the Qt plugin, or
// with it but without a running Qt application (a server, the zamvex command),
// both dialogs answer -1 and the missing-folder question answers Cancel.
#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "commlib/remote.h"
#include "testing/temp_dir.h"

namespace {

// What a program sees when it cannot show dialogs; a bit per failed expectation.
int dialogsFromLibrary(const std::string& library, bool pluginExpected) {
    int failures = 0;
    void* lib = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib) return 1;
    auto create = reinterpret_cast<int (*)(Remote**)>(::dlsym(lib, "CreateMirlokeRemote"));
    Remote* remote = nullptr;
    if (!create || create(&remote) != 1 || !remote) return 2;
    const PortSettings port{"COM4", 19200, 1, 1};
    if (remote->Initialize(nullptr, nullptr, &port, nullptr) != 0) failures |= 4;
    if (remote->PortSettingDialog() != -1) failures |= 8;
    if (remote->BufferSettingDialog() != -1) failures |= 16;
    // Nothing changed behind the refused dialogs.
    if (std::string(remote->GetPortSettings()->Port) != "COM4" || remote->GetPortSettings()->Parity != 1)
        failures |= 32;
    // The missing folder cannot be set up: Initialize is refused.
    testing_util::TempDir dir;
    const std::string missing = dir.file("gone");
    const BufferSettings buffer{missing.c_str(), 10, 1, 0};
    if (remote->Initialize(nullptr, nullptr, &port, &buffer) != -1) failures |= 64;
    // The -1 came from where the test meant it to: the plugin, or its absence.
    void* plugin = ::dlopen("libcommlib_ui.so", RTLD_NOW | RTLD_NOLOAD);
    if ((plugin != nullptr) != pluginExpected) failures |= 128;
    remote->Release();
    return failures;
}

// Runs the check in a child process with no display, so that no plugin loaded
// by an earlier test in this process can be found by name.
int inChildWithoutDisplay(const std::string& library, bool pluginExpected) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::_exit(dialogsFromLibrary(library, pluginExpected));
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -2;
    return WEXITSTATUS(status);
}

TEST(DialogsUnavailable, WithoutThePluginBothDialogsAnswerMinusOne) {
    // A copy of the library alone in a folder: nothing beside it to load.
    testing_util::TempDir dir;
    const std::string copy = dir.file("libcommlib.so");
    std::filesystem::copy_file(COMMLIB_SO, copy);
    EXPECT_EQ(inChildWithoutDisplay(copy, false), 0);
}

TEST(DialogsUnavailable, WithThePluginButNoQtApplicationBothDialogsAnswerMinusOne) {
#ifdef COMMLIB_UI_SO
    ASSERT_TRUE(std::filesystem::exists(COMMLIB_UI_SO));
    EXPECT_EQ(inChildWithoutDisplay(COMMLIB_SO, true), 0);
#else
    GTEST_SKIP() << "built without the Qt plugin";
#endif
}

} // namespace
