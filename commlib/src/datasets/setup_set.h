// The analyzer's setup: 910 bytes of settings. Older analyzers send only the
// first 880; the set is then complete with the later fields derived from them.
#pragma once
#include "commlib/analyzer_words.h"
#include "datasets/data_set.h"

namespace commlib {

class SetupSet : public DataSet {
public:
    explicit SetupSet(int model);
    int ReceiveAt(int offset, const void* src, int n) override;
    int ReadAt(int offset, void* dst, int* n) override;
    void* GetBody() override;
    bool Save(const char* path) override;
    bool Load(const char* path) override;
};

}  // namespace commlib
