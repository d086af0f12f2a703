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
// Windows, pages and the controls the program itself does not act on.
inline constexpr int kAboutVersionText = 101;
inline constexpr int kAboutBox = 301;
inline constexpr int kMainWindow = 302;
inline constexpr int kPrintPage = 303;
inline constexpr int kCsvPage = 304;
inline constexpr int kStatusBar = 1002;
inline constexpr int kRateStrip = 1003;
inline constexpr int kConvertStrip = 1004;
inline constexpr int kPicture = 1040;
inline constexpr int kMonitorGroup = 1041;
inline constexpr int kConversionPanel = 1042;
inline constexpr int kLivePane = 1043;
inline constexpr int kLiveShow = 2081;   // "Show live view" in the monitor group
inline constexpr int kLivePause = 2082;  // "Pause view" / "Resume view"
inline constexpr int kLiveNote = 2083;   // "N lines not shown"
inline constexpr int kLiveText = 2084;
inline constexpr int kFormat = 2011;
inline constexpr int kLine = 2031;
inline constexpr int kStartBlock = 2041;
inline constexpr int kBlockTotal = 2042;
inline constexpr int kPath = 2051;
inline constexpr int kBrowse = 2052;
inline constexpr int kMaxLines = 2061;
inline constexpr int kOptionPages = 2090;
inline constexpr int kNormal = 2101;
inline constexpr int kTranslate = 2102;
inline constexpr int kPrintData = 2111;
inline constexpr int kLineState = 2121;
inline constexpr int kNoTimeStamp = 2122;
inline constexpr int kNoIdleTime = 2123;
inline constexpr int kNoGuide = 2124;
inline constexpr int kFrame = 2131;
inline constexpr int kPacket = 2141;
inline constexpr int kExcluded = 2150;
inline constexpr int kIncluded = 2160;
inline constexpr int kToIncluded = 2171;
inline constexpr int kToExcluded = 2172;
inline constexpr int kMoveUp = 2173;
inline constexpr int kMoveDown = 2174;
inline constexpr int kCsvForm = 2201;
inline constexpr int kCsvData = 2211;
inline constexpr int kCsvWidth = 2221;
inline constexpr int kDelimiter = 2231;
}  // namespace id

// Status-bar indicator parts.
inline constexpr int kConnectPart = 1;
inline constexpr int kMeasurePart = 2;
inline constexpr int kConvertPart = 3;

enum class Icon { Warning, Error, Question };
enum class Buttons { Ok, YesNo, OkCancel };  // YesNo has No as the default button
enum class Answer { None, Ok, Cancel, Yes, No };

class MainView {
public:
    virtual ~MainView() = default;
    virtual void set_title(const std::string& title) = 0;
    virtual void show_control(int id, bool shown) = 0;
    virtual void enable_control(int id, bool enabled) = 0;
    virtual int focused_control() const = 0;  // 0 when no control of the window has it
    virtual void focus_control(int id) = 0;
    virtual void make_default(int id) = 0;  // default button, and the focus
    virtual void set_control_text(int id, const std::string& text) = 0;
    virtual void set_status_text(const std::string& text) = 0;
    virtual void set_indicator(int part, bool on) = 0;
    virtual void set_rate_speed(int speed) = 0;  // tenths of a pixel per 100 ms, -1 stops
    virtual void set_convert_speed(int speed) = 0;
    // Modal; other posted messages are handled while it is open.
    virtual Answer message_box(const std::string& caption, const std::string& text, Icon icon, Buttons buttons) = 0;
    virtual void end_program(int result) = 0;
};

}  // namespace capstore
