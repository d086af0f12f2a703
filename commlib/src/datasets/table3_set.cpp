// The third table: a fixed part and an extra part whose length the fixed part
// gives. Pieces may run from one part into the other in either direction.
#include "datasets/table3_set.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "platform/little_endian.h"

namespace commlib {

Table3Set::Table3Set(int model) : DataSet(MagicTable, model, Table3FixedSize) {}

int Table3Set::TotalSize() const { return Table3FixedSize + (extraReady_ ? static_cast<int>(extra_.size()) : 0); }

// Called once the fixed part is complete: sizes the extra part from the
// length at offset 2034. A negative or oversized length, or a failed
// allocation, leaves no extra part and the set cannot complete.
bool Table3Set::PrepareExtra() {
    const std::int32_t length = platform::readInt32(body_.data() + Table3ExtraLengthOffset);
    if (extraReady_ && length >= 0 && static_cast<std::size_t>(length) == extra_.size()) return true;
    extraReady_ = false;
    extra_.clear();
    if (length < 0 || length > Table3MaxExtra) return false;
    try {
        extra_.assign(static_cast<std::size_t>(length), 0);
    } catch (const std::bad_alloc&) {
        return false;
    }
    extraReady_ = true;
    return true;
}

int Table3Set::ReceiveAt(int offset, const void* src, int n) {
    if (offset == 0) {
        // A new transfer: the previous extra part goes.
        complete_ = false;
        std::vector<std::uint8_t>().swap(extra_);
        extraReady_ = false;
    }
    // Like every set, a piece that would leave a hole is not stored.
    if (offset < 0 || offset > receivePos_ || offset > TotalSize()) return TotalSize() - receivePos_;
    const auto* bytes = static_cast<const std::uint8_t*>(src);
    int left = bytes ? std::max(n, 0) : 0;
    int pos = offset;
    const int fixedPart = std::clamp(Table3FixedSize - pos, 0, left);
    if (fixedPart > 0) {
        std::memcpy(body_.data() + pos, bytes, static_cast<std::size_t>(fixedPart));
        pos += fixedPart;
        bytes += fixedPart;
        left -= fixedPart;
    }
    receivePos_ = pos;
    if (pos < Table3FixedSize) return TotalSize() - pos;
    if ((fixedPart > 0 || !extraReady_) && !PrepareExtra()) return 0;

    const int extraPart = std::min(left, TotalSize() - pos);
    if (extraPart > 0) {
        std::memcpy(extra_.data() + (pos - Table3FixedSize), bytes, static_cast<std::size_t>(extraPart));
        pos += extraPart;
    }
    receivePos_ = pos;
    if (pos >= TotalSize()) complete_ = true;
    return TotalSize() - pos;
}

int Table3Set::ReadAt(int offset, void* dst, int* n) {
    const int total = TotalSize();
    if (!n) return 0;
    if (offset < 0 || offset > total || *n < 0 || (!dst && *n > 0)) {
        *n = 0;
        return 0;
    }
    const int count = std::min(*n, total - offset);
    auto* out = static_cast<std::uint8_t*>(dst);
    const int fromFixed = std::clamp(Table3FixedSize - offset, 0, count);
    if (fromFixed > 0) std::memcpy(out, body_.data() + offset, static_cast<std::size_t>(fromFixed));
    if (count > fromFixed)
        std::memcpy(out + fromFixed, extra_.data() + (offset + fromFixed - Table3FixedSize),
                    static_cast<std::size_t>(count - fromFixed));
    *n = count;
    sendPos_ = offset + count;
    return total - sendPos_;
}

int Table3Set::ReadNext(void* dst, int* n) {
    if (n && sendPos_<Table3FixedSize&& * n> Table3FixedSize - sendPos_) *n = Table3FixedSize - sendPos_;
    return ReadAt(sendPos_, dst, n);
}

void* Table3Set::GetBody() { return complete_ ? body_.data() : nullptr; }

bool Table3Set::Save(const char* path) {
    return complete_ && SaveParts(path, Table3FixedSize, std::span<const std::uint8_t>(extra_));
}

bool Table3Set::Load(const char* path) {
    complete_ = false;
    std::vector<std::uint8_t> data;
    // The read is bounded by the largest extra part we accept, whatever the file claims.
    if (!LoadBody(path, Table3FixedSize + Table3MaxExtra, data) ||
        data.size() < static_cast<std::size_t>(Table3FixedSize))
        return false;
    const std::int32_t length = platform::readInt32(data.data() + Table3ExtraLengthOffset);
    if (length < 0 || length > Table3MaxExtra ||
        data.size() < static_cast<std::size_t>(Table3FixedSize) + static_cast<std::size_t>(length))
        return false;
    std::copy_n(data.begin(), Table3FixedSize, body_.begin());
    extra_.assign(data.begin() + Table3FixedSize, data.begin() + Table3FixedSize + length);
    extraReady_ = true;
    complete_ = true;
    return true;
}

}  // namespace commlib
