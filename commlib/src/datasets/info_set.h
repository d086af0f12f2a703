// The measurement information of a capture: a 2038-byte body of which the
// analyzer's conditions fill the first 388 bytes; the capture writer updates
// the rest in place and saves the whole body as "datainfo.mkw".
#pragma once
#include "commlib/analyzer_words.h"
#include "datasets/data_set.h"

namespace commlib {

inline constexpr int InfoReceiveSize = 388;

class InfoSet : public DataSet {
public:
    explicit InfoSet(int model);
    // Takes at most 388 bytes; complete once they are there.
    int ReceiveAt(int offset, const void* src, int n) override;
    // ReadAt stays the base one: nothing of this set is ever sent.
    void* GetBody() override;
    bool Save(const char* path) override;
    bool Load(const char* path) override;
};

}  // namespace commlib
