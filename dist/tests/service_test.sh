#!/usr/bin/env bash
# Installs the build into a temporary root beside a copy of this machine's
# systemd units and has `systemd-analyze verify` check an instance of the
# capture service there: it must exit 0 and have nothing to say (it reports
# unknown settings, bad values and a program it cannot find, but exits 0 for
# some of them). Skipped (77) where systemd-analyze is missing.
#   service_test.sh BUILD
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
command -v systemd-analyze >/dev/null || { echo "note: systemd-analyze is not installed; skipped"; exit 77; }
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root
mkdir -p "$root/usr/lib/systemd"
cp -a /lib/systemd/system "$root/usr/lib/systemd/"
rm -f "$root/usr/lib/systemd/system/zamvex-capture@.service"  # the one installed on this machine, if any
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
unit=$root/usr/lib/systemd/system/zamvex-capture@.service
[ -f "$unit" ] || fail "not installed: /usr/lib/systemd/system/zamvex-capture@.service"
instance=$(systemd-escape --path /dev/serial/by-id/usb-FTDI_FT232R_A12345XY-if00-port0)
# The manual page its Documentation= names is the installed one.
out=$(MANPATH=$root/usr/share/man systemd-analyze verify --root="$root" "zamvex-capture@$instance.service" 2>&1) ||
  fail "systemd-analyze verify: $out"
[ -z "$out" ] || fail "systemd-analyze verify says: $out"
echo "systemd-analyze verify zamvex-capture@$instance.service: nothing to say"
