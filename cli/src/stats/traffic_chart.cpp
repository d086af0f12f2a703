// The chart: one pass over the rows for the scale, then one per layer (bars,
// marks, each signal's band), each streamed into the file.
#include "stats/traffic_chart.h"

#include <algorithm>
#include <bit>
#include <functional>

#include "platform/whole_file.h"
#include "stats/svg_writer.h"

namespace cli {
namespace {

constexpr double kLeft = 80, kPlotWidth = 1000, kRight = 20;
constexpr double kTop = 40, kPanel = 140, kPanelGap = 24, kMarkRow = 18, kBand = 14, kBandGap = 4;

// The rows of the chart, from the seconds in memory or the minutes' spool.
class Rows {
public:
    explicit Rows(StatsResult& r) : r_(r), seconds_(r.seconds.usable()) {}
    int width() const { return seconds_ ? 1 : 60; }
    bool each(const std::function<void(const BucketRow&)>& f) {
        if (seconds_) {
            for (const BucketRow& row : r_.seconds.rows()) f(row);
            return true;
        }
        if (!r_.minutes.rewind()) return false;
        BucketRow row;
        while (r_.minutes.next(row)) f(row);
        return true;
    }

private:
    StatsResult& r_;
    bool seconds_;
};

struct Scale {
    StatTime first = kNoTime, last = kNoTime;  // first bucket, end of the last
    std::int64_t top = 1;                      // the highest bar
    std::uint8_t signals = 0;                  // signals with a known state
    bool any = false;

    double x(StatTime t) const {
        if (first == kNoTime || last <= first) return kLeft;
        return kLeft + static_cast<double>(t - first) * kPlotWidth / static_cast<double>(last - first);
    }
};

// Tick steps in seconds: the first that gives at most eight ticks.
StatTime tick_step(StatTime span) {
    static constexpr StatTime kSteps[] = {1,   5,    10,   15,   30,    60,    120,   300,  600,
                                          900, 1800, 3600, 7200, 10800, 21600, 43200, 86400};
    for (StatTime s : kSteps)
        if (span / s <= 8) return s;
    return (span / 8 / 86400 + 1) * 86400;
}

std::string tick_text(StatTime t, StatTime step) { return step < 60 ? time_text(t) : minute_text(t); }

class Chart {
public:
    Chart(SvgWriter& svg, Rows& rows, const LineStats& s) : svg_(svg), rows_(rows), s_(s) {}

    bool scale() {
        return rows_.each([this](const BucketRow& r) {
            sc_.any = true;
            if (r.bucket != kNoTime) {
                if (sc_.first == kNoTime) sc_.first = r.bucket;
                sc_.last = r.bucket + rows_.width();
            }
            sc_.top = std::max({sc_.top, r.chars[0], r.chars[1]});
            sc_.signals |= r.signals_known;
        });
    }

    double height() const { return bottom() + 50; }

    bool draw(const StatsHeading& h) {
        const std::string unit = rows_.width() == 1 ? "second" : "minute";
        svg_.text_element("text", {{"x", svg_number(kLeft)}, {"y", "22"}, {"class", "head"}},
                          cat(h.buffer, " \xE2\x80\x94 ", mode_name(s_.mode), ", characters per ", unit));
        for (int d = 0; d < 2; ++d) panel(d, unit);
        if (!marks()) return false;
        int n = 0;
        for (int k = 0; k < kSignals; ++k)
            if (sc_.signals & (0x80 >> k))
                if (!band(k, bands_top() + n++ * (kBand + kBandGap))) return false;
        axis();
        legend();
        return true;
    }

private:
    double panel_top(int d) const { return kTop + d * (kPanel + kPanelGap); }
    double marks_top() const { return panel_top(1) + kPanel + 6; }
    double bands_top() const { return marks_top() + 2 * kMarkRow + 6; }
    double bottom() const {
        return bands_top() + std::popcount(static_cast<unsigned>(sc_.signals)) * (kBand + kBandGap);
    }

    // The width of one minute (or second), and of its bar.
    double slot_width() const {
        return sc_.first == kNoTime ? kPlotWidth : sc_.x(sc_.first + rows_.width()) - sc_.x(sc_.first);
    }
    double bar_width() const {
        const double w = slot_width();
        return w > 3 ? w - 1 : std::max(w, 0.5);
    }
    double x_of(const BucketRow& r) const {
        return sc_.first == kNoTime ? kLeft : sc_.x(r.bucket == kNoTime ? sc_.first : r.bucket);
    }

