// The analyzer's program: 512 steps of 16 bytes.
#pragma once
#include "commlib/analyzer_words.h"
#include "datasets/data_set.h"

namespace commlib {

class ProgramSet : public DataSet {
public:
    explicit ProgramSet(int model);
    int ReceiveAt(int offset, const void* src, int n) override;
    int ReadAt(int offset, void* dst, int* n) override;
    void* GetBody() override;
    bool Save(const char* path) override;
    bool Load(const char* path) override;
};

}  // namespace commlib
