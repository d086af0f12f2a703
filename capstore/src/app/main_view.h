// What the main window's controller asks of the window: control ids, message
// boxes and the small set of drawing operations it needs. The Qt window
// implements it; tests record the calls.
#pragma once
#include <string>

namespace capstore {

namespace id {
inline constexpr int kStartMeasure = 40301;
inline constexpr int kStopMeasure = 40302;
inline constexpr int kBlockCount = 2001;
inline constexpr int kBlockFill = 2005;
inline constexpr int kLost = 2003;
inline constexpr int kEnvironment = 2071;
inline constexpr int kAbout = 40909;
inline constexpr int kExit = 40109;
inline constexpr int kStartConvert = 40401;
inline constexpr int kStopConvert = 40402;
inline constexpr int kProgress = 2002;
inline constexpr int kDeleteText = 40403;
inline constexpr int kPortSetting = 40501;
inline constexpr int kBufferSetting = 40502;
} // namespace id

// Status-bar indicator parts.
inline constexpr int kConnectPart = 1;
inline constexpr int kMeasurePart = 2;
inline constexpr int kConvertPart = 3;

enum class Icon { Warning, Error, Question };
enum class Buttons { Ok, YesNo, OkCancel };   // YesNo has No as the default button
enum class Answer { None, Ok, Cancel, Yes, No };

class MainView {
public:
    virtual ~MainView() = default;
    virtual void set_title(const std::string& title) = 0;
    virtual void show_control(int id, bool shown) = 0;
    virtual void enable_control(int id, bool enabled) = 0;
    virtual int focused_control() const = 0;        // 0 when no control of the window has it
    virtual void focus_control(int id) = 0;
    virtual void make_default(int id) = 0;          // default button, and the focus
    virtual void set_control_text(int id, const std::string& text) = 0;
    virtual void set_status_text(const std::string& text) = 0;
    virtual void set_indicator(int part, bool on) = 0;
    virtual void set_rate_speed(int speed) = 0;     // tenths of a pixel per 100 ms, -1 stops
    virtual void set_convert_speed(int speed) = 0;
    // Modal; other posted messages are handled while it is open.
    virtual Answer message_box(const std::string& caption, const std::string& text, Icon icon,
                               Buttons buttons) = 0;
    virtual void end_program(int result) = 0;
};

} // namespace capstore
