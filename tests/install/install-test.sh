#!/usr/bin/env bash
# cmake --install into a temporary DESTDIR; the files are where the desktop
# looks for them, they pass the desktop's validators, and the installed
# program answers, starts and finds its help there.
#   install-test.sh BUILD_DIR PREFIX BINDIR DATADIR
set -euo pipefail
build=$1 prefix=$2 bindir=$3 datadir=$4
stage=$(mktemp -d)
# The lists of a real install, which make uninstall reads, stay as they were.
records=(install_manifest.txt install_folders.txt)
for r in "${records[@]}"; do [ ! -f "$build/$r" ] || cp "$build/$r" "$stage/$r.kept"; done
restore() {
  for r in "${records[@]}"; do
    if [ -f "$stage/$r.kept" ]; then cp "$stage/$r.kept" "$build/$r"; else rm -f "$build/$r"; fi
  done
  rm -rf "$stage"
}
trap restore EXIT
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
appstreamcli validate --pedantic --no-net "$share/metainfo/$id.metainfo.xml" >/dev/null || fail "metainfo"
# The MIME database accepts the type and gives it the catalogue's pattern.
update-mime-database "$share/mime"
grep -q 'pattern="\*\.srb"' "$share/mime/application/x-sorabel-catalogue.xml" ||
  fail "the *.srb type is missing from the MIME database"
grep -qx 'MimeType=application/x-sorabel-catalogue;' "$share/applications/$id.desktop" ||
  fail "the desktop entry does not open the catalogue type"

grep -qx 'StartupWMClass=sorabel' "$share/applications/$id.desktop" ||
  fail "the desktop entry does not name the window class"
grep -q '<release version=.*>' "$share/metainfo/$id.metainfo.xml" ||
  fail "the metainfo has no release"
! grep -Eq '<url[^>]*>[^<]*\.example' "$share/metainfo/$id.metainfo.xml" ||
  fail "the metainfo has a placeholder address"

# The manual pages name the help under this prefix and every option.
for page in "$root/share/man/man1/sorabel.1" "$root/share/man/ja/man1/sorabel.1"; do
  grep -qF "$prefix/$datadir/sorabel/sorabe.HLP" "$page" || fail "${page#$stage} names another help folder"
  for word in export import encoding help version; do
    grep -qF -- "\\-\\-$word" "$page" || fail "${page#$stage} leaves out --$word"
  done
done
grep -q '^\.SH EXIT STATUS' "$root/share/man/man1/sorabel.1" || fail "no exit statuses in the manual"

export HOME=$stage/home XDG_CONFIG_HOME=$stage/home/.config
mkdir -p "$HOME"
# Without any display the command line still answers, in Japanese.
nodisplay() { env -u QT_QPA_PLATFORM DISPLAY= WAYLAND_DISPLAY= "$program" "$@"; }
status=0
message=$(nodisplay --no-such-option 2>&1 >/dev/null) || status=$?
[ "$status" -eq 2 ] || fail "a bad option without a display ended with status $status"
[ "$message" = $'不明なオプションです: --no-such-option\n詳しくは「sorabel --help」をご覧ください。' ] ||
  fail "a bad option without a display printed: $message"
[[ $(nodisplay --version) == "ソラベル "[0-9]* ]] || fail "--version needs a display"
status=0
message=$(nodisplay 2>&1 >/dev/null) || status=$?
[ "$status" -eq 1 ] && [[ $message == "ウィンドウを開けません: 画面が見つかりません"* ]] ||
  fail "starting without a display ended with status $status: $message"

export QT_QPA_PLATFORM=offscreen
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

