// The capture writer the library runs with.
#include "capture/capture_writer.h"

namespace commlib {

std::unique_ptr<CaptureSink> MakeCaptureSink(EngineOutput& out) {
    return std::make_unique<capture::CaptureWriter>(out);
}

}  // namespace commlib
