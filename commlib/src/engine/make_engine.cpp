// Creates the protocol engine.
//
// TEMPORARY: the real protocol engine is built on its own branch and replaces
// this file's body. Until then this stand-in keeps the link usable: it stays
// idle (so the reader drops every byte) and answers every request with status
// 257, "unknown request". It does not talk to the analyzer at all.
#include "engine/engine.h"

namespace commlib {
namespace {

class IdleEngine final : public Engine {
public:
    explicit IdleEngine(EngineOutput& out) : out_(out) {}

    void request(int code, int, std::intptr_t) override { out_.notify(code, StatusUnknownRequest, nullptr); }
    void linkEvent(int, std::unique_ptr<LinkMessage>) override {}
    void tick() override {}
    void reset() override { out_.discardReceive(); }
    int state() const override { return 0; }
    const char* modelName() const override { return ""; }
    int version() const override { return 0; }
    int linkMode() const override { return 0; }
    int status() const override { return 0; }
    void* setupData() override { return nullptr; }
    void* tableData() override { return nullptr; }
    void* programData() override { return nullptr; }
    const BitmapInfo* screenInfo() const override { return nullptr; }
    const void* screenBits() const override { return nullptr; }
    void scanBufferFolder(const BufferSettings&) override {}

private:
    EngineOutput& out_;
};

} // namespace

std::unique_ptr<Engine> makeEngine(EngineOutput& out) { return std::make_unique<IdleEngine>(out); }

} // namespace commlib
