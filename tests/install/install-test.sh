#!/usr/bin/env bash
# cmake --install into a temporary DESTDIR; the files are where the desktop
# looks for them, they pass the desktop's validators, and the installed
# program answers, starts and finds its help there.
#   install-test.sh BUILD_DIR PREFIX BINDIR DATADIR
set -euo pipefail
build=$1 prefix=$2 bindir=$3 datadir=$4
stage=$(mktemp -d)
# The list of a real install, which make uninstall reads, stays as it was.
manifest=$build/install_manifest.txt
[ ! -f "$manifest" ] || cp "$manifest" "$stage/manifest"
trap 'if [ -f "$stage/manifest" ]; then cp "$stage/manifest" "$manifest"; else rm -f "$manifest"; fi
      rm -rf "$stage"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$stage cmake --install "$build" >/dev/null
root=$stage$prefix
share=$root/$datadir
program=$root/$bindir/sorabel
id=jp.example.sorabel

for f in "$program" "$share/sorabel/sorabe.HLP" "$share/applications/$id.desktop" \
    "$share/metainfo/$id.metainfo.xml" "$share/mime/packages/$id.xml" \
    "$share/icons/hicolor/scalable/apps/sorabel.svg" \
    "$share/icons/hicolor/48x48/apps/sorabel.png" \
    "$share/icons/hicolor/256x256/apps/sorabel.png" \
    "$root/share/man/man1/sorabel.1" "$root/share/man/ja/man1/sorabel.1"; do
  [ -e "$f" ] || fail "not installed: ${f#$stage}"
done
[ -x "$program" ] || fail "the program is not executable"
[ ! -e "$share/mime/mime.cache" ] || fail "a staged install must not build the desktop caches"

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >/dev/null || fail "metainfo"
# The MIME database accepts the type and gives it the catalogue's pattern.
update-mime-database "$share/mime"
grep -q 'pattern="\*\.srb"' "$share/mime/application/x-sorabel-catalogue.xml" ||
  fail "the *.srb type is missing from the MIME database"
grep -qx 'MimeType=application/x-sorabel-catalogue;' "$share/applications/$id.desktop" ||
  fail "the desktop entry does not open the catalogue type"

export QT_QPA_PLATFORM=offscreen HOME=$stage/home XDG_CONFIG_HOME=$stage/home/.config
mkdir -p "$HOME"
version=$("$program" --version)
[[ $version == "ソラベル "[0-9]* ]] || fail "--version printed: $version"
usage=$("$program" --help)
grep -q '^使い方: sorabel' <<<"$usage" || fail "--help is not in Japanese: $usage"
grep -qF "ヘルプファイル: $share/sorabel/sorabe.HLP" <<<"$usage" ||
  fail "the installed program does not find its help: $usage"
if "$program" --no-such-option 2>/dev/null; then fail "an unknown option was accepted"; fi

# The windows come up and stay until they are told to go.
status=0
timeout 3 "$program" >/dev/null 2>&1 || status=$?
[ "$status" -eq 124 ] || fail "the program ended by itself with status $status"
echo "installed and checked under $stage$prefix"
