// The program data set: 8192 bytes with no special rules.
#include "datasets/program_set.h"

#include <algorithm>

namespace commlib {

ProgramSet::ProgramSet(int model) : DataSet(MagicProgram, model, ProgramSize) {}

int ProgramSet::ReceiveAt(int offset, const void* src, int n) { return StoreAt(ProgramSize, offset, src, n); }

int ProgramSet::ReadAt(int offset, void* dst, int* n) { return CopyOut(ProgramSize, offset, dst, n); }

void* ProgramSet::GetBody() { return complete_ ? body_.data() : nullptr; }

bool ProgramSet::Save(const char* path) { return complete_ && SaveParts(path, ProgramSize); }

bool ProgramSet::Load(const char* path) {
    complete_ = false;
    std::vector<std::uint8_t> data;
    if (!LoadBody(path, ProgramSize, data) || data.size() < static_cast<std::size_t>(ProgramSize)) return false;
    std::copy(data.begin(), data.end(), body_.begin());
    complete_ = true;
    return true;
}

}  // namespace commlib