    void panel(int d, const std::string& unit) {
        const double top = panel_top(d);
        const char* name = d == 0 ? "SD" : "RD";
        svg_.element("rect", {{"x", svg_number(kLeft)},
                              {"y", svg_number(top)},
                              {"width", svg_number(kPlotWidth)},
                              {"height", svg_number(kPanel)},
                              {"class", "panel"}});
        svg_.text_element("text", {{"x", svg_number(kLeft - 6)}, {"y", svg_number(top + 12)}, {"class", "num"}},
                          std::to_string(sc_.top));
        svg_.text_element("text", {{"x", svg_number(kLeft - 6)}, {"y", svg_number(top + kPanel)}, {"class", "num"}},
                          "0");
        svg_.text_element(
            "text", {{"x", svg_number(kLeft - 6)}, {"y", svg_number(top + kPanel / 2)}, {"class", "label"}}, name);
        svg_.open("g", {{"class", d == 0 ? "sd" : "rd"}});
        const double w = bar_width();
        rows_.each([&](const BucketRow& r) {
            const std::int64_t n = r.chars[d];
            if (n == 0) return;
            const double hgt = std::max(1.0, static_cast<double>(n) * kPanel / static_cast<double>(sc_.top));
            svg_.titled("rect",
                        {{"x", svg_number(x_of(r))},
                         {"y", svg_number(top + kPanel - hgt)},
                         {"width", svg_number(w)},
                         {"height", svg_number(hgt)},
                         {"class", "bar"},
                         {"data-minute", minute_text(r.bucket)},
                         {"data-count", std::to_string(n)}},
                        cat(time_text(r.bucket), " ", name, ": ", std::to_string(n), " characters in this ", unit));
        });
        svg_.close();
    }

    // Error marks (a red triangle) and data-loss marks (an orange diamond) in two rows under the panels.
    bool marks() {
        const double y0 = marks_top();
        svg_.text_element("text", {{"x", svg_number(kLeft - 6)}, {"y", svg_number(y0 + 12)}, {"class", "label"}},
                          "errors");
        svg_.text_element(
            "text", {{"x", svg_number(kLeft - 6)}, {"y", svg_number(y0 + kMarkRow + 12)}, {"class", "label"}}, "lost");
        const double half = std::min(bar_width(), 10.0) / 2 + 2;
        return rows_.each([&](const BucketRow& r) {
            const double cx = x_of(r) + bar_width() / 2;
            if (r.errors > 0) {
                const std::string d = cat("M", svg_number(cx), " ", svg_number(y0 + 2), "l", svg_number(half), " 12h",
                                          svg_number(-2 * half), "z");
                svg_.titled("path", {{"d", d}, {"class", "error"}, {"data-count", std::to_string(r.errors)}},
                            cat(time_text(r.bucket), ": ", std::to_string(r.errors), " errors"));
            }
            if (r.lost > 0) {
                const double y = y0 + kMarkRow + 8;
                const std::string d = cat("M", svg_number(cx), " ", svg_number(y - 6), "l6 6l-6 6l-6 -6z");
                svg_.titled("path", {{"d", d}, {"class", "lost"}, {"data-count", std::to_string(r.lost)}},
                            cat(time_text(r.bucket), ": ", std::to_string(r.lost), " data-loss marks"));
            }
        });
    }

    // One signal's band: runs of on, off and changed, the state at the end of
    // a row carried over the quiet stretch after it.
    bool band(int k, double y) {
        const int bit = 0x80 >> k;
        svg_.text_element("text", {{"x", svg_number(kLeft - 6)}, {"y", svg_number(y + kBand - 3)}, {"class", "label"}},
                          kSignalNames[k]);
        const char* state = nullptr;
        double from = kLeft, to = kLeft;
        auto emit = [&] {
            if (state == nullptr || to <= from) return;
            svg_.titled("rect",
                        {{"x", svg_number(from)},
                         {"y", svg_number(y)},
                         {"width", svg_number(to - from)},
                         {"height", svg_number(kBand)},
                         {"class", state}},
                        cat(kSignalNames[k], " ", state));
        };
        auto stretch = [&](const char* st, double x0, double x1) {
            if (x1 <= x0) return;
            if (st == state && x0 <= to + 0.01) {
                to = std::max(to, x1);
                return;
            }
            emit();
            state = st, from = x0, to = x1;
        };
        const char* carried = nullptr;
        double pos = kLeft;
        const double slot = slot_width();
        const bool ok = rows_.each([&](const BucketRow& r) {
            const double x = x_of(r);
            stretch(carried, pos, x);
            const char* own = nullptr;
            if (r.signals_known & bit) {
                const bool on = r.signals_on & bit, off = r.signals_off & bit;
                own = on && off ? "changed" : on ? "on" : "off";
                carried = (r.signals_end & bit) ? "on" : "off";
            }
            stretch(own, x, x + slot);
            pos = std::max(pos, x + slot);
        });
        stretch(carried, pos, kLeft + kPlotWidth);
        emit();
        return ok;
    }

