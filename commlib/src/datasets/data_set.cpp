// The data-set base: the default operations of every slot and the receive,
// send, save and load rules that the concrete sets share.
#include "datasets/data_set.h"

#include <algorithm>
#include <cstring>

#include "datasets/data_set_io.h"

namespace commlib {

DataSet::DataSet(const char* magic, int model, int bodyCapacity)
    : header_(MakeHeader(magic, model)), body_(static_cast<std::size_t>(bodyCapacity), 0) {}

DataSet::~DataSet() = default;

void DataSet::Release() { delete this; }

bool DataSet::IsComplete() const { return complete_; }

int DataSet::ReceiveAt(int, const void*, int) { return 0; }

void DataSet::ResetReceive() { receivePos_ = 0; }

int DataSet::Append(const void* src, int n) { return ReceiveAt(receivePos_, src, n); }

int DataSet::ReadAt(int, void*, int* n) {
    if (n) *n = 0;
    return 0;
}

void DataSet::ResetSend() { sendPos_ = 0; }

int DataSet::ReadNext(void* dst, int* n) { return ReadAt(sendPos_, dst, n); }

void* DataSet::GetBody() { return nullptr; }

bool DataSet::Save(const char*) { return false; }

bool DataSet::Load(const char*) { return false; }

bool DataSet::StoreBytes(int limit, int offset, const void* src, int n) {
    if (offset == 0) complete_ = false;
    if (offset < 0 || offset > receivePos_ || offset > limit) return false;
    const int copied = (src && n > 0) ? std::min(n, limit - offset) : 0;
    if (copied > 0) std::memcpy(body_.data() + offset, src, static_cast<std::size_t>(copied));
    receivePos_ = offset + copied;
    return true;
}

int DataSet::StoreAt(int size, int offset, const void* src, int n) {
    if (StoreBytes(size, offset, src, n) && receivePos_ >= size) complete_ = true;
    return size - receivePos_;
}

int DataSet::CopyOut(int size, int offset, void* dst, int* n) {
    if (!n) return 0;
    if (offset < 0 || offset > size || *n < 0 || (!dst && *n > 0)) {
        *n = 0;
        return 0;
    }
    const int count = std::min(*n, size - offset);
    if (count > 0) std::memcpy(dst, body_.data() + offset, static_cast<std::size_t>(count));
    *n = count;
    sendPos_ = offset + count;
    return size - sendPos_;
}

bool DataSet::SaveParts(const char* path, int size, std::span<const std::uint8_t> extra) const {
    const auto head = EncodeHeader(header_);
    return WriteFileParts(path, {std::span<const std::uint8_t>(head),
                                 std::span<const std::uint8_t>(body_.data(), static_cast<std::size_t>(size)), extra});
}

bool DataSet::LoadBody(const char* path, int limit, std::vector<std::uint8_t>& out) const {
    if (!ReadFilePrefix(path, DataSetHeaderSize + static_cast<std::size_t>(limit), out)) return false;
    if (out.size() < DataSetHeaderSize || !MagicMatches(out, header_.magic.data())) return false;
    out.erase(out.begin(), out.begin() + DataSetHeaderSize);
    return true;
}

}  // namespace commlib
