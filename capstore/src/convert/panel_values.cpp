// Loading the conversion panel from the options record, and reading it back
// with the replacements for 0, empty or too large numbers.
#include "convert/panel_values.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace capstore {
namespace {

bool flag(int value) { return value != 0; }

// 0 and non-numbers become `low`, numbers above `high` become `high`;
// the control shows the number used.
int read_number(std::string& text, int low, int high) {
    long long n = edit_number(text);
    if (n < low) n = low;
    if (n > high) n = high;
    text = std::to_string(n);
    return static_cast<int>(n);
}

}  // namespace

long long edit_number(const std::string& text) {
    long long n = 0;
    bool any = false;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c)) && !any) continue;
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        any = true;
        n = std::min(n * 10 + (c - '0'), 100000000000LL);
    }
    return n;
}

PanelValues panel_from_options(const ConvertOptions& o) {
    PanelValues v;
    v.format = o.Format;
    v.line = o.Line;
    v.start = std::to_string(o.Start);
    v.blocks = std::to_string(o.Blocks);
    v.save_path = std::string(o.SavePath, strnlen(o.SavePath, sizeof o.SavePath));
    v.max_lines = std::to_string(o.MaxLines);
    v.translate = o.PrintFormat == PrintFormatTranslate;
    v.print_data = o.PrintData;
    v.no_guide = flag(o.GuideCut);
    v.line_state = o.LineStateCut == 0;
    v.no_time_stamp = flag(o.TimeStampCut);
    v.no_idle_time = flag(o.IdleTimeCut);
    v.frame = o.TranslateFrame;
    v.packet = o.TranslatePacket;
    std::memcpy(v.include, o.DisplayLineState, sizeof v.include);
    v.csv_form = o.CsvForm;
    v.csv_data = o.CsvData;
    v.width = std::to_string(o.Width);
    v.delimit = std::string(o.Delimit, strnlen(o.Delimit, sizeof o.Delimit));
    return v;
}

void read_panel(PanelValues& v, ConvertOptions& o) {
    o.Format = v.format;
    o.Line = v.line;
    // Four digits: the edits take at most 9999 and the library limits further.
    o.Start = read_number(v.start, 1, 9999);
    o.Blocks = read_number(v.blocks, 1, 9999);
    o.MaxLines = read_number(v.max_lines, 1, 999999);
    if (v.format == 0) {
        o.PrintFormat = v.translate ? 1 : 0;
        o.PrintData = v.print_data;
        o.GuideCut = v.no_guide;
        o.TimeStampCut = v.no_time_stamp;
        o.IdleTimeCut = v.no_idle_time;
        o.LineStateCut = v.line_state ? 0 : 1;
        o.TranslateFrame = v.frame;
        o.TranslatePacket = v.packet;
        std::memcpy(o.DisplayLineState, v.include, sizeof o.DisplayLineState);
    } else {
        o.CsvForm = v.csv_form;
        o.CsvData = v.csv_data;
        o.Width = read_number(v.width, 1, 256);
        const std::string d = v.delimit.substr(0, kDelimitLimit);
        std::memset(o.Delimit, 0, sizeof o.Delimit);
        std::memcpy(o.Delimit, d.data(), d.size());
    }
}

}  // namespace capstore
