// Loads arbitrary file contents as every kind of data set. A file that loads
// must save and load again to the same bytes; nothing may read or write
// outside a body, whatever counts and lengths the file claims. The same bytes
// also go through the receive path in pieces, as an analyzer might send them.
#include <unistd.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "datasets/data_sets.h"

namespace {

using namespace commlib;

std::string TempPath() {
    char name[] = "/tmp/zamvex-dsfuzz-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) std::abort();
    ::close(fd);
    return name;
}

struct Files {
    std::string input = TempPath();
    std::string saved = TempPath();
    ~Files() {
        std::remove(input.c_str());
        std::remove(saved.c_str());
    }
};

Files& TheFiles() {
    static Files files;
    return files;
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        std::uint8_t chunk[4096];
        for (std::size_t n; (n = std::fread(chunk, 1, sizeof chunk, f)) > 0;)
            bytes.insert(bytes.end(), chunk, chunk + n);
        std::fclose(f);
    }
    return bytes;
}

DataSetPtr<DataSet> Make(int kind) {
    switch (kind) {
    case 0: return DataSetPtr<DataSet>(new SetupSet(4));
    case 1: return DataSetPtr<DataSet>(new TableSet(4));
    case 2: return DataSetPtr<DataSet>(new ProgramSet(4));
    case 3: return DataSetPtr<DataSet>(new Table3Set(4));
    case 4: return DataSetPtr<DataSet>(new InfoSet(4));
    default: return DataSetPtr<DataSet>(new ScreenSet(4));
    }
}

// Sends the whole set out in pieces; a set that never ends its pieces is a fault.
void DrainSend(DataSet& set) {
    std::vector<std::uint8_t> piece(1008);
    set.ResetSend();
    for (int rounds = 0;; ++rounds) {
        int n = static_cast<int>(piece.size());
        if (set.ReadNext(piece.data(), &n) <= 0 || n == 0) return;
        if (rounds > 20000) std::abort();
    }
}

void LoadSaveLoad(int kind) {
    Files& files = TheFiles();
    auto set = Make(kind);
    if (!set->Load(files.input.c_str())) {
        if (set->IsComplete() || set->GetBody()) std::abort();
        return;
    }
    if (!set->IsComplete() || !set->GetBody()) std::abort();
    DrainSend(*set);
    if (!set->Save(files.saved.c_str())) std::abort();
    const auto first = ReadAll(files.saved);
    auto again = Make(kind);
    if (!again->Load(files.saved.c_str()) || !again->Save(files.saved.c_str())) std::abort();
    if (ReadAll(files.saved) != first) std::abort();
}

void ReceiveInPieces(int kind, const std::uint8_t* data, std::size_t size) {
    auto set = Make(kind);
    const int piece = size > 0 ? 1 + data[0] * 8 : 1;
    for (std::size_t at = 0; at < size; at += static_cast<std::size_t>(piece)) {
        const int n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(piece), size - at));
        set->Append(data + at, n);
    }
    if (set->IsComplete() != (set->GetBody() != nullptr)) std::abort();
    DrainSend(*set);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Files& files = TheFiles();
    if (std::FILE* f = std::fopen(files.input.c_str(), "wb")) {
        if (size > 0) std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    for (int kind = 0; kind < 6; ++kind) {
        LoadSaveLoad(kind);
        ReceiveInPieces(kind, data, size);
    }
    return 0;
}
