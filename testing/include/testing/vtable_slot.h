// The table entry a virtual operation occupies, for the tests that pin the
// binary interfaces: programs built against an earlier version call by entry.
// The Itanium C++ ABI keeps 1 + the entry's byte offset in a pointer to a
// virtual member; a virtual destructor takes two entries.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace testing_util {

template <typename Member>
std::ptrdiff_t slot_of(Member member) {
    struct {
        std::uintptr_t ptr, adjust;
    } raw;
    static_assert(sizeof(Member) == sizeof raw);
    std::memcpy(&raw, &member, sizeof raw);
    return static_cast<std::ptrdiff_t>((raw.ptr - 1) / sizeof(void*));
}

}  // namespace testing_util
