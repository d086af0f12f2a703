// The front panel's sequences: connect and its checks, keys with SHIFT, the
// screen fetch, disconnect and close. Runs on the GUI thread only; acts on
// the window through View and on the analyzer through one Remote.
//
// Errors: failures are shown through View's message boxes; nothing throws.
// Threads: the GUI thread only.
#pragma once
#include <array>
#include <cstdint>
#include <string>

#include "commlib/remote.h"
#include "frontpad/screen_image.h"
#include "frontpad/stored_port.h"
#include "frontpad/view.h"

namespace frontpad {

using RemoteFactory = int (*)(Remote**);

// A key of the PC keyboard as the key receiver saw it.
struct PcKey {
    bool shift = false;  // either SHIFT key
    int code = -1;       // mapped key code, -1 for keys not mapped
};

class Controller {
public:
    Controller(View& view, RemoteFactory factory, const StoredPort& stored);
    ~Controller();
    Controller(const Controller&) = delete;
    Controller& operator=(const Controller&) = delete;

    // Dialog initialisation: creates and initialises the Remote; on failure the
    // view's run ends (with 1, or 0 when the user declined).
    void start(WindowHandle owner, NotifyFn notify);

    // Command buttons.
    void connect();
    void disconnect();
    void redraw();
    void portSettings();
    void close();  // the window's close request (also the exit button)

    // Panel keys: a clicked key with its code, and the SHIFT key.
    void keyButton(int code);
    void shiftButton();
    // The key receiver's key events.
    void pcKeyDown(const PcKey& key);
    void pcKeyUp(const PcKey& key);
    // The window was shown again: whatever was stuck busy is released.
    void repaint();

    // A posted library notification (NotifyMessage).
    void notification(std::uintptr_t wParam, std::intptr_t lParam);

    // For painting and for tests.
    const BitmapInfo* screenInfo() const { return screenInfo_; }
    const void* screenBits() const { return screenBits_; }
    bool connected() const { return connected_; }
    bool busy() const { return busy_; }
    bool shiftLatched() const { return shiftLatched_; }
    bool shiftHeld() const { return shiftHeld_; }
    const PortSettings& portSettingsInUse() const { return port_; }

private:
    void refresh();
    void setBusy(bool busy);
    bool request(int code, int param = 0);
    void requestFailed();
    std::string portProblem();
    void linkLost(int status);
    void sendKey(int code);
    void connectEnded(int status);
    void disconnectEnded(int status);
    void screenFetched(int status);
    void finish(int result);

    View& view_;
    RemoteFactory factory_;
    Remote* remote_ = nullptr;
    std::string portName_;
    PortSettings port_{};

    bool connected_ = false;
    bool busy_ = false;
    bool exitRequested_ = false;
    bool shiftLatched_ = false;
    bool shiftHeld_ = false;
    bool connectPending_ = false;
    bool receiverEnabled_ = false;
    // Our own copy of the last fetched screen: the library discards its image
    // on the protocol thread when the session ends, while we may still paint.
    void keepScreen(const BitmapInfo* info, const void* bits);
    BitmapInfo screenCopyInfo_{};
    std::array<std::uint8_t, kScreenBitsSize> screenCopyBits_{};
    const BitmapInfo* screenInfo_ = nullptr;
    const void* screenBits_ = nullptr;
};

}  // namespace frontpad
