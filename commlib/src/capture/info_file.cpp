// Saving the measurement information as one whole file.
#include "capture/info_file.h"

#include <cerrno>
#include <vector>

#include "buffer/data_set_file_format.h"
#include "datasets/info_set.h"
#include "pcbuffer/buffer_names.h"
#include "platform/whole_file.h"

namespace commlib::capture {

std::string InfoFileTempPath(const std::string& folder) {
    return platform::WholeFile::temporaryPath(pcbuffer::InfoFilePath(folder));
}

platform::Status SaveInfoFile(const std::string& folder, DataSet& info) {
    const std::string path = pcbuffer::InfoFilePath(folder);
    const auto* body = static_cast<const std::uint8_t*>(info.GetBody());
    if (!body) return platform::Status::failure("write", path, EINVAL);
    const auto head = EncodeHeader(info.Header());
    std::vector<std::uint8_t> bytes(head.begin(), head.end());
    bytes.insert(bytes.end(), body, body + pcbuffer::kInfoBodySize);

    platform::WholeFile file;
    if (platform::Status s = file.open(path, 0644); !s.ok()) return s;
    if (platform::Status s = file.write(bytes.data(), bytes.size()); !s.ok()) return s;
    return file.commit();
}

}  // namespace commlib::capture
