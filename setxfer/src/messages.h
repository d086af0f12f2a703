// The settings tool's message and caption texts, as the Shift_JIS bytes that the
// message boxes show (the comment above each gives the characters).
#pragma once
#include <string_view>

namespace setxfer::text {
// The literals are split where a hex escape would swallow the next character.
// clang-format off
// ﾌｧｲﾙのﾃﾞｰﾀが違います 
inline constexpr std::string_view kModelMismatch = "\xCC\xA7\xB2\xD9\x82\xCC\xC3\xDE\xB0\xC0\x82\xAA\x88\xE1\x82\xA2\x82\xDC\x82\xB7" " ";
// エラー
inline constexpr std::string_view kCaptionModel = "\x83" "G\x83\x89\x81" "[";
// ｴﾗｰ
inline constexpr std::string_view kCaptionError = "\xB4\xD7\xB0";
// 入力CONFIGﾃﾞｰﾀエラー
inline constexpr std::string_view kConfig = "\x93\xFC\x97\xCD" "CONFIG\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 入力TIMCOUNTﾃﾞｰﾀエラー
inline constexpr std::string_view kTimerCounter = "\x93\xFC\x97\xCD" "TIMCOUNT\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 入力CONDITIONﾃﾞｰﾀエラー
inline constexpr std::string_view kCondition = "\x93\xFC\x97\xCD" "CONDITION\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 2入力CONDITIONﾃﾞｰﾀエラー
inline constexpr std::string_view kCondition2 = "2\x93\xFC\x97\xCD" "CONDITION\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 入力AUTORUNﾃﾞｰﾀエラー
inline constexpr std::string_view kAutoRun = "\x93\xFC\x97\xCD" "AUTORUN\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 入力AUTOCONFIGﾃﾞｰﾀエラー
inline constexpr std::string_view kAutoConfig = "\x93\xFC\x97\xCD" "AUTOCONFIG\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 入力TRENDﾃﾞｰﾀエラー
inline constexpr std::string_view kTrend = "\x93\xFC\x97\xCD" "TREND\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 入力BERTﾃﾞｰﾀエラー
inline constexpr std::string_view kBeat = "\x93\xFC\x97\xCD" "BERT\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 入力MUNUALﾃﾞｰﾀエラー
inline constexpr std::string_view kManual = "\x93\xFC\x97\xCD" "MUNUAL\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 入力BUFFERﾃﾞｰﾀエラー
inline constexpr std::string_view kBuffer = "\x93\xFC\x97\xCD" "BUFFER\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 入力FLOWﾃﾞｰﾀエラー
inline constexpr std::string_view kFlow = "\x93\xFC\x97\xCD" "FLOW\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 入力ECHOﾃﾞｰﾀエラー
inline constexpr std::string_view kEcho = "\x93\xFC\x97\xCD" "ECHO\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 入力POLLINGﾃﾞｰﾀエラー
inline constexpr std::string_view kPolling = "\x93\xFC\x97\xCD" "POLLING\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// 入力2POLLINGﾃﾞｰﾀエラー
inline constexpr std::string_view kPolling2 = "\x93\xFC\x97\xCD" "2POLLING\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// ﾃｰﾌﾞﾙﾃﾞｰﾀが見つかりません。送信を中断します。
inline constexpr std::string_view kTableMarker = "\xC3\xB0\xCC\xDE\xD9\xC3\xDE\xB0\xC0\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81" "B\x91\x97\x90" "M\x82\xF0\x92\x86\x92" "f\x82\xB5\x82\xDC\x82\xB7\x81" "B";
// ﾃｰﾌﾞﾙﾃﾞｰﾀｴﾗｰ
inline constexpr std::string_view kCaptionTableMarker = "\xC3\xB0\xCC\xDE\xD9\xC3\xDE\xB0\xC0\xB4\xD7\xB0";
// ﾌﾟﾛｸﾞﾗﾑﾃﾞｰﾀが見つかりません。送信を中断します。
inline constexpr std::string_view kProgramMarker = "\xCC\xDF\xDB\xB8\xDE\xD7\xD1\xC3\xDE\xB0\xC0\x82\xAA\x8C\xA9\x82\xC2\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81" "B\x91\x97\x90" "M\x82\xF0\x92\x86\x92" "f\x82\xB5\x82\xDC\x82\xB7\x81" "B";
// ﾌﾟﾛｸﾞﾗﾑﾃﾞｰﾀｴﾗｰ
inline constexpr std::string_view kCaptionProgramMarker = "\xCC\xDF\xDB\xB8\xDE\xD7\xD1\xC3\xDE\xB0\xC0\xB4\xD7\xB0";
// 入力ﾃｰﾌﾞﾙﾃﾞｰﾀｴﾗｰ
inline constexpr std::string_view kTableData = "\x93\xFC\x97\xCD\xC3\xB0\xCC\xDE\xD9\xC3\xDE\xB0\xC0\xB4\xD7\xB0";
// ﾃｰﾌﾞﾙﾃﾞｰﾀ数ｴﾗｰ
inline constexpr std::string_view kTableCount = "\xC3\xB0\xCC\xDE\xD9\xC3\xDE\xB0\xC0\x90\x94\xB4\xD7\xB0";
// 入力ﾌﾟﾛｸﾞﾗﾑﾃﾞｰﾀエラー
inline constexpr std::string_view kProgramData = "\x93\xFC\x97\xCD\xCC\xDF\xDB\xB8\xDE\xD7\xD1\xC3\xDE\xB0\xC0\x83" "G\x83\x89\x81" "[";
// ﾃｰﾌﾞﾙﾃﾞｰﾀの入力数が多過ぎます
inline constexpr std::string_view kTableTooLong = "\xC3\xB0\xCC\xDE\xD9\xC3\xDE\xB0\xC0\x82\xCC\x93\xFC\x97\xCD\x90\x94\x82\xAA\x91\xBD\x89\xDF\x82\xAC\x82\xDC\x82\xB7";
// 設定ﾃﾞｰﾀ
inline constexpr std::string_view kSaveType0 = "\x90\xDD\x92\xE8\xC3\xDE\xB0\xC0";
// 設定ﾃﾞｰﾀ+ﾃｰﾌﾞﾙﾃﾞｰﾀ
inline constexpr std::string_view kSaveType1 = "\x90\xDD\x92\xE8\xC3\xDE\xB0\xC0" "+\xC3\xB0\xCC\xDE\xD9\xC3\xDE\xB0\xC0";
// 設定ﾃﾞｰﾀ+ﾃｰﾌﾞﾙﾃﾞｰﾀ+ﾌﾟﾛｸﾞﾗﾑﾃﾞｰﾀ
inline constexpr std::string_view kSaveType2 = "\x90\xDD\x92\xE8\xC3\xDE\xB0\xC0" "+\xC3\xB0\xCC\xDE\xD9\xC3\xDE\xB0\xC0" "+\xCC\xDF\xDB\xB8\xDE\xD7\xD1\xC3\xDE\xB0\xC0";

// clang-format on
}  // namespace setxfer::text
