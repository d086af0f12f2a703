// Helpers for the capture writer tests: an engine output that records the
// notifications with the block range copied at the moment it was reported,
// file calls that fail where a test says, and builders for data items.
#pragma once
#include <array>
#include <cerrno>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "engine/engine.h"
#include "platform/syscalls.h"

namespace commlib::test {

struct CaptureNote {
    int code;
    int status;
    std::intptr_t value;         // the data as an integer (fill, loss count)
    std::array<int, 3> range{};  // NtfyBlocks: the range as it was when reported
};

class CaptureOutput final : public EngineOutput {
public:
    void SendRaw(std::unique_ptr<LinkMessage>) override {}
    void SendFrame(std::unique_ptr<LinkMessage>) override {}
    void DiscardReceive() override {}
    bool Cts() override { return false; }
    bool Dsr() override { return false; }
    int Notify(int code, int status, void* data) override {
        CaptureNote note{code, status, reinterpret_cast<std::intptr_t>(data)};
        if (code == NtfyBlocks) {
            const int* r = static_cast<const int*>(data);
            note.range = {r[0], r[1], r[2]};
        }
        if (code == NtfyStoreFailed) failures.push_back(*static_cast<const StoreFailure*>(data));
        notes.push_back(note);
        return 0;
    }

    std::vector<std::array<int, 3>> Ranges() const {
        std::vector<std::array<int, 3>> out;
        for (const auto& n : notes)
            if (n.code == NtfyBlocks) out.push_back(n.range);
        return out;
    }
    std::vector<std::intptr_t> Values(int code) const {
        std::vector<std::intptr_t> out;
        for (const auto& n : notes)
            if (n.code == code) out.push_back(n.code == NtfyRate ? n.status : n.value);
        return out;
    }

    std::vector<CaptureNote> notes;
    std::vector<StoreFailure> failures;  // copies of what NtfyStoreFailed pointed at
};

// Real files, but the n-th write (counting from 1) can come up short (and the
// write after it then fails, as the kernel's does on a full disk) or fail at
// once, creating can fail from some call on, and the free space can be made up.
// The fixture puts it in place of platform::fileCalls().
class FailingFileIo final : public platform::SysCalls {
public:
    int create(const char* path, int flags, mode_t mode) override {
        ++creates;
        if (failCreatesFrom && creates >= *failCreatesFrom) {
            errno = EACCES;
            return -1;
        }
        return SysCalls::create(path, flags, mode);
    }
    ssize_t write(int fd, const void* data, std::size_t n) override {
        ++writes;
        if (writes == failWrite && shortBy != 0) {
            const std::size_t part = n - shortBy;
            failWrite = writes + 1;  // the rest fails with ENOSPC
            shortBy = 0;
            return SysCalls::write(fd, data, part);
        }
        if (writes == failWrite) {
            errno = ENOSPC;
            return -1;
        }
        return SysCalls::write(fd, data, n);
    }
    int ftruncate(int fd, off_t bytes) override {
        truncatedTo = bytes;
        return SysCalls::ftruncate(fd, bytes);
    }
    int fsync(int fd) override {
        ++syncs;
        return SysCalls::fsync(fd);
    }
    int fdatasync(int fd) override {
        ++syncs;
        return SysCalls::fdatasync(fd);
    }
    int statvfs(const char* path, struct statvfs* st) override {
        if (!freeBytes) return SysCalls::statvfs(path, st);
        *st = {};
        const std::int64_t free = freeBytes();
        if (free < 0) {
            errno = ENOSYS;
            return -1;
        }
        st->f_bavail = static_cast<fsblkcnt_t>(free);
        st->f_frsize = 1;
        return 0;
    }

    int creates = 0;
    int writes = 0;
    int syncs = 0;
    int failWrite = 0;        // 0: never
    std::size_t shortBy = 0;  // 0: the failing write writes nothing (ENOSPC)
    std::optional<int> failCreatesFrom;
    std::optional<std::int64_t> truncatedTo;
    std::function<std::int64_t()> freeBytes;  // the disk's free space as the test has it; unset: the real one
};

using Bytes = std::vector<std::uint8_t>;

// `words` SD-only units 0x10 'A'+i: each becomes one record word.
inline Bytes SdUnits(std::size_t words) {
    Bytes units;
    units.reserve(words * 2);
    for (std::size_t i = 0; i < words; ++i) {
        units.push_back(0x10);
        units.push_back(static_cast<std::uint8_t>('A' + i % 26));
    }
    return units;
}

}  // namespace commlib::test
