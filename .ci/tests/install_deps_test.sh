#!/usr/bin/env bash
# The set-up step of `make test` and `make demo`: a few lines on the terminal,
# apt-get's output in the log, and apt-get's own failure shown with the log's
# end and path. Runs the dry-run mode, which needs no root and changes nothing.
set -euo pipefail
deps=$(cd "$(dirname "$0")/.." && pwd)/install-deps
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log=$work/logs/apt.log
fail() { echo "FAIL: $*" >&2; exit 1; }

# As on a fresh machine: one line naming every listed package and the log.
listed=$(grep -cv -e '^\s*#' -e '^\s*$' "$(dirname "$deps")/packages")
bash "$deps" --dry-run --fresh --log "$log" >"$work/out" 2>"$work/err" || fail "dry run failed: $(cat "$work/err")"
[ "$(wc -l <"$work/out")" -eq 1 ] || fail "dry run printed more than one line: $(cat "$work/out")"
[ ! -s "$work/err" ] || fail "dry run wrote to stderr: $(cat "$work/err")"
grep -qx "would install $listed Debian packages: cmake ninja-build .* (log: $log)" "$work/out" ||
  fail "unexpected line: $(cat "$work/out")"
grep -q 'cmake' "$log" || fail "apt-get's report is not in the log"

# A package that cannot exist: apt-get's reason, the log's path, exit 1.
status=0
bash "$deps" --dry-run --log "$log" zamvex-no-such-package-0 >"$work/out" 2>"$work/err" || status=$?
[ $status -eq 1 ] || fail "exit $status for a package that does not exist"
grep -qx "would install 1 Debian package: zamvex-no-such-package-0 (log: $log)" "$work/out" ||
  fail "unexpected line: $(cat "$work/out")"
grep -q '^  E: Unable to locate package zamvex-no-such-package-0$' "$work/err" ||
  fail "apt-get's reason is missing: $(cat "$work/err")"
grep -qx "the whole log: $log" "$work/err" || fail "the log's path is missing: $(cat "$work/err")"
[ "$(wc -l <"$work/err")" -le 15 ] || fail "more than the log's last lines: $(cat "$work/err")"

# Nothing missing: nothing to do; a mistake in the words: exit 2.
out=$(bash "$deps" --dry-run --log "$log" bash)
[ "$out" = "nothing to install (1 Debian package wanted, all installed)" ] || fail "unexpected: $out"
status=0
bash "$deps" --frobnicate 2>/dev/null || status=$?
[ $status -eq 2 ] || fail "exit $status for an unknown option"
echo "install-deps: dry run, apt-get failure and usage as expected"
