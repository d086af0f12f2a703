// The print format's blocks of 28 columns, for the print routines and the
// control sequences' translation: the columns' words (with line states, the
// state in force at each), their four rendered lines, the line-state lines
// under them, and their printing through the job.
#pragma once
#include <cstdint>
#include <memory>
#include <span>

#include "code_tables.h"
#include "print/column_renderer.h"
#include "textlib/text_convert.h"

namespace textlib {

class ConvertJob;

// The header box (print/header_box.h) of the job's buffer, through the job:
// it opens every print and translation output.
bool PrintHeader(ConvertJob& job);

class PrintBlocks {
public:
    static constexpr int kColumns = 28;

    // `mode` is print Data's (0 CharHex, 1 Char, 2 Hex); the cells are
    // pictured through `page`.
    PrintBlocks(ConvertJob& job, int mode, const CodePage& page);

    // Takes the next records of the job's reader into the columns and renders
    // their cells; with line states each column also gets the state in force.
    void Fill(bool withLineStates);
    // The columns' words, for a layout that fills them itself (PrintBlock
    // renders them); zero past the data.
    std::span<std::uint32_t, kColumns> Words() { return columns_.word; }
    // No word in the block: the data or the range has ended.
    bool Empty() const { return columns_.word[0] == 0; }
    // Renders the columns' words and prints the block.
    bool PrintBlock();
    // The sections of a block whose lines Fill rendered already.
    bool PrintRenderedBlock();
    // The lines of the selected line signals under the block.
    bool PrintLineStates();

private:
    // The four print lines of the block of columns, rendered together.
    using Renderer = ColumnRenderer<kColumns>;

    // The signal lines of the last block of columns and the states they show.
    struct LineStateLines {
        bool valid = false;
        std::uint32_t states[kColumns] = {};
        int signals = 0;
        char text[8][3 + 2 * kColumns] = {};
    };

    struct Columns {
        int count = kColumns;
        int mode = 0;   // print Data: 0 CharHex, 1 Char, 2 Hex
        CodePage page;  // tables of the CODE byte of the data-info body
        std::uint32_t word[kColumns] = {};
        std::uint32_t state[kColumns] = {};
    };

    SpecialRow BlockSpecials() const;
    void RenderColumns(const SpecialRow& row);
    void RenderLineStates(std::size_t at);
    bool PrintSection(bool rd);
    bool PrintLine(const char* guide, int rendered);
    bool BlockInError() const;

    ConvertJob& job_;
    const ConvertOptions& options_;
    Columns columns_;
    std::unique_ptr<CellPictures> pictures_;  // of columns_.page
    char rendered_[Renderer::kLines][2 * kColumns] = {};
    LineStateLines lineStates_;
};

}  // namespace textlib
