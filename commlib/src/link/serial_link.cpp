// Opening and closing the link, and what the engine sends through it.
#include "link/serial_link.h"

#include <cerrno>
#include <chrono>
#include <system_error>

#include "platform/port_name.h"

namespace commlib {
namespace {

int IgnoreNotification(int, int, void*) { return 0; }

// How long Request waits for the protocol thread to take a request.
constexpr std::chrono::milliseconds RequestAcceptTimeout{3000};
// How long the application waits for a reset or for a thread to end.
constexpr std::chrono::milliseconds ThreadWaitTimeout{600000};

}  // namespace

SerialLink::SerialLink(platform::SysCalls& sys) : port_(sys), notify_(IgnoreNotification) {}

SerialLink::~SerialLink() { Close(); }

void SerialLink::SetNotify(NotifyFn fn) { notify_.store(fn ? fn : IgnoreNotification); }

LinkOpen SerialLink::Open(const std::string& portName, const platform::LineSettings& settings) {
    Close();
    failure_ = {};
    const std::string path = platform::devicePath(portName);
    if (path.empty() || !engine_) {
        failure_ = {platform::PortStep::Open, ENOENT};
        return LinkOpen::Failed;
    }
    if (!port_.open(path).ok()) {
        failure_ = port_.failure();
        return failure_.step == platform::PortStep::NotSerial ? LinkOpen::NotCharDevice : LinkOpen::Failed;
    }
    if (!port_.configure(settings).ok()) {
        failure_ = port_.failure();
        port_.close();
        return LinkOpen::Failed;
    }
    // A device that will not drop its old input or raise DTR and RTS (gone
    // meanwhile) fails the open as its setup.
    if (const platform::Status purged = port_.purge(true, true); !purged.ok()) {
        failure_ = {platform::PortStep::Configure, purged.errorNumber()};
        port_.close();
        return LinkOpen::Failed;
    }
    if (!StartThreads()) {
        failure_ = {platform::PortStep::Open, EAGAIN};
        StopThreads();
        port_.close();
        return LinkOpen::Failed;
    }
    if (!ctx_->linesRaised.ok()) {
        failure_ = {platform::PortStep::Configure, ctx_->linesRaised.errorNumber()};
        StopThreads();
        port_.close();
        return LinkOpen::Failed;
    }
    return LinkOpen::Ok;
}

// Writer, then reader, then the protocol thread, which reports itself started
// only after the other two, so the link is complete when this returns.
bool SerialLink::StartThreads() {
    try {
        ctx_ = std::make_unique<LinkContext>(port_, *engine_);
        writer_ = std::thread(RunWriter, std::ref(*ctx_));
        reader_ = std::thread(RunReader, std::ref(*ctx_));
        protocol_ = std::thread(RunProtocol, std::ref(*ctx_));
    } catch (const std::exception&) {
        return false;
    }
    ctx_->protocolStarted.wait(ThreadWaitTimeout);
    return true;
}

void SerialLink::Close() {
    if (!ctx_) return;
    ResetEngine();
    StopThreads();
    port_.close();
}

void SerialLink::StopThreads() {
    if (!ctx_) return;
    // The purges only hurry the threads along; the quit ends them whether or
    // not the device still takes a flush.
    if (writer_.joinable()) {
        ctx_->writerQueue.postQuit();
        (void)port_.purge(true, true);
        writer_.join();
    }
    if (reader_.joinable()) {
        ctx_->readerQueue.postQuit();
        (void)port_.purge(true, true);
        reader_.join();
    }
    if (protocol_.joinable()) {
        ctx_->protocolQueue.postQuit();
        protocol_.join();
    }
    // Messages still queued are freed with the queues.
    ctx_.reset();
}

bool SerialLink::Request(int code, int param, std::intptr_t data) {
    if (!ctx_) return false;
    ctx_->requestAccepted.reset();
    const auto wParam =
        (static_cast<std::uintptr_t>(param & 0xFFFF) << 16) | static_cast<std::uintptr_t>(code & 0xFFFF);
    if (!ctx_->protocolQueue.post({MsgRequest, wParam, data, nullptr})) return false;
    return ctx_->requestAccepted.wait(RequestAcceptTimeout);
}

void SerialLink::ResetEngine() {
    if (!engine_) return;
    if (!ctx_) {
        engine_->Reset();  // no protocol thread: nothing runs beside us
        return;
    }
    ctx_->resetDone.reset();
    if (ctx_->protocolQueue.post({MsgResetLink, 0, 0, nullptr})) ctx_->resetDone.wait(ThreadWaitTimeout);
}

void SerialLink::SendRaw(std::unique_ptr<LinkMessage> msg) {
    if (ctx_ && msg) PostLink(ctx_->writerQueue, WriteRaw, std::move(msg));
}

void SerialLink::SendFrame(std::unique_ptr<LinkMessage> msg) {
    if (ctx_ && msg) PostLink(ctx_->writerQueue, WriteFrame, std::move(msg));
}

void SerialLink::DiscardReceive() {
    if (ctx_) PostLink(ctx_->readerQueue, EvDiscard, nullptr);
}

int SerialLink::Notify(int code, int status, void* data) { return notify_.load()(code, status, data); }

bool SerialLink::Cts() { return ctx_ && port_.cts(); }
bool SerialLink::Dsr() { return ctx_ && port_.dsr(); }

}  // namespace commlib
