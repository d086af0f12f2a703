#!/usr/bin/env bash
# The manual pages render without warnings and name every option that --help
# names; the bash completion, sourced into bash, offers the commands, every
# option of every command and the choices of option values.
#   docs_test.sh BUILD DIST_SOURCE QT(0|1)
set -euo pipefail
build=$(cd "$1" && pwd)
dist=$(cd "$2" && pwd)
qt=$3
zamvex=$build/cli/zamvex
docs=$build/cli/docs
fail() { echo "FAIL: $*" >&2; exit 1; }

render() {
  local warnings
  warnings=$(MANWIDTH=80 man --warnings -l "$1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$(basename "$1") renders with warnings: $warnings"
  MANWIDTH=80 man -l "$1" 2>/dev/null | col -b
}
# "--name" words of a help text.
options_of() { grep -o -- '--[a-z][a-z0-9-]*' | sort -u; }

commands=$("$zamvex" --help | sed -n '/^commands:/,/^$/p' | awk 'NF > 1 {print $1}')
[ -n "$commands" ] || fail "zamvex --help lists no commands"
page=$(render "$docs/zamvex.1")
for c in $commands; do
  grep -q "^ *zamvex $c\b" <<<"$page" || fail "zamvex.1 has no section for $c"
  for o in $("$zamvex" "$c" --help | options_of); do
    grep -q -- "$o\b" <<<"$page" || fail "zamvex.1 does not name $c's option $o"
  done
done
if [ "$qt" = 1 ]; then
  for p in capstore frontpad setxfer; do
    page=$(render "$dist/man/$p.1")
    exe=$(find "$build" -type f -name "$p" -perm -u+x | head -n 1)
    for o in $("$exe" --help | options_of); do
      grep -q -- "$o\b" <<<"$page" || fail "$p.1 does not name $p's option $o"
    done
  done
fi

# complete WORDS...: what the completion offers for the last word.
complete_words() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(( $# - 1 )); _zamvex; printf "%s\n" "${COMPREPLY[@]}"' \
    _ "$docs/zamvex.bash" "$@"
}
expect() {   # expect "WANTED WORDS" WORDS...
  local wanted=$1 got
  shift
  got=$(complete_words "$@" | sort | tr '\n' ' ')
  [ "$got" = "$wanted " ] || fail "completing '$*' gave '$got', not '$wanted'"
}
offered=$(complete_words zamvex "" | sort | tr '\n' ' ')
for c in $commands; do grep -qw -- "$c" <<<"$offered" || fail "the completion does not offer $c"; done
for c in $commands; do
  for o in $("$zamvex" "$c" --help | options_of); do
    offered=$(complete_words zamvex "$c" "${o:0:4}")
    grep -qx -- "$o" <<<"$offered" || fail "the completion does not offer $c $o"
  done
done
expect "csv print" zamvex convert --format ""
expect "sd sdrd" zamvex export --line = s
expect "--frame" zamvex export --fr
expect "x25 x25ua x25x" zamvex convert --frame x
expect "convert" zamvex help conv
expect "save send" zamvex settings ""
expect "RV-7010 RV-7020 RV-7030" zamvex simulate --model RV
mkdir -p "$build/dist/completion-dir-probe"
offered=$(cd "$build/dist" && complete_words zamvex convert --out completion-dir-pr)
grep -qx completion-dir-probe <<<"$offered" || fail "--out does not offer folders"
if command -v zsh >/dev/null; then zsh -n "$docs/_zamvex" || fail "_zamvex is not valid zsh"; fi
echo "manual pages and completion agree with --help"
