#!/usr/bin/env bash
# Installs a build into a staging folder and checks what was installed: the
# programs run, the desktop entry and the AppStream metainfo validate, the
# icons are there at every size, the manual pages render without warnings.
# Usage: scripts/check-install.sh [build-dir]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
STAGE=$(mktemp -d /tmp/qel-stage.XXXXXX)
trap 'rm -rf "$STAGE"' EXIT
ID=com.kdw.qeltool

DESTDIR="$STAGE" cmake --install "$BUILD" --prefix /usr >/dev/null
ROOT="$STAGE/usr"
fail=0
bad() { echo "FAIL: $*"; fail=1; }

for prog in qeltool qelcli qelsim; do
  [ -x "$ROOT/bin/$prog" ] || bad "$prog not installed"
done
# The sound module, where the installed qeltool looks for it.
sound=$(find "$ROOT/lib" -path '*/qeltool/qel_sound.so' | head -1)
[ -n "$sound" ] || bad "sound module not installed"
QT_QPA_PLATFORM=offscreen "$ROOT/bin/qeltool" --version | grep -Eq '^qeltool [0-9]+\.[0-9]+\.[0-9]+$' ||
  bad "qeltool --version"
QT_QPA_PLATFORM=offscreen "$ROOT/bin/qelcli" --version >/dev/null || bad "qelcli --version"

desktop-file-validate "$ROOT/share/applications/$ID.desktop" || bad "desktop entry"
grep -qx "Icon=$ID" "$ROOT/share/applications/$ID.desktop" || bad "desktop entry names another icon"
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$ROOT/share/metainfo/$ID.metainfo.xml" || bad "metainfo"
else
  echo "appstreamcli missing: metainfo not validated"
fi
grep -q "<launchable type=\"desktop-id\">$ID.desktop</launchable>" "$ROOT/share/metainfo/$ID.metainfo.xml" ||
  bad "metainfo launches another desktop entry"

for size in 16 22 24 32 48 64 128 256; do
  png="$ROOT/share/icons/hicolor/${size}x${size}/apps/$ID.png"
  [ -f "$png" ] || { bad "icon $size missing"; continue; }
  # PNG header: width and height are big-endian at bytes 16 and 20.
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || bad "icon $size is $dims"
done
[ -f "$ROOT/share/icons/hicolor/scalable/apps/$ID.svg" ] || bad "scalable icon missing"

for page in qeltool qelcli qelsim; do
  file="$ROOT/share/man/man1/$page.1.gz"
  [ -f "$file" ] || { bad "man page $page missing"; continue; }
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || bad "man page $page: $warnings"
  LC_ALL=C.UTF-8 MANWIDTH=80 man -l "$file" | grep -q "^NAME" || bad "man page $page does not render"
done

[ -f "$ROOT/share/bash-completion/completions/qelcli" ] || bad "bash completion missing"
[ -f "$ROOT/share/doc/qeltool/copyright" ] || bad "copyright missing"

[ $fail -eq 0 ] && echo "install check passed: $(find "$STAGE" -type f | wc -l) files"
exit $fail
