// Block numbering of a measurement: when the next block file may be opened,
// what closing a block does, and which old blocks a ring buffer gives up.
// Pure rules over the three counters; the capture writer does the file work.
#pragma once
#include <vector>

namespace commlib {

struct BlockRange {
    int firstBlock = 0;  // oldest block in the buffer
    int nextBlock = 0;   // block being written
    int blockCount = 0;  // closed blocks in the buffer
    bool operator==(const BlockRange&) const = default;
};

struct BlockLimits {
    bool hasFolder = false;
    int maxBlocks = 0;
    bool ring = false;
};

enum class NextBlock {
    Fail,    // no folder or no blocks allowed: storing is impossible
    Drop,    // limit reached: open nothing, drop the records from now on
    Create,  // create block file nextBlock (replacing any file of that name)
};

// A measurement starts with block 0 and nothing closed.
inline BlockRange StartRange() { return {}; }

NextBlock DecideNextBlock(const BlockRange& range, const BlockLimits& limits);

// A block was closed: the next one gets the following number.
void CloseBlock(BlockRange& range);

// After the next block was created: with a ring buffer, gives up the oldest
// blocks while blockCount >= maxBlocks and returns their numbers, oldest
// first, for the caller to delete. Without ring nothing changes.
std::vector<int> TrimRing(BlockRange& range, const BlockLimits& limits);

}  // namespace commlib
