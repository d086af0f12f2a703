// Caption and list tables of the main window, one row per text.
#include "ui/ui_texts.h"

#include <algorithm>
#include <iterator>

namespace capstore {
namespace {

struct Row {
    int key;
    std::string_view english;
    std::string_view japanese;
};

constexpr Row kCaptions[] = {
    {caption::kMonitor, "Monitor", "モニター"},
    {caption::kTextConversion, "Text conversion", "テキスト変換"},
    {caption::kOptions, "Options", "オプション"},
    {caption::kLines, "lines", "行"},
    {caption::kExclude, "Exclude", "除く"},
    {caption::kInclude, "Include", "含む"},
    {caption::kAboutTitle, "About", "バージョン情報"},
    {caption::kAboutName, "MIRLOKE Series PC Buffering Software", "MIRLOKEシリーズ PCバッファリングソフト"},
    {caption::kAboutVersion, "Version 1.00.02", "Version 1.00.02"},
    {2052, "...", "..."},
    {2101, "Normal", "通常"},
    {2102, "Translation", "翻訳"},
    {2121, "Line state", "ラインステート"},
    {2122, "No time-stamp", "タイムスタンプを除く"},
    {2123, "No idle time", "アイドルタイムを除く"},
    {2124, "No guide", "ガイドなし"},
    {2071, "&Environment", "環境設定(&E)"},
    {40109, "E&xit", "終了(&X)"},
    {40301, "Sta&rt measurement", "測定開始(&R)"},
    {40302, "&Stop measurement", "測定停止(&S)"},
    {40401, "Start &conversion", "変換開始(&C)"},
    {40402, "S&top conversion", "変換中止(&T)"},
    {40403, "&Delete text", "テキスト削除(&D)"},
    {40501, "Serial port setting", "シリアルポート設定"},
    {40502, "PC Buffer setting", "PCバッファ設定"},
    {40909, "&About", "バージョン情報(&A)"},
    {kLabel + 2001, "Number of measured block", "測定済ブロック数"},
    {kLabel + 2002, "Processing block", "変換中ブロック"},
    {kLabel + 2003, "Number of data losing", "データ欠落回数"},
    {kLabel + 2005, "Using rate at current block", "最終ブロック使用率"},
    {kLabel + 2011, "Format", "形式"},
    {kLabel + 2031, "Object line", "対象ライン"},
    {kLabel + 2041, "Begin of target block", "変換開始ブロック"},
    {kLabel + 2042, "Number of target block", "変換対象ブロック数"},
    {kLabel + 2051, "Location to store the result file", "保存場所"},
    {kLabel + 2061, "Max. lines number of one file", "1ファイルあたりの最大行数"},
    {kLabel + 2111, "Data format", "データ形式"},
    {kLabel + 2131, "Frame", "フレーム"},
    {kLabel + 2141, "Packet", "パケット"},
    {kLabel + 2201, "Processing units", "処理単位"},
    {kLabel + 2211, "Data format", "データ形式"},
    {kLabel + 2221, "Max. column", "最大列数"},
    {kLabel + 2231, "Delimiter", "区切り文字"},
};

struct ListRow {
    int control;
    std::string_view english;
    std::string_view japanese;
};

// Items in list order.
constexpr ListRow kLists[] = {
    {2011, "Print format", "印字フォーマット"},
    {2011, "CSV format", "CSVフォーマット"},
    {2031, "SD / RD", "SD/RD両方"},
    {2031, "SD", "SDのみ"},
    {2031, "RD", "RDのみ"},
    {2111, "Character / HEX", "文字/16進数値 両方"},
    {2111, "Character", "文字のみ"},
    {2111, "HEX", "16進数値のみ"},
    {2131, "SDLC", "SDLC"},
    {2131, "X.25 (Modulo8)", "X.25（モジュロ8）"},
    {2131, "X.25 (Modulo128)", "X.25（モジュロ128）"},
    {2131, "X.25UA", "X.25UA"},
    {2131, "LAPD", "LAPD"},
    {2141, "Off <Frame translation>", "オフ（フレーム翻訳）"},
    {2141, "X.25", "X.25"},
    {2141, "DDX-P", "DDX-P"},
    {2141, "LAPD", "LAPD"},
    {2201, "Data", "データ"},
    {2201, "Frame", "フレーム"},
    {2211, "HEX", "16進数値"},
    {2211, "DEC", "10進数値"},
    {2211, "Character", "文字"},
};

} // namespace

std::string_view caption_text(int key, Language language)
{
    const auto it = std::find_if(std::begin(kCaptions), std::end(kCaptions), [key](const Row& r) { return r.key == key; });
    if (it == std::end(kCaptions)) return {};
    return language == Language::Japanese ? it->japanese : it->english;
}

std::vector<std::string_view> list_items(int control, Language language)
{
    std::vector<std::string_view> out;
    for (const ListRow& r : kLists)
        if (r.control == control) out.push_back(language == Language::Japanese ? r.japanese : r.english);
    return out;
}

} // namespace capstore
