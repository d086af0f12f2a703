// The analyzer's tables: a 68-byte head of 17 little-endian cell offsets,
// whose last one (the 16-bit value at offset 64) is the cell count n, then
// 2 x n bytes of 16-bit cells; room for 16,452 bytes in all.
#pragma once
#include "commlib/analyzer_words.h"
#include "datasets/data_set.h"

namespace commlib {

inline constexpr int TableCountOffset = 64;

class TableSet : public DataSet {
public:
    explicit TableSet(int model);
    int ReceiveAt(int offset, const void* src, int n) override;
    int ReadAt(int offset, void* dst, int* n) override;
    // The head goes out alone: a piece that would cross offset 68 ends there.
    int ReadNext(void* dst, int* n) override;
    void* GetBody() override;
    bool Save(const char* path) override;
    bool Load(const char* path) override;

    // 68 + 2 x the count at offset 64, kept within 68..16,452 for reading.
    int SizeInForce() const;
};

}  // namespace commlib