# Docks match the window to its menu entry by the window class.
if command -v xvfb-run >/dev/null && command -v xprop >/dev/null && command -v xdotool >/dev/null; then
  class=$(env -u QT_QPA_PLATFORM xvfb-run -a bash -c '
    "$1" >/dev/null 2>&1 & pid=$!
    window=$(timeout 10 xdotool search --sync --onlyvisible --pid "$pid" --name "ソラベル" | head -n 1)
    xprop -id "$window" WM_CLASS; kill "$pid"' _ "$program")
  [ "$class" = 'WM_CLASS(STRING) = "sorabel", "sorabel"' ] || fail "window class: $class"

  # The ISBN lookup and the statistics are modules loaded on first use: both
  # open from the installed files. (xdotool's own name search does not tell
  # Japanese titles apart, so the titles are compared here.)
  opened=$(env -u QT_QPA_PLATFORM xvfb-run -a bash -c '
    shown() {
      for _ in $(seq 50); do
        for w in $(xdotool search --onlyvisible --pid "$pid" . 2>/dev/null); do
          [ "$(xdotool getwindowname "$w")" = "$1" ] && { echo "$w"; return 0; }
        done
        sleep 0.2
      done
      return 1
    }
    "$1" >/dev/null 2>&1 & pid=$!
    main=$(shown "ソラベル")
    xdotool windowfocus --sync "$main"
    xdotool key --clearmodifiers ctrl+i
    shown "ISBNで追加" >/dev/null && echo -n "ISBNで追加 "
    xdotool key --clearmodifiers Escape
    xdotool windowfocus --sync "$main"
    xdotool key --clearmodifiers alt+t g
    shown "読書統計" >/dev/null && echo -n "読書統計"
    kill "$pid"' _ "$program")
  [ "$opened" = "ISBNで追加 読書統計" ] || fail "the installed program opened only: $opened"
fi

# The lookup module answers the command line too, without a display.
status=0
message=$(nodisplay --lookup-isbn 123 2>&1 >/dev/null) || status=$?
[ "$status" -eq 2 ] && [ "$message" = "ISBN は10桁か13桁です（3桁あります）" ] ||
  fail "--lookup-isbn from the installed program: status $status: $message"

# The Debian package: the same files under /usr, declared dependencies, and
# no lintian errors (warnings are shown).
if command -v cpack >/dev/null && command -v dpkg-deb >/dev/null; then
  (cd "$build" && cpack -B "$stage/package" >/dev/null) || fail "cpack"
  deb=$(ls "$stage"/package/sorabel_*_"$(dpkg --print-architecture)".deb) || fail "no sorabel_VERSION_ARCH.deb"
  depends=$(dpkg-deb -f "$deb" Depends)
  for need in libqt6svg6 qt6-translations-l10n fonts-ipafont-gothic libqt6widgets6 libicu72; do
    grep -qw -- "$need" <<<"$depends" || fail "the package does not depend on $need: $depends"
  done
  dpkg -x "$deb" "$stage/debroot"
  for module in sorabel_statistics.so sorabel_lookup.so; do
    [ -n "$(find "$stage/debroot/usr/lib" -path "*/sorabel/modules/$module")" ] || fail "not in the package: $module"
  done
  for f in usr/bin/sorabel usr/share/sorabel/sorabe.HLP usr/share/applications/$id.desktop \
      usr/share/man/man1/sorabel.1.gz usr/share/doc/sorabel/copyright; do
    [ -e "$stage/debroot/$f" ] || fail "not in the package: /$f"
  done
  zgrep -qF "/usr/share/sorabel/sorabe.HLP" "$stage/debroot/usr/share/man/man1/sorabel.1.gz" ||
    fail "the package's manual names another prefix"
  [[ $("$stage/debroot/usr/bin/sorabel" --version) == "ソラベル "[0-9]* ]] || fail "the packaged program"
  if command -v lintian >/dev/null; then
    report=$(lintian --tag-display-limit 0 "$deb" 2>&1 | grep -v 'root privileges' || true)
    [ -z "$report" ] || echo "$report"
    ! grep -q '^E:' <<<"$report" || fail "lintian found errors"
  fi
fi
echo "installed and checked under $stage$prefix"
