// Data-set access for the dialogs: the library hands out bare pointers, which
// become spans of the sizes the settings-file code expects.
#include "setxfer_flows/session.h"

#include <cstdint>

namespace setxfer {
namespace {

template <typename T>
std::span<T> body(void* p, std::size_t size) {
    return p ? std::span<T>(static_cast<T*>(p), size) : std::span<T>();
}

}  // namespace

ConstBodies Session::bodies() const {
    return {body<const std::uint8_t>(remote->GetSetupData(), SetupSize),
            body<const std::uint8_t>(remote->GetTableData(), TableCapacity),
            body<const std::uint8_t>(remote->GetProgramData(), ProgramSize)};
}

Bodies Session::mutable_bodies() const {
    return {body<std::uint8_t>(remote->GetSetupData(), SetupSize),
            body<std::uint8_t>(remote->GetTableData(), TableCapacity),
            body<std::uint8_t>(remote->GetProgramData(), ProgramSize)};
}

}  // namespace setxfer
