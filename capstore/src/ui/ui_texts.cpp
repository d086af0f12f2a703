// Caption and list tables of the main window, one row per text.
#include "ui/ui_texts.h"

#include <algorithm>
#include <iterator>

#include "app/main_view.h"

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
    {caption::kLiveView, "Live view", "ライブビュー"},
    {caption::kResumeView, "Resu&me view", "表示を再開(&M)"},
    {caption::kNotShown, "%1 lines not shown (the buffer keeps them all)",
     "%1 行は表示していません（バッファにはすべて記録されています）"},
    {caption::kLiveLater, "The live view starts with the next measurement.", "ライブビューは次の測定から表示します。"},
    {id::kLiveShow, "Show li&ve view", "ライブビューを表示(&V)"},
    {id::kLivePause, "&Pause view", "表示を一時停止(&P)"},
    {id::kBrowse, "...", "..."},
    {id::kNormal, "Normal", "通常"},
    {id::kTranslate, "Translation", "翻訳"},
    {id::kLineState, "Line state", "ラインステート"},
    {id::kNoTimeStamp, "No time-stamp", "タイムスタンプを除く"},
    {id::kNoIdleTime, "No idle time", "アイドルタイムを除く"},
    {id::kNoGuide, "No guide", "ガイドなし"},
    {id::kEnvironment, "&Environment", "環境設定(&E)"},
    {id::kExit, "E&xit", "終了(&X)"},
    {id::kStartMeasure, "Sta&rt measurement", "測定開始(&R)"},
    {id::kStopMeasure, "&Stop measurement", "測定停止(&S)"},
    {id::kStartConvert, "Start &conversion", "変換開始(&C)"},
    {id::kStopConvert, "S&top conversion", "変換中止(&T)"},
    {id::kDeleteText, "&Delete text", "テキスト削除(&D)"},
    {id::kPortSetting, "Serial port setting", "シリアルポート設定"},
    {id::kBufferSetting, "PC Buffer setting", "PCバッファ設定"},
    {id::kAbout, "&About", "バージョン情報(&A)"},
    {kLabel + id::kBlockCount, "Number of measured block", "測定済ブロック数"},
    {kLabel + id::kProgress, "Processing block", "変換中ブロック"},
    {kLabel + id::kLost, "Number of data losing", "データ欠落回数"},
    {kLabel + id::kBlockFill, "Using rate at current block", "最終ブロック使用率"},
    {kLabel + id::kFormat, "Format", "形式"},
    {kLabel + id::kLine, "Object line", "対象ライン"},
    {kLabel + id::kStartBlock, "Begin of target block", "変換開始ブロック"},
    {kLabel + id::kBlockTotal, "Number of target block", "変換対象ブロック数"},
    {kLabel + id::kPath, "Location to store the result file", "保存場所"},
    {kLabel + id::kMaxLines, "Max. lines number of one file", "1ファイルあたりの最大行数"},
    {kLabel + id::kPrintData, "Data format", "データ形式"},
    {kLabel + id::kFrame, "Frame", "フレーム"},
    {kLabel + id::kPacket, "Packet", "パケット"},
    {kLabel + id::kCsvForm, "Processing units", "処理単位"},
    {kLabel + id::kCsvData, "Data format", "データ形式"},
    {kLabel + id::kCsvWidth, "Max. column", "最大列数"},
    {kLabel + id::kDelimiter, "Delimiter", "区切り文字"},
};

struct ListRow {
    int control;
    std::string_view english;
    std::string_view japanese;
};

// Items in list order.
constexpr ListRow kLists[] = {
    {id::kFormat, "Print format", "印字フォーマット"},
    {id::kFormat, "CSV format", "CSVフォーマット"},
    {id::kLine, "SD / RD", "SD/RD両方"},
    {id::kLine, "SD", "SDのみ"},
    {id::kLine, "RD", "RDのみ"},
    {id::kPrintData, "Character / HEX", "文字/16進数値 両方"},
    {id::kPrintData, "Character", "文字のみ"},
    {id::kPrintData, "HEX", "16進数値のみ"},
    {id::kFrame, "SDLC", "SDLC"},
    {id::kFrame, "X.25 (Modulo8)", "X.25（モジュロ8）"},
    {id::kFrame, "X.25 (Modulo128)", "X.25（モジュロ128）"},
    {id::kFrame, "X.25UA", "X.25UA"},
    {id::kFrame, "LAPD", "LAPD"},
    {id::kPacket, "Off <Frame translation>", "オフ（フレーム翻訳）"},
    {id::kPacket, "X.25", "X.25"},
    {id::kPacket, "DDX-P", "DDX-P"},
    {id::kPacket, "LAPD", "LAPD"},
    {id::kCsvForm, "Data", "データ"},
    {id::kCsvForm, "Frame", "フレーム"},
    {id::kCsvData, "HEX", "16進数値"},
    {id::kCsvData, "DEC", "10進数値"},
    {id::kCsvData, "Character", "文字"},
};

}  // namespace

std::string_view caption_text(int key, Language language) {
    const auto it =
        std::find_if(std::begin(kCaptions), std::end(kCaptions), [key](const Row& r) { return r.key == key; });
    if (it == std::end(kCaptions)) return {};
    return language == Language::Japanese ? it->japanese : it->english;
}

std::vector<std::string_view> list_items(int control, Language language) {
    std::vector<std::string_view> out;
    for (const ListRow& r : kLists)
        if (r.control == control) out.push_back(language == Language::Japanese ? r.japanese : r.english);
    return out;
}

}  // namespace capstore