    void axis() {
        const double y = bottom() + 4;
        svg_.element("line", {{"x1", svg_number(kLeft)},
                              {"y1", svg_number(y)},
                              {"x2", svg_number(kLeft + kPlotWidth)},
                              {"y2", svg_number(y)},
                              {"class", "axis"}});
        if (sc_.first == kNoTime) {
            svg_.text_element("text", {{"x", svg_number(kLeft)}, {"y", svg_number(y + 16)}, {"class", "tick"}},
                              "no time stamps recorded");
            return;
        }
        const StatTime step = tick_step(sc_.last - sc_.first);
        for (StatTime t = (sc_.first + step - 1) / step * step; t <= sc_.last; t += step) {
            const double x = sc_.x(t);
            svg_.element("line", {{"x1", svg_number(x)},
                                  {"y1", svg_number(kTop)},
                                  {"x2", svg_number(x)},
                                  {"y2", svg_number(y + 4)},
                                  {"class", "grid"}});
            svg_.text_element("text", {{"x", svg_number(x)}, {"y", svg_number(y + 16)}, {"class", "tick"}},
                              tick_text(t, step));
        }
    }

    void legend() {
        const double y = bottom() + 30;
        double x = kLeft;
        for (const char* cls : {"on", "off", "changed"}) {
            svg_.element(
                "rect",
                {{"x", svg_number(x)}, {"y", svg_number(y)}, {"width", "12"}, {"height", "10"}, {"class", cls}});
            svg_.text_element("text", {{"x", svg_number(x + 16)}, {"y", svg_number(y + 9)}, {"class", "key"}},
                              cat("signal ", cls));
            x += 110;
        }
        svg_.element("path",
                     {{"d", cat("M", svg_number(x + 6), " ", svg_number(y), "l6 10h-12z")}, {"class", "error"}});
        svg_.text_element("text", {{"x", svg_number(x + 16)}, {"y", svg_number(y + 9)}, {"class", "key"}}, "errors");
        x += 80;
        svg_.element("path", {{"d", cat("M", svg_number(x + 6), " ", svg_number(y - 1), "l6 6l-6 6l-6 -6z")},
                              {"class", "lost"}});
        svg_.text_element("text", {{"x", svg_number(x + 16)}, {"y", svg_number(y + 9)}, {"class", "key"}}, "data lost");
    }

    SvgWriter& svg_;
    Rows& rows_;
    const LineStats& s_;
    Scale sc_;
};

void add_styles(SvgWriter& svg) {
    svg.style("head", {{"font-size", "13"}, {"font-weight", "bold"}});
    for (const char* cls : {"num", "label"}) svg.style(cls, {{"text-anchor", "end"}});
    svg.style("tick", {{"text-anchor", "middle"}});
    svg.style("panel", {{"fill", "#fafafa"}, {"stroke", "#cccccc"}});
    svg.style("axis", {{"stroke", "#444444"}});
    svg.style("grid", {{"stroke", "#dddddd"}});
    svg.style("bar", {{"stroke", "none"}});
    svg.style("sd", {{"fill", "#2a6fb0"}});
    svg.style("rd", {{"fill", "#3b9a57"}});
    svg.style("error", {{"fill", "#d62728"}});
    svg.style("lost", {{"fill", "#ff9f1c"}});
    svg.style("on", {{"fill", "#7cc47c"}, {"stroke", "none"}});
    svg.style("off", {{"fill", "#d9d9d9"}, {"stroke", "none"}});
    svg.style("changed", {{"fill", "#f2c14e"}, {"stroke", "none"}});
}

platform::Status unreadable_rows(const std::string& path) {
    return platform::Status::failureWithMessage("read", path, 0, "cannot read back the per-minute rows for the chart");
}

}  // namespace

platform::Status write_traffic_chart(const std::string& path, StatsResult& result, const StatsHeading& heading) {
    platform::WholeFile file;
    if (auto s = file.open(path); !s.ok()) return s;
    Rows rows(result);
    SvgWriter svg([&file](std::string_view bytes) { return file.write(bytes).ok(); });
    Chart chart(svg, rows, result.stats);
    if (!chart.scale()) return unreadable_rows(path);
    const double width = kLeft + kPlotWidth + kRight, height = chart.height();
    svg.begin({{"xmlns", "http://www.w3.org/2000/svg"},
               {"width", svg_number(width)},
               {"height", svg_number(height)},
               {"viewBox", cat("0 0 ", svg_number(width), " ", svg_number(height))},
               {"font-family", "sans-serif"},
               {"font-size", "11"}});
    svg.text_element("title", {}, cat("zamvex stats: ", heading.buffer));
    add_styles(svg);
    if (!chart.draw(heading)) return unreadable_rows(path);
    if (!svg.finish() || !file.commit().ok()) {
        if (!file.status().ok()) return file.status();
        return platform::Status::failureWithMessage("write", path, 0, cat("cannot write '", path, "'"));
    }
    return {};
}

}  // namespace cli
