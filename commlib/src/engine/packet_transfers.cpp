// Packet mode once connected: data-set gets ("@" "6" and "D" pieces in),
// puts ("@" "7" and "D" pieces of at most 1008 bytes out, one per completed
// write), "E" ends, and the answers to measure start and stop-reason query.
#include <algorithm>
#include <vector>

#include "engine/protocol_engine.h"
#include "platform/little_endian.h"

namespace commlib {

using namespace engine;

namespace {

constexpr std::uint8_t LastPiece = 0x01;
constexpr std::uint8_t Abort = 0x80;

std::uint16_t Word(std::span<const std::uint8_t> p, std::size_t at) {
    return p.size() >= at + 2 ? platform::readUint16(&p[at]) : 0;
}

void PutLittle(std::vector<std::uint8_t>& v, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) v.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

void ProtocolEngine::TransferAnswer(int row, bool get, std::span<const std::uint8_t> p) {
    const Transfer& t = Transfers[row];
    const std::uint32_t requested = get ? marker::GetRequested(row) : marker::PutRequested(row);
    if (!(pending_ & requested)) return;
    pending_ &= ~requested;
    if (p.size() < 6 || Word(p, 4) != t.item) {
        // Answered for another item: this data set is not available here.
        return void(Notify(get ? t.getCode : t.putCode, StatusNotAvailable));
    }
    if (get) {
        Arm(TimerCommand);
        pending_ |= marker::GetReceiving(row);
    } else {
        uploads_[row] = {t.putId, 0};
        pending_ |= marker::PutSending(row);
        SendPiece(row);
    }
}

void ProtocolEngine::RefuseTransfer(int row, bool get, int reason) {
    const Transfer& t = Transfers[row];
    const std::uint32_t mask = get ? marker::GetRequested(row) | marker::GetReceiving(row)
                                   : marker::PutRequested(row) | marker::PutSending(row);
    if (!(pending_ & mask)) return;
    pending_ &= ~mask;
    if (!get) uploads_[row].offset = -1;
    Notify(get ? t.getCode : t.putCode, TransferRefusal(reason));
}

void ProtocolEngine::OnDataPiece(std::span<const std::uint8_t> p) {
    const std::uint8_t pieceId = p[2];
    const std::uint8_t flags = p[3];
    const std::uint16_t pieceItem = Word(p, 4);
    const auto offset = static_cast<std::int32_t>(LittleEndian(p.subspan(6, 4)));
    const std::span<const std::uint8_t> data = p.subspan(10);
    const auto row = TransferByGetId(pieceId);
    DataSet* set = row ? TransferSet(*row) : nullptr;
    if (!row || !(pending_ & marker::GetReceiving(*row)) || pieceItem != Transfers[*row].item || !set) {
        // Not ours to take: tell the analyzer to stop sending it.
        std::vector<std::uint8_t> end{'E', 0, pieceId, static_cast<std::uint8_t>(flags | Abort)};
        PutLittle(end, pieceItem, 2);
        return SendPacket(end, TimerKeep);
    }
    if (offset >= 0) set->ReceiveAt(offset, data.data(), static_cast<int>(data.size()));
    if (!(flags & (LastPiece | Abort))) return Arm(TimerCommand);
    std::vector<std::uint8_t> end{'E', 0, pieceId, flags};
    PutLittle(end, pieceItem, 2);
    SendPacket(end, TimerKeep);
    pending_ &= ~marker::GetReceiving(*row);
    Notify(Transfers[*row].getCode, flags == LastPiece ? StatusDone : StatusCancelled);
}

void ProtocolEngine::OnEndPacket(std::span<const std::uint8_t> p) {
    const std::uint8_t endId = p[2];
    const std::uint8_t flags = p[3];
    const auto row = TransferByPutId(endId);
    if (!row || !(pending_ & marker::PutSending(*row)) || Word(p, 4) != Transfers[*row].item) return;
    if (!(flags & (LastPiece | Abort))) return;
    pending_ &= ~marker::PutSending(*row);
    uploads_[*row].offset = -1;
    Notify(Transfers[*row].putCode, (flags & Abort) ? StatusCancelled : StatusDone);
}

void ProtocolEngine::SendPiece(int row) {
    Upload& u = uploads_[row];
    DataSet* set = TransferSet(row);
    if (!set || u.offset < 0) return;
    std::vector<std::uint8_t> piece{'D', 0, u.id, 0};
    PutLittle(piece, Transfers[row].item, 2);
    PutLittle(piece, static_cast<std::uint32_t>(u.offset), 4);
    piece.resize(10 + PacketPiece);
    int n = PacketPiece;
    const int left = set->ReadAt(u.offset, piece.data() + 10, &n);
    n = std::clamp(n, 0, PacketPiece);
    piece.resize(10 + static_cast<std::size_t>(n));
    if (left > 0 && n > 0) {
        SendPacket(piece, TimerOff);
        u.offset += n;
    } else {
        // The last piece: now the analyzer's "E" is awaited.
        piece[3] = LastPiece;
        SendPacket(piece, TimerCommand);
        u.offset = -1;
    }
}

void ProtocolEngine::ContinueUploads() {
    for (int row = 0; row < UploadCount; ++row)
        if (uploads_[row].offset >= 0) SendPiece(row);
}

void ProtocolEngine::MeasureAnswer(std::span<const std::uint8_t> results) {
    if (!(pending_ & marker::MeasureStart)) return;
    pending_ &= ~marker::MeasureStart;
    bool started = false;
    for (const ItemRecord& r : ParseItemRecords(results))
        if (r.item == item::Measure) started = LittleEndian(r.value) != 0;
    Notify(ReqMeasure, started ? StatusDone : StatusRefused);
    // The measurement we started is watched until it stops.
    if (started) StartSupervision();
}

void ProtocolEngine::StopReasonAnswer(std::span<const std::uint8_t> results) {
    if (!(pending_ & marker::StopReason)) return;
    for (const ItemRecord& r : ParseItemRecords(results))
        if (r.item == item::StopReason) stopReason_ = static_cast<int>(LittleEndian(r.value, 2));
    pending_ &= ~marker::StopReason;
    Notify(ReqGetStopReason, StatusDone, &stopReason_);
}

}  // namespace commlib
