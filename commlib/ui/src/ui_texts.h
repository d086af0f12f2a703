// The dialogs' texts in English and Japanese: the language rule and the
// library's string table of 13 texts.
#pragma once
#include <QString>

namespace commlib::ui {

// One text in both languages (UTF-8; these are display texts, never written to files).
struct Text {
    const char* english;
    const char* japanese;
};

// The Cancel button of every dialog and message box.
inline constexpr Text CancelText{"Cancel", "キャンセル"};

// Japanese when the first of LC_ALL, LC_MESSAGES, LANG that is set and not
// empty starts with "ja"; English otherwise.
bool Japanese();
QString LocalText(const Text& text);

// The string table, ids 1 to 13; an empty text for any other id.
enum StringId {
    StrNone = 1,
    StrEven,
    StrOdd,
    StrDisable,
    StrEnable,
    StrChooseFolder,
    StrBadMaxBlocks,
    StrMakeFolder,
    StrNotAFolder,
    StrCannotMake,
    StrSetUpBuffer,
    StrBadLocation,
    StrRootRefused
};
QString TableText(int id);

}  // namespace commlib::ui
