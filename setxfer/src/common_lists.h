// Value lists that several sections share.
#pragma once
#include <array>
#include <string_view>

#include "names.h"

namespace setxfer {

inline constexpr std::array<std::string_view, 2> kOnOff = {"OFF", "ON"};

// Table numbers as FLOW CONTROL and the trigger's SEND action print them.
inline constexpr std::array<std::string_view, 16> kTableNumbers = {
    "No0", "No1", "No2", "No3", "No4", "No5", "No6", "No7", "No8", "No9", "NoA", "NoB", "NoC", "NoD", "NoE", "NoF",
};
static_assert(all_unique(kTableNumbers));

}  // namespace setxfer
