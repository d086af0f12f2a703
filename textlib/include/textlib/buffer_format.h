// The PC buffer as the conversion reads it: the data-info body offsets we
// interpret, record-word kinds and the reader's filter flags. The folder's
// files and the information file's header are the shared format's
// (pcbuffer/buffer_names.h); the sizes the reader works in are taken from there.
//
// Errors: none; constants only.
// Threads: any.
#pragma once
#include <cstdint>

#include "pcbuffer/buffer_names.h"

namespace textlib {

constexpr int kBlockWords = pcbuffer::kBlockBytes / pcbuffer::kRecordBytes;  // record words in a full block file
constexpr int kLiveTrimEvery = 0x10000;  // live records: words read between let-go checks

// Data-info body offsets.
namespace info {
constexpr int kMode = 1;  // 0 ASYNC, 1 SYNC, 2 HDLC, 3 NRZI, 4 PPP
constexpr int kSSpeed = 2;
constexpr int kRSpeed = 3;
constexpr int kCode = 4;
constexpr int kCharBit = 5;
constexpr int kParity = 6;
constexpr int kStopOrClock = 7;
constexpr int kCheck = 17;  // BCC kind, or FCS on/off for HDLC and NRZI
constexpr int kSdAddrOn = 18;
constexpr int kSdAddr = 19;
constexpr int kRdAddrOn = 20;
constexpr int kRdAddr = 21;
constexpr int kIdleUnit = 30;       // what an idle value counts (IdleScale)
constexpr int kLineStates = 33;     // non-zero when line-state records were recorded
constexpr int kRecordCount = 2034;  // single data files only
}  // namespace info

enum Mode : int { kAsync = 0, kSync = 1, kHdlc = 2, kNrzi = 3, kPpp = 4 };

// Milliseconds per idle value for the info body's idle-time unit: 1 x100, 2 x10, else x1.
constexpr int IdleScale(int unit) { return unit == 1 ? 100 : unit == 2 ? 10 : 1; }

// Filter flags of BufferReader::SetFilter.
constexpr int kHideSd = 0x1;
constexpr int kHideRd = 0x2;
constexpr int kSkipLineState = 0x100;
constexpr int kSkipIdle = 0x200;
constexpr int kSkipTimeStamp = 0x400;

// Special-word kinds (low 6 bits of a raw word, low 2 bits once spread over columns).
constexpr int kKindLineState = 1;
constexpr int kKindIdle = 2;
constexpr int kKindTimeStamp = 3;

constexpr std::uint32_t kGapLow = 0xFF80;
constexpr int kStatusNone = 15;

constexpr bool IsGap(std::uint32_t w) { return (w & 0xFFFF) == kGapLow; }
constexpr bool IsData(std::uint32_t w) { return !IsGap(w) && (w & 0x30) != 0; }
constexpr bool IsSpecial(std::uint32_t w) { return w != 0 && !IsGap(w) && (w & 0x30) == 0; }
constexpr bool IsLineState(std::uint32_t w) { return IsSpecial(w) && (w & 0x3F) == kKindLineState; }
constexpr int Byte(std::uint32_t w, int n) { return static_cast<int>((w >> (8 * n)) & 0xFF); }

// Character cells: the SD cell is the low half of a data word, the RD cell the high half.
constexpr std::uint16_t SdCell(std::uint32_t w) { return static_cast<std::uint16_t>(w); }
constexpr std::uint16_t RdCell(std::uint32_t w) { return static_cast<std::uint16_t>(w >> 16); }
constexpr int CellStatus(std::uint16_t cell) { return cell & 0x0F; }
constexpr int CellChar(std::uint16_t cell) { return cell >> 8; }

}  // namespace textlib
