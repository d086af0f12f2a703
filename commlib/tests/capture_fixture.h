// A capture writer on a temporary buffer folder, with the items a measurement
// would bring: data items whose counters follow on, and the block files read back.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "capture/capture_writer.h"
#include "capture_test_util.h"
#include "pcbuffer/buffer_names.h"
#include "platform/syscalls.h"
#include "testing/temp_dir.h"

namespace commlib::test {

inline constexpr std::size_t BlockWords = pcbuffer::kBlockBytes / pcbuffer::kRecordBytes;

class CaptureFixture : public ::testing::Test {
protected:
    // With `calls`, the writer's files go through them (the real calls otherwise).
    void Make(int maxBlocks, bool ring, bool withFolder = true, platform::SysCalls* calls = nullptr) {
        settings = BufferSettings{withFolder ? dir.path().c_str() : nullptr, maxBlocks, 0,
                                  static_cast<std::uint8_t>(ring ? 1 : 0)};
        writer.reset();  // flushes through the calls it was made with
        seam.reset();
        if (calls) seam.emplace(*calls);
        writer = std::make_unique<capture::CaptureWriter>(out, [this] { return now; });
        writer->ScanFolder(settings);
        out.notes.clear();
    }

    // Data items of up to 256 SD-only units, counters following on, `words` records in all.
    void Feed(std::size_t words) {
        while (words > 0) {
            const std::size_t n = std::min<std::size_t>(words, 256);
            const Bytes units = SdUnits(n);
            writer->StoreData(counter, units);
            counter = static_cast<std::uint16_t>(counter + n);
            words -= n;
        }
    }

    bool Exists(int block) const { return std::filesystem::exists(pcbuffer::BlockFilePath(dir.path(), block)); }
    std::int64_t Size(int block) const {
        std::error_code ec;
        const auto size = std::filesystem::file_size(pcbuffer::BlockFilePath(dir.path(), block), ec);
        return ec ? -1 : static_cast<std::int64_t>(size);
    }
    Bytes Block(int block) const { return testing_util::read_file(pcbuffer::BlockFilePath(dir.path(), block)); }
    std::array<int, 3> LastRange() const {
        const auto ranges = out.Ranges();
        return ranges.empty() ? std::array<int, 3>{-1, -1, -1} : ranges.back();
    }

    testing_util::TempDir dir;
    CaptureOutput out;
    BufferSettings settings{};
    std::optional<platform::ScopedFileCalls> seam;  // goes after the writer
    std::unique_ptr<capture::CaptureWriter> writer;
    std::uint16_t counter = 0;
    std::int64_t now = 1000;
};

}  // namespace commlib::test
