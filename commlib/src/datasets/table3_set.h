// The analyzer's third table: a fixed part of 2038 bytes whose int32 at offset
// 2034 gives the length E of an extra part that follows it. E comes from the
// analyzer or a file, so it is bounded before anything is allocated.
#pragma once
#include <cstdint>
#include <vector>

#include "datasets/data_set.h"

namespace commlib {

inline constexpr int Table3FixedSize = 2038;
inline constexpr int Table3ExtraLengthOffset = 2034;
// The largest extra part we accept; a longer (or negative) length leaves the set incomplete.
inline constexpr int Table3MaxExtra = 1 << 20;

class Table3Set : public DataSet {
public:
    explicit Table3Set(int model);
    int ReceiveAt(int offset, const void* src, int n) override;
    int ReadAt(int offset, void* dst, int* n) override;
    // The fixed part goes out alone: a piece that would cross offset 2038 ends there.
    int ReadNext(void* dst, int* n) override;
    void* GetBody() override;  // the fixed part
    bool Save(const char* path) override;
    bool Load(const char* path) override;

    // The extra part as far as it is allocated (empty before the fixed part is complete).
    const std::vector<std::uint8_t>& Extra() const { return extra_; }

private:
    int TotalSize() const;
    bool PrepareExtra();

    std::vector<std::uint8_t> extra_;
    bool extraReady_ = false;  // the fixed part was complete and extra_ has E bytes
};

}  // namespace commlib
