// Token reading over the settings file's bytes: white space is blank, tab, CR, LF,
// vertical tab and form feed, as the text-mode stream reader of the original tool saw it.
#include "token_reader.h"

namespace setxfer {
namespace {

bool is_space(std::uint8_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool is_digit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

void TokenReader::skip_space() {
    while (pos_ < text_.size() && is_space(text_[pos_])) ++pos_;
}

std::string_view TokenReader::token(std::size_t width) { return token_until(width, ' '); }

std::string_view TokenReader::token_until(std::size_t width, char stop) {
    carry_.clear();
    skip_space();
    std::size_t start = pos_;
    while (pos_ < text_.size() && pos_ - start < width && !is_space(text_[pos_]) &&
           text_[pos_] != static_cast<std::uint8_t>(stop))
        ++pos_;
    return {reinterpret_cast<const char*>(text_.data()) + start, pos_ - start};
}

void TokenReader::skip_word(std::string_view word) {
    if (!carry_.empty()) {
        std::string held = std::move(carry_);
        carry_.clear();
        if (held.size() <= word.size() && word.substr(0, held.size()) == held) {
            if (held.size() < word.size()) token(word.size() - held.size());
            return;
        }
    }
    token(word.size());
}

void TokenReader::skip(std::string_view printed) {
    std::size_t i = 0;
    while (i < printed.size()) {
        while (i < printed.size() && printed[i] == ' ') ++i;
        std::size_t start = i;
        while (i < printed.size() && printed[i] != ' ') ++i;
        if (i > start) skip_word(printed.substr(start, i - start));
    }
}

std::optional<std::uint32_t> TokenReader::number(std::size_t width) {
    std::string_view t = token(width < 9 ? width : 9);
    if (t.empty()) return std::nullopt;
    std::uint32_t v = 0;
    for (char c : t) {
        if (!is_digit(c)) return std::nullopt;
        v = v * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return v;
}

std::optional<std::uint32_t> TokenReader::digits(std::size_t max_digits) {
    carry_.clear();
    skip_space();
    if (max_digits > 9) max_digits = 9;
    std::size_t start = pos_;
    std::uint32_t v = 0;
    while (pos_ < text_.size() && pos_ - start < max_digits && is_digit(text_[pos_])) {
        v = v * 10 + static_cast<std::uint32_t>(text_[pos_] - '0');
        ++pos_;
    }
    if (pos_ == start) return std::nullopt;
    return v;
}

int TokenReader::next_char() {
    carry_.clear();
    skip_space();
    return pos_ < text_.size() ? text_[pos_++] : -1;
}

int TokenReader::peek_char() {
    skip_space();
    return pos_ < text_.size() ? text_[pos_] : -1;
}

int TokenReader::raw_char() {
    carry_.clear();
    return pos_ < text_.size() ? text_[pos_++] : -1;
}

int TokenReader::peek_raw() { return pos_ < text_.size() ? text_[pos_] : -1; }

bool TokenReader::at_end() {
    skip_space();
    return pos_ >= text_.size();
}

}  // namespace setxfer
