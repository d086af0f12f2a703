// Numbering rules for flat and ring buffers.
#include "buffer/block_numbering.h"

#include "pcbuffer/buffer_names.h"

namespace commlib {

NextBlock DecideNextBlock(const BlockRange& range, const BlockLimits& limits) {
    if (!limits.hasFolder || limits.maxBlocks <= 0) return NextBlock::Fail;
    if (range.nextBlock >= pcbuffer::kBlockNumberLimit) return NextBlock::Drop;
    if (range.blockCount >= limits.maxBlocks && !limits.ring) return NextBlock::Drop;
    return NextBlock::Create;
}

void CloseBlock(BlockRange& range) {
    ++range.nextBlock;
    ++range.blockCount;
}

std::vector<int> TrimRing(BlockRange& range, const BlockLimits& limits) {
    std::vector<int> dropped;
    // Without a positive limit the loop would never end; such a buffer stores nothing anyway.
    if (!limits.ring || limits.maxBlocks <= 0) return dropped;
    while (range.blockCount >= limits.maxBlocks) {
        const int oldest = range.nextBlock - range.blockCount;
        dropped.push_back(oldest);
        range.firstBlock = oldest + 1;
        --range.blockCount;
    }
    return dropped;
}

}  // namespace commlib
