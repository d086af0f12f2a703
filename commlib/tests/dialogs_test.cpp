// The settings dialogs as the interface object drives them: what goes to the
// plugin and what comes back, the rescan after OK, the prompt's caption; and
// where they cannot be shown (no plugin, or no running Qt application, as on a
// server or in the zamvex command) both answer -1 and the prompt Cancel.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "commlib/remote.h"
#include "fake_engine.h"
#include "platform/window.h"
#include "remote/remote_impl.h"
#include "testing/temp_dir.h"

namespace {

using commlib::RemoteImpl;
using commlib::testing_fake::FakeEngine;
using commlib::testing_fake::Seen;

// A dialog plugin that answers as scripted and keeps what it was shown.
struct Script {
    int result = 1;
    CommlibUiPort portSeen{}, portAnswer{};
    CommlibUiBuffer bufferSeen{}, bufferAnswer{};
    std::string caption;
    int prompts = 0;
} script;
int ScriptedPort(CommlibUiPort* s) {
    script.portSeen = *s;
    if (script.result == 1) *s = script.portAnswer;
    return script.result;
}
int ScriptedBuffer(CommlibUiBuffer* s) {
    script.bufferSeen = *s;
    if (script.result == 1) *s = script.bufferAnswer;
    return script.result;
}
int ScriptedPrompt(const char* caption) {
    script.caption = caption;
    ++script.prompts;
    return script.result == 1 ? 1 : 0;
}
const CommlibUiApi ScriptedTable{sizeof(CommlibUiApi), COMMLIB_UI_ABI_VERSION, ScriptedPort, ScriptedBuffer,
                                 ScriptedPrompt};

class Owner : public platform::Window {
public:
    bool post(unsigned, std::uintptr_t, std::intptr_t) override { return true; }
    const char* title() const override { return titleText.c_str(); }
    std::string titleText;
};

class RemoteDialogs : public ::testing::Test {
protected:
    RemoteImpl remote{commlib::testing_fake::MakeFakeEngine};
    FakeEngine& Fake() { return static_cast<FakeEngine&>(remote.GetEngine()); }
    std::size_t Scans() { return FakeEngine::Count(Fake().AllSeen(), Seen::Scan); }
    void SetUp() override {
        script = Script{};
        remote.SetDialogTable(&ScriptedTable);
    }
};

TEST_F(RemoteDialogs, PortDialogSeesTheSettingsAndOkStoresItsAnswer) {
    const PortSettings port{"COM3", 19200, 1, 0};
    ASSERT_EQ(remote.Initialize(nullptr, nullptr, &port, nullptr), 0);
    script.portAnswer = {"", 19200, 2, 1};
    std::memset(script.portAnswer.Port, 'p', sizeof script.portAnswer.Port);  // no terminator at all
    EXPECT_EQ(remote.PortSettingDialog(), 1);
    EXPECT_STREQ(script.portSeen.Port, "COM3");
    EXPECT_EQ(script.portSeen.Speed * 10 + script.portSeen.Parity, 192001);
    EXPECT_EQ(std::strlen(remote.GetPortSettings()->Port), 259u);
    EXPECT_EQ(remote.GetPortSettings()->Parity, 2);
    EXPECT_EQ(remote.GetPortSettings()->XControl, 1);

    for (int result : {0, -1, 7}) {  // Cancel, cannot show, and nonsense: nothing changes
        script.result = result;
        std::strcpy(script.portAnswer.Port, "COM8");
        EXPECT_EQ(remote.PortSettingDialog(), result == 0 ? 0 : -1);
        EXPECT_EQ(std::strlen(remote.GetPortSettings()->Port), 259u);
    }
}

TEST_F(RemoteDialogs, BufferDialogOkStoresAndRescans) {
    testing_util::TempDir dir;
    const BufferSettings buffer{dir.path().c_str(), 10, 1, 0};
    ASSERT_EQ(remote.Initialize(nullptr, nullptr, nullptr, &buffer), 0);
    ASSERT_EQ(Scans(), 1u);
    script.result = 0;
    EXPECT_EQ(remote.BufferSettingDialog(), 0);
    EXPECT_EQ(Scans(), 1u);
    EXPECT_EQ(std::string(script.bufferSeen.Folder), dir.path());

    script.result = 1;
    script.bufferAnswer = {"/elsewhere", 300, 0, 1};
    EXPECT_EQ(remote.BufferSettingDialog(), 1);
    EXPECT_EQ(Scans(), 2u);
    const BufferSettings* now = remote.GetBufferSettings();
    EXPECT_STREQ(now->Folder, "/elsewhere");
    EXPECT_EQ(now->MaxBlocks * 100 + now->Warn * 10 + now->Ring, 30001);
}

TEST_F(RemoteDialogs, InitializePromptsWithTheOwnersTitleCut) {
    testing_util::TempDir dir;
    const std::string missing = dir.file("gone");
    const BufferSettings buffer{missing.c_str(), 10, 1, 0};
    Owner owner;
    owner.titleText = std::string(63, 't') + "CUT";
    script.result = 0;  // Cancel in the prompt
    EXPECT_EQ(remote.Initialize(&owner, nullptr, nullptr, &buffer), -1);
    EXPECT_EQ(script.caption, std::string(63, 't'));
    EXPECT_EQ(Scans(), 0u);

    script.result = 1;  // OK, then OK in the buffer dialog with a folder that exists
    std::strcpy(script.bufferAnswer.Folder, dir.path().c_str());
    script.bufferAnswer.MaxBlocks = 4;
    EXPECT_EQ(remote.Initialize(&owner, nullptr, nullptr, &buffer), 0);
    EXPECT_EQ(script.prompts, 2);
    EXPECT_EQ(std::string(remote.GetBufferSettings()->Folder), dir.path());
    EXPECT_EQ(Scans(), 2u);  // once after the dialog's OK, once as Initialize ends
}

// What a program sees when it cannot show dialogs; a bit per failed expectation.
int DialogsFromLibrary(const std::string& library, bool pluginExpected) {
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
int InChildWithoutDisplay(const std::string& library, bool pluginExpected) {
    const pid_t child = ::fork();
    if (child < 0) return -1;
    if (child == 0) {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::_exit(DialogsFromLibrary(library, pluginExpected));
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -2;
    return WEXITSTATUS(status);
}

TEST(DialogsUnavailable, TheLibraryNeedsNoQt) {
    FILE* p = ::popen((std::string("readelf -d '") + COMMLIB_SO + "' 2>/dev/null").c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string needed;
    char line[512];
    while (std::fgets(line, sizeof line, p))
        if (std::strstr(line, "(NEEDED)")) needed += line;
    ::pclose(p);
    if (needed.empty()) GTEST_SKIP() << "readelf is not available";
    EXPECT_NE(needed.find("libc.so"), std::string::npos) << needed;
    EXPECT_EQ(needed.find("Qt"), std::string::npos) << needed;
}

TEST(DialogsUnavailable, WithoutThePluginBothDialogsAnswerMinusOne) {
    // A copy of the library alone in a folder: nothing beside it to load.
    testing_util::TempDir dir;
    const std::string copy = dir.file("libcommlib.so");
    std::filesystem::copy_file(COMMLIB_SO, copy);
    EXPECT_EQ(InChildWithoutDisplay(copy, false), 0);
}

TEST(DialogsUnavailable, WithThePluginButNoQtApplicationBothDialogsAnswerMinusOne) {
#ifdef COMMLIB_UI_SO
    ASSERT_TRUE(std::filesystem::exists(COMMLIB_UI_SO));
    EXPECT_EQ(InChildWithoutDisplay(COMMLIB_SO, true), 0);
#else
    GTEST_SKIP() << "built without the Qt plugin";
#endif
}

}  // namespace
