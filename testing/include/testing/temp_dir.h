// A fresh folder below $TMPDIR (or /tmp) that is removed with everything in it
// when the object goes away. Tests that write files use one each.
//
// Errors: the constructor throws when no folder can be made.
// Threads: the test's.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace testing_util {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const;

private:
    std::string path_;
};

// Whole-file helpers for tests; they throw std::runtime_error on failure.
std::vector<std::uint8_t> read_file(const std::string& path);
void write_file(const std::string& path, const std::vector<std::uint8_t>& bytes);
void write_file(const std::string& path, const std::string& text);

}  // namespace testing_util
