// What `convert`, `export` and `stats` read: a PC buffer folder, whose blocks a job
// takes from --start on, or one single data file, which is checked to be one.
#pragma once
#include <optional>
#include <string>

#include "pcbuffer/buffer_names.h"

namespace cli {

struct BlockChoice {
    int start = 1;     // first block, 1 = the oldest
    int blocks = 0;    // blocks the job takes
    int left_out = 0;  // blocks after the job's last one that it does not take
};

// The blocks of a folder holding `held` blocks: `blocks` from `start` when
// given, else every block from `start` on up to pcbuffer::kMaxBlocksLimit. nullopt with
// the reason when `start` is past the last block.
std::optional<BlockChoice> choose_blocks(int held, int start, std::optional<int> blocks, std::string& error);

// "N blocks after block M were left out ..." for a choice that left some out; else empty.
std::string left_out_note(const BlockChoice& choice);

// What a job reads of the buffer at `path`. A folder holding blocks gets its
// choice (from `start`, `blocks` when given) and the note on blocks left out;
// a file is checked to be a single data file. A folder without blocks, or a
// path that is not there, is left to the reader, which names the problem.
struct BufferInput {
    int held = 0;                       // block files of the folder; 0 for a file or nothing to choose from
    std::optional<BlockChoice> choice;  // set when held > 0
    std::string note;                   // left_out_note of the choice
};
// nullopt with the reason (a start past the last block, a file that is not a data file).
// `blocks` is the job's block count: the user's when `blocks_given`, and set to
// the chosen count once a folder's blocks are chosen.
std::optional<BufferInput> choose_input(const std::string& path, int start, int& blocks, bool blocks_given,
                                        std::string& error);

// Where `convert` and `export` write when not told: the buffer's path (a
// final '/' dropped; "." or ".." by its real name) followed by `suffix`.
std::string beside_buffer(const std::string& buffer, const std::string& suffix);

// Makes a new folder `base`, or `base`-2, `base`-3, ... when that exists, so
// nothing goes into an existing folder. Its path, or nullopt with the reason.
std::optional<std::string> make_new_folder(const std::string& base, std::string& error);

// What `convert`, `export` and `stats` say when the buffer at `path` cannot be
// opened (no PC buffer there, or its files are damaged): the conversion's text and the path.
std::string unreadable_buffer_text(const std::string& path);

// Why the file at `path` is not a single data file (a block file or the
// information file of a buffer folder, or too short); empty when it may be one.
std::string single_file_problem(const std::string& path);

}  // namespace cli
