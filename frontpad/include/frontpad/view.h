// What the front panel controller asks of its window: show the control states,
// message boxes, focus, the screen repaint, the key pause and the end of the run.
// The Qt window implements it; controller tests record it.
//
// Errors: none; the window shows what it is told.
// Threads: the GUI thread only.
#pragma once
#include <optional>
#include <string>

#include "frontpad/stored_port.h"

namespace frontpad {

enum class Icon { Error, Warning, Question };

// Everything a refresh sets. statusLine is empty (left as it is) while a
// connect is being started, so "connected" does not show too early.
struct PanelState {
    std::optional<std::string> statusLine;  // control 1022
    std::string shiftLine;                  // control 1023
    bool connectEnabled = false;            // 40002
    bool disconnectEnabled = false;         // 40003
    bool portEnabled = false;               // 40004
    bool redrawEnabled = false;             // 40005
    std::optional<bool> receiverEnabled;    // 1018; left as it is while busy
    bool keysEnabled = false;               // the 36 keys
};

class View {
public:
    virtual ~View() = default;
    virtual void showPanel(const PanelState& state) = 0;
    virtual void showMessage(const std::string& text, Icon icon) = 0;
    // Yes/No with the question icon; true for Yes.
    virtual bool askYesNo(const std::string& text) = 0;
    virtual void focusKeyReceiver() = 0;
    // The screen image changed: repaint the screen area (no erase needed).
    virtual void repaintScreen() = 0;
    // Blocks the GUI thread for the pause between a key and the screen fetch.
    virtual void pause(int milliseconds) = 0;
    virtual void saveSettings(const StoredPort& settings) = 0;
    // The window's run is over with this result (0 normal, 1 start-up failure).
    virtual void endDialog(int result) = 0;
};

}  // namespace frontpad
