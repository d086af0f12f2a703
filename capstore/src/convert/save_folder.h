// The output folder test of a conversion start: a full path, never the root,
// an existing folder, or a missing chain of folders created after one question.
#pragma once
#include <functional>
#include <string>

namespace capstore {

struct FolderCheck {
    bool valid = false;
    std::string full_path;  // empty when the text could not be made a full path
};

// How the test talks to the user: show(message, path, caption string) for
// warnings, ask(...) for the creation question (true = OK). Captions are 0
// for the application title or the string number.
struct FolderQuestions {
    std::function<void(int message, const std::string& path, int caption)> show;
    std::function<bool(int message, const std::string& path, int caption)> ask;
};

// The text made absolute (against the working folder) and tidied; empty when
// that fails or the result is longer than 259 characters.
std::string full_path(const std::string& text);

// Silent mode shows nothing and creates nothing.
FolderCheck check_save_folder(const std::string& text, bool silent, const FolderQuestions& questions);

}  // namespace capstore
