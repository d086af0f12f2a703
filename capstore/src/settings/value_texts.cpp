// Lookups in the value-text tables of the stored settings.
#include "settings/value_texts.h"

#include <algorithm>
#include <cctype>

namespace capstore {
namespace {

bool same_text(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

int ValueTexts::read(std::string_view stored) const {
    for (std::size_t i = 0; i < count; ++i)
        if (same_text(rows[i].text, stored)) return rows[i].value;
    return read_default;
}

std::string_view ValueTexts::write(int value) const {
    for (std::size_t i = 0; i < count; ++i)
        if (rows[i].value == value) return rows[i].text;
    return write_default;
}

}  // namespace capstore
