// The manual page and the shell completions of `zamvex`, written from the
// command table, so a command or option added there shows up in all of them.
#pragma once
#include <string>

namespace cli {

// zamvex(1) in man(7) markup.
std::string man_page(const std::string& version);
// A bash completion script defining _zamvex for `complete -F`.
std::string bash_completion();
// A zsh completion function file (_zamvex).
std::string zsh_completion();

}  // namespace cli
