// Every status line, message and caption that the settings tool's flows show.
// Display texts only (UTF-8); the settings file's own bytes stay Shift_JIS.
//
// Errors: none.
// Threads: any; constant texts.
#pragma once
#include <string>
#include <string_view>

namespace setxfer::texts {

// Main dialog status line.
inline constexpr std::string_view kReady = "ｼﾘｱﾙﾎﾟｰﾄを設定し各操作ﾎﾞﾀﾝを選んで下さい｡";
inline constexpr std::string_view kConnecting = "接続しております。しばらくお待ち下さい。";
inline constexpr std::string_view kReading = "設定中です。しばらくお待ち下さい。";
inline constexpr std::string_view kConnected = "接続中です｡(本体の設定変更及び電源は切らないで下さい｡)";
// The save and send dialogs of the two smaller models open with this one; it has no final stop.
inline constexpr std::string_view kConnectedShort = "接続中です｡(本体の設定変更及び電源は切らないで下さい)";
inline constexpr std::string_view kDisconnected = "切断されています。";
inline constexpr std::string_view kCableLost = "ｹｰﾌﾞﾙ断線又は､本体の電源が切れているおそれがあります｡";

// Main dialog messages ("%d" is the status).
inline constexpr std::string_view kConnectError =
    "接続出来ません。本体の電源、ｹｰﾌﾞﾙの接続状況、通信設定等確認して下さい。\nConnect Error (%d)";
inline constexpr std::string_view kConnectErrorCaption = "接続エラー";
inline constexpr std::string_view kSetupReadError =
    "接続エラー (%d)\n（本体と切断されているか通信設定が異なるおそれがあります。）";
inline constexpr std::string_view kSetupReadErrorCaption = "通信ｴﾗｰ";
inline constexpr std::string_view kTableReadError = "ﾃｰﾌﾞﾙﾃﾞｰﾀﾘｰﾄﾞｴﾗｰ (%d)";
inline constexpr std::string_view kProgramReadError = "ﾌﾟﾛｸﾞﾗﾑﾃﾞｰﾀﾘｰﾄﾞｴﾗｰ (%d)";
inline constexpr std::string_view kReadErrorCaption = "ﾘｰﾄﾞｴﾗｰ";
inline constexpr std::string_view kSetupWriteError = "SetSetup Error (%d)";
inline constexpr std::string_view kTableWriteError = "SetTable Error (%d)";
inline constexpr std::string_view kProgramWriteError = "Setproguram Error (%d)";
inline constexpr std::string_view kWriteErrorCaption = "ﾗｲﾄｴﾗｰ";
inline constexpr std::string_view kCloseQuestion = "終了してよろしいですか？";
inline constexpr std::string_view kCaptionNotice = "注意";
inline constexpr std::string_view kInitializeError = "Initialize Error (%d)";
inline constexpr std::string_view kCaptionTest = "TEST";
inline constexpr std::string_view kCaptionError = "エラー";
inline constexpr std::string_view kCaptionErrorNarrow = "ｴﾗｰ";

// Save dialog.
inline constexpr std::string_view kEnterFileName = "ファイル名を入力して下さい。";
inline constexpr std::string_view kNeedExtension = "ﾌｧｲﾙ名の拡張子に*.txtを付けてください";
inline constexpr std::string_view kOverwrite = "同じファイル名が存在します 上書きしますか ?";
inline constexpr std::string_view kWriting = "ﾌｧｲﾙに書き込み中";
inline constexpr std::string_view kWriteFailed = "ﾌｧｲﾙ書き込みエラー";
inline constexpr std::string_view kWriteStopped = "書込み中止ｷｬﾝｾﾙを押して下さい。";
inline constexpr std::string_view kWritten = "ﾌｧｲﾙに書込み終了";

// Send dialog.
inline constexpr std::string_view kChooseFile = "ファイルを指定して下さい。";
inline constexpr std::string_view kSending = "ﾃﾞｰﾀ送信中";
inline constexpr std::string_view kFileRefused = "送信出来ませんでした。ｷｬﾝｾﾙを押して下さい。";
inline constexpr std::string_view kSent = "ﾃﾞｰﾀ送信終了";
inline constexpr std::string_view kSendFailed = "ﾃﾞｰﾀ送信出来ませんでした。";
inline constexpr std::string_view kLinkLostSetup = "通信異常！\n（本体と切断されているか通信設定が異なります。）";
inline constexpr std::string_view kLinkLostLater = "通信異常！\n（本体と切断されているか通信中設定が変更されました。）";

// Table data dialog.
inline constexpr std::string_view kTableSending = "送信中";
inline constexpr std::string_view kTableSendFailed = "ﾃﾞｰﾀ送信出来ませんでした｡ｷｬﾝｾﾙを押して下さい｡";
inline constexpr std::string_view kShown = "表示されました";
inline constexpr std::string_view kFree = "残り%dbyte";

// The text with its "%d" replaced by the number.
std::string with_number(std::string_view text, int number);

}  // namespace setxfer::texts
