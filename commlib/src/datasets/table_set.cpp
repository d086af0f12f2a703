// The table data set: a 68-byte head whose cell count decides how many cell
// bytes follow. The count comes from the analyzer or a file, so every use of
// it is kept inside the fixed 16,452-byte body.
#include "datasets/table_set.h"

#include <algorithm>

#include "platform/little_endian.h"

namespace commlib {

namespace {
// Bytes a table with this head needs: 68 + 2n, never less than the head.
int RequiredSize(const std::vector<std::uint8_t>& body) {
    const int cells = platform::readInt16(body.data() + TableCountOffset);
    return std::max(TableHeadSize, TableHeadSize + 2 * cells);
}
}  // namespace

TableSet::TableSet(int model) : DataSet(MagicTable, model, TableCapacity) {}

int TableSet::SizeInForce() const { return std::min(RequiredSize(body_), TableCapacity); }

int TableSet::ReceiveAt(int offset, const void* src, int n) {
    StoreBytes(TableCapacity, offset, src, n);
    if (receivePos_ < TableHeadSize) return TableHeadSize - receivePos_;
    // A count above 8192 asks for more than the body holds: such a table never completes.
    const int required = RequiredSize(body_);
    if (receivePos_ >= required) complete_ = true;
    return required - receivePos_;
}

int TableSet::ReadAt(int offset, void* dst, int* n) { return CopyOut(SizeInForce(), offset, dst, n); }

int TableSet::ReadNext(void* dst, int* n) {
    if (n && sendPos_<TableHeadSize&& * n> TableHeadSize - sendPos_) *n = TableHeadSize - sendPos_;
    return ReadAt(sendPos_, dst, n);
}

void* TableSet::GetBody() { return complete_ ? body_.data() : nullptr; }

bool TableSet::Save(const char* path) { return complete_ && SaveParts(path, SizeInForce()); }

bool TableSet::Load(const char* path) {
    complete_ = false;
    std::vector<std::uint8_t> data;
    if (!LoadBody(path, TableCapacity, data) || data.size() < static_cast<std::size_t>(TableHeadSize)) return false;
    if (data.size() < static_cast<std::size_t>(RequiredSize(data))) return false;
    std::copy(data.begin(), data.end(), body_.begin());
    std::fill(body_.begin() + static_cast<std::ptrdiff_t>(data.size()), body_.end(), 0);
    complete_ = true;
    return true;
}

}  // namespace commlib
