// The setup data set, including the 880-byte form of older analyzers.
#include "datasets/setup_set.h"

#include <algorithm>

namespace commlib {

SetupSet::SetupSet(int model) : DataSet(MagicSetup, model, SetupSize) {}

int SetupSet::ReceiveAt(int offset, const void* src, int n) {
    const int missing = StoreAt(SetupSize, offset, src, n);
    if (!complete_ && receivePos_ == SetupShortSize) {
        // Older analyzers stop here. The fields they lack are zero except four
        // that newer firmware keeps twice; take them from their first place.
        std::fill(body_.begin() + SetupShortSize, body_.begin() + SetupSize, 0);
        body_[880] = body_[2];
        body_[881] = body_[3];
        body_[882] = body_[4];
        body_[908] = body_[381];
        complete_ = true;
    }
    return missing;
}

int SetupSet::ReadAt(int offset, void* dst, int* n) { return CopyOut(SetupSize, offset, dst, n); }

void* SetupSet::GetBody() { return complete_ ? body_.data() : nullptr; }

bool SetupSet::Save(const char* path) { return complete_ && SaveParts(path, SetupSize); }

bool SetupSet::Load(const char* path) {
    complete_ = false;
    std::vector<std::uint8_t> data;
    if (!LoadBody(path, SetupSize, data) || data.size() < static_cast<std::size_t>(SetupSize)) return false;
    std::copy(data.begin(), data.end(), body_.begin());
    complete_ = true;
    return true;
}

}  // namespace commlib
