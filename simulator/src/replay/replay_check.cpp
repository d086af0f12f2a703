// The check of a file before its replay: read to its end, every packet of a
// played link type, a frame each, all of one line mode.
#include <algorithm>

#include "replay/replay_links.h"
#include "simulator/replay.h"

namespace simulator {
namespace {

std::string at(const std::string& path, std::uint64_t offset, const std::string& what) {
    return path + ": at byte " + std::to_string(offset) + ": " + what;
}

}  // namespace

std::string check_replay_file(const std::string& path, ReplayFile& file) {
    file = {};
    std::string error;
    const auto reader = pcapfile::OpenCaptureFile(path, error);
    if (!reader) return error;
    pcapfile::Packet p;
    const ReplayLink* first = nullptr;
    while (reader->Next(p)) {
        const ReplayLink* link = replay_link(p.linkType);
        if (link == nullptr)
            return at(path, p.offset,
                      link_type_name(p.linkType) + " cannot be replayed; the analyzer plays " + played_link_types());
        if (first != nullptr && link->mode != first->mode)
            return at(path, p.offset,
                      "a " + link_type_name(link->type) + " packet after " + link_type_name(first->type) +
                          " ones: one replay plays the frames of one line mode");
        if (!line_frame(*link, p, error)) return at(path, p.offset, error);
        if (first == nullptr) first = link;
        if (std::find(file.link_types.begin(), file.link_types.end(), link->type) == file.link_types.end())
            file.link_types.push_back(link->type);
        ++file.frames;
    }
    if (!reader->Error().empty()) return reader->Error();
    if (first == nullptr) return path + ": the file holds no packets to replay";
    file.mode = first->mode;
    return {};
}

}  // namespace simulator
