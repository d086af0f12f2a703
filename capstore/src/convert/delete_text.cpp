// "Delete text": after the question, the "*.txt" files of the output folder
// itself (never of its sub-folders) go to the trash, from where the user can
// take them back.
#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "convert/convert_controller.h"
#include "convert/save_folder.h"
#include "texts/string_table.h"

namespace capstore {
namespace fs = std::filesystem;
namespace {

bool is_text_file_name(const std::string& name) {
    if (name.size() < 4) return false;
    std::string ext = name.substr(name.size() - 4);
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    return ext == ".txt";
}

}  // namespace

void ConvertController::on_delete_text() {
    PanelValues values = panel_.panel();
    const std::string path = full_path(values.save_path);
    if (path.empty()) return;
    auto warn = [&](int message) { main_.message(message, Icon::Warning, Buttons::Ok, path, str::kDeleteCaption); };
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (st.type() == fs::file_type::not_found ||
        (ec && (ec == std::errc::no_such_file_or_directory || ec == std::errc::not_a_directory))) {
        warn(str::kFolderNotFound);
        return;
    }
    if (ec) return;
    if (!fs::is_directory(st)) {
        warn(str::kNotAFolder);
        return;
    }
    if (main_.message(str::kConfirmDeleteText, Icon::Warning, Buttons::OkCancel, path, str::kDeleteCaption) !=
        Answer::Ok)
        return;
    std::vector<std::string> files;
    for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code type_ec;
        if (it->is_regular_file(type_ec) && is_text_file_name(it->path().filename().string()))
            files.push_back(it->path().string());
    }
    for (const std::string& file : files)
        if (hooks_.trash) hooks_.trash(file);
}

}  // namespace capstore
