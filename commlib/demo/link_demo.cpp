// A short look at the serial link until the whole suite is there: frames as
// they go on the line and come back, then libcommlib.so opened on a pty pair
// with this program playing the far end (answering "*" to attention and mode
// switch) and printing every byte and notification that passes.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "commlib/remote.h"
#include "link/framing.h"
#include "link/receive_classifier.h"
#include "testing/pty_pair.h"

namespace {

void PrintHex(const char* label, std::span<const std::uint8_t> bytes) {
    std::printf("%s", label);
    for (std::uint8_t b : bytes) std::printf(" %02X", b);
    std::printf("\n");
}

class PrintingSink : public commlib::ClassifierSink {
public:
    bool EngineIdle() override { return false; }
    void Deliver(int event, std::unique_ptr<commlib::LinkMessage> msg) override {
        std::printf("  event %d", event);
        if (msg) PrintHex(", data:", msg->Bytes());
        else std::printf("\n");
    }
};

std::atomic<int> connectStatus{-1};
int OnNotify(int code, int status, void*) {
    std::printf("  notify(code %d, status %d)\n", code, status);
    if (code == ReqConnect) connectStatus = status;
    return 0;
}

void ShowFraming() {
    std::printf("== framing\n");
    const std::vector<std::uint8_t> reset{0x30, 0x00};
    const auto frame = commlib::SynFrame(reset);
    PrintHex("reset packet 30 00 on the line:", frame);
    commlib::ReceiveClassifier classifier;
    PrintingSink sink;
    std::printf("the same bytes read back, then \"$0102FD\" CR:\n");
    classifier.Feed(frame, sink);
    classifier.Discard();
    const std::string hex = "$0102FD\r";
    classifier.Feed(std::span(reinterpret_cast<const std::uint8_t*>(hex.data()), hex.size()), sink);
}

// Plays the analyzer's side for a few seconds: prints what arrives and says
// "*" to "###" and to "%@X" CR LF.
void PlayFarEnd(testing_util::PtyPair& pty) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(4);
    std::string text;
    while (std::chrono::steady_clock::now() < until && connectStatus < 0) {
        const auto got = pty.read(4096, std::chrono::milliseconds(100));
        if (got.empty()) continue;
        PrintHex("  line:", got);
        text.append(got.begin(), got.end());
        for (const char* cmd : {"###", "%@X\r\n"}) {
            if (const auto at = text.find(cmd); at != std::string::npos) {
                text.erase(0, at + std::string(cmd).size());
                pty.write("*");
                std::printf("  far end answers *\n");
            }
        }
    }
}

}  // namespace

int main() {
    ShowFraming();
    std::printf("== libcommlib.so on a pty pair (version %08X)\n", static_cast<unsigned>(MKGetDllVersion()));
    testing_util::PtyPair pty;
    Remote* remote = nullptr;
    if (CreateMirlokeRemote(&remote) != 1 || !remote) return 1;
    const PortSettings port{pty.slave_path().c_str(), 230400, 0, 0};
    remote->Initialize(nullptr, OnNotify, &port, nullptr);
    if (remote->Open() != 0) {
        remote->Release();
        return 1;
    }
    std::printf("opened %s; Request(ReqConnect) = %d\n", pty.slave_path().c_str(), remote->Request(ReqConnect, 0, 0));
    PlayFarEnd(pty);
    char model[64];
    std::printf("link mode %d, model \"%s\"\n", remote->GetLinkMode(), remote->GetModelName(model, sizeof model));
    remote->Close();
    remote->Release();
    std::printf("closed\n");
    return 0;
}
