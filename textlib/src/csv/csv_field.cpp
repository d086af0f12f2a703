// CSV fields of character cells. Table pictures go between double quotes so a
// spreadsheet keeps "," or a leading space as text; the quote character itself
// is doubled inside its quotes as CSV readers expect.
#include "csv/csv_field.h"

#include "print/print_cells.h"
#include "textlib/buffer_format.h"

namespace textlib {
namespace {

constexpr int kLastMarkStatus = 12;  // statuses above have no character in this direction

CsvFieldText Text(const char* s, std::size_t n) {
    CsvFieldText f{{}, n};
    for (std::size_t i = 0; i < n; ++i) f.text[i] = s[i];
    return f;
}

CsvFieldText CharField(std::uint16_t cell, const CodePage& page) {
    const int status = CellStatus(cell);
    const int ch = CellChar(cell);
    if (status > 1) return Text(kStatusMarks[status], 2);  // marks go out bare
    if (ch > page.highest) return Text("", 0);             // above the code, or a code without tables
    const CellText picture = CodeCell(page, status == 1, ch);
    if (page.hex) return Text(picture.data(), 2);
    if (picture[0] != ' ') {
        const char quoted[] = {'"', picture[0], picture[1], '"'};
        return Text(quoted, 4);
    }
    if (picture[1] == '"') return Text("\"\"\"\"", 4);
    const char quoted[] = {'"', picture[1], '"'};
    return Text(quoted, 3);
}

}  // namespace

CsvFieldText CsvField(std::uint16_t cell, int mode, const CodePage& page) {
    const int status = CellStatus(cell);
    if (status > kLastMarkStatus) return Text("", 0);
    CsvFieldText f{{}, 0};
    switch (mode) {
    case kCsvHex: {
        const int ch = CellChar(cell);
        const char hex[] = {kHexDigits[ch >> 4], kHexDigits[ch & 0xF]};
        return Text(hex, 2);
    }
    case kCsvDec: {
        int ch = CellChar(cell);
        char digits[3];
        std::size_t n = 0;
        if (ch >= 100) digits[n++] = static_cast<char>('0' + ch / 100);
        if (ch >= 10) digits[n++] = static_cast<char>('0' + ch / 10 % 10);
        digits[n++] = static_cast<char>('0' + ch % 10);
        return Text(digits, n);
    }
    case kCsvChar: return CharField(cell, page);
    default: return f;
    }
}

}  // namespace textlib
