// The conversion panel's controls as plain values, filled from the options
// record and read back into it with every replacement rule.
#pragma once
#include <string>
#include <vector>

#include "textlib/text_convert.h"

namespace capstore {

struct PanelValues {
    int format = 0;                                             // 2011
    int line = 0;                                               // 2031
    std::string start;                                          // 2041
    std::string blocks;                                         // 2042
    std::string save_path;                                      // 2051
    std::string max_lines;                                      // 2061
    bool translate = false;                                     // 2102 ticked (else 2101)
    int print_data = 0;                                         // 2111
    bool no_guide = false;                                      // 2124
    bool line_state = false;                                    // 2121
    bool no_time_stamp = false;                                 // 2122
    bool no_idle_time = false;                                  // 2123
    int frame = 0;                                              // 2131
    int packet = 0;                                             // 2141
    signed char include[8] = {-1, -1, -1, -1, -1, -1, -1, -1};  // list 2160
    int csv_form = 0;                                           // 2201
    int csv_data = 0;                                           // 2211
    std::string width;                                          // 2221
    std::string delimit;                                        // 2231
};

// Digit limits of the numeric edits and the text limits.
inline constexpr int kBlockDigits = 4;  // the width of 1024
inline constexpr int kLinesDigits = 6;  // the width of 999999
inline constexpr int kPathLimit = 259;
inline constexpr int kDelimitLimit = 15;

PanelValues panel_from_options(const ConvertOptions& options);

// Everything but the save folder, which the caller tests; replaced numbers
// are written back into `values`.
void read_panel(PanelValues& values, ConvertOptions& options);

// A numeric edit's value: its decimal digits, 0 when there are none.
long long edit_number(const std::string& text);

}  // namespace capstore
