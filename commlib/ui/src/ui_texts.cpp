// The string table in both languages and the locale rule that picks one.
#include "ui_texts.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

namespace commlib::ui {
namespace {

struct TableRow {
    int id;
    Text text;
};

constexpr TableRow Strings[] = {
    {1, {"None", "なし"}},
    {2, {"Even", "偶数"}},
    {3, {"Odd", "奇数"}},
    {4, {"Disable", "無効"}},
    {5, {"Enable", "有効"}},
    {6, {"Choose a folder to store the buffer file.", "バッファファイルを保存するフォルダを選択して下さい。"}},
    {7,
     {"The value of max. block is invalid.\nSpecify it with the integer of the range of 1 to %d.",
      "最大ブロック数の値が正しくありません。\n最大ブロック数は1～%dの範囲の整数で入力して下さい。"}},
    {8,
     {"The specified folder does not exist.\nDo you approve of making the folder ?",
      "指定されたフォルダがありません。\nフォルダを作成しますがよろしいですか？"}},
    {9, {"The specified path does not point at folder.", "指定されたパスはフォルダを示すものではありません。"}},
    {10, {"The specified folder cannot be made.", "指定されたフォルダを作成することができません。"}},
    {11,
     {"You have to set items for the PC buffer to use this application after click on 'OK' button.\n"
      "This message is indicated when the application cannot access the folder specified for the PC buffer  "
      "last time or the application is started for the first time.",
      "このアプリケーションを使用するためには、OKボタンをクリックして、PCバッファの設定を行って下さい。\n\n"
      "このメッセージはアプリケーションが初めて起動されたか、前回設定していたPCバッファ用フォルダーに"
      "アクセスできなかった場合に表示されます。"}},
    {12,
     {"The value of the location to store is invalid. Specify properly a value again.",
      "保存場所の指定が不正です。正しく指定し直して下さい。"}},
    {13,
     {"Cannot specify root directory as the location to store.",
      "保存場所にルートディレクトリを指定することはできません。"}},
};
static_assert(std::size(Strings) == 13);
static_assert(std::is_sorted(std::begin(Strings), std::end(Strings),
                             [](const TableRow& a, const TableRow& b) { return a.id <= b.id; }),
              "string ids sorted and unique");

}  // namespace

bool Japanese() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return std::strncmp(value, "ja", 2) == 0;
    }
    return false;
}

QString LocalText(const Text& text) { return QString::fromUtf8(Japanese() ? text.japanese : text.english); }

QString TableText(int id) {
    const auto row = std::lower_bound(std::begin(Strings), std::end(Strings), id,
                                      [](const TableRow& r, int wanted) { return r.id < wanted; });
    if (row == std::end(Strings) || row->id != id) return {};
    return LocalText(row->text);
}

}  // namespace commlib::ui
