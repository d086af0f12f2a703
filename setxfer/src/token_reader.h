// Reads the settings file as a stream of white-space separated tokens, each with a
// maximum width (a longer run is split at the width), the way every section reader
// consumes the file. Never reads past the end of the text.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace setxfer {

class TokenReader {
public:
    explicit TokenReader(std::span<const std::uint8_t> text) : text_(text) {}

    // Next token of at most width bytes; empty at the end of the text.
    std::string_view token(std::size_t width);
    // The same, ending also before the byte stop (which stays unread).
    std::string_view token_until(std::size_t width, char stop);

    // Consumes the words of a printed label or header (split at blanks), each read
    // with its own length as width. Labels are read, never compared.
    void skip(std::string_view printed);

    // A value token that turned out to be the start of the next label: the next
    // skip() reads only the rest of that label's first word.
    void carry(std::string_view partial) { carry_ = std::string(partial); }

    // A whole token of decimal digits (at most width); nullopt when the token is
    // anything else. The token is consumed either way.
    std::optional<std::uint32_t> number(std::size_t width);

    // A run of decimal digits (at most max_digits) after white space, as "%d" reads
    // a number attached to other text ("L12", "(25)"); nothing but white space is
    // consumed when no digit follows.
    std::optional<std::uint32_t> digits(std::size_t max_digits = 9);

    // Next non-blank byte (-1 at the end), consumed or only looked at.
    int next_char();
    int peek_char();
    // Next byte as it stands, white space included (-1 at the end).
    int raw_char();
    int peek_raw();

    bool at_end();

    // Bytes read so far: where a failed read stopped.
    std::size_t position() const { return pos_; }
    // The first place a value did not read (kept for the failure's line), if any.
    void note_unread(std::size_t at) {
        if (!first_unread_) first_unread_ = at;
    }
    std::optional<std::size_t> first_unread() const { return first_unread_; }

private:
    void skip_space();
    void skip_word(std::string_view word);

    std::span<const std::uint8_t> text_;
    std::size_t pos_ = 0;
    std::string carry_;
    std::optional<std::size_t> first_unread_;
};

}  // namespace setxfer
