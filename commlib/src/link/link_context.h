// What the writer, reader and protocol threads share while the port is open.
// The SerialLink creates it at Open and destroys it at Close, after all three
// threads have ended; each thread reads only its own queue.
#pragma once
#include <atomic>
#include <memory>

#include "engine/engine.h"
#include "link/link_message.h"
#include "platform/event.h"
#include "platform/message_queue.h"
#include "platform/serial_port.h"

namespace commlib {

// Private protocol-thread message: run the engine reset, then set resetDone.
inline constexpr unsigned MsgResetLink = 0x8003;
inline constexpr std::uintptr_t ProtocolTimerId = 1;
inline constexpr int ProtocolTickMs = 200;
// Received messages the protocol thread may have waiting before the reader
// stops taking bytes from the port (about 2 MiB): when the engine falls
// behind, the line waits in the port's buffers instead of in memory.
inline constexpr int MaxReceivedQueued = 1024;

struct LinkContext {
    LinkContext(platform::SerialPort& p, Engine& e) : port(p), engine(e) {}

    platform::SerialPort& port;
    Engine& engine;
    platform::MessageQueue writerQueue, readerQueue, protocolQueue;
    // Set by each thread once it runs (the protocol thread only after the other two).
    std::atomic<bool> writerStarted{false}, readerStarted{false};
    platform::ManualResetEvent protocolStarted;
    // DTR and RTS up, or why not: set by the protocol thread before
    // protocolStarted (a failure ends the open).
    platform::Status linesRaised;
    platform::ManualResetEvent requestAccepted;
    platform::ManualResetEvent resetDone;
    // Set by the first of reader and writer that finds the port gone for good.
    std::atomic<bool> lineGone{false};
    // Received messages posted to the protocol thread and not yet taken.
    std::atomic<int> receivedQueued{0};
};

// Tells the protocol thread, once per open port, that the port is gone for good.
void ReportLineGone(LinkContext& ctx);

// Frees a LinkMessage that travels as a message's lParam when the queue drops it.
void DisposeLinkMessage(std::intptr_t lParam);

// Posts a link message or event; the message is freed if the post fails.
bool PostLink(platform::MessageQueue& queue, int wParam, std::unique_ptr<LinkMessage> msg);

// Takes ownership of the LinkMessage carried by a message (null for none).
std::unique_ptr<LinkMessage> TakeLinkMessage(const platform::Message& m);

// The thread bodies. Each returns when its queue gets quit.
void RunWriter(LinkContext& ctx);
void RunReader(LinkContext& ctx);
void RunProtocol(LinkContext& ctx);

}  // namespace commlib
