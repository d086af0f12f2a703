// The SVG writer: escaping and the pieces of markup.
#include "stats/svg_writer.h"

#include <cmath>
#include <cstdio>

namespace cli {
namespace {

constexpr std::size_t kFlushAt = 1 << 16;

}  // namespace

std::string svg_number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", std::round(v * 100) / 100);
    std::string s = text;
    while (s.back() == '0') s.pop_back();
    if (s.back() == '.') s.pop_back();
    return s == "-0" ? "0" : s;
}

void SvgWriter::escape(std::string& out, std::string_view s) {
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default:
            // Control characters other than tab and line end are not allowed in XML 1.0.
            if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') out += '?';
            else out += c;
        }
    }
}

void SvgWriter::put(std::string_view s) {
    pending_ += s;
    if (pending_.size() >= kFlushAt) {
        ok_ = ok_ && sink_(pending_);
        pending_.clear();
    }
}

void SvgWriter::style(const char* cls, std::vector<SvgAttr> attrs) { styles_.emplace_back(cls, std::move(attrs)); }

void SvgWriter::start_tag(const char* tag, std::initializer_list<SvgAttr> attrs) {
    std::string s = "<";
    s += tag;
    auto attribute = [&s](const SvgAttr& a) {
        s += ' ';
        s += a.name;
        s += "=\"";
        escape(s, a.value);
        s += '"';
    };
    for (const SvgAttr& a : attrs) {
        attribute(a);
        if (std::string_view(a.name) != "class") continue;
        for (const auto& [cls, more] : styles_)
            if (cls == a.value)
                for (const SvgAttr& m : more) attribute(m);
    }
    put(s);
}

void SvgWriter::begin(std::initializer_list<SvgAttr> attrs) {
    put("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    open("svg", attrs);
}

void SvgWriter::open(const char* tag, std::initializer_list<SvgAttr> attrs) {
    start_tag(tag, attrs);
    put(">\n");
    open_.push_back(tag);
}

void SvgWriter::element(const char* tag, std::initializer_list<SvgAttr> attrs) {
    start_tag(tag, attrs);
    put("/>\n");
}

void SvgWriter::text_element(const char* tag, std::initializer_list<SvgAttr> attrs, const std::string& text) {
    start_tag(tag, attrs);
    std::string s = ">";
    escape(s, text);
    s += "</";
    s += tag;
    s += ">\n";
    put(s);
}

void SvgWriter::titled(const char* tag, std::initializer_list<SvgAttr> attrs, const std::string& title) {
    start_tag(tag, attrs);
    std::string s = "><title>";
    escape(s, title);
    s += "</title></";
    s += tag;
    s += ">\n";
    put(s);
}

void SvgWriter::close() {
    if (open_.empty()) return;
    put(std::string("</") + open_.back() + ">\n");
    open_.pop_back();
}

bool SvgWriter::finish() {
    while (!open_.empty()) close();
    if (!pending_.empty()) ok_ = ok_ && sink_(pending_);
    pending_.clear();
    return ok_;
}

}  // namespace cli
