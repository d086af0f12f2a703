// The string table: one row per string number with its English and Japanese
// text, searched by number.
#include "texts/string_table.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace capstore {
namespace {

struct Row {
    int number;
    std::string_view english;
    std::string_view japanese;
};

// Sorted by number.
constexpr Row kStrings[] = {
    {1, "ZAMVEX-3 PC Buffering", "ZAMVEX-3 PCバッファリング"},
    {3, "An error occurred during the application initializing process.",
     "アプリケーションの初期化中にエラーが発生しました。"},
    {4, "An error occurred during the serial port initializing process.",
     "シリアルポートの初期化でエラーが発生しました。\n指定したポートが存在するか、他で使用されていないか、指定した通信条件がそのポートでサポートされているかどうかなどを確認して下さい。"},
    {5, "Offline", "オフライン"},
    {6, "An error occurred during the connection process.",
     "通信接続処理中にエラーが発生しました。\nシリアルポート設定が計測器の設定と合ってるか、計測器との物理的な接続に異常はないか、接続するポートを間違っていないか、計測器の電源は入っているか、計測器がRUN状態になっていないか、などを確認して下さい。"},
    {7, "Do you approve of an exit though the application is measuring ?",
     "現在測定中ですが、終了してもよろしいですか？"},
    {9, "An error occurred during the connection process.",
     "通信接続処理中にエラーが発生しました。\n非対応の計測器が接続されているか、または計測器のファームウェアバージョンが低い可能性があります。"},
    {11, "Choose a folder to store the conversion result.", "変換結果を保存するフォルダを選択して下さい。"},
    {12, "The connected analyzer unsupport this function.",
     "現在接続されている計測器ではこの機能をサポートしていません。"},
    {13, "The analyzer is not the condition that a measurement can be started. Confirm the condition of the analyzer.",
     "計測器本体が測定動作を開始できる状態ではありません。本体の状態を確認して下さい。"},
    {14, "A measurement cannot be started.",
     "計測器本体でバッテリーワーニングが発生しているため、測定動作を開始できません。"},
    {15, "A measurement cannot be started.",
     "計測器本体のモニターバッファが書き込み禁止に設定されているため、測定動作を開始できません。"},
    {16, "A measurement cannot be started.",
     "測定動作を開始できません。モニターポートに関係する設定を確認して下さい。"},
    {17, "A measurement cannot be started.",
     "測定動作を開始できません。バッファシミュレーションを行う場合、計測器本体のバッファ選択設定をBUF0以外にする必要があります。"},
    {18, "A measurement cannot be started",
     "測定動作を開始できません。設定されている動作モードはASYNC以外のプロトコルに対応していません。"},
    {19, "A label at line number %d in the program is undefined.",
     "プログラムの%d行目で参照しているラベルが定義されていません。"},
    {20, "A measurement cannot be started.", "測定動作を開始できません。"},
    {21, "The specified folder \"%s\" does not exist.\nDo you approve of making the folder ?",
     "指定されたフォルダ「%s」がありません。\nフォルダを作成しますがよろしいですか？"},
    {22, "The specified path \"%s\" does not point at folder.",
     "指定されたパス「%s」はフォルダを示すものではありません。"},
    {23, "The folder \"%s\" cannot be made.", "フォルダ「%s」を作成することができません。"},
    {24, "Connecting...", "接続中..."},
    {25, "Disconnecting...", "切断中..."},
    {26, "Exiting...", "終了処理中..."},
    {27, "Starting measurement...", "測定開始中..."},
    {28, "Stopping measurement...", "測定停止中..."},
    {29,
     "All text files in the folder \"%s\" are removed.\nBe careful that the files not made by this application as well are removed.\nHowever, the text file in the sub-folder in the target folder is not removed.",
     "フォルダ「%s」内のテキストファイルをすべて削除します。\nこのアプリケーションで作成されたものでないファイルも削除対象となりますのでご注意下さい。\nなお、対象フォルダ中にあるサブフォルダ内のテキストファイルは削除されません。"},
    {30, "The specified folder \"%s\" is not found.", "指定されているフォルダ「%s」が見つかりません。"},
    {31, "The PC buffer files do not exist, or the data of their are wrong.",
     "PCバッファファイルが存在しないか、内容が正しくありません。"},
    {32, "An error occurred during converting process.", "変換処理中にエラーが発生しました。"},
    {33, "A value of the location to store is invalid. Specify properly a value again.",
     "保存場所の指定が不正です。正しく指定し直して下さい。"},
    {34, "Cannot specify root directory as the location to store.",
     "保存場所にルートディレクトリを指定することはできません。"},
    {35, "The specified folder \"%s\" access denied.", "指定されたフォルダ「%s」へのアクセスが拒否されました。"},
    {36,
     "All data on an existent PC buffer are deleted when a measurement is started under the present condition. Specify another folder on the PC buffer setting if you want to leave an existent data.\nDo you approve of starting measurement ?",
     "このまま測定を開始すると、現在のPCバッファ上のデータはすべて消去されます。現在のデータを残したいときは、PCバッファ設定で別のフォルダを指定して下さい。\n\n測定を開始してもよろしいですか？"},
    {37,
     "Cannot be connected while the analyzer is measuring. Connect to the analyzer again after a measurement stopped.",
     "計測器が測定処理中は接続できません。いったん、計測器の測定を停止してから接続し直して下さい。"},
    {38, "There was no answer from the analyzer within a given period of time.",
     "時間内に計測器からの応答がありませんでした。\n計測器の電源が切れたか、ケーブルの接続不良などが考えられます。また、計測器が極度の過負荷状態になり、応答できなくなった可能性もあります。"},
    {39,
     "There was no answer from the analyzer within given period of time though this application tried to stop a measurement.\nThis application exit.",
     "測定停止処理を行いましたが、時間内に計測器からの応答がありませんでした。\nこのままアプリケーションを終了します。"},
    {40, "The measurement could not be stored: %s\nThe measurement was stopped.",
     "測定データを保存できませんでした: %s\n測定を停止しました。"},
    {41, "Cannot write to the PC buffer folder: %s\nChoose a folder you can write to in the PC buffer setting.",
     "PCバッファのフォルダに書き込めません: %s\nPCバッファ設定で書き込めるフォルダを指定して下さい。"},
    {42, "There is little free space for the PC buffer: %s\nThe measurement stops when the disk is full.",
     "PCバッファの空き容量が不足しています: %s\nディスクがいっぱいになると測定は停止します。"},
    {501, "Delete text files", "テキストファイルの削除"},
    {502, "Create folder", "フォルダの作成"},
    {9001, "Connect", "接続"},
    {9002, "Connect", "接続"},
    {9011, "Measure", "測定"},
    {9012, "Measure", "測定"},
    {9021, "Convert", "変換"},
    {9022, "Convert", "変換"},
};
constexpr bool strictly_sorted() {
    for (std::size_t i = 1; i < std::size(kStrings); ++i)
        if (kStrings[i - 1].number >= kStrings[i].number) return false;
    return true;
}
static_assert(strictly_sorted(), "string numbers must be sorted and unique");

std::string replace_first(std::string_view text, std::string_view marker, std::string_view value) {
    std::string out(text);
    if (const auto at = out.find(marker); at != std::string::npos) out.replace(at, marker.size(), value);
    return out;
}

}  // namespace

Language language_from_environment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value && *value) return std::string_view(value).starts_with("ja") ? Language::Japanese : Language::English;
    }
    return Language::English;
}

std::string_view string_text(int number, Language language) {
    const auto it = std::lower_bound(std::begin(kStrings), std::end(kStrings), number,
                                     [](const Row& row, int n) { return row.number < n; });
    if (it == std::end(kStrings) || it->number != number) return {};
    return language == Language::Japanese ? it->japanese : it->english;
}

std::string format_string(std::string_view text, std::string_view argument) {
    return replace_first(text, "%s", argument);
}

std::string format_string(std::string_view text, long long argument) {
    return replace_first(text, "%d", std::to_string(argument));
}

}  // namespace capstore
