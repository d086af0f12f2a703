// The measurement-information data set behind "datainfo.mkw".
#include "datasets/info_set.h"
#include "pcbuffer/buffer_names.h"

#include <algorithm>

namespace commlib {

InfoSet::InfoSet(int model) : DataSet(pcbuffer::kInfoMagic, model, pcbuffer::kInfoBodySize) {}

int InfoSet::ReceiveAt(int offset, const void* src, int n) {
    // Only the conditions come from the analyzer; the capture writer fills
    // the rest of the body in place, and that must survive a new 0x8100 item.
    return StoreAt(InfoReceiveSize, offset, src, n);
}

void* InfoSet::GetBody() { return complete_ ? body_.data() : nullptr; }

bool InfoSet::Save(const char* path) { return complete_ && SaveParts(path, pcbuffer::kInfoBodySize); }

bool InfoSet::Load(const char* path) {
    complete_ = false;
    std::vector<std::uint8_t> data;
    if (!LoadBody(path, pcbuffer::kInfoBodySize, data) ||
        data.size() < static_cast<std::size_t>(pcbuffer::kInfoBodySize))
        return false;
    std::copy(data.begin(), data.end(), body_.begin());
    complete_ = true;
    return true;
}

}  // namespace commlib
