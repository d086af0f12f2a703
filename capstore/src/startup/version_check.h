// The start-up check that the two libraries are recent enough. Both export
// MKGetDllVersion, so each is looked up on its own library's handle.
#pragma once
#include <cstdint>
#include <string>

namespace capstore {

inline constexpr std::uint32_t kCommlibMinimum = 0x0100000D;
inline constexpr std::uint32_t kTextlibMinimum = 0x0100000D;  // the live conversion slots
inline constexpr const char* kCommlibName = "libcommlib.so";
inline constexpr const char* kTextlibName = "libtextlib.so";

// The version a library reports: the library already loaded under that name
// (or loaded by that name or path), 0 when it or its export is not found.
std::uint32_t library_version(const std::string& name);

// The message that stops the program, or null when both versions suffice.
const char* version_problem(std::uint32_t commlib, std::uint32_t textlib);

}  // namespace capstore
