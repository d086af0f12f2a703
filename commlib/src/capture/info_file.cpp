// Saving the measurement information through the capture writer's file seam.
#include "capture/info_file.h"

#include <cerrno>
#include <filesystem>
#include <vector>

#include "buffer/data_set_file_format.h"
#include "datasets/info_set.h"
#include "pcbuffer/buffer_names.h"

namespace commlib::capture {

std::string InfoFileTempPath(const std::string& folder) { return pcbuffer::InfoFilePath(folder) + ".part"; }

int SaveInfoFile(BlockFileIo& io, const std::string& folder, DataSet& info) {
    const auto* body = static_cast<const std::uint8_t*>(info.GetBody());
    if (!body) return EINVAL;
    const auto head = EncodeHeader(info.Header());
    std::vector<std::uint8_t> bytes(head.begin(), head.end());
    bytes.insert(bytes.end(), body, body + pcbuffer::kInfoBodySize);

    const std::string temp = InfoFileTempPath(folder);
    const int file = io.Create(temp);
    if (file < 0) return errno;
    int error = 0;
    for (std::size_t done = 0; done < bytes.size() && error == 0;) {
        const long n = io.Write(file, bytes.data() + done, bytes.size() - done);
        if (n > 0) done += static_cast<std::size_t>(n);
        else error = n == 0 ? ENOSPC : errno;
    }
    if (error == 0 && !io.Sync(file)) error = errno;
    if (!io.Close(file) && error == 0) error = errno;
    if (error == 0 && !io.Rename(temp, pcbuffer::InfoFilePath(folder))) error = errno;
    if (error != 0) {
        std::error_code ignored;
        std::filesystem::remove(temp, ignored);
    }
    return error;
}

}  // namespace commlib::capture
