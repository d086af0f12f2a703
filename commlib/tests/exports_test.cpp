// libcommlib.so as the applications load it: exactly two exports, its own
// version even beside another library with the same export, and a working
// factory.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "commlib/remote.h"
#include "platform/window.h"
#include "testing/vtable_slot.h"

namespace {

std::set<std::string> DefinedDynamicSymbols(const std::string& lib) {
    std::set<std::string> names;
    FILE* p = ::popen(("nm -D --defined-only '" + lib + "' 2>/dev/null").c_str(), "r");
    if (!p) return names;
    char line[512];
    while (std::fgets(line, sizeof line, p)) {
        char addr[64], type[8], name[400];
        if (std::sscanf(line, "%63s %7s %399s", addr, type, name) == 3) names.insert(name);
    }
    ::pclose(p);
    return names;
}

TEST(Exports, OnlyFactoryAndVersionAreExported) {
    const auto names = DefinedDynamicSymbols(COMMLIB_SO);
    if (names.empty()) GTEST_SKIP() << "nm is not available";
    EXPECT_EQ(names, (std::set<std::string>{"CreateMirlokeRemote", "MKGetDllVersion"}));
}

int lastCode = -1, lastStatus = -1;
int Record(int code, int status, void*) {
    lastCode = code;
    lastStatus = status;
    return 0;
}

TEST(Exports, EachLibraryAnswersItsOwnVersionAndTheFactoryWorks) {
    // The other library comes first and global, so that interposition would show.
    void* other = ::dlopen(OTHER_VERSION_SO, RTLD_NOW | RTLD_GLOBAL);
    ASSERT_NE(other, nullptr) << ::dlerror();
    void* lib = ::dlopen(COMMLIB_SO, RTLD_NOW | RTLD_GLOBAL);
    ASSERT_NE(lib, nullptr) << ::dlerror();
    using VersionFn = int (*)();
    using CreateFn = int (*)(Remote**);
    auto version = reinterpret_cast<VersionFn>(::dlsym(lib, "MKGetDllVersion"));
    auto otherVersion = reinterpret_cast<VersionFn>(::dlsym(other, "MKGetDllVersion"));
    auto create = reinterpret_cast<CreateFn>(::dlsym(lib, "CreateMirlokeRemote"));
    ASSERT_TRUE(version && otherVersion && create);
    EXPECT_EQ(version(), 0x0100000D);
    EXPECT_EQ(otherVersion(), 0x0100000C);

    EXPECT_EQ(create(nullptr), 0);
    Remote* remote = reinterpret_cast<Remote*>(1);
    ASSERT_EQ(create(&remote), 1);
    ASSERT_NE(remote, nullptr);
    EXPECT_STREQ(remote->GetPortSettings()->Port, "COM1");
    EXPECT_EQ(remote->GetPortSettings()->Speed, 9600);
    EXPECT_EQ(remote->GetBufferSettings()->Folder, nullptr);
    EXPECT_EQ(remote->GetBufferSettings()->MaxBlocks, 10);
    EXPECT_EQ(remote->PortSettingDialog(), -1);
    ASSERT_EQ(remote->Initialize(nullptr, Record, nullptr, nullptr), 0);
    EXPECT_EQ(remote->Request(ReqConnect, 0, 0), 0);
    EXPECT_EQ(lastCode, ReqConnect);
    EXPECT_EQ(lastStatus, StatusPortNotOpen);
    remote->Release();
    ::dlclose(lib);
    ::dlclose(other);
}

// Programs built against an earlier version call Remote by table entry, and the
// library calls the programs' Window the same way. The comments in remote.h
// number operations; the destructors take entries 0 and 1.
struct RemoteSlots : Remote {
    static std::vector<std::ptrdiff_t> Slots() {
        using testing_util::slot_of;
        return {slot_of(&RemoteSlots::Release),
                slot_of(&RemoteSlots::Initialize),
                slot_of(&RemoteSlots::PortSettingDialog),
                slot_of(&RemoteSlots::BufferSettingDialog),
                slot_of(&RemoteSlots::Open),
                slot_of(&RemoteSlots::Close),
                slot_of(&RemoteSlots::Request),
                slot_of(&RemoteSlots::GetPortSettings),
                slot_of(&RemoteSlots::GetBufferSettings),
                slot_of(&RemoteSlots::GetModelName),
                slot_of(&RemoteSlots::GetVersion),
                slot_of(&RemoteSlots::GetLinkMode),
                slot_of(&RemoteSlots::GetSetupData),
                slot_of(&RemoteSlots::GetTableData),
                slot_of(&RemoteSlots::GetProgramData),
                slot_of(&RemoteSlots::GetStatus),
                slot_of(&RemoteSlots::ResetLink),
                slot_of(&RemoteSlots::GetScreenInfo),
                slot_of(&RemoteSlots::GetScreenBits),
                slot_of(&RemoteSlots::GetPortError),
                slot_of(&RemoteSlots::SetLiveRecords),
                slot_of(&RemoteSlots::SetCaptureOptions)};
    }
};

TEST(Exports, RemoteAndWindowKeepTheirTableEntries) {
    std::vector<std::ptrdiff_t> expected;
    for (std::ptrdiff_t entry = 2; entry <= 23; ++entry) expected.push_back(entry);
    EXPECT_EQ(RemoteSlots::Slots(), expected);
    EXPECT_EQ(testing_util::slot_of(&platform::Window::post), 2);
    EXPECT_EQ(testing_util::slot_of(&platform::Window::title), 3);
}

}  // namespace
