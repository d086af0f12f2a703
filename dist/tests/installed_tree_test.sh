#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR (stripped, as a package is), checks
# that no installed file points into the build or source tree, then runs the
# installed programs with both trees hidden: `zamvex --version`, `zamvex demo`,
# and each window program offscreen for a second with its libraries loaded
# from the installed folder (capstore asks its start-up question through the
# dialog plugin, so the plugin must come from there too).
#   installed_tree_test.sh BUILD SOURCE QT(0|1)
set -euo pipefail
fail() { echo "FAIL: $*" >&2; exit 1; }
qt=$3

# The second half runs inside a mount namespace where both trees are empty.
if [ "${4:-}" = "--run" ]; then
  build=$1
  root=$5
  work=$6
  private=$(echo "$root"/lib/*/zamvex)
  [ -z "$(ls -A "$build" 2>/dev/null)" ] || fail "the build tree is still visible"
  version=$("$root/bin/zamvex" --version) || fail "zamvex --version failed"
  echo "$version"
  grep -q "^zamvex [0-9]" <<<"$version" || fail "no suite version"
  grep -q "commit [0-9a-f]\{7,\}" <<<"$version" || fail "no build commit"
  grep -q "^libcommlib.so  MKGetDllVersion 0x[0-9A-F]\{8\} .*  $private/libcommlib.so\$" <<<"$version" ||
    fail "libcommlib.so not reported from $private"
  # zamvex links the text conversion code in; the windows load libtextlib.so.
  grep -q "^textlib  0x[0-9A-F]\{8\} .*  built into zamvex\$" <<<"$version" || fail "textlib's version not reported"
  (cd "$work" && "$root/bin/zamvex" demo --seconds 1 >demo.out 2>&1) || { cat "$work/demo.out"; fail "zamvex demo failed"; }
  grep -q "zamvex demo: done" "$work/demo.out" || fail "zamvex demo did not finish"
  [ "$qt" = 1 ] || exit 0
  export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
  export XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen LANG=C.UTF-8
  mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
  for program in capstore frontpad setxfer; do
    "$root/bin/$program" >"$work/$program.log" 2>&1 &
    pid=$!
    sleep 1
    maps=$(cat "/proc/$pid/maps" 2>/dev/null || true)
    kill -0 "$pid" 2>/dev/null || { cat "$work/$program.log"; fail "$program ended within a second"; }
    kill "$pid"; wait "$pid" 2>/dev/null || true
    grep -q " $private/libcommlib.so\$" <<<"$maps" || fail "$program did not load $private/libcommlib.so"
    if grep -q "libcommlib_ui.so\$" <<<"$maps"; then
      grep -q " $private/libcommlib_ui.so\$" <<<"$maps" || fail "$program loaded the dialog plugin from elsewhere"
      echo "$program ran for a second with $private/libcommlib.so and the dialog plugin beside it"
    else
      # frontpad and setxfer load the plugin only when a dialog is asked for.
      [ "$program" != capstore ] || fail "capstore did not load the dialog plugin at start-up"
      echo "$program ran for a second with $private/libcommlib.so"
    fi
  done
  exit 0
fi

build=$(cd "$1" && pwd)
source=$(cd "$2" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dest=$work/dest
DESTDIR=$dest cmake --install "$build" --prefix /usr --strip >/dev/null
root=$dest/usr

expected=(bin/zamvex lib/*/zamvex/libcommlib.so lib/*/zamvex/libtextlib.so share/man/man1/zamvex.1.gz
          share/bash-completion/completions/zamvex share/zsh/vendor-completions/_zamvex share/doc/zamvex/copyright)
if [ "$qt" = 1 ]; then
  expected+=(bin/capstore bin/frontpad bin/setxfer lib/*/zamvex/libcommlib_ui.so
             share/man/man1/capstore.1.gz share/man/man1/frontpad.1.gz share/man/man1/setxfer.1.gz
             share/applications/zamvex-capstore.desktop share/applications/zamvex-frontpad.desktop
             share/applications/zamvex-setxfer.desktop share/icons/hicolor/scalable/apps/zamvex-capstore.svg)
fi
for f in "${expected[@]}"; do
  compgen -G "$root/$f" >/dev/null || fail "not installed: $f"
done

# No installed file names the build or the source tree, and every RUNPATH is
# relative to the file's own folder.
while IFS= read -r -d '' f; do
  if grep -qF -e "$build" -e "$source" "$f"; then fail "${f#"$dest"} holds a build-tree path"; fi
  if readelf -h "$f" >/dev/null 2>&1; then
    while read -r path; do
      case $path in
        '$ORIGIN'/*) ;;
        *) fail "${f#"$dest"} has RUNPATH $path" ;;
      esac
    done < <(readelf -d "$f" | sed -n 's/.*(R[UN]*PATH).*\[\(.*\)\]/\1/p' | tr ':' '\n')
  fi
done < <(find "$dest" -type f -print0)
dynamic=$(readelf -d "$root/bin/zamvex")
grep -q "RUNPATH.*\[\$ORIGIN/../lib/.*/zamvex\]" <<<"$dynamic" || fail "zamvex has no RUNPATH to its libraries"

# Hide both trees where a mount namespace may be made; else the checks on the
# loaded files' paths below still show that nothing is taken from them.
# The script runs its second half from a copy: its own folder is hidden too.
cp "$0" "$work/run.sh"
if unshare -m true 2>/dev/null; then hide=(unshare -m)
elif unshare -rm true 2>/dev/null; then hide=(unshare -rm)
else hide=()
fi
if [ ${#hide[@]} -gt 0 ]; then
  "${hide[@]}" bash -c 'mount -t tmpfs none "$1" && mount -t tmpfs none "$2" && shift 2 && exec bash "$@"' \
    _ "$build" "$source" "$work/run.sh" "$build" "$source" "$qt" --run "$root" "$work"
else
  echo "note: no mount namespace here; the build tree stays visible, the loaded paths are checked"
  mkdir -p "$work/empty"
  bash "$work/run.sh" "$work/empty" "$source" "$qt" --run "$root" "$work"
fi
