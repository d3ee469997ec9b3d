#!/usr/bin/env bash
# Removes what the last install from BUILD put in place: the files it listed
# in install_manifest.txt, the folders it created (install_folders.txt), and
# the desktop caches those folders held; then refreshes the caches that stay.
#   uninstall.sh BUILD [DESTDIR]
# Refuses, and removes nothing, when none of the files is there (for example
# after a staged install into another DESTDIR).
set -euo pipefail
build=$1 destdir=${2:-}
manifest=$build/install_manifest.txt
record=$build/install_folders.txt

if [ ! -f "$manifest" ]; then
  echo "Nothing to uninstall: $build has no record of an install (run make install first)." >&2
  exit 1
fi
installed_destdir=
if [ -f "$record" ]; then
  installed_destdir=$(sed -n 's/^destdir=//p' "$record" | head -n 1)
  prefix=$(sed -n 's/^prefix=//p' "$record" | head -n 1)
else
  prefix=$(head -n 1 "$manifest" | sed 's|/bin/.*||')
fi

present=()
while IFS= read -r file || [ -n "$file" ]; do
  [ -e "$destdir$file" ] || [ -L "$destdir$file" ] && present+=("$destdir$file")
done <"$manifest"
if [ ${#present[@]} -eq 0 ]; then
  echo "Nothing to uninstall: none of the $(wc -l <"$manifest") files of the last install is under '${destdir:-/}'." >&2
  if [ "$installed_destdir" != "$destdir" ]; then
    echo "The last install went to DESTDIR='$installed_destdir'; run: make uninstall DESTDIR='$installed_destdir'" >&2
  fi
  exit 1
fi
rm -fv "${present[@]}"

# Folders the install created, deepest first. A desktop cache is generated
# from the files the folder held; it goes with them when nothing else is left.
if [ -f "$record" ] && [ "$installed_destdir" = "$destdir" ]; then
  grep -v -e '^destdir=' -e '^prefix=' -e '^$' "$record" | awk '{ print length, $0 }' |
    sort -rn | cut -d' ' -f2- | while IFS= read -r folder; do
      path=$destdir$folder
      [ -d "$path" ] || continue
      case $folder in
        */share/mime)
          # Only the generated database is left when no type is defined any more.
          if [ -z "$(ls -A "$path/packages" 2>/dev/null)" ]; then rm -rf "$path"; fi ;;
        */share/applications) rm -f "$path/mimeinfo.cache" ;;
        */share/icons/hicolor) rm -f "$path/icon-theme.cache" ;;
      esac
      [ -d "$path" ] && rmdir --ignore-fail-on-non-empty "$path"
      [ -d "$path" ] || echo "removed folder '$path'"
    done
fi

rm -f "$record"

# The caches of folders that stay (a real install only; a staged root has none).
if [ -z "$destdir" ]; then
  share=$prefix/share
  if [ -d "$share/mime/packages" ]; then update-mime-database "$share/mime" 2>/dev/null || true; fi
  if [ -d "$share/applications" ]; then update-desktop-database -q "$share/applications" 2>/dev/null || true; fi
  if [ -d "$share/icons/hicolor" ]; then gtk-update-icon-cache -q -t -f "$share/icons/hicolor" 2>/dev/null || true; fi
fi
