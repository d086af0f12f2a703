// Creates the protocol engine the library runs, with the capture writer it calls.
#include "engine/capture_sink.h"
#include "engine/protocol_engine.h"

namespace commlib {

std::unique_ptr<Engine> MakeEngine(EngineOutput& out) {
    return std::make_unique<ProtocolEngine>(out, MakeCaptureSink(out));
}

}  // namespace commlib
