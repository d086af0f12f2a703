// A small SVG (XML) writer of our own: elements with escaped attributes and
// text, nested by open/close, streamed out in pieces so a long chart is never
// held whole. The chart needs rectangles, paths, lines and text only, which a
// page of code writes well-formed; a library would bring a dependency for
// that and no check we do not already make (the tests run xmllint on the output).
//
// Errors: finish() is false when the sink refused bytes.
// Threads: one writer per thread.
#pragma once
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace cli {

struct SvgAttr {
    const char* name;
    std::string value;
};

// The parts appended in order ("M", x, " ", y, ...).
template <typename... Parts>
std::string cat(const Parts&... parts) {
    std::string s;
    (s += ... += parts);
    return s;
}

// "12.5": a coordinate with at most two decimals and no trailing zeros.
std::string svg_number(double v);

class SvgWriter {
public:
    using Sink = std::function<bool(std::string_view)>;
    explicit SvgWriter(Sink sink) : sink_(std::move(sink)) {}

    // Presentation attributes that every element of class `cls` gets, so the
    // picture looks the same in viewers that read no style sheet.
    void style(const char* cls, std::vector<SvgAttr> attrs);
    // <svg ...> with the XML declaration before it.
    void begin(std::initializer_list<SvgAttr> attrs);
    void open(const char* tag, std::initializer_list<SvgAttr> attrs = {});
    void element(const char* tag, std::initializer_list<SvgAttr> attrs);  // <tag .../>
    void text_element(const char* tag, std::initializer_list<SvgAttr> attrs, const std::string& text);
    // Like open, but closed at once after a <title> child: a tooltip in browsers.
    void titled(const char* tag, std::initializer_list<SvgAttr> attrs, const std::string& title);
    void close();
    // Closes what is open and hands the rest to the sink; false when the sink refused.
    bool finish();

private:
    void start_tag(const char* tag, std::initializer_list<SvgAttr> attrs);
    void put(std::string_view s);
    static void escape(std::string& out, std::string_view s);

    Sink sink_;
    std::string pending_;
    std::vector<const char*> open_;
    std::vector<std::pair<std::string, std::vector<SvgAttr>>> styles_;
    bool ok_ = true;
};

}  // namespace cli
