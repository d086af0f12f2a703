#!/usr/bin/env bash
# Builds the Debian package from this build folder (as `make package` does)
# and checks its control fields, its file list and, where lintian is
# installed, that lintian finds nothing beyond the package's own overrides.
#   package_test.sh BUILD VERSION
set -euo pipefail
build=$(cd "$1" && pwd)
version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$work/zamvex_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || { ls "$work"; fail "no $(basename "$deb")"; }

info=$(dpkg-deb --info "$deb")
echo "$info"
field() { sed -n "s/^ $1: //p" <<<"$info"; }
[ "$(field Package)" = zamvex ] || fail "Package is not zamvex"
[ "$(field Version)" = "$version" ] || fail "Version is not $version"
depends=$(field Depends)
grep -q "fonts-noto-cjk | fonts-ipafont-gothic" <<<"$depends" || fail "no Japanese font in Depends: $depends"
grep -q "libc6 (>=" <<<"$depends" || fail "Depends has no computed library versions: $depends"
[ "$(field Recommends)" = tshark ] || fail "Recommends is not tshark"

contents=$(dpkg-deb --contents "$deb")
multiarch=$(dpkg-architecture -qDEB_HOST_MULTIARCH)
echo "$contents"
for f in ./usr/bin/zamvex ./usr/lib/$multiarch/zamvex/libcommlib.so ./usr/lib/$multiarch/zamvex/libtextlib.so \
         ./usr/share/man/man1/zamvex.1.gz ./usr/share/bash-completion/completions/zamvex \
         ./usr/share/doc/zamvex/copyright ./usr/share/doc/zamvex/changelog.gz ./usr/share/doc/zamvex/README.md \
         ./usr/lib/$multiarch/wireshark/extcap/zamvex-extcap ./usr/lib/systemd/system/zamvex-capture@.service \
         ./usr/share/doc/zamvex/examples/capture.conf ./usr/share/doc/zamvex/examples/70-zamvex-capture.rules; do
  grep -q " $f\$" <<<"$contents" || fail "not in the package: $f"
done
if grep -q " ./usr/bin/capstore\$" <<<"$contents"; then
  grep -q "libqt6widgets6" <<<"$depends" || fail "the window programs' Qt library is not in Depends"
  for f in ./usr/bin/frontpad ./usr/bin/setxfer ./usr/lib/$multiarch/zamvex/libcommlib_ui.so \
           ./usr/share/applications/zamvex-capstore.desktop ./usr/share/man/man1/setxfer.1.gz \
           ./usr/share/icons/hicolor/scalable/apps/zamvex-frontpad.svg; do
    grep -q " $f\$" <<<"$contents" || fail "not in the package: $f"
  done
fi
owners=$(awk '{print $2}' <<<"$contents" | sort -u)
[ "$owners" = root/root ] || fail "files not owned by root: $owners"

if command -v lintian >/dev/null; then
  lintian --fail-on error,warning "$deb" || fail "lintian"
  echo "lintian: no errors or warnings"
else
  echo "note: lintian is not installed; skipped"
fi
